#include "spreadsheet/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vm::spreadsheet {

namespace {

constexpr int kMaxDecimals = 20;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Civil date <-> days since 1970-01-01 (proleptic Gregorian).
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long long kSerialEpoch = DaysFromCivil(1899, 12, 30);

int DaysIn(int month, int year) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Groups the integer digits of a plain "-1234.5" in threes (when `group`) and puts in
// the locale's separators.
std::string Localise(const std::string& plain, const NumberLocale& locale, bool group = true) {
  size_t start = plain[0] == '-' ? 1 : 0;
  size_t point = plain.find('.');
  size_t intEnd = point == std::string::npos ? plain.size() : point;
  std::string out = plain.substr(0, start);
  size_t digits = intEnd - start;
  for (size_t i = 0; i < digits; ++i) {
    if (group && i > 0 && (digits - i) % 3 == 0) out += locale.thousands;
    out += plain[start + i];
  }
  if (point != std::string::npos) {
    out += locale.decimal;
    out.append(plain, point + 1, std::string::npos);
  }
  return out;
}

// The value printed with `decimals` digits, or below zero as many as it needs.
std::string PlainNumber(double value, int decimals) {
  if (!std::isfinite(value)) value = 0;
  std::string plain;
  if (decimals >= 0) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::min(decimals, kMaxDecimals), value);
    plain = buf;
  } else {
    // As many decimals as the value needs to read back the same; a fixed 20 would
    // show 0.1 as 0.10000000000000000555.
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    plain.assign(buf, res.ptr);
    if (plain.find('.') != std::string::npos) {
      while (plain.back() == '0') plain.pop_back();
      if (plain.back() == '.') plain.pop_back();
    }
  }
  // -0 and -0.00 show without their sign.
  if (!plain.empty() && plain[0] == '-' && plain.find_first_not_of("-0.") == std::string::npos)
    plain = plain.substr(1);
  if (plain.empty()) plain.push_back('0');
  return plain;
}

// "0", "00.000", "#0.00": digits and a point only, no grouping asked for. ("Fixed" is
// kept as it has always been shown, grouped.)
bool IsPlainDigitFormat(const std::string& format) {
  return format.find('0') != std::string::npos && format.find_first_not_of("0#.") == std::string::npos;
}

}  // namespace

std::string NumberText(double value, int decimals, bool raw, const NumberLocale& locale) {
  std::string plain = PlainNumber(value, decimals);
  return raw ? plain : Localise(plain, locale);
}

std::string LocalNumberText(double value, int decimals, bool group, const NumberLocale& locale) {
  return Localise(PlainNumber(value, decimals), locale, group);
}

bool GroupsThousands(const CSheetCell& cell) {
  if (cell.Has(kCellRawNumbers)) return false;
  return !(cell.Has(kCellNumberFormat) && IsPlainDigitFormat(cell.numberFormat));
}

std::string DecimalsFormat(int decimals, bool grouped) {
  std::string zeros = decimals > 0 ? "." + std::string(static_cast<size_t>(std::min(decimals, 30)), '0') : "";
  return (grouped ? "#,##0" : "0") + zeros;
}

std::string WrittenDecimalsFormat(const CSheetCell& format) {
  if (format.Has(kCellNumberFormat) && format.numberFormat.find(',') != std::string::npos)
    return DecimalsFormat(format.decimals, true);
  if (format.Has(kCellNumberFormat) && IsPlainDigitFormat(format.numberFormat))
    return DecimalsFormat(format.decimals, false);
  return format.decimals == 2 ? "Fixed" : DecimalsFormat(format.decimals, false);
}

std::string ShownText(const CSheetCell& cell, const NumberLocale& locale) {
  if (cell.kind != kKindNumber || !cell.HasText()) return cell.HasText() ? cell.text : std::string();
  int decimals = cell.Has(kCellDecimals) ? std::clamp(cell.decimals, 0, kMaxDecimals) : -1;
  if (cell.Has(kCellRawNumbers)) return NumberText(cell.value, decimals, true, locale);
  return LocalNumberText(cell.value, decimals, GroupsThousands(cell), locale);
}

std::optional<TypedNumber> ReadTypedNumber(std::string_view text, const NumberLocale& locale) {
  const std::string_view decimal = locale.decimal, group = locale.thousands;
  const bool grouping = !group.empty() && group != decimal;
  std::string plain;
  size_t i = 0;
  auto digits = [&] {
    size_t from = i;
    while (i < text.size() && IsDigit(text[i])) plain += text[i++];
    return i - from;
  };
  auto at = [&](std::string_view sep) { return !sep.empty() && text.substr(i, sep.size()) == sep; };
  if (i < text.size() && text[i] == '-') plain += text[i++];
  size_t first = digits();
  if (first == 0) return std::nullopt;
  TypedNumber n;
  if (grouping && at(group) && !at(decimal)) {
    if (first > 3) return std::nullopt;
    n.grouped = true;
    while (at(group)) {
      i += group.size();
      if (digits() != 3) return std::nullopt;
    }
  }
  if (at(decimal)) {
    i += decimal.size();
    plain += '.';
    size_t fraction = digits();
    if (fraction == 0) return std::nullopt;
    n.decimals = static_cast<int>(fraction);
  }
  if (i != text.size()) return std::nullopt;
  auto res = std::from_chars(plain.data(), plain.data() + plain.size(), n.value, std::chars_format::fixed);
  if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(n.value))
    return std::nullopt;
  if (n.decimals > kMaxDecimals || LocalNumberText(n.value, n.decimals, n.grouped, locale) != text)
    return std::nullopt;
  return n;
}

bool LooksLikeNumber(std::string_view text, const NumberLocale& locale) {
  size_t i = 0;
  bool digit = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  while (i < text.size()) {
    char c = text[i];
    if (IsDigit(c)) {
      digit = true;
      ++i;
    } else if (c == ' ' || c == '\xA0' || c == '.' || c == ',') {
      ++i;
    } else if (!locale.thousands.empty() && text.substr(i, locale.thousands.size()) == locale.thousands) {
      i += locale.thousands.size();
    } else if (!locale.decimal.empty() && text.substr(i, locale.decimal.size()) == locale.decimal) {
      i += locale.decimal.size();
    } else {
      break;
    }
  }
  if (digit && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (i == text.size() || !IsDigit(text[i])) return false;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  return digit && i == text.size();
}

double ReadUserNumber(std::string_view text, const NumberLocale& locale) {
  std::string s;
  s.reserve(text.size());
  const std::string& group = locale.thousands;
  bool dropGroup = !group.empty() && group != locale.decimal && group != ".";
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == '\xA0' || text[i] == '\t') {
      ++i;
    } else if (dropGroup && text.compare(i, group.size(), group) == 0) {
      i += group.size();
    } else if (!locale.decimal.empty() && locale.decimal != "." &&
               text.compare(i, locale.decimal.size(), locale.decimal) == 0) {
      s += '.';
      i += locale.decimal.size();
    } else {
      s += text[i++];
    }
  }
  const char* first = s.data();
  const char* last = s.data() + s.size();
  if (first < last && *first == '+') ++first;
  if (first == last || !(IsDigit(*first) || *first == '.' || *first == '-')) return 0;
  double v = 0;
  auto res = std::from_chars(first, last, v, std::chars_format::general);
  if (res.ec != std::errc() || !std::isfinite(v)) return 0;
  return v;
}

bool ReadFileNumber(std::string_view text, double& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.' || text.front() == '-')) return false;
  double v = 0;
  auto res = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string FileNumberText(double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  std::string s(buf, res.ptr);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

// ---- dates -------------------------------------------------------------------------------

double JoinDateTime(const DateTimeParts& p) {
  double days = static_cast<double>(DaysFromCivil(p.year, p.month, p.day) - kSerialEpoch);
  double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
  // Before the epoch the whole part counts back and the fraction still counts forward.
  return days >= 0 ? days + time : days - time;
}

bool SplitDateTime(double serial, DateTimeParts& p) {
  if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0) return false;
  double whole = std::trunc(serial);
  double fraction = std::fabs(serial - whole);
  long long seconds = std::llround(fraction * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += serial >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<long long>(whole) + kSerialEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  return p.year >= 100 && p.year <= 9999;
}

bool ReadDateTime(std::string_view text, double& serial) {
  // Numbers separated by anything; the first group decides the order of the date.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int values[7] = {};
  int widths[7] = {};
  char after[7] = {};
  int n = 0;
  size_t i = 0;
  while (i < text.size() && n < 7) {
    if (!IsDigit(text[i])) return false;
    int v = 0, w = 0;
    while (i < text.size() && IsDigit(text[i]) && w < 5) v = v * 10 + (text[i++] - '0'), ++w;
    if (i < text.size() && IsDigit(text[i])) return false;
    values[n] = v;
    widths[n] = w;
    after[n] = i < text.size() ? text[i] : '\0';
    ++n;
    if (i < text.size()) {
      ++i;
      if (after[n - 1] == ' ' || after[n - 1] == 'T')
        while (i < text.size() && text[i] == ' ') ++i;
    }
  }
  if (i < text.size() || n == 0) return false;
  DateTimeParts p;
  int timeAt = 0;
  if (after[0] == ':') {
    p.year = 1899, p.month = 12, p.day = 30;
  } else {
    if (n < 3) return false;
    if (widths[0] == 4) {
      p.year = values[0], p.month = values[1], p.day = values[2];
    } else {
      p.day = values[0], p.month = values[1], p.year = values[2];
      if (widths[2] <= 2) p.year += p.year < 30 ? 2000 : 1900;
    }
    timeAt = 3;
  }
  if (timeAt < n) {
    if (n - timeAt < 2) return false;
    p.hour = values[timeAt];
    p.minute = values[timeAt + 1];
    if (n - timeAt >= 3) p.second = values[timeAt + 2];
    // milliseconds (the 7th number) are dropped
  }
  if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > DaysIn(p.month, p.year) ||
      p.hour > 23 || p.minute > 59 || p.second > 59)
    return false;
  serial = JoinDateTime(p);
  return true;
}

// ---- kinds -------------------------------------------------------------------------------

void ChangeKind(CSheetCell& cell, int kind, const NumberLocale& locale) {
  switch (kind) {
    case kKindNumber: cell.value = ReadUserNumber(cell.text, locale); break;
    case kKindDateTime: {
      double serial = 0;
      cell.value = ReadDateTime(cell.text, serial) ? serial : std::nan("");
      break;
    }
    case kKindCurrency: {
      if (cell.kind == kKindNumber) {
        char buf[400];
        std::snprintf(buf, sizeof buf, "%.2f", std::isfinite(cell.value) ? cell.value : 0.0);
        cell.text = buf;
        cell.mask |= kCellText;
      }
      // A currency amount keeps four decimals, as the system's currency type does;
      // keeping only its whole units would drop the kopecks from every amount.
      cell.value = std::round(ReadUserNumber(cell.text, locale) * 10000.0) / 10000.0;
      break;
    }
    case kKindBoolean: {
      std::string lower;
      for (char c : cell.text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      cell.value = lower == "true" || ReadUserNumber(cell.text, locale) != 0 ? 1 : 0;
      break;
    }
    case kKindText: break;
    default: return;
  }
  cell.kind = kind;
  if (kind == kKindText)
    cell.mask &= ~uint32_t{kCellKind};
  else
    cell.mask |= kCellKind;
}

}  // namespace vm::spreadsheet
