// Subcommands that move the task book and the date files to and from iCalendar files.
#include <cstdio>
#include <ctime>
#include <string>

#include "cli/cli.h"
#include "dates/ical_dates.h"
#include "platform/platform.h"
#include "tasks/ical_tasks.h"
#include "tasks/task_file.h"

namespace vm::cli {

// The present moment in UTC and the local clock's distance from it, in minutes.
tasks::Moment UtcNow(int& offsetMinutes) {
  std::time_t t = std::time(nullptr);
  std::tm utc{}, local{};
#ifdef _WIN32
  gmtime_s(&utc, &t);
  localtime_s(&local, &t);
#else
  gmtime_r(&t, &utc);
  localtime_r(&t, &local);
#endif
  std::tm asLocal = utc;
  asLocal.tm_isdst = -1;
  offsetMinutes = static_cast<int>(std::difftime(std::mktime(&local), std::mktime(&asLocal)) / 60);
  return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min};
}

dates::Date LocalToday() {
  platform::LocalTime now = platform::Now();
  return {now.day, now.month, now.year};
}

namespace {

int OpenTasks(tasks::TaskBook& book, const std::string& path) {
  tasks::LoadOutcome load = tasks::LoadTaskFile(book, path, LocalToday());
  if (!load.opened) return Fail(ToUtf8(load.error));
  if (load.oldFormat) return Fail(ToUtf8(book.loadMessage()));
  return 0;
}

int TasksIcs(const Args& args) {
  if (args.size() != 2) return Fail("usage: tasks-ics TASKFILE OUT.ics");
  tasks::TaskBook book;
  if (int failed = OpenTasks(book, PathArg(args[0]))) return failed;
  int offset = 0;
  tasks::IcsExport out = tasks::TasksToIcs(book.records(), LocalToday(), UtcNow(offset));
  if (!platform::SafeReplace(PathArg(args[1]), out.text)) return Fail("cannot write " + args[1]);
  std::printf("exported %d\n", out.records);
  if (out.withoutRrule) std::printf("rules-in-words %d\n", out.withoutRrule);
  return 0;
}

int IcsTasks(const Args& args) {
  if (args.size() != 2) return Fail("usage: ics-tasks IN.ics TASKFILE");
  std::string bytes;
  if (!platform::ReadFileBytes(PathArg(args[0]), bytes)) return Fail("cannot read " + args[0]);
  const std::string path = PathArg(args[1]);
  // A task file that is not there yet is started empty, as "Новый файл" does.
  if (!platform::FileExists(path) && !platform::WriteFileBytes(path, "")) return Fail("cannot write " + args[1]);
  tasks::TaskBook book;
  if (int failed = OpenTasks(book, path)) return failed;
  int offset = 0;
  UtcNow(offset);
  tasks::IcsImport in = tasks::ImportIcs(bytes, book.todayText(), offset);
  for (const std::string& r : in.added) book.Append(r);
  if (!in.added.empty()) {
    tasks::SaveOutcome saved = tasks::WriteTaskFile(book);
    if (saved.status != tasks::TaskSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  }
  std::printf("added %d\n", static_cast<int>(in.added.size()));
  for (const auto& [kind, count] : in.leftOut) PrintLine("left-out\t" + kind + "\t" + std::to_string(count));
  return 0;
}

int DatesIcs(const Args& args) {
  int year = 0;
  if (args.size() != 3) return Fail("usage: dates-ics PROGRAM-FOLDER YEAR OUT.ics");
  if (!ParseInt(args[1], year)) return Fail("not a year: " + args[1]);
  if (!dates::InCalendarRange(year)) return Fail(ToUtf8(dates::YearRangeMessage(year)));
  std::string folder = PathArg(args[0]);
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  std::string birthdays, holidays;
  bool b = platform::ReadFileBytes(folder + "Support\\Birthday.txt", birthdays);
  bool h = platform::ReadFileBytes(folder + "Support\\Holidays.txt", holidays);
  if (!b && !h) return Fail("no date files in " + args[0] + "/Support");
  int offset = 0;
  tasks::Moment utc = UtcNow(offset);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02dT%02d%02d00Z", utc.year, utc.month, utc.day, utc.hour, utc.minute);
  dates::DatesIcs out = dates::DatesToIcs(birthdays, holidays, year, stamp);
  if (!platform::SafeReplace(PathArg(args[2]), out.text)) return Fail("cannot write " + args[2]);
  std::printf("yearly %d\nthis-year %d\n", out.yearly, out.thisYear);
  if (out.skipped) std::printf("skipped %d\n", out.skipped);
  return 0;
}

}  // namespace

VM_CLI_COMMAND("tasks-ics", "TASKFILE OUT.ics", TasksIcs);
VM_CLI_COMMAND("ics-tasks", "IN.ics TASKFILE", IcsTasks);
VM_CLI_COMMAND("dates-ics", "PROGRAM-FOLDER YEAR OUT.ics", DatesIcs);

}  // namespace vm::cli
