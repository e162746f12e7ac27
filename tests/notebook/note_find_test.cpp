#include "notebook/note_find.h"

#include <gtest/gtest.h>

#include "notebook/note_tree.h"
#include "notebook/notebook_file.h"

namespace vm::notebook {
namespace {

TEST(NoteFindTest, NotesInTreeOrderWithTheirPathsAndPlainTexts) {
  NotebookFile nb;
  XmlElement* home = nb.root->AppendChild("Дом", "Купить ёлку\r\nи шары");
  XmlElement* repair = home->AppendChild("Ремонт", "");
  repair->AppendChild("Кухня", "{\\rtf1 {\\fonttbl{\\f0 Arial;}}\\f0 плитка\\par \\'e1\\'e5\\'eb\\'e0\\'ff}");
  nb.root->AppendChild("Работа", "");
  const std::vector<find::Entry> texts = NoteFindTexts(*nb.root);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[2].label, "Дом \x9B Ремонт \x9B Кухня");
  EXPECT_EQ(texts[2].text, std::string("Кухня") + find::kFieldBreak + "плитка\rбелая");
  EXPECT_EQ(texts[3].label, "Работа");
  for (uint32_t i = 0; i < texts.size(); ++i) {
    ASSERT_NE(NoteAtNumber(*nb.root, i), nullptr);
    EXPECT_EQ(NotePathShown(*NoteAtNumber(*nb.root, i)), texts[i].label);
  }
  EXPECT_EQ(NoteAtNumber(*nb.root, 4), nullptr);

  // A hit in the text names field 1 and its place in the plain text.
  find::Corpus corpus;
  corpus.SetBook(0, "Блокнот", 1, texts);
  find::Corpus::Answer a = corpus.Search(find::Query("белая"));
  ASSERT_EQ(a.results.size(), 1u);
  EXPECT_EQ(a.results[0].place.field, 1u);
  EXPECT_EQ(a.results[0].pos, 7u);
  EXPECT_EQ(a.results[0].context, "плитка белая");
}

TEST(NoteFindTest, EveryChangeOfTheNotesGivesANewRevision) {
  NotebookFile nb;
  const uint64_t made = nb.revision;
  EXPECT_NE(NotebookFile{}.revision, made);  // a notebook made anew never repeats one
  MarkChanged(nb);
  const uint64_t changed = nb.revision;
  EXPECT_NE(changed, made);
  nb.root->AppendChild("б", "");
  nb.root->AppendChild("а", "");
  SortChildren(nb, *nb.root);
  EXPECT_NE(nb.revision, changed);
}

}  // namespace
}  // namespace vm::notebook
