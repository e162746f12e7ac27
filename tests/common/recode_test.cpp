#include "common/recode.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"

namespace vm {
namespace {

using platform::kCp1251;
using platform::kIso8859_5;
using platform::kKoi8R;
using platform::kUtf8;

TEST(Recode, CommandsConvertBetweenTheStandardTables) {
  // "Аая" in each page: the bytes come from the pages' published tables.
  struct Case {
    int command;
    std::string from, to;
  } cases[] = {
      {139, "\xC0\xE0\xFF", "\xE1\xC1\xD1"},  // Win->Koi
      {142, "\xE1\xC1\xD1", "\xC0\xE0\xFF"},  // Koi->Win
      {155, "\xC0\xE0\xFF", "\xB0\xD0\xEF"},  // Win->Iso
      {157, "\xB0\xD0\xEF", "\xC0\xE0\xFF"},  // Iso->Win
      {138, "\xC0\xE0\xFF", "\x80\xA0\xEF"},  // Win->Dos (866 here and under a Russian Wine)
      {156, "\x80\xA0\xEF", "\xC0\xE0\xFF"},  // Dos->Win
  };
  // The DOS rows hold for a Russian system, whose OEM page is 866 (POSIX always says so).
  const bool russianOem = platform::OemCodePage() == 866u;
  ASSERT_EQ(RecodeCommands().size(), 6u);
  for (const Case& c : cases) {
    const RecodeCommand* command = FindRecodeCommand(c.command);
    ASSERT_NE(command, nullptr) << c.command;
    if (!russianOem && (command->from == kOemPage || command->to == kOemPage)) continue;
    std::string text = c.from;
    EXPECT_TRUE(RecodeInPlace(text, command->from, command->to)) << command->text;
    EXPECT_EQ(text, c.to) << command->text;
  }
  EXPECT_EQ(FindRecodeCommand(kUtf8ToWinCommand), nullptr);
}

TEST(Recode, EightBitTextsKeepTheirLengthAndAreRestored) {
  std::string all;
  for (int b = 0x20; b < 0x100; ++b)
    if (b != 0x7F && b != 0x98) all.push_back(static_cast<char>(b));
  std::vector<unsigned> targets = {kKoi8R, kIso8859_5};
  if (platform::OemCodePage() == 866u) targets.push_back(kOemPage);
  for (unsigned target : targets) {
    std::string text = all;
    ASSERT_TRUE(RecodeInPlace(text, kCp1251, target));
    EXPECT_EQ(text.size(), all.size()) << target;
    std::string back = text;
    ASSERT_TRUE(RecodeInPlace(back, target, kCp1251));
    // Every letter of the Russian alphabet, "Ёё" included, survives the round trip.
    for (int b = 0xC0; b <= 0x100; ++b) {
      char letter = static_cast<char>(b == 0x100 ? 0xA8 : b);
      size_t at = all.find(letter);
      EXPECT_EQ(back[at], letter) << target << " " << b;
      EXPECT_EQ(back[all.find('\xB8')], '\xB8') << target;
    }
  }
}

TEST(Recode, CharactersTheTargetLacksBecomeHash) {
  struct Case {
    unsigned from, to;
    std::string text, result;
  } cases[] = {
      {kCp1251, kKoi8R, "5\x88 \xB9" "1", "5# #1"},   // "€" and "№" are not in KOI8-R
      {kCp1251, kIso8859_5, "\xAB\xE0\xBB", "#\xD0#"},  // nor the guillemets in ISO-8859-5
      {kCp1251, kKoi8R, "", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_TRUE(RecodeInPlace(text, c.from, c.to));
    EXPECT_EQ(text, c.result);
  }
  std::string text = "keep";
  EXPECT_FALSE(RecodeInPlace(text, 12345, kCp1251));
  EXPECT_EQ(text, "keep");
}

TEST(Recode, Utf8ToWindowsKeepsTheTextWhenItCannotConvert) {
  struct Case {
    std::string text;
    bool ok;
    std::string result, message;
  } cases[] = {
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC", true, "Привет \x88", ""},
      {"a\xE4\xB8\xAD" "b", true, "a?b", ""},  // not in cp1251: the encoder's default
      {"", true, "", ""},                       // an empty note is no failure
      {"Привет", false, "Привет", kToUnicodeFailed},  // already cp1251: kept, not turned to "?"
  };
  for (const Case& c : cases) {
    RecodeOutcome r = Utf8ToWindows(c.text);
    EXPECT_EQ(r.ok, c.ok) << c.result;
    EXPECT_EQ(r.text, c.result);
    EXPECT_EQ(r.message, c.message);
  }
  EXPECT_EQ(RecodeText("\xD0\xAF", kUtf8, kKoi8R).text, "\xF1");
  EXPECT_EQ(RecodeText("\xDF", kCp1251, kUtf8).text, "\xD0\xAF");
}

TEST(Recode, CharsetTagRepair) {
  EXPECT_EQ(RepairCharsetTag("{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 X;}{\\f2\\fcharset0 Y;}"),
            "{\\f0\\fcharset204 Arial;}{\\f1\\fcharset204 X;}{\\f2\\fcharset204 Y;}");
  EXPECT_EQ(RepairCharsetTag(""), "");
}

TEST(Transliteration, LatinToRussianFollowsTheTableOrder) {
  struct Case {
    const char* latin;
    const char* russian;
  } cases[] = {
      {"shch", "шч"},          // "ch" stands before "sh"
      {"w", "щ"},
      {"yo jo YO JO", "ё ё Ё Ё"},
      {"E'to e'ho", "Это эхо"},  // "E'" first, before "'" turns into "ь"
      {"Chto CHTO", "Цхто ЧТО"},  // mixed case falls apart into two letters
      {"privet, mir!", "привет, мир!"},
      {"ob~yom, den'", "объём, день"},
      {"q x Q X 123", "q x Q X 123"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(LatinToRussian(c.latin), c.russian) << c.latin;
}

TEST(Transliteration, RussianToLatinTakesTheFirstMatchingRow) {
  struct Case {
    const char* russian;
    const char* latin;
  } cases[] = {
      {"ёлка Ёж", "yolka YOzh"},
      {"юла, яма", "yula, yama"},
      {"щи", "wi"},
      {"ЪЬ ъь", "~' ~'"},
      {"Это Юля", "E'to YUlya"},
      {"Latin stays", "Latin stays"},
  };
  for (const Case& c : cases) EXPECT_EQ(RussianToLatin(c.russian), c.latin) << c.latin;
  // Upper-case hard and soft signs come back in lower case: the lower-case rows go first.
  EXPECT_EQ(LatinToRussian(RussianToLatin("ЪЬ")), "ъь");
  // The whole lower-case alphabet goes there and back.
  const std::string alphabet = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";
  EXPECT_EQ(LatinToRussian(RussianToLatin(alphabet)), alphabet);
}

}  // namespace
}  // namespace vm
