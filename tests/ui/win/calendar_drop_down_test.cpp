// The month-calendar drop-down: it opens on the given date, a pick reports the date and
// closes it, Esc closes it without one.
#include "ui/calendar_drop_down.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"

namespace vm::ui {
namespace {

TEST(CalendarDropDown, OpensOnTheDatePickReportsEscCloses) {
  vm::testing::HostWindow host;
  std::vector<int> picked;
  CalendarDropDown drop;
  auto record = [&](int d, int m, int y) { picked.push_back(y * 10000 + m * 100 + d); };
  ASSERT_TRUE(drop.Show(host.hwnd(), POINT{60, 60}, 13, 3, 2026, record));
  SYSTEMTIME st{};
  MonthCal_GetCurSel(drop.calendar(), &st);
  EXPECT_EQ(st.wDay, 13);
  EXPECT_EQ(st.wMonth, 3);
  EXPECT_EQ(st.wYear, 2026);
  st.wDay = 20;
  MonthCal_SetCurSel(drop.calendar(), &st);
  SendMessageW(drop.calendar(), WM_KEYDOWN, VK_RETURN, 0);
  vm::testing::PumpPending();
  EXPECT_EQ(picked, (std::vector<int>{20260320}));
  EXPECT_EQ(drop.hwnd(), nullptr);

  ASSERT_TRUE(drop.Show(host.hwnd(), POINT{60, 60}, 1, 1, 2027, record));
  SendMessageW(drop.calendar(), WM_KEYDOWN, VK_ESCAPE, 0);
  vm::testing::PumpPending();
  EXPECT_EQ(drop.hwnd(), nullptr);
  EXPECT_EQ(picked.size(), 1u);
}

}  // namespace
}  // namespace vm::ui
