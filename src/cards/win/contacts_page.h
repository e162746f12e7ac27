// The contacts page ("Контакты"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::cards {

class CContDlg : public shell::BlankBookPage {
 public:
  explicit CContDlg(shell::BookRegistry& books) : shell::BlankBookPage(shell::kContactsTab, books) {}
};

}  // namespace vm::cards
