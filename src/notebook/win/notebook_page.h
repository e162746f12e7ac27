// The notebook page ("Блокнот"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::notebook {

class CNoteBook : public shell::BlankBookPage {
 public:
  explicit CNoteBook(const CAppUtil& app) : shell::BlankBookPage(shell::kNotebookTab, app) {}
};

}  // namespace vm::notebook
