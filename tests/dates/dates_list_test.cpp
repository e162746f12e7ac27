#include "dates/dates_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

using testing::ScratchFolder;
using testing::Spit;
using Items = std::vector<std::string>;

// Kind and text of every line, one string each, for compact expectations.
std::vector<std::string> Shape(const DatesList& list) {
  std::vector<std::string> out;
  for (const ListLine& l : list.lines)
    out.push_back((l.kind == LineKind::kHeading      ? "H:"
                   : l.kind == LineKind::kSubheading ? "S:"
                                                     : "E:") +
                  l.text);
  return out;
}

TEST(DatesList, EmptyFilesGiveTheThreeHeadingsOnly) {
  ScratchFolder dir;
  DatesList list = BuildDatesListForFolder(dir.path(), {2, 1, 2025});
  EXPECT_EQ(Shape(list), (Items{"H:Прошедшие", "H:2 января 2025  Чт", "H:Предстоящие"}));
  EXPECT_EQ(list.topLine, 1u);
  EXPECT_EQ(list.lines[0].background, kPastColour);
  EXPECT_EQ(list.lines[1].background, kTodayColour);
  EXPECT_EQ(list.lines[2].background, kComingColour);
  for (const ListLine& l : list.lines) EXPECT_EQ(l.foreground, kWhite);
}

TEST(DatesList, SectionsInOrderWithTheirColours) {
  DateLists birthdays{
      {"10/06|Иван"}, {"Маша   (5-я годовщина)", "15/06/%/Анна", "15/06/%/Ия, Мария"}, {"17/06|Пётр"}};
  DateLists dates{{"12/06|День России"}, {"Праздник"}, {"20/06|Лето", "20/06|Ещё"}};
  DatesList list = BuildDatesList(birthdays, dates, {15, 6, 2025});
  EXPECT_EQ(Shape(list), (Items{
                             "H:Прошедшие",
                             "S:Дни рождения",
                             "E:10/06 Иван",
                             "S:Даты",
                             "E:12/06 День России",
                             "H:15 июня 2025  Вс",
                             "S:Дни рождения",
                             "E:Маша   (5-я годовщина)",
                             "S:Даты",
                             "E:Праздник",
                             "S:Именинники",
                             "E:Ия, Мария",  // the later name-day line wins
                             "H:Предстоящие",
                             "S:Дни рождения",
                             "E:17/06 Пётр",
                             "S:Даты",
                             "E:20/06 Лето",
                             "E:20/06 Ещё",
                         }));
  EXPECT_EQ(list.topLine, 5u);
  struct Expect {
    size_t line;
    Rgb background, foreground;
  } colours[] = {
      {1, kSubheadingColour, kPastColour},
      {2, kWhite, kPastColour},
      {6, kSubheadingColour, kTodayColour},
      {7, kWhite, kTodayColour},
      {11, kWhite, kTodayColour},
      {12, kComingColour, kWhite},
      {13, kSubheadingColour, kComingColour},
      {14, kWhite, kComingColour},
  };
  for (const Expect& e : colours) {
    EXPECT_EQ(list.lines[e.line].background, e.background) << e.line;
    EXPECT_EQ(list.lines[e.line].foreground, e.foreground) << e.line;
  }
}

TEST(DatesList, FridayThe13thAndNameDays) {
  // 13 June 2025 is a Friday.
  DatesList bare = BuildDatesList({}, {}, {13, 6, 2025});
  EXPECT_EQ(Shape(bare),
            (Items{"H:Прошедшие", "H:13 июня 2025  Пт", "S:Даты", "E:Пятница 13-го", "H:Предстоящие"}));
  DatesList withDates = BuildDatesList({}, {{}, {"Праздник"}, {}}, {13, 6, 2025});
  EXPECT_EQ(Shape(withDates), (Items{"H:Прошедшие", "H:13 июня 2025  Пт", "S:Даты", "E:Праздник",
                                     "E:Пятница 13-го", "H:Предстоящие"}));
  EXPECT_EQ(Shape(BuildDatesList({}, {}, {12, 6, 2025})).size(), 3u);
  // A birthday whose text merely holds a "%" is an entry; only "%" as field 3 is a name day.
  DatesList percent = BuildDatesList({{}, {"Скидка 50% Ване", "14/06/%"}, {}}, {}, {14, 6, 2025});
  EXPECT_EQ(Shape(percent), (Items{"H:Прошедшие", "H:14 июня 2025  Сб", "S:Дни рождения", "E:Скидка 50% Ване",
                                   "H:Предстоящие"}));
}

TEST(DatesList, BuildsFromTheProgramFolderFiles) {
  ScratchFolder dir;
  platform::MakeDir(dir / "Support");
  Spit(dir / "Support\\Birthday.txt", "/2|формат\r\n24/12/%/Ева\r\n24/12/1990/Ева Иванова\r\n");
  Spit(dir / "Support\\Holidays.txt", "01/01 Новый год\r\n");  // older format: upgraded on the way
  DatesList list = BuildDatesListForFolder(dir.path(), {27, 12, 2025});
  EXPECT_EQ(Shape(list), (Items{"H:Прошедшие", "S:Дни рождения", "E:24/12 Ева Иванова   (35-я годовщина)",
                                "H:27 декабря 2025  Сб", "H:Предстоящие", "S:Даты", "E:01/01 Новый год"}));
  EXPECT_EQ(testing::Slurp(dir / "Support\\Holidays.txt").substr(0, 10), "/2|формат\n");
}

TEST(ReferenceDate, ChosenDateSurvivesRefreshUntilTodayIsChosen) {
  Date today{5, 3, 2025};
  ReferenceDate ref = StartReference(today);
  EXPECT_EQ(ref.date, today);
  EXPECT_EQ(ref.weekday, 2);
  EXPECT_EQ(ref.text, "");

  ReferenceDate refreshed = RefreshReference(ref, Date{6, 3, 2025});  // no text form yet: today
  EXPECT_EQ(refreshed.date, (Date{6, 3, 2025}));
  EXPECT_EQ(refreshed.text, "6/3/2025");

  ReferenceDate picked = ChooseReference({13, 6, 2025});
  EXPECT_EQ(picked.text, "13/6/2025");
  EXPECT_EQ(picked.weekday, 4);
  ReferenceDate again = RefreshReference(picked, Date{7, 3, 2025});
  EXPECT_EQ(again.date, (Date{13, 6, 2025}));
  EXPECT_EQ(again.weekday, 4);
  EXPECT_EQ(ChooseReference(today).date, today);

  ReferenceDate broken = picked;
  broken.text = "31/2/2025";
  EXPECT_EQ(RefreshReference(broken, today).date, today);
}

TEST(EasterMenu, TextsOfTheYear) {
  EasterMenu m = EasterMenuTexts(2025);
  EXPECT_EQ(m.orthodox, "Пасха православная 20/04/2025");
  EXPECT_EQ(m.catholic, "Пасха католическая 20/04/2025");
  EXPECT_EQ(m.jewish, "Пасха еврейская 13/04/2025 Вс");
  EXPECT_EQ(EasterMenuTexts(2024).jewish, "Пасха еврейская 23/04/2024 Вт");
  EXPECT_EQ(EasterMenuTexts(2013).orthodox, "Пасха православная 05/05/2013");
}

TEST(DateSearch, FindsLinesAsStored) {
  std::string file =
      "/2|формат\r\n;Иван in a comment\r\n12/04/1980/Иван\tПетров\r\n01/01/ИВАН\r\nёлка/Ёж\r\n";
  struct Case {
    const char* needle;
    bool matchCase;
    Items found;
  } cases[] = {
      {"иван", false, {"12/04/1980/Иван      Петров", "01/01/ИВАН"}},
      {"Иван", true, {"12/04/1980/Иван      Петров"}},
      {"иван", true, {}},
      {"ЁЖ", false, {"ёлка/Ёж"}},
      {"формат", false, {"/2|формат"}},
  };
  for (const Case& c : cases) {
    std::vector<ListLine> lines = SearchDateText(file, c.needle, c.matchCase);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], (ListLine{LineKind::kHeading, "Результат поиска:", kSearchColour, kWhite}));
    Items found;
    for (size_t i = 1; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].background, kWhite);
      EXPECT_EQ(lines[i].foreground, kSearchColour);
      found.push_back(lines[i].text);
    }
    EXPECT_EQ(found, c.found) << c.needle;
  }
  ScratchFolder dir;
  EXPECT_FALSE(SearchDateFile(dir / "missing.txt", "x", false).has_value());
}

TEST(DateSearch, UpperCaseCoversTheCyrillicOfTheCodePage) {
  // Pairs checked against the code page's own letters, decoded to UTF-8.
  struct Pair {
    const char* lower;
    const char* upper;
  } pairs[] = {{"абвгдеёжзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
               {"іїєґўђѓљњќћџјѕ", "ІЇЄҐЎЂЃЉЊЌЋЏЈЅ"},
               {"abc xyz 123 №", "ABC XYZ 123 №"}};
  for (const Pair& p : pairs)
    EXPECT_EQ(platform::Cp1251ToUtf8(UpperCp1251(p.lower)), platform::Cp1251ToUtf8(p.upper));
}

}  // namespace
}  // namespace vm::dates
