// The dates page ("Даты"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::dates {

class CMes : public shell::BlankBookPage {
 public:
  explicit CMes(const CAppUtil& app) : shell::BlankBookPage(shell::kDatesTab, app) {}
};

}  // namespace vm::dates
