// Put-off reminders ("Отложить на"): a reminder shown in its window can be asked to come
// back later. The snoozes of a task book live in a small file beside it ("work.dbw" keeps
// them in "work.dbw.snz"), so the records and their file format stay as they are and an
// older program still reads the book. A snooze names its record by a key made from what
// the record's reminder says and when it comes; a record deleted since, or whose reminder
// was rewritten, no longer has that key, and its snooze is dropped. Nothing here reads
// the clock: the moments come from the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/reminders.h"

namespace vm::tasks {

// The drop-down's choices, in its order.
enum class SnoozeSpan : int { k5Minutes, k10Minutes, k15Minutes, k30Minutes, kHour, kTomorrow };
inline constexpr int kSnoozeSpanCount = 6;
const std::vector<std::string>& SnoozeSpanTexts();  // cp1251, in SnoozeSpan order
extern const char* const kSnoozeButtonText;         // "Отложить на"
extern const char* const kCloseAllText;             // "Закрыть все"

// The moment a number of minutes later (the date rolls over as it must); an invalid
// moment comes back unchanged.
Moment AddMinutes(const Moment& m, int minutes);
// When a reminder put off at `now` comes back: so many minutes later, or tomorrow at the
// same hour and minute.
Moment SnoozeUntil(const Moment& now, SnoozeSpan span);

// The identity of a record for its snoozes: 16 hex digits over what its reminder says
// and when it comes: the headline, the notes, the date and the reminder rule (the
// "По дате"/"По дню" boxes, the times, "за неделю" and "Постоянное сообщение"). Marking
// the status or the sticker mark, moving the record between views, groups or places in
// a view, another sound, and what a firing stamps all leave a snooze standing. Short
// lines read as padded ones.
std::string RecordKey(std::string_view line);
std::string RecordKey(const TaskFieldReader& fields);  // the same, from a reader of the line
// The key side files held before it was narrowed to what and when: the same hash over
// every field but the view orders, ReminderState and LastFired. A snooze whose key is
// the record's former key is the record's, and takes its present key.
std::string FormerRecordKey(std::string_view line);

struct Snooze {
  Moment at;          // the minute it comes back
  int daysAhead = 0;  // an advance notice's days as of that minute ("- через Nд.")
  std::string key;    // RecordKey of the record
  friend bool operator==(const Snooze&, const Snooze&) = default;
};

// The snooze of a firing shown at `now`. An advance notice counts its days down to the
// moment it comes back; on or after its day it comes back as a plain reminder.
Snooze SnoozeFiring(const Firing& firing, const Moment& now, SnoozeSpan span);

// ---- the side file ----------------------------------------------------------------------
// A header line, then one snooze a line: "YYYY-MM-DD HH:MM|days|key". ASCII only.
extern const char* const kSnoozeFileHeader;  // "Velmoria snoozes 1"
// The book's path with ".snz" added; empty for a book without a file.
std::string SnoozeFilePath(const std::string& bookPath);
std::string SnoozeFileText(const std::vector<Snooze>& snoozes);

struct SnoozeParse {
  std::vector<Snooze> snoozes;
  bool header = false;   // the first line is the header; without it nothing is read
  int badLines = 0;      // lines that are no snooze, skipped
  int firstBadLine = 0;  // 1-based; 0 when none
};
SnoozeParse ParseSnoozeFile(std::string_view text);

// ---- the decisions of a pass -----------------------------------------------------------

struct SnoozePass {
  std::vector<Firing> firings;  // in the order they came due
  bool changed = false;         // a snooze fired, was dropped or took its record's present key
};
// The snoozes due at `now` fire once each, however late the pass (after a sleep, the
// ones whose minutes went by fire together on waking), and leave the list; a snooze
// whose record is no longer in the records is dropped; the rest wait.
SnoozePass RunSnoozes(std::vector<Snooze>& snoozes, const TaskList& records, const Moment& now);

// The snoozes of the current task book, read from and written to its side file.
class SnoozeStore {
 public:
  // Reads the side file of the book's file when it is not the one already read (at the
  // first call, and after another file was opened or made).
  void Follow(const TaskBook& book);
  // Follow for "Сохранить как": the book goes on under its new file, and so do the
  // snoozes pending for it (the old file's side file keeps its own).
  void CarryTo(const TaskBook& book);
  const std::vector<Snooze>& snoozes() const { return list_; }
  const std::string& path() const { return path_; }
  // Grows on every change of the list.
  uint64_t revision() const { return revision_; }

  // Adds a snooze, replacing one of the same record, and writes the file. False when
  // the store follows no file or the file could not be written (the snooze still holds
  // for this run).
  bool Add(Snooze snooze);
  // Runs the pass's decisions on the list and writes the file when they changed it.
  // A book not loaded keeps its snoozes untouched.
  SnoozePass Run(const TaskBook& book, const Moment& now);
  // The text for the user when the last write failed, given once per file; empty
  // otherwise.
  std::string TakeError();

 private:
  bool Write();

  bool followed_ = false;
  std::string bookPath_, path_;
  std::vector<Snooze> list_;
  uint64_t revision_ = 0;
  bool failed_ = false, reported_ = false;
};

}  // namespace vm::tasks
