// The grid's context menus as data: which items the tab, column-header and cell menus
// hold, in which order, and which are greyed or ticked for the page's state. The page
// turns them into native menus and sends the chosen id back to itself.
#pragma once

#include <string>
#include <vector>

#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

struct MenuEntry {
  int id = 0;  // 0: a separator
  std::string text;
  bool enabled = true;
  bool checked = false;
};

// The page's own options the menus show.
struct PageOptions {
  bool searchAllColumns = true;  // "Поиск по всем столбцам"
  bool allowSorting = false;     // "Разрешить сортировку"
};

// A workbook of one sheet with no cells at all offers nothing on its tab.
bool SingleEmptySheet(const CWorkbook& workbook);

// On the tab of `tab`: add, delete (only the last sheet), rename.
std::vector<MenuEntry> TabMenu(const CWorkbook& workbook, int tab);
std::vector<MenuEntry> ColumnHeaderMenu(const PageOptions& options, bool canUndo);
// `current` decides the ticked alignment; cut and copy want a selection inside the
// sheet, paste plain text on the clipboard.
std::vector<MenuEntry> CellMenu(const CSheet& sheet, const CellRect& selection, CellPos current,
                                bool clipboardHasText, bool canUndo);

}  // namespace vm::spreadsheet
