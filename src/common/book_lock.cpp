#include "common/book_lock.h"

#include <cstdio>
#include <cstdlib>

#include "common/text_util.h"

namespace vm::lock {

namespace {

constexpr std::string_view kHeader = "Velmoria lock 1";
constexpr std::string_view kExtension = ".lock";

// Seconds since 1 January 1970 of a local time, by the civil calendar (time zones do
// not matter: two machines sharing a folder are compared at a day's distance).
int64_t Seconds(const platform::LocalTime& t) {
  int64_t y = t.year - (t.month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t mp = (t.month + 9) % 12;
  int64_t doy = (153 * mp + 2) / 5 + t.day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = era * 146097 + doe - 719468;
  return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::string_view Value(std::string_view line, std::string_view key) {
  if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') return {};
  return line.substr(key.size() + 1);
}

}  // namespace

std::string LockPath(const std::string& bookPath) { return bookPath + std::string(kExtension); }

bool IsLockName(std::string_view name) {
  return name.size() > kExtension.size() && FoldCase1251(name.substr(name.size() - kExtension.size())) == kExtension;
}

std::string LockText(const LockInfo& info) {
  char time[40];
  const platform::LocalTime& t = info.time;
  std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return std::string(kHeader) + "\r\nmachine=" + info.machine + "\r\nuser=" + info.user +
         "\r\nprocess=" + std::to_string(info.process) + "\r\ntime=" + time + "\r\n";
}

std::optional<LockInfo> ParseLock(std::string_view text) {
  LockInfo info;
  bool header = false, process = false, time = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!header) {
      if (line != kHeader) return std::nullopt;
      header = true;
    } else if (std::string_view v = Value(line, "machine"); !v.empty()) {
      info.machine = v;
    } else if (std::string_view v = Value(line, "user"); !v.empty()) {
      info.user = v;
    } else if (std::string_view v = Value(line, "process"); !v.empty()) {
      char* stop = nullptr;
      std::string digits(v);
      unsigned long n = std::strtoul(digits.c_str(), &stop, 10);
      process = stop && *stop == 0 && n <= 0xFFFFFFFFul;
      info.process = static_cast<uint32_t>(n);
    } else if (std::string_view v = Value(line, "time"); !v.empty()) {
      platform::LocalTime& t = info.time;
      time = std::sscanf(std::string(v).c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &t.year, &t.month, &t.day, &t.hour,
                         &t.minute, &t.second) == 6;
    }
  }
  if (!header || !process || !time || info.machine.empty()) return std::nullopt;
  return info;
}

LockState Judge(const std::optional<LockInfo>& lock, const LockInfo& here, const platform::LocalTime& now,
                const std::function<bool(uint32_t)>& running) {
  if (!lock) return LockState::kNone;
  if (FoldCase1251(lock->machine) == FoldCase1251(here.machine)) {
    if (lock->process == here.process) return LockState::kMine;
    return running(lock->process) ? LockState::kThisMachine : LockState::kNone;
  }
  // Another machine's process cannot be asked; a day-old lock is taken for one left
  // behind by a crash or a power cut. A clock far ahead does not make a lock eternal.
  int64_t age = Seconds(now) - Seconds(lock->time);
  return age > 86400 || age < -86400 ? LockState::kNone : LockState::kOtherMachine;
}

LockInfo Here() {
  return LockInfo{platform::MachineName(), platform::UserName(), platform::ProcessId(), platform::Now()};
}

LockState StateOf(const std::string& bookPath, std::optional<LockInfo>* found) {
  std::string text;
  std::optional<LockInfo> lock;
  if (platform::ReadFileBytes(LockPath(bookPath), text)) lock = ParseLock(text);
  if (found) *found = lock;
  LockInfo here = Here();
  return Judge(lock, here, here.time, [](uint32_t pid) { return platform::ProcessRunning(pid); });
}

LockState Take(const std::string& bookPath, std::optional<LockInfo>* found) {
  LockState state = StateOf(bookPath, found);
  if (state == LockState::kNone || state == LockState::kMine)
    platform::WriteFileBytes(LockPath(bookPath), LockText(Here()));
  return state;
}

void Release(const std::string& bookPath) {
  if (StateOf(bookPath) == LockState::kMine) platform::RemoveFile(LockPath(bookPath));
}

std::string LockedMessage(const std::string& bookPath, const LockInfo& info) {
  char time[40];
  const platform::LocalTime& t = info.time;
  std::snprintf(time, sizeof time, "%02d.%02d.%04d %02d:%02d", t.day, t.month, t.year, t.hour, t.minute);
  return "Файл " + bookPath + " открыт в Velmoria на компьютере " + info.machine +
         (info.user.empty() ? std::string() : ", пользователь " + info.user) + ", с " + time + ".";
}

}  // namespace vm::lock
