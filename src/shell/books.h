// What the main sheet asks of its pages. Every page answers the same calls; the sheet
// calls them in its own fixed order without knowing which page keeps which book.
#pragma once

#include <optional>
#include <vector>

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

 private:
  std::vector<BookCalls*> pages_;
};

}  // namespace vm::shell
