// The page's commands that change the workbook, as one function of the command's id and
// what it acts on, so that the page runs every such command the same way: one undo step
// kept before it (UndoHistory::Record), none when it changed nothing. Opening a dialog,
// asking for a colour or a font, and the clipboard stay with the page; what they give
// comes in as EditInput, and what a command gives back (the cut text, a message) goes
// out in EditOutput.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "spreadsheet/page_rules.h"
#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

// Where the command acts: the selection, its current cell, and, for the menus, the
// clicked column and tab (-1 when the click was on none).
struct EditTarget {
  CellRect selection;
  CellPos current;
  int column = -1;
  int tab = -1;
};

struct EditInput {
  // A colour from the picker; nothing stands for "Авто" (black text, a white fill).
  std::optional<Color> colour;
  FontDesc font;
  std::string text;  // the pasted text, the sheet's new name
  AddCounts counts;
};

struct EditOutput {
  std::string cutText;  // what cut takes to the clipboard
  std::string message;  // a failure to tell the user (UTF8->Win)
};

// Every command id that changes the workbook, for the page's tests and its own checks.
// The default font is not among them: it is the page's setting (EXCEL/FONTNAMEDEF and
// FONTSIZE), which the workbook file does not hold, so no undo step could give it back;
// ApplyEdit still applies it.
const std::vector<int>& WorkbookCommands();
bool ChangesWorkbook(int command);
// The command changes the grid's shape (sheets, rows, columns, merges, sizes), so the
// grid reloads rather than repaints.
bool ReshapesGrid(int command);

// Runs the command on the current sheet (the tab commands on `target.tab`). False when
// it changed nothing, and for ids that are no workbook command.
bool ApplyEdit(CWorkbook& workbook, int command, const EditTarget& target, const EditInput& input,
               EditOutput& output);

}  // namespace vm::spreadsheet
