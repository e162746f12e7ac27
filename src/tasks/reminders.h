// The reminder rules: which records fire at a given local minute, which are announced
// days ahead, which become missed. Everything here is a function of the records and an
// explicit moment; nothing reads the clock. The Win32 side turns each Firing into its
// effects (monitor on, sound, message window).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace vm::tasks {

// A local minute. Valid: month 1-12, a day of that month, hour 0-23, minute 0-59, year
// 1-9999; the check does nothing at an invalid moment.
struct Moment {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  friend bool operator==(const Moment&, const Moment&) = default;
};
bool IsValidMoment(const Moment& m);
bool Earlier(const Moment& a, const Moment& b);
Moment MomentOf(const platform::LocalTime& t);
dates::Date DateOf(const Moment& m);

// The stamps kept in LastFired.
std::string TodayStamp(const Moment& m);   // "%i/%i/%i": day, month, year
std::string MinuteStamp(const Moment& m);  // "%i:%i": hour, minute (older files hold it)
std::string TimeStamp(const Moment& m);    // "%i/%i/%i %i:%i"

enum class ReminderSound { kNone, kBeep, kWave };

// What the message window and the speaker do for one firing.
inline constexpr int kBeepFrequency = 500;  // Hz
inline constexpr int kBeepMilliseconds = 500;
extern const char* const kMessageTemplate;   // "Сообщение": the dialog template
extern const char* const kMessageBandTitle;  // "  Напоминание."

struct Firing {
  size_t record = 0;     // index in the task list
  int daysAhead = 0;     // 0 = due now, 1..7 = an advance notice
  Moment due;            // the minute it fell due (earlier than now after a catch-up)
  std::string headline;  // as the window shows it: line breaks restored, " - через Nд." added
  std::string notes;     // the notes area is shown only when this is not empty
  ReminderSound sound = ReminderSound::kNone;
  std::string soundFile;     // for kWave; played synchronously
  bool switchedOff = false;  // ReminderState became "0"
  std::string key;           // RecordKey of the record as it fired (tasks/snoozes.h)
  bool snoozed = false;      // brought back by a snooze rather than by the rules
};

// The firing of a record's reminder: its texts and sound as the window shows them.
Firing FiringOf(const std::string& line, size_t index, int daysAhead, const Moment& due);
Firing FiringOf(const TaskFieldReader& fields, size_t index, int daysAhead, const Moment& due);

struct PassResult {
  bool ran = false;                    // false: an idle tick that did no reminder work
  std::vector<Firing> firings;         // in the order they fell due, then list order
  std::vector<size_t> changedRecords;  // records whose line changed (stamps, states)
  bool bookChanged = false;            // a firing marks the book changed; stamps and
                                       // missed marks of the check itself do not
  int minutesChecked = 0;              // 1 + the skipped minutes caught up
};

// One pass over the records at a moment: the periodic rule, else the date rule, else the
// calendar-pattern rule, for every record in state "1" or "-1". The records are updated in
// place (LastFired, ReminderState); the result says what fired and what changed.
PassResult CheckReminders(TaskList& records, const Moment& now);

// When a record's reminder would fire from a moment on (that minute included), found by
// taking the rules minute by minute as the timer's passes do, with LastFired and the
// state carried from firing to firing: each minute a firing falls due, advance notices
// included, at most `count` of them and none after `until`. Minutes whose verdict does
// not depend on the time of day are skipped a day at a time; a rule still silent after
// kForecastMinuteBudget minutes that did depend on it is taken as one that never fires.
struct ForecastFiring {
  Moment at;
  int daysAhead = 0;
  friend bool operator==(const ForecastFiring&, const ForecastFiring&) = default;
};
inline constexpr long kForecastMinuteBudget = 400000;
std::vector<ForecastFiring> ForecastFirings(const std::string& line, const Moment& from, int count,
                                            const Moment& until);

// The whole minutes of the current day strictly between the previous pass and now, in
// order; none when the previous pass is not earlier or the moment is invalid.
std::vector<Moment> SkippedMinutes(const Moment& previousPass, const Moment& now);

// A pass that first checks each skipped minute of the current day, in order, then now,
// so a reminder whose minute passed while the program was blocked or asleep fires late
// rather than never. Each record's firings in one such pass are shown once: a record due
// at several of the minutes gives one Firing, for the latest of them; the stamps and
// states are those of checking every minute. Without skipped minutes this is exactly
// CheckReminders.
PassResult CheckRemindersSince(TaskList& records, const Moment& previousPass, const Moment& now);

// The pass on a book: previousPass may be null (the first pass). A firing marks the book
// changed; the book's TodayText follows the moment of the pass.
PassResult RunReminderPass(TaskBook& book, const Moment* previousPass, const Moment& now);

// The timer's view of the check. A tick that finds neither the minute nor the book
// changed since the last pass does no reminder work: the rules depend on nothing else,
// and a pass repeated at the same minute over unchanged records fires and changes
// nothing, so what fires is exactly what a full pass on every tick would fire.
class SnoozeStore;
class ReminderScheduler {
 public:
  // With snoozes, the pass also brings back the snoozes of the book's file that are due
  // and drops those of records gone or changed (tasks/snoozes.h); their firings join the
  // rules' in the order they came due.
  // A resume or a clock change needs no call of its own: the minute has changed, so the
  // next tick runs a pass and checks the minutes that went by.
  PassResult Tick(TaskBook& book, const Moment& now, SnoozeStore* snoozes = nullptr);

 private:
  bool ran_ = false;
  Moment last_{};
  const TaskBook* book_ = nullptr;
  uint64_t revision_ = 0;
  const SnoozeStore* snoozes_ = nullptr;
  uint64_t snoozeRevision_ = 0;
};

}  // namespace vm::tasks
