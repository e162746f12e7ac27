#include "shell/books.h"

namespace vm::shell {

std::vector<Book> SaveOrder(bool autosave) {
  std::vector<Book> order = {Book::kContacts, Book::kFirms};
  if (autosave) {
    order.insert(order.end(), {Book::kData, Book::kNotebook, Book::kTasks, Book::kSpreadsheet});
  }
  return order;
}

std::vector<Book> BookSet::SaveAll(bool autosave) const {
  std::vector<Book> ran;
  for (Book b : SaveOrder(autosave)) {
    for (BookCalls* page : pages_) {
      if (page->book() != b) continue;
      page->Save();
      ran.push_back(b);
      break;
    }
  }
  return ran;
}

void BookSet::Tick(const TickInfo& info) const {
  for (BookCalls* page : pages_) page->Tick(info);
}

void BookSet::DayChanged(const platform::LocalTime& now) const {
  for (BookCalls* page : pages_) page->DayChanged(now);
}

bool BookSet::ReminderWindow(int code) const {
  bool any = false;
  for (BookCalls* page : pages_) any = page->ReminderWindow(code) || any;
  return any;
}

}  // namespace vm::shell
