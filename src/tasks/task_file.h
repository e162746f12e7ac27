// The task book and its ".dbw" file: loading with the tasks book's own separator rule,
// saving through the safe replace, the "Новый файл" / "Открыть файл" / start-up logic,
// and the "WORK" settings that belong to the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/calendar.h"
#include "common/app_util.h"
#include "tasks/task_record.h"

namespace vm::tasks {

class TaskBook;
struct LoadOutcome;
struct SaveOutcome;
LoadOutcome LoadTaskFile(TaskBook& book, const std::string& path, const dates::Date& today);
SaveOutcome WriteTaskFile(TaskBook& book);
struct PassResult;
struct Moment;
PassResult RunReminderPass(TaskBook& book, const Moment* previousPass, const Moment& now);

// The in-memory book. Every change goes through the members below, so the book knows
// its state and can tell the reminder scheduler that it changed (revision()).
class TaskBook {
 public:
  const TaskList& records() const { return records_; }
  size_t size() const { return records_.size(); }
  const std::string& record(size_t index) const { return records_[index]; }
  std::string Field(size_t index, TaskField field) const;

  // BookState: 0 no book loaded, 1 loaded and unchanged, 2 changed and to be saved.
  int state() const { return state_; }
  bool loaded() const { return state_ != 0; }
  // The current file; empty when none is chosen or an old-format file stopped the load.
  const std::string& path() const { return path_; }
  // The text of the last load problem; command 33107 is enabled exactly when it is set.
  const std::string& loadMessage() const { return loadMessage_; }
  // "DD/MM/YYYY", the date of new records: set by the load, kept current by the passes.
  const std::string& todayText() const { return todayText_; }
  // Grows on every change of the records, whoever made it.
  uint64_t revision() const { return revision_; }

  // Edits by the page and the editor: each marks the book changed. Lines shorter than a
  // full record are padded so every field can be written. Indexes out of range are
  // ignored.
  void SetRecord(size_t index, std::string line);
  void SetField(size_t index, TaskField field, std::string_view value);
  // Refused (false) while no book is loaded.
  bool Append(std::string line);
  void Remove(size_t index);
  void MarkChanged();
  // The running order numbers a view writes while it is built ("Задачи"): the records
  // change, the book's state does not, so looking at a book never makes it "changed";
  // the numbers are saved with the next real edit.
  void Renumber(size_t index, TaskField field, std::string_view value);

 private:
  friend LoadOutcome LoadTaskFile(TaskBook&, const std::string&, const dates::Date&);
  friend SaveOutcome WriteTaskFile(TaskBook&);
  friend PassResult RunReminderPass(TaskBook&, const Moment*, const Moment&);

  TaskList records_;
  // Rejected lines whose side file could not be written: they are written back to the
  // book file after the records, so a save never drops lines kept nowhere else.
  std::vector<std::string> carried_;
  int state_ = 0;
  std::string path_;
  std::string loadMessage_;
  std::string todayText_;
  uint64_t revision_ = 0;
};

// ---- load and save ----------------------------------------------------------------------

// The separator message of the task book's side file (it still speaks of 51).
extern const char* const kTaskSeparatorMessage;

struct LoadOutcome {
  bool opened = true;
  std::string error;    // for the user when the file could not be read; the book is then untouched
  int rejected = 0;     // lines sent to the side file
  bool oldFormat = false;
};

// Replaces the book by the file's records: lines of 51 separators get two empty fields
// and load, 53 and more load unchanged; 49 and 50 are padded to 51 and go to the side
// file with the count 51; 52 and fewer than 49 go there with their own count. A line
// holding "<Records" stops the load and empties the current path. today gives TodayText.
LoadOutcome LoadTaskFile(TaskBook& book, const std::string& path, const dates::Date& today);

enum class TaskSaveStatus { kUnchanged, kSaved, kFailed, kNoFile };
struct SaveOutcome {
  TaskSaveStatus status = TaskSaveStatus::kUnchanged;
  std::string error;  // for the user on kFailed and kNoFile
};

extern const char* const kNoFileMessage;  // "Отсутствует выбранный файл"

// The save command: only in state 2; writes "WORK"/"FILENAME", then the file through the
// safe replace. A failed write keeps the old file and the state 2.
SaveOutcome SaveTaskFile(TaskBook& book, const CAppUtil& app);
// Writes the records to the current path whatever the state, without settings.
SaveOutcome WriteTaskFile(TaskBook& book);
// The save of SaveAll, of exit and of "before another file replaces this one": only
// when "GENERAL"/"AUTOSAVE" is "1". A book without a file is skipped silently.
SaveOutcome AutoSaveTaskFile(TaskBook& book, const CAppUtil& app);

// ---- records --------------------------------------------------------------------------

enum class AddStatus { kAdded, kNoBook, kNoHeadline };
extern const char* const kNoHeadlineMessage;  // "Запись не сохранена, отсутствует заголовок!"
// Stores a record the editor returned for a new entry.
AddStatus AddNewRecord(TaskBook& book, std::string line);

// Before a record is inserted at position start of a view, every order number >= start
// in that view's order field is raised by 1. diaryDate selects the diary's records.
void ShiftOrders(TaskBook& book, int view, int start, const std::string& diaryDate = {});

// ---- file commands ----------------------------------------------------------------------

extern const char* const kOpenFilter;        // "Файлы dbw (*.dbw)|*.dbw|"
extern const char* const kDefaultExtension;  // "dbw"
// The folder the open dialog starts in: "Personal" beside the program.
std::string PersonalFolder(const CAppUtil& app);
// ".dbw" is added to a typed name that lacks it.
std::string WithTaskExtension(const std::string& typed);
// " уже существует. \n Заменить?" after the file name.
std::string ReplaceQuestion(const std::string& path);

enum class FileCommandStatus { kDone, kCancelled, kFailed };
struct FileCommandOutcome {
  FileCommandStatus status = FileCommandStatus::kCancelled;
  std::string error;  // for the user on kFailed
  LoadOutcome load;
};

// Asked with Yes/No and a warning icon; true = Yes.
using ConfirmReplace = std::function<bool(const std::string& question)>;

// "Новый файл", after the page saved (AutoSaveTaskFile) and the new-file dialog gave a
// name: adds the extension, asks before replacing an existing file, writes an empty
// file, makes it "WORK"/"FILENAME" and loads it. The book is untouched unless kDone.
FileCommandOutcome CreateNewTaskFile(TaskBook& book, const CAppUtil& app, const std::string& typedPath,
                                     const ConfirmReplace& confirm, const dates::Date& today);
// "Открыть файл", after the save and the open dialog: loads the file and makes it
// "WORK"/"FILENAME". A file that cannot be read leaves the book as it was.
FileCommandOutcome OpenTaskFile(TaskBook& book, const CAppUtil& app, const std::string& path,
                                const dates::Date& today);

struct StartupOutcome {
  bool attempted = false;  // a file was found and a load tried
  LoadOutcome load;
};
// The start-up rule: with "GENERAL"/"LAST" not "0", "WORK"/"FILENAME" if it exists, else
// the file of the same name in "Personal" (written back to "FILENAME"), else no file and
// "FILENAME" empty; with "LAST" "0", no file and "FILENAME" empty.
StartupOutcome LoadTaskFileAtStartup(TaskBook& book, const CAppUtil& app, const dates::Date& today);

// ---- "WORK" settings ----------------------------------------------------------------------

// "CHECK": the current view; a value outside 1..14 reads as 1.
int ReadCurrentView(const CAppUtil& app);
void WriteCurrentView(const CAppUtil& app, int view);

struct TaskGroupSettings {
  std::string heading[3];  // "EXECUTE1".."EXECUTE3"
  bool offered[3] = {true, true, true};  // "EXECUTE1CH".."EXECUTE3CH" are "1"
};
// Reads the group keys: a missing heading is written back empty, a missing menu flag
// written back as "1".
TaskGroupSettings ReadTaskGroups(const CAppUtil& app);
void WriteTaskGroups(const CAppUtil& app, const TaskGroupSettings& groups);

bool StickerSwitchedOn(const CAppUtil& app);  // "ALARMLIST" non-zero

}  // namespace vm::tasks
