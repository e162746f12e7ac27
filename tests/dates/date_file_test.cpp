#include "dates/date_file.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;
using Items = std::vector<std::string>;

DateLists Eval(const std::string& text, Date ref) {
  return EvaluateDateText(text, ref);
}

TEST(DateLine, FieldsFollowTheHashEscape) {
  struct Case {
    const char* line;
    Items fields;
  } cases[] = {
      {"01/01/text", {"01", "01", "text"}},
      {"01/05/Мир#/Труд/x", {"01", "05", "Мир/Труд", "x"}},
      {"a##b/c", {"ab", "c"}},
      {"##/x", {"/x"}},  // the "/" follows a "#", so it stays
      {"/2|формат", {"", "2|формат"}},
      {"a//", {"a", "", ""}},
      {"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitDateFields(c.line), c.fields) << c.line;
}

TEST(DateLine, NumbersAndYears) {
  struct Number {
    const char* text;
    int value;
  } numbers[] = {{"05", 5},
                 {" 12x", 12},
                 {"-7", -7},
                 {"+3", 3},
                 {"Вс3", 0},
                 {"", 0},
                 {"99999999999999", 999999},
                 {"-99999999999", -999999}};
  for (const Number& n : numbers) EXPECT_EQ(LeadingNumber(n.text), n.value) << n.text;

  // Field 3 is a year when it starts with a non-zero number and field 4 is not empty.
  struct Year {
    const char* text;
    const char* field4;
    bool isYear;
    int year;
  } years[] = {{"1961", "t", true, 1961}, {" 1961 ", "t", true, 1961}, {"1961г", "Полёт", true, 1961},
               {"1961г", "", false, 0},   {"8 Марта", "", false, 0},   {"1961", "", false, 0},
               {"0000", "t", false, 0},   {"%", "t", false, 0},        {"г1961", "t", false, 0},
               {"-5", "t", false, 0},     {"", "t", false, 0}};
  for (const Year& y : years) {
    int year = -1;
    EXPECT_EQ(EntryYear(y.text, y.field4, year), y.isYear) << y.text << "/" << y.field4;
    EXPECT_EQ(year, y.year) << y.text;
  }
}

// One table for the evaluation: a file, a reference date and the three lists.
TEST(DateEvaluation, ListsItemsForTheReferenceDate) {
  struct Case {
    const char* what;
    std::string file;
    Date ref;
    Items past, today, coming;
  } cases[] = {
      {"window edges",
       "09/06/minus6\r\n10/06/minus5\r\n15/06/today\r\n20/06/plus5\r\n21/06/plus6\r\n",
       {15, 6, 2025},
       {"10/06|minus5"},
       {"today"},
       {"20/06|plus5"}},
      {"late December from 2 January",
       "30/12/1990/Иван\r\n30/12/Новогодний\r\n",
       {2, 1, 2025},
       {"30/12|Иван   (34-я годовщина)", "30/12|Новогодний"},
       {},
       {}},
      {"early January from 30 December",
       "02/01/1990/Пётр\r\n",
       {30, 12, 2025},
       {},
       {},
       {"02/01|Пётр   (36-я годовщина)"}},
      {"anniversary today, single digit",
       "12/04/2020/Маша\r\n12/04/1961/Полёт\r\n",
       {12, 4, 2025},
       {},
       {"Маша   (5-я годовщина)", "Полёт   (64-я годовщина)"},
       {}},
      {"anniversary within the year",
       "10/04/1961/x\r\n14/04/2000/y\r\n",
       {12, 4, 2025},
       {"10/04|x   (64-я годовщина)"},
       {},
       {"14/04|y   (25-я годовщина)"}},
      {"day and month as written", "5/1/x\r\n1/1/y\r\n", {3, 1, 2025}, {"1/1|y"}, {}, {"5/1|x"}},
      {"Orthodox Easter offsets in 2025",
       "RP-/7/Вербное\r\nRP+/49/Троица\r\nRP-/10/Лазарь\r\nRP+/-3/Четверг\r\n",
       {13, 4, 2025},
       {"10/04|Лазарь"},
       {"Вербное"},
       {"17/04|Четверг"}},
      {"RP sign: anything but '-' adds", "RPx/49/a\r\nRP/49/b\r\n", {8, 6, 2025}, {}, {"a", "b"}, {}},
      {"RP with a year counts from the feast's year",
       "RP+/49/1990/Троица\r\n",
       {6, 6, 2025},
       {},
       {},
       {"08/06|Троица   (35-я годовщина)"}},
      {"RK and RE keep their own text",
       "RK/1/anything\r\nRE/x/1990/also\r\n",
       {15, 4, 2025},
       {"13/04|Еврейская пасха"},
       {},
       {"20/04|Католическая пасха"}},
      {"weekday codes",
       "Пн5/05/last Monday\r\nВс1/06/first Sunday\r\n",
       {31, 5, 2025},
       {"26/05|last Monday"},
       {},
       {"01/06|first Sunday"}},
      {"name-day lines only on their day, whole",
       "25/12/%/Анна  \r\n24/12/%/Ева\r\n26/12/%/Ия\r\n",
       {25, 12, 2025},
       {},
       {"25/12/%/Анна"},
       {}},
      {"field 3 that is not a year is the text", "08/03/8 Марта\r\n", {8, 3, 2025}, {}, {"8 Марта"}, {}},
      {"a year followed by letters",
       "12/04/1961г/Полёт Гагарина\r\n",
       {12, 4, 2025},
       {},
       {"Полёт Гагарина   (64-я годовщина)"},
       {}},
      {"31 February is 3 March", "31/02/x\r\n", {3, 3, 2025}, {}, {"x"}, {}},
      {"29 February in a common year is 1 March", "29/02/x\r\n", {1, 3, 2025}, {}, {"x"}, {}},
      {"an entry dated after its day, even past 2099, has no anniversary yet",
       "01/03/2150/Запуск\r\n02/03/2026/Сегодня\r\n03/03/99999/Далеко\r\n",
       {2, 3, 2026},
       {"01/03|Запуск"},
       {"Сегодня   (0-я годовщина)"},
       {"03/03|Далеко"}},
      {"comments, blanks, the marker and LF-only lines",
       "/2|формат\n;01/01/comment\n   \n\t\n01/01/ok\nx/2|формат\n",
       {1, 1, 2025},
       {},
       {"ok"},
       {}},
      {"sorted by month and day, file order kept for ties",
       "14/06/b\n12/06/a\n14/06/c\n11/06/z\n",
       {15, 6, 2025},
       {"11/06|z", "12/06|a", "14/06|b", "14/06|c"},
       {},
       {}},
      {"past across the year end sorts December first",
       "01/01/a\r\n30/12/b\r\n",
       {2, 1, 2025},
       {"30/12|b", "01/01|a"},
       {},
       {}},
      {"coming across the year end sorts December first",
       "02/01/a\r\n31/12/b\r\n",
       {30, 12, 2025},
       {},
       {},
       {"31/12|b", "02/01|a"}},
  };
  for (const Case& c : cases) {
    DateLists got = Eval(c.file, c.ref);
    EXPECT_EQ(got.past, c.past) << c.what;
    EXPECT_EQ(got.today, c.today) << c.what;
    EXPECT_EQ(got.coming, c.coming) << c.what;
  }
}

// Rule dates near the year end are taken in the year in which they fall next to the
// reference date; fixed dates keep the windows of the whole evaluation.
TEST(DateEvaluation, RuleDatesNearTheYearEndUseTheNeighbouringYear) {
  struct Case {
    const char* what;
    const char* file;
    Date ref;
    Items past, today, coming;
  } cases[] = {
      {"first Sunday of January from 31 December",
       "Вс1/01/Воскресенье",
       {31, 12, 2025},
       {},
       {},
       {"04/01|Воскресенье"}},
      {"last Sunday of December from 2 January",
       "Вс5/12/Воскресенье",
       {2, 1, 2025},
       {"29/12|Воскресенье"},
       {},
       {}},
      {"anniversary from the year it falls in",
       "Вс1/01/2000/Событие",
       {31, 12, 2025},
       {},
       {},
       {"04/01|Событие   (26-я годовщина)"}},
      {"past one counts from the previous year",
       "Вс5/12/2000/Событие",
       {2, 1, 2025},
       {"29/12|Событие   (24-я годовщина)"},
       {},
       {}},
      {"an Easter offset into the next year", "RP+/270/x", {12, 1, 2026}, {}, {}, {"15/01|x"}},
      {"a rule just outside the window", "Вс1/01/x", {29, 12, 2025}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    DateLists got = Eval(c.file, c.ref);
    EXPECT_EQ(got.past, c.past) << c.what;
    EXPECT_EQ(got.today, c.today) << c.what;
    EXPECT_EQ(got.coming, c.coming) << c.what;
  }
}

TEST(DateEvaluation, LinesWithoutADateNeverShow) {
  const char* lines[] = {
      "Xx3/05/unknown code",
      "Вс0/05/n is 0",
      "Вс6/05/n is 6",
      "Вс/05/no n",
      "Вс3/13/month 13",
      "Вс3/0/month 0",
      "/05/empty day",
      "05//empty month",
      "05",
      "-3/05/negative day",
      "0/05/zero day",
      "00/05/zeros",
      "05/99/month 99",
      "999/01/day 999",
      "R/05/x",
      "RKX/1/x",
      "#/05/only hash",
  };
  for (const char* line : lines) {
    for (Date d{1, 1, 2025}; d.year == 2025; d = AddDays(d, 1)) {
      DateLists got = Eval(line, d);
      ASSERT_TRUE(got.past.empty() && got.today.empty() && got.coming.empty())
          << line << " " << d.day << "." << d.month;
    }
  }
}

TEST(DateEvaluation, EveryRuleFallsOnExactlyOneDayAYear) {
  const char* lines[] = {"RP-/48/a", "RP+/9/b",  "RK/1/c",   "RE/1/d",
                         "Вс5/12/e", "Вс1/01/f", "Пн5/05/g", "Сб3/02/h"};
  for (const char* line : lines) {
    for (int year : {2024, 2025, 2026}) {
      int todays = 0;
      for (Date d{1, 1, year}; d.year == year; d = AddDays(d, 1))
        todays += static_cast<int>(Eval(line, d).today.size());
      EXPECT_EQ(todays, 1) << line << " " << year;
    }
  }
}

TEST(DateEvaluation, InvalidReferenceGivesNothing) {
  for (Date d : {Date{0, 1, 2025}, Date{32, 1, 2025}, Date{1, 13, 2025}, Date{29, 2, 2025}, Date{1, 1, 0}}) {
    DateLists got = Eval("01/01/x\n", d);
    EXPECT_TRUE(got.past.empty() && got.today.empty() && got.coming.empty());
  }
  // Real days of years the calendar does not compute: 1 March 2100 is not the day after
  // a 29 February.
  for (Date d : {Date{1, 3, 2100}, Date{1, 1, 1900}}) {
    DateLists got = Eval("01/03/x\n01/01/y\n29/02/z\n", d);
    EXPECT_TRUE(got.past.empty() && got.today.empty() && got.coming.empty()) << d.year;
  }
}

TEST(DateItems, SplitAtTheFirstUnescapedBar) {
  std::string date, text;
  SplitItem("01/02|a|b", date, text);
  EXPECT_EQ(date, "01/02");
  EXPECT_EQ(text, "a|b");
  SplitItem("a#|b|c", date, text);
  EXPECT_EQ(date, "a#|b");
  EXPECT_EQ(text, "c");
  SplitItem("no bar", date, text);
  EXPECT_EQ(date, "");
  EXPECT_EQ(text, "no bar");
}

// The split and the blank rules give what a plain walk over the bytes gives.
TEST(DateItems, SplitAndBlanksAsAByteWalkGives) {
  std::mt19937 rng(31);
  const char alphabet[] = {'|', '#', '1', '/', ' ', '\t', '\v', '\f', '\r', '\n', '-', 'x', '\xA0'};
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  for (int round = 0; round < 3000; ++round) {
    std::string item;
    for (size_t i = rng() % 24; i > 0; --i) item.push_back(alphabet[rng() % sizeof alphabet]);
    size_t bar = 0;
    while (bar < item.size() && !(item[bar] == '|' && (bar == 0 || item[bar - 1] != '#'))) ++bar;
    std::string date, text;
    SplitItem(item, date, text);
    ASSERT_EQ(date, bar < item.size() ? item.substr(0, bar) : "") << item;
    ASSERT_EQ(text, bar < item.size() ? item.substr(bar + 1) : item) << item;
    size_t end = item.size();
    while (end > 0 && blank(item[end - 1])) --end;
    ASSERT_EQ(TrimRight(item), item.substr(0, end)) << item;
    size_t lead = 0;
    while (lead < item.size() && blank(item[lead])) ++lead;
    const int sign = lead < item.size() && item[lead] == '-' ? -1 : 1;
    int number = 0;
    for (size_t i = lead + (sign < 0); i < item.size() && item[i] == '1'; ++i) number = std::min(999999, number * 10 + 1);
    ASSERT_EQ(LeadingNumber(item), sign * number) << item;
  }
}

// ---- the upgrade ---------------------------------------------------------------------

const char kHolidaysHeaderBytes[] =
    "/2|формат\n;Holidays.txt\n;Данные о праздниках, знаменательных датах\n;\n;\n;Вводятся в виде\n"
    ";дд/мм/гггг Что_случилось_в именительном_падеже\n;Указание года необязательно\n;\n"
    ";Строки с комментариями начинаются с символа \";\"\n;";
const char kBirthdayHeaderBytes[] =
    "/2|формат\n;Birthday.txt\n;Данные о днях рождения\n;\n;Вводятся в виде\n"
    ";дд/мм/гггг Кого_поздравляем_в_именительном_падеже\n;Указание года необязательно\n;";

class DateUpgradeTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetSafeReplaceFaultHook(nullptr); }
  ScratchFolder dir;
};

TEST_F(DateUpgradeTest, RewritesOlderFilesByteForByte) {
  struct Case {
    const char* name;
    std::string old;
    std::string upgraded;
  } cases[] = {
      {"Holidays.txt", ";old comment\r\n12/04/1961 Полёт Гагарина  \r\n\r\n01/01 Новый год\r\n",
       std::string(kHolidaysHeaderBytes) + "\n12/04/1961/Полёт Гагарина\n01/01/Новый год"},
      {"HOLIDAYS.TXT", "08/03    Женский день", std::string(kHolidaysHeaderBytes) + "\n08/03/Женский день"},
      {"Birthday.txt", "25/12 % Анна\n12/05/1980 Иван Петров\n",
       std::string(kBirthdayHeaderBytes) + "\n25/12/%/Анна\n12/05/1980/Иван Петров"},
      {"other.txt", "07/01\n", std::string(kBirthdayHeaderBytes) + "\n07/01/"},
  };
  for (const Case& c : cases) {
    std::string path = dir / c.name;
    Spit(path, c.old);
    EXPECT_EQ(UpgradeDateFile(path), UpgradeResult::kUpgraded) << c.name;
    EXPECT_EQ(Slurp(path), c.upgraded) << c.name;
    EXPECT_EQ(UpgradeDateFile(path), UpgradeResult::kCurrent) << c.name;
    platform::RemoveFile(path);
  }
}

TEST_F(DateUpgradeTest, LeavesCurrentAndEntrylessFilesAlone) {
  int writes = 0;
  platform::SetSafeReplaceFaultHook([&](platform::SaveError step) {
    writes += step == platform::SaveError::kOpen;
    return false;
  });
  std::string current = "/2|формат\r\n01/01 old-looking line\r\n";
  Spit(dir / "Holidays.txt", current);
  EXPECT_EQ(UpgradeDateFile(dir / "Holidays.txt"), UpgradeResult::kCurrent);
  EXPECT_EQ(Slurp(dir / "Holidays.txt"), current);
  std::string marker = "x\r\n;/2|формат somewhere\r\n";  // a marker anywhere counts
  Spit(dir / "Birthday.txt", marker);
  EXPECT_EQ(UpgradeDateFile(dir / "Birthday.txt"), UpgradeResult::kCurrent);
  Spit(dir / "c.txt", ";only\r\n\r\n;comments\r\n");
  EXPECT_EQ(UpgradeDateFile(dir / "c.txt"), UpgradeResult::kNothingToConvert);
  EXPECT_EQ(UpgradeDateFile(dir / "missing.txt"), UpgradeResult::kUnreadable);
  EXPECT_EQ(writes, 0);
  EXPECT_TRUE(EvaluateDateFile(dir / "missing.txt", {1, 1, 2025}).today.empty());
}

TEST_F(DateUpgradeTest, EvaluationUpgradesFirstAndSurvivesAFailedWrite) {
  std::string path = dir / "Birthday.txt";
  std::string old = "12/04/1961 Юрий\n25/12 % Анна\n";
  Spit(path, old);
  platform::SetSafeReplaceFaultHook(
      [](platform::SaveError step) { return step == platform::SaveError::kRename; });
  DateLists got = EvaluateDateFile(path, {25, 12, 2025});
  EXPECT_EQ(got.today, (Items{"25/12/%/Анна"}));
  EXPECT_EQ(Slurp(path), old);  // the old file is whole; the next evaluation tries again

  platform::SetSafeReplaceFaultHook(nullptr);
  got = EvaluateDateFile(path, {12, 4, 2025});
  EXPECT_EQ(got.today, (Items{"Юрий   (64-я годовщина)"}));
  EXPECT_EQ(Slurp(path), std::string(kBirthdayHeaderBytes) + "\n12/04/1961/Юрий\n25/12/%/Анна");
}

}  // namespace
}  // namespace vm::dates
