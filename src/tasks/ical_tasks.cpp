#include "tasks/ical_tasks.h"

#include <cstdio>
#include <cstdlib>
#include <set>

#include "common/calendar.h"
#include "common/ical_text.h"

namespace vm::tasks {

namespace {

using ical::ContentLine;

constexpr const char* kProdId = "-//Velmoria//Velmoria//RU";
// How far ahead the first firing of a rule is looked for: a 29 February with its
// weekday comes round within 28 years; eight are enough for every rule written as RRULE.
constexpr int kSearchDays = 8 * 366;

const char* const kSectionNames[] = {"Сроки", "Разное", "Задачи", "Информация", "Проекты"};
const TaskField kSectionFlags[] = {TaskField::DeadlineFlag, TaskField::MiscFlag, TaskField::TaskFlag,
                                   TaskField::InfoFlag, TaskField::ProjectFlag};
const char* const kByDayNames[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
const char* const kWeekdayWords[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

std::string Num(int n, const char* format = "%i") {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, n);
  return buf;
}

std::string DateValue(const dates::Date& d) {
  return Num(d.year, "%04i") + Num(d.month, "%02i") + Num(d.day, "%02i");
}

std::string MomentValue(const Moment& m, bool allDay) {
  std::string date = DateValue({m.day, m.month, m.year});
  return allDay ? date : date + "T" + Num(m.hour, "%02i") + Num(m.minute, "%02i") + "00";
}

// "ALL", or a whole number in [low, high]; -1 for anything else.
int FixedPart(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  int v = std::atoi(text.c_str());
  return v >= low && v <= high ? v : -1;
}

bool IsAll(const std::string& text) {
  return text == "ALL";
}

// The first day from `from` on for which `matches` holds; false when none is near.
template <class Matches>
bool FirstDay(const dates::Date& from, Matches matches, dates::Date& found) {
  dates::Date d = from;
  for (int i = 0; i < kSearchDays; ++i, d = dates::AddDays(d, 1)) {
    if (matches(d)) {
      found = d;
      return true;
    }
  }
  return false;
}

// The later of two days.
dates::Date Later(const dates::Date& a, const dates::Date& b) {
  return dates::DaySerial(a) >= dates::DaySerial(b) ? a : b;
}

std::string Join(const std::vector<std::string>& parts, const char* sep) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : sep) + p;
  return out;
}

// The rule in our words, as the editor shows its fields.
std::string RuleWords(const TaskFieldReader& f) {
  std::string time = f.Get(TaskField::Hour) + ":" + f.Get(TaskField::Minute);
  if (f.FlagOn(TaskField::Periodic))
    return "Каждые " + time + " от " + f.Get(TaskField::StartHour) + ":" + f.Get(TaskField::StartMinute);
  std::string with = f.FlagOn(TaskField::WithTime) ? ", время " + time : "";
  if (f.FlagOn(TaskField::ByDate))
    return "По дате: " + f.Get(TaskField::Day) + "/" + f.Get(TaskField::Month) + "/" + f.Get(TaskField::Year) + with;
  std::vector<std::string> q, qm, w, d;
  for (int i = 0; i < 4; ++i)
    if (f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::Quarter1) + i))) q.push_back(Num(i + 1));
  for (int i = 0; i < 3; ++i)
    if (f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::QuarterMonth1) + i))) qm.push_back(Num(i + 1));
  for (int i = 0; i < 4; ++i)
    if (f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::Week1) + i))) w.push_back(Num(i + 1));
  if (f.FlagOn(TaskField::LastWeek)) w.push_back("Посл.");
  for (int i = 0; i < 7; ++i)
    if (f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::Monday) + i))) d.push_back(kWeekdayWords[i]);
  return "По дню: кварталы " + Join(q, ",") + "; месяцы квартала " + Join(qm, ",") + "; недели " + Join(w, ",") +
         "; дни " + Join(d, ",") + with + (f.FlagOn(TaskField::Permanent) ? ", постоянное" : "");
}

bool MonthOn(const TaskFieldReader& f, int month) {
  int q = dates::QuarterOf(month) - 1, qm = dates::MonthOfQuarter(month) - 1;
  return f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::Quarter1) + q)) &&
         f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::QuarterMonth1) + qm));
}

bool WeekdayOn(const TaskFieldReader& f, int weekday) {
  return f.FlagOn(static_cast<TaskField>(static_cast<int>(TaskField::Monday) + weekday));
}

// The time of a rule that fires at a fixed minute: false for "ALL" and ">HH".
bool ExactTime(const TaskFieldReader& f, int& hour, int& minute) {
  hour = FixedPart(f.Get(TaskField::Hour), 0, 23);
  minute = FixedPart(f.Get(TaskField::Minute), 0, 59);
  return hour >= 0 && minute >= 0;
}

void DescribePeriodic(const TaskFieldReader& f, const dates::Date& today, RuleInCalendar& r) {
  int period = ReadNumber(f.Get(TaskField::Hour)) * 60 + ReadNumber(f.Get(TaskField::Minute));
  int start = ReadNumber(f.Get(TaskField::StartHour)) * 60 + ReadNumber(f.Get(TaskField::StartMinute));
  if (period <= 0) return;
  std::set<int> minutes, hours, mins;
  for (int m = 0; m < 24 * 60; ++m) {
    if (m != start && std::abs(m - start) % period == 0) {
      minutes.insert(m);
      hours.insert(m / 60);
      mins.insert(m % 60);
    }
  }
  // One RRULE's BYHOUR and BYMINUTE fire at every pair of them: it says the rule exactly
  // when the rule's minutes are all those pairs.
  if (minutes.empty() || minutes.size() != hours.size() * mins.size()) return;
  std::vector<std::string> h, m;
  for (int x : hours) h.push_back(Num(x));
  for (int x : mins) m.push_back(Num(x));
  r.rrule = "FREQ=DAILY;BYHOUR=" + Join(h, ",") + ";BYMINUTE=" + Join(m, ",");
  r.allDay = false;
  r.start = {today.year, today.month, today.day, *minutes.begin() / 60, *minutes.begin() % 60};
  r.startFound = true;
}

void DescribeByDate(const TaskFieldReader& f, const dates::Date& today, RuleInCalendar& r) {
  const std::string withTime = f.Get(TaskField::WithTime);
  int hour = 0, minute = 0;
  if (withTime == "1") {
    if (!ExactTime(f, hour, minute)) return;
    r.allDay = false;
  } else if (withTime != "0" || IsAll(f.Get(TaskField::Hour))) {
    return;
  }
  const std::string ds = f.Get(TaskField::Day), ms = f.Get(TaskField::Month), ys = f.Get(TaskField::Year);
  int d = IsAll(ds) ? 0 : FixedPart(ds, 1, 31), m = IsAll(ms) ? 0 : FixedPart(ms, 1, 12),
      y = IsAll(ys) ? 0 : FixedPart(ys, 1, 9999);
  if (d < 0 || m < 0 || y < 0) return;
  dates::Date first;
  std::string until;
  auto untilOf = [&](int uy, int um, int ud) {
    Moment end{uy, um, ud, 23, 59};
    return ";UNTIL=" + MomentValue(end, r.allDay);
  };
  if (d && m && y) {
    first = {d, m, y};
    if (!dates::IsValidDate(first)) return;
    r.startFound = true;
  } else if (d && m) {
    r.rrule = "FREQ=YEARLY;BYMONTH=" + Num(m) + ";BYMONTHDAY=" + Num(d);
    r.startFound = FirstDay(today, [&](const dates::Date& x) { return x.day == d && x.month == m; }, first);
  } else if (d && d <= 28) {
    // A day past the 28th falls outside some months, where the rule fires on another day.
    r.rrule = "FREQ=MONTHLY;BYMONTHDAY=" + Num(d) + (y ? untilOf(y, 12, 31) : "");
    dates::Date from = y ? Later(dates::Date{1, 1, y}, today) : today;
    r.startFound = FirstDay(from, [&](const dates::Date& x) { return x.day == d && (!y || x.year == y); }, first);
  } else if (!d && m) {
    r.rrule = y ? "FREQ=DAILY" + untilOf(y, m, dates::DaysInMonth(m, y)) : "FREQ=DAILY;BYMONTH=" + Num(m);
    dates::Date from = y ? Later(dates::Date{1, m, y}, today) : today;
    r.startFound = FirstDay(from, [&](const dates::Date& x) { return x.month == m && (!y || x.year == y); }, first);
  } else if (!d && !m) {
    r.rrule = "FREQ=DAILY" + (y ? untilOf(y, 12, 31) : std::string());
    first = y ? Later(dates::Date{1, 1, y}, today) : today;
    r.startFound = !y || first.year == y;
  } else {
    return;
  }
  r.start = {first.year, first.month, first.day, hour, minute};
  r.weekAhead = f.FlagOn(TaskField::WeekAhead);
}

void DescribeByCalendar(const TaskFieldReader& f, const dates::Date& today, RuleInCalendar& r) {
  int hour = 0, minute = 0;
  const std::string withTime = f.Get(TaskField::WithTime);
  if (withTime == "1") {
    if (!ExactTime(f, hour, minute)) return;
    r.allDay = false;
  } else if (withTime != "0" || IsAll(f.Get(TaskField::Hour))) {
    return;
  }
  // Weeks of the month the RRULE has no words for: only "every week" is said exactly.
  for (TaskField w : {TaskField::Week1, TaskField::Week2, TaskField::Week3, TaskField::Week4, TaskField::LastWeek})
    if (!f.FlagOn(w)) return;
  std::vector<std::string> months, days;
  for (int m = 1; m <= 12; ++m)
    if (MonthOn(f, m)) months.push_back(Num(m));
  for (int w = 0; w < 7; ++w)
    if (WeekdayOn(f, w)) days.push_back(kByDayNames[w]);
  if (months.empty() || days.empty()) return;
  dates::Date first;
  r.startFound = FirstDay(today, [&](const dates::Date& x) {
    return MonthOn(f, x.month) && WeekdayOn(f, dates::Weekday(x.day, x.month, x.year));
  }, first);
  r.start = {first.year, first.month, first.day, hour, minute};
  // Not permanent: it fires on the first matching day and is switched off.
  if (f.FlagOn(TaskField::Permanent))
    r.rrule = "FREQ=DAILY;BYDAY=" + Join(days, ",") + (months.size() < 12 ? ";BYMONTH=" + Join(months, ",") : "");
}

std::string Uid(const std::string& record, size_t index) {
  uint64_t h = 1469598103934665603ull;
  for (char c : record) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%zu-%016llx@velmoria", index, static_cast<unsigned long long>(h));
  return buf;
}

std::string U8(const std::string& cp1251) {
  return ical::Cp1251ToUtf8Text(cp1251);
}

void Line(std::string& out, const std::string& utf8) {
  out += ical::FoldLine(utf8);
}

bool ParseDateText(const std::string& text, dates::Date& d) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
  d = {std::atoi(text.substr(0, 2).c_str()), std::atoi(text.substr(3, 2).c_str()), std::atoi(text.substr(6).c_str())};
  return dates::IsValidDate(d);
}

void Todo(std::string& out, const std::string& record, size_t index, const dates::Date& today,
          const std::string& stamp, IcsExport& result) {
  TaskFieldReader f(record);
  Line(out, "BEGIN:VTODO");
  Line(out, "UID:" + Uid(record, index));
  Line(out, "DTSTAMP:" + stamp);
  Line(out, "SUMMARY:" + ical::EscapeText(U8(f.Get(TaskField::Headline))));
  if (std::string notes = f.Get(TaskField::Notes); !notes.empty())
    Line(out, "DESCRIPTION:" + ical::EscapeText(U8(notes)));
  int status = ReadNumber(f.Get(TaskField::Status)) % 4;
  Line(out, std::string("STATUS:") + (status == 1 ? "COMPLETED" : status == 2 ? "IN-PROCESS" : "NEEDS-ACTION"));
  if (f.FlagOn(TaskField::TaskFlag)) {
    int group = ReadNumber(f.Get(TaskField::TaskGroup));
    Line(out, "PRIORITY:" + std::string(group == 3 ? "9" : group == 2 ? "5" : "1"));
  }
  std::vector<std::string> sections;
  for (int s = 0; s < 5; ++s)
    if (f.FlagOn(kSectionFlags[s])) sections.push_back(ical::EscapeText(U8(kSectionNames[s])));
  if (!sections.empty()) Line(out, "CATEGORIES:" + Join(sections, ","));
  dates::Date date;
  bool dated = ParseDateText(f.Get(TaskField::Date), date);
  RuleInCalendar rule = DescribeRule(record, today);
  if (rule.hasReminder && rule.startFound) {
    Line(out, std::string("DTSTART") + (rule.allDay ? ";VALUE=DATE:" : ":") + MomentValue(rule.start, rule.allDay));
    if (!rule.rrule.empty()) Line(out, "RRULE:" + rule.rrule);
    if (dated) Line(out, "X-VELMORIA-DATE;VALUE=DATE:" + DateValue(date));
  } else if (dated) {
    Line(out, "DUE;VALUE=DATE:" + DateValue(date));
  }
  if (!rule.words.empty()) {
    Line(out, "X-VELMORIA-RULE:" + ical::EscapeText(U8(rule.words)));
    ++result.withoutRrule;
  }
  if (rule.hasReminder && rule.startFound) {
    std::string alarm = "DESCRIPTION:" + ical::EscapeText(U8(f.Get(TaskField::Headline)));
    Line(out, "BEGIN:VALARM");
    Line(out, "ACTION:DISPLAY");
    Line(out, alarm);
    Line(out, "TRIGGER;RELATED=START:PT0S");
    Line(out, "END:VALARM");
    if (rule.weekAhead) {
      Line(out, "BEGIN:VALARM");
      Line(out, "ACTION:DISPLAY");
      Line(out, alarm);
      Line(out, "TRIGGER;RELATED=START:-P7D");
      Line(out, "REPEAT:6");
      Line(out, "DURATION:P1D");
      Line(out, "END:VALARM");
    }
  }
  Line(out, "END:VTODO");
}

// ---- reading ----------------------------------------------------------------------------

struct When {
  bool valid = false, allDay = true;
  Moment at;
};

// A DATE or DATE-TIME value; UTC ("Z") moved to the local clock.
When ParseWhen(const ContentLine& l, int utcOffsetMinutes) {
  When w;
  const std::string& v = l.value;
  if (v.size() < 8 || v.find_first_not_of("0123456789", 0) < 8) return w;
  w.at.year = std::atoi(v.substr(0, 4).c_str());
  w.at.month = std::atoi(v.substr(4, 2).c_str());
  w.at.day = std::atoi(v.substr(6, 2).c_str());
  if (v.size() >= 13 && v[8] == 'T' && v.find_first_not_of("0123456789", 9) >= 13) {
    w.allDay = false;
    w.at.hour = std::atoi(v.substr(9, 2).c_str());
    w.at.minute = std::atoi(v.substr(11, 2).c_str());
    if (w.at.hour > 23 || w.at.minute > 59) return w;
    if (v.back() == 'Z' && utcOffsetMinutes != 0) {
      int total = w.at.hour * 60 + w.at.minute + utcOffsetMinutes;
      int days = total >= 0 ? total / 1440 : -((1439 - total) / 1440);
      total -= days * 1440;
      dates::Date d = dates::AddDays({w.at.day, w.at.month, w.at.year}, days);
      if (days < 0) d = dates::SubtractDays({w.at.day, w.at.month, w.at.year}, -days);
      w.at = {d.year, d.month, d.day, total / 60, total % 60};
    }
  }
  w.valid = w.at.year >= 1 && w.at.year <= 9999 && dates::IsValidDate({w.at.day, w.at.month, w.at.year});
  return w;
}

// A duration "-P1DT2H" in minutes; false when it is not one.
bool ParseDuration(std::string_view v, int& minutes) {
  bool negative = false;
  if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  if (v.empty() || v[0] != 'P') return false;
  long total = 0, n = 0;
  bool time = false, digits = false;
  for (char c : v.substr(1)) {
    if (c >= '0' && c <= '9') {
      if (n > 1000000) return false;
      n = n * 10 + (c - '0');
      digits = true;
      continue;
    }
    if (c == 'T') {
      time = true;
      continue;
    }
    long unit = c == 'W' ? 7 * 1440 : c == 'D' ? 1440 : c == 'H' && time ? 60 : c == 'M' && time ? 1 : c == 'S' && time ? 0 : -1;
    if (unit < 0 || !digits) return false;
    total += n * unit;
    if (total > 10000000) return false;
    n = 0;
    digits = false;
  }
  if (digits) return false;
  minutes = static_cast<int>(negative ? -total : total);
  return true;
}

Moment AddMinutes(const Moment& m, int minutes) {
  int total = m.hour * 60 + m.minute + minutes;
  int days = total >= 0 ? total / 1440 : -((1439 - total) / 1440);
  total -= days * 1440;
  dates::Date d = days >= 0 ? dates::AddDays({m.day, m.month, m.year}, days)
                            : dates::SubtractDays({m.day, m.month, m.year}, -days);
  return {d.year, d.month, d.day, total / 60, total % 60};
}

struct Component {
  std::string kind;  // VTODO, VEVENT
  std::vector<const ContentLine*> props;
  std::vector<std::vector<const ContentLine*>> alarms;
};

std::map<std::string, std::string> RruleParts(const std::string& rrule) {
  std::map<std::string, std::string> parts;
  size_t start = 0;
  while (start <= rrule.size()) {
    size_t semi = rrule.find(';', start);
    if (semi == std::string::npos) semi = rrule.size();
    std::string item = rrule.substr(start, semi - start);
    size_t eq = item.find('=');
    if (eq != std::string::npos) parts[ical::Upper(item.substr(0, eq))] = ical::Upper(item.substr(eq + 1));
    start = semi + 1;
  }
  return parts;
}

std::vector<std::string> Commas(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t c = text.find(',', start);
    if (c == std::string::npos) c = text.size();
    out.push_back(text.substr(start, c - start));
    start = c + 1;
  }
  return out;
}

// Writes the reminder fields of a rule the RRULE says; false when it says another.
bool ApplyRrule(std::string& rec, const std::string& rrule, const Moment& at) {
  std::map<std::string, std::string> p = RruleParts(rrule);
  const std::string freq = p["FREQ"];
  p.erase("FREQ");
  p.erase("WKST");
  if (p.count("INTERVAL") && p["INTERVAL"] == "1") p.erase("INTERVAL");
  auto only = [&](std::initializer_list<const char*> allowed) {
    for (const auto& [k, v] : p) {
      bool ok = false;
      for (const char* a : allowed) ok = ok || k == a;
      if (!ok) return false;
    }
    return true;
  };
  auto byDate = [&](const std::string& d, const std::string& m, const std::string& y) {
    SetTaskField(rec, TaskField::ByDate, "1");
    SetTaskField(rec, TaskField::Day, d);
    SetTaskField(rec, TaskField::Month, m);
    SetTaskField(rec, TaskField::Year, y);
    return true;
  };
  const std::string day = Num(at.day, "%02i"), month = Num(at.month, "%02i");
  if (freq == "YEARLY" && only({"BYMONTH", "BYMONTHDAY"}) && (!p.count("BYMONTH") || p["BYMONTH"] == Num(at.month)) &&
      (!p.count("BYMONTHDAY") || p["BYMONTHDAY"] == Num(at.day)))
    return byDate(day, month, "ALL");
  if (freq == "MONTHLY" && only({"BYMONTHDAY"}) && at.day <= 28 &&
      (!p.count("BYMONTHDAY") || p["BYMONTHDAY"] == Num(at.day)))
    return byDate(day, "ALL", "ALL");
  if (freq == "DAILY" && p.empty()) return byDate("ALL", "ALL", "ALL");
  if (freq == "DAILY" && only({"BYMONTH"}) && p["BYMONTH"] == Num(at.month)) return byDate("ALL", month, "ALL");
  if ((freq == "WEEKLY" || freq == "DAILY") && only({"BYDAY", "BYMONTH"}) && (freq == "WEEKLY" || p.count("BYDAY"))) {
    std::vector<bool> weekday(7, false), monthOn(13, false);
    if (p.count("BYDAY")) {
      for (const std::string& d : Commas(p["BYDAY"])) {
        int w = -1;
        for (int k = 0; k < 7; ++k)
          if (d == kByDayNames[k]) w = k;
        if (w < 0) return false;  // an ordinal ("2MO") the weeks of a month do not say
        weekday[w] = true;
      }
    } else {
      weekday[dates::Weekday(at.day, at.month, at.year)] = true;
    }
    for (int m = 1; m <= 12; ++m) monthOn[m] = !p.count("BYMONTH");
    if (p.count("BYMONTH"))
      for (const std::string& m : Commas(p["BYMONTH"])) {
        int v = FixedPart(m, 1, 12);
        if (v < 0) return false;
        monthOn[v] = true;
      }
    // The months are quarters times months of the quarter: only such a set is said.
    bool q[4] = {}, qm[3] = {};
    for (int m = 1; m <= 12; ++m)
      if (monthOn[m]) q[dates::QuarterOf(m) - 1] = qm[dates::MonthOfQuarter(m) - 1] = true;
    for (int m = 1; m <= 12; ++m)
      if (monthOn[m] != (q[dates::QuarterOf(m) - 1] && qm[dates::MonthOfQuarter(m) - 1])) return false;
    SetTaskField(rec, TaskField::ByCalendar, "1");
    for (int i = 0; i < 4; ++i) SetTaskField(rec, static_cast<TaskField>(static_cast<int>(TaskField::Quarter1) + i), q[i] ? "1" : "0");
    for (int i = 0; i < 3; ++i)
      SetTaskField(rec, static_cast<TaskField>(static_cast<int>(TaskField::QuarterMonth1) + i), qm[i] ? "1" : "0");
    for (TaskField w : {TaskField::Week1, TaskField::Week2, TaskField::Week3, TaskField::Week4, TaskField::LastWeek})
      SetTaskField(rec, w, "1");
    for (int i = 0; i < 7; ++i)
      SetTaskField(rec, static_cast<TaskField>(static_cast<int>(TaskField::Monday) + i), weekday[i] ? "1" : "0");
    SetTaskField(rec, TaskField::Permanent, "1");
    return true;
  }
  return false;
}

std::string Value(const Component& c, const char* name) {
  for (const ContentLine* l : c.props)
    if (l->name == name) return ical::DecodedValue(*l);
  return std::string();
}

const ContentLine* Prop(const std::vector<const ContentLine*>& props, const char* name) {
  for (const ContentLine* l : props)
    if (l->name == name) return l;
  return nullptr;
}

std::string RecordOf(const Component& c, const std::string& todayText, int utcOffset, IcsImport& result) {
  std::string rec = EmptyTaskRecord();
  auto text = [&](const char* name) {
    int lost = 0;
    std::string v = ical::Utf8ToCp1251Text(ical::UnescapeText(Value(c, name)), lost);
    if (lost) result.leftOut["?"] += lost;
    return v;
  };
  std::string headline = text("SUMMARY");
  SetTaskField(rec, TaskField::Headline, headline.empty() ? "Без заголовка" : headline);
  std::string notes = text("DESCRIPTION");
  const bool todo = c.kind == "VTODO";
  const ContentLine* dueLine = Prop(c.props, "DUE");
  const ContentLine* startLine = Prop(c.props, "DTSTART");
  const ContentLine* ourDate = Prop(c.props, "X-VELMORIA-DATE");
  When due = dueLine ? ParseWhen(*dueLine, utcOffset) : When{};
  When start = startLine ? ParseWhen(*startLine, utcOffset) : When{};
  When dated = ourDate ? ParseWhen(*ourDate, utcOffset) : due.valid ? due : start;
  SetTaskField(rec, TaskField::Date,
               dated.valid ? Num(dated.at.day, "%02i") + "/" + Num(dated.at.month, "%02i") + "/" + Num(dated.at.year, "%04i")
                           : todayText);
  std::string status = ical::Upper(Value(c, "STATUS"));
  SetTaskField(rec, TaskField::Status, status == "COMPLETED" ? "1" : status == "IN-PROCESS" ? "2" : "0");
  // Sections: ours by name when the file names them, else what the component is.
  std::string categories = Value(c, "CATEGORIES");
  bool named = false;
  for (const std::string& cat : ical::SplitText(categories, ',')) {
    int lost = 0;
    std::string cp = ical::Utf8ToCp1251Counted(cat, lost);
    for (int s = 0; s < 5; ++s)
      if (cp == kSectionNames[s]) {
        SetTaskField(rec, kSectionFlags[s], "1");
        named = true;
      }
  }
  if (!named && todo) {
    SetTaskField(rec, TaskField::TaskFlag, "1");
    if (due.valid) SetTaskField(rec, TaskField::DeadlineFlag, "1");
  }
  int priority = std::atoi(Value(c, "PRIORITY").c_str());
  SetTaskField(rec, TaskField::TaskGroup, priority >= 6 ? "3" : priority == 5 ? "2" : "1");

  // The reminder: a display (or sound) alarm at the start, or before it.
  const std::vector<const ContentLine*>* alarm = nullptr;
  bool weekAhead = false;
  for (const auto& a : c.alarms) {
    const ContentLine* action = Prop(a, "ACTION");
    const ContentLine* trigger = Prop(a, "TRIGGER");
    std::string act = action ? ical::Upper(action->value) : "";
    if ((act != "DISPLAY" && act != "AUDIO") || !trigger) {
      ++result.leftOut["VALARM " + (act.empty() ? std::string("?") : act)];
      continue;
    }
    int minutes = 0;
    if (ParseDuration(trigger->value, minutes) && minutes == -7 * 1440 && alarm) {
      weekAhead = true;
      continue;
    }
    if (alarm) {
      ++result.leftOut["VALARM"];
      continue;
    }
    alarm = &a;
  }
  When at;
  if (alarm) {
    const ContentLine* trigger = Prop(*alarm, "TRIGGER");
    int minutes = 0;
    if (trigger->Has("VALUE", "DATE-TIME")) {
      at = ParseWhen(*trigger, utcOffset);
    } else if (ParseDuration(trigger->value, minutes)) {
      bool toEnd = trigger->Has("RELATED", "END") || (!start.valid && todo);
      at = toEnd ? (due.valid ? due : Value(c, "DTEND").empty() ? start : When{}) : start;
      if (toEnd && !due.valid && c.kind == "VEVENT") {
        const ContentLine* end = Prop(c.props, "DTEND");
        if (end) at = ParseWhen(*end, utcOffset);
      }
      if (at.valid && minutes != 0) {
        at.at = AddMinutes(at.at, minutes);
        at.allDay = false;
      }
    }
    if (!at.valid) ++result.leftOut["VALARM"];
  }
  std::string rrule;
  if (const ContentLine* rr = Prop(c.props, "RRULE")) rrule = rr->value;
  if (at.valid) {
    SetTaskField(rec, TaskField::ReminderState, "1");
    SetTaskField(rec, TaskField::WithTime, at.allDay ? "0" : "1");
    SetTaskField(rec, TaskField::Hour, Num(at.at.hour, "%02i"));
    SetTaskField(rec, TaskField::Minute, Num(at.at.minute, "%02i"));
    SetTaskField(rec, TaskField::Permanent, "0");
    SetTaskField(rec, TaskField::PcBeep, "0");
    if (rrule.empty() || !ApplyRrule(rec, rrule, at.at)) {
      SetTaskField(rec, TaskField::ByDate, "1");
      SetTaskField(rec, TaskField::Day, Num(at.at.day, "%02i"));
      SetTaskField(rec, TaskField::Month, Num(at.at.month, "%02i"));
      SetTaskField(rec, TaskField::Year, Num(at.at.year, "%04i"));
    } else {
      rrule.clear();
    }
    if (weekAhead && TaskFlagOn(rec, TaskField::ByDate)) SetTaskField(rec, TaskField::WeekAhead, "1");
  }
  if (!rrule.empty()) {
    ++result.leftOut[at.valid ? "RRULE" : "RRULE без напоминания"];
    notes += (notes.empty() ? "" : "\r\n") + std::string("Повторение: ") + rrule;
  }
  for (const char* kind : {"EXDATE", "RDATE"})
    for (const ContentLine* l : c.props)
      if (l->name == kind) {
        ++result.leftOut[kind];
        int lost = 0;
        notes += (notes.empty() ? "" : "\r\n") + std::string(kind) + ": " + ical::Utf8ToCp1251Counted(l->value, lost);
      }
  if (const ContentLine* words = Prop(c.props, "X-VELMORIA-RULE")) {
    ++result.leftOut["X-VELMORIA-RULE"];
    int lost = 0;
    notes += (notes.empty() ? "" : "\r\n") + std::string("Напоминание: ") +
             ical::Utf8ToCp1251Text(ical::UnescapeText(ical::DecodedValue(*words)), lost);
  }
  SetTaskField(rec, TaskField::Notes, notes);
  return rec;
}

}  // namespace

RuleInCalendar DescribeRule(const std::string& record, const dates::Date& today) {
  RuleInCalendar r;
  TaskFieldReader f(record);
  const std::string state = f.Get(TaskField::ReminderState);
  if (state != "1" && state != "-1") return r;
  if (f.FlagOn(TaskField::Periodic))
    DescribePeriodic(f, today, r);
  else if (f.FlagOn(TaskField::ByDate))
    DescribeByDate(f, today, r);
  else if (f.FlagOn(TaskField::ByCalendar))
    DescribeByCalendar(f, today, r);
  else
    return r;
  r.hasReminder = true;
  // A rule that has an RRULE, or fires just once, is said by the calendar; any other is
  // said in words, and its alarm (when it has a first firing) marks only that one.
  bool once = r.rrule.empty() && r.startFound && f.FlagOn(TaskField::ByDate) && !f.FlagOn(TaskField::Periodic);
  once = once && !IsAll(f.Get(TaskField::Day)) && !IsAll(f.Get(TaskField::Month)) && !IsAll(f.Get(TaskField::Year));
  bool onceByCalendar = r.rrule.empty() && r.startFound && f.FlagOn(TaskField::ByCalendar) &&
                        !f.FlagOn(TaskField::Periodic) && !f.FlagOn(TaskField::ByDate) && !f.FlagOn(TaskField::Permanent);
  if (r.rrule.empty() && !once && !onceByCalendar) {
    r.words = RuleWords(f);
    r.startFound = false;  // no DTSTART or alarm that would claim a single firing
    r.weekAhead = false;
  }
  return r;
}

IcsExport TasksToIcs(const std::vector<std::string>& records, const dates::Date& today, const Moment& stampUtc) {
  IcsExport result;
  std::string& out = result.text;
  Line(out, "BEGIN:VCALENDAR");
  Line(out, "VERSION:2.0");
  Line(out, std::string("PRODID:") + kProdId);
  Line(out, "CALSCALE:GREGORIAN");
  const std::string stamp = MomentValue(stampUtc, false) + "Z";
  for (size_t i = 0; i < records.size(); ++i) {
    Todo(out, records[i], i, today, stamp, result);
    ++result.records;
  }
  Line(out, "END:VCALENDAR");
  return result;
}

IcsImport ImportIcs(std::string_view bytes, const std::string& todayText, int utcOffsetMinutes) {
  IcsImport result;
  std::vector<ContentLine> lines = ical::ParseContentLines(bytes);
  std::vector<std::string> stack;
  Component current;
  std::vector<const ContentLine*> alarm;
  for (const ContentLine& l : lines) {
    if (l.name == "BEGIN") {
      std::string kind = ical::Upper(l.value);
      stack.push_back(kind);
      if (stack.size() > 64) break;  // nesting no calendar has
      if (stack.size() == 2 && stack[0] == "VCALENDAR") {
        current = Component{kind, {}, {}};
        if (kind != "VTODO" && kind != "VEVENT" && kind != "VTIMEZONE") ++result.leftOut[kind];
      } else if (stack.size() == 3 && kind == "VALARM") {
        alarm.clear();
      }
      continue;
    }
    if (l.name == "END") {
      if (stack.empty()) continue;
      std::string kind = stack.back();
      stack.pop_back();
      if (stack.size() == 2 && kind == "VALARM") current.alarms.push_back(alarm);
      if (stack.size() == 1 && (kind == "VTODO" || kind == "VEVENT")) {
        if (Prop(current.props, "RECURRENCE-ID"))
          ++result.leftOut["RECURRENCE-ID"];  // a changed instance of a repeated one
        else
          result.added.push_back(RecordOf(current, todayText, utcOffsetMinutes, result));
      }
      continue;
    }
    if (stack.size() == 2) current.props.push_back(&l);
    if (stack.size() == 3 && stack[2] == "VALARM") alarm.push_back(&l);
  }
  return result;
}

std::string IcsImportReport(const IcsImport& import) {
  std::string out;
  for (const auto& [kind, count] : import.leftOut) {
    std::string what = kind == "?"                 ? "знаков, которых нет в кодировке Windows-1251 (заменены знаком \"?\")"
                       : kind == "RRULE"           ? "повторений, которых правила напоминаний не выражают (записаны в заметки)"
                       : kind == "X-VELMORIA-RULE" ? "правил напоминаний, записанных словами (записаны в заметки)"
                       : kind == "EXDATE" || kind == "RDATE" ? "исключений и добавочных дат " + kind + " (записаны в заметки)"
                       : kind == "RECURRENCE-ID"   ? "изменённых повторений (пропущены)"
                       : kind == "RRULE без напоминания" ? "повторений без напоминания (записаны в заметки)"
                                                          : kind + " (пропущены)";
    out += (out.empty() ? "" : "\n") + what + ": " + Num(count);
  }
  return out;
}

}  // namespace vm::tasks
