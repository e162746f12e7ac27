// The main sheet's 10 ms timer tick when nothing changed: read the clock, test the day
// and the minute, and ask every page for its per-tick work (one book that skips its pass
// unless the minute changed), next to a baseline that only reads the clock.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/book_guard.h"
#include "platform/platform.h"
#include "shell/books.h"
#include "shell/sheet_rules.h"

namespace {

void BM_ClockOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vm::platform::Now());
}
BENCHMARK(BM_ClockOnly);

// A page that does nothing unless the minute changed, as the tasks page does.
class QuietPage : public vm::shell::BookCalls {
 public:
  void Tick(const vm::shell::TickInfo& t) override {
    if (t.minuteChanged) ++passes;
  }
  int passes = 0;
};

void BM_QuietTick(benchmark::State& state) {
  // Eight pages, as on the sheet; one of them has work on the tick.
  QuietPage tasks;
  vm::shell::BookCalls blank;
  vm::shell::BookSet books({&blank, &blank, &blank, &blank, &blank, &tasks, &blank, &blank});
  int& passes = tasks.passes;
  vm::shell::TickClock clock;
  for (auto _ : state) {
    vm::platform::LocalTime now = vm::platform::Now();
    vm::shell::TickClock::Events e = clock.Advance(now);
    books.Tick(vm::shell::TickInfo{now, e.minuteChanged});
    benchmark::DoNotOptimize(e.dayChanged);
  }
  benchmark::DoNotOptimize(passes);
}
BENCHMARK(BM_QuietTick);

// Seven books held by the guard, in a scratch folder, unchanged on disk.
struct HeldBooks {
  HeldBooks() {
    folder = "/tmp/vm-tick-bench-" + std::to_string(vm::platform::ProcessId()) + "/";
    vm::platform::MakeDir(folder);
    vm::guard::Hooks hooks;
    hooks.ask = [](const vm::guard::Conflict&) { return vm::guard::Choice::kCancel; };
    vm::guard::Install(std::move(hooks));
    for (int i = 0; i < 7; ++i) {
      std::string path = folder + "book" + std::to_string(i) + ".dbc";
      std::string bytes(20000, 'x');
      vm::platform::WriteFileBytes(path, bytes);
      vm::guard::Read(path, bytes);
      paths.push_back(path);
    }
  }
  ~HeldBooks() {
    vm::guard::Install({});
    for (const std::string& p : paths) vm::platform::RemoveFile(p);
    vm::platform::RemoveDir(folder);
  }
  std::string folder;
  std::vector<std::string> paths;
};

// The look at the books' files the sheet makes once a second: one stat each.
void BM_DiskLook(benchmark::State& state) {
  HeldBooks held;
  for (auto _ : state) benchmark::DoNotOptimize(vm::guard::Poll());
}
BENCHMARK(BM_DiskLook);

// The quiet tick as the sheet runs it now: the pages' ticks, then the look at the disk
// when the second changed.
void BM_QuietTickWithDiskLook(benchmark::State& state) {
  HeldBooks held;
  QuietPage tasks;
  vm::shell::BookCalls blank;
  vm::shell::BookSet books({&blank, &blank, &blank, &blank, &blank, &tasks, &blank, &blank});
  vm::shell::TickClock clock;
  int second = -1;
  for (auto _ : state) {
    vm::platform::LocalTime now = vm::platform::Now();
    vm::shell::TickClock::Events e = clock.Advance(now);
    books.Tick(vm::shell::TickInfo{now, e.minuteChanged});
    if (now.second != second) {
      second = now.second;
      benchmark::DoNotOptimize(books.FilesChanged(vm::guard::Poll()));
    }
    benchmark::DoNotOptimize(e.dayChanged);
  }
}
BENCHMARK(BM_QuietTickWithDiskLook);

}  // namespace
