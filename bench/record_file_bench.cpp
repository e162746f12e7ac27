// Loading and saving a 100 000-line contacts book, next to a baseline that only reads
// the same file and splits it into lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "platform/platform.h"

namespace {

const std::string& ContactsFile() {
  static const std::string path = [] {
    std::string p = vm::bench::BenchFolder() + "cont.dbc";
    std::string bytes;
    for (int i = 0; i < 100000; ++i) {
      bytes += "Иванов Пётр " + std::to_string(i) + "|Москва|ул. Ленина, д. " + std::to_string(i % 200) +
               "|+7 495 123-45-" + std::to_string(10 + i % 90) + "|ivanov" + std::to_string(i) +
               "@example.ru|||Коллега по работеERN:вторая строка|||||Заметка|\r\n";
    }
    vm::platform::WriteFileBytes(p, bytes);
    return p;
  }();
  return path;
}

void BM_ReadAndSplitBaseline(benchmark::State& state) {
  const std::string& path = ContactsFile();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string data;
    vm::platform::ReadFileBytes(path, data);
    auto lines = vm::SplitTextLines(data);
    benchmark::DoNotOptimize(lines.data());
    bytes += data.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_ReadAndSplitBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadContacts(benchmark::State& state) {
  const std::string& path = ContactsFile();
  std::string data;
  vm::platform::ReadFileBytes(path, data);
  for (auto _ : state) {
    vm::RecordBook book;
    book.path = path;
    vm::LoadRecords(book, vm::ContactsLayout());
    benchmark::DoNotOptimize(book.records.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_LoadContacts)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAndSaveContacts(benchmark::State& state) {
  const std::string& path = ContactsFile();
  std::string data;
  vm::platform::ReadFileBytes(path, data);
  for (auto _ : state) {
    vm::RecordBook book;
    book.path = path;
    vm::LoadRecords(book, vm::ContactsLayout());
    book.path = vm::bench::BenchFolder() + "out.dbc";
    book.state = vm::kStateChanged;
    vm::SaveRecords(book);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_LoadAndSaveContacts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
