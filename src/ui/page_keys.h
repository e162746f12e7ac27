// The keys of a book page before they are dispatched: the page's accelerator table
// first, then the Enter key straight to the window that has it, so that Enter makes a
// new line in a multi-line box or ends an in-place edit instead of reaching the sheet.
// A page calls this from its PreTranslate, which the sheet's loop asks first.
#pragma once

#include <windows.h>

namespace vm::ui {

// What the page does with one message; true when the message was used and must go no
// further. Messages for windows outside a visible `page` are left alone.
bool TranslatePageKeys(HWND page, HACCEL accel, MSG& msg);

// Marks a window (an in-place editor) that takes Enter, Esc and Tab itself: they go
// straight to it, ahead of the sheet's Esc handling.
void MarkWantsOwnKeys(HWND window);

}  // namespace vm::ui
