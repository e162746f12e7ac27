// The tasks page ("Дела"). It owns the task book for the whole run: it loads the book
// when the sheet sets it up, saves it with the other books, runs the reminder check on
// the sheet's timer, and shows the book through the fourteen views of tasks/task_views.h
// in an owner-drawn no-data list box. Every decision is made by that portable code; the
// page draws its rows and turns commands into its calls.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/win/book_page.h"
#include "tasks/reminders.h"
#include "tasks/snoozes.h"
#include "tasks/task_file.h"
#include "tasks/task_views.h"
#include "tasks/win/reminder_window.h"
#include "tasks/win/task_editor.h"
#include "ui/calendar_drop_down.h"
#include "ui/find_dialog.h"
#include "ui/handles.h"
#include "ui/menu.h"
#include "ui/owner_list.h"
#include "ui/toolbar.h"
#include "ui/tooltips.h"

namespace vm::tasks {

class CAlarmWnd;

// The task editor: given the caption ("Новая запись" / "Редактирование") and the
// record line, what the user did with it. The page calls only this; it is EditTask
// unless a test puts another in.
using TaskEditor =
    std::function<TaskEditResult(HWND owner, const std::string& caption, const std::string& line)>;

// What the page hands to programs outside, and its modal choices; tests replace them.
struct TasksShell {
  std::function<int(const std::string& path)> openReport;  // above 32 on success
  // A context or drop-down menu: the chosen id, 0 for none.
  std::function<int(HWND owner, POINT at, const std::vector<ui::MenuItem>& items)> chooseMenu;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askOpen;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askSaveAs;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askNewFile;
  // The headings dialog: six values joined by "|" in, the same out.
  std::function<std::optional<std::string>(HWND owner, const std::string& values)> askHeadings;
  // The file dialogs of the iCalendar commands (tasks_ics.cpp).
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askIcsSave;
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askIcsOpen;
};
void AddIcsDialogs(TasksShell& shell);
TasksShell SystemTasksShell();

class CWork : public shell::BookPage {
 public:
  explicit CWork(const CAppUtil& app);
  ~CWork() override;

  TaskBook& book() { return book_; }
  ReminderWindows& reminderWindows() { return windows_; }
  const SnoozeStore& snoozes() const { return snoozes_; }
  int currentView() const { return context_.view; }
  const ViewContext& context() const { return context_; }
  const BuiltView& shown() const { return shown_; }
  const TaskGroupSettings& groups() const { return groups_; }
  ui::OwnerList& list() { return list_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::Tooltips& tooltips() { return tips_; }
  CAlarmWnd* sticker() { return sticker_.get(); }
  std::string CaptionText() const;
  // The effects of a firing; null restores the system's (tests pass their own).
  void SetEffects(ReminderEffects* effects) { effects_ = effects ? effects : &systemEffects_; }
  void SetEditor(TaskEditor editor) { editor_ = std::move(editor); }
  void SetShell(TasksShell shell) { shell_ = std::move(shell); }

  std::optional<shell::Book> book() const override { return shell::Book::kTasks; }
  void Tick(const shell::TickInfo& info) override;
  void Save() override;
  std::optional<shell::UnsavedBook> Unsaved() const override;
  // The book's file changed on disk: loaded again unless the book holds unsaved changes.
  shell::DiskChange FileChanged(const std::string& path) override;
  bool RetrySave() override;
  bool SaveAsChosen() override;
  void GiveUpChanges() override;
  void DayChanged(const platform::LocalTime& now) override;
  bool ReminderWindow(int code) override;
  bool PreTranslate(MSG& msg) override;

  // The page's commands, as the tool bar, the menus and the keys give them.
  void Command(int id);
  void ShowView(int view);
  // The sticker text sent again (when the sticker is switched on, or `force`).
  void RefreshSticker(bool force = false);
  // Runs a "F4 Поиск" / "Поиск по всем записям" request as the find dialog gives it.
  void FindRequest(const std::string& what, const FindOptions& options, bool allRecords);

  // ---- "Найти везде" (tasks_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  std::string LoadReport() const override { return book_.loadMessage(); }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;
  int CaptionWidth() const;

 private:
  // tasks_ics.cpp: the book out to an .ics file, and an .ics file's records in.
  void ExportIcs();
  void ImportIcs();
  void Rebuild(std::optional<size_t> select = std::nullopt);
  void PaintRow(const ui::OwnerList::Row& row);
  void UpdateCommands();
  dates::Date Today() const;
  std::optional<size_t> SelectedRecord() const;
  void Changed(std::optional<size_t> select);

  bool Stored(const TaskEditResult& edited);
  void Add();
  void Edit();
  void Delete();
  void Move(bool up);
  void SetStatus(int command);
  void ContextMenu(POINT at);
  void DropDown(int command);
  void Report(bool withNotes);
  void OpenFind(bool allRecords);
  void ShowFound(std::vector<size_t> found);
  void FileNew();
  void FileOpen();
  void FileSaveAs(bool currentOnly);
  void EditHeadings();
  void ChooseDiaryDate();
  void ShowLoadProblem(const LoadOutcome& load);
  void Snooze(const Firing& firing, SnoozeSpan span);

  TaskBook book_;
  std::string saveError_;  // why the sheet's last save wrote nothing
  bool givenUp_ = false;   // the user left without saving: no later save tries again
  ReminderScheduler scheduler_;
  SnoozeStore snoozes_;
  Moment lastTick_{};  // the timer's last moment: a snooze counts from it
  ReminderWindows windows_;
  ReminderEffects systemEffects_;
  ReminderEffects* effects_ = &systemEffects_;
  TaskGroupSettings groups_;
  ViewContext context_;
  BuiltView shown_;
  bool firing_ = false;
  bool setUp_ = false;
  std::string findText_;
  bool findAll_ = false;

  TaskEditor editor_;
  TasksShell shell_;
  ui::OwnerList list_;
  ui::Toolbar toolbar_;
  ui::Tooltips tips_;
  ui::FindDialog find_;
  ui::CalendarDropDown calendar_;
  ui::UniqueAccel accel_;
  ui::UniqueFont rowFont_, headingFont_, captionFont_;
  HWND caption_ = nullptr;
  std::unique_ptr<CAlarmWnd> sticker_;
};

}  // namespace vm::tasks
