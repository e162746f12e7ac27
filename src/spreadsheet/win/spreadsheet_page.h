// The spreadsheet page ("а ля Excel"): one workbook in the grid window, with its tool bar
// of file, font-style, alignment and colour commands. The grid and page_rules decide;
// the page shows their results and forwards what the user does.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "shell/win/book_page.h"
#include "spreadsheet/page_menus.h"
#include "spreadsheet/sheet_edits.h"
#include "spreadsheet/undo_history.h"
#include "spreadsheet/win/grid_window.h"
#include "spreadsheet/workbook.h"
#include "ui/colour_picker.h"
#include "ui/find_dialog.h"
#include "ui/handles.h"
#include "ui/toolbar.h"
#include "ui/tooltips.h"

namespace vm::spreadsheet {

// What the page asks of the user; tests put answers here so that nothing waits.
struct SpreadsheetPageShell {
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askOpen;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder, const std::string& name)>
      askSaveAs;
  // The sheet's new name from "Наименование листа"; nothing when cancelled.
  std::function<std::optional<std::string>(HWND owner, const std::string& name)> askSheetName;
  // The font dialog from a font and text colour; nothing when cancelled.
  std::function<bool(HWND owner, FontDesc& font, COLORREF& colour)> askFont;
  // The printer from the print dialog (the page deletes the device context); null
  // when cancelled or when there is no printer, which the asking has reported.
  std::function<HDC(HWND owner)> askPrinter;
};
SpreadsheetPageShell SystemSpreadsheetPageShell();

class CLikeExcelDlg : public shell::BookPage {
 public:
  explicit CLikeExcelDlg(const CAppUtil& app);

  std::optional<shell::Book> book() const override { return shell::Book::kSpreadsheet; }
  // Writes the workbook to its file when it changed (save all, hiding, exit); nothing
  // without a file.
  void Save() override;
  std::optional<shell::UnsavedBook> Unsaved() const override;
  // The book's file changed on disk: loaded again unless the book holds unsaved changes.
  shell::DiskChange FileChanged(const std::string& path) override;
  bool RetrySave() override;
  bool SaveAsChosen() override;
  void GiveUpChanges() override;
  bool PreTranslate(MSG& msg) override;

  CWorkbook& workbook() { return workbook_; }
  GridWindow& grid() { return grid_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::ColourPicker& colourPicker() { return picker_; }
  const std::string& path() const { return path_; }
  // The file whose read failed; the page is then bound to no file.
  const std::string& unreadPath() const { return unread_; }
  const UndoHistory& history() const { return history_; }
  const PageOptions& options() const { return options_; }
  bool modified() const { return modified_; }

  // ---- "Найти везде" (spreadsheet_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;
  void SetShell(SpreadsheetPageShell shell) { shell_ = std::move(shell); }

  // Makes `path` the current file and reads it (the open command after its dialog).
  void OpenFile(const std::string& path);
  // Writes the workbook to the current file; with none, asks for one. False on failure.
  bool SaveFile();
  bool SaveAs();
  void New();
  // The grid's context menu for what was right-clicked, as data (tests read it).
  std::vector<MenuEntry> MenuFor(const GridHit& hit) const;
  // Runs a command of the context menus for the part last right-clicked.
  void RunMenuCommand(const GridHit& hit, int id);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  std::string LoadReport() const override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;

 private:
  void Layout(int width, int height);
  void Paint(HDC dc);
  void ApplyDefaults();
  bool ReadFile(const std::string& path);
  void SetPath(const std::string& path);
  void UpdateButtons();
  void DropSaveMenu(const RECT& button);
  // Opens the colour picker at a screen point (under the tool-bar button, or where the
  // menu was asked for); the chosen colour goes to the selection as one undo step.
  void PickColour(bool fill, POINT screen);
  bool AutoSave() const;
  void ShowGridMenu(const GridHit& hit, POINT screen);
  // The one way the workbook changes: keeps it for undo, lets `change` alter it, and
  // shows the result; a change that reports false altered nothing and leaves no step.
  template <class Change>
  bool Edit(Change change, bool structural = false);
  // A command of sheet_edits through Edit, at the selection (and the clicked part).
  bool RunEdit(int command, const EditTarget& target, const EditInput& input = {}, EditOutput* output = nullptr);
  EditTarget Target(const GridHit* hit = nullptr) const;
  void Refresh();
  void CopyOrCut(bool cut);
  void Paste();
  void UndoOrRedo(bool redo);
  // The current sheet through the print dialog; a sheet with nothing on it, a missing
  // printer and a refused job are told to the user.
  void Print();
  void ChangeFont(bool defaultFont);
  void OpenFind(bool replace);
  void OnFind(const ui::FindDialog::Request& request);
  void RenameSheet(int tab);
  void Utf8ToWin();

  CWorkbook workbook_;
  std::string path_;
  bool modified_ = false;
  uint64_t revision_ = find::NextStamp();  // renewed by every change of the cells' texts
  bool loadFailed_ = false;
  std::string unread_;      // a file that could not be read, never written unasked
  std::string saveError_;   // why the last save of a changed workbook wrote nothing
  bool setUp_ = false;
  SpreadsheetPageShell shell_;

  GridWindow grid_;
  ui::Toolbar toolbar_, hideBar_;
  ui::ColourPicker picker_;
  ui::FindDialog find_;
  PageOptions options_;
  UndoHistory history_;
  POINT menuPoint_{};
  ui::UniqueAccel accel_;
  ui::UniqueFont pathFont_;
  RECT pathRect_{};
};

}  // namespace vm::spreadsheet
