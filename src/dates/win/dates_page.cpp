#include "dates/win/dates_page.h"

#include <shellapi.h>

#include "common/report.h"
#include "common/win/shell_actions_win.h"
#include "dates/win/add_date_dialog.h"
#include "dates/win/dates_resources.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "ui/dpi.h"
#include "ui/menu.h"
#include "ui/page_keys.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::dates {

namespace {

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons(
      {
          {ID_DATES_EDIT, IDI_DATES_EDIT, "Редактировать файл"},
          {ID_DATES_SEARCH, IDI_BOOK_SEARCH, "Поиск"},
          {ID_DATES_TODAY, IDI_DATES_TODAY, "Текущая дата/Выбор даты"},
          {ID_DATES_REFRESH, IDI_DATES_REFRESH, "Обновить окно"},
          {ID_DATES_REPORT, IDI_BOOK_REPORT, "Открыть в программе просмотра"},
      },
      ID_DATES_HIDE);
  return table;
}

COLORREF Colour(Rgb c) {
  return RGB(c.red, c.green, c.blue);
}

int ShellOpen(const wchar_t* file, const std::wstring& parameters, const wchar_t* folder) {
  HINSTANCE h = ShellExecuteW(nullptr, L"open", file, parameters.empty() ? nullptr : parameters.c_str(),
                              folder, SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(h));
}

}  // namespace

DatesShell SystemDatesShell() {
  DatesShell s;
  s.openFile = [](const std::string& path) {
    return ShellOpen(ui::Wide(path).c_str(), std::wstring(), nullptr);
  };
  // The path is quoted: a program folder under "Program Files" would reach notepad as
  // several arguments.
  s.openNotepad = [](const std::string& path) {
    return ShellOpen(L"notepad.exe", L"\"" + ui::Wide(path) + L"\"", L".") > 32;
  };
  s.openReport = [](const std::string& path) { return OpenTarget(path, kShowNormal); };
  s.today = [] {
    platform::LocalTime now = platform::Now();
    return Date{now.day, now.month, now.year};
  };
  AddIcsDialog(s);
  return s;
}

CMes::CMes(const CAppUtil& app)
    : shell::BookPage(shell::kDatesTab, IDD_DATES, app), shell_(SystemDatesShell()) {}

Date CMes::Today() const {
  return shell_.today();
}

bool CMes::PreTranslate(MSG& msg) {
  if (find_.PreTranslate(msg)) return true;
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
}

// ---- set-up, layout and painting --------------------------------------------------------------

bool CMes::OnInitDialog() {
  view_ = std::make_unique<DatesView>(app().ProgramFolder());
  toolbar_.Create(hwnd(), IDC_DATES_TOOLBAR, IDR_DATES_TOOLBAR, Commands());
  hideBar_.Create(hwnd(), IDC_DATES_HIDEBAR, IDR_DATES_HIDE_TOOLBAR, Commands());
  auto menu = [this](int command, const RECT& button) { DropMenu(command, button); };
  toolbar_.SetDropDown(ID_DATES_EDIT, true, menu);
  toolbar_.SetDropDown(ID_DATES_SEARCH, true, menu);
  toolbar_.SetDropDown(ID_DATES_TODAY, false, [this](int, const RECT& button) { DropCalendar(button); });
  toolbar_.SetDropDown(ID_DATES_REPORT, false, [this](int, const RECT& button) { DropReportMenu(button); });

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  int rowHeight = 16;
  if (HDC dc = GetDC(hwnd())) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm)) rowHeight = tm.tmHeight + 3;
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
  }
  list_.Create(hwnd(), IDC_DATES_LIST, RECT{10, 30, 400, 300}, rowHeight,
               [this](const ui::OwnerList::Row& row) { PaintRow(row); });
  SendMessageW(list_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  accel_.reset(ui::LoadAccelResource(IDR_DATES_ACCEL));

  {
    ui::WaitCursor wait;
    view_->Start(Today());
  }
  setUp_ = true;
  RECT client;
  GetClientRect(hwnd(), &client);
  Layout(client.right, client.bottom);
  ShowLines();
  return true;
}

void CMes::OnSize(int width, int height) {
  if (setUp_) Layout(width, height);
}

void CMes::Layout(int width, int height) {
  // The boxes are given at 96 dpi.
  const int dpi = ui::DpiOf(hwnd());
  auto s = [dpi](int px) { return ScaleToDpi(px, dpi); };
  toolbar_.Move(0, 0, width > s(24) ? width - s(24) : 0, s(28));
  hideBar_.Move(width - s(22), 0, s(26), s(26));
  SetWindowPos(list_.hwnd(), nullptr, s(10), s(30), width > s(20) ? width - s(20) : 0,
               height > s(40) ? height - s(40) : 0, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMes::PaintRow(const ui::OwnerList::Row& row) {
  const std::vector<ListLine>& lines = view_->lines();
  if (row.index < 0 || static_cast<size_t>(row.index) >= lines.size()) return;
  const ListLine& line = lines[static_cast<size_t>(row.index)];
  // A selected line keeps its colours, swapped, so the sections stay readable.
  COLORREF back = Colour(row.selected ? line.foreground : line.background);
  COLORREF fore = Colour(row.selected ? line.background : line.foreground);
  ui::UniqueBrush brush(CreateSolidBrush(back));
  FillRect(row.dc, &row.rect, brush.get());
  SetBkMode(row.dc, TRANSPARENT);
  SetTextColor(row.dc, fore);
  RECT text = row.rect;
  text.left += 4;
  std::wstring w = ui::Wide(line.text);
  DrawTextW(row.dc, w.c_str(), static_cast<int>(w.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void CMes::ShowLines() {
  if (!list_.hwnd()) return;
  SendMessageW(list_.hwnd(), WM_SETREDRAW, FALSE, 0);
  list_.SetCount(static_cast<int>(view_->lines().size()));
  SendMessageW(list_.hwnd(), LB_SETTOPINDEX, view_->topLine(), 0);
  SendMessageW(list_.hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_.hwnd(), nullptr, TRUE);
}

// ---- commands ---------------------------------------------------------------------------------

bool CMes::OnCommand(int id, int code, HWND control) {
  if (code != 0 && code != 1) return false;
  switch (id) {
    case ID_DATES_EDIT:
    case ID_DATES_SEARCH: toolbar_.Drop(id); return true;
    case ID_DATES_TODAY: {
      ui::WaitCursor wait;
      view_->ShowToday(Today());
      break;
    }
    case ID_DATES_REFRESH: {
      ui::WaitCursor wait;
      view_->Refresh(Today());
      break;
    }
    case ID_DATES_EDIT_BIRTHDAYS: Edit(DateFileKind::kBirthdays); return true;
    case ID_DATES_EDIT_DATES: Edit(DateFileKind::kDates); return true;
    case ID_DATES_ADD_DATE: AddDate(); return true;
    case ID_DATES_SEARCH_BIRTHDAYS: OpenSearch(DateFileKind::kBirthdays); return true;
    case ID_DATES_SEARCH_DATES: OpenSearch(DateFileKind::kDates); return true;
    case ID_DATES_EASTER_ORTHODOX:
    case ID_DATES_EASTER_CATHOLIC:
    case ID_DATES_EASTER_JEWISH: return true;  // the lines only show the dates
    case ID_DATES_REPORT: Report(); return true;
    case ID_DATES_EXPORT_ICS: ExportIcs(); return true;
    case ID_DATES_HIDE: return CommonCommand(ID_HIDE_TO_TRAY);
    default: return CommonCommand(id);
  }
  ShowLines();
  return true;
}

std::vector<std::string> CMes::DropDownTexts(int command) const {
  if (command == ID_DATES_EDIT)
    return {"Редактировать файл дни рождения", "Редактировать файл даты", "", "Добавить дату…"};
  if (command != ID_DATES_SEARCH || !view_) return {};
  EasterMenu easter = view_->Easter();
  return {"Поиск в файле дни рождения",
          "Поиск в файле даты",
          "",
          easter.orthodox,
          easter.catholic,
          easter.jewish};
}

void CMes::DropMenu(int command, const RECT& button) {
  static const int kEditIds[] = {ID_DATES_EDIT_BIRTHDAYS, ID_DATES_EDIT_DATES, 0, ID_DATES_ADD_DATE};
  static const int kSearchIds[] = {
      ID_DATES_SEARCH_BIRTHDAYS, ID_DATES_SEARCH_DATES,    0,
      ID_DATES_EASTER_ORTHODOX,  ID_DATES_EASTER_CATHOLIC, ID_DATES_EASTER_JEWISH};
  const int* ids = command == ID_DATES_EDIT ? kEditIds : kSearchIds;
  std::vector<ui::MenuItem> items;
  std::vector<std::string> texts = DropDownTexts(command);
  for (size_t i = 0; i < texts.size(); ++i) {
    ui::MenuItem item;
    item.id = ids[i];
    item.text = texts[i];
    items.push_back(item);
  }
  int chosen = ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom}, items);
  if (chosen) OnCommand(chosen, 0, nullptr);
}

void CMes::DropCalendar(const RECT& button) {
  Date ref = view_->reference().date;
  calendar_.Show(hwnd(), POINT{button.left, button.bottom}, ref.day, ref.month, ref.year,
                 [this](int day, int month, int year) {
                   std::string refused;
                   {
                     ui::WaitCursor wait;
                     refused = view_->Pick({day, month, year});
                   }
                   if (!refused.empty()) platform::ShowMessage(refused, platform::MessageIcon::kExclamation);
                   ShowLines();
                 });
}

void CMes::DayChanged(const platform::LocalTime&) {
  if (!view_ || !hwnd()) return;
  // The date comes from the page's clock, the one every other command reads.
  view_->DayChanged(Today());
  ShowLines();
}

// ---- search, editing, adding and the report -----------------------------------------------------

void CMes::OpenSearch(DateFileKind file) {
  searchFile_ = file;
  find_.Open(
      hwnd(), std::string(), false,
      [this](const ui::FindDialog::Request& r) {
        if (r.action != ui::FindDialog::Action::kFindNext) return;
        {
          ui::WaitCursor wait;
          view_->Search(searchFile_, r.what, r.matchCase);
        }
        ShowLines();
        if (list_.Count() > 0) find_.KeepClearOf(list_.hwnd(), list_.RowRect(0));
      },
      true);
}

void CMes::Edit(DateFileKind file) {
  std::string path = view_->FilePath(file);
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    platform::ShowMessage("Не найден файл " + path, platform::MessageIcon::kExclamation);
    return;
  }
  if (shell_.openFile && shell_.openFile(path) > 32) return;
  if (!shell_.openNotepad || !shell_.openNotepad(path))
    platform::ShowMessage("Не найден текстовый редактор для открытия файлов txt!",
                          platform::MessageIcon::kExclamation);
}

void CMes::AddDate() {
  AddDateDialog dialog({view_.get(), Today().year});
  if (dialog.DoModal(hwnd()) != IDOK) return;
  {
    ui::WaitCursor wait;
    view_->Added(dialog.entry(), Today());
  }
  ShowLines();
}

void CMes::Report() {
  const std::string& folder = view_->folder();
  ui::WaitCursor wait;
  if (!platform::DirExists(folder + "Temp")) platform::MakeDir(folder + "Temp");
  std::string data = folder + kDatesReport.data;
  DatesReportData written = WriteDatesReportData(view_->lines(), data);
  for (const char* message : written.messages)
    platform::ShowMessage(message, platform::MessageIcon::kExclamation);
  if (!written.build) return;
  std::string result = folder + kDatesReport.result;
  ReportOutcome built = BuildReport(data, folder + kDatesReport.layout, result);
  if (built.code != 0)
    platform::ShowMessage(built.message, platform::MessageIcon::kExclamation);
  else if (shell_.openReport)
    shell_.openReport(result);
}

}  // namespace vm::dates
