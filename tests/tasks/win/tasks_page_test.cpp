// The tasks page inside the real main sheet: the book is loaded at set-up, the sheet's
// timer fires its reminders at the injected moment, a resume or a clock change catches
// up the minutes that went by, and "Сохранить все" writes the file.
#include "tasks/win/tasks_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/record_file.h"
#include "common/app_util.h"
#include "shell/win/shell_resources.h"
#include "shell/win/velmoria_sheet.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "tasks/win/tasks_resources.h"
#include "ui/text.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using Rec = vm::testing::TaskRecord;

// The records of the test book, in file order.
enum : size_t { kTrain, kDaily, kPlain, kLater, kRecordCount };

std::vector<std::string> TestRecords() {
  Rec train;  // once, on 15 March 2027 at 9:30, with notes and the PC speaker
  train.Set(F::Headline, "Поезд в Казань").Set(F::Notes, "Взять паспорт\r\nи билеты").Set(F::ReminderState, "1");
  train.Set(F::ByDate, "1").Set(F::Day, "15").Set(F::Month, "03").Set(F::Year, "2027").Set(F::WithTime, "1");
  train.Set(F::Hour, "09").Set(F::Minute, "30").Set(F::Permanent, "0").Set(F::PcBeep, "1");
  Rec daily;  // every day at 9:30, no notes, a sound file
  daily.Set(F::Headline, "Принять лекарство").Set(F::ReminderState, "1").Set(F::ByDate, "1").Set(F::Day, "ALL");
  daily.Set(F::Month, "ALL").Set(F::Year, "ALL").Set(F::WithTime, "1").Set(F::Hour, "09").Set(F::Minute, "30");
  daily.Set(F::SoundFile, "C:\\Звуки\\звонок.wav").Set(F::PcBeep, "0");
  Rec plain;  // no reminder
  plain.Set(F::Headline, "Купить хлеб").Set(F::TaskFlag, "1").Set(F::ReminderState, "0");
  Rec later;  // 15 March 2027 at 12:00
  later.Set(F::Headline, "Обед").Set(F::ReminderState, "1").Set(F::ByDate, "1").Set(F::Day, "15");
  later.Set(F::Month, "03").Set(F::Year, "2027").Set(F::WithTime, "1").Set(F::Hour, "12").Set(F::Minute, "00");
  return {train.line, daily.line, plain.line, later.line};
}

class Recorder : public ReminderEffects {
 public:
  void WakeDisplay(HWND) override { log.push_back("wake"); }
  void Beep(int hz, int ms) override { log.push_back("beep " + std::to_string(hz) + " " + std::to_string(ms)); }
  void PlayWave(const std::string& path) override { log.push_back("wave " + path); }
  std::vector<std::string> log;
};

platform::LocalTime At(int hour, int minute, int day = 15) {
  platform::LocalTime t;
  t.year = 2027, t.month = 3, t.day = day, t.hour = hour, t.minute = minute, t.second = 12;
  return t;
}

std::string Headline(HWND w) {
  wchar_t buf[512] = {};
  GetDlgItemTextW(w, IDC_REMINDER_HEADLINE, buf, 512);
  return ui::Narrow(buf);
}

class TasksPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp", "Personal"});
    path_ = dir_ / "Personal\\work.dbw";
    vm::testing::Spit(path_, RecordFileBytes(TestRecords()));
    app_.PutSetting("WORK", "FILENAME", path_);
  }

  // The sheet with its clock and the page's effects replaced; set up, not yet ticked.
  void MakeSheet(platform::LocalTime start) {
    now_ = start;
    sheet_ = std::make_unique<vm::testing::ProgramSheet>(app_);
    sheet_->SetClock([this] { return now_; });
    page().SetEffects(&effects_);
    ASSERT_TRUE(sheet_->Create());
  }
  CWork& page() { return static_cast<CWork&>(sheet_->page(shell::kTasksTab)); }
  void TickAt(platform::LocalTime t) {
    now_ = t;
    SendMessageW(sheet_->hwnd(), WM_TIMER, shell::kSheetTimerId, 0);
  }
  // The user chooses a span in a reminder window and presses "Отложить на".
  void SnoozeIn(HWND w, SnoozeSpan span) {
    SendDlgItemMessageW(w, IDC_REMINDER_SNOOZE_SPAN, CB_SETCURSEL, static_cast<WPARAM>(span), 0);
    SendMessageW(GetDlgItem(w, IDC_REMINDER_SNOOZE), BM_CLICK, 0, 0);
    vm::testing::PumpPending();
  }
  bool OffersCloseAll(HWND w) { return IsWindowVisible(GetDlgItem(w, IDC_REMINDER_CLOSE_ALL)) != FALSE; }
  std::vector<std::string> OpenHeadlines() {
    std::vector<std::string> out;
    for (HWND w : page().reminderWindows().Windows()) out.push_back(Headline(w));
    return out;
  }

  std::string path_;
  platform::LocalTime now_;
  Recorder effects_;
  std::unique_ptr<shell::CVelmoriaSheet> sheet_;
};

TEST_F(TasksPageTest, SetUpLoadsTheBookAndTheStartUpSettings) {
  app_.PutSetting("WORK", "CHECK", "11");
  MakeSheet(At(9, 0));
  TaskBook& book = page().book();
  EXPECT_EQ(book.size(), static_cast<size_t>(kRecordCount));
  EXPECT_EQ(book.state(), 1);
  EXPECT_EQ(book.path(), path_);
  EXPECT_EQ(page().currentView(), 11);
  // The task-group keys are written back with their defaults.
  EXPECT_EQ(app_.GetSetting("WORK", "EXECUTE1CH"), "1");
  EXPECT_EQ(app_.GetSetting("WORK", "EXECUTE3CH"), "1");
  EXPECT_TRUE(page().reminderWindows().Windows().empty()) << "the set-up opens no window under the main window";
  TickAt(At(9, 0));
  EXPECT_TRUE(page().reminderWindows().Windows().empty()) << "nothing is due at 9:00";
}

TEST_F(TasksPageTest, ADueReminderOpensItsWindowOnTheTickOfItsMinute) {
  MakeSheet(At(9, 29));
  vm::testing::Pump(300);  // the sheet settles, as it has long before a reminder is due
  TickAt(At(9, 29));
  EXPECT_TRUE(OpenHeadlines().empty());
  EXPECT_EQ(page().book().state(), 1);

  TickAt(At(9, 30));
  // Two firings, two windows, in list order, each after its own sound.
  EXPECT_EQ(OpenHeadlines(), (std::vector<std::string>{"Поезд в Казань", "Принять лекарство"}));
  EXPECT_EQ(effects_.log, (std::vector<std::string>{"wake", "beep 500 500", "wake", "wave C:\\Звуки\\звонок.wav"}));
  std::vector<HWND> open = page().reminderWindows().Windows();
  ASSERT_EQ(open.size(), 2u);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(open[0], IDC_REMINDER_NOTES)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(open[1], IDC_REMINDER_NOTES)));
  wchar_t notes[256] = {};
  GetDlgItemTextW(open[0], IDC_REMINDER_NOTES, notes, 256);
  EXPECT_EQ(ui::Narrow(notes), "Взять паспорт\r\nи билеты");

  // The one-time reminder is switched off, the daily one stays on; both are stamped,
  // and the firing marked the book changed.
  TaskBook& book = page().book();
  EXPECT_EQ(book.Field(kTrain, F::ReminderState), "0");
  EXPECT_EQ(book.Field(kTrain, F::LastFired), "15/3/2027 9:30");
  EXPECT_EQ(book.Field(kDaily, F::ReminderState), "1");
  EXPECT_EQ(book.Field(kDaily, F::LastFired), "15/3/2027 9:30");
  EXPECT_EQ(book.Field(kLater, F::LastFired), "");
  EXPECT_EQ(book.state(), 2);
  vm::testing::LookPause("two reminder windows");

  // More ticks in the same minute, and the next minute, fire nothing again.
  TickAt(At(9, 30));
  TickAt(At(9, 31));
  EXPECT_EQ(OpenHeadlines().size(), 2u);
  EXPECT_EQ(effects_.log.size(), 4u);
}

TEST_F(TasksPageTest, SaveAllWritesTheFiredBookAndOnlyWithAutomaticSaving) {
  struct Case {
    const char* autosave;
    bool written;
  } cases[] = {{"0", false}, {"1", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.autosave);
    vm::testing::Spit(path_, RecordFileBytes(TestRecords()));
    app_.PutSetting("GENERAL", "AUTOSAVE", c.autosave);
    MakeSheet(At(9, 30));
    TickAt(At(9, 30));
    ASSERT_EQ(page().book().state(), 2);
    SendMessageW(sheet_->hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
    EXPECT_EQ(page().book().state(), c.written ? 1 : 2);

    TaskBook saved;
    LoadTaskFile(saved, path_, {15, 3, 2027});
    ASSERT_EQ(saved.size(), static_cast<size_t>(kRecordCount));
    EXPECT_EQ(saved.Field(kTrain, F::ReminderState), c.written ? "0" : "1");
    EXPECT_EQ(saved.Field(kTrain, F::LastFired), c.written ? "15/3/2027 9:30" : "");
    EXPECT_EQ(saved.Field(kTrain, F::Notes), "Взять паспорт\r\nи билеты");
    EXPECT_EQ(saved.Field(kPlain, F::Headline), "Купить хлеб");
    if (c.written) {
      EXPECT_NE(vm::testing::Slurp(path_).find("Взять паспортERN:и билеты"), std::string::npos);
      EXPECT_EQ(app_.GetSetting("WORK", "FILENAME"), path_);
    }
    sheet_.reset();
  }
}

TEST_F(TasksPageTest, AFailedSaveIsReportedAndKeepsTheBookChanged) {
  MakeSheet(At(9, 30));
  TickAt(At(9, 30));
  // The file's place is taken by a folder: the safe replace cannot put the file there.
  ASSERT_TRUE(DeleteFileW(ui::Wide(path_).c_str()));
  ASSERT_TRUE(platform::MakeDir(path_));
  vm::testing::CapturedMessages messages;
  SendMessageW(sheet_->hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("Не удалось сохранить файл"), std::string::npos);
  EXPECT_EQ(page().book().state(), 2);
  RemoveDirectoryW(ui::Wide(path_).c_str());
}

// Minutes that went by while the computer slept, or that a clock change jumped over,
// are checked when the system says so, without waiting for the timer.
TEST_F(TasksPageTest, AResumeOrAClockChangeCatchesUpTheMinutesThatWentBy) {
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wp;
    std::vector<std::string> fired;
  } cases[] = {
      {"resume", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, {"Поезд в Казань", "Принять лекарство"}},
      {"resume after a user's wake", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, {"Поезд в Казань", "Принять лекарство"}},
      {"clock change", WM_TIMECHANGE, 0, {"Поезд в Казань", "Принять лекарство"}},
      {"going to sleep is no resume", WM_POWERBROADCAST, PBT_APMSUSPEND, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    vm::testing::Spit(path_, RecordFileBytes(TestRecords()));
    MakeSheet(At(9, 0));
    TickAt(At(9, 0));
    now_ = At(11, 15);  // 9:30 went by; 12:00 is still to come
    SendMessageW(sheet_->hwnd(), c.msg, c.wp, 0);
    EXPECT_EQ(OpenHeadlines(), c.fired);
    if (!c.fired.empty()) {
      EXPECT_EQ(page().book().Field(kTrain, F::ReminderState), "0");
      EXPECT_EQ(page().book().Field(kTrain, F::LastFired), "15/3/2027 9:30") << "stamped with its own minute";
    }
    EXPECT_EQ(page().book().Field(kLater, F::LastFired), "");
    sheet_.reset();
  }
}

// A reminder put off in its window comes back at the chosen minute on the sheet's timer,
// and a snooze still pending when the program ends comes back after it starts again.
TEST_F(TasksPageTest, ASnoozedReminderComesBackAndSurvivesARestart) {
  const std::string side = path_ + ".snz";
  MakeSheet(At(9, 29));
  TickAt(At(9, 29));
  TickAt(At(9, 30));
  std::vector<HWND> open = page().reminderWindows().Windows();
  ASSERT_EQ(open.size(), 2u);
  EXPECT_TRUE(OffersCloseAll(open[0]) && OffersCloseAll(open[1]));
  TickAt(At(9, 32));
  SnoozeIn(open[1], SnoozeSpan::k15Minutes);
  EXPECT_EQ(OpenHeadlines(), std::vector<std::string>{"Поезд в Казань"});
  EXPECT_FALSE(OffersCloseAll(open[0])) << "one window left";
  EXPECT_EQ(ParseSnoozeFile(vm::testing::Slurp(side)).snoozes.size(), 1u) << "written at once";

  effects_.log.clear();
  TickAt(At(9, 46));
  EXPECT_EQ(OpenHeadlines().size(), 1u);
  TickAt(At(9, 47));
  EXPECT_EQ(OpenHeadlines(), (std::vector<std::string>{"Поезд в Казань", "Принять лекарство"}));
  EXPECT_EQ(effects_.log, (std::vector<std::string>{"wake", "wave C:\\Звуки\\звонок.wav"}))
      << "sounds as before";
  EXPECT_EQ(page().book().Field(kDaily, F::LastFired), "15/3/2027 9:30") << "the snooze stamps nothing";
  EXPECT_FALSE(platform::FileExists(side)) << "nothing pending, no file";
  vm::testing::LookPause("a snoozed reminder came back");

  // Put off again till tomorrow; the program ends and starts on the next day.
  SnoozeIn(page().reminderWindows().Windows().back(), SnoozeSpan::kTomorrow);
  EXPECT_NE(vm::testing::Slurp(side).find("2027-03-16 09:47|0|"), std::string::npos);
  sheet_.reset();
  MakeSheet(At(9, 29, 16));
  TickAt(At(9, 29, 16));
  EXPECT_TRUE(OpenHeadlines().empty());
  TickAt(At(9, 30, 16));
  EXPECT_EQ(OpenHeadlines(), std::vector<std::string>{"Принять лекарство"}) << "the rule's own firing";
  TickAt(At(9, 47, 16));
  EXPECT_EQ(OpenHeadlines(), (std::vector<std::string>{"Принять лекарство", "Принять лекарство"}));

  // "Закрыть все" in either window closes both.
  open = page().reminderWindows().Windows();
  SendMessageW(GetDlgItem(open[1], IDC_REMINDER_CLOSE_ALL), BM_CLICK, 0, 0);
  vm::testing::PumpPending();
  EXPECT_TRUE(page().reminderWindows().Windows().empty());
  EXPECT_FALSE(IsWindow(open[0]));
}

// A snooze whose minute went by while the computer slept comes back once, on waking.
TEST_F(TasksPageTest, ASnoozeThatFellDueInSleepComesBackOnceOnWaking) {
  MakeSheet(At(9, 30));
  TickAt(At(9, 30));
  std::vector<HWND> open = page().reminderWindows().Windows();
  ASSERT_EQ(open.size(), 2u);
  SnoozeIn(open[1], SnoozeSpan::k10Minutes);
  now_ = At(11, 15);
  SendMessageW(sheet_->hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(OpenHeadlines(), (std::vector<std::string>{"Поезд в Казань", "Принять лекарство"}));
  TickAt(At(11, 16));
  TickAt(At(11, 17));
  EXPECT_EQ(OpenHeadlines().size(), 2u) << "once only";
}

}  // namespace
}  // namespace vm::tasks
