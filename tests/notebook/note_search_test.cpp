#include "notebook/note_search.h"

#include <gtest/gtest.h>

#include "notebook/note_text.h"
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

  found = FindInAllNotes(*b.nb.root, "л", 2);
  EXPECT_EQ(found.hits.size(), 2u);
  EXPECT_TRUE(found.truncated);
}

// The cache must answer exactly as a fresh read does, whatever changed in between.
TEST(FindInAllNotes, TheCacheNeverGivesAStaleAnswer) {
  Book b;
  NoteSearchCache cache;
  auto same = [&](std::string_view what) {
    AllNotesSearch cold = FindInAllNotes(*b.nb.root, what), warm = FindInAllNotes(*b.nb.root, what, 1000, &cache);
    ASSERT_EQ(cold.hits.size(), warm.hits.size()) << what;
    for (size_t i = 0; i < cold.hits.size(); ++i) {
      EXPECT_EQ(cold.hits[i].note, warm.hits[i].note);
      EXPECT_EQ(cold.hits[i].position, warm.hits[i].position);
      EXPECT_EQ(cold.hits[i].context, warm.hits[i].context);
    }
  };
  same("ЁЛК");
  same("ЁЛК");  // now from the cache
  EXPECT_EQ(cache.size(), 4u);
  b.plan->SetValue("{\rtf1 \'e5\'eb\'ea\'e0 \'e8 \'e5\'f9\'b8 \'b8\'eb\'ea\'e0\par}");  // edited
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

}  // namespace
}  // namespace vm::notebook
