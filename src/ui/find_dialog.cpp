#include "ui/find_dialog.h"

#include "common/keep_clear.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
UINT FindMessage() {
  static const UINT message = RegisterWindowMessageW(FINDMSGSTRINGW);
  return message;
}
}  // namespace

FindDialog::~FindDialog() {
  Close();
}

bool FindDialog::Open(HWND owner, const std::string& what, bool replace, Handler handler, bool caseOnly) {
  handler_ = std::move(handler);
  if (dialog_ && replace == replace_) {
    SetForegroundWindow(dialog_);
    return true;
  }
  Close();
  replace_ = replace;
  lstrcpynW(what_, Wide(what).c_str(), 256);
  with_[0] = L'\0';
  fr_ = FINDREPLACEW{};
  fr_.lStructSize = sizeof fr_;
  fr_.hwndOwner = owner;
  fr_.Flags = FR_DOWN | (caseOnly ? FR_HIDEUPDOWN | FR_HIDEWHOLEWORD : 0);
  fr_.lpstrFindWhat = what_;
  fr_.wFindWhatLen = 256;
  fr_.lpstrReplaceWith = with_;
  fr_.wReplaceWithLen = 256;
  ownerHook_.Attach(owner, [this](HWND h, UINT m, WPARAM w, LPARAM l) { return OwnerMessage(h, m, w, l); });
  dialog_ = replace ? ReplaceTextW(&fr_) : FindTextW(&fr_);
  if (!dialog_) ownerHook_.Detach();
  return dialog_ != nullptr;
}

void FindDialog::Close() {
  if (dialog_ && IsWindow(dialog_)) DestroyWindow(dialog_);
  dialog_ = nullptr;
  ownerHook_.Detach();
}

bool FindDialog::PreTranslate(MSG& msg) {
  return dialog_ && IsWindow(dialog_) && IsDialogMessageW(dialog_, &msg);
}

void FindDialog::KeepClearOf(HWND window, const RECT& rect) {
  if (!dialog_ || !IsWindow(dialog_) || !window) return;
  RECT target = rect;
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&target), 2);
  RECT now;
  GetWindowRect(dialog_, &now);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &mi)) return;
  auto screen = [](const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; };
  ScreenRect placed = KeepClear(screen(now), screen(target), screen(mi.rcWork));
  if (placed == screen(now)) return;
  SetWindowPos(dialog_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FindDialog::OwnerMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != FindMessage() || reinterpret_cast<FINDREPLACEW*>(lp) != &fr_)
    return Subclass::Default(hwnd, msg, wp, lp);
  Request r{};
  r.what = Narrow(fr_.lpstrFindWhat);
  r.with = Narrow(fr_.lpstrReplaceWith);
  r.down = (fr_.Flags & FR_DOWN) != 0;
  r.matchCase = (fr_.Flags & FR_MATCHCASE) != 0;
  r.wholeWord = (fr_.Flags & FR_WHOLEWORD) != 0;
  if (fr_.Flags & FR_DIALOGTERM) {
    r.action = Action::kClosed;
    dialog_ = nullptr;  // the system destroys it
  } else if (fr_.Flags & FR_REPLACEALL) {
    r.action = Action::kReplaceAll;
  } else if (fr_.Flags & FR_REPLACE) {
    r.action = Action::kReplace;
  } else {
    r.action = Action::kFindNext;
  }
  if (handler_) handler_(r);
  return 0;
}

}  // namespace vm::ui
