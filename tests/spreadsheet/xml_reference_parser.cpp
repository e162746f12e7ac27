// The document parser kept as it was before names and texts were read in place (see
// xml_reference_parser.h); only its document is a small one of its own.
#include "spreadsheet/xml_reference_parser.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <deque>
#include <new>
#include <utility>
#include <vector>

#include "common/byte_words.h"
#include "spreadsheet/xml_document.h"
#include "spreadsheet/xml_dump.h"

namespace vm::spreadsheet::reference {

namespace {

struct RefNode {
  int kind = kXmlText;
  bool declaresNamespaces = false;
  RefNode* parent = nullptr;
  std::string name;
  XmlValue valueKind = XmlValue::kNone;
  std::string value;
  RefNode* firstAttribute = nullptr;
  RefNode* lastAttribute = nullptr;
  RefNode* firstChild = nullptr;
  RefNode* lastChild = nullptr;
  RefNode* next = nullptr;
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

struct RefDocument {
  std::deque<RefNode> nodes;
  RefNode* root_ = nullptr;
  std::vector<std::pair<std::string, std::string>> entities;
  bool unterminatedReferences_ = false;
  bool noBreakReferencesAsBlanks_ = false;
  XmlErrors errors;

  RefNode* NewNode(int kind, std::string_view text) {
    RefNode& n = nodes.emplace_back();
    n.kind = kind;
    n.name.assign(text.data(), text.size());
    return &n;
  }
  void AddNode(RefNode* parent, RefNode* node) {
    const std::string& name = node->name;
    if (node->kind == kXmlAttribute && name.size() >= 5 && name.compare(0, 5, "xmlns") == 0)
      parent->declaresNamespaces = true;
    node->parent = parent;
    RefNode*& first = node->kind == kXmlAttribute ? parent->firstAttribute : parent->firstChild;
    RefNode*& last = node->kind == kXmlAttribute ? parent->lastAttribute : parent->lastChild;
    (last ? last->next : first) = node;
    last = node;
  }
  void Report(int code, const std::string& message, int line, int column) {
    errors.push_back({code, line, column, message});
  }
  static int Predefined(std::string_view name) {
    static const char* const kNames[] = {"gt", "lt", "amp", "apos", "quot"};
    for (int i = 0; i < 5; ++i)
      if (EqualsNoCase(name, kNames[i])) return i;
    return -1;
  }
  void AddEntity(std::string_view name, std::string_view text) {
    if (Predefined(name) >= 0) return;
    for (const auto& e : entities)
      if (EqualsNoCase(e.first, name)) return;
    entities.emplace_back(std::string(name), std::string(text));
  }
  const std::string* FindEntity(std::string_view name) const {
    static const std::string kTexts[] = {">", "<", "&", "'", "\""};
    int p = Predefined(name);
    if (p >= 0) return &kTexts[p];
    for (const auto& e : entities)
      if (EqualsNoCase(e.first, name)) return &e.second;
    return nullptr;
  }
};

enum : unsigned char { kSpace = 1, kNameChar = 2, kEndsName = 4 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    // Names: letters, digits, "-", ":", "_", "." and every byte of a national letter.
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':' ||
        c == '_' || c == '.' || c >= 0x80)
      t[c] |= kNameChar;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') t[c] |= kSpace | kEndsName;
    if (c == '>' || c == '/' || c == '=') t[c] |= kEndsName;
  }
  return t;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

bool Is(char c, unsigned char what) { return kClasses[static_cast<unsigned char>(c)] & what; }
bool IsSpace(char c) { return Is(c, kSpace); }
bool IsNameChar(char c) { return Is(c, kNameChar); }
bool EndsName(char c) { return Is(c, kEndsName); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// 0x80 in each byte of x that is zero, 0 in the others (no carry crosses a byte).
constexpr uint64_t ZeroBytes(uint64_t x) {
  constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7FULL;
  return ~(((x & k7F) + k7F) | x | k7F);
}

// The high bit of each byte of `word` that is white space: arithmetic on one word, no
// table, so one test for eight bytes in the sanitizer build too.
uint64_t SpaceBytes(uint64_t w) {
  constexpr uint64_t kEach = 0x0101010101010101ULL;
  return ZeroBytes(w ^ (kEach * ' ')) | ZeroBytes(w ^ (kEach * '\t')) | ZeroBytes(w ^ (kEach * '\r')) |
         ZeroBytes(w ^ (kEach * '\n'));
}

// The high bit of each byte of `word` that may stand in a name (see MakeClasses):
// range tests on the low seven bits of all eight bytes at once, no byte compared alone.
uint64_t NameBytes(uint64_t word) {
  constexpr uint64_t kEach = 0x0101010101010101ULL, kHigh = kEach * 0x80, kLow = kEach * 0x7F;
  const uint64_t v = word & kLow;
  // Bit 7 of a byte of x (below 0x80) is set when the byte is at least lo; the sum of
  // two bytes of at most 0x7F and 0x80 never carries into the next.
  auto atLeast = [&](uint64_t x, uint64_t lo) { return (x + kEach * (0x80 - lo)) & kHigh; };
  auto within = [&](uint64_t x, uint64_t lo, uint64_t hi) { return atLeast(x, lo) & ~atLeast(x, hi + 1); };
  const uint64_t folded = v | kEach * 0x20;  // capitals as small letters
  return (word & kHigh) | within(folded, 'a', 'z') | within(v, '0', ':') | within(v, '-', '.') | within(v, '_', '_');
}

// The first byte from `from` on outside the class whose bytes `Class` marks (their high
// bits), or `to`; eight bytes a test. Bytes past `to` load as zero, which is in no class
// here (neither a name byte nor white space): a short word always stops.
template <uint64_t (*Class)(uint64_t)>
const char* RunEnd(const char* from, const char* to) {
  while (from != to) {
    const uint64_t stops = ~Class(LoadWord(from, static_cast<size_t>(to - from))) & 0x8080808080808080ULL;
    if (stops) return from + std::countr_zero(stops) / 8;
    from += 8;
  }
  return from;
}

// The first byte of [from, to) that is not white space, or `to`.
const char* SkipSpaces(const char* from, const char* to) { return RunEnd<SpaceBytes>(from, to); }

// The start of the white space that ends [from, to).
const char* SkipSpacesBack(const char* from, const char* to) {
  while (to - from >= 8) {
    const uint64_t stops = ~SpaceBytes(LoadWord(to - 8, 8)) & 0x8080808080808080ULL;
    if (stops) {
      // The last byte of the eight that is not white space; the highest byte is the last.
      const int highest = 63 - std::countl_zero(stops);
      return to - 8 + highest / 8 + 1;
    }
    to -= 8;
  }
  while (to > from && IsSpace(to[-1])) --to;
  return to;
}

class XmlParser {
 public:
  XmlParser(RefDocument& doc, std::string_view text)
      : doc_(doc), begin_(text.data()), p_(text.data()), end_(text.data() + text.size()),
        budget_(kXmlEntityBudget + text.size()), lineAt_(text.data()), lineStart_(text.data()) {}

  void Run() {
    if (!begin_ || begin_ == end_) {
      Error(kXmlNullBuffer, "NULL buffer supplied.");
      return;
    }
    stack_.reserve(32);  // most documents nest no deeper: the stack is allocated once
    stack_.push_back(doc_.root_);
    try {
      while (!stopped_) {
        const char* blankStart = p_;
        SkipSpace();
        if (p_ == end_) break;
        if (*p_ == '<')
          Markup();
        else
          Text(blankStart);
      }
    } catch (const std::bad_alloc&) {
      Error(kXmlOutOfMemory, "Unable to create new parser Element");
      stopped_ = true;
    }
    if (stopped_) return;
    for (size_t i = stack_.size(); i-- > 1;) Error(kXmlMissingEndTag, Format("Missing end tag '%s'.", stack_[i]->name));
  }

 private:
  RefNode* Open() const { return stack_.back(); }

  void SkipSpace() { p_ = SkipSpaces(p_, end_); }

  bool StartsWith(const char* s) const {
    size_t n = std::strlen(s);
    return static_cast<size_t>(end_ - p_) >= n && std::memcmp(p_, s, n) == 0;
  }

  // Line and column of p_, both from 1; counted forward from the last place asked for.
  void Position(int& line, int& column) {
    if (p_ < lineAt_) {
      lineAt_ = begin_;
      line_ = 1;
      lineStart_ = begin_;
    }
    for (const char* q = lineAt_; q < p_;) {
      const void* br = std::memchr(q, '\n', static_cast<size_t>(p_ - q));
      if (!br) break;
      ++line_;
      q = lineStart_ = static_cast<const char*>(br) + 1;
    }
    lineAt_ = p_;
    line = line_;
    column = static_cast<int>(p_ - lineStart_) + 1;
  }

  // Error messages are made in one buffer that the parser keeps: reporting allocates
  // nothing once it has grown. The formats hold "%s" for names (at most two), each cut
  // at 200 characters and at a NUL as printf would, and messages at 511 characters.
  const std::string& Format(const char* fmt, std::string_view a = {}, std::string_view b = {}) {
    const std::string_view names[2] = {a, b};
    message_.clear();
    int next = 0;
    const char* f = fmt;
    for (const char* pct; next < 2 && (pct = std::strchr(f, '%'));) {
      message_.append(f, static_cast<size_t>(pct - f));
      std::string_view name = names[next++].substr(0, 200);
      message_.append(name.substr(0, name.find('\0')));
      f = pct + 2;
    }
    message_.append(f);
    if (message_.size() > 511) message_.resize(511);
    return message_;
  }

  // The format's "%c" replaced by c; a NUL ends the message there, as it ended printf's.
  const std::string& FormatChar(const char* fmt, char c) {
    const char* pct = std::strchr(fmt, '%');
    message_.assign(fmt, static_cast<size_t>(pct - fmt));
    if (c == '\0') return message_;
    message_ += c;
    message_.append(pct + 2);
    return message_;
  }

  void Error(int code, std::string_view message) {
    if (message.data() != message_.data()) message_.assign(message.data(), message.size());
    int line = 1, column = 1;
    if (begin_) Position(line, column);
    doc_.Report(code, message_, line, column);
  }

  RefNode* Add(int kind, std::string_view text) {
    RefNode* node = doc_.NewNode(kind, text);
    doc_.AddNode(Open(), node);
    return node;
  }

  // Takes the text up to `close` as a node of the given kind.
  void Delimited(size_t skip, std::string_view close, int kind, const char* endMessage) {
    const char* from = p_ + skip;
    std::string_view rest(from, static_cast<size_t>(end_ - from));
    size_t at = rest.find(close);
    if (at == std::string_view::npos) {
      p_ = end_;
      Error(kXmlEndOfBuffer, endMessage);
      return;
    }
    Add(kind, rest.substr(0, at));
    p_ = from + at + close.size();
  }

  void Markup() {
    if (p_ + 1 >= end_) {
      ++p_;
      Error(kXmlEndOfBuffer, "Unexpected end of buffer while searching for tag name.");
      return;
    }
    switch (p_[1]) {
      case '?':
        Delimited(2, "?>", kXmlInstruction, "Unexpected end of buffer while parsing processing instruction.");
        return;
      case '/': EndTag(); return;
      case '!':
        if (StartsWith("<!--"))
          Delimited(4, "-->", kXmlComment, "Unexpected end of buffer while parsing comment.");
        else if (StartsWith("<![CDATA["))
          Delimited(9, "]]>", kXmlCData, "Unexpected end of buffer while CDATA.");
        else if (StartsWith("<!DOCTYPE"))
          Doctype();
        else
          Delimited(2, ">", kXmlMarkup, "Unexpected end of buffer while parsing markup.");
        return;
      default: StartTag(); return;
    }
  }

  // A name at p_; reports illegal characters and skips them.
  std::string_view Name(bool& atEnd) {
    const char* start = p_;
    p_ = RunEnd<NameBytes>(p_, end_);
    if (p_ < end_ && EndsName(*p_)) return std::string_view(start, static_cast<size_t>(p_ - start));
    bool clean = true;
    std::string collected;
    while (p_ < end_ && !EndsName(*p_)) {
      if (!IsNameChar(*p_)) {
        Error(kXmlIllegalCharacter, FormatChar("Illegal character (%c) encountered while parsing name.", *p_));
        if (clean) collected.assign(start, static_cast<size_t>(p_ - start));
        clean = false;
      } else if (!clean) {
        collected += *p_;
      }
      ++p_;
    }
    atEnd = p_ == end_;
    if (atEnd && p_ != start) Error(kXmlEndOfBuffer, "Unexpected end of buffer while name.");
    if (clean) return std::string_view(start, static_cast<size_t>(p_ - start));
    scratchName_ = std::move(collected);
    return scratchName_;
  }

  void StartTag() {
    ++p_;  // '<'
    bool atEnd = false;
    std::string_view name = Name(atEnd);
    if (name.empty()) {
      if (atEnd) {
        Error(kXmlEndOfBuffer, "Unexpected end of buffer while searching for tag name.");
        return;
      }
      // Not a tag: the "<" stays in the text.
      Error(kXmlUnexpectedToken, "Expecting tag name - none found.");
      Add(kXmlText, "<");
      return;
    }
    if (atEnd) return;
    if (static_cast<int>(stack_.size()) > kXmlMaxDepth) {
      Error(kXmlOutOfMemory, Format("Elements nested deeper than the limit: parsing stops at '%s'.", name));
      stopped_ = true;
      return;
    }
    RefNode* element = Add(kXmlElement, name);
    while (true) {
      SkipSpace();
      if (p_ == end_) {
        Error(kXmlEndOfBuffer, "Unexpected end of buffer.");
        return;
      }
      char c = *p_;
      if (c == '>') {
        ++p_;
        stack_.push_back(element);
        return;
      }
      if (c == '/' && p_ + 1 < end_ && p_[1] == '>') {
        p_ += 2;
        return;
      }
      if (c == '/' || c == '=' || c == '"' || c == '\'' || c == '<') {
        // The start tag ends here; what follows is its content.
        Error(kXmlMissingEndBracket, Format("Closing bracket for start tag '%s' not found.", element->name));
        if (c != '<') ++p_;
        stack_.push_back(element);
        return;
      }
      Attribute(element);
      if (stopped_) return;
    }
  }

  void Attribute(RefNode* element) {
    bool atEnd = false;
    std::string_view name = Name(atEnd);
    RefNode* attribute = doc_.NewNode(kXmlAttribute, name);
    doc_.AddNode(element, attribute);
    SkipSpace();
    if (p_ == end_ || *p_ != '=') {
      if (p_ == end_) return;  // the start tag reports the end of the text
      Error(kXmlUnexpectedToken,
            Format("Unexpected token while parsing attribute (element %s, name %s).", element->name, attribute->name));
      return;
    }
    ++p_;
    SkipSpace();
    if (p_ == end_) return;
    char c = *p_;
    if (c == '"' || c == '\'') {
      const char* from = p_ + 1;
      const void* close = std::memchr(from, c, static_cast<size_t>(end_ - from));
      if (!close) {
        p_ = end_;
        Error(kXmlEndOfBuffer, "Unexpected end of buffer while parsing string.");
        return;
      }
      const char* to = static_cast<const char*>(close);
      attribute->valueKind = XmlValue::kText;
      attribute->value.assign(from, static_cast<size_t>(to - from));
      p_ = to + 1;
      return;
    }
    if (c == '-' || c == '+' || (c >= '0' && c <= '9')) {
      const char* q = p_;
      bool negative = false;
      if (*q == '-' || *q == '+') negative = *q++ == '-';
      long long v = 0;
      bool overflow = false, digits = false;
      while (q < end_ && *q >= '0' && *q <= '9') {
        digits = true;
        v = v * 10 + (*q - '0');
        if (v > 2147483648LL) {
          overflow = true;
          v = 2147483648LL;
        }
        ++q;
      }
      p_ = q;
      if (q == end_) {
        Error(kXmlEndOfBuffer, "Unexpected end of buffer while parsing integer.");
        return;
      }
      if (!digits || !(EndsName(*q) && *q != '=')) {
        Error(kXmlNoToken, Format("Error while parsing attribute (element %s, name %s).", element->name, attribute->name));
        while (p_ < end_ && !EndsName(*p_)) ++p_;
        return;
      }
      if (overflow || (!negative && v > 2147483647LL)) {
        Error(kXmlBadInteger,
              Format("Bad integer value while parsing attribute (element %s, name %s).", element->name, attribute->name));
        return;
      }
      attribute->valueKind = XmlValue::kInteger;
      attribute->value = std::to_string(negative ? -v : v);
      return;
    }
    Error(kXmlNoToken, Format("Error while parsing attribute (element %s, name %s).", element->name, attribute->name));
    while (p_ < end_ && !EndsName(*p_) && *p_ != '<') ++p_;
  }

  void EndTag() {
    p_ += 2;  // "</"
    bool atEnd = false;
    std::string_view name = Name(atEnd);
    if (name.empty() && !atEnd) Error(kXmlUnexpectedToken, "Missing end tag name.");
    SkipSpace();
    if (p_ == end_) {
      Error(kXmlNoToken, "Unexpected end of buffer while parsing endtag.");
    } else if (*p_ != '>') {
      Error(kXmlNoToken, Format("Missing end bracket while parsing end tag '%s'.", name));
    } else {
      ++p_;
    }
    if (name.empty()) return;
    if (stack_.size() == 1) {
      Error(kXmlUnexpectedEndTag, Format("Unexpected end tag '%s'.", name));
      return;
    }
    if (Open()->name == name) {
      stack_.pop_back();
      return;
    }
    size_t match = 0;
    for (size_t i = stack_.size() - 1; i-- > 1;) {
      if (stack_[i]->name == name) {
        match = i;
        break;
      }
    }
    if (match) {
      // An end tag of an enclosing element closes every element opened since.
      while (stack_.size() > match + 1) {
        Error(kXmlMissingEndTag, Format("Expecting end tag '%s'. Found end tag '%s' instead.", Open()->name, name));
        stack_.pop_back();
      }
      stack_.pop_back();
      return;
    }
    Error(kXmlMissingEndTag, Format("Expecting end tag '%s'. Found end tag '%s' instead.", Open()->name, name));
    stack_.pop_back();
  }

  // Text up to the next "<". White space at either end that holds a line break is the
  // file's layout (the writer puts every text on lines of its own), so it is dropped;
  // other blanks there are the text's own (a cell's leading blanks) and are kept.
  void Text(const char* blankStart) {
    const char* start = p_;
    if (!HasLineBreak(blankStart, p_)) start = blankStart;
    const void* lt = std::memchr(p_, '<', static_cast<size_t>(end_ - p_));
    const char* stop = lt ? static_cast<const char*>(lt) : end_;
    const char* last = SkipSpacesBack(p_, stop);
    const char* textEnd = HasLineBreak(last, stop) ? last : stop;
    std::string_view raw(start, static_cast<size_t>(textEnd - start));
    RefNode* node = Add(kXmlText, {});
    if (raw.find('&') == std::string_view::npos) {
      node->name.assign(raw.data(), raw.size());
    } else {
      DecodeText(raw, node->name);
    }
    p_ = stop;
  }

  static bool HasLineBreak(const char* from, const char* to) {
    size_t n = static_cast<size_t>(to - from);
    return n && (std::memchr(from, '\n', n) || std::memchr(from, '\r', n));
  }

  void AppendReference(std::string& out, unsigned code) const {
    if (code == 0xA0 && doc_.noBreakReferencesAsBlanks_)
      out += ' ';
    else
      AppendCodePoint(out, code);
  }

  void DecodeText(std::string_view raw, std::string& out) {
    out.reserve(raw.size());
    size_t i = 0;
    while (i < raw.size()) {
      size_t amp = raw.find('&', i);
      if (amp == std::string_view::npos) {
        out.append(raw.substr(i));
        break;
      }
      out.append(raw.substr(i, amp - i));
      size_t n = amp + 1;
      if (n < raw.size() && raw[n] == '#') {
        // A character reference: "#", an optional "x", then its digits only.
        ++n;
        bool hex = n < raw.size() && (raw[n] == 'x' || raw[n] == 'X');
        if (hex) ++n;
        while (n < raw.size() && (IsDigit(raw[n]) || (hex && std::strchr("abcdefABCDEF", raw[n]) && raw[n])))
          ++n;
      } else {
        while (n < raw.size() && IsNameChar(raw[n])) ++n;
      }
      std::string_view name = raw.substr(amp + 1, n - amp - 1);
      bool semicolon = n < raw.size() && raw[n] == ';';
      size_t after = semicolon ? n + 1 : n;
      if (!semicolon) {
        p_ = raw.data() + amp;
        Error(kXmlBadEntity, Format("Missing ';' on character entity '&%s'.", name));
        unsigned code = 0;
        if (doc_.unterminatedReferences_ && !name.empty() && name[0] == '#' && CharacterCode(name.substr(1), code))
          AppendReference(out, code);
        else
          out.append(raw.substr(amp, after - amp));
        i = after;
        continue;
      }
      std::string character;  // a character reference's byte (no allocation)
      std::string_view replacement;
      bool known = false;
      if (!name.empty() && name[0] == '#') {
        unsigned code = 0;
        if (CharacterCode(name.substr(1), code)) {
          AppendReference(character, code);
          replacement = character;
          known = true;
        }
      } else if (const std::string* text = doc_.FindEntity(name)) {
        replacement = *text;
        known = true;
      }
      if (known && replacement.size() > budget_) {
        p_ = raw.data() + amp;
        if (!budgetReported_)
          Error(kXmlOutOfMemory, Format("Entity replacements exceed the limit; '&%s;' and later ones stay as written.", name));
        budgetReported_ = true;
        known = false;
      } else if (known) {
        budget_ -= replacement.size();
      } else {
        p_ = raw.data() + amp;
        Error(kXmlBadEntity, Format("Bad character entity '&%s;' encountered.", name));
      }
      if (known)
        out.append(replacement);
      else
        out.append(raw.substr(amp, after - amp));
      i = after;
    }
  }

  // "123" or "x7B": a Unicode code point other than zero.
  static bool CharacterCode(std::string_view digits, unsigned& code) {
    bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) return false;
    unsigned long v = 0;
    for (char c : digits) {
      int d = c >= '0' && c <= '9' ? c - '0'
              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                            : -1;
      if (d < 0) return false;
      v = v * (hex ? 16 : 10) + static_cast<unsigned long>(d);
      if (v > 0x10FFFF) return false;
    }
    if (v == 0) return false;
    code = static_cast<unsigned>(v);
    return true;
  }

  // <!DOCTYPE ...> with an internal subset whose entity declarations join the table.
  void Doctype() {
    const char* from = p_ + 2;
    const char* q = from;
    auto endOfText = [&] {
      p_ = end_;
      Error(kXmlEndOfBuffer, "Unexpected end of buffer while parsing DOCTYPE entry.");
    };
    auto skipQuoted = [&](const char*& r) -> bool {
      char quote = *r++;
      const void* close = std::memchr(r, quote, static_cast<size_t>(end_ - r));
      if (!close) return false;
      r = static_cast<const char*>(close) + 1;
      return true;
    };
    while (q < end_ && *q != '>') {
      if (*q == '"' || *q == '\'') {
        if (!skipQuoted(q)) return endOfText();
      } else if (*q == '[') {
        ++q;
        while (q < end_ && *q != ']') {
          std::string_view rest(q, static_cast<size_t>(end_ - q));
          if (rest.compare(0, 4, "<!--") == 0) {
            size_t close = rest.find("-->", 4);
            if (close == std::string_view::npos) return endOfText();
            q += close + 3;
          } else if (rest.compare(0, 8, "<!ENTITY") == 0) {
            if (!EntityDeclaration(q)) return endOfText();
          } else if (*q == '<') {
            while (q < end_ && *q != '>') {
              if (*q == '"' || *q == '\'') {
                if (!skipQuoted(q)) return endOfText();
              } else {
                ++q;
              }
            }
            if (q == end_) return endOfText();
            ++q;
          } else {
            ++q;
          }
        }
        if (q == end_) return endOfText();
        ++q;
      } else {
        ++q;
      }
    }
    if (q == end_) return endOfText();
    Add(kXmlMarkup, std::string_view(from, static_cast<size_t>(q - from)));
    p_ = q + 1;
  }

  // <!ENTITY name "text"> at q; q ends after the declaration. False at the end of text.
  bool EntityDeclaration(const char*& q) {
    q = SkipSpaces(q + 8, end_);
    bool parameter = q < end_ && *q == '%';
    if (parameter) q = SkipSpaces(q + 1, end_);
    const char* nameStart = q;
    while (q < end_ && IsNameChar(*q)) ++q;
    std::string_view name(nameStart, static_cast<size_t>(q - nameStart));
    q = SkipSpaces(q, end_);
    if (q == end_) return false;
    std::string_view text;
    bool external = false;
    if (*q == '"' || *q == '\'') {
      char quote = *q++;
      const void* close = std::memchr(q, quote, static_cast<size_t>(end_ - q));
      if (!close) return false;
      text = std::string_view(q, static_cast<size_t>(static_cast<const char*>(close) - q));
      q = static_cast<const char*>(close) + 1;
    } else {
      // SYSTEM or PUBLIC: an outside resource, never fetched.
      external = true;
    }
    while (q < end_ && *q != '>') {
      if (*q == '"' || *q == '\'') {
        char quote = *q++;
        const void* close = std::memchr(q, quote, static_cast<size_t>(end_ - q));
        if (!close) return false;
        q = static_cast<const char*>(close) + 1;
      } else {
        ++q;
      }
    }
    if (q == end_) return false;
    ++q;
    if (!parameter && !external && !name.empty()) {
      // Character references in the value take effect now; entity references in it
      // are inserted as written, never expanded again.
      std::string value;
      size_t i = 0;
      while (i < text.size()) {
        size_t amp = text.find("&#", i);
        if (amp == std::string_view::npos) break;
        value.append(text.substr(i, amp - i));
        size_t semi = text.find(';', amp);
        unsigned code = 0;
        if (semi != std::string_view::npos && CharacterCode(text.substr(amp + 2, semi - amp - 2), code)) {
          AppendCodePoint(value, code);
          i = semi + 1;
        } else {
          value += '&';
          i = amp + 1;
        }
      }
      value.append(text.substr(std::min(i, text.size())));
      doc_.AddEntity(name, value);
    }
    return true;
  }

  RefDocument& doc_;
  const char* begin_;
  const char* p_;
  const char* end_;
  std::vector<RefNode*> stack_;
  size_t budget_;
  bool budgetReported_ = false;
  bool stopped_ = false;
  std::string scratchName_;
  std::string message_;
  const char* lineAt_;
  const char* lineStart_;
  int line_ = 1;
};


}  // namespace

std::string ParseAndDump(std::string_view text, const Options& options) {
  RefDocument doc;
  doc.unterminatedReferences_ = options.unterminatedReferences;
  doc.noBreakReferencesAsBlanks_ = options.noBreakReferencesAsBlanks;
  doc.root_ = doc.NewNode(kXmlElement, "[Root]");
  XmlParser parser(doc, text);
  parser.Run();
  return XmlDump(doc.root_, doc.errors);
}

}  // namespace vm::spreadsheet::reference
