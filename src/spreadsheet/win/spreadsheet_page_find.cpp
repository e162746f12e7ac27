// The spreadsheet page's part in "Найти везде": every cell of every sheet, and going to
// a cell.
#include "shell/find_books.h"
#include "spreadsheet/sheet_find.h"
#include "spreadsheet/win/spreadsheet_page.h"

namespace vm::spreadsheet {

std::optional<shell::FindableBook> CLikeExcelDlg::Findable() const {
  return shell::FindableBook{shell::FindBookName(shell::Book::kSpreadsheet, path_), revision_, {}, {}};
}

std::vector<find::Entry> CLikeExcelDlg::FindTexts() const { return SheetFindTexts(workbook_); }

bool CLikeExcelDlg::JumpTo(const find::Result& hit) {
  const int sheet = static_cast<int>(hit.place.part);
  if (!hwnd() || sheet >= workbook_.SheetCount()) return false;
  const CellPos cell{static_cast<int>(hit.place.record), static_cast<int>(hit.place.field)};
  if (!workbook_.Sheet(sheet).InGrid(cell.row, cell.column)) return false;
  if (sheet != workbook_.Current()) grid_.ShowSheet(sheet);
  grid_.Select(cell, cell);
  SetFocus(grid_.hwnd());
  return true;
}

}  // namespace vm::spreadsheet
