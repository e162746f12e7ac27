// Loading a data table of 100 000 rows (plain and protected) and saving it, next to a
// baseline that only reads the same file and splits it into lines; showing the loaded
// table (the view over every record, the first screen of cells) next to loading it; one
// filter keystroke next to a plain scan of the records' bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "data/data_book.h"
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

void BM_DataLoadTable(benchmark::State& state) {
  Load(state, false);
}
BENCHMARK(BM_DataLoadTable)->Unit(benchmark::kMillisecond);

void BM_DataLoadProtectedTable(benchmark::State& state) {
  Load(state, true);
}
BENCHMARK(BM_DataLoadProtectedTable)->Unit(benchmark::kMillisecond);

void BM_DataSaveTable(benchmark::State& state) {
  DataTable t = Table(vm::bench::BenchFolder() + "saved.dbp", "");
  for (auto _ : state) {
    t.def.modified = kTableChanged;
    if (SaveTable(t).status != TableSaveStatus::kSaved) state.SkipWithError("the table was not saved");
  }
}
BENCHMARK(BM_DataSaveTable)->Unit(benchmark::kMillisecond);

// The rows a list shows at once on a large screen.
constexpr int kScreenRows = 50;

void FirstScreen(const DataBook& book, benchmark::State& state) {
  size_t shown = ShownColumns(book.table().def).size();
  size_t bytes = 0;
  for (int row = 0; row < kScreenRows; ++row)
    for (size_t c = 0; c < shown; ++c) bytes += book.Cell(row, static_cast<int>(c)).size();
  if (bytes == 0) state.SkipWithError("the first screen is empty");
  benchmark::DoNotOptimize(bytes);
}

// What the page does after loading: the view over every record (no filter typed), then
// the cells of the first screen.
void BM_DataShowTable(benchmark::State& state) {
  DataBook book;
  book.Open(File(false));
  for (auto _ : state) {
    book.Refilter();
    FirstScreen(book, state);
  }
}
BENCHMARK(BM_DataShowTable)->Unit(benchmark::kMillisecond);

// The same with a filter that every record passes ("*" and nothing after it): each
// record's three filtered fields are cut out and case-folded, as on the first keystroke
// after a load.
void BM_DataShowTableFilterAll(benchmark::State& state) {
  DataBook book;
  book.Open(File(false));
  book.SetFilter(0, "*");
  for (auto _ : state) {
    book.Refilter();
    if (book.view().size() != 100000) state.SkipWithError("the filter left records out");
    FirstScreen(book, state);
  }
}
BENCHMARK(BM_DataShowTableFilterAll)->Unit(benchmark::kMillisecond);

void BM_DataPlainScanBaseline(benchmark::State& state) {
  DataBook book;
  book.Open(File(false));
  for (auto _ : state) {
    size_t bars = 0;
    for (const CTableRecord& r : book.table().records)
      for (char c : r.line) bars += c == '|';
    benchmark::DoNotOptimize(bars);
  }
}
BENCHMARK(BM_DataPlainScanBaseline)->Unit(benchmark::kMillisecond);

void BM_DataFilterKeystroke(benchmark::State& state) {
  static const char* const kTyped[] = {"и", "ив", "ива", "иван", "*9"};
  DataBook book;
  book.Open(File(false));
  book.SetFilter(0, "x");  // the first pass folds every record's filtered fields once
  int i = 0;
  for (auto _ : state) {
    book.SetFilter(0, kTyped[i++ % 5]);
    benchmark::DoNotOptimize(book.view().data());
  }
}
BENCHMARK(BM_DataFilterKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace
