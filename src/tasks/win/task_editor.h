// The task editor (dialog 342): the tasks page opens it over a copy of one record line
// and takes the edited line back. The decisions are in tasks/task_editor_model.h; this
// window shows them and forwards the user's changes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/app_util.h"
#include "tasks/reminders.h"

namespace vm::tasks {

struct TaskEditResult {
  bool stored = false;         // OK with a headline: `line` is the record to keep
  bool emptyHeadline = false;  // OK with an empty headline: the page says so and keeps nothing
  std::string line;            // the edited record line (the unchanged copy unless stored)
};

// Opens dialog 342 over `line` (a record line; an empty one is a new record dated
// today), titled `caption` ("Новая запись" or "Редактирование"), and runs it modally.
TaskEditResult EditTask(HWND owner, const CAppUtil& app, const std::string& caption, const std::string& line);

// The editor's clock (tests pin it); null restores the local clock.
void SetTaskEditorClock(std::function<Moment()> clock);

}  // namespace vm::tasks
