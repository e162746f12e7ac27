// The three-way merges over arbitrary sides (the input's parts between zero bytes: base,
// mine, theirs). Nothing may crash, and a side that changed nothing leaves exactly the
// other side's records: merging against an untouched copy is no merge at all.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "common/record_file.h"
#include "common/record_merge.h"
#include "notebook/notebook_merge.h"

namespace {

std::vector<std::string> SortedRecords(std::string_view bytes) {
  std::vector<std::string> lines;
  vm::TextLines split(bytes);
  for (std::string_view line; split.Next(line);)
    if (!line.empty()) lines.emplace_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view all(reinterpret_cast<const char*>(data), size);
  std::string_view part[3];
  for (int i = 0; i < 3; ++i) {
    size_t zero = all.find('\0');
    part[i] = all.substr(0, zero);
    all = zero == std::string_view::npos ? std::string_view() : all.substr(zero + 1);
  }
  vm::MergeResult theirsOnly = vm::MergeRecordFiles(part[0], part[0], part[2]);
  if (!theirsOnly.merged || SortedRecords(theirsOnly.bytes) != SortedRecords(part[2])) std::abort();
  vm::MergeResult mineOnly = vm::MergeRecordFiles(part[0], part[1], part[0]);
  if (!mineOnly.merged || SortedRecords(mineOnly.bytes) != SortedRecords(part[1])) std::abort();
  vm::MergeRecordFiles(part[0], part[1], part[2]);
  vm::notebook::MergeNotebook(part[0], part[1], part[2], "fuzz.dbn");
  return 0;
}
