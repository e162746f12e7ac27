#include "dates/dates_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/report.h"
#include "platform/platform.h"
#include "support/program_folder.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

using testing::Slurp;
using testing::Spit;

class DatesViewTest : public testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support"});
    Spit(dir_ / "Support\\Birthday.txt", "/2|формат\r\n05/03/1990/Иван Петров\r\n13/06/%/Анна\r\n");
    Spit(dir_ / "Support\\Holidays.txt", "/2|формат\r\n;Иван in a comment\r\n08/03/Женский <день>\r\n");
  }
  std::string TopText(const DatesView& v) { return v.lines()[v.topLine()].text; }
};

TEST_F(DatesViewTest, PickedDateStaysThroughRefreshAndTheNewDayUntilTodayIsClicked) {
  DatesView view(dir_.path());
  view.Start({5, 3, 2025});
  EXPECT_EQ(TopText(view), "5 марта 2025  Ср");
  EXPECT_EQ(view.lines()[view.topLine() + 2].text, "Иван Петров   (35-я годовщина)");

  view.Pick({13, 6, 2025});
  EXPECT_TRUE(view.picked());
  EXPECT_EQ(TopText(view), "13 июня 2025  Пт");
  view.Refresh({6, 3, 2025});
  EXPECT_EQ(TopText(view), "13 июня 2025  Пт");
  view.DayChanged({7, 3, 2025});
  EXPECT_EQ(TopText(view), "13 июня 2025  Пт");
  EXPECT_EQ(view.Easter().orthodox, "Пасха православная 20/04/2025");

  view.ShowToday({7, 3, 2025});
  EXPECT_FALSE(view.picked());
  EXPECT_EQ(TopText(view), "7 марта 2025  Пт");
  view.Refresh({7, 3, 2025});
  EXPECT_EQ(TopText(view), "7 марта 2025  Пт");
  // A list that shows today follows the clock, whether or not the button stored the day.
  view.DayChanged({8, 3, 2025});
  EXPECT_EQ(TopText(view), "8 марта 2025  Сб");
  DatesView fresh(dir_.path());
  fresh.Start({31, 12, 2025});
  fresh.DayChanged({1, 1, 2026});
  EXPECT_EQ(TopText(fresh), "1 января 2026  Чт");
  fresh.Pick({31, 2, 2026});  // no such day: nothing changes
  EXPECT_EQ(TopText(fresh), "1 января 2026  Чт");
  fresh.Pick({1, 3, 2100});  // beyond the calendar: nothing changes either
  EXPECT_EQ(TopText(fresh), "1 января 2026  Чт");
  EXPECT_FALSE(fresh.picked());
}

TEST_F(DatesViewTest, AnAddedDateShowsAtOnce) {
  DatesView view(dir_.path());
  view.Start({5, 3, 2025});
  view.Added({7, 3, "", "Рядом"}, {5, 3, 2025});  // within the list: the reference stays
  EXPECT_FALSE(view.picked());
  view.Added({1, 9, "", "Далеко"}, {5, 3, 2025});
  EXPECT_TRUE(view.picked());
  EXPECT_EQ(TopText(view), "1 сентября 2025  Пн");
  view.Added({29, 2, "", "Високосный"}, {5, 3, 2025});
  EXPECT_EQ(TopText(view), "1 марта 2025  Сб");
  view.Pick({30, 12, 2025});
  view.Added({2, 1, "", "Через год"}, {5, 3, 2025});  // coming, across the year end
  EXPECT_EQ(TopText(view), "30 декабря 2025  Вт");
}

TEST_F(DatesViewTest, SearchReplacesTheListAndAMissingFileLeavesItEmpty) {
  DatesView view(dir_.path());
  view.Start({5, 3, 2025});
  EXPECT_TRUE(view.Search(DateFileKind::kBirthdays, "иван", false));
  ASSERT_EQ(view.lines().size(), 2u);
  EXPECT_EQ(view.topLine(), 0u);
  EXPECT_EQ(view.lines()[0].text, "Результат поиска:");
  EXPECT_EQ(view.lines()[1].text, "05/03/1990/Иван Петров");
  EXPECT_TRUE(view.Search(DateFileKind::kBirthdays, "иван", true));
  EXPECT_EQ(view.lines().size(), 1u);
  EXPECT_TRUE(view.Search(DateFileKind::kDates, "ЖЕНСКИЙ", false));
  EXPECT_EQ(view.lines().size(), 2u);

  platform::RemoveFile(dir_ / "Support\\Holidays.txt");
  EXPECT_FALSE(view.Search(DateFileKind::kDates, "x", false));
  EXPECT_TRUE(view.lines().empty());
  view.Refresh({5, 3, 2025});
  EXPECT_EQ(TopText(view), "5 марта 2025  Ср");
}

TEST_F(DatesViewTest, ReportWritesAPairPerLineAndNothingForAnEmptyList) {
  DatesView view(dir_.path());
  view.Start({7, 3, 2025});
  std::vector<ReportItem> items = DatesReportItems(view.lines());
  EXPECT_EQ(items, (std::vector<ReportItem>{
                       {3, "HEAD", "Прошедшие"},
                       {3, "HEAD", "Дни рождения"},
                       {4, "NOTE", "05/03 Иван Петров   (35-я годовщина)"},
                       {3, "HEAD", "7 марта 2025  Пт"},
                       {3, "HEAD", "Предстоящие"},
                       {3, "HEAD", "Даты"},
                       {4, "NOTE", "08/03 Женский <день>"},
                   }));

  MakeFolders({"Temp"});
  std::string data = dir_ / "Temp\\MesDat.txt";
  DatesReportData written = WriteDatesReportData(view.lines(), data);
  EXPECT_TRUE(written.build);
  EXPECT_TRUE(written.messages.empty());
  std::string bytes = Slurp(data);
  EXPECT_EQ(bytes.substr(0, 19), "|0:ZAGOLOVOK:Даты\r\n");
  EXPECT_NE(bytes.find("|4:NOTE:08/03 Женский &lt;день&gt;\r\n"), std::string::npos);
  CopyShippedSupportFile("MesPic.html");
  ASSERT_EQ(BuildReport(data, dir_ / "Support\\MesPic.html", dir_ / "Temp\\MesRep.html").code, 0);
  std::string page = Slurp(dir_ / "Temp\\MesRep.html");
  EXPECT_NE(page.find("<h2 class=\"head\">7 марта 2025  Пт</h2>"), std::string::npos);
  EXPECT_LT(page.find("Прошедшие"), page.find("Иван Петров"));

  view.Search(DateFileKind::kDates, "x", false);
  platform::RemoveFile(dir_ / "Support\\Holidays.txt");
  view.Search(DateFileKind::kDates, "x", false);
  DatesReportData none = WriteDatesReportData(view.lines(), data);
  EXPECT_FALSE(none.build);
  EXPECT_EQ(none.messages, (std::vector<const char*>{kNoReportData}));
  EXPECT_EQ(Slurp(data), "");
  EXPECT_EQ(WriteDatesReportData(view.lines(), dir_ / "NoFolder\\MesDat.txt").messages.size(), 1u);
}

}  // namespace
}  // namespace vm::dates
