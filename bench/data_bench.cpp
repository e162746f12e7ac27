// Loading a data table of 100 000 rows (plain and protected) and saving it, next to a
// baseline that only reads the same file and splits it into lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "data/data_file.h"
#include "platform/platform.h"

namespace {

using namespace vm::data;

DataTable Table(const std::string& path, const std::string& password) {
  DataTable t;
  t.path = path;
  t.password = password;
  for (const char* name : {"Фамилия", "Имя", "Телефон", "E-Mail", "Сайт", "Город", "Адрес", "Заметка"})
    t.def.AddColumnEntry(name, 100, 1);
  t.def.phoneColumn = 2;
  t.def.emailColumn = 3;
  t.def.webColumn = 4;
  t.records.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    std::string n = std::to_string(i);
    t.records.push_back({"Иванов " + n + "|Пётр|+7 495 123-45-" + std::to_string(10 + i % 90) + "|ivanov" +
                         n + "@example.ru|www.example.ru/" + n + "|Москва|ул. Ленина, д. " +
                         std::to_string(i % 200) + "|Коллега по работе"});
  }
  t.def.modified = kTableChanged;
  return t;
}

const std::string& File(bool protect) {
  static std::string paths[2];
  std::string& path = paths[protect ? 1 : 0];
  if (path.empty()) {
    path = vm::bench::BenchFolder() + (protect ? "locked.dbp" : "plain.dbp");
    DataTable t = Table(path, protect ? "пароль" : "");
    SaveTable(t);
  }
  return path;
}

void BM_DataReadAndSplitBaseline(benchmark::State& state) {
  const std::string& path = File(false);
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
BENCHMARK(BM_DataReadAndSplitBaseline)->Unit(benchmark::kMillisecond);

void Load(benchmark::State& state, bool protect) {
  const std::string& path = File(protect);
  std::string data;
  vm::platform::ReadFileBytes(path, data);
  for (auto _ : state) {
    DataTable t;
    t.path = path;
    LoadTable(t);
    if (t.records.size() != 100000) state.SkipWithError("the table did not load");
    benchmark::DoNotOptimize(t.records.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_LoadTable(benchmark::State& state) {
  Load(state, false);
}
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond);

void BM_LoadProtectedTable(benchmark::State& state) {
  Load(state, true);
}
BENCHMARK(BM_LoadProtectedTable)->Unit(benchmark::kMillisecond);

void BM_SaveTable(benchmark::State& state) {
  DataTable t = Table(vm::bench::BenchFolder() + "saved.dbp", "");
  for (auto _ : state) {
    t.def.modified = kTableChanged;
    if (SaveTable(t).status != TableSaveStatus::kSaved) state.SkipWithError("the table was not saved");
  }
}
BENCHMARK(BM_SaveTable)->Unit(benchmark::kMillisecond);

}  // namespace
