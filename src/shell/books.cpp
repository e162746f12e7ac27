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

std::vector<BookCalls*> BookSet::Unsaved(bool autosave) const {
  std::vector<BookCalls*> out;
  for (Book b : SaveOrder(autosave))
    for (BookCalls* page : pages_)
      if (page->book() == b && page->Unsaved()) out.push_back(page);
  return out;
}

std::vector<DiskNews> BookSet::FilesChanged(const std::vector<std::string>& paths) const {
  std::vector<DiskNews> news;
  for (const std::string& path : paths) {
    DiskNews n{path};
    for (BookCalls* page : pages_) {
      n.change = page->FileChanged(path);
      if (n.change == DiskChange::kNotMine) continue;
      n.page = page;
      break;
    }
    news.push_back(std::move(n));
  }
  return news;
}

bool BookSet::ReminderWindow(int code) const {
  bool any = false;
  for (BookCalls* page : pages_) any = page->ReminderWindow(code) || any;
  return any;
}

std::string UnsavedQuestionText(const UnsavedBook& book) {
  std::string text = book.file.empty() ? std::string("Изменения не сохранены")
                                       : "Изменения в файле " + book.file + " не сохранены";
  if (!book.why.empty()) text += ":\n" + book.why;
  text += "\n\nПовторить сохранение";
  if (book.canSaveAs) text += ", сохранить в другой файл";
  text += " или выйти без сохранения (изменения будут потеряны)?";
  return text;
}

bool SettleUnsaved(const BookSet& books, bool autosave, const AskUnsaved& ask) {
  for (BookCalls* page : books.Unsaved(autosave)) {
    // Asked until the changes are in a file or given up; each answer is the user's.
    while (std::optional<UnsavedBook> unsaved = page->Unsaved()) {
      UnsavedChoice choice = ask(*unsaved);
      if (choice == UnsavedChoice::kStay) return false;
      if (choice == UnsavedChoice::kLeave) {
        page->GiveUpChanges();
        break;
      }
      if (choice == UnsavedChoice::kRetry)
        page->RetrySave();
      else if (unsaved->canSaveAs)
        page->SaveAsChosen();
    }
  }
  return true;
}

}  // namespace vm::shell
