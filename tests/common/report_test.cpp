#include "common/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "common/report_samples.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;
using testing::SourcePath;
using testing::WriteContacts;

std::string ReadBack(const std::string& path) { return Slurp(path); }

TEST(ReportData, WritesItemsLinesAndNumbers) {
  ScratchFolder dir;
  std::string path = dir / "Dat.txt";
  Spit(path, "old content that must go");
  CReportData data;
  ASSERT_TRUE(data.Open(path));
  EXPECT_EQ(ReadBack(path), "");  // emptied at once
  auto upper = [](std::string_view v) {
    std::string s(v);
    for (char& c : s)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
  };
  EXPECT_TRUE(data.WriteItem("NAME1", "ann", 1, upper));
  EXPECT_TRUE(data.WriteItem("COMM1", "a\r\nb\rc\nd", 1));
  EXPECT_TRUE(data.EndLine());
  EXPECT_TRUE(data.WriteItem("ZAGOLOVOK", "page", 0, upper));  // no conversion for block 0
  EXPECT_TRUE(data.WriteNumber("COUNT", -12, 0));
  EXPECT_TRUE(data.Close());
  EXPECT_EQ(ReadBack(path), "|1:NAME1:ANN|1:COMM1:a|ERN:bc|ERN:d\r\n|0:ZAGOLOVOK:page\r\n|0:COUNT:-12\r\n");
  EXPECT_FALSE(data.Close());
}

TEST(ReportData, RefusesKeysThatCouldNotBeReadBack) {
  ScratchFolder dir;
  CReportData data;
  EXPECT_FALSE(data.WriteItem("KEY", "v", 1));  // nothing open
  EXPECT_FALSE(data.Open(dir / "no\\such\\folder\\x.txt"));
  ASSERT_TRUE(data.Open(dir / "Dat.txt"));
  for (const char* key : {"", "A:B", "A|B", "A#B", "A\nB"}) EXPECT_FALSE(data.WriteItem(key, "v", 1)) << key;
  EXPECT_TRUE(data.Close());
  EXPECT_EQ(ReadBack(dir / "Dat.txt"), "");
}

TEST(ReportFill, ReplacesNamedPlaceholdersOnly) {
  struct Case {
    const char* piece;
    const char* line;
    const char* filled;
  } cases[] = {
      {"<b>#NAME1#</b> #DOLG1#", "|1:NAME1:Ann|1:DOLG1:cook", "<b>Ann</b> cook"},
      {"#A# and #A#", "|1:A:x", "x and x"},
      {"#NAME2# stays", "|1:NAME1:Ann", "#NAME2# stays"},
      {"#C#", "|1:C:one|ERN:two|ERN:", "one<br>two<br>"},
      {"#A#-#B#", "|1:A:x|1::y|1:B:z", "x-#B#"},          // an item without a key ends the walk
      {"#A#", "|1:A:first|1:A:second", "first"},           // the first item of a key wins
      {"#A##B#", "|1:A:#B#|1:B:bee", "#B#bee"},            // values are not filled again
      {"#K#", "|12:K:a|1:b|12:L:c", "a|1:b"},              // values run to the line's own prefix
      {"#K#", "no items here", "#K#"},
      {"#TIME#", "|0:TIME:12:30", "12:30"},                // the key ends at the first ":"
      {"## #X# #", "|1:X:y", "## y #"},
  };
  for (const Case& c : cases) EXPECT_EQ(CReportTemplate::Fill(c.piece, c.line), c.filled) << c.piece;
}

TEST(ReportSteps, PlaceholdersDamagedByAnEditorAreCleaned) {
  struct Case {
    const char* text;
    const char* cleaned;
  } cases[] = {
      // wrapped in a span: the tags go
      {"<td>#<span class=\"x\">NAME1</span>#</td>", "<td>#NAME1#</td>"},
      // split by a tag: the letters before the tag go with it, so it no longer matches
      {"#NA<b>ME1</b>#", "#ME1#"},
      // spaces (and an editor's line break) inside
      {"# NAME1 #, #DO\r\nLG1#", "#NAME1#, #DOLG1#"},
      // the same damage elsewhere is mended everywhere
      {"# A # x # A #", "#A# x #A#"},
      // a marker wrapped in a tag
      {"#<i>D1</i>#", "#D1#"},
      // text between two "#" that is no name is left alone, and so is the rest of the page
      {"Дом # 5, кв # 7 <b>x</b>", "Дом # 5, кв # 7 <b>x</b>"},
      {"a # # b c d", "a # # b c d"},
      {"#<br>#NAME1#", "#<br>#NAME1#"},
      {"one # only", "one # only"},
  };
  for (const Case& c : cases) EXPECT_EQ(report_steps::CleanPlaceholders(c.text), c.cleaned) << c.text;
}

TEST(ReportSteps, TitleAndMarkerParagraphsAreRemoved) {
  EXPECT_EQ(report_steps::RemoveTitle("<head><title>Отчет</title><meta></head>"), "<head><meta></head>");
  EXPECT_EQ(report_steps::RemoveTitle("<head><meta></head>"), "<head><meta></head>");
  EXPECT_EQ(report_steps::RemoveTitle("<title>a > b</title>x"), "x");
  EXPECT_EQ(report_steps::RemoveTitle("<title>broken"), "<title>broken");

  struct Case {
    const char* text;
    const char* unwrapped;
  } cases[] = {
      {"<p class=\"MsoNormal\">#D1#</p>\r\n<td>#N#</td>\r\n<P>#1D#</P>", "#D1#\r\n<td>#N#</td>\r\n#1D#"},
      {"<p><span>#D12#</span></p>", "#D12#"},
      {"<p>Итого: #COUNT#</p>", "<p>Итого: #COUNT#</p>"},  // no marker: untouched
      {"<pre>#D1#</pre>", "<pre>#D1#</pre>"},              // not a paragraph
      {"<p>#D1#", "<p>#D1#"},                               // never closed
      {"<p>#D1#</p>x<p>#D1#</p>", "#D1#x#D1#"},
  };
  for (const Case& c : cases) EXPECT_EQ(report_steps::UnwrapMarkers(c.text), c.unwrapped) << c.text;
}

// The cleaning steps as first written, rescanning each stretch: the single-pass steps
// must agree with them on every text.
namespace plain {
constexpr size_t npos = std::string::npos;
bool Digit(char c) { return c >= '0' && c <= '9'; }
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
size_t Replace(std::string& text, const std::string& from, const std::string& to, size_t tracked) {
  std::string out;
  size_t pos = 0, moved = tracked;
  for (size_t hit = text.find(from); hit != npos; hit = text.find(from, pos)) {
    out.append(text, pos, hit - pos).append(to);
    if (hit < tracked) moved = moved + to.size() - from.size();
    pos = hit + from.size();
  }
  text = out + text.substr(pos);
  return moved;
}
std::string Clean(std::string text) {
  for (size_t pos = 0;;) {
    size_t a = text.find('#', pos), b = a == npos ? npos : text.find('#', a + 1);
    if (b == npos) return text;
    std::string inner = text.substr(a + 1, b - a - 1), kept, name;
    bool tags = inner.find('<') != npos, take = !tags;
    for (char c : inner) {
      if (tags && (c == '>' || c == '<')) take = c == '>';
      else if (take) kept += c;
    }
    for (char c : kept)
      if (!Blank(c)) name += c;
    bool damaged = false, key = !name.empty();
    for (char c : inner) damaged = damaged || c == '<' || Blank(c);
    for (char c : name) key = key && (Digit(c) || std::isalpha(static_cast<unsigned char>(c)) || c == '_');
    if (damaged && key) {
      a = Replace(text, inner, name, a);
      b = a + 1 + name.size();
    }
    pos = b + 1;
  }
}
std::string Unwrap(std::string text) {
  for (size_t pos = 0;;) {
    size_t s = npos, c = npos;
    for (size_t i = text.find('<', pos); i != npos && s == npos; i = text.find('<', i + 1))
      if (i + 2 < text.size() && (text[i + 1] == 'p' || text[i + 1] == 'P') &&
          (text[i + 2] == '>' || text[i + 2] == '/' || Blank(text[i + 2])))
        s = i;
    if (s == npos) return text;
    for (size_t i = text.find("</", s + 2); i != npos && c == npos; i = text.find("</", i + 1))
      if (i + 2 < text.size() && (text[i + 2] == 'p' || text[i + 2] == 'P') &&
          (i + 3 == text.size() || text[i + 3] == '>' || Blank(text[i + 3])))
        c = i;
    if (c == npos) return text;
    std::string stretch = text.substr(s, std::min(c + 4, text.size()) - s), runs;
    bool marker = false;
    for (size_t i = 0; i + 2 < stretch.size(); ++i)
      marker = marker || (stretch[i] == '#' && stretch[i + 1] == 'D' && Digit(stretch[i + 2])) ||
               (Digit(stretch[i]) && stretch[i + 1] == 'D' && stretch[i + 2] == '#');
    if (!marker) {
      pos = s + 2;
      continue;
    }
    bool take = false;
    for (char ch : stretch) {
      if (ch == '#') take = true;
      else if (ch == '<') take = false;
      if (take) runs += ch;
    }
    pos = Replace(text, stretch, runs, s) + runs.size();
  }
}
}  // namespace plain

TEST(ReportSteps, SinglePassStepsAgreeWithThePlainOnes) {
  const char* const pieces[] = {"<p>", "</p>", "<P ", "</P>", "<p", "</", "#", "#", "D", "1", "#D1#", "#1D#",
                                " ", "<b>", "</b>", "x", "<pre>", ">", "NAME", "\r\n"};
  uint32_t seed = 2024;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 6000; ++round) {
    std::string text;
    for (size_t n = next() % 14; n > 0; --n) text += pieces[next() % std::size(pieces)];
    EXPECT_EQ(report_steps::CleanPlaceholders(text), plain::Clean(text)) << text;
    EXPECT_EQ(report_steps::UnwrapMarkers(text), plain::Unwrap(text)) << text;
  }
}

TEST(ReportFill, HeadBlocksAndTailFollowTheDataLines) {
  const std::string layout =
      "<html><title>T</title><h1>#ZAGOLOVOK#</h1>\r\n"
      "<p>#D3#</p>\r\n<h2>#HEAD#</h2>\r\n<p>#3D#</p>\r\n"
      "#D4#<div>#NOTE# #ZAGOLOVOK#</div>#4D#</table>\r\n"
      "<p>end #ZAGOLOVOK#</p></html>";
  const std::string data =
      "|0:ZAGOLOVOK:Даты\r\n|3:HEAD:Сегодня\r\n|4:NOTE:a\r\n|4:NOTE:b|ERN:c\r\n|3:HEAD:Завтра\r\n"
      "|7:X:no such block\r\n\r\n|4:NOTE:d\r\n";
  EXPECT_EQ(FillReport(layout, data),
            "<html><h1>Даты</h1>\r\n"
            "\r\n<h2>Сегодня</h2>\r\n"
            "<div>a #ZAGOLOVOK#</div><div>b<br>c #ZAGOLOVOK#</div>"
            "\r\n<h2>Завтра</h2>\r\n"
            "<div>d #ZAGOLOVOK#</div>"
            "<p>end Даты</p></html>");
}

TEST(ReportFill, TemplatesWithoutBlocksOrParagraphsKeepTheirText) {
  // No markers: the whole page is head, filled by block-0 lines.
  EXPECT_EQ(FillReport("<b>#COUNT#</b>", "|0:COUNT:3\r\n|1:COUNT:9\r\n"), "<b>3</b>");
  // No paragraph after the last end marker: what follows it stays, the page keeps its end.
  EXPECT_EQ(FillReport("h#D1#[#A#]#1D#</div></body>", "|1:A:x\n|1:A:y"), "h[x][y]</div></body>");
  // A start marker without its end: the head alone.
  EXPECT_EQ(FillReport("head#D1#body", "|1:A:x"), "head");
  // Long lines are read whole.
  std::string big(20000, 'v');
  EXPECT_EQ(FillReport("#D1##A##1D#", "|1:A:" + big), big);
}

TEST(ReportBuild, ContactsWithAnOddCountKeepTheSecondPersonsPlaceholders) {
  ScratchFolder dir;
  CReportData data;
  ASSERT_TRUE(data.Open(dir / "VisitDat.txt"));
  WriteContacts(data, {{"Иванов"}, {"Петров"}, {"Сидоров", "", "", "", "", "", "", "", "", "", "", "", "a\r\nb"}});
  ASSERT_TRUE(data.Close());
  std::string written = ReadBack(dir / "VisitDat.txt");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3);
  Spit(dir / "VisitPic.html",
       "<p>Всего: #COUNT#</p>#D1#<tr><td>#NAME1#</td><td>#COMM1#</td><td>#NAME2#</td></tr>#1D#<p>#COUNT#</p>");
  ASSERT_EQ(BuildReport(dir / "VisitDat.txt", dir / "VisitPic.html", dir / "VisitRep.html").code, 0);
  EXPECT_EQ(ReadBack(dir / "VisitRep.html"),
            "<p>Всего: 3</p><tr><td>Иванов</td><td></td><td>Петров</td></tr>"
            "<tr><td>Сидоров</td><td>a<br>b</td><td>#NAME2#</td></tr><p>3</p>");
}

TEST(ReportBuild, FailuresNameTheFileAndWriteNothing) {
  ScratchFolder dir;
  Spit(dir / "Pic.html", "#D1##A##1D#");
  Spit(dir / "Dat.txt", "|1:A:x\r\n");
  struct Case {
    std::string data, layout, result, message;
  } cases[] = {
      {dir / "Dat.txt", dir / "None.html", dir / "Rep.html", "Не могу открыть файл шаблона " + dir / "None.html"},
      {dir / "None.txt", dir / "Pic.html", dir / "Rep.html", "Не могу открыть файл данных " + dir / "None.txt"},
      {dir / "Dat.txt", dir / "Pic.html", dir / "no\\such\\Rep.html",
       "Не могу записать файл отчета " + dir / "no\\such\\Rep.html"},
  };
  // The core only answers; showing the message is the page's part.
  std::vector<std::string> shown;
  platform::SetMessageSink([&](const std::string& text, platform::MessageIcon) { shown.push_back(text); });
  for (const Case& c : cases) {
    ReportOutcome r = BuildReport(c.data, c.layout, c.result);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.message, c.message);
    EXPECT_FALSE(platform::FileExists(dir / "Rep.html"));
  }
  platform::SetMessageSink(nullptr);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(BuildReport(dir / "Dat.txt", dir / "Pic.html", dir / "Rep.html").code, 0);
  EXPECT_EQ(ReadBack(dir / "Rep.html"), "x");
}

// ---- the shipped templates ---------------------------------------------------------------

struct Shipped {
  const char* name;
  std::set<std::string> keys;
  std::set<int> blocks;
};

std::vector<Shipped> ShippedTemplates() {
  std::set<std::string> contacts = {"COUNT"};
  for (const char* k : {"NAME", "DOLG", "PREDP", "STAT", "PHONE", "MOBIL", "FAX", "PGER", "MAIL", "WEB", "ICQ",
                        "ADRES", "COMM"}) {
    contacts.insert(std::string(k) + "1");
    contacts.insert(std::string(k) + "2");
  }
  std::set<std::string> tasks = {"ZAGOLOVOK", "DAY", "HEAD", "NOTE"};
  return {
      {"VisitPic.html", contacts, {1}},
      {"FirmPic.html", {"PROD", "ORG", "STAT", "PHONE", "FAX", "MAIL", "WEB", "ADRES", "COMM"}, {1}},
      {"MesPic.html", {"ZAGOLOVOK", "HEAD", "NOTE"}, {3, 4}},
      {"WorkPic.html", tasks, {1, 2, 3, 4}},
      {"StickerPic.html", tasks, {1, 2, 3, 4}},
  };
}

TEST(ShippedTemplates, AreTheirSourcesInWindows1251WithCrLf) {
  for (const Shipped& s : ShippedTemplates()) {
    std::string source = Slurp(SourcePath(std::string("templates/") + s.name));
    std::string shipped = Slurp(SourcePath(std::string("support/") + s.name));
    std::string expected;
    for (char c : platform::Utf8ToCp1251(source)) {
      if (c == '\n') expected += '\r';
      expected += c;
    }
    EXPECT_EQ(shipped, expected) << s.name << ": run templates/make-support.sh";
    EXPECT_NE(shipped.find("<meta charset=\"windows-1251\">"), std::string::npos) << s.name;
  }
}

TEST(ShippedTemplates, UseExactlyTheBooksMarkersAndKeys) {
  for (const Shipped& s : ShippedTemplates()) {
    std::string layout = Slurp(SourcePath(std::string("support/") + s.name));
    // Every "#" belongs to a placeholder or a marker, so the cleaning pairs them up
    // right and changes nothing.
    EXPECT_EQ(report_steps::CleanPlaceholders(layout), layout) << s.name;
    std::set<std::string> keys;
    std::set<int> starts, ends;
    for (size_t a = layout.find('#'); a != std::string::npos; a = layout.find('#', a + 1)) {
      size_t b = layout.find('#', a + 1);
      ASSERT_NE(b, std::string::npos) << s.name << ": a lone '#'";
      std::string name = layout.substr(a + 1, b - a - 1);
      a = b;
      if (name.size() == 2 && name[0] == 'D') starts.insert(name[1] - '0');
      else if (name.size() == 2 && name[1] == 'D') ends.insert(name[0] - '0');
      else keys.insert(name);
    }
    EXPECT_EQ(keys, s.keys) << s.name;
    EXPECT_EQ(starts, s.blocks) << s.name;
    EXPECT_EQ(ends, s.blocks) << s.name;
    // The tail starts at the first paragraph after the last end marker: nothing but
    // blank space may stand between them, or it would be lost.
    size_t last = layout.rfind("D#");
    size_t p = layout.find("<p", last);
    ASSERT_NE(p, std::string::npos) << s.name;
    EXPECT_EQ(layout.find_first_not_of(" \r\n", last + 2), p) << s.name;
    // With no data the page is still whole.
    std::string empty = FillReport(layout, "");
    EXPECT_NE(empty.find("</html>"), std::string::npos) << s.name;
    EXPECT_EQ(empty.find("<title>"), std::string::npos) << s.name;
  }
}

}  // namespace
}  // namespace vm
