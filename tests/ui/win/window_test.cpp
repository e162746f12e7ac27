// The window base and the subclass helper: the object is found from its first message
// to its last, and no exception leaves a window procedure.
#include "ui/window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"

namespace vm::ui {
namespace {

class Recording : public Window {
 public:
  std::vector<UINT> seen;
  bool finalSeen = false;
  bool throwOnPaint = false;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    seen.push_back(msg);
    if (msg == WM_USER + 7) {
      if (throwOnPaint) throw std::runtime_error("broken");
      return 77;
    }
    return Window::HandleMessage(msg, wp, lp);
  }
  void OnFinalMessage() override { finalSeen = hwnd() == nullptr; }
};

TEST(Window, SeesItsMessagesFromCreationToTheEndAndStopsExceptions) {
  vm::testing::CapturedMessages shown;
  Recording w;
  ASSERT_TRUE(w.Create({L"VelmoriaTestRecording"}, 0, WS_POPUP, 0, 0, 50, 50, nullptr));
  EXPECT_EQ(w.seen.front(), static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_USER + 7, 0, 0), 77);
  w.throwOnPaint = true;
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_USER + 7, 0, 0), 0) << "the default answer instead";
  ASSERT_EQ(shown.texts().size(), 1u);
  EXPECT_EQ(shown.texts()[0], "Внутренняя ошибка: broken");
  HWND h = w.hwnd();
  w.Destroy();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(w.seen.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_TRUE(w.finalSeen);
  EXPECT_EQ(w.hwnd(), nullptr);
}

TEST(Subclass, ComesFirstGoesWithTheWindowAndStopsExceptions) {
  vm::testing::CapturedMessages shown;
  vm::testing::HostWindow host;
  HWND edit =
      CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 80, 20, host.hwnd(), nullptr, nullptr, nullptr);
  Subclass sub;
  int calls = 0;
  ASSERT_TRUE(sub.Attach(edit, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_USER + 1) {
      ++calls;
      return 5;
    }
    if (m == WM_USER + 2) throw 42;  // not even a std::exception
    return Subclass::Default(h, m, w, l);
  }));
  EXPECT_EQ(SendMessageW(edit, WM_USER + 1, 0, 0), 5);
  SetWindowTextW(edit, L"still an edit");
  wchar_t text[32] = {};
  GetWindowTextW(edit, text, 32);
  EXPECT_STREQ(text, L"still an edit");
  SendMessageW(edit, WM_USER + 2, 0, 0);
  ASSERT_EQ(shown.texts().size(), 1u);
  EXPECT_EQ(shown.texts()[0], "Внутренняя ошибка: ?");
  DestroyWindow(edit);
  EXPECT_EQ(sub.hwnd(), nullptr) << "detached with the window";
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vm::ui
