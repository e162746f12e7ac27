// The data page ("Данные"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::data {

class CPh : public shell::BlankBookPage {
 public:
  explicit CPh(const CAppUtil& app) : shell::BlankBookPage(shell::kDataTab, app) {}
};

}  // namespace vm::data
