#include "tasks/reminders.h"

#include <gtest/gtest.h>

#include <random>

#include "common/record_file.h"
#include "support/scratch.h"
#include "support/task_record.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using Rec = testing::TaskRecord;

// An active date rule.
Rec DateRule(const char* day, const char* month, const char* year, const char* withTime, const char* hour,
             const char* minute) {
  Rec r;
  r.Set(F::Headline, "Позвонить").Set(F::ReminderState, "1").Set(F::ByDate, "1").Set(F::Day, day);
  r.Set(F::Month, month).Set(F::Year, year).Set(F::WithTime, withTime).Set(F::Hour, hour).Set(F::Minute, minute);
  return r.Set(F::Permanent, "0").Set(F::WeekAhead, "0");
}

Rec Periodic(const char* startHour, const char* startMinute, const char* hours, const char* minutes) {
  Rec r;
  r.Set(F::Headline, "Размяться").Set(F::ReminderState, "1").Set(F::Periodic, "1").Set(F::StartHour, startHour);
  return r.Set(F::StartMinute, startMinute).Set(F::Hour, hours).Set(F::Minute, minutes).Set(F::WithTime, "0");
}

// A calendar rule with the given flags set and every other flag "0".
Rec CalendarRule(std::initializer_list<F> flags, const char* permanent, const char* withTime = "0",
                 const char* hour = "10", const char* minute = "00") {
  Rec r;
  r.Set(F::Headline, "Отчёт").Set(F::ReminderState, "1").Set(F::ByCalendar, "1").Set(F::Permanent, permanent);
  for (int k = static_cast<int>(F::Quarter1); k <= static_cast<int>(F::Sunday); ++k) r.Set(static_cast<F>(k), "0");
  for (F f : flags) r.Set(f, "1");
  return r.Set(F::WithTime, withTime).Set(F::Hour, hour).Set(F::Minute, minute);
}

std::string Hm(int minuteOfDay) { return std::to_string(minuteOfDay / 60) + ":" + std::to_string(minuteOfDay % 60); }

// Runs a check at every minute of the given days and lists "D H:M" of each firing.
std::vector<std::string> FiringsOver(std::string& line, int year, int month, int firstDay, int days = 1,
                                     int step = 1) {
  TaskList list{line};
  std::vector<std::string> out;
  for (int d = firstDay; d < firstDay + days; ++d) {
    for (int m = 0; m < 24 * 60; m += step) {
      PassResult r = CheckReminders(list, {year, month, d, m / 60, m % 60});
      for (size_t k = 0; k < r.firings.size(); ++k) out.push_back(std::to_string(d).append(1, ' ').append(Hm(m)));
    }
  }
  line = list[0];
  return out;
}

using Minutes = std::vector<std::string>;

TEST(ReminderRules, EachKindAcrossTheDay) {
  struct Case {
    const char* name;
    Rec rec;
    int days;
    Minutes fired;
    const char* stateAfter;
  } cases[] = {
      {"one-time date and time", DateRule("05", "03", "2013", "1", "10", "30"), 2, {"5 10:30"}, "0"},
      {"every day at a time", DateRule("ALL", "03", "2013", "1", "10", "30"), 2, {"5 10:30", "6 10:30"}, "1"},
      {"date without time", DateRule("05", "03", "2013", "0", "10", "30"), 2, {"5 0:0"}, "0"},
      {"from 9:30 on", DateRule("ALL", "ALL", "ALL", "1", ">09", "30"), 2, {"5 9:31", "6 9:31"}, "1"},
      {"every hour at :15", DateRule("05", "03", "2013", "1", "ALL", "15"), 1,
       {"5 0:15", "5 1:15", "5 2:15", "5 3:15", "5 4:15", "5 5:15", "5 6:15", "5 7:15", "5 8:15", "5 9:15",
        "5 10:15", "5 11:15", "5 12:15", "5 13:15", "5 14:15", "5 15:15", "5 16:15", "5 17:15", "5 18:15",
        "5 19:15", "5 20:15", "5 21:15", "5 22:15", "5 23:15"},
       "1"},
      // Hour "ALL" without a time: held to one firing a day.
      {"all hours, no time", DateRule("ALL", "03", "2013", "0", "ALL", "15"), 2, {"5 0:0", "6 0:0"}, "1"},
      {"periodic both ways from 10:00", Periodic("10", "0", "1", "30"), 1,
       {"5 1:0", "5 2:30", "5 4:0", "5 5:30", "5 7:0", "5 8:30", "5 11:30", "5 13:0", "5 14:30", "5 16:0",
        "5 17:30", "5 19:0", "5 20:30", "5 22:0", "5 23:30"},
       "1"},
      {"periodic interval 0", Periodic("10", "0", "0", "0"), 1, {}, "1"},
      // One firing minute a day: the dated stamp lets it repeat the next day.
      {"periodic once a day", Periodic("0", "0", "23", "59"), 3, {"5 23:59", "6 23:59", "7 23:59"}, "1"},
      {"no rule", Rec().Set(F::ReminderState, "1").Set(F::WithTime, "0"), 1, {}, "1"},
      {"switched off", DateRule("ALL", "ALL", "ALL", "0", "10", "00").Set(F::ReminderState, "0"), 1, {}, "0"},
  };
  for (Case& c : cases) {
    EXPECT_EQ(FiringsOver(c.rec.line, 2013, 3, 5, c.days), c.fired) << c.name;
    EXPECT_EQ(GetTaskField(c.rec.line, F::ReminderState), c.stateAfter) << c.name;
  }
}

TEST(ReminderRules, PrecedencePeriodicThenDateThenCalendar) {
  // Periodic wins over a date rule due at 10:30; the date rule wins over a calendar rule
  // that would fire on every day.
  Rec both = Periodic("10", "0", "2", "0");
  both.Set(F::ByDate, "1").Set(F::Day, "ALL").Set(F::Month, "ALL").Set(F::Year, "ALL").Set(F::WithTime, "1");
  EXPECT_EQ(FiringsOver(both.line, 2013, 3, 5), (Minutes{"5 0:0", "5 2:0", "5 4:0", "5 6:0", "5 8:0", "5 12:0",
                                                         "5 14:0", "5 16:0", "5 18:0", "5 20:0", "5 22:0"}));
  Rec dated = CalendarRule({F::Quarter1, F::QuarterMonth3, F::Week1, F::Week2, F::Week3, F::Week4, F::LastWeek,
                            F::Monday, F::Tuesday, F::Wednesday, F::Thursday, F::Friday, F::Saturday, F::Sunday},
                           "1");
  dated.Set(F::ByDate, "1").Set(F::Day, "07").Set(F::Month, "03").Set(F::Year, "2013");
  dated.Set(F::WithTime, "1").Set(F::Hour, "12").Set(F::Minute, "00");
  EXPECT_EQ(FiringsOver(dated.line, 2013, 3, 5, 3), Minutes{"7 12:0"});
}

TEST(ReminderRules, AdvanceNoticesOnceADayWithTheirCount) {
  Rec r = DateRule("10", "03", "2013", "1", "10", "30");
  r.Set(F::WeekAhead, "1");
  TaskList list{r.line};
  std::vector<std::string> seen;
  for (int d = 1; d <= 11; ++d)
    for (int m = 0; m < 24 * 60; m += 7)
      for (const Firing& f : CheckReminders(list, {2013, 3, d, m / 60, m % 60}).firings)
        seen.push_back(std::to_string(d) + " " + std::to_string(f.daysAhead) + " " + f.headline);
  EXPECT_EQ(seen, (Minutes{"3 7 Позвонить - через 7д.", "4 6 Позвонить - через 6д.", "5 5 Позвонить - через 5д.",
                           "6 4 Позвонить - через 4д.", "7 3 Позвонить - через 3д.", "8 2 Позвонить - через 2д.",
                           "9 1 Позвонить - через 1д.", "10 0 Позвонить"}));
  // Without "Напоминать за 7 дней" it stays silent until the day.
  Rec quiet = DateRule("10", "03", "2013", "1", "10", "30");
  EXPECT_EQ(FiringsOver(quiet.line, 2013, 3, 7, 4), Minutes{"10 10:30"});
}

TEST(ReminderRules, MissedRuleBranches) {
  struct Case {
    const char *day, *month, *year;
    const char* stateAfter;
  } cases[] = {
      {"01", "03", "2013", "-1"},    // a fixed date that passed
      {"ALL", "02", "2013", "-1"},   // every day of a past month
      {"ALL", "ALL", "2012", "-1"},  // every day of a past year
      {"ALL", "02", "ALL", "-1"},    // an earlier month of this year
      {"01", "ALL", "2012", "-1"},   // a monthly date in a past year
      {"01", "ALL", "2013", "1"},    // a monthly date this year: next month comes
      {"01", "03", "ALL", "1"},      // a yearly date: next year comes
      {"20", "03", "2013", "1"},     // still ahead
  };
  for (const Case& c : cases) {
    TaskList list{DateRule(c.day, c.month, c.year, "1", "10", "30").line};
    PassResult r = CheckReminders(list, {2013, 3, 5, 12, 0});
    EXPECT_TRUE(r.firings.empty());
    EXPECT_EQ(GetTaskField(list[0], F::ReminderState), c.stateAfter) << c.day << "/" << c.month << "/" << c.year;
    EXPECT_FALSE(r.bookChanged);  // marking missed does not mark the book changed
  }
  // A missed reminder is still examined and fires when its rule matches again, staying -1.
  TaskList list{DateRule("ALL", "02", "ALL", "1", "10", "30").Set(F::ReminderState, "-1").line};
  EXPECT_EQ(CheckReminders(list, {2014, 2, 3, 10, 30}).firings.size(), 1u);
  EXPECT_EQ(GetTaskField(list[0], F::ReminderState), "-1");
}

TEST(ReminderRules, CalendarPatternWithLastWeek) {
  // Quarter 1, first month of the quarter, last week, Friday: in 2013 only 25 January.
  Rec r = CalendarRule({F::Quarter1, F::QuarterMonth1, F::LastWeek, F::Friday}, "1");
  std::vector<std::string> days;
  TaskList list{r.line};
  for (int month = 1; month <= 12; ++month)
    for (int d = 1; d <= dates::DaysInMonth(month, 2013); ++d)
      if (!CheckReminders(list, {2013, month, d, 9, 0}).firings.empty())
        days.push_back(std::to_string(d) + "." + std::to_string(month));
  EXPECT_EQ(days, Minutes{"25.1"});

  struct Case {
    int day, month, year;
    std::initializer_list<F> weeks;
    bool fires;
  } cases[] = {
      {22, 2, 2013, {F::Week4}, true},       // week 4 of February 2013
      {22, 2, 2013, {F::LastWeek}, true},    // week 4 falls back to "Посл." in the last week
      {22, 3, 2013, {F::LastWeek}, false},   // but 22 March 2013 is not in the last week
      {28, 2, 2013, {F::Week4}, false},      // 28 February 2013 is in week 5
      {21, 2, 2013, {F::LastWeek}, false},   // day 21 is never the last week
      {30, 9, 2013, {F::LastWeek}, true},    // week 6 counts as 5
      {30, 9, 2013, {F::Week4}, false},
      {1, 9, 2013, {F::Week1}, true},        // 1 September 2013 is a Sunday: week 1
      {2, 9, 2013, {F::Week2}, true},        // and the Monday after opens week 2
  };
  for (const Case& c : cases) {
    std::vector<F> flags(c.weeks);
    for (F f : {F::Quarter1, F::Quarter2, F::Quarter3, F::Quarter4, F::QuarterMonth1, F::QuarterMonth2,
                F::QuarterMonth3, F::Monday, F::Tuesday, F::Wednesday, F::Thursday, F::Friday, F::Saturday,
                F::Sunday})
      flags.push_back(f);
    Rec rec = CalendarRule({}, "1");
    for (F f : flags) rec.Set(f, "1");
    TaskList one{rec.line};
    EXPECT_EQ(CheckReminders(one, {c.year, c.month, c.day, 9, 0}).firings.size(), c.fires ? 1u : 0u)
        << c.day << "." << c.month;
  }
}

TEST(ReminderRules, CalendarPermanentAndTimed) {
  auto every = {F::Quarter1, F::QuarterMonth3, F::Week1, F::Week2, F::Week3, F::Week4, F::LastWeek, F::Tuesday};
  Rec once = CalendarRule(every, "0");
  EXPECT_EQ(FiringsOver(once.line, 2013, 3, 1, 31, 60), Minutes{"5 0:0"});
  EXPECT_EQ(GetTaskField(once.line, F::ReminderState), "0");
  Rec permanent = CalendarRule(every, "1");
  EXPECT_EQ(FiringsOver(permanent.line, 2013, 3, 1, 31, 60), (Minutes{"5 0:0", "12 0:0", "19 0:0", "26 0:0"}));
  EXPECT_EQ(GetTaskField(permanent.line, F::ReminderState), "1");
  Rec timed = CalendarRule(every, "1", "1", ">17", "45");
  EXPECT_EQ(FiringsOver(timed.line, 2013, 3, 5, 8, 1), (Minutes{"5 17:46", "12 17:46"}));
  Rec hourly = CalendarRule(every, "1", "1", "ALL", "05");
  EXPECT_EQ(FiringsOver(hourly.line, 2013, 3, 5).size(), 24u);
}

TEST(ReminderRules, FiringDecisions) {
  struct Case {
    const char *beep, *wav;
    ReminderSound sound;
  } sounds[] = {
      {"1", "C:\\a.wav", ReminderSound::kBeep},  // the speaker wins over a file
      {"0", "C:\\a.wav", ReminderSound::kWave},
      {"0", "a.w", ReminderSound::kNone},  // three characters are not a file
      {"", "", ReminderSound::kNone},
  };
  for (const Case& c : sounds) {
    TaskList list{DateRule("ALL", "ALL", "ALL", "1", "10", "30").Set(F::PcBeep, c.beep).Set(F::SoundFile, c.wav).line};
    PassResult r = CheckReminders(list, {2013, 3, 5, 10, 30});
    ASSERT_EQ(r.firings.size(), 1u);
    EXPECT_EQ(r.firings[0].sound, c.sound) << c.beep << " " << c.wav;
    EXPECT_EQ(r.firings[0].soundFile, c.sound == ReminderSound::kWave ? c.wav : "");
  }
  // Texts with their line breaks restored; the stamps of each kind; what marks the book.
  struct Stamp {
    Rec rec;
    Moment at;
    const char* stamp;
    bool bookChanged;
  } stamps[] = {
      {DateRule("05", "03", "2013", "0", "10", "30"), {2013, 3, 5, 0, 0}, "5/3/2013", true},
      {DateRule("05", "03", "2013", "1", "10", "30"), {2013, 3, 5, 10, 30}, "5/3/2013 10:30", true},
      {DateRule("05", "03", "2013", "1", "ALL", "07"), {2013, 3, 5, 9, 7}, "5/3/2013 9:7", true},
      {Periodic("10", "0", "0", "5"), {2013, 3, 5, 10, 5}, "5/3/2013 10:5", false},
  };
  for (Stamp& s : stamps) {
    s.rec.Set(F::Notes, "первая\r\nвтораяEOR:третья");
    TaskList list{s.rec.line};
    PassResult r = CheckReminders(list, s.at);
    ASSERT_EQ(r.firings.size(), 1u) << s.stamp;
    EXPECT_EQ(r.firings[0].notes, "первая\r\nвторая\rтретья");
    EXPECT_EQ(GetTaskField(list[0], F::LastFired), s.stamp);
    EXPECT_EQ(r.bookChanged, s.bookChanged) << s.stamp;
    EXPECT_EQ(r.changedRecords, std::vector<size_t>{0});
  }
  EXPECT_EQ(TodayStamp({2013, 3, 5, 7, 4}), "5/3/2013");
  EXPECT_EQ(MinuteStamp({2013, 3, 5, 7, 4}), "7:4");
}

TEST(ReminderRules, HostileRecordsAndMoments) {
  TaskList list{
      "1|2|3",  // far too short: no fields to read or stamp
      DateRule("99", "99", "999999999", "1", ">99999999999", "-2147483648").line,
      Periodic("-999999999", "x", "-1", "0").line,
      // Escaped separators shift the fields so LastFired is missing: left alone.
      std::string("A#|") + std::string(13, '|') + "1" + std::string(20, '|'),
  };
  TaskList before = list;
  EXPECT_TRUE(CheckReminders(list, {2013, 3, 5, 10, 30}).firings.empty());
  EXPECT_FALSE(CheckReminders(list, {2013, 2, 29, 10, 30}).ran);  // not a real day
  EXPECT_FALSE(CheckReminders(list, {2013, 3, 5, 24, 0}).ran);
  EXPECT_EQ(list[0], before[0]);
  EXPECT_EQ(list[3], before[3]);
}

// ---- catch-up and the idle tick ---------------------------------------------------------

TEST(ReminderCatchUp, SkippedMinutesOfTheCurrentDay) {
  struct Case {
    Moment previous, now;
    size_t count;
    const char* first;
  } cases[] = {
      {{2013, 3, 5, 10, 20}, {2013, 3, 5, 10, 21}, 0, ""},  // nothing skipped
      {{2013, 3, 5, 10, 20}, {2013, 3, 5, 10, 20}, 0, ""},
      {{2013, 3, 5, 10, 20}, {2013, 3, 5, 10, 40}, 19, "10:21"},
      {{2013, 3, 4, 23, 50}, {2013, 3, 5, 0, 10}, 10, "0:0"},  // only minutes of today
      {{2013, 3, 5, 10, 40}, {2013, 3, 5, 10, 20}, 0, ""},     // the clock went back
      {{2013, 3, 5, 0, 0}, {2013, 3, 5, 23, 59}, 1438, "0:1"},
  };
  for (const Case& c : cases) {
    auto minutes = SkippedMinutes(c.previous, c.now);
    ASSERT_EQ(minutes.size(), c.count);
    if (c.count) {
      EXPECT_EQ(Hm(minutes[0].hour * 60 + minutes[0].minute), c.first);
    }
  }
}

TEST(ReminderCatchUp, AMinuteThatPassedUnseenFiresLate) {
  TaskList list{DateRule("05", "03", "2013", "1", "10", "30").line, Periodic("10", "0", "0", "5").line};
  PassResult r = CheckRemindersSince(list, {2013, 3, 5, 10, 20}, {2013, 3, 5, 10, 42});
  ASSERT_EQ(r.firings.size(), 2u);
  // The periodic record was due at 10:25, 10:30 ... 10:40: shown once, for 10:40.
  EXPECT_EQ(r.firings[0].record, 0u);
  EXPECT_EQ(r.firings[0].due, (Moment{2013, 3, 5, 10, 30}));
  EXPECT_EQ(r.firings[1].due, (Moment{2013, 3, 5, 10, 40}));
  EXPECT_EQ(GetTaskField(list[0], F::ReminderState), "0");
  EXPECT_EQ(GetTaskField(list[1], F::LastFired), "5/3/2013 10:40");
  EXPECT_EQ(r.minutesChecked, 22);
  // Without a skipped minute nothing is caught up: the 10:30 reminder stays unfired.
  TaskList same{DateRule("05", "03", "2013", "1", "10", "30").line};
  EXPECT_TRUE(CheckRemindersSince(same, {2013, 3, 5, 10, 31}, {2013, 3, 5, 10, 32}).firings.empty());
}

// Random records over the values the rules distinguish.
std::string RandomRecord(std::mt19937& rng) {
  auto pick = [&rng](std::initializer_list<const char*> v) {
    return std::string(v.begin()[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)]);
  };
  Rec r;
  r.Set(F::Headline, "R").Set(F::ReminderState, pick({"1", "1", "-1", "0"}));
  r.Set(F::Periodic, pick({"0", "0", "0", "1"})).Set(F::ByDate, pick({"0", "1"})).Set(F::ByCalendar, pick({"0", "1"}));
  r.Set(F::Day, pick({"ALL", "05", "06", "04", "31"})).Set(F::Month, pick({"ALL", "03", "02", "04"}));
  r.Set(F::Year, pick({"ALL", "2013", "2012"})).Set(F::WithTime, pick({"0", "1", ""}));
  r.Set(F::Hour, pick({"ALL", "10", ">10", "0", "23", "1"})).Set(F::Minute, pick({"0", "01", "30", "59", "5"}));
  r.Set(F::StartHour, pick({"10", "0", "23"})).Set(F::StartMinute, pick({"0", "3"}));
  r.Set(F::WeekAhead, pick({"0", "1"})).Set(F::Permanent, pick({"0", "1", ""}));
  r.Set(F::LastFired, pick({"", "", "5/3/2013", "5/3/2013 10:30", "4/3/2013 23:59", "10:30"}));
  for (int k = static_cast<int>(F::Quarter1); k <= static_cast<int>(F::Sunday); ++k)
    r.Set(static_cast<F>(k), pick({"1", "1", "0"}));
  return r.line;
}

std::vector<std::string> Describe(const PassResult& r) {
  std::vector<std::string> out;
  for (const Firing& f : r.firings)
    out.push_back(std::to_string(f.record) + "@" + TimeStamp(f.due) + "+" + std::to_string(f.daysAhead));
  return out;
}

TEST(ReminderCatchUp, SameStampsAndStatesAsCheckingEveryMinute) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    TaskList caughtUp;
    for (int i = 0; i < 30; ++i) caughtUp.push_back(RandomRecord(rng));
    TaskList minuteByMinute = caughtUp;
    Moment previous{2013, 3, 5, 9, static_cast<int>(rng() % 60)};
    Moment now{2013, 3, 5, 10 + static_cast<int>(rng() % 3), static_cast<int>(rng() % 60)};
    PassResult caught = CheckRemindersSince(caughtUp, previous, now);

    std::vector<Moment> minutes = SkippedMinutes(previous, now);
    minutes.push_back(now);
    std::vector<std::pair<size_t, std::string>> all;
    for (const Moment& m : minutes) {
      PassResult one = CheckReminders(minuteByMinute, m);
      std::vector<std::string> described = Describe(one);
      for (size_t k = 0; k < one.firings.size(); ++k) all.emplace_back(one.firings[k].record, described[k]);
    }
    std::vector<std::string> lastOfEach;
    for (size_t k = 0; k < all.size(); ++k) {
      bool firesLater = false;
      for (size_t j = k + 1; j < all.size(); ++j) firesLater |= all[j].first == all[k].first;
      if (!firesLater) lastOfEach.push_back(all[k].second);
    }
    EXPECT_EQ(Describe(caught), lastOfEach) << "round " << round;
    EXPECT_EQ(caughtUp, minuteByMinute) << "round " << round;
  }
}

TEST(ReminderRules, ASecondPassAtTheSameMinuteDoesNothing) {
  std::mt19937 rng(3);
  for (int round = 0; round < 100; ++round) {
    TaskList list;
    for (int i = 0; i < 20; ++i) list.push_back(RandomRecord(rng));
    Moment at{2013, 3, 4 + static_cast<int>(rng() % 3), static_cast<int>(rng() % 24), static_cast<int>(rng() % 60)};
    CheckReminders(list, at);
    TaskList after = list;
    PassResult again = CheckReminders(list, at);
    EXPECT_TRUE(again.firings.empty()) << Describe(again)[0];
    EXPECT_TRUE(again.changedRecords.empty());
    EXPECT_EQ(list, after);
  }
}

TaskBook LoadedBook(const testing::ScratchFolder& dir, const std::string& name, const TaskList& records) {
  testing::Spit(dir / name, RecordFileBytes(records));
  TaskBook book;
  LoadTaskFile(book, dir / name, {4, 3, 2013});
  return book;
}

TEST(ReminderScheduler, IdleTicksFireExactlyWhatEveryTickPassesFire) {
  testing::ScratchFolder dir;
  std::mt19937 rng(11);
  for (int round = 0; round < 10; ++round) {
    TaskList records;
    for (int i = 0; i < 25; ++i) records.push_back(RandomRecord(rng));
    TaskBook scheduled = LoadedBook(dir, "a.dbw", records);
    TaskBook everyTick = LoadedBook(dir, "b.dbw", records);
    ReminderScheduler scheduler;
    Moment now{2013, 3, 4, 23, 50}, previous{};
    int idle = 0;
    for (int tick = 0; tick < 300; ++tick) {
      int step = static_cast<int>(rng() % 16);
      if (step == 0) {
        now.minute += 1;
      } else if (step == 1) {
        now.minute += 2 + static_cast<int>(rng() % 40);
      } else if (step <= 3) {
        // An edit between two ticks of the same minute: only the book tells.
        size_t i = rng() % records.size();
        std::string line = RandomRecord(rng);
        scheduled.SetRecord(i, line);
        everyTick.SetRecord(i, line);
      }
      while (now.minute >= 60) now.minute -= 60, now.hour += 1;
      if (now.hour >= 24) now.hour -= 24, now.day += 1;
      PassResult fromScheduler = scheduler.Tick(scheduled, now);
      PassResult fromPass = RunReminderPass(everyTick, tick ? &previous : nullptr, now);
      idle += !fromScheduler.ran;
      ASSERT_EQ(Describe(fromScheduler), Describe(fromPass)) << "round " << round << " tick " << tick;
      ASSERT_EQ(fromScheduler.bookChanged, fromPass.bookChanged);
      previous = now;
    }
    EXPECT_EQ(scheduled.records(), everyTick.records());
    EXPECT_EQ(scheduled.state(), everyTick.state());
    EXPECT_EQ(scheduled.todayText(), TodayText(DateOf(now)));  // loaded on the 4th
    EXPECT_GT(idle, 150);
  }
}

}  // namespace
}  // namespace vm::tasks
