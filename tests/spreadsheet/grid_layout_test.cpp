#include "spreadsheet/grid_layout.h"

#include <gtest/gtest.h>

#include <map>

#include "spreadsheet/cell_text.h"
#include "spreadsheet/grid_ops.h"

namespace vm::spreadsheet {
namespace {

// 7 pixels a byte, as a stand-in for a font.
int Width(const CSheet& s, int r, int c) {
  const CSheetCell* cell = s.StoredCell(r, c);
  return cell ? static_cast<int>(cell->text.size()) * 7 : 0;
}

GridViewport Screen(int width = 400, int height = 300) {
  GridViewport v;
  v.width = width;
  v.height = height;
  return v;
}

CSheet MakeSheet() {
  CSheet s;
  s.SetRowCount(50);
  s.SetColumnCount(20);
  return s;
}

std::map<std::pair<int, int>, CellDraw> ByCell(const std::vector<CellDraw>& list) {
  std::map<std::pair<int, int>, CellDraw> out;
  for (const CellDraw& d : list) EXPECT_TRUE(out.emplace(std::make_pair(d.row, d.column), d).second);
  return out;
}

CellDraw At(const std::map<std::pair<int, int>, CellDraw>& cells, int r, int c) {
  auto it = cells.find({r, c});
  EXPECT_NE(it, cells.end()) << r << ":" << c;
  return it == cells.end() ? CellDraw{} : it->second;
}

TEST(GridLayout, EachCellOnceAndMergedAreasWhole) {
  CSheet s = MakeSheet();
  s.SetColumnWidth(1, 100);
  s.Merge(CellRect{0, 1, 2, 2});  // B1:C3
  GridViewport v = Screen(400, 300);
  auto cells = ByCell(LayoutScreen(s, v, [&](int r, int c) { return Width(s, r, c); }));
  CellRect visible = VisibleCells(s, v);
  int plain = (visible.bottom + 1) * (visible.right + 1) - 6;
  EXPECT_EQ(static_cast<int>(cells.size()), plain + 1);
  EXPECT_EQ(At(cells, 0, 1).box, (PixelRect{104, 18, 104 + 164, 18 + 51}));
  EXPECT_EQ(At(cells, 3, 2).box, (PixelRect{204, 69, 268, 86}));
  // Scrolled into the middle of the area: drawn once from its top-left cell, which lies
  // above and left of the screen.
  v.topRow = 1;
  v.leftColumn = 2;
  cells = ByCell(LayoutScreen(s, v, [&](int r, int c) { return Width(s, r, c); }));
  EXPECT_EQ(At(cells, 0, 1).box, (PixelRect{40 - 100, 18 - 17, 40 + 64, 18 + 34}));
  EXPECT_EQ(cells.count(std::make_pair(1, 2)), 0u);
}

TEST(GridLayout, LongTextsSpillIntoEmptyNeighbours) {
  CSheet s = MakeSheet();
  auto width = [&](int r, int c) { return Width(s, r, c); };
  s.CellForEdit(0, 0)->SetText("a text of thirty bytes or more");  // 210 px: A..D
  s.CellForEdit(1, 0)->SetText("a text of thirty bytes or more");
  s.CellForEdit(1, 2)->SetText("x");  // stops the run at B
  s.CellForEdit(2, 0)->SetText("fits");
  s.CellForEdit(3, 0)->SetText("a text of thirty bytes or more");
  s.Merge(CellRect{3, 1, 3, 2});  // a merge is never run into
  s.CellForEdit(4, 0)->SetText("a text of thirty bytes or more");
  s.CellForEdit(4, 0)->SetWrap(true);
  s.CellForEdit(5, 0)->SetText("123456789012345678901234567890");
  ChangeKind(*s.CellForEdit(5, 0), kKindNumber, NumberLocale{});
  s.CellForEdit(6, 5)->SetText("a right-aligned text running left");
  SetHorizontalAlignment(s, CellRect{6, 5, 6, 5}, kAlignRight);
  auto cells = ByCell(LayoutScreen(s, Screen(600, 300), width));

  EXPECT_EQ(At(cells, 0, 0).textBox, (PixelRect{40, 18, 40 + 4 * 64, 35}));
  EXPECT_TRUE(At(cells, 0, 0).hideRightLine && At(cells, 0, 1).hideRightLine && At(cells, 0, 2).hideRightLine);
  EXPECT_FALSE(At(cells, 0, 3).hideRightLine);
  EXPECT_EQ(At(cells, 1, 0).textBox.right, 40 + 2 * 64);
  EXPECT_FALSE(At(cells, 1, 1).hideRightLine);
  EXPECT_EQ(At(cells, 2, 0).textBox, At(cells, 2, 0).box);
  EXPECT_EQ(At(cells, 3, 0).textBox, At(cells, 3, 0).box);
  EXPECT_EQ(At(cells, 4, 0).textBox, At(cells, 4, 0).box);
  EXPECT_EQ(At(cells, 5, 0).textBox, At(cells, 5, 0).box);
  EXPECT_EQ(At(cells, 6, 5).textBox, (PixelRect{40 + 2 * 64, At(cells, 6, 5).box.top, 40 + 6 * 64, At(cells, 6, 5).box.bottom}));
  EXPECT_TRUE(At(cells, 6, 4).hideRightLine);
  EXPECT_FALSE(At(cells, 6, 5).hideRightLine);
}

TEST(GridLayout, TextsFromBesideTheScreenSpillIntoIt) {
  CSheet s = MakeSheet();
  auto width = [&](int r, int c) { return Width(s, r, c); };
  s.CellForEdit(0, 0)->SetText("a text of thirty bytes or more");
  s.CellForEdit(1, 0)->SetText("short");
  GridViewport v = Screen(300, 200);
  v.leftColumn = 2;
  std::vector<CellDraw> list = LayoutScreen(s, v, width);
  int beyond = 0;
  for (const CellDraw& d : list) {
    if (!d.beyond) continue;
    ++beyond;
    EXPECT_EQ(d.row, 0);
    EXPECT_EQ(d.box.left, 40 - 128);
    EXPECT_EQ(d.textBox.right, 40 + 2 * 64);
  }
  EXPECT_EQ(beyond, 1);
  // Past the spill's end the text shows no more.
  v.leftColumn = 4;
  for (const CellDraw& d : LayoutScreen(s, v, width)) EXPECT_FALSE(d.beyond);
}

TEST(PrintPages, UsedAreaCutIntoPagesDownThenAcross) {
  CSheet s = MakeSheet();
  EXPECT_TRUE(PrintedArea(s).Empty());
  EXPECT_TRUE(PrintPages(s, 500, 500).empty());
  s.CellForEdit(9, 5)->SetText("last");
  s.CellForEdit(2, 7)->fillColor = Rgb(1, 2, 3);
  s.CellForEdit(2, 7)->mask |= kCellFillColor;
  s.CellForEdit(30, 1);  // formatted nothing: not printed
  EXPECT_EQ(PrintedArea(s), (CellRect{0, 0, 9, 7}));
  // 8 columns of 64 on pages 200 wide: 3 + 3 + 2; 10 rows of 17 on pages 100 high: 5 + 5.
  std::vector<CellRect> pages = PrintPages(s, 200, 100);
  ASSERT_EQ(pages.size(), 6u);
  EXPECT_EQ(pages[0], (CellRect{0, 0, 4, 2}));
  EXPECT_EQ(pages[1], (CellRect{5, 0, 9, 2}));
  EXPECT_EQ(pages[2], (CellRect{0, 3, 4, 5}));
  EXPECT_EQ(pages[5], (CellRect{5, 6, 9, 7}));
  EXPECT_TRUE(PrintPages(s, 0, 100).empty());
}

TEST(PrintPages, MergedAreasStayWholeAndWideColumnsStandAlone) {
  auto size = [](int i) { return i == 6 ? 500 : 10; };
  // 0..9 fit in 100; the span 8..11 would be cut, so the page ends at 7.
  EXPECT_EQ(SplitRuns([](int) { return 10; }, 0, 19, 100, {{8, 11}}),
            (std::vector<std::pair<int, int>>{{0, 7}, {8, 17}, {18, 19}}));
  // Pulling back before one span lands inside another that starts earlier.
  EXPECT_EQ(SplitRuns([](int) { return 10; }, 0, 12, 100, {{8, 11}, {6, 8}}),
            (std::vector<std::pair<int, int>>{{0, 5}, {6, 12}}));
  // A span larger than a page, or starting the page, is cut where it must be.
  EXPECT_EQ(SplitRuns([](int) { return 10; }, 0, 24, 100, {{0, 14}}),
            (std::vector<std::pair<int, int>>{{0, 9}, {10, 19}, {20, 24}}));
  // A size beyond the page gets one of its own.
  EXPECT_EQ(SplitRuns(size, 0, 9, 100, {}), (std::vector<std::pair<int, int>>{{0, 5}, {6, 6}, {7, 9}}));
  EXPECT_TRUE(SplitRuns(size, 0, 9, 0, {}).empty());

  CSheet s = MakeSheet();
  s.CellForEdit(0, 0)->SetText("x");
  s.Merge(CellRect{4, 2, 7, 3});
  std::vector<CellRect> pages = PrintPages(s, 1000, 17 * 6);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0], (CellRect{0, 0, 3, 3}));
  EXPECT_EQ(pages[1], (CellRect{4, 0, 7, 3}));
}

}  // namespace
}  // namespace vm::spreadsheet
