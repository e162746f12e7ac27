#include "shell/books.h"

namespace vm::shell {

std::vector<Book> SaveOrder(bool autosave) {
  std::vector<Book> order = {Book::kContacts, Book::kFirms};
  if (autosave) {
    order.insert(order.end(), {Book::kData, Book::kNotebook, Book::kTasks, Book::kSpreadsheet});
  }
  return order;
}

void BookRegistry::Register(Book book, BookHooks hooks) {
  hooks_[static_cast<int>(book)] = std::move(hooks);
  Rebuild();
}

void BookRegistry::Unregister(Book book) {
  hooks_[static_cast<int>(book)] = BookHooks{};
  Rebuild();
}

bool BookRegistry::IsRegistered(Book book) const {
  const BookHooks& h = hooks_[static_cast<int>(book)];
  return h.save || h.tick || h.dayChanged || h.reminderWindow;
}

void BookRegistry::Rebuild() {
  ticks_.clear();
  for (const BookHooks& h : hooks_)
    if (h.tick) ticks_.push_back(&h.tick);
}

std::vector<Book> BookRegistry::SaveAll(bool autosave) const {
  std::vector<Book> ran;
  for (Book b : SaveOrder(autosave)) {
    const BookHooks& h = hooks_[static_cast<int>(b)];
    if (!h.save) continue;
    h.save();
    ran.push_back(b);
  }
  return ran;
}

void BookRegistry::Tick(const TickInfo& info) const {
  for (const auto* tick : ticks_) (*tick)(info);
}

void BookRegistry::DayChanged(const platform::LocalTime& now) const {
  for (const BookHooks& h : hooks_)
    if (h.dayChanged) h.dayChanged(now);
}

bool BookRegistry::ReminderWindow(int code) const {
  bool any = false;
  for (const BookHooks& h : hooks_) {
    if (!h.reminderWindow) continue;
    h.reminderWindow(code);
    any = true;
  }
  return any;
}

}  // namespace vm::shell
