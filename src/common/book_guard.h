// The books the program holds, as their files were when it last read or wrote them, and
// the guard every book's save goes through (backup::SaveBook): a file that another
// program, a second copy or a synced folder changed since is never written over.
//
// Each book's loader tells Read(path, bytes) what it read and each written save is
// noted, so the guard knows, per file, the identity and the bytes of the version the
// book on screen came from (the base a merge needs). At a save over a file whose bytes
// differ from that, the user is asked once for that book (Ask): merge, keep my version
// (the disk's first kept as a conflict copy beside the book) or load the disk's (mine kept
// as the conflict copy). An automatic save (exit, a change of page, the timer) asks
// nothing: it keeps the user's version as a conflict copy, reports that once and lets
// the page load the disk's. Either way both versions exist afterwards.
//
// The sheet's once-a-second Poll finds files changed on disk: it compares the size and
// write time first and reads and hashes a file only when those moved, so a second with
// nothing changed costs one file-attributes call per book.
//
// The guard is off until Install (the program turns it on; the command-line tool and the
// cores' own tests save without it); while off, a save still refuses to write a book whose
// lock names a live process of another copy of the program. Nothing here shows anything: the answers come from
// the hooks the composition root installs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_identity.h"
#include "platform/platform.h"

namespace vm::guard {

// ---- conflict copies --------------------------------------------------------------------
// "C:\Books\Контакты.dbc" at 2026-12-08 14:05:33 -> "C:\Books\Контакты (конфликт
// 2026-12-08 14-05-33).dbc": the extension stays (the copy opens as the same kind of
// book), and the name sorts right after the book's own and says what it is.
std::string ConflictCopyPath(std::string_view path, const platform::LocalTime& at);
// The name (no folder) is a conflict copy: "<stem> (конфликт YYYY-MM-DD HH-MM-SS)[<ext>]".
// Such a file is never taken for a book and never backed up.
bool IsConflictCopyName(std::string_view fileName);
// ConflictCopyPath, with " 2", " 3", ... before the closing bracket when that name exists.
std::string FreeConflictCopyPath(std::string_view path, const platform::LocalTime& at);

// ---- the question -----------------------------------------------------------------------
enum class Choice { kMerge, kKeepMine, kLoadFromDisk, kCancel };
struct Conflict {
  std::string path;
  platform::LocalTime changedAt;  // the write time of the disk's version
  bool canMerge = false;
};
// "Файл «Контакты.dbc» изменён другой программой 08.12.2026 в 14:05:33, после того как ..."
std::string ConflictQuestion(const Conflict& conflict);
// What an automatic save did instead of writing over another's change (said once).
std::string AutomaticCopyMessage(const std::string& path, const std::string& copyPath);
// What the page says after it reloaded a book changed elsewhere / marked an edited one.
std::string ReloadedNote(const std::string& path);
std::string MarkedNote(const std::string& path);
// The lock's message and what the two answers do.
std::string LockedQuestion(const std::string& lockMessage);

struct Hooks {
  // The user's answer; kCancel (the box closed) leaves the book unsaved and changed.
  std::function<Choice(const Conflict&)> ask;
  // Whether the book of a path merges, and the merge: none when it could not be made.
  std::function<bool(const std::string& path, std::string_view base)> canMerge;
  std::function<std::optional<std::string>(const std::string& path, std::string_view base, std::string_view mine,
                                           std::string_view theirs)>
      merge;
  // Told once per conflict copy an automatic save made, and of failures.
  std::function<void(const std::string& message)> report;
  std::function<platform::LocalTime()> now;
  // A book whose lock names another machine is being opened: true opens it as usual,
  // false opens it read only (its saves go to conflict copies, never to the book).
  std::function<bool(const std::string& path, const std::string& lockMessage)> openLocked;
};
// Turns the guard on with its hooks (a default-made Hooks turns it off) and forgets every
// file, removing the locks it left.
void Install(Hooks hooks);
bool Installed();

// While one lives, the saves are automatic: nobody is asked.
class AutomaticSaves {
 public:
  AutomaticSaves();
  ~AutomaticSaves();
  AutomaticSaves(const AutomaticSaves&) = delete;
  AutomaticSaves& operator=(const AutomaticSaves&) = delete;

 private:
  bool previous_;
};

// ---- what the books tell the guard --------------------------------------------------------
// A book's loader read these bytes from path: they are now the book's base. The first
// read of a path in a run leaves the lock beside it (book_lock.h) and, when another
// machine's lock is there, asks whether to open the book read only.
void Read(const std::string& path, std::string_view bytes);
// A file read again just before a change is written onto it (one setting, a line added
// to a date file): nothing of the other side can be lost, so no lock and no question.
void Reread(const std::string& path, std::string_view bytes);
// The book of path was opened read only.
bool ReadOnly(const std::string& path);
// The program no longer holds the book of path.
void Forget(const std::string& path);
// The identity and base kept for path; none when the guard does not hold it.
std::optional<FileIdentity> HeldIdentity(const std::string& path);
std::optional<std::string> Base(const std::string& path);

// The save of path: writes `bytes` with `write` unless the file changed since the book
// read or wrote it; then asks (or, automatic, keeps mine as a conflict copy). Returns what
// the book should take as the outcome of its save: kNone when its version is safe
// (written, merged into the file, or kept in a conflict copy while the page loads the
// disk's), an error when nothing was kept.
using Writer = std::function<platform::SaveResult(const std::string& path, std::string_view bytes)>;
platform::SaveResult Save(const std::string& path, std::string_view bytes, const Writer& write);

// ---- while the program runs -----------------------------------------------------------------
// The held files whose bytes changed on disk since they were last read, written or
// reported; each change is reported once.
std::vector<std::string> Poll();
// The file changed on disk and the book has not taken the disk's version yet.
bool ChangedOnDisk(const std::string& path);

}  // namespace vm::guard
