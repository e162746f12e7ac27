#include "data/data_book.h"

#include <algorithm>
#include <cstdio>

#include "common/backup.h"
#include "common/find_corpus.h"
#include "common/record_file.h"
#include "common/text_util.h"
#include "common/unread_file.h"
#include "platform/crypto.h"
#include "platform/platform.h"

namespace vm::data {

// ---- columns ---------------------------------------------------------------------------

std::vector<int> ShownColumns(const CTableDef& def) {
  std::vector<int> out;
  for (int c = 0; c <= def.lastColumn && c < static_cast<int>(def.shown.size()); ++c)
    if (def.shown[static_cast<size_t>(c)] == 1) out.push_back(c);
  return out;
}

int FieldOfListColumn(const CTableDef& def, int listColumn) {
  if (listColumn < 0) return -1;
  for (int c = 0; c <= def.lastColumn && c < static_cast<int>(def.shown.size()); ++c)
    if (def.shown[static_cast<size_t>(c)] == 1 && listColumn-- == 0) return c;
  return -1;
}

std::array<std::string, 3> FilterTips(const CTableDef& def) {
  std::array<std::string, 3> tips;
  std::vector<int> shown = ShownColumns(def);
  for (size_t k = 0; k < 3 && k < shown.size(); ++k) tips[k] = def.names[static_cast<size_t>(shown[k])];
  return tips;
}

int EnabledFilters(const CTableDef& def) {
  return std::min(3, static_cast<int>(ShownColumns(def).size()));
}

// ---- filtering -------------------------------------------------------------------------

bool FilterMatches(std::string_view field, std::string_view filter) {
  if (!filter.empty() && filter.front() == '*') return field.find(filter.substr(1)) != std::string_view::npos;
  return field.substr(0, filter.size()) == filter;
}

// ---- adding ----------------------------------------------------------------------------

std::string NewRecordLine(const std::array<std::string, 3>& inputs, int columnCount) {
  std::string line;
  for (size_t k = 0; k < inputs.size(); ++k) {
    if (k) line += '|';
    AppendFieldText(line, inputs[k]);
  }
  for (int c = 3; c < columnCount; ++c) line += '|';
  return line;
}

// ---- sorting ---------------------------------------------------------------------------

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A number of any length as digits, compared without overflow: leading zeros dropped,
// the longer is larger, then byte order.
std::string_view Significant(std::string_view digits) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  return digits;
}

int CompareDigits(std::string_view a, std::string_view b) {
  a = Significant(a);
  b = Significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

long ToNumber(std::string_view digits) {
  long v = 0;
  for (char c : digits) {
    if (v > 100000000) return v;  // far beyond any day, month or year that matters
    v = v * 10 + (c - '0');
  }
  return v;
}

struct Date {
  long year = 0, month = 0, day = 0;
};

// Day, month and year split at "/" (or, without one, at "."): day 1-31, month 1-12,
// year at least 1.
bool ParseDate(std::string_view s, Date& d) {
  char sep = s.find('/') != std::string_view::npos ? '/' : s.find('.') != std::string_view::npos ? '.' : 0;
  if (!sep) return false;
  size_t a = s.find(sep), b = s.find(sep, a + 1);
  if (b == std::string_view::npos) return false;
  std::string_view day = s.substr(0, a), month = s.substr(a + 1, b - a - 1), year = s.substr(b + 1);
  if (!AllDigits(day) || !AllDigits(month) || !AllDigits(year)) return false;
  d = {ToNumber(year), ToNumber(month), ToNumber(day)};
  return d.day >= 1 && d.day <= 31 && d.month >= 1 && d.month <= 12 && d.year >= 1;
}

bool IsDecimal(std::string_view s) {
  size_t sep = s.find_first_of(".,");
  if (sep == std::string_view::npos || s.find_first_of(".,", sep + 1) != std::string_view::npos) return false;
  std::string_view whole = s.substr(0, sep), part = s.substr(sep + 1);
  return (whole.empty() || AllDigits(whole)) && (part.empty() || AllDigits(part)) &&
         !(whole.empty() && part.empty());
}

// Integer and fraction digits of a decimal (empty counts as 0). The fraction is
// compared as a fraction ("5" after "25"), not as a whole number.
int CompareDecimal(std::string_view a, std::string_view b) {
  auto split = [](std::string_view s, std::string_view& whole, std::string_view& part) {
    size_t sep = s.find_first_of(".,");
    whole = s.substr(0, sep);
    part = sep == std::string_view::npos ? std::string_view() : s.substr(sep + 1);
    while (!part.empty() && part.back() == '0') part.remove_suffix(1);
  };
  std::string_view wa, pa, wb, pb;
  split(a, wa, pa);
  split(b, wb, pb);
  if (int c = CompareDigits(wa, wb)) return c;
  int c = pa.compare(pb);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareDate(std::string_view a, std::string_view b) {
  Date da, db;
  ParseDate(a, da);  // an empty field stays 0/0/0
  ParseDate(b, db);
  if (da.year != db.year) return da.year < db.year ? -1 : 1;
  if (da.month != db.month) return da.month < db.month ? -1 : 1;
  if (da.day != db.day) return da.day < db.day ? -1 : 1;
  return 0;
}

}  // namespace

int FieldKind(std::string_view field) {
  Date d;
  if (ParseDate(field, d)) return kSortDate;
  if (AllDigits(field)) return kSortInteger;
  if (IsDecimal(field)) return kSortDecimal;
  return kSortText;
}

int ColumnKind(const std::vector<CTableRecord>& records, int field) {
  int kind = 0;
  for (const CTableRecord& r : records) {
    std::string value = r.Field(field);
    if (value.empty()) continue;
    int k = FieldKind(value);
    kind |= k;
    if (k == kSortText) break;
  }
  return kind;
}

bool SortsBefore(int kind, std::string_view a, std::string_view b) {
  switch (kind) {
    case kSortDate: return CompareDate(a, b) < 0;
    case kSortInteger: return CompareDigits(a, b) < 0;
    case kSortDecimal: return CompareDecimal(a, b) < 0;
    default: return a < b;  // byte order: char_traits<char> compares as unsigned char
  }
}

void SortRecords(std::vector<CTableRecord>& records, int field, bool ascending) {
  int kind = ColumnKind(records, field);
  std::vector<std::pair<std::string, CTableRecord>> keyed;
  keyed.reserve(records.size());
  for (CTableRecord& r : records) keyed.emplace_back(r.Field(field), std::move(r));
  std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& x, const auto& y) {
    return ascending ? SortsBefore(kind, x.first, y.first) : SortsBefore(kind, y.first, x.first);
  });
  for (size_t i = 0; i < keyed.size(); ++i) records[i] = std::move(keyed[i].second);
}

// ---- small decisions -------------------------------------------------------------------

std::string RecordCountText(size_t rows) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%i", static_cast<int>(rows));
  return std::string("Всего записей: ") + buf;
}

std::string WithTableExtension(const std::string& path) {
  return path.find(".dbp") == std::string::npos ? path + ".dbp" : path;
}

std::string ReplaceQuestion(const std::string& path) {
  return path + " уже существует. \n Заменить?";
}

// ---- the book --------------------------------------------------------------------------

TableLoad DataBook::Open(const std::string& path) {
  revision_ = find::NextStamp();
  table_.path = path;
  table_.password.clear();
  table_.locked = false;
  TableLoad load;
  if (path.empty()) {
    Close();
  } else {
    load = LoadTable(table_);
  }
  unread_ = !path.empty() && !load.opened && !load.oldFormat;
  if (unread_) load.error = UnreadFileMessage(path, kFileNotReadable);
  listHidden_ = table_.locked;
  selected_ = -1;
  Refilter();
  return load;
}

void DataBook::Close() {
  revision_ = find::NextStamp();
  table_.records.clear();
  table_.def.Clear();
  table_.def.modified = kTableUnchanged;
  table_.path.clear();
  crypto::WipeString(table_.password);
  table_.locked = false;
  table_.sealed.clear();
  table_.scheme = Protection::kNone;
  table_.loadMessage.clear();
  table_.carried.clear();
  listHidden_ = false;
  selected_ = -1;
  Refilter();
}

TableSave DataBook::Save() {
  if (unread_) {
    if (!modified()) return {};
    return {TableSaveStatus::kFailed, UnreadSaveRefusal(table_.path)};
  }
  return SaveTable(table_);
}

void DataBook::ConfirmReplace() { unread_ = false; }

TableSave DataBook::Create(const std::string& path, const std::string& header) {
  revision_ = find::NextStamp();
  platform::SaveResult written = backup::SaveBook(path, header);
  if (!written) return {TableSaveStatus::kFailed, "Не удалось записать файл " + path + "."};
  Open(path);
  return {TableSaveStatus::kSaved, ""};
}

TableSave DataBook::SaveAs(const std::string& newPath, bool save) {
  revision_ = find::NextStamp();
  std::string bytes;
  bool copied = false;
  // What is shown of a file that could not be read is the table, never that file's bytes.
  if (!unread_ && !table_.path.empty() && platform::ReadFileBytes(table_.path, bytes)) {
    if (!backup::SaveBook(newPath, bytes))
      return {TableSaveStatus::kFailed, "Не удалось записать файл " + newPath + "."};
    copied = true;
  }
  table_.path = newPath;
  unread_ = false;
  if (!copied) table_.def.modified = kTableChanged;
  if (save || !copied) return Save();
  return {TableSaveStatus::kUnchanged, ""};
}

void DataBook::SetFilter(int k, std::string text) {
  if (k < 0 || k > 2) return;
  foldedFilters_[static_cast<size_t>(k)] = FoldCase1251(text);
  filters_[static_cast<size_t>(k)] = std::move(text);
  Filter();
}

void DataBook::ClearFilters() {
  for (int k = 0; k < 3; ++k) {
    filters_[static_cast<size_t>(k)].clear();
    foldedFilters_[static_cast<size_t>(k)].clear();
  }
  Filter();
}

bool DataBook::AnyFilter() const {
  return std::any_of(filters_.begin(), filters_.end(), [](const std::string& f) { return !f.empty(); });
}

void DataBook::Refilter() {
  revision_ = find::NextStamp();
  folded_.clear();
  foldedValid_.clear();
  Filter();
}

const std::array<std::string, 3>& DataBook::Folded(size_t record) {
  if (folded_.size() != table_.records.size()) {
    folded_.assign(table_.records.size(), {});
    foldedValid_.assign(table_.records.size(), false);
  }
  if (!foldedValid_[record]) {
    for (int k = 0; k < 3; ++k)
      folded_[record][static_cast<size_t>(k)] = FoldCase1251(table_.records[record].Field(k));
    foldedValid_[record] = true;
  }
  return folded_[record];
}

void DataBook::Filter() {
  int selectedRecord = selected_ >= 0 && selected_ < static_cast<int>(view_.size())
                           ? view_[static_cast<size_t>(selected_)]
                           : -1;
  view_.clear();
  bool any = AnyFilter();
  for (size_t r = 0; r < table_.records.size(); ++r) {
    if (any) {
      const auto& f = Folded(r);
      if (!FilterMatches(f[0], foldedFilters_[0]) || !FilterMatches(f[1], foldedFilters_[1]) ||
          !FilterMatches(f[2], foldedFilters_[2]))
        continue;
    }
    view_.push_back(static_cast<int>(r));
  }
  selected_ = -1;
  if (selectedRecord >= 0) {
    auto it = std::find(view_.begin(), view_.end(), selectedRecord);
    if (it != view_.end()) selected_ = static_cast<int>(it - view_.begin());
  }
}

const CTableRecord* DataBook::RecordAt(int row) const {
  if (row < 0 || row >= static_cast<int>(view_.size())) return nullptr;
  return &table_.records[static_cast<size_t>(view_[static_cast<size_t>(row)])];
}

std::string DataBook::Cell(int row, int listColumn) const {
  const CTableRecord* r = RecordAt(row);
  int field = FieldOfListColumn(table_.def, listColumn);
  return r && field >= 0 ? r->Field(field) : std::string();
}

void DataBook::Select(int row) {
  selected_ = row >= 0 && row < static_cast<int>(view_.size()) ? row : -1;
}

bool DataBook::Edit(int row, int listColumn, const std::string& text) {
  revision_ = find::NextStamp();
  const CTableRecord* shown = RecordAt(row);
  int field = FieldOfListColumn(table_.def, listColumn);
  if (!shown || field < 0 || shown->Field(field) == text) return false;
  size_t record = static_cast<size_t>(view_[static_cast<size_t>(row)]);
  table_.records[record].SetField(field, text);
  table_.def.modified = kTableChanged;
  if (field < 3 && record < foldedValid_.size()) foldedValid_[record] = false;
  return true;
}

int DataBook::Add() {
  revision_ = find::NextStamp();
  table_.records.push_back({NewRecordLine(filters_, table_.def.ColumnCount())});
  table_.def.modified = kTableChanged;
  selected_ = -1;
  Filter();
  int last = static_cast<int>(table_.records.size()) - 1;
  if (!view_.empty() && view_.back() == last) selected_ = static_cast<int>(view_.size()) - 1;
  return selected_;
}

bool DataBook::RemoveSelected() {
  revision_ = find::NextStamp();
  if (!RecordAt(selected_)) return false;
  size_t record = static_cast<size_t>(view_[static_cast<size_t>(selected_)]);
  table_.records.erase(table_.records.begin() + static_cast<std::ptrdiff_t>(record));
  if (record < folded_.size()) {
    folded_.erase(folded_.begin() + static_cast<std::ptrdiff_t>(record));
    foldedValid_.erase(foldedValid_.begin() + static_cast<std::ptrdiff_t>(record));
  }
  table_.def.modified = kTableChanged;
  selected_ = -1;
  Filter();
  return true;
}

void DataBook::Sort(int listColumn, bool ascending) {
  revision_ = find::NextStamp();
  int field = FieldOfListColumn(table_.def, listColumn);
  if (field < 0) return;
  SortRecords(table_.records, field, ascending);
  table_.def.modified = kTableChanged;
  selected_ = -1;
  Refilter();
}

void DataBook::TakeWidths(const std::vector<unsigned>& shownWidths, bool marksChanged) {
  std::vector<unsigned> before = table_.def.widths;
  TakeListWidths(table_.def, shownWidths);
  if (marksChanged && before != table_.def.widths) table_.def.modified = kTableChanged;
}

bool DataBook::ApplyPassword(const std::string& typed, bool removePassword, Protection newScheme) {
  PasswordOutcome outcome = ApplyPasswordOutcome(typed, removePassword, newScheme);
  return outcome != PasswordOutcome::kWrong && outcome != PasswordOutcome::kFailed;
}

PasswordOutcome DataBook::ApplyPasswordOutcome(const std::string& typed, bool removePassword, Protection newScheme) {
  revision_ = find::NextStamp();
  bool wasLocked = table_.locked;
  bool wasSealed = !table_.sealed.empty();
  PasswordOutcome outcome = ApplyTablePassword(table_, typed, removePassword, newScheme);
  if (wasLocked && !table_.locked) {
    listHidden_ = false;
    // The records came from the file only now: the view and selection start afresh.
    if (wasSealed) {
      selected_ = -1;
      Refilter();
    }
  }
  return outcome;
}

DataCommands DataBook::Commands() const {
  DataCommands c;
  const CTableRecord* r = RecordAt(selected_);
  c.remove = r != nullptr;
  auto linked = [&](int column) {
    return r && column >= 0 && column <= table_.def.lastColumn && !r->Field(column).empty();
  };
  c.dial = linked(table_.def.phoneColumn);
  c.mail = linked(table_.def.emailColumn);
  c.web = linked(table_.def.webColumn);
  c.clearInputs = AnyFilter();
  c.add = c.save = c.settings = !table_.path.empty() && !table_.locked;
  c.loadInfo = !table_.loadMessage.empty();
  return c;
}

ShellRequest DataBook::PlanAction(CardAction action) const {
  const CTableRecord* r = RecordAt(selected_);
  const CTableDef& d = table_.def;
  int column = action == CardAction::kMail  ? d.emailColumn
               : action == CardAction::kWeb ? d.webColumn
                                            : d.phoneColumn;
  if (!r || column < 0 || column > d.lastColumn) return {};
  return PlanDataAction(action, &r->line, column);
}

}  // namespace vm::data
