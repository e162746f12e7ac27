#include "tasks/win/task_editor.h"

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "tasks/task_editor_model.h"
#include "tasks/win/task_editor_resources.h"
#include "ui/calendar_drop_down.h"
#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/file_dialogs.h"
#include "ui/find_dialog.h"
#include "ui/folder_picker.h"
#include "ui/handles.h"
#include "ui/keyboard.h"
#include "ui/menu.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/status_bar.h"
#include "ui/text.h"

namespace vm::tasks {

namespace {

using F = TaskField;
using K = EditorControlKind;

std::function<Moment()>& TheClock() {
  static std::function<Moment()> clock;
  return clock;
}

Moment Now() {
  return TheClock() ? TheClock()() : MomentOf(platform::Now());
}

int ControlOf(TaskField f) {
  return IDC_TE_FIELD_BASE + static_cast<int>(f);
}
static_assert(IDC_TE_PROJECT == IDC_TE_FIELD_BASE + static_cast<int>(TaskField::ProjectFlag));
static_assert(IDC_TE_PCBEEP == IDC_TE_FIELD_BASE + static_cast<int>(TaskField::PcBeep));
static_assert(IDC_TE_HOUR == IDC_TE_FIELD_BASE + static_cast<int>(TaskField::Hour));

// The status bar's panes.
enum Pane { kPaneInfo, kPanePanel, kPaneCaps, kPaneNum, kPaneLayout, kPaneOk };
constexpr int kPanelPaneWidth = 190, kKeyPaneWidth = 30, kOkPaneWidth = 40;
constexpr int kFixedPanesWidth = 420;  // what pane 0 leaves to the others

// The controls of the upper part that the layout moves; the panel's move with its frame.
const int kPanelLabels[] = {
    IDC_TE_LABEL_DATE,    IDC_TE_LABEL_TIME,  IDC_TE_LABEL_QUARTER, IDC_TE_LABEL_QMONTH, IDC_TE_LABEL_WEEK,
    IDC_TE_LABEL_WEEKDAY, IDC_TE_LABEL_SOUND, IDC_TE_LABEL_PREVIEW, IDC_TE_PREVIEW,      IDC_TE_BROWSE};

class TaskEditor : public ui::Dialog {
 public:
  TaskEditor(const CAppUtil& app, std::string caption, const std::string& line)
      : Dialog(IDD_TASK_EDITOR), app_(app), caption_(std::move(caption)) {
    const Moment now = Now();
    copy_ = OpenRecord(line, TodayText(DateOf(now)));
    values_ = OpenValues(copy_, now, app_.GetSetting("WORK", "WAV"));
  }

  TaskEditResult Run(HWND owner) {
    TaskEditResult result;
    result.line = copy_;
    if (!CreateModeless(owner)) return result;
    HWND self = hwnd();
    const bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled) EnableWindow(owner, FALSE);
    ShowWindow(self, SW_SHOW);
    ui::UniqueAccel accel(ui::LoadAccelResource(IDR_TASK_EDITOR_ACCEL));
    MSG msg;
    while (!done_ && IsWindow(self)) {
      BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      UpdateKeyPanes();
      if (find_.PreTranslate(msg)) continue;
      if (accel && (msg.hwnd == self || IsChild(self, msg.hwnd)) &&
          TranslateAcceleratorW(self, accel.get(), &msg))
        continue;
      if (IsDialogMessageW(self, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    find_.Close();
    calendar_.Close();
    if (ownerEnabled) {
      EnableWindow(owner, TRUE);
      SetActiveWindow(owner);
    }
    End(IDCANCEL);  // destroys the window
    result.stored = stored_;
    result.emptyHeadline = emptyHeadline_;
    if (stored_) result.line = stored_line_;
    return result;
  }

 protected:
  bool OnInitDialog() override {
    SetWindowTextW(hwnd(), ui::Wide(caption_).c_str());
    // The window owns its menu from here and destroys it with itself.
    if (HMENU menu = ui::LoadMenuResource(IDR_TASK_EDITOR_MENU)) SetMenu(hwnd(), menu);
    auto s = [this](int px) { return ui::Scaled(hwnd(), px); };
    status_.Create(hwnd(), IDC_TE_STATUS,
                   {s(100), s(kPanelPaneWidth), s(kKeyPaneWidth), s(kKeyPaneWidth), s(kKeyPaneWidth), s(kOkPaneWidth)});
    status_.SetText(kPaneOk, "OK");
    RememberPanel();
    FillLists();
    ShowValues();
    SetPanelOpen(false, false);
    PlaceWindow();
    UpdateKeyPanes();
    SetFocus(Item(IDC_TE_HEADLINE));
    return false;
  }

  bool OnCommand(int id, int code, HWND control) override {
    if (id == IDOK) {
      Store();
      return true;
    }
    if (id == IDCANCEL) {
      done_ = true;
      return true;
    }
    if (id >= IDC_TE_FIELD_BASE && id < IDC_TE_FIELD_BASE + kTaskFieldCount) return OnFieldControl(id, code);
    switch (id) {
      case IDC_TE_BROWSE: BrowseSound(); return true;
      case ID_TE_IMPORT: ImportNotes(); return true;
      case ID_TE_SAVE_NOTES: SaveNotes(); return true;
      case ID_TE_EXTERNAL: OpenOutside(); return true;
      case ID_TE_LINK_FILE: LinkFile(); return true;
      case ID_TE_LINK_FOLDER: LinkFolder(); return true;
      case ID_TE_UNDO: SendMessageW(Notes(), EM_UNDO, 0, 0); return true;
      case ID_TE_CUT: SendMessageW(Notes(), WM_CUT, 0, 0); return true;
      case ID_TE_COPY: SendMessageW(Notes(), WM_COPY, 0, 0); return true;
      case ID_TE_PASTE: SendMessageW(Notes(), WM_PASTE, 0, 0); return true;
      case ID_TE_DELETE: SendMessageW(Notes(), WM_CLEAR, 0, 0); return true;
      case ID_TE_SELECT_ALL: SelectAll(code == 1); return true;
      case ID_TE_FIND: OpenFind(); return true;
      case ID_TE_CALENDAR: ShowCalendar(); return true;
      default: return false;
    }
  }

  bool OnNotify(NMHDR* header, LRESULT& result) override {
    if (header->idFrom == IDC_TE_STATUS && header->code == NM_CLICK) {
      auto* mouse = reinterpret_cast<NMMOUSE*>(header);
      if (mouse->dwItemSpec == kPanePanel) SetPanelOpen(!panelOpen_, true);
      if (mouse->dwItemSpec == kPaneOk) Store();
      result = TRUE;
      return true;
    }
    if (header->idFrom == IDC_TE_DATE && header->code == DTN_DATETIMECHANGE) {
      dateTouched_ = true;
      return true;
    }
    return false;
  }

  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    switch (msg) {
      case WM_SIZE: Layout(); return true;
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lp);
        info->ptMinTrackSize.x = 320;
        info->ptMinTrackSize.y = ui::Scaled(hwnd(), 150) + (panelOpen_ ? PanelHeight() : 0);
        return true;
      }
      case WM_CLOSE: done_ = true; return true;
      default: return false;
    }
  }

 private:
  HWND Notes() const { return Item(IDC_TE_NOTES); }
  RECT Dlu(int x, int y, int w, int h) const {
    RECT r{x, y, x + w, y + h};
    MapDialogRect(hwnd(), &r);
    return r;
  }

  // ---- the values in the controls ------------------------------------------------------

  void FillLists() {
    const std::pair<F, std::vector<std::string>> lists[] = {{F::Day, DayItems()},
                                                            {F::Month, MonthItems()},
                                                            {F::Year, YearItems()},
                                                            {F::Hour, HourItems()},
                                                            {F::Minute, MinuteItems()}};
    for (const auto& [field, items] : lists) {
      HWND combo = Item(ControlOf(field));
      size_t longest = 0;
      for (const std::string& item : items) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Wide(item).c_str()));
        longest = std::max(longest, item.size());
      }
      // Nothing longer than an item can be typed; OK checks the rest.
      SendMessageW(combo, CB_LIMITTEXT, longest, 0);
    }
    SendMessageW(Item(IDC_TE_DATE), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd/MM/yyyy"));
    SendMessageW(Notes(), EM_SETLIMITTEXT, 0, 0);
  }

  void ShowValues() {
    filling_ = true;
    for (const EditorControl& c : EditorControls()) {
      int id = ControlOf(c.field);
      switch (c.kind) {
        case K::kHeadline: SetItemText(id, values_.headline); break;
        case K::kNotes: SetItemText(id, values_.notes); break;
        case K::kDate: ShowDate(values_.date); break;
        case K::kRemind:
        case K::kCheck: SetChecked(id, values_.On(c.field)); break;
        case K::kList:
        case K::kSound: SetItemText(id, *values_.ListText(c.field)); break;
      }
    }
    filling_ = false;
    ApplyPanelRules();
  }

  void ShowDate(const std::string& text) {
    if (!IsValidEditorDate(text)) return;  // kept as text; OK then asks for a date
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(ReadNumber(text.substr(0, 2)));
    st.wMonth = static_cast<WORD>(ReadNumber(text.substr(3, 2)));
    st.wYear = static_cast<WORD>(ReadNumber(text.substr(6)));
    SendMessageW(Item(IDC_TE_DATE), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }

  std::string PickerDate() const {
    SYSTEMTIME st{};
    if (SendMessageW(Item(IDC_TE_DATE), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
      return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02i/%02i/%04i", st.wDay, st.wMonth, st.wYear);
    return buf;
  }

  // Reads every control into values_.
  void ReadValues() {
    for (const EditorControl& c : EditorControls()) {
      int id = ControlOf(c.field);
      switch (c.kind) {
        case K::kHeadline: values_.headline = ItemText(id); break;
        case K::kNotes: values_.notes = ItemText(id); break;
        case K::kDate:
          // A record's malformed date stays until a date is picked, so OK can say so.
          if (dateTouched_ || IsValidEditorDate(values_.date)) values_.date = PickerDate();
          break;
        case K::kRemind:
        case K::kCheck: values_.Set(c.field, IsChecked(id)); break;
        case K::kList:
        case K::kSound: *values_.ListText(c.field) = ItemText(id); break;
      }
    }
  }

  bool OnFieldControl(int id, int code) {
    if (filling_) return true;
    const F field = static_cast<F>(id - IDC_TE_FIELD_BASE);
    const EditorControl* c = FindEditorControl(field);
    if (!c) return false;
    if ((c->kind == K::kCheck || c->kind == K::kRemind) && code == BN_CLICKED) {
      ReadValues();
      ApplyClick(values_, field);
      filling_ = true;
      for (const EditorControl& other : EditorControls())
        if (other.kind == K::kCheck) SetChecked(ControlOf(other.field), values_.On(other.field));
      filling_ = false;
      ApplyPanelRules();
      if (ClickOpensPanel(values_, field, panelOpen_)) SetPanelOpen(true, true);
      return true;
    }
    if (c->kind == K::kList && code == CBN_SELCHANGE) {
      // The edit part shows the chosen item only after this notification.
      HWND combo = Item(id);
      LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
      if (sel != CB_ERR) {
        wchar_t text[32] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0) < 32)
          SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
        SetWindowTextW(combo, text);
      }
      UpdatePreview();
      return true;
    }
    if (c->kind == K::kList && code == CBN_EDITCHANGE) {
      UpdatePreview();
      return true;
    }
    return false;
  }

  void ApplyPanelRules() {
    ReadValues();
    std::array<bool, kTaskFieldCount> enabled = PanelEnabled(values_);
    for (const EditorControl& c : EditorControls())
      if (c.panel) EnableItem(ControlOf(c.field), enabled[static_cast<size_t>(c.field)]);
    EnableItem(IDC_TE_BROWSE, enabled[static_cast<size_t>(F::SoundFile)]);
    UpdatePreview();
  }

  void UpdatePreview() {
    if (filling_ || !hwnd()) return;
    ReadValues();
    std::vector<std::string> lines = PreviewFirings(copy_, values_, Now());
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    // A rule that fires once and stops says so, and which box makes it repeat.
    if (std::string hint = RepeatHint(copy_, values_, Now()); !hint.empty()) text += "\r\n" + hint;
    SetItemText(IDC_TE_PREVIEW, text);
    status_.SetText(kPaneInfo, values_.On(F::ReminderState) ? "Сработает: " + lines.front() : std::string());
  }

  // ---- the panel and the layout --------------------------------------------------------

  // The panel's controls keep their places relative to its frame.
  void RememberPanel() {
    RECT frame;
    GetWindowRect(Item(IDC_TE_PANEL), &frame);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&frame), 2);
    std::vector<int> ids(std::begin(kPanelLabels), std::end(kPanelLabels));
    for (const EditorControl& c : EditorControls())
      if (c.panel) ids.push_back(ControlOf(c.field));
    for (int id : ids) {
      RECT r;
      GetWindowRect(Item(id), &r);
      MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
      panel_.push_back({id, POINT{r.left, r.top - frame.top}});
    }
  }

  void SetPanelOpen(bool open, bool resizeWindow) {
    if (open) {
      ReadValues();
      FillEmptyDate(values_, Now());
      filling_ = true;
      for (F f : {F::Day, F::Month, F::Year}) SetItemText(ControlOf(f), *values_.ListText(f));
      filling_ = false;
    }
    const bool changed = open != panelOpen_;
    panelOpen_ = open;
    ShowItem(IDC_TE_PANEL, open);
    for (const auto& [id, offset] : panel_) ShowItem(id, open);
    status_.SetText(kPanePanel, PanelPaneText(open));
    if (changed && resizeWindow) {
      RECT w;
      GetWindowRect(hwnd(), &w);
      SetWindowPos(hwnd(), nullptr, 0, 0, w.right - w.left,
                   w.bottom - w.top + (open ? PanelHeight() : -PanelHeight()),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout();
    UpdatePreview();
  }

  void PlaceWindow() {
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    POINT origin{0, 0};
    if (owner) ClientToScreen(owner, &origin);
    EditorRect r = LoadEditorRect(app_, origin.x, origin.y);
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The panel's height at the screen's scale (its controls come from the template in
  // dialog units, which scale with the font).
  int PanelHeight() const { return ui::Scaled(hwnd(), kPanelHeight); }

  void Layout() {
    if (!status_.hwnd()) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const int width = client.right;
    std::vector<int> edges;
    auto s = [this](int px) { return ui::Scaled(hwnd(), px); };
    int x = std::max(width - s(kFixedPanesWidth), 0);
    for (int w : {0, kPanelPaneWidth, kKeyPaneWidth, kKeyPaneWidth, kKeyPaneWidth, kOkPaneWidth})
      edges.push_back(x += s(w));
    edges.back() = -1;
    SendMessageW(status_.hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    status_.Resize();
    RECT bar;
    GetWindowRect(status_.hwnd(), &bar);
    const int bottom = client.bottom - (bar.bottom - bar.top) - (panelOpen_ ? PanelHeight() : 0);

    const RECT m = Dlu(4, 2, 72, 28);  // margin, top, the date group's width, the groups' height
    const int margin = m.left, top = m.top, dateWidth = m.right - m.left, groupHeight = m.bottom - m.top;
    const RECT inner = Dlu(6, 11, 6, 12);  // inset of a group's content, an edit's height
    const int inset = inner.left, caption = inner.top, editHeight = inner.bottom - inner.top;
    auto move = [&](int id, int l, int t, int w, int h) {
      MoveWindow(Item(id), l, t, std::max(w, 0), std::max(h, 0), TRUE);
    };
    const int headlineWidth = width - 3 * margin - dateWidth;
    move(IDC_TE_HEADLINE_GROUP, margin, top, headlineWidth, groupHeight);
    move(IDC_TE_HEADLINE, margin + inset, top + caption, headlineWidth - 2 * inset, editHeight);
    const int dateLeft = width - margin - dateWidth;
    move(IDC_TE_DATE_GROUP, dateLeft, top, dateWidth, groupHeight);
    move(IDC_TE_DATE, dateLeft + inset, top + caption, dateWidth - 2 * inset, editHeight);
    const int notesTop = Dlu(0, 44, 0, 0).top;  // below the row of section boxes
    move(IDC_TE_NOTES_GROUP, margin, notesTop, width - 2 * margin, bottom - notesTop - 2);
    move(IDC_TE_NOTES, margin + inset, notesTop + caption, width - 2 * margin - 2 * inset,
         bottom - notesTop - caption - inset);

    if (panelOpen_) {
      move(IDC_TE_PANEL, 0, bottom, width, 1);
      for (const auto& [id, offset] : panel_)
        SetWindowPos(Item(id), nullptr, offset.x, bottom + offset.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
  }

  void UpdateKeyPanes() {
    if (!status_.hwnd()) return;
    const std::string caps = (GetKeyState(VK_CAPITAL) & 1) ? "CAP" : "";
    const std::string num = (GetKeyState(VK_NUMLOCK) & 1) ? "NUM" : "";
    const std::string layout = LayoutPaneText(ui::ActiveLayoutName());
    if (caps != caps_) status_.SetText(kPaneCaps, caps_ = caps);
    if (num != num_) status_.SetText(kPaneNum, num_ = num);
    if (layout != layout_) status_.SetText(kPaneLayout, layout_ = layout);
  }

  // ---- OK ------------------------------------------------------------------------------

  void Store() {
    RECT w;
    GetWindowRect(hwnd(), &w);
    // The panel is taken off at its height on this screen.
    SaveEditorRect(app_, {w.left, w.top, w.right, w.bottom - (panelOpen_ ? PanelHeight() : 0)}, false);
    ReadValues();
    StoreOutcome out = StoreValues(copy_, values_, Now());
    if (out.status == StoreStatus::kBadDate) {
      // The editor stays open: what was typed is not lost over a date.
      platform::ShowMessage(BadDateMessage(values_.date), platform::MessageIcon::kExclamation);
      return;
    }
    if (out.status == StoreStatus::kBadList) {
      platform::ShowMessage(out.message, platform::MessageIcon::kExclamation);
      return;
    }
    if (out.neverFires && !ui::AskYesNo(hwnd(), kNeverFiresQuestion, ui::DefaultAnswer::kNo)) return;
    if (out.status == StoreStatus::kNoHeadline) {
      emptyHeadline_ = true;
    } else {
      stored_ = true;
      stored_line_ = out.line;
      app_.PutSetting("WORK", "WAV", values_.soundFile);
    }
    done_ = true;
  }

  // ---- the notes' commands -------------------------------------------------------------

  void BrowseSound() {
    if (auto path =
            ui::AskOpenFile(hwnd(), {.filters = {{"Файлы wav (*.wav)", "*"}}, .defaultExtension = "wav"})) {
      SetItemText(IDC_TE_SOUND, *path);
      UpdatePreview();
    }
  }

  void ImportNotes() {
    if (!ItemText(IDC_TE_NOTES).empty() && !ui::AskYesNo(hwnd(), kImportQuestion)) return;
    auto path =
        ui::AskOpenFile(hwnd(), {.filters = {{"Text Files(*.txt) ", "*.txt"}}, .defaultExtension = "txt"});
    if (!path) return;
    std::string bytes;
    if (!platform::ReadFileBytes(*path, bytes)) {
      platform::ShowMessage(kImportFailedMessage, platform::MessageIcon::kExclamation);
      return;
    }
    if (size_t zero = bytes.find('\0'); zero != std::string::npos) bytes.resize(zero);
    SetItemText(IDC_TE_NOTES, NotesFromFile(bytes));
  }

  void SaveNotes() {
    auto path =
        ui::AskSaveFile(hwnd(), {.filters = {{"Файлы dbw (*.txt)", "*.txt"}}, .defaultExtension = "txt"});
    if (!path) return;
    if (!platform::WriteFileBytes(*path, ItemText(IDC_TE_NOTES)))
      platform::ShowMessage("Не удалось записать файл " + *path, platform::MessageIcon::kExclamation);
  }

  void OpenOutside() {
    const std::string folder = app_.ProgramFolder() + "Temp";
    platform::MakeDir(folder);
    const std::string path = folder + "\\EditRep.txt";
    if (!app_.WriteFileText(path, ExternalEditorText(ItemText(IDC_TE_HEADLINE), ItemText(IDC_TE_NOTES)))) {
      platform::ShowMessage("Не удалось записать файл " + path, platform::MessageIcon::kExclamation);
      return;
    }
    OpenInTextEditor(hwnd(), path, kNoEditorMessage);
  }

  void InsertLink(const std::string& path) {
    HWND notes = Notes();
    const int firstLine = static_cast<int>(SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0));
    DWORD start = 0, end = 0;
    SendMessageW(notes, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (GetWindowTextLengthW(notes) == 0) start = 0;
    SendMessageW(notes, EM_SETSEL, start, start);
    SendMessageW(notes, EM_REPLACESEL, TRUE,
                 reinterpret_cast<LPARAM>(ui::Wide(LinkText(path) + " ").c_str()));
    const int nowFirst = static_cast<int>(SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(notes, EM_LINESCROLL, 0, firstLine - nowFirst);
  }

  void LinkFile() {
    if (auto path =
            ui::AskOpenFile(hwnd(), {.filters = {{"все файлы (*.*)", "*"}}, .defaultExtension = "*.*"}))
      InsertLink(*path);
  }

  void LinkFolder() {
    if (auto folder = ui::PickFolder(hwnd(), app_.ProgramFolder())) InsertLink(*folder);
  }

  // Ctrl+A selects in the edit that has the caret; the menu item in the notes.
  void SelectAll(bool fromKeyboard) {
    HWND target = Notes();
    HWND focus = GetFocus();
    wchar_t cls[16] = {};
    if (fromKeyboard && focus && GetClassNameW(focus, cls, 16) && lstrcmpiW(cls, L"Edit") == 0)
      target = focus;
    SendMessageW(target, EM_SETSEL, 0, -1);
  }

  void OpenFind() {
    DWORD start = 0, end = 0;
    SendMessageW(Notes(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::string selected = ItemText(IDC_TE_NOTES);
    selected = end > start && end <= selected.size() ? selected.substr(start, end - start) : std::string();
    find_.Open(hwnd(), selected, false, [this](const ui::FindDialog::Request& r) { FindNext(r); });
  }

  void FindNext(const ui::FindDialog::Request& r) {
    if (r.action != ui::FindDialog::Action::kFindNext) return;
    HWND notes = Notes();
    DWORD start = 0, end = 0;
    SendMessageW(notes, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    size_t at = FindInNotes(ItemText(IDC_TE_NOTES), r.what, r.down ? end : start, r.down, r.matchCase);
    if (at == std::string::npos) {
      MessageBeep(MB_ICONEXCLAMATION);
      return;
    }
    SendMessageW(notes, EM_SETSEL, at, at + r.what.size());
    SendMessageW(notes, EM_SCROLLCARET, 0, 0);
  }

  void ShowCalendar() {
    RECT w;
    GetWindowRect(hwnd(), &w);
    calendar_.Show(hwnd(), POINT{w.left + 20, w.top + 40}, 0, 0, 0, [this](int day, int month, int year) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%02i/%02i/%04i", day, month, year);
      ShowDate(buf);
      dateTouched_ = true;
    });
  }

  const CAppUtil& app_;
  std::string caption_;
  std::string copy_;
  EditorValues values_;
  ui::StatusBar status_;
  ui::FindDialog find_;
  ui::CalendarDropDown calendar_;
  std::vector<std::pair<int, POINT>> panel_;
  std::string caps_ = "?", num_ = "?", layout_ = "?";
  bool panelOpen_ = false;
  bool filling_ = false;
  bool dateTouched_ = false;
  bool done_ = false;
  bool stored_ = false;
  bool emptyHeadline_ = false;
  std::string stored_line_;
};

}  // namespace

TaskEditResult EditTask(HWND owner, const CAppUtil& app, const std::string& caption,
                        const std::string& line) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  TaskEditor editor(app, caption, line);
  return editor.Run(owner);
}

void SetTaskEditorClock(std::function<Moment()> clock) {
  TheClock() = std::move(clock);
}

}  // namespace vm::tasks
