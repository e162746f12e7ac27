// Yes/No questions ("Удалить?") in a message box titled "Velmoria" with the question
// icon. Tests answer them through a hook instead, so a run never waits for a person.
// Beside them the one message that has a title and owner of its own; every other
// message is platform::ShowMessage's.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vm::ui {

// The button Enter presses.
enum class DefaultAnswer { kYes, kNo };
// True for Yes.
bool AskYesNo(HWND owner, const std::string& cp1251Question,
              DefaultAnswer defaultAnswer = DefaultAnswer::kYes);

// While set, the hook answers every question in place of the message box.
using QuestionHook = std::function<bool(const std::string& question)>;
void SetQuestionHook(QuestionHook hook);

// A message over `owner` under `cp1251Title` (the find dialog's "Ничего не найдено" under
// "Поиск") with an OK button and `icon` (MB_ICONINFORMATION, ...).
void ShowTitledMessage(HWND owner, const std::string& cp1251Text, const std::string& cp1251Title, UINT icon);

}  // namespace vm::ui
