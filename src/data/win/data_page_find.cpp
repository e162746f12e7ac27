// The data page's part in "Найти везде": the open table's fields, and going to a row.
#include "data/data_find.h"
#include "data/win/data_page.h"
#include "shell/find_books.h"

namespace vm::data {

std::optional<shell::FindableBook> CPh::Findable() const {
  return shell::FindableBook{shell::FindBookName(shell::Book::kData, book_.path()), book_.revision(),
                             book_.Locked() ? "защищена паролем" : "", book_.table().def.names};
}

std::vector<find::Entry> CPh::FindTexts() const { return DataFindTexts(book_.table()); }

bool CPh::JumpTo(const find::Result& hit) {
  if (!hwnd() || book_.Locked() || hit.place.record >= book_.table().records.size()) return false;
  // With the filters empty every record is shown, in record order.
  if (book_.AnyFilter()) ClearFilterFields();
  const int row = static_cast<int>(hit.place.record);
  if (row >= static_cast<int>(book_.view().size())) return false;
  book_.Select(row);
  ShowRows();
  SetFocus(list_.hwnd());
  return true;
}

}  // namespace vm::data
