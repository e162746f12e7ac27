// The data page ("Данные"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::data {

class CPh : public shell::BlankBookPage {
 public:
  explicit CPh(shell::BookRegistry& books) : shell::BlankBookPage(shell::kDataTab, books) {}
};

}  // namespace vm::data
