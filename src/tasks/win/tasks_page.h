// The tasks page ("Дела"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::tasks {

class CWork : public shell::BlankBookPage {
 public:
  explicit CWork(shell::BookRegistry& books) : shell::BlankBookPage(shell::kTasksTab, books) {}
};

}  // namespace vm::tasks
