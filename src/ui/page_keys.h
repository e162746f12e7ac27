// The keys of a book page before they are dispatched: the page's accelerator table
// first, then the Enter key straight to the window that has it, so that Enter makes a
// new line in a multi-line box or ends an in-place edit instead of reaching the sheet.
//
// The main sheet's message loop knows nothing of the pages, so the pages see their
// messages through a thread message hook: every message taken from the queue for a
// window inside a visible page passes the page's keys first, and a key the page used
// leaves the queue as WM_NULL.
#pragma once

#include <windows.h>

namespace vm::ui {

class PageKeys {
 public:
  PageKeys() = default;
  ~PageKeys();
  PageKeys(const PageKeys&) = delete;
  PageKeys& operator=(const PageKeys&) = delete;

  // The page and its accelerator table (not owned; may be null).
  void Attach(HWND page, HACCEL accel);
  void Detach();

  // What the page does with one message for a window inside it; true when the message
  // was used and must go no further.
  bool PreTranslate(MSG& msg);

 private:
  HWND page_ = nullptr;
  HACCEL accel_ = nullptr;
};

// Marks a window (an in-place editor) that takes Enter, Esc and Tab itself: they go
// straight to it, ahead of the sheet's Esc handling.
void MarkWantsOwnKeys(HWND window);

}  // namespace vm::ui
