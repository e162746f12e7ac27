#include "ui/calendar_drop_down.h"

#include <commctrl.h>

namespace vm::ui {

bool CalendarDropDown::Show(HWND owner, POINT at, int day, int month, int year, Chosen chosen) {
  Close();
  chosen_ = std::move(chosen);
  if (!Create({L"VelmoriaCalendarDropDown"}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP | WS_BORDER, at.x,
              at.y, 10, 10, owner))
    return false;
  calendar_ = CreateWindowExW(0, MONTHCAL_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!calendar_) {
    Destroy();
    return false;
  }
  if (day > 0) {
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(day);
    st.wMonth = static_cast<WORD>(month);
    st.wYear = static_cast<WORD>(year);
    MonthCal_SetCurSel(calendar_, &st);
  }
  RECT need{};
  MonthCal_GetMinReqRect(calendar_, &need);
  SetWindowPos(calendar_, nullptr, 0, 0, need.right, need.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT frame{0, 0, need.right, need.bottom};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  SetWindowPos(hwnd(), HWND_TOPMOST, at.x, at.y, frame.right - frame.left, frame.bottom - frame.top,
               SWP_SHOWWINDOW);
  calendarHook_.Attach(calendar_, [this](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (m == WM_KEYDOWN && w == VK_ESCAPE) {
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return 0;
    }
    if (m == WM_KEYDOWN && w == VK_RETURN) {
      SYSTEMTIME st{};
      MonthCal_GetCurSel(h, &st);
      Pick(st);
      return 0;
    }
    return Subclass::Default(h, m, w, l);
  });
  SetFocus(calendar_);
  return true;
}

void CalendarDropDown::Close() {
  calendarHook_.Detach();
  calendar_ = nullptr;
  Destroy();
}

// The calendar is still inside its own message when a pick arrives: the window goes by a
// posted message, once that one is over.
void CalendarDropDown::Pick(const SYSTEMTIME& st) {
  Chosen chosen = std::move(chosen_);
  chosen_ = nullptr;
  ShowWindow(hwnd(), SW_HIDE);
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  if (chosen) chosen(st.wDay, st.wMonth, st.wYear);
}

LRESULT CalendarDropDown::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (header->hwndFrom == calendar_ && header->code == MCN_SELECT) {
        Pick(reinterpret_cast<NMSELCHANGE*>(lp)->stSelStart);
        return 0;
      }
      break;
    }
    case WM_ACTIVATE:
      // A click elsewhere takes the activation: the drop-down goes, as a menu would.
      if (LOWORD(wp) == WA_INACTIVE && hwnd()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      break;
    case WM_CLOSE: Close(); return 0;
    default: break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace vm::ui
