#include "dates/ical_dates.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/calendar.h"
#include "common/ical_text.h"
#include "dates/date_file.h"

namespace vm::dates {

namespace {

std::string Num(int n, const char* format) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, n);
  return buf;
}

std::string DateValue(const Date& d) {
  return Num(d.year, "%04i") + Num(d.month, "%02i") + Num(d.day, "%02i");
}

std::string U8(std::string_view cp1251) {
  return ical::Cp1251ToUtf8Text(cp1251);
}

const char* const kByDay[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};

struct Event {
  Date date;
  std::string rrule;  // empty: this year only
  std::string summary, description;  // cp1251
};

// The event of one entry line, as the evaluation reads it for the year; false when the
// line is not an entry or gives no day.
bool EventOf(std::string_view line, int year, bool birthdays, Event& e, bool& entry) {
  entry = false;
  line = TrimRight(line);
  if (line.empty() || line[0] == ';' || line.find("/2|формат") != std::string_view::npos) return false;
  std::vector<std::string> f = SplitDateFields(line);
  f.resize(std::max<size_t>(f.size(), 4));
  if (f[0].empty() || f[1].empty()) return false;
  entry = true;
  int born = 0;
  bool withYear = EntryYear(f[2], f[3], born);
  bool nameDay = f[2] == "%";
  e.summary = withYear || nameDay ? f[3] : f[2];
  if (withYear) e.description = (birthdays ? "Год рождения: " : "Год: ") + Num(born, "%i");
  if (nameDay) e.description = "Именины";
  const std::string& code = f[0];
  if (code.size() >= 2 && code.compare(0, 2, "RP") == 0) {
    int days = LeadingNumber(f[1]);
    Date easter = OrthodoxEaster(year);
    e.date = code.size() > 2 && code[2] == '-' ? SubtractDays(easter, days) : AddDays(easter, days);
    return IsValidDate(e.date);
  }
  if (code == "RK" || code == "RE") {
    e.date = code == "RK" ? CatholicEaster(year) : JewishEaster(year);
    e.summary = code == "RK" ? "Католическая пасха" : "Еврейская пасха";
    return IsValidDate(e.date);
  }
  int month = LeadingNumber(f[1]);
  if (month < 1 || month > 12) return false;
  int day = LeadingNumber(code);
  if (day == 0) {
    int weekday = -1;
    for (int w = 0; w < 7; ++w)
      if (code.compare(0, 2, WeekdayAbbrev(w)) == 0) weekday = w;
    int n = code.empty() ? 0 : code.back() - '0';
    if (weekday < 0 || n < 1 || n > 9) return false;
    e.date = {NthWeekday(n, weekday, month, year), month, year};
    // The fifth is the last of the month; a sixth and later have no RRULE.
    if (n <= 5) e.rrule = "FREQ=YEARLY;BYMONTH=" + Num(month, "%i") + ";BYDAY=" + (n == 5 ? "-1" : Num(n, "%i")) + kByDay[weekday];
    return IsValidDate(e.date);
  }
  if (day < 1 || day > DaysInMonth(month, 2000)) return false;
  e.date = {day, month, year};
  // 29 February starts in the next leap year: a calendar repeats it only in those.
  while (!IsValidDate(e.date) && e.date.year < year + 8) ++e.date.year;
  e.rrule = "FREQ=YEARLY";
  return IsValidDate(e.date);
}

void Write(std::string& out, const Event& e, const std::string& uid, const std::string& stamp, const char* category) {
  auto line = [&](const std::string& l) { out += ical::FoldLine(l); };
  line("BEGIN:VEVENT");
  line("UID:" + uid);
  line("DTSTAMP:" + stamp);
  line("DTSTART;VALUE=DATE:" + DateValue(e.date));
  line("DTEND;VALUE=DATE:" + DateValue(AddDays(e.date, 1)));
  if (!e.rrule.empty()) line("RRULE:" + e.rrule);
  line("SUMMARY:" + ical::EscapeText(U8(e.summary)));
  if (!e.description.empty()) line("DESCRIPTION:" + ical::EscapeText(U8(e.description)));
  line("CATEGORIES:" + ical::EscapeText(U8(category)));
  line("TRANSP:TRANSPARENT");
  line("END:VEVENT");
}

void File(std::string& out, std::string_view bytes, const char* name, bool birthdays, int year,
          const std::string& stamp, DatesIcs& result) {
  std::string upgraded;
  if (auto text = UpgradedDateText(bytes, name)) {
    upgraded = *text;
    bytes = upgraded;
  }
  int lineNo = 0;
  ForEachTextLine(bytes, [&](std::string_view line) {
    ++lineNo;
    Event e;
    bool entry = false;
    if (!EventOf(line, year, birthdays, e, entry)) {
      if (entry) ++result.skipped;
      return;
    }
    (e.rrule.empty() ? result.thisYear : result.yearly)++;
    std::string uid = std::string(birthdays ? "birthday-" : "holiday-") + Num(lineNo, "%i") + "-" +
                      DateValue(e.date) + (e.rrule.empty() ? "" : "-yearly") + "@velmoria";
    Write(out, e, uid, stamp, birthdays ? "Дни рождения" : "Праздники");
  });
}

}  // namespace

DatesIcs DatesToIcs(std::string_view birthdays, std::string_view holidays, int year, const std::string& stampUtc) {
  DatesIcs result;
  std::string& out = result.text;
  out += ical::FoldLine("BEGIN:VCALENDAR");
  out += ical::FoldLine("VERSION:2.0");
  out += ical::FoldLine("PRODID:-//Velmoria//Velmoria//RU");
  out += ical::FoldLine("CALSCALE:GREGORIAN");
  File(out, birthdays, "Birthday.txt", true, year, stampUtc, result);
  File(out, holidays, "Holidays.txt", false, year, stampUtc, result);
  out += ical::FoldLine("END:VCALENDAR");
  return result;
}

}  // namespace vm::dates
