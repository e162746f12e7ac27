// The data file (".dbp"): one header line with the column definition and the key,
// then one line per record; with a password the names are header-encoded and the
// record lines scrambled. Saved as header version 4; versions 1 to 4 and header-less
// files are read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/record_merge.h"
#include "data/table.h"

namespace vm::data {

struct TableLoad {
  bool opened = true;
  std::string error;  // for the user when the file could not be read
  int rejected = 0;   // lines sent to the ".err" report
  bool oldFormat = false;
};
// Loads the table from table.path. A strongly protected file loads nothing but itself
// (table.sealed) and leaves the table locked until ApplyTablePassword opens it. The records and the definition are replaced; the
// password comes from the key (an open or a new file starts with none). A protected
// file leaves the table locked. Lines with too few separators go to the ".err" report
// beside the file and mark the table changed. A line of the older layout ("<Records")
// stops loading, leaves the table empty and forgets the path.
TableLoad LoadTable(DataTable& table);
// The same over bytes already read. Rejected lines are collected, not written.
TableLoad LoadTableBytes(DataTable& table, std::string_view bytes, std::string& rejected);

enum class TableSaveStatus { kUnchanged, kSaved, kFailed };
struct TableSave {
  TableSaveStatus status = TableSaveStatus::kUnchanged;
  std::string error;  // for the user on kFailed
};
// Saves to table.path through the safe replace when the table is changed, and always
// when it has a password. The modified state becomes -1; a failed write keeps the old
// file and the changed state. Nothing happens without a path.
TableSave SaveTable(DataTable& table);
// The three-way merge of a table changed here and on disk: by record, the header line
// as one unit. A protected side is not merged (its record lines are scrambled, so a
// conflict could not be marked in them): the caller keeps both versions.
MergeResult MergeTables(std::string_view base, std::string_view mine, std::string_view theirs);
// The table's bytes before strong protection: the plain form, or the old scheme's when
// the table has a password and is written in that scheme (and the key it stores in the
// definition).
std::string TableBytes(DataTable& table);
// What SaveTable writes: TableBytes, encrypted whole when the table has a password and
// the strong scheme; a strongly protected file not yet opened is its own bytes. False
// when the platform's crypto failed (nothing may then be written).
bool FileBytes(DataTable& table, std::string& out);

// The fields of a header line: a "|" after the escape character does not separate (a
// "|" at the very start always does), and every escape character is dropped.
std::vector<std::string> HeaderFields(std::string_view line, char escape);

// The key text for a file name and password.
std::string TableKey(std::string_view fileName, std::string_view password);

}  // namespace vm::data
