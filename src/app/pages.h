// The composition root: the program's one settings and folders object is made by its
// start and handed here; this is the only place that knows every page.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_util.h"
#include "shell/win/book_page.h"

namespace vm::app {

// The sheet's pages in tab order, each holding `app`, which outlives them.
std::vector<std::unique_ptr<shell::BookPage>> MakePages(const CAppUtil& app);

// Every book's save from now on first keeps a dated copy in "Backup\" beside the
// program, as many days as "GENERAL"/"BACKUPDAYS" says; a failed copy is reported once.
void InstallBackups(const CAppUtil& app);
// The three-way merge of a book changed here and on disk by its file's kind: the record
// books by record, the notebook by note path; none for the others or when a side cannot
// be read.
std::optional<std::string> MergeBooks(const std::string& path, std::string_view base, std::string_view mine,
                                      std::string_view theirs);

// The whole program: start-up, then the main sheet's modal run. Returns the exit code.
int RunVelmoria();

}  // namespace vm::app
