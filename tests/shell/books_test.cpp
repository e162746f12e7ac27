#include "shell/books.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vm::shell {
namespace {

struct Journal {
  std::vector<std::string> lines;
};

// A page that writes down every call of the sheet.
class JournalPage : public BookCalls {
 public:
  JournalPage(Journal& j, std::string name, std::optional<Book> book, bool takesSticker = false)
      : j_(j), name_(std::move(name)), book_(book), takesSticker_(takesSticker) {}
  std::optional<Book> book() const override { return book_; }
  void Save() override { j_.lines.push_back("save " + name_); }
  void Tick(const TickInfo& t) override {
    j_.lines.push_back("tick " + name_ + (t.minuteChanged ? " new-minute" : ""));
  }
  void DayChanged(const platform::LocalTime& now) override {
    j_.lines.push_back("day " + name_ + " " + std::to_string(now.day));
  }
  bool ReminderWindow(int code) override {
    if (!takesSticker_) return false;
    j_.lines.push_back("sticker " + std::to_string(code));
    return true;
  }

 private:
  Journal& j_;
  std::string name_;
  std::optional<Book> book_;
  bool takesSticker_;
};

TEST(BookSet, SaveOrderFollowsAutosave) {
  EXPECT_EQ(SaveOrder(false), (std::vector<Book>{Book::kContacts, Book::kFirms}));
  EXPECT_EQ(SaveOrder(true), (std::vector<Book>{Book::kContacts, Book::kFirms, Book::kData, Book::kNotebook,
                                                Book::kTasks, Book::kSpreadsheet}));
}

TEST(BookSet, SavesPagesInSaveOrderNeverTheDatesNorAPageWithoutBook) {
  Journal j;
  // In tab order, which is not the save order, with the About page last.
  const char* names[] = {"data", "contacts", "firms", "dates", "notebook", "tasks", "spreadsheet"};
  std::vector<std::unique_ptr<JournalPage>> pages;
  std::vector<BookCalls*> calls;
  for (int i = 0; i < kBookCount; ++i) {
    pages.push_back(std::make_unique<JournalPage>(j, names[i], static_cast<Book>(i)));
    calls.push_back(pages.back().get());
  }
  JournalPage about(j, "about", std::nullopt);
  calls.push_back(&about);
  BookSet books(calls);

  struct Case {
    bool autosave;
    std::vector<std::string> saves;
  } cases[] = {
      {false, {"save contacts", "save firms"}},
      {true, {"save contacts", "save firms", "save data", "save notebook", "save tasks", "save spreadsheet"}},
  };
  for (const Case& c : cases) {
    j.lines.clear();
    books.SaveAll(c.autosave);
    EXPECT_EQ(j.lines, c.saves) << c.autosave;
  }
}

TEST(BookSet, MissingBooksAreSkipped) {
  Journal j;
  JournalPage tasks(j, "tasks", Book::kTasks), firms(j, "firms", Book::kFirms);
  BookSet books({&tasks, &firms});
  EXPECT_EQ(books.SaveAll(true), (std::vector<Book>{Book::kFirms, Book::kTasks}));
  EXPECT_EQ(j.lines, (std::vector<std::string>{"save firms", "save tasks"}));
  EXPECT_EQ(BookSet().SaveAll(true), std::vector<Book>{});
}

TEST(BookSet, TickDayAndReminderMessagesReachEveryPage) {
  Journal j;
  JournalPage dates(j, "dates", Book::kDates), tasks(j, "tasks", Book::kTasks, true);
  EXPECT_FALSE(BookSet({&dates}).ReminderWindow(16));
  BookSet books({&dates, &tasks});
  TickInfo t;
  t.now.day = 9;
  t.minuteChanged = true;
  books.Tick(t);
  books.DayChanged(t.now);
  EXPECT_TRUE(books.ReminderWindow(32));
  EXPECT_EQ(j.lines, (std::vector<std::string>{"tick dates new-minute", "tick tasks new-minute",
                                               "day dates 9", "day tasks 9", "sticker 32"}));
}

}  // namespace
}  // namespace vm::shell
