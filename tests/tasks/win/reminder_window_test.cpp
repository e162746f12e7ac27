// The reminder message window made for real: its texts, its layout with and without
// notes, one window per firing with its own close button, and the order of a firing's
// effects.
#include "tasks/win/reminder_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win/gui_support.h"
#include "tasks/win/tasks_resources.h"
#include "ui/text.h"

namespace vm::tasks {
namespace {

std::string WindowText(HWND w) {
  wchar_t buf[1024] = {};
  GetWindowTextW(w, buf, 1024);
  return ui::Narrow(buf);
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

RECT InClient(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Every shown control lies inside the client area, and no two of them overlap.
void ExpectTidyLayout(HWND w) {
  RECT client;
  GetClientRect(w, &client);
  std::vector<std::pair<int, RECT>> shown;
  for (int id :
       {IDC_REMINDER_ICON, IDC_REMINDER_TITLE, IDC_REMINDER_HEADLINE, IDC_REMINDER_RULE, IDC_REMINDER_NOTES,
        IDCANCEL, IDC_REMINDER_SNOOZE, IDC_REMINDER_SNOOZE_SPAN, IDC_REMINDER_CLOSE_ALL}) {
    HWND c = GetDlgItem(w, id);
    ASSERT_NE(c, nullptr) << id;
    if (!IsWindowVisible(c)) continue;
    RECT r = InClient(w, c);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << id;
    EXPECT_GT(r.bottom - r.top, 0) << id;
    shown.emplace_back(id, r);
  }
  for (size_t i = 0; i < shown.size(); ++i)
    for (size_t j = i + 1; j < shown.size(); ++j) {
      RECT both;
      EXPECT_FALSE(IntersectRect(&both, &shown[i].second, &shown[j].second))
          << shown[i].first << " overlaps " << shown[j].first;
    }
}

Firing MakeFiring(std::string headline, std::string notes) {
  Firing f;
  f.headline = std::move(headline);
  f.notes = std::move(notes);
  return f;
}

TEST(ReminderWindow, ShowsItsTextsAndTheNotesAreaOnlyWithNotes) {
  std::string longNotes, longHeadline;
  for (int i = 1; i <= 40; ++i) longNotes += "Строка заметок номер " + std::to_string(i) + "\r\n";
  for (int i = 1; i <= 30; ++i) longHeadline += "слово" + std::to_string(i) + " ";
  struct Case {
    const char* name;
    std::string headline, notes;
    std::string shownHeadline, shownNotes;
  } cases[] = {
      {"with notes", "Позвонить Ивану", "Телефон 123-45-67\r\nпосле обеда", "Позвонить Ивану",
       "Телефон 123-45-67\r\nпосле обеда"},
      {"without notes", "Оплатить счёт - через 3д.", "", "Оплатить счёт - через 3д.", ""},
      // Lone CR and LF from a record still break the line in an edit control.
      {"every kind of line break", "Поезд\rв 9:30", "первая\nвторая\rтретья", "Поезд\r\nв 9:30",
       "первая\r\nвторая\r\nтретья"},
      {"an ampersand is no mnemonic", "Петров & сын", "", "Петров & сын", ""},
      {"texts longer than their areas", longHeadline, longNotes, longHeadline, longNotes},
  };
  ReminderWindows windows;
  windows.SetSnoozeHandler([](const Firing&, SnoozeSpan) {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND w = windows.Open(MakeFiring(c.headline, c.notes));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr) << "stays up while the main window is hidden";
    EXPECT_EQ(WindowText(w), kMessageTemplate);
    EXPECT_EQ(ItemText(w, IDC_REMINDER_TITLE), kMessageBandTitle);
    EXPECT_EQ(ItemText(w, IDC_REMINDER_TITLE), "  Напоминание.");
    EXPECT_EQ(ItemText(w, IDC_REMINDER_HEADLINE), c.shownHeadline);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(w, IDC_REMINDER_NOTES)) != FALSE, !c.notes.empty());
    if (!c.notes.empty()) {
      EXPECT_EQ(ItemText(w, IDC_REMINDER_NOTES), c.shownNotes);
    }
    EXPECT_EQ(ItemText(w, IDCANCEL), "Закрыть");
    EXPECT_EQ(ItemText(w, IDC_REMINDER_SNOOZE), "Отложить на");
    EXPECT_EQ(ItemText(w, IDC_REMINDER_SNOOZE_SPAN), "5 минут") << "the shortest span is offered first";
    EXPECT_EQ(ItemText(w, IDC_REMINDER_CLOSE_ALL), "Закрыть все");
    EXPECT_EQ(IsWindowVisible(GetDlgItem(w, IDC_REMINDER_CLOSE_ALL)) != FALSE, windows.Windows().size() > 1);
    EXPECT_NE(SendDlgItemMessageW(w, IDC_REMINDER_ICON, STM_GETICON, 0, 0), 0) << "the reminder icon";
    ExpectTidyLayout(w);
    // The notes area ends the window above its close button.
    RECT close = InClient(w, GetDlgItem(w, IDCANCEL));
    RECT above = InClient(w, GetDlgItem(w, c.notes.empty() ? IDC_REMINDER_RULE : IDC_REMINDER_NOTES));
    EXPECT_GT(close.top, above.bottom - 1);
    vm::testing::LookPause(c.name);
  }
  EXPECT_EQ(windows.Windows().size(), std::size(cases)) << "earlier windows stay open";
}

TEST(ReminderWindow, EachFiringHasItsOwnWindowAndItsOwnCloseButton) {
  ReminderWindows windows;
  HWND first = windows.Open(MakeFiring("Первое", "заметка"));
  HWND second = windows.Open(MakeFiring("Второе", ""));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, second);
  RECT a, b;
  GetWindowRect(first, &a);
  GetWindowRect(second, &b);
  EXPECT_FALSE(a.left == b.left && a.top == b.top) << "the second window does not hide the first";
  EXPECT_NE(GetForegroundWindow(), second) << "opens without taking the keyboard";

  // The close button of the first closes the first alone.
  SendMessageW(GetDlgItem(first, IDCANCEL), BM_CLICK, 0, 0);
  vm::testing::PumpPending();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindowVisible(second));
  EXPECT_EQ(windows.Windows(), std::vector<HWND>{second});

  // A new window takes the place the closed one left.
  HWND third = windows.Open(MakeFiring("Третье", ""));
  RECT c;
  GetWindowRect(third, &c);
  EXPECT_EQ(c.left, a.left);
  EXPECT_EQ(c.top, a.top);

  // Esc reaches the dialog although no dialog loop of its own runs: the main loop's
  // ordinary dispatch is all there is.
  SetForegroundWindow(second);
  SetFocus(GetDlgItem(second, IDCANCEL));
  PostMessageW(GetDlgItem(second, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 1);
  vm::testing::Pump(500, [&] { return !IsWindow(second); });
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(windows.Windows(), std::vector<HWND>{third});
  // The caption's close box too.
  SendMessageW(third, WM_SYSCOMMAND, SC_CLOSE, 0);
  vm::testing::PumpPending();
  EXPECT_TRUE(windows.Windows().empty());
}

TEST(ReminderWindow, SnoozeHandsOverTheChosenSpanAndCloseAllClosesEveryWindow) {
  ReminderWindows windows;
  std::vector<std::pair<std::string, SnoozeSpan>> snoozed;
  windows.SetSnoozeHandler([&](const Firing& f, SnoozeSpan span) { snoozed.emplace_back(f.headline, span); });
  HWND first = windows.Open(MakeFiring("Первое", ""));
  ASSERT_NE(first, nullptr);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(first, IDC_REMINDER_CLOSE_ALL))) << "one window: no close-all";
  HWND spans = GetDlgItem(first, IDC_REMINDER_SNOOZE_SPAN);
  ASSERT_EQ(SendMessageW(spans, CB_GETCOUNT, 0, 0), kSnoozeSpanCount);
  for (int i = 0; i < kSnoozeSpanCount; ++i) {
    wchar_t item[64] = {};
    SendMessageW(spans, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(ui::Narrow(item), SnoozeSpanTexts()[i]);
  }
  HWND second = windows.Open(MakeFiring("Второе", "заметка"));
  HWND third = windows.Open(MakeFiring("Третье", ""));
  for (HWND w : {first, second, third}) EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, IDC_REMINDER_CLOSE_ALL)));
  ExpectTidyLayout(second);
  vm::testing::LookPause("three windows with close-all");

  // "Отложить на" with "1 час" chosen hands the window's firing over and closes it alone.
  SendDlgItemMessageW(second, IDC_REMINDER_SNOOZE_SPAN, CB_SETCURSEL, static_cast<WPARAM>(SnoozeSpan::kHour),
                      0);
  SendMessageW(GetDlgItem(second, IDC_REMINDER_SNOOZE), BM_CLICK, 0, 0);
  vm::testing::PumpPending();
  EXPECT_EQ(snoozed, (std::vector<std::pair<std::string, SnoozeSpan>>{{"Второе", SnoozeSpan::kHour}}));
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(windows.Windows(), (std::vector<HWND>{first, third}));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(third, IDC_REMINDER_CLOSE_ALL)));

  // Down to one window, close-all goes; with two again it comes back.
  SendMessageW(GetDlgItem(first, IDCANCEL), BM_CLICK, 0, 0);
  vm::testing::PumpPending();
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(third, IDC_REMINDER_CLOSE_ALL)));
  HWND fourth = windows.Open(MakeFiring("Четвёртое", ""));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(third, IDC_REMINDER_CLOSE_ALL)));
  HWND fifth = windows.Open(MakeFiring("Пятое", ""));
  SendMessageW(GetDlgItem(fourth, IDC_REMINDER_CLOSE_ALL), BM_CLICK, 0, 0);
  vm::testing::PumpPending();
  for (HWND w : {third, fourth, fifth}) EXPECT_FALSE(IsWindow(w));
  EXPECT_TRUE(windows.Windows().empty());
  EXPECT_EQ(snoozed.size(), 1u) << "closing is no snooze";

  // Without a handler there is nothing to put off with.
  ReminderWindows plain;
  HWND alone = plain.Open(MakeFiring("Без отсрочки", ""));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(alone, IDC_REMINDER_SNOOZE)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(alone, IDC_REMINDER_SNOOZE_SPAN)));
}

// Writes down each effect with the number of windows open at that moment, so the order
// of sound and window shows.
class Recorder : public ReminderEffects {
 public:
  explicit Recorder(ReminderWindows& windows) : windows_(windows) {}
  void WakeDisplay(HWND main) override { Log("wake", main == expectedMain ? "main" : "other"); }
  void Beep(int hz, int ms) override { Log("beep", std::to_string(hz) + "/" + std::to_string(ms)); }
  void PlayWave(const std::string& path) override { Log("wave", path); }
  std::vector<std::string> log;
  HWND expectedMain = nullptr;

 private:
  void Log(const char* what, const std::string& detail) {
    log.push_back(std::string(what) + " " + detail + " @" + std::to_string(windows_.Windows().size()));
  }
  ReminderWindows& windows_;
};

TEST(ReminderWindow, EachFiringWakesTheDisplaySoundsThenOpensItsWindow) {
  ReminderWindows windows;
  Recorder effects(windows);
  HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  effects.expectedMain = main;
  std::vector<Firing> firings(3);
  firings[0].headline = "Звук PC";
  firings[0].sound = ReminderSound::kBeep;
  firings[1].headline = "Мелодия";
  firings[1].sound = ReminderSound::kWave;
  firings[1].soundFile = "C:\\Звуки\\звонок.wav";
  firings[2].headline = "Тихо";
  RunFirings(firings, main, effects, windows);
  EXPECT_EQ(effects.log, (std::vector<std::string>{"wake main @0", "beep 500/500 @0", "wake main @1",
                                                   "wave C:\\Звуки\\звонок.wav @1", "wake main @2"}));
  std::vector<HWND> open = windows.Windows();
  ASSERT_EQ(open.size(), 3u);
  for (size_t i = 0; i < open.size(); ++i) EXPECT_EQ(ItemText(open[i], IDC_REMINDER_HEADLINE), firings[i].headline);
  DestroyWindow(main);
}

}  // namespace
}  // namespace vm::tasks
