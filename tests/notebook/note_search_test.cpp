#include "notebook/note_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "notebook/note_text.h"
#include "notebook/note_tree.h"
#include "notebook/notebook_file.h"

namespace vm::notebook {
namespace {

TEST(RtfPlainText, KeepsOnlyTheShownText) {
  // The editor's own form: font and colour tables, a "\*" group, escapes and breaks.
  EXPECT_EQ(
      RtfPlainText("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Times New Roman "
                   "Cyr;}}{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Msftedit 5.41;}\r\n"
                   "\\viewkind4\\uc1\\pard\\f0\\fs20 \\'cf\\'eb\\'e0\\'ed \\b 2026\\b0\\par\r\n"
                   "a\\tab b\\line c\\{\\}\\\\\\~d\\_e\\-f\\par}"),
      "План 2026\ra\tb\rc{}\\\xA0"
      "d-ef\r");
  EXPECT_EQ(RtfPlainText(DefaultNoteRtf("Times New Roman Cyr", 10)), "\r");
  // "\u" takes its code page character; the fallback after it is dropped ("\uc" long).
  EXPECT_EQ(RtfPlainText("{\\rtf1 \\u1025?\\u-3?x\\uc2\\u8470\\'3f\\'3fy{\\uc0\\u1105}z}"), "Ё?x\xB9yёz");
  // "\bin" data is skipped, and its length cannot reach beyond the end.
  EXPECT_EQ(RtfPlainText("{\\rtf1 a\\bin3 {}}b}"), "ab");
  EXPECT_EQ(RtfPlainText("{\\rtf1 a\\bin99999999999 xyz"), "a");
  // Cut-off and malformed input: whatever stands is kept, nothing more.
  for (const char* broken :
       {"{\\rtf1 ab\\", "{\\rtf1 ab\\'", "{\\rtf1 ab\\'4", "{\\rtf1 ab\\'zz}", "}}}{\\rtf1 ab"})
    EXPECT_EQ(RtfPlainText(broken), "ab") << broken;
  // Groups nested past the stack still close in order: hidden stays hidden.
  std::string deep =
      "{\\rtf1 {\\fonttbl " + std::string(5000, '{') + "x" + std::string(5000, '}') + "}shown}";
  EXPECT_EQ(RtfPlainText(deep), "shown");
}

// "\\uN" through the page tables against the code page searched entry by entry, for every
// code a signed 16-bit number and a few larger numbers can give.
TEST(RtfPlainText, UnicodeCharactersMatchTheCodePageListedInFull) {
  static const char16_t kHigh[64] = {
      0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
      0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
      0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
      0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
      0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
  auto expected = [](long code) {
    if (code < 0) code += 65536;
    if (code >= 0 && code < 0x80) return static_cast<char>(code);
    if (code >= 0x410 && code <= 0x44F) return static_cast<char>(code - 0x410 + 0xC0);
    for (int i = 0; i < 64; ++i)
      if (kHigh[i] != 0 && kHigh[i] == code) return static_cast<char>(0x80 + i);
    return '?';
  };
  std::vector<long> codes;
  for (long code = -32768; code < 65536 + 300; ++code) codes.push_back(code);
  for (long code : {-65536L, -65537L, -99999L, 99999L, 8482L + 65536L, 9999999L}) codes.push_back(code);
  for (long code : codes) {
    const std::string got = RtfPlainText("{\\uc0\\u" + std::to_string(code) + " }");
    ASSERT_EQ(got, std::string(1, expected(code))) << code;
  }
}

// Bodies built piece by piece with the text each piece shows: long literal runs (every
// byte value at every place of a block), escapes, words, groups that show nothing. The
// one-pass decoder, its folded form and the search over it must agree with the pieces.
TEST(RtfPlainText, PiecesDecodeFoldAndSearchAlike) {
  struct Piece {
    const char* rtf;
    const char* shown;
  };
  static const Piece kPieces[] = {
      {"\\'c0", "\xC0"},
      {"\\'b8", "\xB8"},
      {"\\'A8", "\xA8"},
      {"\\u1025?", "\xA8"},
      {"\\u-3?", "?"},
      {"{\\uc0\\u1105}", "\xB8"},
      {"\\par\r\n", "\r"},
      {"\\line ", "\r"},
      {"\\tab ", "\t"},
      {"\\emdash ", "\x97"},
      {"\\{", "{"},
      {"\\}", "}"},
      {"\\\\", "\\"},
      {"\\~", "\xA0"},
      {"\\_", "-"},
      {"\\b ", ""},
      {"\\i0 ", ""},
      {"\\ul\\ulnone ", ""},
      {"\r\n", ""},
      {"{\\b x}", "x"},
      {"{\\fonttbl{\\f0 Arial;}}", ""},
      {"{\\colortbl ;\\red1;}", ""},
      {"{\\*\\generator W 5;}", ""},
      {"{\\pict\\wmetafile8 0a1b\\'41}", ""},
  };
  std::mt19937 random(18);
  std::uniform_int_distribution<int> byteOf(1, 255), lengthOf(0, 40), pieceOf(0, std::size(kPieces) - 1);
  for (int round = 0; round < 300; ++round) {
    std::string rtf = "{\\rtf1\\ansi\\uc1 ", shown;
    for (int part = 0; part < 12; ++part) {
      if (part % 2 == 0) {
        // A literal run: any byte but those that start markup or show nothing.
        for (int k = lengthOf(random); k > 0; --k) {
          char c = static_cast<char>(byteOf(random));
          if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n') continue;
          rtf += c;
          shown += c;
        }
      } else {
        const Piece& piece = kPieces[pieceOf(random)];
        rtf += piece.rtf;
        shown += piece.shown;
      }
    }
    rtf += "}";
    ASSERT_EQ(RtfPlainText(rtf), shown) << rtf;
    std::string folded;
    AppendFoldedRtfPlainText(rtf, folded);
    const std::string expected = SearchFold(shown);
    ASSERT_EQ(folded, expected) << rtf;
    // Needles taken from the shown text, in upper case: found where a plain find finds
    // them, whichever byte of them is rare, in a note or through the whole search.
    NotebookFile nb;
    XmlElement* note = nb.root->AppendChild("n", rtf);
    for (int k = 0; k < 4 && expected.size() > 2; ++k) {
      size_t from = static_cast<size_t>(random()) % (expected.size() - 1);
      std::string what = UpperCp1251(shown.substr(from, 1 + random() % 12));
      const std::string needle = SearchFold(what);
      const FoldedNeedle finder(needle);
      std::vector<size_t> want, got;
      for (size_t at = expected.find(needle); at != std::string::npos; at = expected.find(needle, at + 1))
        want.push_back(at);
      for (size_t at = finder.FindIn(expected, 0); at != std::string::npos;
           at = finder.FindIn(expected, at + 1))
        got.push_back(at);
      ASSERT_EQ(got, want) << testing::PrintToString(needle) << " in " << testing::PrintToString(expected);
      size_t inText = 0;
      for (const NoteHit& hit : FindInAllNotes(*nb.root, what, static_cast<size_t>(-1)).hits)
        if (!hit.inTitle && hit.note == note) ++inText;
      size_t apart = 0;
      for (size_t at = expected.find(needle); at != std::string::npos;
           at = expected.find(needle, at + needle.size()))
        ++apart;
      EXPECT_EQ(inText, apart) << what << " in " << rtf;
    }
  }
}

// Работа (title) > План (rich text with two hits) > Ёлка; Дом (plain body).
struct Book {
  Book() {
    XmlElement* work = nb.root->AppendChild("Работа", "{\\rtf1 {\\fonttbl{\\f0 Arial;}}нет\\par}");
    plan = work->AppendChild("План",
                             "{\\rtf1 {\\fonttbl{\\f0 Arial;}}\\'c5\\'ea\\'ea \\'e0\\par\r\nелка, ЁЛКА}");
    work->Child(0)->AppendChild("Ёлка", "");
    home = nb.root->AppendChild("Дом", "Купить ёлку\r\nи шары");
  }
  NotebookFile nb;
  XmlElement *plan, *home;
};

TEST(FindInAllNotes, FindsTitlesAndTextInTreeOrderWithoutRegardToCaseOrYo) {
  Book b;
  AllNotesSearch found = FindInAllNotes(*b.nb.root, "ЁЛК");
  ASSERT_EQ(found.hits.size(), 4u);
  EXPECT_FALSE(found.truncated);
  EXPECT_EQ(found.hits[0].note, b.plan);
  EXPECT_EQ(found.hits[0].path, "Работа^^План^^");
  EXPECT_EQ(found.hits[0].position, 6u);  // "Екк а\r" comes first
  EXPECT_EQ(found.hits[0].occurrence, 0u);
  EXPECT_EQ(found.hits[0].context, "Екк а елка, ЁЛКА");
  EXPECT_EQ(found.hits[1].occurrence, 1u);
  EXPECT_EQ(found.hits[1].position, 12u);
  EXPECT_TRUE(found.hits[2].inTitle);
  EXPECT_EQ(found.hits[2].path, "Работа^^План^^Ёлка^^");
  EXPECT_EQ(found.hits[3].note, b.home);
  EXPECT_EQ(found.hits[3].context, "Купить ёлку  и шары");

  // Every letter of the code page folds, Latin too; markup is never searched.
  b.home->SetValue("Ђѓ Їі Ўў Z");
  EXPECT_EQ(FindInAllNotes(*b.nb.root, "ђЃ їІ ЎЎ z").hits.size(), 1u);
  EXPECT_TRUE(FindInAllNotes(*b.nb.root, "Arial").hits.empty());
  EXPECT_TRUE(FindInAllNotes(*b.nb.root, "rtf").hits.empty());
  EXPECT_TRUE(FindInAllNotes(*b.nb.root, "").hits.empty());

  // Text that stands in the body's bytes only through escapes and words is found all
  // the same; text whose bytes stand only in markup is not.
  static const struct {
    const char* body;
    const char* what;
    size_t hits;
  } kBodies[] = {
      {"{\\rtf1 \\'c0\\'e1\\'c2}", "абв", 1},
      {"{\\rtf1 x\\u1025?y}", "XЕY", 1},
      {"{\\rtf1 x\\u-1?y}", "x?y", 1},
      {"{\\rtf1 a\\_b\\~c}",
       "A-B\xA0"
       "C",
       1},
      {"{\\rtf1 p\\tab q\\emdash r}", "P\tQ\x97R", 1},
      {"{\\rtf1 a\\par b}", "a\rb", 1},
      {"{\\rtf1 \\{\\}\\\\}", "{}\\", 1},
      {"{\\rtf1 {\\fonttbl Zq;}z\\b q}", "zq", 1},
      {"{\\rtf1 {\\fonttbl Zq;}z\\b x}", "zq", 0},
      {"{\\rtf1\\ulnone\\uc1 u}", "u1", 0},
  };
  for (const auto& c : kBodies) {
    b.home->SetValue(c.body);
    size_t hits = 0;
    for (const NoteHit& hit : FindInAllNotes(*b.nb.root, c.what).hits) hits += hit.note == b.home;
    EXPECT_EQ(hits, c.hits) << c.body;
  }

  found = FindInAllNotes(*b.nb.root, "л", 2);
  EXPECT_EQ(found.hits.size(), 2u);
  EXPECT_TRUE(found.truncated);
}

// The cache must answer exactly as a fresh read does, whatever changed in between.
TEST(FindInAllNotes, TheCacheNeverGivesAStaleAnswer) {
  Book b;
  NoteSearchCache cache;
  auto same = [&](std::string_view what) {
    AllNotesSearch cold = FindInAllNotes(*b.nb.root, what),
                   warm = FindInAllNotes(*b.nb.root, what, 1000, &cache);
    ASSERT_EQ(cold.hits.size(), warm.hits.size()) << what;
    for (size_t i = 0; i < cold.hits.size(); ++i) {
      EXPECT_EQ(cold.hits[i].note, warm.hits[i].note);
      EXPECT_EQ(cold.hits[i].position, warm.hits[i].position);
      EXPECT_EQ(cold.hits[i].context, warm.hits[i].context);
    }
  };
  same("ЁЛК");
  same("ЁЛК");  // now from the cache
  // "Работа" cannot hold the text by its bytes alone, so it was never decoded or kept.
  EXPECT_EQ(cache.size(), 3u);
  b.nb.root->Child(0)->SetValue("{\\rtf1 \\'b8\\'cb\\'ca\\par}");  // now it can, through escapes
  same("ЁЛК");
  EXPECT_EQ(FindInAllNotes(*b.nb.root, "ЁЛК", 1000, &cache).hits[0].note, b.nb.root->Child(0));
  b.plan->SetValue(
      "{\\rtf1 \\'e5\\'eb\\'ea\\'e0 \\'e8 \\'e5\\'f9\\'b8 \\'b8\\'eb\\'ea\\'e0\\par}");  // edited
  same("ЁЛК");
  b.home->SetValue("ничего");
  same("ЁЛК");
  // A deleted note leaves the cache at the next complete search.
  b.nb.root->DetachChild(b.home);
  same("ЁЛК");
  EXPECT_EQ(cache.size(), 3u);
}

TEST(FindInAllNotes, TheEditorPositionOfAHitCountsEachLineBreakOnce) {
  std::string editor = "Ель\r\nели ель\rЕЛЬ";
  EXPECT_EQ(OccurrencePosition(editor, "ёль", 0), 0);
  EXPECT_EQ(OccurrencePosition(editor, "ель", 1), 8);
  EXPECT_EQ(OccurrencePosition(editor, "ель", 2), 12);
  EXPECT_EQ(OccurrencePosition(editor, "ель", 3), -1);
  EXPECT_EQ(OccurrencePosition(editor, "", 0), -1);
}

// Folding, a hit's context and its editor position, taken a block at a time, against
// the plain byte-by-byte forms: every byte value at every place of a block, runs of
// line breaks, texts of every length around the block size.
TEST(FindInAllNotes, BlockWiseFoldContextAndPositionMatchTheBytewiseForms) {
  std::mt19937 random(22);
  const char kBreaky[] = {'\r', '\n', '\t', ' ', 'a', 'Z', '\xC0', '\xA8', '\xB8', '\x80'};
  for (int round = 0; round < 600; ++round) {
    std::string text(static_cast<size_t>(random() % 70), '\0');
    for (char& c : text)
      c = round % 2 ? kBreaky[random() % std::size(kBreaky)] : static_cast<char>(random() % 256);
    std::string folded;
    for (char c : text) folded += SearchFold(c);
    ASSERT_EQ(SearchFold(text), folded) << testing::PrintToString(text);
    for (size_t position = 0; position <= text.size() + 1; ++position) {
      long breaks = 0;
      for (size_t i = 0; i < position && i + 1 < text.size(); ++i)
        breaks += text[i] == '\r' && text[i + 1] == '\n';
      ASSERT_EQ(EditorPosition(text, position), static_cast<long>(position) - breaks);
    }
    // The one hit of a needle that stands nowhere else: its context is the text around
    // it with breaks and tabs as spaces, "..." where it was cut.
    const std::string plain = std::string(static_cast<size_t>(random() % 45), 'x') + "#@" + text;
    NotebookFile nb;
    nb.root->AppendChild("n", plain);
    const size_t at = plain.find("#@");
    std::string around = plain.substr(at > 30 ? at - 30 : 0, at + 2 + 50 - (at > 30 ? at - 30 : 0));
    for (char& c : around)
      if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    if (at > 30) around = "..." + around;
    if (at + 52 < plain.size()) around += "...";
    AllNotesSearch found = FindInAllNotes(*nb.root, "#@");
    ASSERT_EQ(found.hits.size(), 1u);
    EXPECT_EQ(found.hits[0].context, around);
  }
}

}  // namespace
}  // namespace vm::notebook
