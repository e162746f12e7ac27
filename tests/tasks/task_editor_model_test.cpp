// The task editor's decisions: lists, opening, the panel's rules, the date check, what OK
// writes, the placement, links, and the forecast of firings against the real check.
#include "tasks/task_editor_model.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "support/scratch.h"
#include "support/task_record.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using Record = testing::TaskRecord;

TEST(TaskEditorLists, HoldExactlyTheChoices) {
  std::vector<std::string> hours = HourItems();
  ASSERT_EQ(hours.size(), 50u);
  EXPECT_EQ(hours[0], "00");
  EXPECT_EQ(hours[24], "24");
  EXPECT_EQ(hours[25], ">00");
  EXPECT_EQ(hours[48], ">23");
  EXPECT_EQ(hours[49], "ALL");
  std::vector<std::string> years = YearItems();
  ASSERT_EQ(years.size(), 52u);
  EXPECT_EQ(years.front(), "2000");
  EXPECT_EQ(years[50], "2050");
  EXPECT_EQ(years.back(), "ALL");
  EXPECT_EQ(DayItems().size(), 32u);
  EXPECT_EQ(DayItems()[30], "31");
  EXPECT_EQ(MonthItems().size(), 13u);
  EXPECT_EQ(MonthItems()[0], "01");
  EXPECT_EQ(MinuteItems().size(), 60u);
  EXPECT_EQ(MinuteItems().back(), "59");
}

TEST(TaskEditorDate, FollowsTheFormatAndTheCalendar) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"29/02/2012", true},   {"29/02/2013", false}, {"5/3/2013", false},   {"05/03/2013", true},
      {"31/04/2013", false},  {"00/04/2013", false}, {"10/13/2013", false}, {"10/00/2013", false},
      {"29/02/2000", true},   {"29/02/1900", false}, {"1a/02/2013", false}, {"01-02-2013", false},
      {"01/02/20133", false}, {"", false},           {"31/12/2050", true},  {"31/12/2099", true},
      {"01/01/2100", false},  {"01/01/1901", true},  {"31/12/1900", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidEditorDate(c.text), c.valid) << c.text;
}

TEST(TaskEditorOpen, ActiveOrMissedReminderFillsThePanelFromTheRecord) {
  for (const char* state : {"1", "-1"}) {
    std::string rec = Record({{F::Headline, "Отчёт"},
                              {F::Date, "07/03/2013"},
                              {F::ReminderState, state},
                              {F::ByCalendar, "1"},
                              {F::Quarter2, "01"},
                              {F::Friday, "1"},
                              {F::LastWeek, "2"},
                              {F::Hour, ">09"},
                              {F::Minute, "30"},
                              {F::SoundFile, "C:\\a.wav"},
                              {F::TaskFlag, "1"}});
    EditorValues v = OpenValues(rec, {2026, 5, 10, 14, 5}, "D:\\last.wav");
    EXPECT_EQ(v.On(F::ReminderState), std::string(state) == "1");
    EXPECT_TRUE(v.On(F::ByCalendar));
    EXPECT_TRUE(v.On(F::Quarter2));  // reads as 1
    EXPECT_FALSE(v.On(F::LastWeek));
    EXPECT_FALSE(v.On(F::ByDate));
    EXPECT_TRUE(v.On(F::TaskFlag));
    EXPECT_EQ(v.hour, ">09");
    EXPECT_EQ(v.minute, "30");
    EXPECT_EQ(v.day, "");
    EXPECT_EQ(v.soundFile, "C:\\a.wav");
    EXPECT_FALSE(v.On(F::PcBeep));
    EXPECT_EQ(v.date, "07/03/2013");
  }
}

TEST(TaskEditorOpen, OtherRecordsGetTheDefaults) {
  std::string rec = NewRecord(kViewTasks, "10/05/2026");
  EditorValues v = OpenValues(rec, {2026, 5, 10, 9, 7}, "");  // a Sunday
  EXPECT_FALSE(v.On(F::ReminderState));
  EXPECT_EQ(v.hour, "09");
  EXPECT_EQ(v.minute, "07");
  EXPECT_EQ(v.day + v.month + v.year, "10052026");
  EXPECT_TRUE(v.On(F::ByDate));
  EXPECT_FALSE(v.On(F::ByCalendar));
  EXPECT_TRUE(v.On(F::Sunday));
  EXPECT_FALSE(v.On(F::Monday));
  EXPECT_TRUE(v.On(F::PcBeep));
  EXPECT_TRUE(v.On(F::TaskFlag));

  EditorValues withWave = OpenValues(rec, {2026, 5, 10, 9, 7}, "C:\\ding.wav");
  EXPECT_EQ(withWave.soundFile, "C:\\ding.wav");
  EXPECT_FALSE(withWave.On(F::PcBeep));

  EXPECT_EQ(GetTaskField(OpenRecord(rec, ""), F::EditDate), "10/05/2026");
  std::string shortLine = "Старая|запись";
  EXPECT_TRUE(HasTaskField(OpenRecord(shortLine, ""), F::ProjectOrder));
  std::string fresh = OpenRecord("", "10/05/2026");
  EXPECT_EQ(CountSeparators(fresh), kTaskSeparators);
  EXPECT_EQ(GetTaskField(fresh, F::Date), "10/05/2026");
}

TEST(TaskEditorStore, WritesEveryFieldOfTheTableAndKeepsTheRest) {
  std::string copy = OpenRecord(Record({{F::DiaryOrder, "3"},
                                        {F::TaskOrder, "2"},
                                        {F::TaskGroup, "2"},
                                        {F::Status, "5"},
                                        {F::LastFired, "10/5/2026"},
                                        {F::InfoMark, "4"},
                                        {F::Date, "01/05/2026"},
                                        {F::ReminderState, "1"},
                                        {F::MiscOrder, "7"}}),
                                "");
  EditorValues v = OpenValues(copy, {2026, 5, 10, 14, 5}, "");
  v.headline = "Позвонить | срочно #1";
  v.notes = "строка 1\r\nстрока 2\nстрока 3";
  v.date = "29/02/2028";
  v.Set(F::ReminderState, true);
  v.Set(F::DeadlineFlag, true);
  v.Set(F::ByDate, true);
  v.Set(F::WithTime, true);
  v.hour = ">09";
  v.minute = "30";
  v.day = "ALL";
  v.month = "05";
  v.year = "2026";
  v.soundFile = "C:\\Звуки\\ding.wav";
  v.Set(F::WeekAhead, true);
  StoreOutcome out = StoreValues(copy, v, {2026, 5, 10, 14, 5});
  ASSERT_EQ(out.status, StoreStatus::kStored);
  const std::string& line = out.line;
  EXPECT_TRUE(HasTaskField(line, F::ProjectOrder));
  EXPECT_FALSE(HasTaskField(line, static_cast<F>(kTaskFieldCount)));
  EXPECT_EQ(GetTaskField(line, F::Headline), "Позвонить | срочно 1");
  EXPECT_EQ(GetTaskField(line, F::Notes), "строка 1\r\nстрока 2\r\nстрока 3");
  EXPECT_EQ(GetTaskField(line, F::Date), "29/02/2028");
  EXPECT_EQ(GetTaskField(line, F::EditDate), "01/05/2026");
  EXPECT_EQ(GetTaskField(line, F::ReminderState), "1");
  EXPECT_EQ(GetTaskField(line, F::DeadlineFlag), "1");
  EXPECT_EQ(GetTaskField(line, F::InfoFlag), "0");
  EXPECT_EQ(GetTaskField(line, F::Quarter1), "0");
  EXPECT_EQ(GetTaskField(line, F::Hour), ">09");
  EXPECT_EQ(GetTaskField(line, F::Minute), "30");
  EXPECT_EQ(GetTaskField(line, F::Day), "ALL");
  EXPECT_EQ(GetTaskField(line, F::Year), "2026");
  EXPECT_EQ(GetTaskField(line, F::StartHour), "14");
  EXPECT_EQ(GetTaskField(line, F::StartMinute), "5");
  EXPECT_EQ(GetTaskField(line, F::LastFired), "");
  EXPECT_EQ(GetTaskField(line, F::SoundFile), "C:\\Звуки\\ding.wav");
  EXPECT_EQ(GetTaskField(line, F::WeekAhead), "1");
  EXPECT_EQ(GetTaskField(line, F::PcBeep), "0");  // the record's own, not the default
  // Fields the editor does not show are the page's and stay as they were.
  for (auto [f, value] : {std::pair{F::DiaryOrder, "3"},
                          {F::TaskOrder, "2"},
                          {F::TaskGroup, "2"},
                          {F::Status, "5"},
                          {F::InfoMark, "4"},
                          {F::MiscOrder, "7"}})
    EXPECT_EQ(GetTaskField(line, f), value);

  v.Set(F::ReminderState, false);
  EXPECT_EQ(GetTaskField(StoreValues(copy, v, {2026, 5, 10, 0, 0}).line, F::ReminderState), "0");
  EXPECT_EQ(GetTaskField(StoreValues(copy, v, {2026, 5, 10, 0, 0}).line, F::StartHour), "0");
}

TEST(TaskEditorStore, BadDateOrNoHeadlineWritesNothing) {
  std::string copy =
      OpenRecord(Record({{F::Headline, "Было"}, {F::Date, "5/3/2013"}, {F::LastFired, "1/1/2026"}}), "");
  EditorValues v = OpenValues(copy, {2026, 5, 10, 14, 5}, "");
  v.headline = "Стало";
  StoreOutcome bad = StoreValues(copy, v, {2026, 5, 10, 14, 5});
  EXPECT_EQ(bad.status, StoreStatus::kBadDate);
  EXPECT_EQ(bad.line, copy);
  EXPECT_EQ(BadDateMessage(v.date), kBadDateMessage);
  v.date = "01/03/2100";  // a day of a year beyond the calendar says so
  EXPECT_EQ(StoreValues(copy, v, {2026, 5, 10, 14, 5}).status, StoreStatus::kBadDate);
  EXPECT_EQ(BadDateMessage(v.date), "Год 2100 вне календаря программы: даты считаются для 1901–2099 годов.");
  v.date = "05/03/2013";
  v.headline.clear();
  StoreOutcome empty = StoreValues(copy, v, {2026, 5, 10, 14, 5});
  EXPECT_EQ(empty.status, StoreStatus::kNoHeadline);
  EXPECT_EQ(empty.line, copy);
}

// A reminder by date with a time: every list is in use.
EditorValues ListsInUse(std::string& copy) {
  copy = OpenRecord(Record({{F::Headline, "Срок"}, {F::Date, "25/03/2013"}}), "");
  EditorValues v = OpenValues(copy, {2013, 3, 25, 14, 5}, "");
  v.Set(F::ReminderState, true);
  v.day = "27", v.month = "03", v.year = "2013", v.hour = "09", v.minute = "00";
  return v;
}

TEST(TaskEditorStore, ListsTakeWhatTheyOfferAndOkNamesABoxThatHoldsAnythingElse) {
  struct Case {
    F field;
    const char* text;
    bool fits;
  } cases[] = {
      {F::Day, "ALL", true},     {F::Day, "01", true},      {F::Day, "1", true},
      {F::Day, "31", true},      {F::Day, "AL", false},     {F::Day, "32", false},
      {F::Day, "00", false},     {F::Day, "", false},       {F::Day, "1a", false},
      {F::Day, "001", false},    {F::Month, "ALL", true},   {F::Month, "12", true},
      {F::Month, "13", false},   {F::Month, "all", false},  {F::Year, "ALL", true},
      {F::Year, "2050", true},   {F::Year, "2099", true},   {F::Year, "2100", false},
      {F::Year, "20|26", false}, {F::Hour, "ALL", true},    {F::Hour, "24", true},
      {F::Hour, ">00", true},    {F::Hour, ">23", true},    {F::Hour, ">24", false},
      {F::Hour, ">ALL", false},  {F::Hour, "25", false},    {F::Minute, "59", true},
      {F::Minute, "60", false},  {F::Minute, "ALL", false},
  };
  const Moment now{2013, 3, 25, 14, 5};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.field)) + " " + c.text);
    std::string copy;
    EditorValues v = ListsInUse(copy);
    *v.ListText(c.field) = c.text;
    StoreOutcome out = StoreValues(copy, v, now);
    EXPECT_EQ(out.status, c.fits ? StoreStatus::kStored : StoreStatus::kBadList);
    EXPECT_EQ(out.message.empty(), c.fits);
    if (!c.fits) EXPECT_EQ(out.line, copy);
  }
  std::string copy;
  EditorValues v = ListsInUse(copy);
  v.day = "AL";
  EXPECT_EQ(BadListMessage(v), "Поле \"День\" напоминания: допустимо 01–31 или ALL.");
  v.minute = "75";  // the first box in the panel's order is named
  EXPECT_EQ(BadListMessage(v), "Поле \"День\" напоминания: допустимо 01–31 или ALL.");
  v.day = "05";
  EXPECT_EQ(BadListMessage(v), "Поле \"Минуты\" напоминания: допустимо 00–59.");
  // Lists the reminder does not use, or a reminder that is off, are not looked at.
  v.Set(F::WithTime, false);
  EXPECT_EQ(BadListMessage(v), "");
  v.Set(F::WithTime, true);
  v.Set(F::ReminderState, false);
  EXPECT_EQ(StoreValues(copy, v, now).status, StoreStatus::kStored);
}

TEST(TaskEditorStore, OkAsksAboutAnActiveReminderThatNeverFires) {
  const Moment now{2013, 3, 25, 14, 5};
  std::string copy;
  EditorValues v = ListsInUse(copy);
  EXPECT_FALSE(StoreValues(copy, v, now).neverFires);
  v.year = "2012";
  StoreOutcome past = StoreValues(copy, v, now);
  EXPECT_EQ(past.status, StoreStatus::kStored);
  EXPECT_TRUE(past.neverFires);
  v.Set(F::ReminderState, false);  // not a reminder at all: nothing to ask
  EXPECT_FALSE(StoreValues(copy, v, now).neverFires);
}

TEST(ReminderForecast, RepeatHintNamesTheBoxThatMakesAOnceRuleRepeat) {
  const Moment now{2013, 3, 25, 14, 5};  // a Monday
  std::string copy;
  EditorValues v = ListsInUse(copy);
  // One date fires once: "ALL" in a date list makes it repeat.
  const std::string byDate =
      "Сработает один раз. Чтобы повторялось, выберите ALL в поле дня, месяца или года.";
  EXPECT_EQ(RepeatHint(copy, v, now), byDate);
  v.Set(F::WeekAhead, true);  // notices ahead are not repeats
  EXPECT_EQ(RepeatHint(copy, v, now), byDate);
  v.month = "ALL";
  EXPECT_EQ(RepeatHint(copy, v, now), "");
  v.month = "03", v.year = "2012";  // never fires: the preview says so already
  EXPECT_EQ(RepeatHint(copy, v, now), "");

  // Every Monday at 09:00 fires once and switches itself off without "Постоянное сообщение".
  v.Set(F::ByDate, false);
  v.Set(F::ByCalendar, true);
  for (int n = static_cast<int>(F::Quarter1); n <= static_cast<int>(F::LastWeek); ++n)
    v.Set(static_cast<F>(n), true);
  v.Set(F::Monday, true);
  EXPECT_EQ(PreviewFirings(copy, v, now).size(), 1u);
  EXPECT_EQ(RepeatHint(copy, v, now),
            "Сработает один раз и выключится. Чтобы повторялось, отметьте «Постоянное сообщение».");
  v.Set(F::Permanent, true);
  EXPECT_EQ(PreviewFirings(copy, v, now).size(), 5u);
  EXPECT_EQ(RepeatHint(copy, v, now), "");
  v.Set(F::Permanent, false);
  v.Set(F::ReminderState, false);
  EXPECT_EQ(RepeatHint(copy, v, now), "");
}

TEST(TaskEditorPanel, ClicksAndEnableRules) {
  EditorValues v;
  v.Set(F::ByDate, true);
  v.Set(F::ByCalendar, true);
  ApplyClick(v, F::ByCalendar);
  EXPECT_FALSE(v.On(F::ByDate));
  auto on = PanelEnabled(v);
  auto enabled = [&](F f) { return on[static_cast<size_t>(f)]; };
  EXPECT_FALSE(enabled(F::ByDate));
  EXPECT_TRUE(enabled(F::Quarter1) && enabled(F::LastWeek) && enabled(F::Sunday) && enabled(F::AllWeekdays));
  EXPECT_FALSE(enabled(F::Day) || enabled(F::Month) || enabled(F::Year));
  EXPECT_FALSE(enabled(F::Hour));  // no time set
  EXPECT_TRUE(enabled(F::Periodic));

  // Ticking "Напомнить" brings the closed panel into view; nothing else opens it.
  v.Set(F::ReminderState, true);
  EXPECT_TRUE(ClickOpensPanel(v, F::ReminderState, false));
  EXPECT_FALSE(ClickOpensPanel(v, F::ReminderState, true));
  EXPECT_FALSE(ClickOpensPanel(v, F::ByDate, false));
  v.Set(F::ReminderState, false);
  EXPECT_FALSE(ClickOpensPanel(v, F::ReminderState, false));

  v.Set(F::ByDate, true);
  ApplyClick(v, F::ByDate);
  EXPECT_FALSE(v.On(F::ByCalendar));
  v.Set(F::WithTime, true);
  on = PanelEnabled(v);
  EXPECT_TRUE(enabled(F::Day) && enabled(F::Year) && enabled(F::Hour) && enabled(F::Minute));
  EXPECT_FALSE(enabled(F::ByCalendar) || enabled(F::Quarter3) || enabled(F::Monday) ||
               enabled(F::AllWeekdays));
  EXPECT_FALSE(enabled(F::Periodic));

  v.Set(F::WithTime, false);
  v.Set(F::Periodic, true);
  on = PanelEnabled(v);
  EXPECT_TRUE(enabled(F::Hour) && enabled(F::Minute) && enabled(F::Periodic) && enabled(F::PcBeep) &&
              enabled(F::SoundFile));
  for (F f : {F::ByDate, F::ByCalendar, F::Day, F::Year, F::Quarter1, F::Friday, F::AllWeekdays, F::WithTime,
              F::Permanent, F::WeekAhead})
    EXPECT_FALSE(enabled(f)) << static_cast<int>(f);

  v.Set(F::AllWeekdays, true);
  ApplyClick(v, F::AllWeekdays);
  for (F f : {F::Monday, F::Wednesday, F::Sunday}) EXPECT_TRUE(v.On(f));
  ApplyClick(v, F::Tuesday);
  EXPECT_FALSE(v.On(F::AllWeekdays));
  EXPECT_TRUE(v.On(F::Monday));
}

TEST(TaskEditorPlacement, RestoresSavesAndLeavesThePanelOut) {
  testing::ScratchFolder dir;
  CAppUtil app(dir.path(), "Velmoria");
  EXPECT_EQ(LoadEditorRect(app, 20, 30), (EditorRect{20, 30, 450, 230}));
  SaveEditorRect(app, {100, 50, 600, 550}, true);
  EXPECT_EQ(app.GetSetting("EDITPLACEMENT", "BOTTOM"), "300");
  EXPECT_EQ(LoadEditorRect(app, 0, 0), (EditorRect{100, 50, 600, 300}));
  SaveEditorRect(app, {100, 50, 600, 550}, false);
  EXPECT_EQ(LoadEditorRect(app, 0, 0), (EditorRect{100, 50, 600, 550}));
  app.PutSetting("EDITPLACEMENT", "RIGHT", "");
  EXPECT_EQ(LoadEditorRect(app, 5, 5), (EditorRect{5, 5, 435, 205}));
  app.PutSetting("EDITPLACEMENT", "RIGHT", "90");  // left of LEFT
  EXPECT_EQ(LoadEditorRect(app, 5, 5), (EditorRect{5, 5, 435, 205}));
}

TEST(TaskEditorNotes, LinksTextsAndPanes) {
  EXPECT_EQ(LinkText("C:\\Мои документы\\план.doc"), "file:///C:/Мои%20документы/план.doc");
  EXPECT_EQ(LinkText("\\\\server\\общий диск"), "file://///server/общий%20диск");
  EXPECT_EQ(LinkText("readme.txt"), "readme.txt");
  EXPECT_EQ(FindInNotes("Купить ХЛЕБ и хлеб", "хлеб", 0, true, false), 7u);
  EXPECT_EQ(FindInNotes("Купить ХЛЕБ и хлеб", "хлеб", 0, true, true), 14u);
  EXPECT_EQ(FindInNotes("Купить ХЛЕБ и хлеб", "хлеб", 8, true, false), 14u);
  EXPECT_EQ(FindInNotes("Купить ХЛЕБ и хлеб", "хлеб", 14, false, false), 7u);
  EXPECT_EQ(FindInNotes("Купить ХЛЕБ и хлеб", "мёд", 0, true, false), std::string::npos);
  EXPECT_EQ(ExternalEditorText("Заголовок", "текст"), "Заголовок\n\nтекст");
  EXPECT_EQ(NotesFromFile("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(LayoutPaneText("00000419"), "RUS");
  EXPECT_EQ(LayoutPaneText("00000409"), "EN-US");
  EXPECT_EQ(PanelPaneText(false), "Установки напоминания открыть");
  EXPECT_EQ(PanelPaneText(true), "Установки напоминания закрыть");
}

// The forecast must name exactly the minutes at which the timer's minute-by-minute
// checks fire the record, over a span of days.
TEST(ReminderForecast, AgreesWithTheMinuteByMinuteCheck) {
  const Moment from{2013, 3, 25, 9, 0};  // a Monday
  const int days = 9;
  std::vector<std::string> records = {
      Record({{F::ReminderState, "1"},
              {F::Periodic, "1"},
              {F::StartHour, "14"},
              {F::StartMinute, "5"},
              {F::Hour, "00"},
              {F::Minute, "45"}}),
      Record({{F::ReminderState, "1"},
              {F::Periodic, "1"},
              {F::StartHour, "10"},
              {F::StartMinute, "0"},
              {F::Hour, "13"},
              {F::Minute, "00"}}),
      Record({{F::ReminderState, "1"},
              {F::ByDate, "1"},
              {F::Day, "ALL"},
              {F::Month, "ALL"},
              {F::Year, "ALL"},
              {F::WithTime, "1"},
              {F::Hour, ">09"},
              {F::Minute, "30"}}),
      Record({{F::ReminderState, "1"},
              {F::ByDate, "1"},
              {F::Day, "29"},
              {F::Month, "03"},
              {F::Year, "2013"},
              {F::WithTime, "1"},
              {F::Hour, "10"},
              {F::Minute, "15"},
              {F::WeekAhead, "1"}}),
      Record({{F::ReminderState, "1"},
              {F::ByDate, "1"},
              {F::Day, "02"},
              {F::Month, "ALL"},
              {F::Year, "2013"},
              {F::WithTime, "0"},
              {F::Hour, "ALL"}}),
      Record({{F::ReminderState, "-1"},
              {F::ByDate, "1"},
              {F::Day, "ALL"},
              {F::Month, "04"},
              {F::Year, "2013"},
              {F::WithTime, "1"},
              {F::Hour, "ALL"},
              {F::Minute, "20"}}),
      Record({{F::ReminderState, "1"},
              {F::ByCalendar, "1"},
              {F::Quarter1, "1"},
              {F::QuarterMonth3, "1"},
              {F::LastWeek, "1"},
              {F::Friday, "1"},
              {F::WithTime, "1"},
              {F::Hour, "08"},
              {F::Minute, "00"},
              {F::Permanent, "1"}}),
      Record({{F::ReminderState, "1"},
              {F::ByCalendar, "1"},
              {F::Quarter1, "1"},
              {F::Quarter2, "1"},
              {F::QuarterMonth1, "1"},
              {F::QuarterMonth3, "1"},
              {F::Week1, "1"},
              {F::Week4, "1"},
              {F::LastWeek, "1"},
              {F::Tuesday, "1"},
              {F::Wednesday, "1"},
              {F::WithTime, "0"},
              {F::Permanent, "1"}}),
      Record({{F::ReminderState, "1"},
              {F::ByCalendar, "1"},
              {F::Quarter2, "1"},
              {F::QuarterMonth1, "1"},
              {F::Week1, "1"},
              {F::Monday, "1"},
              {F::WithTime, "0"},
              {F::Permanent, "0"}}),
      Record(
          {{F::ReminderState, "1"}, {F::ByDate, "1"}, {F::Day, "20"}, {F::Month, "03"}, {F::Year, "2013"}}),
  };
  for (size_t k = 0; k < records.size(); ++k) {
    SCOPED_TRACE(k);
    TaskList book = {records[k]};
    std::vector<ForecastFiring> fired;
    dates::Date day = DateOf(from);
    for (int d = 0; d < days; ++d, day = dates::AddDays(day, 1)) {
      for (int m = d == 0 ? from.hour * 60 + from.minute : 0; m < 24 * 60; ++m) {
        Moment at{day.year, day.month, day.day, m / 60, m % 60};
        for (const Firing& f : CheckReminders(book, at).firings) fired.push_back({at, f.daysAhead});
      }
    }
    dates::Date end = dates::AddDays(DateOf(from), days - 1);
    std::vector<ForecastFiring> forecast = ForecastFirings(
        records[k], from, static_cast<int>(fired.size()) + 3, {end.year, end.month, end.day, 23, 59});
    EXPECT_EQ(forecast, fired);
    // Only the last record, whose date has passed, stays silent.
    EXPECT_EQ(fired.empty(), k + 1 == records.size());
  }
}

TEST(ReminderForecast, PreviewOfTheRuleAsSet) {
  const Moment now{2013, 3, 25, 14, 5};
  std::string copy = OpenRecord(NewRecord(kViewTasks, "25/03/2013"), "");
  EditorValues v = OpenValues(copy, now, "");
  EXPECT_EQ(PreviewFirings(copy, v, now), std::vector<std::string>{kNeverFires});  // "Напомнить" is off
  v.Set(F::ReminderState, true);
  v.Set(F::WithTime, false);
  v.Set(F::Periodic, true);
  v.hour = "00";
  v.minute = "45";
  EXPECT_EQ(PreviewFirings(copy, v, now, 3),
            (std::vector<std::string>{"Пн 25/03/2013 14:50", "Пн 25/03/2013 15:35", "Пн 25/03/2013 16:20"}));
  v.Set(F::Periodic, false);
  v.Set(F::WithTime, true);
  v.Set(F::WeekAhead, true);
  v.day = "27";
  v.hour = "09";
  v.minute = "00";
  EXPECT_EQ(PreviewFirings(copy, v, now),
            (std::vector<std::string>{"Пн 25/03/2013 14:05 - за 2д.", "Вт 26/03/2013 00:00 - за 1д.",
                                      "Ср 27/03/2013 09:00"}));
  v.year = "2012";
  EXPECT_EQ(PreviewFirings(copy, v, now), std::vector<std::string>{kNeverFires});
}

}  // namespace
}  // namespace vm::tasks
