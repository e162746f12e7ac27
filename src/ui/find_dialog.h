// The system's modeless find and replace dialog, glued to a page: the page opens it and
// gets each request as a call. Its keys (Tab, Enter, Esc) come from the sheet's loop,
// which gives every dialog the sheet owns IsDialogMessage; a loop of a window's own
// (the task editor's) hands them over through PreTranslate.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <functional>
#include <string>

#include "ui/window.h"

namespace vm::ui {

class FindDialog {
 public:
  enum class Action { kFindNext, kReplace, kReplaceAll, kClosed };
  struct Request {
    Action action;
    std::string what, with;  // cp1251
    bool down = true, matchCase = false, wholeWord = false;
  };
  using Handler = std::function<void(const Request&)>;

  FindDialog() = default;
  ~FindDialog();
  FindDialog(const FindDialog&) = delete;
  FindDialog& operator=(const FindDialog&) = delete;

  // Opens the dialog (or brings the open one forward) with the text to look for.
  // `owner` receives the dialog's messages; the glue takes them there itself. With
  // `caseOnly` the find dialog offers match case alone: no direction, no whole word.
  bool Open(HWND owner, const std::string& what, bool replace, Handler handler, bool caseOnly = false);
  void Close();
  HWND hwnd() const { return dialog_; }
  // The dialog's keys (Tab, Enter, Esc) from a loop; true when used.
  bool PreTranslate(MSG& msg);
  // After a hit: moves the open dialog off `rect` (in `window`'s client pixels, the
  // found row, cell or text) when it covers it, staying on the monitor's work area.
  void KeepClearOf(HWND window, const RECT& rect);

 private:
  LRESULT OwnerMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND dialog_ = nullptr;
  bool replace_ = false;
  Handler handler_;
  FINDREPLACEW fr_{};
  wchar_t what_[256] = {}, with_[256] = {};
  Subclass ownerHook_;
};

}  // namespace vm::ui
