// The main sheet built for real, driven by the messages and commands it answers.
#include "shell/win/velmoria_sheet.h"

#include <commctrl.h>
#include <prsht.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "common/app_util.h"
#include "common/calendar.h"
#include "shell/win/shell_resources.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/find_dialog.h"
#include "ui/handles.h"
#include "ui/question.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::shell {
namespace {

using vm::testing::Pump;
using vm::testing::PumpSheet;
using vm::testing::ScratchFolder;
using vm::testing::Slurp;
using vm::testing::Spit;

RECT ClientRectOf(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A key press as the keyboard delivers it: to the window with the focus, through the
// sheet's pre-translation.
void PressKey(CVelmoriaSheet& sheet, HWND target, int vk) {
  MSG msg{};
  msg.hwnd = target;
  msg.message = WM_KEYDOWN;
  msg.wParam = vk;
  msg.lParam = 1;
  sheet.Process(msg);
}

// Blank pages in tab order that write down what the sheet asks of them.
struct Journal {
  std::vector<std::string> lines;
  int throwOnKey = 0;  // a key whose pre-translation throws on every page

  class Page : public BlankBookPage {
   public:
    Page(Journal& j, int tab, const CAppUtil& app) : BlankBookPage(tab, app), j_(j), tab_(tab) {}
    std::optional<Book> book() const override {
      return tab_ == kAboutTab ? std::nullopt : std::optional<Book>(static_cast<Book>(tab_));
    }
    void Save() override { j_.lines.push_back(std::string("save ") + kNames[tab_]); }
    void DayChanged(const platform::LocalTime& t) override {
      if (tab_ == kDatesTab) j_.lines.push_back("day " + std::to_string(t.day));
    }
    bool ReminderWindow(int code) override {
      if (tab_ != kTasksTab) return false;
      j_.lines.push_back("sticker " + std::to_string(code));
      return true;
    }
    bool PreTranslate(MSG& msg) override {
      if (j_.throwOnKey && msg.message == WM_KEYDOWN && msg.wParam == static_cast<WPARAM>(j_.throwOnKey))
        throw std::runtime_error("page keys");
      return false;
    }

   private:
    static constexpr const char* kNames[] = {"data",     "contacts", "firms",       "dates",
                                             "notebook", "tasks",    "spreadsheet", "about"};
    Journal& j_;
    int tab_;
  };

  std::vector<std::unique_ptr<BookPage>> Pages(const CAppUtil& app) {
    std::vector<std::unique_ptr<BookPage>> pages;
    for (int i = 0; i < kTabCount; ++i) pages.push_back(std::make_unique<Page>(*this, i, app));
    return pages;
  }
};

class SheetTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override { MakeFolders({"Support", "Temp"}); }
  // The day's title: the one taken when the test began, or today's when midnight passed
  // while it ran.
  bool IsDayTitle(const std::string& text, const std::string& atStart) {
    return text == atStart || text == app_.DateTitle();
  }
};

TEST_F(SheetTest, EightTabsInOrderWithTheirIconsAndTheTitle) {
  const std::string dayTitle = app_.DateTitle();
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  EXPECT_TRUE(sheet.Continue());
  HWND tabs = sheet.tabControl();
  ASSERT_EQ(TabCtrl_GetItemCount(tabs), kTabCount);
  for (int i = 0; i < kTabCount; ++i) {
    SCOPED_TRACE(i);
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = 64;
    ASSERT_TRUE(TabCtrl_GetItem(tabs, i, &item));
    EXPECT_EQ(ui::Narrow(text), kTabs[i].caption);
    EXPECT_EQ(item.iImage, i);
  }
  EXPECT_EQ(ImageList_GetImageCount(TabCtrl_GetImageList(tabs)), kTabCount);

  wchar_t title[128] = {};
  GetWindowTextW(sheet.hwnd(), title, 128);
  EXPECT_TRUE(IsDayTitle(ui::Narrow(title), dayTitle)) << ui::Narrow(title);
  LONG style = GetWindowLongW(sheet.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021}) {
    HWND b = GetDlgItem(sheet.hwnd(), id);
    if (b) {
      EXPECT_FALSE(IsWindowVisible(b)) << id;
    }
  }
  vm::testing::LookPause("sheet on its first tab", [&](MSG& m) {
    sheet.Process(m);
    sheet.Continue();
  });
}

TEST_F(SheetTest, SetupWritesDefaultsMakesTheTasksPageAndRestoresThePlacement) {
  struct Case {
    const char* name;
    const char* tab;
    bool rect;
    const char* max;
    int activeTab;
  } cases[] = {
      {"first start", nullptr, false, nullptr, 0},
      {"saved tab and rectangle", "3", true, "0", 3},
      {"maximised", "7", true, "1", 7},
      {"a tab out of range", "12", false, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder dir;
    const CAppUtil app(dir.path(), "Velmoria");
    if (c.tab) app.PutSetting("PLACEMENT", "TAB", c.tab);
    if (c.rect) {
      app.PutNumber("PLACEMENT", "LEFT", 40);
      app.PutNumber("PLACEMENT", "TOP", 30);
      app.PutNumber("PLACEMENT", "RIGHT", 760);
      app.PutNumber("PLACEMENT", "BOTTOM", 560);
    }
    if (c.max) app.PutSetting("PLACEMENT", "MAX", c.max);
    vm::testing::ProgramSheet sheet(app);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(app.GetSetting("GENERAL", "LAST"), "1");
    EXPECT_EQ(app.GetSetting("GENERAL", "AUTOSAVE"), "1");
    EXPECT_NE(sheet.page(kTasksTab).hwnd(), nullptr) << "the tasks page is made at set-up";
    EXPECT_NE(sheet.page(kSpreadsheetTab).hwnd(), nullptr);
    EXPECT_EQ(sheet.ActiveTab(), c.activeTab);
    EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
    bool maximised = c.max && std::string(c.max) == "1";
    EXPECT_EQ(IsZoomed(sheet.hwnd()) != FALSE, maximised);
    if (c.rect) {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof wp;
      GetWindowPlacement(sheet.hwnd(), &wp);
      EXPECT_TRUE(SameRect(wp.rcNormalPosition, RECT{40, 30, 760, 560}));
    }
  }
}

// What the sheet had done by the time its first page was made, seen from a hook on
// window creation.
struct FirstPageSeen {
  bool seen = false;
  std::string last, autosave;
  bool timerRunning = false;
  bool trayIconAdded = false;
};
CVelmoriaSheet* tWatchedSheet = nullptr;
FirstPageSeen* tFirstPage = nullptr;

bool IsDialogClass(LPCWSTR cls) {
  if (IS_INTRESOURCE(cls)) return reinterpret_cast<ULONG_PTR>(cls) == 0x8002;
  return lstrcmpiW(cls, L"#32770") == 0;
}

LRESULT CALLBACK WatchFirstPage(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && tFirstPage && !tFirstPage->seen && tWatchedSheet->hwnd()) {
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs;
    if (cs->hwndParent == tWatchedSheet->hwnd() && IsDialogClass(cs->lpszClass)) {
      tFirstPage->seen = true;
      const CAppUtil& app = tWatchedSheet->app();
      tFirstPage->last = app.GetSetting("GENERAL", "LAST");
      tFirstPage->autosave = app.GetSetting("GENERAL", "AUTOSAVE");
      HWND sheet = tWatchedSheet->hwnd();
      // A running timer can only be seen by stopping it; it is started again at once.
      tFirstPage->timerRunning = KillTimer(sheet, kSheetTimerId) != FALSE;
      if (tFirstPage->timerRunning) SetTimer(sheet, kSheetTimerId, kSheetTimerMs, nullptr);
      tFirstPage->trayIconAdded = tWatchedSheet->tray().created();
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// A page may read "GENERAL"/"LAST" at its own set-up, so the timer, the defaults and
// the tray icon come before the first page is made.
TEST_F(SheetTest, FirstStepsOfSetUpRunBeforeAnyPageIsMade) {
  vm::testing::ProgramSheet sheet(app_);
  FirstPageSeen seen;
  tWatchedSheet = &sheet;
  tFirstPage = &seen;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &WatchFirstPage, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  bool created = sheet.Create();
  UnhookWindowsHookEx(hook);
  tFirstPage = nullptr;
  tWatchedSheet = nullptr;
  ASSERT_TRUE(created);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.last, "1");
  EXPECT_EQ(seen.autosave, "1");
  EXPECT_TRUE(seen.timerRunning);
  EXPECT_TRUE(seen.trayIconAdded);
}

TEST_F(SheetTest, PlacementRoundTripIncludingMaximised) {
  RECT normal{};
  {
    vm::testing::ProgramSheet sheet(app_);
    ASSERT_TRUE(sheet.Create());
    SetWindowPos(sheet.hwnd(), nullptr, 70, 60, sheet.initialSize().cx + 90, sheet.initialSize().cy + 40,
                 SWP_NOZORDER);
    sheet.ActivateTab(kFirmsTab);
    WINDOWPLACEMENT wp{};
      wp.length = sizeof wp;
    GetWindowPlacement(sheet.hwnd(), &wp);
    normal = wp.rcNormalPosition;
    ShowWindow(sheet.hwnd(), SW_MAXIMIZE);
    sheet.SavePlacement();
    EXPECT_EQ(app_.GetSetting("PLACEMENT", "MAX"), "1");
    EXPECT_EQ(app_.GetSetting("PLACEMENT", "TAB"), "2");
    EXPECT_EQ(app_.GetNumber("PLACEMENT", "LEFT"), normal.left);
    EXPECT_EQ(app_.GetNumber("PLACEMENT", "TOP"), normal.top);
    EXPECT_EQ(app_.GetNumber("PLACEMENT", "RIGHT"), normal.right);
    EXPECT_EQ(app_.GetNumber("PLACEMENT", "BOTTOM"), normal.bottom);
  }
  vm::testing::ProgramSheet again(app_);
  ASSERT_TRUE(again.Create());
  EXPECT_TRUE(IsZoomed(again.hwnd()));
  EXPECT_EQ(again.ActiveTab(), kFirmsTab);
  ShowWindow(again.hwnd(), SW_RESTORE);  // restoring returns to the saved rectangle
  RECT now;
  GetWindowRect(again.hwnd(), &now);
  EXPECT_TRUE(SameRect(now, normal)) << now.left << "," << now.top << " " << now.right << "," << now.bottom;
}

TEST_F(SheetTest, SmallestSizeIsTheInitialSizeOneMenuBarTaller) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  SIZE initial = sheet.initialSize();
  RECT wr;
  GetWindowRect(sheet.hwnd(), &wr);
  EXPECT_EQ(initial.cx, wr.right - wr.left);
  EXPECT_EQ(initial.cy, wr.bottom - wr.top);
  MINMAXINFO mmi{};
  SendMessageW(sheet.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, initial.cx);
  EXPECT_EQ(mmi.ptMinTrackSize.y, initial.cy);
  // The bottom caption row lies below the tab control, in the hidden buttons' row.
  RECT tab = ClientRectOf(sheet.hwnd(), sheet.tabControl());
  RECT help = ClientRectOf(sheet.hwnd(), GetDlgItem(sheet.hwnd(), IDHELP));
  EXPECT_GE(help.top, tab.bottom);
}

TEST_F(SheetTest, SizingMovesButtonsAndGrowsTabsAndPages) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  HWND w = sheet.hwnd();
  HWND tabs = sheet.tabControl();
  HWND help = GetDlgItem(w, IDHELP);
  HWND page = sheet.page(kDataTab).hwnd();
  RECT tab0 = ClientRectOf(w, tabs), help0 = ClientRectOf(w, help), page0 = ClientRectOf(w, page);
  SetWindowPos(w, nullptr, 0, 0, sheet.initialSize().cx + 120, sheet.initialSize().cy + 70,
               SWP_NOMOVE | SWP_NOZORDER);
  RECT tab1 = ClientRectOf(w, tabs), help1 = ClientRectOf(w, help), page1 = ClientRectOf(w, page);
  EXPECT_TRUE(SameRect(tab1, RECT{tab0.left, tab0.top, tab0.right + 120, tab0.bottom + 70}));
  EXPECT_TRUE(SameRect(help1, RECT{help0.left + 120, help0.top + 70, help0.right + 120, help0.bottom + 70}));
  EXPECT_TRUE(SameRect(page1, RECT{page0.left, page0.top, page0.right + 120, page0.bottom + 70}));

  // A page made after the resize fills the tab control's display area all the same.
  ASSERT_EQ(sheet.page(kContactsTab).hwnd(), nullptr);
  sheet.ActivateTab(kContactsTab);
  EXPECT_TRUE(SameRect(ClientRectOf(w, sheet.page(kContactsTab).hwnd()), page1));
  vm::testing::LookPause("sheet made larger", [&](MSG& m) {
    sheet.Process(m);
    sheet.Continue();
  });
}

TEST_F(SheetTest, F12HidesToTheTrayAndSavesAndAClickBringsItBack) {
  Journal j;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  ASSERT_TRUE(sheet.Create());
  EXPECT_FALSE(sheet.tray().shown()) << "no tray icon while the window shows";
  PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_F12);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.tray().shown());
  EXPECT_EQ(app_.GetSetting("PLACEMENT", "TAB"), "0");
  EXPECT_EQ(j.lines, (std::vector<std::string>{"save contacts", "save firms", "save data", "save notebook",
                                               "save tasks", "save spreadsheet"}));
  EXPECT_EQ(sheet.waitWindowsShown(), 1);

  SendMessageW(sheet.hwnd(), kTrayCallbackMessage, IDR_TRAY_MENU, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.openedByUser());
  EXPECT_FALSE(sheet.tray().shown());

  // The tool-bar commands of every page do the same.
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_HIDE_TO_TRAY, 0);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_TRAY_OPEN, 0);
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  // A double click sends the menu's first command, "Открыть", as well.
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_HIDE_TO_TRAY, 0);
  SendMessageW(sheet.hwnd(), kTrayCallbackMessage, IDR_TRAY_MENU, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  // Messages for another icon id are not the sheet's icon's.
  EXPECT_FALSE(sheet.tray().OnTrayMessage(IDR_TRAY_MENU + 1, WM_LBUTTONUP));
}

// The sheet's loop asks the page first; an exception there is reported as a window
// procedure's is, the key goes no further, and the loop goes on.
TEST_F(SheetTest, AnExceptionInAPagesKeysIsReportedAndTheRunGoesOn) {
  Journal j;
  j.throwOnKey = VK_F12;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  ASSERT_TRUE(sheet.Create());
  vm::testing::CapturedMessages shown;
  PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_F12);
  EXPECT_EQ(shown.texts(), std::vector<std::string>{"Внутренняя ошибка: page keys"});
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd())) << "F12 did not go on to hide the window";
  EXPECT_TRUE(sheet.Continue());
  j.throwOnKey = 0;
  PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_F12);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
}

TEST_F(SheetTest, EscHidesOnlyWithTheSettingAndEnterReachesOnlyNotebookAndTasks) {
  struct Case {
    const char* esc;
    bool hides;
  } cases[] = {{nullptr, false}, {"0", false}, {"1", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.esc ? c.esc : "absent");
    if (c.esc) app_.PutSetting("GENERAL", "ESC", c.esc);
    vm::testing::ProgramSheet sheet(app_);
    ASSERT_TRUE(sheet.Create());
    std::vector<std::string> asked;
    bool answer = false;
    ui::SetQuestionHook([&](const std::string& q) {
      asked.push_back(q);
      return answer;
    });
    PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_ESCAPE);
    EXPECT_EQ(!IsWindowVisible(sheet.hwnd()), c.hides);
    // Without the setting Esc asks before the program ends; No keeps it running.
    EXPECT_TRUE(sheet.Continue());
    EXPECT_EQ(asked, c.hides ? std::vector<std::string>{}
                             : std::vector<std::string>{"Закрыть Velmoria? Напоминания не будут работать."});
    if (!c.hides) {
      answer = true;
      PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_ESCAPE);
      EXPECT_FALSE(sheet.Continue());
    }
    ui::SetQuestionHook(nullptr);
  }

  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  struct EnterCase {
    int tab;
    bool reaches;
  } enters[] = {{kNotebookTab, true},
                {kTasksTab, true},
                {kAboutTab, false},
                // The card pages send Enter to the box that has it themselves, ahead of the
                // sheet's rule: their address and comment boxes take new lines.
                {kContactsTab, true},
                // So does the data page: Enter ends an in-place edit or goes to its filters.
                {kDataTab, true}};
  for (const EnterCase& e : enters) {
    SCOPED_TRACE(e.tab);
    sheet.ActivateTab(e.tab);
    HWND page = sheet.page(e.tab).hwnd();
    ui::UniqueWindow edit(CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 5, 5,
                                          200, 60, page, nullptr, GetModuleHandleW(nullptr), nullptr));
    SetFocus(edit.get());
    PressKey(sheet, edit.get(), VK_RETURN);
    PumpSheet(sheet, 50);
    EXPECT_EQ(GetWindowTextLengthW(edit.get()) > 0, e.reaches);
    EXPECT_TRUE(sheet.Continue()) << "Enter never presses the sheet's default button";
  }
}

TEST_F(SheetTest, SaveAllFollowsAutosave) {
  struct Case {
    const char* autosave;
    std::vector<std::string> saves;
  } cases[] = {
      {"0", {"save contacts", "save firms"}},
      {"1", {"save contacts", "save firms", "save data", "save notebook", "save tasks", "save spreadsheet"}},
  };
  Journal j;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  ASSERT_TRUE(sheet.Create());
  for (const Case& c : cases) {
    app_.PutSetting("GENERAL", "AUTOSAVE", c.autosave);
    j.lines.clear();
    SendMessageW(sheet.hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
    EXPECT_EQ(j.lines, c.saves) << c.autosave;
  }
  EXPECT_EQ(sheet.waitWindowsShown(), 2);
  EXPECT_TRUE(vm::testing::ThreadWindows(L"#32770").size() >= 1);  // the sheet; the wait window is gone
  for (HWND w : vm::testing::ThreadWindows(L"#32770")) EXPECT_TRUE(w == sheet.hwnd() || !IsWindowVisible(w));
}

TEST_F(SheetTest, ExitSavesStoresPlacementEmptiesTempAndKeepsItsFolders) {
  platform::MakeDir(dir_ / "Temp\\reports");
  Spit(dir_ / "Temp\\VisitRep.html", "<html/>");
  Spit(dir_ / "Temp\\reports\\AlarmRep.txt", "x");
  Journal j;
  {
    CVelmoriaSheet sheet(app_, j.Pages(app_));
    ASSERT_TRUE(sheet.Create());
    sheet.ActivateTab(kDatesTab);
    PostMessageW(sheet.hwnd(), WM_CLOSE, 0, 0);  // what a newer copy does
    PumpSheet(sheet, 30);
    EXPECT_FALSE(sheet.Continue());
    sheet.Finish();
    EXPECT_EQ(sheet.hwnd(), nullptr);
    EXPECT_FALSE(sheet.tray().created());
  }
  std::vector<std::string> saves;
  for (const std::string& line : j.lines)
    if (line.rfind("save ", 0) == 0) saves.push_back(line);
  EXPECT_EQ(saves, (std::vector<std::string>{"save contacts", "save firms", "save data", "save notebook",
                                             "save tasks", "save spreadsheet"}));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\VisitRep.html"));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\reports\\AlarmRep.txt"));
  EXPECT_TRUE(platform::DirExists(dir_ / "Temp\\reports"));
  EXPECT_EQ(app_.GetSetting("GENERAL", "FIRST"), "0");
  EXPECT_EQ(app_.GetSetting("PLACEMENT", "TAB"), "3");
  EXPECT_FALSE(app_.GetSetting("PLACEMENT", "RIGHT").empty());
}

TEST_F(SheetTest, TrayCloseCommandEndsTheRun) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_FALSE(sheet.Continue());
}

TEST_F(SheetTest, EndOfLogonWritesFirstAndSaves) {
  Journal j;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  ASSERT_TRUE(sheet.Create());
  EXPECT_EQ(SendMessageW(sheet.hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(app_.GetSetting("GENERAL", "FIRST"), "0");
  EXPECT_EQ(j.lines.size(), 6u);
}

TEST_F(SheetTest, TheDayChangeRenewsTheCaptionButNotTheTooltip) {
  const std::string dayTitle = app_.DateTitle();
  platform::LocalTime now;
  now.year = 2026, now.month = 12, now.day = 31, now.hour = 23, now.minute = 59;
  Journal j;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  sheet.SetClock([&] { return now; });
  ASSERT_TRUE(sheet.Create());
  std::wstring tooltip = sheet.tray().tooltip();
  auto caption = [&] {
    wchar_t t[128] = {};
    GetWindowTextW(sheet.hwnd(), t, 128);
    return ui::Narrow(t);
  };
  SendMessageW(sheet.hwnd(), WM_TIMER, kSheetTimerId, 0);  // the first tick always renews
  EXPECT_EQ(caption(), TitleText(31, 12, 2026));
  now.day = 1, now.month = 1, now.year = 2027, now.hour = 0, now.minute = 0;
  SendMessageW(sheet.hwnd(), WM_TIMER, kSheetTimerId, 0);
  EXPECT_EQ(caption(), TitleText(1, 1, 2027));
  EXPECT_EQ(caption(), "Velmoria - 1 января 2027  Пт  1 нд.");
  SendMessageW(sheet.hwnd(), WM_TIMER, kSheetTimerId, 0);
  EXPECT_EQ(j.lines, (std::vector<std::string>{"day 31", "day 1"}));
  EXPECT_EQ(sheet.tray().tooltip(), tooltip);
  EXPECT_TRUE(IsDayTitle(ui::Narrow(tooltip), dayTitle)) << ui::Narrow(tooltip);
}

TEST_F(SheetTest, HiddenAtStartStaysInTheTrayUntilOpened) {
  app_.PutSetting("GENERAL", "HIDE", "1");
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.tray().shown());
  ShowWindow(sheet.hwnd(), SW_SHOW);  // every attempt to show it is dropped
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.tray().shown());

  SendMessageW(sheet.hwnd(), kTrayCallbackMessage, IDR_TRAY_MENU, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  EXPECT_FALSE(sheet.tray().shown());
  PressKey(sheet, sheet.hwnd(), VK_F12);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.tray().shown());
}

TEST_F(SheetTest, ReminderWindowMessagesOpenTheTasksPage) {
  app_.PutSetting("GENERAL", "HIDE", "1");
  Journal j;
  CVelmoriaSheet sheet(app_, j.Pages(app_));
  ASSERT_TRUE(sheet.Create());
  SendMessageW(sheet.hwnd(), kReminderWindowMessage, 0, 99);  // not a code of the reminder window
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  SendMessageW(sheet.hwnd(), kReminderWindowMessage, 0, kStickerShowSection);
  EXPECT_EQ(sheet.ActiveTab(), kTasksTab);
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  EXPECT_TRUE(sheet.openedByUser());
  sheet.ActivateTab(kDataTab);
  SendMessageW(sheet.hwnd(), kReminderWindowMessage, 0, kStickerResend);
  EXPECT_EQ(sheet.ActiveTab(), kDataTab);
  EXPECT_EQ(j.lines, (std::vector<std::string>{"sticker 16", "sticker 32"}));
}

TEST_F(SheetTest, TrayMenuItems) {
  ui::UniqueMenu menu(ui::LoadMenuResource(IDR_TRAY_MENU));
  ASSERT_TRUE(menu);
  HMENU sub = GetSubMenu(menu.get(), 0);
  ASSERT_EQ(GetMenuItemCount(sub), 6);
  auto text = [&](int i) {
    wchar_t buf[64] = {};
    GetMenuStringW(sub, i, buf, 64, MF_BYPOSITION);
    return ui::Narrow(buf);
  };
  EXPECT_EQ(text(0), "Открыть");
  EXPECT_EQ(GetMenuItemID(sub, 0), static_cast<UINT>(ID_TRAY_OPEN));
  EXPECT_EQ(text(1), "Найти везде…");
  EXPECT_EQ(GetMenuItemID(sub, 1), static_cast<UINT>(ID_FIND_EVERYWHERE));
  EXPECT_TRUE(GetMenuState(sub, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(sub, 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_FALSE(text(3).empty());
  EXPECT_TRUE(GetMenuState(sub, 4, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(text(5), "Закрыть");
  EXPECT_EQ(GetMenuItemID(sub, 5), static_cast<UINT>(ID_APP_EXIT));
}

// The right-click menu runs its own modal loop; a timer inside it reads the menu on
// screen and closes it, so the test never waits for a user.
TEST_F(SheetTest, RightClickShowsTheTrayMenuWithOpenAsDefault) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  static std::vector<std::string> seen;
  static int defaultItem;
  seen.clear();
  defaultItem = -2;
  UINT_PTR timer = SetTimer(nullptr, 0, 150, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (HWND popup : vm::testing::ThreadWindows(L"#32768")) {
      HMENU m = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
      if (!m) continue;
      for (int i = 0; i < GetMenuItemCount(m); ++i) {
        wchar_t buf[64] = {};
        GetMenuStringW(m, i, buf, 64, MF_BYPOSITION);
        seen.push_back(ui::Narrow(buf));
      }
      defaultItem = static_cast<int>(GetMenuDefaultItem(m, TRUE, 0));
    }
    EndMenu();
  });
  ASSERT_NE(timer, 0u);
  SendMessageW(sheet.hwnd(), kTrayCallbackMessage, IDR_TRAY_MENU, WM_RBUTTONUP);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], "Открыть");
  EXPECT_EQ(seen[5], "Закрыть");
  EXPECT_EQ(defaultItem, 0);
  EXPECT_TRUE(sheet.Continue());
}

namespace {
// A message box of this thread other than `except`, answered from a timer inside its own
// loop with Enter, which presses the default button: the one that has the focus.
struct DefaultAnswerer {
  static inline HWND except = nullptr;
  static inline std::string text;
  static inline int pressed = 0;
  static void CALLBACK Check(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND w : vm::testing::ThreadWindows(L"#32770")) {
      if (w == except || !IsWindowVisible(w) || pressed) continue;
      wchar_t buf[256] = {};
      GetDlgItemTextW(w, 0xFFFF, buf, 256);
      text = ui::Narrow(buf);
      HWND focus = GetFocus();
      if (!focus || !IsChild(w, focus)) continue;
      pressed = GetDlgCtrlID(focus);
      PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
    }
  }
};
}  // namespace

TEST_F(SheetTest, TheSheetsCancelAsksWithNoAsTheDefaultAnswer) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  DefaultAnswerer::except = sheet.hwnd();
  DefaultAnswerer::pressed = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &DefaultAnswerer::Check);
  // The Cancel the property sheet sends itself, as its dialog manager does for Esc.
  SendMessageW(sheet.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  KillTimer(nullptr, timer);
  EXPECT_EQ(DefaultAnswerer::text, "Закрыть Velmoria? Напоминания не будут работать.");
  EXPECT_EQ(DefaultAnswerer::pressed, IDNO);
  EXPECT_TRUE(sheet.Continue());
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
}

TEST_F(SheetTest, APagesFindDialogGetsTabEnterAndEscFromTheSheetsLoop) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  HWND page = sheet.page(kDataTab).hwnd();
  ui::SetQuestionHook([](const std::string&) { return false; });  // should Esc reach the sheet
  std::vector<ui::FindDialog::Action> got;
  ui::FindDialog find;
  ASSERT_TRUE(
      find.Open(page, "Иванов", false, [&](const ui::FindDialog::Request& r) { got.push_back(r.action); }));
  HWND dialog = find.hwnd();
  ASSERT_EQ(GetWindow(dialog, GW_OWNER), sheet.hwnd());
  HWND what = GetDlgItem(dialog, 0x480 /* edt1 */);
  SetFocus(what);
  PressKey(sheet, what, VK_TAB);
  EXPECT_NE(GetFocus(), what) << "Tab did not move on";
  EXPECT_TRUE(IsChild(dialog, GetFocus()));
  SetFocus(what);
  PressKey(sheet, what, VK_RETURN);  // "Найти далее"
  vm::testing::PumpPending();
  EXPECT_EQ(got, std::vector<ui::FindDialog::Action>{ui::FindDialog::Action::kFindNext});
  EXPECT_TRUE(sheet.Continue());
  PressKey(sheet, what, VK_ESCAPE);  // closes the dialog, and only the dialog
  vm::testing::PumpPending();
  EXPECT_EQ(find.hwnd(), nullptr);
  EXPECT_EQ(got.back(), ui::FindDialog::Action::kClosed);
  EXPECT_TRUE(sheet.Continue());
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd()));
  ui::SetQuestionHook(nullptr);
}

TEST_F(SheetTest, SplashGoesAtTheFirstKeyWhichGoesNoFurther) {
  vm::testing::ProgramSheet sheet(app_);
  sheet.EnableSplash(true);
  app_.PutSetting("GENERAL", "ESC", "1");
  ASSERT_TRUE(sheet.Create());
  ASSERT_TRUE(sheet.splash().visible());
  PressKey(sheet, sheet.page(kDataTab).hwnd(), VK_ESCAPE);
  EXPECT_FALSE(sheet.splash().visible());
  EXPECT_TRUE(IsWindowVisible(sheet.hwnd())) << "the key that closed the splash did not hide the window";

  vm::testing::ProgramSheet timed(app_);
  timed.EnableSplash(true);
  ASSERT_TRUE(timed.Create());
  ASSERT_TRUE(timed.splash().visible());
  PumpSheet(timed, 900);
  EXPECT_FALSE(timed.splash().visible());
}

}  // namespace
}  // namespace vm::shell
