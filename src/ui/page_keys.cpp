#include "ui/page_keys.h"

#include <algorithm>
#include <vector>

namespace vm::ui {

namespace {

constexpr wchar_t kWantsKeysProp[] = L"vm.wantsOwnKeys";

struct Registry {
  std::vector<PageKeys*> pages;
  HHOOK hook = nullptr;
};
Registry& TheRegistry() {
  static Registry r;
  return r;
}

bool Inside(HWND page, HWND w) {
  return w && (w == page || IsChild(page, w));
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp) {
  Registry& r = TheRegistry();
  if (code == HC_ACTION && wp == PM_REMOVE) {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
      // A copy: a handler may register or detach pages.
      std::vector<PageKeys*> pages = r.pages;
      for (PageKeys* p : pages) {
        if (p->PreTranslate(*msg)) {
          msg->message = WM_NULL;
          break;
        }
      }
    }
  }
  return CallNextHookEx(r.hook, code, wp, lp);
}

}  // namespace

void MarkWantsOwnKeys(HWND window) {
  SetPropW(window, kWantsKeysProp, reinterpret_cast<HANDLE>(1));
}

PageKeys::~PageKeys() {
  Detach();
}

void PageKeys::Attach(HWND page, HACCEL accel) {
  Detach();
  page_ = page;
  accel_ = accel;
  Registry& r = TheRegistry();
  r.pages.push_back(this);
  if (!r.hook) r.hook = SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, nullptr, GetCurrentThreadId());
}

void PageKeys::Detach() {
  if (!page_) return;
  page_ = nullptr;
  Registry& r = TheRegistry();
  r.pages.erase(std::remove(r.pages.begin(), r.pages.end(), this), r.pages.end());
  if (r.pages.empty() && r.hook) {
    UnhookWindowsHookEx(r.hook);
    r.hook = nullptr;
  }
}

bool PageKeys::PreTranslate(MSG& msg) {
  if (!page_ || !IsWindow(page_) || !IsWindowVisible(page_) || !Inside(page_, msg.hwnd)) return false;
  if (accel_ && TranslateAcceleratorW(page_, accel_, &msg)) return true;
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
