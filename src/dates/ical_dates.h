// The two date files as an iCalendar file for calendar programs: every fixed date a
// yearly all-day event (RRULE:FREQ=YEARLY), a weekday date ("Вс3/06") a yearly event on
// that weekday of the month, and the feasts counted from Easter, which no RRULE can say,
// as this year's events. The year of birth or of the event goes into the description.
#pragma once

#include <string>
#include <string_view>

namespace vm::dates {

struct DatesIcs {
  std::string text;   // the .ics file
  int yearly = 0;     // events that repeat every year
  int thisYear = 0;   // events of the given year only (feasts counted from Easter)
  int skipped = 0;    // entry lines that give no day in the year (a day or month out of range)
};

// `birthdays` and `holidays` are the files' bytes (either may be empty; a file in the
// older format is read as its upgrade would make it); `year` the year of the first
// events and of the movable feasts; `stampUtc` the DTSTAMP ("YYYYMMDDTHHMMSSZ").
DatesIcs DatesToIcs(std::string_view birthdays, std::string_view holidays, int year, const std::string& stampUtc);

}  // namespace vm::dates
