#include "tasks/win/tasks_page.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/ask_dialogs.h"
#include "common/backup.h"
#include "common/record_file.h"
#include "common/report.h"
#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "tasks/sticker.h"
#include "tasks/win/sticker_window.h"
#include "tasks/win/task_dialogs.h"
#include "tasks/win/tasks_resources.h"
#include "ui/ask_dialogs.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/fonts.h"
#include "ui/page_keys.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::tasks {

namespace {

const std::vector<ui::ToolCommand>& Commands() {
  static const std::vector<ui::ToolCommand> table = shell::WithCommonButtons({
      {ID_TASK_ADD, IDI_BOOK_ADD, "Добавить запись"},
      {ID_TASK_DELETE, IDI_BOOK_DELETE, "Удалить запись"},
      {ID_TASK_MOVE_UP, IDI_TASK_UP, "Переместить запись вверх"},
      {ID_TASK_MOVE_DOWN, IDI_TASK_DOWN, "Переместить запись вниз"},
      {ID_TASK_SAVE, IDI_BOOK_SAVE, "Сохранить файл"},
      {ID_TASK_OPEN, IDI_TASK_OPEN, "Открыть файл"},
      {ID_TASK_NEW, IDI_TASK_NEW, "Новый файл"},
      {ID_TASK_REPORT_HEADS, IDI_BOOK_REPORT, "Открыть в программе просмотра только заголовки"},
      {ID_TASK_FIND, IDI_TASK_FIND, "F4 Поиск"},
      {ID_TASK_FIND_ALL, IDI_TASK_FIND_ALL, "Поиск по всем записям"},
      {ID_TASK_NEXT_THEME, IDI_TASK_NEXT, "Следующая тема"},
      {ID_TASK_DIARY_DATE, IDI_TASK_CALENDAR, "Текущая дата/Выбор даты"},
      {ID_TASK_HEADINGS, IDI_TASK_HEADINGS, "Редактирование заголовков"},
  });
  return table;
}

constexpr int kToolbarHeight = 26;
constexpr int kCaptionWidth = 130;
constexpr int kRowHeight = 18;

std::vector<ui::MenuItem> ToMenu(const std::vector<MenuEntry>& entries) {
  std::vector<ui::MenuItem> out;
  for (const MenuEntry& e : entries) {
    ui::MenuItem m;
    m.id = e.id;
    m.text = e.text;
    m.checked = e.checked;
    m.enabled = e.enabled;
    m.items = ToMenu(e.items);
    out.push_back(std::move(m));
  }
  return out;
}

ui::FileDialogOptions TaskFileDialog(const std::string& folder) {
  return {
      .filters = {{"Файлы dbw (*.dbw)", "*.dbw"}}, .defaultExtension = kDefaultExtension, .folder = folder};
}

}  // namespace

TasksShell SystemTasksShell() {
  TasksShell s;
  s.openReport = [](const std::string& path) { return OpenTarget(path, kShowNormal); };
  s.chooseMenu = [](HWND owner, POINT at, const std::vector<ui::MenuItem>& items) {
    return ui::ShowContextMenu(owner, at, items);
  };
  s.askOpen = [](HWND owner, const std::string& folder) { return ui::AskOpenFile(owner, TaskFileDialog(folder)); };
  s.askSaveAs = [](HWND owner, const std::string& folder) { return ui::AskSaveFile(owner, TaskFileDialog(folder)); };
  s.askNewFile = [](HWND owner, const std::string& folder) { return ui::AskNewFile(owner, folder); };
  s.askHeadings = [](HWND owner, const std::string& values) { return AskHeadings(owner, values); };
  AddIcsDialogs(s);
  return s;
}

// The sheet makes this page during its set-up, before its timer can tick; a save before
// then finds no book to save. The start-up reminder check is the scheduler's first pass,
// on the first tick, so the windows of reminders due at start open above the main window
// rather than under it.
CWork::CWork(const CAppUtil& app)
    : shell::BookPage(shell::kTasksTab, app),
      editor_([this](HWND owner, const std::string& caption, const std::string& line) {
        return EditTask(owner, this->app(), caption, line);
      }),
      shell_(SystemTasksShell()) {
  windows_.SetSnoozeHandler([this](const Firing& firing, SnoozeSpan span) { Snooze(firing, span); });
}

CWork::~CWork() = default;

dates::Date CWork::Today() const { return DateOf(MomentOf(platform::Now())); }

bool CWork::PreTranslate(MSG& msg) {
  if (find_.PreTranslate(msg)) return true;
  return ui::TranslatePageKeys(hwnd(), accel_.get(), msg);
}

// ---- set-up ---------------------------------------------------------------------------------

bool CWork::OnInitDialog() {
  LOGFONTW lf = ui::DialogFont(hwnd());
  lf.lfCharSet = RUSSIAN_CHARSET;
  lf.lfHeight = ui::FontHeight(hwnd(), -12);
  rowFont_.reset(CreateFontIndirectW(&lf));
  lf.lfWeight = FW_BOLD;
  headingFont_.reset(CreateFontIndirectW(&lf));
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = TRUE;
  captionFont_.reset(CreateFontIndirectW(&lf));

  toolbar_.Create(hwnd(), IDC_TASK_TOOLBAR, IDR_TASKS_TOOLBAR, Commands());
  for (int id : {ID_TASK_SAVE, ID_TASK_REPORT_HEADS, ID_TASK_FIND_ALL, ID_TASK_DIARY_DATE})
    toolbar_.SetDropDown(id, false, [this](int command, const RECT&) { DropDown(command); });
  caption_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, 0,
                             0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TASK_CAPTION)),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(caption_, WM_SETFONT, reinterpret_cast<WPARAM>(captionFont_.get()), FALSE);
  RECT r{0, ui::Scaled(hwnd(), kToolbarHeight), 100, 100};
  list_.Create(hwnd(), IDC_TASK_LIST, r, ui::Scaled(hwnd(), kRowHeight), [this](const ui::OwnerList::Row& row) { PaintRow(row); });
  tips_.Create(hwnd());
  tips_.Add(IDC_TASK_LIST, "Двойной щелчок редактирование");
  accel_.reset(ui::LoadAccelResource(IDR_TASKS_ACCEL));

  StartupOutcome startup;
  {
    ui::WaitCursor wait;
    startup = LoadTaskFileAtStartup(book_, app(), Today());
  }
  groups_ = ReadTaskGroups(app());
  context_.view = ReadCurrentView(app());
  context_.diaryDate = TodayText(Today());
  for (int g = 0; g < 3; ++g) {
    context_.groupHeading[g] = groups_.heading[g];
    context_.groupShown[g] = groups_.offered[g];
  }
  Rebuild();

  // The sticker: made once; shown with its text when it is switched on and has one.
  sticker_ = std::make_unique<CAlarmWnd>(app());
  if (!sticker_->Create()) {
    sticker_.reset();
    platform::ShowMessage(kStickerNotCreated, platform::MessageIcon::kStop);
  } else {
    std::string text = StickerText(book_.records(), Today(), StickerOptionOn(app(), "DATE"));
    if (text.empty()) WriteStickerSwitchedOn(app(), false);
    else if (StickerSwitchedOn(app())) RefreshSticker(true);
  }

  setUp_ = true;
  RECT client;
  GetClientRect(hwnd(), &client);
  OnSize(client.right, client.bottom);
  if (!startup.load.error.empty()) platform::ShowMessage(startup.load.error, platform::MessageIcon::kStop);
  return true;
}

void CWork::OnSize(int width, int height) {
  if (!setUp_) return;
  const int bar = ui::Scaled(hwnd(), kToolbarHeight);
  // The caption takes the room its text needs beside the buttons; on a page too narrow
  // for both, at least half the width, as before.
  int want = CaptionWidth(), room = width - toolbar_.ButtonsWidth();
  int captionWidth = want <= room ? want : std::max(room, std::min(want, width / 2));
  toolbar_.Move(0, 0, width - captionWidth, bar);
  SetWindowPos(caption_, nullptr, width - captionWidth, 0, captionWidth - ui::Scaled(hwnd(), 4), bar, SWP_NOZORDER);
  SetWindowPos(list_.hwnd(), nullptr, 0, bar, width, height > bar ? height - bar : 0, SWP_NOZORDER);
}

// Room for the caption's text, at least kCaptionWidth.
int CWork::CaptionWidth() const {
  std::wstring text = ui::Wide(CaptionText());
  HDC dc = GetDC(caption_);
  SIZE size{};
  {
    ui::SelectGuard font(dc, captionFont_.get());
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  }
  ReleaseDC(caption_, dc);
  return FittedColumnWidth(kCaptionWidth, ui::DpiOf(hwnd()), size.cx, ui::Scaled(hwnd(), 8));
}

// ---- the list ---------------------------------------------------------------------------------

std::string CWork::CaptionText() const { return CountCaption(context_.view, shown_.records); }

void CWork::Rebuild(std::optional<size_t> select) {
  int old = list_.hwnd() ? list_.Selected() : -1;
  context_.today = Today();
  shown_ = BuildViewOf(book_, context_);
  if (!list_.hwnd()) return;
  SendMessageW(list_.hwnd(), WM_SETREDRAW, FALSE, 0);
  list_.SetCount(static_cast<int>(shown_.rows.size()));
  int row = select ? RowOf(shown_, *select) : old;
  if (row >= static_cast<int>(shown_.rows.size())) row = static_cast<int>(shown_.rows.size()) - 1;
  if (row >= 0) list_.Select(row);
  SendMessageW(list_.hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_.hwnd(), nullptr, TRUE);
  SetWindowTextW(caption_, ui::Wide(CaptionText()).c_str());
  // A longer caption may need more room.
  RECT client;
  GetClientRect(hwnd(), &client);
  OnSize(client.right, client.bottom);
  UpdateCommands();
}

void CWork::PaintRow(const ui::OwnerList::Row& row) {
  if (row.index < 0 || row.index >= static_cast<int>(shown_.rows.size())) return;
  const ViewRow& r = shown_.rows[row.index];
  COLORREF back = r.back == kButtonFace ? GetSysColor(COLOR_BTNFACE) : r.back;
  COLORREF fore = r.fore;
  if (row.selected && r.kind == RowKind::kRecord) {
    back = GetSysColor(COLOR_HIGHLIGHT);
    fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  ui::UniqueBrush brush(CreateSolidBrush(back));
  FillRect(row.dc, &row.rect, brush.get());
  bool bold = r.kind == RowKind::kHeading || r.kind == RowKind::kDate;
  ui::SelectGuard font(row.dc, bold ? headingFont_.get() : rowFont_.get());
  SetTextColor(row.dc, fore);
  SetBkMode(row.dc, TRANSPARENT);
  RECT text = row.rect;
  text.left += ui::Scaled(hwnd(), r.kind == RowKind::kRecord ? 14 : 4);
  text.right -= ui::Scaled(hwnd(), 4);
  std::wstring w = ui::Wide(r.text);
  DrawTextW(row.dc, w.c_str(), static_cast<int>(w.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | (r.kind == RowKind::kDate ? DT_RIGHT : 0));
}

std::optional<size_t> CWork::SelectedRecord() const {
  return RecordAt(shown_, list_.hwnd() ? list_.Selected() : -1);
}

void CWork::UpdateCommands() { toolbar_.Enable(ID_LOAD_INFO, !book_.loadMessage().empty()); }

void CWork::Changed(std::optional<size_t> select) {
  Rebuild(select);
  RefreshSticker();
}

void CWork::ShowView(int view) {
  if (!IsTaskView(view)) view = kViewTasks;
  context_.view = view;
  WriteCurrentView(app(), view);
  Rebuild();
  if (list_.hwnd() && list_.Count() > 0 && list_.Selected() < 0) list_.Select(0);
}

// ---- commands ---------------------------------------------------------------------------------

bool CWork::OnCommand(int id, int code, HWND control) {
  if (control && control == list_.hwnd()) {
    if (code == LBN_DBLCLK) Edit();
    return true;
  }
  if (control && control == caption_) return true;
  Command(id);
  return true;
}

void CWork::Command(int id) {
  if (int view = ViewOfCommand(id)) {
    if (view == kViewTasks) {
      // "Задачи" itself shows the groups the settings offer again.
      for (int g = 0; g < 3; ++g) context_.groupShown[g] = ReadTaskGroups(app()).offered[g];
    }
    ShowView(view);
    return;
  }
  if (int group = GroupOfChoiceCommand(id)) {
    for (int g = 0; g < 3; ++g) context_.groupShown[g] = g + 1 == group;
    ShowView(kViewTasks);
    return;
  }
  if (StatusAfter(id, "")) {
    SetStatus(id);
    return;
  }
  switch (id) {
    case ID_TASK_ADD: Add(); break;
    case ID_TASK_DELETE: Delete(); break;
    case ID_TASK_EDIT: Edit(); break;
    case ID_TASK_MOVE_UP: Move(true); break;
    case ID_TASK_MOVE_DOWN: Move(false); break;
    case ID_TASK_SAVE: {
      SaveOutcome out;
      {
        ui::WaitCursor wait;
        out = SaveTaskFile(book_, app());
      }
      if (out.status == TaskSaveStatus::kFailed || out.status == TaskSaveStatus::kNoFile)
        platform::ShowMessage(out.error, platform::MessageIcon::kExclamation);
      break;
    }
    case ID_TASK_SAVE_AS: FileSaveAs(false); break;
    case ID_TASK_SAVE_CURRENT: FileSaveAs(true); break;
    case ID_TASK_EXPORT_ICS: ExportIcs(); break;
    case ID_TASK_IMPORT_ICS: ImportIcs(); break;
    case ID_TASK_OPEN: FileOpen(); break;
    case ID_TASK_NEW: FileNew(); break;
    case ID_TASK_REPORT_HEADS: Report(false); break;
    case ID_TASK_REPORT_FULL: Report(true); break;
    case ID_TASK_FIND: OpenFind(false); break;
    case ID_TASK_FIND_ALL: OpenFind(true); break;
    case ID_TASK_FIND_DONE: ShowFound(RecordsByDone(book_.records(), true)); break;
    case ID_TASK_FIND_NOT_DONE: ShowFound(RecordsByDone(book_.records(), false)); break;
    case ID_TASK_NEXT_THEME: ShowView(NextTheme(context_.view)); break;
    case ID_TASK_DIARY_DATE:
      context_.diaryDate = TodayText(Today());
      ShowView(kViewDiary);
      break;
    case ID_TASK_DIARY_PICK: ChooseDiaryDate(); break;
    case ID_TASK_HEADINGS: EditHeadings(); break;
    case ID_TASK_STICKER_ON: RefreshSticker(true); break;
    default: CommonCommand(id); break;
  }
}

// OK with an empty headline keeps nothing, and the user is told why.
bool CWork::Stored(const TaskEditResult& edited) {
  if (edited.emptyHeadline || (edited.stored && GetTaskField(edited.line, TaskField::Headline).empty())) {
    platform::ShowMessage(kNoHeadlineMessage, platform::MessageIcon::kInformation);
    return false;
  }
  return edited.stored;
}

void CWork::Add() {
  if (!book_.loaded() || !editor_) return;
  std::string line = NewRecord(context_.view, book_.todayText().empty() ? TodayText(Today()) : book_.todayText());
  // A diary entry belongs to the diary's day, or it would vanish from the view at once.
  if (context_.view == kViewDiary) SetTaskField(line, TaskField::Date, context_.diaryDate);
  int row = list_.Selected();
  TaskEditResult edited = editor_(hwnd(), "Новая запись", line);
  if (!Stored(edited)) return;
  std::string placed = edited.line;
  PlaceNewRecord(book_, placed, shown_, context_, row);
  if (AddNewRecord(book_, placed) != AddStatus::kAdded) return;
  size_t index = book_.size() - 1;
  if (context_.view == kViewSearch) context_.found.push_back(index);
  Changed(index);
}

void CWork::Edit() {
  auto record = SelectedRecord();
  if (!record || !editor_) return;
  TaskEditResult edited = editor_(hwnd(), "Редактирование", book_.record(*record));
  if (!Stored(edited)) return;
  book_.SetRecord(*record, edited.line);
  Changed(*record);
}

void CWork::Delete() {
  auto record = SelectedRecord();
  if (!record || !ui::AskYesNo(hwnd(), "Удалить?")) return;
  book_.Remove(*record);
  std::vector<size_t> found;
  for (size_t i : context_.found)
    if (i != *record) found.push_back(i > *record ? i - 1 : i);
  context_.found = std::move(found);
  Changed(std::nullopt);
}

void CWork::Move(bool up) {
  auto moved = MoveRecord(book_, shown_, context_, list_.Selected(), up);
  if (moved) Changed(*moved);
}

void CWork::SetStatus(int command) {
  auto record = SelectedRecord();
  if (!record) return;
  auto status = StatusAfter(command, book_.Field(*record, TaskField::Status));
  if (!status) return;
  book_.SetField(*record, TaskField::Status, *status);
  Changed(*record);
}

// ---- menus ------------------------------------------------------------------------------------

bool CWork::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wp) == list_.hwnd()) {
    POINT at = ui::ContextMenuPoint(list_.hwnd(), lp);
    if (GET_X_LPARAM(lp) != -1 || GET_Y_LPARAM(lp) != -1) {
      // The row under the mouse becomes the selection the menu works on.
      POINT client = at;
      ScreenToClient(list_.hwnd(), &client);
      LRESULT hit = SendMessageW(list_.hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
      if (HIWORD(hit) == 0) list_.Select(LOWORD(hit));
    }
    ContextMenu(at);
    result = 0;
    return true;
  }
  return false;
}

void CWork::ContextMenu(POINT at) {
  MenuState state;
  state.view = context_.view;
  if (auto record = SelectedRecord()) state.selectedStatus = book_.Field(*record, TaskField::Status);
  state.anyStickerRecord = AnyStickerRecord(book_.records());
  state.stickerOn = StickerSwitchedOn(app());
  state.groups = ReadTaskGroups(app());
  int chosen = shell_.chooseMenu ? shell_.chooseMenu(hwnd(), at, ToMenu(tasks::ContextMenu(state))) : 0;
  if (chosen) Command(chosen);
}

void CWork::DropDown(int command) {
  std::vector<ui::MenuItem> items;
  auto item = [](int id, const char* text) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    return m;
  };
  switch (command) {
    case ID_TASK_SAVE:
      items = {item(ID_TASK_SAVE_AS, "Сохранить как.."), item(ID_TASK_SAVE_CURRENT, "Сохранить действующие записи в файл.."),
               ui::MenuSeparator(), item(ID_TASK_EXPORT_ICS, "Экспорт в iCalendar…"),
               item(ID_TASK_IMPORT_ICS, "Импорт из iCalendar…")};
      break;
    case ID_TASK_REPORT_HEADS: items = {item(ID_TASK_REPORT_FULL, "Открыть все в программе просмотра")}; break;
    case ID_TASK_FIND_ALL:
      items = {item(ID_TASK_FIND_DONE, "Найти выполненные"), item(ID_TASK_FIND_NOT_DONE, "Найти невыполненные")};
      break;
    case ID_TASK_DIARY_DATE: Command(ID_TASK_DIARY_PICK); return;
    default: return;
  }
  RECT r = toolbar_.ButtonScreenRect(command);
  int chosen = shell_.chooseMenu ? shell_.chooseMenu(hwnd(), POINT{r.left, r.bottom}, items) : 0;
  if (chosen) Command(chosen);
}

void CWork::ChooseDiaryDate() {
  RECT r = toolbar_.ButtonScreenRect(ID_TASK_DIARY_DATE);
  auto d = ParseTaskDate(context_.diaryDate);
  calendar_.Show(hwnd(), POINT{r.left, r.bottom}, d ? d->day : 0, d ? d->month : 0, d ? d->year : 0,
                 [this](int day, int month, int year) {
                   if (!dates::InCalendarRange(year)) {
                     platform::ShowMessage(dates::YearRangeMessage(year),
                                           platform::MessageIcon::kExclamation);
                     return;
                   }
                   context_.diaryDate = TodayText(dates::Date{day, month, year});
                   ShowView(kViewDiary);
                 });
}

// ---- searches and reports ---------------------------------------------------------------------

void CWork::OpenFind(bool allRecords) {
  findAll_ = allRecords;
  find_.Open(hwnd(), findText_, false, [this](const ui::FindDialog::Request& r) {
    if (r.action != ui::FindDialog::Action::kFindNext) return;
    findText_ = r.what;
    FindRequest(r.what, FindOptions{r.matchCase, r.wholeWord}, findAll_);
  });
}

void CWork::FindRequest(const std::string& what, const FindOptions& options, bool allRecords) {
  findText_ = what;
  if (allRecords) {
    ShowFound(SearchRecords(book_.records(), what, options));
    return;
  }
  int row = FindInView(shown_, book_.records(), list_.Selected(), what, options);
  if (row >= 0) {
    list_.Select(row);
    find_.KeepClearOf(list_.hwnd(), list_.RowRect(row));
  } else {
    MessageBeep(MB_ICONEXCLAMATION);
  }
}

void CWork::ShowFound(std::vector<size_t> found) {
  context_.found = std::move(found);
  ShowView(kViewSearch);
}

void CWork::Report(bool withNotes) {
  auto items = ReportItems(shown_, book_.records(), context_, withNotes);
  if (items.empty()) {
    platform::ShowMessage(kNoReportData, platform::MessageIcon::kExclamation);
    return;
  }
  TaskReportOutcome out;
  {
    ui::WaitCursor wait;
    out = WriteTaskReport(items, app().ProgramFolder(), context_.view == kViewSticker);
  }
  if (!out.ok) {
    platform::ShowMessage(out.message, platform::MessageIcon::kExclamation);
    return;
  }
  int code = shell_.openReport ? shell_.openReport(out.page) : 33;
  if (code <= 32) ReportOpenFailure(code, hwnd());
}

// ---- files --------------------------------------------------------------------------------------

void CWork::ShowLoadProblem(const LoadOutcome& load) {
  if (!load.error.empty()) platform::ShowMessage(load.error, platform::MessageIcon::kStop);
}

void CWork::FileNew() {
  Save();
  auto path = shell_.askNewFile ? shell_.askNewFile(hwnd(), PersonalFolder(app())) : std::nullopt;
  if (!path) return;
  auto confirm = [this](const std::string& question) { return ui::AskYesNo(hwnd(), question); };
  FileCommandOutcome out = CreateNewTaskFile(book_, app(), *path, confirm, Today());
  if (out.status == FileCommandStatus::kFailed) platform::ShowMessage(out.error, platform::MessageIcon::kExclamation);
  if (out.status != FileCommandStatus::kDone) return;
  context_.found.clear();
  Rebuild();
  RefreshSticker();
}

void CWork::FileOpen() {
  Save();
  auto path = shell_.askOpen ? shell_.askOpen(hwnd(), PersonalFolder(app())) : std::nullopt;
  if (!path) return;
  FileCommandOutcome out;
  {
    ui::WaitCursor wait;
    out = OpenTaskFile(book_, app(), *path, Today());
  }
  if (out.status == FileCommandStatus::kFailed) platform::ShowMessage(out.error, platform::MessageIcon::kExclamation);
  ShowLoadProblem(out.load);
  context_.found.clear();
  Rebuild();
  RefreshSticker();
}

void CWork::FileSaveAs(bool currentOnly) {
  if (book_.path().empty()) {
    platform::ShowMessage(kNoFileMessage, platform::MessageIcon::kExclamation);
    return;
  }
  auto path = shell_.askSaveAs ? shell_.askSaveAs(hwnd(), FolderOfPath(book_.path())) : std::nullopt;
  if (!path) return;
  std::string target = WithTaskExtension(*path);
  TaskList records = currentOnly ? CurrentRecords(book_.records(), Today()) : book_.records();
  if (!backup::SaveBook(target, TaskFileBytes(records))) {
    platform::ShowMessage(SaveFailedMessage(target), platform::MessageIcon::kExclamation);
    return;
  }
  if (currentOnly) return;
  // The copy becomes the current file: loading it gives the book its new path and
  // "WORK"/"FILENAME", with the book unchanged.
  if (OpenTaskFile(book_, app(), target, Today()).status == FileCommandStatus::kDone) snoozes_.CarryTo(book_);
  Rebuild();
}

void CWork::EditHeadings() {
  TaskGroupSettings g = ReadTaskGroups(app());
  std::string values = g.heading[0] + "|" + g.heading[1] + "|" + g.heading[2];
  for (bool on : g.offered) values += on ? "|1" : "|0";
  auto answer = shell_.askHeadings ? shell_.askHeadings(hwnd(), values) : std::nullopt;
  if (!answer) return;
  std::string parts[6];
  int n = 0;
  for (char c : *answer) {
    if (c == '|') {
      if (++n >= 6) break;
    } else {
      parts[n] += c;
    }
  }
  for (int i = 0; i < 3; ++i) {
    g.heading[i] = parts[i];
    g.offered[i] = parts[3 + i] == "1";
  }
  WriteTaskGroups(app(), g);
  groups_ = ReadTaskGroups(app());
  for (int i = 0; i < 3; ++i) {
    context_.groupHeading[i] = groups_.heading[i];
    context_.groupShown[i] = groups_.offered[i];
  }
  ShowView(kViewTasks);
}

// ---- the sticker ----------------------------------------------------------------------------------

void CWork::RefreshSticker(bool force) {
  if (!force && !StickerSwitchedOn(app())) return;
  std::string text = StickerText(book_.records(), Today(), StickerOptionOn(app(), "DATE"));
  if (!StickerTextFits(text)) {
    platform::ShowMessage(kStickerTooLong, platform::MessageIcon::kStop);
    return;
  }
  // The page's own window, never one found by its title: while the program restarts,
  // the other copy's sticker has the same title.
  HWND sticker = sticker_ ? sticker_->hwnd() : nullptr;
  if (!sticker) return;
  std::vector<char> buffer(kStickerBufferSize, '\0');
  std::memcpy(buffer.data(), text.data(), text.size());
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(StickerCode(text));
  data.cbData = static_cast<DWORD>(buffer.size());
  data.lpData = buffer.data();
  SendMessageW(sticker, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd()), reinterpret_cast<LPARAM>(&data));
}

// ---- the sheet's calls ----------------------------------------------------------------------------

void CWork::Tick(const shell::TickInfo& info) {
  // A firing's effects might let messages through (a sound driver, a failure message);
  // a tick arriving then must not start a pass inside the pass. Nothing is lost: the
  // skipped tick leaves the scheduler where it was, so the next one checks the minutes
  // in between.
  if (firing_) return;
  lastTick_ = MomentOf(info.now);
  PassResult pass = scheduler_.Tick(book_, lastTick_, &snoozes_);
  if (!pass.ran) return;
  if (!pass.changedRecords.empty() && setUp_) Rebuild();
  if (pass.firings.empty()) return;
  firing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{firing_};
  HWND main = hwnd() ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
  RunFirings(pass.firings, main, *effects_, windows_);
  std::string error = snoozes_.TakeError();
  if (!error.empty()) platform::ShowMessage(error, platform::MessageIcon::kExclamation);
}

// The snooze counts from the timer's moment; the store writes it beside the book at once,
// so it holds whatever way the program ends.
void CWork::Snooze(const Firing& firing, SnoozeSpan span) {
  Moment now = IsValidMoment(lastTick_) ? lastTick_ : MomentOf(platform::Now());
  snoozes_.Follow(book_);
  if (!snoozes_.Add(SnoozeFiring(firing, now, span))) {
    std::string error = snoozes_.TakeError();
    if (!error.empty()) platform::ShowMessage(error, platform::MessageIcon::kExclamation);
  }
}

void CWork::Save() {
  if (givenUp_) return;
  SaveOutcome outcome;
  {
    ui::WaitCursor wait;
    outcome = AutoSaveTaskFile(book_, app());
  }
  saveError_ = outcome.status == TaskSaveStatus::kFailed ? outcome.error : std::string();
  if (outcome.status == TaskSaveStatus::kFailed) platform::ShowMessage(outcome.error, platform::MessageIcon::kExclamation);
}

std::optional<shell::UnsavedBook> CWork::Unsaved() const {
  if (givenUp_ || saveError_.empty() || book_.state() != kStateChanged) return std::nullopt;
  return shell::UnsavedBook{book_.path(), saveError_, true};
}

shell::DiskChange CWork::FileChanged(const std::string& path) {
  if (!hwnd() || path.empty() || path != book_.path()) return shell::DiskChange::kNotMine;
  if (book_.state() == kStateChanged) return shell::DiskChange::kMarked;
  {
    ui::WaitCursor wait;
    LoadTaskFile(book_, path, Today());
  }
  context_.found.clear();
  Rebuild();
  RefreshSticker();
  return shell::DiskChange::kReloaded;
}

bool CWork::RetrySave() {
  Save();
  return book_.state() != kStateChanged;
}

bool CWork::SaveAsChosen() {
  FileSaveAs(false);
  if (book_.state() == kStateChanged) return false;
  saveError_.clear();
  return true;
}

void CWork::GiveUpChanges() {
  givenUp_ = true;
  saveError_.clear();
}

void CWork::DayChanged(const platform::LocalTime&) {
  if (!setUp_) return;
  Rebuild();
  RefreshSticker();
}

bool CWork::ReminderWindow(int code) {
  if (!setUp_) return false;
  if (code == kStickerAskShowRecords) {
    ShowView(kViewSticker);
    return true;
  }
  if (code == kStickerAskRefresh) {
    RefreshSticker();
    if (context_.view == kViewSticker) Rebuild();
    return true;
  }
  return false;
}

}  // namespace vm::tasks
