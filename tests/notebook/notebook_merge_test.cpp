#include "notebook/notebook_merge.h"

#include <gtest/gtest.h>

#include "notebook/note_tree.h"
#include "notebook/notebook_file.h"

namespace vm::notebook {
namespace {

// A notebook file from "path=body" lines ("Дом/Кухня=плитка"); parents come first.
std::string Book(std::initializer_list<const char*> notes) {
  auto root = NewNotebookRoot();
  for (const char* line : notes) {
    std::string s = line;
    std::string path = s.substr(0, s.find('=')), body = s.substr(s.find('=') + 1);
    XmlElement* at = root.get();
    for (size_t from = 0;;) {
      size_t slash = path.find('/', from);
      std::string title = path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
      XmlElement* next = at->FindChild(title);
      at = next ? next : at->AppendChild(title);
      if (slash == std::string::npos) break;
      from = slash + 1;
    }
    at->SetValue(body);
  }
  return NotebookBytes(*root, "Блокнот.dbn", {});
}

TEST(NotebookMerge, MergesByNotePath) {
  struct {
    const char* what;
    std::string base, mine, theirs, merged;
    MergeCounts counts;
  } cases[] = {
      {"a note added on each side, a body changed on each",
       Book({"Дом=1", "Дом/Кухня=2", "Работа=3"}), Book({"Дом=1", "Дом/Кухня=22", "Работа=3", "Дача=4"}),
       Book({"Дом=1", "Дом/Кухня=2", "Дом/Ванная=5", "Работа=33"}),
       Book({"Дом=1", "Дом/Кухня=22", "Дом/Ванная=5", "Работа=33", "Дача=4"}), {2, 2, 0, 0}},
      {"deleted on one side and untouched on the other", Book({"А=1", "Б=2", "В=3"}), Book({"А=1", "В=3"}),
       Book({"А=1", "Б=2"}), Book({"А=1"}), {0, 0, 2, 0}},
      {"deleted on disk but changed inside here: kept", Book({"А=1", "А/Б=2"}), Book({"А=1", "А/Б=3"}),
       Book({}), Book({"А=1", "А/Б=3"}), {1, 0, 0, 0}},
      {"a body changed on both sides: a conflict sibling holds the disk's",
       Book({"Дом=старый"}), Book({"Дом=мой"}), Book({"Дом=их"}),
       Book({"Дом=мой", "Дом_(конфликт)=их"}), {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    MergeResult r = MergeNotebook(c.base, c.mine, c.theirs, "Блокнот.dbn");
    ASSERT_TRUE(r.merged) << c.what << ": " << r.error;
    EXPECT_EQ(r.bytes, c.merged) << c.what;
    EXPECT_EQ(r.counts, c.counts) << c.what << ": " << r.counts.fromMine << " " << r.counts.fromTheirs << " "
                                  << r.counts.deleted << " " << r.counts.conflicts;
  }
}

TEST(NotebookMerge, RefusesWhatItCannotRead) {
  std::string plain = Book({"А=1"});
  MergeResult r = MergeNotebook(plain, plain, "<Records><a>", "Блокнот.dbn");
  EXPECT_FALSE(r.merged);
  EXPECT_FALSE(r.error.empty());
}

}  // namespace
}  // namespace vm::notebook
