// Which books merge when they changed both here and elsewhere, and the merge of the
// contacts, firms and task books. The data table (data/data_file.h, MergeTables) and the
// notebook (notebook/notebook_merge.h) merge in their own cores; the workbook and the
// date files do not merge: both versions are kept.
#pragma once

#include <optional>
#include <string_view>

#include "common/record_merge.h"
#include "shell/books.h"

namespace vm::shell {

bool CanMerge(Book book);
// The book a file is by its extension: ".dbc" contacts, ".dbo" firms, ".dbw" tasks,
// ".dbp" the data table, ".dbn" the notebook, ".xml" the workbook; none for others.
std::optional<Book> BookOfPath(std::string_view path);
// The contacts, firms and task books' merge (MergeRecordFiles with the book's key
// field); not merged for the other books.
MergeResult MergeRecordBook(Book book, std::string_view base, std::string_view mine, std::string_view theirs);

}  // namespace vm::shell
