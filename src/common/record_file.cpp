#include "common/record_file.h"

#include <cstdio>

#include "common/backup.h"
#include "common/text_util.h"
#include "platform/platform.h"

namespace vm {

namespace {

const char kConvertHint[] = " старой версии, загрузка прекращена.\n Выполните конвертацию файла программой \"Fardelle.exe\"";

// Positions of the counted separators of a line.
std::vector<size_t> SeparatorPositions(std::string_view line) {
  std::vector<size_t> out;
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == '|' && (i == 0 || line[i - 1] != '#')) out.push_back(i);
  return out;
}


}  // namespace

const char* const kContactsOldFormatMessage =
    "Файл cont.dbc старой версии, загрузка прекращена.\n Выполните конвертацию файла программой \"Fardelle.exe\"";
const char* const kFirmsOldFormatMessage =
    "Файл firm.dbo (firm.dbf) старой версии, загрузка прекращена.\n Выполните конвертацию файла программой "
    "\"Fardelle.exe\"";

int CountSeparators(std::string_view line) {
  int n = 0;
  for (char c : line) n += c == '|';
  return n;
}

bool GetField(std::string_view line, int n, std::string& value) {
  value.clear();
  if (line.empty() || n < 0) return false;
  size_t start = 0;
  int passed = 0;
  size_t i = 0;
  for (; i < line.size(); ++i) {
    if (line[i] != '|' || (i > 0 && line[i - 1] == '#')) continue;
    if (passed == n) break;
    ++passed;
    start = i + 1;
  }
  if (passed < n) return false;
  for (size_t k = start; k < i; ++k)
    if (line[k] != '#') value.push_back(line[k]);
  return true;
}

std::string GetField(std::string_view line, int n) {
  std::string v;
  GetField(line, n, v);
  return v;
}

std::string SetField(std::string_view record, int n, std::string_view value) {
  if (n < 0) return std::string(record);
  std::vector<size_t> seps = SeparatorPositions(record);
  if (static_cast<int>(seps.size()) < n) return std::string(record);
  size_t begin = n == 0 ? 0 : seps[n - 1] + 1;
  size_t end = n < static_cast<int>(seps.size()) ? seps[n] : record.size();
  std::string out;
  out.reserve(record.size() + value.size());
  out.append(record.substr(0, begin));
  out.append(value);
  out.append(record.substr(end));
  return out;
}

std::string FieldText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '#') continue;
    if (c == '|') {
      out += "#|";
    } else if (c == '\n' && (i == 0 || value[i - 1] != '\r')) {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string SetFieldText(std::string_view record, int n, std::string_view value) {
  if (value.find_first_of("#|\n") == std::string_view::npos) return SetField(record, n, value);
  return SetField(record, n, FieldText(value));
}

std::string UndoLineEscapes(std::string_view line) {
  std::string s(line);
  ReplaceAll(s, "ERN:", "\r\n");
  ReplaceAll(s, "EOR:", "\r");
  return s;
}

std::string ApplyLineEscapes(std::string_view record) {
  std::string s(record);
  ReplaceAll(s, "\r\n", "ERN:");
  ReplaceAll(s, "\r", "EOR:");
  return s;
}

std::vector<std::string> SplitTextLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    size_t stop = end;
    if (lf != std::string_view::npos && stop > start && bytes[stop - 1] == '\r') --stop;
    lines.emplace_back(bytes.substr(start, stop - start));
    start = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
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
  return separatorMessage + "\n" + "Формат файла:\n" + "Незагруженная строка\n" + "Количество разделителей\n" +
         "\n" + rejected;
}

std::string SideFileMessage(const std::string& sidePath) {
  return "Создан файл " + sidePath + " с незагруженными строками";
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
    return {false, "Не удалось открыть файл " + book.path + "."};
  }
  backup::DropLeftovers(book.path);
  book.loadMessage.clear();
  std::string rejected;
  LoadOutcome outcome;
  for (std::string& line : SplitTextLines(bytes)) {
    if (line.find("<Records") != std::string::npos) {
      book.loadMessage = layout.oldFormatMessage;
      book.oldFormat = true;
      break;
    }
    if (line.find('|') == std::string::npos) continue;
    int count = CountSeparators(line);
    if (count < layout.separators) {
      char num[16];
      std::snprintf(num, sizeof num, "%i", count);
      rejected += (layout.unescapeBeforeCheck ? UndoLineEscapes(line) : line) + "\n" + num + "\n";
      book.carried.push_back(std::move(line));
      ++outcome.rejected;
      continue;
    }
    book.records.push_back(UndoLineEscapes(line));
  }
  book.state = kStateLoaded;
  if (!rejected.empty()) {
    std::string side = SideFilePath(book.path);
    if (platform::SafeReplace(side, SideFileText(layout.separatorMessage, rejected))) {
      book.loadMessage = SideFileMessage(side);
      book.carried.clear();
      book.state = kStateChanged;
    } else {
      // Without the side file the rejected lines exist only in the book file: keep them
      // for the next save instead of letting it drop them.
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
    if (r.find('\r') == std::string::npos) {
      out += r;
    } else {
      out += ApplyLineEscapes(r);
    }
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
  if (book.oldFormat) {
    return {SaveStatus::kRefusedOldFormat,
            "Файл " + book.path +
                " старой версии не перезаписан: загружена только его часть, и изменения в нём не сохранены.\n "
                "Выполните конвертацию файла программой \"Fardelle.exe\""};
  }
  std::string bytes = RecordFileBytes(book.records);
  for (const std::string& line : book.carried) bytes += line + "\r\n";
  if (!backup::SaveBook(book.path, bytes)) {
    return {SaveStatus::kFailed, SaveFailedMessage(book.path)};
  }
  book.state = kStateSaved;
  return {SaveStatus::kSaved, {}};
}

}  // namespace vm
