// The add-a-date checks over arbitrary typing: whatever passes them must be written as a
// line that evaluates back to the typed text on its own day, and appending it must keep
// the file's bytes and never leave a file the upgrade would take for the older format.
// Input: day, month, then year text, a 0 byte, the text, a 0 byte, the existing file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "dates/date_file.h"
#include "dates/new_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  vm::dates::NewDate entry;
  entry.day = data[0] % 34;
  entry.month = data[1] % 14;
  std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  size_t cut = rest.find('\0');
  entry.year = std::string(rest.substr(0, cut));
  rest = cut == rest.npos ? std::string_view() : rest.substr(cut + 1);
  cut = rest.find('\0');
  entry.text = std::string(rest.substr(0, cut));
  std::string_view existing = cut == rest.npos ? std::string_view() : rest.substr(cut + 1);

  vm::dates::NewDateLine made = vm::dates::MakeNewDateLine(entry, 2024);
  if (made.line.empty() == made.error.empty()) std::abort();
  if (made.line.empty()) return 0;
  vm::dates::DateLists lists = vm::dates::EvaluateDateText(made.line, {entry.day, entry.month, 2024});
  if (lists.today.size() != 1) std::abort();
  std::string_view shown = lists.today[0];
  size_t start = entry.text.find_first_not_of(" \t");
  size_t end = entry.text.find_last_not_of(" \t");
  std::string_view typed = std::string_view(entry.text).substr(start, end - start + 1);
  if (shown.substr(0, typed.size()) != typed) std::abort();

  std::string appended = vm::dates::AppendedDateText(existing, true, made.line);
  if (appended.find(existing) == std::string::npos) std::abort();
  if (vm::dates::UpgradedDateText(appended, "Birthday.txt")) std::abort();
  return 0;
}
