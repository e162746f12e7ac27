#include "data/win/data_page.h"

#include "common/ask_dialogs.h"
#include "common/unread_file.h"
#include "common/win/shell_actions_win.h"
#include "data/csv.h"
#include "data/win/data_resources.h"
#include "data/win/table_dialogs.h"
#include "common/protected_file.h"
#include "platform/crypto.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "ui/ask_dialogs.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/fonts.h"
#include "ui/menu.h"
#include "ui/page_keys.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::data {

namespace {

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons({
      {ID_DATA_NEW, IDI_DATA_NEW, "Новый файл Ctrl+N"},
      {ID_DATA_OPEN, IDI_DATA_OPEN, "Открыть файл Ctrl+O"},
      {ID_DATA_SAVE, IDI_DATA_SAVE, "Сохранить файл Ctrl+S"},
      {ID_DATA_ADD, IDI_BOOK_ADD, "Добавить запись  Ctrl+Enter"},
      {ID_DATA_DELETE, IDI_BOOK_DELETE, "Удалить запись Ctrl+X"},
      {ID_DATA_DIAL, IDI_DATA_DIAL, "Набор телефонного номера"},
      {ID_DATA_MAIL, IDI_DATA_MAIL, "Написать письмо"},
      {ID_DATA_WEB, IDI_DATA_WEB, "Открыть адрес в броузере"},
      {ID_DATA_CLEAR, IDI_DATA_CLEAR, "Очистить окна ввода Ctrl+Delete"},
      {ID_DATA_SETTINGS, IDI_DATA_SETTINGS, "Настройка таблицы"},
      {ID_DATA_PASSWORD, IDI_DATA_PASSWORD, "Ввод пароля"},
  });
  return table;
}

constexpr COLORREF kTextColour = RGB(0, 50, 100);
constexpr const char* kLockedNotice = "Файл защищен паролем.";

// The file's name with its extension replaced.
std::string RenamedAs(const std::string& path, const char* extension) {
  std::string name = FileNameOfPath(path);
  size_t dot = name.find_last_of('.');
  return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + extension;
}

}  // namespace

DataPageShell SystemDataPageShell() {
  DataPageShell s;
  s.askOpen = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(
        owner, {.filters = {{"dbp-файлы (*.dbp)", "*.dbp"}}, .defaultExtension = "dbp", .folder = folder});
  };
  s.askSaveAs = [](HWND owner, const std::string& folder, const std::string& name) {
    return ui::AskSaveFile(owner, {.filters = {{"Файлы dbp (*.dbp)", "*.dbp"}},
                                   .defaultExtension = "dbp",
                                   .folder = folder,
                                   .fileName = name});
  };
  s.askCsvOpen = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(owner, {.filters = {{"Файлы CSV (*.csv)", "*.csv"}, {"Все файлы (*.*)", "*.*"}},
                                   .defaultExtension = "csv",
                                   .folder = folder});
  };
  s.askCsvSave = [](HWND owner, const std::string& folder, const std::string& name) {
    return ui::AskSaveFile(owner, {.filters = {{"Файлы CSV (*.csv)", "*.csv"}},
                                   .defaultExtension = "csv",
                                   .folder = folder,
                                   .fileName = name});
  };
  s.askNew = [](HWND owner, const std::string& folder) { return AskNewTable(owner, folder); };
  s.askPassword = [](HWND owner, PasswordMode mode) -> std::optional<DataPageShell::Password> {
    auto answer = ui::AskPassword(owner, mode);
    if (!answer) return std::nullopt;
    return DataPageShell::Password{answer->text, answer->removePassword};
  };
  s.editColumns = [](HWND owner, DataTable& table) { EditTableColumns(owner, table); };
  s.perform = [](const ShellRequest& r) { Perform(r); };
  return s;
}

int CPh::FilterId(int k) {
  return IDC_DATA_FILTER1 + k;
}

CPh::CPh(const CAppUtil& app)
    : shell::BookPage(shell::kDataTab, IDD_DATA, app), shell_(SystemDataPageShell()) {}

bool CPh::PreTranslate(MSG& msg) {
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
}

// ---- set-up -----------------------------------------------------------------------------------

bool CPh::OnInitDialog() {
  CreateBars();
  ui::ListView::Callbacks cb;
  cb.text = [this](int row, int column) { return book_.Cell(row, column); };
  cb.selected = [this](int row) {
    book_.Select(row);
    UpdateCommands();
  };
  cb.edited = [this](int row, int column, const std::string& text) {
    if (book_.Edit(row, column, text)) list_.RedrawRow(row);
    UpdateCommands();
  };
  cb.sort = [this](int column, bool ascending) {
    {
      ui::WaitCursor wait;
      book_.TakeWidths(ListWidths(), true);
      book_.Sort(column, ascending);
    }
    ShowRows();
  };
  cb.keyDown = [this](int key) {
    if (key != 'X' || GetKeyState(VK_CONTROL) >= 0) return false;
    Delete();
    return true;
  };
  list_.Attach(Item(IDC_DATA_LIST),
               ui::ListView::kGridLines | ui::ListView::kFullRowSelect | ui::ListView::kKeepMarked,
               std::move(cb));
  accel_.reset(ui::LoadAccelResource(IDR_DATA_ACCEL));

  LOGFONTW lf = ui::DialogFont(hwnd());
  lf.lfHeight = ui::FontHeight(hwnd(), -12);
  lf.lfWidth = 0;
  lf.lfItalic = TRUE;
  lf.lfCharSet = RUSSIAN_CHARSET;
  font_.reset(CreateFontIndirectW(&lf));

  // Start: the last file again, or the file of that name in "Personal", or none.
  std::string start = StartFilePath(app().GetSetting("GENERAL", "LAST") != "0",
                                    app().GetSetting("DATA", "FILENAME"), app().ProgramFolder());
  app().PutSetting("DATA", "FILENAME", start);
  TableLoad loaded;
  {
    ui::WaitCursor wait;
    loaded = book_.Open(start);
  }
  setUp_ = true;
  RECT client;
  GetClientRect(hwnd(), &client);
  Layout(client.right, client.bottom);
  RebuildColumns();
  if (!start.empty()) ShowLoadResult(loaded);
  return true;
}

void CPh::CreateBars() {
  tips_.Create(hwnd());
  toolbar_.Create(hwnd(), IDC_DATA_TOOLBAR, IDR_DATA_TOOLBAR, Commands());
  toolbar_.SetDropDown(ID_DATA_SAVE, false, [this](int, const RECT& r) { DropSaveMenu(r); });
  hideBar_.Create(hwnd(), IDC_DATA_HIDEBAR, IDR_DATA_HIDE_TOOLBAR, Commands());
  for (int k = 0; k < 3; ++k) tips_.Add(FilterId(k), std::string());
}

// ---- layout and painting ----------------------------------------------------------------------

void CPh::OnSize(int width, int height) {
  if (setUp_) Layout(width, height);
}

void CPh::Layout(int width, int height) {
  // The boxes are given at 96 dpi.
  const int dpi = ui::DpiOf(hwnd());
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  HDWP defer = BeginDeferWindowPos(8);
  auto place = [&](HWND w, int x, int y, int cx, int cy) {
    if (defer && w) defer = DeferWindowPos(defer, w, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const int bar = s(26), top = s(60), pathHeight = s(15);
  place(toolbar_.hwnd(), 0, 0, s(400), bar);
  place(hideBar_.hwnd(), width - bar, 0, bar, bar);
  int third = width / 3;
  for (int k = 0; k < 3; ++k)
    place(Item(FilterId(k)), k * third + s(2), s(30), (k == 2 ? width - 2 * third : third) - s(4), s(20));
  place(list_.hwnd(), s(2), top, width - s(4), std::max(0, height - pathHeight - top));
  if (defer) EndDeferWindowPos(defer);
  countRect_ = RECT{s(400), 0, width - s(30), bar};
  pathRect_ = RECT{s(4), height - pathHeight, width - s(4), height};
  noticeRect_ = RECT{0, top, width, top + std::max(0, (height - top) / 2)};
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CPh::Paint(HDC dc) {
  ui::SelectGuard font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTextColour);
  std::wstring count = ui::Wide(RecordCountText(book_.view().size()));
  RECT r = countRect_;
  // The italic's last letter leans past where the text ends: it ends a little inside the
  // strip and is not clipped there.
  r.right -= ui::Scaled(hwnd(), 3);
  DrawTextW(dc, count.c_str(), static_cast<int>(count.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX | DT_NOCLIP);
  std::wstring path = ui::Wide(book_.path());
  r = pathRect_;
  DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
  if (book_.listHidden()) {
    std::wstring notice = ui::Wide(kLockedNotice);
    r = noticeRect_;
    DrawTextW(dc, notice.c_str(), static_cast<int>(notice.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  }
}

bool CPh::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_PAINT) {
    Paint(ui::PaintGuard(hwnd()).dc());
    result = 0;
    return true;
  }
  return false;
}

// ---- what the page shows ----------------------------------------------------------------------

void CPh::RebuildColumns() {
  const CTableDef& def = book_.table().def;
  std::vector<ui::ListView::Column> columns;
  for (int c : ShownColumns(def))
    columns.push_back(
        {def.names[static_cast<size_t>(c)], static_cast<int>(def.widths[static_cast<size_t>(c)]), true});
  list_.EndEdit(false);
  list_.SetColumns(columns);
  list_.SetSortArrow(-1, true);
  columnCount_ = static_cast<int>(columns.size());
  auto tips = FilterTips(def);
  int enabled = EnabledFilters(def);
  for (int k = 0; k < 3; ++k) {
    tips_.Add(FilterId(k), tips[static_cast<size_t>(k)]);
    EnableItem(FilterId(k), k < enabled);
  }
  ShowLock();
  ShowRows();
}

void CPh::ShowRows() {
  list_.SetRowCount(static_cast<int>(book_.view().size()));
  if (book_.selected() >= 0) {
    list_.Select(book_.selected());
    list_.EnsureVisible(book_.selected());
  }
  InvalidateRect(hwnd(), &countRect_, TRUE);
  UpdateCommands();
}

void CPh::ShowLock() {
  bool hidden = book_.listHidden();
  ShowWindow(list_.hwnd(), hidden ? SW_HIDE : SW_SHOW);
  for (int k = 0; k < 3; ++k) ShowItem(FilterId(k), !hidden);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CPh::UpdateCommands() {
  DataCommands c = book_.Commands();
  const struct {
    int id;
    bool on;
  } states[] = {
      {ID_DATA_DELETE, c.remove}, {ID_DATA_DIAL, c.dial},         {ID_DATA_MAIL, c.mail},
      {ID_DATA_WEB, c.web},       {ID_DATA_CLEAR, c.clearInputs}, {ID_DATA_ADD, c.add},
      {ID_DATA_SAVE, c.save},     {ID_DATA_SETTINGS, c.settings}, {ID_LOAD_INFO, c.loadInfo},
  };
  // With no table open the save button stays up for its drop-down alone: "Импорт из
  // CSV…" is how a first table often arrives. Saving itself does nothing then.
  for (const auto& s : states) toolbar_.Enable(s.id, s.on);
  if (book_.path().empty()) toolbar_.Enable(ID_DATA_SAVE, true);
}

void CPh::SetPath(const std::string& path) {
  app().PutSetting("DATA", "FILENAME", path);
  InvalidateRect(hwnd(), &pathRect_, TRUE);
}

void CPh::ClearFilterFields() {
  ++filling_;
  for (int k = 0; k < 3; ++k)
    if (!ItemText(FilterId(k)).empty()) SetItemText(FilterId(k), std::string());
  --filling_;
  book_.ClearFilters();
}

void CPh::ShowSaveResult(const TableSave& saved) {
  if (saved.status == TableSaveStatus::kFailed)
    platform::ShowMessage(saved.error, platform::MessageIcon::kExclamation);
}

void CPh::ShowLoadResult(const TableLoad& loaded) {
  saveError_.clear();
  if (!loaded.opened && !loaded.error.empty())
    platform::ShowMessage(loaded.error, book_.unread() ? platform::MessageIcon::kStop : platform::MessageIcon::kExclamation);
}

std::vector<unsigned> CPh::ListWidths() const {
  std::vector<unsigned> out;
  if (!list_.hwnd() || book_.listHidden()) return out;
  std::vector<int> widths = list_.ColumnWidths();
  if (static_cast<int>(widths.size()) != columnCount_) return out;
  for (int w : widths) out.push_back(static_cast<unsigned>(std::max(0, w)));
  return out;
}

bool CPh::AutoSave() const {
  return app().GetFlag("GENERAL", "AUTOSAVE");
}

// ---- what the user does -----------------------------------------------------------------------

void CPh::DropSaveMenu(const RECT& button) {
  list_.EndEdit(true);
  ui::MenuItem saveAs, exportCsv, importCsv;
  saveAs.id = ID_DATA_SAVE_AS;
  saveAs.text = "Сохранить как..";
  saveAs.enabled = !book_.path().empty();
  exportCsv.id = ID_DATA_EXPORT_CSV;
  exportCsv.text = "Экспорт в CSV…";
  exportCsv.enabled = book_.Commands().save;
  importCsv.id = ID_DATA_IMPORT_CSV;
  importCsv.text = "Импорт из CSV…";
  int chosen = ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom},
                                   {saveAs, ui::MenuSeparator(), exportCsv, importCsv});
  if (chosen == ID_DATA_SAVE_AS && saveAs.enabled) SaveAs();
  if (chosen == ID_DATA_EXPORT_CSV) ExportCsv();
  if (chosen == ID_DATA_IMPORT_CSV) ImportCsv();
  UpdateCommands();
}

bool CPh::OnCommand(int id, int code, HWND control) {
  if (id >= IDC_DATA_FILTER1 && id <= IDC_DATA_FILTER3) {
    if (code == EN_CHANGE && !filling_) {
      {
        ui::WaitCursor wait;
        book_.SetFilter(id - IDC_DATA_FILTER1, ItemText(id));
      }
      ShowRows();
    }
    return true;
  }
  if (code != 0 && code != 1) return false;
  // A command may change the rows under an open in-place edit: the edit goes in first.
  list_.EndEdit(true);
  DataCommands enabled = book_.Commands();
  switch (id) {
    case ID_DATA_NEW: New(); break;
    case ID_DATA_OPEN: Open(); break;
    case ID_DATA_SAVE:
      if (enabled.save) SaveFile();
      break;
    case ID_DATA_SAVE_AS: SaveAs(); break;
    case ID_DATA_EXPORT_CSV:
      if (enabled.save) ExportCsv();
      break;
    case ID_DATA_IMPORT_CSV: ImportCsv(); break;
    case ID_DATA_ADD:
      if (enabled.add) Add();
      break;
    case ID_DATA_DELETE: Delete(); break;
    case ID_DATA_DIAL: Act(CardAction::kPhone); break;
    case ID_DATA_MAIL: Act(CardAction::kMail); break;
    case ID_DATA_WEB: Act(CardAction::kWeb); break;
    case ID_DATA_CLEAR: ClearInputs(); break;
    case ID_DATA_SETTINGS:
      if (enabled.settings) Settings();
      break;
    case ID_DATA_PASSWORD: Password(); break;
    default: return CommonCommand(id);
  }
  UpdateCommands();
  return true;
}

void CPh::OpenFile(const std::string& path) {
  TableLoad loaded;
  {
    ui::WaitCursor wait;
    ClearFilterFields();
    if (path != book_.path() && platform::FileExists(path) && book_.modified() && AutoSave()) {
      book_.TakeWidths(ListWidths(), true);
      ShowSaveResult(book_.Save());
    }
    SetPath(path);
    loaded = book_.Open(path);
  }
  RebuildColumns();
  ShowLoadResult(loaded);
  if (book_.path() != path) SetPath(book_.path());  // an older layout forgets the path
}

std::string CPh::TableFolder() const {
  std::string folder = FolderOfPath(book_.path());
  if (folder.empty() || !platform::DirExists(folder)) {
    folder = app().ProgramFolder() + "Personal";
    if (!platform::DirExists(folder)) platform::MakeDir(folder);
  }
  return folder;
}

void CPh::Open() {
  if (!shell_.askOpen) return;
  std::optional<std::string> chosen = shell_.askOpen(hwnd(), TableFolder());
  if (chosen) OpenFile(*chosen);
}

void CPh::ExportCsv() {
  if (book_.path().empty() || !shell_.askCsvSave) return;
  auto chosen = shell_.askCsvSave(hwnd(), TableFolder(), RenamedAs(book_.path(), ".csv"));
  if (!chosen) return;
  CsvExport done;
  {
    ui::WaitCursor wait;
    done = data::ExportCsv(book_.table(), *chosen);
  }
  if (!done.ok) platform::ShowMessage(done.error, platform::MessageIcon::kExclamation);
}

void CPh::ImportCsv() {
  if (!shell_.askCsvOpen || !shell_.askSaveAs) return;
  auto source = shell_.askCsvOpen(hwnd(), TableFolder());
  if (!source) return;
  CsvImport in;
  {
    ui::WaitCursor wait;
    in = data::ImportCsv(*source);
  }
  if (!in.ok) {
    platform::ShowMessage(in.error, platform::MessageIcon::kExclamation);
    return;
  }
  auto target = shell_.askSaveAs(hwnd(), TableFolder(), RenamedAs(*source, ".dbp"));
  if (!target) return;
  in.table.path = WithTableExtension(*target);
  TableSave written;
  {
    ui::WaitCursor wait;
    written = SaveTable(in.table);
  }
  if (written.status != TableSaveStatus::kSaved) {
    ShowSaveResult(written);
    return;
  }
  // Opening saves the current table first when the settings ask for it.
  OpenFile(in.table.path);
  std::string report = CsvImportReport(in);
  if (!report.empty()) platform::ShowMessage(report, platform::MessageIcon::kExclamation);
}

void CPh::New() {
  {
    ui::WaitCursor wait;
    if (book_.modified() && AutoSave()) {
      book_.TakeWidths(ListWidths(), true);
      ShowSaveResult(book_.Save());
    }
  }
  if (!shell_.askNew) return;
  auto answer = shell_.askNew(
      hwnd(), NewTableInitialFolder(app().GetSetting("DATA", "FILENAME"), app().ProgramFolder()));
  if (!answer) return;
  std::string path = WithTableExtension(answer->first);
  if (platform::FileExists(path) && !ui::AskYesNo(hwnd(), ReplaceQuestion(path))) return;
  ClearFilterFields();
  TableSave made;
  {
    ui::WaitCursor wait;
    made = book_.Create(path, answer->second);
  }
  if (made.status == TableSaveStatus::kFailed) {
    ShowSaveResult(made);
    return;
  }
  SetPath(path);
  RebuildColumns();
}

void CPh::SaveFile() {
  // The user's own save may replace a file that could not be read, once confirmed.
  if (book_.unread() && book_.modified()) {
    if (!ui::AskYesNo(hwnd(), ReplaceUnreadQuestion(book_.path()))) return;
    book_.ConfirmReplace();
  }
  ui::WaitCursor wait;
  book_.TakeWidths(ListWidths(), true);
  ShowSaveResult(book_.Save());
}

void CPh::SaveAs() {
  if (book_.path().empty() || !shell_.askSaveAs) return;
  auto chosen = shell_.askSaveAs(hwnd(), FolderOfPath(book_.path()), FileNameOfPath(book_.path()));
  if (!chosen) return;
  std::string path = WithTableExtension(*chosen);
  TableSave saved;
  {
    ui::WaitCursor wait;
    book_.TakeWidths(ListWidths(), true);
    saved = book_.SaveAs(path, AutoSave());
  }
  ShowSaveResult(saved);
  SetPath(book_.path());
}

void CPh::Add() {
  book_.Add();
  ShowRows();
}

void CPh::Delete() {
  if (!book_.RecordAt(book_.selected())) return;
  if (!ui::AskYesNo(hwnd(), "Удалить?")) return;
  int top = list_.TopRow();
  book_.RemoveSelected();
  ShowRows();
  list_.ScrollToRow(std::min(top, std::max(0, static_cast<int>(book_.view().size()) - list_.RowsPerPage())));
}

void CPh::Act(CardAction action) {
  ShellRequest request = book_.PlanAction(action);
  if (request.kind != ShellRequest::kNothing && shell_.perform) shell_.perform(request);
}

void CPh::ClearInputs() {
  {
    ui::WaitCursor wait;
    ClearFilterFields();
  }
  ShowRows();
}

void CPh::Settings() {
  if (!shell_.editColumns) return;
  book_.TakeWidths(ListWidths(), false);
  ClearFilterFields();
  shell_.editColumns(hwnd(), book_.table());
  book_.table().def.modified = kTableChanged;
  book_.Refilter();
  RebuildColumns();
}

void CPh::Password() {
  if (!shell_.askPassword) return;
  auto answer = shell_.askPassword(hwnd(), book_.Locked() ? PasswordMode::kEnter : PasswordMode::kSet);
  if (!answer) return;
  bool wasHidden = book_.listHidden();
  bool wasSealed = !book_.table().sealed.empty();
  PasswordOutcome outcome;
  {
    ui::WaitCursor wait;  // a strong key takes a moment to derive
    outcome = book_.ApplyPasswordOutcome(answer->text, answer->remove,
                                         NewPasswordScheme(app().GetFlag("GENERAL", kOldProtectionKey)));
  }
  crypto::WipeString(answer->text);
  if (outcome == PasswordOutcome::kWrong || outcome == PasswordOutcome::kFailed) {
    platform::ShowMessage(kWrongPasswordMessage, platform::MessageIcon::kExclamation);
    return;
  }
  if (outcome == PasswordOutcome::kUpgraded) platform::ShowMessage(kUpgradeNotice, platform::MessageIcon::kInformation);
  if (wasSealed) RebuildColumns();  // the columns came from the file only now
  if (wasHidden && !book_.listHidden()) {
    ShowLock();
    ShowRows();
  }
}

void CPh::Save() {
  if (givenUp_) return;
  list_.EndEdit(true);
  TableSave saved;
  {
    ui::WaitCursor wait;
    book_.TakeWidths(ListWidths(), true);
    saved = book_.Save();
  }
  saveError_ = saved.status == TableSaveStatus::kFailed ? saved.error : std::string();
  ShowSaveResult(saved);
}

std::optional<shell::UnsavedBook> CPh::Unsaved() const {
  if (givenUp_ || saveError_.empty() || !book_.modified()) return std::nullopt;
  return shell::UnsavedBook{book_.path(), saveError_, !book_.path().empty()};
}

shell::DiskChange CPh::FileChanged(const std::string& path) {
  if (!hwnd() || path.empty() || path != book_.path()) return shell::DiskChange::kNotMine;
  list_.EndEdit(true);
  if (book_.modified()) return shell::DiskChange::kMarked;
  {
    ui::WaitCursor wait;
    book_.Open(path);
  }
  RebuildColumns();
  return shell::DiskChange::kReloaded;
}

bool CPh::RetrySave() {
  if (book_.unread()) {
    if (!ui::AskYesNo(hwnd(), ReplaceUnreadQuestion(book_.path()))) return false;
    book_.ConfirmReplace();
  }
  Save();
  return saveError_.empty();
}

bool CPh::SaveAsChosen() {
  std::string before = book_.path();
  SaveAs();
  if (book_.path() == before || book_.modified()) return false;
  saveError_.clear();
  return true;
}

void CPh::GiveUpChanges() {
  givenUp_ = true;
  saveError_.clear();
}

}  // namespace vm::data
