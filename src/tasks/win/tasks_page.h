// The tasks page ("Дела"). It owns the task book for the whole run: it loads the book
// when the sheet sets it up, saves it with the other books, and runs the reminder check
// on the sheet's timer, opening a message window for every reminder that fires. Its
// views and commands are still to come; until then the page itself stays blank.
#pragma once

#include "shell/win/book_page.h"
#include "tasks/reminders.h"
#include "tasks/task_file.h"
#include "tasks/win/reminder_window.h"

namespace vm::tasks {

class CWork : public shell::BlankBookPage {
 public:
  explicit CWork(const CAppUtil& app);

  TaskBook& book() { return book_; }
  ReminderWindows& reminderWindows() { return windows_; }
  int currentView() const { return view_; }
  const TaskGroupSettings& groups() const { return groups_; }
  // The effects of a firing; null restores the system's (tests pass their own).
  void SetEffects(ReminderEffects* effects) { effects_ = effects ? effects : &systemEffects_; }

  std::optional<shell::Book> book() const override { return shell::Book::kTasks; }
  // What the sheet's timer does on every tick, and after a resume or a clock change.
  void Tick(const shell::TickInfo& info) override;
  // "Сохранить все", hiding to the tray and the exit save the book this way.
  void Save() override;

 protected:
  bool OnInitDialog() override;

 private:
  TaskBook book_;
  ReminderScheduler scheduler_;
  ReminderWindows windows_;
  ReminderEffects systemEffects_;
  ReminderEffects* effects_ = &systemEffects_;
  int view_ = kViewTasks;
  TaskGroupSettings groups_;
  bool firing_ = false;
};

}  // namespace vm::tasks
