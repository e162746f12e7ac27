#include "notebook/note_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "notebook/note_tree.h"

namespace vm::notebook {

const char* const kDefaultFontName = "Times New Roman Cyr";
const char* const kDefaultFontSize = "10";

std::string DefaultNoteRtf(std::string_view fontName, int fontSize) {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204";
  rtf += fontName;
  rtf += ";}}\\viewkind4\\uc1\\pard\\f0\\fs";
  rtf += std::to_string(fontSize * 2);
  rtf += "\\par}";
  return rtf;
}

int FontSizeOf(std::string_view setting) {
  int size = 0;
  for (char c : setting) {
    if (c < '0' || c > '9') return 10;
    size = size * 10 + (c - '0');
    if (size > 1638) return 10;  // twice the size must stay a font size the editor takes
  }
  return size > 0 ? size : 10;
}

bool IsRtfBody(std::string_view body) {
  static const char kStart[] = "{\\rtf";
  if (body.size() < 5) return false;
  for (size_t i = 0; i < 5; ++i) {
    char c = body[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != kStart[i]) return false;
  }
  return true;
}

// ---- history ----------------------------------------------------------------------------------

void NoteHistory::Start(NoteSnapshot loaded) {
  list_.assign(1, std::move(loaded));
  current_ = 0;
}

void NoteHistory::DropAhead() {
  if (!list_.empty()) list_.resize(current_ + 1);
}

void NoteHistory::Add(NoteSnapshot snapshot) {
  DropAhead();
  list_.push_back(std::move(snapshot));
  current_ = list_.size() - 1;
}

void NoteHistory::KeyReleased(unsigned key, NoteSnapshot snapshot) {
  // A key that changed nothing (an arrow, Ctrl or Shift, the undo key itself) is no step:
  // otherwise letting go of Ctrl after Ctrl+Z would count as typing and drop the redo.
  if (!list_.empty() && snapshot.rtf == list_[current_].rtf) return;
  bool undone = CanRedo();
  DropAhead();
  if (key <= 32 || list_.size() <= 1 || undone) {
    Add(std::move(snapshot));
    return;
  }
  list_.back() = std::move(snapshot);
}

void NoteHistory::Settle(std::string rtf) {
  if (!list_.empty()) list_[current_].rtf = std::move(rtf);
}

std::optional<NoteSnapshot> NoteHistory::Undo() {
  if (!CanUndo()) return std::nullopt;
  return list_[--current_];
}

std::optional<NoteSnapshot> NoteHistory::Redo() {
  if (!CanRedo()) return std::nullopt;
  return list_[++current_];
}

// ---- find -------------------------------------------------------------------------------------

size_t FindInNote(std::string_view plain, std::string_view what, bool matchCase, size_t from) {
  if (what.empty() || from > plain.size()) return std::string::npos;
  if (matchCase) return plain.find(what, from);
  return UpperCp1251(plain).find(UpperCp1251(what), from);
}

long EditorPosition(std::string_view plain, size_t position) {
  // Every CR LF that starts before the position; found from one CR to the next.
  long breaks = 0;
  const char* p = plain.data();
  const char* const end = p + (plain.empty() ? 0 : std::min(position, plain.size() - 1));
  while (p < end) {
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
    if (!cr) break;
    if (cr[1] == '\n') ++breaks;
    p = cr + 1;
  }
  return static_cast<long>(position) - breaks;
}

// ---- links ------------------------------------------------------------------------------------

std::string LinkText(std::string_view path) {
  if (path.find(":\\") == std::string_view::npos && path.find("\\\\") == std::string_view::npos)
    return std::string(path);
  std::string link = "file:///";
  for (char c : path) {
    if (c == ' ')
      link += "%20";
    else if (c == '\\')
      link += '/';
    else
      link += c;
  }
  return link;
}

// ---- text files -------------------------------------------------------------------------------

bool IsPlainTextFileName(std::string_view path) {
  return path.size() > 4 && UpperCp1251(path.substr(path.size() - 4)) == ".TXT";
}

std::string PlainTextFileBytes(std::string_view editorText) {
  std::string bytes;
  bytes.reserve(editorText.size() + editorText.size() / 32);
  for (size_t i = 0; i < editorText.size(); ++i) {
    bytes += editorText[i];
    // A CR LF the editor gave already stays one line end.
    if (editorText[i] == '\r' && (i + 1 == editorText.size() || editorText[i + 1] != '\n')) bytes += '\n';
  }
  return bytes;
}

// ---- splitter ---------------------------------------------------------------------------------

std::string FormatSplitter(int position, int width) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", width > 0 ? static_cast<double>(position) / width : 0.0);
  return text;
}

std::optional<double> ParseSplitter(std::string_view setting) {
  std::string text(setting);
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  if (!(value > 0.0) || !(value < 1.0)) return std::nullopt;
  return value;
}

int SplitterPosition(double fraction, int width, int margin) {
  int position = static_cast<int>(fraction * width + 0.5);
  if (position > width - margin) position = width - margin;
  if (position < margin) position = margin;
  return position;
}

}  // namespace vm::notebook
