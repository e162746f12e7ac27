#include "data/data_file.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <vector>

#include "common/backup.h"
#include "common/record_file.h"
#include "common/header_codec.h"
#include "common/protected_file.h"
#include "platform/crypto.h"
#include "platform/platform.h"

namespace vm::data {

namespace {


constexpr std::string_view kExtension = ".dbp";
constexpr std::string_view kOldLayoutMark = "<Records";
// Bytes the header encoding cannot carry.
constexpr std::string_view kHeaderUnsafe("^\r\n\0", 4);
// Bytes escaped in a record line that cannot be written as it is: the line breaks and
// the zero byte, the bytes that scramble to them, and "<" and "=" so that neither the
// line nor its scrambled form can hold the older layout's mark.
constexpr std::string_view kLineUnsafe("\0\x01\n\x0B\x0C\r<=", 8);

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The decimal value at the start of a field, as the C library reads it; out-of-range
// values are clamped.
long long Decimal(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > INT_MAX) v = INT_MAX + 1LL;
  }
  v = negative ? -v : v;
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v;
}

int DecimalInt(std::string_view s) {
  return static_cast<int>(Decimal(s));
}

// A phone, e-mail or web column beyond the last one (or any other index that names no column)
// reads as none.
int LinkColumnValue(std::string_view field, int columns) {
  int v = DecimalInt(field);
  return v >= 0 && v < columns ? v : -1;
}

// The column count from the separator count S: (S - 4) / per, rounded up; never
// negative, whatever the line holds.
int ColumnCount(int separators, int per) {
  int rest = separators - 4;
  int n = rest % per == 0 ? rest / per : rest / per + 1;
  return n < 0 ? 0 : n;
}

void ReserveColumns(CTableDef& def, size_t n) {
  def.names.reserve(n);
  def.widths.reserve(n);
  def.shown.reserve(n);
}

// The fields of a header line by the escape rule of HeaderFields, as views: into the
// line itself when it holds no escape character, else into the cleaned copy kept here
// (reserved at the line's size, so it never moves while it grows).
class Header {
 public:
  Header(std::string_view line, char escape) {
    constexpr size_t npos = std::string_view::npos;
    size_t bars = 0;
    for (size_t i = line.find('|'); i != npos; i = line.find('|', i + 1)) ++bars;
    fields_.reserve(bars + 1);
    size_t pos = 0, bar = line.find('|'), esc = line.find(escape);
    if (esc == npos) {
      for (; bar != npos; bar = line.find('|', pos)) {
        fields_.push_back(line.substr(pos, bar - pos));
        pos = bar + 1;
      }
      fields_.push_back(line.substr(pos));
      return;
    }
    text_.reserve(line.size());
    size_t start = 0;
    auto close = [&] {
      fields_.emplace_back(text_.data() + start, text_.size() - start);
      start = text_.size();
    };
    while (bar != npos || esc != npos) {
      size_t stop = std::min(bar, esc);
      text_.append(line.substr(pos, stop - pos));
      pos = stop + 1;
      if (stop == bar) {
        if (bar == 0 || line[bar - 1] != escape)
          close();
        else if (bar != esc)
          text_.push_back('|');
        bar = line.find('|', pos);
      }
      if (stop == esc) esc = line.find(escape, pos);
    }
    text_.append(line.substr(pos));
    close();
  }
  Header(const Header&) = delete;
  Header& operator=(const Header&) = delete;

  const std::vector<std::string_view>& fields() const { return fields_; }
  std::string_view Field(size_t n) const { return n < fields_.size() ? fields_[n] : std::string_view(); }

 private:
  std::string text_;
  std::vector<std::string_view> fields_;
};

void ReadHeader(DataTable& table, std::string_view line) {
  CTableDef& def = table.def;
  char version = line[1];
  Header h(line, '\\');
  int n = ColumnCount(static_cast<int>(h.fields().size()) - 1, 3);
  size_t N = static_cast<size_t>(n);
  def.key = h.Field(3 * N + 4);
  ReserveColumns(def, N);
  KeyParts key = SplitKeyText(DecodeHeader(def.key), kExtension);
  bool encodedNames = version == '4' && !key.password.empty();
  for (size_t k = 1; k <= N; ++k) {
    std::string_view raw = h.Field(k);
    std::string name = encodedNames ? ReadMaybeEscaped(DecodeHeader(raw)) : ReadMaybeEscaped(raw);
    int flag = version == '1' ? 1 : DecimalInt(h.Field(2 * N + k));
    def.AddColumnEntry(std::move(name), static_cast<unsigned>(DecimalInt(h.Field(N + k))), flag);
  }
  def.lastColumn = n - 1;
  def.phoneColumn = LinkColumnValue(h.Field(3 * N + 1), n);
  def.emailColumn = LinkColumnValue(h.Field(3 * N + 2), n);
  def.webColumn = LinkColumnValue(h.Field(3 * N + 3), n);
  if (!key.password.empty()) {
    def.protection = kTableProtected;
    table.password = key.password;
    table.locked = true;
    table.scheme = Protection::kLegacy;
  } else {
    def.protection = kTablePlain;
    table.password.clear();
    table.locked = false;
    table.scheme = Protection::kNone;
  }
}

void ReadVersion2Header(DataTable& table, std::string_view line) {
  CTableDef& def = table.def;
  Header h(line, '#');
  int n = ColumnCount(static_cast<int>(h.fields().size()) - 1, 2);
  size_t N = static_cast<size_t>(n);
  ReserveColumns(def, N);
  for (size_t k = 1; k <= N; ++k) {
    unsigned width = static_cast<unsigned>(DecimalInt(h.Field(N + k)));
    def.AddColumnEntry(std::string(h.Field(k)), width == 0 ? kNewColumnWidth : width, 1);
  }
  def.lastColumn = n - 1;
  def.phoneColumn = LinkColumnValue(h.Field(2 * N + 1), n);
  def.emailColumn = LinkColumnValue(h.Field(2 * N + 2), n);
  def.webColumn = LinkColumnValue(h.Field(2 * N + 3), n);
  int protection = DecimalInt(h.Field(2 * N + 4));
  def.protection = protection > 2 ? kTablePlain : protection;
  // The version-2 header carries no key, so there is no password to ask for.
  table.password.clear();
  table.locked = false;
  table.scheme = Protection::kNone;
}

// A scrambled line holds a line break before the record: the saver puts one there.
// Only that break is removed, so a record's own leading blanks survive; a line
// without it (not written by a saver) loses all its leading white space.
void DropLeadingBreak(std::string& record) {
  if (StartsWith(record, "\n")) {
    record.erase(0, 1);
  } else if (StartsWith(record, "\r\n")) {
    record.erase(0, 2);
  } else {
    size_t i = 0;
    while (i < record.size() && (record[i] == ' ' || (record[i] >= '\t' && record[i] <= '\r'))) ++i;
    record.erase(0, i);
  }
}

std::string EncodedName(std::string_view name) {
  bool fits = !IsEscaped(name) && !HoldsAnyOf(name, kHeaderUnsafe);
  return EncodeHeader(fits ? std::string(name) : EscapeText(name, kHeaderUnsafe));
}

// A plain line is read back as written unless it is empty, starts with "/" (a header
// or a skipped line), holds a line break or a zero byte, or holds the older layout's
// mark; such a record is written in the escaped form.
void AppendPlainLine(std::string& out, const std::string& record) {
  bool fits = !record.empty() && record[0] != '/' && !IsEscaped(record) &&
              !HoldsAnyOf(record, std::string_view("\0\n\r", 3)) &&
              record.find(kOldLayoutMark) == std::string::npos;
  if (fits)
    out += record;
  else
    out += EscapeText(record, kLineUnsafe);
}

// The scrambled form of a line break followed by the text.
std::string ScrambledWithBreak(std::string_view text) {
  std::string wire;
  wire.reserve(text.size() + 1);
  wire += '\n';
  wire += text;
  ScrambleInPlace(wire);
  return wire;
}

std::string ScrambledLine(const std::string& record) {
  std::string wire = ScrambledWithBreak(record);
  bool fits = !IsEscaped(record) && !HoldsAnyOf(wire, std::string_view("\0\n\r", 3)) &&
              wire.find(kOldLayoutMark) == std::string::npos;
  return fits ? wire : ScrambledWithBreak(EscapeText(record, kLineUnsafe));
}

// "|" and the number.
void AppendNumber(std::string& out, int v) {
  char buf[16];
  buf[0] = '|';
  out.append(buf, std::to_chars(buf + 1, buf + sizeof buf, v).ptr);
}

}  // namespace

std::vector<std::string> HeaderFields(std::string_view line, char escape) {
  Header h(line, escape);
  return {h.fields().begin(), h.fields().end()};
}

std::string TableKey(std::string_view fileName, std::string_view password) {
  return EncodeKey(fileName, password, kExtension);
}

TableLoad LoadTableBytes(DataTable& table, std::string_view bytes, std::string& rejected) {
  TableLoad load;
  table.records.clear();
  table.def.Clear();
  table.def.modified = kTableUnchanged;
  table.loadMessage.clear();
  table.carried.clear();
  crypto::WipeString(table.sealed);
  table.scheme = Protection::kNone;
  rejected.clear();
  if (LooksSealed(bytes)) {
    table.sealed.assign(bytes);
    table.scheme = Protection::kStrong;
    table.def.protection = kTableProtected;
    table.password.clear();
    table.locked = true;
    return load;
  }
  bool headerRead = false;
  size_t lineCount = 1;
  for (size_t lf = bytes.find('\n'); lf != std::string_view::npos; lf = bytes.find('\n', lf + 1)) ++lineCount;
  table.records.reserve(lineCount);
  TextLines lines(bytes);
  for (std::string_view line; lines.Next(line);) {
    if (line.empty()) continue;
    if (line.find(kOldLayoutMark) != std::string_view::npos) {
      table.loadMessage = OldFormatMessage(table.path);
      table.records.clear();
      table.def.Clear();
      table.password.clear();
      table.locked = false;
      load.oldFormat = true;
      table.carried.clear();
      rejected.clear();
      load.rejected = 0;
      return load;
    }
    if (StartsWith(line, "/1|") || StartsWith(line, "/3|") || StartsWith(line, "/4|")) {
      if (!headerRead) ReadHeader(table, line);
      headerRead = true;
      continue;
    }
    if (StartsWith(line, "/2|")) {
      if (!headerRead) ReadVersion2Header(table, line);
      headerRead = true;
      continue;
    }
    if (line[0] == '/') continue;

    std::string record;
    int separators = 0;
    if (table.def.protection > 1) {
      record.assign(line);
      ScrambleInPlace(record);
      DropLeadingBreak(record);
      if (IsEscaped(record)) record = UnescapeText(record);
      separators = CountFieldSeparators(record);
    } else if (IsEscaped(line)) {
      record = UnescapeText(line);
      separators = CountFieldSeparators(record);
    } else {
      record.assign(line);
      separators = CountFieldSeparators(record);
    }
    if (!headerRead) {
      ReserveColumns(table.def, static_cast<size_t>(separators) + 1);
      for (int i = 0; i <= separators; ++i) table.def.AddColumnEntry({}, kNewColumnWidth, 1);
      headerRead = true;
    }
    if (separators < table.def.lastColumn) {
      char count[16];
      rejected.append(record).push_back('\n');
      rejected.append(count, std::to_chars(count, count + sizeof count, separators).ptr).push_back('\n');
      table.carried.push_back(std::move(record));
      ++load.rejected;
      continue;
    }
    table.records.push_back({std::move(record)});
  }
  return load;
}

TableLoad LoadTable(DataTable& table) {
  std::string bytes;
  if (!platform::ReadFileBytes(table.path, bytes)) {
    table.records.clear();
    table.def.Clear();
    table.def.modified = kTableUnchanged;
    table.loadMessage.clear();
    table.carried.clear();
    table.locked = false;
    table.sealed.clear();
    table.scheme = Protection::kNone;
    return {false, "Не удалось открыть файл " + table.path + ".", 0, false};
  }
  backup::AfterRead(table.path, bytes);
  std::string rejected;
  TableLoad load = LoadTableBytes(table, bytes, rejected);
  if (load.oldFormat) {
    table.path.clear();
    return load;
  }
  if (!rejected.empty()) {
    std::string side = SideFilePath(table.path);
    if (std::optional<std::string> told = AddToSideFile(table.path, SeparatorMessage(table.def.lastColumn), rejected)) {
      table.loadMessage = *told;
      table.carried.clear();
      table.def.modified = kTableChanged;
    } else {
      table.loadMessage = SideFileFailedMessage(side, load.rejected);
    }
  }
  return load;
}

std::string TableBytes(DataTable& table) {
  CTableDef& def = table.def;
  const bool protect = !table.password.empty() && table.scheme == Protection::kLegacy;
  def.key = TableKey(FileNameOf(table.path), protect ? std::string_view(table.password) : std::string_view());
  std::string out = "/4";
  for (size_t c = 0; c < def.names.size(); ++c) {
    out += '|';
    if (protect)
      out += EncodedName(def.names[c]);
    else
      out += PlainHeaderName(def.names[c]);
  }
  for (size_t c = 0; c < def.names.size(); ++c)
    AppendNumber(out, c < def.widths.size() ? static_cast<int>(def.widths[c]) : static_cast<int>(kNewColumnWidth));
  for (size_t c = 0; c < def.names.size(); ++c) AppendNumber(out, c < def.shown.size() ? def.shown[c] : 1);
  AppendNumber(out, def.phoneColumn);
  AppendNumber(out, def.emailColumn);
  AppendNumber(out, def.webColumn);
  out.append("|").append(def.key);
  size_t total = out.size();
  for (const CTableRecord& r : table.records) total += r.line.size() + 3;
  out.reserve(total + total / 16);
  for (const CTableRecord& r : table.records) {
    out += "\r\n";
    if (protect)
      out += ScrambledLine(r.line);
    else
      AppendPlainLine(out, r.line);
  }
  for (const std::string& line : table.carried) {
    out += "\r\n";
    if (protect)
      out += ScrambledLine(line);
    else
      AppendPlainLine(out, line);
  }
  return out;
}

bool FileBytes(DataTable& table, std::string& out) {
  if (!table.sealed.empty()) {
    out = table.sealed;
    return true;
  }
  if (table.password.empty() || table.scheme != Protection::kStrong) {
    out = TableBytes(table);
    return true;
  }
  crypto::SecretString plain(TableBytes(table));
  return Seal(plain.get(), table.password, table.kdfIterations, out);
}

TableSave SaveTable(DataTable& table) {
  if (table.path.empty()) return {};
  if (!table.password.empty()) table.def.modified = kTableChanged;
  if (table.def.modified != kTableChanged) return {};
  if (table.password.empty() && table.sealed.empty()) table.scheme = Protection::kNone;
  // A table with a password is never written plain: no scheme yet means the strong one.
  if (!table.password.empty() && table.scheme == Protection::kNone) table.scheme = Protection::kStrong;
  std::string bytes;
  if (!FileBytes(table, bytes) || !backup::SaveBook(table.path, bytes))
    return {TableSaveStatus::kFailed, SaveFailedMessage(table.path)};
  table.def.modified = kTableUnchanged;
  return {TableSaveStatus::kSaved, {}};
}

PasswordOutcome ApplyTablePassword(DataTable& table, const std::string& typed, bool removePassword,
                                   Protection newScheme) {
  if (!table.locked) {
    table.password = typed;
    table.def.modified = kTableChanged;
    table.locked = !typed.empty();
    table.scheme = typed.empty() ? Protection::kNone : newScheme;
    table.def.protection = typed.empty() ? kTablePlain : kTableProtected;
    return PasswordOutcome::kSet;
  }
  Protection read = table.scheme;
  if (!table.sealed.empty()) {
    crypto::SecretString plain;
    UnsealStatus status = Unseal(table.sealed, typed, plain.get());
    if (status != UnsealStatus::kOpened)
      return status == UnsealStatus::kFailed ? PasswordOutcome::kFailed : PasswordOutcome::kWrong;
    std::string path = table.path, rejected;
    LoadTableBytes(table, plain.get(), rejected);
    table.path = std::move(path);
    table.password = typed;
    table.scheme = Protection::kStrong;
  } else if (typed != table.password || table.password.empty()) {
    return PasswordOutcome::kWrong;
  }
  table.locked = false;
  table.def.protection = kTableProtected;
  table.scheme = SchemeAfterUnlock(read, newScheme);
  if (removePassword) {
    crypto::WipeString(table.password);
    table.scheme = Protection::kNone;
    table.def.protection = kTablePlain;
    table.def.modified = kTableChanged;
    return PasswordOutcome::kUnlocked;
  }
  return table.scheme != read ? PasswordOutcome::kUpgraded : PasswordOutcome::kUnlocked;
}

MergeResult MergeTables(std::string_view base, std::string_view mine, std::string_view theirs) {
  for (std::string_view side : {base, mine, theirs}) {
    DataTable table;
    std::string rejected;
    LoadTableBytes(table, side, rejected);
    if (table.scheme != Protection::kNone || table.def.protection != kTablePlain) {
      MergeResult refused;
      refused.error = "Таблица защищена паролем: версии не объединяются, сохранены обе.";
      return refused;
    }
  }
  RecordMergeRules rules;
  rules.isHeader = [](std::string_view line) {  // "/1|" to "/4|"
    return line.size() >= 3 && line[0] == '/' && line[1] >= '1' && line[1] <= '4' && line[2] == '|';
  };
  return MergeRecordFiles(base, mine, theirs, rules);
}

}  // namespace vm::data
