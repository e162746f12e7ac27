// Adding a date without a text editor: the checks on what the user typed, the one line
// that goes into a date file, and appending it so that every byte the file had stays.
#pragma once

#include <string>
#include <string_view>

#include "common/calendar.h"

namespace vm::dates {

struct NewDate {
  int day = 0, month = 0;
  std::string year;  // as typed; empty for a date without a year
  std::string text;  // cp1251
};

struct NewDateLine {
  std::string line;   // "05/03/1990/Иван Петров" or "05/03/Иван Петров"; empty on error
  std::string error;  // cp1251 text for the user; empty when the line is good
};

// The line for a new entry, or the reason there is none. The day and month must make a
// real date in some year (29 February is allowed); the year, when given, is a number
// from 1 up to `currentYear` (an anniversary counts from it); the text may not be empty,
// hold a line break or a control character, or a "#" (the files drop every "#"), and
// without a year it may not be "%" alone (that marks a name day). A "/" in the text is
// escaped as "#/" so it stays part of the text. Blanks around the text are dropped.
NewDateLine MakeNewDateLine(const NewDate& entry, int currentYear);

// The file's new contents with `line` appended: existing bytes unchanged, a line end
// added first when the last line has none, the file's own line end (LF or CR LF) used.
// A file without the format marker gets the marker as its first line, or the next
// evaluation would take the new line for the older format and rewrite it.
std::string AppendedDateText(std::string_view existing, bool exists, const std::string& line);

// Appends through the safe replace. Empty on success, else the message for the user.
std::string AppendDateLine(const std::string& path, const std::string& line);

}  // namespace vm::dates
