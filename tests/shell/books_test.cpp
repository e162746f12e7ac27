#include "shell/books.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm::shell {
namespace {

struct Journal {
  std::vector<std::string> lines;
  BookHooks Stub(const std::string& name) {
    BookHooks h;
    h.save = [this, name] { lines.push_back("save " + name); };
    h.tick = [this, name](const TickInfo& t) {
      lines.push_back("tick " + name + (t.minuteChanged ? " new-minute" : ""));
    };
    h.dayChanged = [this, name](const platform::LocalTime& now) {
      lines.push_back("day " + name + " " + std::to_string(now.day));
    };
    return h;
  }
};

TEST(BookRegistry, SaveOrderFollowsAutosave) {
  EXPECT_EQ(SaveOrder(false), (std::vector<Book>{Book::kContacts, Book::kFirms}));
  EXPECT_EQ(SaveOrder(true), (std::vector<Book>{Book::kContacts, Book::kFirms, Book::kData, Book::kNotebook,
                                                Book::kTasks, Book::kSpreadsheet}));
}

TEST(BookRegistry, SavesRegisteredBooksInOrderAndNeverTheDates) {
  Journal j;
  BookRegistry books;
  // Registered in tab order, which is not the save order.
  const char* names[] = {"data", "contacts", "firms", "dates", "notebook", "tasks", "spreadsheet"};
  for (int i = 0; i < kBookCount; ++i) books.Register(static_cast<Book>(i), j.Stub(names[i]));

  struct Case {
    bool autosave;
    std::vector<std::string> saves;
  } cases[] = {
      {false, {"save contacts", "save firms"}},
      {true,
       {"save contacts", "save firms", "save data", "save notebook", "save tasks", "save spreadsheet"}},
  };
  for (const Case& c : cases) {
    j.lines.clear();
    books.SaveAll(c.autosave);
    EXPECT_EQ(j.lines, c.saves) << c.autosave;
  }
}

TEST(BookRegistry, MissingBooksAreSkippedAndReplacedHooksWin) {
  Journal j;
  BookRegistry books;
  books.Register(Book::kTasks, j.Stub("tasks"));
  books.Register(Book::kFirms, j.Stub("old firms"));
  books.Register(Book::kFirms, j.Stub("firms"));
  EXPECT_EQ(books.SaveAll(true), (std::vector<Book>{Book::kFirms, Book::kTasks}));
  EXPECT_EQ(j.lines, (std::vector<std::string>{"save firms", "save tasks"}));

  books.Unregister(Book::kFirms);
  EXPECT_FALSE(books.IsRegistered(Book::kFirms));
  EXPECT_TRUE(books.IsRegistered(Book::kTasks));
  j.lines.clear();
  books.SaveAll(false);
  EXPECT_TRUE(j.lines.empty());
}

TEST(BookRegistry, TickDayAndReminderMessagesReachTheirBooks) {
  Journal j;
  BookRegistry books;
  EXPECT_FALSE(books.ReminderWindow(16));
  books.Register(Book::kDates, j.Stub("dates"));
  BookHooks tasks = j.Stub("tasks");
  tasks.reminderWindow = [&](int code) { j.lines.push_back("sticker " + std::to_string(code)); };
  books.Register(Book::kTasks, tasks);

  TickInfo t;
  t.now.day = 9;
  t.minuteChanged = true;
  books.Tick(t);
  books.DayChanged(t.now);
  EXPECT_TRUE(books.ReminderWindow(32));
  EXPECT_EQ(j.lines, (std::vector<std::string>{"tick dates new-minute", "tick tasks new-minute", "day dates 9",
                                               "day tasks 9", "sticker 32"}));

  // A book that takes away its tick is no longer called.
  BookHooks quiet;
  quiet.save = [] {};
  books.Register(Book::kDates, quiet);
  j.lines.clear();
  t.minuteChanged = false;
  books.Tick(t);
  EXPECT_EQ(j.lines, (std::vector<std::string>{"tick tasks"}));
}

}  // namespace
}  // namespace vm::shell
