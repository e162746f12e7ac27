#include "dates/dates_list.h"

#include <array>
#include <cstdio>

#include "common/record_file.h"
#include "platform/platform.h"

namespace vm::dates {

namespace {

const char kPastHeading[] = "Прошедшие";
const char kComingHeading[] = "Предстоящие";
const char kBirthdaysSubheading[] = "Дни рождения";
const char kDatesSubheading[] = "Даты";
const char kNameDaysSubheading[] = "Именинники";
const char kFriday13th[] = "Пятница 13-го";
const char kSearchHeading[] = "Результат поиска:";
const char kTabAsSpaces[] = "      ";

class ListBuilder {
 public:
  explicit ListBuilder(DatesList& list) : list_(list) {}

  void Heading(const std::string& text, Rgb background) {
    list_.lines.push_back({LineKind::kHeading, text, background, kWhite});
  }
  void Subheading(const char* text, Rgb colour) {
    list_.lines.push_back({LineKind::kSubheading, text, kSubheadingColour, colour});
  }
  void Entry(std::string text, Rgb colour) {
    list_.lines.push_back({LineKind::kEntry, std::move(text), kWhite, colour});
  }
  // Past or coming items of one file: a sub-heading before the first, then each item
  // as its date part, a space and its text.
  void DatedSection(const std::vector<std::string>& items, const char* subheading, Rgb colour) {
    std::string datePart, text;
    for (size_t i = 0; i < items.size(); ++i) {
      if (i == 0) Subheading(subheading, colour);
      SplitItem(items[i], datePart, text);
      Entry(datePart + " " + text, colour);
    }
  }

 private:
  DatesList& list_;
};

// The evaluation puts a name-day line into the today list whole, "%" as its third
// field; a birthday whose text merely holds a "%" is an ordinary entry.
bool IsNameDayLine(const std::string& item) {
  std::vector<std::string> fields = SplitDateFields(item);
  return fields.size() > 2 && fields[2] == "%";
}

std::string NameDayText(const std::string& line) {
  size_t percent = line.find('%');
  return percent + 2 <= line.size() ? line.substr(percent + 2) : std::string();
}

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);  // а..я
  switch (c) {
    case 0xB8: return 0xA8;  // ё
    case 0x90: return 0x80;  // ђ
    case 0x83: return 0x81;  // ѓ
    case 0x9A: return 0x8A;  // љ
    case 0x9C: return 0x8C;  // њ
    case 0x9D: return 0x8D;  // ќ
    case 0x9E: return 0x8E;  // ћ
    case 0x9F: return 0x8F;  // џ
    case 0xA2: return 0xA1;  // ў
    case 0xB3: return 0xB2;  // і
    case 0xB4: return 0xA5;  // ґ
    case 0xBA: return 0xAA;  // є
    case 0xBC: return 0xA3;  // ј
    case 0xBE: return 0xBD;  // ѕ
    case 0xBF: return 0xAF;  // ї
    default: return c;
  }
}

}  // namespace

std::string TodayHeading(Date reference) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%i %s %i ", reference.day, MonthGenitive(reference.month), reference.year);
  return std::string(buf) + " " + WeekdayAbbrev(Weekday(reference.day, reference.month, reference.year));
}

DatesList BuildDatesList(const DateLists& birthdays, const DateLists& dates, Date reference) {
  DatesList list;
  ListBuilder add(list);

  add.Heading(kPastHeading, kPastColour);
  add.DatedSection(birthdays.past, kBirthdaysSubheading, kPastColour);
  add.DatedSection(dates.past, kDatesSubheading, kPastColour);

  list.topLine = list.lines.size();
  add.Heading(TodayHeading(reference), kTodayColour);
  std::string nameDay;
  bool birthdaysShown = false;
  for (const std::string& item : birthdays.today) {
    if (IsNameDayLine(item)) {
      nameDay = NameDayText(item);  // a later line replaces an earlier one
      continue;
    }
    if (!birthdaysShown) add.Subheading(kBirthdaysSubheading, kTodayColour);
    birthdaysShown = true;
    add.Entry(item, kTodayColour);
  }
  bool datesShown = false;
  for (const std::string& item : dates.today) {
    if (!datesShown) add.Subheading(kDatesSubheading, kTodayColour);
    datesShown = true;
    add.Entry(item, kTodayColour);
  }
  if (IsFridayThe13th(reference.day, reference.month, reference.year)) {
    if (!datesShown) add.Subheading(kDatesSubheading, kTodayColour);
    add.Entry(kFriday13th, kTodayColour);
  }
  if (!nameDay.empty()) {
    add.Subheading(kNameDaysSubheading, kTodayColour);
    add.Entry(nameDay, kTodayColour);
  }

  add.Heading(kComingHeading, kComingColour);
  add.DatedSection(birthdays.coming, kBirthdaysSubheading, kComingColour);
  add.DatedSection(dates.coming, kDatesSubheading, kComingColour);
  return list;
}

std::string BirthdayFilePath(const std::string& programFolder) {
  return programFolder + "Support\\Birthday.txt";
}
std::string HolidaysFilePath(const std::string& programFolder) {
  return programFolder + "Support\\Holidays.txt";
}

DatesList BuildDatesListForFolder(const std::string& programFolder, Date reference) {
  DateLists birthdays = EvaluateDateFile(BirthdayFilePath(programFolder), reference);
  DateLists dates = EvaluateDateFile(HolidaysFilePath(programFolder), reference);
  return BuildDatesList(birthdays, dates, reference);
}

ReferenceDate StartReference(Date today) {
  ReferenceDate ref;
  ref.date = today;
  ref.weekday = Weekday(today.day, today.month, today.year);
  return ref;
}

ReferenceDate ChooseReference(Date chosen) {
  ReferenceDate ref = StartReference(chosen);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d/%d/%d", chosen.day, chosen.month, chosen.year);
  ref.text = buf;
  return ref;
}

ReferenceDate RefreshReference(const ReferenceDate& current, Date today) {
  if (current.text.empty()) return ChooseReference(today);
  std::vector<std::string> fields = SplitDateFields(current.text);
  fields.resize(3);
  Date stored{LeadingNumber(fields[0]), LeadingNumber(fields[1]), LeadingNumber(fields[2])};
  if (!IsValidDate(stored)) return ChooseReference(today);
  ReferenceDate ref = StartReference(stored);
  ref.text = current.text;
  return ref;
}

std::string EasterDateText(Date date) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%d", date.day, date.month, date.year);
  return buf;
}

std::string JewishEasterDateText(Date date) {
  return EasterDateText(date) + " " + WeekdayAbbrev(Weekday(date.day, date.month, date.year));
}

EasterMenu EasterMenuTexts(int year) {
  EasterMenu menu;
  menu.orthodox = std::string("Пасха православная ") + EasterDateText(OrthodoxEaster(year));
  menu.catholic = std::string("Пасха католическая ") + EasterDateText(CatholicEaster(year));
  menu.jewish = std::string("Пасха еврейская ") + JewishEasterDateText(JewishEaster(year));
  return menu;
}

std::string UpperCp1251(std::string_view text) {
  static const std::array<char, 256> kUpper = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return table;
  }();
  std::string out(text);
  for (char& c : out) c = kUpper[static_cast<unsigned char>(c)];
  return out;
}

std::vector<ListLine> SearchDateText(std::string_view bytes, std::string_view needle, bool matchCase) {
  std::vector<ListLine> lines;
  lines.push_back({LineKind::kHeading, kSearchHeading, kSearchColour, kWhite});
  std::string wanted = matchCase ? std::string(needle) : UpperCp1251(needle);
  // Without case the search runs over an upper-case copy of the whole text: each line
  // stands at the same place in both.
  const std::string upper = matchCase ? std::string() : UpperCp1251(bytes);
  const std::string_view searched = matchCase ? bytes : std::string_view(upper);
  ForEachTextLine(bytes, [&](std::string_view line) {
    if (!line.empty() && line[0] == ';') return;
    const size_t at = static_cast<size_t>(line.data() - bytes.data());
    if (searched.substr(at, line.size()).find(wanted) == std::string_view::npos) return;
    std::string shown;
    shown.reserve(line.size());
    for (size_t tab; (tab = line.find('\t')) != std::string_view::npos; line.remove_prefix(tab + 1))
      shown.append(line.substr(0, tab)).append(kTabAsSpaces);
    shown.append(line);
    lines.push_back({LineKind::kEntry, std::move(shown), kWhite, kSearchColour});
  });
  return lines;
}

std::optional<std::vector<ListLine>> SearchDateFile(const std::string& path, std::string_view needle,
                                                    bool matchCase) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return std::nullopt;
  return SearchDateText(bytes, needle, matchCase);
}

}  // namespace vm::dates
