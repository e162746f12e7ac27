// The question about a book whose file another program, copy or machine changed since
// the program read it: the book's name and the time of that change (guard::Conflict),
// then "Объединить" (shown only for a book that merges), "Оставить мою версию" and
// "Загрузить с диска". Esc or the close box leaves the book unsaved and still changed.
// Tests drive it through ui::Dialog::SetInitHook.
#pragma once

#include <windows.h>

#include "common/book_guard.h"

namespace vm::shell {

guard::Choice AskChangedBook(HWND owner, const guard::Conflict& conflict);

// The warning for a book whose lock names another machine: the lock's message, then
// "Открыть всё равно" (true) or "Только чтение" (false, also Esc).
bool AskOpenLocked(HWND owner, const std::string& lockMessage);

// Turns the guard on for the program: this question over the active window, `merge`
// (the books' three-way merges, which the composition root knows) for the books that
// merge (a strongly protected file is never merged: its bytes are no records),
// messages for what automatic saves kept.
void InstallBookGuard(decltype(guard::Hooks::merge) merge);

}  // namespace vm::shell
