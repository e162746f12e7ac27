#include "spreadsheet/page_menus.h"

#include "spreadsheet/grid_ops.h"
#include "spreadsheet/sheet_commands.h"

namespace vm::spreadsheet {

namespace {

MenuEntry Item(int id, const char* text, bool enabled = true, bool checked = false) {
  return MenuEntry{id, text, enabled, checked};
}

// The font and colour commands both menus start with.
void AddFormatItems(std::vector<MenuEntry>& menu) {
  menu.push_back(Item(ID_SHEET_FONT, "Изменить шрифт"));
  menu.push_back(Item(ID_SHEET_DEFAULT_FONT, "Изменить шрифт по умолчанию"));
  menu.push_back(Item(ID_SHEET_TEXT_COLOUR, "Изменить цвет шрифта"));
  menu.push_back(Item(ID_SHEET_FILL_COLOUR, "Изменить цвет заливки"));
}

bool SelectionInSheet(const CSheet& sheet, const CellRect& selection) {
  return sheet.InGrid(selection.top, selection.left) && sheet.InGrid(selection.bottom, selection.right);
}

}  // namespace

bool SingleEmptySheet(const CWorkbook& workbook) {
  if (workbook.SheetCount() != 1) return false;
  const CSheet& sheet = workbook.Sheet(0);
  return sheet.RowCount() == 0 || sheet.ColumnCount() == 0;
}

std::vector<MenuEntry> TabMenu(const CWorkbook& workbook, int tab) {
  bool any = !SingleEmptySheet(workbook);
  return {Item(ID_SHEET_TAB_ADD, "Добавить", any),
          Item(ID_SHEET_TAB_DELETE, "Удалить", any && workbook.CanDeleteSheet(tab)),
          Item(ID_SHEET_TAB_RENAME, "Переименовать", any)};
}

std::vector<MenuEntry> ColumnHeaderMenu(const PageOptions& options, bool canUndo) {
  std::vector<MenuEntry> menu;
  AddFormatItems(menu);
  menu.push_back(Item(ID_SHEET_COLUMN_ADD, "Добавить столбец"));
  menu.push_back(Item(ID_SHEET_COLUMN_INSERT, "Вставить столбец"));
  menu.push_back(Item(ID_SHEET_COLUMN_DELETE, "Удалить столбец"));
  menu.push_back(Item(ID_SHEET_FIND, "Поиск"));
  menu.push_back(Item(ID_SHEET_REPLACE, "Замена"));
  menu.push_back(Item(ID_SHEET_ALL_COLUMNS, "Поиск по всем столбцам", true, options.searchAllColumns));
  menu.push_back(MenuEntry{});
  menu.push_back(Item(ID_SHEET_SORT_UP, "Сортировка по возрастанию", options.allowSorting));
  menu.push_back(Item(ID_SHEET_SORT_DOWN, "Сортировка по убыванию", options.allowSorting));
  menu.push_back(Item(ID_SHEET_ALLOW_SORT, "Разрешить сортировку", true, options.allowSorting));
  menu.push_back(MenuEntry{});
  menu.push_back(Item(ID_SHEET_UNDO, "Отменить", canUndo));
  return menu;
}

std::vector<MenuEntry> CellMenu(const CSheet& sheet, const CellRect& selection, CellPos current,
                                bool clipboardHasText, bool canUndo) {
  uint32_t align = 0;
  if (sheet.InGrid(current.row, current.column))
    align = EffectiveFormat(sheet, current.row, current.column).align & kAlignHorizontalMask;
  bool selected = SelectionInSheet(sheet, selection);
  std::vector<MenuEntry> menu;
  AddFormatItems(menu);
  menu.push_back(Item(ID_SHEET_MERGE, "Объединить ячейки"));
  menu.push_back(Item(ID_SHEET_UNMERGE, "Разъединить ячейки"));
  // The user's menu has always spelt it so.
  menu.push_back(Item(ID_SHEET_ROW_ADD, "Дообавить строку"));
  menu.push_back(Item(ID_SHEET_ROW_INSERT, "Вставить строку"));
  menu.push_back(Item(ID_SHEET_ROW_DELETE, "Удалить строку"));
  menu.push_back(Item(ID_SHEET_LEFT, "По левому краю", true, align == kAlignLeft));
  menu.push_back(Item(ID_SHEET_CENTRE, "По центру", true, align == kAlignCenter));
  menu.push_back(Item(ID_SHEET_RIGHT, "По правому краю", true, align == kAlignRight));
  menu.push_back(MenuEntry{});
  menu.push_back(Item(ID_SHEET_CUT, "Вырезать", selected));
  menu.push_back(Item(ID_SHEET_COPY, "Копировать", selected));
  menu.push_back(Item(ID_SHEET_PASTE, "Вставить", clipboardHasText));
  menu.push_back(MenuEntry{});
  menu.push_back(Item(ID_SHEET_UNDO, "Отменить", canUndo));
  return menu;
}

}  // namespace vm::spreadsheet
