#include "common/record_file.h"

#include <gtest/gtest.h>

#include "data/table.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;
using testing::HeldFiles;

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
      // the escapes of a line break, typed, would come back as one
      {"PATTERN: отчёт", "PATTER#N: отчёт", "PATTERN: отчёт"},
      {"EOR:ERN:", "EO#R:ER#N:", "EOR:ERN:"},
      {"ERN#:", "ER#N:", "ERN:"},
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

// The field functions as first written, byte by byte: the fast ones must agree with
// them on every line.
namespace plain {
bool Counted(std::string_view l, size_t i) { return l[i] == '|' && (i == 0 || l[i - 1] != '#'); }
bool GetField(std::string_view line, int n, std::string& value) {
  value.clear();
  if (line.empty() || n < 0) return false;
  size_t start = 0, i = 0;
  int passed = 0;
  for (; i < line.size(); ++i) {
    if (!Counted(line, i)) continue;
    if (passed++ == n) break;
    start = i + 1;
  }
  if (passed < n) return false;
  for (size_t k = start; k < i; ++k)
    if (line[k] != '#') value.push_back(line[k]);
  return true;
}
std::string SetField(std::string_view record, int n, std::string_view value) {
  std::vector<size_t> seps;
  for (size_t i = 0; i < record.size(); ++i)
    if (Counted(record, i)) seps.push_back(i);
  if (n < 0 || static_cast<int>(seps.size()) < n) return std::string(record);
  size_t begin = n == 0 ? 0 : seps[n - 1] + 1;
  size_t end = n < static_cast<int>(seps.size()) ? seps[n] : record.size();
  return std::string(record.substr(0, begin)) + std::string(value) + std::string(record.substr(end));
}
std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}
std::string FieldText(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '|')
      out += "#|";
    else if (c == '\n' && (i == 0 || value[i - 1] != '\r'))
      out += "\r\n";
    else if (c != '#')
      out += c;
  }
  return Replaced(Replaced(out, "ERN:", "ER#N:"), "EOR:", "EO#R:");
}
}  // namespace plain

TEST(RecordLine, FastFieldFunctionsAgreeWithThePlainOnes) {
  const char* const pieces[] = {"|", "|", "#", "##", "#|", "a", "E", "ER", "ERN:", "EOR:", "O", ":", "\r", "\n", "<"};
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 4000; ++round) {
    std::string line;
    for (size_t len = next() % (round % 4 ? 24 : 80); line.size() < len;) line += pieces[next() % std::size(pieces)];
    SCOPED_TRACE(::testing::PrintToString(line));
    int counted = 0, all = 0;
    for (size_t i = 0; i < line.size(); ++i) counted += plain::Counted(line, i), all += line[i] == '|';
    EXPECT_EQ(CountFieldSeparators(line), counted);
    EXPECT_EQ(CountSeparators(line), all);
    for (int n = -1; n <= counted + 1; ++n) {
      std::string fast = "junk", slow;
      EXPECT_EQ(GetField(line, n, fast), plain::GetField(line, n, slow)) << n;
      EXPECT_EQ(fast, slow) << n;
      EXPECT_EQ(SetField(line, n, "v#|"), plain::SetField(line, n, "v#|")) << n;
    }
    EXPECT_EQ(FieldText(line), plain::FieldText(line));
    // Any value reads the same from a saved and reloaded record as before the save, and
    // the field after it stays where it was.
    std::string record = "a|" + FieldText(line) + "|z";
    std::string reread = UndoLineEscapes(ApplyLineEscapes(record));
    EXPECT_EQ(GetField(reread, 1), GetField(record, 1));
    EXPECT_EQ(GetField(reread, 2), "z");
    EXPECT_EQ(HoldsAnyOf(line, std::string_view("#\n\0", 3)), line.find_first_of(std::string_view("#\n\0", 3)) != std::string::npos);
    EXPECT_EQ(UndoLineEscapes(line), plain::Replaced(plain::Replaced(line, "ERN:", "\r\n"), "EOR:", "\r"));
    EXPECT_EQ(ApplyLineEscapes(line), plain::Replaced(plain::Replaced(line, "\r\n", "ERN:"), "\r", "EOR:"));
    std::vector<std::string> lines;
    for (size_t start = 0; start < line.size();) {
      size_t lf = std::min(line.find('\n', start), line.size());
      size_t stop = lf < line.size() && lf > start && line[lf - 1] == '\r' ? lf - 1 : lf;
      lines.push_back(line.substr(start, stop - start));
      start = lf + 1;
    }
    EXPECT_EQ(SplitTextLines(line), lines);
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

// A contacts file held by another program reads as nothing: the empty book must never
// be written over it by a later save, even after the user added a card, until the user
// confirms replacing it. A file readable again binds the book once more.
TEST_F(RecordBookTest, AFileThatCouldNotBeReadIsNeverWrittenOverUnasked) {
  const std::string kept = "Иванов|||||||||||||\r\n";
  Spit(book.path, kept);
  {
    HeldFiles files;
    files.held.insert(book.path);
    LoadOutcome out = LoadRecords(book, ContactsLayout());
    EXPECT_FALSE(out.opened);
    EXPECT_NE(out.error.find(book.path), std::string::npos);
    EXPECT_NE(out.error.find("не будет перезаписан"), std::string::npos) << out.error;
  }
  EXPECT_TRUE(book.unread);
  book.records.push_back("Петров||||||||||||");
  book.state = kStateChanged;
  SaveOutcome refused = SaveRecords(book);
  EXPECT_EQ(refused.status, SaveStatus::kRefusedUnread);
  EXPECT_NE(refused.error.find(book.path), std::string::npos);
  EXPECT_EQ(book.state, kStateChanged) << "the card stays for the user's decision";
  EXPECT_EQ(Slurp(book.path), kept);

  book.unread = false;  // the user confirmed replacing it
  EXPECT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(book.path), "Петров||||||||||||\r\n");
  book.unread = true;
  LoadRecords(book, ContactsLayout());
  EXPECT_FALSE(book.unread);
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

// Books of one stem share a side file ("Дом.dbw", "Дом.dbc", "Дом.dbo" all write
// "Дом.err"), and a book may be loaded again before its side file was looked at: a
// rejected line kept only there once vanished when the next load replaced the file.
TEST_F(RecordBookTest, SideFileKeepsWhatEarlierLoadsLeftThere) {
  const std::string side = dir / "Дом.err";
  const std::string first = SideFileText(SeparatorMessage(12), "контакт|1\n1\n");
  book.path = dir / "Дом.dbc";
  Spit(book.path, "контакт|1\r\n");
  LoadRecords(book, ContactsLayout());
  EXPECT_EQ(Slurp(side), first);  // a new side file is as it always was
  EXPECT_EQ(book.loadMessage, SideFileMessage(side));

  dates::Date today{2026, 12, 8};
  tasks::TaskBook tasks;
  Spit(dir / "Дом.dbw", "дело|2|3\r\n");
  tasks::LoadTaskFile(tasks, dir / "Дом.dbw", today);
  RecordBook firms;
  firms.path = dir / "Дом.dbo";
  Spit(firms.path, "фирма|1\r\n");
  LoadRecords(firms, FirmsLayout());
  Spit(book.path, "контакт|2\r\nконтакт|1\r\n");
  LoadRecords(book, ContactsLayout());
  EXPECT_EQ(book.loadMessage, "Незагруженные строки добавлены в файл " + side);

  std::string text = Slurp(side);
  ASSERT_EQ(text.rfind(first, 0), 0u) << text;
  size_t task = text.find("\n---- Дом.dbw, ");
  size_t firm = text.find("\n---- Дом.dbo, ");
  size_t again = text.find("\n---- Дом.dbc, ");
  ASSERT_TRUE(task != std::string::npos && firm != std::string::npos && again != std::string::npos) << text;
  EXPECT_TRUE(task < firm && firm < again);
  EXPECT_NE(text.find("дело|2|3\n2\n", task), std::string::npos);
  EXPECT_NE(text.find(SideFileText(SeparatorMessage(8), "фирма|1\n1\n"), firm), std::string::npos);
  EXPECT_EQ(text.substr(text.find('\n', again + 1) + 1),
            SideFileText(SeparatorMessage(12), "контакт|2\n1\nконтакт|1\n1\n"));
  EXPECT_EQ(text.find("\n---- ", again + 1), std::string::npos);

  // A side file that exists but cannot be read is left alone: the lines stay in the book.
  HeldFiles files;
  files.held.insert(side);
  Spit(book.path, "контакт|3\r\n");
  LoadRecords(book, ContactsLayout());
  EXPECT_EQ(book.carried, std::vector<std::string>{"контакт|3"});
  EXPECT_EQ(book.loadMessage, SideFileFailedMessage(side, 1));
  files.held.clear();
  EXPECT_EQ(Slurp(side), text);
}

}  // namespace
}  // namespace vm
