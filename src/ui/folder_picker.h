// The folder picker: opens on a folder and gives back the one the user chose.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vm::ui {

// The chosen folder (cp1251), or nothing when the user cancels.
std::optional<std::string> PickFolder(HWND owner, const std::string& initialFolder);

}  // namespace vm::ui
