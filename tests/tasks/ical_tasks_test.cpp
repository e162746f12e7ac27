#include "tasks/ical_tasks.h"

#include <gtest/gtest.h>

#include <utility>

#include "common/ical_text.h"

namespace vm::tasks {
namespace {

using F = TaskField;

std::string U8(const char8_t* s) {
  return reinterpret_cast<const char*>(s);
}

std::string Rec(std::initializer_list<std::pair<F, const char*>> fields) {
  std::string r = EmptyTaskRecord();
  SetTaskField(r, F::Date, "01/03/2027");
  for (const auto& [f, v] : fields) SetTaskField(r, f, v);
  return r;
}

std::string Reminder(std::initializer_list<std::pair<F, const char*>> fields) {
  std::string r = Rec(fields);
  SetTaskField(r, F::ReminderState, "1");
  return r;
}

std::string CalendarRule(bool q1Only, std::initializer_list<F> weeks, std::initializer_list<F> days) {
  std::string r = Reminder({{F::Headline, "По дню"}, {F::ByCalendar, "1"}, {F::WithTime, "1"}, {F::Hour, "10"},
                            {F::Minute, "00"}, {F::Permanent, "1"}});
  for (F q : {F::Quarter1, F::Quarter2, F::Quarter3, F::Quarter4, F::QuarterMonth1, F::QuarterMonth2, F::QuarterMonth3})
    SetTaskField(r, q, !q1Only || q == F::Quarter1 || q == F::QuarterMonth1 ? "1" : "0");
  for (F w : weeks) SetTaskField(r, w, "1");
  for (F d : days) SetTaskField(r, d, "1");
  return r;
}

const dates::Date kToday{1, 3, 2027};  // a Monday
const Moment kStamp{2027, 3, 1, 7, 0};
const std::initializer_list<F> kAllWeeks = {F::Week1, F::Week2, F::Week3, F::Week4, F::LastWeek};

struct Kind {
  const char* what;
  std::string record;
  std::string rrule;   // expected; empty for none
  bool inWords;        // X-VELMORIA-RULE instead
  bool comesBack;      // the reminder's rule fields return from the .ics
};

std::vector<Kind> EveryRuleKind() {
  return {
      {"once with a time", Reminder({{F::Headline, "Один раз"}, {F::ByDate, "1"}, {F::Day, "15"}, {F::Month, "03"},
                                     {F::Year, "2027"}, {F::WithTime, "1"}, {F::Hour, "09"}, {F::Minute, "30"}}),
       "", false, true},
      {"yearly, a week ahead", Reminder({{F::Headline, "Годовщина"}, {F::ByDate, "1"}, {F::Day, "10"}, {F::Month, "04"},
                                         {F::Year, "ALL"}, {F::WithTime, "0"}, {F::Hour, "00"}, {F::WeekAhead, "1"}}),
       "FREQ=YEARLY;BYMONTH=4;BYMONTHDAY=10", false, true},
      {"monthly", Reminder({{F::Headline, "Оплата"}, {F::ByDate, "1"}, {F::Day, "05"}, {F::Month, "ALL"},
                            {F::Year, "ALL"}, {F::WithTime, "1"}, {F::Hour, "08"}, {F::Minute, "00"}}),
       "FREQ=MONTHLY;BYMONTHDAY=5", false, true},
      {"monthly on the 31st", Reminder({{F::Headline, "Конец"}, {F::ByDate, "1"}, {F::Day, "31"}, {F::Month, "ALL"},
                                        {F::Year, "ALL"}, {F::WithTime, "1"}, {F::Hour, "08"}, {F::Minute, "00"}}),
       "", true, false},
      {"daily", Reminder({{F::Headline, "Зарядка"}, {F::ByDate, "1"}, {F::Day, "ALL"}, {F::Month, "ALL"},
                          {F::Year, "ALL"}, {F::WithTime, "1"}, {F::Hour, "07"}, {F::Minute, "15"}}),
       "FREQ=DAILY", false, true},
      {"every day of May", Reminder({{F::Headline, "Май"}, {F::ByDate, "1"}, {F::Day, "ALL"}, {F::Month, "05"},
                                     {F::Year, "ALL"}, {F::WithTime, "0"}, {F::Hour, "00"}}),
       "FREQ=DAILY;BYMONTH=5", false, true},
      {"every day of a year", Reminder({{F::Headline, "Год"}, {F::ByDate, "1"}, {F::Day, "ALL"}, {F::Month, "ALL"},
                                        {F::Year, "2027"}, {F::WithTime, "0"}, {F::Hour, "00"}}),
       "FREQ=DAILY;UNTIL=20271231", false, false},
      {"from a time on", Reminder({{F::Headline, "После"}, {F::ByDate, "1"}, {F::Day, "ALL"}, {F::Month, "ALL"},
                                   {F::Year, "ALL"}, {F::WithTime, "1"}, {F::Hour, ">09"}, {F::Minute, "30"}}),
       "", true, false},
      {"weekdays", CalendarRule(false, kAllWeeks, {F::Monday, F::Friday}), "FREQ=DAILY;BYDAY=MO,FR", false, true},
      {"Fridays of January", CalendarRule(true, kAllWeeks, {F::Friday}), "FREQ=DAILY;BYDAY=FR;BYMONTH=1", false, true},
      {"last week's Friday", CalendarRule(false, {F::LastWeek}, {F::Friday}), "", true, false},
      {"every 2 hours", Reminder({{F::Headline, "Пить воду"}, {F::Periodic, "1"}, {F::StartHour, "10"},
                                  {F::StartMinute, "15"}, {F::Hour, "2"}, {F::Minute, "0"}}),
       "FREQ=DAILY;BYHOUR=0,2,4,6,8,12,14,16,18,20,22;BYMINUTE=15", false, false},
      {"every 1:30", Reminder({{F::Headline, "Перерыв"}, {F::Periodic, "1"}, {F::StartHour, "10"},
                               {F::StartMinute, "00"}, {F::Hour, "1"}, {F::Minute, "30"}}),
       "", true, false},
  };
}

// The RRULE is written exactly where it fires on the rule's own days and minutes: the
// first firing the reminder check forecasts is the DTSTART, for every kind.
TEST(IcsTasks, RulesBecomeRrulesOnlyWhereTheySayTheSame) {
  for (const Kind& k : EveryRuleKind()) {
    RuleInCalendar rule = DescribeRule(k.record, kToday);
    EXPECT_TRUE(rule.hasReminder) << k.what;
    EXPECT_EQ(rule.rrule, k.rrule) << k.what;
    EXPECT_EQ(!rule.words.empty(), k.inWords) << k.what;
    if (k.inWords) continue;
    ASSERT_TRUE(rule.startFound) << k.what;
    std::vector<ForecastFiring> firings = ForecastFirings(k.record, {2027, 3, 1, 0, 0}, 20, {2035, 1, 1, 0, 0});
    std::erase_if(firings, [](const ForecastFiring& f) { return f.daysAhead != 0; });
    ASSERT_FALSE(firings.empty()) << k.what;
    Moment first = firings[0].at;
    if (rule.allDay) first.hour = first.minute = 0;
    EXPECT_EQ(rule.start, first) << k.what;
  }
}

TEST(IcsTasks, EveryRuleKindThereAndBack) {
  std::vector<Kind> kinds = EveryRuleKind();
  std::vector<std::string> records;
  for (const Kind& k : kinds) records.push_back(k.record);
  records.push_back(Rec({{F::Headline, "Сдать отчёт; срочно"}, {F::Notes, "Первое\r\nвторое, третье"},
                         {F::DeadlineFlag, "1"}, {F::TaskFlag, "1"}, {F::TaskGroup, "2"}, {F::Status, "1"}}));
  IcsExport out = TasksToIcs(records, kToday, kStamp);
  EXPECT_EQ(out.records, static_cast<int>(records.size()));
  EXPECT_EQ(out.withoutRrule, 4);
  EXPECT_TRUE(ical::IsValidUtf8(out.text));
  EXPECT_NE(out.text.find("DTSTAMP:20270301T070000Z\r\n"), std::string::npos);
  EXPECT_NE(out.text.find("DTSTART:20270315T093000\r\n"), std::string::npos);
  EXPECT_NE(out.text.find("TRIGGER;RELATED=START:-P7D\r\nREPEAT:6\r\nDURATION:P1D\r\n"), std::string::npos);
  EXPECT_NE(out.text.find(U8(u8"X-VELMORIA-RULE:По дню: кварталы 1\\,2\\,3\\,4")), std::string::npos);
  EXPECT_NE(out.text.find(U8(u8"SUMMARY:Сдать отчёт\\; срочно\r\nDESCRIPTION:Первое\\nвторое\\, третье\r\n"
                             u8"STATUS:COMPLETED\r\nPRIORITY:5\r\nCATEGORIES:Сроки,Задачи\r\nDUE;VALUE=DATE:20270301\r\n")),
            std::string::npos);

  IcsImport in = ImportIcs(out.text, "02/03/2027", 180);
  ASSERT_EQ(in.added.size(), records.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    const std::string& back = in.added[i];
    EXPECT_EQ(GetTaskField(back, F::Headline), GetTaskField(kinds[i].record, F::Headline)) << kinds[i].what;
    EXPECT_EQ(GetTaskField(back, F::Date), "01/03/2027") << kinds[i].what;
    if (!kinds[i].comesBack) continue;
    for (F f : {F::ReminderState, F::Day, F::Month, F::Year})
      EXPECT_EQ(GetTaskField(back, f), GetTaskField(kinds[i].record, f)) << kinds[i].what << " field " << static_cast<int>(f);
    for (F f : {F::ByDate, F::ByCalendar, F::Quarter1, F::Quarter2, F::QuarterMonth1, F::QuarterMonth2, F::Week1,
                F::LastWeek, F::Monday, F::Tuesday, F::Friday, F::WeekAhead, F::Periodic})
      EXPECT_EQ(TaskFlagOn(back, f), TaskFlagOn(kinds[i].record, f)) << kinds[i].what << " flag " << static_cast<int>(f);
    if (TaskFlagOn(kinds[i].record, F::WithTime)) {
      EXPECT_EQ(GetTaskField(back, F::Hour) + ":" + GetTaskField(back, F::Minute),
                GetTaskField(kinds[i].record, F::Hour) + ":" + GetTaskField(kinds[i].record, F::Minute));
    }
  }
  // What does not come back: rules said in words return as notes, and a periodic rule's
  // RRULE is one the rules cannot read, so its first firing becomes a one-time reminder
  // and the RRULE goes into the notes.
  EXPECT_EQ(GetTaskField(in.added[11], F::Periodic), "");
  EXPECT_EQ(GetTaskField(in.added[11], F::Notes), "Повторение: FREQ=DAILY;BYHOUR=0,2,4,6,8,12,14,16,18,20,22;BYMINUTE=15");
  EXPECT_EQ(GetTaskField(in.added[12], F::ReminderState), "");
  EXPECT_EQ(GetTaskField(in.added[12], F::Notes), "Напоминание: Каждые 1:30 от 10:00");
  EXPECT_EQ(in.leftOut["X-VELMORIA-RULE"], 4);
  const std::string& task = in.added.back();
  EXPECT_EQ(GetTaskField(task, F::Notes), "Первое\r\nвторое, третье");
  EXPECT_EQ(GetTaskField(task, F::Status), "1");
  EXPECT_EQ(GetTaskField(task, F::TaskGroup), "2");
  EXPECT_EQ(GetTaskField(task, F::DeadlineFlag), "1");
  EXPECT_EQ(GetTaskField(task, F::TaskFlag), "1");
  EXPECT_EQ(GetTaskField(task, F::InfoFlag), "");
}

// A calendar program's export: a zone definition, a timed event in that zone with an
// alarm 15 minutes before, an all-day yearly event, a weekly event with an exception and
// a changed instance, a UTC to-do, a journal entry and an e-mail alarm.
TEST(IcsTasks, ReadsWhatCalendarProgramsWrite) {
  const std::string ics = U8(
      u8"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example Corp.//Calendar 1.0//EN\r\n"
      u8"BEGIN:VTIMEZONE\r\nTZID:Europe/Moscow\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\n"
      u8"TZNAME:MSK\r\nDTSTART:19700101T000000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
      u8"BEGIN:VEVENT\r\nUID:1@example.com\r\nDTSTAMP:20270101T000000Z\r\n"
      u8"DTSTART;TZID=Europe/Moscow:20270412T183000\r\nDTEND;TZID=Europe/Moscow:20270412T193000\r\n"
      u8"SUMMARY:Встреча с\r\n  клиентом\r\nDESCRIPTION:Взять договор\\nи ручку\r\n"
      u8"BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
      u8"BEGIN:VALARM\r\nACTION:EMAIL\r\nTRIGGER:-P1D\r\nSUMMARY:x\r\nATTENDEE:mailto:a@b.c\r\nEND:VALARM\r\n"
      u8"END:VEVENT\r\n"
      u8"BEGIN:VEVENT\r\nUID:2@example.com\r\nDTSTAMP:20270101T000000Z\r\nDTSTART;VALUE=DATE:19800607\r\n"
      u8"DTEND;VALUE=DATE:19800608\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:День рождения Оли\r\n"
      u8"BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:PT0S\r\nDESCRIPTION:x\r\nEND:VALARM\r\nEND:VEVENT\r\n"
      u8"BEGIN:VEVENT\r\nUID:3@example.com\r\nDTSTAMP:20270101T000000Z\r\nDTSTART:20270301T090000\r\n"
      u8"RRULE:FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20271231T000000Z\r\nEXDATE:20270303T090000\r\nSUMMARY:Планёрка\r\n"
      u8"BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:PT0S\r\nDESCRIPTION:x\r\nEND:VALARM\r\nEND:VEVENT\r\n"
      u8"BEGIN:VEVENT\r\nUID:3@example.com\r\nRECURRENCE-ID:20270308T090000\r\nDTSTART:20270308T100000\r\n"
      u8"SUMMARY:Планёрка (перенесена)\r\nEND:VEVENT\r\n"
      u8"BEGIN:VTODO\r\nUID:4@example.com\r\nDTSTAMP:20270101T000000Z\r\nDUE:20270320T210000Z\r\n"
      u8"SUMMARY:Налоги\r\nPRIORITY:9\r\nSTATUS:IN-PROCESS\r\n"
      u8"BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER;RELATED=END:-PT1H\r\nEND:VALARM\r\nEND:VTODO\r\n"
      u8"BEGIN:VJOURNAL\r\nUID:5@example.com\r\nSUMMARY:Заметка\r\nEND:VJOURNAL\r\n"
      u8"END:VCALENDAR\r\n");
  IcsImport in = ImportIcs(ics, "02/03/2027", 180);
  ASSERT_EQ(in.added.size(), 4u);
  const std::string& meeting = in.added[0];
  EXPECT_EQ(GetTaskField(meeting, F::Headline), "Встреча с клиентом");
  EXPECT_EQ(GetTaskField(meeting, F::Notes), "Взять договор\r\nи ручку");
  EXPECT_EQ(GetTaskField(meeting, F::Date), "12/04/2027");
  EXPECT_EQ(GetTaskField(meeting, F::TaskFlag), "");
  EXPECT_EQ(GetTaskField(meeting, F::Day) + "/" + GetTaskField(meeting, F::Month) + "/" + GetTaskField(meeting, F::Year) +
                " " + GetTaskField(meeting, F::Hour) + ":" + GetTaskField(meeting, F::Minute),
            "12/04/2027 18:15");
  const std::string& birthday = in.added[1];
  EXPECT_EQ(GetTaskField(birthday, F::Day) + "/" + GetTaskField(birthday, F::Month) + "/" + GetTaskField(birthday, F::Year),
            "07/06/ALL");
  EXPECT_EQ(GetTaskField(birthday, F::WithTime), "0");
  const std::string& weekly = in.added[2];
  EXPECT_EQ(GetTaskField(weekly, F::ByDate), "1");  // UNTIL: no rule says it, one firing kept
  EXPECT_EQ(GetTaskField(weekly, F::Notes),
            "Повторение: FREQ=WEEKLY;BYDAY=MO,WE;UNTIL=20271231T000000Z\r\nEXDATE: 20270303T090000");
  const std::string& todo = in.added[3];
  EXPECT_EQ(GetTaskField(todo, F::Date), "21/03/2027");  // 21:00 UTC is past midnight at +3
  EXPECT_EQ(GetTaskField(todo, F::Hour) + ":" + GetTaskField(todo, F::Minute), "23:00");
  EXPECT_EQ(GetTaskField(todo, F::TaskGroup), "3");
  EXPECT_EQ(GetTaskField(todo, F::Status), "2");
  EXPECT_EQ(GetTaskField(todo, F::DeadlineFlag), "1");
  EXPECT_EQ(in.leftOut["VALARM EMAIL"], 1);
  EXPECT_EQ(in.leftOut["RRULE"], 1);
  EXPECT_EQ(in.leftOut["EXDATE"], 1);
  EXPECT_EQ(in.leftOut["RECURRENCE-ID"], 1);
  EXPECT_EQ(in.leftOut["VJOURNAL"], 1);
  EXPECT_EQ(in.leftOut.count("VTIMEZONE"), 0u);
  std::string report = IcsImportReport(in);
  EXPECT_NE(report.find("VJOURNAL (пропущены): 1"), std::string::npos);
  EXPECT_NE(report.find("изменённых повторений (пропущены): 1"), std::string::npos);
}

}  // namespace
}  // namespace vm::tasks
