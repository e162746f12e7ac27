#include "tasks/task_file.h"

#include "common/backup.h"
#include "common/record_file.h"
#include "common/settings.h"
#include "platform/platform.h"

namespace vm::tasks {

namespace {
const char kWork[] = "WORK";
const char kFileNameKey[] = "FILENAME";
const char* const kGroupKeys[3] = {"EXECUTE1", "EXECUTE2", "EXECUTE3"};
const char* const kGroupFlagKeys[3] = {"EXECUTE1CH", "EXECUTE2CH", "EXECUTE3CH"};

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ContainsNoCase(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return false;
  for (size_t i = 0; i + needle.size() <= text.size(); ++i)
    if (EqualsNoCase1251(text.substr(i, needle.size()), needle)) return true;
  return false;
}
}  // namespace

const char* const kTaskSeparatorMessage = "В строке должен быть 51 разделитель '|'.\n";
const char* const kNoFileMessage = "Отсутствует выбранный файл";
const char* const kNoHeadlineMessage = "Запись не сохранена, отсутствует заголовок!";
const char* const kOpenFilter = "Файлы dbw (*.dbw)|*.dbw|";
const char* const kDefaultExtension = "dbw";

// ---- TaskBook ---------------------------------------------------------------------------

std::string TaskBook::Field(size_t index, TaskField field) const {
  return index < records_.size() ? GetTaskField(records_[index], field) : std::string();
}

void TaskBook::SetRecord(size_t index, std::string line) {
  if (index >= records_.size()) return;
  PadTaskRecord(line);
  records_[index] = std::move(line);
  MarkChanged();
}

void TaskBook::SetField(size_t index, TaskField field, std::string_view value) {
  if (index >= records_.size()) return;
  SetTaskField(records_[index], field, value);
  MarkChanged();
}

void TaskBook::Renumber(size_t index, TaskField field, std::string_view value) {
  if (index >= records_.size()) return;
  SetTaskField(records_[index], field, value);
  ++revision_;
}

bool TaskBook::Append(std::string line) {
  if (!loaded()) return false;
  PadTaskRecord(line);
  records_.push_back(std::move(line));
  MarkChanged();
  return true;
}

void TaskBook::Remove(size_t index) {
  if (index >= records_.size()) return;
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  MarkChanged();
}

void TaskBook::MarkChanged() {
  if (state_ != 0) state_ = kStateChanged;
  ++revision_;
}

// ---- load and save ----------------------------------------------------------------------

LoadOutcome LoadTaskFile(TaskBook& book, const std::string& path, const dates::Date& today) {
  LoadOutcome outcome;
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    outcome.opened = false;
    outcome.error = "Не удалось открыть файл " + path + ".";
    return outcome;
  }
  backup::AfterRead(path, bytes);
  TaskList records;
  std::vector<std::string> rejectedLines;
  std::string rejected;
  std::string message;
  for (std::string& line : SplitTextLines(bytes)) {
    if (line.find("<Records") != std::string::npos) {
      outcome.oldFormat = true;
      message = OldFormatMessage(path);
      break;
    }
    if (line.find('|') == std::string::npos) continue;
    int count = CountSeparators(line);
    if (count == 51 || count >= 53) {
      if (count == 51) line += "||";
      records.push_back(UndoLineEscapes(line));
      continue;
    }
    rejectedLines.push_back(line);
    if (count == 49 || count == 50) {
      // Shown padded to 51, the count this book's file names, so it can be mended there.
      line += count == 49 ? "||" : "|";
      count = 51;
    }
    rejected.append(line).append("\n").append(NumberText(count)).append("\n");
  }
  outcome.rejected = static_cast<int>(rejectedLines.size());

  book.records_ = std::move(records);
  book.carried_.clear();
  book.path_ = outcome.oldFormat ? std::string() : path;
  book.todayText_ = TodayText(today);
  book.state_ = outcome.rejected > 0 ? kStateChanged : kStateLoaded;
  if (outcome.rejected > 0) {
    std::string side = SideFilePath(path);
    if (std::optional<std::string> told = AddToSideFile(path, kTaskSeparatorMessage, rejected)) {
      message = *told;
    } else {
      // Without the side file the rejected lines exist only in the book file: keep them
      // for the next save instead of letting it drop them.
      book.carried_ = std::move(rejectedLines);
      book.state_ = kStateLoaded;
      message = SideFileFailedMessage(side, outcome.rejected);
    }
  }
  book.loadMessage_ = message;
  ++book.revision_;
  return outcome;
}

SaveOutcome WriteTaskFile(TaskBook& book) {
  if (book.path_.empty()) return {TaskSaveStatus::kNoFile, kNoFileMessage};
  std::string bytes = RecordFileBytes(book.records_);
  for (const std::string& line : book.carried_) bytes += line + "\r\n";
  if (!backup::SaveBook(book.path_, bytes)) {
    return {TaskSaveStatus::kFailed, "Не удалось сохранить файл " + book.path_ +
                                         ".\nПрежний файл не изменён; сохранение будет повторено при следующей "
                                         "возможности."};
  }
  book.state_ = kStateLoaded;
  return {TaskSaveStatus::kSaved, {}};
}

SaveOutcome SaveTaskFile(TaskBook& book, const CAppUtil& app) {
  if (book.state() != kStateChanged) return {};
  if (book.path().empty()) return {TaskSaveStatus::kNoFile, kNoFileMessage};
  app.PutSetting(kWork, kFileNameKey, book.path());
  return WriteTaskFile(book);
}

SaveOutcome AutoSaveTaskFile(TaskBook& book, const CAppUtil& app) {
  if (book.state() != kStateChanged || book.path().empty() || !app.GetFlag("GENERAL", "AUTOSAVE")) return {};
  return SaveTaskFile(book, app);
}

// ---- records ----------------------------------------------------------------------------

AddStatus AddNewRecord(TaskBook& book, std::string line) {
  if (!book.loaded()) return AddStatus::kNoBook;
  if (GetTaskField(line, TaskField::Headline).empty()) return AddStatus::kNoHeadline;
  book.Append(std::move(line));
  return AddStatus::kAdded;
}

void ShiftOrders(TaskBook& book, int view, int start, const std::string& diaryDate) {
  TaskField order;
  switch (view) {
    case kViewTasks: order = TaskField::TaskOrder; break;
    case kViewInfo: order = TaskField::InfoOrder; break;
    case kViewDiary: order = TaskField::DiaryOrder; break;
    case kViewMisc: order = TaskField::MiscOrder; break;
    default: return;
  }
  for (size_t i = 0; i < book.size(); ++i) {
    const std::string& line = book.record(i);
    bool member = false;
    switch (view) {
      case kViewTasks: member = TaskFlagOn(line, TaskField::TaskFlag); break;
      case kViewInfo: member = TaskFlagOn(line, TaskField::InfoFlag); break;
      case kViewDiary: member = GetTaskField(line, TaskField::Date) == diaryDate; break;
      case kViewMisc: member = !GetTaskField(line, TaskField::MiscOrder).empty(); break;
    }
    if (!member) continue;
    int n = ReadNumber(GetTaskField(line, order));
    if (n >= start) book.SetField(i, order, NumberText(n + 1));
  }
}

// ---- file commands ----------------------------------------------------------------------

std::string PersonalFolder(const CAppUtil& app) { return app.ProgramFolder() + "Personal"; }

std::string WithTaskExtension(const std::string& typed) {
  return ContainsNoCase(FileNamePart(typed), ".dbw") ? typed : typed + ".dbw";
}

std::string ReplaceQuestion(const std::string& path) { return path + " уже существует. \n Заменить?"; }

FileCommandOutcome CreateNewTaskFile(TaskBook& book, const CAppUtil& app, const std::string& typedPath,
                                     const ConfirmReplace& confirm, const dates::Date& today) {
  FileCommandOutcome outcome;
  if (typedPath.empty()) return outcome;
  std::string path = WithTaskExtension(typedPath);
  if (platform::FileExists(path) && !(confirm && confirm(ReplaceQuestion(path)))) return outcome;
  if (!backup::SaveBook(path, "")) {
    outcome.status = FileCommandStatus::kFailed;
    outcome.error = "Не удалось создать файл " + path + ".";
    return outcome;
  }
  app.PutSetting(kWork, kFileNameKey, path);
  outcome.load = LoadTaskFile(book, path, today);
  outcome.status = outcome.load.opened ? FileCommandStatus::kDone : FileCommandStatus::kFailed;
  outcome.error = outcome.load.error;
  return outcome;
}

FileCommandOutcome OpenTaskFile(TaskBook& book, const CAppUtil& app, const std::string& path,
                                const dates::Date& today) {
  FileCommandOutcome outcome;
  if (path.empty()) return outcome;
  outcome.load = LoadTaskFile(book, path, today);
  if (!outcome.load.opened) {
    outcome.status = FileCommandStatus::kFailed;
    outcome.error = outcome.load.error;
    return outcome;
  }
  app.PutSetting(kWork, kFileNameKey, path);
  outcome.status = FileCommandStatus::kDone;
  return outcome;
}

StartupOutcome LoadTaskFileAtStartup(TaskBook& book, const CAppUtil& app, const dates::Date& today) {
  StartupOutcome outcome;
  if (app.GetSetting("GENERAL", "LAST") == "0") {
    app.PutSetting(kWork, kFileNameKey, "");
    return outcome;
  }
  std::string stored = app.GetSetting(kWork, kFileNameKey);
  std::string path;
  if (!stored.empty() && platform::FileExists(stored)) {
    path = stored;
  } else {
    std::string name = FileNamePart(stored);
    std::string personal = PersonalFolder(app) + "\\" + name;
    if (!name.empty() && platform::FileExists(personal)) {
      path = personal;
      app.PutSetting(kWork, kFileNameKey, path);
    } else {
      app.PutSetting(kWork, kFileNameKey, "");
      return outcome;
    }
  }
  outcome.attempted = true;
  outcome.load = LoadTaskFile(book, path, today);
  return outcome;
}

// ---- "WORK" settings ----------------------------------------------------------------------

int ReadCurrentView(const CAppUtil& app) {
  int view = app.GetNumber(kWork, "CHECK");
  return IsTaskView(view) ? view : kViewTasks;
}

void WriteCurrentView(const CAppUtil& app, int view) { app.PutNumber(kWork, "CHECK", view); }

TaskGroupSettings ReadTaskGroups(const CAppUtil& app) {
  TaskGroupSettings groups;
  for (int i = 0; i < 3; ++i) {
    groups.heading[i] = app.GetSetting(kWork, kGroupKeys[i]);
    if (groups.heading[i].empty()) app.PutSetting(kWork, kGroupKeys[i], "");
    std::string flag = app.GetSetting(kWork, kGroupFlagKeys[i]);
    if (flag.empty()) app.PutSetting(kWork, kGroupFlagKeys[i], "1");
    groups.offered[i] = flag.empty() || flag == "1";
  }
  return groups;
}

void WriteTaskGroups(const CAppUtil& app, const TaskGroupSettings& groups) {
  for (int i = 0; i < 3; ++i) {
    app.PutSetting(kWork, kGroupKeys[i], groups.heading[i]);
    app.PutSetting(kWork, kGroupFlagKeys[i], groups.offered[i] ? "1" : "0");
  }
}

bool StickerSwitchedOn(const CAppUtil& app) { return app.GetNumber(kWork, "ALARMLIST") != 0; }

}  // namespace vm::tasks
