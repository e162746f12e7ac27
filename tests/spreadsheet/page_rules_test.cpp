#include "spreadsheet/page_rules.h"

#include <gtest/gtest.h>

#include "common/backup.h"
#include "common/unread_file.h"
#include "platform/platform.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/workbook_xml.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

TEST(PageRules, DefaultFontSettingsAreReadAndRepaired) {
  struct Case {
    const char *name, *height;
    const char* wantName;
    int wantHeight;
    bool rewriteName, rewriteHeight;
  } cases[] = {
      {"", "", "Arial", -12, true, true},           {"Tahoma", "-16", "Tahoma", -16, false, false},
      {"Arial", "-100", "Arial", -12, false, true}, {"Arial", "73", "Arial", -12, false, true},
      {"Arial", "72", "Arial", 72, false, false},   {"Arial", "-72", "Arial", -72, false, false},
      {"Arial", "abc", "Arial", -12, false, true},
  };
  for (const Case& c : cases) {
    DefaultFontSetting s = ReadDefaultFontSetting(c.name, c.height);
    EXPECT_EQ(s.faceName, c.wantName) << c.name << " " << c.height;
    EXPECT_EQ(s.height, c.wantHeight) << c.height;
    EXPECT_EQ(s.rewriteName, c.rewriteName) << c.name;
    EXPECT_EQ(s.rewriteHeight, c.rewriteHeight) << c.height;
  }
  FontDesc f = DefaultFontFrom(ReadDefaultFontSetting("Tahoma", "-16"));
  EXPECT_EQ(f.charSet, 204);
  EXPECT_EQ(f.weight, 400);
}

// The table button's two fields: digits only, empty as 0, and never past the sheet's
// 256 columns or 65 536 rows however large the number typed.
TEST(PageRules, AddCountsAreReadAndKeptWithinTheSheet) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& sheet = book.CurrentSheet();
  auto counts = ReadAddCounts(sheet, " 3 ", "5");
  ASSERT_TRUE(counts);
  EXPECT_TRUE(AddColumnsAndRows(sheet, *counts));
  EXPECT_EQ(sheet.ColumnCount(), 13);
  EXPECT_EQ(sheet.RowCount(), 105);
  for (const char* bad : {"-1", "2a", "1.5", "ten"}) EXPECT_FALSE(ReadAddCounts(sheet, bad, "")) << bad;
  counts = ReadAddCounts(sheet, "", "");
  ASSERT_TRUE(counts);
  EXPECT_FALSE(AddColumnsAndRows(sheet, *counts));
  counts = ReadAddCounts(sheet, "99999999999999999999", "99999999999999999999");
  ASSERT_TRUE(counts);
  EXPECT_EQ(counts->columns, kMaxColumns - 13);
  EXPECT_EQ(counts->rows, kMaxRows - 105);
  EXPECT_TRUE(AddColumnsAndRows(sheet, *counts));
  EXPECT_EQ(sheet.ColumnCount(), kMaxColumns);
  EXPECT_EQ(sheet.RowCount(), kMaxRows);
  counts = ReadAddCounts(sheet, "1", "1");
  EXPECT_FALSE(AddColumnsAndRows(sheet, *counts));
}

TEST(PageRules, NewWorkbookIsOneSheetOfTenByHundred) {
  CWorkbook book;
  book.AddSheet();
  book.defaultWidth = 80;
  NewWorkbook(book);
  ASSERT_EQ(book.SheetCount(), 1);
  EXPECT_EQ(book.Sheet(0).name, "Лист 1");
  EXPECT_EQ(book.Sheet(0).ColumnCount(), 10);
  EXPECT_EQ(book.Sheet(0).RowCount(), 100);
  EXPECT_EQ(book.Sheet(0).ColumnWidth(3), 64);
}

TEST(PageRules, TypedTextIsStoredWithWrappingForLineBreaks) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& s = book.Sheet(0);
  EXPECT_TRUE(StoreTypedText(s, {1, 1}, "один", book.locale));
  EXPECT_FALSE(StoreTypedText(s, {1, 1}, "один", book.locale));  // unchanged: not an edit
  EXPECT_FALSE(StoreTypedText(s, {2, 2}, "", book.locale));
  EXPECT_FALSE(StoreTypedText(s, {100, 0}, "x", book.locale));  // outside the sheet
  EXPECT_FALSE(s.GetCell(1, 1).Wraps());
  EXPECT_TRUE(StoreTypedText(s, {1, 1}, "два\r\nтри", book.locale));
  EXPECT_TRUE(s.GetCell(1, 1).Wraps());
  // Two lines of the 12-pixel default font need 2 x 15 + 3; a taller row stays.
  EXPECT_EQ(s.RowHeight(1), 33);
  s.SetRowHeight(2, 80);
  EXPECT_TRUE(StoreTypedText(s, {2, 1}, "a\r\nb\r\nc", book.locale));
  EXPECT_EQ(s.RowHeight(2), 80);
  s.Merge(CellRect{3, 0, 4, 1});
  EXPECT_TRUE(StoreTypedText(s, {3, 0}, "a\r\nb\r\nc", book.locale));
  EXPECT_EQ(s.RowHeight(3), 17);
  EXPECT_TRUE(StoreTypedText(s, {1, 1}, "", book.locale));
  EXPECT_FALSE(s.GetCell(1, 1).HasText());

  CSheetCell number;
  number.SetText("1 234,5");
  number.kind = kKindNumber;
  number.value = 1234.5;
  s.SetCell(3, 0, number);
  EXPECT_EQ(EditableText(s, {3, 0}, book.locale), "1,234.5");  // as shown: it reads back the same
  EXPECT_EQ(EditableText(s, {4, 0}, book.locale), "");
}

TEST(PageRules, AnUnreadableFileIsCopiedOnceToTemp) {
  vm::testing::ScratchFolder dir;
  EXPECT_EQ(BakCopyPath("C:\\P\\", "D:\\x\\book.v1.xml"), "C:\\P\\Temp\\book.v1.bak");
  vm::testing::Spit(dir / "bad.xml", "not a workbook");
  ASSERT_TRUE(MakeBakCopy(dir.path(), dir / "bad.xml"));
  EXPECT_EQ(vm::testing::Slurp(dir / "Temp\\bad.bak"), "not a workbook");
  vm::testing::Spit(dir / "bad.xml", "changed");
  EXPECT_TRUE(MakeBakCopy(dir.path(), dir / "bad.xml"));
  EXPECT_EQ(vm::testing::Slurp(dir / "Temp\\bad.bak"), "not a workbook");  // the first copy stays
  EXPECT_FALSE(MakeBakCopy(dir.path(), dir / "missing.xml"));
}

// Hiding the page, opening another file and exit save through here: a workbook only
// read is left as it is on disk, with no backup made of it; a changed one is written,
// the day's backup keeping what was there before.
TEST(PageRules, OnlyAChangedWorkbookIsSavedByThePage) {
  vm::testing::ScratchFolder dir;
  backup::Keeper keeper;
  keeper.folder = dir / "Backup\\";
  keeper.keepDays = [] { return backup::kDefaultDays; };
  keeper.today = [] { return backup::Day{2026, 12, 7}; };
  backup::Install(std::move(keeper));
  struct Uninstall {
    ~Uninstall() { backup::Install({}); }
  } uninstall;
  const std::string path = dir / "book.xml";
  CWorkbook made;
  NewWorkbook(made);
  StoreTypedText(made.CurrentSheet(), {0, 0}, "Сумма", made.locale);
  // A line end after the workbook, as other programs leave one: a rewrite would drop it.
  const std::string bytes = WorkbookText(made) + "\r\n";
  vm::testing::Spit(path, bytes);

  CWorkbook book;
  ASSERT_TRUE(ReadWorkbook(book, path));
  EXPECT_EQ(SaveIfChanged(book, path, false), AutoSaveOutcome::kNotDue);
  EXPECT_EQ(vm::testing::Slurp(path), bytes);
  EXPECT_FALSE(platform::DirExists(dir / "Backup")) << "no backup of a book only looked at";
  ASSERT_TRUE(StoreTypedText(book.CurrentSheet(), {1, 0}, "12", book.locale));
  EXPECT_EQ(SaveIfChanged(book, "", true), AutoSaveOutcome::kNotDue) << "no file, nothing to write to";

  EXPECT_EQ(SaveIfChanged(book, path, true), AutoSaveOutcome::kWritten);
  EXPECT_EQ(vm::testing::Slurp(path), WorkbookText(book));
  EXPECT_EQ(vm::testing::Slurp(dir / "Backup\\book.2026-12-07.xml"), bytes);
  EXPECT_EQ(SaveIfChanged(book, dir / "missing\\book.xml", true), AutoSaveOutcome::kFailed);
}

// A file of damaged bytes and one held by another program both leave the page with no
// current file, so the saves it makes by itself find nothing to write to and the bytes
// stay; the message names the file and why.
TEST(PageRules, AWorkbookThatCouldNotBeReadIsNotTheCurrentFile) {
  vm::testing::ScratchFolder dir;
  const std::string damaged = dir / "damaged.xml", held = dir / "held.xml", good = dir / "good.xml";
  std::string junk(3000, '\x01');
  junk.replace(0, 9, "PK\x03\x04<?xml");
  vm::testing::Spit(damaged, junk);
  CWorkbook made;
  NewWorkbook(made);
  ASSERT_TRUE(WriteWorkbook(made, good));
  vm::testing::Spit(held, vm::testing::Slurp(good));
  struct Case {
    std::string path;
    bool held;
    const char* why;
  } cases[] = {{damaged, false, "в нём нет книги в формате XML"}, {held, true, kFileNotReadable}};
  for (const Case& c : cases) {
    std::string before = vm::testing::Slurp(c.path);
    CWorkbook book;
    OpenedWorkbook opened;
    {
      vm::testing::HeldFiles files;
      if (c.held) files.held.insert(c.path);
      opened = OpenWorkbookFile(book, dir.path(), c.path);
    }
    EXPECT_EQ(opened.current, "") << c.path;
    EXPECT_EQ(opened.unread, c.path);
    EXPECT_NE(opened.message.find(c.path), std::string::npos) << opened.message;
    EXPECT_NE(opened.message.find(c.why), std::string::npos) << opened.message;
    StoreTypedText(book.CurrentSheet(), {0, 0}, "typed over the empty grid", book.locale);
    EXPECT_EQ(SaveIfChanged(book, opened.current, true), AutoSaveOutcome::kNotDue);
    EXPECT_EQ(vm::testing::Slurp(c.path), before);
  }
  EXPECT_EQ(vm::testing::Slurp(dir / "Temp\\damaged.bak"), junk);
  CWorkbook book;
  OpenedWorkbook opened = OpenWorkbookFile(book, dir.path(), good);
  EXPECT_EQ(opened.current, good);
  EXPECT_EQ(opened.unread, "");
  EXPECT_EQ(opened.message, "");
}

TEST(PageRules, FontStyleTogglesFollowTheCurrentCell) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& s = book.Sheet(0);
  CellRect sel{0, 0, 1, 1};
  // One selected cell is already bold; the current one is not: all become bold.
  FontDesc bold;
  bold.weight = 700;
  s.CellForEdit(1, 1)->font = book.Fonts().Intern(bold);
  s.CellForEdit(1, 1)->mask |= kCellFont;
  EXPECT_TRUE(ToggleFontStyle(book, s, sel, {0, 0}, FontStyle::kBold));
  for (int r = 0; r <= 1; ++r)
    for (int c = 0; c <= 1; ++c) EXPECT_EQ(EffectiveFormat(s, r, c).font->weight, 700);
  // A weight other than 400 counts as bold: toggling makes every cell 400.
  FontDesc semi;
  semi.weight = 600;
  s.CellForEdit(0, 0)->font = book.Fonts().Intern(semi);
  EXPECT_FALSE(ToggleFontStyle(book, s, sel, {0, 0}, FontStyle::kBold));
  EXPECT_EQ(EffectiveFormat(s, 1, 1).font->weight, 400);
  // Italic leaves the other styles and the face alone; cells outside stay as they were.
  EXPECT_TRUE(ToggleFontStyle(book, s, CellRect{0, 0, 0, 0}, {0, 0}, FontStyle::kItalic));
  EXPECT_TRUE(CellHasStyle(s, {0, 0}, FontStyle::kItalic));
  EXPECT_FALSE(CellHasStyle(s, {1, 1}, FontStyle::kItalic));
  EXPECT_EQ(EffectiveFormat(s, 0, 0).font->faceName, "Arial");
  EXPECT_TRUE(ToggleFontStyle(book, s, sel, {1, 1}, FontStyle::kUnderline));
  EXPECT_TRUE(CellHasStyle(s, {0, 0}, FontStyle::kUnderline));
  EXPECT_TRUE(CellHasStyle(s, {0, 0}, FontStyle::kItalic));
}

}  // namespace
}  // namespace vm::spreadsheet

namespace vm::spreadsheet {
namespace {

// Typed texts that read as numbers in the locale's writing become number cells that show
// exactly what was typed, before and after the file; everything else stays the text it was.
TEST(PageRules, TypedNumbersAreNumbersThatShowAsTyped) {
  const NumberLocale russian{",", "\xA0"}, blank{",", " "}, english{".", ","};
  struct Case {
    const NumberLocale* locale;
    const char* typed;
    bool number;
    double value;
  } cases[] = {
      {&russian, "12500", true, 12500},
      {&russian, "12,5", true, 12.5},
      {&russian, "0,50", true, 0.5},
      {&russian, "-3,25", true, -3.25},
      {&russian, "-0,5", true, -0.5},
      {&russian, "1\xA0" "000,5", true, 1000.5},
      {&blank, "1 000,5", true, 1000.5},
      {&english, "1,234,567.25", true, 1234567.25},
      {&english, "1234567.25", true, 1234567.25},
      {&russian, "1 000,5", false, 0},  // a plain blank is not this locale's separator
      {&russian, "12.5", false, 0},     // nor is the point its decimal separator
      {&russian, "007", false, 0},
      {&russian, "-0", false, 0},
      {&russian, "+5", false, 0},
      {&russian, " 5", false, 0},
      {&russian, "5,", false, 0},
      {&russian, ",5", false, 0},
      {&russian, "1e5", false, 0},
      {&blank, "1 00 000", false, 0},
      {&blank, "1234 567", false, 0},
      {&russian, "12345678901234567890", false, 0},
      {&russian, "0,123456789012345678901", false, 0},
      {&russian, "5 кг", false, 0},
      {&russian, "", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    CWorkbook book;
    NewWorkbook(book);
    book.locale = *c.locale;
    ASSERT_EQ(StoreTypedText(book.Sheet(0), {1, 1}, c.typed, book.locale), *c.typed != '\0');
    const CSheetCell cell = EffectiveFormat(book.Sheet(0), 1, 1);
    EXPECT_EQ(ShownText(cell, book.locale), c.typed);
    EXPECT_EQ(cell.kind, c.number ? kKindNumber : kKindText);
    if (c.number) {
      EXPECT_EQ(cell.value, c.value);
    }
    // The editor starts from a text that, stored again, changes nothing.
    EXPECT_FALSE(StoreTypedText(book.Sheet(0), {1, 1}, EditableText(book.Sheet(0), {1, 1}, book.locale), book.locale));

    CWorkbook back;
    back.locale = *c.locale;
    ASSERT_TRUE(ReadWorkbookBytes(back, WorkbookText(book)));
    const CSheetCell read = EffectiveFormat(back.Sheet(0), 1, 1);
    EXPECT_EQ(ShownText(read, back.locale), c.typed);
    EXPECT_EQ(read.kind, c.number ? kKindNumber : kKindText);
    if (c.number) {
      EXPECT_EQ(read.value, c.value);
      EXPECT_EQ(read.align & kAlignHorizontalMask, uint32_t{kAlignRight});
      EXPECT_NE(WorkbookText(book).find("ss:Type='Number'"), std::string::npos);
    }
  }
}

// A leading apostrophe keeps a number-like text a text, without the apostrophe; the
// editor gives it back so that Enter keeps it so. Before anything else it is the text's own.
TEST(PageRules, AnApostropheKeepsANumberText) {
  CWorkbook book;
  NewWorkbook(book);
  book.locale = NumberLocale{",", "\xA0"};
  CSheet& s = book.Sheet(0);
  ASSERT_TRUE(StoreTypedText(s, {0, 0}, "'12,5", book.locale));
  EXPECT_EQ(s.GetCell(0, 0).text, "12,5");
  EXPECT_EQ(s.GetCell(0, 0).kind, kKindText);
  EXPECT_EQ(EditableText(s, {0, 0}, book.locale), "'12,5");
  ASSERT_TRUE(StoreTypedText(s, {0, 1}, "'1e5", book.locale));
  EXPECT_EQ(s.GetCell(0, 1).text, "1e5");
  ASSERT_TRUE(StoreTypedText(s, {0, 2}, "'n", book.locale));
  EXPECT_EQ(s.GetCell(0, 2).text, "'n");
  EXPECT_EQ(EditableText(s, {0, 2}, book.locale), "'n");
  // Typed over, a text becomes the number it now reads as; a number a text again.
  ASSERT_TRUE(StoreTypedText(s, {0, 0}, "12,5", book.locale));
  EXPECT_EQ(s.GetCell(0, 0).kind, kKindNumber);
  ASSERT_TRUE(StoreTypedText(s, {0, 0}, "итого", book.locale));
  EXPECT_EQ(s.GetCell(0, 0).kind, kKindText);
  // A number of a file without a format of its own is edited as shown when that reads
  // back the same, else in full.
  CSheetCell third;
  third.SetText("0.333333333333");
  third.kind = kKindNumber;
  third.mask |= kCellKind | kCellDecimals;
  third.value = 1.0 / 3;
  third.decimals = 2;
  s.SetCell(3, 0, third);
  EXPECT_EQ(ShownText(s.GetCell(3, 0), book.locale), "0,33");
  EXPECT_EQ(EditableText(s, {3, 0}, book.locale), "0,3333333333333333");
}

}  // namespace
}  // namespace vm::spreadsheet
