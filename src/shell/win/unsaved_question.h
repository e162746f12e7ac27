// The question about a book whose save failed, asked before the program ends: the file
// and why, then "Повторить", "Сохранить как…" (not offered for a book that cannot be
// written elsewhere) and "Выйти без сохранения". Esc or the close box keeps the
// program running. Tests drive it through ui::Dialog::SetInitHook.
#pragma once

#include <windows.h>

#include "shell/books.h"

namespace vm::shell {

UnsavedChoice AskUnsavedBook(HWND owner, const UnsavedBook& book);

}  // namespace vm::shell
