// The open workbook as "Найти везде" reads it: one entry per cell holding text, on every
// sheet, its text as stored, named as spreadsheets name a cell, "Лист1!B7". Place::part
// is the sheet, Place::record the row and Place::field the column (from 0).
#pragma once

#include <vector>

#include "common/find_corpus.h"
#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

std::vector<find::Entry> SheetFindTexts(const CWorkbook& workbook);
// "B7" for row 6, column 1.
std::string CellName(int row, int column);

}  // namespace vm::spreadsheet
