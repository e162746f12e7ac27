#include "spreadsheet/grid_view.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm::spreadsheet {
namespace {

// 100 rows of 17 and 10 columns of 64, but column 2 is 100 wide and row 3 is 40 high.
CSheet MakeSheet() {
  CSheet s;
  s.SetRowCount(100);
  s.SetColumnCount(10);
  s.SetColumnWidth(2, 100);
  s.SetRowHeight(3, 40);
  return s;
}

GridViewport Screen(int width = 400, int height = 300) {
  GridViewport v;
  v.width = width;
  v.height = height;
  return v;
}

TEST(GridView, PositionsFollowCustomSizesAndScrolling) {
  CSheet s = MakeSheet();
  GridViewport v = Screen();
  EXPECT_EQ(ColumnX(s, v, 0), 40);
  EXPECT_EQ(ColumnX(s, v, 3), 40 + 64 + 64 + 100);
  EXPECT_EQ(RowY(s, v, 4), 18 + 17 * 3 + 40);
  v.leftColumn = 3;
  v.topRow = 4;
  EXPECT_EQ(ColumnX(s, v, 3), 40);
  EXPECT_EQ(ColumnX(s, v, 2), 40 - 100);  // scrolled away to the left
  EXPECT_EQ(RowY(s, v, 3), 18 - 40);
}

TEST(GridView, VisibleCellsAreThoseStartingInTheCellsArea) {
  CSheet s = MakeSheet();
  GridViewport v = Screen(400, 300);
  // Columns start at 40, 104, 168, 268, 332, 396 (< 400) -> 0..5; rows up to y < 280.
  CellRect r = VisibleCells(s, v);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.top, 0);
  // 18 + 17*3 + 40 = 109, then 17 each: rows 4.. start at 109,126,...,262,279 -> row 14.
  EXPECT_EQ(r.bottom, 14);
  v.topRow = 95;  // near the end: only what exists
  EXPECT_EQ(VisibleCells(s, v).bottom, 99);
  EXPECT_EQ(RowsPerPage(s, v), 5);

  CSheet empty;
  EXPECT_TRUE(VisibleCells(empty, v).Empty());
}

TEST(GridView, ScrollingAFullSheetShowsOnlyAScreen) {
  CSheet s;
  s.SetRowCount(kMaxRows);
  s.SetColumnCount(kMaxColumns);
  GridViewport v = Screen(640, 480);
  v.topRow = 60000;
  v.leftColumn = 250;
  CellRect r = VisibleCells(s, v);
  EXPECT_EQ(r.top, 60000);
  EXPECT_EQ(r.right, 255);  // 6 columns are all there are
  EXPECT_EQ(r.bottom - r.top + 1, (480 - 20 - 18 + 16) / 17);
}

TEST(GridView, HitTestFindsCellsHeadersEdgesAndMerges) {
  CSheet s = MakeSheet();
  ASSERT_TRUE(s.Merge(CellRect{1, 1, 2, 2}));  // B2:C3
  GridViewport v = Screen();
  TabStrip tabs;
  auto part = [&](int x, int y) { return HitTest(s, v, tabs, x, y); };

  EXPECT_EQ(part(10, 5).part, GridPart::kCorner);
  GridHit h = part(50, 5);
  EXPECT_EQ(h.part, GridPart::kColumnHeader);
  EXPECT_EQ(h.column, 0);
  h = part(104 + 1, 5);  // just right of column A's right edge
  EXPECT_EQ(h.part, GridPart::kColumnEdge);
  EXPECT_EQ(h.column, 0);
  h = part(167, 5);
  EXPECT_EQ(h.part, GridPart::kColumnEdge);
  EXPECT_EQ(h.column, 1);
  h = part(10, 18 + 17 + 8);
  EXPECT_EQ(h.part, GridPart::kRowHeader);
  EXPECT_EQ(h.row, 1);
  h = part(10, 18 + 17 - 1);
  EXPECT_EQ(h.part, GridPart::kRowEdge);
  EXPECT_EQ(h.row, 0);

  // Any point of the merged area answers with its top-left cell.
  h = part(200, 18 + 17 * 2 + 5);  // C3
  EXPECT_EQ(h.part, GridPart::kCell);
  EXPECT_EQ(h.row, 1);
  EXPECT_EQ(h.column, 1);
  h = part(50, 18 + 5);
  EXPECT_EQ(h.row, 0);
  EXPECT_EQ(h.column, 0);

  // Right of the last column there is nothing.
  CSheet narrow;
  narrow.SetRowCount(2);
  narrow.SetColumnCount(1);
  EXPECT_EQ(HitTest(narrow, v, tabs, 300, 30).part, GridPart::kNothing);
}

TEST(GridView, MergedAreaBoundsReachBeyondTheScroll) {
  CSheet s = MakeSheet();
  ASSERT_TRUE(s.Merge(CellRect{0, 0, 4, 1}));
  GridViewport v = Screen();
  PixelRect whole = CellBounds(s, v, 2, 1);
  EXPECT_EQ(whole, (PixelRect{40, 18, 40 + 128, 18 + 17 * 4 + 40}));
  v.topRow = 2;
  PixelRect scrolled = CellBounds(s, v, 4, 0);
  EXPECT_EQ(scrolled.top, 18 - 34);
  EXPECT_EQ(scrolled.bottom, 18 + 17 + 40 + 17);
}

TEST(GridView, TabsLayOutAndScrollIntoView) {
  CSheet s = MakeSheet();
  GridViewport v = Screen(200, 300);
  TabStrip tabs;
  tabs.textWidths = {40, 40, 40, 40};
  std::vector<PixelRect> places = tabs.Places(v);
  EXPECT_EQ(places[0], (PixelRect{34, 280, 90, 300}));
  EXPECT_EQ(places[1].left, 90);
  EXPECT_EQ(HitTest(s, v, tabs, 95, 290).tab, 1);
  EXPECT_EQ(HitTest(s, v, tabs, 5, 290).part, GridPart::kTabArrowLeft);
  EXPECT_EQ(HitTest(s, v, tabs, 20, 290).part, GridPart::kTabArrowRight);
  // The fourth tab ends at 258: two tabs must scroll away for it to end by 200.
  EXPECT_EQ(tabs.FirstShownFor(3, v), 2);
  EXPECT_EQ(tabs.FirstShownFor(0, v), 0);
  tabs.firstShown = 2;
  EXPECT_TRUE(tabs.Places(v)[0].Empty());
  EXPECT_EQ(HitTest(s, v, tabs, 40, 290).tab, 2);
}

TEST(GridView, LongOrCutOffTabsAreClipped) {
  GridViewport v = Screen(200, 300);
  TabStrip tabs;
  tabs.textWidths = {40, 400, 40, 40};
  // The long name is cut to the limit; the tab after it starts beyond the window.
  EXPECT_EQ(tabs.Places(v)[1].right - tabs.Places(v)[1].left, TabStrip::kMaxWidth);
  EXPECT_FALSE(tabs.Clipped(0, v));
  EXPECT_TRUE(tabs.Clipped(1, v));
  EXPECT_FALSE(tabs.Clipped(2, v));  // not shown at all
  tabs.textWidths = {40, 40, 80};
  EXPECT_TRUE(tabs.Clipped(2, v));  // 146..242 runs past 200
  tabs.firstShown = 1;
  EXPECT_FALSE(tabs.Clipped(2, v));
  EXPECT_FALSE(tabs.Clipped(0, v));
}

TEST(GridSelection, KeysMoveExtendAndPassOverMerges) {
  CSheet s = MakeSheet();
  ASSERT_TRUE(s.Merge(CellRect{1, 1, 2, 2}));
  GridSelection sel;
  sel.Set({1, 0});
  MoveSelection(s, sel, GridKey::kRight, {}, 10);
  EXPECT_EQ(sel.focus, (CellPos{1, 1}));
  EXPECT_EQ(sel.Rect(s), (CellRect{1, 1, 2, 2}));
  MoveSelection(s, sel, GridKey::kRight, {}, 10);  // out of the area at once
  EXPECT_EQ(sel.focus, (CellPos{1, 3}));

  sel.Set({0, 0});
  MoveSelection(s, sel, GridKey::kDown, {true, false}, 10);
  EXPECT_EQ(sel.anchor, (CellPos{0, 0}));
  EXPECT_EQ(sel.focus, (CellPos{1, 0}));
  // A rectangle cutting the merged area grows to hold it.
  MoveSelection(s, sel, GridKey::kRight, {true, false}, 10);
  EXPECT_EQ(sel.Rect(s), (CellRect{0, 0, 2, 2}));
  // A plain arrow moves on from the current cell, not from the extended corner.
  MoveSelection(s, sel, GridKey::kRight, {}, 10);
  EXPECT_EQ(sel.anchor, (CellPos{0, 1}));
  EXPECT_EQ(sel.focus, (CellPos{0, 1}));

  // Tab and Enter move on; with Shift they go back instead of extending.
  sel.Set({5, 5});
  MoveSelection(s, sel, GridKey::kTab, {}, 10);
  EXPECT_EQ(sel.focus, (CellPos{5, 6}));
  MoveSelection(s, sel, GridKey::kTab, {true, false}, 10);
  EXPECT_EQ(sel.anchor, (CellPos{5, 5}));
  EXPECT_EQ(sel.focus, (CellPos{5, 5}));
  MoveSelection(s, sel, GridKey::kEnter, {}, 10);
  EXPECT_EQ(sel.focus, (CellPos{6, 5}));
  MoveSelection(s, sel, GridKey::kEnter, {true, false}, 10);
  EXPECT_EQ(sel.focus, (CellPos{5, 5}));

  // Edges: clamped to the sheet; pages by the rows given.
  struct Case {
    CellPos from;
    GridKey key;
    KeyModifiers mods;
    CellPos to;
  } cases[] = {
      {{0, 0}, GridKey::kUp, {}, {0, 0}},
      {{0, 0}, GridKey::kLeft, {}, {0, 0}},
      {{99, 9}, GridKey::kDown, {}, {99, 9}},
      {{99, 9}, GridKey::kRight, {}, {99, 9}},
      {{5, 5}, GridKey::kHome, {}, {5, 0}},
      {{5, 5}, GridKey::kEnd, {}, {5, 9}},
      {{5, 5}, GridKey::kHome, {false, true}, {0, 0}},
      {{5, 5}, GridKey::kPageDown, {}, {15, 5}},
      {{95, 5}, GridKey::kPageDown, {}, {99, 5}},
      {{5, 5}, GridKey::kPageUp, {}, {0, 5}},
  };
  for (const Case& c : cases) EXPECT_EQ(MoveFocus(s, c.from, c.key, c.mods, 10), c.to);
}

TEST(GridSelection, CtrlArrowsJumpOverBlocksOfFilledCells) {
  CSheet s = MakeSheet();
  for (int c : {2, 3, 4, 7}) s.CellForEdit(0, c)->SetText("x");
  s.CellForEdit(20, 1)->SetText("end");
  KeyModifiers ctrl{false, true};
  EXPECT_EQ(MoveFocus(s, {0, 0}, GridKey::kRight, ctrl, 10), (CellPos{0, 2}));  // to the next filled
  EXPECT_EQ(MoveFocus(s, {0, 2}, GridKey::kRight, ctrl, 10), (CellPos{0, 4}));  // to the block's end
  EXPECT_EQ(MoveFocus(s, {0, 4}, GridKey::kRight, ctrl, 10), (CellPos{0, 7}));
  EXPECT_EQ(MoveFocus(s, {0, 7}, GridKey::kRight, ctrl, 10), (CellPos{0, 9}));  // nothing more: the edge
  EXPECT_EQ(MoveFocus(s, {0, 4}, GridKey::kLeft, ctrl, 10), (CellPos{0, 2}));
  EXPECT_EQ(MoveFocus(s, {0, 1}, GridKey::kDown, ctrl, 10), (CellPos{20, 1}));
  EXPECT_EQ(MoveFocus(s, {3, 3}, GridKey::kEnd, ctrl, 10), (CellPos{20, 7}));
}

TEST(GridSelection, ScrollingShowsTheFocusAndNoMore) {
  CSheet s = MakeSheet();
  GridViewport v = Screen(400, 300);
  ScrollToShow(s, v, {14, 0});  // already (partly) there? row 14 ends at 296 > 280: scroll one
  EXPECT_EQ(v.topRow, 1);
  ScrollToShow(s, v, {0, 0});
  EXPECT_EQ(v.topRow, 0);
  ScrollToShow(s, v, {50, 9});
  EXPECT_LE(RowY(s, v, 51), v.CellsBottom());
  EXPECT_GT(RowY(s, v, 52), v.CellsBottom());
  EXPECT_LE(ColumnX(s, v, 10), v.CellsRight());  // the last column ends on screen
  EXPECT_GT(v.leftColumn, 0);
}

// The scroll as it was first written, a step at a time with every position summed again:
// the reference the direct walk must agree with.
void ScrollToShowStepwise(const CSheet& sheet, GridViewport& view, CellPos cell) {
  CellRect span = CellSpan(sheet, cell.row, cell.column);
  if (span.top < view.topRow)
    view.topRow = span.top;
  else
    while (view.topRow < span.top && RowY(sheet, view, span.bottom + 1) > view.CellsBottom()) ++view.topRow;
  if (span.left < view.leftColumn)
    view.leftColumn = span.left;
  else
    while (view.leftColumn < span.left && ColumnX(sheet, view, span.right + 1) > view.CellsRight())
      ++view.leftColumn;
}

// 120 rows and 24 columns of mixed sizes, some hidden, with merged areas larger and
// smaller than a screen.
CSheet MixedSheet(bool merged) {
  CSheet s;
  s.SetRowCount(120);
  s.SetColumnCount(24);
  for (int r = 0; r < 120; ++r) s.SetRowHeight(r, r % 11 == 0 ? 0 : r % 7 == 0 ? 45 : 17 + r % 3);
  for (int r = 60; r < 80; ++r) s.SetRowHeight(r, 0);  // a long hidden run
  s.SetRowHeight(100, 400);                            // one row taller than a screen
  for (int c = 0; c < 24; ++c) s.SetColumnWidth(c, c % 9 == 0 ? 0 : c % 4 == 0 ? 150 : 64);
  s.SetColumnWidth(20, 700);
  if (merged) {
    s.Merge(CellRect{20, 2, 45, 3});     // taller than a screen
    s.Merge(CellRect{50, 5, 53, 12});    // wider than the small screen
    s.Merge(CellRect{57, 14, 62, 15});   // ends in the hidden run
  }
  return s;
}

TEST(GridSelection, ScrollingStraightToACellMatchesScrollingStepByStep) {
  const GridViewport screens[] = {Screen(400, 300), Screen(1260, 900), Screen(120, 60), Screen(50, 30)};
  const CellPos starts[] = {{0, 0}, {27, 6}, {59, 13}, {119, 23}};
  for (bool merged : {false, true}) {
    CSheet s = MixedSheet(merged);
    for (const GridViewport& screen : screens)
      for (CellPos start : starts)
        for (int r = 0; r < 120; r += 2)
          for (int c = 0; c < 24; c += 3) {
            GridViewport direct = screen, stepwise = screen;
            direct.topRow = stepwise.topRow = start.row;
            direct.leftColumn = stepwise.leftColumn = start.column;
            ScrollToShow(s, direct, {r, c});
            ScrollToShowStepwise(s, stepwise, {r, c});
            ASSERT_EQ(direct.topRow, stepwise.topRow) << "merged " << merged << ", screen " << screen.width
                                                      << ", from row " << start.row << " to R" << r << "C" << c;
            ASSERT_EQ(direct.leftColumn, stepwise.leftColumn)
                << "merged " << merged << ", screen " << screen.width << ", from column " << start.column
                << " to R" << r << "C" << c;
          }
  }
}

TEST(GridSelection, TheSelectionFrameStopsJustOutsideTheCells) {
  CSheet s = MixedSheet(false);
  GridViewport v = Screen(400, 300);
  v.topRow = 40;
  v.leftColumn = 10;
  const CellRect selections[] = {{0, 0, 119, 23}, {41, 11, 43, 12}, {0, 11, 41, 12},
                                 {42, 0, 119, 11}, {60, 18, 70, 20}, {20, 2, 30, 5}};
  for (const CellRect& sel : selections) {
    PixelRect frame = SelectionFrame(s, v, sel);
    auto within = [](int pos, int low, int high) { return std::clamp(pos, low - 2, high + 2); };
    EXPECT_EQ(frame, (PixelRect{within(ColumnX(s, v, sel.left), v.CellsLeft(), v.CellsRight()),
                                within(RowY(s, v, sel.top), v.CellsTop(), v.CellsBottom()),
                                within(ColumnX(s, v, sel.right + 1), v.CellsLeft(), v.CellsRight()),
                                within(RowY(s, v, sel.bottom + 1), v.CellsTop(), v.CellsBottom())}))
        << "R" << sel.top << "C" << sel.left << ":R" << sel.bottom << "C" << sel.right;
  }
}

TEST(GridView, ColumnNamesGoOnAfterZ) {
  EXPECT_EQ(ColumnName(0), "A");
  EXPECT_EQ(ColumnName(25), "Z");
  EXPECT_EQ(ColumnName(26), "AA");
  EXPECT_EQ(ColumnName(51), "AZ");
  EXPECT_EQ(ColumnName(52), "BA");
  EXPECT_EQ(ColumnName(255), "IV");
}

TEST(GridEditor, KeyRulesDependOnHowEditingStarted) {
  KeyModifiers none, shift{true, false};
  EXPECT_EQ(EditorKeyRule(EditorKey::kEnter, EditStart::kF2, none, false), EditorKeyAction::kStoreMoveDown);
  EXPECT_EQ(EditorKeyRule(EditorKey::kEnter, EditStart::kF2, shift, false), EditorKeyAction::kStoreMoveUp);
  EXPECT_EQ(EditorKeyRule(EditorKey::kEnter, EditStart::kTyping, none, true), EditorKeyAction::kNewLine);
  EXPECT_EQ(EditorKeyRule(EditorKey::kTab, EditStart::kTyping, none, false),
            EditorKeyAction::kStoreMoveRight);
  EXPECT_EQ(EditorKeyRule(EditorKey::kTab, EditStart::kTyping, shift, false),
            EditorKeyAction::kStoreMoveLeft);
  EXPECT_EQ(EditorKeyRule(EditorKey::kEscape, EditStart::kF2, none, false), EditorKeyAction::kCancel);
  EXPECT_EQ(EditorKeyRule(EditorKey::kLeft, EditStart::kTyping, none, false),
            EditorKeyAction::kStoreMoveArrow);
  EXPECT_EQ(EditorKeyRule(EditorKey::kLeft, EditStart::kF2, none, false), EditorKeyAction::kPass);
  EXPECT_EQ(EditorKeyRule(EditorKey::kOther, EditStart::kTyping, none, false), EditorKeyAction::kPass);
}

}  // namespace
}  // namespace vm::spreadsheet
