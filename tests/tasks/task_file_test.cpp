#include "tasks/task_file.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/settings.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "support/task_record.h"

namespace vm::tasks {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

const dates::Date kToday{5, 3, 2013};

// A line of n separators whose first field names it.
std::string Line(const std::string& name, int separators) { return name + std::string(separators, '|'); }

TEST(TaskFile, SeparatorCountRule) {
  ScratchFolder dir;
  Spit(dir / "book.dbw", Line("c48", 48) + "\r\n" + Line("c49", 49) + "\r\n" + Line("c50", 50) + "\r\n" +
                             Line("c51", 51) + "\r\n" + Line("c52", 52) + "\r\n" + Line("c53", 53) + "\r\n" +
                             Line("c54", 54) + "\r\n" + "no separators\r\n\r\n");
  TaskBook book;
  LoadOutcome out = LoadTaskFile(book, dir / "book.dbw", kToday);
  ASSERT_TRUE(out.opened);
  EXPECT_EQ(out.rejected, 4);
  ASSERT_EQ(book.size(), 3u);
  EXPECT_EQ(book.record(0), Line("c51", 53));  // padded with two empty fields
  EXPECT_EQ(book.record(1), Line("c53", 53));
  EXPECT_EQ(book.record(2), Line("c54", 54));  // more than 53 loads unchanged
  EXPECT_EQ(Slurp(dir / "book.err"),
            "В строке должен быть 51 разделитель '|'.\n\nФормат файла:\nНезагруженная строка\n"
            "Количество разделителей\n\n" +
                Line("c48", 48) + "\n48\n" + Line("c49", 51) + "\n51\n" + Line("c50", 51) + "\n51\n" + Line("c52", 52) +
                "\n52\n");
  EXPECT_EQ(book.loadMessage(), "Создан файл " + (dir / "book.err") + " с незагруженными строками");
  EXPECT_EQ(book.state(), kStateChanged);  // so the next save drops the rejected lines
  EXPECT_EQ(book.todayText(), "05/03/2013");
  EXPECT_EQ(book.path(), dir / "book.dbw");

  ASSERT_EQ(WriteTaskFile(book).status, TaskSaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir / "book.dbw"), Line("c51", 53) + "\r\n" + Line("c53", 53) + "\r\n" + Line("c54", 54) + "\r\n");
  EXPECT_EQ(book.state(), kStateLoaded);
}

TEST(TaskFile, LineBreaksRoundTripAndACleanLoadWritesNothing) {
  ScratchFolder dir;
  const CAppUtil app(dir.path(), "Velmoria");
  Spit(dir / "t.dbw",
       RecordFileBytes({testing::TaskRecord("Заголовок", {{TaskField::Notes, "первая\r\nвторая\rтретья"}})}));
  EXPECT_NE(Slurp(dir / "t.dbw")
                .find("первая"
                      "ERN:"
                      "вторая"
                      "EOR:"
                      "третья"),
            std::string::npos);

  TaskBook book;
  LoadTaskFile(book, dir / "t.dbw", kToday);
  ASSERT_EQ(book.size(), 1u);
  EXPECT_EQ(book.Field(0, TaskField::Notes), "первая\r\nвторая\rтретья");
  EXPECT_EQ(book.state(), kStateLoaded);
  EXPECT_TRUE(book.loadMessage().empty());
  EXPECT_EQ(SaveTaskFile(book, app).status, TaskSaveStatus::kUnchanged);
  EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), "");  // nothing written on a clean book

  std::string before = Slurp(dir / "t.dbw");
  book.SetField(0, TaskField::Headline, "Другой");
  EXPECT_EQ(book.state(), kStateChanged);
  EXPECT_EQ(SaveTaskFile(book, app).status, TaskSaveStatus::kSaved);
  EXPECT_EQ(book.state(), kStateLoaded);
  EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), dir / "t.dbw");
  TaskBook again;
  LoadTaskFile(again, dir / "t.dbw", kToday);
  EXPECT_EQ(again.Field(0, TaskField::Notes), "первая\r\nвторая\rтретья");
  EXPECT_EQ(again.Field(0, TaskField::Headline), "Другой");
}

TEST(TaskFile, OldFormatStopsTheLoadAndEmptiesThePath) {
  ScratchFolder dir;
  std::string bytes = Line("first", 53) + "\r\n<Records version=1>\r\n" + Line("after", 53) + "\r\n";
  Spit(dir / "old.dbw", bytes);
  TaskBook book;
  LoadOutcome out = LoadTaskFile(book, dir / "old.dbw", kToday);
  EXPECT_TRUE(out.oldFormat);
  ASSERT_EQ(book.size(), 1u);  // what came before the line stays
  EXPECT_EQ(book.path(), "");
  EXPECT_EQ(book.loadMessage(), "Файл " + (dir / "old.dbw") +
                                    " старой версии, загрузка прекращена.\n Выполните конвертацию файла программой "
                                    "\"Fardelle.exe\"");
  book.SetField(0, TaskField::Headline, "changed");
  EXPECT_EQ(WriteTaskFile(book).status, TaskSaveStatus::kNoFile);
  EXPECT_EQ(Slurp(dir / "old.dbw"), bytes);  // the older file is never overwritten
}

TEST(TaskFile, FailuresLoseNothing) {
  ScratchFolder dir;
  Spit(dir / "a.dbw", Line("a", 53) + "\r\n");
  TaskBook book;
  LoadTaskFile(book, dir / "a.dbw", kToday);
  // A file that cannot be read leaves the loaded book as it was.
  LoadOutcome missing = LoadTaskFile(book, dir / "absent.dbw", kToday);
  EXPECT_FALSE(missing.opened);
  EXPECT_FALSE(missing.error.empty());
  EXPECT_EQ(book.path(), dir / "a.dbw");
  EXPECT_EQ(book.size(), 1u);

  // A failed save keeps the old file and the changed state.
  book.SetField(0, TaskField::Headline, "b");
  platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kRename; });
  SaveOutcome failed = WriteTaskFile(book);
  platform::SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(failed.status, TaskSaveStatus::kFailed);
  EXPECT_EQ(book.state(), kStateChanged);
  EXPECT_EQ(Slurp(dir / "a.dbw"), Line("a", 53) + "\r\n");

  // Without its side file a rejected line stays in the book file through later saves.
  Spit(dir / "r.dbw", Line("good", 53) + "\r\nbad|line\r\n");
  platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kOpen; });
  LoadOutcome rejected = LoadTaskFile(book, dir / "r.dbw", kToday);
  platform::SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(rejected.rejected, 1);
  EXPECT_EQ(Slurp(dir / "r.err"), "<missing>");
  EXPECT_EQ(book.state(), kStateLoaded);
  EXPECT_NE(book.loadMessage().find("r.err"), std::string::npos);
  book.SetField(0, TaskField::Headline, "better");
  ASSERT_EQ(WriteTaskFile(book).status, TaskSaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir / "r.dbw"), Line("better", 53) + "\r\nbad|line\r\n");
}

TEST(TaskRecords, NewRecordsAndOrders) {
  struct Case {
    int view;
    TaskField flag;
    const char* value;
  } cases[] = {
      {kViewDeadlines, TaskField::DeadlineFlag, "1"}, {kViewMisc, TaskField::MiscFlag, "1"},
      {kViewSticker, TaskField::Status, "4"},         {kViewTasks, TaskField::TaskFlag, "1"},
      {kViewInfo, TaskField::InfoFlag, "1"},          {kViewProjects, TaskField::ProjectFlag, "1"},
  };
  for (const Case& c : cases) {
    std::string line = NewRecord(c.view, "05/03/2013");
    EXPECT_EQ(CountSeparators(line), 53);
    EXPECT_EQ(GetTaskField(line, TaskField::Date), "05/03/2013");
    EXPECT_EQ(GetTaskField(line, c.flag), c.value) << c.view;
    EXPECT_EQ(line.size(), 53u + 10u + 1u) << "only the date and one flag are set";
  }
  EXPECT_EQ(NewRecord(kViewAll, "05/03/2013"), "|||05/03/2013" + std::string(50, '|'));

  ScratchFolder dir;
  TaskBook book;
  EXPECT_EQ(AddNewRecord(book, NewRecord(kViewTasks, "x")), AddStatus::kNoBook);  // no book loaded
  Spit(dir / "o.dbw", "");
  LoadTaskFile(book, dir / "o.dbw", kToday);
  EXPECT_EQ(AddNewRecord(book, NewRecord(kViewTasks, "x")), AddStatus::kNoHeadline);
  EXPECT_EQ(book.size(), 0u);
  struct Row {
    const char *task, *taskOrder, *info, *infoOrder, *date, *diaryOrder, *miscOrder;
  } rows[] = {
      {"1", "0", "1", "5", "05/03/2013", "2", "3"},
      {"1", "2", "0", "7", "06/03/2013", "2", ""},
      {"0", "4", "1", "1", "05/03/2013", "0", "1"},
  };
  for (const Row& r : rows) {
    std::string line = NewRecord(kViewAll, r.date);
    SetTaskField(line, TaskField::Headline, "h");
    SetTaskField(line, TaskField::TaskFlag, r.task);
    SetTaskField(line, TaskField::TaskOrder, r.taskOrder);
    SetTaskField(line, TaskField::InfoFlag, r.info);
    SetTaskField(line, TaskField::InfoOrder, r.infoOrder);
    SetTaskField(line, TaskField::DiaryOrder, r.diaryOrder);
    SetTaskField(line, TaskField::MiscOrder, r.miscOrder);
    ASSERT_EQ(AddNewRecord(book, line), AddStatus::kAdded);
  }
  auto orders = [&book](TaskField f) {
    return book.Field(0, f) + "," + book.Field(1, f) + "," + book.Field(2, f);
  };
  ShiftOrders(book, kViewTasks, 1);
  EXPECT_EQ(orders(TaskField::TaskOrder), "0,3,4");  // only records in "Задачи"
  ShiftOrders(book, kViewInfo, 5);
  EXPECT_EQ(orders(TaskField::InfoOrder), "6,7,1");
  ShiftOrders(book, kViewDiary, 0, "05/03/2013");
  EXPECT_EQ(orders(TaskField::DiaryOrder), "3,2,1");
  ShiftOrders(book, kViewMisc, 1);
  EXPECT_EQ(orders(TaskField::MiscOrder), "4,,2");  // a record without a MiscOrder keeps none
  ShiftOrders(book, kViewDeadlines, 0);
  EXPECT_EQ(orders(TaskField::TaskOrder), "0,3,4");
}

TEST(TaskFileCommands, NewAndOpen) {
  struct Ext {
    const char *typed, *path;
  } exts[] = {
      {"C:\\P\\book", "C:\\P\\book.dbw"},
      {"C:\\P\\book.dbw", "C:\\P\\book.dbw"},
      {"C:\\P\\BOOK.DBW", "C:\\P\\BOOK.DBW"},
      {"C:\\P.dbw\\book", "C:\\P.dbw\\book.dbw"},  // the folder's name does not count
  };
  for (const Ext& e : exts) EXPECT_EQ(WithTaskExtension(e.typed), e.path);

  ScratchFolder dir;
  const CAppUtil app(dir.path(), "Velmoria");
  Spit(dir / "full.dbw", Line("keep", 53) + "\r\n");
  TaskBook book;
  LoadTaskFile(book, dir / "full.dbw", kToday);
  std::string asked;
  auto no = [&asked](const std::string& q) {
    asked = q;
    return false;
  };
  FileCommandOutcome kept = CreateNewTaskFile(book, app, dir / "full", no, kToday);
  EXPECT_EQ(kept.status, FileCommandStatus::kCancelled);
  EXPECT_EQ(asked, (dir / "full.dbw") + " уже существует. \n Заменить?");
  EXPECT_EQ(Slurp(dir / "full.dbw"), Line("keep", 53) + "\r\n");
  EXPECT_EQ(book.size(), 1u);

  FileCommandOutcome made = CreateNewTaskFile(book, app, dir / "full", [](const std::string&) { return true; }, kToday);
  EXPECT_EQ(made.status, FileCommandStatus::kDone);
  EXPECT_EQ(Slurp(dir / "full.dbw"), "");
  EXPECT_EQ(book.size(), 0u);
  EXPECT_EQ(book.state(), kStateLoaded);
  EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), dir / "full.dbw");

  EXPECT_EQ(CreateNewTaskFile(book, app, dir / "fresh", no, kToday).status, FileCommandStatus::kDone);
  EXPECT_EQ(asked.find("fresh"), std::string::npos);  // a new name asks nothing
  EXPECT_EQ(book.path(), dir / "fresh.dbw");

  Spit(dir / "other.dbw", Line("o", 53) + "\r\n");
  EXPECT_EQ(OpenTaskFile(book, app, dir / "other.dbw", kToday).status, FileCommandStatus::kDone);
  EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), dir / "other.dbw");
  EXPECT_EQ(OpenTaskFile(book, app, dir / "gone.dbw", kToday).status, FileCommandStatus::kFailed);
  EXPECT_EQ(book.path(), dir / "other.dbw");
  EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), dir / "other.dbw");
  EXPECT_EQ(PersonalFolder(app), dir / "Personal");

  // Saving before another file replaces this one happens only with "AUTOSAVE" "1".
  book.SetField(0, TaskField::Headline, "edited");
  app.PutSetting("GENERAL", "AUTOSAVE", "0");
  EXPECT_EQ(AutoSaveTaskFile(book, app).status, TaskSaveStatus::kUnchanged);
  app.PutSetting("GENERAL", "AUTOSAVE", "1");
  EXPECT_EQ(AutoSaveTaskFile(book, app).status, TaskSaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir / "other.dbw"), Line("edited", 53) + "\r\n");
}

TEST(TaskFileCommands, StartupRule) {
  struct Case {
    const char* last;
    const char* stored;      // relative to the scratch folder; "" = empty key
    const char* present;     // file made before the start
    const char* loadedPath;  // "" = none
    const char* storedAfter;
  } cases[] = {
      {"1", "books\\a.dbw", "books\\a.dbw", "books\\a.dbw", "books\\a.dbw"},
      {"", "books\\a.dbw", "books\\a.dbw", "books\\a.dbw", "books\\a.dbw"},
      {"1", "moved\\a.dbw", "Personal\\a.dbw", "Personal\\a.dbw", "Personal\\a.dbw"},
      {"1", "moved\\a.dbw", "", "", ""},
      {"1", "", "Personal\\a.dbw", "", ""},
      {"0", "books\\a.dbw", "books\\a.dbw", "", ""},
  };
  for (const Case& c : cases) {
    ScratchFolder dir;
    const CAppUtil app(dir.path(), "Velmoria");
    platform::MakeDir(dir / "books");
    platform::MakeDir(dir / "Personal");
    app.PutSetting("GENERAL", "LAST", c.last);
    app.PutSetting("WORK", "FILENAME", *c.stored ? dir / c.stored : "");
    if (*c.present) Spit(dir / c.present, Line("r", 53) + "\r\n");
    TaskBook book;
    StartupOutcome out = LoadTaskFileAtStartup(book, app, kToday);
    std::string expected = *c.loadedPath ? dir / c.loadedPath : "";
    EXPECT_EQ(out.attempted, *c.loadedPath != 0) << c.stored;
    EXPECT_EQ(book.path(), expected) << c.stored;
    EXPECT_EQ(book.loaded(), *c.loadedPath != 0) << c.stored;
    EXPECT_EQ(app.GetSetting("WORK", "FILENAME"), *c.storedAfter ? dir / c.storedAfter : "") << c.stored;
  }
}

TEST(TaskFileCommands, WorkSettingsDefaults) {
  ScratchFolder dir;
  const CAppUtil app(dir.path(), "Velmoria");
  for (const char* stored : {"", "0", "15", "x", "-3"}) {
    app.PutSetting("WORK", "CHECK", stored);
    EXPECT_EQ(ReadCurrentView(app), kViewTasks) << stored;
  }
  WriteCurrentView(app, kViewProjects);
  EXPECT_EQ(ReadCurrentView(app), kViewProjects);

  app.PutSetting("WORK", "EXECUTE2", "Срочно");
  app.PutSetting("WORK", "EXECUTE3CH", "0");
  TaskGroupSettings groups = ReadTaskGroups(app);
  EXPECT_EQ(groups.heading[1], "Срочно");
  EXPECT_EQ(groups.heading[0], "");
  EXPECT_TRUE(groups.offered[0]);
  EXPECT_FALSE(groups.offered[2]);
  std::string ini = Slurp(app.SettingsPath());
  for (const char* written : {"EXECUTE1=\r\n", "EXECUTE1CH=1\r\n", "EXECUTE2CH=1\r\n", "EXECUTE3CH=0\r\n"})
    EXPECT_NE(ini.find(written), std::string::npos) << written;
  EXPECT_FALSE(StickerSwitchedOn(app));
  app.PutSetting("WORK", "ALARMLIST", "2");
  EXPECT_TRUE(StickerSwitchedOn(app));
}

}  // namespace
}  // namespace vm::tasks
