// What a cell shows and how its text turns into a value: numbers with the user's
// separators, kind changes, dates as day serials.
#pragma once

#include <string>
#include <string_view>

#include "spreadsheet/sheet.h"

namespace vm::spreadsheet {

// The user locale's separators, Windows-1251 text. The Windows page fills them from
// the system; everything else passes them in.
struct NumberLocale {
  std::string decimal = ".";
  std::string thousands = ",";
};

// The shown text: for a number the value printed as its decimals say and formatted
// with the locale; for every other kind the text.
std::string ShownText(const CSheetCell& cell, const NumberLocale& locale);
// A number printed with `decimals` digits (or, below zero, as many as it needs), then
// unless `raw` grouped in threes with the locale's separators.
std::string NumberText(double value, int decimals, bool raw, const NumberLocale& locale);

// A number the user typed: blanks and the locale's group separator are ignored, the
// locale's decimal separator and "." both mark the fraction, and the number is read
// from the start of the text as far as it goes (nothing readable is 0).
double ReadUserNumber(std::string_view text, const NumberLocale& locale);
// A number as a file holds it ("1234.5", "-1E-7"); false when the text is not one.
bool ReadFileNumber(std::string_view text, double& value);
// The shortest text that reads back as the same number ("0.1", "1234.5", "1E+20").
std::string FileNumberText(double value);

// Dates and times are day serials: days since 30 December 1899, the time as the
// fraction. Readable forms: "2013/05/01 10:20", "2013-05-01T10:20:30.000",
// "01.05.2013 10:20", "01/05/2013", a time alone "10:20:30". False when the text is
// not a real date and time.
bool ReadDateTime(std::string_view text, double& serial);
struct DateTimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// False for a serial outside the years 100-9999 (or NaN).
bool SplitDateTime(double serial, DateTimeParts& parts);
double JoinDateTime(const DateTimeParts& parts);

// Changes the kind of a cell, reading its text into the value as the new kind needs.
void ChangeKind(CSheetCell& cell, int kind, const NumberLocale& locale);

}  // namespace vm::spreadsheet
