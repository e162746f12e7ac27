// A contacts book of 100 000 people: load, one filter pass per keystroke (a typed
// prefix and a "*substring"), one column sort — next to a plain scan of the same
// records' bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"
#include "cards/card_book.h"
#include "platform/platform.h"

namespace {

const std::string& Folder() {
  static const std::string dir = [] {
    std::string d = vm::bench::BenchFolder();
    vm::platform::MakeDir(d + "Support");
    static const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Волков"};
    static const char* const kCities[] = {"Москва", "Тула", "Омск", "Казань", "Самара"};
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
      bytes += std::string(kNames[i % 6]) + " " + std::to_string(i) + "|инженер|Завод " +
               std::to_string(i % 300) + "|" + kCities[i % 5] + "|+7 495 123-45-67||||mail" +
               std::to_string(i) + "@example.ru||||ул. Ленина, д. 1|заметка\r\n";
    }
    vm::platform::WriteFileBytes(d + "Support\\cont.dbc", bytes);
    return d;
  }();
  return dir;
}

void BM_PlainScanBaseline(benchmark::State& state) {
  vm::cards::CardBook book(vm::cards::ContactsBook());
  book.Load(Folder());
  for (auto _ : state) {
    size_t bars = 0;
    for (const std::string& r : book.records())
      for (char c : r) bars += c == '|';
    benchmark::DoNotOptimize(bars);
  }
}
BENCHMARK(BM_PlainScanBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Load(benchmark::State& state) {
  for (auto _ : state) {
    vm::cards::CardBook book(vm::cards::ContactsBook());
    book.Load(Folder());
    benchmark::DoNotOptimize(book.shown().data());
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();

void FilterKeystrokes(benchmark::State& state, const char* const* typed, int count) {
  vm::cards::CardBook book(vm::cards::ContactsBook());
  book.Load(Folder());
  book.SetSearch(0, "x");  // the first pass folds every name once
  int i = 0;
  for (auto _ : state) {
    book.SetSearch(0, typed[i++ % count]);
    benchmark::DoNotOptimize(book.shown().data());
  }
}

void BM_FilterPrefixKeystroke(benchmark::State& state) {
  static const char* const kTyped[] = {"С", "Си", "Сид", "Сидо", "Сидор"};
  FilterKeystrokes(state, kTyped, 5);
}
BENCHMARK(BM_FilterPrefixKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FilterSubstringKeystroke(benchmark::State& state) {
  static const char* const kTyped[] = {"*9", "*99", "*999", "*9999", "*99999"};
  FilterKeystrokes(state, kTyped, 5);
}
BENCHMARK(BM_FilterSubstringKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first keystroke after the load also folds the case of every record's search
// fields once; later keystrokes reuse that.
void BM_FirstKeystrokeAfterLoad(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    vm::cards::CardBook book(vm::cards::ContactsBook());
    book.Load(Folder());
    state.ResumeTiming();
    book.SetSearch(0, "С");
    benchmark::DoNotOptimize(book.shown().data());
  }
}
BENCHMARK(BM_FirstKeystrokeAfterLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SortByCity(benchmark::State& state) {
  vm::cards::CardBook book(vm::cards::ContactsBook());
  book.Load(Folder());
  bool up = true;
  for (auto _ : state) {
    book.Sort(3, up);
    up = !up;
  }
}
BENCHMARK(BM_SortByCity)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
