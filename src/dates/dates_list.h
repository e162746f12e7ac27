// The dates page's list as plain data: the coloured lines built from the evaluated
// date files for a reference date, the reference-date rules, the Easter menu texts and
// the search over one date file. The page only draws what these return.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/calendar.h"
#include "dates/date_file.h"

namespace vm::dates {

struct Rgb {
  unsigned char red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kPastColour{40, 80, 100};
inline constexpr Rgb kTodayColour{255, 0, 0};
inline constexpr Rgb kComingColour{0, 0, 128};
inline constexpr Rgb kSubheadingColour{255, 255, 220};
inline constexpr Rgb kSearchColour{0, 50, 100};
inline constexpr Rgb kWhite{255, 255, 255};

enum class LineKind { kHeading, kSubheading, kEntry };

struct ListLine {
  LineKind kind = LineKind::kEntry;
  std::string text;  // cp1251
  Rgb background;
  Rgb foreground;
  friend bool operator==(const ListLine&, const ListLine&) = default;
};

struct DatesList {
  std::vector<ListLine> lines;
  size_t topLine = 0;  // the today heading: scrolled to the top after a rebuild
};

// The today section's heading: "2 января 2025  Чт" (two spaces before the weekday).
std::string TodayHeading(Date reference);

// The list for the evaluated birthday and dates files.
DatesList BuildDatesList(const DateLists& birthdays, const DateLists& dates, Date reference);
// Evaluates "Support\Birthday.txt", then "Support\Holidays.txt" of the program folder
// (with its trailing "\"), upgrading older files on the way, and builds the list.
DatesList BuildDatesListForFolder(const std::string& programFolder, Date reference);

std::string BirthdayFilePath(const std::string& programFolder);
std::string HolidaysFilePath(const std::string& programFolder);

// ---- the reference date -------------------------------------------------------------
struct ReferenceDate {
  Date date;
  int weekday = 0;   // 0 = Monday
  std::string text;  // "%d/%d/%d"; empty until the date is first set
};
// When the page is made: today, its text form left empty.
ReferenceDate StartReference(Date today);
// "Текущая дата/Выбор даты" (today) or a day picked in the calendar: the text form is
// stored.
ReferenceDate ChooseReference(Date chosen);
// "Обновить окно": a stored text form is read back; without one today is taken and
// stored. A text form that reads back as no real date falls back to today too.
ReferenceDate RefreshReference(const ReferenceDate& current, Date today);

// ---- the Easter menu ------------------------------------------------------------------
std::string EasterDateText(Date date);        // "20/04/2025"
std::string JewishEasterDateText(Date date);  // "13/04/2025 Вс"
struct EasterMenu {
  std::string orthodox, catholic, jewish;  // "Пасха православная 20/04/2025" ...
};
EasterMenu EasterMenuTexts(int year);

// ---- search -------------------------------------------------------------------------
// The heading "Результат поиска:" and every line that holds the text and is not a
// comment, tabs shown as six spaces. Without match case both sides are compared in
// upper case.
std::vector<ListLine> SearchDateText(std::string_view bytes, std::string_view needle, bool matchCase);
// Nothing (the list stays cleared, without a heading) when the file cannot be read.
std::optional<std::vector<ListLine>> SearchDateFile(const std::string& path, std::string_view needle,
                                                    bool matchCase);
// Upper case of cp1251 text, Latin and Cyrillic letters alike.
std::string UpperCp1251(std::string_view text);

}  // namespace vm::dates
