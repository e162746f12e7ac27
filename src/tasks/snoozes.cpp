#include "tasks/snoozes.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/platform.h"

namespace vm::tasks {

const char* const kSnoozeButtonText = "Отложить на";
const char* const kCloseAllText = "Закрыть все";
const char* const kSnoozeFileHeader = "Velmoria snoozes 1";

namespace {

constexpr size_t kKeyDigits = 16;
constexpr int kMaxDaysAhead = 7;

// The fields a snooze's record is known by: what its reminder says and when it comes.
// The status and the sticker mark, the section flags, the groups and the view orders,
// the sound and what the program itself stamps can all change under a snooze and leave
// it standing.
bool InKey(int field) {
  switch (static_cast<TaskField>(field)) {
    case TaskField::Headline:
    case TaskField::Notes:
    case TaskField::Date:
    case TaskField::Permanent: return true;
    default:
      return field >= static_cast<int>(TaskField::ByDate) && field <= static_cast<int>(TaskField::WeekAhead);
  }
}

// The key side files written before held: every field but the orders and the reminder
// stamps, the status and the sticker mark among them.
bool InFormerKey(int field) {
  switch (static_cast<TaskField>(field)) {
    case TaskField::DiaryOrder:
    case TaskField::TaskOrder:
    case TaskField::InfoOrder:
    case TaskField::MiscOrder:
    case TaskField::ProjectOrder:
    case TaskField::ReminderState:
    case TaskField::LastFired: return false;
    default: return true;
  }
}

bool IsKey(std::string_view s) {
  return s.size() == kKeyDigits && std::all_of(s.begin(), s.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Reads exactly `n` decimal digits.
bool Digits(std::string_view s, size_t at, size_t n, int& out) {
  if (at + n > s.size()) return false;
  out = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}

bool ParseLine(std::string_view line, Snooze& out) {
  // "YYYY-MM-DD HH:MM|d|" and the key.
  constexpr size_t kKeyAt = 19;
  if (line.size() != kKeyAt + kKeyDigits) return false;
  Moment m;
  if (!Digits(line, 0, 4, m.year) || line[4] != '-' || !Digits(line, 5, 2, m.month) || line[7] != '-' ||
      !Digits(line, 8, 2, m.day) || line[10] != ' ' || !Digits(line, 11, 2, m.hour) || line[13] != ':' ||
      !Digits(line, 14, 2, m.minute) || line[16] != '|')
    return false;
  int days = 0;
  if (!Digits(line, 17, 1, days) || days > kMaxDaysAhead || line[18] != '|') return false;
  std::string_view key = line.substr(kKeyAt);
  if (!IsValidMoment(m) || !IsKey(key)) return false;
  out = {m, days, std::string(key)};
  return true;
}

}  // namespace

const std::vector<std::string>& SnoozeSpanTexts() {
  static const std::vector<std::string> texts = {"5 минут",  "10 минут", "15 минут",
                                                 "30 минут", "1 час",    "завтра в это время"};
  return texts;
}

Moment AddMinutes(const Moment& m, int minutes) {
  if (!IsValidMoment(m)) return m;
  int total = m.hour * 60 + m.minute + minutes;
  int days = total >= 0 ? total / (24 * 60) : -((-total + 24 * 60 - 1) / (24 * 60));
  total -= days * 24 * 60;
  dates::Date d = dates::AddDays(DateOf(m), days);
  return {d.year, d.month, d.day, total / 60, total % 60};
}

Moment SnoozeUntil(const Moment& now, SnoozeSpan span) {
  switch (span) {
    case SnoozeSpan::k5Minutes: return AddMinutes(now, 5);
    case SnoozeSpan::k10Minutes: return AddMinutes(now, 10);
    case SnoozeSpan::k15Minutes: return AddMinutes(now, 15);
    case SnoozeSpan::k30Minutes: return AddMinutes(now, 30);
    case SnoozeSpan::kHour: return AddMinutes(now, 60);
    case SnoozeSpan::kTomorrow: {
      if (!IsValidMoment(now)) return now;
      dates::Date d = dates::AddDays(DateOf(now), 1);
      return {d.year, d.month, d.day, now.hour, now.minute};
    }
  }
  return now;
}

namespace {

template <class InKeyFn>
std::string KeyOver(const TaskFieldReader& fields, InKeyFn inKey) {
  // FNV-1a over the fields as the field reader gives them ("#" dropped, a "|" after "#"
  // kept), each followed by a byte no field holds; a field a short line lacks counts as
  // empty.
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](unsigned char c) {
    h ^= c;
    h *= 1099511628211ull;
  };
  fields.EachRaw([&](int field, std::string_view raw) {
    if (!inKey(field)) return;
    if (raw.find('#') == std::string_view::npos) {
      // Eight bytes a step: the hash is the same, the loop tests fewer times.
      const char* p = raw.data();
      const char* const end = p + raw.size();
      for (; end - p >= 8; p += 8)
        for (size_t k = 0; k < 8; ++k) mix(static_cast<unsigned char>(p[k]));
      for (; p != end; ++p) mix(static_cast<unsigned char>(*p));
    } else {
      for (char c : raw)
        if (c != '#') mix(static_cast<unsigned char>(c));
    }
    mix(0x1f);
  });
  std::string key(kKeyDigits, '0');
  for (size_t i = kKeyDigits; i-- > 0; h >>= 4) key[i] = "0123456789abcdef"[h & 0xf];
  return key;
}

}  // namespace

std::string RecordKey(std::string_view line) { return RecordKey(TaskFieldReader(line)); }

std::string RecordKey(const TaskFieldReader& fields) { return KeyOver(fields, InKey); }

std::string FormerRecordKey(std::string_view line) { return KeyOver(TaskFieldReader(line), InFormerKey); }

Snooze SnoozeFiring(const Firing& firing, const Moment& now, SnoozeSpan span) {
  Snooze s;
  s.at = SnoozeUntil(now, span);
  s.key = firing.key;
  if (firing.daysAhead > 0 && IsValidMoment(firing.due) && IsValidMoment(s.at)) {
    int passed = dates::DaySerial(DateOf(s.at)) - dates::DaySerial(DateOf(firing.due));
    s.daysAhead = std::clamp(firing.daysAhead - passed, 0, kMaxDaysAhead);
  }
  return s;
}

// ---- the side file ----------------------------------------------------------------------

std::string SnoozeFilePath(const std::string& bookPath) {
  return bookPath.empty() ? std::string() : bookPath + ".snz";
}

std::string SnoozeFileText(const std::vector<Snooze>& snoozes) {
  std::string out = std::string(kSnoozeFileHeader) + "\r\n";
  for (const Snooze& s : snoozes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d|%d|", s.at.year, s.at.month, s.at.day, s.at.hour,
                  s.at.minute, s.daysAhead);
    out += buf;
    out += s.key;
    out += "\r\n";
  }
  return out;
}

SnoozeParse ParseSnoozeFile(std::string_view text) {
  SnoozeParse out;
  int number = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (number == 1) {
      out.header = line == kSnoozeFileHeader;
      if (!out.header) return out;
      continue;
    }
    if (line.empty()) continue;
    Snooze s;
    if (ParseLine(line, s)) {
      out.snoozes.push_back(std::move(s));
    } else {
      if (out.badLines++ == 0) out.firstBadLine = number;
    }
  }
  return out;
}

// ---- the pass -----------------------------------------------------------------------------

SnoozePass RunSnoozes(std::vector<Snooze>& snoozes, const TaskList& records, const Moment& now) {
  SnoozePass pass;
  if (snoozes.empty() || !IsValidMoment(now)) return pass;
  std::vector<std::string> keys;
  keys.reserve(records.size());
  for (const std::string& line : records) keys.push_back(RecordKey(line));
  std::vector<std::pair<Moment, Firing>> due;
  std::vector<Snooze> kept;
  // A record brought back by several snoozes is read once: its firing differs from one
  // to the next only in the time, unless the days ahead differ too.
  std::vector<std::optional<Firing>> firingOf(records.size());
  // Keys of the earlier form are looked for only when a key is not found: once the file
  // has been written again it holds none.
  std::vector<std::string> formerKeys;
  bool formerRead = false;
  for (Snooze& s : snoozes) {
    auto found = std::find(keys.begin(), keys.end(), s.key);
    if (found == keys.end()) {
      if (!formerRead) {
        formerKeys.reserve(records.size());
        for (const std::string& line : records) formerKeys.push_back(FormerRecordKey(line));
        formerRead = true;
      }
      auto former = std::find(formerKeys.begin(), formerKeys.end(), s.key);
      if (former != formerKeys.end()) {
        found = keys.begin() + (former - formerKeys.begin());
        s.key = *found;
      }
      pass.changed = true;
    }
    if (found == keys.end()) continue;
    if (Earlier(now, s.at)) {
      kept.push_back(std::move(s));
      continue;
    }
    size_t index = static_cast<size_t>(found - keys.begin());
    std::optional<Firing>& known = firingOf[index];
    if (!known || known->daysAhead != s.daysAhead) known = FiringOf(records[index], index, s.daysAhead, s.at);
    due.emplace_back(s.at, *known);
    due.back().second.due = s.at;
    pass.changed = true;
  }
  snoozes = std::move(kept);
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return Earlier(a.first, b.first); });
  for (auto& [at, f] : due) pass.firings.push_back(std::move(f));
  return pass;
}

// ---- the store ----------------------------------------------------------------------------

void SnoozeStore::Follow(const TaskBook& book) {
  if (followed_ && book.path() == bookPath_) return;
  followed_ = true;
  bookPath_ = book.path();
  path_ = SnoozeFilePath(bookPath_);
  list_.clear();
  failed_ = reported_ = false;
  ++revision_;
  std::string bytes;
  if (path_.empty() || !platform::ReadFileBytes(path_, bytes)) return;
  list_ = ParseSnoozeFile(bytes).snoozes;
}

void SnoozeStore::CarryTo(const TaskBook& book) {
  std::vector<Snooze> carried;
  if (followed_ && book.path() != bookPath_) carried = list_;
  Follow(book);
  if (carried.empty()) return;
  for (Snooze& s : carried)
    if (std::none_of(list_.begin(), list_.end(), [&](const Snooze& o) { return o.key == s.key; }))
      list_.push_back(std::move(s));
  ++revision_;
  Write();
}

bool SnoozeStore::Add(Snooze snooze) {
  list_.erase(
      std::remove_if(list_.begin(), list_.end(), [&](const Snooze& s) { return s.key == snooze.key; }),
      list_.end());
  list_.push_back(std::move(snooze));
  ++revision_;
  return Write();
}

SnoozePass SnoozeStore::Run(const TaskBook& book, const Moment& now) {
  if (!book.loaded()) return {};
  SnoozePass pass = RunSnoozes(list_, book.records(), now);
  if (pass.changed) {
    ++revision_;
    Write();
  }
  return pass;
}

bool SnoozeStore::Write() {
  bool ok = false;
  if (!path_.empty()) {
    // No snoozes, no file; a file that cannot be removed is emptied instead, so what it
    // held never comes back.
    if (list_.empty()) ok = !platform::FileExists(path_) || platform::RemoveFile(path_);
    if (!ok) ok = static_cast<bool>(platform::SafeReplace(path_, SnoozeFileText(list_)));
  }
  failed_ = !ok;
  return ok;
}

std::string SnoozeStore::TakeError() {
  if (!failed_ || reported_) return {};
  reported_ = true;
  if (path_.empty()) return "Напоминание отложено только до выхода из программы: не выбран файл задач.";
  return "Не удалось сохранить отложенные напоминания в файл " + path_ +
         ".\nОни сработают, пока программа открыта, но не после её перезапуска.";
}

}  // namespace vm::tasks
