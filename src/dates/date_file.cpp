#include "dates/date_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <iterator>

#include "common/backup.h"
#include "common/book_guard.h"
#include "common/record_file.h"
#include "platform/platform.h"

namespace vm::dates {

const char* const kFormatMarker = "/2|формат";

namespace {

const char kMarkerField[] = "2|формат";
const char kCatholicEasterText[] = "Католическая пасха";
const char kJewishEasterText[] = "Еврейская пасха";
const char kAnniversaryOpen[] = "   (";
const char kAnniversaryClose[] = "-я годовщина)";

const char* const kHolidaysHeader[] = {
    "/2|формат",
    ";Holidays.txt",
    ";Данные о праздниках, знаменательных датах",
    ";",
    ";",
    ";Вводятся в виде",
    ";дд/мм/гггг Что_случилось_в именительном_падеже",
    ";Указание года необязательно",
    ";",
    ";Строки с комментариями начинаются с символа \";\"",
    ";",
};
const char* const kBirthdayHeader[] = {
    "/2|формат",
    ";Birthday.txt",
    ";Данные о днях рождения",
    ";",
    ";Вводятся в виде",
    ";дд/мм/гггг Кого_поздравляем_в_именительном_падеже",
    ";Указание года необязательно",
    ";",
};

// A rule-computed date is looked for in these years, relative to the reference year,
// so a rule near the year end lands on the occurrence next to the reference date.
const int kCandidateYears[3] = {0, -1, 1};
const int kWindow = 5;       // days either side of the reference date
const int kYearReach = 365;  // the farthest a real date is from the reference date

// Space, tab, CR, LF, VT and FF, looked up rather than compared one by one.
constexpr auto kBlanks = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '\v', '\f'}) t[c] = true;
  return t;
}();

bool IsBlank(char c) { return kBlanks[static_cast<unsigned char>(c)]; }

// Where an item's date part ends: its first "|" not preceded by "#"; npos when none.
size_t ItemBar(std::string_view item) {
  for (size_t from = 0;;) {
    size_t bar = item.find('|', from);
    if (bar == std::string_view::npos || bar == 0 || item[bar - 1] != '#') return bar;
    from = bar + 1;
  }
}

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

std::string Anniversary(std::string_view text, int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%i", n);
  return std::string(text).append(kAnniversaryOpen).append(buf).append(kAnniversaryClose);
}

// Year, month, day of an item's date part: split at "/" or, without one, at "."; a
// missing part counts as 0.
struct DateKey {
  int shift = 0;  // the occurrence's year relative to the reference year
  int year = 0, month = 0, day = 0;
  bool operator<(const DateKey& o) const {
    if (shift != o.shift) return shift < o.shift;
    if (year != o.year) return year < o.year;
    if (month != o.month) return month < o.month;
    return day < o.day;
  }
};

DateKey ItemKey(std::string_view item, int shift) {
  const size_t bar = ItemBar(item);
  const std::string_view datePart = bar == std::string_view::npos ? std::string_view() : item.substr(0, bar);
  char sep = datePart.find('/') != std::string_view::npos ? '/' : '.';
  int parts[3] = {0, 0, 0};
  size_t start = 0;
  for (int k = 0; k < 3 && start <= datePart.size(); ++k) {
    size_t end = datePart.find(sep, start);
    if (end == std::string_view::npos) end = datePart.size();
    parts[k] = LeadingNumber(datePart.substr(start, end - start));
    start = end + 1;
  }
  DateKey key;
  key.shift = shift;
  key.day = parts[0];
  key.month = parts[1];
  key.year = parts[2];
  return key;
}

struct Pending {
  DateKey key;
  std::string item;
};

void SortInto(std::vector<Pending>& pending, std::vector<std::string>& out) {
  std::stable_sort(pending.begin(), pending.end(),
                   [](const Pending& a, const Pending& b) { return a.key < b.key; });
  out.reserve(pending.size());
  for (Pending& p : pending) out.push_back(std::move(p.item));
}

// SplitDateFields into a vector kept from line to line (its strings keep their room),
// of the first `most` fields at most.
void SplitDateFieldsInto(std::string_view line, std::vector<std::string>& fields, size_t most = SIZE_MAX) {
  size_t used = 0;
  auto field = [&fields, &used]() -> std::string& {
    if (used == fields.size()) fields.emplace_back();
    std::string& f = fields[used++];
    f.clear();
    return f;
  };
  std::string* current = &field();
  size_t start = 0, from = 0;
  for (size_t slash; (slash = line.find('/', from)) != std::string_view::npos;) {
    from = slash + 1;
    if (slash > 0 && line[slash - 1] == '#') continue;  // part of the field
    AppendFieldValue(*current, line.substr(start, slash - start));
    start = slash + 1;
    if (used == most) {
      fields.resize(used);
      return;
    }
    current = &field();
  }
  AppendFieldValue(*current, line.substr(start));
  fields.resize(used);
}

enum class Where { kNone, kPast, kToday, kComing };

// The first four fields of a line; those it lacks are empty.
using Fields = std::array<std::string_view, 4>;

// The whole state of one evaluation: the reference date and the feast dates of the
// years a rule may fall in, computed once rather than per line.
class Evaluator {
 public:
  explicit Evaluator(Date ref) : ref_(ref), refSerial_(DaySerial(ref)) {
    for (int k = 0; k < 3; ++k) {
      int y = ref.year + kCandidateYears[k];
      orthodox_[k] = OrthodoxEaster(y);
      catholic_[k] = CatholicEaster(y);
      jewish_[k] = JewishEaster(y);
    }
  }

  void Line(std::string_view raw) {
    if (!raw.empty() && raw[0] == ';') return;
    std::string_view line = TrimRight(raw);
    if (line.empty()) return;
    // The rules read the first four fields; any after them are not split off. A line
    // without "#" has them as they stand.
    Fields fields;
    if (line.find('#') == std::string_view::npos) {
      size_t start = 0;
      for (size_t k = 0; k < fields.size() && start <= line.size(); ++k) {
        size_t slash = std::min(line.find('/', start), line.size());
        fields[k] = std::string_view(line.data() + start, slash - start);  // start <= slash
        start = slash + 1;
      }
    } else {
      SplitDateFieldsInto(line, unescaped_, fields.size());
      for (size_t k = 0; k < unescaped_.size(); ++k) fields[k] = unescaped_[k];
    }
    const std::string_view code = fields[0];
    if (code.empty() || fields[1].empty() || fields[1] == kMarkerField) return;

    // The feast rules all start with "R": other codes are not compared with them.
    const bool rule = code[0] == 'R';
    if (rule && code.compare(0, 2, "RP") == 0) {
      // The sign is read from the line itself, the third character.
      bool minus = line.size() > 2 && line[2] == '-';
      const int offset = minus ? -LeadingNumber(fields[1]) : LeadingNumber(fields[1]);
      RuleDate(line, fields, [&](int k) {
        // A date nowhere near the window is not worked out: any stand-in far from it does.
        return NearWindow(orthodox_[k], offset) ? AddDays(orthodox_[k], offset) : Date{1, 1, -50000};
      });
    } else if (rule && code == "RK") {
      fields[2] = kCatholicEasterText;
      fields[3] = {};
      RuleDate(line, fields, [&](int k) { return catholic_[k]; });
    } else if (rule && code == "RE") {
      fields[2] = kJewishEasterText;
      fields[3] = {};
      RuleDate(line, fields, [&](int k) { return jewish_[k]; });
    } else if (LeadingNumber(code) == 0) {
      WeekdayDate(line, fields);
    } else {
      FixedDate(line, fields);
    }
  }

  DateLists Finish() {
    DateLists out;
    SortInto(past_, out.past);
    out.today = std::move(today_);
    SortInto(coming_, out.coming);
    return out;
  }

 private:
  // Whether `offset` days from `base` may land within the window around the reference
  // date. The day serial counts a leap day every fourth year, so the serial of the date
  // reached differs from serial + offset by the century leap days the calendar leaves
  // out on the way, fewer than one in 30 000 days; a margin covers them.
  bool NearWindow(Date base, int offset) const {
    const long long estimate = static_cast<long long>(DaySerial(base)) + offset - refSerial_;
    return std::llabs(estimate) <= kWindow + 4 + std::abs(offset) / 30000;
  }

  void WeekdayDate(std::string_view line, const Fields& fields) {
    const std::string_view code = fields[0];
    char last = code.back();
    int n = last >= '0' && last <= '9' ? last - '0' : 0;
    int month = LeadingNumber(fields[1]);
    // Without a weekday, with n outside 1-5 or a month outside 1-12 there is no day
    // in the month to name, so the line matches no date. The weekday is looked for last.
    if (n < 1 || n > 5 || month < 1 || month > 12) return;
    int weekday = -1;
    for (int w = 0; w < 7; ++w) {
      std::string_view abbrev = WeekdayAbbrev(w);
      if (code.size() > abbrev.size() && code.compare(0, abbrev.size(), abbrev) == 0) {
        weekday = w;
        break;
      }
    }
    if (weekday < 0) return;
    RuleDate(line, fields, [&](int k) {
      int year = ref_.year + kCandidateYears[k];
      return Date{NthWeekday(n, weekday, month, year), month, year};
    });
  }

  // A date computed by a rule is taken in the year (the reference one, the one before
  // or the one after) in which it falls within the window around the reference date,
  // and its anniversary is counted from that year.
  template <typename Compute>
  void RuleDate(std::string_view line, const Fields& fields, Compute compute) {
    for (int k = 0; k < 3; ++k) {
      Date d = compute(k);
      int rc = DaySerial(d) - refSerial_;
      if (rc < -kWindow || rc > kWindow) continue;
      Where where = rc < 0 ? Where::kPast : rc == 0 ? Where::kToday : Where::kComing;
      int year = 0;
      int n = EntryYear(fields[2], fields[3], year) ? d.year - year : 0;
      Emit(line, fields, TwoDigits(d.day) + "/" + TwoDigits(d.month), where, year != 0, n,
           d.year - ref_.year);
      return;
    }
  }

  void FixedDate(std::string_view line, const Fields& fields) {
    int day = LeadingNumber(fields[0]);
    int month = LeadingNumber(fields[1]);
    if (day <= 0) return;
    int rc = DaySerial(day, month, ref_.year) - refSerial_;
    // Across the year end a date late in December seen from early January is past,
    // and one early in January seen from late December is coming. No real date lies
    // more than a year off, so a nonsense one ("05/99", "999/01") is not listed all year.
    bool lastYear = rc > 359 && rc <= kYearReach;
    bool nextYear = rc < -359 && rc >= -kYearReach;
    Where where = Where::kNone;
    if ((rc >= -kWindow && rc <= -1) || lastYear)
      where = Where::kPast;
    else if (rc == 0)
      where = Where::kToday;
    else if ((rc >= 1 && rc <= kWindow) || nextYear)
      where = Where::kComing;
    int shift = lastYear ? -1 : nextYear ? 1 : 0;
    if (where == Where::kNone) return;
    int year = 0;
    int n = 0;
    if (EntryYear(fields[2], fields[3], year)) {
      n = ref_.year - year;
      if (where == Where::kPast && month > ref_.month) --n;
      if (where == Where::kComing && month < ref_.month) ++n;
    }
    Emit(line, fields, std::string(fields[0]).append("/").append(fields[1]), where, year != 0, n, shift);
  }

  // `n`: the anniversary of an entry with a year. An entry dated after this occurrence
  // (a year typed ahead, any number of them) has had none yet and shows its text alone.
  void Emit(std::string_view line, const Fields& fields, const std::string& datePart,
            Where where, bool hasYear, int n, int shift) {
    bool nameDay = fields[2] == "%";
    const std::string_view text = hasYear ? fields[3] : fields[2];
    const bool counted = hasYear && n >= 0;
    if (where == Where::kToday) {
      if (nameDay)
        today_.emplace_back(line);
      else
        today_.push_back(counted ? Anniversary(text, n) : std::string(text));
      return;
    }
    if (nameDay) return;
    std::string item = datePart + "|" + (counted ? Anniversary(text, n) : std::string(text));
    DateKey key = ItemKey(item, shift);
    (where == Where::kPast ? past_ : coming_).push_back(Pending{key, std::move(item)});
  }

  Date ref_;
  int refSerial_;
  Date orthodox_[3], catholic_[3], jewish_[3];
  std::vector<Pending> past_, coming_;
  std::vector<std::string> today_;
  std::vector<std::string> unescaped_;  // the fields of a line with "#", "#" dropped
};

}  // namespace

std::string_view TrimRight(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return std::string_view(text.data(), n);
}

std::vector<std::string> SplitDateFields(std::string_view line) {
  std::vector<std::string> fields;
  SplitDateFieldsInto(line, fields);
  return fields;
}

int LeadingNumber(std::string_view text) {
  const int kLimit = 999999;
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min(kLimit, value * 10 + (text[i] - '0'));
  return negative ? -value : value;
}

bool EntryYear(std::string_view field3, std::string_view field4, int& year) {
  year = 0;
  std::string_view number = TrimLeft(field3);
  if (field4.empty() || number.empty() || number[0] < '0' || number[0] > '9') return false;
  year = LeadingNumber(number);
  return year != 0;
}

void SplitItem(std::string_view item, std::string& datePart, std::string& text) {
  const size_t bar = ItemBar(item);
  if (bar == std::string_view::npos) {
    datePart.clear();
    text.assign(item);
    return;
  }
  datePart.assign(item.substr(0, bar));
  text.assign(item.substr(bar + 1));
}

DateLists EvaluateDateText(std::string_view bytes, Date reference) {
  if (!IsValidDate(reference) || !InCalendarRange(reference.year)) return {};
  Evaluator evaluator(reference);
  // A line's CR goes with the trailing blanks the evaluator trims anyway.
  ForEachTextLine(bytes, [&evaluator](std::string_view line) { evaluator.Line(line); });
  return evaluator.Finish();
}

std::string UpgradeHeader(const std::string& path) {
  std::string header;
  auto append = [&header](const char* const* lines, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (i) header += '\n';
      header += lines[i];
    }
  };
  if (EqualsNoCase(FileNameOf(path), "Holidays.txt"))
    append(kHolidaysHeader, std::size(kHolidaysHeader));
  else
    append(kBirthdayHeader, std::size(kBirthdayHeader));
  return header;
}

std::optional<std::string> UpgradedDateText(std::string_view bytes, const std::string& path) {
  if (bytes.find(kFormatMarker) != std::string_view::npos) return std::nullopt;
  std::string converted, line;
  ForEachTextLine(bytes, [&converted, &line](std::string_view raw) {
    if (!raw.empty() && raw[0] == ';') return;
    std::string_view trimmed = TrimLeft(TrimRight(raw));
    if (trimmed.empty()) return;
    // Each " %" becomes "/%".
    line.clear();
    for (size_t at; (at = trimmed.find(" %")) != std::string_view::npos; trimmed.remove_prefix(at + 2))
      line.append(trimmed.substr(0, at)).append("/%");
    line.append(trimmed);
    // The older lines put a blank between the date and the text; a line without one
    // is all date.
    size_t blank = std::min(line.find(' '), line.find('\t'));
    std::string_view date = std::string_view(line).substr(0, blank);
    std::string_view text =
        blank == std::string::npos ? std::string_view() : TrimLeft(std::string_view(line).substr(blank + 1));
    converted += '\n';
    converted += date;
    converted += '/';
    converted += text;
  });
  if (converted.empty()) return std::nullopt;
  return UpgradeHeader(path) + converted;
}

UpgradeResult UpgradeDateFile(const std::string& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return UpgradeResult::kUnreadable;
  backup::DropLeftovers(path);
  guard::Reread(path, bytes);
  if (bytes.find(kFormatMarker) != std::string::npos) return UpgradeResult::kCurrent;
  std::optional<std::string> upgraded = UpgradedDateText(bytes, path);
  if (!upgraded) return UpgradeResult::kNothingToConvert;
  return backup::SaveBook(path, *upgraded) ? UpgradeResult::kUpgraded : UpgradeResult::kWriteFailed;
}

DateLists EvaluateDateFile(const std::string& path, Date reference) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return {};
  if (std::optional<std::string> upgraded = UpgradedDateText(bytes, path)) {
    // A failed rewrite leaves the old file whole (the next evaluation tries again);
    // the dates are shown from the converted text all the same.
    backup::SaveBook(path, *upgraded);
    bytes = std::move(*upgraded);
  }
  return EvaluateDateText(bytes, reference);
}

}  // namespace vm::dates
