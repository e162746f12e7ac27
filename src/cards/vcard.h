// Contacts and firms to and from vCard files, the address-book format of phones and mail
// programs. Writing makes vCard 4.0 (RFC 6350) or, for devices that want it, 3.0 (RFC
// 2426): UTF-8, CR LF, folded lines. Reading takes 2.1, 3.0 and 4.0 as real programs
// write them. A card maps onto a record field by field; whatever a card holds beyond the
// record's fields (a second e-mail, a birthday, a nickname) is written into the comment
// with a label, so nothing is dropped without a word; photos and other binary values are
// skipped and counted. Characters Windows-1251 lacks become "?" and are counted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cards/card_book.h"

namespace vm::cards {

enum class VcardVersion { k30, k40 };

// The cards of `records` (record lines of the book's layout) as one .vcf file.
std::string CardsToVcard(const CardBookLayout& layout, const std::vector<std::string>& records,
                         VcardVersion version);

// "Фамилия Имя Отчество": the family name first, then the given name, the rest are
// additional names (the patronymic). One word is the family name alone.
struct PersonName {
  std::string family, given, additional;
};
PersonName SplitRussianName(std::string_view fullName);

struct VcardImport {
  // The records made from the cards, in file order, each a line of the book's layout;
  // cards equal to a record of `existing` or to an earlier card are not among them.
  std::vector<std::string> added;
  int cards = 0;    // BEGIN:VCARD ... END:VCARD blocks read
  int skipped = 0;  // cards equal to an existing record or to an earlier card
  int intoComment = 0;      // properties written into the comment
  int binarySkipped = 0;    // photos, logos, sounds, keys left out
  int unconvertible = 0;    // characters Windows-1251 lacks, written "?"
  int hashesDropped = 0;    // "#" cannot be kept in a record field
  std::vector<int> unconvertibleCards;  // which cards (from 1) held them
};

// Reads a .vcf file's bytes into records of the book's layout.
VcardImport ImportVcard(std::string_view bytes, const CardBookLayout& layout,
                        const std::vector<std::string>& existing);

// The report for the user; empty when every card came in whole.
std::string VcardImportReport(const VcardImport& import);

}  // namespace vm::cards
