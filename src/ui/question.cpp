#include "ui/question.h"

#include "ui/text.h"

namespace vm::ui {

namespace {
QuestionHook& TheHook() {
  static QuestionHook hook;
  return hook;
}
}  // namespace

void SetQuestionHook(QuestionHook hook) {
  TheHook() = std::move(hook);
}

bool AskYesNo(HWND owner, const std::string& cp1251Question, DefaultAnswer defaultAnswer) {
  if (TheHook()) return TheHook()(cp1251Question);
  UINT type =
      MB_YESNO | MB_ICONQUESTION | (defaultAnswer == DefaultAnswer::kNo ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
  return MessageBoxW(owner, Wide(cp1251Question).c_str(), L"Velmoria", type) == IDYES;
}

void ShowTitledMessage(HWND owner, const std::string& cp1251Text, const std::string& cp1251Title, UINT icon) {
  MessageBoxW(owner, Wide(cp1251Text).c_str(), Wide(cp1251Title).c_str(), MB_OK | icon);
}

}  // namespace vm::ui
