#include "spreadsheet/sheet_find.h"

#include <gtest/gtest.h>

namespace vm::spreadsheet {
namespace {

TEST(SheetFindTest, EveryCellWithTextOnEverySheetNamedAsSpreadsheetsNameCells) {
  CWorkbook book;
  book.Sheet(0).name = "Лист1";
  book.Sheet(0).SetColumnCount(30);
  book.Sheet(0).SetRowCount(10);
  book.Sheet(0).CellForEdit(6, 1)->SetText("Петров");
  book.Sheet(0).CellForEdit(0, 27)->SetText("аванс");
  book.Sheet(0).CellForEdit(1, 1);  // a cell without text
  CSheet& second = book.AppendSheet();
  second.name = "Итоги";
  second.SetColumnCount(1);
  second.SetRowCount(1);
  second.CellForEdit(0, 0)->SetText("1234.5");
  std::vector<find::Entry> texts = SheetFindTexts(book);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].label, "Лист1!AB1");
  EXPECT_EQ(texts[1].label, "Лист1!B7");
  EXPECT_EQ(texts[1].place.record, 6u);
  EXPECT_EQ(texts[1].place.field, 1u);
  EXPECT_EQ(texts[2].label, "Итоги!A1");
  EXPECT_EQ(texts[2].place.part, 1u);
}

}  // namespace
}  // namespace vm::spreadsheet
