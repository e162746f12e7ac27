#include "spreadsheet/win/spreadsheet_page.h"

#include "common/win/shell_actions_win.h"
#include "data/data_book.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/page_rules.h"
#include "spreadsheet/win/spreadsheet_resources.h"
#include "spreadsheet/workbook_xml.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/page_keys.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::spreadsheet {

namespace {

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = {
      {ID_SHEET_NEW, IDI_SHEET_NEW, "Создать новый файл Ctrl+N"},
      {ID_SHEET_OPEN, IDI_SHEET_OPEN, "Открыть файл Ctrl+O"},
      {ID_SHEET_SAVE, IDI_SHEET_SAVE, "Сохранить файл как... Ctrl+S"},
      {ID_SHEET_BOLD, IDI_SHEET_BOLD, "Полужирный"},
      {ID_SHEET_ITALIC, IDI_SHEET_ITALIC, "Курсив"},
      {ID_SHEET_UNDERLINE, IDI_SHEET_UNDERLINE, "Подчеркнутый"},
      {ID_SHEET_LEFT, IDI_SHEET_LEFT, "По левому краю"},
      {ID_SHEET_CENTRE, IDI_SHEET_CENTRE, "По центру"},
      {ID_SHEET_RIGHT, IDI_SHEET_RIGHT, "По правому краю"},
      {ID_SHEET_TEXT_COLOUR, IDI_SHEET_TEXT_COLOUR, "Цвет шрифта"},
      {ID_SHEET_FILL_COLOUR, IDI_SHEET_FILL_COLOUR, "Выделение цветом"},
      {ID_LOAD_INFO, IDI_SHEET_LOAD_INFO, "Информация о неудачной загрузки файла"},
      {ID_HELP_FILE, IDI_SHEET_HELP, "Помощь"},
      {ID_HIDE_TO_TRAY, IDI_SHEET_HIDE, "Скрыть F12"},
  };
  return table;
}

constexpr COLORREF kPathColour = RGB(0, 50, 100);
constexpr const char* kLoadReport = "Создан файл с расширением \"bak\" в папке \"Temp\"";

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SpreadsheetPageShell SystemSpreadsheetPageShell() {
  SpreadsheetPageShell s;
  s.askOpen = [](HWND owner, const std::string& folder) {
    ui::FileDialogSpec spec;
    spec.filters = {{"Файлы dbn (*.xml)", "*.xml"}};
    spec.defaultExtension = "xml";
    spec.folder = folder;
    return ui::AskOpenFile(owner, spec);
  };
  s.askSaveAs = [](HWND owner, const std::string& folder, const std::string& name) {
    ui::FileDialogSpec spec;
    spec.filters = {{"XML documents (*.xml)", "*.xml"}, {"All Files (*.*)", "*.*"}};
    spec.defaultExtension = "xml";
    spec.folder = folder;
    spec.fileName = name;
    return ui::AskSaveFile(owner, spec);
  };
  s.openHelp = [] { OpenHelp(); };
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
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
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
  toolbar_.SetDropDown(ID_SHEET_TEXT_COLOUR, true, [this](int, const RECT& r) { PickColour(false, r); });
  toolbar_.SetDropDown(ID_SHEET_FILL_COLOUR, true, [this](int, const RECT& r) { PickColour(true, r); });
  hideBar_.Create(hwnd(), IDC_SHEET_HIDEBAR, IDR_SHEET_HIDE_TOOLBAR, Commands());
  accel_.reset(ui::LoadAccelResource(IDR_SHEET_PAGE_ACCEL));

  LOGFONTW lf{};
  if (HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)))
    GetObjectW(dialogFont, sizeof lf, &lf);
  else
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfCharSet = RUSSIAN_CHARSET;
  pathFont_.reset(CreateFontIndirectW(&lf));

  // Start: the last file again, or the file of that name in "Personal", or none.
  std::string start = data::StartFilePath(app().GetSetting("GENERAL", "LAST") != "0",
                                          app().GetSetting("EXCEL", "FILENAME"), app().ProgramFolder());
  NewWorkbook(workbook_);
  SetPath(start);
  if (!start.empty()) ReadFile(start);

  GridWindow::Callbacks cb;
  cb.selectionChanged = [this] { UpdateButtons(); };
  cb.edited = [this](CellPos at, const std::string& text) {
    if (!StoreTypedText(workbook_.CurrentSheet(), at, text)) return false;
    Changed();
    return true;
  };
  cb.sheetChanged = [this](int) { UpdateButtons(); };
  cb.resized = [this] { Changed(); };
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
  toolbar_.Move(0, 0, 645, 26);
  if (hideBar_.hwnd()) MoveWindow(hideBar_.hwnd(), width - 26, 0, 26, 26, TRUE);
  grid_.Move(10, 30, std::max(width - 20, 0), std::max(height - 45, 0));
  pathRect_ = RECT{10, height - 15, width - 10, height};
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void CLikeExcelDlg::Paint(HDC dc) {
  ui::SelectGuard font(dc, pathFont_.get());
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, kPathColour);
  std::wstring text = ui::Wide(path_);
  RECT r = pathRect_;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

bool CLikeExcelDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    Paint(dc);
    EndPaint(hwnd(), &ps);
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

void CLikeExcelDlg::Changed() {
  modified_ = true;
  grid_.Redraw();
  UpdateButtons();
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
}

// ---- files --------------------------------------------------------------------------------------

bool CLikeExcelDlg::ReadFile(const std::string& path) {
  bool ok;
  {
    ui::WaitCursor wait;
    ok = ReadWorkbook(workbook_, path);
    if (!ok) MakeBakCopy(app().ProgramFolder(), path);
  }
  loadFailed_ = !ok;
  modified_ = false;
  return ok;
}

void CLikeExcelDlg::OpenFile(const std::string& path) {
  grid_.EndEdit(true);
  if (AutoSave() && !path_.empty()) Save();
  workbook_.Clear();
  SetPath(path);
  ReadFile(path);
  grid_.Select({0, 0}, {0, 0});
  grid_.Reload();
  UpdateButtons();
}

void CLikeExcelDlg::New() {
  grid_.EndEdit(true);
  if (AutoSave() && !path_.empty()) Save();
  NewWorkbook(workbook_);
  SetPath(std::string());
  loadFailed_ = false;
  modified_ = false;
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
    platform::ShowMessage("Не удалось сохранить файл " + path_, platform::MessageIcon::kExclamation);
    return false;
  }
  modified_ = false;
  app().PutSetting("EXCEL", "FILENAME", path_);
  return true;
}

bool CLikeExcelDlg::SaveAs() {
  grid_.EndEdit(true);
  if (!shell_.askSaveAs) return false;
  std::string folder = FolderOf(path_);
  if (folder.empty()) folder = app().ProgramFolder() + "Personal";
  auto chosen = shell_.askSaveAs(hwnd(), folder, NameOf(path_));
  if (!chosen) return false;
  SetPath(*chosen);
  return SaveFile();
}

void CLikeExcelDlg::Save() {
  grid_.EndEdit(true);
  if (path_.empty()) return;
  ui::WaitCursor wait;
  if (WriteWorkbook(workbook_, path_))
    modified_ = false;
  else
    platform::ShowMessage("Не удалось сохранить файл " + path_, platform::MessageIcon::kExclamation);
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

void CLikeExcelDlg::PickColour(bool fill, const RECT& button) {
  grid_.EndEdit(true);
  CellPos at = grid_.Current();
  CSheetCell f = EffectiveFormat(workbook_.CurrentSheet(), at.row, at.column);
  COLORREF current = fill ? (f.Has(kCellFillColor) ? f.fillColor : CLR_INVALID)
                          : (f.Has(kCellTextColor) ? f.textColor : CLR_INVALID);
  picker_.Show(hwnd(), POINT{button.left, button.bottom}, current, [this, fill](COLORREF colour) {
    CellRect sel = grid_.SelectionRect();
    // "Авто": black text, a white fill.
    if (colour == CLR_INVALID) colour = fill ? RGB(255, 255, 255) : RGB(0, 0, 0);
    if (fill)
      SetFillColor(workbook_.CurrentSheet(), sel, colour);
    else
      SetTextColor(workbook_.CurrentSheet(), sel, colour);
    Changed();
  });
}

bool CLikeExcelDlg::OnCommand(int id, int code, HWND control) {
  if (code != 0 && code != 1) return false;
  CSheet& sheet = workbook_.CurrentSheet();
  auto style = [&](FontStyle s) {
    grid_.EndEdit(true);
    ToggleFontStyle(workbook_, sheet, grid_.SelectionRect(), grid_.Current(), s);
    Changed();
  };
  auto align = [&](uint32_t a) {
    grid_.EndEdit(true);
    SetHorizontalAlignment(sheet, grid_.SelectionRect(), a);
    Changed();
  };
  switch (id) {
    case ID_SHEET_NEW: New(); break;
    case ID_SHEET_OPEN: {
      grid_.EndEdit(true);
      std::string folder = FolderOf(path_);
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
    case ID_SHEET_BOLD: style(FontStyle::kBold); break;
    case ID_SHEET_ITALIC: style(FontStyle::kItalic); break;
    case ID_SHEET_UNDERLINE: style(FontStyle::kUnderline); break;
    case ID_SHEET_LEFT: align(kAlignLeft); break;
    case ID_SHEET_CENTRE: align(kAlignCenter); break;
    case ID_SHEET_RIGHT: align(kAlignRight); break;
    case ID_SHEET_TEXT_COLOUR: toolbar_.Drop(ID_SHEET_TEXT_COLOUR); break;
    case ID_SHEET_FILL_COLOUR: toolbar_.Drop(ID_SHEET_FILL_COLOUR); break;
    case ID_LOAD_INFO:
      if (loadFailed_) platform::ShowMessage(kLoadReport, platform::MessageIcon::kStop);
      break;
    case ID_HELP_FILE:
      if (shell_.openHelp) shell_.openHelp();
      break;
    case ID_SAVE_ALL:
    case ID_HIDE_TO_TRAY:
      // Commands of the whole sheet.
      SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id, 0), 0);
      return true;
    default: return false;
  }
  (void)control;
  return true;
}

}  // namespace vm::spreadsheet
