// The rich-edit control "RichEdit50W" from msftedit.dll.
#pragma once

#include <windows.h>

#include <string>

namespace vm::ui {

// Loads msftedit.dll once, so dialogs can name the "RichEdit50W" class; false when the
// library is missing.
bool LoadRichEdit();
// Replaces the control's content with an RTF document (cp1251 bytes).
bool StreamInRtf(HWND edit, const std::string& rtf);
// The text between two character positions.
std::wstring TextRange(HWND edit, long first, long last);
// The whole plain text.
std::wstring PlainText(HWND edit);

// What a notebook note and a task's notes need of the control.
// The content as an RTF document (cp1251 bytes); with selectionOnly just the selection.
std::string StreamOutRtf(HWND edit, bool selectionOnly = false);

struct CharStyle {
  bool bold = false, italic = false, underline = false, strikeout = false;
  COLORREF colour = CLR_INVALID;  // CLR_INVALID: the automatic colour
  std::wstring face;              // empty: unchanged
  int heightTwips = 0;            // 0: unchanged
};
// Applies the style to the selection (or to what is typed next when nothing is selected).
void SetSelectionStyle(HWND edit, const CharStyle& style);
CharStyle SelectionStyle(HWND edit);

enum class Alignment { kLeft, kCentre, kRight };
void SetParagraphAlignment(HWND edit, Alignment alignment);
Alignment ParagraphAlignment(HWND edit);

void SetSelection(HWND edit, long first, long last);  // -1, -1 selects nothing at the end
void GetSelection(HWND edit, long& first, long& last);
void ReplaceSelection(HWND edit, const std::wstring& text, bool undoable = true);

bool CanUndo(HWND edit);
void Undo(HWND edit);
// Web and mail addresses shown as links, reported to the parent as EN_LINK.
void DetectLinks(HWND edit, bool on);
// The most characters the control takes; 0 lifts the limit.
void SetTextLimit(HWND edit, long characters);

}  // namespace vm::ui
