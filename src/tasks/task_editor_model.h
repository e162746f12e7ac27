// The task editor's decisions, apart from its window: which control carries which field,
// what the drop-down lists offer, what a record opens with, which reminder controls are
// usable in which state, the date check, what OK writes, where the window goes, the text
// of a file link, and when the rule as set would fire next. The Win32 dialog only shows
// these values and hands the user's changes back.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_util.h"
#include "tasks/reminders.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace vm::tasks {

// How a field appears in the editor.
enum class EditorControlKind {
  kHeadline,  // single-line edit
  kNotes,     // multi-line edit
  kDate,      // date picker, "dd/MM/yyyy"
  kRemind,    // the "Напомнить" box: ReminderState "1" or "0"
  kCheck,     // a check box stored as "%i" of its state
  kList,      // an editable drop-down list, stored as the shown text
  kSound,     // the sound file edit
};

struct EditorControl {
  TaskField field;
  EditorControlKind kind;
  const char* caption;  // the box's text; empty for edits and lists
  bool panel;           // part of the reminder panel
};

// Every control that carries a field, in the order the fields are listed for the user.
const std::vector<EditorControl>& EditorControls();
const EditorControl* FindEditorControl(TaskField field);

// The choices of the five drop-down lists.
std::vector<std::string> DayItems();     // "01".."31", "ALL"
std::vector<std::string> MonthItems();   // "01".."12", "ALL"
std::vector<std::string> YearItems();    // "2000".."2050", "ALL"
std::vector<std::string> HourItems();    // "00".."24", ">00".."23", "ALL"
std::vector<std::string> MinuteItems();  // "00".."59"

// What the controls hold. Check boxes are kept by field (ReminderState's box included:
// "Напомнить").
struct EditorValues {
  std::string headline, notes;
  std::string date;  // "DD/MM/YYYY" as the date picker gives it
  std::array<bool, kTaskFieldCount> checked{};
  std::string day, month, year, hour, minute, soundFile;

  bool On(TaskField f) const { return checked[static_cast<size_t>(f)]; }
  void Set(TaskField f, bool on) { checked[static_cast<size_t>(f)] = on; }
  std::string* ListText(TaskField f);  // the text of a list (or the sound edit); null otherwise
  const std::string* ListText(TaskField f) const;
};

// The controls filled from a record line when the editor opens. A record whose reminder
// is active or missed fills the panel from its fields; any other gets the defaults: the
// current time in the time lists and today in the date lists, "По дате:" with "И время:",
// today's weekday as the one calendar box set, the last sound file (`lastWave`, from
// "WORK"/"WAV"), and "Звук PC" when there is none.
EditorValues OpenValues(const std::string& line, const Moment& now, const std::string& lastWave);

// The working copy the editor starts from: padded to a full record (an empty line is a
// new one dated `today`, "DD/MM/YYYY"), EditDate = Date.
std::string OpenRecord(const std::string& line, const std::string& today);

// Fills empty day, month and year lists with today's values (opening the panel does).
void FillEmptyDate(EditorValues& values, const Moment& now);

// A click on a reminder box: the rules that change other boxes. "По дате:" and "По дню:"
// exclude each other, "ALL" sets all seven weekdays, a weekday click clears "ALL".
void ApplyClick(EditorValues& values, TaskField clicked);
// Whether a click on a box opens the closed reminder panel: ticking "Напомнить" does,
// so the reminder's settings are in view at once (unticking leaves the panel as it is).
bool ClickOpensPanel(const EditorValues& values, TaskField clicked, bool panelOpen);

// Which reminder controls can be used in the current state, by field (the lists and the
// sound edit too; the sound browse button goes with SoundFile).
std::array<bool, kTaskFieldCount> PanelEnabled(const EditorValues& values);

// "DD/MM/YYYY": "/" third and sixth, digits elsewhere, a month 1..12, a day the month
// has (29 February only in leap years) and a year the calendar computes (1901-2099).
bool IsValidEditorDate(std::string_view text);
extern const char* const kBadDateMessage;  // "Проверте формат записи: ..."
// What OK says about a date IsValidEditorDate refuses: the calendar's years for a
// well-formed date beyond them, else kBadDateMessage.
std::string BadDateMessage(std::string_view text);
extern const char* const kImportQuestion;  // "Текст в окне не сохранится ..."
extern const char* const kNoEditorMessage;  // "Не найдена программа для открытия файлов txt!..."
extern const char* const kImportFailedMessage;  // the file could not be read; notes kept

// What OK says about the first list of an active reminder that holds neither one of its
// items (a number may be written without its leading zero: "1" for "01") nor "ALL" where
// the list offers it, naming the box: "Поле \"День\" напоминания: ...". Lists the
// reminder does not use (disabled ones) are not looked at. Empty when all are fine.
std::string BadListMessage(const EditorValues& values);

enum class StoreStatus { kStored, kBadDate, kNoHeadline, kBadList };
struct StoreOutcome {
  StoreStatus status = StoreStatus::kStored;
  std::string line;     // the record written (kStored), else the copy unchanged
  std::string message;  // kBadList: BadListMessage
  // kStored: the reminder is on but would never fire; the editor asks
  // kNeverFiresQuestion before it keeps the record.
  bool neverFires = false;
};
// OK: checks the date, then the headline, then the lists, then writes every field of the
// table through the field-writing rule, StartHour/StartMinute of now, and an empty
// LastFired.
StoreOutcome StoreValues(const std::string& copy, const EditorValues& values, const Moment& now);
extern const char* const kNeverFiresQuestion;  // "Напоминание не сработает ни разу. Сохранить так?"

// The editor's rectangle in screen pixels.
struct EditorRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const EditorRect&, const EditorRect&) = default;
};
inline constexpr int kPanelHeight = 250;
inline constexpr int kDefaultEditorWidth = 430;
inline constexpr int kDefaultEditorHeight = 200;
// From "EDITPLACEMENT" when all four keys are there and make a rectangle; otherwise
// 430 x 200 at the given origin (the parent's client origin).
EditorRect LoadEditorRect(const CAppUtil& app, int originLeft, int originTop);
// The rectangle as it is without the panel, so the editor reopens closed at that size.
void SaveEditorRect(const CAppUtil& app, const EditorRect& rect, bool panelOpen);

// A chosen path as text for the notes: a local or network path becomes a "file:///"
// link with "/" for "\" and "%20" for spaces; anything else stays as it is.
std::string LinkText(const std::string& path);
// Where "Найти..." finds `what` in the notes, looking down from `from` or up from before
// it; npos when it is not there. Without matchCase letters of either case match.
size_t FindInNotes(const std::string& notes, const std::string& what, size_t from, bool down, bool matchCase);

// What "Открыть во внешнем редакторе" writes to "Temp\EditRep.txt".
std::string ExternalEditorText(const std::string& headline, const std::string& notes);
// Text read from a file, made fit for the multi-line notes edit (line breaks as CR LF).
std::string NotesFromFile(std::string_view bytes);

// The status bar's texts.
std::string PanelPaneText(bool panelOpen);
std::string LayoutPaneText(const std::string& layoutName);  // "RUS" for "...419", else "EN-US"

// When the reminder as currently set would fire, from now: the record OK would store,
// taken through the reminder rules. At most `count` lines such as "Пт 29/05/2026 09:31"
// (an advance notice adds " - за 3д."), or the one line "не сработает".
std::vector<std::string> PreviewFirings(const std::string& copy, const EditorValues& values,
                                        const Moment& now, int count = 5);
extern const char* const kNeverFires;  // "не сработает"
// Said under the preview when the rule as set fires once and then stops: which box makes
// it repeat ("Постоянное сообщение" for a rule by day, "ALL" in the date lists for one by
// date). Empty when it repeats, never fires, or the reminder is off.
std::string RepeatHint(const std::string& copy, const EditorValues& values, const Moment& now);
std::string FiringText(const ForecastFiring& firing);

}  // namespace vm::tasks
