#include "spreadsheet/sheet_find.h"

#include "spreadsheet/grid_view.h"

namespace vm::spreadsheet {

std::string CellName(int row, int column) { return ColumnName(column) + std::to_string(row + 1); }

std::vector<find::Entry> SheetFindTexts(const CWorkbook& workbook) {
  std::vector<find::Entry> out;
  for (int s = 0; s < workbook.SheetCount(); ++s) {
    const CSheet& sheet = workbook.Sheet(s);
    for (const CSheet::Row& row : sheet.Rows())
      for (const CSheet::CellEntry& c : row.cells) {
        if (!c.cell.HasText()) continue;
        find::Entry e;
        e.place = {static_cast<uint32_t>(row.index), static_cast<uint32_t>(c.column), static_cast<uint32_t>(s)};
        e.label = sheet.name + "!" + CellName(row.index, c.column);
        e.text = c.cell.text;
        out.push_back(std::move(e));
      }
  }
  return out;
}

}  // namespace vm::spreadsheet
