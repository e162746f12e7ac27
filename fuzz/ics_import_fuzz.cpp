// The iCalendar reader over arbitrary bytes: every record it makes is a full task record
// that the task file keeps, and the records written back as .ics read in again as many.
#include <cstdint>
#include <string>

#include "common/record_file.h"
#include "fuzz_support.h"
#include "tasks/ical_tasks.h"

using namespace vm::tasks;
using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  IcsImport in = ImportIcs(bytes, "01/03/2027", size ? static_cast<int>(data[0]) * 7 - 900 : 0);
  for (const std::string& r : in.added)
    if (vm::CountFieldSeparators(r) != kTaskSeparators) Report(bytes, "a record without 54 fields");
  IcsImportReport(in);
  IcsExport out = TasksToIcs(in.added, {1, 3, 2027}, {2027, 3, 1, 0, 0});
  IcsImport again = ImportIcs(out.text, "01/03/2027", 0);
  if (again.added.size() != in.added.size()) Report(bytes, "exported records read back as another count");
  for (size_t i = 0; i < in.added.size(); ++i)
    if (GetTaskField(again.added[i], TaskField::Headline) != GetTaskField(in.added[i], TaskField::Headline))
      Report(bytes, "a headline changed on the way round");
  return 0;
}
