#include "common/record_file.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "common/backup.h"
#include "common/byte_words.h"
#include "common/unread_file.h"
#include "platform/platform.h"

namespace vm {

namespace {

const char kConvertHint[] = " старой версии, загрузка прекращена.\n Выполните конвертацию файла программой \"Fardelle.exe\"";

constexpr size_t npos = std::string_view::npos;

// The number of bytes of a BytesEqual mask (high bits only): one multiplication, as the
// portable build has no population count instruction.
int MarkedBytes(uint64_t mask) {
  return static_cast<int>(((mask >> 7) * 0x0101010101010101ULL) >> 56);
}

// Whether an "ERN:" or "EOR:", the escape of a line break, starts at e.
bool LineEscapeAt(std::string_view s, size_t e) {
  return e + 3 < s.size() && s[e] == 'E' && s[e + 3] == ':' &&
         ((s[e + 1] == 'R' && s[e + 2] == 'N') || (s[e + 1] == 'O' && s[e + 2] == 'R'));
}

size_t FindLineEscape(std::string_view s, size_t from) {
  for (size_t e = s.find('E', from); e != npos; e = s.find('E', e + 1))
    if (LineEscapeAt(s, e)) return e;
  return npos;
}

// "ERN:" and "EOR:" never overlap (no inner character of either is an "E") and their
// replacements hold neither, so one pass makes what the two replacements in turn make.
void AppendUnescaped(std::string& out, std::string_view line) {
  size_t pos = 0;
  for (size_t e = FindLineEscape(line, 0); e != npos; e = FindLineEscape(line, pos)) {
    out.append(line.substr(pos, e - pos)).append(line[e + 1] == 'R' ? "\r\n" : "\r");
    pos = e + 4;
  }
  out.append(line.substr(pos));
}

void AppendEscaped(std::string& out, std::string_view record) {
  size_t pos = 0;
  for (size_t cr = record.find('\r'); cr != npos; cr = record.find('\r', pos)) {
    out.append(record.substr(pos, cr - pos));
    bool pair = cr + 1 < record.size() && record[cr + 1] == '\n';
    out.append(pair ? "ERN:" : "EOR:");
    pos = cr + (pair ? 2 : 1);
  }
  out.append(record.substr(pos));
}

}  // namespace

const char* const kContactsOldFormatMessage =
    "Файл cont.dbc старой версии, загрузка прекращена.\n Выполните конвертацию файла программой \"Fardelle.exe\"";
const char* const kFirmsOldFormatMessage =
    "Файл firm.dbo (firm.dbf) старой версии, загрузка прекращена.\n Выполните конвертацию файла программой "
    "\"Fardelle.exe\"";

size_t FindFieldSeparator(std::string_view line, size_t from) {
  for (size_t i = line.find('|', from); i != npos; i = line.find('|', i + 1))
    if (i == 0 || line[i - 1] != '#') return i;
  return npos;
}

// Task records have 54 fields and the views read the last ones of every record: the
// separators are counted eight bytes a step, not found one search at a time.
size_t FieldBegin(std::string_view line, int n) {
  if (n <= 0) return 0;
  const char* p = line.data();
  const size_t size = line.size();
  int left = n;
  uint64_t hashes = 0;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint64_t word = LoadWord(p + i, 8);
    uint64_t separators = BytesEqual(word, '|') & ~((BytesEqual(word, '#') << 8) | (hashes >> 56));
    hashes = BytesEqual(word, '#');
    const int here = MarkedBytes(separators);
    if (here < left) {
      left -= here;
      continue;
    }
    while (--left > 0) separators &= separators - 1;
    return i + static_cast<size_t>(std::countr_zero(separators)) / 8 + 1;
  }
  for (; i < size; ++i)
    if (p[i] == '|' && (i == 0 || p[i - 1] != '#') && --left == 0) return i + 1;
  return npos;
}

size_t FieldEnd(std::string_view line, size_t begin) {
  size_t sep = FindFieldSeparator(line, begin);
  return sep == npos ? line.size() : sep;
}

// Both counts run over every record line of a load: eight bytes a step, no search
// started again at each separator.

int CountSeparators(std::string_view line) {
  const char* p = line.data();
  const size_t size = line.size();
  int n = 0;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) n += MarkedBytes(BytesEqual(LoadWord(p + i, 8), '|'));
  for (; i < size; ++i) n += p[i] == '|';
  return n;
}

int CountFieldSeparators(std::string_view line) {
  const char* p = line.data();
  const size_t size = line.size();
  int n = 0;
  size_t i = 0;
  uint64_t hashes = 0;  // of the word before: its last byte's high bit tells a "#"
  for (; i + 8 <= size; i += 8) {
    const uint64_t word = LoadWord(p + i, 8);
    const uint64_t bars = BytesEqual(word, '|');
    // The "#" bytes moved one byte on: the high bit of each byte that follows one.
    const uint64_t afterHash = (BytesEqual(word, '#') << 8) | (hashes >> 56);
    n += MarkedBytes(bars & ~afterHash);
    hashes = BytesEqual(word, '#');
  }
  for (; i < size; ++i) n += p[i] == '|' && (i == 0 || p[i - 1] != '#');
  return n;
}

bool GetField(std::string_view line, int n, std::string& value) {
  value.clear();
  if (line.empty() || n < 0) return false;
  size_t begin = FieldBegin(line, n);
  if (begin == npos) return false;
  AppendFieldValue(value, line.substr(begin, FieldEnd(line, begin) - begin));
  return true;
}

void AppendFieldValue(std::string& out, std::string_view raw) {
  for (size_t hash = raw.find('#'); hash != npos; hash = raw.find('#')) {
    out.append(raw.substr(0, hash));
    raw.remove_prefix(hash + 1);
  }
  out.append(raw);
}

std::string GetField(std::string_view line, int n) {
  std::string v;
  GetField(line, n, v);
  return v;
}

std::string SetField(std::string_view record, int n, std::string_view value) {
  if (n < 0) return std::string(record);
  size_t begin = FieldBegin(record, n);
  if (begin == npos) return std::string(record);
  size_t end = FieldEnd(record, begin);
  std::string out;
  out.reserve(record.size() - (end - begin) + value.size());
  out.append(record.substr(0, begin));
  out.append(value);
  out.append(record.substr(end));
  return out;
}

namespace {

// A typed "ERN:" or "EOR:" would come back as a line break: written as "ER#N:" and
// "EO#R:" it is no escape, and the field rule drops the "#" on reading. Works on the
// field text from `from` on, where "#" stands only before a "|".
void BreakLineEscapes(std::string& out, size_t from) {
  size_t first = FindLineEscape(out, from);
  if (first == npos) return;
  std::string tail = out.substr(first);
  out.resize(first);
  size_t pos = 0;
  for (size_t e = 0; e != npos; e = FindLineEscape(tail, e + 4)) {
    out.append(tail, pos, e + 2 - pos).push_back('#');
    pos = e + 2;
  }
  out.append(tail, pos, npos);
}

}  // namespace

void AppendFieldText(std::string& out, std::string_view value) {
  const size_t from = out.size();
  // The runs between the bytes that change are appended whole.
  size_t pos = 0, hash = value.find('#'), bar = value.find('|'), lf = value.find('\n');
  for (;;) {
    size_t stop = std::min(hash, std::min(bar, lf));
    if (stop == npos) break;
    out.append(value.substr(pos, stop - pos));
    pos = stop + 1;
    if (stop == hash) {
      hash = value.find('#', pos);
    } else if (stop == bar) {
      out += "#|";
      bar = value.find('|', pos);
    } else {
      out += stop > 0 && value[stop - 1] == '\r' ? "\n" : "\r\n";
      lf = value.find('\n', pos);
    }
  }
  out.append(value.substr(pos));
  BreakLineEscapes(out, from);
}

std::string FieldText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  AppendFieldText(out, value);
  return out;
}

std::string SetFieldText(std::string_view record, int n, std::string_view value) {
  if (!HoldsAnyOf(value, "#|\n") && FindLineEscape(value, 0) == npos) return SetField(record, n, value);
  return SetField(record, n, FieldText(value));
}

std::string UndoLineEscapes(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  AppendUnescaped(out, line);
  return out;
}

std::string ApplyLineEscapes(std::string_view record) {
  std::string out;
  out.reserve(record.size() + record.size() / 8);
  AppendEscaped(out, record);
  return out;
}

bool TextLines::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  size_t lf = rest_.find('\n');
  if (lf == npos) {
    line = rest_;
    rest_ = {};
    return true;
  }
  line = rest_.substr(0, lf > 0 && rest_[lf - 1] == '\r' ? lf - 1 : lf);
  rest_.remove_prefix(lf + 1);
  return true;
}

std::vector<std::string> SplitTextLines(std::string_view bytes) {
  size_t count = 1;
  for (size_t lf = bytes.find('\n'); lf != npos; lf = bytes.find('\n', lf + 1)) ++count;
  std::vector<std::string> lines;
  lines.reserve(count);
  TextLines walk(bytes);
  for (std::string_view line; walk.Next(line);) lines.emplace_back(line);
  return lines;
}

std::string SeparatorMessage(int separators) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "В строке должно быть %i разделителей '|'.\n", separators);
  return buf;
}

std::string OldFormatMessage(const std::string& fileName) { return "Файл " + fileName + kConvertHint; }

std::string SideFilePath(const std::string& bookPath) {
  size_t dot = bookPath.find_last_of('.');
  size_t slash = bookPath.find_last_of('\\');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return bookPath + ".err";
  return bookPath.substr(0, dot + 1) + "err";
}

std::string SideFileText(const std::string& separatorMessage, const std::string& rejected) {
  static const std::string_view kFormat = "\nФормат файла:\nНезагруженная строка\nКоличество разделителей\n\n";
  std::string out;
  out.reserve(separatorMessage.size() + kFormat.size() + rejected.size());
  out.append(separatorMessage).append(kFormat).append(rejected);
  return out;
}

std::string SideFileHeading(std::string_view bookFileName, const platform::LocalTime& t) {
  char when[48];
  std::snprintf(when, sizeof when, "%02i.%02i.%04i %02i:%02i:%02i", t.day, t.month, t.year, t.hour, t.minute, t.second);
  std::string out = "---- ";
  out.append(bookFileName).append(", ").append(when).append(" ----\n");
  return out;
}

std::optional<std::string> AddToSideFile(const std::string& bookPath, const std::string& separatorMessage,
                                         const std::string& rejected) {
  const std::string side = SideFilePath(bookPath);
  const std::string block = SideFileText(separatorMessage, rejected);
  if (!platform::FileExists(side)) {
    if (!platform::SafeReplace(side, block)) return std::nullopt;
    return SideFileMessage(side);
  }
  std::string text;
  // What the side file holds may be the only copy of lines rejected before: a file that
  // cannot be read is never written over.
  if (!platform::ReadFileBytes(side, text)) return std::nullopt;
  if (text.find(rejected) != std::string::npos) return SideFileAddedMessage(side);  // kept there already
  if (!text.empty() && text.back() != '\n') text += '\n';
  if (!text.empty()) text += '\n';
  size_t cut = bookPath.find_last_of("\\/");
  text += SideFileHeading(cut == std::string::npos ? std::string_view(bookPath) : std::string_view(bookPath).substr(cut + 1),
                          platform::Now());
  text += block;
  if (!platform::SafeReplace(side, text)) return std::nullopt;
  return SideFileAddedMessage(side);
}

std::string SideFileMessage(const std::string& sidePath) {
  return "Создан файл " + sidePath + " с незагруженными строками";
}

std::string SideFileAddedMessage(const std::string& sidePath) {
  return "Незагруженные строки добавлены в файл " + sidePath;
}

std::string SideFileFailedMessage(const std::string& sidePath, int count) {
  char num[16];
  std::snprintf(num, sizeof num, "%i", count);
  return "Не удалось создать файл " + sidePath + " с незагруженными строками.\n Эти строки (" + num +
         ") не загружены и сохраняются в файле без изменений.";
}

RecordLayout ContactsLayout() { return {12, SeparatorMessage(12), kContactsOldFormatMessage, false}; }
RecordLayout FirmsLayout() { return {8, SeparatorMessage(8), kFirmsOldFormatMessage, true}; }

LoadOutcome LoadRecords(RecordBook& book, const RecordLayout& layout) {
  book.records.clear();
  book.oldFormat = false;
  book.carried.clear();
  std::string bytes;
  if (!platform::ReadFileBytes(book.path, bytes)) {
    // A file that is not there holds nothing to lose: the book starts empty and its
    // first save makes the file. One that is there but could not be read is kept.
    book.unread = platform::FileExists(book.path);
    return {false, UnreadFileMessage(book.path, kFileNotReadable, false)};
  }
  book.unread = false;
  backup::AfterRead(book.path, bytes);
  book.loadMessage.clear();
  std::string rejected;
  LoadOutcome outcome;
  // What each line is: the end of what can be loaded (the older layout), nothing to
  // load, a rejected line (with its separator count) or a record.
  enum class Kind { kStop, kSkip, kRejected, kRecord };
  auto kind = [&](std::string_view line, int& count) {
    if (line.find("<Records") != npos) return Kind::kStop;
    count = CountSeparators(line);
    if (count == 0) return Kind::kSkip;
    return count < layout.separators ? Kind::kRejected : Kind::kRecord;
  };
  size_t lineCount = 1;
  for (size_t lf = bytes.find('\n'); lf != npos; lf = bytes.find('\n', lf + 1)) ++lineCount;
  book.records.reserve(lineCount);
  TextLines lines(bytes);
  for (std::string_view line; lines.Next(line);) {
    int count = 0;
    Kind k = kind(line, count);
    if (k == Kind::kStop) {
      book.loadMessage = layout.oldFormatMessage;
      book.oldFormat = true;
      break;
    }
    if (k == Kind::kSkip) continue;
    if (k == Kind::kRejected) {
      if (layout.unescapeBeforeCheck)
        AppendUnescaped(rejected, line);
      else
        rejected.append(line);
      char num[16];
      rejected.push_back('\n');
      rejected.append(num, std::to_chars(num, num + sizeof num, count).ptr).push_back('\n');
      ++outcome.rejected;
      continue;
    }
    book.records.push_back(UndoLineEscapes(line));
  }
  book.state = kStateLoaded;
  if (!rejected.empty()) {
    std::string side = SideFilePath(book.path);
    if (std::optional<std::string> told = AddToSideFile(book.path, layout.separatorMessage, rejected)) {
      book.loadMessage = *told;
      book.state = kStateChanged;
    } else {
      // Without the side file the rejected lines exist only in the book file: keep them
      // for the next save instead of letting it drop them.
      TextLines again(bytes);
      int count = 0;
      for (std::string_view line; again.Next(line);) {
        Kind k = kind(line, count);
        if (k == Kind::kStop) break;
        if (k == Kind::kRejected) book.carried.emplace_back(line);
      }
      book.loadMessage = SideFileFailedMessage(side, outcome.rejected);
    }
  }
  return outcome;
}

std::string RecordFileBytes(const std::vector<std::string>& records) {
  std::string out;
  size_t total = 0;
  for (const auto& r : records) total += r.size() + 2;
  out.reserve(total + total / 16);
  for (const auto& r : records) {
    AppendEscaped(out, r);
    out += "\r\n";
  }
  return out;
}

std::string SaveFailedMessage(const std::string& path) {
  return "Не удалось сохранить файл " + path +
         ".\nПрежний файл не изменён; сохранение будет повторено при следующей возможности.";
}

SaveOutcome SaveRecords(RecordBook& book) {
  if (book.state != kStateChanged) return {SaveStatus::kUnchanged, {}};
  if (book.unread) return {SaveStatus::kRefusedUnread, UnreadSaveRefusal(book.path)};
  if (book.oldFormat) {
    return {SaveStatus::kRefusedOldFormat,
            "Файл " + book.path +
                " старой версии не перезаписан: загружена только его часть, и изменения в нём не сохранены.\n "
                "Выполните конвертацию файла программой \"Fardelle.exe\""};
  }
  std::string bytes = RecordFileBytes(book.records);
  for (const std::string& line : book.carried) bytes.append(line).append("\r\n");
  if (!backup::SaveBook(book.path, bytes)) {
    return {SaveStatus::kFailed, SaveFailedMessage(book.path)};
  }
  book.state = kStateSaved;
  return {SaveStatus::kSaved, {}};
}

}  // namespace vm
