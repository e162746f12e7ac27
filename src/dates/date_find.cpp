#include "dates/date_find.h"

#include "dates/date_file.h"

namespace vm::dates {

std::vector<find::Entry> DateFindTexts(std::string_view bytes, DateFileKind file) {
  std::vector<find::Entry> out;
  uint32_t number = 0;
  ForEachTextLine(bytes, [&](std::string_view line) {
    const uint32_t at = number++;
    if (line.empty() || line[0] == ';' || line == kFormatMarker) return;
    find::Entry e;
    e.place = {at, 0, static_cast<uint32_t>(file)};
    e.label = std::string(file == DateFileKind::kBirthdays ? "Birthday.txt" : "Holidays.txt") + ", строка " +
              std::to_string(at + 1);
    e.text = line;
    out.push_back(std::move(e));
  });
  return out;
}

std::string DateFileLine(std::string_view bytes, uint32_t line) {
  std::string found;
  uint32_t number = 0;
  ForEachTextLine(bytes, [&](std::string_view l) {
    if (number++ == line) found = l;
  });
  return found;
}

uint64_t BytesFingerprint(std::string_view bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h ^ bytes.size();
}

}  // namespace vm::dates
