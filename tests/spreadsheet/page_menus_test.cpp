// The grid's context menus as the page's state makes them, the undo history over whole
// workbooks, refresh through a file, and "UTF8->Win" over a sheet.
#include "spreadsheet/page_menus.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/page_rules.h"
#include "spreadsheet/undo_history.h"
#include "spreadsheet/win/spreadsheet_resources.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

std::vector<std::string> Texts(const std::vector<MenuEntry>& menu) {
  std::vector<std::string> texts;
  for (const MenuEntry& e : menu) texts.push_back(e.id == 0 ? "-" : e.text);
  return texts;
}

const MenuEntry& Entry(const std::vector<MenuEntry>& menu, int id) {
  for (const MenuEntry& e : menu)
    if (e.id == id) return e;
  static const MenuEntry none{-1, "none", false, false};
  ADD_FAILURE() << "no item " << id;
  return none;
}

TEST(GridMenus, TabMenuOffersDeleteOnTheLastSheetOnlyAndNothingOnABareBook) {
  CWorkbook book;
  NewWorkbook(book);
  book.AddSheet();
  book.AddSheet();
  std::vector<MenuEntry> first = TabMenu(book, 0), last = TabMenu(book, 2);
  EXPECT_EQ(Texts(first), (std::vector<std::string>{"Добавить", "Удалить", "Переименовать"}));
  EXPECT_TRUE(Entry(first, ID_SHEET_TAB_ADD).enabled);
  EXPECT_FALSE(Entry(first, ID_SHEET_TAB_DELETE).enabled);
  EXPECT_TRUE(Entry(last, ID_SHEET_TAB_DELETE).enabled);

  // A new workbook's one sheet of 10 x 100 can still grow; one with no cells cannot.
  NewWorkbook(book);
  EXPECT_TRUE(Entry(TabMenu(book, 0), ID_SHEET_TAB_ADD).enabled);
  book.Clear();
  for (const MenuEntry& e : TabMenu(book, 0)) EXPECT_FALSE(e.enabled) << e.text;
}

TEST(GridMenus, ColumnHeaderMenuFollowsSortingSearchAndUndo) {
  PageOptions options;
  std::vector<MenuEntry> menu = ColumnHeaderMenu(options, false);
  EXPECT_EQ(Texts(menu),
            (std::vector<std::string>{"Изменить шрифт", "Изменить шрифт по умолчанию", "Изменить цвет шрифта",
                                      "Изменить цвет заливки", "Добавить столбец", "Вставить столбец",
                                      "Удалить столбец", "Поиск", "Замена", "Поиск по всем столбцам", "-",
                                      "Сортировка по возрастанию", "Сортировка по убыванию",
                                      "Разрешить сортировку", "-", "Отменить"}));
  EXPECT_TRUE(Entry(menu, ID_SHEET_ALL_COLUMNS).checked);
  EXPECT_FALSE(Entry(menu, ID_SHEET_SORT_UP).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_SORT_DOWN).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_ALLOW_SORT).checked);
  EXPECT_FALSE(Entry(menu, ID_SHEET_UNDO).enabled);

  options.allowSorting = true;
  options.searchAllColumns = false;
  menu = ColumnHeaderMenu(options, true);
  EXPECT_FALSE(Entry(menu, ID_SHEET_ALL_COLUMNS).checked);
  EXPECT_TRUE(Entry(menu, ID_SHEET_SORT_UP).enabled);
  EXPECT_TRUE(Entry(menu, ID_SHEET_SORT_DOWN).enabled);
  EXPECT_TRUE(Entry(menu, ID_SHEET_ALLOW_SORT).checked);
  EXPECT_TRUE(Entry(menu, ID_SHEET_UNDO).enabled);
}

TEST(GridMenus, CellMenuTicksTheCurrentAlignmentAndGatesTheClipboard) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& sheet = book.Sheet(0);
  std::vector<MenuEntry> menu = CellMenu(sheet, CellRect{0, 0, 1, 1}, {0, 0}, false, false);
  EXPECT_EQ(Texts(menu),
            (std::vector<std::string>{"Изменить шрифт", "Изменить шрифт по умолчанию", "Изменить цвет шрифта",
                                      "Изменить цвет заливки", "Объединить ячейки", "Разъединить ячейки",
                                      "Дообавить строку", "Вставить строку", "Удалить строку",
                                      "По левому краю", "По центру", "По правому краю", "-", "Вырезать",
                                      "Копировать", "Вставить", "-", "Отменить"}));
  EXPECT_TRUE(Entry(menu, ID_SHEET_CUT).enabled);
  EXPECT_TRUE(Entry(menu, ID_SHEET_COPY).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_PASTE).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_UNDO).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_CENTRE).checked);

  SetHorizontalAlignment(sheet, CellRect{2, 3, 2, 3}, kAlignCenter);
  menu = CellMenu(sheet, CellRect{2, 3, 2, 3}, {2, 3}, true, true);
  EXPECT_TRUE(Entry(menu, ID_SHEET_CENTRE).checked);
  EXPECT_FALSE(Entry(menu, ID_SHEET_LEFT).checked);
  EXPECT_FALSE(Entry(menu, ID_SHEET_RIGHT).checked);
  EXPECT_TRUE(Entry(menu, ID_SHEET_PASTE).enabled);
  EXPECT_TRUE(Entry(menu, ID_SHEET_UNDO).enabled);

  // A sheet without cells has nothing to cut or copy.
  book.Clear();
  menu = CellMenu(book.Sheet(0), CellRect{0, 0, 0, 0}, {0, 0}, true, false);
  EXPECT_FALSE(Entry(menu, ID_SHEET_CUT).enabled);
  EXPECT_FALSE(Entry(menu, ID_SHEET_COPY).enabled);
}

TEST(UndoHistory, UndoesAndRedoesWholeWorkbooksWithinItsBound) {
  CWorkbook book;
  NewWorkbook(book);
  UndoHistory history(3);
  EXPECT_FALSE(history.Undo(book));
  for (int i = 1; i <= 5; ++i) {
    history.Take(book);
    book.Sheet(0).CellForEdit(0, 0)->SetText("v" + std::to_string(i));
  }
  book.AddSheet().name = "Второй";
  EXPECT_EQ(history.UndoSteps(), 3u);  // the oldest two went beyond the bound

  ASSERT_TRUE(history.Undo(book));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "v4");
  ASSERT_TRUE(history.Undo(book));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "v3");
  ASSERT_TRUE(history.Undo(book));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "v2");
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.Undo(book));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "v2");

  // Redo walks forward again, back to the added sheet; a new change forgets the redo.
  ASSERT_TRUE(history.Redo(book));
  ASSERT_TRUE(history.Redo(book));
  ASSERT_TRUE(history.Redo(book));
  EXPECT_FALSE(history.CanRedo());
  ASSERT_EQ(book.SheetCount(), 2);
  EXPECT_EQ(book.Sheet(1).name, "Второй");
  EXPECT_EQ(book.Current(), 1);
  ASSERT_TRUE(history.Undo(book));
  history.Take(book);
  EXPECT_FALSE(history.CanRedo());

  // A step kept for a change that altered nothing is dropped, and what keeping it let
  // go comes back: the oldest step at the bound, and the redo.
  history.Take(book);
  history.Take(book);
  ASSERT_EQ(history.UndoSteps(), 3u);
  ASSERT_TRUE(history.Undo(book));
  history.Take(book);
  history.DropLast();
  EXPECT_EQ(history.UndoSteps(), 2u);
  EXPECT_TRUE(history.CanRedo());
  history.Redo(book);
  history.Take(book);
  history.DropLast();
  EXPECT_EQ(history.UndoSteps(), 3u);
}

TEST(UndoHistory, KeepsMergesFontsAndSizes) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& s = book.Sheet(0);
  s.CellForEdit(0, 0)->SetText("a");
  s.CellForEdit(0, 1)->SetText("b");
  s.SetColumnWidth(1, 120);
  ToggleFontStyle(book, s, CellRect{0, 0, 0, 0}, {0, 0}, FontStyle::kBold);
  UndoHistory history;
  history.Take(book);
  ASSERT_TRUE(MergeCells(book.Sheet(0), CellRect{0, 0, 0, 1}, true));
  ASSERT_TRUE(history.Undo(book));
  const CSheet& back = book.Sheet(0);
  EXPECT_TRUE(back.Merges().empty());
  EXPECT_EQ(back.GetCell(0, 1).text, "b");
  EXPECT_EQ(back.ColumnWidth(1), 120);
  EXPECT_EQ(EffectiveFormat(back, 0, 0).font->weight, 700);
}

TEST(PageRefresh, ReadsBackThroughTheFileAndNeverLosesTheWorkbook) {
  testing::ScratchFolder dir;
  CWorkbook book;
  NewWorkbook(book);
  book.AddSheet();
  book.Sheet(0).CellForEdit(0, 0)->SetText("a");
  book.Sheet(0).CellForEdit(0, 1)->SetText("b");
  ASSERT_TRUE(MergeCells(book.Sheet(0), CellRect{0, 0, 0, 1}, true));
  book.SetCurrent(1);

  // Without a file: through Temp\Temp.xml, which is gone afterwards.
  std::string temp = RefreshPath(dir.path(), "");
  EXPECT_EQ(temp, dir / "Temp\\Temp.xml");
  EXPECT_EQ(RefreshPath(dir.path(), "C:\\x\\book.xml"), "C:\\x\\book.xml");
  ASSERT_TRUE(RefreshWorkbook(book, temp, true));
  EXPECT_FALSE(platform::FileExists(temp));
  EXPECT_EQ(book.Current(), 1);
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "a\tb");
  EXPECT_EQ(book.Sheet(0).Merges().size(), 1u);

  // A file that cannot be written leaves the workbook as it was.
  EXPECT_FALSE(RefreshWorkbook(book, dir / "no such folder\\book.xml", false));
  EXPECT_EQ(book.SheetCount(), 2);
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "a\tb");
}

TEST(PageRules, Utf8ToWinConvertsTheSheetAndKeepsWhatItCannot) {
  CWorkbook book;
  NewWorkbook(book);
  CSheet& s = book.Sheet(0);
  s.name = "\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82";       // "Лист" in UTF-8
  s.CellForEdit(0, 0)->SetText("\xD0\x94\xD0\xB0");  // "Да" in UTF-8
  s.CellForEdit(1, 0)->SetText("plain");
  s.CellForEdit(2, 0)->SetText("Нет");  // already cp1251: not UTF-8
  std::string message = SheetUtf8ToWindows(s);
  EXPECT_EQ(s.name, "Лист");
  EXPECT_EQ(s.GetCell(0, 0).text, "Да");
  EXPECT_EQ(s.GetCell(1, 0).text, "plain");
  EXPECT_EQ(s.GetCell(2, 0).text, "Нет");
  EXPECT_EQ(message, "Не удалось конвертировать в unicode!");
}

}  // namespace
}  // namespace vm::spreadsheet
