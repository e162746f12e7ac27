// The workbook: an ordered list of named sheets, the current one, the shared fonts and
// the defaults every new sheet starts from.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/cell_text.h"
#include "spreadsheet/sheet.h"

namespace vm::spreadsheet {

// "Лист %i": the name of a new sheet and of a written sheet without a name.
std::string SheetNumberName(int number);

class CWorkbook {
 public:
  // A workbook of one empty sheet.
  CWorkbook();
  CWorkbook(const CWorkbook&) = delete;
  CWorkbook& operator=(const CWorkbook&) = delete;

  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  CSheet& Sheet(int i) { return *sheets_[static_cast<size_t>(i)]; }
  const CSheet& Sheet(int i) const { return *sheets_[static_cast<size_t>(i)]; }
  int Current() const { return current_; }
  void SetCurrent(int i);
  CSheet& CurrentSheet() { return Sheet(current_); }
  const CSheet& CurrentSheet() const { return Sheet(current_); }

  // A bare sheet at the end, with this workbook's defaults and no rows or columns.
  CSheet& AppendSheet();
  // "Add sheet": named "Лист N" with the smallest N no tab carries, 10 columns and 100
  // rows, and current.
  CSheet& AddSheet();
  // Only the last sheet can be deleted; deleting the only one empties it and gives it
  // 10 columns and 100 rows again.
  bool CanDeleteSheet(int i) const { return i >= 0 && i == SheetCount() - 1; }
  bool DeleteSheet(int i);
  // Empties the workbook to one bare sheet without a name.
  void Clear();
  // Empties a sheet back to the workbook's defaults (its name stays).
  void ResetSheet(CSheet& sheet) const;

  FontTable& Fonts() { return fonts_; }
  // Defaults for new sheets: the cell format (with the default font), the header
  // cells' format, column width and row height. The page sets them from its settings.
  CSheetCell& DefaultFormat() { return defaultFormat_; }
  const CSheetCell& DefaultFormat() const { return defaultFormat_; }
  CSheetCell& HeaderFormat() { return headerFormat_; }
  const CSheetCell& HeaderFormat() const { return headerFormat_; }
  void SetDefaultFont(const FontDesc& font);
  int defaultWidth = 64;
  int defaultHeight = 17;

  // The user's separators for shown numbers and the screen's resolution for font sizes.
  NumberLocale locale;
  int pixelsPerInch = 96;

 private:
  std::vector<std::unique_ptr<CSheet>> sheets_;
  int current_ = 0;
  FontTable fonts_;
  CSheetCell defaultFormat_;
  CSheetCell headerFormat_;
};

}  // namespace vm::spreadsheet
