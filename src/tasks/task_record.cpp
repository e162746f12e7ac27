#include "tasks/task_record.h"

#include <cstdio>
#include <cstring>

#include "common/record_file.h"

namespace vm::tasks {

namespace {
constexpr int kNumberLimit = 1000000;
}

std::string GetTaskField(std::string_view line, TaskField field) { return GetField(line, static_cast<int>(field)); }

bool HasTaskField(std::string_view line, TaskField field) {
  std::string unused;
  return GetField(line, static_cast<int>(field), unused);
}

void SetTaskField(std::string& line, TaskField field, std::string_view value) {
  line = SetFieldText(line, static_cast<int>(field), value);
}

bool TaskFlagOn(std::string_view line, TaskField field) { return GetTaskField(line, field) == "1"; }

void TaskFieldReader::Reach(int n) const {
  // The field rule of GetField: a "|" after "#" does not end a field.
  const char* base = line_.data();
  while (separators_ <= n && scanned_ < line_.size()) {
    const void* hit = std::memchr(base + scanned_, '|', line_.size() - scanned_);
    if (!hit) {
      scanned_ = line_.size();
      break;
    }
    size_t bar = static_cast<size_t>(static_cast<const char*>(hit) - base);
    scanned_ = bar + 1;
    if (bar == 0 || base[bar - 1] != '#') at_[separators_++] = static_cast<uint32_t>(bar);
  }
}

bool TaskFieldReader::Has(TaskField field) const {
  int n = static_cast<int>(field);
  if (line_.empty() || n < 0 || n >= kTaskFieldCount) return false;
  if (n > 0) Reach(n - 1);
  return separators_ >= n;
}

std::pair<size_t, size_t> TaskFieldReader::Span(TaskField field) const {
  if (!Has(field)) return {line_.size(), 0};
  int n = static_cast<int>(field);
  Reach(n);
  size_t begin = n == 0 ? 0 : at_[n - 1] + 1;
  size_t end = n < separators_ ? at_[n] : line_.size();
  return {begin, end - begin};
}

std::string_view TaskFieldReader::Raw(TaskField field) const {
  auto [begin, length] = Span(field);
  return line_.substr(begin, length);
}

std::string TaskFieldReader::Get(TaskField field) const {
  std::string_view raw = Raw(field);
  std::string out;
  out.reserve(raw.size());
  for (size_t from = 0; from < raw.size();) {
    size_t hash = raw.find('#', from);
    if (hash == std::string_view::npos) hash = raw.size();
    out.append(raw.substr(from, hash - from));
    from = hash + 1;
  }
  return out;
}

bool TaskFieldReader::Is(TaskField field, std::string_view text) const {
  std::string_view raw = Raw(field);
  if (raw.find('#') == std::string_view::npos) return raw == text;
  return Get(field) == text;
}

int ReadNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kNumberLimit) {
      value = kNumberLimit;
      break;
    }
  }
  return negative ? -value : value;
}

std::string NumberText(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%i", value);
  return buf;
}

std::string TodayText(const dates::Date& today) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02i/%02i/%04i", today.day, today.month, today.year);
  return buf;
}

std::string EmptyTaskRecord() { return std::string(kTaskSeparators, '|'); }

std::string NewRecord(int view, const std::string& todayText) {
  std::string line = EmptyTaskRecord();
  SetTaskField(line, TaskField::Date, todayText);
  switch (view) {
    case kViewDeadlines: SetTaskField(line, TaskField::DeadlineFlag, "1"); break;
    case kViewMisc: SetTaskField(line, TaskField::MiscFlag, "1"); break;
    case kViewSticker: SetTaskField(line, TaskField::Status, "4"); break;
    case kViewTasks: SetTaskField(line, TaskField::TaskFlag, "1"); break;
    case kViewInfo: SetTaskField(line, TaskField::InfoFlag, "1"); break;
    case kViewProjects: SetTaskField(line, TaskField::ProjectFlag, "1"); break;
    default: break;
  }
  return line;
}

void PadTaskRecord(std::string& line) {
  // A line ending in "#" escapes the first "|" added, so this may take one extra round.
  for (int round = 0; round <= kTaskFieldCount && !HasTaskField(line, TaskField::ProjectOrder); ++round) {
    line.push_back('|');
  }
}

}  // namespace vm::tasks
