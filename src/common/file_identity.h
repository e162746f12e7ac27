// What a book's file held when the program last read or wrote it, and the check before
// a save that keeps the program from writing over a file another program, copy or
// machine changed since. The identity is the size and a 64-bit hash of the bytes: a file
// only touched (its time changed, its bytes not) is the same file; a file whose bytes
// differ by one is another. Nothing here asks the user: the check says what it found,
// the book and its page decide what to do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vm {

struct FileIdentity {
  bool known = false;    // the program has read or written this file
  bool existed = false;  // ... and it existed then (a file that appeared since is new)
  uint64_t size = 0;
  uint64_t hash = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of bytes read from or written to a file.
FileIdentity IdentityOf(std::string_view bytes);
// The identity of a file found missing or unreadable.
FileIdentity MissingFileIdentity();
// What is on disk now (read whole).
FileIdentity IdentityOnDisk(const std::string& path);

enum class DiskCheck {
  kAsLastSeen,        // the file holds what the program last read or wrote: writing loses nothing
  kNotKnown,          // the program never read this file: nothing to compare with
  kGone,              // it was there and is gone now: writing it again loses nothing
  kChangedElsewhere,  // its bytes changed since: writing over them would lose them
};
DiskCheck CheckBeforeSave(const FileIdentity& last, const std::string& path);

enum class GuardedSaveStatus { kWritten, kChangedElsewhere, kFailed };
struct GuardedSave {
  GuardedSaveStatus status = GuardedSaveStatus::kWritten;
  std::string error;  // for the user when not written
};
// The book's save with the check: writes `bytes` through the safe replace (and the day's
// backup) unless the file changed since `last`; a written file's identity becomes `last`.
GuardedSave SaveIfUnchangedOnDisk(FileIdentity& last, const std::string& path, std::string_view bytes);
// "Файл <path> изменён другой программой после того, как ..." for a refused save.
std::string ChangedElsewhereMessage(const std::string& path);

}  // namespace vm
