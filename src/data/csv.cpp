#include "data/csv.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/record_file.h"
#include "data/data_book.h"
#include "common/cp1251_bytes.h"
#include "platform/platform.h"

namespace vm::data {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// How many row numbers a report lists before it says how many more there are.
constexpr size_t kRowsListed = 20;

// ---- export ---------------------------------------------------------------------------

// ";" and a tab are quoted too: a reader that guesses the separator from the first
// row, as this one does, must see only commas outside quotes.
void AppendCsvField(std::string& out, std::string_view field) {
  static const auto quoted = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view(",;\t\"\r\n")) t[c] = true;
    return t;
  }();
  bool plain = true;
  for (char c : field) {
    if (quoted[static_cast<unsigned char>(c)]) {
      plain = false;
      break;
    }
  }
  if (plain) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendCsvRow(std::string& out, const std::vector<std::string>& fields) {
  if (fields.size() == 1 && fields[0].empty()) {
    out += "\"\"\r\n";
    return;
  }
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    AppendCsvField(out, fields[i]);
  }
  out += "\r\n";
}

// ---- import: encoding -----------------------------------------------------------------

bool HasZeroByte(std::string_view bytes) {
  return bytes.find('\0') != std::string_view::npos;
}

// 0x98 is the one byte Windows-1251 leaves undefined.
bool HasUndefinedCp1251Byte(std::string_view bytes) {
  return bytes.find('\x98') != std::string_view::npos;
}

std::string NotTextMessage(const std::string& fileName) {
  return "Файл " + fileName +
         " не похож на текст CSV в кодировке UTF-8 или Windows-1251, и прочитать его нельзя.\n"
         "Сохраните таблицу в формате CSV в одной из этих кодировок.";
}

// The Windows-1251 byte of each UTF-16 character that has one (0: none; ASCII aside).
// Turns UTF-16 into Windows-1251. A character the page lacks becomes "?" and is counted.
class Cp1251Encoder {
 public:
  // Appends the field's bytes; returns how many characters had to be replaced.
  int Append(std::u16string_view text, std::string& out) {
    int lost = 0;
    // Never more bytes than units: written in place, then cut to length.
    size_t base = out.size();
    out.resize(base + text.size());
    char* to = out.data() + base;
    const char16_t* at = text.data();
    const char16_t* end = at + text.size();
    for (; at < end; ++at) {
      char16_t u = *at;
      if (u < 0x80) {
        *to++ = static_cast<char>(u);
        continue;
      }
      // A surrogate pair is one character, beyond the page.
      bool pair = u >= 0xD800 && u < 0xDC00 && at + 1 < end && at[1] >= 0xDC00 && at[1] < 0xE000;
      int byte = pair ? -1 : Cp1251ByteOf(u);
      at += pair;
      if (byte < 0) {
        *to++ = '?';
        ++lost;
      } else {
        *to++ = static_cast<char>(byte);
      }
    }
    out.resize(static_cast<size_t>(to - out.data()));
    return lost;
  }
};

// Windows-1251 is read a byte at a time, so the platform's conversion of each byte, made
// once, converts any text: to UTF-16 (exact when every byte gives one unit) and to UTF-8.
struct Cp1251Chars {
  char16_t unit[256];
  bool oneUnitEach = true;
  std::string utf8[256];
  Cp1251Chars() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::u16string wide;
      oneUnitEach = platform::ToUtf16(platform::kCp1251, std::string_view(&byte, 1), wide) &&
                    wide.size() == 1 && oneUnitEach;
      unit[b] = wide.empty() ? 0 : wide[0];
      utf8[b] = platform::Cp1251ToUtf8(std::string_view(&byte, 1));
    }
  }
};

const Cp1251Chars& Cp1251Table() {
  static const Cp1251Chars table;
  return table;
}

bool DecodeCp1251(std::string_view bytes, std::u16string& text) {
  const Cp1251Chars& t = Cp1251Table();
  if (!t.oneUnitEach) return platform::ToUtf16(platform::kCp1251, bytes, text);
  text.resize(bytes.size());
  char16_t* to = text.data();
  for (char c : bytes) *to++ = t.unit[static_cast<unsigned char>(c)];
  return true;
}

std::string Cp1251AsUtf8(std::string_view cp1251) {
  const Cp1251Chars& t = Cp1251Table();
  std::string out;
  out.reserve(cp1251.size() + cp1251.size() / 2);
  for (char c : cp1251) {
    if (static_cast<unsigned char>(c) < 0x80)
      out += c;
    else
      out += t.utf8[static_cast<unsigned char>(c)];
  }
  return out;
}

// Bytes that no UTF-8 reader takes: a continuation byte where none belongs, 0xFE or 0xFF,
// or a lead byte followed by too few continuation bytes before the text goes on. (A
// sequence cut off by the end is left to the platform.)
bool BrokenUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) continue;
    if (b < 0xC0 || b >= 0xFE) return true;
    size_t follow = b < 0xE0 ? 1 : b < 0xF0 ? 2 : b < 0xF8 ? 3 : b < 0xFC ? 4 : 5;
    for (size_t k = 1; k <= follow; ++k) {
      if (i + k >= bytes.size()) return false;
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return true;
    }
    i += follow;
  }
  return false;
}

// Strict UTF-8. Text of ASCII and of the characters every reader takes alike (two- and
// three-byte forms of U+0080-U+FFFD, no surrogate, no noncharacter) is read here; text no
// reader takes is refused at once; anything else is the platform's to read.
bool DecodeUtf8(std::string_view bytes, std::u16string& text) {
  // Never more units than bytes: written in place, then cut to length.
  text.resize(bytes.size());
  char16_t* to = text.data();
  const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* end = at + bytes.size();
  auto tail = [&](const unsigned char* p) { return p < end && (*p & 0xC0) == 0x80; };
  while (at < end) {
    unsigned b = *at;
    if (b < 0x80) {
      *to++ = static_cast<char16_t>(b);
      ++at;
    } else if (b >= 0xC2 && b < 0xE0 && tail(at + 1)) {
      *to++ = static_cast<char16_t>((b & 0x1F) << 6 | (at[1] & 0x3F));
      at += 2;
    } else if (b >= 0xE0 && b < 0xF0 && tail(at + 1) && tail(at + 2)) {
      char32_t c = (b & 0x0F) << 12 | (at[1] & 0x3F) << 6 | (at[2] & 0x3F);
      if (c < 0x800 || (c >= 0xD800 && c < 0xE000) || (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE) break;
      *to++ = static_cast<char16_t>(c);
      at += 3;
    } else {
      break;
    }
  }
  if (at == end) {
    text.resize(static_cast<size_t>(to - text.data()));
    return true;
  }
  if (BrokenUtf8(bytes)) return false;
  return platform::ToUtf16(platform::kUtf8, bytes, text, true);
}

// Where a line read as Windows-1251 lies in the decoded text: [begin, end).
struct TextSpan {
  size_t begin, end;
};

// A file that is not UTF-8 as a whole but mostly is, line by line: some lines were saved
// by another program in Windows-1251. Each line that is not UTF-8 is read whole as
// Windows-1251 and its place kept in `foreign`. Lines are the unit because a line of
// Windows-1251 letters hardly ever reads as UTF-8 while a UTF-8 line always does, so
// they vote sharply; and a byte-by-byte reading would take a Windows-1251 pair such as
// "Пё" for one UTF-8 character. False, with nothing decided, unless the lines beyond
// ASCII that read as UTF-8 outnumber those that do not, or when a line that does not
// holds a byte Windows-1251 leaves undefined; `foreign` is then left as it was.
bool DecodeMostlyUtf8(std::string_view bytes, std::u16string& text, std::vector<TextSpan>& foreign) {
  text.clear();
  std::vector<TextSpan> spans;
  int utf8Lines = 0, otherLines = 0;
  std::u16string piece;
  while (!bytes.empty()) {
    // A lone CR ends a row too: lines never run across rows.
    size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    if (end < bytes.size()) end += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end);
    bool beyondAscii = std::any_of(line.begin(), line.end(), [](char c) { return (c & 0x80) != 0; });
    if (DecodeUtf8(line, piece)) {
      utf8Lines += beyondAscii;
    } else {
      ++otherLines;
      if (HasUndefinedCp1251Byte(line) || !DecodeCp1251(line, piece)) return false;
      spans.push_back({text.size(), text.size() + piece.size()});
    }
    text += piece;
  }
  if (utf8Lines <= otherLines) return false;
  foreign = std::move(spans);
  return true;
}

// ---- import: the CSV grammar ----------------------------------------------------------

// The first row of a file as the reader reads it with a given separator: how many
// fields, and how many quotes it takes as plain text (inside a field, or after a quoted
// field's closing quote). A quote opens a quoted field only at a field's start, and a
// line break inside one does not end the row.
struct RowShape {
  size_t fields = 0;
  int strayQuotes = 0;
};

RowShape FirstRowShape(std::u16string_view text, char16_t separator) {
  RowShape shape;
  size_t i = 0;
  while (i < text.size() && (text[i] == '\r' || text[i] == '\n')) ++i;
  if (i == text.size()) return shape;
  shape.fields = 1;
  bool fieldStart = true;
  while (i < text.size()) {
    char16_t c = text[i++];
    if (c == '"' && fieldStart) {
      for (; i < text.size(); ++i) {
        if (text[i] != '"') continue;
        if (i + 1 < text.size() && text[i + 1] == '"')
          ++i;
        else
          break;
      }
      ++i;  // the closing quote
      fieldStart = false;
      if (i < text.size() && text[i] != separator && text[i] != '\r' && text[i] != '\n') ++shape.strayQuotes;
    } else if (c == separator) {
      ++shape.fields;
      fieldStart = true;
    } else if (c == '\r' || c == '\n') {
      break;
    } else {
      shape.strayQuotes += c == '"';
      fieldStart = false;
    }
  }
  return shape;
}

// The separator of a file: of ",", ";" and a tab, the one under which its first row has
// the fewest stray quotes and then the most fields ("," on a tie, then ";"). Fields are
// counted as the reader will split them, so an inch mark in "15\"" is text; and a
// separator that only splits the row by cutting into quoted fields leaves stray quotes
// where the right one leaves none.
char DetectSeparator(std::u16string_view text) {
  char16_t chosen = ',';
  RowShape best = FirstRowShape(text, chosen);
  for (char16_t candidate : {u';', u'\t'}) {
    RowShape shape = FirstRowShape(text, candidate);
    if (shape.strayQuotes < best.strayQuotes ||
        (shape.strayQuotes == best.strayQuotes && shape.fields > best.fields)) {
      best = shape;
      chosen = candidate;
    }
  }
  return static_cast<char>(chosen);
}

// Reads one row at a time. Quoted fields may hold separators, doubled quotes and line
// breaks; text after a closing quote, or a quote inside an unquoted field, is taken as
// it stands, as spreadsheet programs do.
class CsvReader {
 public:
  CsvReader(std::u16string_view text, char16_t separator) : text_(text), sep_(separator) {}

  bool AtEnd() const { return at_ >= text_.size(); }
  // Where the next row starts in the text.
  size_t position() const { return at_; }
  int row() const { return row_; }
  int unclosedQuoteRow() const { return unclosedRow_; }

  // The next row's fields; an empty line gives no field at all.
  void Next(std::vector<std::u16string>& fields) {
    ++row_;
    if (EndOfLine()) {
      SkipLineBreak();
      fields.clear();
      return;
    }
    // The strings of the row before are reused, buffers and all.
    size_t count = 0;
    auto nextField = [&]() -> std::u16string& {
      if (count == fields.size())
        fields.emplace_back();
      else
        fields[count].clear();
      return fields[count++];
    };
    const char16_t* d = text_.data();
    for (;;) {
      std::u16string& field = nextField();
      if (d[at_] == '"') ReadQuoted(field);
      size_t end = at_;
      while (end < text_.size() && d[end] != sep_ && d[end] != '\r' && d[end] != '\n') ++end;
      field.append(text_.substr(at_, end - at_));
      at_ = end;
      if (!AtEnd() && d[at_] == sep_) {
        ++at_;
        if (AtEnd()) {
          nextField();
          break;
        }
        continue;
      }
      SkipLineBreak();
      break;
    }
    fields.resize(count);
  }

 private:
  bool EndOfLine() const { return !AtEnd() && (text_[at_] == '\r' || text_[at_] == '\n'); }

  void SkipLineBreak() {
    if (AtEnd()) return;
    if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
    ++at_;
  }

  void ReadQuoted(std::u16string& field) {
    int opened = row_;
    ++at_;
    for (;;) {
      if (AtEnd()) {
        if (!unclosedRow_) unclosedRow_ = opened;
        return;
      }
      // Up to the next quote in one piece.
      size_t quote = std::min(text_.find(u'"', at_), text_.size());
      field.append(text_.substr(at_, quote - at_));
      at_ = quote;
      if (AtEnd()) continue;
      char16_t c = text_[at_++];
      if (!AtEnd() && text_[at_] == '"') {
        field += c;
        ++at_;
      } else {
        return;
      }
    }
  }

  std::u16string_view text_;
  char16_t sep_;
  size_t at_ = 0;
  int row_ = 0;
  int unclosedRow_ = 0;
};

std::string Decimal(long long v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%lld", v);
  return buf;
}

std::string RowList(const std::vector<int>& rows) {
  std::string out;
  for (size_t i = 0; i < rows.size() && i < kRowsListed; ++i) {
    if (i) out += ", ";
    out += Decimal(rows[i]);
  }
  if (rows.size() > kRowsListed)
    out += " и ещё " + Decimal(static_cast<long long>(rows.size() - kRowsListed));
  return out;
}

// The record's fields at the given columns (in increasing order) as CTableRecord::Field
// reads them, in one walk along the line.
void ReadFields(std::string_view line, const std::vector<int>& columns, std::vector<std::string>& fields) {
  for (std::string& f : fields) f.clear();
  if (columns.empty()) return;
  size_t begin = 0, i = 0;
  for (int at = 0;; ++at) {
    size_t end = FieldEnd(line, begin);
    if (at == columns[i]) {
      AppendFieldValue(fields[i], line.substr(begin, end - begin));
      if (++i == columns.size()) return;
    }
    if (end == line.size()) return;  // the line has no more fields: the rest stay empty
    begin = end + 1;
  }
}

}  // namespace

// ---- export -----------------------------------------------------------------------------

std::string CsvBytes(const DataTable& table) {
  std::vector<int> columns = ShownColumns(table.def);
  std::string cp1251;
  std::vector<std::string> fields(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) fields[i] = table.def.names[static_cast<size_t>(columns[i])];
  AppendCsvRow(cp1251, fields);
  for (const CTableRecord& r : table.records) {
    ReadFields(r.line, columns, fields);
    AppendCsvRow(cp1251, fields);
  }
  // The separators, quotes and line breaks are ASCII, the same in both encodings, so the
  // whole text is converted at once.
  return std::string(kUtf8Mark) + Cp1251AsUtf8(cp1251);
}

CsvExport ExportCsv(const DataTable& table, const std::string& path) {
  if (ShownColumns(table.def).empty())
    return {false, "В таблице нет показанных столбцов: записывать в CSV нечего."};
  if (!platform::SafeReplace(path, CsvBytes(table))) return {false, "Не удалось записать файл " + path + "."};
  return {};
}

// ---- import -----------------------------------------------------------------------------

void CsvLoss::Add(int row) {
  ++count;
  if (rows.empty() || rows.back() != row) rows.push_back(row);
}

CsvImport ImportCsvBytes(std::string_view bytes, const std::string& fileName) {
  CsvImport out;
  bool marked = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  if (HasZeroByte(bytes)) {
    out.error = NotTextMessage(fileName);
    return out;
  }
  std::u16string text;
  std::vector<TextSpan> foreign;
  if (DecodeUtf8(bytes, text) || DecodeMostlyUtf8(bytes, text, foreign)) {
    out.encoding = CsvEncoding::kUtf8;
  } else if (!marked && !HasUndefinedCp1251Byte(bytes) && DecodeCp1251(bytes, text)) {
    out.encoding = CsvEncoding::kCp1251;
  } else {
    out.error = NotTextMessage(fileName);
    return out;
  }

  out.separator = static_cast<char>(DetectSeparator(text));
  CsvReader reader(text, static_cast<char16_t>(out.separator));
  Cp1251Encoder encoder;
  std::vector<std::u16string> fields;
  bool headerRead = false;
  CTableDef& def = out.table.def;
  std::string value;
  size_t nextForeign = 0;
  while (!reader.AtEnd()) {
    size_t from = reader.position();
    reader.Next(fields);
    if (fields.empty()) continue;
    int row = reader.row();
    // The lines read as Windows-1251 that reach into this row; one may go on into the next.
    for (size_t to = reader.position(); nextForeign < foreign.size() && foreign[nextForeign].begin < to;) {
      if (foreign[nextForeign].end > from && (out.notUtf8.rows.empty() || out.notUtf8.rows.back() != row))
        out.notUtf8.Add(row);
      if (foreign[nextForeign].end > to) break;
      ++nextForeign;
    }
    auto convert = [&](const std::u16string& field) {
      value.clear();
      for (int lost = encoder.Append(field, value); lost > 0; --lost) out.unconvertible.Add(row);
    };
    if (!headerRead) {
      def.names.reserve(fields.size());
      def.widths.reserve(fields.size());
      def.shown.reserve(fields.size());
      for (const std::u16string& f : fields) {
        convert(f);
        def.AddColumnEntry(value, kNewColumnWidth, 1);
      }
      headerRead = true;
      continue;
    }
    if (static_cast<int>(fields.size()) > def.ColumnCount()) {
      out.longRows.Add(row);
      while (def.ColumnCount() < static_cast<int>(fields.size())) def.AddColumnEntry({}, kNewColumnWidth, 1);
    }
    std::string line;
    for (size_t k = 0; k < fields.size(); ++k) {
      convert(fields[k]);
      for (size_t hash = value.find('#'); hash != std::string::npos; hash = value.find('#', hash + 1))
        out.hashes.Add(row);
      if (k) line += '|';
      AppendFieldText(line, value);
    }
    out.table.records.push_back({std::move(line)});
  }
  if (!headerRead) {
    out.error = "В файле " + fileName + " нет строки заголовка с названиями столбцов.";
    return out;
  }
  // Every record gets a field for every column, so that the file loads it back.
  for (CTableRecord& r : out.table.records)
    for (int n = CountFieldSeparators(r.line); n < def.lastColumn; ++n) r.AppendField();
  out.unclosedQuoteRow = reader.unclosedQuoteRow();
  out.records = static_cast<int>(out.table.records.size());
  def.modified = kTableChanged;
  out.ok = true;
  return out;
}

CsvImport ImportCsv(const std::string& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    CsvImport out;
    out.error = "Не удалось открыть файл " + path + ".";
    return out;
  }
  return ImportCsvBytes(bytes, path);
}

std::string CsvImportReport(const CsvImport& import) {
  std::vector<std::string> parts;
  if (import.notUtf8.count > 0)
    parts.push_back("В строках файла " + RowList(import.notUtf8.rows) +
                    " текст записан не в UTF-8, как остальной файл, и прочитан в кодировке Windows-1251."
                    " Проверьте эти строки.");
  if (import.unconvertible.count > 0)
    parts.push_back("Знаков, которых нет в кодировке Windows-1251: " + Decimal(import.unconvertible.count) +
                    ". Они заменены знаком \"?\" в строках файла " + RowList(import.unconvertible.rows) +
                    ".");
  if (import.hashes.count > 0)
    parts.push_back("Знак \"#\" в полях таблицы не хранится и пропущен " + Decimal(import.hashes.count) +
                    " раз(а), в строках файла " + RowList(import.hashes.rows) + ".");
  if (import.longRows.count > 0)
    parts.push_back("В строках файла " + RowList(import.longRows.rows) +
                    " полей больше, чем названий в заголовке: для них добавлены столбцы без названия.");
  if (import.unclosedQuoteRow > 0)
    parts.push_back("Кавычка, открытая в строке файла " + Decimal(import.unclosedQuoteRow) +
                    ", не закрыта: поле продолжается до конца файла.");
  std::string out;
  for (const std::string& p : parts) {
    if (!out.empty()) out += "\n\n";
    out += p;
  }
  return out;
}

}  // namespace vm::data
