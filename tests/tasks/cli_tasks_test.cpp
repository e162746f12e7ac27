// velmoria-cli tasks / remind as a black box over real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "common/record_file.h"
#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "tasks/snoozes.h"
#include "tasks/task_record.h"

namespace vm::tasks {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(TasksCli, LoadsAndPrintsFields) {
  testing::ScratchFolder dir;
  const std::string rec =
      testing::TaskRecord("Купить", {{TaskField::Notes, "хлеб\r\nмолоко"}, {TaskField::ReminderState, "1"}});
  testing::Spit(dir / "b.dbw", ApplyLineEscapes(rec) + "\r\nshort|line\r\n");
  std::string file = PosixPath(dir / "b.dbw");
  auto r = RunCli("tasks " + file + " --fields 0,1,13,99");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, U("loaded 1\nrejected 1\nstate 2\nmessage\nСоздан файл ") + PosixPath(dir / "b.err") +
                       U(" с незагруженными строками\nКупить\tхлеб\\nмолоко\t1\t\n"));
  EXPECT_EQ(RunCli("tasks " + file + " --fields 0,x").code, 1);
  EXPECT_EQ(RunCli("tasks " + file + " --fields").code, 1);
  EXPECT_EQ(RunCli("tasks " + PosixPath(dir / "none.dbw")).code, 1);
}

TEST(TasksCli, RemindOverSuccessiveMoments) {
  testing::ScratchFolder dir;
  std::string rec = testing::TaskRecord("Встреча\r\nв офисе", {{TaskField::ReminderState, "1"},
                                                               {TaskField::ByDate, "1"},
                                                               {TaskField::Day, "07"},
                                                               {TaskField::Month, "03"},
                                                               {TaskField::Year, "2013"},
                                                               {TaskField::WithTime, "1"},
                                                               {TaskField::Hour, "10"},
                                                               {TaskField::Minute, "30"},
                                                               {TaskField::WeekAhead, "1"}});
  testing::Spit(dir / "r.dbw", rec.replace(rec.find("\r\n"), 2, "ERN:") + "\r\n");
  std::string file = PosixPath(dir / "r.dbw");
  struct Step {
    const char* moment;
    const char* out;
  } steps[] = {
      {"05/03/2013 08:00", "fire\t2\tВстреча\\nв офисе - через 2д.\n"},
      {"05/03/2013 09:00", ""},  // once a day
      {"07/03/2013 10:29", ""},
      {"07/03/2013 10:30", "fire\t0\tВстреча\\nв офисе\n"},
      {"07/03/2013 10:30", ""},  // switched off
  };
  for (const Step& s : steps) {
    auto r = RunCli("remind " + file + " '" + s.moment + "' --save");
    EXPECT_EQ(r.code, 0) << s.moment;
    EXPECT_EQ(r.out, U(s.out)) << s.moment;
  }
  auto fields = RunCli("tasks " + file + " --fields 13,48");
  EXPECT_EQ(fields.out, "loaded 1\nrejected 0\nstate 1\n0\t7/3/2013 10:30\n");
  for (const char* bad : {"'07/03/2013 24:00'", "'31/02/2013 10:00'", "07/03/2013", "'07/03/2013 1:30'"})
    EXPECT_EQ(RunCli("remind " + file + " " + bad).code, 1) << bad;
}

// A reminder put off in the program comes back through remind at its minute; the side
// file keeps it until a --save run takes it off.
TEST(TasksCli, RemindBringsBackSnoozes) {
  testing::ScratchFolder dir;
  const std::string rec = testing::TaskRecord("Позвонить");
  testing::Spit(dir / "s.dbw", rec + "\r\n");
  Snooze snooze;
  snooze.at = Moment{2026, 12, 7, 10, 15};
  snooze.key = RecordKey(rec);
  const std::string side = dir / "s.dbw.snz";
  testing::Spit(side, SnoozeFileText({snooze}));
  std::string file = PosixPath(dir / "s.dbw");
  EXPECT_EQ(RunCli("remind " + file + " '07/12/2026 10:14' --save").out, "");
  for (int run = 0; run < 2; ++run)  // without --save the side file stays as it was
    EXPECT_EQ(RunCli("remind " + file + " '07/12/2026 10:15'").out, U("snoozed\t0\tПозвонить\n"));
  EXPECT_EQ(RunCli("remind " + file + " '08/12/2026 09:00' --save").out, U("snoozed\t0\tПозвонить\n"));
  EXPECT_FALSE(platform::FileExists(side));
  EXPECT_EQ(RunCli("remind " + file + " '08/12/2026 09:01' --save").out, "");
}

TEST(TasksCli, NextFiringsOfARecord) {
  testing::ScratchFolder dir;
  const std::string weekly = testing::TaskRecord("Планёрка", {{TaskField::ReminderState, "1"},
                                                              {TaskField::ByCalendar, "1"},
                                                              {TaskField::Quarter2, "1"},
                                                              {TaskField::QuarterMonth1, "1"},
                                                              {TaskField::QuarterMonth2, "1"},
                                                              {TaskField::QuarterMonth3, "1"},
                                                              {TaskField::Week1, "1"},
                                                              {TaskField::Week2, "1"},
                                                              {TaskField::Week3, "1"},
                                                              {TaskField::Week4, "1"},
                                                              {TaskField::LastWeek, "1"},
                                                              {TaskField::Friday, "1"},
                                                              {TaskField::WithTime, "1"},
                                                              {TaskField::Hour, ">08"},
                                                              {TaskField::Minute, "45"},
                                                              {TaskField::Permanent, "1"}});
  const std::string off = testing::TaskRecord("Без напоминания");
  testing::Spit(dir / "n.dbw", weekly + "\r\n" + off + "\r\n");
  std::string file = PosixPath(dir / "n.dbw");
  auto r = RunCli("next " + file + " 0 '28/06/2013 09:00' 3");  // a Friday, after 8:45
  EXPECT_EQ(r.code, 0);
  // The second quarter ends with June; the next Fridays come a year later.
  EXPECT_EQ(r.out, "28/06/2013 09:00\t0\n04/04/2014 08:46\t0\n11/04/2014 08:46\t0\n");
  r = RunCli("next " + file + " 0 '01/05/2013 00:00' 2");
  EXPECT_EQ(r.out, "03/05/2013 08:46\t0\n10/05/2013 08:46\t0\n");
  EXPECT_EQ(RunCli("next " + file + " 1 '01/05/2013 00:00'").out, U("не сработает\n"));
  for (const char* bad :
       {" 2 '01/05/2013 00:00'", " x '01/05/2013 00:00'", " 0 '01/05/2013'", " 0 '01/05/2013 00:00' 0"})
    EXPECT_EQ(RunCli("next " + file + bad).code, 1) << bad;
}

TEST(TasksCli, CurrentRecordsOfADay) {
  testing::ScratchFolder dir;
  std::string book;
  for (const char* date : {"10/01/2027", "16/12/2027", "07/12/2026"}) {
    book += testing::TaskRecord(date, {{TaskField::Date, date}}).line + "\r\n";
  }
  testing::Spit(dir / "c.dbw", book);
  std::string file = PosixPath(dir / "c.dbw");
  auto r = RunCli("tasks-current " + file + " 15/12/2026 " + PosixPath(dir / "out.dbw"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "kept 2 of 3\n");
  EXPECT_EQ(RunCli("tasks " + PosixPath(dir / "out.dbw") + " --fields 0").out,
            "loaded 2\nrejected 0\nstate 1\n10/01/2027\n16/12/2027\n");
  // A moment beyond the calendar is refused as a day is.
  EXPECT_EQ(RunCli("remind " + file + " '01/03/2100 10:00'", true).out,
            "velmoria-cli: " + U("Год 2100 вне календаря программы: даты считаются для 1901–2099 годов.\n"));
}

}  // namespace
}  // namespace vm::tasks
#endif
