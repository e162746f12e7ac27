// Calendar arithmetic of the whole program: the title text, the date files and the
// reminder rules all use these, so there is one implementation. Gregorian calendar,
// integer arithmetic with truncating division, valid for 1901-2099.
#pragma once

namespace vm::dates {

struct Date {
  int day = 0, month = 0, year = 0;  // month 1-12
  friend bool operator==(const Date&, const Date&) = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int month, int year);
// 0 = Monday ... 6 = Sunday.
int Weekday(int day, int month, int year);
// Differences of serials are differences in days.
int DaySerial(int day, int month, int year);
// 1 January is day 1.
int DayOfYear(int day, int month, int year);
// The n-th weekday w (0-6) of a month; n = 5 gives the last such weekday.
int NthWeekday(int n, int weekday, int month, int year);
Date AddDays(Date date, int days);
Date SubtractDays(Date date, int days);

// The genitive month names ("января" ...) and weekday abbreviations ("Пн" ...), cp1251.
const char* MonthGenitive(int month);  // 1-12
const char* WeekdayAbbrev(int weekday);  // 0-6

}  // namespace vm::dates
