#include "dates/calendar.h"

namespace vm::dates {

namespace {
const char* const kMonths[12] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                 "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
const char* const kWeekdays[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
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
  if (days < 0) return SubtractDays(date, -days);
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
  if (days < 0) return AddDays(date, -days);
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

const char* MonthGenitive(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }
const char* WeekdayAbbrev(int weekday) { return weekday >= 0 && weekday <= 6 ? kWeekdays[weekday] : ""; }

}  // namespace vm::dates
