#include "tasks/task_record.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "common/byte_words.h"
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

namespace {

// The index of the lowest byte marked in `bits` (7 when none is), without the test
// for zero std::countr_zero makes.
size_t LowestByte(uint64_t bits) {
  return static_cast<size_t>(__builtin_ctzll(bits | (uint64_t{1} << 63))) / 8;
}

}  // namespace

void TaskFieldReader::Reach(int n) const {
  // The field rule of GetField: a "|" after "#" does not end a field. Eight bytes are
  // tested at a time with as few tests per word as can be: whether the byte before a
  // word is "#" is carried over from the word before, and only whole words are loaded
  // in the loop, the rest of the line after it.
  if (separators_ > n || scanned_ >= line_.size()) return;
  const char* base = line_.data();
  const size_t size = line_.size();
  size_t at = scanned_;
  int found = separators_;
  uint64_t hashBefore = at > 0 && base[at - 1] == '#' ? 0x80u : 0u;
  // The separators among the bytes of `word` marked by `valid`; true once field n is
  // bounded.
  auto take = [&](uint64_t word, uint64_t valid) {
    const uint64_t hashes = BytesEqual(word, '#');
    uint64_t bars = BytesEqual(word, '|') & ~((hashes << 8) | hashBefore) & valid;
    hashBefore = hashes >> 56;
    const int count = std::popcount(bars);
    if (found + count <= n) {
      // All of them are wanted: eight places are written whatever the count, those past
      // it to be written over later, so that the word costs no test per separator.
      uint32_t* const slots = at_.data() + found;
      for (int k = 0; k < 8; ++k) {
        slots[k] = static_cast<uint32_t>(at + LowestByte(bars));
        bars &= bars - 1;
      }
      found += count;
      return false;
    }
    for (; bars != 0; bars &= bars - 1) {
      const size_t bar = at + LowestByte(bars);
      at_[found++] = static_cast<uint32_t>(bar);
      if (found > n) {
        separators_ = found;
        scanned_ = bar + 1;
        return true;
      }
    }
    return false;
  };
  for (; size - at >= 8; at += 8)
    if (take(LoadWord(base + at, 8), ~uint64_t{0})) return;
  if (at < size && take(LoadWord(base + at, size - at), (uint64_t{1} << ((size - at) * 8)) - 1)) return;
  separators_ = found;
  scanned_ = size;
}

bool TaskFieldReader::Has(TaskField field) const {
  const int n = static_cast<int>(field);
  if (line_.empty() || n < 0 || n >= kTaskFieldCount) return false;
  if (separators_ < n) Reach(n - 1);
  return separators_ >= n;
}

std::pair<size_t, size_t> TaskFieldReader::Span(TaskField field) const {
  // Reaching field n's end reaches its start on the way: one walk, one test of the
  // separators found when it is done.
  const int n = static_cast<int>(field);
  if (line_.empty() || n < 0 || n >= kTaskFieldCount) return {line_.size(), 0};
  if (separators_ <= n) Reach(n);
  if (separators_ < n) return {line_.size(), 0};
  const size_t begin = n == 0 ? 0 : at_[n - 1] + 1;
  const size_t end = n < separators_ ? at_[n] : line_.size();
  return {begin, end - begin};
}

std::string_view TaskFieldReader::Raw(TaskField field) const {
  auto [begin, length] = Span(field);
  return std::string_view(line_.data() + begin, length);
}

std::string TaskFieldReader::Get(TaskField field) const {
  std::string_view raw = Raw(field);
  std::string out;
  out.reserve(raw.size());
  AppendFieldValue(out, raw);
  return out;
}

std::string_view TaskFieldReader::View(TaskField field, std::string& buffer) const {
  std::string_view raw = Raw(field);
  if (raw.find('#') == std::string_view::npos) return raw;
  buffer = Get(field);
  return buffer;
}

bool TaskFieldReader::Is(TaskField field, std::string_view text) const {
  const std::string_view raw = Raw(field);
  // "#" only makes a field longer than its text: one as long as `text` is it or is not,
  // a shorter one is not, and only a longer one holding "#" needs its text made.
  if (raw.size() == text.size()) return raw.size() == 1 ? raw[0] == text[0] : raw == text;
  if (raw.size() < text.size()) return false;
  return raw.find('#') != std::string_view::npos && Get(field) == text;
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
