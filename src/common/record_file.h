// Delimited record files: one record a line, fields separated by "|", line breaks
// inside a record stored as "ERN:" (CR LF) and "EOR:" (a lone CR). Shared by the
// contacts, firms, tasks and data books.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vm {

// Every "|" counts, also one after "#".
int CountSeparators(std::string_view line);
// The separators of the field rule: a "|" not after "#" (a "|" at the very start always
// counts). The first one at or after `from`, npos when there is none; and their number.
size_t FindFieldSeparator(std::string_view line, size_t from);
int CountFieldSeparators(std::string_view line);
// Where field n begins (just after the nth separator; npos when the line has fewer) and
// where the field that begins at `begin` ends (its separator or the end of the line).
size_t FieldBegin(std::string_view line, int n);
size_t FieldEnd(std::string_view line, size_t begin);
// Whether the text holds any of the characters: one fast search per character instead
// of a test of the whole set at every byte.
inline bool HoldsAnyOf(std::string_view text, std::string_view chars) {
  for (char c : chars)
    if (text.find(c) != std::string_view::npos) return true;
  return false;
}
// Field n of a line: a "|" after "#" does not end a field and every "#" is dropped.
// False (and empty text) when the line has fewer than n separators or is empty.
bool GetField(std::string_view line, int n, std::string& value);
// Appends a field as it stands in a line ("#" included) as GetField reads it: every
// "#" dropped, the runs between them appended whole.
void AppendFieldValue(std::string& out, std::string_view raw);
std::string GetField(std::string_view line, int n);  // empty when missing
// The record with field n replaced; unchanged when it has fewer than n separators.
std::string SetField(std::string_view record, int n, std::string_view value);
// What a value becomes inside a record line, the one rule of every book that writes
// fields: it reads back as given and never moves a separator. A "#" could never be
// read back (the field rule drops it) and one last would escape the separator after it,
// merging two fields; a "|" would split the field; a lone LF would split the record
// when the file is read again; a typed "ERN:" or "EOR:" would be read as a line break.
// So "#" is dropped, "|" is written as "#|" (read back as "|"), a lone LF becomes CR LF,
// and "ERN:" / "EOR:" are written "ER#N:" / "EO#R:".
std::string FieldText(std::string_view value);
void AppendFieldText(std::string& out, std::string_view value);
// SetField with the value written by FieldText.
std::string SetFieldText(std::string_view record, int n, std::string_view value);

// "ERN:" -> CR LF, then "EOR:" -> CR.
std::string UndoLineEscapes(std::string_view line);
// CR LF -> "ERN:", then a remaining CR -> "EOR:".
std::string ApplyLineEscapes(std::string_view record);
// Splits text read from a file into lines at LF, dropping one CR before each LF; a
// final line without LF counts, an empty tail does not.
std::vector<std::string> SplitTextLines(std::string_view bytes);
// The same lines one at a time, as views into the bytes.
class TextLines {
 public:
  explicit TextLines(std::string_view bytes) : rest_(bytes) {}
  // False after the last line.
  bool Next(std::string_view& line);

 private:
  std::string_view rest_;
};

// Book state: 0 before the first load, 1 loaded and unchanged, 2 changed (also after a
// load that rejected lines), -1 saved.
enum BookStateValue { kStateNew = 0, kStateLoaded = 1, kStateChanged = 2, kStateSaved = -1 };

// The separator message of a book with n separators ("В строке должно быть n
// разделителей '|'.\n"); contacts (12) and firms (8) use this text too.
std::string SeparatorMessage(int separators);
// "Файл " + name + " старой версии, загрузка прекращена.\n Выполните конвертацию ..."
std::string OldFormatMessage(const std::string& fileName);
extern const char* const kContactsOldFormatMessage;
extern const char* const kFirmsOldFormatMessage;
// The side file of a book file: its path cut after the last "." followed by "err".
std::string SideFilePath(const std::string& bookPath);
// The side file's content around the rejected-lines text.
std::string SideFileText(const std::string& separatorMessage, const std::string& rejected);
// Puts rejected lines into the book's side file. A new side file holds SideFileText;
// one that exists (left by this book or by another of the same stem, and maybe not yet
// looked at) keeps everything it holds and gets the new block after a heading line
// naming the book and the time. The load message (SideFileMessage for a new side file,
// SideFileAddedMessage for one added to); none when it could not be read or written.
std::optional<std::string> AddToSideFile(const std::string& bookPath, const std::string& separatorMessage,
                                         const std::string& rejected);
// "---- <book file name>, DD.MM.YYYY hh:mm:ss ----\n"
std::string SideFileHeading(std::string_view bookFileName, const platform::LocalTime& time);
// "Создан файл " + side path + " с незагруженными строками"
std::string SideFileMessage(const std::string& sidePath);
// "Незагруженные строки добавлены в файл " + side path
std::string SideFileAddedMessage(const std::string& sidePath);
// The load message when the side file could not be written and the `count` rejected
// lines are kept for the book file instead.
std::string SideFileFailedMessage(const std::string& sidePath, int count);

struct RecordLayout {
  int separators = 0;
  std::string separatorMessage;
  std::string oldFormatMessage;
  // The firms book undoes the line escapes before the separator test, so a rejected
  // line reaches the side file with its line breaks restored.
  bool unescapeBeforeCheck = false;
};
RecordLayout ContactsLayout();
RecordLayout FirmsLayout();

struct RecordBook {
  std::string path;  // full path of the book file
  std::vector<std::string> records;
  int state = kStateNew;
  std::string loadMessage;
  // Set after a load stopped at an old-format line: the file holds more than was loaded,
  // so saving over it is refused.
  bool oldFormat = false;
  // Rejected lines, as read, whose side file could not be written: every save writes
  // them back after the records, so they are never kept nowhere.
  std::vector<std::string> carried;
  // The file could not be read at all: what the book holds did not come from it, so
  // saving over it is refused until the user confirms it (unread_file.h).
  bool unread = false;
};

struct LoadOutcome {
  bool opened = true;
  std::string error;  // a message for the user when the file could not be read
  int rejected = 0;   // lines sent to the side file
};
LoadOutcome LoadRecords(RecordBook& book, const RecordLayout& layout);

enum class SaveStatus { kUnchanged, kSaved, kFailed, kRefusedOldFormat, kRefusedUnread };
struct SaveOutcome {
  SaveStatus status = SaveStatus::kUnchanged;
  std::string error;  // a message for the user on kFailed and the refusals
};
// Writes the book through the safe replace when its state is 2; the state becomes -1.
// A failed write keeps the old file and the state 2, so the next save tries again.
SaveOutcome SaveRecords(RecordBook& book);
// The message for a user file that could not be written (the old file stays).
std::string SaveFailedMessage(const std::string& path);
// The bytes SaveRecords writes.
std::string RecordFileBytes(const std::vector<std::string>& records);

// Command 33107 ("Информация о неудачной загрузки файла") is enabled exactly when the
// load message is not empty.
inline bool LoadInfoEnabled(const RecordBook& book) {
  return !book.loadMessage.empty();
}

}  // namespace vm
