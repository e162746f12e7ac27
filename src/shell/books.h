// What the main sheet asks of its pages. Every page answers the same calls; the sheet
// calls them in its own fixed order without knowing which page keeps which book.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/find_corpus.h"
#include "platform/platform.h"

namespace vm::shell {

enum class Book : int {
  kData = 0,
  kContacts,
  kFirms,
  kDates,
  kNotebook,
  kTasks,
  kSpreadsheet,
};
inline constexpr int kBookCount = 7;

// What one timer tick knows; built once per tick by the sheet.
struct TickInfo {
  platform::LocalTime now;
  // The date, hour or minute differs from the previous tick. The reminder rules look at
  // nothing finer, so a book whose data did not change since its last pass can skip
  // the pass when this is false and fire exactly what a pass would have fired.
  bool minuteChanged = false;
};

// A book whose changes are not in its file after its last save: the file it belongs to
// (empty when it has none) and why they are not there, for the exit question.
struct UnsavedBook {
  std::string file;
  std::string why;
  bool canSaveAs = true;  // the page can write the book to a file the user chooses
};

// What a page did when told that a file of its book changed on disk.
enum class DiskChange {
  kNotMine,   // the page holds no book of that file
  kReloaded,  // the book had no unsaved changes: the page shows the file's version now
  kMarked,    // the book has unsaved changes: the page keeps them; its next save asks
};

// A book as the search over every book sees it.
struct FindableBook {
  std::string name;  // how the results name the book: "Контакты", "Блокнот Дом.dbn"
  // Changes whenever the texts change (find::NextStamp() of the last change).
  uint64_t stamp = 0;
  // Not empty: the book is not searched, and this says why ("защищён паролем").
  std::string notSearched;
  // The names of the fields of an entry (find::kFieldBreak), for the "where" of a hit.
  std::vector<std::string> fields;
};

// The calls of the sheet to one page; a page overrides what its book needs.
class BookCalls {
 public:
  virtual ~BookCalls() = default;
  // The book the page keeps; none for a page without one (About).
  virtual std::optional<Book> book() const { return std::nullopt; }
  // Saves the book when it has changed (the book decides).
  virtual void Save() {}
  // Work on every 10 ms tick; must cost next to nothing when nothing changed.
  virtual void Tick(const TickInfo& info) {}
  // The day of the month changed (the dates page refreshes its list).
  virtual void DayChanged(const platform::LocalTime& now) {}
  // A message from the reminder window, WM_USER + 1025 with its code; true when taken.
  virtual bool ReminderWindow(int code) { return false; }

  // After a save: the book's changes that did not reach its file (the write failed, or
  // the book is not bound to the file because it could not be read); none when its file
  // holds everything shown.
  virtual std::optional<UnsavedBook> Unsaved() const { return std::nullopt; }
  // The answers of the question about an unsaved book. "Повторить": the save again (over
  // a file that could not be read, only after the user confirms). "Сохранить как…": to a
  // file the user chooses. True when the book was written. "Выйти без сохранения": the
  // changes are given up, and no later save writes them.
  virtual bool RetrySave() { return false; }
  virtual bool SaveAsChosen() { return false; }
  virtual void GiveUpChanges() {}

  // Another program, copy or machine changed `path` since the book read or wrote it. A
  // page holding that file loads it again when its book has no unsaved changes (an edit
  // still open counts as one) and otherwise leaves the book as it is. Never saves.
  virtual DiskChange FileChanged(const std::string& path) { return DiskChange::kNotMine; }

  // ---- "Найти везде" ------------------------------------------------------------------
  // What the search over every book needs to know of this one; none for a page without
  // texts to search. Cheap: asked on every keystroke.
  virtual std::optional<FindableBook> Findable() const { return std::nullopt; }
  // The book's texts now; asked only when Findable()'s stamp moved.
  virtual std::vector<find::Entry> FindTexts() const { return {}; }
  // Selects the record, note or cell of a hit and brings the hit into view; false when
  // it is no longer there.
  virtual bool JumpTo(const find::Result& hit) { return false; }
};

// A change on disk and what the page holding it did.
struct DiskNews {
  std::string path;
  BookCalls* page = nullptr;  // none: no page holds the file any more
  DiskChange change = DiskChange::kNotMine;
};

// The books whose save runs, in the order it runs: contacts and firms always, the
// books kept in the user's own files only with automatic saving on.
std::vector<Book> SaveOrder(bool autosave);

// The sheet's pages as the calls see them (not owned), in tab order.
class BookSet {
 public:
  BookSet() = default;
  explicit BookSet(std::vector<BookCalls*> pages) : pages_(std::move(pages)) {}

  // Runs the saves in SaveOrder(autosave); returns the books whose save ran.
  std::vector<Book> SaveAll(bool autosave) const;
  void Tick(const TickInfo& info) const;
  void DayChanged(const platform::LocalTime& now) const;
  // False when no page takes reminder-window messages.
  bool ReminderWindow(int code) const;
  // The pages whose books hold changes their files lack, in SaveOrder(autosave).
  std::vector<BookCalls*> Unsaved(bool autosave) const;
  // Hands each changed file to the page that holds it (the first to answer).
  std::vector<DiskNews> FilesChanged(const std::vector<std::string>& paths) const;

 private:
  std::vector<BookCalls*> pages_;
};

// ---- a save that did not happen --------------------------------------------------------
// The question about one unsaved book at exit: "Повторить", "Сохранить как…", "Выйти без
// сохранения"; closing it (Esc) keeps the program running.
enum class UnsavedChoice { kRetry, kSaveAs, kLeave, kStay };
// "Изменения в файле <file> не сохранены: <why>" and what the answers do.
std::string UnsavedQuestionText(const UnsavedBook& book);
using AskUnsaved = std::function<UnsavedChoice(const UnsavedBook& book)>;
// Before the program ends: every book whose save failed is asked about until it is
// saved or its changes are given up. False when the user chose to stay: the exit stops.
// A book whose save still fails is asked about again, so nothing is lost unnoticed.
bool SettleUnsaved(const BookSet& books, bool autosave, const AskUnsaved& ask);

}  // namespace vm::shell
