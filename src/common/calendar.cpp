#include "common/calendar.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace vm::dates {

namespace {
const char* const kMonths[12] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                 "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
const char* const kWeekdays[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

// The computus formulas want a remainder that is never negative.
int Mod(int a, int n) {
  int r = a % n;
  return r < 0 ? r + n : r;
}

// Days from a date to the same date a year later; 29 February has no such date.
int YearAhead(Date d) {
  bool beforeLeapDay = d.month <= 2;
  return DaysInYear(beforeLeapDay ? d.year : d.year + 1);
}
int YearBack(Date d) {
  bool afterLeapDay = d.month > 2;
  return DaysInYear(afterLeapDay ? d.year : d.year - 1);
}
const int kDaysIn400Years = 146097;

bool IsLeapDay(Date d) { return d.month == 2 && d.day == 29; }
}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

bool InCalendarRange(int year) {
  return year >= kFirstCalendarYear && year <= kLastCalendarYear;
}

std::string YearRangeMessage(int year) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Год %i вне календаря программы: даты считаются для %i–%i годов.", year,
                kFirstCalendarYear, kLastCalendarYear);
  return buf;
}

bool IsValidDate(Date date) {
  return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= DaysInMonth(date.month, date.year);
}

int Weekday(int day, int month, int year) {
  int y = month < 3 ? year - 1 : year;
  int m = month < 3 ? month + 12 : month;
  int r = ((26 * m + 26) / 10 + (125 * y) / 100 + y / 400 + day - y / 100 - 2) % 7;
  return r < 0 ? r + 7 : r;
}

int DaySerial(int day, int month, int year) {
  int m, y;
  if (month <= 2) {
    m = month + 13;
    y = year - 1;
  } else {
    m = month + 1;
    y = year;
  }
  return (36525 * y) / 100 + (306 * m) / 10 + day;
}

int DayOfYear(int day, int month, int year) {
  int d = day;
  for (int m = 1; m < month; ++m) d += DaysInMonth(m, year);
  return d;
}

int NthWeekday(int n, int weekday, int month, int year) {
  int f = Weekday(1, month, year);
  int a = weekday - f;
  int day = a < 0 ? a + 7 * n + 1 : a + 7 * n - 6;
  if (day > DaysInMonth(month, year)) day -= 7;
  return day;
}

Date AddDays(Date date, int days) {
  if (days < 0) return SubtractDays(date, days == INT_MIN ? INT_MAX : -days);
  // Whole 400-year cycles and whole years first, so a large count costs little (the
  // date files allow any offset).
  date.year += 400 * (days / kDaysIn400Years);
  days %= kDaysIn400Years;
  while (days > 366 && !IsLeapDay(date)) {
    days -= YearAhead(date);
    ++date.year;
  }
  while (days > 0) {
    int left = DaysInMonth(date.month, date.year) - date.day;
    if (days <= left) {
      date.day += days;
      break;
    }
    days -= left + 1;
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

Date SubtractDays(Date date, int days) {
  if (days < 0) return AddDays(date, days == INT_MIN ? INT_MAX : -days);
  date.year -= 400 * (days / kDaysIn400Years);
  days %= kDaysIn400Years;
  while (days > 366 && !IsLeapDay(date)) {
    days -= YearBack(date);
    --date.year;
  }
  while (days > 0) {
    if (days < date.day) {
      date.day -= days;
      break;
    }
    days -= date.day;
    if (--date.month < 1) {
      date.month = 12;
      --date.year;
    }
    date.day = DaysInMonth(date.month, date.year);
  }
  return date;
}

Date OrthodoxEaster(int year) {
  int d = (19 * Mod(year, 19) + 15) % 30;
  int e = (6 * d + 4 * Mod(year, 7) + 2 * Mod(year, 4) + 6) % 7;
  int s = d + e;
  return s >= 27 ? Date{s - 26, 5, year} : Date{s + 4, 4, year};
}

Date CatholicEaster(int year) {
  int c = year / 100;
  int g = Mod(year, 19);
  int i = Mod(19 * g + c - (c - (c - 17) / 25) / 3 - c / 4 + 15, 30);
  i = i - (i / 28) * (1 - (i / 28) * (29 / (i + 1)) * ((21 - g) / 11));
  int j = Mod(year + year / 4 + year / 400 + i + 2 - c, 7);
  int l = i - j;
  int month = 3 + (l + 40) / 44;
  int day = l + 28 - 31 * (month / 4);
  return Date{day, month, year};
}

Date JewishEaster(int year) {
  int bigA = year + 3760;
  int a = Mod(12 * bigA + 17, 19);
  int b = Mod(bigA, 4);
  double q = 32.0440933 + 1.5542418 * a + 0.25 * b - 0.00317779 * bigA;
  // Gauss's test on the fractional part is made on q as printed with six decimals, so
  // the rounding of the printed text decides, not the binary value.
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", q);
  char* end = nullptr;
  long whole = std::strtol(text, &end, 10);
  long micro = 0;
  if (end && (*end == '.' || *end == ',')) micro = std::strtol(end + 1, nullptr, 10);
  int m = static_cast<int>(whole);
  double f = static_cast<double>(micro) / 1000000.0;
  int c = Mod(m + 3 * bigA + 5 * b + 5, 7);
  if (c == 2 || c == 4 || c == 6)
    m += 1;
  else if (c == 1 && a > 6 && f >= 0.63287037)
    m += 2;
  else if (c == 0 && a > 11 && f >= 0.89772376)
    m += 1;
  m += 13;
  if (m >= 1 && m <= 31) return Date{m, 3, year};
  if (m >= 32 && m <= 61) return Date{m - 31, 4, year};
  // Only far outside 1901-2099 does the count leave March and April.
  return AddDays(Date{1, 3, year}, m - 1);
}

bool IsFridayThe13th(int day, int month, int year) {
  return day == 13 && Weekday(1, month, year) == 6 && Weekday(day, month, year) == 4;
}

const char* MonthGenitive(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }
const char* WeekdayAbbrev(int weekday) { return weekday >= 0 && weekday <= 6 ? kWeekdays[weekday] : ""; }

int QuarterOf(int month) {
  return (month - 1) / 3 + 1;
}

int MonthOfQuarter(int month) {
  return (month - 1) % 3 + 1;
}

int WeekOfMonth(int day, int month, int year) {
  int s = day + Weekday(1, month, year);
  return s / 7 + (s % 7 > 0 ? 1 : 0);
}

bool InLastWeekOfMonth(int day, int month, int year) {
  return day > 21 && (day > DaysInMonth(month, year) - 7 || WeekOfMonth(day, month, year) > 4);
}

}  // namespace vm::dates

namespace vm {

std::string TitleText(int day, int month, int year) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Velmoria - %i %s %i  %s  %i нд.", day, dates::MonthGenitive(month), year,
                dates::WeekdayAbbrev(dates::Weekday(day, month, year)), WeekNumber(day, month, year));
  return buf;
}

int WeekNumber(int day, int month, int year) {
  int d = dates::DayOfYear(day, month, year);
  int b = dates::Weekday(1, 1, year);
  return (d + b + 6) / 7;
}

}  // namespace vm
