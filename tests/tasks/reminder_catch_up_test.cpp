// The catch-up pass jumps from each verdict to the next minute that can give another;
// these tests hold it to checking every minute one by one, over generated records.
#include <gtest/gtest.h>

#include <random>

#include "tasks/reminders.h"

namespace vm::tasks {
namespace {

using F = TaskField;

// A record over the values the rules tell apart, and some they must read as numbers:
// mostly a rule of one kind (periodic, dated, calendar) that is live on the day.
std::string GeneratedRecord(std::mt19937& rng, const Moment& day) {
  auto pick = [&rng](std::initializer_list<std::string> v) {
    return v.begin()[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
  };
  const std::string d = std::to_string(day.day), m = std::to_string(day.month), y = std::to_string(day.year);
  const std::string today = d + "/" + m + "/" + y;
  const std::string someMinute = today + " " + std::to_string(rng() % 24) + ":" + std::to_string(rng() % 60);
  const std::string hh = std::to_string(rng() % 24);
  std::string line = EmptyTaskRecord();
  auto set = [&line](F f, const std::string& v) { SetTaskField(line, f, v); };
  const int kind = static_cast<int>(rng() % 4);  // periodic, dated, calendar, any
  set(F::Headline, "R" + std::to_string(rng() % 100));
  set(F::Notes, pick({"", "заметкаERN:вторая"}));
  set(F::ReminderState, pick({"1", "1", "1", "-1", "-1", "0", ""}));
  set(F::Periodic, kind == 0 ? "1" : kind == 3 ? pick({"0", "1"}) : "0");
  set(F::ByDate, kind == 1 ? "1" : pick({"0", "1"}));
  set(F::ByCalendar, kind == 2 ? "1" : pick({"0", "1"}));
  if (kind == 1) {
    set(F::Day, pick({"ALL", d, d, std::to_string(day.day + 1 + rng() % 8), "31", "29"}));
    set(F::Month, pick({"ALL", m, m, std::to_string(day.month - 1)}));
    set(F::Year, pick({"ALL", y, y, std::to_string(day.year - 1)}));
  } else {
    set(F::Day, pick({"ALL", d, "01", "28", "29", "30", "31", std::to_string(day.day + 3), "x"}));
    set(F::Month, pick({"ALL", m, "01", "02", "12", std::to_string(day.month - 1)}));
    set(F::Year, pick({"ALL", y, std::to_string(day.year - 1), std::to_string(day.year + 1)}));
  }
  set(F::WithTime, pick({"0", "1", "1", "1", "", "2"}));
  set(F::Hour, pick({"ALL", "ALL", "ALL", hh, hh, ">" + hh, ">" + hh, "0", "23", "24", "-1", ">0", ">23", ">-1",
                     "> 7", "+7", "7x", "", "#1#0"}));
  set(F::Minute, pick({"0", "59", "60", "-1", "ALL", "", std::to_string(rng() % 60), std::to_string(rng() % 60),
                       std::to_string(rng() % 60), std::to_string(rng() % 200)}));
  set(F::StartHour, pick({"0", "10", "23", "-3", "30", hh}));
  set(F::StartMinute, pick({"0", "3", "59", "-70", std::to_string(rng() % 60)}));
  set(F::WeekAhead, pick({"0", "1"}));
  set(F::Permanent, pick({"0", "1", ""}));
  set(F::LastFired, pick({"", "", today, someMinute, someMinute, "1/1/2000", "10:30", today + "5"}));
  set(F::PcBeep, pick({"0", "1"}));
  for (int k = static_cast<int>(F::Quarter1); k <= static_cast<int>(F::Sunday); ++k)
    set(static_cast<F>(k), pick({"1", "1", "1", "0"}));
  return line;
}

// The days a catch-up may land on: month and year ends, leap days, an ordinary day.
Moment GeneratedDay(std::mt19937& rng) {
  const Moment days[] = {{2012, 2, 29}, {2013, 2, 28}, {2012, 2, 28}, {2013, 3, 1}, {2013, 12, 31},
                         {2014, 1, 1},  {2013, 3, 31}, {2013, 6, 30}, {2013, 3, 5}, {2016, 9, 26}};
  return days[rng() % std::size(days)];
}

std::string Described(const Firing& f) {
  return std::to_string(f.record) + "@" + TimeStamp(f.due) + "+" + std::to_string(f.daysAhead) + " " + f.headline +
         "|" + f.notes + "|" + std::to_string(static_cast<int>(f.sound)) + f.soundFile + "|" +
         (f.switchedOff ? "off" : "on") + "|" + f.key;
}

// The catch-up as its promise reads: every minute checked by a pass of its own, each
// record's last firing kept, in the order of their minutes.
PassResult MinuteByMinute(TaskList& records, const Moment& previous, const Moment& now) {
  std::vector<Moment> minutes = SkippedMinutes(previous, now);
  minutes.push_back(now);
  const TaskList before = records;
  PassResult out;
  out.ran = true;
  out.minutesChecked = static_cast<int>(minutes.size());
  std::vector<std::pair<size_t, Firing>> last;  // minute index, firing
  for (size_t k = 0; k < minutes.size(); ++k) {
    PassResult one = CheckReminders(records, minutes[k]);
    out.bookChanged |= one.bookChanged;
    for (Firing& f : one.firings) {
      std::erase_if(last, [&f](const auto& e) { return e.second.record == f.record; });
      last.emplace_back(k, std::move(f));
    }
  }
  for (auto& e : last) out.firings.push_back(std::move(e.second));
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i] != before[i]) out.changedRecords.push_back(i);
  return out;
}

void ExpectSamePass(const PassResult& fast, const PassResult& plain, const std::string& where) {
  std::vector<std::string> a, b;
  for (const Firing& f : fast.firings) a.push_back(Described(f));
  for (const Firing& f : plain.firings) b.push_back(Described(f));
  EXPECT_EQ(a, b) << where;
  EXPECT_EQ(fast.changedRecords, plain.changedRecords) << where;
  EXPECT_EQ(fast.bookChanged, plain.bookChanged) << where;
  EXPECT_EQ(fast.minutesChecked, plain.minutesChecked) << where;
  EXPECT_EQ(fast.ran, plain.ran) << where;
}

TEST(ReminderCatchUp, JumpingMinutesMatchesCheckingEachOne) {
  std::mt19937 rng(2024);
  int fired = 0;
  for (int round = 0; round < 80; ++round) {
    Moment now = GeneratedDay(rng);
    TaskList fast;
    for (int i = 0; i < 25; ++i) fast.push_back(GeneratedRecord(rng, now));
    TaskList plain = fast;
    now.hour = static_cast<int>(rng() % 24);
    now.minute = static_cast<int>(rng() % 60);
    // The previous pass: up to two hours earlier today, on an earlier day, at or after
    // now, or invalid.
    Moment previous = now;
    const int back = std::max(0, now.hour * 60 + now.minute - static_cast<int>(rng() % 120));
    switch (rng() % 6) {
      case 0:
      case 1: previous.hour = back / 60, previous.minute = back % 60; break;
      case 2: previous.year -= 1; break;
      case 3: previous.hour = 23, previous.minute = 59; break;
      case 4: previous.hour = previous.minute = 0; break;
      default: previous.month = 13; break;
    }
    const std::string where = "round " + std::to_string(round) + " at " + TimeStamp(now);
    PassResult a = CheckRemindersSince(fast, previous, now);
    PassResult b = MinuteByMinute(plain, previous, now);
    ExpectSamePass(a, b, where);
    EXPECT_EQ(fast, plain) << where;
    // A firing is what its record reads as the pass leaves it.
    for (const Firing& f : a.firings) {
      Firing alone = FiringOf(fast[f.record], f.record, f.daysAhead, f.due);
      alone.switchedOff = f.switchedOff;
      EXPECT_EQ(Described(alone), Described(f)) << where;
    }
    fired += static_cast<int>(b.firings.size());
  }
  EXPECT_GT(fired, 150);  // the generated records do fire
}

TEST(ReminderCatchUp, WholeDaysOfPeriodicAndHourlyRules) {
  // Dense rules over a full day, each periodic and as "every hour at its start minute".
  const char* rules[][4] = {{"0", "0", "0", "1"},   {"3", "10", "0", "7"}, {"-2", "0", "0", "13"},
                            {"23", "59", "1", "0"}, {"0", "0", "24", "0"}, {"12", "0", "0", "1439"}};
  Moment now{2012, 2, 29, 23, 59};
  for (auto& rule : rules) {
    std::string line = EmptyTaskRecord();
    SetTaskField(line, F::ReminderState, "1");
    SetTaskField(line, F::Periodic, "1");
    SetTaskField(line, F::StartHour, rule[0]);
    SetTaskField(line, F::StartMinute, rule[1]);
    SetTaskField(line, F::Hour, rule[2]);
    SetTaskField(line, F::Minute, rule[3]);
    std::string hourly = line;
    SetTaskField(hourly, F::Periodic, "0");
    SetTaskField(hourly, F::ByDate, "1");
    for (F f : {F::Day, F::Month, F::Year, F::Hour}) SetTaskField(hourly, f, "ALL");
    SetTaskField(hourly, F::WithTime, "1");
    SetTaskField(hourly, F::Minute, rule[1]);
    TaskList fast{line, hourly}, plain = fast;
    ExpectSamePass(CheckRemindersSince(fast, {2012, 2, 28, 12, 0}, now),
                   MinuteByMinute(plain, {2012, 2, 28, 12, 0}, now), rule[3]);
    EXPECT_EQ(fast, plain) << rule[3];
    // Then short catch-ups of one to three minutes ending at every minute of the next day.
    for (int last = 0; last < 24 * 60; ++last) {
      const Moment to{2012, 3, 1, last / 60, last % 60};
      const int from = std::max(0, last - 1 - last % 3);
      const Moment previous{2012, 3, 1, from / 60, from % 60};
      ExpectSamePass(CheckRemindersSince(fast, previous, to), MinuteByMinute(plain, previous, to),
                     std::string(rule[3]) + " to " + TimeStamp(to));
    }
    EXPECT_EQ(fast, plain) << rule[3];
  }
}

}  // namespace
}  // namespace vm::tasks
