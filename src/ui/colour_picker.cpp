#include "ui/colour_picker.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>

#include "ui/handles.h"

namespace vm::ui {

namespace {
constexpr COLORREF kSwatches[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};
constexpr int kWidth = ColourPicker::kCell * ColourPicker::kColumns;
constexpr int kGridTop = ColourPicker::kTextHeight;
constexpr int kGridBottom = kGridTop + ColourPicker::kCell * ColourPicker::kRows;
constexpr int kHeight = kGridBottom + ColourPicker::kTextHeight;

bool SystemMoreColours(HWND owner, COLORREF& colour) {
  static COLORREF custom[16] = {};
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = colour == CLR_INVALID ? 0 : colour;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return false;
  colour = cc.rgbResult;
  return true;
}
// The one picker open on this thread, for the hooks.
thread_local HWND openPicker = nullptr;

LRESULT CALLBACK MouseHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && openPicker) {
    switch (wp) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
        if (reinterpret_cast<const MOUSEHOOKSTRUCT*>(lp)->hwnd != openPicker)
          PostMessageW(openPicker, WM_CLOSE, 0, 0);
        break;
      default: break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyHook(int code, WPARAM wp, LPARAM lp) {
  // Esc pressed: the picker goes and the key goes nowhere else.
  if (code == HC_ACTION && openPicker && wp == VK_ESCAPE && !(lp & 0x80000000)) {
    PostMessageW(openPicker, WM_CLOSE, 0, 0);
    return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

int ColourPicker::ItemAt(POINT p) {
  if (p.x < 0 || p.x >= kWidth || p.y < 0 || p.y >= kHeight) return -2;
  if (p.y < kGridTop) return -1;
  if (p.y >= kGridBottom) return 16;
  return (p.y - kGridTop) / kCell * kColumns + p.x / kCell;
}

COLORREF ColourPicker::Swatch(int index) {
  return index >= 0 && index < 16 ? kSwatches[index] : CLR_INVALID;
}

bool ColourPicker::Show(HWND owner, POINT at, COLORREF current, Chosen chosen) {
  Close();
  owner_ = owner;
  current_ = current;
  chosen_ = std::move(chosen);
  pressed_ = -2;
  RECT frame{0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    at.x = std::max(work.left, std::min<LONG>(at.x, work.right - width));
    at.y = std::max(work.top, std::min<LONG>(at.y, work.bottom - height));
  }
  if (!Create({L"VelmoriaColourPicker", 0, nullptr, GetSysColorBrush(COLOR_MENU)},
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP | WS_BORDER, at.x, at.y, width, height,
              owner))
    return false;
  openPicker = hwnd();
  mouseHook_ = SetWindowsHookExW(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
  keyHook_ = SetWindowsHookExW(WH_KEYBOARD, KeyHook, nullptr, GetCurrentThreadId());
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd());
  return true;
}

void ColourPicker::Close() {
  chosen_ = nullptr;
  Destroy();
}

void ColourPicker::Choose(int item) {
  Chosen chosen = std::move(chosen_);
  chosen_ = nullptr;
  COLORREF colour = item == -1 ? CLR_INVALID : Swatch(item);
  HWND owner = owner_;
  Close();
  if (item == 16) {
    colour = current_;
    if (!(more_ ? more_(owner, colour) : SystemMoreColours(owner, colour))) return;
  }
  if (item >= -1 && chosen) chosen(colour);
}

void ColourPicker::Paint(HDC dc) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectGuard g(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
  RECT top{0, 0, kWidth, kGridTop};
  DrawTextW(dc, L"Авто", -1, &top, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  for (int i = 0; i < 16; ++i) {
    int x = i % kColumns * kCell, y = kGridTop + i / kColumns * kCell;
    RECT cell{x + 2, y + 2, x + kCell - 2, y + kCell - 2};
    UniqueBrush brush(CreateSolidBrush(kSwatches[i]));
    FillRect(dc, &cell, brush.get());
    FrameRect(dc, &cell, GetSysColorBrush(kSwatches[i] == current_ ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
  }
  RECT bottom{0, kGridBottom, kWidth, kHeight};
  DrawTextW(dc, L"Другия цвета..", -1, &bottom, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT ColourPicker::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      Paint(ui::PaintGuard(hwnd()).dc());
      return 0;
    }
    case WM_LBUTTONDOWN:
      pressed_ = ItemAt(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      // Only a press forwarded from elsewhere lies outside; it is a click away.
      if (pressed_ == -2) Close();
      return 0;
    case WM_LBUTTONUP: {
      // A release chooses the item it was pressed on; one without a press here (the end
      // of the click that opened the picker) does nothing.
      int item = ItemAt(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      bool chosen = item != -2 && item == pressed_;
      pressed_ = -2;
      if (chosen) Choose(item);
      return 0;
    }
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) Close();
      return 0;
    case WM_ACTIVATEAPP:
      // Another program became active: the picker goes, as a menu would.
      if (!wp && hwnd()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY:
      // However the window goes (closed, or with its owner), the hooks go with it.
      if (mouseHook_) UnhookWindowsHookEx(mouseHook_);
      if (keyHook_) UnhookWindowsHookEx(keyHook_);
      mouseHook_ = keyHook_ = nullptr;
      if (openPicker == hwnd()) openPicker = nullptr;
      return Window::HandleMessage(msg, wp, lp);
    default: return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace vm::ui
