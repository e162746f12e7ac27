#include "shell/win/velmoria_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <optional>

#include "common/ask_dialogs.h"
#include "common/book_guard.h"
#include "common/calendar.h"
#include "shell/win/shell_resources.h"
#include "shell/win/unsaved_question.h"
#include "ui/dpi.h"
#include "ui/keyboard.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"
#include "ui/toolbar.h"

namespace vm::shell {

namespace {

// PropertySheetW's callback carries no data of ours: the sheet being made is kept here
// for the length of the call.
thread_local CVelmoriaSheet* tCreating = nullptr;

// The sheet's own buttons: OK, Cancel, Apply, Help.
constexpr int kOwnButtons[] = {IDOK, IDCANCEL, 0x3021 /* Apply */, IDHELP};

Rect ChildRect(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return Rect{r.left, r.top, r.right, r.bottom};
}

bool IsButton(HWND w) {
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  return lstrcmpiW(cls, L"Button") == 0;
}

class WaitWindow : public ui::Dialog {
 public:
  WaitWindow() : ui::Dialog(IDD_WAIT) {}
};

}  // namespace

namespace {
std::vector<BookCalls*> CallsOf(const std::vector<std::unique_ptr<BookPage>>& pages) {
  std::vector<BookCalls*> calls;
  for (const auto& p : pages) calls.push_back(p.get());
  return calls;
}
}  // namespace

CVelmoriaSheet::CVelmoriaSheet(const CAppUtil& app, std::vector<std::unique_ptr<BookPage>> pages, HWND parent)
    : app_(app), parent_(parent), pages_(std::move(pages)), books_(CallsOf(pages_)), everywhere_(CallsOf(pages_)) {
  caption_ = app_.DateTitle();
  bigIcon_.reset(ui::LoadIconResource(IDI_VELMORIA, GetSystemMetrics(SM_CXICON)));
  smallIcon_.reset(ui::LoadIconResource(IDI_VELMORIA, GetSystemMetrics(SM_CXSMICON)));
  trayIcon_.reset(ui::LoadIconResource(IDI_VELMORIA, GetSystemMetrics(SM_CXSMICON)));
  hideAtStart_ = app_.GetNumber("GENERAL", "HIDE");
}

CVelmoriaSheet::~CVelmoriaSheet() {
  if (findWindow_ && findWindow_->hwnd()) DestroyWindow(findWindow_->hwnd());
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

// What each exit step means for this window; sheet_rules decides the order.
class CVelmoriaSheet::Steps : public ExitSteps {
 public:
  explicit Steps(CVelmoriaSheet& sheet) : s_(sheet) {}
  // A run that ends by another way than RequestExit (the end of the logon, the
  // loop's end) still saves and asks; one that came through it has done both.
  void SaveAll() override {
    if (!s_.exitSettled_) s_.SaveAllSettled();
  }
  void DeleteCaptionFont() override { s_.captionFont_.reset(); }
  void SavePlacement() override { s_.SavePlacement(); }
  void StopTimer() override { KillTimer(s_.hwnd_, kSheetTimerId); }
  void RemoveTrayIcon() override { s_.tray_.RemoveIcon(); }

 private:
  CVelmoriaSheet& s_;
};

// ---- the modal run ---------------------------------------------------------------------------

int CVelmoriaSheet::DoModal() {
  if (!Create()) return 1;
  MSG msg{};
  int code = 0;
  while (Continue()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      code = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    Process(msg);
  }
  Finish();
  return code;
}

bool CVelmoriaSheet::Create() {
  std::vector<PROPSHEETPAGEW> pages;
  for (auto& p : pages_) pages.push_back(p->Describe());
  std::wstring caption = ui::Wide(caption_);
  PROPSHEETHEADERW h{};
  h.dwSize = sizeof h;
  h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  h.hwndParent = parent_;
  h.hInstance = GetModuleHandleW(nullptr);
  h.pszCaption = caption.c_str();
  h.nPages = static_cast<UINT>(pages.size());
  h.ppsp = pages.data();
  h.pfnCallback = &CVelmoriaSheet::SheetCallback;
  tCreating = this;
  INT_PTR made = PropertySheetW(&h);
  tCreating = nullptr;
  if (made <= 0 || !hwnd_) return false;
  RunSetup();
  splash_.Raise();
  return true;
}

int CALLBACK CVelmoriaSheet::SheetCallback(HWND hwnd, UINT msg, LPARAM lp) {
  CVelmoriaSheet* self = tCreating;
  if (msg == PSCB_PRECREATE && lp) {
    // A sizing border, a system menu and a maximise box, but no minimise box: the
    // window goes to the notification area instead. It starts hidden; set-up shows it.
    auto* words = reinterpret_cast<WORD*>(lp);
    DWORD* style = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DWORD*>(words);
    *style |= WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX;
    *style &= ~(WS_MINIMIZEBOX | WS_VISIBLE | DS_CONTEXTHELP);
  } else if (msg == PSCB_INITIALIZED && self) {
    self->hwnd_ = hwnd;
    self->hook_.Attach(hwnd, [self](HWND, UINT m, WPARAM w, LPARAM l) { return self->Handle(m, w, l); });
    ui::Guarded(
        [&] {
          // The window exists: the splash picture shows now, when start-up enabled it.
          if (self->splashEnabled_) self->splash_.Show(hwnd);
          // No page has been made yet: the sheet makes its first page after this call.
          self->SetUpBeforePages();
        },
        [] {});
  }
  return 0;
}

// Steps 1-3 run before any page is made, so a page's set-up finds the timer, the
// general defaults and the tray icon in place.
void CVelmoriaSheet::SetUpBeforePages() {
  // 1. The one timer of the system; coalescable where the system offers it.
  using Coalescable = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
  FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer");
  auto setCoalescable = reinterpret_cast<Coalescable>(reinterpret_cast<void*>(found));
  if (!setCoalescable || !setCoalescable(hwnd_, kSheetTimerId, kSheetTimerMs, nullptr, 0))
    SetTimer(hwnd_, kSheetTimerId, kSheetTimerMs, nullptr);
  // 2. "LAST" and "AUTOSAVE" default to on.
  EnsureGeneralDefaults(app_);
  // 3. The tooltip keeps this date; it is not renewed when the day changes.
  tray_.AddIcon(hwnd_, kTrayCallbackMessage, app_.DateTitle(), trayIcon_.get(), IDR_TRAY_MENU);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
}

void CVelmoriaSheet::RunSetup() {
  // 4. The property sheet's own set-up ran inside PropertySheetW; it leaves the
  // window centred in the work area (a saved placement moves it at step 9).
  CenterInWorkArea();
  // 5. The bottom caption's font; the window icon, large and small.
  MakeCaptionFont();
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  // 6. Room for the bottom caption; this size is also the smallest one.
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  Rect grown = GrowByMenuBar(Rect{wr.left, wr.top, wr.right, wr.bottom}, GetSystemMetrics(SM_CYMENU));
  SetWindowPos(hwnd_, nullptr, 0, 0, grown.width(), grown.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  initialSize_ = SIZE{grown.width(), grown.height()};
  dpi_ = ui::DpiOf(hwnd_);
  RECT cr;
  GetClientRect(hwnd_, &cr);
  client_.Start(cr.right, cr.bottom);
  // 7. Tab icons; the tasks page is made once so its file is loaded before the first tick.
  MakeTabImages();
  HWND tabs = tabControl();
  for (int i = 0; i < kTabCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = i;
    TabCtrl_SetItem(tabs, i, &item);
    if (i == kTasksTab) ActivateTab(kTasksTab);
  }
  // 8. The spreadsheet page, then the tab of the last run.
  ActivateTab(kTabCount - 2);
  ActivateTab(StartTab(app_.GetSetting("PLACEMENT", "TAB")));
  // 9.
  RestorePlacement();
  // 10.
  accel_.reset(ui::LoadAccelResource(IDR_SHEET_ACCEL));
  // 11. The user types Russian first.
  ui::ActivateLayout(kRussianLanguage);
}

// The tab icons at the screen's scale: 16, 24 or 32 pixels, each from its own picture.
void CVelmoriaSheet::MakeTabImages() {
  int ids[kTabCount];
  for (int i = 0; i < kTabCount; ++i) ids[i] = kTabs[i].iconId;
  ui::UniqueImageList old = std::move(tabImages_);  // the tabs hold it until they have the new one
  tabImages_.reset(ui::IconList(ids, kTabCount, ui::IconSize(hwnd_)));
  TabCtrl_SetImageList(tabControl(), tabImages_.get());
}

// The bottom caption's font, 16 pixels high at 100 %.
void CVelmoriaSheet::MakeCaptionFont() {
  captionFont_.reset(CreateFontW(ui::FontHeight(hwnd_, 16), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, RUSSIAN_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                 L"Arial Cyr"));
}

// The window went to a monitor of another scale (or the scale changed): it takes the
// place the system suggests, and what is drawn at a fixed size is made again; the
// pages lay themselves out again at the new size.
void CVelmoriaSheet::OnDpiChanged(int dpi, const RECT& suggested) {
  // The smallest size is the first one, in the new scale's pixels.
  if (dpi > 0 && dpi_ > 0) {
    initialSize_.cx = MulDiv(initialSize_.cx, dpi, dpi_);
    initialSize_.cy = MulDiv(initialSize_.cy, dpi, dpi_);
    dpi_ = dpi;
  }
  MakeTabImages();
  MakeCaptionFont();
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM) -> BOOL {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, TOOLBARCLASSNAMEW) == 0) SendMessageW(child, ui::Toolbar::RescaleMessage(), 0, 0);
        return TRUE;
      },
      0);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitActivePage();
  // Every page made so far lays out again at its size, now in the new scale's pixels.
  for (auto& p : pages_)
    if (HWND page = p->hwnd()) {
      RECT r;
      GetClientRect(page, &r);
      SendMessageW(page, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
    }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CVelmoriaSheet::Process(MSG& msg) {
  // The pre-translation is this loop's window procedure: an exception from a page's
  // keys is reported as a procedure's would be, and that message goes no further.
  if (ui::Guarded([&] { return splash_.FilterMessage(msg) || PreTranslate(msg); }, [] { return true; }))
    return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool CVelmoriaSheet::PreTranslate(MSG& msg) {
  if (!hwnd_) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return OwnedDialogKeys(msg);
  // The page on show sees its keys first.
  int active = ActiveTab();
  if (active >= 0 && active < pageCount() && pages_[active]->PreTranslate(msg)) return true;
  if (accel_ && TranslateAcceleratorW(hwnd_, accel_.get(), &msg)) return true;
  if (msg.message == WM_KEYDOWN) {
    KeyVerdict v = DecideKey(static_cast<int>(msg.wParam), ActiveTab(),
                             [this] { return app_.GetFlag("GENERAL", "ESC"); });
    switch (v) {
      case KeyVerdict::kHide:
        HideToTray();
        return true;
      case KeyVerdict::kToFocus:
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
      case KeyVerdict::kSwallow:
        return true;
      case KeyVerdict::kAskClose: AskClose(); return true;
      case KeyVerdict::kStandard:
        break;
    }
  }
  return PropSheet_IsDialogMessage(hwnd_, &msg) != FALSE;
}

// A page's modeless dialog (find, replace) is a window of its own that the sheet owns;
// this loop is the only one it has, so its Tab, Enter and Esc are given here.
bool CVelmoriaSheet::OwnedDialogKeys(MSG& msg) {
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (!root || root == hwnd_ || GetWindow(root, GW_OWNER) != hwnd_) return false;
  wchar_t cls[16] = {};
  GetClassNameW(root, cls, 16);
  if (lstrcmpW(cls, L"#32770") != 0) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

bool CVelmoriaSheet::Continue() {
  if (!hwnd_ || ending_) return false;
  if (!PropSheet_GetCurrentPageHwnd(hwnd_)) return false;
  HideOwnButtons();
  return true;
}

void CVelmoriaSheet::HideOwnButtons() {
  for (int id : kOwnButtons) {
    HWND b = GetDlgItem(hwnd_, id);
    if (b && IsWindowVisible(b)) ShowWindow(b, SW_HIDE);
  }
}

void CVelmoriaSheet::Finish() {
  if (finished_ || !hwnd_) return;
  finished_ = true;
  Steps steps(*this);
  RunExitSequence(steps, app_);
  splash_.Close();
  DestroyWindow(hwnd_);
}

// ---- what the sheet does -----------------------------------------------------------------

void CVelmoriaSheet::SaveAll(bool automatic) {
  std::optional<guard::AutomaticSaves> quiet;
  if (automatic) quiet.emplace();
  WaitWindow wait;
  if (HWND w = wait.CreateModeless(hwnd_)) {
    ++waitShown_;
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
  }
  books_.SaveAll(app_.GetFlag("GENERAL", "AUTOSAVE"));
}

bool CVelmoriaSheet::SaveAllSettled() {
  SaveAll();
  return SettleUnsaved(books_, app_.GetFlag("GENERAL", "AUTOSAVE"),
                       [this](const UnsavedBook& book) { return AskUnsavedBook(hwnd_, book); });
}

bool CVelmoriaSheet::RequestExit() {
  if (ending_ || !hwnd_) return true;
  if (!SaveAllSettled()) return false;
  exitSettled_ = true;
  ending_ = true;
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  return true;
}

void CVelmoriaSheet::HideToTray() {
  ShowWindow(hwnd_, SW_HIDE);
  tray_.ShowIcon();
  SavePlacement();
  SaveAll();
}

void CVelmoriaSheet::AskClose() {
  if (!ui::AskYesNo(hwnd_, kCloseQuestion, ui::DefaultAnswer::kNo)) return;
  // The same way out as the tray's "Закрыть": a book whose save fails still asks.
  RequestExit();
}

void CVelmoriaSheet::SavePlacement() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(hwnd_, &wp)) return;
  const RECT& r = wp.rcNormalPosition;
  WritePlacement(app_, Rect{r.left, r.top, r.right, r.bottom}, ActiveTab(), IsZoomed(hwnd_) != FALSE);
}

void CVelmoriaSheet::RestorePlacement() {
  Placement p = ReadPlacement(app_);
  if (p.maximized) ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  if (p.hasRect) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd_, &wp);
    wp.rcNormalPosition = RECT{p.normal.left, p.normal.top, p.normal.right, p.normal.bottom};
    wp.showCmd = p.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    wp.flags = 0;
    SetWindowPlacement(hwnd_, &wp);
  } else if (!p.maximized) {
    // A hand-edited "MAX" = "1" without a rectangle keeps the window maximised.
    ShowWindow(hwnd_, SW_SHOWNORMAL);
  }
}

void CVelmoriaSheet::CenterInWorkArea() {
  RECT area, wr;
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return;
  GetWindowRect(hwnd_, &wr);
  int x = area.left + ((area.right - area.left) - (wr.right - wr.left)) / 2;
  int y = area.top + ((area.bottom - area.top) - (wr.bottom - wr.top)) / 2;
  SetWindowPos(hwnd_, nullptr, x > area.left ? x : area.left, y > area.top ? y : area.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CVelmoriaSheet::tabControl() const { return hwnd_ ? PropSheet_GetTabControl(hwnd_) : nullptr; }

int CVelmoriaSheet::ActiveTab() const {
  HWND tabs = tabControl();
  return tabs ? TabCtrl_GetCurSel(tabs) : -1;
}

void CVelmoriaSheet::ActivateTab(int index) {
  PropSheet_SetCurSel(hwnd_, nullptr, index);
  FitActivePage();
  // A change of page may show the sheet's own buttons again.
  HideOwnButtons();
}

// Pages are made when first shown; one made after the window was resized must still
// fill the tab control's display area.
void CVelmoriaSheet::FitActivePage() {
  HWND page = PropSheet_GetCurrentPageHwnd(hwnd_);
  HWND tabs = tabControl();
  if (!page || !tabs) return;
  RECT area;
  GetClientRect(tabs, &area);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  MapWindowPoints(tabs, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  Rect want{area.left, area.top, area.right, area.bottom};
  if (ChildRect(hwnd_, page) != want)
    SetWindowPos(page, nullptr, want.left, want.top, want.width(), want.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVelmoriaSheet::LayoutOnSize(int width, int height) {
  ClientTracker::Delta d;
  if (!client_.Resize(width, height, d)) return;
  std::vector<HWND> windows;
  std::vector<ChildBox> boxes;
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    windows.push_back(c);
    boxes.push_back(ChildBox{ChildRect(hwnd_, c), IsButton(c)});
  }
  std::vector<Rect> placed = LayoutChildren(boxes, d.dx, d.dy);
  HDWP defer = BeginDeferWindowPos(static_cast<int>(windows.size()));
  for (size_t i = 0; i < windows.size() && defer; ++i) {
    const Rect& r = placed[i];
    defer = DeferWindowPos(defer, windows[i], nullptr, r.left, r.top, r.width(), r.height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (defer) EndDeferWindowPos(defer);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void CVelmoriaSheet::Paint(HDC dc) {
  HWND tabs = tabControl();
  HWND help = GetDlgItem(hwnd_, IDHELP);
  const std::string& caption = diskNote_.empty() ? bottomCaption_ : diskNote_;
  if (!caption.empty() && tabs && help && captionFont_) {
    Rect r = CaptionRect(ChildRect(hwnd_, tabs), ChildRect(hwnd_, help));
    RECT rc{r.left, r.top, r.right, r.bottom};
    std::wstring text = ui::Wide(caption);
    ui::SelectGuard g(dc, captionFont_.get());
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS;
    RECT shifted = rc;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, format);
  }
  RECT client;
  GetClientRect(hwnd_, &client);
  Rect g = GripRect(Rect{client.left, client.top, client.right, client.bottom}, GetSystemMetrics(SM_CYHSCROLL),
                    GetSystemMetrics(SM_CXVSCROLL));
  RECT grip{g.left, g.top, g.right, g.bottom};
  DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void CVelmoriaSheet::Tick() {
  platform::LocalTime now = clock_ ? clock_() : platform::Now();
  {
    // A page's timed save is automatic: it never asks.
    guard::AutomaticSaves quiet;
    TickClock::Events e = tickClock_.Advance(now);
    books_.Tick(TickInfo{now, e.minuteChanged});
    if (e.dayChanged) {
      caption_ = TitleText(now.day, now.month, now.year);
      SetWindowTextW(hwnd_, ui::Wide(caption_).c_str());
      books_.DayChanged(now);
    }
  }
  // The books' files are looked at once a second: one attributes call each.
  if (now.second != pollSecond_) {
    pollSecond_ = now.second;
    PollDisk();
  }
}

void CVelmoriaSheet::PollDisk() {
  // Not while a question or a page's own dialog is up: a book is not loaded again
  // under an editor that holds one of its records.
  if (askingChanged_ || !hwnd_ || !IsWindowEnabled(hwnd_)) return;
  std::vector<DiskNews> news = books_.FilesChanged(guard::Poll());
  for (const DiskNews& n : news) {
    if (!n.page) {
      guard::Forget(n.path);  // a file the program wrote once and no page holds
      continue;
    }
    auto at = std::find(marked_.begin(), marked_.end(), n.page);
    if (n.change == DiskChange::kReloaded) {
      if (at != marked_.end()) marked_.erase(at);
      diskNote_ = guard::ReloadedNote(n.path);
    } else {
      if (at == marked_.end()) marked_.push_back(n.page);
      diskNote_ = guard::MarkedNote(n.path);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  AskMarkedOnShow();
}

// A page marked as changed on disk asks its question when the user looks at it: its
// save (the user's, not automatic) meets the changed file and the guard asks.
void CVelmoriaSheet::AskMarkedOnShow() {
  int active = ActiveTab();
  if (marked_.empty() || askingChanged_ || active < 0 || active >= pageCount() || !IsWindowVisible(hwnd_)) return;
  auto at = std::find(marked_.begin(), marked_.end(), static_cast<BookCalls*>(pages_[active].get()));
  if (at == marked_.end()) return;
  marked_.erase(at);
  askingChanged_ = true;
  pages_[active]->Save();
  askingChanged_ = false;
  diskNote_.clear();
  InvalidateRect(hwnd_, nullptr, TRUE);
  PollDisk();  // the answer may have the page load the file
}

void CVelmoriaSheet::OnReminderWindow(int code) {
  // 0 (the sticker's double click) only shows the window.
  if (code != 0 && code != kStickerShowSection && code != kStickerResend) return;
  if (code == kStickerShowSection) ActivateTab(kTasksTab);
  if (code != 0) books_.ReminderWindow(code);
  openedByUser_ = true;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
}

bool CVelmoriaSheet::OnCommand(int id) {
  switch (id) {
    case ID_TRAY_OPEN:
      openedByUser_ = true;
      RestorePlacement();
      return true;
    case ID_APP_EXIT:
      RequestExit();
      return true;
    case ID_HIDE_TO_TRAY:
      HideToTray();
      return true;
    case IDCANCEL:
      // The property sheet's own Cancel would end the program without a word.
      AskClose();
      return true;
    case ID_SAVE_ALL:
      SaveAll(false);
      return true;
    case ID_FIND_EVERYWHERE:
      OpenFindEverywhere();
      return true;
    case ID_HELP_FILE:
      // Help belongs to the page on show.
      if (HWND page = PropSheet_GetCurrentPageHwnd(hwnd_)) SendMessageW(page, WM_COMMAND, ID_HELP_FILE, 0);
      return true;
    default:
      return false;
  }
}

// ---- "Найти везде" ------------------------------------------------------------------------

void CVelmoriaSheet::OpenFindEverywhere() {
  if (!hwnd_) return;
  // A page loads its book when it is first shown: each page not yet made is shown once,
  // with the sheet's drawing held, and the page on show comes back.
  const int active = ActiveTab();
  bool made = false;
  for (int i = 0; i < pageCount(); ++i) {
    if (pages_[i]->hwnd()) continue;
    if (!made) SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    made = true;
    ActivateTab(i);
  }
  if (made) {
    ActivateTab(active);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  if (!findWindow_)
    findWindow_ = std::make_unique<FindEverywhereWindow>(everywhere_, [this](const FoundLine& line) {
      if (GoToFound(line))
        findWindow_->KeepClearOfFocus();
      else
        findWindow_->Open(hwnd_);  // the place went: the hits are renewed
    });
  findWindow_->Open(hwnd_);
}

bool CVelmoriaSheet::GoToFound(const FoundLine& line) {
  if (!hwnd_ || line.page >= pages_.size()) return false;
  if (!IsWindowVisible(hwnd_)) {
    openedByUser_ = true;
    RestorePlacement();
  }
  ActivateTab(static_cast<int>(line.page));
  SetForegroundWindow(hwnd_);
  return everywhere_.Show(line);
}

// ---- messages ----------------------------------------------------------------------------

LRESULT CVelmoriaSheet::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kSheetTimerId) {
        Tick();
        return 0;
      }
      break;
    case WM_POWERBROADCAST:
      // Back from sleep, or the clock was set: the reminder pass runs at once and
      // checks the minutes that went by meanwhile.
      if (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND) Tick();
      break;
    case WM_TIMECHANGE:
      Tick();
      break;
    case WM_PAINT: {
      Paint(ui::PaintGuard(hwnd_).dc());
      return 0;
    }
    case WM_SIZE: {
      LRESULT r = DefSubclassProc(hwnd_, msg, wp, lp);
      if (wp != SIZE_MINIMIZED) LayoutOnSize(LOWORD(lp), HIWORD(lp));
      return r;
    }
    case 0x02E0 /* WM_DPICHANGED */: {
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    }
    case WM_GETMINMAXINFO: {
      LRESULT r = DefSubclassProc(hwnd_, msg, wp, lp);
      if (initialSize_.cx > 0) {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize = POINT{initialSize_.cx, initialSize_.cy};
      }
      return r;
    }
    case WM_WINDOWPOSCHANGING:
      if (SuppressShow(openedByUser_, hideAtStart_)) reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~SWP_SHOWWINDOW;
      break;
    case WM_SHOWWINDOW:
      if (HideTrayIconOnShowHide(openedByUser_, hideAtStart_)) tray_.HideIcon();
      break;
    case WM_QUERYENDSESSION: {
      LRESULT r = DefSubclassProc(hwnd_, msg, wp, lp);
      if (!r) return r;
      Steps steps(*this);
      RunEndSession(steps, app_);
      return TRUE;
    }
    case WM_SYSCOMMAND: {
      UINT cmd = static_cast<UINT>(wp & 0xFFF0);
      if (cmd == SC_MAXIMIZE || cmd == SC_RESTORE) SavePlacement();
      break;
    }
    case WM_CLOSE:
      RequestExit();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == 0 || HIWORD(wp) == 1) {
        if (OnCommand(LOWORD(wp))) return 0;
      }
      break;
    case kTrayCallbackMessage: {
      UINT mouse = LOWORD(lp);
      if (TrayMouseOpens(static_cast<int>(mouse))) {
        openedByUser_ = true;
        RestorePlacement();
      }
      tray_.OnTrayMessage(static_cast<UINT>(wp), mouse);
      return 0;
    }
    case kReminderWindowMessage:
      OnReminderWindow(static_cast<int>(lp));
      return 0;
    case WM_NOTIFY: {
      UINT code = reinterpret_cast<NMHDR*>(lp)->code;
      std::optional<guard::AutomaticSaves> quiet;
      // The page left behind saves as it goes: automatically.
      if (code == static_cast<UINT>(TCN_SELCHANGING)) quiet.emplace();
      LRESULT r = DefSubclassProc(hwnd_, msg, wp, lp);
      quiet.reset();
      if (code == static_cast<UINT>(TCN_SELCHANGE)) {
        FitActivePage();
        AskMarkedOnShow();
      }
      return r;
    }
    case WM_DESTROY: {
      Steps steps(*this);
      RunDestroySequence(steps, app_);
      break;
    }
    case WM_NCDESTROY: {
      // The subclass has already gone; the message goes on to the sheet's own procedure.
      HWND h = hwnd_;
      hwnd_ = nullptr;
      return DefSubclassProc(h, msg, wp, lp);
    }
    default:
      if (taskbarCreated_ && msg == taskbarCreated_) {
        tray_.Restore();
        return 0;
      }
      break;
  }
  return DefSubclassProc(hwnd_, msg, wp, lp);
}

}  // namespace vm::shell
