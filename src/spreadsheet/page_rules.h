// The spreadsheet page's decisions that need no window: its settings and their
// defaults, a new workbook, what a typed text does to a cell, and the font-style
// buttons whose state the current cell decides.
#pragma once

#include <optional>
#include <string>

#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

// The "EXCEL" keys of the default cell font. A missing name is "Arial"; a missing or
// unreadable height, or one outside -72..72, is -12. `rewrite` says which to write back.
struct DefaultFontSetting {
  std::string faceName;
  int height = -12;
  bool rewriteName = false, rewriteHeight = false;
};
DefaultFontSetting ReadDefaultFontSetting(const std::string& faceName, const std::string& height);
// The grid's default font from the settings: normal weight, Russian character set.
FontDesc DefaultFontFrom(const DefaultFontSetting& setting);

// Empties the workbook to one sheet "Лист 1" of 10 columns and 100 rows, 64 wide.
void NewWorkbook(CWorkbook& workbook);

// What the in-place editor stores. A text that reads as a number in the locale's own
// writing (ReadTypedNumber) becomes a number cell that shows just what was typed: its
// decimals and grouping are kept as its number format, and without an alignment of its
// own (or its column's) it is right-aligned as a number read from a file is. A leading
// apostrophe before something number-like is dropped and keeps the rest a text. Any
// other text is stored as it is, wrapping when it holds a line break; then its row
// grows, if need be, to show every line.
// False when the cell is outside the sheet or the editor's text is what it started from.
bool StoreTypedText(CSheet& sheet, CellPos at, const std::string& text, const NumberLocale& locale);
// The text the editor starts from, which stored again changes nothing: a number as it is
// shown when that reads back as the same number, else in full with the locale's decimal
// separator; a number-like text behind an apostrophe.
std::string EditableText(const CSheet& sheet, CellPos at, const NumberLocale& locale);

// A file that could not be read is kept for the user as "Temp\<name>.bak" beside the
// program; an existing copy is left as it is. False when no copy could be made.
std::string BakCopyPath(const std::string& programFolder, const std::string& path);
bool MakeBakCopy(const std::string& programFolder, const std::string& path);

// A file read for the page. The page's current file is the path only when the read
// succeeded. When it failed the file is kept as a "bak" copy and stays unread: the page
// names no current file, so no save it makes by itself (hiding, another file, refresh,
// exit) writes over it; "Сохранить как" starts with its name and asks before replacing.
struct OpenedWorkbook {
  std::string current;  // the page's file: the path, or empty when the read failed
  std::string unread;   // the path when the read failed
  std::string message;  // for the message box when it failed: the file and why
};
OpenedWorkbook OpenWorkbookFile(CWorkbook& workbook, const std::string& programFolder, const std::string& path);

enum class FontStyle { kBold, kItalic, kUnderline };
// The state of a style in the cell as drawn (its own font, else the column's or sheet's).
bool CellHasStyle(const CSheet& sheet, CellPos at, FontStyle style);
// The current cell's state decides: every selected cell gets the opposite. Bold: a
// weight of 400 becomes 700, any other weight 400. The fonts come from (or are added
// to) the workbook's shared fonts. Returns the new state.
bool ToggleFontStyle(CWorkbook& workbook, CSheet& sheet, const CellRect& selection, CellPos current,
                     FontStyle style);

// The saves the page makes by itself (hiding, another file or a new workbook, "Сохранить
// все", exit): the workbook is written only when it changed since it was read or last
// written, and only to a file it has. An unchanged file keeps its bytes and its time and
// gets no backup, so a book that is only looked at does not fill the days of backups
// kept with copies of itself. The user's own "Сохранить" writes whatever is shown.
enum class AutoSaveOutcome { kNotDue, kWritten, kFailed };
AutoSaveOutcome SaveIfChanged(const CWorkbook& workbook, const std::string& path, bool changed);

// Refresh: the workbook is written to a file and read back from it, the current sheet
// kept. Without a current file it goes through "Temp\Temp.xml", deleted afterwards.
std::string RefreshPath(const std::string& programFolder, const std::string& currentFile);
// False, with the workbook untouched, when the file could not be written; a file that
// cannot be read back leaves the workbook as it was written, never emptied.
bool RefreshWorkbook(CWorkbook& workbook, const std::string& file, bool deleteAfter);

// "UTF8->Win" over the sheet's name and the text of every cell: each text read as UTF-8
// becomes its Windows-1251 form; a text that cannot be converted is kept. The first
// failure's message for the user, or nothing.
std::string SheetUtf8ToWindows(CSheet& sheet);

// The table button's dialog: how many columns and rows to add at the end. A field is
// a count when it holds digits alone (blanks around them allowed; empty is 0). What
// goes past the sheet's 256 columns or 65 536 rows is cut to the limit.
struct AddCounts {
  int columns = 0, rows = 0;
};
std::optional<AddCounts> ReadAddCounts(const CSheet& sheet, const std::string& columns, const std::string& rows);
// Adds them; false when nothing was added.
bool AddColumnsAndRows(CSheet& sheet, const AddCounts& counts);

}  // namespace vm::spreadsheet
