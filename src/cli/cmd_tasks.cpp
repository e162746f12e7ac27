// Subcommands of the task book: loading a ".dbw" file, running the reminder check at a
// given moment, and saving the records current on a day.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/backup.h"
#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/reminders.h"
#include "tasks/snoozes.h"
#include "tasks/task_editor_model.h"
#include "tasks/task_file.h"
#include "tasks/task_views.h"

namespace vm::cli {

namespace {

bool ParseFieldList(const std::string& text, std::vector<int>& fields) {
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    int n = 0;
    if (!ParseInt(item, n) || n < 0) return false;
    fields.push_back(n);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

// "DD/MM/YYYY HH:MM": empty when `m` holds it, else the message for the user.
std::string MomentArgError(const std::string& text, tasks::Moment& m) {
  const std::string malformed = "not a moment: '" + text + "' (expected \"DD/MM/YYYY HH:MM\")";
  if (text.size() != 16 || text[10] != ' ' || text[13] != ':') return malformed;
  dates::Date day;
  if (std::string bad = DateArgError(text.substr(0, 10), day, malformed); !bad.empty()) return bad;
  m.day = day.day;
  m.month = day.month;
  m.year = day.year;
  if (!ParseInt(text.substr(11, 2), m.hour) || !ParseInt(text.substr(14, 2), m.minute)) return malformed;
  return tasks::IsValidMoment(m) ? std::string() : malformed;
}

dates::Date Today() {
  platform::LocalTime now = platform::Now();
  return {now.day, now.month, now.year};
}

int Tasks(const Args& argsIn) {
  Args args = argsIn;
  std::string list;
  bool missing = false;
  bool withFields = TakeOption(args, "--fields", list, missing);
  std::vector<int> fields;
  if (missing || args.size() != 1 || (withFields && !ParseFieldList(list, fields)))
    return Fail("usage: tasks FILE [--fields LIST]  (LIST: field numbers separated by commas, e.g. 0,13,48)");
  tasks::TaskBook book;
  tasks::LoadOutcome loaded = tasks::LoadTaskFile(book, PathArg(args[0]), Today());
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  std::printf("loaded %zu\nrejected %d\nstate %d\n", book.size(), loaded.rejected, book.state());
  if (!book.loadMessage().empty()) {
    PrintLine("message");
    PrintLine(book.loadMessage());
  }
  if (!withFields) return 0;
  for (const std::string& record : book.records()) {
    std::string line;
    for (size_t k = 0; k < fields.size(); ++k) {
      if (k > 0) line += '\t';
      line += ShowLineBreaks(GetField(record, fields[k]));
    }
    PrintLine(line);
  }
  return 0;
}

int Remind(const Args& argsIn) {
  Args args = argsIn;
  bool save = TakeFlag(args, "--save");
  tasks::Moment moment;
  if (args.size() != 2) return Fail("usage: remind FILE \"DD/MM/YYYY HH:MM\" [--save]");
  if (std::string bad = MomentArgError(args[1], moment); !bad.empty()) return Fail(bad);
  tasks::TaskBook book;
  tasks::LoadOutcome loaded = tasks::LoadTaskFile(book, PathArg(args[0]), tasks::DateOf(moment));
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  tasks::PassResult pass = tasks::RunReminderPass(book, nullptr, moment);
  // Reminders put off in the program and due by then come back as the timer brings them
  // back; only --save takes them off the book's side file.
  tasks::SnoozeStore snoozes;
  snoozes.Follow(book);
  std::vector<tasks::Snooze> pending = snoozes.snoozes();
  tasks::SnoozePass back = save ? snoozes.Run(book, moment) : tasks::RunSnoozes(pending, book.records(), moment);
  for (tasks::Firing& f : back.firings) {
    f.snoozed = true;
    pass.firings.push_back(std::move(f));
  }
  std::stable_sort(pass.firings.begin(), pass.firings.end(),
                   [](const tasks::Firing& a, const tasks::Firing& b) { return tasks::Earlier(a.due, b.due); });
  for (const tasks::Firing& f : pass.firings) {
    char days[16];
    std::snprintf(days, sizeof days, "%i", f.daysAhead);
    PrintLine(std::string(f.snoozed ? "snoozed\t" : "fire\t") + days + "\t" + ShowLineBreaks(f.headline));
  }
  if (save) {
    tasks::SaveOutcome saved = tasks::WriteTaskFile(book);
    if (saved.status != tasks::TaskSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
    std::string error = snoozes.TakeError();
    if (!error.empty()) return Fail(ToUtf8(error));
  }
  return 0;
}

// The next firings of one record from a moment, as the timer's passes would fire them.
int Next(const Args& args) {
  const char* usage = "usage: next FILE N \"DD/MM/YYYY HH:MM\" [COUNT]  (N: the record's number from 0)";
  if (args.size() != 3 && args.size() != 4) return Fail(usage);
  int index = 0, count = 5;
  if (!ParseInt(args[1], index) || index < 0) return Fail(usage);
  if (args.size() == 4 && (!ParseInt(args[3], count) || count < 1)) return Fail(usage);
  tasks::Moment from;
  if (std::string bad = MomentArgError(args[2], from); !bad.empty()) return Fail(bad);
  tasks::TaskBook book;
  tasks::LoadOutcome loaded = tasks::LoadTaskFile(book, PathArg(args[0]), tasks::DateOf(from));
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  if (static_cast<size_t>(index) >= book.size())
    return Fail("no record " + args[1] + " (the file has " + std::to_string(book.size()) + ")");
  tasks::Moment until{from.year + 60 > 9999 ? 9999 : from.year + 60, 12, 31, 23, 59};
  std::vector<tasks::ForecastFiring> firings =
      tasks::ForecastFirings(book.records()[index], from, count, until);
  if (firings.empty()) PrintLine(tasks::kNeverFires);
  for (const tasks::ForecastFiring& f : firings) {
    char text[64];
    std::snprintf(text, sizeof text, "%02i/%02i/%04i %02i:%02i\t%i", f.at.day, f.at.month, f.at.year,
                  f.at.hour, f.at.minute, f.daysAhead);
    PrintLine(text);
  }
  return 0;
}

// "Сохранить действующие записи в файл..": the records current on a day, written to OUT
// as the page writes them.
int TasksCurrent(const Args& args) {
  if (args.size() != 3) return Fail("usage: tasks-current FILE DD/MM/YYYY OUT");
  dates::Date day;
  if (std::string bad = DateArgError(args[1], day, "not a date of the form DD/MM/YYYY: " + args[1]);
      !bad.empty())
    return Fail(bad);
  tasks::TaskBook book;
  tasks::LoadOutcome loaded = tasks::LoadTaskFile(book, PathArg(args[0]), day);
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  tasks::TaskList kept = tasks::CurrentRecords(book.records(), day);
  if (!backup::SaveBook(PathArg(args[2]), tasks::TaskFileBytes(kept))) return Fail("cannot write " + args[2]);
  std::printf("kept %zu of %zu\n", kept.size(), book.size());
  return 0;
}

}  // namespace

VM_CLI_COMMAND("tasks-current", "FILE DD/MM/YYYY OUT", TasksCurrent);
VM_CLI_COMMAND("next", "FILE N \"DD/MM/YYYY HH:MM\" [COUNT]", Next);
VM_CLI_COMMAND("tasks", "FILE [--fields LIST]", Tasks);
VM_CLI_COMMAND("remind", "FILE \"DD/MM/YYYY HH:MM\" [--save]", Remind);

}  // namespace vm::cli
