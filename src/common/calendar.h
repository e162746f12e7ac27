// Calendar arithmetic of the whole program: the title text, the date files and the
// reminder rules all use these, so there is one implementation. Gregorian calendar,
// integer arithmetic with truncating division, valid for 1901-2099: the day serials
// count a leap day in every fourth year and the Easter rules assume that range (the
// month lengths, weekdays and day stepping are sound for any positive year).
#pragma once

#include <string>

namespace vm::dates {

struct Date {
  int day = 0, month = 0, year = 0;  // month 1-12
  friend bool operator==(const Date&, const Date&) = default;
};

// The years the calendar computes. A day outside them is refused where it is typed or
// picked, rather than computed wrongly (1 March 2100 would follow a 29 February).
inline constexpr int kFirstCalendarYear = 1901;
inline constexpr int kLastCalendarYear = 2099;
bool InCalendarRange(int year);
// Why a day of `year` is refused, for the user (cp1251).
std::string YearRangeMessage(int year);

bool IsLeapYear(int year);
int DaysInMonth(int month, int year);  // 0 for a month outside 1-12
int DaysInYear(int year);
// A real calendar date: month 1-12, day within the month, year 1-9999.
bool IsValidDate(Date date);
// 0 = Monday ... 6 = Sunday.
int Weekday(int day, int month, int year);
// Differences of serials are differences in days. No range checks: day 31 of month 2
// has the serial of 3 March (2 March in a leap year), month 0 is December of the year
// before, month 13 January of the year after.
int DaySerial(int day, int month, int year);
inline int DaySerial(Date date) { return DaySerial(date.day, date.month, date.year); }
// 1 January is day 1.
int DayOfYear(int day, int month, int year);

// The quarter of a month (1-4) and the month's place in its quarter (1-3).
int QuarterOf(int month);
int MonthOfQuarter(int month);
// Weeks start on Monday; week 1 holds the 1st.
int WeekOfMonth(int day, int month, int year);
// After the 21st, and either within the month's last seven days or past its fourth week.
bool InLastWeekOfMonth(int day, int month, int year);
// The n-th weekday w (0-6) of a month; n = 5 gives the last such weekday (a fifth one
// past the month's end is taken back by a week). Only n = 1..5 lands inside the month.
int NthWeekday(int n, int weekday, int month, int year);
// Across month and year ends; a negative count goes the other way. The date must be a
// real one.
Date AddDays(Date date, int days);
Date SubtractDays(Date date, int days);

// Easter Sunday by the Julian computus, given as a Gregorian date (13 days added).
Date OrthodoxEaster(int year);
// Easter Sunday of the Gregorian calendar.
Date CatholicEaster(int year);
// The first day of Passover by Gauss's formula, given as a Gregorian date.
Date JewishEaster(int year);

// A Friday the 13th: the month begins on a Sunday and the day is the 13th.
bool IsFridayThe13th(int day, int month, int year);

// The genitive month names ("января" ...) and weekday abbreviations ("Пн" ...), cp1251.
const char* MonthGenitive(int month);  // 1-12
const char* WeekdayAbbrev(int weekday);  // 0-6

}  // namespace vm::dates

namespace vm {
// The main window's title for a given date (CAppUtil::DateTitle uses today's).
std::string TitleText(int day, int month, int year);
// Smallest whole number not below (day of year + weekday of 1 January) / 7.
int WeekNumber(int day, int month, int year);
}  // namespace vm
