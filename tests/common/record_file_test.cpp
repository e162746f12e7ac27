#include "common/record_file.h"

#include <gtest/gtest.h>

#include "data/table.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "tasks/task_record.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

TEST(RecordLine, FieldsFollowTheHashEscape) {
  struct Case {
    const char* line;
    int n;
    bool exists;
    const char* value;
  } cases[] = {
      {"x#|y|z", 0, true, "x|y"},
      {"x#|y|z", 1, true, "z"},
      {"x#|y|z", 2, false, ""},
      {"a|b|c|d", 5, false, ""},
      {"a|b|c|d", 3, true, "d"},
      {"", 0, false, ""},
      {"|a", 0, true, ""},  // a leading "|" always separates
      {"|a", 1, true, "a"},
      {"a##b|c", 0, true, "ab"},
      {"a||", 2, true, ""},
      {"#|", 0, true, "|"},
  };
  for (const Case& c : cases) {
    std::string value = "junk";
    EXPECT_EQ(GetField(c.line, c.n, value), c.exists) << c.line << " n=" << c.n;
    EXPECT_EQ(value, c.value) << c.line << " n=" << c.n;
  }
  EXPECT_EQ(CountSeparators("x#|y|z"), 2);  // the escaped one counts here
}

TEST(RecordLine, SetFieldReplacesOnlyTheCountedField) {
  EXPECT_EQ(SetField("a|b|c", 0, "X"), "X|b|c");
  EXPECT_EQ(SetField("a|b|c", 1, "X"), "a|X|c");
  EXPECT_EQ(SetField("a|b|c", 2, "X"), "a|b|X");
  EXPECT_EQ(SetField("a|b|c", 3, "X"), "a|b|c");
  EXPECT_EQ(SetField("a#|b|c", 1, "X"), "a#|b|X");
  EXPECT_EQ(SetField("a|b", 1, "new|val"), "a|new|val");
}

TEST(RecordLine, LineEscapesRoundTrip) {
  EXPECT_EQ(ApplyLineEscapes("a\r\nb"), "aERN:b");
  EXPECT_EQ(ApplyLineEscapes("a\rb\r\n"), "aEOR:bERN:");
  EXPECT_EQ(ApplyLineEscapes("a\nb"), "a\nb");  // a lone LF is not escaped
  EXPECT_EQ(UndoLineEscapes("aERN:bEOR:c"), "a\r\nb\rc");
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\r\r\nd"), (std::vector<std::string>{"a", "b", "c\r", "d"}));
  EXPECT_EQ(SideFilePath("C:\\x\\Support\\cont.dbc"), "C:\\x\\Support\\cont.err");
  EXPECT_EQ(SideFilePath("C:\\a.b\\file"), "C:\\a.b\\file.err");
}

TEST(RecordLine, FieldTextKeepsTheRecordWhole) {
  struct Case {
    const char* typed;
    const char* stored;
    const char* readBack;
  } cases[] = {
      {"Иванов", "Иванов", "Иванов"},
      {"a|b", "a#|b", "a|b"},     // a "|" would shift every later field
      {"Иван#", "Иван", "Иван"},  // a last "#" would swallow the next separator
      {"#1 ## 2", "1  2", "1  2"},
      {"две\r\nстроки", "две\r\nстроки", "две\r\nстроки"},
      {"раз\nдва\n", "раз\r\nдва\r\n", "раз\r\nдва\r\n"},  // a lone LF would split the line
      {"старый\rперенос", "старый\rперенос", "старый\rперенос"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldText(c.typed), c.stored) << c.typed;
    EXPECT_EQ(GetField(FieldText(c.typed) + "|next", 0), c.readBack) << c.typed;
    EXPECT_EQ(GetField(FieldText(c.typed) + "|next", 1), "next") << c.typed;
  }
}

// Every book writes its fields by that rule: a value ending in "#" or holding "|" once
// shifted every later field of a task record.
TEST(RecordLine, EveryBookWritesFieldsByTheSharedRule) {
  for (const char* value : {"Задача #", "a|b", "#", "раз\nдва"}) {
    SCOPED_TRACE(value);
    std::string expected = GetField(FieldText(value), 0);
    std::string task = tasks::EmptyTaskRecord();
    tasks::SetTaskField(task, tasks::TaskField::ReminderState, "1");
    tasks::SetTaskField(task, tasks::TaskField::ByDate, "1");
    tasks::SetTaskField(task, tasks::TaskField::Headline, value);
    EXPECT_EQ(tasks::GetTaskField(task, tasks::TaskField::Headline), expected);
    EXPECT_EQ(tasks::GetTaskField(task, tasks::TaskField::ReminderState), "1");
    EXPECT_EQ(tasks::GetTaskField(task, tasks::TaskField::ByDate), "1");

    data::CTableRecord row{"a|b|c"};
    row.SetField(0, value);
    EXPECT_EQ(row.Field(0), expected);
    EXPECT_EQ(row.Field(1), "b");
    EXPECT_EQ(data::CountFieldSeparators(row.line), 2);
  }
}

class RecordBookTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  RecordBook book;
  void SetUp() override { book.path = dir / "cont.dbc"; }
};

TEST_F(RecordBookTest, LoadsRejectsAndWritesTheSideFile) {
  std::string ok12 = "a|b|c|d|e|f|g|h|i|j|k|l|m";
  std::string bad11 = "a|b|c|d|e|f|g|h|i|j|k|l";
  std::string ok13 = ok12 + "|n";
  Spit(book.path, ok12 + "\r\n" + bad11 + "\r\n\r\nno separators\r\n" + ok13 + "\r\n");
  LoadOutcome out = LoadRecords(book, ContactsLayout());
  ASSERT_TRUE(out.opened);
  EXPECT_EQ(out.rejected, 1);
  EXPECT_EQ(book.records, (std::vector<std::string>{ok12, ok13}));
  EXPECT_EQ(book.state, kStateChanged);
  std::string side = dir / "cont.err";
  EXPECT_EQ(book.loadMessage, "Создан файл " + side + " с незагруженными строками");
  EXPECT_TRUE(LoadInfoEnabled(book));
  EXPECT_EQ(Slurp(side),
            "В строке должно быть 12 разделителей '|'.\n\nФормат файла:\nНезагруженная строка\n"
            "Количество разделителей\n\n" + bad11 + "\n11\n");

  // Saving after a rejecting load rewrites the file without the rejected line.
  EXPECT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
  EXPECT_EQ(book.state, kStateSaved);
  EXPECT_EQ(Slurp(book.path), ok12 + "\r\n" + ok13 + "\r\n");
}

// Without their side file the rejected lines would exist nowhere after the next save:
// they are written back to the book file, unchanged, and the load message says so.
TEST_F(RecordBookTest, RejectedLinesWithoutSideFileStayInTheBookFile) {
  struct Case {
    const char* name;
    RecordLayout layout;
    std::string good, bad;
  } cases[] = {{"contacts", ContactsLayout(), "a|b|c|d|e|f|g|h|i|j|k|l|m", "bad|line"},
               {"firms", FirmsLayout(), "a|b|c|d|e|f|g|h|i", "badERN:line|x"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spit(book.path, c.good + "\r\n" + c.bad + "\r\n");
    platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kOpen; });
    LoadOutcome out = LoadRecords(book, c.layout);
    platform::SetSafeReplaceFaultHook(nullptr);
    EXPECT_EQ(out.rejected, 1);
    std::string side = dir / "cont.err";
    EXPECT_EQ(Slurp(side), "<missing>");
    EXPECT_EQ(book.loadMessage, "Не удалось создать файл " + side +
                                    " с незагруженными строками.\n Эти строки (1) не загружены и сохраняются "
                                    "в файле без изменений.");
    EXPECT_EQ(book.state, kStateLoaded);
    book.records[0] = "new" + c.good;
    book.state = kStateChanged;
    ASSERT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
    EXPECT_EQ(Slurp(book.path), "new" + c.good + "\r\n" + c.bad + "\r\n");
  }
}

TEST_F(RecordBookTest, MultiLineFieldsRoundTripAndCleanLoadIsUnchanged) {
  book.records = {"a\r\nb|c\rd|||||||||||"};
  book.state = kStateChanged;
  ASSERT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(book.path), "aERN:b|cEOR:d|||||||||||\r\n");
  RecordBook again;
  again.path = book.path;
  LoadRecords(again, ContactsLayout());
  EXPECT_EQ(again.records, book.records);
  EXPECT_EQ(again.state, kStateLoaded);
  EXPECT_TRUE(again.loadMessage.empty());
  EXPECT_EQ(SaveRecords(again).status, SaveStatus::kUnchanged);
}

TEST_F(RecordBookTest, FirmsRestoreLineBreaksInRejectedLines) {
  Spit(book.path, "aERN:b|c\r\n");
  LoadRecords(book, FirmsLayout());
  EXPECT_TRUE(book.records.empty());
  EXPECT_NE(Slurp(dir / "cont.err").find("a\r\nb|c\n1\n"), std::string::npos);
}

TEST_F(RecordBookTest, OldFormatStopsAndIsNeverOverwrittenByTheFragment) {
  std::string ok = "1|2|3|4|5|6|7|8|9|10|11|12|13";
  std::string original = ok + "\r\n<Records count=2>\r\n" + ok + "\r\n";
  Spit(book.path, original);
  LoadRecords(book, ContactsLayout());
  EXPECT_EQ(book.records.size(), 1u);
  EXPECT_EQ(book.loadMessage, kContactsOldFormatMessage);
  EXPECT_EQ(book.state, kStateLoaded);
  book.records.push_back(ok);
  book.state = kStateChanged;
  SaveOutcome saved = SaveRecords(book);
  EXPECT_EQ(saved.status, SaveStatus::kRefusedOldFormat);
  EXPECT_FALSE(saved.error.empty());
  EXPECT_EQ(Slurp(book.path), original);
}

TEST_F(RecordBookTest, UnreadableFileLeavesTheBookEmptyAndUnsaved) {
  LoadOutcome out = LoadRecords(book, ContactsLayout());
  EXPECT_FALSE(out.opened);
  EXPECT_FALSE(out.error.empty());
  EXPECT_EQ(book.state, kStateNew);
  EXPECT_EQ(SaveRecords(book).status, SaveStatus::kUnchanged);
}

TEST_F(RecordBookTest, FailedSaveKeepsTheOldFileAndTheChangedState) {
  Spit(book.path, "old|||||||||||\r\n");
  book.records = {"new|||||||||||"};
  for (auto step : {platform::SaveError::kOpen, platform::SaveError::kWrite, platform::SaveError::kFlush,
                    platform::SaveError::kRename}) {
    platform::SetSafeReplaceFaultHook([step](platform::SaveError s) { return s == step; });
    book.state = kStateChanged;
    SaveOutcome out = SaveRecords(book);
    EXPECT_EQ(out.status, SaveStatus::kFailed) << static_cast<int>(step);
    EXPECT_FALSE(out.error.empty());
    EXPECT_EQ(book.state, kStateChanged);
    EXPECT_EQ(Slurp(book.path), "old|||||||||||\r\n");
    EXPECT_EQ(Slurp(book.path + ".vmtmp"), "<missing>");  // no temporary left behind
  }
  platform::SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(book.path), "new|||||||||||\r\n");
}

}  // namespace
}  // namespace vm
