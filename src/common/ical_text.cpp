#include "common/ical_text.h"

#include <algorithm>

#include "common/cp1251_bytes.h"
#include "platform/platform.h"

namespace vm::ical {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsFoldBlank(char c) {
  return c == ' ' || c == '\t';
}

// The part of a logical line before its value, for the quoted-printable test: a value
// may hold "QUOTED-PRINTABLE" as text, the parameters are what matter.
bool NamesQuotedPrintable(std::string_view logical) {
  size_t colon = logical.find(':');
  std::string head = Upper(logical.substr(0, colon));
  return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

// RFC 6868: ^n line break, ^^ caret, ^' double quote; any other ^ stays.
std::string UndoCaret(std::string_view v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '^' && i + 1 < v.size()) {
      char n = v[i + 1];
      if (n == 'n' || n == 'N') {
        out += '\n';
        ++i;
        continue;
      }
      if (n == '^' || n == '\'') {
        out += n == '^' ? '^' : '"';
        ++i;
        continue;
      }
    }
    out += v[i];
  }
  return out;
}

// Splits "a,"b,c",d" at commas outside quotes; quotes removed.
std::vector<std::string> ParamValues(std::string_view text) {
  std::vector<std::string> values;
  std::string cur;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      values.push_back(UndoCaret(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  values.push_back(UndoCaret(cur));
  return values;
}

// The 2.1 bare parameters: an encoding, a charset-less value type, else a TYPE value.
Param BareParam(std::string_view word) {
  std::string up = Upper(word);
  if (up == "QUOTED-PRINTABLE" || up == "BASE64" || up == "8BIT" || up == "7BIT" || up == "B")
    return Param{"ENCODING", {std::string(word)}};
  return Param{"TYPE", {std::string(word)}};
}

bool ParseLogical(std::string_view text, size_t lineNo, ContentLine& out) {
  // The name and parameters end at the first ":" outside quotes.
  size_t colon = std::string_view::npos;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return false;
  std::string_view head = text.substr(0, colon);
  out.value = std::string(text.substr(colon + 1));
  out.line = lineNo;
  // Split the head at ";" outside quotes.
  std::vector<std::string_view> parts;
  size_t start = 0;
  quoted = false;
  for (size_t i = 0; i <= head.size(); ++i) {
    if (i < head.size() && head[i] == '"') quoted = !quoted;
    if (i == head.size() || (head[i] == ';' && !quoted)) {
      parts.push_back(head.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string_view name = parts[0];
  while (!name.empty() && IsFoldBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsFoldBlank(name.back())) name.remove_suffix(1);
  size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    out.group = std::string(name.substr(0, dot));
    name = name.substr(dot + 1);
  }
  if (name.empty()) return false;
  out.name = Upper(name);
  for (size_t p = 1; p < parts.size(); ++p) {
    std::string_view part = parts[p];
    if (part.empty()) continue;
    size_t eq = part.find('=');
    Param param = eq == std::string_view::npos ? BareParam(part)
                                               : Param{Upper(part.substr(0, eq)), ParamValues(part.substr(eq + 1))};
    // Several parameters of one name (TYPE=work;TYPE=voice, or 2.1's WORK;VOICE) read as
    // one with all the values.
    bool merged = false;
    for (Param& have : out.params) {
      if (have.name == param.name) {
        have.values.insert(have.values.end(), param.values.begin(), param.values.end());
        merged = true;
        break;
      }
    }
    if (!merged) out.params.push_back(std::move(param));
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = UpperAscii(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string QuotedPrintableDecoded(std::string_view v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '=' && i + 2 < v.size() && HexDigit(v[i + 1]) >= 0 && HexDigit(v[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(v[i + 1]) * 16 + HexDigit(v[i + 2]));
      i += 2;
    } else if (v[i] == '=' && i + 1 == v.size()) {
      break;  // a soft break the file ended on
    } else {
      out += v[i];
    }
  }
  return out;
}

unsigned CharsetPage(const std::string& charset) {
  std::string c = Upper(charset);
  if (c == "UTF-8" || c == "UTF8") return platform::kUtf8;
  if (c == "WINDOWS-1251" || c == "CP1251" || c == "CP-1251" || c == "WIN-1251") return platform::kCp1251;
  if (c == "KOI8-R" || c == "KOI8R") return platform::kKoi8R;
  if (c == "ISO-8859-5" || c == "ISO8859-5") return platform::kIso8859_5;
  if (c == "IBM866" || c == "CP866" || c == "866") return platform::kCp866;
  return 0;
}

// The length of the UTF-8 sequence at s[i] when it is a valid one, else 0.
size_t Utf8Length(std::string_view s, size_t i, char32_t& cp) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  size_t n = b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  cp = n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
  for (size_t k = 1; k < n; ++k) {
    unsigned char c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp < 0xE000))
    return 0;
  return n;
}

std::string Recoded(std::string_view bytes, unsigned page) {
  std::u16string wide;
  std::string out;
  if (!platform::ToUtf16(page, bytes, wide) || !platform::FromUtf16(platform::kUtf8, wide, out)) return std::string();
  return out;
}

}  // namespace

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

const Param* ContentLine::Find(std::string_view paramName) const {
  for (const Param& p : params)
    if (SameAscii(p.name, paramName)) return &p;
  return nullptr;
}

bool ContentLine::Has(std::string_view paramName, std::string_view value) const {
  for (const Param& p : params) {
    if (!SameAscii(p.name, paramName)) continue;
    // A quoted list ("voice,home") is as good as the values written one by one.
    for (const std::string& v : p.values) {
      size_t start = 0;
      for (size_t comma = v.find(','); ; comma = v.find(',', start)) {
        if (SameAscii(std::string_view(v).substr(start, comma - start), value)) return true;
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    }
  }
  return false;
}

std::string ContentLine::ParamText(std::string_view paramName) const {
  const Param* p = Find(paramName);
  return p && !p->values.empty() ? p->values[0] : std::string();
}

std::vector<ContentLine> ParseContentLines(std::string_view bytes) {
  std::vector<ContentLine> lines;
  std::string logical;
  size_t logicalStart = 0;
  bool have = false;
  auto flush = [&] {
    ContentLine cl;
    if (have && ParseLogical(logical, logicalStart, cl)) lines.push_back(std::move(cl));
    logical.clear();
    have = false;
  };
  size_t lineNo = 0;
  while (!bytes.empty()) {
    size_t lf = bytes.find('\n');
    std::string_view physical = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
    ++lineNo;
    if (have && !physical.empty() && IsFoldBlank(physical.front())) {
      logical.append(physical.substr(1));
      continue;
    }
    if (have && !logical.empty() && logical.back() == '=' && NamesQuotedPrintable(logical)) {
      logical.pop_back();
      logical.append(physical);
      continue;
    }
    flush();
    if (physical.empty()) continue;
    logical.assign(physical);
    logicalStart = lineNo;
    have = true;
  }
  flush();
  return lines;
}

bool IsBinaryValue(const ContentLine& line) {
  if (line.Has("ENCODING", "B") || line.Has("ENCODING", "BASE64")) return true;
  return line.value.size() >= 5 && SameAscii(std::string_view(line.value).substr(0, 5), "data:");
}

std::string DecodedValue(const ContentLine& line) {
  std::string raw = line.Has("ENCODING", "QUOTED-PRINTABLE") ? QuotedPrintableDecoded(line.value) : line.value;
  unsigned page = CharsetPage(line.ParamText("CHARSET"));
  if (page == platform::kUtf8 && IsValidUtf8(raw)) return raw;
  if (page != 0 && page != platform::kUtf8) {
    std::string out = Recoded(raw, page);
    if (!out.empty() || raw.empty()) return out;
  }
  if (IsValidUtf8(raw)) return raw;
  return platform::Cp1251ToUtf8(raw);
}

std::string EscapeText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 8);
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (c == '\\' || c == ';' || c == ',') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string UnescapeText(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      char n = value[++i];
      out += n == 'n' || n == 'N' ? '\n' : n;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::vector<std::string> SplitText(std::string_view value, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] == '\\') {
      ++i;
      continue;
    }
    if (i >= value.size() || value[i] == separator) {
      parts.push_back(UnescapeText(value.substr(start, std::min(i, value.size()) - start)));
      start = i + 1;
    }
  }
  return parts;
}

std::string ParamValueText(std::string_view value) {
  std::string body;
  bool quote = false;
  for (char c : value) {
    if (c == '^') {
      body += "^^";
    } else if (c == '"') {
      body += "^'";
    } else if (c == '\n') {
      body += "^n";
    } else if (c == '\r') {
      continue;
    } else {
      if (c == ':' || c == ';' || c == ',') quote = true;
      body += c;
    }
  }
  return quote ? "\"" + body + "\"" : body;
}

std::string FoldLine(std::string_view line) {
  std::string out;
  size_t room = 75;
  size_t used = 0;
  for (size_t i = 0; i < line.size();) {
    char32_t cp = 0;
    size_t n = Utf8Length(line, i, cp);
    if (n == 0) n = 1;
    if (used + n > room) {
      out += "\r\n ";
      used = 1;
    }
    out.append(line.substr(i, n));
    used += n;
    i += n;
  }
  out += "\r\n";
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    size_t n = Utf8Length(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Utf8ToCp1251Counted(std::string_view utf8, int& replaced) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    size_t n = Utf8Length(utf8, i, cp);
    if (n == 0) {
      // A broken sequence: its lead byte and the continuation bytes after it are one
      // lost character.
      ++i;
      while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
      out += '?';
      ++replaced;
      continue;
    }
    i += n;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    int b = Cp1251ByteOf(cp);
    if (b < 0) {
      out += '?';
      ++replaced;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

std::string Cp1251ToUtf8Text(std::string_view cp1251) {
  std::string lf;
  lf.reserve(cp1251.size());
  for (size_t i = 0; i < cp1251.size(); ++i) {
    if (cp1251[i] == '\r') {
      if (i + 1 < cp1251.size() && cp1251[i + 1] == '\n') ++i;
      lf += '\n';
    } else {
      lf += cp1251[i];
    }
  }
  return platform::Cp1251ToUtf8(lf);
}

std::string Utf8ToCp1251Text(std::string_view utf8, int& replaced) {
  std::string text = Utf8ToCp1251Counted(utf8, replaced);
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vm::ical
