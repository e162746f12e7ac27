#include "ui/window.h"

#include <commctrl.h>

#include <string>

#include "platform/platform.h"

namespace vm::ui {

void ReportHandlerFailure(const char* what) {
  platform::ShowMessage(std::string("Внутренняя ошибка: ") + (what ? what : "?"),
                        platform::MessageIcon::kStop);
}

// ---- Window -----------------------------------------------------------------------------

Window::~Window() {
  Destroy();
}

HWND Window::Create(const ClassInfo& cls, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                    HWND parent, HMENU menuOrId) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW known{};
  known.cbSize = sizeof known;
  if (!GetClassInfoExW(instance, cls.name, &known)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = cls.style;
    wc.lpfnWndProc = &Window::Proc;
    wc.hInstance = instance;
    wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = cls.background;
    wc.lpszClassName = cls.name;
    if (!RegisterClassExW(&wc)) return nullptr;
  }
  return CreateWindowExW(exStyle, cls.name, L"", style, x, y, width, height, parent, menuOrId, instance,
                         this);
}

void Window::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* made = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
    made->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT r = Guarded([&] { return self->HandleMessage(msg, wp, lp); },
                      [&] { return DefWindowProcW(hwnd, msg, wp, lp); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    Guarded([&] { self->OnFinalMessage(); }, [] {});
  }
  return r;
}

// ---- Subclass ---------------------------------------------------------------------------

bool Subclass::Attach(HWND window, Handler handler) {
  Detach();
  if (!window) return false;
  handler_ = std::move(handler);
  if (!SetWindowSubclass(window, &Subclass::Proc, reinterpret_cast<UINT_PTR>(this),
                         reinterpret_cast<DWORD_PTR>(this)))
    return false;
  hwnd_ = window;
  return true;
}

void Subclass::Detach() {
  if (hwnd_ && IsWindow(hwnd_))
    RemoveWindowSubclass(hwnd_, &Subclass::Proc, reinterpret_cast<UINT_PTR>(this));
  hwnd_ = nullptr;
}

LRESULT Subclass::Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Subclass::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<Subclass*>(data);
  // The subclass is taken off before the last message goes on; the handler still sees it.
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &Subclass::Proc, reinterpret_cast<UINT_PTR>(self));
    self->hwnd_ = nullptr;
  }
  if (!self->handler_) return DefSubclassProc(hwnd, msg, wp, lp);
  return Guarded([&] { return self->handler_(hwnd, msg, wp, lp); },
                 [&] { return DefSubclassProc(hwnd, msg, wp, lp); });
}

}  // namespace vm::ui
