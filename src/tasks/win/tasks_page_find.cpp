// The tasks page's part in "Найти везде": the book's texts, and going to a record.
#include "shell/find_books.h"
#include "tasks/task_find.h"
#include "tasks/win/tasks_page.h"

namespace vm::tasks {

std::optional<shell::FindableBook> CWork::Findable() const {
  return shell::FindableBook{shell::FindBookName(shell::Book::kTasks, book_.path()), book_.revision(), {},
                             TaskFindFieldNames()};
}

std::vector<find::Entry> CWork::FindTexts() const { return TaskFindTexts(book_); }

bool CWork::JumpTo(const find::Result& hit) {
  const size_t record = hit.place.record;
  if (!hwnd() || record >= book_.size()) return false;
  // A record the view on show leaves out is shown in the search view, as "Поиск по
  // всем записям" shows what it found.
  if (RowOf(shown_, record) < 0) ShowFound(std::vector<size_t>{record});
  const int row = RowOf(shown_, record);
  if (row < 0) return false;
  list_.Select(row);
  UpdateCommands();
  SetFocus(list_.hwnd());
  return true;
}

}  // namespace vm::tasks
