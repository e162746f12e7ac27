// Workbooks as Excel 2003 XML files (SpreadsheetML), and the one-step undo snapshot
// that is such a file in "Temp".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

// The file's bytes: Windows-1251, CR LF, styles s50 upward made while the sheets are
// written.
std::string WorkbookText(const CWorkbook& workbook);
// Writes all sheets through the safe replace; false when the file could not be written
// (the old file is then unchanged).
bool WriteWorkbook(const CWorkbook& workbook, const std::string& path);

struct WorkbookReadReport {
  int parseErrors = 0;                // from the document parser; never fatal
  std::string firstParseError;
  std::vector<std::string> problems;  // parts of the file that were left out, and why
};

// Empties the workbook and reads the file into it. False when the file cannot be read
// or holds no workbook; the workbook is then one empty sheet.
bool ReadWorkbook(CWorkbook& workbook, const std::string& path, WorkbookReadReport* report = nullptr);
// The same over a file's bytes (in any encoding LoadFile accepts).
bool ReadWorkbookBytes(CWorkbook& workbook, std::string bytes, WorkbookReadReport* report = nullptr);

// ---- the undo snapshot -------------------------------------------------------------------
// "Temp\<current file's name with the extension tmp>" in the program folder; a workbook
// without a file uses "Temp\Temp.tmp".
std::string SnapshotPath(const std::string& programFolder, const std::string& currentFile);
bool TakeSnapshot(const CWorkbook& workbook, const std::string& snapshotPath);
bool CanUndo(const std::string& snapshotPath);
// Empties the workbook and loads the snapshot; the current sheet stays when it exists.
bool Undo(CWorkbook& workbook, const std::string& snapshotPath);

}  // namespace vm::spreadsheet
