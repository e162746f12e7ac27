// The notebook page ("Блокнот"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::notebook {

class CNoteBook : public shell::BlankBookPage {
 public:
  explicit CNoteBook(shell::BookRegistry& books) : shell::BlankBookPage(shell::kNotebookTab, books) {}
};

}  // namespace vm::notebook
