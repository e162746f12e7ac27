// The owner-drawn list box in no-data mode: only a count is kept, and the page paints the
// rows the list asks for.
#include "ui/owner_list.h"

#include <gtest/gtest.h>

#include <set>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"

namespace vm::ui {
namespace {

TEST(OwnerList, KeepsACountAndPaintsTheRowsOnShow) {
  vm::testing::HostWindow host;
  std::set<int> painted;
  OwnerList list;
  ASSERT_TRUE(list.Create(host.hwnd(), 300, RECT{5, 5, 200, 165}, 20, [&](const OwnerList::Row& row) {
    OwnerList::PaintBackground(row);
    painted.insert(row.index);
  }));
  list.SetCount(100000);
  EXPECT_EQ(list.Count(), 100000);
  EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETITEMHEIGHT, 0, 0), 20);
  UpdateWindow(list.hwnd());
  vm::testing::PumpPending();
  EXPECT_FALSE(painted.empty());
  EXPECT_LT(*painted.rbegin(), 20) << "only the rows on show are painted";
  list.Select(42);
  EXPECT_EQ(list.Selected(), 42);
  list.SetCount(0);
  EXPECT_EQ(list.Selected(), -1);
}

}  // namespace
}  // namespace vm::ui
