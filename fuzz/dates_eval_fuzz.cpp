// Date-file evaluation over arbitrary file contents at arbitrary reference dates, the
// way the program reads a file: converted first when it is of the older kind. Text
// with the format marker reaches the evaluator as it stands. The first four bytes
// choose the date (invalid ones included), the rest is the file.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "dates/date_file.h"
#include "dates/dates_list.h"

namespace {

void CheckLists(const vm::dates::DateLists& lists) {
  for (const std::string& item : lists.past)
    if (item.find('|') == std::string::npos) std::abort();
  for (const std::string& item : lists.coming)
    if (item.find('|') == std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  vm::dates::Date ref;
  ref.day = data[0] % 33;  // 0 and 32 are not days: they must give nothing
  ref.month = data[1] % 13 + (data[1] >= 247 ? 1 : 0);
  ref.year = (data[2] << 8 | data[3]) % 10002;
  if (data[2] < 200) ref.year = 1895 + ref.year % 210;  // mostly the years the rules hold for
  std::string_view file(reinterpret_cast<const char*>(data) + 4, size - 4);

  // As the program reads a date file: an older file is converted first (once: the
  // converted text converts no further) and the dates come from what it converted to.
  std::optional<std::string> upgraded = vm::dates::UpgradedDateText(file, "C:\\P\\Support\\Holidays.txt");
  if (upgraded) {
    if (upgraded->rfind(vm::dates::kFormatMarker, 0) != 0) std::abort();
    if (vm::dates::UpgradedDateText(*upgraded, "Holidays.txt")) std::abort();
  }
  vm::dates::DateLists lists = vm::dates::EvaluateDateText(upgraded ? std::string_view(*upgraded) : file, ref);
  CheckLists(lists);
  const bool computed = vm::dates::IsValidDate(ref) && vm::dates::InCalendarRange(ref.year);
  if (!computed && (!lists.past.empty() || !lists.today.empty() || !lists.coming.empty())) std::abort();

  if (vm::dates::IsValidDate(ref)) {
    vm::dates::DatesList list = vm::dates::BuildDatesList(lists, lists, ref);
    if (list.topLine >= list.lines.size() || list.lines[list.topLine].text != vm::dates::TodayHeading(ref))
      std::abort();
  }
  std::string needle(file.substr(0, data[0] % 4));
  vm::dates::SearchDateText(file, needle, data[1] & 1);
  return 0;
}
