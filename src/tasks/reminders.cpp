#include "tasks/reminders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/record_file.h"
#include "tasks/snoozes.h"

namespace vm::tasks {

const char* const kMessageTemplate = "Сообщение";
const char* const kMessageBandTitle = "  Напоминание.";

namespace {

const char kAll[] = "ALL";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
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
};

// Moves a clock to another minute of its day; the day's parts stay.
void SetMinute(Clock& c, int hour, int minute) {
  c.now.hour = hour;
  c.now.minute = minute;
  c.minutes = hour * 60 + minute;
  c.time = TimeStamp(c.now);
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
  SetMinute(c, m.hour, m.minute);
  return c;
}

// The reminder fields of one record, read once per pass.
struct Reminder {
  std::string state, byDate, day, month, year, byCalendar, withTime, periodic, startHour, startMinute, hour,
      minute, weekAhead, permanent, lastFired;
  bool quarter[4] = {}, quarterMonth[3] = {}, week[4] = {}, lastWeek = false, weekday[7] = {};
};

bool Flag(const std::string& line, TaskField field) {
  return TaskFlagOn(line, field);
}
TaskField Offset(TaskField first, int k) {
  return static_cast<TaskField>(static_cast<int>(first) + k);
}

Reminder ReadReminder(const std::string& line, std::string state) {
  Reminder r;
  r.state = std::move(state);
  r.byDate = GetTaskField(line, TaskField::ByDate);
  r.day = GetTaskField(line, TaskField::Day);
  r.month = GetTaskField(line, TaskField::Month);
  r.year = GetTaskField(line, TaskField::Year);
  r.byCalendar = GetTaskField(line, TaskField::ByCalendar);
  r.withTime = GetTaskField(line, TaskField::WithTime);
  r.periodic = GetTaskField(line, TaskField::Periodic);
  r.startHour = GetTaskField(line, TaskField::StartHour);
  r.startMinute = GetTaskField(line, TaskField::StartMinute);
  r.hour = GetTaskField(line, TaskField::Hour);
  r.minute = GetTaskField(line, TaskField::Minute);
  r.weekAhead = GetTaskField(line, TaskField::WeekAhead);
  r.permanent = GetTaskField(line, TaskField::Permanent);
  r.lastFired = GetTaskField(line, TaskField::LastFired);
  if (r.byCalendar == "1" && r.periodic != "1" && r.byDate != "1") {
    for (int k = 0; k < 4; ++k) r.quarter[k] = Flag(line, Offset(TaskField::Quarter1, k));
    for (int k = 0; k < 3; ++k) r.quarterMonth[k] = Flag(line, Offset(TaskField::QuarterMonth1, k));
    for (int k = 0; k < 4; ++k) r.week[k] = Flag(line, Offset(TaskField::Week1, k));
    r.lastWeek = Flag(line, TaskField::LastWeek);
    for (int k = 0; k < 7; ++k) r.weekday[k] = Flag(line, Offset(TaskField::Monday, k));
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
};

// FireReminder's decisions on the record: the stamp and the switch-off.
Decision Fire(Reminder& r, const Clock& c, int days, bool periodic) {
  Decision d{true, days, false};
  if (periodic) return d;
  r.lastFired = r.hour == kAll || r.withTime == "1" ? c.time : c.today;
  bool oneTimeDate = r.byDate == "1" && r.day != kAll && r.month != kAll && r.year != kAll && r.hour != kAll;
  if (days == 0 && ((r.permanent == "0" && r.byCalendar == "1") || oneTimeDate)) {
    r.state.assign(1, '0');
    d.switchedOff = true;
  }
  return d;
}

// The time test shared by the date and calendar rules when a time is set.
bool TimeDue(const Reminder& r, const Clock& c, int hour, int minute, bool fromTime) {
  if (r.lastFired == c.time) return false;
  if (!fromTime) return c.now.hour == hour && c.now.minute == minute;
  return !StartsWith(r.lastFired, c.today) && c.minutes > hour * 60 + minute;
}

Decision TimedFire(Reminder& r, const Clock& c, int hour, int minute, bool fromTime) {
  if (TimeDue(r, c, hour, minute, fromTime)) return Fire(r, c, 0, false);
  Decision wait;
  wait.timeMatters = true;
  return wait;
}

// A record with Hour "ALL" and no time set is stamped with the time when it fires, which
// no "fired today" test of the rules recognises; it is held to one firing a day.
bool AllHoursFiredToday(const Reminder& r, const Clock& c) {
  return r.hour == kAll && StartsWith(r.lastFired, c.today);
}

Decision Evaluate(Reminder& r, const Clock& c) {
  if (!Examined(r.state)) return {};
  const bool dayAll = r.day == kAll, monthAll = r.month == kAll, yearAll = r.year == kAll;
  const int year = yearAll ? c.now.year : ReadNumber(r.year);
  const int month = monthAll ? c.now.month : ReadNumber(r.month);
  const int day = dayAll ? c.now.day : ReadNumber(r.day);
  const bool fromTime = !r.hour.empty() && r.hour[0] == '>';
  const int hour = fromTime         ? ReadNumber(std::string_view(r.hour).substr(1))
                   : r.hour == kAll ? c.now.hour
                                    : ReadNumber(r.hour);
  const int minute = ReadNumber(r.minute);

  if (r.periodic == "1") {
    // The stamp carries the date, so a reminder with one firing minute a day repeats
    // every day; older files may still hold the bare "%i:%i" form, which never matches.
    int period = ReadNumber(r.hour) * 60 + ReadNumber(r.minute);
    // An interval of zero (or less) never fires.
    if (period <= 0) return {};
    Decision wait;
    wait.timeMatters = true;
    if (r.lastFired == c.time) return wait;
    int start = ReadNumber(r.startHour) * 60 + ReadNumber(r.startMinute);
    int distance = std::abs(c.minutes - start);
    if (distance == 0 || distance % period != 0) return wait;
    r.lastFired = c.time;
    return Fire(r, c, 0, true);
  }

  const int diff = TargetSerial(day, month, year) - c.serial;

  if (r.byDate == "1") {
    if (r.lastFired == c.today) return {};
    if (diff == 0) {
      if (r.withTime == "0") {
        if (AllHoursFiredToday(r, c)) return {};
        r.lastFired = c.today;
        return Fire(r, c, 0, false);
      }
      if (r.withTime == "1") return TimedFire(r, c, hour, minute, fromTime);
      return {};
    }
    if (diff >= 1 && diff <= 7) {
      if (r.weekAhead == "1" && !StartsWith(r.lastFired, c.today)) return Fire(r, c, diff, false);
      return {};
    }
    if (diff < 0) {
      bool missed = (!dayAll && !monthAll && !yearAll) ||
                    (dayAll && (month < c.now.month || year < c.now.year)) ||
                    (!dayAll && monthAll && year < c.now.year);
      if (missed) r.state.assign("-1", 2);
    }
    return {};
  }

  if (r.byCalendar == "1") {
    if (r.lastFired == c.today && r.hour != kAll) return {};
    if (r.permanent == "0" && r.lastFired.size() > 1) return {};
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
    if (r.withTime == "0") return AllHoursFiredToday(r, c) ? Decision{} : Fire(r, c, 0, false);
    if (r.withTime == "1") return TimedFire(r, c, hour, minute, fromTime);
  }
  return {};
}

Firing MakeFiring(const std::string& line, size_t index, const Decision& d, const Moment& due) {
  Firing f = FiringOf(line, index, d.days, due);
  f.switchedOff = d.switchedOff;
  return f;
}

// Checks the given minutes in order. Records never affect one another, so each record
// is read once and taken through all the minutes; the firings are then put back in the
// order the minutes would have given them.
PassResult RunMinutes(TaskList& records, const std::vector<Moment>& minutes) {
  PassResult result;
  if (minutes.empty()) return result;
  // A catch-up checks up to a day of minutes: the clocks are made once the first record
  // needs them, and a minute of the same day as the one before takes that day's parts.
  std::vector<Clock> clocks;
  auto makeClocks = [&] {
    clocks.reserve(minutes.size());
    for (const Moment& m : minutes) {
      const Clock* before = clocks.empty() ? nullptr : &clocks.back();
      if (before && before->now.year == m.year && before->now.month == m.month && before->now.day == m.day) {
        Clock c = *before;
        SetMinute(c, m.hour, m.minute);
        clocks.push_back(std::move(c));
      } else {
        clocks.push_back(MakeClock(m));
      }
    }
  };
  result.ran = true;
  result.minutesChecked = static_cast<int>(minutes.size());

  std::vector<std::pair<size_t, Firing>> fired;  // minute index, firing
  std::string state;
  for (size_t i = 0; i < records.size(); ++i) {
    std::string& line = records[i];
    if (!GetField(line, static_cast<int>(TaskField::ReminderState), state) || !Examined(state)) continue;
    // A record too short to hold its stamp is left alone: a firing it could not stamp
    // would repeat on every tick.
    if (!HasTaskField(line, TaskField::LastFired)) continue;
    Reminder r = ReadReminder(line, state);
    if (clocks.empty()) makeClocks();
    const std::string firstStamp = r.lastFired;
    size_t lastMinute = 0;
    Decision last;
    bool markedChanged = false;
    for (size_t k = 0; k < clocks.size() && Examined(r.state); ++k) {
      Decision d = Evaluate(r, clocks[k]);
      if (!d.fire) continue;
      last = d;
      lastMinute = k;
      markedChanged |= r.periodic != "1";
    }
    bool changed = false;
    if (r.lastFired != firstStamp) {
      SetTaskField(line, TaskField::LastFired, r.lastFired);
      changed = true;
    }
    if (r.state != state) {
      SetTaskField(line, TaskField::ReminderState, r.state);
      changed = true;
    }
    if (changed) result.changedRecords.push_back(i);
    result.bookChanged |= markedChanged;
    if (last.fire) fired.emplace_back(lastMinute, MakeFiring(line, i, last, minutes[lastMinute]));
  }
  std::stable_sort(fired.begin(), fired.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  result.firings.reserve(fired.size());
  for (auto& [minute, firing] : fired) result.firings.push_back(std::move(firing));
  return result;
}

}  // namespace

Firing FiringOf(const std::string& line, size_t index, int daysAhead, const Moment& due) {
  Firing f;
  f.record = index;
  f.daysAhead = daysAhead;
  f.due = due;
  f.key = RecordKey(line);
  f.headline = UndoLineEscapes(GetTaskField(line, TaskField::Headline));
  if (daysAhead > 0) f.headline += " - через " + NumberText(daysAhead) + "д.";
  f.notes = UndoLineEscapes(GetTaskField(line, TaskField::Notes));
  if (GetTaskField(line, TaskField::PcBeep) == "1") {
    f.sound = ReminderSound::kBeep;
  } else {
    std::string wav = GetTaskField(line, TaskField::SoundFile);
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
  std::string state;
  // The same records the pass leaves alone: no reminder state, or no room for a stamp.
  if (!GetField(line, static_cast<int>(TaskField::ReminderState), state) || !Examined(state)) return out;
  if (!HasTaskField(line, TaskField::LastFired)) return out;
  Reminder r = ReadReminder(line, state);
  long budget = kForecastMinuteBudget;
  dates::Date day = DateOf(from);
  int minute = from.hour * 60 + from.minute;
  for (;;) {
    Clock c = MakeClock({day.year, day.month, day.day, minute / 60, minute % 60});
    for (; minute < 24 * 60; ++minute) {
      const Moment at{day.year, day.month, day.day, minute / 60, minute % 60};
      if (Earlier(until, at) || budget-- <= 0) return out;
      SetMinute(c, at.hour, at.minute);
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
  return RunMinutes(records, {now});
}

std::vector<Moment> SkippedMinutes(const Moment& previousPass, const Moment& now) {
  std::vector<Moment> out;
  if (!IsValidMoment(previousPass) || !IsValidMoment(now) || !Earlier(previousPass, now)) return out;
  bool sameDay =
      previousPass.year == now.year && previousPass.month == now.month && previousPass.day == now.day;
  int from = sameDay ? previousPass.hour * 60 + previousPass.minute + 1 : 0;
  int to = now.hour * 60 + now.minute;
  for (int m = from; m < to; ++m) out.push_back({now.year, now.month, now.day, m / 60, m % 60});
  return out;
}

PassResult CheckRemindersSince(TaskList& records, const Moment& previousPass, const Moment& now) {
  if (!IsValidMoment(now)) return {};
  std::vector<Moment> minutes = SkippedMinutes(previousPass, now);
  minutes.push_back(now);
  return RunMinutes(records, minutes);
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
  if (ran_ && !pending_ && book_ == &book && revision_ == book.revision() && now == last_ &&
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
  pending_ = false;
  last_ = now;
  book_ = &book;
  revision_ = book.revision();
  return result;
}

}  // namespace vm::tasks
