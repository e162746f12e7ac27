// The three-way merge of a book changed both here and elsewhere (another program, a
// second copy of the organiser, a synced folder): against the version last read, each
// side's changes are taken; a record changed differently on both sides is kept twice, the
// disk's copy marked so the user sees it. Works on a book's plain bytes (a protected
// book is merged after it is opened). The record books merge by record, the notebook by
// note path (a note's body is one unit); the workbook and the date files do not merge.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/books.h"

namespace vm::shell {

struct MergeCounts {
  int fromMine = 0;    // records or notes added or changed only here
  int fromTheirs = 0;  // ... only on disk
  int deleted = 0;     // deleted on one side, unchanged on the other
  int conflicts = 0;   // changed differently on both sides: both kept
  friend bool operator==(const MergeCounts&, const MergeCounts&) = default;
};

struct MergeResult {
  bool merged = false;  // false: `error` says why (a side could not be read, no merge)
  std::string bytes;    // the merged book, in its file format
  MergeCounts counts;
  std::string error;
};

// Contacts, firms, tasks, the data table and the notebook merge; the others do not.
bool CanMerge(Book book);
// The book a file is by its extension (".dbc", ".dbo", ".dbw", ".dbp", ".dbn", ".xml",
// ".txt" date files are not told apart and give nothing).
std::optional<Book> BookOfPath(std::string_view path);
// base: the bytes last read or written by this side; mine: what this side would save;
// theirs: what is on disk now.
MergeResult MergeBook(Book book, std::string_view base, std::string_view mine, std::string_view theirs);
// The text that marks the disk's copy of a record changed on both sides: " (конфликт)".
extern const char* const kConflictMark;

}  // namespace vm::shell
