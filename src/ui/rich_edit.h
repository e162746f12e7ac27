// The rich-edit control "RichEdit50W" from msftedit.dll.
#pragma once

#include <windows.h>

#include <string>

namespace vm::ui {

// Loads msftedit.dll once, so dialogs can name the "RichEdit50W" class; false when the
// library is missing.
bool LoadRichEdit();
// Replaces the control's content with an RTF document (cp1251 bytes).
bool StreamInRtf(HWND edit, const std::string& rtf);
// The text between two character positions.
std::wstring TextRange(HWND edit, long first, long last);
// The whole plain text.
std::wstring PlainText(HWND edit);

}  // namespace vm::ui
