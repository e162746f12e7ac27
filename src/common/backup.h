// Dated backups of the books. Before the first save of a book on a given day, the file
// as it is on disk is copied byte for byte (a protected book stays protected) to
// "<name>.<YYYY-MM-DD><ext>" in the backup folder, through the safe replace; per book only
// the newest N days are kept. A backup that cannot be written never stops the save.
//
// Every book's core save calls SaveBook (or BeforeSave). The composition root installs
// the keeper once (the folder, the number of days, the clock and who is told of a failed
// backup); without one, as in the command-line tool, books save without backups.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vm::backup {

inline constexpr int kDefaultDays = 14;
inline constexpr char kFolderName[] = "Backup";

struct Day {
  int year = 0, month = 0, day = 0;
  friend bool operator==(const Day&, const Day&) = default;
};

// "cont.dbc" on 7 December 2026 -> "cont.2026-12-07.dbc"; a name without an extension
// gets the date at its end.
std::string BackupName(std::string_view fileName, Day day);
// The date of a backup of fileName named `candidate` ("" when it is not one); letters
// compare without regard to case, as Windows names do.
std::string BackupDateOf(std::string_view fileName, std::string_view candidate);

// Books of the same file name in different folders (two "work.dbw", a "notes.dbn" on a
// stick) must not share backups. The backup folder keeps an index of which book each
// backup name stands for ("name|full path" a line): the first book of a name keeps it,
// later ones get "<stem>~2<ext>", "<stem>~3<ext>", ... Paths compare without regard to case.
inline constexpr char kIndexName[] = "books.txt";
extern const char* const kIndexHeader;  // "Velmoria backups 1"
struct IndexEntry {
  std::string name;  // the file name the backups are made under
  std::string path;
  friend bool operator==(const IndexEntry&, const IndexEntry&) = default;
};
// The entries of an index file: a byte-order mark, blank lines and lines that are no
// entry are passed over. None when the text is not an index (no header line).
std::optional<std::vector<IndexEntry>> ParseIndex(std::string_view text);
std::string IndexText(const std::vector<IndexEntry>& entries);
// The name for path's backups. When the index holds none, the free name is chosen and
// *added (when given) set; the caller then writes the index.
std::string BackupFileNameFor(std::vector<IndexEntry>& index, const std::string& path, bool* added = nullptr);

// "GENERAL"/"BACKUPDAYS": empty or not a number gives the default; 0 switches off.
int DaysFromSetting(const std::string& value);

// kIndexFailed: the index could not be read or was no index; no backup was made and
// none removed. A new entry that could not be written into the index is kFailed.
enum class Outcome { kOff, kNoFile, kAlreadyToday, kWritten, kFailed, kIndexFailed };

struct Policy {
  std::string folder;  // with trailing "\"
  int keepDays = kDefaultDays;
  Day today;
};

// Copies `path` into the backup folder, under the name the folder's index gives it,
// unless today's backup of it exists already, then removes that book's backups beyond the
// newest keepDays days.
Outcome BackUp(const std::string& path, const Policy& policy);
// Removes the backups of fileName in folder beyond the newest keepDays dates, and the
// temporary files of its backup writes that were cut short; the backups removed are
// returned.
std::vector<std::string> Prune(const std::string& folder, std::string_view fileName, int keepDays);

// ---- the keeper every save goes through ----------------------------------------------------
struct Keeper {
  std::string folder;             // with trailing "\"
  std::function<int()> keepDays;  // asked only when a backup may be due
  std::function<Day()> today;
  // Told once per book and run that its backup could not be written (cp1251 text).
  std::function<void(const std::string& message)> report;
};
// Installs the keeper (an empty folder removes it) and forgets what was done before.
void Install(Keeper keeper);
// The backup due before a save of path; never fails the save.
void BeforeSave(const std::string& path);
// BeforeSave, then the safe replace, both behind the guard (common/book_guard.h) that
// keeps a save from writing over a file changed elsewhere since the book read it.
platform::SaveResult SaveBook(const std::string& path, std::string_view bytes);
// After a book's loader read `bytes` from path: DropLeftovers, and the guard takes them
// as the version the book came from.
void AfterRead(const std::string& path, std::string_view bytes);
// After a book was read: the temporary files that saves of it, or of its backups, killed
// half-way left behind. A book that is only read would otherwise keep them for ever.
void DropLeftovers(const std::string& path);

// "Не удалось прочитать список резервных копий …", for the index that stopped path's backup
std::string IndexFailureMessage(const std::string& indexPath, const std::string& path);
// "Не удалось сохранить резервную копию файла …"
std::string FailureMessage(const std::string& path);

}  // namespace vm::backup
