// The base of a book page that has no controls yet: a blank page as large as the About
// page, with its tab's caption, holding the registry it will plug its book into.
#pragma once

#include "shell/books.h"
#include "shell/sheet_rules.h"
#include "ui/dialog.h"

namespace vm::shell {

inline constexpr int kPageWidthDlu = 414;
inline constexpr int kPageHeightDlu = 201;

class BlankBookPage : public ui::PropertyPage {
 public:
  BlankBookPage(int tab, BookRegistry& books)
      : ui::PropertyPage(kTabs[tab].caption, kPageWidthDlu, kPageHeightDlu), books_(books) {}

 protected:
  BookRegistry& books() { return books_; }

 private:
  BookRegistry& books_;
};

}  // namespace vm::shell
