// Evaluating a 10 000-line date file for a reference date, next to a baseline that
// only reads the same file and splits it into lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "dates/date_file.h"
#include "platform/platform.h"

namespace {

// A current-format file: fixed dates with and without years, name days, Easter
// offsets and weekday rules, with a comment every so often.
const std::string& DateFile() {
  static const std::string path = [] {
    std::string p = vm::bench::BenchFolder() + "Holidays.txt";
    std::string bytes = "/2|формат\r\n;Holidays.txt\r\n";
    const char* const weekdays[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
    for (int i = 0; i < 10000; ++i) {
      std::string day = std::to_string(1 + i % 28), month = std::to_string(1 + (i / 28) % 12);
      if (day.size() < 2) day = "0" + day;
      if (month.size() < 2) month = "0" + month;
      switch (i % 8) {
        case 0: bytes += day + "/" + month + "/Праздник номер " + std::to_string(i); break;
        case 1:
          bytes +=
              day + "/" + month + "/" + std::to_string(1900 + i % 120) + "/Иванов Пётр " + std::to_string(i);
          break;
        case 2: bytes += day + "/" + month + "/%/Именины " + std::to_string(i); break;
        case 3:
          bytes += "RP" + std::string(i % 16 < 8 ? "+" : "-") + "/" + std::to_string(i % 60) +
                   "/Церковный праздник";
          break;
        case 4:
          bytes += std::string(weekdays[i % 7]) + std::to_string(1 + i % 5) + "/" + month + "/День профессии";
          break;
        case 5: bytes += ";комментарий " + std::to_string(i); break;
        case 6: bytes += day + "/" + month + "/Дата с #/ косой чертой"; break;
        default: bytes += day + "/" + month + "/" + std::to_string(1941 + i % 80) + "/Памятная дата"; break;
      }
      bytes += "\r\n";
    }
    vm::platform::WriteFileBytes(p, bytes);
    return p;
  }();
  return path;
}

void BM_DatesReadAndSplitBaseline(benchmark::State& state) {
  const std::string& path = DateFile();
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
BENCHMARK(BM_DatesReadAndSplitBaseline)->Unit(benchmark::kMicrosecond);

void BM_EvaluateDateFile(benchmark::State& state) {
  const std::string& path = DateFile();
  std::string data;
  vm::platform::ReadFileBytes(path, data);
  vm::dates::Date ref{14, 6, 2025};
  size_t items = 0;
  for (auto _ : state) {
    vm::dates::DateLists lists = vm::dates::EvaluateDateFile(path, ref);
    items = lists.past.size() + lists.today.size() + lists.coming.size();
    benchmark::DoNotOptimize(lists.past.data());
  }
  state.counters["items"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_EvaluateDateFile)->Unit(benchmark::kMicrosecond);

}  // namespace
