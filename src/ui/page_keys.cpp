#include "ui/page_keys.h"

namespace vm::ui {

namespace {
constexpr wchar_t kWantsKeysProp[] = L"vm.wantsOwnKeys";
}  // namespace

void MarkWantsOwnKeys(HWND window) {
  SetPropW(window, kWantsKeysProp, reinterpret_cast<HANDLE>(1));
}

bool TranslatePageKeys(HWND page, HACCEL accel, MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (!page || !IsWindowVisible(page) || !msg.hwnd || (msg.hwnd != page && !IsChild(page, msg.hwnd)))
    return false;
  if (accel && TranslateAcceleratorW(page, accel, &msg)) return true;
  if (msg.message != WM_KEYDOWN) return false;
  bool own = GetPropW(msg.hwnd, kWantsKeysProp) != nullptr;
  if (msg.wParam == VK_RETURN || (own && (msg.wParam == VK_ESCAPE || msg.wParam == VK_TAB))) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
  }
  return false;
}

}  // namespace vm::ui
