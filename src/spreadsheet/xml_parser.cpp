// The parser of CXmlDocument. It keeps the open elements on a stack of its own rather
// than recursing, so the nesting depth costs no machine stack; the depth is still
// bounded for the readers and writers that walk the tree recursively.
//
// It reads the text once, byte classes from one table, and allocates nothing a node:
// names, values and texts are views into the document's copy of the text, where texts
// with references are decoded and integers written in place. The parser itself reads the
// text it was given, never the copy, so error positions count the bytes as written.
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "spreadsheet/xml_document.h"

namespace vm::spreadsheet {

namespace {

enum : unsigned char { kSpace = 1, kNameChar = 2, kEndsName = 4, kEndsText = 8 };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) {
    // Names: letters, digits, "-", ":", "_", "." and every byte of a national letter.
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':' ||
        c == '_' || c == '.' || c >= 0x80)
      t[c] |= kNameChar;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') t[c] |= kSpace | kEndsName;
    if (c == '>' || c == '/' || c == '=') t[c] |= kEndsName;
    if (c == '<' || c == '&') t[c] |= kEndsText;
  }
  return t;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

bool Is(char c, unsigned char what) { return kClasses[static_cast<unsigned char>(c)] & what; }
bool IsSpace(char c) { return Is(c, kSpace); }
bool IsNameChar(char c) { return Is(c, kNameChar); }
bool EndsName(char c) { return Is(c, kEndsName); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The first byte from `from` on outside the class, or `to`: four table tests a step.
template <unsigned char kClass>
const char* RunEnd(const char* from, const char* to) {
  while (to - from >= 4) {
    if (!Is(from[0], kClass)) return from;
    if (!Is(from[1], kClass)) return from + 1;
    if (!Is(from[2], kClass)) return from + 2;
    if (!Is(from[3], kClass)) return from + 3;
    from += 4;
  }
  while (from != to && Is(*from, kClass)) ++from;
  return from;
}

// The first byte from `from` on in the class, or `to`.
template <unsigned char kClass>
const char* RunTo(const char* from, const char* to) {
  while (to - from >= 4) {
    if (Is(from[0], kClass)) return from;
    if (Is(from[1], kClass)) return from + 1;
    if (Is(from[2], kClass)) return from + 2;
    if (Is(from[3], kClass)) return from + 3;
    from += 4;
  }
  while (from != to && !Is(*from, kClass)) ++from;
  return from;
}

// The first byte of [from, to) that is not white space, or `to`. The indentation of a
// written file comes in runs of a dozen blanks and more: sixteen bytes a test there.
const char* SkipSpaces(const char* from, const char* to) {
  if (from == to || !IsSpace(*from)) return from;
#if defined(__SSE2__) || defined(_M_X64)
  while (to - from >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i spaces = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))),
                                        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
    const unsigned stops = ~static_cast<unsigned>(_mm_movemask_epi8(spaces)) & 0xFFFFu;
    if (stops) return from + std::countr_zero(stops);
    from += 16;
  }
#endif
  return RunEnd<kSpace>(from, to);
}

// The start of the white space that ends [from, to).
const char* SkipSpacesBack(const char* from, const char* to) {
  while (to > from && IsSpace(to[-1])) --to;
  return to;
}

// Where decoded bytes go: over the raw text in the document's copy while they fit (they
// do unless a declared entity is longer than its reference), else a string of their own.
class DecodedText {
 public:
  DecodedText(char* at, size_t room) : at_(at), room_(room) {}
  void Append(std::string_view bytes) {
    if (!spilled_ && bytes.size() <= room_ - used_) {
      std::memcpy(at_ + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      Spill(bytes);
    }
  }
  void Append(char c) {
    if (!spilled_ && used_ < room_)
      at_[used_++] = c;
    else
      Spill(std::string_view(&c, 1));
  }
  bool spilled() const { return spilled_; }
  std::string_view InPlace() const { return {at_, used_}; }
  const std::string& Spilled() const { return spill_; }

 private:
  char* at_;
  size_t room_, used_ = 0;
  bool spilled_ = false;
  std::string spill_;

  void Spill(std::string_view bytes) {
    if (!spilled_) {
      spilled_ = true;
      spill_.reserve(used_ + bytes.size() + 64);
      spill_.assign(at_, used_);
    }
    spill_.append(bytes);
  }
};

}  // namespace

class XmlParser {
 public:
  XmlParser(CXmlDocument& doc, std::string_view text, char* copy)
      : doc_(doc), begin_(text.data()), p_(text.data()), end_(text.data() + text.size()), copy_(copy),
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
  CXmlNode* Open() const { return stack_.back(); }

  // The place in the copy of a byte of the text.
  char* CopyOf(const char* at) const { return copy_ + (at - begin_); }
  // Bytes of the text as the copy holds them; other bytes (the copy's own, a literal)
  // as they are.
  std::string_view Own(std::string_view bytes) const {
    const std::less<const char*> before;
    if (bytes.empty()) return {};
    if (before(bytes.data(), begin_) || !before(bytes.data(), end_)) return bytes;
    return {CopyOf(bytes.data()), bytes.size()};
  }

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

  CXmlNode* Add(int kind, std::string_view text) {
    CXmlNode* node = doc_.MakeNode(kind, Own(text));
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
  // The name is a view into the text, or, when bytes were left out, into the copy,
  // where its legal bytes are moved together.
  std::string_view Name(bool& atEnd) {
    const char* start = p_;
    p_ = RunEnd<kNameChar>(p_, end_);
    if (p_ < end_ && EndsName(*p_)) return std::string_view(start, static_cast<size_t>(p_ - start));
    bool clean = true;
    char* collected = CopyOf(start);
    size_t kept = 0;
    while (p_ < end_ && !EndsName(*p_)) {
      if (!IsNameChar(*p_)) {
        Error(kXmlIllegalCharacter, FormatChar("Illegal character (%c) encountered while parsing name.", *p_));
        if (clean) kept = static_cast<size_t>(p_ - start);
        clean = false;
      } else if (!clean) {
        collected[kept++] = *p_;
      }
      ++p_;
    }
    atEnd = p_ == end_;
    if (atEnd && p_ != start) Error(kXmlEndOfBuffer, "Unexpected end of buffer while name.");
    if (clean) return std::string_view(start, static_cast<size_t>(p_ - start));
    return std::string_view(collected, kept);
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
    CXmlNode* element = Add(kXmlElement, name);
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

  void Attribute(CXmlNode* element) {
    bool atEnd = false;
    std::string_view name = Name(atEnd);
    CXmlNode* attribute = doc_.MakeNode(kXmlAttribute, Own(name));
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
      attribute->value = Own(std::string_view(from, static_cast<size_t>(to - from)));
      p_ = to + 1;
      return;
    }
    if (c == '-' || c == '+' || (c >= '0' && c <= '9')) {
      const char* const digitsStart = p_;
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
      // The number's decimal digits are never longer than the sign and digits written.
      char text[16];
      const size_t n = static_cast<size_t>(std::snprintf(text, sizeof text, "%lld", negative ? -v : v));
      char* at = CopyOf(digitsStart);
      std::memcpy(at, text, n);
      attribute->valueKind = XmlValue::kInteger;
      attribute->value = std::string_view(at, n);
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
    const char* stop = RunTo<kEndsText>(p_, end_);
    const char* firstAmp = stop;
    if (stop != end_ && *stop == '&') {
      const void* lt = std::memchr(stop, '<', static_cast<size_t>(end_ - stop));
      stop = lt ? static_cast<const char*>(lt) : end_;
    }
    const char* last = SkipSpacesBack(p_, stop);
    const char* textEnd = HasLineBreak(last, stop) ? last : stop;
    std::string_view raw(start, static_cast<size_t>(textEnd - start));
    CXmlNode* node = Add(kXmlText, raw);
    if (firstAmp < textEnd) {
      DecodedText out(CopyOf(start), raw.size());
      DecodeText(raw, out);
      node->name = out.spilled() ? doc_.Keep(out.Spilled()) : out.InPlace();
    }
    p_ = stop;
  }

  static bool HasLineBreak(const char* from, const char* to) {
    for (; from != to; ++from)
      if (*from == '\n' || *from == '\r') return true;
    return false;
  }

  void AppendReference(DecodedText& out, unsigned code) const {
    if (code == 0xA0 && doc_.noBreakReferencesAsBlanks_) {
      out.Append(' ');
    } else {
      std::string character;  // one byte: no allocation
      AppendCodePoint(character, code);
      out.Append(character);
    }
  }

  void DecodeText(std::string_view raw, DecodedText& out) {
    size_t i = 0;
    while (i < raw.size()) {
      // The runs between references are short (a word of a cell's text): a byte loop.
      size_t amp = i;
      while (amp < raw.size() && raw[amp] != '&') ++amp;
      if (amp == raw.size()) {
        out.Append(raw.substr(i));
        break;
      }
      out.Append(raw.substr(i, amp - i));
      // The most common reference first, as the general rule below reads it: a short
      // decimal one of a character below 0x80 ("&#32;", a written blank).
      if (amp + 3 < raw.size() && raw[amp + 1] == '#' && IsDigit(raw[amp + 2]) && budget_ > 0) {
        size_t d = amp + 2;
        unsigned code = 0;
        while (d < raw.size() && d < amp + 5 && IsDigit(raw[d])) code = code * 10 + static_cast<unsigned>(raw[d++] - '0');
        if (d < raw.size() && raw[d] == ';' && code > 0 && code < 0x80) {
          out.Append(static_cast<char>(code));
          --budget_;
          i = d + 1;
          continue;
        }
      }
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
          out.Append(raw.substr(amp, after - amp));
        i = after;
        continue;
      }
      std::string character;  // a character reference's byte (no allocation)
      std::string_view replacement;
      bool known = false;
      if (!name.empty() && name[0] == '#') {
        unsigned code = 0;
        if (CharacterCode(name.substr(1), code)) {
          if (code == 0xA0 && doc_.noBreakReferencesAsBlanks_)
            character = " ";
          else
            AppendCodePoint(character, code);
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
        out.Append(replacement);
      else
        out.Append(raw.substr(amp, after - amp));
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

  CXmlDocument& doc_;
  const char* begin_;
  const char* p_;
  const char* end_;
  char* copy_;
  std::vector<CXmlNode*> stack_;
  size_t budget_;
  bool budgetReported_ = false;
  bool stopped_ = false;
  std::string message_;
  const char* lineAt_;
  const char* lineStart_;
  int line_ = 1;
};

void CXmlDocument::Parse(std::string_view text) {
  if (Holds(text)) {
    // A text this document holds would be gone with its old content.
    const std::string own(text);
    Parse(own);
    return;
  }
  std::unique_ptr<char[]> source = std::move(source_);
  size_t capacity = sourceCapacity_;
  sourceCapacity_ = 0;
  Clear();
  if (capacity < text.size()) {
    source.reset(new char[text.size()]);
    capacity = text.size();
  }
  if (!text.empty()) std::memcpy(source.get(), text.data(), text.size());
  source_ = std::move(source);
  sourceCapacity_ = capacity;
  XmlParser parser(*this, text, source_.get());
  parser.Run();
}

}  // namespace vm::spreadsheet
