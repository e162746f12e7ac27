#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "spreadsheet/grid_ops.h"

namespace vm::spreadsheet {
namespace {

// Russian Windows: decimal comma, no-break space between groups.
const NumberLocale kRussian{",", "\xA0"};
const NumberLocale kPlain{".", ","};

CSheet& Grid(CWorkbook& book, int rows, int columns) {
  CSheet& s = book.Sheet(0);
  s.SetRowCount(rows);
  s.SetColumnCount(columns);
  return s;
}

void Put(CSheet& s, int r, int c, const std::string& text) { s.CellForEdit(r, c)->SetText(text); }

std::string Text(const CSheet& s, int r, int c) { return s.GetCell(r, c).text; }

CSheetCell Number(double v, int decimals = -1, bool raw = false) {
  CSheetCell c;
  c.SetText("x");
  c.kind = kKindNumber;
  c.value = v;
  if (decimals >= 0) {
    c.decimals = decimals;
    c.mask |= kCellDecimals;
  }
  if (raw) c.mask |= kCellRawNumbers;
  return c;
}

TEST(ShownText, NumbersFollowDecimalsAndTheLocale) {
  struct Case {
    double value;
    int decimals;
    bool raw;
    const NumberLocale* locale;
    const char* shown;
  } cases[] = {
      {1234.5, 2, false, &kRussian, "1\xA0" "234,50"},
      {1234.5, 2, false, &kPlain, "1,234.50"},
      {1234.5, -1, false, &kPlain, "1,234.5"},
      {1234567.125, -1, false, &kRussian, "1\xA0" "234\xA0" "567,125"},
      {0.1, -1, false, &kPlain, "0.1"},  // not 0.10000000000000000555
      {-0.5, -1, false, &kPlain, "-0.5"},
      {100, -1, false, &kPlain, "100"},
      {0, -1, false, &kPlain, "0"},
      {-0.001, 2, false, &kPlain, "0.00"},
      {-98765.4321, 1, false, &kRussian, "-98\xA0" "765,4"},
      {1234.5, 3, true, &kRussian, "1234.500"},
      {1e-7, -1, true, &kPlain, "0.0000001"},
      {999.999, 0, false, &kPlain, "1,000"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShownText(Number(c.value, c.decimals, c.raw), *c.locale), c.shown) << c.value;
  CSheetCell text;
  text.SetText("12.5 abc");
  EXPECT_EQ(ShownText(text, kRussian), "12.5 abc");
}

TEST(CellKinds, ChangingTheKindReadsTheText) {
  struct Case {
    const char* text;
    int kind;
    double value;  // NaN: not a date
  } cases[] = {
      {"1 234,5", kKindNumber, 1234.5},
      {"1234.5", kKindNumber, 1234.5},
      {"-12,75 руб.", kKindNumber, -12.75},
      {"abc", kKindNumber, 0},
      {"12,3456", kKindCurrency, 12.3456},
      {"2013/05/01 10:20", kKindDateTime, 41395 + (10 * 60 + 20) / 1440.0},
      {"01.05.2013", kKindDateTime, 41395},
      {"1899-12-30T12:00:00.000", kKindDateTime, 0.5},
      {"31.02.2013", kKindDateTime, NAN},
      {"yesterday", kKindDateTime, NAN},
      {"1", kKindBoolean, 1},
      {"0", kKindBoolean, 0},
  };
  for (const Case& c : cases) {
    CSheetCell cell;
    cell.SetText(c.text);
    ChangeKind(cell, c.kind, kRussian);
    EXPECT_EQ(cell.kind, c.kind) << c.text;
    EXPECT_TRUE(cell.Has(kCellKind));
    if (std::isnan(c.value))
      EXPECT_TRUE(std::isnan(cell.value)) << c.text;
    else
      EXPECT_NEAR(cell.value, c.value, 1e-9) << c.text;
    EXPECT_EQ(cell.text, c.text);
  }
  CSheetCell money = Number(1234.5);
  ChangeKind(money, kKindCurrency, kPlain);
  EXPECT_EQ(money.text, "1234.50");
  EXPECT_DOUBLE_EQ(money.value, 1234.5);  // kopecks kept
  DateTimeParts p;
  ASSERT_TRUE(SplitDateTime(41395 + 0.5 + 30 / 86400.0, p));
  EXPECT_EQ(p.year * 10000 + p.month * 100 + p.day, 20130501);
  EXPECT_EQ(p.hour * 10000 + p.minute * 100 + p.second, 120030);
  ASSERT_TRUE(SplitDateTime(-1.25, p));  // before the epoch the fraction still counts forward
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
}

TEST(CellKinds, SettingTextMakesATextCell) {
  CSheetCell cell = Number(5);
  cell.SetText("five");
  EXPECT_EQ(cell.kind, kKindText);
  EXPECT_FALSE(cell.Has(kCellKind));
  EXPECT_TRUE(cell.Has(kCellText));
  cell.SetText("");
  EXPECT_FALSE(cell.Has(kCellText));
}

TEST(Workbook, SheetsAreNamedAndDeletedByTheRules) {
  CWorkbook book;
  EXPECT_EQ(book.SheetCount(), 1);
  book.Sheet(0).name = SheetNumberName(1);
  book.AddSheet().name = SheetNumberName(3);
  CSheet& added = book.AddSheet();
  EXPECT_EQ(added.name, "Лист 2");
  EXPECT_EQ(added.ColumnCount(), 10);
  EXPECT_EQ(added.RowCount(), 100);
  EXPECT_EQ(book.Current(), 2);
  EXPECT_EQ(book.AddSheet().name, "Лист 4");

  EXPECT_FALSE(book.DeleteSheet(0));  // only the last one goes
  EXPECT_TRUE(book.DeleteSheet(3));
  EXPECT_EQ(book.SheetCount(), 3);
  EXPECT_EQ(book.Current(), 2);
  while (book.SheetCount() > 1) book.DeleteSheet(book.SheetCount() - 1);
  CSheet& only = book.Sheet(0);
  only.SetRowCount(20);
  only.SetColumnCount(20);
  Put(only, 5, 5, "data");
  only.Merge({0, 0, 1, 1});
  ASSERT_TRUE(book.DeleteSheet(0));
  EXPECT_EQ(book.SheetCount(), 1);
  EXPECT_EQ(only.ColumnCount(), 10);
  EXPECT_EQ(only.RowCount(), 100);
  EXPECT_TRUE(only.Rows().empty());
  EXPECT_TRUE(only.Merges().empty());
}

TEST(Sheet, RowsAndColumnsMoveCellsSizesAndMerges) {
  CWorkbook book;
  CSheet& s = Grid(book, 5, 5);
  Put(s, 1, 1, "b2");
  Put(s, 3, 3, "d4");
  s.SetRowHeight(3, 40);
  s.SetColumnWidth(3, 100);
  ASSERT_TRUE(s.Merge({1, 1, 2, 2}));

  ASSERT_TRUE(s.InsertRow(2));  // inside the merged area: it grows
  ASSERT_TRUE(s.InsertColumn(0));
  EXPECT_EQ(s.RowCount(), 6);
  EXPECT_EQ(s.ColumnCount(), 6);
  EXPECT_EQ(Text(s, 1, 2), "b2");
  EXPECT_EQ(Text(s, 4, 4), "d4");
  EXPECT_EQ(s.RowHeight(4), 40);
  EXPECT_EQ(s.ColumnWidth(4), 100);
  ASSERT_EQ(s.Merges().size(), 1u);
  EXPECT_EQ(s.Merges()[0], (MergeArea{1, 2, 1, 2}));

  ASSERT_TRUE(s.DeleteRow(1));  // the area's top row: the area shrinks, moves up
  ASSERT_TRUE(s.DeleteColumn(0));
  EXPECT_EQ(Text(s, 3, 3), "d4");
  EXPECT_EQ(s.Merges()[0], (MergeArea{1, 1, 1, 1}));
  ASSERT_TRUE(s.DeleteRow(1));
  EXPECT_EQ(s.Merges()[0], (MergeArea{1, 1, 1, 0}));
  ASSERT_TRUE(s.DeleteColumn(2));  // one cell left: no area any more
  EXPECT_TRUE(s.Merges().empty());

  EXPECT_TRUE(s.AppendRow());
  EXPECT_TRUE(s.AppendColumn());
  EXPECT_EQ(s.RowHeight(s.RowCount() - 1), s.DefaultHeight());
  s.SetRowCount(kMaxRows + 5);
  EXPECT_EQ(s.RowCount(), kMaxRows);
  EXPECT_FALSE(s.AppendRow());
  EXPECT_FALSE(s.InsertRow(0));
  s.SetColumnCount(1);
  EXPECT_EQ(s.StoredCell(2, 2), nullptr);
}

TEST(GridOps, DeletingTheSelectionsRowsAndColumns) {
  CWorkbook book;
  CSheet& s = Grid(book, 6, 6);
  for (int i = 0; i < 6; ++i) Put(s, i, i, std::string(1, 'd').append(std::to_string(i)));
  DeleteSelectedRows(s, {1, 0, 2, 5});
  DeleteSelectedColumns(s, {0, 3, 9, 9});  // clipped: columns 3 to 5
  EXPECT_EQ(s.RowCount(), 4);
  EXPECT_EQ(s.ColumnCount(), 3);
  EXPECT_EQ(Text(s, 0, 0), "d0");
  EXPECT_EQ(Text(s, 1, 1), "");
  size_t cells = 0;
  for (const auto& row : s.Rows()) cells += row.cells.size();
  EXPECT_EQ(cells, 1u);  // d3..d5 went with their columns
}

TEST(Sheet, MergedAreasNeverOverlapAndReportTheirCells) {
  CWorkbook book;
  CSheet& s = Grid(book, 10, 10);
  EXPECT_FALSE(s.Merge({2, 2, 2, 2}));  // one cell is no area
  ASSERT_TRUE(s.Merge({0, 0, 1, 2}));
  ASSERT_TRUE(s.Merge({5, 5, 20, 20}));  // clipped to the grid
  EXPECT_EQ(s.Merges().back(), (MergeArea{5, 5, 4, 4}));
  ASSERT_TRUE(s.Merge({1, 2, 3, 3}));  // overlaps the first: it is dissolved
  EXPECT_EQ(s.Merges().size(), 2u);
  CSheetCell top = s.GetCell(1, 2), inner = s.GetCell(3, 3), outside = s.GetCell(0, 0);
  EXPECT_TRUE(top.merge.topLeft);
  EXPECT_TRUE(top.Has(kCellMerge));
  EXPECT_EQ(top.merge.across, 1);
  EXPECT_EQ(top.merge.down, 2);
  EXPECT_TRUE(inner.merge.merged);
  EXPECT_FALSE(inner.merge.topLeft);
  EXPECT_EQ(inner.merge.firstRow, 1);
  EXPECT_FALSE(outside.merge.merged);
  EXPECT_TRUE(s.Unmerge(9, 9));
  EXPECT_FALSE(s.Unmerge(9, 9));
  EXPECT_EQ(s.Merges().size(), 1u);
}

TEST(Sheet, RowFormatsReachEveryCellOfTheRow) {
  CWorkbook book;
  CSheet& s = Grid(book, 3, 256);
  CSheetCell* f = s.RowFormatForEdit(1);
  f->fillColor = Rgb(1, 2, 3);
  f->mask |= kCellFillColor;
  EXPECT_EQ(s.GetCell(1, 255).fillColor, Rgb(1, 2, 3));
  EXPECT_FALSE(s.GetCell(0, 255).Has(kCellFillColor));
  Put(s, 1, 7, "x");
  EXPECT_TRUE(s.StoredCell(1, 7)->Has(kCellFillColor));
  EXPECT_EQ(s.Rows().size(), 1u);
  EXPECT_EQ(s.Rows()[0].cells.size(), 1u);  // no cell made for the others
}

TEST(GridOps, FormatsApplyToTheSelection) {
  CWorkbook book;
  CSheet& s = Grid(book, 4, 4);
  s.DefaultFormat().align = kAlignLeft | kAlignBottom;
  s.DefaultFormat().mask |= kCellAlign;
  CSheetCell* top = s.CellForEdit(0, 0);
  top->align = kAlignRight | kAlignTop;
  top->mask |= kCellAlign;
  SetHorizontalAlignment(s, {0, 0, 1, 1}, kAlignCenter);
  EXPECT_EQ(s.GetCell(0, 0).align, kAlignCenter | kAlignTop);  // vertical kept
  EXPECT_EQ(s.GetCell(1, 1).align, kAlignCenter | kAlignBottom);
  EXPECT_FALSE(s.GetCell(2, 2).Has(kCellAlign));

  FontDesc bold;
  bold.weight = 700;
  const FontDesc* font = book.Fonts().Intern(bold);
  EXPECT_EQ(book.Fonts().Intern(bold), font);
  SetFont(s, {1, 1, 5, 5}, font);  // clipped to the sheet
  SetTextColor(s, {0, 0, 0, 3}, Rgb(255, 0, 0));
  SetFillColor(s, {3, 3, 3, 3}, Rgb(0, 0, 255));
  EXPECT_EQ(s.GetCell(3, 3).font, font);
  EXPECT_EQ(s.GetCell(0, 3).textColor, Rgb(255, 0, 0));
  EXPECT_EQ(s.GetCell(3, 3).fillColor, Rgb(0, 0, 255));
  EXPECT_EQ(EffectiveFormat(s, 2, 0).font, book.DefaultFormat().font);
  EXPECT_EQ(EffectiveFormat(s, 2, 0).align, kAlignLeft | kAlignBottom);
  SetFont(s, {}, font);  // no selection: nothing
}

TEST(GridOps, MergingJoinsTheTextsAsForCopying) {
  CWorkbook book;
  CSheet& s = Grid(book, 3, 3);
  Put(s, 0, 0, "a");
  Put(s, 0, 1, "b");
  Put(s, 1, 1, "d");
  ASSERT_TRUE(MergeCells(s, {0, 0, 1, 1}, true));
  EXPECT_EQ(Text(s, 0, 0), "a\tb\r\n\td");
  EXPECT_FALSE(MergeCells(s, {2, 2, 2, 2}, true));
  // Empty cells at the ends of rows, and empty rows at the end, leave no separators;
  // those before a text keep its place.
  CWorkbook other;
  CSheet& t = Grid(other, 4, 4);
  Put(t, 0, 0, "title");
  Put(t, 1, 2, "c");
  ASSERT_TRUE(MergeCells(t, {0, 0, 0, 3}, true));
  EXPECT_EQ(Text(t, 0, 0), "title");
  ASSERT_TRUE(MergeCells(t, {1, 0, 3, 3}, true));
  EXPECT_EQ(Text(t, 1, 0), "\t\tc");
}

TEST(GridOps, SortComparesValuesOrTextsAndKeepsEmptyRowsLast) {
  CWorkbook book;
  CSheet& s = Grid(book, 7, 2);
  const char* texts[] = {"banana", "", "Яблоко", "apple", "", "10", "9"};
  for (int r = 0; r < 7; ++r) {
    if (*texts[r]) Put(s, r, 0, texts[r]);
    Put(s, r, 1, std::to_string(r));
  }
  for (int r : {5, 6}) ChangeKind(*s.CellForEdit(r, 0), kKindNumber, kPlain);
  s.SetRowHeight(2, 33);
  auto column = [&](int c) {
    std::string out;
    for (int r = 0; r < 7; ++r) {
      if (r) out += ',';
      out += Text(s, r, c);
    }
    return out;
  };
  ASSERT_TRUE(SortRows(s, 0, kSortAscending, kPlain));
  EXPECT_EQ(column(0), "9,10,apple,banana,Яблоко,,");  // byte order puts cp1251 letters last
  EXPECT_EQ(column(1), "6,5,3,0,2,1,4");               // rows move whole, equal rows keep order
  EXPECT_EQ(s.RowHeight(4), 33);
  ASSERT_TRUE(SortRows(s, 0, kSortDescending, kPlain));
  EXPECT_EQ(column(0), "Яблоко,banana,apple,10,9,,");
  s.Merge({0, 0, 0, 1});
  EXPECT_TRUE(SortRows(s, 1, kSortAscending, kPlain));  // a merge within a row moves along
  EXPECT_EQ(s.Merges()[0].row, 2);
  s.Merge({3, 0, 4, 0});
  EXPECT_FALSE(SortRows(s, 1, kSortDescending, kPlain));  // one spanning rows cannot
}

TEST(Clipboard, CopyCutAndPaste) {
  CWorkbook book;
  CSheet& s = Grid(book, 4, 3);
  Put(s, 0, 0, "one\r\ntwo");
  Put(s, 0, 1, "a\tb");
  Put(s, 1, 2, "c");
  CSheetCell* locked = s.CellForEdit(1, 0);
  locked->SetText("keep");
  locked->editKind = kEditProtected;
  locked->mask |= kCellEditKind;
  EXPECT_EQ(CopyText(s, {0, 0, 1, 2}), "one two\ta b\t\r\nkeep\t\tc");
  EXPECT_EQ(CutCells(s, {0, 0, 1, 2}), "one two\ta b\t\r\nkeep\t\tc");
  EXPECT_EQ(Text(s, 0, 0), "");
  EXPECT_EQ(Text(s, 1, 0), "keep");
  EXPECT_EQ(Text(s, 1, 2), "");

  // Three lines of two pieces into the last column fill only that column.
  PasteText(s, {0, 2}, "x1\ty1\r\nx2\ty2\r\nx3\ty3\r\n");
  EXPECT_EQ(Text(s, 0, 2), "x1");
  EXPECT_EQ(Text(s, 2, 2), "x3");
  EXPECT_EQ(s.ColumnCount(), 3);
  EXPECT_EQ(Text(s, 3, 2), "");  // the closing break starts no row

  Put(s, 2, 1, "old");
  PasteText(s, {1, 0}, "p\tq\n\t\nr\ns\nt");  // LF breaks, empty pieces, running off the bottom
  EXPECT_EQ(Text(s, 1, 0), "keep");  // protected
  EXPECT_EQ(Text(s, 1, 1), "q");
  EXPECT_EQ(Text(s, 2, 0), "");
  EXPECT_EQ(Text(s, 2, 1), "");      // emptied by an empty piece
  EXPECT_EQ(Text(s, 3, 0), "r");
  EXPECT_EQ(s.RowCount(), 4);
}

TEST(FindReplace, OptionsDirectionAndColumns) {
  CWorkbook book;
  CSheet& s = Grid(book, 4, 3);
  Put(s, 0, 0, "Москва");
  Put(s, 1, 1, "г. МОСКВА, ул.");
  Put(s, 2, 0, "москва");
  Put(s, 3, 2, "Тверь");
  auto find = [&](FindOptions o, CellPos from, bool include = false) {
    CellPos at{-1, -1};
    return FindCell(s, o, book.locale, from, include, at) ? at : CellPos{-1, -1};
  };
  FindOptions any{"москва"};
  EXPECT_EQ(find(any, {0, 0}), (CellPos{1, 1}));
  EXPECT_EQ(find(any, {0, 0}, true), (CellPos{0, 0}));
  EXPECT_EQ(find(any, {1, 1}), (CellPos{2, 0}));
  EXPECT_EQ(find(any, {2, 0}), (CellPos{-1, -1}));  // to the sheet's edge only
  FindOptions up = any;
  up.up = true;
  EXPECT_EQ(find(up, {2, 0}), (CellPos{1, 1}));
  FindOptions cased = any;
  cased.matchCase = true;
  EXPECT_EQ(find(cased, {0, 0}), (CellPos{2, 0}));
  FindOptions whole = any;
  whole.wholeCell = true;
  EXPECT_EQ(find(whole, {0, 0}), (CellPos{2, 0}));
  FindOptions column = any;
  column.allColumns = false;
  EXPECT_EQ(find(column, {0, 0}), (CellPos{2, 0}));  // column 0 only
  s.Merge({0, 0, 1, 1});
  EXPECT_EQ(find(any, {0, 0}), (CellPos{2, 0}));  // (1,1) lies hidden in the area
  EXPECT_EQ(find(FindOptions{""}, {0, 0}), (CellPos{-1, -1}));
}

TEST(FindReplace, RefusalsAndReplacing) {
  struct Refusal {
    const char* what;
    const char* with;
    bool whole, matchCase, refused;
  } refusals[] = {
      {"abc", "abc", false, true, true},    {"abc", "ABC", false, false, true},
      {"abc", "ABC", false, true, false},   {"ab", "xaby", false, true, true},
      {"ab", "xABy", false, false, true},   {"ab", "xaby", true, true, false},
      {"", "x", false, false, true},
  };
  for (const Refusal& r : refusals) {
    FindOptions o{r.what, r.whole, r.matchCase};
    EXPECT_EQ(ReplaceRefused(o, r.with), r.refused) << r.what << " -> " << r.with;
  }
  CWorkbook book;
  CSheet& s = Grid(book, 3, 2);
  Put(s, 0, 0, "г. Москва, ул. Москва");
  Put(s, 1, 1, "Москва");
  Put(s, 2, 0, "Тверь");
  FindOptions o{"москва"};
  EXPECT_TRUE(ReplaceInCell(s, {0, 0}, o, "Тула", book.locale));
  EXPECT_EQ(Text(s, 0, 0), "г. Тула, ул. Тула");  // the rest of the cell stays
  EXPECT_FALSE(ReplaceInCell(s, {2, 0}, o, "Тула", book.locale));
  o.wholeCell = true;
  Put(s, 0, 0, "Москва");
  EXPECT_EQ(ReplaceAll(s, {0, 0}, o, "Тула", book.locale), 2);
  EXPECT_EQ(Text(s, 1, 1), "Тула");
  EXPECT_EQ(ReplaceAll(s, {0, 0}, o, "Тула", book.locale), 0);
  EXPECT_STREQ(kNothingFoundText, "Ничего не найдено");
}

TEST(FindReplace, NumbersAreSearchedAsShown) {
  CWorkbook book;
  book.locale = kRussian;
  CSheet& s = Grid(book, 2, 1);
  Put(s, 1, 0, "1234.5");
  ChangeKind(*s.CellForEdit(1, 0), kKindNumber, kPlain);
  CellPos at;
  EXPECT_TRUE(FindCell(s, FindOptions{"234,5"}, book.locale, {0, 0}, false, at));
  EXPECT_FALSE(FindCell(s, FindOptions{"234.5"}, book.locale, {0, 0}, false, at));
}

TEST(FindReplace, IgnoresTheCaseOfEveryCyrillicLetter) {
  CWorkbook book;
  CSheet& s = Grid(book, 2, 1);
  Put(s, 1, 0, "Їжак і Ґанок");
  CellPos at;
  EXPECT_TRUE(FindCell(s, FindOptions{"їЖАК І ґ"}, book.locale, {0, 0}, false, at));
  FindOptions cased{"ЇЖАК"};
  cased.matchCase = true;
  EXPECT_FALSE(FindCell(s, cased, book.locale, {0, 0}, false, at));
}


// Copying walks the stored rows and cells; the plain reading asks for every cell.
TEST(Clipboard, GeneratedCopiesMatchAPlainCellByCellReading) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    CWorkbook book;
    CSheet& s = Grid(book, 1 + rng() % 12, 1 + rng() % 12);
    for (int i = 0, n = rng() % 30; i < n; ++i) {
      CSheetCell* cell = s.CellForEdit(rng() % s.RowCount(), rng() % s.ColumnCount());
      if (rng() % 4) cell->SetText(rng() % 3 ? "t" + std::to_string(i) : "a\r\nb\tc");
    }
    CellRect r{static_cast<int>(rng() % 14) - 2, static_cast<int>(rng() % 14) - 2, 0, 0};
    r.bottom = r.top + static_cast<int>(rng() % 14) - 2;
    r.right = r.left + static_cast<int>(rng() % 14) - 2;
    std::string plain;
    CellRect c{std::max(r.top, 0), std::max(r.left, 0), std::min(r.bottom, s.RowCount() - 1),
               std::min(r.right, s.ColumnCount() - 1)};
    for (int row = c.top; !c.Empty() && row <= c.bottom; ++row) {
      if (row > c.top) plain += "\r\n";
      for (int col = c.left; col <= c.right; ++col) {
        if (col > c.left) plain += '\t';
        const CSheetCell* cell = s.StoredCell(row, col);
        if (!cell || !cell->HasText()) continue;
        for (size_t k = 0; k < cell->text.size(); ++k) {
          char ch = cell->text[k];
          if (ch == '\r' && k + 1 < cell->text.size() && cell->text[k + 1] == '\n') continue;
          plain += ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch;
        }
      }
    }
    ASSERT_EQ(CopyText(s, r), plain) << round;
  }
}
}  // namespace
}  // namespace vm::spreadsheet
