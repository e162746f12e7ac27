// The dialog font other fonts are made from, and the system's font dialog.
#pragma once

#include <windows.h>

namespace vm::ui {

// The font `window` draws its text in, as a description to make bolder, italic or
// smaller fonts from: the GUI font's when the window has none of its own (a blank page).
LOGFONTW DialogFont(HWND window);

// The system's font dialog (screen fonts, with effects and a colour) opened on `font` and
// `colour`. True when the user chose: then both hold the choice and `tenthsOfPoint`, when
// given, its size in tenths of a point.
bool AskFont(HWND owner, LOGFONTW& font, COLORREF& colour, int* tenthsOfPoint = nullptr);

}  // namespace vm::ui
