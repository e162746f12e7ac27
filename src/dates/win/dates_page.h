// The dates page ("Даты"): the coloured list of dates just past, of the day and coming,
// the reference date with its calendar, the search over both date files, editing them in
// a text editor or through the "Добавить дату" dialog, and the report. Every decision is
// DatesView's; the page draws its lines and forwards commands.
#pragma once

#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "dates/dates_view.h"
#include "shell/win/book_page.h"
#include "ui/calendar_drop_down.h"
#include "ui/find_dialog.h"
#include "ui/handles.h"
#include "ui/owner_list.h"
#include "ui/toolbar.h"

namespace vm::dates {

// What the page hands to programs outside; tests put recorders here.
struct DatesShell {
  // Opens a date file with its program; the shell's code (above 32 on success).
  std::function<int(const std::string& path)> openFile;
  // Starts "notepad.exe" on the file; false when that failed too.
  std::function<bool(const std::string& path)> openNotepad;
  // Opens the report page; the shell's code.
  std::function<int(const std::string& path)> openReport;
  // Today's date (the clock; a fixed day in tests).
  std::function<Date()> today;
  // The file dialog of "Экспорт в iCalendar…": the chosen path, or nothing (dates_ics.cpp).
  std::function<std::optional<std::string>(HWND owner, const std::string& folder)> askIcsSave;
};
DatesShell SystemDatesShell();
void AddIcsDialog(DatesShell& shell);

class CMes : public shell::BookPage {
 public:
  explicit CMes(const CAppUtil& app);

  DatesView& view() { return *view_; }
  ui::OwnerList& list() { return list_; }
  ui::Toolbar& toolbar() { return toolbar_; }
  ui::Toolbar& hideBar() { return hideBar_; }
  ui::CalendarDropDown& calendar() { return calendar_; }
  ui::FindDialog& finder() { return find_; }
  void SetShell(DatesShell shell) { shell_ = std::move(shell); }
  // The menu a drop-down button shows, for checks.
  std::vector<std::string> DropDownTexts(int command) const;

  void DayChanged(const platform::LocalTime& now) override;
  bool PreTranslate(MSG& msg) override;

  // ---- "Найти везде" (dates_page_find.cpp)
  std::optional<shell::FindableBook> Findable() const override;
  std::vector<find::Entry> FindTexts() const override;
  bool JumpTo(const find::Result& hit) override;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnSize(int width, int height) override;

 private:
  void Layout(int width, int height);
  void PaintRow(const ui::OwnerList::Row& row);
  // Shows the view's lines, the today heading (or the search heading) on top.
  void ShowLines();
  Date Today() const;

  void DropMenu(int command, const RECT& button);
  void DropCalendar(const RECT& button);
  void OpenSearch(DateFileKind file);
  void Edit(DateFileKind file);
  void AddDate();
  void Report();
  // dates_ics.cpp: both date files as yearly events of a calendar file.
  void DropReportMenu(const RECT& button);
  void ExportIcs();

  DatesShell shell_;
  std::unique_ptr<DatesView> view_;
  bool setUp_ = false;
  ui::OwnerList list_;
  ui::Toolbar toolbar_, hideBar_;
  ui::CalendarDropDown calendar_;
  ui::FindDialog find_;
  DateFileKind searchFile_ = DateFileKind::kBirthdays;
  ui::UniqueAccel accel_;
};

}  // namespace vm::dates
