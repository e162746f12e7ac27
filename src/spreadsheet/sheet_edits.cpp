#include "spreadsheet/sheet_edits.h"

#include <algorithm>

#include "spreadsheet/grid_ops.h"
#include "spreadsheet/sheet_commands.h"

namespace vm::spreadsheet {

namespace {

bool AnyCutText(const CSheet& sheet, const CellRect& selection) {
  for (int r = std::max(selection.top, 0); r <= std::min(selection.bottom, sheet.RowCount() - 1); ++r)
    for (int c = std::max(selection.left, 0); c <= std::min(selection.right, sheet.ColumnCount() - 1); ++c) {
      const CSheetCell* cell = sheet.StoredCell(r, c);
      if (cell && cell->HasText() && !cell->Protected()) return true;
    }
  return false;
}

bool InSheet(const CSheet& sheet, const CellRect& selection) {
  return !selection.Empty() && sheet.InGrid(selection.top, selection.left);
}

}  // namespace

const std::vector<int>& WorkbookCommands() {
  static const std::vector<int> commands = {
      ID_SHEET_BOLD,         ID_SHEET_ITALIC,        ID_SHEET_UNDERLINE,    ID_SHEET_LEFT,
      ID_SHEET_CENTRE,       ID_SHEET_RIGHT,         ID_SHEET_TEXT_COLOUR,  ID_SHEET_FILL_COLOUR,
      ID_SHEET_FONT,         ID_SHEET_CUT,           ID_SHEET_PASTE,
      ID_SHEET_CLEAR,        ID_SHEET_TABLE,         ID_SHEET_UTF8,         ID_SHEET_TAB_ADD,
      ID_SHEET_TAB_DELETE,   ID_SHEET_TAB_RENAME,    ID_SHEET_COLUMN_ADD,   ID_SHEET_COLUMN_INSERT,
      ID_SHEET_COLUMN_DELETE, ID_SHEET_ROW_ADD,      ID_SHEET_ROW_INSERT,   ID_SHEET_ROW_DELETE,
      ID_SHEET_MERGE,        ID_SHEET_UNMERGE,       ID_SHEET_SORT_UP,      ID_SHEET_SORT_DOWN,
  };
  return commands;
}

bool ChangesWorkbook(int command) {
  const std::vector<int>& all = WorkbookCommands();
  return std::find(all.begin(), all.end(), command) != all.end();
}

bool ReshapesGrid(int command) {
  switch (command) {
    case ID_SHEET_FONT:
    case ID_SHEET_DEFAULT_FONT:
    case ID_SHEET_TABLE:
    case ID_SHEET_UTF8:
    case ID_SHEET_TAB_ADD:
    case ID_SHEET_TAB_DELETE:
    case ID_SHEET_TAB_RENAME:
    case ID_SHEET_COLUMN_ADD:
    case ID_SHEET_COLUMN_INSERT:
    case ID_SHEET_COLUMN_DELETE:
    case ID_SHEET_ROW_ADD:
    case ID_SHEET_ROW_INSERT:
    case ID_SHEET_ROW_DELETE:
    case ID_SHEET_MERGE:
    case ID_SHEET_UNMERGE: return true;
    default: return false;
  }
}

bool ApplyEdit(CWorkbook& workbook, int command, const EditTarget& target, const EditInput& input,
               EditOutput& output) {
  CSheet& sheet = workbook.CurrentSheet();
  const CellRect& sel = target.selection;
  int column = target.column >= 0 ? target.column : target.current.column;
  auto style = [&](FontStyle s) {
    if (!InSheet(sheet, sel)) return false;
    ToggleFontStyle(workbook, sheet, sel, target.current, s);
    return true;
  };
  auto align = [&](uint32_t a) {
    if (!InSheet(sheet, sel)) return false;
    SetHorizontalAlignment(sheet, sel, a);
    return true;
  };
  switch (command) {
    case ID_SHEET_BOLD: return style(FontStyle::kBold);
    case ID_SHEET_ITALIC: return style(FontStyle::kItalic);
    case ID_SHEET_UNDERLINE: return style(FontStyle::kUnderline);
    case ID_SHEET_LEFT: return align(kAlignLeft);
    case ID_SHEET_CENTRE: return align(kAlignCenter);
    case ID_SHEET_RIGHT: return align(kAlignRight);
    case ID_SHEET_TEXT_COLOUR:
      if (!InSheet(sheet, sel)) return false;
      SetTextColor(sheet, sel, input.colour.value_or(Rgb(0, 0, 0)));
      return true;
    case ID_SHEET_FILL_COLOUR:
      if (!InSheet(sheet, sel)) return false;
      SetFillColor(sheet, sel, input.colour.value_or(Rgb(255, 255, 255)));
      return true;
    case ID_SHEET_FONT:
      if (!InSheet(sheet, sel)) return false;
      SetFont(sheet, sel, workbook.Fonts().Intern(input.font));
      SetTextColor(sheet, sel, input.colour.value_or(Rgb(0, 0, 0)));
      return true;
    case ID_SHEET_DEFAULT_FONT:
      workbook.SetDefaultFont(input.font);
      for (int i = 0; i < workbook.SheetCount(); ++i) {
        CSheetCell& f = workbook.Sheet(i).DefaultFormat();
        f.font = workbook.DefaultFormat().font;
        f.mask |= kCellFont;
      }
      return true;
    case ID_SHEET_CUT:
      output.cutText = CopyText(sheet, sel);
      if (!AnyCutText(sheet, sel)) return false;
      CutCells(sheet, sel);
      return true;
    case ID_SHEET_CLEAR:
      if (!AnyCutText(sheet, sel)) return false;
      CutCells(sheet, sel);
      return true;
    case ID_SHEET_PASTE:
      if (input.text.empty() || !sheet.InGrid(target.current.row, target.current.column)) return false;
      PasteText(sheet, target.current, input.text);
      return true;
    case ID_SHEET_TABLE: return AddColumnsAndRows(sheet, input.counts);
    case ID_SHEET_UTF8: output.message = SheetUtf8ToWindows(sheet); return true;
    case ID_SHEET_TAB_ADD: workbook.AddSheet(); return true;
    case ID_SHEET_TAB_DELETE: return workbook.DeleteSheet(target.tab);
    case ID_SHEET_TAB_RENAME:
      if (target.tab < 0 || target.tab >= workbook.SheetCount() || workbook.Sheet(target.tab).name == input.text)
        return false;
      workbook.Sheet(target.tab).name = input.text;
      return true;
    case ID_SHEET_COLUMN_ADD: return sheet.AppendColumn();
    case ID_SHEET_COLUMN_INSERT: return sheet.InsertColumn(column);
    case ID_SHEET_COLUMN_DELETE: {
      // A click on a header outside the selection deletes that column.
      CellRect columns = sel;
      if (target.column >= 0 && (target.column < sel.left || target.column > sel.right))
        columns = CellRect{0, target.column, 0, target.column};
      int before = sheet.ColumnCount();
      DeleteSelectedColumns(sheet, columns);
      return sheet.ColumnCount() != before;
    }
    case ID_SHEET_ROW_ADD: return sheet.AppendRow();
    case ID_SHEET_ROW_INSERT: return sheet.InsertRow(target.current.row);
    case ID_SHEET_ROW_DELETE: {
      int before = sheet.RowCount();
      DeleteSelectedRows(sheet, sel);
      return sheet.RowCount() != before;
    }
    case ID_SHEET_MERGE: return MergeCells(sheet, sel, true);
    case ID_SHEET_UNMERGE: return sheet.Unmerge(target.current.row, target.current.column);
    case ID_SHEET_SORT_UP: return SortRows(sheet, column, kSortAscending, workbook.locale);
    case ID_SHEET_SORT_DOWN: return SortRows(sheet, column, kSortDescending, workbook.locale);
    default: return false;
  }
}

}  // namespace vm::spreadsheet
