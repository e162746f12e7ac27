#include "tasks/sticker.h"

#include <gtest/gtest.h>

#include <random>

#include "common/app_util.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "tasks/task_views.h"

namespace vm::tasks {
namespace {

using F = TaskField;
const dates::Date kToday{5, 3, 2013};

std::string R(const std::string& head, const std::string& status, bool deadline = false,
              const std::string& date = "05/03/2013") {
  return testing::TaskRecord(head,
                             {{F::Status, status}, {F::DeadlineFlag, deadline ? "1" : "0"}, {F::Date, date}});
}

TEST(StickerText, MarkedRecordsThenDeadlines) {
  TaskList r = {R("Один", "4"), R("нет", "1"), R("Два", "5"), R("Срок", "6", true, "09/03/2013"),
                R("Завтра", "0", true, "06/03/2013"), R("Через 4", "0", true, "09/03/2013"),
                R("Сделан", "1", true, "06/03/2013")};
  EXPECT_EQ(StickerText(r, kToday, false), "   1. Один\r\n   2. Два\r\n   09/03/2013 Срок");
  EXPECT_EQ(StickerText(r, kToday, true), "   1. Один\r\n   2. Два\r\n   06/03/2013 Завтра\r\n   09/03/2013 Срок");
}

TEST(StickerText, PaddingEmptyAndOnlyDeadlines) {
  EXPECT_EQ(StickerText({}, kToday, true), "");
  EXPECT_EQ(StickerText({R("a", "4")}, kToday, false), "   1. a" + std::string(33, ' '));
  EXPECT_EQ(StickerText({R("Срок сегодня", "0", true)}, kToday, true), "   05/03/2013 Срок сегодня" + std::string(14, ' '));
  EXPECT_EQ(StickerCode(""), 10);
  EXPECT_EQ(StickerCode("x"), 16);
}

TEST(StickerText, WrapsAtTheLastBlankBeforeForty) {
  std::string line = "   1. " + std::string(30, 'a') + " bbbbbbbbbb cc";
  EXPECT_EQ(WrapStickerLine(line), "   1. " + std::string(30, 'a') + "\r\nbbbbbbbbbb cc");
  EXPECT_EQ(WrapStickerLine(std::string(45, 'x')), std::string(40, 'x') + "\r\n" + std::string(5, 'x'));
  std::string ok(40, 'y');
  EXPECT_EQ(WrapStickerLine(ok), ok);
}

// Wrapping as a loop that cuts the front off the rest each time.
std::string WrappedPlainly(std::string rest, int width) {
  std::string out;
  while (static_cast<int>(rest.size()) > width) {
    size_t cut = rest.rfind(' ', static_cast<size_t>(width - 1));
    if (cut == std::string::npos || cut == 0) {
      out += rest.substr(0, width) + "\r\n";
      rest.erase(0, width);
    } else {
      out += rest.substr(0, cut) + "\r\n";
      rest.erase(0, cut + 1);
    }
  }
  return out + rest;
}

TEST(StickerText, WrapsLikeCuttingTheFrontOffAtEveryWidth) {
  std::mt19937 rng(4);
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (size_t i = rng() % 200; i > 0; --i) line.push_back(rng() % 4 ? 'a' + static_cast<char>(rng() % 3) : ' ');
    const int width = 1 + static_cast<int>(rng() % 60);
    ASSERT_EQ(WrapStickerLine(line, width), WrappedPlainly(line, width)) << width << " '" << line << "'";
  }
  // Bytes one bit off a blank, and blanks on both sides of every eight-byte boundary.
  const char near[] = {' ', '!', '\xA0', '\0', '0', '\x60', 'a'};
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (size_t i = rng() % 90; i > 0; --i) line.push_back(near[rng() % sizeof near]);
    const int width = 1 + static_cast<int>(rng() % 20);
    ASSERT_EQ(WrapStickerLine(line, width), WrappedPlainly(line, width)) << width << " '" << line << "'";
  }
  // No width leaves a line unbroken forever: below one it wraps as at one.
  EXPECT_EQ(WrapStickerLine("ab c", 0), "a\r\nb\r\n \r\nc");
  EXPECT_EQ(WrapStickerLine("ab c", -5), WrapStickerLine("ab c", 1));
}

TEST(StickerText, LengthLimit) {
  EXPECT_TRUE(StickerTextFits(std::string(4095, 'a')));
  EXPECT_FALSE(StickerTextFits(std::string(4096, 'a')));
}

TEST(StickerSettings, ColoursPositionAndOptions) {
  testing::ScratchFolder dir;
  CAppUtil app(dir.path(), "Velmoria");
  StickerLook look = ReadStickerLook(app);
  EXPECT_FALSE(look.customBack);
  EXPECT_EQ(look.text, Rgb(0, 50, 100));
  EXPECT_EQ(look.height, -11);
  EXPECT_EQ(look.weight, 500);
  EXPECT_EQ(look.faceName, "Arial Cyr");
  WriteStickerColour(app, "BK", Rgb(10, 200, 255));
  EXPECT_EQ(app.GetSetting("ALARM", "BKR"), "10");
  EXPECT_EQ(app.GetSetting("ALARM", "BKG"), "200");
  EXPECT_EQ(app.GetSetting("ALARM", "BKB"), "255");
  look = ReadStickerLook(app);
  EXPECT_TRUE(look.customBack);
  EXPECT_EQ(look.back, Rgb(10, 200, 255));
  ClearStickerColours(app);
  EXPECT_FALSE(ReadStickerLook(app).customBack);
  EXPECT_EQ(app.GetSetting("ALARM", "TKR"), "");
  WriteStickerPosition(app, {100, 200});
  EXPECT_EQ(ReadStickerPosition(app, 1024, 768).top, 100);
  EXPECT_EQ(ReadStickerPosition(app, 1024, 768).left, 200);
  EXPECT_EQ(ReadStickerPosition(app, 1024, 140).top, 0);   // within 50 of the bottom
  EXPECT_EQ(ReadStickerPosition(app, 230, 768).left, 0);   // within 40 of the right
  EXPECT_EQ(ClampStickerPosition({-5, 0}, 100, 100).top, 0);
  EXPECT_FALSE(StickerOptionOn(app, "TOPMOST"));
  WriteStickerOption(app, "TOPMOST", true);
  EXPECT_TRUE(StickerOptionOn(app, "TOPMOST"));
}

}  // namespace
}  // namespace vm::tasks
