// The contacts and firms books as "Найти везде" reads them: one entry per card, every
// field joined by find::kFieldBreak, named by the card's name, and the names of the
// fields for the list's "where" column.
#pragma once

#include <string>
#include <vector>

#include "cards/card_book.h"
#include "common/find_corpus.h"

namespace vm::cards {

// Place::record is the card's index in the book's records (not a row of the filtered
// list); Place::field the field of the hit once searched.
std::vector<find::Entry> CardFindTexts(const CardBook& book);
// The names of the book's fields, in field order.
std::vector<std::string> CardFieldNames(const CardBookLayout& layout);

}  // namespace vm::cards
