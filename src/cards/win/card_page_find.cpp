// The card pages' part in "Найти везде": the book's texts, and going to a card.
#include "cards/card_find.h"
#include "cards/win/card_page.h"
#include "shell/find_books.h"

namespace vm::cards {

std::optional<shell::FindableBook> CardPage::Findable() const {
  return shell::FindableBook{shell::FindBookName(kind_.book), book_.revision(), {}, CardFieldNames(kind_.layout)};
}

std::vector<find::Entry> CardPage::FindTexts() const { return CardFindTexts(book_); }

bool CardPage::JumpTo(const find::Result& hit) {
  if (!hwnd() || hit.place.record >= book_.records().size()) return false;
  // The search boxes could hide the card: with them empty every card is shown, in
  // record order, so the card's row is its record.
  if (book_.shown().size() != book_.records().size()) Clear();
  const int row = static_cast<int>(hit.place.record);
  list_.Select(row);
  OnSelected(row);
  list_.EnsureVisible(row);
  SetFocus(list_.hwnd());
  return true;
}

}  // namespace vm::cards
