// What a cell shows and how its text turns into a value: numbers with the user's
// separators, kind changes, dates as day serials.
#pragma once

#include <optional>
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

// A number printed as NumberText does with the locale's decimal separator, grouped in
// threes only when `group` says so.
std::string LocalNumberText(double value, int decimals, bool group, const NumberLocale& locale);

// Whether a number cell's shown text is grouped in threes: not for raw numbers, and not
// when its number format is a plain digit format ("0", "0.00") that asks for none; a
// number of any other format or of none is grouped.
bool GroupsThousands(const CSheetCell& cell);
// The number format a typed number keeps for its decimals and grouping: "0", "0.00",
// "#,##0", "#,##0.000".
std::string DecimalsFormat(int decimals, bool grouped);
// The number format the workbook file gets for a format's decimals: its grouping kept
// when its own format is plain or grouping digits, else "Fixed" for 2 decimals and
// plain digits for any other count.
std::string WrittenDecimalsFormat(const CSheetCell& format);

// A typed text that is a number in the locale's own writing: an optional "-", digits,
// either plain or grouped in threes by the locale's group separator (exactly those
// bytes), then optionally the locale's decimal separator and digits. Nothing else is
// allowed (no "+", no blanks around it, no exponent), and the number's shown text with
// these decimals and this grouping must be the typed text itself; so "007", "-0", "1e5"
// and digits beyond a double's precision are no numbers, and a typed number never
// shows other than typed.
struct TypedNumber {
  double value = 0;
  int decimals = 0;
  bool grouped = false;
};
std::optional<TypedNumber> ReadTypedNumber(std::string_view text, const NumberLocale& locale);
// Looser: a sign, digits, separators of either kind and an exponent, at least one digit
// and nothing else. A text like this keeps a leading apostrophe's meaning: text.
bool LooksLikeNumber(std::string_view text, const NumberLocale& locale);

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
