// The main sheet's 10 ms timer tick when nothing changed: read the clock, test the day
// and the minute, and ask every page for its per-tick work (one book that skips its pass
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

}  // namespace
