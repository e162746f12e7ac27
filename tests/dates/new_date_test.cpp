#include "dates/new_date.h"

#include <gtest/gtest.h>

#include <string>

#include "dates/date_file.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

TEST(NewDate, LinesInTheFileFormatThatEvaluateBackToTheText) {
  struct Case {
    NewDate entry;
    const char* line;
    const char* today;  // what the evaluation shows on that day in 2025
  } cases[] = {
      {{5, 3, "1990", "Иван Петров"}, "05/03/1990/Иван Петров", "Иван Петров   (35-я годовщина)"},
      {{5, 3, "", "  Иван Петров "}, "05/03/Иван Петров", "Иван Петров"},
      {{12, 4, " 1961 ", "Полёт/старт"}, "12/04/1961/Полёт#/старт", "Полёт/старт   (64-я годовщина)"},
      {{1, 1, "", "1961/Полёт"}, "01/01/1961#/Полёт", "1961/Полёт"},
      {{1, 1, "", "2000"}, "01/01/2000", "2000"},
      {{31, 12, "2025", "Сегодня"}, "31/12/2025/Сегодня", "Сегодня   (0-я годовщина)"},
      {{25, 1, "", "% Татьяна"}, "25/01/% Татьяна", "% Татьяна"},
  };
  for (const Case& c : cases) {
    NewDateLine got = MakeNewDateLine(c.entry, 2025);
    EXPECT_EQ(got.error, "") << c.line;
    EXPECT_EQ(got.line, c.line);
    DateLists lists = EvaluateDateText(got.line, {c.entry.day, c.entry.month, 2025});
    ASSERT_EQ(lists.today.size(), 1u) << c.line;
    EXPECT_EQ(lists.today[0], c.today);
  }
  EXPECT_EQ(MakeNewDateLine({29, 2, "", "Високосный"}, 2025).line, "29/02/Високосный");
}

TEST(NewDate, BadInputGetsAReasonAndNoLine) {
  struct Case {
    NewDate entry;
    const char* error;
  } cases[] = {
      {{0, 3, "", "x"}, "Неверная дата."},
      {{30, 2, "", "x"}, "Неверная дата."},
      {{31, 4, "", "x"}, "Неверная дата."},
      {{1, 13, "", "x"}, "Неверная дата."},
      {{1, 1, "19x0", "x"}, "Год должен быть числом от 1 до 2025."},
      {{1, 1, "2026", "x"}, "Год должен быть числом от 1 до 2025."},
      {{1, 1, "0", "x"}, "Год должен быть числом от 1 до 2025."},
      {{1, 1, "-5", "x"}, "Год должен быть числом от 1 до 2025."},
      {{1, 1, "", "  "}, "Введите текст."},
      {{1, 1, "", "a\r\nb"}, "Текст должен быть одной строкой."},
      {{1, 1, "", "C# day"}, "Знак # в файлах дат не сохраняется: уберите его из текста."},
      {{1, 1, "", "%"}, "Текст \"%\" означает именины: добавьте имя."},
  };
  for (const Case& c : cases) {
    NewDateLine got = MakeNewDateLine(c.entry, 2025);
    EXPECT_EQ(got.error, c.error) << c.entry.day << "/" << c.entry.month << " " << c.entry.text;
    EXPECT_EQ(got.line, "");
  }
}

TEST(NewDate, AppendingKeepsEveryByteTheFileHad) {
  struct Case {
    std::string existing;
    bool exists;
    std::string result;
  } cases[] = {
      {"/2|формат\r\n;c\r\n01/01/A\r\n", true, "/2|формат\r\n;c\r\n01/01/A\r\n05/03/B\r\n"},
      {"/2|формат\r\n01/01/A", true, "/2|формат\r\n01/01/A\r\n05/03/B\r\n"},
      {"/2|формат\n01/01/A\n", true, "/2|формат\n01/01/A\n05/03/B\n"},
      {"/2|формат\x1a", true, "/2|формат\x1a\r\n05/03/B\r\n"},
      {"", false, "/2|формат\r\n05/03/B\r\n"},
      {"", true, "/2|формат\r\n05/03/B\r\n"},
      {";only a comment\n", true, "/2|формат\n;only a comment\n05/03/B\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(AppendedDateText(c.existing, c.exists, "05/03/B"), c.result);

  ScratchFolder dir;
  std::string path = dir / "Birthday.txt";
  std::string current = "/2|формат\r\n;Мои даты\r\n12/04/1961/Юрий\r\n";
  Spit(path, current);
  EXPECT_EQ(AppendDateLine(path, "05/03/1990/Иван"), "");
  EXPECT_EQ(Slurp(path), current + "05/03/1990/Иван\r\n");
  EXPECT_EQ(AppendDateLine(dir / "New.txt", "05/03/B"), "");
  EXPECT_EQ(Slurp(dir / "New.txt"), "/2|формат\r\n05/03/B\r\n");

  // A file in the older format is upgraded first, so its lines keep their meaning.
  Spit(path, "12/04/1961 Юрий\n");
  EXPECT_EQ(AppendDateLine(path, "05/03/B"), "");
  EXPECT_EQ(EvaluateDateFile(path, {12, 4, 2025}).today, std::vector<std::string>{"Юрий   (64-я годовщина)"});
  EXPECT_EQ(EvaluateDateFile(path, {5, 3, 2025}).today, std::vector<std::string>{"B"});

  // A failed write leaves the file as it was and says so.
  Spit(path, current);
  platform::SetSafeReplaceFaultHook(
      [](platform::SaveError step) { return step == platform::SaveError::kRename; });
  EXPECT_EQ(AppendDateLine(path, "05/03/B"), "Ошибка записи в файл " + path);
  platform::SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(Slurp(path), current);
}

}  // namespace
}  // namespace vm::dates
