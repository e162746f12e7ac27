#include "tasks/reminders.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "common/record_file.h"
#include "tasks/snoozes.h"

namespace vm::tasks {

const char* const kMessageTemplate = "Сообщение";
const char* const kMessageBandTitle = "  Напоминание.";

namespace {

const char kAll[] = "ALL";
constexpr int kDayMinutes = 24 * 60;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

void AppendNumber(std::string& out, int value) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, end);
}

using dates::InLastWeekOfMonth;
using dates::MonthOfQuarter;
using dates::QuarterOf;
using dates::WeekOfMonth;

// The day serial of a target date read from a record. Years are held where the serial
// arithmetic cannot overflow; far years stay far, so the rules see the same sign.
int TargetSerial(int day, int month, int year) {
  year = std::clamp(year, -40000, 40000);
  return dates::DaySerial(day, month, year);
}

// What the rules need of one minute, worked out once for all records.
struct Clock {
  Moment now;
  int serial = 0;
  int minutes = 0;  // of the day
  std::string today, time;
  int quarter = 0, quarterMonth = 0, week = 0, weekday = 0;
  bool lastWeek = false;
  // The last minute of the day being checked: a decision may look that far ahead.
  int lastMinute = kDayMinutes - 1;
};

// Moves a clock to another minute of its day; the day's parts stay. The time stamp is
// TimeStamp's text: the day's stamp, a space, then "%i:%i".
void SetMinute(Clock& c, int minuteOfDay) {
  c.now.hour = minuteOfDay / 60;
  c.now.minute = minuteOfDay % 60;
  c.minutes = minuteOfDay;
  c.time.assign(c.today);
  c.time.push_back(' ');
  AppendNumber(c.time, c.now.hour);
  c.time.push_back(':');
  AppendNumber(c.time, c.now.minute);
}

Clock MakeClock(const Moment& m) {
  Clock c;
  c.now = m;
  c.serial = dates::DaySerial(m.day, m.month, m.year);
  c.today = TodayStamp(m);
  c.quarter = QuarterOf(m.month);
  c.quarterMonth = MonthOfQuarter(m.month);
  c.week = std::min(WeekOfMonth(m.day, m.month, m.year), 5);
  c.weekday = dates::Weekday(m.day, m.month, m.year);
  c.lastWeek = InLastWeekOfMonth(m.day, m.month, m.year);
  SetMinute(c, m.hour * 60 + m.minute);
  return c;
}

// The reminder fields of one record, read once per pass into what the rules test.
struct Reminder {
  std::string state, lastFired;
  bool byDate = false, byCalendar = false, periodic = false, weekAhead = false, permanentOff = false;
  bool dayAll = false, monthAll = false, yearAll = false, hourAll = false, fromTime = false;
  int withTime = -1;  // 0 for "0", 1 for "1", -1 for anything else
  int day = 0, month = 0, year = 0;
  int hour = 0;    // the hour of the time rules: after the ">" when there is one
  int minute = 0;
  int period = 0;  // minutes between periodic firings
  int start = 0;   // minute of the day periodic firings count from
  bool quarter[4] = {}, quarterMonth[3] = {}, week[4] = {}, lastWeek = false, weekday[7] = {};
};

TaskField Offset(TaskField first, int k) {
  return static_cast<TaskField>(static_cast<int>(first) + k);
}

Reminder ReadReminder(const TaskFieldReader& f, std::string state) {
  Reminder r;
  r.state = std::move(state);
  r.lastFired = f.Get(TaskField::LastFired);
  r.byDate = f.FlagOn(TaskField::ByDate);
  r.byCalendar = f.FlagOn(TaskField::ByCalendar);
  r.periodic = f.FlagOn(TaskField::Periodic);
  r.weekAhead = f.FlagOn(TaskField::WeekAhead);
  r.permanentOff = f.Is(TaskField::Permanent, "0");
  r.withTime = f.Is(TaskField::WithTime, "0") ? 0 : f.Is(TaskField::WithTime, "1") ? 1 : -1;
  // Fields are read as views into the line; only one holding "#" is copied, into `text`.
  std::string text;
  std::string_view value = f.View(TaskField::Day, text);
  r.dayAll = value == kAll;
  r.day = ReadNumber(value);
  value = f.View(TaskField::Month, text);
  r.monthAll = value == kAll;
  r.month = ReadNumber(value);
  value = f.View(TaskField::Year, text);
  r.yearAll = value == kAll;
  r.year = ReadNumber(value);
  r.minute = ReadNumber(f.View(TaskField::Minute, text));
  const std::string_view hour = f.View(TaskField::Hour, text);
  r.hourAll = hour == kAll;
  r.fromTime = !hour.empty() && hour[0] == '>';
  r.hour = ReadNumber(r.fromTime ? hour.substr(1) : hour);
  // The interval reads the hour field as it stands: ">" and "ALL" give 0 hours.
  r.period = ReadNumber(hour) * 60 + r.minute;
  r.start = ReadNumber(f.View(TaskField::StartHour, text)) * 60;
  r.start += ReadNumber(f.View(TaskField::StartMinute, text));
  if (r.byCalendar && !r.periodic && !r.byDate) {
    for (int k = 0; k < 4; ++k) r.quarter[k] = f.FlagOn(Offset(TaskField::Quarter1, k));
    for (int k = 0; k < 3; ++k) r.quarterMonth[k] = f.FlagOn(Offset(TaskField::QuarterMonth1, k));
    for (int k = 0; k < 4; ++k) r.week[k] = f.FlagOn(Offset(TaskField::Week1, k));
    r.lastWeek = f.FlagOn(TaskField::LastWeek);
    for (int k = 0; k < 7; ++k) r.weekday[k] = f.FlagOn(Offset(TaskField::Monday, k));
  }
  return r;
}

bool Examined(const std::string& state) {
  return state == "1" || state == "-1";
}

struct Decision {
  bool fire = false;
  int days = 0;
  bool switchedOff = false;
  // The verdict looked at the time of day. When it did not and nothing fired, every
  // later minute of the same day gives the same verdict, so a forecast may skip them.
  bool timeMatters = false;
  // The next minute of the day worth checking: every minute before it (up to the
  // clock's last minute) would give this same verdict, or, after a periodic firing,
  // a firing that the one at `next` replaces. kDayMinutes: none left.
  int next = kDayMinutes;
};

// The verdict of a minute at which the time rule did not fire; it holds until `next`.
Decision Wait(int next) {
  Decision d;
  d.timeMatters = true;
  d.next = std::clamp(next, 0, kDayMinutes);
  return d;
}

// FireReminder's decisions on the record: the stamp and the switch-off.
Decision Fire(Reminder& r, const Clock& c, int days, bool periodic) {
  Decision d{true, days, false};
  d.next = c.minutes + 1;
  if (periodic) return d;
  r.lastFired = r.hourAll || r.withTime == 1 ? c.time : c.today;
  bool oneTimeDate = r.byDate && !r.dayAll && !r.monthAll && !r.yearAll && !r.hourAll;
  if (days == 0 && ((r.permanentOff && r.byCalendar) || oneTimeDate)) {
    r.state.assign(1, '0');
    d.switchedOff = true;
  }
  return d;
}

// The first minute of the day from `from` on that is `start` plus a multiple of
// `period` and is not `start` itself: the minutes a periodic rule fires at.
long long PeriodicMinuteFrom(long long from, long long start, long long period) {
  long long rest = ((from - start) % period + period) % period;
  long long m = rest == 0 ? from : from + period - rest;
  return m == start ? m + period : m;
}

// The time test shared by the date and calendar rules when a time is set.
Decision TimedFire(Reminder& r, const Clock& c, int hour, int minute) {
  if (r.lastFired == c.time) {
    // Only a stamp of this very minute holds the rule back; it never does after ">".
  } else if (!r.fromTime) {
    if (c.now.hour == hour && c.now.minute == minute) return Fire(r, c, 0, false);
  } else if (!StartsWith(r.lastFired, c.today) && c.minutes > hour * 60 + minute) {
    return Fire(r, c, 0, false);
  }
  // When it can fire next: after ">" the minute past its time unless it fired today; at
  // a set time that minute of the hour, of every hour when the hour is "ALL".
  if (r.fromTime) {
    if (StartsWith(r.lastFired, c.today)) return Wait(kDayMinutes);
    return Wait(static_cast<int>(std::max<long long>(c.minutes + 1, hour * 60LL + minute + 1)));
  }
  if (minute < 0 || minute > 59) return Wait(kDayMinutes);
  if (r.hourAll) return Wait(c.minutes - c.minutes % 60 + minute + (c.minutes % 60 >= minute ? 60 : 0));
  if (hour < 0 || hour > 23 || hour * 60 + minute <= c.minutes) return Wait(kDayMinutes);
  return Wait(hour * 60 + minute);
}

// A record with Hour "ALL" and no time set is stamped with the time when it fires, which
// no "fired today" test of the rules recognises; it is held to one firing a day.
bool AllHoursFiredToday(const Reminder& r, const Clock& c) {
  return r.hourAll && StartsWith(r.lastFired, c.today);
}

Decision Evaluate(Reminder& r, const Clock& c) {
  if (!Examined(r.state)) return {};
  const int year = r.yearAll ? c.now.year : r.year;
  const int month = r.monthAll ? c.now.month : r.month;
  const int day = r.dayAll ? c.now.day : r.day;
  const int hour = !r.fromTime && r.hourAll ? c.now.hour : r.hour;
  const int minute = r.minute;

  if (r.periodic) {
    // The stamp carries the date, so a reminder with one firing minute a day repeats
    // every day; older files may still hold the bare "%i:%i" form, which never matches.
    // An interval of zero (or less) never fires.
    if (r.period <= 0) return {};
    const long long next = PeriodicMinuteFrom(c.minutes, r.start, r.period);
    if (next != c.minutes || r.lastFired == c.time) {
      return Wait(static_cast<int>(std::min<long long>(PeriodicMinuteFrom(c.minutes + 1, r.start, r.period), kDayMinutes)));
    }
    r.lastFired = c.time;
    Decision d = Fire(r, c, 0, true);
    // It fires again at each later firing minute, each stamp replacing the one before:
    // of a run of minutes only the last firing minute counts.
    long long last = PeriodicMinuteFrom(c.lastMinute - r.period + 1, r.start, r.period);
    if (last > c.lastMinute) last -= r.period;
    if (last == r.start) last -= r.period;
    if (last > c.minutes) d.next = static_cast<int>(last);
    return d;
  }

  const int diff = TargetSerial(day, month, year) - c.serial;

  if (r.byDate) {
    if (r.lastFired == c.today) return {};
    if (diff == 0) {
      if (r.withTime == 0) {
        if (AllHoursFiredToday(r, c)) return {};
        r.lastFired = c.today;
        return Fire(r, c, 0, false);
      }
      if (r.withTime == 1) return TimedFire(r, c, hour, minute);
      return {};
    }
    if (diff >= 1 && diff <= 7) {
      if (r.weekAhead && !StartsWith(r.lastFired, c.today)) return Fire(r, c, diff, false);
      return {};
    }
    if (diff < 0) {
      bool missed = (!r.dayAll && !r.monthAll && !r.yearAll) ||
                    (r.dayAll && (month < c.now.month || year < c.now.year)) ||
                    (!r.dayAll && r.monthAll && year < c.now.year);
      if (missed) r.state.assign("-1", 2);
    }
    return {};
  }

  if (r.byCalendar) {
    if (r.lastFired == c.today && !r.hourAll) return {};
    if (r.permanentOff && r.lastFired.size() > 1) return {};
    bool weekOn = false;
    switch (c.week) {
      case 1:
      case 2:
      case 3: weekOn = r.week[c.week - 1]; break;
      case 4: weekOn = r.week[3] || (c.lastWeek && r.lastWeek); break;
      default: weekOn = c.lastWeek && r.lastWeek; break;
    }
    if (!(r.quarter[c.quarter - 1] && r.quarterMonth[c.quarterMonth - 1] && weekOn && r.weekday[c.weekday]))
      return {};
    if (r.lastFired == c.today) return {};
    if (r.withTime == 0) return AllHoursFiredToday(r, c) ? Decision{} : Fire(r, c, 0, false);
    if (r.withTime == 1) return TimedFire(r, c, hour, minute);
  }
  return {};
}

Firing MakeFiring(const TaskFieldReader& fields, size_t index, const Decision& d, const Moment& due) {
  Firing f = FiringOf(fields, index, d.days, due);
  f.switchedOff = d.switchedOff;
  return f;
}

// SetTaskField on a field whose place in the line is known.
void ReplaceField(std::string& line, std::pair<size_t, size_t> span, const std::string& value) {
  if (value.find_first_of("#|\n") == std::string::npos) {
    line.replace(span.first, span.second, value);
  } else {
    line.replace(span.first, span.second, FieldText(value));
  }
}

// The first minute a pass at `now` checks: the minute after the previous pass when that
// was earlier the same day, midnight when it was an earlier day, else `now` alone.
int FirstMinuteToCheck(const Moment& previousPass, const Moment& now) {
  const int nowMinute = now.hour * 60 + now.minute;
  if (!IsValidMoment(previousPass) || !IsValidMoment(now) || !Earlier(previousPass, now)) return nowMinute;
  bool sameDay =
      previousPass.year == now.year && previousPass.month == now.month && previousPass.day == now.day;
  return sameDay ? previousPass.hour * 60 + previousPass.minute + 1 : 0;
}

// Checks the minutes `first` to `now` of now's day in order, as passes at each of them
// would. Records never affect one another, so each record is read once and taken
// through the minutes on its own, from each verdict straight to the next minute that
// can give another; the firings are then put back in the order the minutes gave them.
PassResult RunMinutes(TaskList& records, int first, const Moment& now) {
  PassResult result;
  const int lastMinute = now.hour * 60 + now.minute;
  result.ran = true;
  result.minutesChecked = lastMinute - first + 1;

  Clock clock;
  bool clockMade = false;
  std::vector<std::pair<int, Firing>> fired;  // minute, firing
  for (size_t i = 0; i < records.size(); ++i) {
    std::string& line = records[i];
    TaskFieldReader fields(line);
    if (!fields.Has(TaskField::ReminderState)) continue;
    const std::string state = fields.Get(TaskField::ReminderState);
    // A record too short to hold its stamp is left alone: a firing it could not stamp
    // would repeat on every tick.
    if (!Examined(state) || !fields.Has(TaskField::LastFired)) continue;
    Reminder r = ReadReminder(fields, state);
    if (!clockMade) {
      clock = MakeClock(now);
      clock.lastMinute = lastMinute;
      clockMade = true;
    }
    const std::string firstStamp = r.lastFired;
    int firedAt = -1;
    Decision last;
    bool markedChanged = false;
    for (int k = first; k <= lastMinute && Examined(r.state);) {
      SetMinute(clock, k);
      Decision d = Evaluate(r, clock);
      if (d.fire) {
        last = d;
        firedAt = k;
        markedChanged |= !r.periodic;
      }
      k = std::max(d.next, k + 1);
    }
    // The firing is read from the line before the stamp and the state are written:
    // it reads neither, and their new texts hold no "#" at the end, so every other
    // field stays where the reader found it.
    if (last.fire) {
      Moment due = now;
      due.hour = firedAt / 60;
      due.minute = firedAt % 60;
      fired.emplace_back(firedAt, MakeFiring(fields, i, last, due));
    }
    // The stamp stands after the state, so it is written first and the state's place
    // in the line still holds.
    const bool newStamp = r.lastFired != firstStamp, newState = r.state != state;
    const auto stampSpan = fields.Span(TaskField::LastFired), stateSpan = fields.Span(TaskField::ReminderState);
    if (newStamp) ReplaceField(line, stampSpan, r.lastFired);
    if (newState) ReplaceField(line, stateSpan, r.state);
    if (newStamp || newState) result.changedRecords.push_back(i);
    result.bookChanged |= markedChanged;
  }
  std::stable_sort(fired.begin(), fired.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  result.firings.reserve(fired.size());
  for (auto& [minute, firing] : fired) result.firings.push_back(std::move(firing));
  return result;
}

}  // namespace

Firing FiringOf(const std::string& line, size_t index, int daysAhead, const Moment& due) {
  return FiringOf(TaskFieldReader(line), index, daysAhead, due);
}

Firing FiringOf(const TaskFieldReader& fields, size_t index, int daysAhead, const Moment& due) {
  Firing f;
  f.record = index;
  f.daysAhead = daysAhead;
  f.due = due;
  f.key = RecordKey(fields);
  std::string text;
  f.headline = UndoLineEscapes(fields.View(TaskField::Headline, text));
  if (daysAhead > 0) f.headline += " - через " + NumberText(daysAhead) + "д.";
  f.notes = UndoLineEscapes(fields.View(TaskField::Notes, text));
  if (fields.FlagOn(TaskField::PcBeep)) {
    f.sound = ReminderSound::kBeep;
  } else {
    std::string wav = fields.Get(TaskField::SoundFile);
    if (wav.size() > 3) {
      f.sound = ReminderSound::kWave;
      f.soundFile = std::move(wav);
    }
  }
  return f;
}

bool IsValidMoment(const Moment& m) {
  return m.year >= 1 && m.year <= 9999 && m.month >= 1 && m.month <= 12 && m.day >= 1 &&
         m.day <= dates::DaysInMonth(m.month, m.year) && m.hour >= 0 && m.hour <= 23 && m.minute >= 0 &&
         m.minute <= 59;
}

bool Earlier(const Moment& a, const Moment& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  if (a.day != b.day) return a.day < b.day;
  if (a.hour != b.hour) return a.hour < b.hour;
  return a.minute < b.minute;
}

Moment MomentOf(const platform::LocalTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute};
}

dates::Date DateOf(const Moment& m) {
  return {m.day, m.month, m.year};
}

std::string TodayStamp(const Moment& m) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%i/%i/%i", m.day, m.month, m.year);
  return buf;
}

std::string MinuteStamp(const Moment& m) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%i:%i", m.hour, m.minute);
  return buf;
}

std::string TimeStamp(const Moment& m) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%i/%i/%i %i:%i", m.day, m.month, m.year, m.hour, m.minute);
  return buf;
}

std::vector<ForecastFiring> ForecastFirings(const std::string& line, const Moment& from, int count,
                                            const Moment& until) {
  std::vector<ForecastFiring> out;
  if (count <= 0 || !IsValidMoment(from) || !IsValidMoment(until)) return out;
  // The same records the pass leaves alone: no reminder state, or no room for a stamp.
  TaskFieldReader fields(line);
  if (!fields.Has(TaskField::ReminderState)) return out;
  std::string state = fields.Get(TaskField::ReminderState);
  if (!Examined(state) || !fields.Has(TaskField::LastFired)) return out;
  Reminder r = ReadReminder(fields, state);
  long budget = kForecastMinuteBudget;
  dates::Date day = DateOf(from);
  int minute = from.hour * 60 + from.minute;
  for (;;) {
    Clock c = MakeClock({day.year, day.month, day.day, minute / 60, minute % 60});
    for (; minute < 24 * 60; ++minute) {
      const Moment at{day.year, day.month, day.day, minute / 60, minute % 60};
      if (Earlier(until, at) || budget-- <= 0) return out;
      SetMinute(c, minute);
      Decision d = Evaluate(r, c);
      if (d.fire) {
        out.push_back({at, d.days});
        if (static_cast<int>(out.size()) == count || !Examined(r.state)) return out;
      } else if (!d.timeMatters) {
        break;  // the rest of the day gives the same verdict
      }
    }
    if (!Examined(r.state)) return out;
    day = dates::AddDays(day, 1);
    minute = 0;
    if (day.year > 9999) return out;
  }
}

PassResult CheckReminders(TaskList& records, const Moment& now) {
  if (!IsValidMoment(now)) return {};
  return RunMinutes(records, now.hour * 60 + now.minute, now);
}

std::vector<Moment> SkippedMinutes(const Moment& previousPass, const Moment& now) {
  std::vector<Moment> out;
  if (!IsValidMoment(now)) return out;
  int to = now.hour * 60 + now.minute;
  for (int m = FirstMinuteToCheck(previousPass, now); m < to; ++m)
    out.push_back({now.year, now.month, now.day, m / 60, m % 60});
  return out;
}

PassResult CheckRemindersSince(TaskList& records, const Moment& previousPass, const Moment& now) {
  if (!IsValidMoment(now)) return {};
  return RunMinutes(records, FirstMinuteToCheck(previousPass, now), now);
}

PassResult RunReminderPass(TaskBook& book, const Moment* previousPass, const Moment& now) {
  PassResult result = previousPass ? CheckRemindersSince(book.records_, *previousPass, now)
                                   : CheckReminders(book.records_, now);
  if (!result.changedRecords.empty()) ++book.revision_;
  if (result.bookChanged && book.state_ != 0) book.state_ = kStateChanged;
  // The program runs for days in the tray: new records take the date of the clock's
  // last pass, not that of the load.
  if (result.ran && book.state_ != 0) book.todayText_ = TodayText(DateOf(now));
  return result;
}

PassResult ReminderScheduler::Tick(TaskBook& book, const Moment& now, SnoozeStore* snoozes) {
  if (!IsValidMoment(now)) return {};
  if (snoozes) snoozes->Follow(book);
  const uint64_t snoozeRevision = snoozes ? snoozes->revision() : 0;
  if (ran_ && book_ == &book && revision_ == book.revision() && now == last_ &&
      snoozes_ == snoozes && snoozeRevision_ == snoozeRevision)
    return {};
  PassResult result = RunReminderPass(book, ran_ ? &last_ : nullptr, now);
  if (snoozes) {
    SnoozePass back = snoozes->Run(book, now);
    if (!back.firings.empty()) {
      for (Firing& f : back.firings) {
        f.snoozed = true;
        result.firings.push_back(std::move(f));
      }
      std::stable_sort(result.firings.begin(), result.firings.end(),
                       [](const Firing& a, const Firing& b) { return Earlier(a.due, b.due); });
    }
  }
  snoozes_ = snoozes;
  snoozeRevision_ = snoozes ? snoozes->revision() : 0;
  ran_ = true;
  last_ = now;
  book_ = &book;
  revision_ = book.revision();
  return result;
}

}  // namespace vm::tasks
