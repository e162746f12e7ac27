#include "shell/win/splash.h"

#include "shell/win/shell_resources.h"
#include "ui/resources.h"

namespace vm::shell {

namespace {
const wchar_t kClass[] = L"VelmoriaSplash";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kLifetimeMs = 500;

bool IsPress(UINT msg) {
  switch (msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCXBUTTONDOWN:
      return true;
    default:
      return false;
  }
}
}  // namespace

Splash::~Splash() { Close(); }

bool Splash::Show(HWND repaint) {
  if (hwnd_) return true;
  picture_.reset(ui::LoadBitmapResource(IDB_SPLASH));
  if (!picture_) return false;
  BITMAP bm{};
  GetObjectW(picture_.get(), sizeof bm, &bm);
  size_ = SIZE{bm.bmWidth, bm.bmHeight};

  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Splash::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    registered = RegisterClassExW(&wc) != 0;
  }
  repaint_ = repaint;
  int x = (GetSystemMetrics(SM_CXSCREEN) - size_.cx) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - size_.cy) / 2;
  // Owned by the main window, so it stays above it however that window is shown.
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"", WS_POPUP, x, y, size_.cx, size_.cy, repaint,
                          nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  SetTimer(hwnd_, kTimerId, kLifetimeMs, nullptr);
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd_);
  return true;
}

bool Splash::FilterMessage(const MSG& msg) {
  if (!hwnd_ || !IsPress(msg.message)) return false;
  Close();
  return true;
}

void Splash::Raise() {
  if (hwnd_)
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Splash::Close() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  hwnd_ = nullptr;
  KillTimer(h, kTimerId);
  SetWindowLongPtrW(h, GWLP_USERDATA, 0);
  DestroyWindow(h);
  if (repaint_ && IsWindow(repaint_)) {
    InvalidateRect(repaint_, nullptr, TRUE);
    UpdateWindow(repaint_);
  }
}

LRESULT CALLBACK Splash::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<Splash*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_TIMER:
      if (wp == kTimerId) self->Close();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, self->picture_.get());
      BitBlt(dc, 0, 0, self->size_.cx, self->size_.cy, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace vm::shell
