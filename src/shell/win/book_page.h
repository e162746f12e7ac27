// The base of every page of the main sheet. A page is made by the program's start
// (src/app/) with the settings and folders object, handed to the sheet in tab order, and
// then answers the sheet's calls: Save, Tick, DayChanged and the reminder window's
// message (BookCalls), and PreTranslate for the keys the sheet's loop takes while the
// page is on show.
#pragma once

#include "common/app_util.h"
#include "shell/books.h"
#include "shell/sheet_rules.h"
#include "ui/dialog.h"

namespace vm::shell {

inline constexpr int kPageWidthDlu = 414;
inline constexpr int kPageHeightDlu = 201;

class BookPage : public ui::PropertyPage, public BookCalls {
 public:
  // A page from its dialog template, with the caption of its tab.
  BookPage(int tab, int templateId, const CAppUtil& app)
      : ui::PropertyPage(templateId, kTabs[tab].caption), tab_(tab), app_(app) {}
  // A page without controls yet: blank, as large as the About page.
  BookPage(int tab, const CAppUtil& app)
      : ui::PropertyPage(kTabs[tab].caption, kPageWidthDlu, kPageHeightDlu), tab_(tab), app_(app) {}

  int tab() const { return tab_; }
  const CAppUtil& app() const { return app_; }

 private:
  int tab_;
  const CAppUtil& app_;
};

// A page whose controls are still to come: the tab is there, the page is blank, and
// nothing is saved for it.
class BlankBookPage : public BookPage {
 public:
  BlankBookPage(int tab, const CAppUtil& app) : BookPage(tab, app) {}
};

}  // namespace vm::shell
