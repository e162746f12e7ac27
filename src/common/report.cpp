#include "common/report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <vector>

#include "common/record_file.h"
#include "platform/platform.h"

namespace vm {

const char* const kNoReportData = "Отсутствуют данные для вывода отчета!";
const char* const kReportWriteError = "Ошибка записи в файл!";
const char* const kReportCloseError = "Ошибка.\n\nНе закрыт файл!";

namespace {

constexpr size_t npos = std::string::npos;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsKeyChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Replaces every occurrence of `from` (not empty) and returns where the text that stood at
// `tracked` now stands; `tracked` must not lie inside an occurrence.
size_t ReplaceAllTracking(std::string& text, std::string_view from, std::string_view to, size_t tracked) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0, moved = tracked;
  for (;;) {
    size_t hit = text.find(from, pos);
    if (hit == npos) break;
    out.append(text, pos, hit - pos);
    if (hit < tracked) moved = moved + to.size() - from.size();
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text, pos, npos);
  text.swap(out);
  return moved;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out(text);
  if (text.find(from) != npos) ReplaceAllTracking(out, from, to, 0);
  return out;
}

// A start tag of a paragraph: "<p" followed by ">", "/" or white space, so "<pre",
// "<param" and "<path" are not taken for one.
size_t FindParagraphOpen(std::string_view text, size_t from) {
  for (size_t i = text.find('<', from); i != npos; i = text.find('<', i + 1)) {
    if (i + 2 >= text.size() || (text[i + 1] != 'p' && text[i + 1] != 'P')) continue;
    char after = text[i + 2];
    if (after == '>' || after == '/' || IsBlank(after)) return i;
  }
  return npos;
}

size_t FindParagraphClose(std::string_view text, size_t from) {
  for (size_t i = text.find("</", from); i != npos; i = text.find("</", i + 1)) {
    if (i + 2 >= text.size() || (text[i + 2] != 'p' && text[i + 2] != 'P')) continue;
    if (i + 3 == text.size() || text[i + 3] == '>' || IsBlank(text[i + 3])) return i;
  }
  return npos;
}

bool HoldsStartMarker(std::string_view s, size_t at) {
  return at + 2 < s.size() && s[at] == '#' && s[at + 1] == 'D' && IsDigit(s[at + 2]);
}

size_t FindStartMarker(std::string_view s, size_t from = 0) {
  for (size_t i = s.find("#D", from); i != npos; i = s.find("#D", i + 1))
    if (HoldsStartMarker(s, i)) return i;
  return npos;
}

// Every block marker is three characters with a "D" in the middle: "#D" and a digit
// (start) or a digit and "D#" (end). A marker pattern starting at q (the position
// before its "D").
bool MarkerAt(std::string_view s, size_t q) {
  if (q + 2 >= s.size()) return false;
  return (s[q] == '#' && IsDigit(s[q + 2])) || (IsDigit(s[q]) && s[q + 2] == '#');
}

// The first marker pattern that starts at or after `from`; npos when none.
size_t FindMarker(std::string_view s, size_t from) {
  for (size_t d = s.find('D', from + 1); d != npos; d = s.find('D', d + 1))
    if (MarkerAt(s, d - 1)) return d - 1;
  return npos;
}

// Position of the "D#" of the last end marker (a digit followed by "D#").
size_t FindLastEndMarker(std::string_view s) {
  for (size_t d = s.rfind('D'); d != npos && d > 0; d = s.rfind('D', d - 1))
    if (d + 1 < s.size() && s[d + 1] == '#' && IsDigit(s[d - 1])) return d;
  return npos;
}

// What a "#" pair's inner text becomes once an editor's tags and blanks are taken out:
// only characters that follow a ">" and precede the next "<" survive a tag, so any text
// before the first tag goes too.
std::string CleanedName(std::string_view inner) {
  std::string out(inner.size(), '\0');
  size_t n = 0;
  bool tags = inner.find('<') != npos;
  bool take = !tags;
  for (char c : inner) {
    if (tags && c == '>') {
      take = true;
    } else if (tags && c == '<') {
      take = false;
    } else if (take && !IsBlank(c)) {
      out[n++] = c;
    }
  }
  out.resize(n);
  return out;
}

// Whether a "#" pair's inner text holds a tag or white space.
bool Damaged(std::string_view inner) {
  static const auto marks = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'<', ' ', '\t', '\r', '\n'}) t[c] = true;
    return t;
  }();
  for (char c : inner)
    if (marks[static_cast<unsigned char>(c)]) return true;
  return false;
}

bool IsKeyLike(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!IsKeyChar(c)) return false;
  return true;
}

// The characters of a stretch that run from a "#" up to the next "<".
std::string HashRuns(std::string_view s) {
  std::string out;
  bool take = false;
  for (char c : s) {
    if (c == '#') take = true;
    else if (c == '<') take = false;
    if (take) out.push_back(c);
  }
  return out;
}

// The block number of a data line: the text between the leading "|" and the first ":",
// read as a decimal number (0 when there is none), bounded so no text overflows it.
long long LineBlock(std::string_view line) {
  if (line.empty() || line[0] != '|') return 0;
  size_t colon = line.find(':', 1);
  if (colon == npos) return 0;
  std::string_view t = line.substr(1, colon - 1);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  long long n = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i)
    if (n < 1000000000) n = n * 10 + (t[i] - '0');
  return negative ? -n : n;
}

struct Item {
  std::string_view key;
  std::string value;
};

// The items of a data line. Each starts with the line's own prefix "|n:"; its key runs
// to the next ":", its value to the next occurrence of the prefix. An item without a key
// ends the walk.
std::vector<Item> ParseItems(std::string_view line) {
  std::vector<Item> items;
  if (line.empty() || line[0] != '|') return items;
  size_t colon = line.find(':', 1);
  if (colon == npos) return items;
  std::string_view prefix = line.substr(0, colon + 1);
  size_t pos = 0;
  for (;;) {
    size_t keyStart = pos + prefix.size();
    size_t keyEnd = line.find(':', keyStart);
    if (keyEnd == npos || keyEnd == keyStart) break;
    size_t next = line.find(prefix, keyEnd + 1);
    size_t valueEnd = next == npos ? line.size() : next;
    items.push_back({line.substr(keyStart, keyEnd - keyStart),
                     ReplaceAll(line.substr(keyEnd + 1, valueEnd - keyEnd - 1), "|ERN:", "<br>")});
    if (next == npos) break;
    pos = next;
  }
  return items;
}

// One left-to-right pass over the piece: each "#name#" whose name an item carries takes
// the first such item's value. Values are not searched again, so a value that happens to
// hold "#KEY#" is shown as it is.
std::string FillWith(std::string_view piece, const std::vector<Item>& items) {
  if (items.empty()) return std::string(piece);
  std::string out;
  out.reserve(piece.size() + 256);
  size_t pos = 0;
  for (;;) {
    size_t a = piece.find('#', pos);
    size_t b = a == npos ? npos : piece.find('#', a + 1);
    if (b == npos) break;
    std::string_view name = piece.substr(a + 1, b - a - 1);
    const Item* hit = nullptr;
    for (const Item& item : items) {
      if (item.key == name) {
        hit = &item;
        break;
      }
    }
    if (hit) {
      out.append(piece.substr(pos, a - pos));
      out.append(hit->value);
      pos = b + 1;
    } else {
      out.append(piece.substr(pos, a + 1 - pos));
      pos = a + 1;
    }
  }
  out.append(piece.substr(pos));
  return out;
}

std::string Number(long long n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld", n);
  return buf;
}

}  // namespace

// ---- the fill steps ------------------------------------------------------------------------

namespace report_steps {

std::string CleanPlaceholders(std::string text) {
  size_t pos = 0;
  for (;;) {
    size_t a = text.find('#', pos);
    if (a == npos) break;
    size_t b = text.find('#', a + 1);
    if (b == npos) break;
    std::string_view inner = std::string_view(text).substr(a + 1, b - a - 1);
    if (Damaged(inner)) {
      // Only a pair that cleans to a name is a placeholder. Any other text between two
      // "#" (say "# #" in a sentence) would otherwise be rewritten all over the page.
      std::string cleaned = CleanedName(inner);
      if (IsKeyLike(cleaned)) {
        a = ReplaceAllTracking(text, std::string(inner), cleaned, a);
        b = a + 1 + cleaned.size();
      }
    }
    pos = b + 1;
  }
  return text;
}

std::string RemoveTitle(std::string text) {
  size_t p = text.find("<title>");
  if (p == npos) return text;
  size_t end = text.find("</title>", p);
  if (end != npos) {
    end += 7;
  } else {
    // Through the second ">" from "<title>": its own and the end tag's.
    size_t first = text.find('>', p);
    end = text.find('>', first + 1);
    if (end == npos) return text;
  }
  text.erase(p, end - p + 1);
  return text;
}

std::string UnwrapMarkers(std::string text) {
  // The paragraph starts only move forward, so the next close and the next marker found
  // for one start hold for the following ones until the text changes.
  size_t pos = 0, close = npos, marker = npos;
  bool known = false;
  for (;;) {
    size_t s = FindParagraphOpen(text, pos);
    if (s == npos) break;
    if (!known || close == npos || close < s + 2) close = FindParagraphClose(text, s + 2);
    if (close == npos) break;
    if (!known || (marker != npos && marker < s)) marker = FindMarker(text, s);
    known = true;
    size_t e = std::min(close + 4, text.size());  // "</p" and the character after it
    // The stretch holds a marker when one lies wholly inside it.
    if (marker != npos && marker + 3 <= e) {
      std::string stretch = text.substr(s, e - s);
      std::string unwrapped = HashRuns(stretch);
      s = ReplaceAllTracking(text, stretch, unwrapped, s);
      pos = s + unwrapped.size();
      known = false;
    } else {
      pos = s + 2;
    }
  }
  return text;
}

}  // namespace report_steps

// ---- filling -------------------------------------------------------------------------------

std::string CReportTemplate::Fill(std::string_view piece, std::string_view line) {
  return FillWith(piece, ParseItems(line));
}

std::string FillReport(std::string_view layoutBytes, std::string_view data) {
  std::string t = report_steps::CleanPlaceholders(std::string(layoutBytes));
  t = report_steps::RemoveTitle(std::move(t));
  t = report_steps::UnwrapMarkers(std::move(t));

  std::string_view text(t);
  size_t headEnd = FindStartMarker(text);
  std::string head(text.substr(0, headEnd == npos ? text.size() : headEnd));
  std::string tail;
  size_t last = FindLastEndMarker(text);
  if (last != npos) {
    // The tail starts at the first paragraph after the last end marker, so closing tags
    // of the blocks' own markup between them are dropped. Without a paragraph there the
    // page keeps whatever follows the marker rather than losing its end.
    size_t p = FindParagraphOpen(text, last + 2);
    tail.assign(text.substr(p == npos ? last + 2 : p));
  }

  std::map<long long, std::string_view> blocks;
  auto blockText = [&](long long n) -> std::string_view {
    auto it = blocks.find(n);
    if (it != blocks.end()) return it->second;
    std::string number = Number(n);
    std::string open = "#D", close = "#";
    open.append(number).push_back('#');
    close.append(number).append("D#");
    std::string_view body;
    size_t s = text.find(open);
    if (s != npos) {
      size_t e = text.find(close, s + open.size());
      if (e != npos) body = text.substr(s + open.size(), e - s - open.size());
    }
    blocks.emplace(n, body);
    return body;
  };

  std::string body;
  TextLines lines(data);
  for (std::string_view line; lines.Next(line);) {
    long long n = LineBlock(line);
    std::vector<Item> items = ParseItems(line);
    if (n != 0) {
      body += FillWith(blockText(n), items);
    } else {
      head = FillWith(head, items);
      tail = FillWith(tail, items);
    }
  }
  std::string page;
  page.reserve(head.size() + body.size() + tail.size());
  page.append(head).append(body).append(tail);
  return page;
}

ReportOutcome BuildReport(const std::string& dataPath, const std::string& layoutPath,
                          const std::string& resultPath) {
  std::string layout, data;
  if (!platform::ReadFileBytes(layoutPath, layout)) return {1, "Не могу открыть файл шаблона " + layoutPath};
  if (!platform::ReadFileBytes(dataPath, data)) return {1, "Не могу открыть файл данных " + dataPath};
  // A page that could not be written must not be opened as if it were new: the browser
  // would show an older report, or none.
  if (!platform::SafeReplace(resultPath, FillReport(layout, data)))
    return {1, "Не могу записать файл отчета " + resultPath};
  return {};
}

// ---- data files ----------------------------------------------------------------------------

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

CReportData::~CReportData() {
  if (open_) Close();
}

bool CReportData::Open(const std::string& path) {
  if (open_) Close();
  if (!platform::WriteFileBytes(path, "")) return false;
  path_ = path;
  text_.clear();
  open_ = true;
  return true;
}

bool CReportData::WriteItem(std::string_view key, std::string_view value, int n, const ReportConvert& convert) {
  if (!open_ || key.empty() || key.find_first_of(":|#\r\n") != npos) return false;
  std::string converted;
  if (convert && n > 0) {
    converted = convert(value);
    value = converted;
  }
  char head[24];
  std::snprintf(head, sizeof head, "|%i:", n);
  text_ += head;
  text_.append(key).push_back(':');
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r') {
      if (i + 1 < value.size() && value[i + 1] == '\n') {
        text_ += "|ERN:";
        ++i;
      }
    } else if (c == '\n') {
      text_ += "|ERN:";
    } else {
      text_.push_back(c);
    }
  }
  if (n == 0) return EndLine();
  return true;
}

bool CReportData::WriteNumber(std::string_view key, long long number, int n) {
  return WriteItem(key, Number(number), n);
}

bool CReportData::EndLine() {
  if (!open_) return false;
  text_ += "\r\n";
  return true;
}

bool CReportData::Close() {
  if (!open_) return false;
  open_ = false;
  bool ok = platform::WriteFileBytes(path_, text_);
  text_.clear();
  return ok;
}

}  // namespace vm
