// The wait cursor for the lifetime of the guard, around work the user waits for
// (loading or saving a book, a search over many records).
#pragma once

#include <windows.h>

namespace vm::ui {

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace vm::ui
