// The dates page's "Экспорт в iCalendar…", on the report button's drop-down: both date
// files as a calendar file, the fixed dates repeating yearly and the feasts of the
// page's year. What a line becomes is dates/ical_dates.h's.
#include <cstdio>
#include <ctime>

#include "common/record_file.h"
#include "dates/ical_dates.h"
#include "dates/win/dates_page.h"
#include "dates/win/dates_resources.h"
#include "platform/platform.h"
#include "ui/file_dialogs.h"
#include "ui/menu.h"
#include "ui/wait_cursor.h"

namespace vm::dates {

void AddIcsDialog(DatesShell& s) {
  s.askIcsSave = [](HWND owner, const std::string& folder) {
    return ui::AskSaveFile(owner, {.title = "Экспорт в iCalendar",
                                   .filters = {{"Файлы iCalendar (*.ics)", "*.ics"}},
                                   .defaultExtension = "ics",
                                   .folder = folder});
  };
}

void CMes::DropReportMenu(const RECT& button) {
  ui::MenuItem item;
  item.id = ID_DATES_EXPORT_ICS;
  item.text = "Экспорт в iCalendar…";
  if (ui::ShowContextMenu(hwnd(), POINT{button.left, button.bottom}, {item}) == ID_DATES_EXPORT_ICS) ExportIcs();
}

void CMes::ExportIcs() {
  if (!shell_.askIcsSave) return;
  const std::string folder = app().ProgramFolder();
  std::string personal = folder + "Personal";
  if (!platform::DirExists(personal)) platform::MakeDir(personal);
  auto chosen = shell_.askIcsSave(hwnd(), personal);
  if (!chosen) return;
  platform::SaveResult saved;
  {
    ui::WaitCursor wait;
    std::string birthdays, holidays;
    platform::ReadFileBytes(folder + "Support\\Birthday.txt", birthdays);
    platform::ReadFileBytes(folder + "Support\\Holidays.txt", holidays);
    std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_s(&utc, &t);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02dT%02d%02d%02dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    saved = platform::SafeReplace(*chosen, DatesToIcs(birthdays, holidays, view_->reference().date.year, stamp).text);
  }
  if (!saved) platform::ShowMessage(SaveFailedMessage(*chosen), platform::MessageIcon::kExclamation);
}

}  // namespace vm::dates
