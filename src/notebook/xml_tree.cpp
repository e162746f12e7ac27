#include "notebook/xml_tree.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vm::notebook {

namespace {

constexpr size_t npos = std::string_view::npos;

bool StartsAt(std::string_view t, size_t p, std::string_view token) {
  return p <= t.size() && t.size() - p >= token.size() && std::memcmp(t.data() + p, token.data(), token.size()) == 0;
}

// t.find(c, p) without handing the view itself to the library, so that a caller can
// keep it in registers.
size_t FindByte(std::string_view t, size_t p, char c) {
  if (p >= t.size()) return npos;
  const void* hit = std::memchr(t.data() + p, c, t.size() - p);
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - t.data()) : npos;
}

bool SameText(std::string_view a, const std::string& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// A few bytes looked for in a text: up to kMaxListed of them sixteen places at a time,
// any more one byte at a time through a table.
class ByteSet {
 public:
  constexpr explicit ByteSet(std::string_view bytes) {
    for (char c : bytes) Add(c);
  }
  constexpr void Add(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (member_[u]) return;
    member_[u] = true;
    if (count_ == 0) listed_.fill(c);  // unused places repeat the first byte
    if (count_ < kMaxListed) listed_[count_] = c;
    ++count_;
    blockWise_ = count_ <= kMaxListed;
  }
  bool Has(char c) const { return member_[static_cast<unsigned char>(c)]; }

  // The first place at or after p that holds one of the bytes, or `also` when that is
  // not zero; npos when none does.
  size_t Find(std::string_view t, size_t p, char also = 0) const { return Scan<true>(t, p, also); }
  // The first place at or after p that holds none of them; npos when none does.
  size_t FindOther(std::string_view t, size_t p) const { return Scan<false>(t, p, 0); }
  // The last place that holds none of them; npos when none does.
  size_t FindLastOther(std::string_view t) const {
    const char* const text = t.data();
    size_t e = t.size();
#if defined(__SSE2__)
    if (blockWise_) {
      const __m128i first = _mm_set1_epi8(listed_[0]);
      for (; e >= 16; e -= 16)
        if (unsigned m = ~Hits(text + e - 16, first) & 0xFFFF)
          return e - 16 + static_cast<size_t>(31 - __builtin_clz(m));
      if (e == 0) return npos;
      unsigned m = ~Hits(Padded(text, e).data(), first) & ((1u << e) - 1);
      return m ? static_cast<size_t>(31 - __builtin_clz(m)) : npos;
    }
#endif
    while (e-- > 0)
      if (!Has(text[e])) return e;
    return npos;
  }

 private:
  template <bool kMember>
  size_t Scan(std::string_view t, size_t p, char also) const {
    const char* const text = t.data();
    const size_t n = t.size();
#if defined(__SSE2__)
    if (blockWise_) {
      if (p >= n) return npos;
      const unsigned flip = kMember ? 0 : 0xFFFF;
      const __m128i extra = _mm_set1_epi8(also ? also : listed_[0]);
      // Most hits are near: one block first, then long runs (blanks before deep tags)
      // sixty-four bytes a step.
      if (n - p >= 16) {
        if (unsigned m = Hits(text + p, extra) ^ flip) return p + static_cast<size_t>(__builtin_ctz(m));
        p += 16;
      }
      for (; n - p >= 64; p += 64) {
        const uint64_t m = (uint64_t{Hits(text + p, extra)} | uint64_t{Hits(text + p + 16, extra)} << 16 |
                            uint64_t{Hits(text + p + 32, extra)} << 32 | uint64_t{Hits(text + p + 48, extra)} << 48) ^
                           (kMember ? 0 : ~uint64_t{0});
        if (m) return p + static_cast<size_t>(__builtin_ctzll(m));
      }
      for (; n - p >= 16; p += 16)
        if (unsigned m = Hits(text + p, extra) ^ flip) return p + static_cast<size_t>(__builtin_ctz(m));
      if (p >= n) return npos;
      unsigned m = (Hits(Padded(text + p, n - p).data(), extra) ^ flip) & ((1u << (n - p)) - 1);
      return m ? p + static_cast<size_t>(__builtin_ctz(m)) : npos;
    }
#endif
    for (; p < n; ++p)
      if ((Has(text[p]) || (also && text[p] == also)) == kMember) return p;
    return npos;
  }

#if defined(__SSE2__)
  // The mask of the sixteen bytes at `at` that are in the set or equal to `extra`'s.
  unsigned Hits(const char* at, __m128i extra) const {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i any = _mm_cmpeq_epi8(v, extra);
    for (size_t k = 1; k < kMaxListed; ++k) any = _mm_or_si128(any, _mm_cmpeq_epi8(v, _mm_set1_epi8(listed_[k])));
    return static_cast<unsigned>(_mm_movemask_epi8(any));
  }
  // Fewer than sixteen bytes copied to a block, so that nothing past them is read; the
  // rest of the block holds a byte of the set.
  std::array<char, 16> Padded(const char* at, size_t n) const {
    std::array<char, 16> block;
    block.fill(listed_[0]);
    std::memcpy(block.data(), at, n);
    return block;
  }
#endif

  static constexpr size_t kMaxListed = 8;
  std::array<bool, 256> member_{};
  std::array<char, kMaxListed> listed_{};
  size_t count_ = 0;
  bool blockWise_ = false;  // some bytes, all of them listed
};

// The sets are built when the program is compiled, so using one costs no check of
// whether it was made yet.
constexpr ByteSet kBlanks(" \t\n\r\v\f");


size_t SkipBlanks(std::string_view t, size_t p) {
  if (p < t.size() && !kBlanks.Has(t[p])) return p;  // mostly nothing to skip
  size_t q = kBlanks.FindOther(t, p);
  return q == npos ? std::max(p, t.size()) : q;
}

std::string_view Trim(std::string_view s) {
  // Names and most texts neither start nor end with a blank.
  if (s.empty() || (!kBlanks.Has(s.front()) && !kBlanks.Has(s.back()))) return s;
  size_t b = kBlanks.FindOther(s, 0);
  if (b == npos) return s.substr(s.size());
  size_t e = kBlanks.FindLastOther(s) + 1;
  return s.substr(b, e - b);
}

bool BlankOnly(std::string_view s) {
  return kBlanks.FindOther(s, 0) == npos;
}

// The first of `stops` at or after p; an escape character makes the next one literal.
size_t FindStop(std::string_view t, size_t p, const ByteSet& stops, char escape) {
  while (p < t.size()) {
    size_t q = stops.Find(t, p, escape);
    if (q == npos || !escape || t[q] != escape) return q;
    p = q + 2;
  }
  return npos;
}

// Where texts, quoted and unquoted attribute values end.
constexpr ByteSet kTextEnds("<");
constexpr ByteSet kSingleQuoteEnds("'");
constexpr ByteSet kDoubleQuoteEnds("\"");
constexpr ByteSet kUnquotedEnds(" \t\r\n>");

// The ends of names and of attribute names.
constexpr ByteSet kNameEnds(" /\t\r\n>");
constexpr ByteSet kAttributeNameEnds(" =\t\r\n");
constexpr ByteSet kInstructionNameEnds(" \t\r\n");
constexpr ByteSet kClosingNameEnds(" >");
constexpr ByteSet kInstructionStarts("?");

// The first "?>" at or after p, escapes skipped.
size_t FindInstructionEnd(std::string_view t, size_t p, char escape) {
  constexpr std::string_view token = "?>";
  while (p < t.size()) {
    p = kInstructionStarts.Find(t, p, escape);
    if (p == npos) return npos;
    if (escape && t[p] == escape) {
      p += 2;
      continue;
    }
    if (StartsAt(t, p, token)) return p;
    ++p;
  }
  return npos;
}

// Drops every single escape character, and keeps the one after it, in place.
void DropEscapes(std::string& s, char escape) {
  char* const begin = s.data();
  const char* const end = begin + s.size();
  const char* r = static_cast<const char*>(std::memchr(begin, escape, s.size()));
  if (!r) return;
  char* w = const_cast<char*>(r);
  while (r < end) {
    // r is on an escape: the byte after it (if any) is kept as it is.
    if (++r == end) break;
    *w++ = *r++;
    const char* next = static_cast<const char*>(std::memchr(r, escape, static_cast<size_t>(end - r)));
    const char* stop = next ? next : end;
    std::memmove(w, r, static_cast<size_t>(stop - r));
    w += stop - r;
    r = stop;
  }
  s.resize(static_cast<size_t>(w - begin));
}

// References from the table replaced by their characters in place (never longer).
void DecodeInPlace(std::string& s, const XmlEntityTable& table) {
  char* const begin = s.data();
  const size_t n = s.size();
  const char* amp = static_cast<const char*>(std::memchr(begin, '&', n));
  if (!amp) return;
  std::string_view text(begin, n);
  size_t r = static_cast<size_t>(amp - begin), w = r;
  while (r < n) {
    // r is on "&".
    const XmlEntity* hit = nullptr;
    for (const XmlEntity& e : table)
      if (!e.reference.empty() && StartsAt(text, r, e.reference)) {
        hit = &e;
        break;
      }
    if (hit) {
      begin[w++] = hit->character;
      r += hit->reference.size();
    } else {
      begin[w++] = begin[r++];
    }
    const char* next = r < n ? static_cast<const char*>(std::memchr(begin + r, '&', n - r)) : nullptr;
    const size_t stop = next ? static_cast<size_t>(next - begin) : n;
    std::memmove(begin + w, begin + r, stop - r);
    w += stop - r;
    r = stop;
  }
  s.resize(w);
}

// Every stored text is trimmed, and a text that is empty then leaves the field as it
// was. Values and attribute values also get the escape and decode options.
void StoreName(std::string& field, std::string_view raw) {
  std::string_view s = Trim(raw);
  if (!s.empty()) field.assign(s);
}

void StoreText(std::string& field, std::string_view raw, const XmlParseOptions& o) {
  std::string_view s = Trim(raw);
  if (s.empty()) return;
  field.assign(s);
  if (o.escape) DropEscapes(field, o.escape);
  if (o.decodeReferences && o.entities) DecodeInPlace(field, *o.entities);
}

// Records the first error of a parse, its text made from `format` with up to two
// names; kept out of line, so that the parser's frames stay small.
[[gnu::noinline, gnu::cold]] size_t Fail(XmlParseOptions& o, size_t position, int code, const char* format,
                                         std::string_view a = {}, std::string_view b = {}) {
  if (!o.error) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, format, std::string(a).c_str(), std::string(b).c_str());
    o.error = true;
    o.errorPosition = position;
    o.errorCode = code;
    o.errorText = buf;
  }
  return kXmlNone;
}

void AppendTabs(std::string& out, int level) {
  out += "\r\n";
  if (level > 0) out.append(static_cast<size_t>(level), '\t');
}

// What a table writes for each byte: the index of its first entity, -1 for none.
class Encoder {
 public:
  explicit Encoder(const XmlEntityTable& table) : table_(table), marked_(std::string_view()) {
    index_.fill(-1);
    for (size_t i = table.size(); i-- > 0;) index_[static_cast<unsigned char>(table[i].character)] = static_cast<int>(i);
    for (const XmlEntity& e : table) marked_.Add(e.character);
  }
  void AppendTo(std::string& out, std::string_view text) const {
    size_t p = 0;
    while (p < text.size()) {
      size_t q = marked_.Find(text, p);
      if (q == npos) q = text.size();
      out.append(text.data() + p, q - p);
      if (q == text.size()) break;
      out += table_[static_cast<size_t>(index_[static_cast<unsigned char>(text[q])])].reference;
      p = q + 1;
    }
  }

 private:
  const XmlEntityTable& table_;
  std::array<int, 256> index_;
  ByteSet marked_;
};

void EncodeInto(std::string& out, std::string_view text, const XmlEntityTable& table) {
  if (&table == &DefaultEntities()) {
    static const Encoder standard(DefaultEntities());
    standard.AppendTo(out, text);
  } else {
    Encoder(table).AppendTo(out, text);
  }
}

void AppendText(std::string& out, const std::string& text, const XmlWriteOptions& w) {
  if (w.encodeReferences && w.entities)
    EncodeInto(out, text, *w.entities);
  else
    out += text;
}

}  // namespace

const XmlEntityTable& DefaultEntities() {
  static const XmlEntityTable table = {
      {'&', "&amp;"}, {'"', "&quot;"}, {'\'', "&apos;"}, {'<', "&lt;"}, {'>', "&gt;"},
  };
  return table;
}

void XmlParseOptions::ClearError() {
  error = false;
  errorPosition = 0;
  errorCode = kXmlNoError;
  errorText.clear();
}

std::string DecodeReferences(std::string_view text, const XmlEntityTable& table) {
  std::string out(text);
  DecodeInPlace(out, table);
  return out;
}

std::string EncodeReferences(std::string_view text, const XmlEntityTable& table) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  EncodeInto(out, text, table);
  return out;
}

XmlElement::XmlElement(std::string name, std::string value, XmlKind kind)
    : name_(std::move(name)), value_(std::move(value)), kind_(kind) {}

void XmlElement::ChildList::Grow(size_t capacity) {
  auto** grown = new XmlElement*[capacity];
  std::copy(data_, data_ + size_, grown);
  if (data_ != inline_) delete[] data_;
  data_ = grown;
  capacity_ = capacity;
}

void XmlElement::ChildList::insert(size_t i, XmlElement* e) {
  push_back(e);
  std::rotate(data_ + i, data_ + size_ - 1, data_ + size_);
}

XmlElement* XmlElement::ChildList::erase(size_t i) {
  XmlElement* e = data_[i];
  std::copy(data_ + i + 1, data_ + size_, data_ + i);
  --size_;
  return e;
}

XmlElement::~XmlElement() {
  // The attributes go with their list; most elements have no children to take apart.
  if (!children_.empty()) Clear();
}

void XmlElement::Clear() {
  attributes_.clear();
  // Down through the last children and back up through the parent links, deleting
  // each element once it has no children left: neither the stack nor any list grows
  // with the tree.
  XmlElement* e = this;
  for (;;) {
    if (!e->children_.empty()) {
      XmlElement* last = e->children_.pop_back();
      last->parent_ = e;
      e = last;
      continue;
    }
    if (e == this) return;
    XmlElement* up = e->parent_;
    delete e;  // childless, so its own Clear ends at once
    e = up;
  }
}

XmlAttribute& XmlElement::AddAttribute(std::string name, std::string value) {
  attributes_.push_back({std::move(name), std::move(value), this});
  return attributes_.back();
}

XmlElement* XmlElement::FindChild(std::string_view name) const {
  for (XmlElement* c : children_)
    if (c->name_ == name) return c;
  return nullptr;
}

XmlElement* XmlElement::AppendChild(std::string name, std::string value) {
  return AppendChild(std::make_unique<XmlElement>(std::move(name), std::move(value)));
}

XmlElement* XmlElement::AppendChild(std::unique_ptr<XmlElement> child) {
  child->parent_ = this;
  children_.push_back(child.get());
  return child.release();
}

XmlElement* XmlElement::InsertAfter(const XmlElement* after, std::unique_ptr<XmlElement> child) {
  child->parent_ = this;
  size_t at = children_.size();
  for (size_t i = 0; i < children_.size(); ++i)
    if (children_[i] == after) {
      at = i + 1;
      break;
    }
  children_.insert(at, child.get());
  return child.release();
}

std::unique_ptr<XmlElement> XmlElement::DetachChild(const XmlElement* child) {
  for (size_t i = 0; i < children_.size(); ++i) {
    if (children_[i] != child) continue;
    std::unique_ptr<XmlElement> out(children_.erase(i));
    out->parent_ = nullptr;
    return out;
  }
  return nullptr;
}

size_t XmlElement::Parse(std::string_view text, size_t position, XmlParseOptions& options) {
  size_t zero = text.find('\0');
  if (zero != npos) text = text.substr(0, zero);
  name_.clear();
  value_.clear();
  Clear();
  return ParseAt(text, position, options, 0);
}

size_t XmlElement::ParseAttributes(std::string_view t, size_t p, XmlParseOptions& o, bool stopAtEnd) {
  for (;;) {
    p = SkipBlanks(t, p);
    if (p < t.size() && (t[p] == '>' || t[p] == '/')) return p;
    if (p >= t.size() && stopAtEnd) return p;
    size_t q = kAttributeNameEnds.Find(t, p);
    if (q == npos) return Fail(o, p, kXmlAttributeError, "<%.768s> attribute has error ", name_);
    XmlAttribute& attribute = attributes_.emplace_back();
    attribute.owner = this;
    StoreName(attribute.name, std::string_view(t.data() + p, q - p));
    p = SkipBlanks(t, q);
    if (p >= t.size() || t[p] != '=') continue;
    p = SkipBlanks(t, p + 1);
    if (p < t.size() && (t[p] == '"' || t[p] == '\'')) {
      size_t end = FindStop(t, p + 1, t[p] == '\'' ? kSingleQuoteEnds : kDoubleQuoteEnds, o.escape);
      if (end == npos) return Fail(o, p, kXmlAttributeError, "<%.768s> attribute has error ", name_);
      StoreText(attribute.value, std::string_view(t.data() + p + 1, end - p - 1), o);
      p = end + 1;
    } else {
      size_t end = FindStop(t, p, kUnquotedEnds, o.escape);
      if (end == npos) end = t.size();
      StoreText(attribute.value, std::string_view(t.data() + p, end - p), o);
      p = end;
    }
  }
}

[[gnu::noinline]] size_t XmlElement::ParseInstruction(std::string_view t, size_t p, XmlParseOptions& o) {
  size_t end = FindInstructionEnd(t, p + 2, o.escape);
  if (end == npos) return Fail(o, p, kXmlNotClosed, "Element must be closed.");
  if (document_) {
    std::string_view inside = t.substr(0, end);
    auto pi = std::make_unique<XmlElement>(std::string(), std::string(), XmlKind::kProcessingInstruction);
    pi->document_ = document_;
    size_t nameEnd = kInstructionNameEnds.Find(inside, p + 2);
    if (nameEnd == npos) nameEnd = inside.size();
    StoreName(pi->name_, inside.substr(p + 2, nameEnd - p - 2));
    if (pi->ParseAttributes(inside, nameEnd, o, true) == kXmlNone) return kXmlNone;
    document_->AppendChild(std::move(pi));
  }
  return end + 2;
}

[[gnu::noinline]] size_t XmlElement::ParseMarked(std::string_view t, size_t p, bool comment, XmlParseOptions& o,
                                                  XmlElement* host) {
  std::string_view open = comment ? "<!--" : "<![CDATA[";
  std::string_view close = comment ? "-->" : "]]>";
  size_t end = t.find(close, p + open.size());
  if (end == npos) return Fail(o, p, kXmlNotClosed, "Element must be closed.");
  if (host) {
    auto node = std::make_unique<XmlElement>(comment ? "#COMMENT" : "#CDATA", std::string(),
                                             comment ? XmlKind::kComment : XmlKind::kCData);
    node->document_ = document_;
    StoreName(node->value_, t.substr(p + open.size(), end - p - open.size()));
    host->AppendChild(std::move(node));
  }
  return end + close.size();
}

[[gnu::noinline]] XmlElement* XmlElement::NewChild() {
  auto* child = new XmlElement();
  child->parent_ = this;
  child->document_ = document_;
  return child;
}

// Runs on an element that is still empty (Parse empties it, the others are new). The
// nodes before the element and the element's children are read in helpers, so that
// this frame, one for each level of nesting, holds nothing the sanitizer must guard.
size_t XmlElement::ParseAt(std::string_view t, size_t p, XmlParseOptions& o, int depth) {
  // Processing instructions, comments and CDATA sections before the element.
  for (;;) {
    p = FindByte(t, p, '<');
    if (p == npos) return kXmlNone;
    const char mark = p + 1 < t.size() ? t[p + 1] : '\0';
    if (mark == '?') {
      p = ParseInstruction(t, p, o);
      if (p == kXmlNone) return kXmlNone;
      continue;
    }
    if (mark != '!') break;
    const bool comment = StartsAt(t, p, "<!--");
    if (!comment && !StartsAt(t, p, "<![CDATA[")) break;
    p = ParseMarked(t, p, comment, o, parent_ ? parent_ : document_);
    if (p == kXmlNone) return kXmlNone;
    // Inside an element the node stands in this element's place: the parent drops
    // this nameless element and keeps the node.
    if (parent_ && parent_->kind_ != XmlKind::kDocument) return p;
  }

  size_t q = kNameEnds.Find(t, p + 1);
  if (q == npos) q = t.size();
  StoreName(name_, std::string_view(t.data() + p + 1, q - p - 1));
  // Most tags end right after the name.
  p = q < t.size() && t[q] == '>' ? q : ParseAttributes(t, q, o, false);
  if (p == kXmlNone) return kXmlNone;

  if (t[p] == '/') {
    if (p + 1 < t.size() && t[p + 1] == '>') return p + 2;
    return Fail(o, p, kXmlNotClosed, "Element must be closed.");
  }
  ++p;  // past ">"

  for (;;) {
    if (p >= t.size() || t[p] != '<') {
      // Leading blanks are neither stops nor escapes (unless the escape is a blank) and
      // would be trimmed away: skipped once, so the blanks between children are read once.
      const size_t start = kBlanks.Has(o.escape) ? p : SkipBlanks(t, p);
      size_t next = FindStop(t, start, kTextEnds, o.escape);
      if (next == npos) return Fail(o, p, kXmlClosingTagMissing, "%.256s must be closed with </%.256s>", name_, name_);
      if (next > start && BlankOnly(value_)) StoreText(value_, std::string_view(t.data() + start, next - start), o);
      p = next;
      continue;
    }
    if (p + 1 < t.size() && t[p + 1] == '/') {
      p = SkipBlanks(t, p + 2);
      size_t end = kClosingNameEnds.Find(t, p);
      size_t close = end == npos ? npos : FindByte(t, end, '>');
      if (close == npos)
        return Fail(o, p, kXmlClosingTagMissing, "it must be closed with </%.768s>", name_);
      std::string_view closing(t.data() + p, end - p);
      if (SameText(closing, name_) || o.forcedParse) return close + 1;
      return Fail(o, p, kXmlTagMismatch, "'<%.256s> ... </%.256s>' is not wel-formed.", name_, closing);
    }
    if (depth >= kMaxXmlDepth)
      return Fail(o, p, kXmlTooDeep, "<%.256s> is nested too deeply.", name_);
    // A comment or CDATA section among the children of an element is kept in place of
    // the child that would hold it; read here without making that child first.
    if (kind_ != XmlKind::kDocument && p + 1 < t.size() && t[p + 1] == '!') {
      const bool comment = StartsAt(t, p, "<!--");
      if (comment || StartsAt(t, p, "<![CDATA[")) {
        p = ParseMarked(t, p, comment, o, this);
        if (p == kXmlNone) return kXmlNone;
        continue;
      }
    }
    XmlElement* child = NewChild();
    size_t next = child->ParseAt(t, p, o, depth + 1);
    if (!child->name_.empty())
      children_.push_back(child);
    else
      delete child;
    if (next == kXmlNone) return kXmlNone;
    p = next;
  }
}

void XmlElement::AppendAttributes(std::string& out, const XmlWriteOptions& w) const {
  for (const XmlAttribute& a : attributes_) {
    out += a.name;
    out += '=';
    out += w.quote;
    AppendText(out, a.value, w);
    out += w.quote;
    out += ' ';
  }
}

void XmlElement::AppendXml(std::string& out, const XmlWriteOptions& w, int level) const {
  if (w.newLines) AppendTabs(out, level);
  switch (kind_) {
    case XmlKind::kDocument:
      for (const XmlElement* c : children_) c->AppendXml(out, w, level);
      return;
    case XmlKind::kProcessingInstruction:
      out += "<?";
      out += name_;
      if (!attributes_.empty()) out += ' ';
      AppendAttributes(out, w);
      out += "?>";
      return;
    case XmlKind::kComment:
      out += "<!--";
      out += value_;
      out += "-->";
      return;
    case XmlKind::kCData:
      out += "<![CDATA[";
      out += value_;
      out += "]]>";
      return;
    case XmlKind::kElement: break;
  }
  out += '<';
  out += name_;
  if (!attributes_.empty()) {
    out += ' ';
    AppendAttributes(out, w);
  }
  if (children_.empty() && value_.empty()) {
    out += "/>";
    return;
  }
  out += '>';
  bool nested = !children_.empty() && w.newLines;
  int inner = nested ? level + 1 : level;
  for (const XmlElement* c : children_) c->AppendXml(out, w, inner);
  if (!value_.empty()) {
    if (nested) AppendTabs(out, inner);
    AppendText(out, value_, w);
  }
  if (nested) AppendTabs(out, level);
  out += "</";
  out += name_;
  out += '>';
}

std::string XmlElement::ToXml(const XmlWriteOptions& options) const {
  std::string out;
  AppendXml(out, options, options.indent);
  return out;
}

std::unique_ptr<XmlElement> XmlElement::DeepCopy() const {
  auto copy = std::make_unique<XmlElement>(name_, value_, kind_);
  copy->document_ = document_;
  copy->attributes_.reserve(attributes_.size());
  copy->children_.reserve(children_.size());
  for (const XmlAttribute& a : attributes_) copy->AddAttribute(a.name, a.value);
  for (const XmlElement* c : children_) copy->AppendChild(c->DeepCopy());
  return copy;
}

}  // namespace vm::notebook
