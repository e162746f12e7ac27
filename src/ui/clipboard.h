// Text on the clipboard, as Unicode, from and to the program's cp1251 texts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vm::ui {

// Text of any kind is on the clipboard.
bool ClipboardHasText();
// Replaces what the clipboard holds with `cp1251`; false when the clipboard could not be
// had or would not take it.
bool PutClipboardText(HWND owner, const std::string& cp1251);
// The clipboard's Unicode text; nothing when there is none or the clipboard could not be
// had.
std::optional<std::string> ClipboardText(HWND owner);

}  // namespace vm::ui
