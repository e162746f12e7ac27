// How the book pages plug into the main sheet. Each page registers what it does when all
// books are saved and on the timer, and the sheet calls these in its own fixed order
// without knowing the pages. A page that registers nothing is simply skipped.
#pragma once

#include <array>
#include <functional>
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

struct BookHooks {
  // Saves the book when it has changed (the book decides).
  std::function<void()> save;
  // Work on every 10 ms tick; must cost next to nothing when nothing changed.
  std::function<void(const TickInfo&)> tick;
  // The day of the month changed (the dates page refreshes its list).
  std::function<void(const platform::LocalTime&)> dayChanged;
  // A message from the reminder window, WM_USER + 1025 with its code (the tasks page).
  std::function<void(int code)> reminderWindow;
};

// The books whose save runs, in the order it runs: contacts and firms always, the
// books kept in the user's own files only with automatic saving on.
std::vector<Book> SaveOrder(bool autosave);

class BookRegistry {
 public:
  BookRegistry() = default;
  // The tick list points into the hooks, so a registry stays where it was made.
  BookRegistry(const BookRegistry&) = delete;
  BookRegistry& operator=(const BookRegistry&) = delete;

  // Registering a book again replaces its hooks.
  void Register(Book book, BookHooks hooks);
  void Unregister(Book book);
  bool IsRegistered(Book book) const;

  // Runs the saves in SaveOrder(autosave); returns the books whose save ran.
  std::vector<Book> SaveAll(bool autosave) const;
  // Runs every registered tick, in book order.
  void Tick(const TickInfo& info) const;
  void DayChanged(const platform::LocalTime& now) const;
  // False when no book takes reminder-window messages.
  bool ReminderWindow(int code) const;

 private:
  void Rebuild();

  std::array<BookHooks, kBookCount> hooks_{};
  // The registered tick functions alone, so a tick walks a short list and nothing else.
  std::vector<const std::function<void(const TickInfo&)>*> ticks_;
};

}  // namespace vm::shell
