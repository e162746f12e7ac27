#include "tasks/snoozes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "common/record_file.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "tasks/task_commands.h"
#include "tasks/task_views.h"

namespace vm::tasks {
namespace {

using F = TaskField;

// Every day at 9:30.
std::string Daily(const char* headline = "Принять лекарство") {
  return testing::TaskRecord(headline, {{F::ReminderState, "1"},
                                        {F::ByDate, "1"},
                                        {F::Day, "ALL"},
                                        {F::Month, "ALL"},
                                        {F::Year, "ALL"},
                                        {F::WithTime, "1"},
                                        {F::Hour, "09"},
                                        {F::Minute, "30"}});
}

TaskBook LoadedBook(const testing::ScratchFolder& dir, const TaskList& records) {
  testing::Spit(dir / "work.dbw", RecordFileBytes(records));
  TaskBook book;
  LoadTaskFile(book, dir / "work.dbw", {15, 3, 2027});
  return book;
}

std::vector<std::string> Headlines(const PassResult& r) {
  std::vector<std::string> out;
  for (const Firing& f : r.firings) out.push_back(f.headline);
  return out;
}

TEST(Snooze, WhenItComesBack) {
  struct Case {
    Moment now;
    SnoozeSpan span;
    Moment at;
  } cases[] = {
      {{2027, 3, 15, 9, 30}, SnoozeSpan::k5Minutes, {2027, 3, 15, 9, 35}},
      {{2027, 3, 15, 9, 50}, SnoozeSpan::k10Minutes, {2027, 3, 15, 10, 0}},
      {{2027, 3, 15, 9, 30}, SnoozeSpan::k15Minutes, {2027, 3, 15, 9, 45}},
      {{2027, 12, 31, 23, 45}, SnoozeSpan::k30Minutes, {2028, 1, 1, 0, 15}},
      {{2028, 2, 28, 23, 30}, SnoozeSpan::kHour, {2028, 2, 29, 0, 30}},
      {{2027, 2, 28, 18, 5}, SnoozeSpan::kTomorrow, {2027, 3, 1, 18, 5}},
      {{2028, 2, 28, 18, 5}, SnoozeSpan::kTomorrow, {2028, 2, 29, 18, 5}},
  };
  for (const Case& c : cases) EXPECT_EQ(SnoozeUntil(c.now, c.span), c.at) << TimeStamp(c.now);
  EXPECT_EQ(AddMinutes({2027, 3, 1, 0, 10}, -20), (Moment{2027, 2, 28, 23, 50}));
  EXPECT_EQ(SnoozeSpanTexts().size(), static_cast<size_t>(kSnoozeSpanCount));
  EXPECT_EQ(SnoozeSpanTexts().back(), "завтра в это время");

  // An advance notice counts its days down to the moment it comes back.
  Firing notice;
  notice.key = RecordKey(Daily());
  notice.daysAhead = 2;
  notice.due = {2027, 3, 15, 23, 40};
  EXPECT_EQ(SnoozeFiring(notice, {2027, 3, 15, 23, 40}, SnoozeSpan::k10Minutes).daysAhead, 2);
  EXPECT_EQ(SnoozeFiring(notice, {2027, 3, 15, 23, 40}, SnoozeSpan::k30Minutes).daysAhead, 1);
  EXPECT_EQ(SnoozeFiring(notice, {2027, 3, 16, 23, 40}, SnoozeSpan::kTomorrow).daysAhead, 0);
  EXPECT_EQ(SnoozeFiring(notice, {2027, 3, 16, 23, 40}, SnoozeSpan::kTomorrow).key, notice.key);
}

// What a reminder says and when it comes: the fields of the key.
bool KeyField(int n) {
  const F f = static_cast<F>(n);
  return f == F::Headline || f == F::Notes || f == F::Date || f == F::Permanent ||
         (n >= static_cast<int>(F::ByDate) && n <= static_cast<int>(F::WeekAhead));
}

// The key is FNV-1a over the fields of what and when, each as the shared reader gives it
// and followed by 0x1f, in sixteen hex digits.
TEST(Snooze, TheRecordKeyHashesWhatAndWhenAsTheyRead) {
  std::mt19937 rng(23);
  const char alphabet[] = {'|', '|', '#', 'x', '1', '\xE0'};
  for (int round = 0; round < 1000; ++round) {
    std::string line = round % 2 ? EmptyTaskRecord() : "";
    for (size_t i = rng() % 120; i > 0; --i)
      line.insert(rng() % (line.size() + 1), 1, alphabet[rng() % sizeof alphabet]);
    uint64_t h = 14695981039346656037ull;
    for (int n = 0; n < kTaskFieldCount; ++n) {
      if (!KeyField(n)) continue;
      for (unsigned char c : GetTaskField(line, static_cast<F>(n)) + '\x1f') h = (h ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    ASSERT_EQ(RecordKey(line), hex) << line;
  }
}

TEST(Snooze, TheRecordKeyIgnoresMarksOrdersAndStampsAndSeesWhatAndWhen) {
  const std::string base = Daily();
  const std::string key = RecordKey(base);
  EXPECT_EQ(key.size(), 16u);
  auto with = [&](F field, const char* value) {
    std::string l = base;
    SetTaskField(l, field, value);
    return RecordKey(l);
  };
  for (F same : {F::LastFired, F::ReminderState, F::TaskOrder, F::DiaryOrder, F::InfoOrder, F::MiscOrder,
                 F::ProjectOrder, F::Status, F::InfoMark, F::TaskFlag, F::InfoFlag, F::DeadlineFlag,
                 F::MiscFlag, F::ProjectFlag, F::TaskGroup, F::EditDate, F::SoundFile, F::PcBeep})
    EXPECT_EQ(with(same, "15/3/2027 9:30"), key) << static_cast<int>(same);
  for (F edited : {F::Headline, F::Notes, F::Date, F::Hour, F::Minute, F::Day, F::Monday, F::Periodic,
                   F::WeekAhead, F::Permanent})
    EXPECT_NE(with(edited, "7"), key) << static_cast<int>(edited);
  // A short line reads as the padded one; a field moved to its neighbour is another record.
  std::string shortLine = "Купить хлеб|заметка";
  std::string padded = shortLine;
  PadTaskRecord(padded);
  EXPECT_EQ(RecordKey(shortLine), RecordKey(padded));
  EXPECT_NE(RecordKey("Купить хлеб|заметка"), RecordKey("Купить хлебзаметка|"));
  // The key sees what the field reader sees: an escaped "|" stays inside its field, and
  // fields past the record's last are not the record's.
  std::string escaped = base;
  SetTaskField(escaped, F::Headline, "a|b #1");
  EXPECT_EQ(GetTaskField(escaped, F::Headline), "a|b 1");
  EXPECT_NE(RecordKey(escaped), key);
  EXPECT_EQ(RecordKey(escaped + "|extra"), RecordKey(escaped));
  std::string moved = escaped;
  SetTaskField(moved, F::Headline, "a|b 1");
  EXPECT_EQ(RecordKey(moved), RecordKey(escaped)) << "same fields read, same record";
}

// The key as one walk over the line's bytes, field by field.
std::string KeyByteByByte(std::string_view line) {
  auto outsideKey = [](int f) { return !KeyField(f); };
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](unsigned char c) { h = (h ^ c) * 1099511628211ull; };
  int field = 0;
  for (size_t i = 0; i < line.size() && field < kTaskFieldCount; ++i) {
    if (line[i] == '|' && (i == 0 || line[i - 1] != '#')) {
      if (!outsideKey(field)) mix(0x1f);
      ++field;
    } else if (line[i] != '#' && !outsideKey(field)) {
      mix(static_cast<unsigned char>(line[i]));
    }
  }
  for (; field < kTaskFieldCount; ++field)
    if (!outsideKey(field)) mix(0x1f);
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

TEST(Snooze, TheRecordKeyIsTheHashOfEveryByteAFieldReads) {
  std::mt19937 rng(41);
  const char alphabet[] = {'|', '|', '|', '#', 'a', '1', '\xE0'};
  for (int round = 0; round < 3000; ++round) {
    std::string line = round % 2 ? EmptyTaskRecord() : std::string();
    for (size_t i = rng() % 120; i > 0; --i) line.insert(rng() % (line.size() + 1), 1, alphabet[rng() % sizeof alphabet]);
    ASSERT_EQ(RecordKey(line), KeyByteByByte(line)) << line;
  }
}

TEST(SnoozePass, SnoozesOfOneRecordEachFireWithTheirOwnTimeAndDays) {
  TaskList records{Daily("Один"), Daily("Два")};
  std::vector<Snooze> list;
  for (int k : {0, 1, 0, 3, 3})
    list.push_back({{2027, 3, 15, 9, 10 + k}, k, RecordKey(records[k % 2 == 0 ? 0 : 1])});
  std::vector<std::string> seen;
  for (const Firing& f : RunSnoozes(list, records, {2027, 3, 15, 9, 30}).firings) {
    Firing alone = FiringOf(records[f.record], f.record, f.daysAhead, f.due);
    EXPECT_EQ(f.headline, alone.headline);
    EXPECT_EQ(f.key, alone.key);
    seen.push_back(f.headline + " " + TimeStamp(f.due));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Один 15/3/2027 9:10", "Один 15/3/2027 9:10",
                                            "Два - через 1д. 15/3/2027 9:11", "Два - через 3д. 15/3/2027 9:13",
                                            "Два - через 3д. 15/3/2027 9:13"}));
}

TEST(SnoozeFile, RoundTripAndHostileLines) {
  std::vector<Snooze> list = {{{2027, 3, 15, 9, 35}, 0, std::string(16, 'a')},
                              {{1, 1, 1, 0, 0}, 7, "0123456789abcdef"},
                              {{9999, 12, 31, 23, 59}, 3, "fedcba9876543210"}};
  std::string text = SnoozeFileText(list);
  EXPECT_EQ(text.substr(0, text.find('\r')), kSnoozeFileHeader);
  EXPECT_NE(text.find("2027-03-15 09:35|0|aaaaaaaaaaaaaaaa\r\n"), std::string::npos);
  SnoozeParse back = ParseSnoozeFile(text);
  EXPECT_TRUE(back.header);
  EXPECT_EQ(back.snoozes, list);
  EXPECT_EQ(back.badLines, 0);

  std::string good = "2027-03-15 09:35|0|aaaaaaaaaaaaaaaa";
  std::string hostile = std::string(kSnoozeFileHeader) + "\n" + good + "\n\n" +
                        "2027-02-29 09:35|0|aaaaaaaaaaaaaaaa\n"   // no such day
                        "2027-03-15 24:00|0|aaaaaaaaaaaaaaaa\n"   // no such hour
                        "2027-03-15 09:35|8|aaaaaaaaaaaaaaaa\n"   // more days than a notice has
                        "2027-03-15 09:35|0|AAAAAAAAAAAAAAAA\n"   // keys are lower case
                        "2027-03-15 09:35|0|aaaaaaaaaaaaaaa\n"    // one digit short
                        "2027-03-15 09:35|0|aaaaaaaaaaaaaaaa \n"  // trailing blank
                        "+027-03-15 09:35|0|aaaaaaaaaaaaaaaa\n" +
                        good;  // the last line without its line end
  SnoozeParse parsed = ParseSnoozeFile(hostile);
  EXPECT_EQ(parsed.snoozes.size(), 2u);
  EXPECT_EQ(parsed.badLines, 7);
  EXPECT_EQ(parsed.firstBadLine, 4);

  // Without the header (another program's file, or a newer format) nothing is read.
  SnoozeParse foreign = ParseSnoozeFile(good + "\n" + good);
  EXPECT_FALSE(foreign.header);
  EXPECT_TRUE(foreign.snoozes.empty());
  EXPECT_TRUE(ParseSnoozeFile("").snoozes.empty());
  EXPECT_EQ(SnoozeFilePath("C:\\Мои\\work.dbw"), "C:\\Мои\\work.dbw.snz");
  EXPECT_EQ(SnoozeFilePath(""), "");
}

TEST(SnoozePass, DueOnesFireOnceWaitingOnesStayStaleOnesGo) {
  TaskList records = {Daily("Первое"), Daily("Второе"), Daily("Третье")};
  std::vector<Snooze> list = {{{2027, 3, 15, 10, 0}, 0, RecordKey(records[1])},
                              {{2027, 3, 15, 9, 40}, 0, RecordKey(records[0])},
                              {{2027, 3, 15, 9, 35}, 0, RecordKey(Daily("Удалённое"))},
                              {{2027, 3, 15, 11, 0}, 2, RecordKey(records[2])}};
  SnoozePass before = RunSnoozes(list, records, {2027, 3, 15, 9, 39});
  EXPECT_TRUE(before.firings.empty());
  EXPECT_TRUE(before.changed) << "the deleted record's snooze is dropped";
  EXPECT_EQ(list.size(), 3u);

  // After a sleep over two of the minutes both fire once, in the order they came due.
  SnoozePass woke = RunSnoozes(list, records, {2027, 3, 15, 10, 20});
  ASSERT_EQ(woke.firings.size(), 2u);
  EXPECT_EQ(woke.firings[0].headline, "Первое");
  EXPECT_EQ(woke.firings[0].record, 0u);
  EXPECT_EQ(woke.firings[0].due, (Moment{2027, 3, 15, 9, 40}));
  EXPECT_EQ(woke.firings[1].headline, "Второе");
  EXPECT_TRUE(RunSnoozes(list, records, {2027, 3, 15, 10, 20}).firings.empty()) << "once only";

  // An advance notice comes back with its count; an edited record loses its snooze.
  SnoozePass notice = RunSnoozes(list, records, {2027, 3, 15, 11, 0});
  ASSERT_EQ(notice.firings.size(), 1u);
  EXPECT_EQ(notice.firings[0].headline, "Третье - через 2д.");
  list = {{{2027, 3, 15, 12, 0}, 0, RecordKey(records[2])}};
  SetTaskField(records[2], F::Minute, "45");
  SnoozePass edited = RunSnoozes(list, records, {2027, 3, 15, 12, 0});
  EXPECT_TRUE(edited.firings.empty());
  EXPECT_TRUE(list.empty());
}

// The scheduler with the store, as the page runs it: a reminder fires, is put off, comes
// back at the chosen minute and not before, and a restart reads the snooze back.
TEST(SnoozeScheduler, ASnoozedReminderComesBackThroughTheSchedulerAndSurvivesARestart) {
  testing::ScratchFolder dir;
  TaskBook book = LoadedBook(dir, {Daily(), Daily("Другое")});
  SnoozeStore store;
  ReminderScheduler scheduler;
  PassResult fired = scheduler.Tick(book, {2027, 3, 15, 9, 30}, &store);
  ASSERT_EQ(Headlines(fired), (std::vector<std::string>{"Принять лекарство", "Другое"}));
  EXPECT_EQ(store.path(), dir / "work.dbw.snz");
  EXPECT_FALSE(platform::FileExists(store.path())) << "no snoozes, no file";

  ASSERT_TRUE(store.Add(SnoozeFiring(fired.firings[0], {2027, 3, 15, 9, 31}, SnoozeSpan::k15Minutes)));
  EXPECT_EQ(testing::Slurp(store.path()),
            std::string(kSnoozeFileHeader) + "\r\n2027-03-15 09:46|0|" + RecordKey(Daily()) + "\r\n");
  EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 31}, &store).firings.empty());
  EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 45}, &store).firings.empty());

  // The program restarts: a new store and scheduler over the book read back from disk.
  TaskBook again = LoadedBook(dir, {Daily(), Daily("Другое")});
  SnoozeStore store2;
  ReminderScheduler scheduler2;
  EXPECT_TRUE(scheduler2.Tick(again, {2027, 3, 15, 9, 45}, &store2).firings.empty());
  EXPECT_EQ(store2.snoozes().size(), 1u);
  PassResult back = scheduler2.Tick(again, {2027, 3, 15, 9, 46}, &store2);
  ASSERT_EQ(Headlines(back), (std::vector<std::string>{"Принять лекарство"}));
  EXPECT_TRUE(back.firings[0].snoozed);
  EXPECT_EQ(back.firings[0].key, RecordKey(Daily()));
  EXPECT_FALSE(platform::FileExists(store2.path())) << "the last snooze gone, the file goes too";
  EXPECT_TRUE(scheduler2.Tick(again, {2027, 3, 15, 9, 47}, &store2).firings.empty());
  EXPECT_EQ(again.Field(0, F::LastFired), "") << "a snooze's firing stamps nothing";
}

TEST(SnoozeScheduler, EditsDropSnoozesAndAnUnloadedBookKeepsThem) {
  testing::ScratchFolder dir;
  TaskBook book = LoadedBook(dir, {Daily(), Daily("Другое")});
  SnoozeStore store;
  ReminderScheduler scheduler;
  scheduler.Tick(book, {2027, 3, 15, 9, 0}, &store);
  Firing a = FiringOf(book.record(0), 0, 0, {2027, 3, 15, 9, 0});
  Firing b = FiringOf(book.record(1), 1, 0, {2027, 3, 15, 9, 0});
  store.Add(SnoozeFiring(a, {2027, 3, 15, 9, 0}, SnoozeSpan::k5Minutes));
  store.Add(SnoozeFiring(b, {2027, 3, 15, 9, 0}, SnoozeSpan::kHour));
  store.Add(SnoozeFiring(b, {2027, 3, 15, 9, 0}, SnoozeSpan::k10Minutes));
  EXPECT_EQ(store.snoozes().size(), 2u) << "one snooze a record, the latest choice";

  // The user edits the first record's headline within the same minute: the next tick
  // runs although the minute did not change, and drops that snooze from the file.
  book.SetField(0, F::Headline, "Принять лекарство после еды");
  EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 0}, &store).ran);
  ASSERT_EQ(store.snoozes().size(), 1u);
  EXPECT_EQ(ParseSnoozeFile(testing::Slurp(store.path())).snoozes, store.snoozes());
  // A book without its file (an old-format file stopped the load) holds no records,
  // which says nothing about the snoozes: the file stays as it is for the next load.
  const std::string onDisk = testing::Slurp(store.path());
  TaskBook none;
  store.Follow(none);
  EXPECT_TRUE(store.path().empty());
  EXPECT_TRUE(store.Run(none, {2027, 3, 15, 9, 0}).firings.empty());
  EXPECT_EQ(testing::Slurp(dir / "work.dbw.snz"), onDisk);
  store.Follow(book);
  EXPECT_EQ(store.snoozes().size(), 1u);
  EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 5}, &store).firings.empty());
  EXPECT_EQ(Headlines(scheduler.Tick(book, {2027, 3, 15, 9, 10}, &store)),
            std::vector<std::string>{"Другое"});
}

// A reminder put off, then the record changed before it comes back: marking it done or
// working, giving or taking the sticker mark, moving it in a view or to another group
// keeps the snooze; rewriting what the reminder says or when it comes drops it.
TEST(SnoozeScheduler, MarksAndOrdersKeepASnoozeWhatAndWhenDropIt) {
  auto status = [](int command, const char* now) { return *StatusAfter(command, now); };
  struct Change {
    F field;
    std::string value;
    bool keeps;
  } changes[] = {
      {F::Status, status(ID_TASK_SET_DONE, ""), true},
      {F::Status, status(ID_TASK_SET_WORKING, ""), true},
      {F::Status, status(ID_TASK_SET_STICKER, ""), true},
      {F::InfoMark, "4", true},
      {F::TaskOrder, "3", true},
      {F::DiaryOrder, "2", true},
      {F::ProjectOrder, "7", true},
      {F::TaskGroup, "2", true},
      {F::TaskFlag, "1", true},
      {F::Headline, "Принять лекарство после еды", false},
      {F::Notes, "две таблетки", false},
      {F::Date, "16/03/2027", false},
      {F::Day, "16", false},
      {F::Hour, "10", false},
      {F::Monday, "1", false},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(static_cast<int>(c.field));
    testing::ScratchFolder dir;
    TaskBook book = LoadedBook(dir, {Daily(), Daily("Другое")});
    SnoozeStore store;
    ReminderScheduler scheduler;
    PassResult fired = scheduler.Tick(book, {2027, 3, 15, 9, 30}, &store);
    ASSERT_EQ(fired.firings.size(), 2u);
    ASSERT_TRUE(store.Add(SnoozeFiring(fired.firings[0], {2027, 3, 15, 9, 30}, SnoozeSpan::k15Minutes)));
    book.SetField(0, c.field, c.value);
    EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 31}, &store).firings.empty());
    EXPECT_EQ(store.snoozes().size(), c.keeps ? 1u : 0u);
    EXPECT_EQ(platform::FileExists(store.path()), c.keeps);
    PassResult back = scheduler.Tick(book, {2027, 3, 15, 9, 45}, &store);
    if (c.keeps) {
      ASSERT_EQ(back.firings.size(), 1u);
      EXPECT_TRUE(back.firings[0].snoozed);
      EXPECT_EQ(back.firings[0].record, 0u);
    } else {
      EXPECT_TRUE(back.firings.empty());
    }
  }
}

// Side files written while the key still held every field the user sets: their snoozes
// find their records, take the present keys, and the file is written again with them.
TEST(SnoozeStore, ASideFileWithFormerKeysStillFindsItsRecords) {
  testing::ScratchFolder dir;
  std::string marked = Daily("Другое");
  SetTaskField(marked, F::Status, "4");
  TaskBook book = LoadedBook(dir, {Daily(), marked});
  // The keys as the earlier program wrote them for these two records.
  EXPECT_EQ(FormerRecordKey(Daily()), "1c40960d3a9f4a65");
  EXPECT_EQ(FormerRecordKey(marked), "2b8307c170737352");
  testing::Spit(dir / "work.dbw.snz", std::string(kSnoozeFileHeader) +
                                          "\r\n2027-03-15 09:46|0|1c40960d3a9f4a65"
                                          "\r\n2027-03-15 09:50|2|2b8307c170737352"
                                          "\r\n2027-03-15 09:40|0|0123456789abcdef\r\n");
  SnoozeStore store;
  ReminderScheduler scheduler;
  EXPECT_TRUE(scheduler.Tick(book, {2027, 3, 15, 9, 20}, &store).firings.empty());
  const std::vector<Snooze> renewed = {{{2027, 3, 15, 9, 46}, 0, RecordKey(Daily())},
                                       {{2027, 3, 15, 9, 50}, 2, RecordKey(marked)}};
  EXPECT_EQ(store.snoozes(), renewed) << "the snooze of no record is dropped";
  EXPECT_EQ(testing::Slurp(store.path()), SnoozeFileText(renewed));

  // From now on the sticker mark coming off leaves the snooze as it is.
  book.SetField(1, F::Status, *StatusAfter(ID_TASK_CLEAR_STICKER, "4"));
  EXPECT_EQ(Headlines(scheduler.Tick(book, {2027, 3, 15, 9, 30}, &store)),
            (std::vector<std::string>{"Принять лекарство", "Другое"}));
  EXPECT_EQ(store.snoozes(), renewed);
  EXPECT_EQ(Headlines(scheduler.Tick(book, {2027, 3, 15, 9, 50}, &store)),
            (std::vector<std::string>{"Принять лекарство", "Другое - через 2д."}));
}

TEST(SnoozeStore, SaveAsCarriesThePendingSnoozesToTheNewFile) {
  testing::ScratchFolder dir;
  TaskBook book = LoadedBook(dir, {Daily(), Daily("Другое")});
  SnoozeStore store;
  store.Follow(book);
  store.Add(SnoozeFiring(FiringOf(book.record(0), 0, 0, {2027, 3, 15, 9, 30}), {2027, 3, 15, 9, 30},
                         SnoozeSpan::k5Minutes));
  const std::string old = testing::Slurp(store.path());
  testing::Spit(dir / "copy.dbw", RecordFileBytes(book.records()));
  LoadTaskFile(book, dir / "copy.dbw", {15, 3, 2027});
  store.CarryTo(book);
  EXPECT_EQ(store.path(), dir / "copy.dbw.snz");
  EXPECT_EQ(testing::Slurp(dir / "copy.dbw.snz"), old);
  EXPECT_EQ(testing::Slurp(dir / "work.dbw.snz"), old) << "the old file keeps its own";
  // Opening another file is no save-as: nothing is carried.
  testing::Spit(dir / "other.dbw", RecordFileBytes({Daily()}));
  LoadTaskFile(book, dir / "other.dbw", {15, 3, 2027});
  store.Follow(book);
  EXPECT_TRUE(store.snoozes().empty());
  EXPECT_FALSE(platform::FileExists(dir / "other.dbw.snz"));
}

TEST(SnoozeStore, AFailedWriteKeepsTheSnoozeForTheRunAndIsReportedOnce) {
  testing::ScratchFolder dir;
  TaskBook book = LoadedBook(dir, {Daily()});
  SnoozeStore store;
  store.Follow(book);
  platform::SetSafeReplaceFaultHook(
      [](platform::SaveError step) { return step == platform::SaveError::kRename; });
  Firing f = FiringOf(book.record(0), 0, 0, {2027, 3, 15, 9, 30});
  EXPECT_FALSE(store.Add(SnoozeFiring(f, {2027, 3, 15, 9, 30}, SnoozeSpan::k5Minutes)));
  EXPECT_FALSE(store.Add(SnoozeFiring(f, {2027, 3, 15, 9, 30}, SnoozeSpan::k10Minutes)));
  platform::SetSafeReplaceFaultHook(nullptr);
  std::string error = store.TakeError();
  EXPECT_NE(error.find("work.dbw.snz"), std::string::npos) << error;
  EXPECT_EQ(store.TakeError(), "") << "said once";
  EXPECT_FALSE(platform::FileExists(store.path()));
  std::vector<std::string> leftovers;
  for (const auto& e : platform::ListDir(dir.path())) leftovers.push_back(e.name);
  EXPECT_EQ(leftovers, std::vector<std::string>{"work.dbw"}) << "no temporary file stays";
  ReminderScheduler scheduler;
  EXPECT_EQ(scheduler.Tick(book, {2027, 3, 15, 9, 40}, &store).firings.size(), 1u) << "still comes back";
}

}  // namespace
}  // namespace vm::tasks
