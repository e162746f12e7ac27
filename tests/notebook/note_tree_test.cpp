#include "notebook/note_tree.h"

#include <gtest/gtest.h>

namespace vm::notebook {
namespace {

// Titles of a note's children, "|"-separated, nested ones in brackets.
std::string Shape(const XmlElement& e) {
  std::string out;
  for (size_t i = 0; i < e.ChildCount(); ++i) {
    if (i) out += '|';
    out += e.Child(i)->name();
    if (e.Child(i)->ChildCount()) out += "(" + Shape(*e.Child(i)) + ")";
  }
  return out;
}

NotebookFile Sample() {
  NotebookFile nb;
  XmlElement* work = nb.root->AppendChild("Работа", "w");
  work->AppendChild("План", "p")->AppendChild("Май", "m");
  work->AppendChild("Отчёт", "o");
  nb.root->AppendChild("Дом", "d")->AppendChild("План", "h");
  return nb;
}

TEST(NoteTree, NewNotesGetUniqueTitlesAndAreRefusedWithoutADocument) {
  NotebookFile nb = Sample();
  XmlElement* work = nb.root->Child(0);
  EXPECT_EQ(AddNote(nb, work)->name(), "Новый");
  EXPECT_EQ(AddNote(nb, work)->name(), "Новый+");
  EXPECT_EQ(AddNote(nb, work)->name(), "Новый++");
  EXPECT_EQ(AddNote(nb, nullptr)->name(), "Новый");
  EXPECT_EQ(nb.state, kChanged);
  EXPECT_EQ(Shape(*nb.root), "Работа(План(Май)|Отчёт|Новый|Новый+|Новый++)|Дом(План)|Новый");

  nb.state = kNoDocument;
  EXPECT_EQ(AddNote(nb, nullptr), nullptr);
}

TEST(NoteTree, RenameStoresSpacesAsUnderscoresAndRefusesEmptyAndClashingTitles) {
  NotebookFile nb = Sample();
  nb.state = kSaved;
  XmlElement* work = nb.root->Child(0);
  XmlElement* plan = work->Child(0);
  EXPECT_FALSE(RenameNote(nb, *plan, ""));
  EXPECT_FALSE(RenameNote(nb, *plan, "Отчёт"));
  EXPECT_FALSE(RenameNote(nb, *work, "Дом"));
  EXPECT_EQ(nb.state, kSaved);
  EXPECT_TRUE(RenameNote(nb, *plan, "План на год"));
  EXPECT_EQ(plan->name(), "План_на_год");
  EXPECT_EQ(nb.state, kChanged);
  // The same title as before, and a title only the cousin has, are fine.
  EXPECT_TRUE(RenameNote(nb, *plan, "План_на_год"));
  EXPECT_TRUE(RenameNote(nb, *nb.root->Child(1)->Child(0), "Май"));
}

TEST(NoteTree, DeleteRemovesTheWholeBranch) {
  NotebookFile nb = Sample();
  DeleteNote(nb, *nb.root->Child(0));
  EXPECT_EQ(Shape(*nb.root), "Дом(План)");
  EXPECT_EQ(nb.state, kChanged);
}

TEST(NoteTree, CopyPastesOnceAndNeverIntoItsOwnBranchOrBesideASameTitle) {
  NotebookFile nb = Sample();
  XmlElement* work = nb.root->Child(0);
  XmlElement* home = nb.root->Child(1);
  BranchClipboard clip;
  EXPECT_EQ(clip.PasteUnder(nb, *home), BranchClipboard::Paste::kRefused);  // nothing copied

  clip.Copy(*work->Child(1));                                       // "Отчёт"
  EXPECT_EQ(Shape(*nb.root), "Работа(План(Май)|Отчёт)|Дом(План)");  // copying changes nothing
  EXPECT_EQ(clip.PasteUnder(nb, *work->Child(1)), BranchClipboard::Paste::kRefused);  // onto itself
  EXPECT_EQ(clip.PasteUnder(nb, *work), BranchClipboard::Paste::kRefused);            // beside itself
  XmlElement* pasted = nullptr;
  EXPECT_EQ(clip.PasteUnder(nb, *home, &pasted), BranchClipboard::Paste::kDone);
  EXPECT_EQ(pasted->value(), "o");
  EXPECT_FALSE(clip.CanPaste());
  EXPECT_EQ(clip.PasteUnder(nb, *work->Child(0)), BranchClipboard::Paste::kRefused);  // only once
  EXPECT_EQ(Shape(*nb.root), "Работа(План(Май)|Отчёт)|Дом(План|Отчёт)");

  clip.Copy(*work);
  EXPECT_EQ(clip.PasteUnder(nb, *work->Child(0)->Child(0)), BranchClipboard::Paste::kRefused);  // inside
  EXPECT_EQ(clip.PasteUnder(nb, *home), BranchClipboard::Paste::kDone);
  // The copy keeps bodies with backslashes and blanks exactly.
  work->SetValue(" {\\rtf1 a\\par} ");
  clip.Copy(*work);
  XmlElement* note = nb.root->AppendChild("Пусто");
  ASSERT_EQ(clip.PasteUnder(nb, *note, &pasted), BranchClipboard::Paste::kDone);
  EXPECT_EQ(pasted->value(), " {\\rtf1 a\\par} ");
  EXPECT_EQ(Shape(*pasted), "План(Май)|Отчёт");
}

TEST(NoteTree, DropsMoveBranchesButNeverIntoThemselvesOrOntoASameTitle) {
  NotebookFile nb = Sample();
  XmlElement* work = nb.root->Child(0);
  XmlElement* home = nb.root->Child(1);
  EXPECT_EQ(MoveNote(nb, *work, *work), DropCheck::kRefused);
  EXPECT_EQ(MoveNote(nb, *work, *work->Child(0)->Child(0)), DropCheck::kRefused);
  EXPECT_EQ(MoveNote(nb, *work->Child(0), *home), DropCheck::kRefused);  // "План" is there
  EXPECT_EQ(MoveNote(nb, *work->Child(1), *work), DropCheck::kRefused);  // its own parent
  EXPECT_EQ(Shape(*nb.root), "Работа(План(Май)|Отчёт)|Дом(План)");
  EXPECT_EQ(MoveNote(nb, *work->Child(1), *home->Child(0)), DropCheck::kAllowed);
  EXPECT_EQ(MoveNote(nb, *home, *work->Child(0)->Child(0)), DropCheck::kAllowed);
  EXPECT_EQ(Shape(*nb.root), "Работа(План(Май(Дом(План(Отчёт)))))");
  EXPECT_EQ(nb.state, kChanged);
}

TEST(NoteTree, PastesAndDropsStopAtTheDepthTheReaderTakes) {
  NotebookFile nb;
  XmlElement* deep = nb.root.get();
  for (int i = 0; i < kMaxXmlDepth - 1; ++i) deep = deep->AppendChild("x");
  XmlElement* pair = nb.root->AppendChild("pair");
  pair->AppendChild("child");
  EXPECT_EQ(LevelOf(*deep), kMaxXmlDepth - 1);
  EXPECT_EQ(BranchHeight(*pair), 2);
  EXPECT_EQ(MoveNote(nb, *pair, *deep), DropCheck::kTooDeep);
  EXPECT_EQ(MoveNote(nb, *pair->Child(0), *deep), DropCheck::kAllowed);  // one level fits
  BranchClipboard clip;
  pair->AppendChild("again");
  clip.Copy(*pair);
  EXPECT_EQ(clip.PasteUnder(nb, *deep), BranchClipboard::Paste::kTooDeep);
  EXPECT_TRUE(clip.CanPaste());
  EXPECT_EQ(AddNote(nb, deep->Child(0)), nullptr);
}

TEST(NoteTree, ImportedBranchesTakeFreeTitlesAndStopAtTheDepthTheReaderTakes) {
  NotebookFile nb = Sample();
  nb.state = kSaved;
  XmlElement* work = nb.root->Child(0);
  auto file = NewNotebookRoot();
  file->AppendChild("План", "1");
  file->AppendChild("План", "2");
  file->AppendChild("Новое", "3");
  BranchesAdded added = AddImportedBranches(nb, *work, *file);
  EXPECT_EQ(Shape(*work), "План(Май)|Отчёт|План+|План++|Новое");
  ASSERT_EQ(added.added.size(), 3u);
  EXPECT_EQ(added.added[1]->value(), "2");
  EXPECT_FALSE(added.tooDeep);
  EXPECT_EQ(nb.state, kChanged);

  // A branch that would lie deeper than the reader takes is left out, the others stay.
  XmlElement* deep = work;
  while (LevelOf(*deep) < kMaxXmlDepth - 2) deep = deep->AppendChild("x", "");
  file->AppendChild("Лист", "")->AppendChild("Глубже", "")->AppendChild("Ещё", "");
  file->AppendChild("Один", "");
  nb.state = kSaved;
  added = AddImportedBranches(nb, *deep, *file);
  EXPECT_TRUE(added.tooDeep);
  EXPECT_EQ(Shape(*deep), "Один");
  EXPECT_EQ(file->ChildCount(), 0u);
  // Nothing added leaves the notebook as it was.
  nb.state = kSaved;
  file->AppendChild("Лист", "")->AppendChild("Глубже", "")->AppendChild("Ещё", "");
  EXPECT_TRUE(AddImportedBranches(nb, *deep, *file).tooDeep);
  EXPECT_EQ(nb.state, kSaved);
}

TEST(NoteTree, SortOrdersTitlesWithoutCaseAndYoBesideYe) {
  NotebookFile nb;
  nb.state = kChanged;
  for (const char* t : {"ёж", "Жук", "еда", "Ель", "apple", "Банан", "Zebra", "ёлка"})
    nb.root->AppendChild(t);
  SortChildren(nb, *nb.root);
  EXPECT_EQ(Shape(*nb.root), "apple|Zebra|Банан|еда|Ель|ёж|ёлка|Жук");
  EXPECT_EQ(nb.state, kRearranged);
  nb.state = kNoDocument;
  SortChildren(nb, *nb.root);
  EXPECT_EQ(nb.state, kNoDocument);
}

TEST(NoteTree, TitleSearchWalksTheWholeTreeAndWrapsBothWays) {
  NotebookFile nb = Sample();
  XmlElement* work = nb.root->Child(0);
  XmlElement* home = nb.root->Child(1);
  const XmlElement& root = *nb.root;
  EXPECT_EQ(FindTitle(root, nullptr, "план", false, true), work->Child(0));
  EXPECT_EQ(FindTitle(root, work->Child(0), "план", false, true), home->Child(0));
  EXPECT_EQ(FindTitle(root, home->Child(0), "план", false, true), work->Child(0));   // wraps
  EXPECT_EQ(FindTitle(root, home->Child(0), "план", true, true), nullptr);           // match case
  EXPECT_EQ(FindTitle(root, work->Child(0), "ОТЧЕТ", false, true), work->Child(1));  // ё as е
  EXPECT_EQ(FindTitle(root, work, "Работа", false, true), nullptr);                  // back at the start
  EXPECT_EQ(FindTitle(root, work->Child(1), "а", false, false), work->Child(0)->Child(0));
  EXPECT_EQ(FindTitle(root, work, "План", false, false), home->Child(0));  // wraps upwards
  EXPECT_EQ(FindTitle(NotebookFile{}.root ? *NewNotebookRoot() : root, nullptr, "a", false, true), nullptr);
}

TEST(NoteTree, PathsNameNotesByTitlesAndFindTheFirstOfEachTitle) {
  NotebookFile nb = Sample();
  XmlElement* may = nb.root->Child(0)->Child(0)->Child(0);
  EXPECT_EQ(NotePath(*may), "Работа^^План^^Май^^");
  EXPECT_EQ(FindByPath(*nb.root, "Работа^^План^^Май^^"), may);
  EXPECT_EQ(FindByPath(*nb.root, "Дом^^План^^"), nb.root->Child(1)->Child(0));
  // A missing title leaves the walk where it is and the next is tried from there.
  EXPECT_EQ(FindByPath(*nb.root, "Работа^^Нет^^План^^"), nb.root->Child(0)->Child(0));
  EXPECT_EQ(FindByPath(*nb.root, ""), nb.root.get());
  // Shown to a person: the titles between single angle quotes (byte 0x9B in cp1251).
  EXPECT_EQ(ShownNotePath(NotePath(*may)), "Работа \x9b План \x9b Май");
  EXPECT_EQ(ShownNotePath("Дом^^"), "Дом");
  EXPECT_EQ(ShownNotePath(""), "");
}

}  // namespace
}  // namespace vm::notebook
