// The main sheet's 10 ms timer tick when nothing changed: read the clock, test the day
// and the minute, and call the registered per-tick work (one book that skips its pass
// unless the minute changed), next to a baseline that only reads the clock.
#include <benchmark/benchmark.h>

#include "platform/platform.h"
#include "shell/books.h"
#include "shell/sheet_rules.h"

namespace {

void BM_ClockOnly(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(vm::platform::Now());
}
BENCHMARK(BM_ClockOnly);

void BM_QuietTick(benchmark::State& state) {
  vm::shell::BookRegistry books;
  int passes = 0;
  vm::shell::BookHooks tasks;
  tasks.tick = [&](const vm::shell::TickInfo& t) {
    if (t.minuteChanged) ++passes;
  };
  books.Register(vm::shell::Book::kTasks, tasks);
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

}  // namespace
