// Velmoria.exe started for real in a program folder whose settings name a task file:
// the reminder due today opens its window, and the stamped book is saved at exit.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/record_file.h"
#include "platform/platform.h"
#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "support/win/gui_support.h"
#include "tasks/reminders.h"
#include "tasks/task_file.h"
#include "ui/text.h"

namespace vm::tasks {
namespace {

using RemindersEndToEnd = testing::ProgramFolderTest;

TEST_F(RemindersEndToEnd, TheDueReminderOpensItsWindowAndTheBookIsSavedAtExit) {
  std::string exe = dir_ / "Velmoria.exe";
  ASSERT_TRUE(CopyFileW(ui::Wide(testing::VelmoriaExePath()).c_str(), ui::Wide(exe).c_str(), FALSE));
  MakeFolders({"Personal"});
  // A Latin name: under Wine a Cyrillic file name needs a Linux locale that may not
  // be installed, and the file's name is not what this test is about.
  std::string path = dir_ / "Personal\\work.dbw";

  // Due every day, without a time: it fires at start, whatever the clock says.
  testing::TaskRecord daily("Полить цветы", {{TaskField::ReminderState, "1"},
                                             {TaskField::ByDate, "1"},
                                             {TaskField::Day, "ALL"},
                                             {TaskField::Month, "ALL"},
                                             {TaskField::Year, "ALL"},
                                             {TaskField::WithTime, "0"},
                                             {TaskField::PcBeep, "0"}});
  testing::Spit(path, RecordFileBytes({daily, testing::TaskRecord("Без напоминания")}));
  app_.PutSetting("WORK", "FILENAME", path);

  Moment before = MomentOf(platform::Now());
  testing::ProgramProcess program(exe);
  ASSERT_TRUE(program.started());
  HWND main = testing::WaitForDayWindow(program.pid(), 20000, true);
  ASSERT_NE(main, nullptr) << "the program shows no main window";
  HWND message = testing::WaitForProcessWindow(ui::Wide(kMessageTemplate), program.pid(), 20000, true);
  EXPECT_NE(message, nullptr) << "no reminder window";

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitExit(20000)) << "the program did not end";
  EXPECT_EQ(program.exitCode(), 0u);
  Moment after = MomentOf(platform::Now());

  TaskBook saved;
  LoadTaskFile(saved, path, DateOf(after));
  ASSERT_EQ(saved.size(), 2u);
  std::string stamp = saved.Field(0, TaskField::LastFired);
  EXPECT_TRUE(stamp == TodayStamp(before) || stamp == TodayStamp(after)) << stamp;
  EXPECT_EQ(saved.Field(0, TaskField::ReminderState), "1") << "a daily reminder stays on";
  EXPECT_EQ(saved.Field(1, TaskField::Headline), "Без напоминания");
  EXPECT_EQ(app_.GetSetting("WORK", "FILENAME"), path);
}

}  // namespace
}  // namespace vm::tasks
