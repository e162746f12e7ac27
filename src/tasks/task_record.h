// The task record: one line of 54 fields in the delimited record form ("|" between
// fields, "#" escaping a "|" inside a field). Every view of the tasks page, the editor,
// the sticker and the reminder check read and write records through these names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/calendar.h"

namespace vm::tasks {

enum class TaskField : int {
  Headline = 0,
  Notes = 1,
  DiaryOrder = 2,
  Date = 3,
  EditDate = 4,
  DeadlineFlag = 5,
  MiscFlag = 6,
  TaskFlag = 7,
  TaskOrder = 8,
  TaskGroup = 9,
  InfoFlag = 10,
  InfoOrder = 11,
  InfoMark = 12,
  ReminderState = 13,
  ByDate = 14,
  Day = 15,
  Month = 16,
  Year = 17,
  ByCalendar = 18,
  Quarter1 = 19,
  Quarter2 = 20,
  Quarter3 = 21,
  Quarter4 = 22,
  QuarterMonth1 = 23,
  QuarterMonth2 = 24,
  QuarterMonth3 = 25,
  Week1 = 26,
  Week2 = 27,
  Week3 = 28,
  Week4 = 29,
  LastWeek = 30,
  Monday = 31,
  Tuesday = 32,
  Wednesday = 33,
  Thursday = 34,
  Friday = 35,
  Saturday = 36,
  Sunday = 37,
  AllWeekdays = 38,
  WithTime = 39,
  Periodic = 40,
  StartHour = 41,
  StartMinute = 42,
  Hour = 43,
  Minute = 44,
  WeekAhead = 45,
  SoundFile = 46,
  Permanent = 47,
  LastFired = 48,
  PcBeep = 49,
  Status = 50,
  MiscOrder = 51,
  ProjectFlag = 52,
  ProjectOrder = 53,
};

inline constexpr int kTaskFieldCount = 54;
inline constexpr int kTaskSeparators = 53;

// The ordered array of record lines (line escapes undone): the only store of a book.
using TaskList = std::vector<std::string>;

// Field access over a record line, with the shared field reader and writer (a value is
// written by FieldText, so "Задача #" or "a|b" never moves a later field).
std::string GetTaskField(std::string_view line, TaskField field);
bool HasTaskField(std::string_view line, TaskField field);
void SetTaskField(std::string& line, TaskField field, std::string_view value);
// A field that reads exactly "1".
bool TaskFlagOn(std::string_view line, TaskField field);

// The fields of one record line found in a single pass, for code that reads many of
// them: each read gives exactly what GetTaskField, HasTaskField and TaskFlagOn give. The
// line is walked once, only as far as the fields asked for so far; it must outlive the
// reader and stay unchanged.
class TaskFieldReader {
 public:
  explicit TaskFieldReader(std::string_view line) : line_(line) {}
  bool Has(TaskField field) const;
  std::string Get(TaskField field) const;
  // What Get gives, as a view into the line when the field holds no "#" and else into
  // `buffer`, which then holds Get's text.
  std::string_view View(TaskField field, std::string& buffer) const;
  // The field equals `text` (which holds no "#").
  bool Is(TaskField field, std::string_view text) const;
  bool FlagOn(TaskField field) const { return Is(field, "1"); }
  // Where the field stands in the line, "#" included: its offset and length. The line
  // with that span replaced by FieldText(value) is what SetTaskField gives. The field
  // must be there (Has).
  std::pair<size_t, size_t> Span(TaskField field) const;
  // The field as it stands in the line, "#" included; empty when missing.
  std::string_view Raw(TaskField field) const;
  // visit(n, Raw(n)) for every field n of a record in order, from one walk of the line.
  template <class Visit>
  void EachRaw(Visit&& visit) const {
    Reach(kTaskFieldCount - 1);
    size_t begin = 0;
    for (int n = 0; n < kTaskFieldCount; ++n) {
      if (n > separators_) {
        visit(n, std::string_view());
        continue;
      }
      const size_t end = n < separators_ ? at_[n] : line_.size();
      visit(n, line_.substr(begin, end - begin));
      begin = end + 1;
    }
  }

 private:
  // Finds separators until field n is bounded or the line ends.
  void Reach(int n) const;
  std::string_view line_;
  mutable int separators_ = 0;  // found so far; separator k ends field k
  mutable size_t scanned_ = 0;  // the walk goes on from here
  // Eight places to spare: a word of separators is stored eight at a time.
  mutable std::array<uint32_t, kTaskFieldCount + 8> at_{};
};

// Numbers in records are decimal text; text that is not a number reads as 0, as do the
// digits after any non-digit. Values are held within +-1 000 000, so arithmetic on them
// cannot overflow whatever a file holds.
int ReadNumber(std::string_view text);
std::string NumberText(int value);  // "%i"

// The views of the tasks page, numbered as they are stored in "WORK"/"CHECK".
enum TaskView : int {
  kViewTasks = 1,
  kViewInfo = 2,
  kViewDeadlines = 3,
  kViewDiary = 4,
  kViewAll = 5,
  kViewSearch = 6,
  kViewMisc = 7,
  kViewPreviousWeek = 8,
  kViewWeek = 9,
  kViewNextWeek = 10,
  kViewActiveReminders = 11,
  kViewMissedReminders = 12,
  kViewSticker = 13,
  kViewProjects = 14,
};
inline bool IsTaskView(int view) { return view >= kViewTasks && view <= kViewProjects; }

// "DD/MM/YYYY": the date of new records.
std::string TodayText(const dates::Date& today);

// 54 empty fields.
std::string EmptyTaskRecord();
// A new record prepared for a view: dated today, with the section flag of the view
// ("Записи стикера" gives the sticker mark, Status "4").
std::string NewRecord(int view, const std::string& todayText);

// Lines shorter than a full record get empty trailing fields up to 53 separators, so
// every field can be written.
void PadTaskRecord(std::string& line);

}  // namespace vm::tasks
