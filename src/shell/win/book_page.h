// The base of every page of the main sheet. A page is made by the program's start
// (src/app/) with the settings and folders object, handed to the sheet in tab order, and
// then answers the sheet's calls: Save, Tick, DayChanged and the reminder window's
// message (BookCalls), and PreTranslate for the keys the sheet's loop takes while the
// page is on show. The tool-bar commands every page has are answered here once.
#pragma once

#include <functional>
#include <string>

#include "common/app_util.h"
#include "shell/books.h"
#include "shell/sheet_rules.h"
#include "ui/dialog.h"
#include "ui/toolbar.h"

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

  // Where "Помощь" goes: the program's help file unless a test hands it elsewhere.
  void SetHelp(std::function<void()> open) { help_ = std::move(open); }

 protected:
  // The commands every page's tool bar has: "Информация о неудачной загрузки файла"
  // shows LoadReport() when there is one, "Помощь" opens the help, "Сохранить все" and
  // "Скрыть F12" go to the sheet, whose commands they are. A page hands over what it does
  // not take itself; true when `id` was one of these.
  bool CommonCommand(int id);
  // What went wrong in the book's last load; empty when nothing did.
  virtual std::string LoadReport() const { return {}; }

 private:
  int tab_;
  const CAppUtil& app_;
  std::function<void()> help_;
};

// A page's own tool-bar commands and those every page has (BookPage::CommonCommand's:
// save all, load info, help, hide), with their icons and tooltips. A page whose hide
// button has an id of its own names it.
std::vector<ui::ToolCommand> WithCommonButtons(std::vector<ui::ToolCommand> own, int hideCommand = 0);

// A page whose controls are still to come: the tab is there, the page is blank, and
// nothing is saved for it.
class BlankBookPage : public BookPage {
 public:
  BlankBookPage(int tab, const CAppUtil& app) : BookPage(tab, app) {}
};

}  // namespace vm::shell
