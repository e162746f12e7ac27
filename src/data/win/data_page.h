// The data page ("Данные"): the open table as a virtual list under three filter fields,
// with its tool bar of file, record, link and password commands. Every decision is the
// DataBook's; the page shows it and forwards what the user does.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "common/ask_dialogs.h"
#include "common/shell_actions.h"
#include "data/data_book.h"
#include "shell/win/book_page.h"
#include "ui/handles.h"
#include "ui/list_view.h"
#include "ui/toolbar.h"
#include "ui/tooltips.h"

namespace vm::data {

// What the page asks of the user and hands to programs outside; tests put answers and
// recorders here so that nothing waits for a person.
struct DataPageShell {
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askOpen;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder, const std::string& name)>
      askSaveAs;
  // The CSV file to import, and where to export one (offered name given).
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askCsvOpen;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder, const std::string& name)>
      askCsvSave;
  // The dialog "Новый", starting in the given folder: the path and the header text of the
  // new file.
  std::function<std::optional<std::pair<std::string, std::string>>(HWND owner, const std::string& folder)>
      askNew;
  struct Password {
    std::string text;
    bool remove = false;
  };
  std::function<std::optional<Password>(HWND owner, PasswordMode mode)> askPassword;
  // The dialog "Настройка таблицы" over the table.
  std::function<void(HWND owner, DataTable& table)> editColumns;
  std::function<void(const ShellRequest&)> perform;
};
DataPageShell SystemDataPageShell();

class CPh : public shell::BookPage {
 public:
  explicit CPh(const CAppUtil& app);

  DataBook& data() { return book_; }
  ui::ListView& list() { return list_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::Tooltips& tooltips() { return tips_; }
  void SetShell(DataPageShell shell) { shell_ = std::move(shell); }
  static int FilterId(int k);

  std::optional<shell::Book> book() const override { return shell::Book::kData; }
  // Saves the table (save all, hiding, exit); the list's widths go with it.
  void Save() override;
  std::optional<shell::UnsavedBook> Unsaved() const override;
  // The book's file changed on disk: loaded again unless the book holds unsaved changes.
  shell::DiskChange FileChanged(const std::string& path) override;
  bool RetrySave() override;
  bool SaveAsChosen() override;
  void GiveUpChanges() override;
  bool PreTranslate(MSG& msg) override;

  // ---- "Найти везде" (data_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;

  // Makes `path` the current file and loads it (the open command after its dialog).
  void OpenFile(const std::string& path);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  std::string LoadReport() const override { return book_.table().loadMessage; }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;

 private:
  void CreateBars();
  void Layout(int width, int height);
  void Paint(HDC dc);
  // Columns, tips and filter fields from the table's shown columns, then the rows.
  void RebuildColumns();
  void ShowRows();
  void ShowLock();
  void UpdateCommands();
  void SetPath(const std::string& path);
  void ClearFilterFields();
  void ShowSaveResult(const TableSave& saved);
  void ShowLoadResult(const TableLoad& loaded);
  std::vector<unsigned> ListWidths() const;
  bool AutoSave() const;

  void New();
  void Open();
  void SaveFile();
  void SaveAs();
  void DropSaveMenu(const RECT& button);
  void ExportCsv();
  // A CSV file becomes a new table file (its place asked with the save-as dialog), which
  // the page then opens; what the table could not hold is reported.
  void ImportCsv();
  std::string TableFolder() const;
  void Add();
  void Delete();
  void Act(CardAction action);
  void ClearInputs();
  void Settings();
  void Password();

  DataBook book_;
  std::string saveError_;  // why the sheet's last save wrote nothing
  bool givenUp_ = false;   // the user left without saving: no later save tries again
  DataPageShell shell_;
  bool setUp_ = false;
  int filling_ = 0;  // filter fields being filled by the page: their changes are no edits
  int columnCount_ = 0;

  ui::Toolbar toolbar_, hideBar_;
  ui::Tooltips tips_;
  ui::ListView list_;
  ui::UniqueAccel accel_;
  ui::UniqueFont font_;
  RECT countRect_{}, pathRect_{}, noticeRect_{};
};

}  // namespace vm::data
