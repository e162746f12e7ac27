// The contacts report of 10 000 people with the shipped template: writing the data file,
// filling the template, and both, next to the bare file traffic of the same sizes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/report.h"
#include "platform/platform.h"

namespace {

constexpr int kPeople = 10000;

std::string CorePath(std::string utf8) {
  std::string p = vm::platform::Utf8ToCp1251(utf8);
#ifndef _WIN32
  for (char& c : p)
    if (c == '/') c = '\\';
#endif
  return p;
}

struct Setup {
  std::string folder, data, layout, result;
  std::vector<std::vector<std::string>> people;

  Setup() {
    std::string here = __FILE__;
    layout = CorePath(here.substr(0, here.find_last_of("/\\")) + "/../support/VisitPic.html");
    folder = CorePath("/tmp/velmoria_report_bench");
    vm::platform::MakeDir(folder);
    data = folder + "\\VisitDat.txt";
    result = folder + "\\VisitRep.html";
    char buf[128];
    for (int i = 0; i < kPeople; ++i) {
      std::vector<std::string> p(13);
      std::snprintf(buf, sizeof buf, "Иванов-%05d Иван Петрович", i);
      p[0] = buf;
      p[1] = i % 3 ? "инженер-конструктор" : "";
      p[2] = "ООО \"Северный завод\"";
      p[3] = i % 2 ? "Москва" : "Санкт-Петербург";
      std::snprintf(buf, sizeof buf, "+7 495 %03d-%02d-%02d", i % 1000, i % 100, (i / 7) % 100);
      p[4] = buf;
      p[5] = i % 4 ? "" : "+7 900 000-00-00";
      std::snprintf(buf, sizeof buf, "person%d@example.org", i);
      p[8] = buf;
      p[9] = i % 5 ? "" : "www.example.org";
      p[11] = "ул. Ленина, д. 1, кв. 2";
      p[12] = i % 10 ? "" : "Первая строка заметки\r\nВторая строка заметки";
      people.push_back(std::move(p));
    }
  }
  ~Setup() {
    vm::platform::RemoveFile(data);
    vm::platform::RemoveFile(result);
    vm::platform::RemoveDir(folder);
  }
};

Setup& Shared() {
  static Setup s;
  return s;
}

void WriteData(const Setup& s) {
  static const char* const kKeys[] = {"NAME", "DOLG", "PREDP", "STAT", "PHONE", "MOBIL", "FAX",
                                      "PGER", "MAIL", "WEB",   "ICQ",  "ADRES", "COMM"};
  vm::CReportData data;
  data.Open(s.data);
  for (size_t i = 0; i < s.people.size(); ++i) {
    for (int f = 0; f < 13; ++f) {
      std::string value = s.people[i][f];
      // as the contacts page codes a comment's line breaks
      for (size_t at; (at = value.find("\r\n")) != std::string::npos;) value.replace(at, 2, "|ERN:");
      data.WriteItem(std::string(kKeys[f]) + (i % 2 ? "2" : "1"), value, 1);
    }
    if (i % 2) data.EndLine();
  }
  data.EndLine();
  data.WriteNumber("COUNT", static_cast<long long>(s.people.size()), 0);
  data.Close();
}

void BM_ContactsDataFile(benchmark::State& state) {
  Setup& s = Shared();
  for (auto _ : state) WriteData(s);
}
BENCHMARK(BM_ContactsDataFile)->Unit(benchmark::kMillisecond);

void BM_ContactsBuild(benchmark::State& state) {
  Setup& s = Shared();
  WriteData(s);
  for (auto _ : state) {
    vm::ReportOutcome r = vm::BuildReport(s.data, s.layout, s.result);
    if (r.code != 0) state.SkipWithError("build failed");
  }
}
BENCHMARK(BM_ContactsBuild)->Unit(benchmark::kMillisecond);

void BM_ContactsWholeReport(benchmark::State& state) {
  Setup& s = Shared();
  for (auto _ : state) {
    WriteData(s);
    if (vm::BuildReport(s.data, s.layout, s.result).code != 0) state.SkipWithError("build failed");
  }
}
BENCHMARK(BM_ContactsWholeReport)->Unit(benchmark::kMillisecond);

// Baseline: read the data file and the template, and write a page of the result's size
// through the same safe replace; no filling.
void BM_BaselineFileTraffic(benchmark::State& state) {
  Setup& s = Shared();
  WriteData(s);
  vm::BuildReport(s.data, s.layout, s.result);
  std::string page;
  vm::platform::ReadFileBytes(s.result, page);
  for (auto _ : state) {
    std::string data, layout;
    vm::platform::ReadFileBytes(s.data, data);
    vm::platform::ReadFileBytes(s.layout, layout);
    benchmark::DoNotOptimize(data.data());
    vm::platform::SafeReplace(s.result, page);
  }
  state.counters["page_MB"] = static_cast<double>(page.size()) / 1e6;
}
BENCHMARK(BM_BaselineFileTraffic)->Unit(benchmark::kMillisecond);

}  // namespace
