// The fourteen views of the tasks page over a 10 000-record book, each next to loading
// that book: every status, the three groups, dates across two years, reminders of every
// state, records in the information, deadline, miscellany and project lists.
//
// The ratio each view keeps, from one run: BM_TaskView/v <= BM_TaskBookLoad.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/task_file.h"
#include "tasks/task_views.h"

namespace {

using vm::tasks::TaskField;

const vm::dates::Date kToday{15, 6, 2013};

std::string Record(int i) {
  std::string line = vm::tasks::EmptyTaskRecord();
  auto set = [&line](TaskField f, const std::string& v) { vm::tasks::SetTaskField(line, f, v); };
  auto flag = [&](TaskField f, bool on) { set(f, on ? "1" : "0"); };
  char date[16];
  // 730 days from 1 January 2012 through 2013.
  const int day = i % 730, year = 2012 + day / 365, yearDay = day % 365;
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", 1 + yearDay % 28, 1 + yearDay / 31 % 12, year);
  set(TaskField::Headline, "Задача " + std::to_string(i) + ": позвонить поставщику");
  set(TaskField::Notes, "Обсудить сроки поставки.\r\nКонтакт: Иванов, доб. " + std::to_string(100 + i % 900));
  set(TaskField::Date, date);
  set(TaskField::EditDate, date);
  set(TaskField::DiaryOrder, std::to_string(i));
  flag(TaskField::TaskFlag, i % 2 == 0);
  set(TaskField::TaskOrder, std::to_string(i));
  set(TaskField::TaskGroup, std::to_string(1 + i % 3));
  flag(TaskField::InfoFlag, i % 5 == 1);
  set(TaskField::InfoOrder, std::to_string(i));
  flag(TaskField::DeadlineFlag, i % 4 == 1);
  flag(TaskField::MiscFlag, i % 6 == 2);
  set(TaskField::MiscOrder, std::to_string(i));
  flag(TaskField::ProjectFlag, i % 7 == 3);
  set(TaskField::ProjectOrder, std::to_string(i));
  set(TaskField::Status, std::to_string(i % 7));
  // Reminders: none, active (by date or calendar) and fired ones.
  set(TaskField::ReminderState, std::to_string(i % 3));
  if (i % 3 != 0) {
    flag(TaskField::ByDate, i % 2 == 0);
    flag(TaskField::ByCalendar, i % 2 != 0);
    set(TaskField::Day, std::to_string(1 + i % 28));
    set(TaskField::Month, std::to_string(1 + i % 12));
    set(TaskField::Year, std::to_string(year));
    set(TaskField::Hour, std::to_string(i % 24));
    set(TaskField::Minute, std::to_string(i % 60));
    flag(TaskField::WithTime, true);
    flag(TaskField::Monday, i % 2 == 0);
  }
  return line;
}

const std::string& BookFile() {
  static const std::string path = [] {
    vm::tasks::TaskList records;
    for (int i = 0; i < 10000; ++i) records.push_back(Record(i));
    std::string p = vm::bench::BenchFolder() + "views.dbw";
    vm::platform::WriteFileBytes(p, vm::RecordFileBytes(records));
    return p;
  }();
  return path;
}

void BM_TaskBookLoad(benchmark::State& state) {
  for (auto _ : state) {
    vm::tasks::TaskBook book;
    vm::tasks::LoadTaskFile(book, BookFile(), kToday);
    benchmark::DoNotOptimize(book.size());
  }
}
BENCHMARK(BM_TaskBookLoad)->Unit(benchmark::kMillisecond);

// Arg: the view (1-14); view 6 shows the last search's records, here every tenth.
void BM_TaskView(benchmark::State& state) {
  vm::tasks::TaskBook book;
  vm::tasks::LoadTaskFile(book, BookFile(), kToday);
  vm::tasks::ViewContext context;
  context.view = static_cast<int>(state.range(0));
  context.today = kToday;
  context.diaryDate = "15/06/2013";
  for (size_t i = 0; i < book.size(); i += 10) context.found.push_back(i);
  size_t rows = 0;
  for (auto _ : state) {
    vm::tasks::BuiltView view = vm::tasks::BuildView(book.records(), context);
    rows = view.rows.size();
    benchmark::DoNotOptimize(view.rows.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_TaskView)->DenseRange(1, 14)->Unit(benchmark::kMillisecond);

}  // namespace
