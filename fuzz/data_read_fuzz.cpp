// The data-file reader over arbitrary file contents. Whatever it loads must be saved,
// plain and protected, and load back column for column and record for record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/record_file.h"
#include "data/data_file.h"
#include "fuzz_support.h"
#include "platform/platform.h"

using namespace vm::data;

using vm::fuzz::Report;

namespace {

bool SameTable(const DataTable& a, const DataTable& b) {
  if (a.def.names != b.def.names || a.def.widths != b.def.widths || a.def.shown != b.def.shown ||
      a.def.lastColumn != b.def.lastColumn || a.def.phoneColumn != b.def.phoneColumn ||
      a.def.emailColumn != b.def.emailColumn || a.def.webColumn != b.def.webColumn ||
      a.records.size() != b.records.size())
    return false;
  for (size_t i = 0; i < a.records.size(); ++i)
    if (a.records[i].line != b.records[i].line) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  DataTable table;
  table.path = "C:\\t\\table.dbp";
  std::string rejected;
  TableLoad load = LoadTableBytes(table, bytes, rejected);

  // The same bytes as a file (in memory): LoadTable reads what LoadTableBytes reads and
  // sends the rejected lines to the side file; what SaveTable writes loads back.
  vm::fuzz::Scratch scratch;
  const std::string path = scratch.Folder() + "table.dbp";
  vm::platform::WriteFileBytes(path, bytes);
  DataTable fromFile;
  fromFile.path = path;
  TableLoad fileLoad = LoadTable(fromFile);
  if (fileLoad.oldFormat != load.oldFormat || fileLoad.rejected != load.rejected)
    Report(bytes, "the file load differs from the bytes load");
  if (load.oldFormat) return 0;
  if (!SameTable(fromFile, table)) Report(bytes, "the file load differs from the bytes load");
  if (load.rejected > 0 && !vm::platform::FileExists(vm::SideFilePath(path)))
    Report(bytes, "rejected lines without a side file");
  fromFile.def.modified = kTableChanged;
  if (SaveTable(fromFile).status != TableSaveStatus::kSaved) Report(bytes, "a loaded table does not save");
  DataTable fromSave;
  fromSave.path = path;
  TableLoad second = LoadTable(fromSave);
  if (second.rejected != 0 || !SameTable(fromSave, fromFile)) Report(bytes, "a saved table does not load back");
  // One password an input, chosen by its length: none, the table's own (with its carried
  // lines) or a new one. Each goes through the same code whichever input brings it.
  {
    const std::string passwords[] = {std::string(), table.password, std::string("p^w")};
    const std::string& password = passwords[size % 3];
    DataTable copy = table;
    copy.password = password;
    copy.scheme = password.empty() ? vm::Protection::kNone : vm::Protection::kLegacy;  // what TableBytes writes
    std::string written = TableBytes(copy);
    DataTable back;
    back.path = copy.path;
    std::string again;
    TableLoad reloaded = LoadTableBytes(back, written, again);
    // Rejected lines are carried and written back, to be rejected again.
    if (reloaded.oldFormat || back.carried != copy.carried || back.password != password ||
        !SameTable(copy, back)) {
      Report(bytes,
             password.empty() ? "data round trip differs without password" : "data round trip differs");
    }
  }
  // Column operations keep every record's field count in step with the columns.
  if (table.def.lastColumn >= 0 && table.def.lastColumn < 64) {
    AddColumn(table, "new");
    MoveColumnUp(table, table.def.lastColumn);
    MoveColumnDown(table, 0);
    DeleteColumn(table, table.def.lastColumn / 2);
    for (const CTableRecord& r : table.records)
      if (CountFieldSeparators(r.line) < table.def.lastColumn)
        Report(bytes, "a column operation lost a field");
  }
  return 0;
}
