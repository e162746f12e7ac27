#include "tasks/win/tasks_page.h"

#include "platform/platform.h"
#include "ui/wait_cursor.h"

namespace vm::tasks {

// The sheet makes this page during its set-up, before its timer can tick; a save before
// then finds no book to save. The start-up reminder check is the scheduler's first pass,
// on the first tick, so the windows of reminders due at start open above the main window
// rather than under it.
CWork::CWork(const CAppUtil& app) : shell::BlankBookPage(shell::kTasksTab, app) {}

bool CWork::OnInitDialog() {
  StartupOutcome startup;
  {
    ui::WaitCursor wait;
    startup = LoadTaskFileAtStartup(book_, app(), DateOf(MomentOf(platform::Now())));
  }
  view_ = ReadCurrentView(app());
  groups_ = ReadTaskGroups(app());
  if (!startup.load.error.empty()) platform::ShowMessage(startup.load.error, platform::MessageIcon::kStop);
  return true;
}

void CWork::Tick(const shell::TickInfo& info) {
  // A firing's effects might let messages through (a sound driver, a failure message);
  // a tick arriving then must not start a pass inside the pass. Nothing is lost: the
  // skipped tick leaves the scheduler where it was, so the next one checks the minutes
  // in between.
  if (firing_) return;
  PassResult pass = scheduler_.Tick(book_, MomentOf(info.now));
  if (pass.firings.empty()) return;
  firing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{firing_};
  HWND main = hwnd() ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
  RunFirings(pass.firings, main, *effects_, windows_);
}

void CWork::Save() {
  SaveOutcome outcome;
  {
    ui::WaitCursor wait;
    outcome = AutoSaveTaskFile(book_, app());
  }
  if (outcome.status == TaskSaveStatus::kFailed) platform::ShowMessage(outcome.error, platform::MessageIcon::kExclamation);
}

}  // namespace vm::tasks
