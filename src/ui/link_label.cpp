#include "ui/link_label.h"

#include <commctrl.h>

#include "common/shell_actions.h"
#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
LinkLabel::Opener& TheOpener() {
  static LinkLabel::Opener opener;
  return opener;
}

std::wstring WindowText(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(n + 1, L'\0');
  if (n) GetWindowTextW(h, s.data(), n + 1);
  s.resize(n);
  return s;
}
}  // namespace

void LinkLabel::SetOpener(Opener opener) { TheOpener() = std::move(opener); }

void LinkLabel::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
  link_ = link;
  visitedColour_ = visited;
  hover_ = hover;
}

LinkLabel::~LinkLabel() = default;

COLORREF LinkLabel::TextColour() const {
  if (hovering_) return hover_ == kSystemHighlight ? GetSysColor(COLOR_HIGHLIGHT) : hover_;
  return visited_ ? visitedColour_ : link_;
}

void LinkLabel::Attach(HWND label) {
  hwnd_ = label;
  // Without SS_NOTIFY a static is transparent to the mouse and would never be clicked.
  SetWindowLongPtrW(label, GWL_STYLE, GetWindowLongPtrW(label, GWL_STYLE) | SS_NOTIFY);

  std::wstring text = WindowText(label);
  if (text.empty())
    SetWindowTextW(label, Wide(target_).c_str());
  else if (target_.empty())
    target_ = Narrow(text);

  HWND parent = GetParent(label);
  LOGFONTW lf = DialogFont(parent);
  lf.lfUnderline = underline_ ? TRUE : FALSE;
  font_.reset(CreateFontIndirectW(&lf));
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

  if (adjustSize_) {
    HDC dc = GetDC(label);
    SelectGuard g(dc, font_.get());
    std::wstring shown = WindowText(label);
    RECT rc{0, 0, 0, 0};
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The hand cursor; the arrow when the system has none.
  if (!cursor_) cursor_ = LoadCursorW(nullptr, IDC_HAND);
  if (!cursor_) cursor_ = LoadCursorW(nullptr, IDC_ARROW);

  tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  if (tooltip_) {
    std::wstring tip = Wide(target_);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = parent;
    ti.uId = reinterpret_cast<UINT_PTR>(label);
    ti.lpszText = tip.data();
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }

  hook_.Attach(label, [this](HWND, UINT m, WPARAM w, LPARAM l) { return Handle(m, w, l); });
  InvalidateRect(label, nullptr, TRUE);
}

void LinkLabel::SetVisited(bool visited) {
  visited_ = visited;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkLabel::StopHover() {
  if (!hovering_) return;
  hovering_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkLabel::Click() {
  StopHover();
  if (action_) {
    action_();
    return;
  }
  int code = TheOpener() ? TheOpener()(target_, SW_SHOW) : OpenTarget(target_, SW_SHOW);
  if (code > 32) {
    SetVisited(true);
    return;
  }
  MessageBeep(MB_ICONEXCLAMATION);
  platform::ShowMessage(OpenFailureMessage(code), platform::MessageIcon::kExclamation);
}

void LinkLabel::Paint(HDC dc) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  PaintParentBackground(hwnd_, dc);
  SelectGuard g(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColour());
  std::wstring text = WindowText(hwnd_);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT LinkLabel::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      Paint(ui::PaintGuard(hwnd_).dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint draws the parent's background itself
    case WM_MOUSEMOVE: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      RECT rc;
      GetClientRect(hwnd_, &rc);
      if (!hovering_) {
        if (!PtInRect(&rc, pt)) return 0;
        hovering_ = true;
        SetCapture(hwnd_);
        InvalidateRect(hwnd_, nullptr, TRUE);
      } else if (!PtInRect(&rc, pt)) {
        StopHover();
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (hovering_ && reinterpret_cast<HWND>(lp) != hwnd_) {
        hovering_ = false;
        InvalidateRect(hwnd_, nullptr, TRUE);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return 0;
    case WM_LBUTTONUP: {
      POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      RECT rc;
      GetClientRect(hwnd_, &rc);
      if (PtInRect(&rc, pt)) Click();
      return 0;
    }
    case WM_SETCURSOR:
      SetCursor(cursor_);
      return TRUE;
    case WM_NCDESTROY: {
      HWND h = hwnd_;
      hwnd_ = nullptr;
      return DefSubclassProc(h, msg, wp, lp);
    }
    default:
      return DefSubclassProc(hwnd_, msg, wp, lp);
  }
}

void PaintParentBackground(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  if (!parent) return;
  POINT origin{0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  POINT old;
  OffsetWindowOrgEx(dc, origin.x, origin.y, &old);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetWindowOrgEx(dc, old.x, old.y, nullptr);
}

}  // namespace vm::ui
