#include "tasks/task_record.h"

#include <cstdio>

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
