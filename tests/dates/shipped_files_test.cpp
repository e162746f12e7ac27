// The date files shipped in "Support": current format, cp1251 with CR LF, and every
// entry line names exactly one day a year.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "dates/date_file.h"
#include "platform/platform.h"

namespace vm::dates {
namespace {

std::string Shipped(const std::string& name) {
  std::string path = std::string(VELMORIA_SOURCE_DIR) + "/support/" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::string bytes;
  EXPECT_TRUE(platform::ReadFileBytes(path, bytes)) << path;
  return bytes;
}

void ExpectTextFileForm(const std::string& bytes, const char* name) {
  EXPECT_EQ(bytes.substr(0, 11), "/2|формат\r\n") << name;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
    }
    ASSERT_NE(static_cast<unsigned char>(bytes[i]), 0x98) << name << ": not a cp1251 character";
  }
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
  EXPECT_FALSE(UpgradedDateText(bytes, name).has_value()) << name;
}

std::vector<std::string> EntryLines(const std::string& bytes) {
  std::vector<std::string> out;
  for (const std::string& line : SplitTextLines(bytes))
    if (!line.empty() && line[0] != ';' && line.find(kFormatMarker) == std::string::npos) out.push_back(line);
  return out;
}

TEST(ShippedDateFiles, HolidaysLinesEachNameOneDayAYear) {
  std::string bytes = Shipped("Holidays.txt");
  ExpectTextFileForm(bytes, "Holidays.txt");
  std::vector<std::string> lines = EntryLines(bytes);
  EXPECT_GT(lines.size(), 80u);
  for (const std::string& line : lines) {
    for (int year : {2024, 2025, 2026}) {
      int days = 0;
      for (Date d{1, 1, year}; d.year == year; d = AddDays(d, 1))
        days += static_cast<int>(EvaluateDateText(line, d).today.size());
      EXPECT_EQ(days, 1) << platform::Cp1251ToUtf8(line) << " in " << year;
    }
  }
}

TEST(ShippedDateFiles, MovableFeastsFallOnTheirDays) {
  std::string bytes = Shipped("Holidays.txt");
  struct Case {
    Date day;
    const char* text;
  } cases[] = {
      {{2, 3, 2025}, "Прощёное воскресенье"},
      {{13, 4, 2025}, "Вербное воскресенье"},
      {{20, 4, 2025}, "Пасха"},
      {{29, 4, 2025}, "Радоница"},
      {{29, 5, 2025}, "Вознесение Господне"},
      {{8, 6, 2025}, "Троица"},
      {{31, 5, 2026}, "Троица"},
      {{21, 4, 2026}, "Радоница"},
      {{5, 4, 2026}, "Католическая пасха"},
      {{2, 4, 2026}, "Еврейская пасха"},
      {{30, 11, 2025}, "День матери"},
      {{29, 11, 2026}, "День матери"},
      {{9, 5, 2025}, "День Победы   (80-я годовщина)"},
      {{12, 4, 2025}, "День космонавтики   (64-я годовщина)"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> today = EvaluateDateText(bytes, c.day).today;
    EXPECT_NE(std::find(today.begin(), today.end(), c.text), today.end())
        << platform::Cp1251ToUtf8(c.text) << " on " << c.day.day << "." << c.day.month << "." << c.day.year;
  }
}

TEST(ShippedDateFiles, BirthdayFileHoldsOnlyItsHeader) {
  std::string bytes = Shipped("Birthday.txt");
  ExpectTextFileForm(bytes, "Birthday.txt");
  EXPECT_TRUE(EntryLines(bytes).empty());
}

}  // namespace
}  // namespace vm::dates
