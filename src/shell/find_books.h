// "Найти везде": one search over the books of every page. The texts of each book are
// kept folded between keystrokes (find::Corpus) and taken again from a page only when
// its stamp moved, so a keystroke's search never answers from texts older than the book.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/find_corpus.h"
#include "shell/books.h"

namespace vm::shell {

// One line of the results list.
struct FoundLine {
  size_t page = 0;    // the page's place in the list given
  std::string book;   // the book's name
  std::string where;  // the record, and the field when the book names its fields
  std::string text;   // the text around the hit
  find::Result hit;
};

struct FoundAll {
  std::vector<FoundLine> lines;     // grouped by book, in page order
  std::vector<std::string> notSearched;  // "<book>: <why>"
  bool truncated = false;
};

class FindEverywhere {
 public:
  explicit FindEverywhere(std::vector<BookCalls*> pages) : pages_(std::move(pages)) {}

  // Brings the kept texts up to date: a book whose stamp moved hands in its texts again,
  // a locked one is listed as not searched, a page without texts is left out.
  void Refresh();
  // Refresh, then the hits of what the user typed (at most `limit`).
  FoundAll Search(std::string_view typed, size_t limit = 1000);
  // Goes to a hit: the page shows it. False when it is no longer there.
  bool Show(const FoundLine& line) const;
  // How many times books handed in their texts (for checks that nothing is taken twice).
  size_t collected() const { return collected_; }

 private:
  std::vector<BookCalls*> pages_;
  std::vector<std::vector<std::string>> fields_;
  find::Corpus corpus_;
  size_t collected_ = 0;
};

// ---- what the window shows ----
// One row per hit; the book is named on the first row of its group only, so the groups
// stand apart in the list.
struct FoundRow {
  std::string book, where, text;
};
std::vector<FoundRow> FoundRows(const FoundAll& found);
// The line under the list: what to do before anything is typed, else how many hits
// (and that only the best are listed), then the books that were not searched and why.
std::string FoundStatus(const FoundAll& found, bool typed);

// How the results name a book: its tab's caption, and the file's name for a book kept
// in a file of the user's choosing ("Блокнот (Дом.dbn)").
std::string FindBookName(Book book, const std::string& path = {});

// "where" of a hit: the record's name, then the field's name when there is one.
std::string WhereText(const std::string& label, const std::vector<std::string>& fields, uint32_t field);

}  // namespace vm::shell
