#include "cards/card_book.h"

#include <algorithm>
#include <cstdlib>

#include "common/find_corpus.h"
#include "common/settings.h"
#include "platform/platform.h"
#include "common/app_util.h"

namespace vm::cards {

const CardBookLayout& ContactsBook() {
  static const CardBookLayout layout{
      "Support\\cont.dbc",
      kContactsReport,
      {"NAME", "DOLG", "PREDP", "STAT", "PHONE", "MOBIL", "FAX", "PGER", "MAIL", "WEB", "ICQ", "ADRES",
       "COMM"},
      true,
      "CONT",
      13,
      4,
      140,
      ContactsLayout(),
      {{"Телефон", 4}, {"Мобил", 5}, {"Факс", 6}, {"Пейджер", 7}, {"E-Mail", 8}, {"WEB", 9}, {"ICQ", 10}},
      4,
      5,
      6,
      8,
      9,
      11,
      12,
      -1,
      vm::CardBook::kContacts};
  return layout;
}

const CardBookLayout& FirmsBook() {
  static const CardBookLayout layout{"Support\\firm.dbo",
                                     kFirmsReport,
                                     {"PROD", "ORG", "STAT", "PHONE", "FAX", "MAIL", "WEB", "ADRES", "COMM"},
                                     false,
                                     "FIRM",
                                     9,
                                     3,
                                     180,
                                     FirmsLayout(),
                                     {{"Факс", 4}, {"E-Mail", 5}, {"WEB", 6}},
                                     3,
                                     -1,
                                     4,
                                     5,
                                     6,
                                     7,
                                     8,
                                     3,
                                     vm::CardBook::kFirms};
  return layout;
}

namespace {

// Matches an already folded field against an already folded search text.
bool FoldedMatches(std::string_view field, std::string_view search) {
  if (search.empty()) return true;
  if (search[0] == '*') return field.find(search.substr(1)) != std::string_view::npos;
  return field.substr(0, search.size()) == search;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string CountText(size_t shown) {
  return "Всего записей: " + std::to_string(shown);
}

int TopRowAfterRemove(int top, int shownCount, int rowsPerPage) {
  int last = shownCount - std::max(rowsPerPage, 1);
  return std::max(0, std::min(top, last));
}

bool SearchMatches(std::string_view field, std::string_view search) {
  return FoldedMatches(FoldCase1251(field), FoldCase1251(search));
}

CardBook::CardBook(const CardBookLayout& layout)
    : layout_(layout), search_(layout.searchBoxes), foldedSearch_(layout.searchBoxes) {}

LoadOutcome CardBook::Load(const std::string& programFolder) {
  book_.path = programFolder + layout_.relativePath;
  LoadOutcome out = LoadRecords(book_, layout_.records);
  revision_ = find::NextStamp();
  InvalidateFolded();
  Filter();
  return out;
}

void CardBook::InvalidateFolded() {
  folded_.assign(book_.records.size(), {});
  foldedValid_.assign(book_.records.size(), false);
}

const std::string& CardBook::Folded(int record, int field) {
  if (!foldedValid_[record]) {
    auto& fields = folded_[record];
    fields.resize(layout_.searchBoxes);
    for (int f = 0; f < layout_.searchBoxes; ++f)
      fields[f] = FoldCase1251(GetField(book_.records[record], f));
    foldedValid_[record] = true;
  }
  return folded_[record][field];
}

void CardBook::Filter() {
  shown_.clear();
  current_ = -1;
  if (folded_.size() != book_.records.size()) InvalidateFolded();
  std::vector<int> active;
  for (int b = 0; b < layout_.searchBoxes; ++b)
    if (!foldedSearch_[b].empty() && foldedSearch_[b] != "*") active.push_back(b);
  for (int r = 0; r < static_cast<int>(book_.records.size()); ++r) {
    bool all = true;
    for (int b : active) {
      if (!FoldedMatches(Folded(r, b), foldedSearch_[b])) {
        all = false;
        break;
      }
    }
    if (all) shown_.push_back(r);
  }
}

void CardBook::SetSearch(int box, std::string text) {
  if (box < 0 || box >= layout_.searchBoxes) return;
  foldedSearch_[box] = FoldCase1251(text);
  search_[box] = std::move(text);
  Filter();
}

void CardBook::ClearSearch() {
  for (int b = 0; b < layout_.searchBoxes; ++b) {
    search_[b].clear();
    foldedSearch_[b].clear();
  }
  Filter();
}

void CardBook::Select(int row) {
  current_ = row >= 0 && row < static_cast<int>(shown_.size()) ? row : -1;
}

const std::string* CardBook::CurrentRecord() const {
  return current_ < 0 ? nullptr : &book_.records[shown_[current_]];
}

std::string CardBook::Field(int row, int field) const {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return std::string();
  return GetField(book_.records[shown_[row]], field);
}

void CardBook::Add() {
  std::string record;
  for (int b = 0; b < layout_.searchBoxes; ++b) {
    if (b) record += '|';
    record += FieldText(search_[b]);
  }
  record.append(layout_.fieldCount - layout_.searchBoxes, '|');
  book_.records.push_back(std::move(record));
  book_.state = kStateChanged;
  revision_ = find::NextStamp();
  ClearSearch();
  Select(static_cast<int>(shown_.size()) - 1);
}

void CardBook::Append(const std::vector<std::string>& records) {
  if (records.empty()) return;
  book_.records.insert(book_.records.end(), records.begin(), records.end());
  book_.state = kStateChanged;
  revision_ = find::NextStamp();
  Filter();
}

std::vector<std::string> CardBook::ShownRecords() const {
  std::vector<std::string> out;
  for (int r : shown_) out.push_back(book_.records[r]);
  return out;
}

bool CardBook::RemoveCurrent() {
  if (current_ < 0) return false;
  int record = shown_[current_];
  book_.records.erase(book_.records.begin() + record);
  folded_.erase(folded_.begin() + record);
  foldedValid_.erase(foldedValid_.begin() + record);
  book_.state = kStateChanged;
  revision_ = find::NextStamp();
  Filter();
  return true;
}

bool CardBook::EditField(int row, int field, std::string_view text) {
  if (row < 0 || row >= static_cast<int>(shown_.size()) || field < 0 || field >= layout_.fieldCount)
    return false;
  int record = shown_[row];
  std::string& line = book_.records[record];
  std::string value = FieldText(text);
  std::string before;
  if (GetField(line, field, before) && before == GetField(value, 0)) return false;
  // A line too short for the field (made by other means) is padded first, so that a
  // typed value is never dropped.
  if (int missing = field - CountSeparators(line); missing > 0) line.append(missing, '|');
  line = SetField(line, field, value);
  if (field < layout_.searchBoxes) foldedValid_[record] = false;
  book_.state = kStateChanged;
  revision_ = find::NextStamp();
  return true;
}

void CardBook::Sort(int column, bool ascending) {
  if (column < 0 || column >= layout_.searchBoxes) return;
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(book_.records.size());
  for (auto& r : book_.records) keyed.emplace_back(GetField(r, column), std::move(r));
  // Byte order of the cp1251 text, with case, as unsigned bytes.
  auto less = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  };
  std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& x, const auto& y) {
    return ascending ? less(x.first, y.first) : less(y.first, x.first);
  });
  for (size_t i = 0; i < keyed.size(); ++i) book_.records[i] = std::move(keyed[i].second);
  book_.state = kStateChanged;
  revision_ = find::NextStamp();
  InvalidateFolded();
  Filter();
}

std::string CardBook::MeanText(int meanRow) const {
  const std::string* r = CurrentRecord();
  if (!r || meanRow < 0 || meanRow >= static_cast<int>(layout_.means.size())) return std::string();
  std::string v = GetField(*r, layout_.means[meanRow].field);
  size_t b = 0, e = v.size();
  while (b < e && IsBlank(v[b])) ++b;
  while (e > b && IsBlank(v[e - 1])) --e;
  return v.substr(b, e - b);
}

bool CardBook::EditMean(int meanRow, std::string_view text) {
  if (meanRow < 0 || meanRow >= static_cast<int>(layout_.means.size())) return false;
  return EditCurrent(layout_.means[meanRow].field, text);
}

bool CardBook::EditCurrent(int field, std::string_view text) {
  return field >= 0 && EditField(current_, field, text);
}

ShellRequest CardBook::PlanAction(CardAction action) const {
  return PlanCardAction(layout_.shellBook, action, CurrentRecord());
}

CardCommands CardBook::Commands() const {
  CardCommands c;
  c.report = !shown_.empty();
  c.clearSearch =
      std::any_of(search_.begin(), search_.end(), [](const std::string& s) { return !s.empty(); });
  c.loadInfo = LoadInfoEnabled(book_);
  if (const std::string* r = CurrentRecord()) {
    auto has = [r](int field) { return field >= 0 && !GetField(*r, field).empty(); };
    c.remove = true;
    c.dialPhone = has(layout_.phoneField);
    c.dialMobile = has(layout_.mobileField);
    c.dialFax = has(layout_.faxField);
    c.mail = has(layout_.mailField);
    c.web = has(layout_.webField);
  }
  return c;
}

CardBook::ReportData CardBook::WriteReportData(const std::string& dataPath) const {
  ReportData out;
  if (shown_.empty()) {
    out.messages.push_back(kNoReportData);
    return out;
  }
  CReportData data;
  if (!data.Open(dataPath)) return out;
  // Values are plain text typed by the user: a "<" in a comment must show as typed, not
  // be taken for markup.
  const ReportConvert convert = [](std::string_view v) { return HtmlEscape(v); };
  bool writeFailed = false;
  for (size_t i = 0; i < shown_.size(); ++i) {
    const std::string& record = book_.records[shown_[i]];
    for (int f = 0; f < layout_.fieldCount; ++f) {
      std::string key = layout_.reportKeys[f];
      if (layout_.twoPerLine) key += i % 2 ? "2" : "1";
      data.WriteItem(key, GetField(record, f), kCardBlock, convert);
    }
    bool endOfLine = !layout_.twoPerLine || i % 2 == 1;
    if (endOfLine && !data.EndLine() && !writeFailed) {
      writeFailed = true;
      out.messages.push_back(kReportWriteError);
    }
  }
  if (layout_.twoPerLine) {
    data.EndLine();
    data.WriteNumber("COUNT", static_cast<long long>(shown_.size()), kPageBlock);
  }
  if (!data.Close()) out.messages.push_back(kReportCloseError);
  out.build = true;
  return out;
}

std::vector<int> ColumnWidths(const CardBookLayout& layout, const CAppUtil& util) {
  std::vector<int> widths;
  for (int i = 0; i < layout.searchBoxes; ++i) {
    std::string v = util.GetSetting(layout.section, "WIDTH" + std::to_string(i));
    if (v.empty()) return std::vector<int>(layout.searchBoxes, layout.defaultWidth);
    widths.push_back(std::atoi(v.c_str()));
  }
  return widths;
}

void SaveColumnWidths(const CardBookLayout& layout, const std::vector<int>& widths, const CAppUtil& util) {
  for (int i = 0; i < layout.searchBoxes && i < static_cast<int>(widths.size()); ++i)
    util.PutNumber(layout.section, "WIDTH" + std::to_string(i), widths[i]);
}

}  // namespace vm::cards
