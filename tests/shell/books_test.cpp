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

// A book whose saves fail a given number of times; the exit question's answers are
// written down.
class FailingBook : public BookCalls {
 public:
  FailingBook(std::vector<std::string>& j, Book book, std::string name, int failures, bool canSaveAs = true)
      : j_(j), book_(book), name_(std::move(name)), failures_(failures), canSaveAs_(canSaveAs) {}
  std::optional<Book> book() const override { return book_; }
  std::optional<UnsavedBook> Unsaved() const override {
    if (failures_ <= 0 || gaveUp_) return std::nullopt;
    return UnsavedBook{name_, "нет доступа", canSaveAs_};
  }
  bool RetrySave() override {
    j_.push_back("retry " + name_);
    return --failures_ <= 0;
  }
  bool SaveAsChosen() override {
    j_.push_back("save as " + name_);
    failures_ = 0;
    return true;
  }
  void GiveUpChanges() override {
    j_.push_back("give up " + name_);
    gaveUp_ = true;
  }

 private:
  std::vector<std::string>& j_;
  Book book_;
  std::string name_;
  int failures_;
  bool canSaveAs_;
  bool gaveUp_ = false;
};

// Every book whose save failed is asked about, in save order, until it is written or
// given up; choosing to stay stops the exit at once; only books the save ran for are
// asked; a book that cannot be saved elsewhere never takes "Сохранить как…".
TEST(SettleUnsaved, AsksAboutEveryFailedBookUntilItIsSettled) {
  struct Case {
    const char* name;
    bool autosave;
    std::vector<UnsavedChoice> answers;
    bool exits;
    std::vector<std::string> journal;
  } cases[] = {
      {"retry until written", true,
       {UnsavedChoice::kLeave, UnsavedChoice::kRetry, UnsavedChoice::kRetry, UnsavedChoice::kRetry}, true,
       {"ask cont.dbc", "give up cont.dbc", "ask data.dbp", "retry data.dbp", "ask data.dbp", "retry data.dbp",
        "ask data.dbp", "retry data.dbp"}},
      {"leave, save as", true, {UnsavedChoice::kLeave, UnsavedChoice::kSaveAs}, true,
       {"ask cont.dbc", "give up cont.dbc", "ask data.dbp", "save as data.dbp"}},
      {"stay", true, {UnsavedChoice::kLeave, UnsavedChoice::kStay}, false,
       {"ask cont.dbc", "give up cont.dbc", "ask data.dbp"}},
      {"no save as for contacts", true,
       {UnsavedChoice::kSaveAs, UnsavedChoice::kLeave, UnsavedChoice::kLeave}, true,
       {"ask cont.dbc", "ask cont.dbc", "give up cont.dbc", "ask data.dbp", "give up data.dbp"}},
      {"data not saved without autosave", false, {UnsavedChoice::kLeave}, true,
       {"ask cont.dbc", "give up cont.dbc"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> j;
    FailingBook data(j, Book::kData, "data.dbp", 3);
    FailingBook contacts(j, Book::kContacts, "cont.dbc", 5, false);
    FailingBook notebook(j, Book::kNotebook, "notes.dbn", 0);
    BookSet books({&data, &contacts, &notebook});
    size_t next = 0;
    bool exits = SettleUnsaved(books, c.autosave, [&](const UnsavedBook& b) {
      j.push_back("ask " + b.file);
      return next < c.answers.size() ? c.answers[next++] : UnsavedChoice::kStay;
    });
    EXPECT_EQ(exits, c.exits) << c.name;
    EXPECT_EQ(j, c.journal) << c.name;
  }
}

TEST(SettleUnsaved, TheQuestionNamesTheFileWhyAndTheAnswers) {
  std::string text = UnsavedQuestionText({"C:\\Личное\\t.dbp", "Нет доступа.", true});
  EXPECT_NE(text.find("C:\\Личное\\t.dbp"), std::string::npos);
  EXPECT_NE(text.find("Нет доступа."), std::string::npos);
  EXPECT_NE(text.find("Повторить"), std::string::npos);
  EXPECT_NE(text.find("в другой файл"), std::string::npos);
  EXPECT_EQ(UnsavedQuestionText({"cont.dbc", "", false}).find("в другой файл"), std::string::npos);
}

}  // namespace
}  // namespace vm::shell
