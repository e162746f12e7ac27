// The text side of the notebook page: the default rich text of an empty note, which
// bodies load as rich text, the history of snapshots behind "Отменить" and "Вернуть",
// finding text in a note, link text for a file or folder, and the splitter's setting.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::notebook {

// "GENERAL" "FONTNAME" and "FONTSIZE" for new notes, with their defaults.
extern const char* const kDefaultFontName;  // "Times New Roman Cyr"
extern const char* const kDefaultFontSize;  // "10"

// The rich text an empty note shows, in the note font (size in points; the text holds
// twice the size).
std::string DefaultNoteRtf(std::string_view fontName, int fontSize);
// The font size setting as a number of points; the default for anything unusable.
int FontSizeOf(std::string_view setting);
// A body loads as rich text when it starts with "{\rtf" in any case.
bool IsRtfBody(std::string_view body);

// Snapshots of the note for undo and redo: its rich text and the selection.
struct NoteSnapshot {
  std::string rtf;
  long first = 0, last = 0;
  bool operator==(const NoteSnapshot&) const = default;
};
class NoteHistory {
 public:
  // A selected note starts the history anew with its loaded body.
  void Start(NoteSnapshot loaded);
  // After a formatting command: a new snapshot; those ahead of the current are dropped.
  void Add(NoteSnapshot snapshot);
  // After a key release: keys up to 32 (space, Enter, Backspace, Tab ...) add a new
  // snapshot, others replace the newest, so typing is undone word by word. The loaded
  // body, and the snapshot an undo went back to, are never replaced. A release that left
  // the text as the current snapshot has it changes nothing, redo included.
  void KeyReleased(unsigned key, NoteSnapshot snapshot);
  // After an undo or redo showed a snapshot: the text the control gives back for it,
  // which need not be byte for byte what went in, so a later key that changes nothing
  // compares equal and is no step.
  void Settle(std::string rtf);
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < list_.size(); }
  // The snapshot to show; none at either end.
  std::optional<NoteSnapshot> Undo();
  std::optional<NoteSnapshot> Redo();
  size_t size() const { return list_.size(); }

 private:
  void DropAhead();
  std::vector<NoteSnapshot> list_;
  size_t current_ = 0;
};

// F3: the first occurrence of `what` in the plain text at or after `from` (cp1251 upper
// case on both sides unless matchCase); npos when none.
size_t FindInNote(std::string_view plain, std::string_view what, bool matchCase, size_t from);
// The plain text counts a line break as CR LF, the editor as one character: the
// editor's position of a plain-text position.
long EditorPosition(std::string_view plain, size_t position);

// The text inserted for a file or folder: a path with ":\" or "\\" becomes "file:///"
// with spaces as "%20" and "\" as "/"; any other path stays as it is.
std::string LinkText(std::string_view path);

// "Экспорт текста в файл": a name ending ".txt" (any case) takes the plain text, any
// other the rich text.
bool IsPlainTextFileName(std::string_view path);
// The editor's plain text as a text file holds it: the editor ends paragraphs with a
// lone CR, the file with CR LF.
std::string PlainTextFileBytes(std::string_view editorText);

// "NOTE" "PROCENT": the splitter's place as a fraction of the page width ("%f").
std::string FormatSplitter(int position, int width);
// The stored fraction when it can place the splitter: a number above 0 and below 1.
std::optional<double> ParseSplitter(std::string_view setting);
// The splitter's position in a page `width` wide, kept `margin` pixels from both sides.
int SplitterPosition(double fraction, int width, int margin);

}  // namespace vm::notebook
