// The decisions of the tasks page ("Дела"), as plain data: the fourteen views as rows
// (heading / record / date row with its text, colours and record index), the count
// caption, the moves, the status table, the context menu with its checks and greyed
// items, the searches, the report data and the "current records" rule. The Win32 page
// only draws these rows and turns its events into these calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/calendar.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace vm::tasks {

// 0x00BBGGRR, as the system's colour values.
using Colour = uint32_t;
constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}
// Stands for the system's button-face colour, which only the page knows.
inline constexpr Colour kButtonFace = 0xFF000000u;
inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kCream = Rgb(255, 255, 220);
inline constexpr Colour kDoneColour = Rgb(0x74, 0x74, 0x74);
inline constexpr Colour kWorkingColour = Rgb(0x28, 0x32, 0x28);
inline constexpr Colour kStickerColour = Rgb(0x8C, 0, 0);
inline constexpr Colour kPlainColour = Rgb(0, 0x32, 0x64);
inline constexpr Colour kGroupColours[3] = {Rgb(255, 0, 0), Rgb(0, 0, 0x80), Rgb(0x28, 0x50, 0x64)};

enum class RowKind { kHeading, kRecord, kDate, kEmpty };

struct ViewRow {
  RowKind kind = RowKind::kRecord;
  std::string text;
  Colour fore = kPlainColour, back = kWhite;
  int record = -1;  // index in the task list, record rows only
  int group = 0;    // "Задачи": the task group (1-3) of a heading or record row
};

// What a view depends on besides the records.
struct ViewContext {
  int view = kViewTasks;
  dates::Date today;
  std::string diaryDate;                  // "DD/MM/YYYY"
  bool groupShown[3] = {true, true, true};
  std::string groupHeading[3];            // "EXECUTE1".."EXECUTE3"
  std::vector<size_t> found;              // view 6: the last search's records
};

struct BuiltView {
  std::vector<ViewRow> rows;
  int records = 0;  // record rows
  // "Задачи": TaskOrder rewritten as running positions (record, new order), for the
  // records whose stored order differs.
  std::vector<std::pair<size_t, int>> orderRewrites;
};

BuiltView BuildView(const TaskList& records, const ViewContext& context);
// Builds the view and writes its order rewrites into the book (without marking it
// changed).
BuiltView BuildViewOf(TaskBook& book, const ViewContext& context);

// The texts of the views.
const char* ViewMenuText(int view);      // "Задачи", ...; view 6: "Результат поиска"
const char* ViewCaptionText(int view);   // "Задачи:", "Инормация:", ...
std::string CountCaption(int view, int records);  // "Задачи: 3"
const char* EmptyViewText(int view);     // "Записей нет", "Действующих напоминаний нет", ...
std::string DefaultGroupHeading(int group);  // shown for an empty "EXECUTEn"
std::string GroupHeadingText(const ViewContext& context, int group);
std::string DayHeading(const dates::Date& date);  // "%i.%i.%i"
std::string DiaryHeading(const std::string& diaryDate);
// The status colour of a record row outside "Задачи" and "Информация".
Colour StatusColour(std::string_view status);
// Parses "DD/MM/YYYY" (also "D/M/YYYY"); nothing when it is not a real date.
std::optional<dates::Date> ParseTaskDate(std::string_view text);

// View commands of the context menu and the "Следующая тема" cycle.
int ViewOfCommand(int command);  // 0 when the command is no view command
int CommandOfView(int view);     // 0 for view 6
int NextTheme(int view);

// The order field a view sorts and moves by; nothing for views that do not move.
std::optional<TaskField> OrderFieldOf(int view);

// The selected row's record; nothing for a heading, date or empty row or no selection.
std::optional<size_t> RecordAt(const BuiltView& view, int row);
// The row showing a record, or -1.
int RowOf(const BuiltView& view, size_t record);

// Move up / down (1024 / 1027) of the record on `row`: exchanges the view's order field
// with the neighbouring record's; in "Задачи", over a group heading, changes the group
// instead (TaskOrder unchanged). Returns the moved record, or nothing when nothing moved.
std::optional<size_t> MoveRecord(TaskBook& book, const BuiltView& view, const ViewContext& context, int row,
                                 bool up);

// The status table: the new Status for a status command; nothing for other commands.
std::optional<std::string> StatusAfter(int command, std::string_view status);
bool HasStickerMark(std::string_view status);  // 4, 5, 6
bool IsDone(std::string_view status);          // 1, 5
bool IsWorking(std::string_view status);       // 2, 6

// Places a record the editor returned for "Добавить запись" in the current view: in
// "Задачи" the group of the selected row (1 when none) and the TaskOrder after it (with
// ShiftOrders first), in the other ordered views after the last record of the view.
void PlaceNewRecord(TaskBook& book, std::string& line, const BuiltView& view, const ViewContext& context, int row);

// ---- the context menu ------------------------------------------------------------------
struct MenuEntry {
  int id = 0;  // 0 with an empty text: a separator
  std::string text;
  bool checked = false, enabled = true;
  std::vector<MenuEntry> items;  // a sub-menu when not empty
};
struct MenuState {
  int view = kViewTasks;
  std::optional<std::string> selectedStatus;  // a record row is selected
  bool anyStickerRecord = false;
  bool stickerOn = false;                     // "WORK"/"ALARMLIST" non-zero
  TaskGroupSettings groups;                   // as the settings hold them
};
std::vector<MenuEntry> ContextMenu(const MenuState& state);
// Commands 33255..33257: group n alone.
int GroupOfChoiceCommand(int command);  // 1-3, or 0

// ---- searches ------------------------------------------------------------------------
struct FindOptions {
  bool matchCase = false, wholeWord = false;
};
bool TextMatches(std::string_view text, std::string_view what, const FindOptions& options);
bool RecordMatches(std::string_view line, std::string_view what, const FindOptions& options);
// "Поиск по всем записям": the records whose headline or notes hold the text.
std::vector<size_t> SearchRecords(const TaskList& records, std::string_view what, const FindOptions& options);
// "Найти выполненные" (done) / "Найти невыполненные" (not done).
std::vector<size_t> RecordsByDone(const TaskList& records, bool done);
// "F4 Поиск": the next record row after `fromRow` whose record matches, wrapping once
// round to the top; -1 when none does.
int FindInView(const BuiltView& view, const TaskList& records, int fromRow, std::string_view what,
               const FindOptions& options);

// ---- reports -------------------------------------------------------------------------
struct ReportItem {
  std::string key, value;
  int block = 0;
};
// The data of the report of a view: nothing when it lists no record.
std::vector<ReportItem> ReportItems(const BuiltView& view, const TaskList& records, const ViewContext& context,
                                    bool withNotes);
// Writes the items to the data file, fills the template and writes the page; the paths
// are relative to the program folder (kTasksReport, or kStickerReport in view 13).
struct TaskReportOutcome {
  bool ok = false;
  std::string message;  // for the user when not ok
  std::string page;     // the written page
};
TaskReportOutcome WriteTaskReport(const std::vector<ReportItem>& items, const std::string& programFolder,
                                  bool stickerSet);

// ---- "Сохранить действующие записи в файл.." ------------------------------------------
// A record is current when it is a task, information or miscellaneous record, has a
// deadline or an active reminder, or is dated in today's week (Monday to Sunday) or later.
bool IsCurrentRecord(std::string_view line, const dates::Date& today);
TaskList CurrentRecords(const TaskList& records, const dates::Date& today);
// The bytes of a task file holding the records, as SaveTaskFile writes them.
std::string TaskFileBytes(const TaskList& records);

}  // namespace vm::tasks
