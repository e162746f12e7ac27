#include "sync/record_codec.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "platform/platform.h"
#include "support/task_record.h"

namespace vm::sync {
namespace {

using tasks::TaskField;
using testing::TaskRecord;

std::string Record(std::initializer_list<const char*> fields) {
  std::string line;
  bool first = true;
  for (const char* f : fields) {
    if (!first) line += '|';
    AppendFieldText(line, f);
    first = false;
  }
  return line;
}

const CodecClock kClock{{8, 12, 2026}, {2026, 12, 8, 10, 0}, 180};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(RecordCodec, EveryBookComesBackExactlyThroughItsResource) {
  struct Case {
    BookKind kind;
    std::string record;
  } cases[] = {
      {BookKind::kContacts, Record({"Иванов Иван", "Директор", "ООО \"Ромашка\"; филиал", "Москва", "+7 495 1",
                                    "+7 916 2", "", "77", "ivanov@example.ru", "http://example.ru", "12345",
                                    "ул. Тверская, 1\r\nкв. 5", "Звонить | после 10"})},
      {BookKind::kFirms, Record({"Бумага", "ООО \"Бумага\"", "Тверь", "+7 1\r\n+7 2", "+7 3", "i@p.ru", "p.ru",
                                 "пр. Ленина, 5", "Оптом"})},
      // Orders, marks and the last firing have no property of their own.
      {BookKind::kTasks, TaskRecord("Отчёт", {{TaskField::Date, "07/03/2027"},
                                              {TaskField::TaskFlag, "1"},
                                              {TaskField::TaskOrder, "7"},
                                              {TaskField::InfoMark, "4"},
                                              {TaskField::LastFired, "07/03/2027 09:00"},
                                              {TaskField::Notes, "строка 1\r\nстрока 2"}})},
  };
  for (const Case& c : cases) {
    RecordCodec codec(c.kind, kClock);
    std::string body = codec.ToServer(c.record, "uid-1");
    RecordCodec::Read read = codec.FromServer(body);
    ASSERT_TRUE(read.ours) << body;
    EXPECT_EQ(read.uid, "uid-1");
    EXPECT_EQ(read.record, codec.Canonical(c.record)) << body;
    // Read on another day (a task's first firing moves with the day it is written on).
    RecordCodec later(c.kind, {{20, 1, 2027}, {2027, 1, 20, 8, 0}, 0});
    EXPECT_EQ(later.FromServer(body).record, codec.Canonical(c.record));
  }
}

TEST(RecordCodec, TakesWhatAnotherClientChangedAndKeepsTheRest) {
  RecordCodec contacts(BookKind::kContacts, kClock);
  std::string record = Record({"Иванов Иван", "", "", "", "+7 1", "", "", "", "", "", "", "", "комментарий"});
  std::string body = contacts.ToServer(record, "u");
  // A phone changes the number and keeps our property.
  RecordCodec::Read read = contacts.FromServer(Replace(body, "+7 1", "+7 999"));
  EXPECT_EQ(GetField(read.record, 4), "+7 999");
  EXPECT_EQ(GetField(read.record, 12), "комментарий");

  RecordCodec tasksCodec(BookKind::kTasks, kClock);
  std::string task = TaskRecord("Купить", {{TaskField::MiscFlag, "1"}, {TaskField::MiscOrder, "3"}});
  std::string ics = tasksCodec.ToServer(task, "t");
  // The resource is UTF-8; the literals here are Windows-1251.
  std::string renamed =
      tasksCodec.FromServer(Replace(ics, platform::Cp1251ToUtf8("SUMMARY:Купить"), platform::Cp1251ToUtf8("SUMMARY:Продать")))
          .record;
  EXPECT_EQ(GetField(renamed, 0), "Продать");
  EXPECT_EQ(GetField(renamed, 51), "3");  // the order only the carried record knows
}

TEST(RecordCodec, EachBookTakesOnlyItsOwnResources) {
  const std::string person = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p\r\nFN:Петров\r\nEND:VCARD\r\n";
  const std::string firm = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:f\r\nKIND:org\r\nFN:ООО\r\nORG:ООО\r\nEND:VCARD\r\n";
  const std::string event =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:e\r\nSUMMARY:x\r\nDTSTART:20261208T100000\r\n"
      "END:VEVENT\r\nEND:VCALENDAR\r\n";
  RecordCodec contacts(BookKind::kContacts, kClock), firms(BookKind::kFirms, kClock), tasks(BookKind::kTasks, kClock);
  EXPECT_TRUE(contacts.FromServer(person).ours);
  EXPECT_EQ(GetField(contacts.FromServer(person).record, 0), "Петров");
  EXPECT_FALSE(contacts.FromServer(firm).ours);
  EXPECT_TRUE(firms.FromServer(firm).ours);
  EXPECT_FALSE(firms.FromServer(person).ours);
  EXPECT_FALSE(tasks.FromServer(event).ours);
  EXPECT_TRUE(firms.FromServer(firms.ToServer(Record({"a", "b", "", "", "", "", "", "", ""}), "x")).ours);
  // A damaged carried record falls back to the standard properties.
  std::string damaged = Replace(contacts.ToServer(Record({"Сидоров", "", "", "", "", "", "", "", "", "", "", "", ""}), "u"),
                                "X-VELMORIA-RECORD:", "X-VELMORIA-RECORD:@@");
  EXPECT_EQ(GetField(contacts.FromServer(damaged).record, 0), "Сидоров");
}

TEST(RecordCodec, RemovesAFoldedPropertyWhole) {
  EXPECT_EQ(RemoveProperty("A:1\r\nX-P;Q=1:abc\r\n def\r\n\tghi\r\nX-PQ:2\r\nB:3\r\n", "x-p"), "A:1\r\nX-PQ:2\r\nB:3\r\n");
}

}  // namespace
}  // namespace vm::sync
