// Driving the main sheet as the program's loop and the user would: the sheet built from
// the program's own pages, its message pump, keys and typing.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/app_util.h"
#include "shell/win/velmoria_sheet.h"

namespace vm::testing {

namespace detail {
struct AppHolder {
  CAppUtil heldApp;
};
}  // namespace detail

// The sheet with the pages the program's start makes, over the settings and folders it
// is given (a test's program folder), which it keeps a copy of.
class ProgramSheet : private detail::AppHolder, public shell::CVelmoriaSheet {
 public:
  explicit ProgramSheet(CAppUtil app);
};

// Dispatches this thread's messages through the sheet's pre-translation, as the
// program's loop takes them: what is queued now, then for `ms` more.
void PumpSheet(shell::CVelmoriaSheet& sheet, int ms = 0);

// Holds Ctrl down in this thread's key state while it lives.
class CtrlHeld {
 public:
  CtrlHeld();
  ~CtrlHeld();
  CtrlHeld(const CtrlHeld&) = delete;
  CtrlHeld& operator=(const CtrlHeld&) = delete;
};

// A key pressed and released on `target`, with Ctrl held when asked, then pumped.
void PressKey(shell::CVelmoriaSheet& sheet, HWND target, UINT vk, bool ctrl = false);
// Characters typed into `target` (it gets the focus first), then pumped.
void Type(shell::CVelmoriaSheet& sheet, HWND target, const std::string& cp1251);

// While it lives, the question about an unsaved book (shell::AskUnsavedBook) is answered
// by `answer` (IDC_UNSAVED_RETRY, IDC_UNSAVED_SAVE_AS, IDC_UNSAVED_LEAVE or IDCANCEL)
// from inside the dialog's own loop, and its texts are written down.
class UnsavedAnswers {
 public:
  UnsavedAnswers();
  ~UnsavedAnswers();
  UnsavedAnswers(const UnsavedAnswers&) = delete;
  UnsavedAnswers& operator=(const UnsavedAnswers&) = delete;
  std::vector<std::string> texts;
  std::function<int()> answer;
};

}  // namespace vm::testing
