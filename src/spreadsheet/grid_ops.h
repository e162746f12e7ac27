// The editing operations the spreadsheet page applies to the current sheet: formats of
// a selection, sorting, the clipboard text, find and replace. The page owns the
// selection, the dialogs and the clipboard itself; these take and return plain data.
#pragma once

#include <string>
#include <string_view>

#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

// The cell as drawn: what it does not set comes from its column's format, then from the
// sheet's default format.
CSheetCell EffectiveFormat(const CSheet& sheet, int r, int c);

// ---- formats of a selection -----------------------------------------------------------------
// Replaces the horizontal alignment group (kAlignLeft, kAlignRight or kAlignCenter).
void SetHorizontalAlignment(CSheet& sheet, const CellRect& selection, uint32_t horizontal);
void SetFont(CSheet& sheet, const CellRect& selection, const FontDesc* font);
void SetTextColor(CSheet& sheet, const CellRect& selection, Color color);
void SetFillColor(CSheet& sheet, const CellRect& selection, Color color);

// ---- rows and columns of a selection --------------------------------------------------------
// Deletes the selection's rows (or columns), from the last to the first.
void DeleteSelectedRows(CSheet& sheet, const CellRect& selection);
void DeleteSelectedColumns(CSheet& sheet, const CellRect& selection);

// ---- merging -------------------------------------------------------------------------------
// The selection becomes one merged area; with joinTexts its top-left cell takes the texts
// of all selected cells joined as for copying.
bool MergeCells(CSheet& sheet, const CellRect& selection, bool joinTexts);

// ---- sorting -------------------------------------------------------------------------------
enum SortOrder { kSortAscending = 1, kSortDescending = 2 };
// Sorts the rows by one column. Cells of kinds number, boolean and currency compare by
// value, others by shown text in byte order, cells without text last; descending swaps
// the cells before comparing. Equal rows keep their order. False (nothing changed) when
// a merged area spans rows, which no order of rows could keep whole.
bool SortRows(CSheet& sheet, int column, SortOrder order, const NumberLocale& locale);

// ---- clipboard -----------------------------------------------------------------------------
// Cells of a row joined by tabs, rows by CR LF; tabs and line breaks inside a cell's text
// become blanks.
std::string CopyText(const CSheet& sheet, const CellRect& selection);
// Copies, then empties the text of every copied cell that is not protected.
std::string CutCells(CSheet& sheet, const CellRect& selection);
// Pieces separated by tabs go right from `at`, each line break starts the next row at
// the starting column; pieces outside the sheet are dropped, protected cells skipped,
// an empty piece empties its cell. A break that ends the text starts no further row.
void PasteText(CSheet& sheet, CellPos at, std::string_view text);

// ---- find and replace ----------------------------------------------------------------------
struct FindOptions {
  std::string what;
  bool wholeCell = false;   // the whole cell must match
  bool matchCase = false;
  bool up = false;          // search backwards
  bool allColumns = true;   // "Поиск по всем столбцам"; otherwise the current column only
};

extern const char* const kNothingFoundText;  // "Ничего не найдено"
extern const char* const kFindTitle;         // "Поиск"

bool CellMatches(const CSheet& sheet, int r, int c, const FindOptions& options, const NumberLocale& locale);
// The next matching cell after `from` (or from `from` itself with includeFrom) in the
// search's direction, row by row, up to the sheet's edge. Cells hidden in a merged area
// are passed over.
bool FindCell(const CSheet& sheet, const FindOptions& options, const NumberLocale& locale, CellPos from,
              bool includeFrom, CellPos& found);
// Nothing is searched when the replacement equals the search text, or, for a match
// anywhere in a cell, contains it (without match-case both compare ignoring case).
bool ReplaceRefused(const FindOptions& options, std::string_view replacement);
// When the cell matches, its text becomes the replacement (for a match anywhere, every
// occurrence in the shown text is replaced and the rest kept). True when it replaced.
bool ReplaceInCell(CSheet& sheet, CellPos at, const FindOptions& options, std::string_view replacement,
                   const NumberLocale& locale);
// Replaces in `from` and every later match in the search's direction; the count.
int ReplaceAll(CSheet& sheet, CellPos from, const FindOptions& options, std::string_view replacement,
               const NumberLocale& locale);

}  // namespace vm::spreadsheet
