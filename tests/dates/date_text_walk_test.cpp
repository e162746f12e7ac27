// The date file's field split, line walk and upgrade work on whole runs of bytes; these
// tests hold them to the plain byte-by-byte forms over generated text.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "dates/date_file.h"
#include "dates/dates_list.h"

namespace vm::dates {
namespace {

using Items = std::vector<std::string>;

std::string Generated(std::mt19937& rng, const char* alphabet, size_t maxLength) {
  std::string out;
  const size_t n = std::char_traits<char>::length(alphabet);
  for (size_t i = rng() % (maxLength + 1); i > 0; --i) out.push_back(alphabet[rng() % n]);
  return out;
}

TEST(DateTextWalk, FieldsSplitAsByteByByte) {
  std::mt19937 rng(17);
  for (int round = 0; round < 3000; ++round) {
    const std::string line = Generated(rng, "//##ab1 ", 30);
    std::vector<std::string> plain(1);
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '/' && (i == 0 || line[i - 1] != '#'))
        plain.emplace_back();
      else if (line[i] != '#')
        plain.back().push_back(line[i]);
    }
    ASSERT_EQ(SplitDateFields(line), plain) << line;
  }
}

// Easter-offset lines far from the window are passed over without working their date
// out; what is listed stays that of working out every candidate year (nothing for a
// reference date beyond the calendar's years).
TEST(DateTextWalk, EasterOffsetsListedAsWorkedOut) {
  std::mt19937 rng(31);
  const int years[] = {1899, 1901, 1904, 1950, 2000, 2013, 2050, 2097, 2100};
  int listed = 0;
  for (int round = 0; round < 4000; ++round) {
    const Date ref{1 + static_cast<int>(rng() % 28), 1 + static_cast<int>(rng() % 12),
                   years[rng() % std::size(years)] + static_cast<int>(rng() % 3)};
    // Mostly offsets that reach from a feast to near the reference date, some far ones.
    const int shift = static_cast<int>(rng() % 3) - 1, jitter = static_cast<int>(rng() % 25) - 12;
    const int offset = round % 4 ? DaySerial(ref) - DaySerial(OrthodoxEaster(ref.year + shift)) + jitter
                                 : static_cast<int>(rng() % 1999999) - 999999;
    const std::string line = std::string(offset < 0 ? "RP-/" : "RP+/") + std::to_string(std::abs(offset)) + "/T";
    Items past, today, coming;
    for (int shift : {0, -1, 1}) {
      if (!InCalendarRange(ref.year)) break;
      const Date d = AddDays(OrthodoxEaster(ref.year + shift), offset);
      const int rc = DaySerial(d) - DaySerial(ref);
      if (rc < -5 || rc > 5) continue;
      char date[16];
      std::snprintf(date, sizeof date, "%02d/%02d|T", d.day, d.month);
      (rc < 0 ? past : rc == 0 ? today : coming).push_back(rc == 0 ? "T" : date);
      break;
    }
    const DateLists lists = EvaluateDateText(line, ref);
    ASSERT_EQ(lists.past, past) << line << " at " << ref.day << "." << ref.month << "." << ref.year;
    ASSERT_EQ(lists.today, today) << line;
    ASSERT_EQ(lists.coming, coming) << line << " at " << ref.day << "." << ref.month << "." << ref.year;
    listed += !past.empty() || !today.empty() || !coming.empty();
  }
  EXPECT_GT(listed, 1000);
}

// A line read as it stands and the same line with "#"s that the field rule drops give
// the same items: the plain reading and the unescaping one agree.
TEST(DateTextWalk, LinesWithAndWithoutDroppedHashesListTheSame) {
  std::mt19937 rng(37);
  auto pick = [&rng](std::initializer_list<std::string> v) {
    return v.begin()[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
  };
  int listed = 0;
  for (int round = 0; round < 3000; ++round) {
    const Date ref{1 + static_cast<int>(rng() % 28), 1 + static_cast<int>(rng() % 12), 2000 + static_cast<int>(rng() % 30)};
    const std::string code = pick({std::to_string(ref.day), std::to_string(ref.day + 2), "01", "RP+", "RP-", "RK",
                                   "RE", std::string(WeekdayAbbrev(static_cast<int>(rng() % 7))) + std::to_string(rng() % 6)});
    std::string line = code + "/" + pick({std::to_string(ref.month), "12", "0", "40", "x"}) + "/" +
                       pick({"Праздник", "1990", " 2001", "Text/Year"}) + pick({"", "/Что", "/"});
    std::string hashed = line;
    for (size_t i = hashed.size(); i-- > 3;)
      if (hashed[i] != '/' && rng() % 4 == 0) hashed.insert(i, 1, '#');
    const DateLists a = EvaluateDateText(line, ref), b = EvaluateDateText(hashed, ref);
    ASSERT_EQ(a.past, b.past) << line << " / " << hashed;
    ASSERT_EQ(a.today, b.today) << line << " / " << hashed;
    ASSERT_EQ(a.coming, b.coming) << line << " / " << hashed;
    listed += !a.past.empty() || !a.today.empty() || !a.coming.empty();
  }
  EXPECT_GT(listed, 200);
}

// The upgrade as a loop over SplitTextLines, building each line a byte at a time.
std::optional<std::string> UpgradedPlainly(std::string_view bytes, const std::string& path) {
  if (bytes.find(kFormatMarker) != std::string_view::npos) return std::nullopt;
  std::string converted;
  for (const std::string& raw : SplitTextLines(bytes)) {
    if (!raw.empty() && raw[0] == ';') continue;
    std::string_view trimmed = TrimRight(raw);
    while (!trimmed.empty() && std::string_view(" \t\r\n\v\f").find(trimmed[0]) != std::string_view::npos)
      trimmed.remove_prefix(1);
    if (trimmed.empty()) continue;
    std::string line;
    for (size_t i = 0; i < trimmed.size(); ++i) {
      if (trimmed[i] == ' ' && i + 1 < trimmed.size() && trimmed[i + 1] == '%') {
        line += "/%";
        ++i;
      } else {
        line += trimmed[i];
      }
    }
    size_t blank = line.find_first_of(" \t");
    std::string text = blank == std::string::npos ? "" : line.substr(blank + 1);
    while (!text.empty() && std::string_view(" \t\r\n\v\f").find(text[0]) != std::string_view::npos) text.erase(0, 1);
    converted += "\n" + line.substr(0, blank) + "/" + text;
  }
  if (converted.empty()) return std::nullopt;
  return UpgradeHeader(path) + converted;
}

TEST(DateTextWalk, UpgradeMatchesTheLineByLineForm) {
  std::mt19937 rng(23);
  int upgraded = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string bytes = Generated(rng, "\n\n\r;  %%%1/a\t", 80);
    auto fast = UpgradedDateText(bytes, "Holidays.txt");
    ASSERT_EQ(fast, UpgradedPlainly(bytes, "Holidays.txt")) << bytes;
    upgraded += fast.has_value();
  }
  EXPECT_GT(upgraded, 1000);
}

// Line ends of either kind and a last line without one give the same lists.
TEST(DateTextWalk, EvaluationReadsEveryLineOnce) {
  const Date ref{5, 3, 2013};
  const std::string lines[] = {"05/03/Сегодня", "04/03/1990/Вчера", "; 05/03/комментарий", "", "07/03/Скоро"};
  std::string lf, crlf;
  for (const std::string& l : lines) lf += l + "\n", crlf += l + "\r\n";
  const DateLists a = EvaluateDateText(lf, ref), b = EvaluateDateText(crlf, ref);
  const DateLists c = EvaluateDateText(lf.substr(0, lf.size() - 1), ref);
  for (const DateLists* d : {&b, &c}) {
    EXPECT_EQ(d->past, a.past);
    EXPECT_EQ(d->today, a.today);
    EXPECT_EQ(d->coming, a.coming);
  }
  EXPECT_EQ(a.today, std::vector<std::string>{"Сегодня"});
  EXPECT_EQ(a.past.size(), 1u);
  EXPECT_EQ(a.coming, std::vector<std::string>{"07/03|Скоро"});
}

// The search as a loop over SplitTextLines, upper-casing each line on its own.
std::vector<std::string> SearchedPlainly(std::string_view bytes, std::string_view needle, bool matchCase) {
  std::vector<std::string> out;
  std::string wanted = matchCase ? std::string(needle) : UpperCp1251(needle);
  for (const std::string& line : SplitTextLines(bytes)) {
    if (!line.empty() && line[0] == ';') continue;
    if ((matchCase ? line : UpperCp1251(line)).find(wanted) == std::string::npos) continue;
    std::string shown;
    for (char c : line) shown += c == '\t' ? std::string(6, ' ') : std::string(1, c);
    out.push_back(shown);
  }
  return out;
}

TEST(DateTextWalk, SearchMatchesTheLineByLineForm) {
  std::mt19937 rng(29);
  const char alphabet[] = "\n\r\t;aAbB\xE0\xC0\xB8\xA8 ";
  for (int round = 0; round < 3000; ++round) {
    const std::string bytes = Generated(rng, alphabet, 60), needle = Generated(rng, alphabet + 3, 2);
    const bool matchCase = rng() % 2;
    std::vector<std::string> shown;
    for (const ListLine& l : SearchDateText(bytes, needle, matchCase))
      if (l.kind == LineKind::kEntry) shown.push_back(l.text);
    ASSERT_EQ(shown, SearchedPlainly(bytes, needle, matchCase)) << bytes << " / " << needle;
  }
}

}  // namespace
}  // namespace vm::dates
