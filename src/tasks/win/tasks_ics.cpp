// The tasks page's iCalendar commands, on the save button's drop-down: the book out to an
// .ics file for calendar programs, and an .ics file's to-dos and events in as new records.
// What a record becomes is tasks/ical_tasks.h's; the page asks for the file and reports.
#include <ctime>

#include "common/record_file.h"
#include "platform/platform.h"
#include "tasks/ical_tasks.h"
#include "tasks/task_file.h"
#include "tasks/win/tasks_page.h"
#include "ui/file_dialogs.h"
#include "ui/wait_cursor.h"

namespace vm::tasks {

void AddIcsDialogs(TasksShell& s) {
  s.askIcsSave = [](HWND owner, const std::string& folder) {
    return ui::AskSaveFile(owner, {.title = "Экспорт в iCalendar",
                                   .filters = {{"Файлы iCalendar (*.ics)", "*.ics"}},
                                   .defaultExtension = "ics",
                                   .folder = folder});
  };
  s.askIcsOpen = [](HWND owner, const std::string& folder) {
    return ui::AskOpenFile(owner, {.title = "Импорт из iCalendar",
                                   .filters = {{"Файлы iCalendar (*.ics)", "*.ics"}, {"Все файлы (*.*)", "*.*"}},
                                   .defaultExtension = "ics",
                                   .folder = folder});
  };
}

namespace {

// The present moment in UTC (the DTSTAMP) and the local clock's distance from it.
Moment UtcNow(int& offsetMinutes) {
  std::time_t t = std::time(nullptr);
  std::tm utc{}, local{};
  gmtime_s(&utc, &t);
  localtime_s(&local, &t);
  std::tm asLocal = utc;
  asLocal.tm_isdst = -1;
  offsetMinutes = static_cast<int>(std::difftime(std::mktime(&local), std::mktime(&asLocal)) / 60);
  return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min};
}

}  // namespace

void CWork::ExportIcs() {
  if (!book_.loaded()) {
    platform::ShowMessage(kNoFileMessage, platform::MessageIcon::kExclamation);
    return;
  }
  if (!shell_.askIcsSave) return;
  auto chosen = shell_.askIcsSave(hwnd(), PersonalFolder(app()));
  if (!chosen) return;
  platform::SaveResult saved;
  {
    ui::WaitCursor wait;
    int offset = 0;
    saved = platform::SafeReplace(*chosen, TasksToIcs(book_.records(), Today(), UtcNow(offset)).text);
  }
  if (!saved) platform::ShowMessage(SaveFailedMessage(*chosen), platform::MessageIcon::kExclamation);
}

void CWork::ImportIcs() {
  if (!book_.loaded()) {
    platform::ShowMessage(kNoFileMessage, platform::MessageIcon::kExclamation);
    return;
  }
  if (!shell_.askIcsOpen) return;
  auto chosen = shell_.askIcsOpen(hwnd(), PersonalFolder(app()));
  if (!chosen) return;
  std::string bytes;
  if (!platform::ReadFileBytes(*chosen, bytes)) {
    platform::ShowMessage("Не удалось прочитать файл " + *chosen, platform::MessageIcon::kExclamation);
    return;
  }
  IcsImport in;
  {
    ui::WaitCursor wait;
    int offset = 0;
    UtcNow(offset);
    in = tasks::ImportIcs(bytes, book_.todayText(), offset);
    for (const std::string& r : in.added) book_.Append(r);
  }
  Changed(std::nullopt);
  std::string text = "Добавлено записей: " + std::to_string(in.added.size()) + ".";
  std::string report = IcsImportReport(in);
  if (!report.empty()) text += "\n\nНе перенесено как было:\n" + report;
  platform::ShowMessage(text, platform::MessageIcon::kInformation);
}

}  // namespace vm::tasks
