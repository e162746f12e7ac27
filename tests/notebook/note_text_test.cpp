#include "notebook/note_text.h"

#include <gtest/gtest.h>

namespace vm::notebook {
namespace {

TEST(NoteText, DefaultTextCarriesTheNoteFontAndTwiceItsSize) {
  EXPECT_EQ(DefaultNoteRtf("Times New Roman Cyr", 10),
            "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204Times New Roman "
            "Cyr;}}\\viewkind4\\uc1\\pard\\f0\\fs20\\par}");
  EXPECT_EQ(FontSizeOf("12"), 12);
  for (const char* bad : {"", "0", "x", "-3", "12pt", "99999999999"}) EXPECT_EQ(FontSizeOf(bad), 10) << bad;
  EXPECT_TRUE(IsRtfBody("{\\RTF1 x}"));
  EXPECT_FALSE(IsRtfBody("{\\rt"));
  EXPECT_FALSE(IsRtfBody(" {\\rtf1}"));
}

NoteSnapshot S(const char* text, long at = 0) {
  return {text, at, at};
}

TEST(NoteText, HistoryUndoesTypingWordByWordAndDropsWhatLiesAhead) {
  NoteHistory h;
  h.Start(S("loaded"));
  EXPECT_FALSE(h.CanUndo());
  h.KeyReleased('H', S("H"));  // the loaded body is never replaced
  h.KeyReleased('i', S("Hi"));
  h.KeyReleased(' ', S("Hi "));
  h.KeyReleased('y', S("Hi y"));
  h.KeyReleased('o', S("Hi yo"));
  EXPECT_EQ(h.size(), 3u);
  EXPECT_EQ(h.Undo(), S("Hi"));
  EXPECT_EQ(h.Undo(), S("loaded"));
  EXPECT_EQ(h.Undo(), std::nullopt);
  EXPECT_EQ(h.Redo(), S("Hi"));
  EXPECT_TRUE(h.CanRedo());
  h.Add(S("Hi bold", 2));  // a format command after an undo
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.Redo(), std::nullopt);
  EXPECT_EQ(h.Undo(), S("Hi"));
  h.KeyReleased('x', S("Hix"));  // typing after an undo keeps what it undid to
  EXPECT_EQ(h.Undo(), S("Hi"));
  EXPECT_EQ(h.Redo(), S("Hix"));
  h.Start(S("other"));
  EXPECT_EQ(h.size(), 1u);
}

TEST(NoteText, KeysThatChangeNothingAreNoUndoSteps) {
  NoteHistory h;
  h.Start(S("loaded"));
  h.KeyReleased(0x25 /* Left */, S("loaded", 3));
  EXPECT_FALSE(h.CanUndo());
  h.KeyReleased('a', S("a"));
  h.KeyReleased(' ', S("a "));
  h.KeyReleased('b', S("a b"));
  EXPECT_EQ(h.Undo(), S("a"));
  // Ctrl+Z itself: 'Z' then Ctrl come up over the text the undo showed.
  h.KeyReleased('Z', S("a"));
  h.KeyReleased(0x11 /* Ctrl */, S("a"));
  EXPECT_TRUE(h.CanRedo());
  EXPECT_EQ(h.Undo(), S("loaded"));
  h.KeyReleased(0x11, S("loaded"));
  EXPECT_EQ(h.Redo(), S("a"));
  EXPECT_EQ(h.Redo(), S("a b"));
  h.KeyReleased(0x10 /* Shift */, S("a b"));
  EXPECT_EQ(h.size(), 3u);
  // The control gives an undone text back in its own words: those are what count.
  EXPECT_EQ(h.Undo(), S("a"));
  h.Settle("a, as written back");
  h.KeyReleased(0x11, S("a, as written back"));
  EXPECT_TRUE(h.CanRedo());
}

TEST(NoteText, FindInNoteCorrectsForLineBreaks) {
  std::string plain = "Первая строка\r\nвторая Строка\r\nтретья";
  size_t hit = FindInNote(plain, "строка", false, 0);
  EXPECT_EQ(hit, 7u);
  hit = FindInNote(plain, "строка", false, hit + 1);
  EXPECT_EQ(hit, 22u);
  EXPECT_EQ(EditorPosition(plain, hit), 21);
  EXPECT_EQ(FindInNote(plain, "строка", true, 8), std::string::npos);
  EXPECT_EQ(EditorPosition(plain, FindInNote(plain, "ТРЕТЬЯ", false, 0)), 30 - 2);
  EXPECT_EQ(FindInNote(plain, "x", false, 500), std::string::npos);
  EXPECT_EQ(FindInNote(plain, "", false, 0), std::string::npos);
}

TEST(NoteText, LinksToFilesAndFoldersBecomeFileUrls) {
  EXPECT_EQ(LinkText("C:\\Мои документы\\план года.doc"), "file:///C:/Мои%20документы/план%20года.doc");
  EXPECT_EQ(LinkText("\\\\server\\share\\a b"), "file://///server/share/a%20b");
  EXPECT_EQ(LinkText("relative\\path name"), "relative\\path name");
}

TEST(NoteText, TextFilesTakePlainTextWithCrLfAndOthersRichText) {
  EXPECT_TRUE(IsPlainTextFileName("C:\\Мои\\заметка.TXT"));
  EXPECT_TRUE(IsPlainTextFileName("a.txt"));
  EXPECT_FALSE(IsPlainTextFileName("a.rtf"));
  EXPECT_FALSE(IsPlainTextFileName(".txt"));
  EXPECT_FALSE(IsPlainTextFileName("txt"));
  EXPECT_EQ(PlainTextFileBytes("a\rb\r\nc\r"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(PlainTextFileBytes(""), "");
}

TEST(NoteText, SplitterFractionIsStoredAndOnlyUsableValuesPlaceIt) {
  EXPECT_EQ(FormatSplitter(150, 600), "0.250000");
  EXPECT_EQ(FormatSplitter(1, 0), "0.000000");
  EXPECT_DOUBLE_EQ(*ParseSplitter("0.250000"), 0.25);
  for (const char* bad : {"", "1", "1.5", "0", "-0.2", "abc", "0.3x", "nan"})
    EXPECT_EQ(ParseSplitter(bad), std::nullopt) << bad;
  EXPECT_EQ(SplitterPosition(0.25, 600, 40), 150);
  EXPECT_EQ(SplitterPosition(0.01, 600, 40), 40);
  EXPECT_EQ(SplitterPosition(0.99, 600, 40), 560);
}

}  // namespace
}  // namespace vm::notebook
