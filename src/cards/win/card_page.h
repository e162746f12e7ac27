// What the contacts and firms pages share: one page over a CardBook, shaped by the
// book's layout and a table of its commands. The page turns the book into controls and
// the controls' events into calls of the book; every decision is the book's.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_book.h"
#include "cards/card_layout.h"
#include "common/shell_actions.h"
#include "shell/win/book_page.h"
#include "ui/handles.h"
#include "ui/list_view.h"
#include "ui/page_keys.h"
#include "ui/toolbar.h"
#include "ui/tooltips.h"

namespace vm::cards {

// How one book's page differs from the other's.
struct CardPageKind {
  const CardBookLayout& layout;
  int dialogId;
  int toolbarId;
  int tab;  // the sheet's tab index
  shell::Book book;
  CardPageBoxes (*boxes)(int width, int height);
  std::vector<const char*> searchTips;
  std::vector<int> meanIcons;  // one per contact mean
  bool phonesBox;              // the firms page's telephones box
};

// What the page hands to programs outside; tests put recorders here.
struct CardShell {
  std::function<void(const ShellRequest&)> perform;
  // Opens the report page the book wrote; the shell's code (above 32 on success).
  std::function<int(const std::string& path)> openReport;
  // The file dialogs of the vCard commands: the chosen path, or nothing when cancelled.
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askVcardSave;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askVcardOpen;
};
CardShell SystemCardShell();
// Puts the system's file dialogs of the vCard commands into a shell (card_vcard.cpp).
void AddVcardDialogs(CardShell& shell);

class CardPage : public shell::BookPage {
 public:
  CardPage(const CardPageKind& kind, const CAppUtil& app);

  CardBook& cards() { return book_; }
  const CardPageKind& kind() const { return kind_; }
  ui::ListView& list() { return list_; }
  ui::ListView& means() { return means_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::Toolbar& hideBar() { return hideBar_; }
  ui::Tooltips& tooltips() { return tips_; }
  void SetShell(CardShell shell) { shell_ = std::move(shell); }
  // The search box of a box index, and the box beside the list for a field.
  static int SearchBoxId(int box);

  std::optional<shell::Book> book() const override { return kind_.book; }
  // Saves the column widths (once the page has been shown) and the book when it changed.
  void Save() override;
  std::optional<shell::UnsavedBook> Unsaved() const override;
  // The book's file changed on disk: loaded again unless the book holds unsaved changes.
  shell::DiskChange FileChanged(const std::string& path) override;
  bool RetrySave() override;
  void GiveUpChanges() override;
  bool PreTranslate(MSG& msg) override;

  // ---- "Найти везде" (card_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  std::string LoadReport() const override { return book_.book().loadMessage; }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;

 private:
  void CreateBars();
  void SetUpMeans();
  void Layout(int width, int height);
  void Paint(HDC dc);
  void InvalidateCount();

  // Shows the book's shown list again, with the current card selected.
  void ShowList();
  // The address, comment, telephones boxes and the means list from the current card.
  void ShowCurrent();
  void UpdateCommands();

  void OnSearchChanged(int box);
  void OnBoxChanged(int field, int controlId);
  void Add();
  void Delete();
  void Clear();
  void Report();
  // card_vcard.cpp: the report button's drop-down and its two commands.
  void DropVcardMenu(const RECT& button);
  void ExportVcard();
  void ImportVcard();
  void Act(CardAction action);
  void OnSelected(int row);
  void OnSorted(int column, bool ascending);

  const CardPageKind& kind_;
  CardBook book_;
  std::string saveError_;  // why the last save wrote nothing, while the book stays changed
  CardShell shell_;
  std::string programFolder_;
  bool setUp_ = false;
  bool widthsKnown_ = false;
  int filling_ = 0;  // controls being filled by the page: their changes are no edits

  ui::Toolbar toolbar_, hideBar_;
  ui::Tooltips tips_;
  ui::ListView list_, means_;
  ui::UniqueAccel accel_;
  ui::UniqueImageList meanImages_;
  ui::UniqueIcon addressIcon_, commentIcon_, phonesIcon_;
  ui::UniqueFont countFont_;
  RECT countRect_{};
};

}  // namespace vm::cards
