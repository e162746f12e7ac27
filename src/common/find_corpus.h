// The texts of every book, kept ready for a search as the user types: each book hands
// in its texts with a stamp of its version; the folded text and the spelling skeleton
// of each are made once and kept until the book hands in a newer version, so a
// keystroke's search is a scan of prepared bytes and never answers from texts older
// than the book.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/forgiving_find.h"

namespace vm::find {

// A number never handed out before in this run: books take a new one on every change,
// and a book made anew (a default-made object) starts with one of its own, so a stamp
// never comes back to an older version, whichever object the version lived in.
uint64_t NextStamp();

// Where a text stands in its book, in the book's own terms (a card and field, a task, a
// note, a table row and column, a sheet and cell); the page that owns the book reads it.
struct Place {
  uint32_t record = 0;
  uint32_t field = 0;
  uint32_t part = 0;  // a workbook's sheet; 0 elsewhere
};

// An entry of several fields (a card, a table row, a note's title and text) joins them
// with this byte: a hit then names its field (Place::field, counted from 0), and its
// context and place stay within that field.
inline constexpr char kFieldBreak = '\x1F';

struct Entry {
  Place place;
  std::string label;  // how the list names the record: a name, a headline, a note's path
  std::string text;   // Windows-1251, as stored
};

struct Result {
  int book = 0;
  Place place;
  std::string label;
  std::string context;  // the text around the hit on one line
  size_t pos = 0;       // the hit in its field's text (the entry's, without breaks)
  size_t len = 0;
  MatchKind kind = MatchKind::kExact;
};

// The text around [pos, pos + len) on one line: up to `width` bytes either side, line
// breaks and tabs as spaces, "..." where the text was cut.
std::string ContextAround(std::string_view text, size_t pos, size_t len, size_t width = 40);

class Corpus {
 public:
  // Replaces a book's texts. `book` is the caller's id (its tab); `stamp` the version of
  // the book they come from.
  void SetBook(int book, std::string name, uint64_t stamp, std::vector<Entry> entries);
  // True when the book's texts are those of this stamp: nothing to hand in again.
  bool Holds(int book, uint64_t stamp) const;
  // A book that cannot be searched (a locked protected book, a file that could not be
  // read): its texts go and the reason is listed instead.
  void SetUnsearchable(int book, std::string name, std::string reason);
  void RemoveBook(int book);

  struct Answer {
    std::vector<Result> results;  // grouped by book in the order books were first set;
                                  // within a book exact, then layout, then spelling hits
    bool truncated = false;       // more than `limit` hits: the best ones are listed
    std::vector<std::string> notSearched;  // "<book>: <reason>"
  };
  Answer Search(const Query& query, size_t limit = 1000) const;

  const std::string* BookName(int book) const;

 private:
  // A book's texts prepared for the search: every entry's folded text in one buffer, one
  // after the other with a zero byte between, so a keystroke's search is one scan of one
  // buffer per form of the query; the skeletons the same way, made on the first search
  // that needs them. A hit's place in a skeleton is found again for that entry alone.
  struct Book {
    int id = 0;
    std::string name;
    uint64_t stamp = 0;
    std::string unsearchable;  // the reason, when not searchable
    std::vector<Entry> entries;
    std::string folded;
    std::vector<uint32_t> starts;  // of each entry in `folded`, and the end
    std::array<uint32_t, 256> counts{};  // of each byte in `folded`: the rarest leads a scan
    mutable bool skeletonsMade = false;
    mutable std::string skeletons;
    mutable std::vector<uint32_t> skeletonStarts;
    mutable std::array<uint32_t, 256> skeletonCounts{};
  };
  Book& Slot(int book, std::string name);
  const Book* Find(int book) const;
  static void MakeSkeletons(const Book& b);

  std::vector<Book> books_;
};

}  // namespace vm::find
