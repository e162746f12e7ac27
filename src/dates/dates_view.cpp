#include "dates/dates_view.h"

#include "common/report.h"
#include "dates/date_find.h"
#include "platform/platform.h"

namespace vm::dates {

void DatesView::Start(Date today) {
  reference_ = StartReference(today);
  picked_ = false;
  Build();
}

void DatesView::ShowToday(Date today) {
  reference_ = ChooseReference(today);
  picked_ = false;
  Build();
}

std::string DatesView::Pick(Date chosen) {
  if (!IsValidDate(chosen)) return {};
  if (!InCalendarRange(chosen.year)) return YearRangeMessage(chosen.year);
  reference_ = ChooseReference(chosen);
  picked_ = true;
  Build();
  return {};
}

void DatesView::Refresh(Date today) {
  reference_ = RefreshReference(reference_, today);
  Build();
}

void DatesView::DayChanged(Date today) {
  // The stored text form of a day chosen with the today button would otherwise hold the
  // list on yesterday.
  if (picked_)
    Refresh(today);
  else if (reference_.text.empty())
    Start(today);
  else
    ShowToday(today);
}

void DatesView::Added(const NewDate& entry, Date today) {
  Refresh(today);
  int year = reference_.date.year;
  Date day{entry.day, entry.month, year};
  // 29 February outside a leap year is read as 1 March, as the evaluation reads it.
  if (!IsValidDate(day)) day = AddDays(Date{28, 2, year}, 1);
  int distance = DaySerial(day) - DaySerial(reference_.date);
  bool shown = distance >= -5 && distance <= 5;
  if (!shown) {
    DateLists lists = EvaluateDateText(MakeNewDateLine(entry, year).line, reference_.date);
    shown = !lists.past.empty() || !lists.today.empty() || !lists.coming.empty();
  }
  if (!shown) Pick(day);
}

bool DatesView::Search(DateFileKind file, const std::string& needle, bool matchCase) {
  topLine_ = 0;
  std::optional<std::vector<ListLine>> found = SearchDateFile(FilePath(file), needle, matchCase);
  lines_ = found ? std::move(*found) : std::vector<ListLine>();
  return found.has_value();
}

bool DatesView::ShowFileLine(DateFileKind file, uint32_t line) {
  std::string bytes;
  if (!platform::ReadFileBytes(FilePath(file), bytes)) return false;
  const std::string text = DateFileLine(bytes, line);
  if (text.empty()) return false;
  topLine_ = 0;
  lines_ = SearchDateText(text, text, true);
  return true;
}

std::string DatesView::FilePath(DateFileKind file) const {
  return file == DateFileKind::kBirthdays ? BirthdayFilePath(folder_) : HolidaysFilePath(folder_);
}

void DatesView::Build() {
  DatesList list = BuildDatesListForFolder(folder_, reference_.date);
  lines_ = std::move(list.lines);
  topLine_ = list.topLine;
}

std::vector<ReportItem> DatesReportItems(const std::vector<ListLine>& lines) {
  std::vector<ReportItem> items;
  for (const ListLine& l : lines) {
    bool entry = l.background == kWhite;
    items.push_back({entry ? kNoteBlock : kHeadBlock, entry ? "NOTE" : "HEAD", l.text});
  }
  return items;
}

DatesReportData WriteDatesReportData(const std::vector<ListLine>& lines, const std::string& dataPath) {
  DatesReportData out;
  CReportData data;
  if (!data.Open(dataPath)) {
    out.messages.push_back(kReportWriteError);
    return out;
  }
  std::vector<ReportItem> items = DatesReportItems(lines);
  const ReportConvert convert = [](std::string_view v) { return HtmlEscape(v); };
  if (!items.empty()) data.WriteItem("ZAGOLOVOK", "Даты", kPageBlock);
  for (const ReportItem& item : items) {
    data.WriteItem(item.key, item.text, item.block, convert);
    data.EndLine();
  }
  if (!data.Close()) {
    out.messages.push_back(kReportCloseError);
    return out;
  }
  if (items.empty())
    out.messages.push_back(kNoReportData);
  else
    out.build = true;
  return out;
}

}  // namespace vm::dates
