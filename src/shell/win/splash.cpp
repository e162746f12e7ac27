#include "shell/win/splash.h"

#include "shell/win/shell_resources.h"
#include "ui/resources.h"

namespace vm::shell {

namespace {
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
  if (hwnd()) return true;
  picture_.reset(ui::LoadBitmapResource(IDB_SPLASH));
  if (!picture_) return false;
  BITMAP bm{};
  GetObjectW(picture_.get(), sizeof bm, &bm);
  size_ = SIZE{bm.bmWidth, bm.bmHeight};

  repaint_ = repaint;
  int x = (GetSystemMetrics(SM_CXSCREEN) - size_.cx) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - size_.cy) / 2;
  // Owned by the main window, so it stays above it however that window is shown.
  if (!Create({L"VelmoriaSplash"}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, x, y, size_.cx, size_.cy,
              repaint))
    return false;
  SetTimer(hwnd(), kTimerId, kLifetimeMs, nullptr);
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd());
  return true;
}

bool Splash::FilterMessage(const MSG& msg) {
  if (!hwnd() || !IsPress(msg.message)) return false;
  Close();
  return true;
}

void Splash::Raise() {
  if (hwnd())
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Splash::Close() {
  if (!hwnd()) return;
  KillTimer(hwnd(), kTimerId);
  Destroy();
  if (repaint_ && IsWindow(repaint_)) {
    InvalidateRect(repaint_, nullptr, TRUE);
    UpdateWindow(repaint_);
  }
}

LRESULT Splash::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kTimerId) Close();
      return 0;
    case WM_PAINT: {
      ui::PaintGuard paint(hwnd());
      ui::UniqueDc mem(CreateCompatibleDC(paint.dc()));
      ui::SelectGuard picture(mem.get(), picture_.get());
      BitBlt(paint.dc(), 0, 0, size_.cx, size_.cy, mem.get(), 0, 0, SRCCOPY);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default: return ui::Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace vm::shell
