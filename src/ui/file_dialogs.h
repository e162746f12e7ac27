// The system's file open and save dialogs over cp1251 paths.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm::ui {

// Written with designated initialisers; each member has its own initialiser so that any
// may be left out: {.filters = {...}, .folder = folder}.
struct FileDialogOptions {
  std::string title{};  // cp1251; empty: the system's
  // Pairs of a description and its patterns ("Файлы дел (*.dbw)", "*.dbw").
  std::vector<std::pair<std::string, std::string>> filters{};
  std::string defaultExtension{};  // without the dot; added to a name typed without one
  std::string folder{};            // where the dialog opens
  std::string fileName{};          // the name offered
};

// The filter string the dialogs take: each text and pattern ends with a zero, and one
// more zero ends the list.
std::wstring FilterText(const std::vector<std::pair<std::string, std::string>>& filters);

// The chosen path, or nothing when cancelled. The open dialog wants an existing file;
// the save dialog asks before replacing one.
std::optional<std::string> AskOpenFile(HWND owner, const FileDialogOptions& fileDialog);
std::optional<std::string> AskSaveFile(HWND owner, const FileDialogOptions& fileDialog);

}  // namespace vm::ui
