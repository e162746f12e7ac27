// The CSV reader over arbitrary bytes. Whatever it makes must save and load back with
// no line rejected, and its export must import again to the same table.
#include <cstdint>
#include <string>

#include "data/csv.h"
#include "data/data_file.h"
#include "fuzz_support.h"

using namespace vm::data;

using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  CsvImport in = ImportCsvBytes(bytes, "f.csv");
  if (!in.ok) {
    if (in.error.empty()) Report(bytes, "a refused file without a message");
    return 0;
  }
  const DataTable& t = in.table;
  if (t.def.names.size() != static_cast<size_t>(t.def.ColumnCount()) || t.def.ColumnCount() < 1)
    Report(bytes, "columns out of step with the names");
  for (const CTableRecord& r : t.records)
    if (CountFieldSeparators(r.line) != t.def.lastColumn)
      Report(bytes, "a record without a field per column");
  CsvImportReport(in);

  DataTable saved = t;
  saved.path = "C:\\t\\table.dbp";
  std::string rejected;
  DataTable loaded;
  loaded.path = saved.path;
  TableLoad load = LoadTableBytes(loaded, TableBytes(saved), rejected);
  if (load.oldFormat || load.rejected != 0 || loaded.records.size() != t.records.size() ||
      loaded.def.names != t.def.names)
    Report(bytes, "the imported table does not load back");

  CsvImport again = ImportCsvBytes(CsvBytes(t), "g.csv");
  if (!again.ok || again.table.def.names != t.def.names || again.records != in.records)
    Report(bytes, "export and import again differ");
  for (size_t i = 0; i < t.records.size(); ++i)
    if (again.table.records[i].line != t.records[i].line) Report(bytes, "a record changed on the way round");
  if (!CsvImportReport(again).empty()) Report(bytes, "a table read back with losses");
  return 0;
}
