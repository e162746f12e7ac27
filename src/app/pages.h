// The composition root: the program's one settings and folders object is made by its
// start and handed here; this is the only place that knows every page.
#pragma once

#include <memory>
#include <vector>

#include "common/app_util.h"
#include "shell/win/book_page.h"

namespace vm::app {

// The sheet's pages in tab order, each holding `app`, which outlives them.
std::vector<std::unique_ptr<shell::BookPage>> MakePages(const CAppUtil& app);

// Every book's save from now on first keeps a dated copy in "Backup\" beside the
// program, as many days as "GENERAL"/"BACKUPDAYS" says; a failed copy is reported once.
void InstallBackups(const CAppUtil& app);

// The whole program: start-up, then the main sheet's modal run. Returns the exit code.
int RunVelmoria();

}  // namespace vm::app
