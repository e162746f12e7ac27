// The find and replace dialog glue: the system's dialog opens modeless, its requests
// reach the page as calls, and closing it is reported.
#include "ui/find_dialog.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <vector>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"
#include "ui/file_dialogs.h"

namespace vm::ui {
namespace {

TEST(FindDialog, RequestsReachThePageAndClosingIsReported) {
  vm::testing::HostWindow host;
  std::vector<FindDialog::Request> got;
  FindDialog find;
  ASSERT_TRUE(
      find.Open(host.hwnd(), "Иванов", true, [&](const FindDialog::Request& r) { got.push_back(r); }));
  HWND dialog = find.hwnd();
  ASSERT_TRUE(IsWindow(dialog));
  wchar_t text[64] = {};
  GetDlgItemTextW(dialog, edt1, text, 64);
  EXPECT_STREQ(text, L"Иванов");
  SetDlgItemTextW(dialog, edt2, L"Петров");
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(psh2, BN_CLICKED), 0);  // "Replace All" / "Заменить все"
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].action, FindDialog::Action::kReplaceAll);
  EXPECT_EQ(got[0].what, "Иванов");
  EXPECT_EQ(got[0].with, "Петров");
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  vm::testing::PumpPending();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[1].action, FindDialog::Action::kClosed);
  EXPECT_EQ(find.hwnd(), nullptr);
}

TEST(FindDialog, MovesOffAHitItCovers) {
  vm::testing::HostWindow host;
  FindDialog find;
  ASSERT_TRUE(find.Open(host.hwnd(), "x", false, [](const FindDialog::Request&) {}));
  RECT dialog;
  GetWindowRect(find.hwnd(), &dialog);
  // A hit under the middle of the dialog, in the host's client pixels.
  POINT mid{(dialog.left + dialog.right) / 2, (dialog.top + dialog.bottom) / 2};
  ScreenToClient(host.hwnd(), &mid);
  RECT hit{mid.x - 20, mid.y - 8, mid.x + 20, mid.y + 8};
  find.KeepClearOf(host.hwnd(), hit);
  RECT moved, screenHit = hit;
  GetWindowRect(find.hwnd(), &moved);
  MapWindowPoints(host.hwnd(), nullptr, reinterpret_cast<POINT*>(&screenHit), 2);
  RECT overlap;
  EXPECT_FALSE(IntersectRect(&overlap, &moved, &screenHit)) << "still covers the hit";
  EXPECT_EQ(moved.right - moved.left, dialog.right - dialog.left);
  // A hit it does not cover leaves it where it is.
  find.KeepClearOf(host.hwnd(), RECT{hit.left, hit.top, hit.left + 1, hit.top + 1});
  RECT again;
  GetWindowRect(find.hwnd(), &again);
  EXPECT_TRUE(EqualRect(&again, &moved));
  find.Close();
}

TEST(FileDialogs, FilterTextEndsEachPartAndTheList) {
  EXPECT_EQ(FilterText({{"Дела (*.dbw)", "*.dbw"}, {"Все файлы", "*.*"}}),
            std::wstring(L"Дела (*.dbw)\0*.dbw\0Все файлы\0*.*\0\0", 34));
  EXPECT_EQ(FilterText({}), std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace vm::ui
