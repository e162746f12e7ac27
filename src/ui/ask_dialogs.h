// The new-file dialog ("Новый файл") and the password dialog, shared by the tasks book,
// the notebook and the data book.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "common/ask_dialogs.h"

namespace vm::ui {

// The folder and name of a new book file, starting in `initialFolder` (the book works it
// out with NewFileInitialFolder): the full path, or nothing when cancelled. No extension
// is added and the file is not looked for; the book does both.
std::optional<std::string> AskNewFile(HWND owner, const std::string& initialFolder);

struct PasswordAnswer {
  std::string text;            // cp1251
  bool removePassword = false;  // "Снять пороль" was ticked
};
// Asks for a password (entering mode) or a new one (setting mode); nothing when
// cancelled.
std::optional<PasswordAnswer> AskPassword(HWND owner, PasswordMode mode);

// Replaces the folder picker behind the new-file dialog's browse button (tests).
using FolderPicker = std::function<std::optional<std::string>(HWND owner, const std::string& initial)>;
void SetFolderPicker(FolderPicker picker);

}  // namespace vm::ui
