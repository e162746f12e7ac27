#include "spreadsheet/win/spreadsheet_page.h"

#include <commdlg.h>
#include <dlgs.h>

#include "common/ask_dialogs.h"
#include "common/unread_file.h"
#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/page_rules.h"
#include "spreadsheet/sheet_edits.h"
#include "spreadsheet/win/sheet_printer.h"
#include "spreadsheet/win/spreadsheet_resources.h"
#include "spreadsheet/workbook_xml.h"
#include "ui/clipboard.h"
#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/fonts.h"
#include "ui/menu.h"
#include "ui/page_keys.h"
#include "ui/printing.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::spreadsheet {

namespace {

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons({
      {ID_SHEET_NEW, IDI_SHEET_NEW, "Создать новый файл Ctrl+N"},
      {ID_SHEET_OPEN, IDI_SHEET_OPEN, "Открыть файл Ctrl+O"},
      {ID_SHEET_SAVE, IDI_SHEET_SAVE, "Сохранить файл как... Ctrl+S"},
      {ID_SHEET_CUT, IDI_SHEET_CUT, "Вырезать Ctrl+X"},
      {ID_SHEET_COPY, IDI_SHEET_COPY, "Копировать Ctrl+C"},
      {ID_SHEET_PASTE, IDI_SHEET_PASTE, "Вставить  Ctrl+V"},
      {ID_SHEET_PRINT, IDI_SHEET_PRINT, "Печать Ctrl+P"},
      {ID_SHEET_UNDO, IDI_SHEET_UNDO, "Отменить Ctrl+Z"},
      {ID_SHEET_REDO, IDI_SHEET_REDO, "Повторить Ctrl+Y"},
      {ID_SHEET_BOLD, IDI_SHEET_BOLD, "Полужирный"},
      {ID_SHEET_ITALIC, IDI_SHEET_ITALIC, "Курсив"},
      {ID_SHEET_UNDERLINE, IDI_SHEET_UNDERLINE, "Подчеркнутый"},
      {ID_SHEET_LEFT, IDI_SHEET_LEFT, "По левому краю"},
      {ID_SHEET_CENTRE, IDI_SHEET_CENTRE, "По центру"},
      {ID_SHEET_RIGHT, IDI_SHEET_RIGHT, "По правому краю"},
      {ID_SHEET_TEXT_COLOUR, IDI_SHEET_TEXT_COLOUR, "Цвет шрифта"},
      {ID_SHEET_FILL_COLOUR, IDI_SHEET_FILL_COLOUR, "Выделение цветом"},
      {ID_SHEET_FONT, IDI_SHEET_FONT, "Шрифт"},
      {ID_SHEET_TABLE, IDI_SHEET_TABLE, "Таблица"},
      {ID_SHEET_FIND, IDI_SHEET_FIND, "Поиск F3"},
      {ID_SHEET_REFRESH, IDI_SHEET_REFRESH, "Обновить"},
  });
  return table;
}

constexpr COLORREF kPathColour = RGB(0, 50, 100);
constexpr const char* kLoadReport = "Создан файл с расширением \"bak\" в папке \"Temp\"";

// "Наименование листа": one text field with the sheet's name.
class SheetNameDialog : public ui::Dialog {
 public:
  explicit SheetNameDialog(std::string name) : ui::Dialog(IDD_SHEET_RENAME), name_(std::move(name)) {}
  const std::string& name() const { return name_; }

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_SHEET_NAME, name_);
    return true;
  }
  void OnOk() override {
    name_ = ItemText(IDC_SHEET_NAME);
    End(IDOK);
  }

 private:
  std::string name_;
};

// "Добавление столбцов и строк": the two counts as typed.
class AddDialog : public ui::Dialog {
 public:
  explicit AddDialog(const CSheet& sheet) : ui::Dialog(IDD_SHEET_ADD), sheet_(sheet) {}
  const AddCounts& counts() const { return counts_; }

 protected:
  void OnOk() override {
    auto counts = ReadAddCounts(sheet_, ItemText(IDC_SHEET_ADD_COLUMNS), ItemText(IDC_SHEET_ADD_ROWS));
    if (!counts) {
      platform::ShowMessage("Введите число.", platform::MessageIcon::kExclamation);
      return;
    }
    counts_ = *counts;
    End(IDOK);
  }

 private:
  const CSheet& sheet_;
  AddCounts counts_;
};

// The table button's drop-down.
std::vector<ui::MenuItem> TableMenu() {
  auto item = [](int id, const char* text) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    return m;
  };
  auto sub = [](const char* text, std::vector<ui::MenuItem> items) {
    ui::MenuItem m;
    m.text = text;
    m.items = std::move(items);
    return m;
  };
  return {sub("Столбец", {item(ID_SHEET_COLUMN_ADD, "Добавить"), item(ID_SHEET_COLUMN_INSERT, "Вставить"),
                          item(ID_SHEET_COLUMN_DELETE, "Удалить")}),
          sub("Строка", {item(ID_SHEET_ROW_ADD, "Добавить"), item(ID_SHEET_ROW_DELETE, "Удалить"),
                         item(ID_SHEET_ROW_INSERT, "Вставить")}),
          sub("Ячейки", {item(ID_SHEET_MERGE, "Объединить ячейки"), item(ID_SHEET_UNMERGE, "Разъединить ячейки")}),
          item(ID_SHEET_UTF8, "UTF8->Win")};
}

bool AskFontDialog(HWND owner, FontDesc& font, COLORREF& colour) {
  LOGFONTW lf{};
  lf.lfHeight = font.height;
  lf.lfWeight = font.weight;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfCharSet = static_cast<BYTE>(font.charSet);
  lf.lfPitchAndFamily = static_cast<BYTE>(font.pitchAndFamily);
  std::wstring face = ui::Wide(font.faceName);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  if (!ui::AskFont(owner, lf, colour)) return false;
  font.faceName = ui::Narrow(lf.lfFaceName);
  font.height = lf.lfHeight;
  font.weight = lf.lfWeight;
  font.italic = lf.lfItalic != 0;
  font.underline = lf.lfUnderline != 0;
  font.charSet = lf.lfCharSet;
  font.pitchAndFamily = lf.lfPitchAndFamily;
  return true;
}

}  // namespace

SpreadsheetPageShell SystemSpreadsheetPageShell() {
  SpreadsheetPageShell s;
  s.askOpen = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(
        owner, {.filters = {{"Файлы dbn (*.xml)", "*.xml"}}, .defaultExtension = "xml", .folder = folder});
  };
  s.askSaveAs = [](HWND owner, const std::string& folder, const std::string& name) {
    return ui::AskSaveFile(owner,
                           {.filters = {{"XML documents (*.xml)", "*.xml"}, {"All Files (*.*)", "*.*"}},
                            .defaultExtension = "xml",
                            .folder = folder,
                            .fileName = name});
  };
  s.askSheetName = [](HWND owner, const std::string& name) -> std::optional<std::string> {
    SheetNameDialog dialog(name);
    if (dialog.DoModal(owner) != IDOK) return std::nullopt;
    return dialog.name();
  };
  s.askFont = AskFontDialog;
  s.askPrinter = ui::AskPrinter;
  return s;
}

CLikeExcelDlg::CLikeExcelDlg(const CAppUtil& app)
    : shell::BookPage(shell::kSpreadsheetTab, app), shell_(SystemSpreadsheetPageShell()) {}

bool CLikeExcelDlg::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F12 && IsWindowVisible(hwnd()) &&
      (msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd))) {
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(ID_HIDE_TO_TRAY, 0), 0);
    return true;
  }
  if (find_.hwnd() && find_.PreTranslate(msg)) return true;
  // The in-place editor keeps its own clipboard and undo keys.
  bool editing = grid_.Editing() && msg.hwnd == grid_.editor();
  return ui::TranslatePageKeys(hwnd(), editing ? nullptr : accel_.get(), msg);
}

// ---- set-up -----------------------------------------------------------------------------------

void CLikeExcelDlg::ApplyDefaults() {
  DefaultFontSetting font =
      ReadDefaultFontSetting(app().GetSetting("EXCEL", "FONTNAMEDEF"), app().GetSetting("EXCEL", "FONTSIZE"));
  if (font.rewriteName) app().PutSetting("EXCEL", "FONTNAMEDEF", font.faceName);
  if (font.rewriteHeight) app().PutSetting("EXCEL", "FONTSIZE", std::to_string(font.height));
  workbook_.SetDefaultFont(DefaultFontFrom(font));
  HDC screen = GetDC(nullptr);
  workbook_.pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  wchar_t buf[8];
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8))
    workbook_.locale.decimal = ui::Narrow(buf);
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buf, 8))
    workbook_.locale.thousands = ui::Narrow(buf);
}

bool CLikeExcelDlg::OnInitDialog() {
  ApplyDefaults();
  toolbar_.Create(hwnd(), IDC_SHEET_TOOLBAR, IDR_SHEET_TOOLBAR, Commands());
  toolbar_.SetDropDown(ID_SHEET_SAVE, false, [this](int, const RECT& r) { DropSaveMenu(r); });
  toolbar_.SetDropDown(ID_SHEET_TABLE, false, [this](int, const RECT& r) {
    grid_.EndEdit(true);
    if (int chosen = ui::ShowContextMenu(hwnd(), POINT{r.left, r.bottom}, TableMenu()))
      OnCommand(chosen, 0, nullptr);
  });
  toolbar_.SetDropDown(ID_SHEET_TEXT_COLOUR, true, [this](int, const RECT& r) { PickColour(false, POINT{r.left, r.bottom}); });
  toolbar_.SetDropDown(ID_SHEET_FILL_COLOUR, true, [this](int, const RECT& r) { PickColour(true, POINT{r.left, r.bottom}); });
  hideBar_.Create(hwnd(), IDC_SHEET_HIDEBAR, IDR_SHEET_HIDE_TOOLBAR, Commands());
  accel_.reset(ui::LoadAccelResource(IDR_SHEET_PAGE_ACCEL));

  LOGFONTW lf = ui::DialogFont(hwnd());
  lf.lfCharSet = RUSSIAN_CHARSET;
  pathFont_.reset(CreateFontIndirectW(&lf));

  // Start: the last file again, or the file of that name in "Personal", or none.
  std::string start = StartFilePath(app().GetSetting("GENERAL", "LAST") != "0",
                                          app().GetSetting("EXCEL", "FILENAME"), app().ProgramFolder());
  NewWorkbook(workbook_);
  SetPath(start);
  if (!start.empty()) ReadFile(start);

  GridWindow::Callbacks cb;
  cb.selectionChanged = [this] { UpdateButtons(); };
  cb.edited = [this](CellPos at, const std::string& text) {
    return Edit([&] { return StoreTypedText(workbook_.CurrentSheet(), at, text, workbook_.locale); });
  };
  cb.contextMenu = [this](const GridHit& hit, POINT screen) { ShowGridMenu(hit, screen); };
  cb.sheetChanged = [this](int) { UpdateButtons(); };
  cb.resized = [this](bool column, int index, int before) {
    // The drag has changed the size already: the step kept for undo holds the old one.
    CSheet& sheet = workbook_.CurrentSheet();
    int now = column ? sheet.ColumnWidth(index) : sheet.RowHeight(index);
    if (now == before) return;
    auto set = [&](int size) { column ? sheet.SetColumnWidth(index, size) : sheet.SetRowHeight(index, size); };
    set(before);
    Edit([&] {
      set(now);
      return true;
    });
  };
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT place{10, 30, std::max<LONG>(client.right - 10, 11), std::max<LONG>(client.bottom - 15, 31)};
  grid_.Create(hwnd(), IDC_SHEET_GRID, place, workbook_, std::move(cb));
  grid_.SetLocale(workbook_.locale);
  setUp_ = true;
  Layout(client.right, client.bottom);
  UpdateButtons();
  return true;
}

// ---- layout and painting ----------------------------------------------------------------------

void CLikeExcelDlg::OnSize(int width, int height) {
  if (setUp_) Layout(width, height);
}

void CLikeExcelDlg::Layout(int width, int height) {
  // The boxes are given at 96 dpi.
  const int dpi = ui::DpiOf(hwnd());
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  // The bar ends where the hide button starts.
  toolbar_.Move(0, 0, std::max(std::min(s(645), width - s(26)), 0), s(26));
  if (hideBar_.hwnd()) MoveWindow(hideBar_.hwnd(), width - s(26), 0, s(26), s(26), TRUE);
  grid_.Move(s(10), s(30), std::max(width - s(20), 0), std::max(height - s(45), 0));
  pathRect_ = RECT{s(10), height - s(15), width - s(10), height};
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CLikeExcelDlg::Paint(HDC dc) {
  ui::SelectGuard font(dc, pathFont_.get());
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, kPathColour);
  std::wstring text = ui::Wide(path_.empty() && !unread_.empty() ? unread_ + " (не прочитан)" : path_);
  RECT r = pathRect_;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

bool CLikeExcelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_PAINT) {
    Paint(ui::PaintGuard(hwnd()).dc());
    result = 0;
    return true;
  }
  return false;
}

// ---- state --------------------------------------------------------------------------------------

void CLikeExcelDlg::SetPath(const std::string& path) {
  path_ = path;
  app().PutSetting("EXCEL", "FILENAME", path);
  InvalidateRect(hwnd(), &pathRect_, TRUE);
}

bool CLikeExcelDlg::AutoSave() const {
  return app().GetFlag("GENERAL", "AUTOSAVE");
}

void CLikeExcelDlg::UpdateButtons() {
  if (!setUp_) return;
  const CSheet& sheet = workbook_.CurrentSheet();
  CellPos at = grid_.Current();
  bool inGrid = sheet.InGrid(at.row, at.column);
  auto check = [&](int id, bool on) {
    SendMessageW(toolbar_.hwnd(), TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(on ? TRUE : FALSE, 0));
  };
  check(ID_SHEET_BOLD, inGrid && CellHasStyle(sheet, at, FontStyle::kBold));
  check(ID_SHEET_ITALIC, inGrid && CellHasStyle(sheet, at, FontStyle::kItalic));
  check(ID_SHEET_UNDERLINE, inGrid && CellHasStyle(sheet, at, FontStyle::kUnderline));
  toolbar_.Enable(ID_LOAD_INFO, loadFailed_);
  toolbar_.Enable(ID_SHEET_UNDO, history_.CanUndo());
  toolbar_.Enable(ID_SHEET_REDO, history_.CanRedo());
}

// ---- files --------------------------------------------------------------------------------------

bool CLikeExcelDlg::ReadFile(const std::string& path) {
  OpenedWorkbook opened;
  {
    ui::WaitCursor wait;
    opened = OpenWorkbookFile(workbook_, app().ProgramFolder(), path);
  }
  revision_ = find::NextStamp();
  // A file that could not be read stays named in the settings, so the next start tries
  // it again, but the page is bound to no file until the user saves somewhere.
  path_ = opened.current;
  unread_ = opened.unread;
  saveError_.clear();
  loadFailed_ = !unread_.empty();
  modified_ = false;
  if (hwnd()) InvalidateRect(hwnd(), &pathRect_, TRUE);
  if (loadFailed_) platform::ShowMessage(opened.message, platform::MessageIcon::kStop);
  return !loadFailed_;
}

void CLikeExcelDlg::OpenFile(const std::string& path) {
  grid_.EndEdit(true);
  if (AutoSave() && !path_.empty()) Save();
  workbook_.Clear();
  SetPath(path);
  ReadFile(path);
  history_.Clear();
  grid_.Select({0, 0}, {0, 0});
  grid_.Reload();
  UpdateButtons();
}

void CLikeExcelDlg::New() {
  grid_.EndEdit(true);
  if (AutoSave() && !path_.empty()) Save();
  NewWorkbook(workbook_);
  revision_ = find::NextStamp();
  SetPath(std::string());
  loadFailed_ = false;
  unread_.clear();
  saveError_.clear();
  modified_ = false;
  history_.Clear();
  grid_.Select({0, 0}, {0, 0});
  grid_.Reload();
  UpdateButtons();
}

bool CLikeExcelDlg::SaveFile() {
  grid_.EndEdit(true);
  if (path_.empty()) return SaveAs();
  bool ok;
  {
    ui::WaitCursor wait;
    ok = WriteWorkbook(workbook_, path_);
  }
  if (!ok) {
    saveError_ = "Не удалось сохранить файл " + path_;
    platform::ShowMessage(saveError_, platform::MessageIcon::kExclamation);
    return false;
  }
  modified_ = false;
  unread_.clear();
  saveError_.clear();
  app().PutSetting("EXCEL", "FILENAME", path_);
  return true;
}

bool CLikeExcelDlg::SaveAs() {
  grid_.EndEdit(true);
  if (!shell_.askSaveAs) return false;
  // A file that could not be read is offered by name; the dialog asks before replacing it.
  const std::string& named = path_.empty() ? unread_ : path_;
  std::string folder = FolderOfPath(named);
  if (folder.empty()) folder = app().ProgramFolder() + "Personal";
  auto chosen = shell_.askSaveAs(hwnd(), folder, FileNameOfPath(named));
  if (!chosen) return false;
  SetPath(*chosen);
  return SaveFile();
}

void CLikeExcelDlg::Save() {
  grid_.EndEdit(true);
  AutoSaveOutcome saved;
  {
    ui::WaitCursor wait;
    saved = SaveIfChanged(workbook_, path_, modified_);
  }
  if (saved == AutoSaveOutcome::kWritten) {
    modified_ = false;
    saveError_.clear();
  }
  if (saved == AutoSaveOutcome::kFailed) {
    saveError_ = "Не удалось сохранить файл " + path_;
    platform::ShowMessage(saveError_, platform::MessageIcon::kExclamation);
  }
}

std::optional<shell::UnsavedBook> CLikeExcelDlg::Unsaved() const {
  if (!modified_) return std::nullopt;
  if (!unread_.empty()) return shell::UnsavedBook{unread_, UnreadSaveRefusal(unread_), true};
  if (!saveError_.empty()) return shell::UnsavedBook{path_, saveError_, true};
  return std::nullopt;
}

shell::DiskChange CLikeExcelDlg::FileChanged(const std::string& path) {
  if (!hwnd() || path.empty() || path != path_) return shell::DiskChange::kNotMine;
  grid_.EndEdit(true);
  if (modified_) return shell::DiskChange::kMarked;
  workbook_.Clear();
  ReadFile(path);
  history_.Clear();
  grid_.Reload();
  UpdateButtons();
  return shell::DiskChange::kReloaded;
}

bool CLikeExcelDlg::RetrySave() {
  if (!unread_.empty()) {
    if (!ui::AskYesNo(hwnd(), ReplaceUnreadQuestion(unread_))) return false;
    SetPath(unread_);
  }
  return SaveFile();
}

bool CLikeExcelDlg::SaveAsChosen() { return SaveAs(); }

void CLikeExcelDlg::GiveUpChanges() {
  modified_ = false;
  saveError_.clear();
}

// ---- commands -----------------------------------------------------------------------------------

void CLikeExcelDlg::DropSaveMenu(const RECT& button) {
  ui::MenuItem saveAs, saveAll;
  saveAs.id = ID_SHEET_SAVE_AS;
  saveAs.text = "Сохранить как..";
  saveAll.id = ID_SAVE_ALL;
  saveAll.text = "Сохранить все";
  int chosen = ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom}, {saveAs, saveAll});
  if (chosen == ID_SHEET_SAVE_AS) SaveAs();
  if (chosen == ID_SAVE_ALL) SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(ID_SAVE_ALL, 0), 0);
}

void CLikeExcelDlg::PickColour(bool fill, POINT screen) {
  grid_.EndEdit(true);
  CellPos at = grid_.Current();
  CSheetCell f = EffectiveFormat(workbook_.CurrentSheet(), at.row, at.column);
  COLORREF current = fill ? (f.Has(kCellFillColor) ? f.fillColor : CLR_INVALID)
                          : (f.Has(kCellTextColor) ? f.textColor : CLR_INVALID);
  picker_.Show(hwnd(), screen, current, [this, fill](COLORREF colour) {
    EditInput input;
    if (colour != CLR_INVALID) input.colour = colour;
    RunEdit(fill ? ID_SHEET_FILL_COLOUR : ID_SHEET_TEXT_COLOUR, Target(), input);
  });
}

// ---- the grid's menus and the commands that change the workbook --------------------------------

template <class Change>
bool CLikeExcelDlg::Edit(Change change, bool structural) {
  grid_.EndEdit(true);
  if (!history_.Record(workbook_, change)) {
    UpdateButtons();
    return false;
  }
  modified_ = true;
  revision_ = find::NextStamp();
  if (structural)
    grid_.Reload();
  else
    grid_.Redraw();
  UpdateButtons();
  return true;
}

EditTarget CLikeExcelDlg::Target(const GridHit* hit) const {
  EditTarget target;
  target.selection = grid_.SelectionRect();
  target.current = grid_.Current();
  if (hit) {
    target.column = hit->column;
    target.tab = hit->tab;
  }
  return target;
}

bool CLikeExcelDlg::RunEdit(int command, const EditTarget& target, const EditInput& input, EditOutput* output) {
  EditOutput ignored;
  EditOutput& out = output ? *output : ignored;
  return Edit([&] { return ApplyEdit(workbook_, command, target, input, out); }, ReshapesGrid(command));
}

std::vector<MenuEntry> CLikeExcelDlg::MenuFor(const GridHit& hit) const {
  switch (hit.part) {
    case GridPart::kTab: return TabMenu(workbook_, hit.tab);
    case GridPart::kColumnHeader:
    case GridPart::kColumnEdge: return ColumnHeaderMenu(options_, history_.CanUndo());
    case GridPart::kCell:
      return CellMenu(workbook_.CurrentSheet(), grid_.SelectionRect(), grid_.Current(), ui::ClipboardHasText(),
                      history_.CanUndo());
    default: return {};
  }
}

void CLikeExcelDlg::ShowGridMenu(const GridHit& hit, POINT screen) {
  std::vector<MenuEntry> entries = MenuFor(hit);
  if (entries.empty()) return;
  std::vector<ui::MenuItem> items;
  for (const MenuEntry& e : entries) {
    ui::MenuItem item;
    item.id = e.id;
    item.text = e.text;
    item.enabled = e.enabled;
    item.checked = e.checked;
    items.push_back(std::move(item));
  }
  menuPoint_ = screen;
  int chosen = ui::ShowContextMenu(hwnd(), screen, items);
  if (chosen != 0) RunMenuCommand(hit, chosen);
}

void CLikeExcelDlg::RunMenuCommand(const GridHit& hit, int id) {
  // Menu commands greyed for this state do nothing even when sent.
  for (const MenuEntry& e : MenuFor(hit))
    if (e.id == id && !e.enabled) return;
  grid_.EndEdit(true);
  // The colour pickers of the menus open where the menu was asked for.
  // The point is the menu's that was just shown; one from an earlier menu never serves.
  POINT atMouse = menuPoint_;
  menuPoint_ = POINT{};
  if (atMouse.x == 0 && atMouse.y == 0) GetCursorPos(&atMouse);
  switch (id) {
    case ID_SHEET_TAB_RENAME: RenameSheet(hit.tab); break;
    case ID_SHEET_COLUMN_DELETE:
    case ID_SHEET_MERGE:
      // Both end with the workbook written and read back, as a refresh does.
      if (RunEdit(id, Target(&hit))) Refresh();
      break;
    case ID_SHEET_ALL_COLUMNS: options_.searchAllColumns = !options_.searchAllColumns; break;
    case ID_SHEET_ALLOW_SORT: options_.allowSorting = !options_.allowSorting; break;
    case ID_SHEET_SORT_UP:
    case ID_SHEET_SORT_DOWN:
      if (options_.allowSorting) RunEdit(id, Target(&hit));
      break;
    case ID_SHEET_TEXT_COLOUR: PickColour(false, atMouse); break;
    case ID_SHEET_FILL_COLOUR: PickColour(true, atMouse); break;
    case ID_SHEET_DEFAULT_FONT: ChangeFont(true); break;
    default: {
      // Those that take something from the user or the clipboard first go the way of
      // their tool-bar buttons.
      bool asks = id == ID_SHEET_CUT || id == ID_SHEET_PASTE || id == ID_SHEET_FONT || id == ID_SHEET_TABLE ||
                  id == ID_SHEET_UTF8;
      if (ChangesWorkbook(id) && !asks)
        RunEdit(id, Target(&hit));
      else
        OnCommand(id, 0, nullptr);
      break;
    }
  }
}

void CLikeExcelDlg::Refresh() {
  grid_.EndEdit(true);
  std::string file = RefreshPath(app().ProgramFolder(), path_);
  bool ok;
  {
    ui::WaitCursor wait;
    ok = RefreshWorkbook(workbook_, file, path_.empty());
  }
  revision_ = find::NextStamp();
  if (!ok && !path_.empty())
    platform::ShowMessage("Не удалось сохранить файл " + path_, platform::MessageIcon::kExclamation);
  else if (ok && !path_.empty())
    modified_ = false;
  grid_.Reload();
  UpdateButtons();
}

void CLikeExcelDlg::CopyOrCut(bool cut) {
  grid_.EndEdit(true);
  CellRect sel = grid_.SelectionRect();
  if (!workbook_.CurrentSheet().InGrid(sel.top, sel.left)) return;
  if (!cut) {
    ui::PutClipboardText(hwnd(), CopyText(workbook_.CurrentSheet(), sel));
    return;
  }
  EditOutput out;
  RunEdit(ID_SHEET_CUT, Target(), {}, &out);
  ui::PutClipboardText(hwnd(), out.cutText);
}

void CLikeExcelDlg::Paste() {
  grid_.EndEdit(true);
  std::optional<std::string> text = ui::ClipboardText(hwnd());
  if (!text) return;
  EditInput input;
  input.text = *text;
  RunEdit(ID_SHEET_PASTE, Target(), input);
}

void CLikeExcelDlg::Print() {
  grid_.EndEdit(true);
  const CSheet& sheet = workbook_.CurrentSheet();
  if (PrintedArea(sheet).Empty()) {
    platform::ShowMessage("На листе \"" + sheet.name + "\" нечего печатать.", platform::MessageIcon::kInformation);
    return;
  }
  if (!shell_.askPrinter) return;
  HDC printer = shell_.askPrinter(hwnd());
  if (!printer) return;
  int printed;
  {
    ui::WaitCursor wait;
    printed = PrintSheet(printer, sheet, workbook_.locale, sheet.name);
  }
  DeleteDC(printer);
  if (printed < 0)
    platform::ShowMessage("Не удалось напечатать лист \"" + sheet.name + "\": принтер не принял задание.",
                          platform::MessageIcon::kExclamation);
}

void CLikeExcelDlg::UndoOrRedo(bool redo) {
  grid_.EndEdit(false);
  bool done;
  {
    ui::WaitCursor wait;
    done = redo ? history_.Redo(workbook_) : history_.Undo(workbook_);
  }
  if (!done) return;
  modified_ = true;
  revision_ = find::NextStamp();
  grid_.Reload();
  UpdateButtons();
}

void CLikeExcelDlg::ChangeFont(bool defaultFont) {
  grid_.EndEdit(true);
  if (!shell_.askFont) return;
  CellPos at = grid_.Current();
  CSheetCell shown = EffectiveFormat(workbook_.CurrentSheet(), at.row, at.column);
  const FontDesc* from = defaultFont ? workbook_.DefaultFormat().font : shown.font;
  FontDesc font = from ? *from : FontDesc{};
  COLORREF colour = !defaultFont && shown.Has(kCellTextColor) ? shown.textColor : RGB(0, 0, 0);
  if (!shell_.askFont(hwnd(), font, colour)) return;
  EditInput input;
  input.font = font;
  input.colour = colour;
  if (!defaultFont) {
    RunEdit(ID_SHEET_FONT, Target(), input);
    return;
  }
  // A setting, not a part of the file: no undo step (see WorkbookCommands).
  EditOutput out;
  ApplyEdit(workbook_, ID_SHEET_DEFAULT_FONT, Target(), input, out);
  app().PutSetting("EXCEL", "FONTNAMEDEF", font.faceName);
  app().PutSetting("EXCEL", "FONTSIZE", std::to_string(font.height));
  grid_.Reload();
}

void CLikeExcelDlg::RenameSheet(int tab) {
  if (tab < 0 || tab >= workbook_.SheetCount() || !shell_.askSheetName) return;
  auto name = shell_.askSheetName(hwnd(), workbook_.Sheet(tab).name);
  if (!name) return;
  EditTarget target = Target();
  target.tab = tab;
  EditInput input;
  input.text = *name;
  RunEdit(ID_SHEET_TAB_RENAME, target, input);
}

void CLikeExcelDlg::OpenFind(bool replace) {
  grid_.EndEdit(true);
  CellPos at = grid_.Current();
  std::string what;
  if (workbook_.CurrentSheet().InGrid(at.row, at.column))
    what = ShownText(workbook_.CurrentSheet().GetCell(at.row, at.column), workbook_.locale);
  if (!find_.Open(hwnd(), what, replace, [this](const ui::FindDialog::Request& r) { OnFind(r); })) return;
  // Whole-word matching here means the whole cell; the box says so, in every language
  // of the system's dialog (chx1 is the common find dialog's whole-word box).
  if (HWND wholeWord = GetDlgItem(find_.hwnd(), chx1)) SetWindowTextW(wholeWord, L"Ячейка &целиком");
}

void CLikeExcelDlg::OnFind(const ui::FindDialog::Request& request) {
  if (request.action == ui::FindDialog::Action::kClosed) return;
  FindOptions options;
  options.what = request.what;
  options.wholeCell = request.wholeWord;
  options.matchCase = request.matchCase;
  options.up = !request.down;
  options.allColumns = options_.searchAllColumns;
  CSheet& sheet = workbook_.CurrentSheet();
  const NumberLocale& locale = workbook_.locale;
  auto nothing = [this] {
    HWND owner = find_.hwnd() ? find_.hwnd() : hwnd();
    ui::ShowTitledMessage(owner, kNothingFoundText, kFindTitle, MB_ICONINFORMATION);
    if (find_.hwnd()) SetFocus(find_.hwnd());
  };
  auto findNext = [&] {
    CellPos found;
    if (FindCell(sheet, options, locale, grid_.Current(), false, found)) {
      grid_.Select(found, found);
      PixelRect cell = grid_.Bounds(found);
      if (!cell.Empty()) find_.KeepClearOf(grid_.hwnd(), grid_.ToScreenScale(cell));
      return true;
    }
    return false;
  };
  switch (request.action) {
    case ui::FindDialog::Action::kFindNext:
      if (!findNext()) nothing();
      break;
    case ui::FindDialog::Action::kReplace: {
      if (ReplaceRefused(options, request.with)) break;
      CellPos at = grid_.Current();
      Edit([&] { return ReplaceInCell(sheet, at, options, request.with, locale); });
      if (!findNext()) nothing();
      break;
    }
    case ui::FindDialog::Action::kReplaceAll: {
      if (ReplaceRefused(options, request.with)) break;
      CellPos at = grid_.Current();
      int count = 0;
      Edit([&] {
        count = ReplaceAll(sheet, at, options, request.with, locale);
        return count > 0;
      });
      if (count == 0) nothing();
      break;
    }
    default: break;
  }
}

void CLikeExcelDlg::Utf8ToWin() {
  grid_.EndEdit(true);
  if (!ui::AskYesNo(hwnd(), " Видимые буквы русского алфавита будут утеряны!\n\n Преобразовать?")) return;
  EditOutput out;
  {
    ui::WaitCursor wait;
    RunEdit(ID_SHEET_UTF8, Target(), {}, &out);
  }
  if (!out.message.empty()) platform::ShowMessage(out.message, platform::MessageIcon::kExclamation);
}

std::string CLikeExcelDlg::LoadReport() const { return loadFailed_ ? kLoadReport : ""; }

bool CLikeExcelDlg::OnCommand(int id, int code, HWND control) {
  if (code != 0 && code != 1) return false;
  switch (id) {
    case ID_SHEET_NEW: New(); break;
    case ID_SHEET_OPEN: {
      grid_.EndEdit(true);
      std::string folder = FolderOfPath(path_);
      if (folder.empty() || !platform::DirExists(folder)) {
        folder = app().ProgramFolder() + "Personal";
        if (!platform::DirExists(folder)) platform::MakeDir(folder);
      }
      if (!shell_.askOpen) break;
      if (auto chosen = shell_.askOpen(hwnd(), folder)) OpenFile(*chosen);
      break;
    }
    case ID_SHEET_SAVE: SaveFile(); break;
    case ID_SHEET_SAVE_AS: SaveAs(); break;
    case ID_SHEET_BOLD:
    case ID_SHEET_ITALIC:
    case ID_SHEET_UNDERLINE:
    case ID_SHEET_LEFT:
    case ID_SHEET_CENTRE:
    case ID_SHEET_RIGHT:
    case ID_SHEET_CLEAR: RunEdit(id, Target()); break;
    case ID_SHEET_CUT: CopyOrCut(true); break;
    case ID_SHEET_COPY: CopyOrCut(false); break;
    case ID_SHEET_PASTE: Paste(); break;
    case ID_SHEET_UNDO: UndoOrRedo(false); break;
    case ID_SHEET_PRINT: Print(); break;
    case ID_SHEET_REDO: UndoOrRedo(true); break;
    case ID_SHEET_FONT: ChangeFont(false); break;
    case ID_SHEET_DEFAULT_FONT: ChangeFont(true); break;
    case ID_SHEET_FIND: OpenFind(false); break;
    case ID_SHEET_REPLACE: OpenFind(true); break;
    case ID_SHEET_REFRESH: Refresh(); break;
    case ID_SHEET_UTF8: Utf8ToWin(); break;
    case ID_SHEET_TABLE: {
      grid_.EndEdit(true);
      AddDialog dialog(workbook_.CurrentSheet());
      if (dialog.DoModal(hwnd()) != IDOK) break;
      EditInput input;
      input.counts = dialog.counts();
      RunEdit(ID_SHEET_TABLE, Target(), input);
      break;
    }
    case ID_SHEET_MERGE:
    case ID_SHEET_UNMERGE:
    case ID_SHEET_ROW_ADD:
    case ID_SHEET_ROW_INSERT:
    case ID_SHEET_ROW_DELETE:
    case ID_SHEET_COLUMN_ADD:
    case ID_SHEET_COLUMN_INSERT:
    case ID_SHEET_COLUMN_DELETE: {
      GridHit hit;
      hit.part = GridPart::kCell;
      hit.row = grid_.Current().row;
      RunMenuCommand(hit, id);
      break;
    }
    case ID_SHEET_TEXT_COLOUR: toolbar_.Drop(ID_SHEET_TEXT_COLOUR); break;
    case ID_SHEET_FILL_COLOUR: toolbar_.Drop(ID_SHEET_FILL_COLOUR); break;
    default: return CommonCommand(id);
  }
  (void)control;
  return true;
}

}  // namespace vm::spreadsheet
