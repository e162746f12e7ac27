#include "tasks/task_editor_model.h"

#include <algorithm>
#include <cstdio>

#include "common/record_file.h"
#include "common/text_util.h"
#include "common/calendar.h"

namespace vm::tasks {

const char* const kBadDateMessage = "Проверте формат записи: DD/MM/YYYY или цифры в дате";
const char* const kImportQuestion = "Текст в окне не сохранится \n\n Продолжить?";
const char* const kNoEditorMessage =
    "Не найдена программа для открытия файлов txt!, создан файл отчета \"EditRep.txt\"";
const char* const kImportFailedMessage = "Не удалось прочитать файл, текст в окне не изменён.";
const char* const kNeverFires = "не сработает";
const char* const kNeverFiresQuestion = "Напоминание не сработает ни разу. Сохранить так?";

namespace {

using F = TaskField;
using K = EditorControlKind;

const char kAll[] = "ALL";

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02i", n);
  return buf;
}

std::vector<std::string> Numbered(int first, int last, const char* format) {
  std::vector<std::string> items;
  for (int n = first; n <= last; ++n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, format, n);
    items.emplace_back(buf);
  }
  return items;
}

TaskField Offset(TaskField first, int k) {
  return static_cast<TaskField>(static_cast<int>(first) + k);
}

// The boxes of the calendar-pattern rule: quarters, months of the quarter, weeks, weekdays
// and "ALL".
bool IsCalendarBox(TaskField f) {
  int n = static_cast<int>(f);
  return n >= static_cast<int>(F::Quarter1) && n <= static_cast<int>(F::AllWeekdays);
}
bool IsWeekday(TaskField f) {
  int n = static_cast<int>(f);
  return n >= static_cast<int>(F::Monday) && n <= static_cast<int>(F::Sunday);
}

// A box "reads as 1" when its field is a number equal to 1 ("1", "01", " 1").
bool ReadsAsOne(const std::string& line, TaskField f) {
  return ReadNumber(GetTaskField(line, f)) == 1;
}

// The record OK writes, whatever the date and headline.
std::string WriteValues(const std::string& copy, const EditorValues& v, const Moment& now) {
  std::string line = copy;
  PadTaskRecord(line);
  for (const EditorControl& c : EditorControls()) {
    switch (c.kind) {
      case K::kHeadline: SetTaskField(line, c.field, v.headline); break;
      case K::kNotes: SetTaskField(line, c.field, v.notes); break;
      case K::kDate: SetTaskField(line, c.field, v.date); break;
      case K::kRemind: SetTaskField(line, c.field, v.On(c.field) ? "1" : "0"); break;
      case K::kCheck: SetTaskField(line, c.field, NumberText(v.On(c.field) ? 1 : 0)); break;
      case K::kList:
      case K::kSound: SetTaskField(line, c.field, *v.ListText(c.field)); break;
    }
  }
  SetTaskField(line, F::StartHour, NumberText(now.hour));
  SetTaskField(line, F::StartMinute, NumberText(now.minute));
  SetTaskField(line, F::LastFired, "");
  return line;
}

}  // namespace

const std::vector<EditorControl>& EditorControls() {
  static const std::vector<EditorControl> controls = {
      {F::Headline, K::kHeadline, "", false},
      {F::Notes, K::kNotes, "", false},
      {F::Date, K::kDate, "", false},
      {F::TaskFlag, K::kCheck, "Задачи", false},
      {F::InfoFlag, K::kCheck, "Информация", false},
      {F::MiscFlag, K::kCheck, "Разное", false},
      {F::DeadlineFlag, K::kCheck, "Сроки", false},
      {F::ProjectFlag, K::kCheck, "Проекты", false},
      {F::ReminderState, K::kRemind, "Напомнить", false},
      {F::ByDate, K::kCheck, "По дате:", true},
      {F::Day, K::kList, "", true},
      {F::Month, K::kList, "", true},
      {F::Year, K::kList, "", true},
      {F::ByCalendar, K::kCheck, "По дню:", true},
      {F::Quarter1, K::kCheck, "1", true},
      {F::Quarter2, K::kCheck, "2", true},
      {F::Quarter3, K::kCheck, "3", true},
      {F::Quarter4, K::kCheck, "4", true},
      {F::QuarterMonth1, K::kCheck, "1", true},
      {F::QuarterMonth2, K::kCheck, "2", true},
      {F::QuarterMonth3, K::kCheck, "3", true},
      {F::Week1, K::kCheck, "1", true},
      {F::Week2, K::kCheck, "2", true},
      {F::Week3, K::kCheck, "3", true},
      {F::Week4, K::kCheck, "4", true},
      {F::LastWeek, K::kCheck, "Посл.", true},
      {F::Monday, K::kCheck, "Пн", true},
      {F::Tuesday, K::kCheck, "Вт", true},
      {F::Wednesday, K::kCheck, "Ср", true},
      {F::Thursday, K::kCheck, "Чт", true},
      {F::Friday, K::kCheck, "Пт", true},
      {F::Saturday, K::kCheck, "Сб", true},
      {F::Sunday, K::kCheck, "Вс", true},
      {F::AllWeekdays, K::kCheck, "ALL", true},
      {F::WithTime, K::kCheck, "И время:", true},
      {F::Periodic, K::kCheck, "Каждые...", true},
      {F::Hour, K::kList, "", true},
      {F::Minute, K::kList, "", true},
      {F::WeekAhead, K::kCheck, "Напоминать за 7 дней", true},
      {F::SoundFile, K::kSound, "", true},
      {F::Permanent, K::kCheck, "Постоянное сообщение", true},
      {F::PcBeep, K::kCheck, "Звук PC", true},
  };
  return controls;
}

const EditorControl* FindEditorControl(TaskField field) {
  for (const EditorControl& c : EditorControls())
    if (c.field == field) return &c;
  return nullptr;
}

std::vector<std::string> DayItems() {
  std::vector<std::string> items = Numbered(1, 31, "%02i");
  items.emplace_back(kAll);
  return items;
}

std::vector<std::string> MonthItems() {
  std::vector<std::string> items = Numbered(1, 12, "%02i");
  items.emplace_back(kAll);
  return items;
}

std::vector<std::string> YearItems() {
  std::vector<std::string> items = Numbered(2000, 2050, "%i");
  items.emplace_back(kAll);
  return items;
}

std::vector<std::string> HourItems() {
  std::vector<std::string> items = Numbered(0, 24, "%02i");
  for (std::string& from : Numbered(0, 23, ">%02i")) items.push_back(std::move(from));
  items.emplace_back(kAll);
  return items;
}

std::vector<std::string> MinuteItems() {
  return Numbered(0, 59, "%02i");
}

std::string* EditorValues::ListText(TaskField f) {
  return const_cast<std::string*>(static_cast<const EditorValues*>(this)->ListText(f));
}

const std::string* EditorValues::ListText(TaskField f) const {
  switch (f) {
    case F::Day: return &day;
    case F::Month: return &month;
    case F::Year: return &year;
    case F::Hour: return &hour;
    case F::Minute: return &minute;
    case F::SoundFile: return &soundFile;
    default: return nullptr;
  }
}

std::string OpenRecord(const std::string& line, const std::string& today) {
  std::string copy = line.empty() ? NewRecord(0, today) : line;
  PadTaskRecord(copy);
  SetTaskField(copy, F::EditDate, GetTaskField(copy, F::Date));
  return copy;
}

EditorValues OpenValues(const std::string& line, const Moment& now, const std::string& lastWave) {
  EditorValues v;
  v.headline = GetTaskField(line, F::Headline);
  v.notes = GetTaskField(line, F::Notes);
  v.date = GetTaskField(line, F::Date);
  for (TaskField f : {F::TaskFlag, F::InfoFlag, F::MiscFlag, F::DeadlineFlag, F::ProjectFlag})
    v.Set(f, ReadsAsOne(line, f));
  const std::string state = GetTaskField(line, F::ReminderState);
  v.Set(F::ReminderState, state == "1");
  if (state == "1" || state == "-1") {
    for (const EditorControl& c : EditorControls()) {
      if (!c.panel) continue;
      if (c.kind == K::kCheck) v.Set(c.field, ReadsAsOne(line, c.field));
      if (std::string* text = v.ListText(c.field)) *text = GetTaskField(line, c.field);
    }
    return v;
  }
  v.hour = TwoDigits(now.hour);
  v.minute = TwoDigits(now.minute);
  FillEmptyDate(v, now);
  v.Set(F::ByDate, true);
  v.Set(F::WithTime, true);
  if (IsValidMoment(now)) v.Set(Offset(F::Monday, dates::Weekday(now.day, now.month, now.year)), true);
  v.soundFile = lastWave;
  v.Set(F::PcBeep, lastWave.empty());
  return v;
}

void FillEmptyDate(EditorValues& v, const Moment& now) {
  if (v.day.empty()) v.day = TwoDigits(now.day);
  if (v.month.empty()) v.month = TwoDigits(now.month);
  if (v.year.empty()) v.year = NumberText(now.year);
}

void ApplyClick(EditorValues& v, TaskField clicked) {
  if (clicked == F::ByDate && v.On(F::ByDate)) v.Set(F::ByCalendar, false);
  if (clicked == F::ByCalendar && v.On(F::ByCalendar)) v.Set(F::ByDate, false);
  if (clicked == F::AllWeekdays && v.On(F::AllWeekdays))
    for (int k = 0; k < 7; ++k) v.Set(Offset(F::Monday, k), true);
  if (IsWeekday(clicked)) v.Set(F::AllWeekdays, false);
}

bool ClickOpensPanel(const EditorValues& v, TaskField clicked, bool panelOpen) {
  return !panelOpen && clicked == F::ReminderState && v.On(F::ReminderState);
}

std::array<bool, kTaskFieldCount> PanelEnabled(const EditorValues& v) {
  std::array<bool, kTaskFieldCount> on{};
  auto set = [&](TaskField f, bool enabled) { on[static_cast<size_t>(f)] = enabled; };
  const bool periodic = v.On(F::Periodic);
  const bool byDate = v.On(F::ByDate), byCalendar = v.On(F::ByCalendar);
  // The interval of "Каждые..." shuts out every rule but the sound.
  set(F::ByDate, !periodic && !byCalendar);
  set(F::ByCalendar, !periodic && !byDate);
  for (TaskField f : {F::Day, F::Month, F::Year}) set(f, !periodic && byDate);
  for (int n = static_cast<int>(F::Quarter1); n <= static_cast<int>(F::AllWeekdays); ++n)
    if (IsCalendarBox(static_cast<TaskField>(n))) set(static_cast<TaskField>(n), !periodic && byCalendar);
  set(F::WithTime, !periodic);
  set(F::Periodic, !v.On(F::WithTime) || periodic);
  set(F::Hour, periodic || v.On(F::WithTime));
  set(F::Minute, periodic || v.On(F::WithTime));
  set(F::Permanent, !periodic);
  set(F::WeekAhead, !periodic);
  set(F::PcBeep, true);
  set(F::SoundFile, true);
  return on;
}

namespace {

// The year of a date in the editor's form; 0 for a text not of that form.
int EditorDateYear(std::string_view t) {
  if (t.size() != 10 || t[2] != '/' || t[5] != '/') return 0;
  for (size_t i = 0; i < t.size(); ++i)
    if (i != 2 && i != 5 && (t[i] < '0' || t[i] > '9')) return 0;
  return ReadNumber(t.substr(6));
}

}  // namespace

bool IsValidEditorDate(std::string_view t) {
  int year = EditorDateYear(t);
  if (!dates::InCalendarRange(year)) return false;
  int day = (t[0] - '0') * 10 + (t[1] - '0');
  int month = (t[3] - '0') * 10 + (t[4] - '0');
  // A zero day has no date; the picker never gives one, but a record may hold it.
  return month >= 1 && month <= 12 && day >= 1 && day <= dates::DaysInMonth(month, year);
}

std::string BadDateMessage(std::string_view text) {
  int year = EditorDateYear(text);
  return year != 0 && !dates::InCalendarRange(year) ? dates::YearRangeMessage(year) : kBadDateMessage;
}

namespace {

// "ALL", or one or two digits (four for a year) reading as a number from `low` to `high`.
bool ListNumberFits(std::string_view text, int low, int high, size_t maxDigits, bool all) {
  if (all && text == kAll) return true;
  if (text.empty() || text.size() > maxDigits) return false;
  for (char ch : text)
    if (ch < '0' || ch > '9') return false;
  int n = ReadNumber(text);
  return n >= low && n <= high;
}

struct ListRule {
  TaskField field;
  const char* name;     // the box, as the message names it
  const char* allowed;  // what it takes
};
const ListRule kListRules[] = {
    {F::Day, "День", "01–31 или ALL"},     {F::Month, "Месяц", "01–12 или ALL"},
    {F::Year, "Год", "1901–2099 или ALL"}, {F::Hour, "Час", "00–24, >00–>23 или ALL"},
    {F::Minute, "Минуты", "00–59"},
};

bool ListFits(TaskField f, std::string_view text) {
  switch (f) {
    case F::Day: return ListNumberFits(text, 1, 31, 2, true);
    case F::Month: return ListNumberFits(text, 1, 12, 2, true);
    case F::Year: return ListNumberFits(text, dates::kFirstCalendarYear, dates::kLastCalendarYear, 4, true);
    case F::Hour:
      if (!text.empty() && text[0] == '>') return ListNumberFits(text.substr(1), 0, 23, 2, false);
      return ListNumberFits(text, 0, 24, 2, true);
    case F::Minute: return ListNumberFits(text, 0, 59, 2, false);
    default: return true;
  }
}

}  // namespace

std::string BadListMessage(const EditorValues& values) {
  if (!values.On(F::ReminderState)) return {};
  const std::array<bool, kTaskFieldCount> enabled = PanelEnabled(values);
  for (const ListRule& rule : kListRules) {
    if (!enabled[static_cast<size_t>(rule.field)] || ListFits(rule.field, *values.ListText(rule.field)))
      continue;
    return std::string("Поле \"") + rule.name + "\" напоминания: допустимо " + rule.allowed + ".";
  }
  return {};
}

StoreOutcome StoreValues(const std::string& copy, const EditorValues& values, const Moment& now) {
  if (!IsValidEditorDate(values.date)) return {StoreStatus::kBadDate, copy};
  if (values.headline.empty()) return {StoreStatus::kNoHeadline, copy};
  if (std::string message = BadListMessage(values); !message.empty())
    return {StoreStatus::kBadList, copy, message};
  StoreOutcome out{StoreStatus::kStored, WriteValues(copy, values, now)};
  out.neverFires = values.On(F::ReminderState) && PreviewFirings(copy, values, now, 1).front() == kNeverFires;
  return out;
}

EditorRect LoadEditorRect(const CAppUtil& app, int originLeft, int originTop) {
  const char* keys[] = {"LEFT", "TOP", "RIGHT", "BOTTOM"};
  int n[4] = {};
  bool complete = true;
  for (int k = 0; k < 4; ++k) {
    std::string text = app.GetSetting("EDITPLACEMENT", keys[k]);
    complete = complete && !text.empty();
    n[k] = ReadNumber(text);
  }
  // A rectangle turned inside out (a hand-edited file) would make a window nobody can see.
  if (complete && n[2] > n[0] && n[3] > n[1]) return {n[0], n[1], n[2], n[3]};
  return {originLeft, originTop, originLeft + kDefaultEditorWidth, originTop + kDefaultEditorHeight};
}

void SaveEditorRect(const CAppUtil& app, const EditorRect& rect, bool panelOpen) {
  app.PutNumber("EDITPLACEMENT", "TOP", rect.top);
  app.PutNumber("EDITPLACEMENT", "LEFT", rect.left);
  app.PutNumber("EDITPLACEMENT", "RIGHT", rect.right);
  app.PutNumber("EDITPLACEMENT", "BOTTOM", panelOpen ? rect.bottom - kPanelHeight : rect.bottom);
}

std::string LinkText(const std::string& path) {
  if (path.find(":\\") == std::string::npos && path.find("\\\\") == std::string::npos) return path;
  std::string link = "file:///";
  for (char ch : path) {
    if (ch == ' ')
      link += "%20";
    else
      link += ch == '\\' ? '/' : ch;
  }
  return link;
}

size_t FindInNotes(const std::string& notes, const std::string& what, size_t from, bool down,
                   bool matchCase) {
  if (what.empty() || what.size() > notes.size()) return std::string::npos;
  const std::string text = matchCase ? notes : FoldCase1251(notes);
  const std::string key = matchCase ? what : FoldCase1251(what);
  if (down) return text.find(key, std::min(from, text.size()));
  if (from == 0) return std::string::npos;
  return text.rfind(key, from - 1);
}

std::string ExternalEditorText(const std::string& headline, const std::string& notes) {
  return headline + "\n\n" + notes;
}

std::string NotesFromFile(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += '\r';
    text += bytes[i];
  }
  return text;
}

std::string PanelPaneText(bool panelOpen) {
  return panelOpen ? "Установки напоминания закрыть" : "Установки напоминания открыть";
}

std::string LayoutPaneText(const std::string& layoutName) {
  bool russian = layoutName.size() >= 3 && layoutName.compare(layoutName.size() - 3, 3, "419") == 0;
  return russian ? "RUS" : "EN-US";
}

std::string FiringText(const ForecastFiring& f) {
  const Moment& m = f.at;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s %02i/%02i/%04i %02i:%02i",
                dates::WeekdayAbbrev(dates::Weekday(m.day, m.month, m.year)), m.day, m.month, m.year, m.hour,
                m.minute);
  std::string text = buf;
  if (f.daysAhead > 0) text += " - за " + NumberText(f.daysAhead) + "д.";
  return text;
}

std::vector<std::string> PreviewFirings(const std::string& copy, const EditorValues& values,
                                        const Moment& now, int count) {
  std::string line = WriteValues(copy, values, now);
  // Far enough for every year the year list offers.
  Moment until{now.year + 60, 12, 31, 23, 59};
  std::vector<std::string> lines;
  for (const ForecastFiring& f : ForecastFirings(line, now, count, until)) lines.push_back(FiringText(f));
  if (lines.empty()) lines.emplace_back(kNeverFires);
  return lines;
}

std::string RepeatHint(const std::string& copy, const EditorValues& values, const Moment& now) {
  if (!values.On(F::ReminderState) || values.On(F::Periodic)) return {};
  const std::string line = WriteValues(copy, values, now);
  // Advance notices come before the one firing that is due; a full list means more.
  constexpr int kLook = 10;
  const std::vector<ForecastFiring> firings =
      ForecastFirings(line, now, kLook, Moment{now.year + 60, 12, 31, 23, 59});
  const auto due =
      std::count_if(firings.begin(), firings.end(), [](const ForecastFiring& f) { return f.daysAhead == 0; });
  if (due != 1 || firings.size() >= static_cast<size_t>(kLook)) return {};
  if (values.On(F::ByCalendar))
    return "Сработает один раз и выключится. Чтобы повторялось, отметьте «Постоянное сообщение».";
  return "Сработает один раз. Чтобы повторялось, выберите ALL в поле дня, месяца или года.";
}

}  // namespace vm::tasks
