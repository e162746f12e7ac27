#include "data/data_find.h"

#include <algorithm>

namespace vm::data {

std::vector<find::Entry> DataFindTexts(const DataTable& table) {
  std::vector<find::Entry> out;
  out.reserve(table.records.size());
  // Every column, and the fields of a line longer than the columns too: they are stored.
  const int columns = table.def.ColumnCount();
  for (size_t r = 0; r < table.records.size(); ++r) {
    const std::string_view line = table.records[r].line;
    find::Entry e;
    e.place.record = static_cast<uint32_t>(r);
    e.label = "строка " + std::to_string(r + 1);
    e.text.reserve(line.size() + 1);
    size_t begin = 0;
    for (int f = 0; begin <= line.size() && (f < std::max(columns, 1) || begin < line.size()); ++f) {
      const size_t end = FieldEnd(line, begin);
      if (f) e.text += find::kFieldBreak;
      AppendFieldValue(e.text, line.substr(begin, end - begin));
      begin = end + 1;
    }
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace vm::data
