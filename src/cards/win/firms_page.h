// The firms page ("Фирмы"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::cards {

class CFirm : public shell::BlankBookPage {
 public:
  explicit CFirm(shell::BookRegistry& books) : shell::BlankBookPage(shell::kFirmsTab, books) {}
};

}  // namespace vm::cards
