// The date files "Support\Holidays.txt" and "Support\Birthday.txt": their line format,
// the one-time upgrade of the older format, and the evaluation of one file for a
// reference date into the lists of dates just past, of the day, and coming.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/calendar.h"

namespace vm::dates {

// The line that marks a file of the current format (cp1251).
extern const char* const kFormatMarker;  // "/2|формат"

struct DateLists {
  // Past and coming items: "day/month|text"; today items: the text alone, or a
  // name-day line as stored. Past and coming are in date order, today in file order.
  std::vector<std::string> past, today, coming;
};

// Evaluation of file contents for a reference date. An invalid reference date (see
// IsValidDate), or one outside the calendar's years, gives empty lists.
DateLists EvaluateDateText(std::string_view bytes, Date reference);

// Runs the upgrade on the file, then evaluates it. A file that cannot be read gives
// empty lists.
DateLists EvaluateDateFile(const std::string& path, Date reference);

enum class UpgradeResult {
  kUnreadable,        // the file cannot be read; nothing done
  kCurrent,           // it carries the format marker; left untouched
  kNothingToConvert,  // no marker but no entry line either; left untouched
  kUpgraded,          // rewritten through the safe replace
  kWriteFailed,       // the rewrite failed; the file is as it was
};
UpgradeResult UpgradeDateFile(const std::string& path);

// The new contents of a file in the older format, or nothing when it is current or
// holds no entry line. The header is chosen by the file name at the end of `path`.
std::optional<std::string> UpgradedDateText(std::string_view bytes, const std::string& path);
// The header of an upgraded file: the Holidays one for a name "Holidays.txt" in any
// case, else the Birthday one. Lines joined by LF, no final LF.
std::string UpgradeHeader(const std::string& path);

// ---- the pieces of the line format, shared with the dates page ---------------------
// Fields of an entry line, separated by "/": a "/" directly after "#" belongs to the
// field, and every "#" is dropped.
std::vector<std::string> SplitDateFields(std::string_view line);
// Calls `each` with every line of `bytes` as SplitTextLines gives them, as views into
// `bytes`: split at LF, one CR before each LF dropped, a last line without LF counted.
template <typename Each>
void ForEachTextLine(std::string_view bytes, Each each) {
  while (!bytes.empty()) {
    size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      each(bytes);
      return;
    }
    each(std::string_view(bytes.data(), lf > 0 && bytes[lf - 1] == '\r' ? lf - 1 : lf));
    bytes.remove_prefix(lf + 1);
  }
}
// Removes spaces, tabs, CR, LF, VT and FF at the end.
std::string_view TrimRight(std::string_view text);
// The leading whole number of a text as the C library reads one (leading blanks, a
// sign, digits; anything else ends it, no digits is 0), held within +-999999 so no
// arithmetic on it can overflow.
int LeadingNumber(std::string_view text);
// The year of an entry. Field 3 is a year when it starts with a non-zero number (blanks
// before it allowed) and field 4 is not empty, so "1961г/Полёт" is a year with its text;
// with field 4 empty field 3 is the text itself, so "8 Марта" stays a text.
bool EntryYear(std::string_view field3, std::string_view field4, int& year);

// An item's date part and text, split at the first "|" not preceded by "#". Without
// such a "|" the whole item is text.
void SplitItem(std::string_view item, std::string& datePart, std::string& text);

}  // namespace vm::dates
