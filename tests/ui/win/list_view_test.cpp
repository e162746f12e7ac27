// The shared list view on its own: virtual rows from the page's model, in-place editing
// with Enter and Esc, header sorting with its arrow, and what it reports to the page.
#include "ui/list_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"

namespace vm::ui {
namespace {

using vm::testing::PumpPending;

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND list = CreateWindowExW(
        0, WC_LISTVIEWW, nullptr,
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 5, 5, 380,
        250, host_.hwnd(), reinterpret_cast<HMENU>(100), nullptr, nullptr);
    ListView::Callbacks cb;
    cb.text = [this](int row, int column) { return rows_[row][column]; };
    cb.selected = [this](int row) { selections_.push_back(row); };
    cb.edited = [this](int row, int column, const std::string& text) { rows_[row][column] = text; };
    cb.sort = [this](int column, bool ascending) { sorts_.push_back(column * (ascending ? 1 : -1)); };
    list_.Attach(list, ListView::kFullRowSelect, std::move(cb));
    list_.SetColumns({{"Имя", 120, true}, {"Город", 120, false}});
    list_.SetRowCount(static_cast<int>(rows_.size()));
  }

  vm::testing::HostWindow host_;
  std::vector<std::vector<std::string>> rows_ = {
      {"Иванов", "Москва"}, {"Петров", "Тверь"}, {"Сидоров", "Омск"}};
  std::vector<int> selections_, sorts_;
  ListView list_;
};

TEST_F(ListViewTest, ShowsTheModelsRowsAndReportsTheUsersSelectionOnly) {
  EXPECT_EQ(list_.RowCount(), 3);
  EXPECT_EQ(list_.CellText(1, 0), "Петров");
  EXPECT_EQ(list_.CellText(2, 1), "Омск");
  list_.Select(2);
  EXPECT_EQ(list_.Selected(), 2);
  EXPECT_TRUE(selections_.empty()) << "a selection made by the page is not reported back";
  ListView_SetItemState(list_.hwnd(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  PumpPending();
  ASSERT_FALSE(selections_.empty());
  EXPECT_EQ(selections_.back(), 0);
  list_.SetRowCount(0);
  EXPECT_EQ(list_.Selected(), -1);
}

TEST_F(ListViewTest, EditsInPlaceEnterKeepsEscDropsAndOnlyEditableColumns) {
  EXPECT_FALSE(list_.BeginEdit(0, 1)) << "the second column is not editable";
  ASSERT_TRUE(list_.BeginEdit(0, 0));
  ASSERT_NE(list_.editor(), nullptr);
  SetWindowTextW(list_.editor(), L"Иванова");
  SendMessageW(list_.editor(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(list_.editor(), nullptr);
  EXPECT_EQ(rows_[0][0], "Иванова");
  ASSERT_TRUE(list_.BeginEdit(1, 0));
  SetWindowTextW(list_.editor(), L"не то");
  SendMessageW(list_.editor(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(rows_[1][0], "Петров");
  ASSERT_TRUE(list_.BeginEdit(2, 0));
  SetWindowTextW(list_.editor(), L"Сидорова");
  list_.SetRowCount(3);  // new rows under the edit: the typing is dropped with it
  EXPECT_EQ(list_.editor(), nullptr);
  EXPECT_EQ(rows_[2][0], "Сидоров");
}

TEST_F(ListViewTest, HeaderClicksSortAndTurnTheArrow) {
  list_.ClickHeader(1);
  list_.ClickHeader(1);
  list_.ClickHeader(0);
  EXPECT_EQ(sorts_, (std::vector<int>{1, -1, 0}));
  EXPECT_EQ(list_.sortColumn(), 0);
  EXPECT_TRUE(list_.sortAscending());
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  Header_GetItem(ListView_GetHeader(list_.hwnd()), 0, &item);
  EXPECT_TRUE(item.fmt & HDF_SORTUP);
  Header_GetItem(ListView_GetHeader(list_.hwnd()), 1, &item);
  EXPECT_FALSE(item.fmt & (HDF_SORTUP | HDF_SORTDOWN));
}

}  // namespace
}  // namespace vm::ui
