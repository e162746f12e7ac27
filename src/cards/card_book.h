// The contacts and firms books: cards kept in a record file in "Support", a shown list
// filtered by the search boxes, editing, sorting, and which commands are enabled. The
// two books differ only in their layout (fields, search boxes, contact means, widths).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_file.h"
#include "common/report.h"
#include "common/shell_actions.h"

namespace vm {
class CAppUtil;
}

namespace vm::cards {

struct ContactMean {
  const char* caption;  // "Телефон", "E-Mail" ...
  int field;
};

struct CardBookLayout {
  const char* relativePath;  // under the program folder
  ReportFiles report;
  // The report key of each field; with two cards a data line (contacts) "1" or "2" is
  // appended.
  std::vector<const char*> reportKeys;
  bool twoPerLine;
  const char* section;  // settings section of the column widths
  int fieldCount;
  int searchBoxes;  // also the list's columns: fields 0 .. searchBoxes-1
  int defaultWidth;
  RecordLayout records;
  std::vector<ContactMean> means;
  // Fields behind the commands; -1 where the book has no such command or box.
  int phoneField, mobileField, faxField, mailField, webField;
  int addressField, commentField, phonesBoxField;
  // Which book the shell actions plan for.
  vm::CardBook shellBook;
};

const CardBookLayout& ContactsBook();
const CardBookLayout& FirmsBook();

// The painted count at the top right of both pages: "Всего записей: " and the number.
std::string CountText(size_t shown);

// The first visible row to keep after a delete: the old one, unless the shorter list can
// no longer be scrolled that far.
int TopRowAfterRemove(int top, int shownCount, int rowsPerPage);

// The search rule: a prefix, or with a leading "*" a substring anywhere, both without
// regard to case over Windows-1251 letters; empty text and "*" alone match everything.
bool SearchMatches(std::string_view field, std::string_view search);

struct CardCommands {
  bool add = true;
  bool remove = false;
  bool dialPhone = false, dialMobile = false, dialFax = false;
  bool mail = false, web = false;
  bool report = false;
  bool clearSearch = false;
  bool loadInfo = false;
};

class CardBook {
 public:
  explicit CardBook(const CardBookLayout& layout);

  const CardBookLayout& layout() const { return layout_; }
  RecordBook& book() { return book_; }
  const RecordBook& book() const { return book_; }
  const std::vector<std::string>& records() const { return book_.records; }
  // Grows with every change of the records made through the members below (the load
  // included), so a copy of their texts kept elsewhere knows when it is old.
  uint64_t revision() const { return revision_; }

  // Loads programFolder + the book's relative path and shows every record.
  LoadOutcome Load(const std::string& programFolder);
  SaveOutcome Save() { return SaveRecords(book_); }

  // The search boxes; each change filters the list again.
  const std::string& search(int box) const { return search_[box]; }
  void SetSearch(int box, std::string text);
  void ClearSearch();

  // Indexes into records() of the shown cards, in record order.
  const std::vector<int>& shown() const { return shown_; }
  int current() const { return current_; }  // row in shown(), -1 for none
  void Select(int row);
  const std::string* CurrentRecord() const;
  std::string Field(int row, int field) const;

  // Appends a card made of the search texts, empties the boxes and selects the new
  // last row.
  void Add();
  // Appends whole records (an import); the search boxes stay and filter them too.
  void Append(const std::vector<std::string>& records);
  // The records of the shown cards, in list order.
  std::vector<std::string> ShownRecords() const;
  // Removes the current card; false when there is none.
  bool RemoveCurrent();
  // Writes one field of a shown card; false (and nothing changed) when the row is not
  // shown or the text is the same.
  bool EditField(int row, int field, std::string_view text);
  // Sorts the whole book by a list column, byte order with case.
  void Sort(int column, bool ascending);

  // The contact means of the current card (rows of the means list): the text the list
  // shows, with white space trimmed at both ends; empty without a current card.
  std::string MeanText(int meanRow) const;
  // Writes the typed text to the mean's field of the current card.
  bool EditMean(int meanRow, std::string_view text);
  // Writes a box of the current card (address, comment, telephones).
  bool EditCurrent(int field, std::string_view text);

  // What a dial, mail or web command hands to the shell for the current card.
  ShellRequest PlanAction(CardAction action) const;

  CardCommands Commands() const;

  // Writes the report data file of the shown cards. The caller shows the messages in
  // order and builds the page only when `build` is set.
  struct ReportData {
    std::vector<const char*> messages;
    bool build = false;
  };
  ReportData WriteReportData(const std::string& dataPath) const;

 private:
  void Filter();
  const std::string& Folded(int record, int field);
  void InvalidateFolded();

  const CardBookLayout& layout_;
  RecordBook book_;
  std::vector<std::string> search_;
  std::vector<std::string> foldedSearch_;
  std::vector<int> shown_;
  int current_ = -1;
  // Case-folded search fields per record, made on demand so that a keystroke's filter
  // pass is a plain scan.
  std::vector<std::vector<std::string>> folded_;
  std::vector<bool> foldedValid_;
  uint64_t revision_ = 0;  // find::NextStamp() of the last change
};

// Column widths from the settings ("WIDTH0" ...): used only when every one is present.
std::vector<int> ColumnWidths(const CardBookLayout& layout, const CAppUtil& app);
void SaveColumnWidths(const CardBookLayout& layout, const std::vector<int>& widths, const CAppUtil& app);

}  // namespace vm::cards
