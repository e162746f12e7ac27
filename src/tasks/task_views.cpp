#include "tasks/task_views.h"

#include <algorithm>
#include <cstdio>

#include "common/record_file.h"
#include "common/report.h"
#include "common/text_util.h"
#include "platform/platform.h"
#include "tasks/task_commands.h"

namespace vm::tasks {

namespace {

using F = TaskField;

std::string Field(const std::string& line, F f) { return GetTaskField(line, f); }

// A headline as one list row: its line breaks become blanks.
std::string RowText(const std::string& line) {
  std::string text = Field(line, F::Headline);
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

ViewRow RecordRow(const TaskList& records, size_t i, Colour fore, Colour back, int group = 0) {
  ViewRow row;
  row.kind = RowKind::kRecord;
  row.text = RowText(records[i]);
  row.fore = fore;
  row.back = back;
  row.record = static_cast<int>(i);
  row.group = group;
  return row;
}

ViewRow StatusRow(const TaskList& records, size_t i, Colour back = kWhite) {
  return RecordRow(records, i, StatusColour(Field(records[i], F::Status)), back);
}

ViewRow Heading(std::string text, Colour fore, Colour back, int group = 0) {
  ViewRow row;
  row.kind = RowKind::kHeading;
  row.text = std::move(text);
  row.fore = fore;
  row.back = back;
  row.group = group;
  return row;
}

// The given records (in book order), stably sorted by an order field.
std::vector<size_t> OrderedAmong(const TaskList& records, const std::vector<size_t>& members, F order) {
  std::vector<std::pair<int, size_t>> keyed;
  keyed.reserve(members.size());
  for (size_t i : members) keyed.push_back({ReadNumber(Field(records[i], order)), i});
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> out;
  out.reserve(keyed.size());
  for (const auto& k : keyed) out.push_back(k.second);
  return out;
}

// The records for which `member` holds, stably sorted by an order field.
template <typename Member>
std::vector<size_t> Ordered(const TaskList& records, Member member, std::optional<F> order) {
  std::vector<std::pair<int, size_t>> keyed;
  for (size_t i = 0; i < records.size(); ++i)
    if (member(records[i])) keyed.push_back({order ? ReadNumber(Field(records[i], *order)) : 0, i});
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<size_t> out;
  out.reserve(keyed.size());
  for (const auto& k : keyed) out.push_back(k.second);
  return out;
}

int SerialOf(const std::string& line) {
  auto d = ParseTaskDate(Field(line, F::Date));
  return d ? dates::DaySerial(*d) : 0;
}

void BuildTasks(const TaskList& records, const ViewContext& c, BuiltView& out) {
  // One pass over the book sorts the task records into their groups.
  std::vector<size_t> ofGroup[3];
  for (size_t i = 0; i < records.size(); ++i) {
    if (!TaskFlagOn(records[i], F::TaskFlag)) continue;
    const std::string group = Field(records[i], F::TaskGroup);
    // A group outside 1-3 is shown in group 1, where a move can put it right.
    ofGroup[group == "2" ? 1 : group == "3" ? 2 : 0].push_back(i);
  }
  for (int g = 1; g <= 3; ++g) {
    if (!c.groupShown[g - 1]) continue;
    Colour colour = kGroupColours[g - 1];
    out.rows.push_back(Heading(GroupHeadingText(c, g), kWhite, colour, g));
    auto members = OrderedAmong(records, ofGroup[g - 1], F::TaskOrder);
    int position = 0;
    for (size_t i : members) {
      ++position;
      if (Field(records[i], F::TaskOrder) != NumberText(position)) out.orderRewrites.push_back({i, position});
      out.rows.push_back(RecordRow(records, i, colour, kCream, g));
    }
  }
}

void BuildDeadlines(const TaskList& records, const ViewContext& c, BuiltView& out) {
  int today = dates::DaySerial(c.today);
  std::vector<std::pair<int, size_t>> keyed;
  for (size_t i = 0; i < records.size(); ++i)
    if (TaskFlagOn(records[i], F::DeadlineFlag)) keyed.push_back({SerialOf(records[i]), i});
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  static const char* const kSections[3] = {"Прошедшие", "Сегодня", "Предстоящие"};
  int lastSection = -1;
  std::string lastDate;
  for (const auto& [serial, i] : keyed) {
    int section = serial < today ? 0 : serial == today ? 1 : 2;
    if (section != lastSection) {
      out.rows.push_back(Heading(kSections[section], kWhite, kGroupColours[section], section + 1));
      lastSection = section;
      lastDate.clear();
    }
    std::string date = Field(records[i], F::Date);
    if (section != 1 && date != lastDate) {
      ViewRow row;
      row.kind = RowKind::kDate;
      row.text = date;
      row.fore = section == 0 ? Rgb(255, 0, 0) : kGroupColours[2];
      row.back = kButtonFace;
      out.rows.push_back(row);
    }
    lastDate = date;
    out.rows.push_back(StatusRow(records, i));
  }
}

void BuildWeek(const TaskList& records, const ViewContext& c, int weekOffset, BuiltView& out) {
  int monday = dates::DaySerial(c.today) - dates::Weekday(c.today.day, c.today.month, c.today.year) + 7 * weekOffset;
  dates::Date first = dates::AddDays(c.today, monday - dates::DaySerial(c.today));
  // One pass over the book finds the records of each of the seven days.
  const int firstSerial = dates::DaySerial(first);
  std::vector<size_t> ofDay[7];
  for (size_t i = 0; i < records.size(); ++i) {
    const auto date = ParseTaskDate(Field(records[i], F::Date));
    const int d = date ? dates::DaySerial(*date) - firstSerial : -1;
    if (d >= 0 && d < 7) ofDay[d].push_back(i);
  }
  for (int d = 0; d < 7; ++d) {
    dates::Date day = dates::AddDays(first, d);
    auto members = OrderedAmong(records, ofDay[d], F::DiaryOrder);
    if (members.empty()) continue;
    out.rows.push_back(Heading(DayHeading(day), kWhite, kGroupColours[2]));
    for (size_t i : members) out.rows.push_back(StatusRow(records, i));
  }
}

void AddAll(const TaskList& records, const std::vector<size_t>& members, BuiltView& out, Colour back = kWhite) {
  for (size_t i : members) out.rows.push_back(StatusRow(records, i, back));
}

}  // namespace

// ---- texts and small rules -----------------------------------------------------------------

std::optional<dates::Date> ParseTaskDate(std::string_view text) {
  int part[3] = {0, 0, 0};
  int index = 0, digits = 0;
  for (char ch : text) {
    if (ch == '/') {
      if (digits == 0 || ++index > 2) return std::nullopt;
      digits = 0;
    } else if (ch >= '0' && ch <= '9') {
      if (++digits > 4) return std::nullopt;
      part[index] = part[index] * 10 + (ch - '0');
    } else {
      return std::nullopt;
    }
  }
  if (index != 2 || digits == 0) return std::nullopt;
  dates::Date d{part[0], part[1], part[2]};
  if (!dates::IsValidDate(d)) return std::nullopt;
  return d;
}

Colour StatusColour(std::string_view status) {
  if (status == "1") return kDoneColour;
  if (status == "2") return kWorkingColour;
  if (status == "4" || status == "5" || status == "6") return kStickerColour;
  return kPlainColour;
}

const char* ViewMenuText(int view) {
  switch (view) {
    case kViewTasks: return "Задачи";
    case kViewInfo: return "Информация";
    case kViewDeadlines: return "Сроки";
    case kViewDiary: return "Ежедневник";
    case kViewAll: return "Все записи";
    case kViewSearch: return "Результат поиска";
    case kViewMisc: return "Разное";
    case kViewPreviousWeek: return "Предыдущая неделя";
    case kViewWeek: return "Неделя";
    case kViewNextWeek: return "Следующая неделя";
    case kViewActiveReminders: return "Действующие напоминания";
    case kViewMissedReminders: return "Пропущенные напоминания";
    case kViewSticker: return "Записи стикера";
    case kViewProjects: return "Проекты";
  }
  return "";
}

const char* ViewCaptionText(int view) {
  switch (view) {
    case kViewTasks: return "Задачи:";
    case kViewInfo: return "Инормация:";  // sic: the heading has always been spelled so
    case kViewDeadlines: return "Сроки:";
    case kViewDiary: return "Ежедневник:";
    case kViewAll: return "Все записи:";
    case kViewSearch: return "Поиск:";
    case kViewMisc: return "Разное:";
    // The weeks have no caption of their own; their menu texts serve.
    case kViewPreviousWeek: return "Предыдущая неделя:";
    case kViewWeek: return "Неделя:";
    case kViewNextWeek: return "Следующая неделя:";
    case kViewActiveReminders: return "Действующие напом.:";
    case kViewMissedReminders: return "Пропущенные напом.:";
    case kViewSticker: return "Записи стикера:";
    case kViewProjects: return "Проекты:";
  }
  return "";
}

std::string CountCaption(int view, int records) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %i", ViewCaptionText(view), records);
  return buf;
}

const char* EmptyViewText(int view) {
  if (view == kViewActiveReminders) return "Действующих напоминаний нет";
  if (view == kViewMissedReminders) return "Пропущенных напоминаний нет";
  return "Записей нет";
}

std::string DefaultGroupHeading(int group) {
  static const char* const kDefaults[3] = {"Срочные задачи", "Текущие задачи", "Отложенные задачи"};
  return group >= 1 && group <= 3 ? kDefaults[group - 1] : std::string();
}

std::string GroupHeadingText(const ViewContext& context, int group) {
  const std::string& h = context.groupHeading[group - 1];
  return h.empty() ? DefaultGroupHeading(group) : h;
}

std::string DayHeading(const dates::Date& date) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%i.%i.%i", date.day, date.month, date.year);
  return buf;
}

std::string DiaryHeading(const std::string& diaryDate) {
  auto d = ParseTaskDate(diaryDate);
  if (!d) return diaryDate;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%i %s %i  %s", d->day, dates::MonthGenitive(d->month), d->year,
                dates::WeekdayAbbrev(dates::Weekday(d->day, d->month, d->year)));
  return buf;
}

namespace {
struct ViewCommand {
  int view, command;
};
constexpr ViewCommand kViewCommands[] = {
    {kViewTasks, ID_VIEW_TASKS},
    {kViewInfo, ID_VIEW_INFO},
    {kViewDeadlines, ID_VIEW_DEADLINES},
    {kViewDiary, ID_VIEW_DIARY},
    {kViewAll, ID_VIEW_ALL},
    {kViewMisc, ID_VIEW_MISC},
    {kViewPreviousWeek, ID_VIEW_PREVIOUS_WEEK},
    {kViewWeek, ID_VIEW_WEEK},
    {kViewNextWeek, ID_VIEW_NEXT_WEEK},
    {kViewActiveReminders, ID_VIEW_ACTIVE_REMINDERS},
    {kViewMissedReminders, ID_VIEW_MISSED_REMINDERS},
    {kViewSticker, ID_VIEW_STICKER},
    {kViewProjects, ID_VIEW_PROJECTS},
};
}  // namespace

int ViewOfCommand(int command) {
  for (const auto& vc : kViewCommands)
    if (vc.command == command) return vc.view;
  return 0;
}

int CommandOfView(int view) {
  for (const auto& vc : kViewCommands)
    if (vc.view == view) return vc.command;
  return 0;
}

int NextTheme(int view) {
  switch (view) {
    case kViewTasks: return kViewDeadlines;
    case kViewDeadlines: return kViewProjects;
    case kViewProjects: return kViewDiary;
    case kViewDiary: return kViewInfo;
    case kViewInfo: return kViewMisc;
    default: return kViewTasks;
  }
}

std::optional<TaskField> OrderFieldOf(int view) {
  switch (view) {
    case kViewTasks: return F::TaskOrder;
    case kViewInfo: return F::InfoOrder;
    case kViewDiary: return F::DiaryOrder;
    case kViewMisc: return F::MiscOrder;
    case kViewProjects: return F::ProjectOrder;
  }
  return std::nullopt;
}

// ---- building ------------------------------------------------------------------------------

BuiltView BuildView(const TaskList& records, const ViewContext& c) {
  BuiltView out;
  auto flagged = [&](F flag) {
    return [flag](const std::string& l) { return TaskFlagOn(l, flag); };
  };
  switch (c.view) {
    case kViewTasks: BuildTasks(records, c, out); break;
    case kViewInfo:
      for (size_t i : Ordered(records, flagged(F::InfoFlag), F::InfoOrder)) {
        bool alternative = Field(records[i], F::InfoMark) == "4";
        out.rows.push_back(alternative ? RecordRow(records, i, kStickerColour, kCream)
                                       : RecordRow(records, i, kPlainColour, kWhite));
      }
      break;
    case kViewDeadlines: BuildDeadlines(records, c, out); break;
    case kViewDiary:
      out.rows.push_back(Heading(DiaryHeading(c.diaryDate), kWhite, kGroupColours[1]));
      AddAll(records,
             Ordered(records, [&](const std::string& l) { return Field(l, F::Date) == c.diaryDate; }, F::DiaryOrder),
             out);
      break;
    case kViewAll: AddAll(records, Ordered(records, [](const std::string&) { return true; }, std::nullopt), out); break;
    case kViewSearch:
      out.rows.push_back(Heading("Результат поиска", kPlainColour, kButtonFace));
      for (size_t i : c.found)
        if (i < records.size()) out.rows.push_back(StatusRow(records, i));
      break;
    case kViewMisc: AddAll(records, Ordered(records, flagged(F::MiscFlag), F::MiscOrder), out); break;
    case kViewPreviousWeek: BuildWeek(records, c, -1, out); break;
    case kViewWeek: BuildWeek(records, c, 0, out); break;
    case kViewNextWeek: BuildWeek(records, c, 1, out); break;
    case kViewActiveReminders:
      AddAll(records,
             Ordered(records, [](const std::string& l) { return Field(l, F::ReminderState) == "1"; }, std::nullopt),
             out, kCream);
      break;
    case kViewMissedReminders:
      AddAll(records,
             Ordered(records, [](const std::string& l) { return Field(l, F::ReminderState) == "-1"; }, std::nullopt),
             out, kCream);
      break;
    case kViewSticker:
      AddAll(records,
             Ordered(records, [](const std::string& l) { return HasStickerMark(Field(l, F::Status)); }, std::nullopt),
             out);
      break;
    case kViewProjects: AddAll(records, Ordered(records, flagged(F::ProjectFlag), F::ProjectOrder), out); break;
  }
  for (const ViewRow& row : out.rows)
    if (row.kind == RowKind::kRecord) ++out.records;
  if (out.records == 0) {
    // The search keeps its heading, so the user sees what was asked for.
    if (c.view != kViewSearch) out.rows.clear();
    ViewRow empty;
    empty.kind = RowKind::kEmpty;
    empty.text = EmptyViewText(c.view);
    empty.fore = kPlainColour;
    empty.back = c.view == kViewActiveReminders || c.view == kViewMissedReminders ? kCream : kWhite;
    out.rows.push_back(empty);
  }
  return out;
}

BuiltView BuildViewOf(TaskBook& book, const ViewContext& context) {
  BuiltView view = BuildView(book.records(), context);
  for (const auto& [record, order] : view.orderRewrites) book.Renumber(record, F::TaskOrder, NumberText(order));
  return view;
}

std::optional<size_t> RecordAt(const BuiltView& view, int row) {
  if (row < 0 || row >= static_cast<int>(view.rows.size())) return std::nullopt;
  const ViewRow& r = view.rows[row];
  if (r.kind != RowKind::kRecord || r.record < 0) return std::nullopt;
  return static_cast<size_t>(r.record);
}

int RowOf(const BuiltView& view, size_t record) {
  for (size_t r = 0; r < view.rows.size(); ++r)
    if (view.rows[r].kind == RowKind::kRecord && view.rows[r].record == static_cast<int>(record))
      return static_cast<int>(r);
  return -1;
}

// ---- moves -----------------------------------------------------------------------------------

std::optional<size_t> MoveRecord(TaskBook& book, const BuiltView& view, const ViewContext& context, int row, bool up) {
  auto order = OrderFieldOf(context.view);
  auto record = RecordAt(view, row);
  if (!order || !record) return std::nullopt;
  int neighbourRow = row + (up ? -1 : 1);
  if (neighbourRow < 0 || neighbourRow >= static_cast<int>(view.rows.size())) return std::nullopt;
  const ViewRow& neighbour = view.rows[neighbourRow];
  if (context.view == kViewTasks && neighbour.kind == RowKind::kHeading) {
    // Over a group heading: the record changes group, keeping its TaskOrder. Up goes to
    // the group shown above (one less when all are shown), down to the group below.
    int target = 0;
    if (up) {
      for (int r = neighbourRow - 1; r >= 0 && !target; --r)
        if (view.rows[r].kind == RowKind::kHeading) target = view.rows[r].group;
    } else {
      target = neighbour.group;
    }
    if (target < 1 || target > 3) return std::nullopt;
    book.SetField(*record, F::TaskGroup, NumberText(target));
    return record;
  }
  auto other = RecordAt(view, neighbourRow);
  if (!other) return std::nullopt;
  std::string mine = book.Field(*record, *order), theirs = book.Field(*other, *order);
  if (ReadNumber(mine) == ReadNumber(theirs)) {
    // Equal orders (records never placed, or a file edited by hand) cannot be told apart
    // by an exchange: number the view's records as they are listed first.
    int position = 0;
    for (const ViewRow& r : view.rows) {
      if (r.kind != RowKind::kRecord) continue;
      if (context.view == kViewTasks && r.group != view.rows[row].group) continue;
      book.SetField(static_cast<size_t>(r.record), *order, NumberText(++position));
    }
    mine = book.Field(*record, *order);
    theirs = book.Field(*other, *order);
  }
  book.SetField(*record, *order, theirs);
  book.SetField(*other, *order, mine);
  return record;
}

// ---- status -----------------------------------------------------------------------------------

bool HasStickerMark(std::string_view s) { return s == "4" || s == "5" || s == "6"; }
bool IsDone(std::string_view s) { return s == "1" || s == "5"; }
bool IsWorking(std::string_view s) { return s == "2" || s == "6"; }

std::optional<std::string> StatusAfter(int command, std::string_view s) {
  switch (command) {
    case ID_TASK_SET_DONE:
      if (s == "4" || s == "6") return "5";
      return "1";
    case ID_TASK_CLEAR_DONE:
      if (s == "1") return "0";
      if (s == "5") return "4";
      return std::string(s);
    case ID_TASK_SET_WORKING:
      if (s == "4" || s == "5") return "6";
      return "2";
    case ID_TASK_CLEAR_WORKING:
      if (s == "2") return "0";
      if (s == "6") return "4";
      return std::string(s);
    case ID_TASK_SET_STICKER:
      if (s == "1") return "5";
      if (s == "2") return "6";
      return "4";
    case ID_TASK_CLEAR_STICKER:
      if (s == "4") return "0";
      if (s == "5") return "1";
      if (s == "6") return "2";
      return std::string(s);
  }
  return std::nullopt;
}

// ---- new records ---------------------------------------------------------------------------

void PlaceNewRecord(TaskBook& book, std::string& line, const BuiltView& view, const ViewContext& context, int row) {
  auto order = OrderFieldOf(context.view);
  if (!order) return;
  if (context.view == kViewTasks) {
    int group = 1, position = 1;
    if (row >= 0 && row < static_cast<int>(view.rows.size()) && view.rows[row].group >= 1) {
      group = view.rows[row].group;
      if (auto r = RecordAt(view, row)) position = ReadNumber(book.Field(*r, F::TaskOrder)) + 1;
    } else {
      // No selection: at the end of group 1.
      for (const ViewRow& r : view.rows)
        if (r.kind == RowKind::kRecord && r.group == 1) ++position;
    }
    ShiftOrders(book, kViewTasks, position);
    SetTaskField(line, F::TaskGroup, NumberText(group));
    SetTaskField(line, F::TaskOrder, NumberText(position));
    return;
  }
  int last = 0;
  for (const ViewRow& r : view.rows)
    if (r.kind == RowKind::kRecord) last = std::max(last, ReadNumber(book.Field(static_cast<size_t>(r.record), *order)));
  SetTaskField(line, *order, NumberText(last + 1));
}

// ---- the context menu -----------------------------------------------------------------------

int GroupOfChoiceCommand(int command) {
  if (command >= ID_TASK_CHOOSE_GROUP1 && command <= ID_TASK_CHOOSE_GROUP3) return command - ID_TASK_CHOOSE_GROUP1 + 1;
  return 0;
}

std::vector<MenuEntry> ContextMenu(const MenuState& s) {
  std::vector<MenuEntry> menu;
  auto item = [](int id, std::string text, bool checked = false, bool enabled = true) {
    MenuEntry e;
    e.id = id;
    e.text = std::move(text);
    e.checked = checked;
    e.enabled = enabled;
    return e;
  };
  if (s.selectedStatus) {
    const std::string& st = *s.selectedStatus;
    bool done = IsDone(st), working = IsWorking(st), marked = HasStickerMark(st);
    menu.push_back(item(done ? ID_TASK_CLEAR_DONE : ID_TASK_SET_DONE, "Выполнено", done));
    menu.push_back(item(working ? ID_TASK_CLEAR_WORKING : ID_TASK_SET_WORKING, "Выполняется...", working));
    menu.push_back(MenuEntry{});
    menu.push_back(item(marked ? ID_TASK_CLEAR_STICKER : ID_TASK_SET_STICKER, "Метка стикера", marked));
  }
  if (!s.anyStickerRecord)
    menu.push_back(item(ID_TASK_NO_STICKER_RECORDS, "Нет записей для стикера", false, false));
  else
    menu.push_back(item(ID_TASK_STICKER_ON, "Включение стикера", false, !s.stickerOn));
  menu.push_back(item(ID_VIEW_STICKER, "Записи стикера", s.view == kViewSticker));
  menu.push_back(MenuEntry{});
  auto view = [&](int v) { return item(CommandOfView(v), ViewMenuText(v), s.view == v); };
  menu.push_back(view(kViewTasks));
  MenuEntry choose = item(0, "  Выбрать из");
  for (int g = 1; g <= 3; ++g) {
    if (!s.groups.offered[g - 1]) continue;
    const std::string& h = s.groups.heading[g - 1];
    choose.items.push_back(item(ID_TASK_CHOOSE_GROUP1 + g - 1, h.empty() ? DefaultGroupHeading(g) : h));
  }
  if (choose.items.empty()) choose.enabled = false;
  menu.push_back(choose);
  for (int v : {kViewDeadlines, kViewProjects, kViewDiary, kViewInfo, kViewMisc}) menu.push_back(view(v));
  menu.push_back(MenuEntry{});
  for (int v : {kViewPreviousWeek, kViewWeek, kViewNextWeek}) menu.push_back(view(v));
  menu.push_back(MenuEntry{});
  for (int v : {kViewActiveReminders, kViewMissedReminders}) menu.push_back(view(v));
  menu.push_back(MenuEntry{});
  menu.push_back(view(kViewAll));
  return menu;
}

// ---- searches ------------------------------------------------------------------------------

namespace {
bool IsWordChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0xC0 ||
         u == 0xA8 || u == 0xB8;
}
}  // namespace

bool TextMatches(std::string_view text, std::string_view what, const FindOptions& o) {
  if (what.empty()) return false;
  std::string hay = o.matchCase ? std::string(text) : FoldCase1251(text);
  std::string needle = o.matchCase ? std::string(what) : FoldCase1251(what);
  for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) {
    if (!o.wholeWord) return true;
    bool before = at > 0 && IsWordChar(hay[at - 1]);
    bool after = at + needle.size() < hay.size() && IsWordChar(hay[at + needle.size()]);
    if (!before && !after) return true;
  }
  return false;
}

bool RecordMatches(std::string_view line, std::string_view what, const FindOptions& o) {
  return TextMatches(GetTaskField(line, F::Headline), what, o) || TextMatches(GetTaskField(line, F::Notes), what, o);
}

std::vector<size_t> SearchRecords(const TaskList& records, std::string_view what, const FindOptions& o) {
  std::vector<size_t> out;
  for (size_t i = 0; i < records.size(); ++i)
    if (RecordMatches(records[i], what, o)) out.push_back(i);
  return out;
}

std::vector<size_t> RecordsByDone(const TaskList& records, bool done) {
  std::vector<size_t> out;
  for (size_t i = 0; i < records.size(); ++i)
    if (IsDone(GetTaskField(records[i], F::Status)) == done) out.push_back(i);
  return out;
}

int FindInView(const BuiltView& view, const TaskList& records, int fromRow, std::string_view what,
               const FindOptions& o) {
  int n = static_cast<int>(view.rows.size());
  if (n == 0) return -1;
  int start = fromRow < 0 ? 0 : fromRow + 1;
  for (int k = 0; k < n; ++k) {
    int r = (start + k) % n;
    auto rec = RecordAt(view, r);
    if (rec && *rec < records.size() && RecordMatches(records[*rec], what, o)) return r;
  }
  return -1;
}

// ---- reports -------------------------------------------------------------------------------

std::vector<ReportItem> ReportItems(const BuiltView& view, const TaskList& records, const ViewContext& c,
                                    bool withNotes) {
  std::vector<ReportItem> items;
  if (view.records == 0) return items;
  items.push_back({"ZAGOLOVOK", ViewMenuText(c.view), kPageBlock});
  int number = 0;
  for (const ViewRow& row : view.rows) {
    switch (row.kind) {
      case RowKind::kHeading:
        number = 0;
        if (c.view == kViewTasks)
          items.push_back({"ZAGOLOVOK", row.text, kGroupBlock});
        else
          items.push_back({"DAY", row.text, kDayBlock});
        break;
      case RowKind::kDate: items.push_back({"DAY", row.text, kDayBlock}); break;
      case RowKind::kEmpty: break;
      case RowKind::kRecord: {
        const std::string& line = records[static_cast<size_t>(row.record)];
        char buf[64];
        std::string head;
        if (c.view == kViewDeadlines || TaskFlagOn(line, F::DeadlineFlag)) {
          auto d = ParseTaskDate(GetTaskField(line, F::Date));
          if (d) {
            std::snprintf(buf, sizeof buf, "%i/%i/%i ", d->day, d->month, d->year);
            head = buf;
          }
          head += row.text;
        } else {
          std::snprintf(buf, sizeof buf, "%i -  ", ++number);
          head = buf + row.text;
        }
        items.push_back({"HEAD", head, kHeadBlock});
        if (withNotes) {
          std::string notes = GetTaskField(line, F::Notes);
          if (!notes.empty()) items.push_back({"NOTE", notes, kNoteBlock});
        }
        break;
      }
    }
  }
  return items;
}

TaskReportOutcome WriteTaskReport(const std::vector<ReportItem>& items, const std::string& programFolder,
                                  bool stickerSet) {
  TaskReportOutcome out;
  if (items.empty()) {
    out.message = kNoReportData;
    return out;
  }
  const ReportFiles& files = stickerSet ? kStickerReport : kTasksReport;
  std::string data = programFolder + files.data;
  CReportData writer;
  if (!writer.Open(data)) {
    out.message = kReportCloseError;
    return out;
  }
  for (const ReportItem& item : items) writer.WriteItem(item.key, item.value, item.block, HtmlEscape);
  if (!writer.Close()) {
    out.message = kReportWriteError;
    return out;
  }
  out.page = programFolder + files.result;
  ReportOutcome built = BuildReport(data, programFolder + files.layout, out.page);
  if (built.code != 0) {
    out.message = built.message;
    return out;
  }
  out.ok = true;
  return out;
}

// ---- current records ----------------------------------------------------------------------

bool IsCurrentRecord(std::string_view line, const dates::Date& today) {
  if (TaskFlagOn(line, F::TaskFlag) || TaskFlagOn(line, F::InfoFlag) || TaskFlagOn(line, F::MiscFlag)) return true;
  if (ReadNumber(GetTaskField(line, F::DeadlineFlag)) == 1) return true;
  if (GetTaskField(line, F::ReminderState) == "1") return true;
  auto d = ParseTaskDate(GetTaskField(line, F::Date));
  if (!d) return false;
  // From the Monday of today's week on. Weeks are told apart by their first day, not by
  // their number in the year: a week across New Year is one week, and next year's weeks
  // come after this year's.
  return dates::DaySerial(*d) >= dates::DaySerial(today) - dates::Weekday(today.day, today.month, today.year);
}

TaskList CurrentRecords(const TaskList& records, const dates::Date& today) {
  TaskList out;
  for (const std::string& line : records)
    if (IsCurrentRecord(line, today)) out.push_back(line);
  return out;
}

std::string TaskFileBytes(const TaskList& records) { return RecordFileBytes(records); }

}  // namespace vm::tasks
