#include "dates/new_date.h"

#include <cstdio>

#include "common/backup.h"
#include "common/book_guard.h"
#include "dates/date_file.h"
#include "platform/platform.h"

namespace vm::dates {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The whole text is a number (digits only, at most four of them).
bool ReadYear(std::string_view text, int& year) {
  if (text.empty() || text.size() > 4) return false;
  year = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    year = year * 10 + (c - '0');
  }
  return true;
}

}  // namespace

NewDateLine MakeNewDateLine(const NewDate& entry, int currentYear) {
  NewDateLine out;
  if (entry.month < 1 || entry.month > 12 || entry.day < 1 || entry.day > DaysInMonth(entry.month, 2000)) {
    out.error = "Неверная дата.";
    return out;
  }
  std::string_view yearText = Trim(entry.year);
  int year = 0;
  if (!yearText.empty() && (!ReadYear(yearText, year) || year < 1 || year > currentYear)) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Год должен быть числом от 1 до %i.", currentYear);
    out.error = buf;
    return out;
  }
  std::string_view text = Trim(entry.text);
  if (text.empty()) {
    out.error = "Введите текст.";
    return out;
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      out.error = "Текст должен быть одной строкой.";
      return out;
    }
    if (c == '#') {
      out.error = "Знак # в файлах дат не сохраняется: уберите его из текста.";
      return out;
    }
  }
  if (yearText.empty() && text == "%") {
    out.error = "Текст \"%\" означает именины: добавьте имя.";
    return out;
  }
  char date[32];
  std::snprintf(date, sizeof date, "%02d/%02d/", entry.day, entry.month);
  out.line = date;
  if (year > 0) {
    char y[16];
    std::snprintf(y, sizeof y, "%i/", year);
    out.line += y;
  }
  for (char c : text) {
    if (c == '/') out.line += '#';
    out.line += c;
  }
  return out;
}

std::string AppendedDateText(std::string_view existing, bool exists, const std::string& line) {
  std::string out;
  bool crlf = !exists || existing.find('\n') == std::string_view::npos ||
              existing.find("\r\n") != std::string_view::npos;
  const char* end = crlf ? "\r\n" : "\n";
  if (!exists || existing.find(kFormatMarker) == std::string_view::npos) {
    out += kFormatMarker;
    out += end;
  }
  out += existing;
  if (!existing.empty() && existing.back() != '\n') out += end;
  out += line;
  out += end;
  return out;
}

std::string AppendDateLine(const std::string& path, const std::string& line) {
  // A file still in the older format is brought up to date first, so the marker the new
  // line needs never sits above lines of the older form.
  if (UpgradeDateFile(path) == UpgradeResult::kWriteFailed) return "Ошибка записи в файл " + path;
  std::string bytes;
  bool exists = platform::ReadFileBytes(path, bytes);
  if (!exists && platform::FileExists(path)) return "Не могу прочитать файл " + path;
  // The line goes onto what the file holds now, so nothing another program wrote is lost.
  if (exists) guard::Reread(path, bytes);
  if (!backup::SaveBook(path, AppendedDateText(bytes, exists, line)))
    return "Ошибка записи в файл " + path;
  return std::string();
}

}  // namespace vm::dates
