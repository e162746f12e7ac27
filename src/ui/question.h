// Yes/No questions ("Удалить?") in a message box titled "Velmoria" with the question
// icon. Tests answer them through a hook instead, so a run never waits for a person.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vm::ui {

// True for Yes.
bool AskYesNo(HWND owner, const std::string& cp1251Question);

// While set, the hook answers every question in place of the message box.
using QuestionHook = std::function<bool(const std::string& question)>;
void SetQuestionHook(QuestionHook hook);

}  // namespace vm::ui
