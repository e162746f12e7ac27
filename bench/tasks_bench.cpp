// The reminder check over a 10 000-record task book, a fifth of it with active
// reminders: a full pass (what runs when the minute or the book changed), an idle tick
// (every other 10 ms tick), the catch-up after a whole day asleep, and the snoozes' part
// of a pass (every record keyed to find the snoozed ones).
#include <benchmark/benchmark.h>

#include <string>
#include <unistd.h>

#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/reminders.h"
#include "tasks/snoozes.h"
#include "tasks/task_file.h"

namespace {

using vm::tasks::TaskField;

std::string Record(int i) {
  std::string line = vm::tasks::EmptyTaskRecord();
  auto set = [&line](TaskField f, const std::string& v) { vm::tasks::SetTaskField(line, f, v); };
  set(TaskField::Headline, "Задача номер " + std::to_string(i) + ": позвонить поставщику");
  set(TaskField::Notes, "Обсудить сроки поставки и оплату.\r\nКонтакт: Иванов, доб. " + std::to_string(100 + i % 900) +
                            "\r\nВзять с собой договор и счёт за прошлый месяц.");
  set(TaskField::Date, "05/03/2013");
  set(TaskField::TaskFlag, "1");
  set(TaskField::TaskOrder, std::to_string(i));
  set(TaskField::TaskGroup, std::to_string(1 + i % 3));
  set(TaskField::Status, "0");
  set(TaskField::ReminderState, "0");
  if (i % 5 != 0) return line;
  // Active reminders of every kind, spread over the day.
  set(TaskField::ReminderState, "1");
  set(TaskField::Hour, std::to_string(i % 24));
  set(TaskField::Minute, std::to_string(i % 60));
  set(TaskField::WithTime, "1");
  set(TaskField::Permanent, "1");
  set(TaskField::PcBeep, "1");
  switch (i / 5 % 4) {
    case 0:  // a date, maybe days ahead
      set(TaskField::ByDate, "1");
      set(TaskField::Day, std::to_string(1 + i % 28));
      set(TaskField::Month, "03");
      set(TaskField::Year, "2013");
      set(TaskField::WeekAhead, "1");
      break;
    case 1:  // every day, from a time on
      set(TaskField::ByDate, "1");
      set(TaskField::Day, "ALL");
      set(TaskField::Month, "ALL");
      set(TaskField::Year, "ALL");
      set(TaskField::Hour, std::string(1, '>').append(std::to_string(i % 24)));
      break;
    case 2:  // periodic
      set(TaskField::Periodic, "1");
      set(TaskField::StartHour, "9");
      set(TaskField::StartMinute, "0");
      set(TaskField::Hour, std::to_string(1 + i % 5));
      set(TaskField::Minute, "0");
      break;
    default:  // calendar pattern
      set(TaskField::ByCalendar, "1");
      for (int k = static_cast<int>(TaskField::Quarter1); k <= static_cast<int>(TaskField::Sunday); ++k)
        set(static_cast<TaskField>(k), (i + k) % 3 ? "1" : "0");
      break;
  }
  return line;
}

const vm::tasks::TaskList& Records() {
  static const vm::tasks::TaskList records = [] {
    vm::tasks::TaskList r;
    for (int i = 0; i < 10000; ++i) r.push_back(Record(i));
    return r;
  }();
  return records;
}

const std::string& BookFile() {
  static const std::string path = [] {
    char tmpl[] = "/tmp/vmbenchXXXXXX";
    std::string d = mkdtemp(tmpl);
    for (char& c : d)
      if (c == '/') c = '\\';
    std::string p = d + "\\tasks.dbw";
    vm::platform::WriteFileBytes(p, vm::RecordFileBytes(Records()));
    return p;
  }();
  return path;
}

// Baseline: reading ReminderState of every record, the least any pass must do.
void BM_ReadStatesBaseline(benchmark::State& state) {
  const vm::tasks::TaskList& list = Records();
  std::string value;
  for (auto _ : state) {
    size_t active = 0;
    for (const std::string& line : list) active += vm::GetField(line, 13, value) && value == "1";
    benchmark::DoNotOptimize(active);
  }
}
BENCHMARK(BM_ReadStatesBaseline)->Unit(benchmark::kMicrosecond);

// A new minute on every iteration, round the clock, as the passes come in the program.
void BM_FullPass(benchmark::State& state) {
  vm::tasks::TaskList list = Records();
  int minute = 0;
  size_t fired = 0;
  for (auto _ : state) {
    vm::tasks::Moment now{2013, 3, 5, minute / 60, minute % 60};
    minute = (minute + 1) % (24 * 60);
    fired += vm::tasks::CheckReminders(list, now).firings.size();
  }
  state.counters["firings/pass"] = benchmark::Counter(static_cast<double>(fired) / state.iterations());
}
BENCHMARK(BM_FullPass)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  vm::tasks::TaskBook book;
  vm::tasks::LoadTaskFile(book, BookFile(), {5, 3, 2013});
  vm::tasks::ReminderScheduler scheduler;
  vm::tasks::Moment now{2013, 3, 5, 12, 0};
  scheduler.Tick(book, now);
  for (auto _ : state) benchmark::DoNotOptimize(scheduler.Tick(book, now).ran);
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

// The same with the clock read that every tick of the program makes first.
void BM_IdleTickWithClock(benchmark::State& state) {
  vm::tasks::TaskBook book;
  vm::tasks::LoadTaskFile(book, BookFile(), {5, 3, 2013});
  vm::tasks::ReminderScheduler scheduler;
  scheduler.Tick(book, vm::tasks::MomentOf(vm::platform::Now()));
  for (auto _ : state) benchmark::DoNotOptimize(scheduler.Tick(book, vm::tasks::MomentOf(vm::platform::Now())).ran);
}
BENCHMARK(BM_IdleTickWithClock)->Unit(benchmark::kNanosecond);

// Resuming at 23:59 after sleeping since midnight: 1 438 skipped minutes caught up.
void BM_CatchUpWholeDay(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    vm::tasks::TaskList list = Records();
    state.ResumeTiming();
    benchmark::DoNotOptimize(
        vm::tasks::CheckRemindersSince(list, {2013, 3, 5, 0, 0}, {2013, 3, 5, 23, 59}).firings.size());
  }
}
BENCHMARK(BM_CatchUpWholeDay)->Unit(benchmark::kMillisecond);

// Ten snoozes waiting over the book: a pass keys every record to find theirs.
void BM_SnoozePass(benchmark::State& state) {
  const vm::tasks::TaskList& list = Records();
  std::vector<vm::tasks::Snooze> waiting;
  for (size_t i = 0; i < 10; ++i)
    waiting.push_back({{2013, 3, 6, 9, 0}, 0, vm::tasks::RecordKey(list[i * 997])});
  for (auto _ : state) {
    std::vector<vm::tasks::Snooze> snoozes = waiting;
    benchmark::DoNotOptimize(vm::tasks::RunSnoozes(snoozes, list, {2013, 3, 5, 12, 0}).changed);
  }
}
BENCHMARK(BM_SnoozePass)->Unit(benchmark::kMicrosecond);

}  // namespace
