// Subcommands of the task book: loading a ".dbw" file and running the reminder check at
// a given moment.
#include <cstdio>

#include "cli/cli.h"
#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/reminders.h"
#include "tasks/task_file.h"

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

// "DD/MM/YYYY HH:MM"
bool ParseMoment(const std::string& text, tasks::Moment& m) {
  if (text.size() != 16 || text[10] != ' ' || text[13] != ':') return false;
  if (!ParseDate(text.substr(0, 10), m.day, m.month, m.year)) return false;
  if (!ParseInt(text.substr(11, 2), m.hour) || !ParseInt(text.substr(14, 2), m.minute)) return false;
  return tasks::IsValidMoment(m);
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
  if (!ParseMoment(args[1], moment)) return Fail("not a moment: '" + args[1] + "' (expected \"DD/MM/YYYY HH:MM\")");
  tasks::TaskBook book;
  tasks::LoadOutcome loaded = tasks::LoadTaskFile(book, PathArg(args[0]), tasks::DateOf(moment));
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  tasks::PassResult pass = tasks::RunReminderPass(book, nullptr, moment);
  for (const tasks::Firing& f : pass.firings) {
    char days[16];
    std::snprintf(days, sizeof days, "%i", f.daysAhead);
    PrintLine(std::string("fire\t") + days + "\t" + ShowLineBreaks(f.headline));
  }
  if (save) {
    tasks::SaveOutcome saved = tasks::WriteTaskFile(book);
    if (saved.status != tasks::TaskSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  }
  return 0;
}

}  // namespace

VM_CLI_COMMAND("tasks", "FILE [--fields LIST]", Tasks);
VM_CLI_COMMAND("remind", "FILE \"DD/MM/YYYY HH:MM\" [--save]", Remind);

}  // namespace vm::cli
