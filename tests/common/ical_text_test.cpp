#include "common/ical_text.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace vm::ical {
namespace {

std::string U8(const char8_t* s) {
  return reinterpret_cast<const char*>(s);
}

TEST(ContentLines, UnfoldsGroupsParamsAndSoftBreaks) {
  const std::string file =
      "BEGIN:VCARD\r\n"
      "NOTE:This is a long\r\n"
      "  line\r\n\tgoing on\r\n"
      "item1.EMAIL;TYPE=INTERNET;type=pref:a@b.ru\n"
      "TEL;WORK;VOICE:+7 495 1\r\n"
      "ADR;LABEL=\"Moscow; Tverskaya, 1\";TYPE=work,postal:;;Tverskaya 1;Moscow;;;\r\n"
      "N;CHARSET=windows-1251;ENCODING=QUOTED-PRINTABLE:=C8=E2=E0=ED=EE=E2;=\r\n"
      "=C8=E2=E0=ED\r\n"
      "garbage without colon\r\n"
      "END:VCARD";
  std::vector<ContentLine> lines = ParseContentLines(file);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1].name, "NOTE");
  EXPECT_EQ(lines[1].value, "This is a long linegoing on");
  EXPECT_EQ(lines[2].group, "item1");
  EXPECT_EQ(lines[2].name, "EMAIL");
  EXPECT_TRUE(lines[2].Has("type", "PREF"));
  EXPECT_TRUE(lines[2].Has("TYPE", "internet"));
  EXPECT_TRUE(lines[3].Has("TYPE", "work"));
  EXPECT_TRUE(lines[3].Has("TYPE", "voice"));
  EXPECT_EQ(lines[4].ParamText("LABEL"), "Moscow; Tverskaya, 1");
  EXPECT_TRUE(lines[4].Has("TYPE", "postal"));
  EXPECT_EQ(SplitText(lines[4].value, ';')[3], "Moscow");
  EXPECT_EQ(lines[5].line, 8u);
  EXPECT_EQ(DecodedValue(lines[5]), U8(u8"Иванов;Иван"));
  EXPECT_EQ(lines[6].name, "END");
}

TEST(ContentLines, ValuesDecodeByCharsetOrByWhatTheBytesAre) {
  struct Case {
    std::string line;
    std::string text;
  } cases[] = {
      {"N;CHARSET=KOI8-R:\xE9\xD7\xC1\xCE", U8(u8"Иван")},
      {"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=98=D0=B2", U8(u8"Ив")},
      {"N:\xC8\xE2\xE0\xED", U8(u8"Иван")},  // Windows-1251 without a charset
      {U8(u8"N:Иван"), U8(u8"Иван")},
      {"NOTE;QUOTED-PRINTABLE:a=0D=0Ab=", "a\r\nb"},
  };
  for (const Case& c : cases) {
    std::vector<ContentLine> lines = ParseContentLines(c.line);
    ASSERT_EQ(lines.size(), 1u) << c.line;
    EXPECT_EQ(DecodedValue(lines[0]), c.text) << c.line;
  }
  EXPECT_TRUE(IsBinaryValue(ParseContentLines("PHOTO;ENCODING=b;TYPE=JPEG:AAAA")[0]));
  EXPECT_TRUE(IsBinaryValue(ParseContentLines("PHOTO:data:image/jpeg;base64,AAAA")[0]));
  EXPECT_FALSE(IsBinaryValue(ParseContentLines("PHOTO:http://x/y.jpg")[0]));
}

TEST(ContentLines, EscapesRoundTripAndSplitOnlyUnescaped) {
  const std::string text = "a;b,c\\d\ne";
  EXPECT_EQ(EscapeText(text), "a\\;b\\,c\\\\d\\ne");
  EXPECT_EQ(UnescapeText(EscapeText(text)), text);
  EXPECT_EQ(EscapeText("x\r\ny"), "x\\ny");
  std::vector<std::string> parts = SplitText("a\\;b;c\\,d;;e\\\\", ';');
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0], "a;b");
  EXPECT_EQ(parts[1], "c,d");
  EXPECT_EQ(parts[2], "");
  EXPECT_EQ(parts[3], "e\\");
  EXPECT_EQ(ParamValueText("plain"), "plain");
  EXPECT_EQ(ParamValueText("a:b \"q\""), "\"a:b ^'q^'\"");
  EXPECT_EQ(ParseContentLines("X;P=" + ParamValueText("a:b \"q\"\n^") + ":v")[0].ParamText("P"), "a:b \"q\"\n^");
}

TEST(ContentLines, FoldsAt75OctetsWithoutCuttingACharacter) {
  std::string line = "NOTE:";
  for (int i = 0; i < 100; ++i) line += U8(u8"ж");  // two octets each
  line += "xyz";
  std::string folded = FoldLine(line);
  size_t start = 0;
  std::string unfolded;
  while (start < folded.size()) {
    size_t end = folded.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    std::string physical = folded.substr(start, end - start);
    EXPECT_LE(physical.size(), 75u);
    EXPECT_TRUE(IsValidUtf8(start == 0 ? physical : physical.substr(1)));
    unfolded += start == 0 ? physical : physical.substr(1);
    start = end + 2;
  }
  EXPECT_EQ(unfolded, line);
  std::vector<ContentLine> back = ParseContentLines(folded);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ("NOTE:" + back[0].value, line);
  EXPECT_EQ(FoldLine("A:b"), "A:b\r\n");
}

TEST(ContentLines, CountsWhatWindows1251Lacks) {
  int replaced = 0;
  EXPECT_EQ(Utf8ToCp1251Counted(U8(u8"Ёж №5 — €"), replaced), "\xA8\xE6 \xB9" "5 \x97 \x88");
  EXPECT_EQ(replaced, 0);
  const std::string foreign = U8(u8"日本 😀 Ω") + "\xC3";  // outside the macro: it quotes its text
  EXPECT_EQ(Utf8ToCp1251Counted(foreign, replaced), "?? ? ??");
  EXPECT_EQ(replaced, 5);
  replaced = 0;
  EXPECT_EQ(Utf8ToCp1251Text("a\nb\r\nc\rd", replaced), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(Cp1251ToUtf8Text("\xC0\r\nb\rc"), U8(u8"А") + "\nb\nc");
}

}  // namespace
}  // namespace vm::ical
