// The task book to and from iCalendar (RFC 5545), the format of calendar programs.
//
// Writing: every record is a VTODO: SUMMARY the headline, DESCRIPTION the notes, STATUS
// from the record's status, PRIORITY from its task group, CATEGORIES the sections it
// belongs to. A record without a reminder is due on its date (DUE, a whole day). A
// record with a reminder starts at the reminder's first firing (DTSTART) and carries a
// VALARM there, plus one announcing it daily for seven days ahead when the record asks
// for that; its rule becomes an RRULE only where the RRULE fires on exactly the minutes
// (or, for rules without a time, the days) the rule does. A rule no RRULE says exactly is
// written as X-VELMORIA-RULE in words and gets no RRULE at all, never an approximate one.
//
// Times are floating local times (no zone): the rules fire at minutes of the local clock
// of whatever machine runs them, and the book records no zone. A floating time says
// exactly that, and a calendar shows 9:30 as 9:30 wherever the person is; a VTIMEZONE of
// the exporting machine would pin the reminders to a zone the book never named.
//
// Reading: VTODO and VEVENT become new records (a VTODO a task, and a deadline when it
// has a DUE; a VEVENT a diary record on its day); a simple VALARM becomes the reminder,
// and an RRULE the rules can express becomes its rule. Anything else is counted by kind
// and, where it is text (an RRULE no rule says), kept in the notes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/reminders.h"
#include "tasks/task_record.h"

namespace vm::tasks {

// What a record's reminder rule is in iCalendar terms.
struct RuleInCalendar {
  bool hasReminder = false;  // ReminderState "1" or "-1" with a rule kind
  bool allDay = true;        // DTSTART a date; else a floating date-time
  Moment start;              // the first firing from the export's day on
  bool startFound = false;   // the rule fires at all within the next years
  std::string rrule;         // empty: none (a one-time reminder, or inexpressible)
  std::string words;         // the rule in our words when no RRULE says it; else empty
  bool weekAhead = false;    // daily notices seven days ahead
};
RuleInCalendar DescribeRule(const std::string& record, const dates::Date& today);

struct IcsExport {
  std::string text;  // the .ics file
  int records = 0;
  int withoutRrule = 0;  // reminders written with X-VELMORIA-RULE
};
// `today` is the local day the first firings are counted from; `stampUtc` the DTSTAMP.
IcsExport TasksToIcs(const std::vector<std::string>& records, const dates::Date& today, const Moment& stampUtc);

struct IcsImport {
  std::vector<std::string> added;  // full records, in file order
  // What did not come in as it was, by kind ("VJOURNAL", "повторение без правила" ...).
  std::map<std::string, int> leftOut;
};
// `todayText` ("DD/MM/YYYY") dates a component without a date; times given in UTC are
// moved by `utcOffsetMinutes` to the local clock; times with a TZID are taken as the
// wall-clock times they are written as.
IcsImport ImportIcs(std::string_view bytes, const std::string& todayText, int utcOffsetMinutes);

// The report for the user; empty when everything came in.
std::string IcsImportReport(const IcsImport& import);

}  // namespace vm::tasks
