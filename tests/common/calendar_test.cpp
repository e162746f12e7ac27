#include "common/calendar.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vm::dates {
namespace {

namespace chr = std::chrono;

// The checks below lean on the standard library's civil calendar and on computations
// written independently of the ones under test, never on a restatement of them.
chr::sys_days ToSys(Date d) {
  return chr::sys_days{chr::year{d.year} / chr::month{static_cast<unsigned>(d.month)} /
                       chr::day{static_cast<unsigned>(d.day)}};
}
Date FromSys(chr::sys_days s) {
  chr::year_month_day ymd{s};
  return Date{static_cast<int>(static_cast<unsigned>(ymd.day())),
              static_cast<int>(static_cast<unsigned>(ymd.month())), static_cast<int>(ymd.year())};
}

// Anonymous Gregorian algorithm (Meeus, Jones, Butcher).
Date MeeusGregorianEaster(int y) {
  int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
  int h = (19 * a + b - d - g + 15) % 30, i = c / 4, k = c % 4;
  int l = (32 + 2 * e + 2 * i - h - k) % 7;
  int m = (a + 11 * h + 22 * l) / 451;
  int t = h + l - 7 * m + 114;
  return Date{t % 31 + 1, t / 31, y};
}

// Meeus's Julian algorithm; the Julian calendar runs 13 days behind from March 1900 to
// February 2100.
Date MeeusJulianEasterAsGregorian(int y) {
  int a = y % 4, b = y % 7, c = y % 19;
  int d = (19 * c + 15) % 30;
  int e = (2 * a + 4 * b - d + 34) % 7;
  int t = d + e + 114;
  return FromSys(ToSys(Date{t % 31 + 1, t / 31, y}) + chr::days{13});
}

// The fixed Hebrew calendar: Rosh Hashanah from the molad of Tishrei with its
// postponements, as a day count from 1 January of year 1 (day 1).
long long HebrewElapsedDays(long long year) {
  long long months = (235 * year - 234) / 19;
  long long parts = 12084 + 13753 * months;
  long long days = 29 * months + parts / 25920;
  return (3 * (days + 1)) % 7 < 3 ? days + 1 : days;
}
long long HebrewNewYear(long long year) {
  const long long kEpoch = -1373427;
  long long ny0 = HebrewElapsedDays(year - 1), ny1 = HebrewElapsedDays(year),
            ny2 = HebrewElapsedDays(year + 1);
  long long correction = ny2 - ny1 == 356 ? 2 : ny1 - ny0 == 382 ? 1 : 0;
  return kEpoch + ny1 + correction;
}
// 15 Nisan lies 163 days before the next Rosh Hashanah in every year type.
Date PassoverFromHebrewCalendar(int gregorianYear) {
  long long fixed = HebrewNewYear(gregorianYear + 3761) - 163;
  const long long kUnixEpochFixed = 719163;  // 1 January 1970
  return FromSys(chr::sys_days{chr::days{fixed - kUnixEpochFixed}});
}

TEST(Calendar, EasterAgreesWithIndependentComputationsFor1901To2099) {
  for (int y = 1901; y <= 2099; ++y) {
    EXPECT_EQ(OrthodoxEaster(y), MeeusJulianEasterAsGregorian(y)) << y;
    EXPECT_EQ(CatholicEaster(y), MeeusGregorianEaster(y)) << y;
    EXPECT_EQ(JewishEaster(y), PassoverFromHebrewCalendar(y)) << y;
    EXPECT_EQ(Weekday(OrthodoxEaster(y).day, OrthodoxEaster(y).month, y), 6) << y;
    EXPECT_EQ(Weekday(CatholicEaster(y).day, CatholicEaster(y).month, y), 6) << y;
  }
}

TEST(Calendar, EasterKnownDates) {
  struct Case {
    int year;
    Date orthodox, catholic, jewish;
  } cases[] = {
      {2013, {5, 5, 2013}, {31, 3, 2013}, {26, 3, 2013}},  {2024, {5, 5, 2024}, {31, 3, 2024}, {23, 4, 2024}},
      {2025, {20, 4, 2025}, {20, 4, 2025}, {13, 4, 2025}}, {2026, {12, 4, 2026}, {5, 4, 2026}, {2, 4, 2026}},
      {1901, {14, 4, 1901}, {7, 4, 1901}, {4, 4, 1901}},   {2099, {12, 4, 2099}, {12, 4, 2099}, {5, 4, 2099}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OrthodoxEaster(c.year), c.orthodox) << c.year;
    EXPECT_EQ(CatholicEaster(c.year), c.catholic) << c.year;
    EXPECT_EQ(JewishEaster(c.year), c.jewish) << c.year;
  }
}

TEST(Calendar, EveryDayOf1901To2099MatchesTheCivilCalendar) {
  Date prev{31, 12, 1900};
  int prevSerial = DaySerial(prev);
  for (chr::sys_days s = ToSys({1, 1, 1901}); s <= ToSys({31, 12, 2099}); s += chr::days{1}) {
    Date d = FromSys(s);
    ASSERT_EQ(Weekday(d.day, d.month, d.year), static_cast<int>(chr::weekday{s}.iso_encoding()) - 1)
        << d.day << "." << d.month << "." << d.year;
    ASSERT_EQ(DaySerial(d), prevSerial + 1) << d.day << "." << d.month << "." << d.year;
    ASSERT_EQ(AddDays(prev, 1), d);
    ASSERT_EQ(SubtractDays(d, 1), prev);
    ASSERT_EQ(IsFridayThe13th(d.day, d.month, d.year), d.day == 13 && chr::weekday{s} == chr::Friday);
    ASSERT_EQ(DayOfYear(d.day, d.month, d.year),
              (s - chr::sys_days{chr::year{d.year} / chr::January / 1}).count() + 1);
    prev = d;
    prevSerial = DaySerial(d);
  }
}

TEST(Calendar, AddAndSubtractLargeCountsAcrossYearsAndLeapDays) {
  Date starts[] = {{1, 1, 1901}, {28, 2, 2000}, {29, 2, 2024}, {31, 12, 1999}, {1, 3, 2100}, {15, 7, 2025}};
  int counts[] = {0, 1, 59, 60, 365, 366, 367, 1461, 36524, 146097, 146098, 999999};
  for (Date start : starts) {
    for (int n : counts) {
      EXPECT_EQ(AddDays(start, n), FromSys(ToSys(start) + chr::days{n})) << start.year << "+" << n;
      EXPECT_EQ(AddDays(start, -n), FromSys(ToSys(start) - chr::days{n})) << start.year << "-" << n;
      EXPECT_EQ(SubtractDays(start, n), FromSys(ToSys(start) - chr::days{n})) << start.year << "-" << n;
    }
  }
}

TEST(Calendar, LeapYearsAndMonthLengths) {
  struct Case {
    int year;
    bool leap;
  } cases[] = {{1900, false}, {1904, true}, {2000, true}, {2023, false}, {2024, true}, {2100, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
    EXPECT_EQ(DaysInMonth(2, c.year), c.leap ? 29 : 28) << c.year;
    EXPECT_EQ(DaysInYear(c.year), c.leap ? 366 : 365) << c.year;
  }
  EXPECT_EQ(DaysInMonth(0, 2025), 0);
  EXPECT_EQ(DaysInMonth(13, 2025), 0);
}

TEST(Calendar, NthWeekdayNamesTheNthOrTheLast) {
  struct Case {
    int n, weekday, month, year, day;
  } cases[] = {
      {5, 0, 5, 2025, 26},                         // last Monday of May
      {1, 6, 1, 2025, 5},                          // first Sunday of January
      {1, 6, 1, 2026, 4},   {5, 6, 11, 2025, 30},  // last Sunday of November, a fifth one
      {5, 6, 11, 2026, 29},                        // ... and a fourth one
      {5, 3, 2, 2024, 29},                         // leap February ends on a Thursday
      {5, 6, 2, 2026, 22},                         // February 2026 starts on a Sunday: a fifth falls out
      {3, 6, 6, 2025, 15},  {2, 4, 3, 2025, 14},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NthWeekday(c.n, c.weekday, c.month, c.year), c.day)
        << c.n << "/" << c.weekday << "/" << c.month;

  for (int year = 1901; year <= 2099; year += 7) {
    for (int month = 1; month <= 12; ++month) {
      for (int w = 0; w < 7; ++w) {
        int seen = 0, last = 0;
        for (int d = 1; d <= DaysInMonth(month, year); ++d) {
          if (Weekday(d, month, year) != w) continue;
          ++seen;
          last = d;
          if (seen <= 4) {
            ASSERT_EQ(NthWeekday(seen, w, month, year), d);
          }
        }
        ASSERT_EQ(NthWeekday(5, w, month, year), last);
      }
    }
  }
}

}  // namespace
TEST(Calendar, QuartersAndWeeksOfTheMonth) {
  EXPECT_EQ(QuarterOf(1), 1);
  EXPECT_EQ(QuarterOf(5), 2);
  EXPECT_EQ(QuarterOf(12), 4);
  EXPECT_EQ(MonthOfQuarter(4), 1);
  EXPECT_EQ(MonthOfQuarter(12), 3);
  struct Case {
    int day, month, year, week;
    bool lastWeek;
  } cases[] = {
      {1, 6, 2026, 1, false},  // the month starts on a Monday
      {7, 6, 2026, 1, false},  // its first Sunday
      {8, 6, 2026, 2, false},
      {1, 3, 2026, 1, false},  // the month starts on a Sunday: one day in week 1
      {2, 3, 2026, 2, false},
      {22, 3, 2026, 4, false},  // after the 21st, but neither in the last 7 days nor week 5
      {23, 3, 2026, 5, true},
      {22, 2, 2026, 4, true},  // February's last seven days
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.day * 10000 + c.month * 100);
    EXPECT_EQ(WeekOfMonth(c.day, c.month, c.year), c.week);
    EXPECT_EQ(InLastWeekOfMonth(c.day, c.month, c.year), c.lastWeek);
  }
}

}  // namespace vm::dates
