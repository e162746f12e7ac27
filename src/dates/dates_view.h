// What the dates page shows and does, as plain data: the reference date through every
// command that changes it, the list it builds or the search result that replaces it, the
// Easter lines of the menu, and the report's data file. The page draws `lines()` and
// forwards its commands here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dates/dates_list.h"
#include "dates/new_date.h"

namespace vm::dates {

enum class DateFileKind { kBirthdays, kDates };

class DatesView {
 public:
  // `programFolder` with its trailing "\".
  explicit DatesView(std::string programFolder) : folder_(std::move(programFolder)) {}

  // When the page is made: today, built.
  void Start(Date today);
  // "Текущая дата/Выбор даты" clicked: today becomes the reference date.
  void ShowToday(Date today);
  // A day picked in the calendar. A day outside the calendar's years is refused, with the
  // message for the user as the answer (empty otherwise); a day that is not real is
  // ignored.
  std::string Pick(Date chosen);
  // "Обновить окно": a picked date stays, otherwise today.
  void Refresh(Date today);
  // The sheet saw a new day: a picked date stays; a list that followed today follows
  // the new day.
  void DayChanged(Date today);

  // After a line for `entry` was appended to a file: the list is built again, and when
  // the new date lies outside it, its day of the reference year becomes the picked date,
  // so the new line shows at once.
  void Added(const NewDate& entry, Date today);

  // A find request from the dialog over one file: the list is replaced by the result,
  // or left empty without a heading when the file cannot be read (false then).
  bool Search(DateFileKind file, const std::string& needle, bool matchCase);
  // "Найти везде" went to line `line` (from 0) of a file: the list is the search heading
  // and that line, as a search shows a found line. False (the list as it was) when the
  // file cannot be read or has no such line.
  bool ShowFileLine(DateFileKind file, uint32_t line);

  const std::vector<ListLine>& lines() const { return lines_; }
  // The line to show at the top: the today heading after a build, 0 after a search.
  size_t topLine() const { return topLine_; }
  const ReferenceDate& reference() const { return reference_; }
  bool picked() const { return picked_; }
  EasterMenu Easter() const { return EasterMenuTexts(reference_.date.year); }
  std::string FilePath(DateFileKind file) const;
  const std::string& folder() const { return folder_; }

 private:
  void Build();

  std::string folder_;
  ReferenceDate reference_;
  bool picked_ = false;
  std::vector<ListLine> lines_;
  size_t topLine_ = 0;
};

// ---- the report ---------------------------------------------------------------------
struct ReportItem {
  int block;  // 3 a heading or sub-heading ("HEAD"), 4 an entry ("NOTE")
  std::string key;
  std::string text;  // as the list shows it
  friend bool operator==(const ReportItem&, const ReportItem&) = default;
};
// One item per line of the list, in order; empty for an empty list.
std::vector<ReportItem> DatesReportItems(const std::vector<ListLine>& lines);

struct DatesReportData {
  bool build = false;                 // the data file holds lines: fill the template
  std::vector<const char*> messages;  // to show, in order (title "Velmoria", exclamation)
};
// Writes the data file: "ZAGOLOVOK" = "Даты", then the items. Texts are HTML-escaped so
// a "<" in a date's text shows as typed. An empty list writes an empty file and asks
// for "Отсутствуют данные для вывода отчета!".
DatesReportData WriteDatesReportData(const std::vector<ListLine>& lines, const std::string& dataPath);

}  // namespace vm::dates
