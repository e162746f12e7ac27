// The tasks page's decisions as plain data: views, captions, moves, the status table,
// the context menu, searches, report data and the current-records rule.
#include "tasks/task_views.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "tasks/task_commands.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using testing::ScratchFolder;
using testing::Spit;

const dates::Date kToday{5, 3, 2013};  // a Tuesday

using Rec = testing::TaskRecord;

std::vector<std::string> Texts(const BuiltView& v) {
  std::vector<std::string> out;
  for (const auto& r : v.rows) out.push_back(r.text);
  return out;
}

ViewContext Ctx(int view) {
  ViewContext c;
  c.view = view;
  c.today = kToday;
  c.diaryDate = "05/03/2013";
  c.groupHeading[0] = "Первая";
  c.groupHeading[1] = "Вторая";
  c.groupHeading[2] = "Третья";
  return c;
}

class Book {
 public:
  explicit Book(const TaskList& records) {
    Spit(dir_ / "b.dbw", RecordFileBytes(records));
    LoadTaskFile(book, dir_ / "b.dbw", kToday);
  }
  ScratchFolder dir_;
  TaskBook book;
};

TaskList Tasks() {
  return {Rec("a2").Set(F::TaskFlag, "1").Set(F::TaskGroup, "1").Set(F::TaskOrder, "7"),
          Rec("b1").Set(F::TaskFlag, "1").Set(F::TaskGroup, "2").Set(F::TaskOrder, "3"),
          Rec("a1").Set(F::TaskFlag, "1").Set(F::TaskGroup, "1").Set(F::TaskOrder, "2"),
          Rec("b2").Set(F::TaskFlag, "1").Set(F::TaskGroup, "2").Set(F::TaskOrder, "9"),
          Rec("none")};
}

TEST(TaskViews, TasksGroupsWithHeadingsAndRunningOrders) {
  BuiltView v = BuildView(Tasks(), Ctx(kViewTasks));
  EXPECT_EQ(Texts(v), (std::vector<std::string>{"Первая", "a1", "a2", "Вторая", "b1", "b2", "Третья"}));
  EXPECT_EQ(v.records, 4);
  EXPECT_EQ(v.rows[0].kind, RowKind::kHeading);
  EXPECT_EQ(v.rows[0].back, Rgb(255, 0, 0));
  EXPECT_EQ(v.rows[0].fore, kWhite);
  EXPECT_EQ(v.rows[3].back, Rgb(0, 0, 0x80));
  EXPECT_EQ(v.rows[6].back, Rgb(0x28, 0x50, 0x64));
  EXPECT_EQ(v.rows[1].fore, Rgb(255, 0, 0));
  EXPECT_EQ(v.rows[1].back, kCream);
  EXPECT_EQ(v.rows[1].record, 2);
  // a1 2->1, a2 7->2, b1 3->1, b2 9->2
  EXPECT_EQ(v.orderRewrites.size(), 4u);
  Book b(Tasks());
  BuildViewOf(b.book, Ctx(kViewTasks));
  EXPECT_EQ(b.book.Field(0, F::TaskOrder), "2");
  EXPECT_EQ(b.book.Field(3, F::TaskOrder), "2");
  EXPECT_EQ(b.book.state(), 1);  // looking at a book does not change it
  // Built again: nothing left to rewrite.
  EXPECT_TRUE(BuildView(b.book.records(), Ctx(kViewTasks)).orderRewrites.empty());
}

TEST(TaskViews, HiddenGroupsAndEmptyHeadings) {
  ViewContext c = Ctx(kViewTasks);
  c.groupShown[0] = false;
  c.groupShown[2] = false;
  c.groupHeading[1].clear();
  EXPECT_EQ(Texts(BuildView(Tasks(), c)), (std::vector<std::string>{DefaultGroupHeading(2), "b1", "b2"}));
}

TEST(TaskViews, EveryViewOfAnEmptyBookSaysSo) {
  for (int v = kViewTasks; v <= kViewProjects; ++v) {
    BuiltView b = BuildView({}, Ctx(v));
    ASSERT_FALSE(b.rows.empty()) << v;
    EXPECT_EQ(b.rows.back().kind, RowKind::kEmpty) << v;
    EXPECT_EQ(b.records, 0) << v;
    EXPECT_TRUE(ReportItems(b, {}, Ctx(v), true).empty()) << v;
  }
  EXPECT_EQ(BuildView({}, Ctx(kViewTasks)).rows.size(), 1u);
  EXPECT_EQ(BuildView({}, Ctx(kViewAll)).rows[0].text, "Записей нет");
  EXPECT_EQ(BuildView({}, Ctx(kViewActiveReminders)).rows[0].text, "Действующих напоминаний нет");
  EXPECT_EQ(BuildView({}, Ctx(kViewMissedReminders)).rows[0].text, "Пропущенных напоминаний нет");
  EXPECT_EQ(BuildView({}, Ctx(kViewSearch)).rows[0].text, "Результат поиска");
}

TEST(TaskViews, ARecordInSeveralSectionsHasItsOwnOrderInEach) {
  TaskList r = {Rec("x").Set(F::InfoFlag, "1").Set(F::InfoOrder, "2").Set(F::MiscFlag, "1").Set(F::MiscOrder, "1")
                    .Set(F::ProjectFlag, "1").Set(F::ProjectOrder, "2"),
                Rec("y").Set(F::InfoFlag, "1").Set(F::InfoOrder, "1").Set(F::MiscFlag, "1").Set(F::MiscOrder, "2")
                    .Set(F::ProjectFlag, "1").Set(F::ProjectOrder, "1").Set(F::InfoMark, "4")};
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewInfo))), (std::vector<std::string>{"y", "x"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewMisc))), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewProjects))), (std::vector<std::string>{"y", "x"}));
  BuiltView info = BuildView(r, Ctx(kViewInfo));
  EXPECT_EQ(info.rows[0].fore, kStickerColour);  // InfoMark 4: the alternative colour
  EXPECT_EQ(info.rows[1].fore, kPlainColour);
}

TEST(TaskViews, DeadlinesHeadingsOnceAndDateRowsOnChange) {
  TaskList r = {Rec("later").Set(F::DeadlineFlag, "1").Set(F::Date, "09/03/2013"),
                Rec("past1").Set(F::DeadlineFlag, "1").Set(F::Date, "01/03/2013").Set(F::Status, "1"),
                Rec("today").Set(F::DeadlineFlag, "1").Set(F::Date, "05/03/2013"),
                Rec("past2").Set(F::DeadlineFlag, "1").Set(F::Date, "01/03/2013"),
                Rec("soon").Set(F::DeadlineFlag, "1").Set(F::Date, "06/03/2013").Set(F::Status, "4"),
                Rec("other").Set(F::Date, "06/03/2013")};
  BuiltView v = BuildView(r, Ctx(kViewDeadlines));
  EXPECT_EQ(Texts(v), (std::vector<std::string>{"Прошедшие", "01/03/2013", "past1", "past2", "Сегодня", "today",
                                                "Предстоящие", "06/03/2013", "soon", "09/03/2013", "later"}));
  EXPECT_EQ(v.rows[1].kind, RowKind::kDate);
  EXPECT_EQ(v.rows[1].fore, Rgb(255, 0, 0));
  EXPECT_EQ(v.rows[1].back, kButtonFace);
  EXPECT_EQ(v.rows[7].fore, Rgb(0x28, 0x50, 0x64));
  EXPECT_EQ(v.rows[2].fore, kDoneColour);
  EXPECT_EQ(v.rows[8].fore, kStickerColour);
  EXPECT_EQ(v.rows[5].fore, kPlainColour);
  EXPECT_EQ(v.records, 5);
}

TEST(TaskViews, WeeksRunMondayToSunday) {
  TaskList r = {Rec("sun-before").Set(F::Date, "03/03/2013"), Rec("mon").Set(F::Date, "04/03/2013"),
                Rec("sun").Set(F::Date, "10/03/2013"), Rec("next-mon").Set(F::Date, "11/03/2013"),
                Rec("mon2").Set(F::Date, "04/03/2013").Set(F::DiaryOrder, "-1")};
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewWeek))), (std::vector<std::string>{"4.3.2013", "mon2", "mon", "10.3.2013", "sun"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewPreviousWeek))), (std::vector<std::string>{"3.3.2013", "sun-before"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewNextWeek))), (std::vector<std::string>{"11.3.2013", "next-mon"}));
}

TEST(TaskViews, DiaryRemindersStickerAllAndSearch) {
  TaskList r = {Rec("d2").Set(F::Date, "05/03/2013").Set(F::DiaryOrder, "2").Set(F::ReminderState, "1"),
                Rec("d1").Set(F::Date, "05/03/2013").Set(F::DiaryOrder, "1").Set(F::ReminderState, "-1"),
                Rec("s").Set(F::Date, "06/03/2013").Set(F::Status, "6")};
  BuiltView diary = BuildView(r, Ctx(kViewDiary));
  EXPECT_EQ(Texts(diary), (std::vector<std::string>{"5 марта 2013  Вт", "d1", "d2"}));
  EXPECT_FALSE(RecordAt(diary, 0));
  EXPECT_EQ(*RecordAt(diary, 1), 1u);
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewActiveReminders))), (std::vector<std::string>{"d2"}));
  EXPECT_EQ(BuildView(r, Ctx(kViewActiveReminders)).rows[0].back, kCream);
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewMissedReminders))), (std::vector<std::string>{"d1"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewSticker))), (std::vector<std::string>{"s"}));
  EXPECT_EQ(Texts(BuildView(r, Ctx(kViewAll))), (std::vector<std::string>{"d2", "d1", "s"}));
  ViewContext s = Ctx(kViewSearch);
  s.found = {2, 0};
  BuiltView found = BuildView(r, s);
  EXPECT_EQ(Texts(found), (std::vector<std::string>{"Результат поиска", "s", "d2"}));
  EXPECT_EQ(found.rows[0].back, kButtonFace);
  EXPECT_EQ(found.rows[0].fore, kPlainColour);
}

TEST(TaskViews, StatusColours) {
  EXPECT_EQ(StatusColour("1"), Rgb(0x74, 0x74, 0x74));
  EXPECT_EQ(StatusColour("2"), Rgb(0x28, 0x32, 0x28));
  for (const char* s : {"4", "5", "6"}) EXPECT_EQ(StatusColour(s), Rgb(0x8C, 0, 0));
  for (const char* s : {"", "0", "3", "x"}) EXPECT_EQ(StatusColour(s), Rgb(0, 0x32, 0x64));
}

TEST(TaskViews, CaptionsAndCommands) {
  EXPECT_EQ(CountCaption(kViewInfo, 3), "Инормация: 3");
  EXPECT_EQ(CountCaption(kViewActiveReminders, 0), "Действующие напом.: 0");
  for (int v = kViewTasks; v <= kViewProjects; ++v)
    if (v != kViewSearch) {
      EXPECT_EQ(ViewOfCommand(CommandOfView(v)), v);
    }
  EXPECT_EQ(ViewOfCommand(ID_VIEW_DIARY), kViewDiary);
  int v = kViewTasks;
  std::vector<int> cycle;
  for (int i = 0; i < 6; ++i) cycle.push_back(v = NextTheme(v));
  EXPECT_EQ(cycle, (std::vector<int>{kViewDeadlines, kViewProjects, kViewDiary, kViewInfo, kViewMisc, kViewTasks}));
  EXPECT_EQ(NextTheme(kViewWeek), kViewTasks);
}

TEST(TaskViews, MoveWithinAGroupExchangesOrders) {
  Book b(Tasks());
  ViewContext c = Ctx(kViewTasks);
  BuiltView v = BuildViewOf(b.book, c);  // a1=1, a2=2, b1=1, b2=2
  auto moved = MoveRecord(b.book, v, c, 2, true);  // a2 up
  ASSERT_TRUE(moved);
  EXPECT_EQ(*moved, 0u);
  EXPECT_EQ(b.book.Field(0, F::TaskOrder), "1");
  EXPECT_EQ(b.book.Field(2, F::TaskOrder), "2");
  v = BuildViewOf(b.book, c);
  EXPECT_EQ(Texts(v)[1], "a2");
  EXPECT_FALSE(MoveRecord(b.book, v, c, 1, true));  // first of group 1: nowhere to go
  EXPECT_FALSE(MoveRecord(b.book, v, c, 0, true));  // a heading
}

TEST(TaskViews, MovingTheFirstTaskOfGroup2OverItsHeadingChangesTheGroupOnly) {
  Book b(Tasks());
  ViewContext c = Ctx(kViewTasks);
  BuiltView v = BuildViewOf(b.book, c);
  ASSERT_EQ(Texts(v)[4], "b1");
  std::string order = b.book.Field(1, F::TaskOrder);
  ASSERT_TRUE(MoveRecord(b.book, v, c, 4, true));
  EXPECT_EQ(b.book.Field(1, F::TaskGroup), "1");
  EXPECT_EQ(b.book.Field(1, F::TaskOrder), order);
  v = BuildViewOf(b.book, c);
  EXPECT_EQ(v.rows[RowOf(v, 1)].group, 1);
  // And down from the last of group 1 over the heading of group 2.
  int last = RowOf(v, 0);
  ASSERT_EQ(v.rows[last + 1].kind, RowKind::kHeading);
  ASSERT_TRUE(MoveRecord(b.book, v, c, last, false));
  EXPECT_EQ(b.book.Field(0, F::TaskGroup), "2");
}

TEST(TaskViews, MovesInOtherViewsAndEqualOrders) {
  Book b({Rec("p").Set(F::ProjectFlag, "1"), Rec("q").Set(F::ProjectFlag, "1")});
  ViewContext c = Ctx(kViewProjects);
  BuiltView v = BuildView(b.book.records(), c);
  ASSERT_TRUE(MoveRecord(b.book, v, c, 1, true));
  EXPECT_EQ(Texts(BuildView(b.book.records(), c)), (std::vector<std::string>{"q", "p"}));
  EXPECT_EQ(b.book.state(), 2);
  ViewContext all = Ctx(kViewAll);
  EXPECT_FALSE(MoveRecord(b.book, BuildView(b.book.records(), all), all, 1, true));
}

TEST(TaskViews, StatusTransitionTable) {
  struct Case {
    int command;
    const char* from;
    const char* to;
  } cases[] = {
      {ID_TASK_SET_DONE, "2", "1"},     {ID_TASK_SET_DONE, "4", "5"},      {ID_TASK_SET_DONE, "6", "5"},
      {ID_TASK_SET_DONE, "", "1"},      {ID_TASK_SET_DONE, "0", "1"},      {ID_TASK_CLEAR_DONE, "1", "0"},
      {ID_TASK_CLEAR_DONE, "5", "4"},   {ID_TASK_SET_WORKING, "1", "2"},   {ID_TASK_SET_WORKING, "4", "6"},
      {ID_TASK_SET_WORKING, "5", "6"},  {ID_TASK_SET_WORKING, "0", "2"},   {ID_TASK_CLEAR_WORKING, "2", "0"},
      {ID_TASK_CLEAR_WORKING, "6", "4"}, {ID_TASK_SET_STICKER, "1", "5"},  {ID_TASK_SET_STICKER, "2", "6"},
      {ID_TASK_SET_STICKER, "0", "4"},  {ID_TASK_CLEAR_STICKER, "4", "0"}, {ID_TASK_CLEAR_STICKER, "5", "1"},
      {ID_TASK_CLEAR_STICKER, "6", "2"},
  };
  for (const Case& k : cases) EXPECT_EQ(StatusAfter(k.command, k.from), k.to) << k.command << " " << k.from;
  EXPECT_FALSE(StatusAfter(ID_VIEW_ALL, "1"));
  // Done on a marked record, then the mark cleared.
  EXPECT_EQ(*StatusAfter(ID_TASK_CLEAR_STICKER, *StatusAfter(ID_TASK_SET_DONE, "4")), "1");
}

TEST(TaskViews, ContextMenuChecksAndGreyedItems) {
  MenuState s;
  s.view = kViewWeek;
  s.selectedStatus = "5";
  s.anyStickerRecord = true;
  s.stickerOn = true;
  s.groups.heading[0] = "Г1";
  s.groups.offered[1] = false;
  auto menu = ContextMenu(s);
  ASSERT_GE(menu.size(), 6u);
  EXPECT_EQ(menu[0].text, "Выполнено");
  EXPECT_TRUE(menu[0].checked);
  EXPECT_EQ(menu[0].id, ID_TASK_CLEAR_DONE);
  EXPECT_EQ(menu[1].id, ID_TASK_SET_WORKING);
  EXPECT_FALSE(menu[1].checked);
  EXPECT_EQ(menu[2].id, 0);
  EXPECT_EQ(menu[3].id, ID_TASK_CLEAR_STICKER);
  EXPECT_TRUE(menu[3].checked);
  EXPECT_EQ(menu[4].id, ID_TASK_STICKER_ON);
  EXPECT_FALSE(menu[4].enabled);
  int checked = 0;
  for (const auto& e : menu) {
    if (e.checked && e.id == ID_VIEW_WEEK) ++checked;
    if (e.text == "  Выбрать из") {
      ASSERT_EQ(e.items.size(), 2u);
      EXPECT_EQ(e.items[0].text, "Г1");
      EXPECT_EQ(e.items[1].id, ID_TASK_CHOOSE_GROUP3);
    }
  }
  EXPECT_EQ(checked, 1);
  MenuState none;
  auto plain = ContextMenu(none);
  EXPECT_EQ(plain[0].text, "Нет записей для стикера");
  EXPECT_FALSE(plain[0].enabled);
  EXPECT_EQ(plain[1].id, ID_VIEW_STICKER);
}

TEST(TaskViews, Searches) {
  TaskList r = {Rec("Купить ХЛЕБ").Set(F::Status, "1"), Rec("x").Set(F::Notes, "хлебница\r\nи т.д.").Set(F::Status, "5"),
                Rec("y")};
  EXPECT_EQ(SearchRecords(r, "хлеб", {}), (std::vector<size_t>{0, 1}));
  EXPECT_EQ(SearchRecords(r, "хлеб", {true, false}), (std::vector<size_t>{1}));
  EXPECT_EQ(SearchRecords(r, "хлеб", {false, true}), (std::vector<size_t>{0}));
  EXPECT_TRUE(SearchRecords(r, "", {}).empty());
  EXPECT_EQ(RecordsByDone(r, true), (std::vector<size_t>{0, 1}));
  EXPECT_EQ(RecordsByDone(r, false), (std::vector<size_t>{2}));
  BuiltView all = BuildView(r, Ctx(kViewAll));
  EXPECT_EQ(FindInView(all, r, -1, "хлеб", {}), 0);
  EXPECT_EQ(FindInView(all, r, 0, "хлеб", {}), 1);
  EXPECT_EQ(FindInView(all, r, 1, "хлеб", {}), 0);  // wraps round
  EXPECT_EQ(FindInView(all, r, 0, "нет такого", {}), -1);
}

TEST(TaskViews, ReportItems) {
  TaskList r = {Rec("a").Set(F::TaskFlag, "1").Set(F::Notes, "n1\r\nn2"), Rec("d").Set(F::DeadlineFlag, "1").Set(F::Date, "07/03/2013")};
  ViewContext c = Ctx(kViewTasks);
  auto items = ReportItems(BuildView(r, c), r, c, true);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].key, "ZAGOLOVOK");
  EXPECT_EQ(items[0].value, "Задачи");
  EXPECT_EQ(items[1].block, 1);
  EXPECT_EQ(items[1].value, "Первая");
  EXPECT_EQ(items[2].value, "1 -  a");
  EXPECT_EQ(items[3].key, "NOTE");
  EXPECT_EQ(items[3].value, "n1\r\nn2");
  EXPECT_EQ(ReportItems(BuildView(r, c), r, c, false).size(), 5u);
  ViewContext d = Ctx(kViewDeadlines);
  auto dl = ReportItems(BuildView(r, d), r, d, false);
  EXPECT_EQ(dl.back().value, "7/3/2013 d");
  EXPECT_EQ(dl[1].key, "DAY");
}

TEST(TaskViews, CurrentRecordsRule) {
  EXPECT_TRUE(IsCurrentRecord(Rec("t").Set(F::TaskFlag, "1").Set(F::Date, "01/01/2000").line, kToday));
  EXPECT_TRUE(IsCurrentRecord(Rec("d").Set(F::DeadlineFlag, "01").Set(F::Date, "01/01/2000").line, kToday));
  EXPECT_TRUE(IsCurrentRecord(Rec("r").Set(F::ReminderState, "1").Set(F::Date, "01/01/2000").line, kToday));
  EXPECT_FALSE(IsCurrentRecord(Rec("old").Set(F::Date, "25/02/2013").line, kToday));
  EXPECT_TRUE(IsCurrentRecord(Rec("this week").Set(F::Date, "04/03/2013").line, kToday));
  EXPECT_TRUE(IsCurrentRecord(Rec("later").Set(F::Date, "01/06/2013").line, kToday));
  EXPECT_TRUE(IsCurrentRecord(Rec("next year").Set(F::Date, "10/01/2014").line, kToday));
  EXPECT_FALSE(IsCurrentRecord(Rec("no date").line, kToday));
}

// Weeks run Monday to Sunday across a year's end: a record is current from the Monday of
// today's week on, whatever the years' week numbers.
TEST(TaskViews, CurrentRecordsAcrossTheYearEnd) {
  struct Case {
    dates::Date today;
    const char* date;
    bool current;
  } cases[] = {
      {{15, 12, 2026}, "10/01/2027", true},  {{15, 12, 2026}, "16/12/2027", true},
      {{15, 12, 2026}, "13/12/2026", false}, {{1, 1, 2027}, "28/12/2026", true},
      {{1, 1, 2027}, "27/12/2026", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsCurrentRecord(Rec("r").Set(F::Date, c.date).line, c.today), c.current)
        << c.date << " on " << c.today.day << "/" << c.today.month << "/" << c.today.year;
}

TEST(TaskViews, NewRecordPlacedAfterTheSelectedTask) {
  Book b(Tasks());
  ViewContext c = Ctx(kViewTasks);
  BuiltView v = BuildViewOf(b.book, c);  // rows: H1 a1 a2 H2 b1 b2 H3
  std::string line = NewRecord(kViewTasks, "05/03/2013");
  PlaceNewRecord(b.book, line, v, c, 4);  // after b1
  EXPECT_EQ(GetTaskField(line, F::TaskGroup), "2");
  EXPECT_EQ(GetTaskField(line, F::TaskOrder), "2");
  SetTaskField(line, F::Headline, "new");
  ASSERT_EQ(AddNewRecord(b.book, line), AddStatus::kAdded);
  EXPECT_EQ(Texts(BuildViewOf(b.book, c)), (std::vector<std::string>{"Первая", "a1", "a2", "Вторая", "b1", "new", "b2", "Третья"}));
  std::string third = NewRecord(kViewTasks, "05/03/2013");
  PlaceNewRecord(b.book, third, BuildView(b.book.records(), c), c, 7);  // the heading of group 3
  EXPECT_EQ(GetTaskField(third, F::TaskGroup), "3");
  std::string info = NewRecord(kViewInfo, "05/03/2013");
  Book i({Rec("i").Set(F::InfoFlag, "1").Set(F::InfoOrder, "5")});
  ViewContext ic = Ctx(kViewInfo);
  PlaceNewRecord(i.book, info, BuildView(i.book.records(), ic), ic, -1);
  EXPECT_EQ(GetTaskField(info, F::InfoOrder), "6");
}

TEST(TaskViews, ParseTaskDate) {
  EXPECT_EQ(*ParseTaskDate("05/03/2013"), (dates::Date{5, 3, 2013}));
  EXPECT_EQ(*ParseTaskDate("5/3/2013"), (dates::Date{5, 3, 2013}));
  for (const char* bad : {"", "31/02/2013", "05-03-2013", "05/03/", "a/b/c", "1/2/3/4"}) EXPECT_FALSE(ParseTaskDate(bad)) << bad;
}

}  // namespace
}  // namespace vm::tasks
