// Reports opened in a real browser: headless Chromium loads the generated page from the
// disk, runs its scripts, and hands back the document it made of it. Its text proves
// that the page decodes as the windows-1251 it declares and shows the filled values.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "common/report.h"
#include "common/report_samples.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::SourcePath;

#ifndef _WIN32
std::string NativePath(const std::string& cp1251) {
  std::string p = platform::Cp1251ToUtf8(cp1251);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

// The document as Chromium built it (UTF-8), or empty when it could not run.
std::string DumpDom(const ScratchFolder& dir, const std::string& page) {
  std::string profile = NativePath(dir / "profile");
  std::string command =
      "timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync --user-data-dir='" +
      profile + "' --dump-dom 'file://" + NativePath(page) + "' 2>/dev/null";
  std::string dom;
  if (FILE* out = popen(command.c_str(), "r")) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, out)) > 0) dom.append(buf, n);
    pclose(out);
  }
  return dom;
}
#endif

class ReportInBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the browser check runs on the native build";
#else
    if (std::system("command -v chromium >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "chromium is not installed (scripts/deps/reports.txt lists it)";
#endif
  }

  // Builds a report from the shipped template and returns what the browser made of it.
  std::string Show(const char* layout, const std::function<void(CReportData&)>& write) {
    CReportData data;
    EXPECT_TRUE(data.Open(dir_ / "Dat.txt"));
    write(data);
    EXPECT_TRUE(data.Close());
    ReportOutcome r = BuildReport(dir_ / "Dat.txt", SourcePath(std::string("support/") + layout), dir_ / "Rep.html");
    EXPECT_EQ(r.code, 0) << platform::Cp1251ToUtf8(r.message);
#ifndef _WIN32
    // The texts of this file are cp1251 like everything in the core; Chromium writes UTF-8.
    std::string dom = platform::Utf8ToCp1251(DumpDom(dir_, dir_ / "Rep.html"));
    EXPECT_NE(dom.find("</html>"), std::string::npos) << "chromium produced no document";
    return dom;
#else
    return {};
#endif
  }

  static bool Has(const std::string& dom, const char* utf8) { return dom.find(utf8) != std::string::npos; }

  ScratchFolder dir_;
};

TEST_F(ReportInBrowser, ContactsShowTheirValuesAndHideTheMissingSecondPerson) {
  std::string dom = Show("VisitPic.html", [](CReportData& data) {
    testing::WriteContacts(data, {{"Иванов Иван Иванович", "инженер", "ООО \"Ромашка\"", "Москва", "+7 495 123-45-67",
                                   "", "", "", "ivan@example.org", "www.example.org", "", "ул. Ленина, 1",
                                   "Первая строка\r\nВторая строка"},
                                  {"Петрова Анна", "врач"},
                                  {"Сидоров Пётр"}});
  });
  for (const char* text : {"Иванов Иван Иванович", "ООО \"Ромашка\"", "+7 495 123-45-67", "ivan@example.org",
                           "Первая строка<br>Вторая строка", "Петрова Анна", "Сидоров Пётр",
                           "Всего записей: 3"})
    EXPECT_TRUE(Has(dom, text)) << text;
  // The last pair's second card still carries the placeholders; the page's script
  // marks it unused, so it keeps its place but shows nothing.
  EXPECT_TRUE(Has(dom, "class=\"card unused\"")) << dom;
  size_t unused = dom.find("class=\"card unused\"");
  EXPECT_NE(dom.find("#NAME2#", unused), std::string::npos);
  EXPECT_EQ(dom.find("class=\"card unused\"", unused + 1), std::string::npos);
  EXPECT_FALSE(Has(dom, "<title>"));
}

TEST_F(ReportInBrowser, FirmsAndTasksShowEveryFilledText) {
  std::string firms = Show("FirmPic.html", [](CReportData& data) {
    const char* keys[] = {"PROD", "ORG", "STAT", "PHONE", "FAX", "MAIL", "WEB", "ADRES", "COMM"};
    const char* values[] = {"Хлеб и выпечка", "Булочная №1", "Тверь", "11-22-33\r\n44-55-66", "",
                            "bulka@example.org", "", "пр. Мира, 5", "Скидки по средам"};
    for (int firm = 0; firm < 2; ++firm) {
      for (int f = 0; f < 9; ++f) data.WriteItem(keys[f], firm ? "Вторая" : values[f], 1);
      data.EndLine();
    }
  });
  for (const char* text : {"Хлеб и выпечка", "Булочная №1", "11-22-33<br>44-55-66", "пр. Мира, 5",
                           "Скидки по средам", "Всего записей: 2"})
    EXPECT_TRUE(Has(firms, text)) << text;

  std::string tasks = Show("WorkPic.html", [](CReportData& data) {
    data.WriteItem("ZAGOLOVOK", "Сроки:", 0);
    data.WriteItem("DAY", "Прошедшие", kDayBlock);
    data.EndLine();
    data.WriteItem("HEAD", "1/12/2024 Сдать отчёт", kHeadBlock);
    data.EndLine();
    data.WriteItem("NOTE", "Квартальный\r\nв налоговую", kNoteBlock);
    data.EndLine();
    data.WriteItem("ZAGOLOVOK", "Срочные", kGroupBlock);
    data.EndLine();
  });
  for (const char* text : {"<h1>Сроки:</h1>", "<h3 class=\"day\">Прошедшие</h3>", "1/12/2024 Сдать отчёт",
                           "Квартальный<br>в налоговую", "<h2 class=\"group\">Срочные</h2>", "дела · Сроки:"})
    EXPECT_TRUE(Has(tasks, text)) << text;
  // Block copies follow the data lines: the group caption written last comes last.
  EXPECT_LT(tasks.find("Сдать отчёт"), tasks.find("Срочные</h2>"));
}

}  // namespace
}  // namespace vm
