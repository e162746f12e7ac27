// Tables in and out of spreadsheets as CSV text (RFC 4180). Export writes the shown
// columns with a header row in UTF-8 with a byte-order mark, which spreadsheet programs
// take as the sign of the encoding. Import reads UTF-8 (with or without the mark) or
// Windows-1251, with "," ";" or a tab between fields, into a new table whose columns
// are the header row; what the table cannot hold is counted and reported by row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/table.h"

namespace vm::data {

// ---- export ---------------------------------------------------------------------------
// The CSV text of the table's shown columns: the names, then every record, CR LF after
// each row. Fields holding ",", ";", a tab, a quote or a line break are quoted, with
// quotes doubled; a row whose only field is empty is written as "" so that it is not
// read back as an empty line.
std::string CsvBytes(const DataTable& table);

struct CsvExport {
  bool ok = true;
  std::string error;  // for the user when !ok
};
// Writes CsvBytes to `path` through the safe replace. A table without a shown column is
// refused: there would be nothing to write.
CsvExport ExportCsv(const DataTable& table, const std::string& path);

// ---- import ---------------------------------------------------------------------------
enum class CsvEncoding { kUtf8, kCp1251 };

// Characters of one kind that did not reach the table as they were, and the rows of the
// file that held them (the header row is row 1, as in a spreadsheet).
struct CsvLoss {
  int count = 0;
  std::vector<int> rows;
  void Add(int row);
};

struct CsvImport {
  bool ok = false;
  std::string error;  // for the user when !ok; nothing is made then
  CsvEncoding encoding = CsvEncoding::kUtf8;
  char separator = ',';
  // The new table: the header row's names as columns (100 wide, shown), one record a
  // data row, fields written by the shared field rule. No path, marked changed.
  DataTable table;
  int records = 0;
  // Characters Windows-1251 lacks: each became "?".
  CsvLoss unconvertible;
  // "#" cannot be kept in a field of a record line (the field rule drops it).
  CsvLoss hashes;
  // Rows with more fields than the header: the table got unnamed columns for them.
  CsvLoss longRows;
  // Rows of a UTF-8 file with lines that are not UTF-8 (saved in Windows-1251 by another
  // program): each such line was read whole as Windows-1251. One count per row.
  CsvLoss notUtf8;
  // The row where a quoted field opened and never closed (it runs to the end); 0: none.
  int unclosedQuoteRow = 0;
};

// Reads CSV bytes. `fileName` names the file in the messages. The file is UTF-8 when it
// all is, or when most of its lines beyond ASCII are (the others are read as Windows-1251
// and reported in notUtf8); otherwise Windows-1251. A file that is neither (a zero byte,
// a UTF-16 mark, or a byte Windows-1251 does not define where UTF-8 does not hold), or
// one without a header row, is refused.
CsvImport ImportCsvBytes(std::string_view bytes, const std::string& fileName);
// Reads the file at `path` and imports it.
CsvImport ImportCsv(const std::string& path);

// The report of an import for the user: one paragraph per kind of loss; empty when the
// table holds the file exactly.
std::string CsvImportReport(const CsvImport& import);

}  // namespace vm::data
