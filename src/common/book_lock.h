// The lock file the program leaves beside a book it holds open, so that a second copy
// of the program, on this machine or another one sharing the folder, and the
// command-line tool know the book is in use. "Контакты.dbc" gets "Контакты.dbc.lock"
// (that extension is no book's, so the file is never opened or backed up as one):
//
//   Velmoria lock 1 CR LF
//   machine=<name> CR LF  user=<name> CR LF  process=<id> CR LF  time=YYYY-MM-DD HH:MM:SS CR LF
//
// A lock is stale, and is passed over and replaced, when its process is gone on this
// machine, when it comes from another machine and is older than a day, or when it is no
// lock at all. The lock is a courtesy, not a guard: what keeps a save from writing over
// another's change is the check in book_guard.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vm::lock {

struct LockInfo {
  std::string machine;
  std::string user;
  uint32_t process = 0;
  platform::LocalTime time;
};

std::string LockPath(const std::string& bookPath);
bool IsLockName(std::string_view fileName);
std::string LockText(const LockInfo& info);
std::optional<LockInfo> ParseLock(std::string_view text);

enum class LockState {
  kNone,          // no lock, or a stale one
  kMine,          // this process's
  kThisMachine,   // another live process here (a second copy of the program)
  kOtherMachine,  // another machine's, younger than a day
};
// Who holds a lock, seen from `here` at `now`; `running` tells whether a process of this
// machine is alive.
LockState Judge(const std::optional<LockInfo>& lock, const LockInfo& here, const platform::LocalTime& now,
                const std::function<bool(uint32_t)>& running);

// This process as a lock names it, now.
LockInfo Here();
// The state of path's lock from here.
LockState StateOf(const std::string& bookPath, std::optional<LockInfo>* found = nullptr);
// Leaves this process's lock beside the book unless a live one of another process is
// there; the state found before.
LockState Take(const std::string& bookPath, std::optional<LockInfo>* found = nullptr);
// Removes the lock when it is this process's.
void Release(const std::string& bookPath);

// "Файл … открыт в Velmoria на компьютере …, пользователь …, с …"
std::string LockedMessage(const std::string& bookPath, const LockInfo& info);

}  // namespace vm::lock
