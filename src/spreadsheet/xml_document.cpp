// The document model, the entity table, the writer and the encoding of loaded files.
// The parser lives in xml_parser.cpp.
#include "spreadsheet/xml_document.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>

#include "platform/platform.h"

namespace vm::spreadsheet {

namespace {

// Node blocks grow from small (most documents are) to this size.
constexpr size_t kFirstBlock = 16;
constexpr size_t kLargestBlock = 1024;
constexpr size_t kIndentWidth = 3;  // blanks a level
constexpr size_t kWrapWidth = 80;

unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(static_cast<unsigned char>(a[i])) != Lower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool NamesEqual(std::string_view a, std::string_view b, bool matchCase) {
  return matchCase ? a == b : EqualsNoCase(a, b);
}

unsigned EntityHash(std::string_view name) {
  unsigned h = 0;
  for (char c : name) h = h * 33 + Lower(static_cast<unsigned char>(c));
  return h;
}

// The five entities every document knows, declared before anything the document says.
const std::string kPredefinedName[] = {"gt", "lt", "amp", "apos", "quot"};
const std::string kPredefinedText[] = {">", "<", "&", "'", "\""};

// Up to four bytes as one number, the same way for names and for the table.
uint32_t Packed(std::string_view s) {
  uint32_t v = 0;
  std::memcpy(&v, s.data(), std::min<size_t>(s.size(), 4));
  return v;
}

// Which of them a name is (letter case aside), or -1. The names are all letters, so
// setting bit 5 of each byte folds the case; the whole name is then one comparison.
int Predefined(std::string_view name) {
  if (name.size() < 2 || name.size() > 4) return -1;
  static const std::array<uint32_t, 5> kPacked = [] {
    std::array<uint32_t, 5> t{};
    for (int i = 0; i < 5; ++i) t[i] = Packed(kPredefinedName[i]);
    return t;
  }();
  const uint32_t folded = Packed(name) | Packed(std::string_view("    ", name.size()));
  // The first letter and the length tell which one it can be.
  int i = -1;
  switch (name[0] | 0x20) {
    case 'g': i = 0; break;
    case 'l': i = 1; break;
    case 'a': i = name.size() == 3 ? 2 : 3; break;
    case 'q': i = 4; break;
    default: return -1;
  }
  return folded == kPacked[i] ? i : -1;
}

// The Unicode code points of the Windows-1251 bytes 0x80-0xFF, from the platform.
const std::array<char16_t, 128>& Cp1251High() {
  static const std::array<char16_t, 128> table = [] {
    std::array<char16_t, 128> t{};
    std::string bytes;
    for (int b = 0x80; b < 0x100; ++b) bytes += static_cast<char>(b);
    std::u16string wide;
    platform::ToUtf16(platform::kCp1251, bytes, wide);
    for (size_t i = 0; i < t.size() && i < wide.size(); ++i) t[i] = wide[i];
    return t;
  }();
  return table;
}

}  // namespace

CXmlNode* CXmlNode::FirstChildElement() const {
  for (CXmlNode* c = firstChild; c; c = c->next)
    if (c->kind == kXmlElement) return c;
  return nullptr;
}

CXmlNode* CXmlNode::NextElement() const {
  for (CXmlNode* c = next; c; c = c->next)
    if (c->kind == kXmlElement) return c;
  return nullptr;
}

std::string AttributeText(const CXmlNode* attribute) {
  if (!attribute) return {};
  return attribute->valueKind == XmlValue::kNone ? std::string() : std::string(attribute->value);
}

bool AttributeInteger(const CXmlNode* attribute, int& value) {
  if (!attribute || attribute->valueKind == XmlValue::kNone) return false;
  std::string_view t = attribute->value;
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  if (i == t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
    if (v > 2147483647LL + (negative ? 1 : 0)) return false;
  }
  value = static_cast<int>(negative ? -v : v);
  return true;
}

void AppendCodePoint(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
    return;
  }
  // Every BMP code point to its Windows-1251 byte, 0 where the page has none.
  static const std::vector<unsigned char> bytes = [] {
    std::vector<unsigned char> t(0x10000, 0);
    const auto& high = Cp1251High();
    for (size_t i = 0; i < high.size(); ++i)
      if (high[i] != 0xFFFD && high[i] >= 0x80) t[high[i]] = static_cast<unsigned char>(0x80 + i);
    return t;
  }();
  unsigned char b = codePoint <= 0xFFFF ? bytes[codePoint] : 0;
  out += b ? static_cast<char>(b) : '?';
}

// ---- nodes ---------------------------------------------------------------------------

CXmlDocument::CXmlDocument() {
  blocks_.reserve(8);  // a document of some 4 000 nodes without growing the list
  Clear();
}

CXmlDocument::~CXmlDocument() {
  for (CXmlNode* block : blocks_) ::operator delete(block);
}

void CXmlDocument::Clear() {
  // The first node block and the first text block stay for the next document: most
  // documents are small, and a reader that makes a document and parses into it then
  // allocates them once.
  while (blocks_.size() > 1) {
    ::operator delete(blocks_.back());
    blocks_.pop_back();
  }
  capacity_ = blocks_.empty() ? 0 : kFirstBlock;
  used_ = 0;
  textBlocks_.resize(std::min<size_t>(textBlocks_.size(), 1));
  textAt_ = textBlocks_.empty() ? nullptr : textBlocks_[0].bytes.get();
  textLeft_ = textBlocks_.empty() ? 0 : textBlocks_[0].size;
  if (sourceCapacity_ > kTextBlock) {
    source_.reset();
    sourceCapacity_ = 0;
  }
  if (entityCount_)
    for (auto& bucket : entities_) bucket.clear();
  entityCount_ = 0;
  errorCount_ = 0;
  root_ = MakeNode(kXmlElement, "[Root]");
}

std::string_view CXmlDocument::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > textLeft_) {
    const size_t size = std::max(text.size(), kTextBlock);
    textBlocks_.push_back({std::unique_ptr<char[]>(new char[size]), size});
    textAt_ = textBlocks_.back().bytes.get();
    textLeft_ = size;
  }
  char* at = textAt_;
  std::memcpy(at, text.data(), text.size());
  textAt_ += text.size();
  textLeft_ -= text.size();
  return {at, text.size()};
}

bool CXmlDocument::Holds(std::string_view text) const {
  const std::less<const char*> before;
  auto within = [&](const char* bytes, size_t size) {
    return bytes && !before(text.data(), bytes) && before(text.data(), bytes + size);
  };
  if (text.empty()) return false;
  if (within(source_.get(), sourceCapacity_)) return true;
  for (const TextBlock& block : textBlocks_)
    if (within(block.bytes.get(), block.size)) return true;
  return false;
}

CXmlNode* CXmlDocument::MakeNode(int kind, std::string_view kept) {
  if (used_ == capacity_) {
    const size_t capacity = capacity_ ? std::min(capacity_ * 2, kLargestBlock) : kFirstBlock;
    blocks_.push_back(nullptr);
    try {
      blocks_.back() = static_cast<CXmlNode*>(::operator new(capacity * sizeof(CXmlNode)));
    } catch (...) {
      blocks_.pop_back();
      throw;
    }
    capacity_ = capacity;
    used_ = 0;
  }
  CXmlNode* node = new (blocks_.back() + used_++) CXmlNode;
  node->kind = kind;
  node->name = kept;
  return node;
}

CXmlNode* CXmlDocument::NewNode(int kind, std::string_view nameOrText) {
  return MakeNode(kind, Keep(nameOrText));
}

void CXmlDocument::AddNode(CXmlNode* parent, CXmlNode* node) {
  const std::string_view name = node->name;
  if (node->kind == kXmlAttribute && name.size() >= 5 && name[0] == 'x' && name.compare(0, 5, "xmlns") == 0)
    parent->declaresNamespaces = true;
  node->parent = parent;
  node->next = nullptr;
  CXmlNode*& first = node->kind == kXmlAttribute ? parent->firstAttribute : parent->firstChild;
  CXmlNode*& last = node->kind == kXmlAttribute ? parent->lastAttribute : parent->lastChild;
  (last ? last->next : first) = node;
  last = node;
}

CXmlNode* CXmlDocument::AddElement(CXmlNode* parent, std::string_view name) {
  CXmlNode* node = NewNode(kXmlElement, name);
  AddNode(parent, node);
  return node;
}

CXmlNode* CXmlDocument::AddAttribute(CXmlNode* element, std::string_view name, std::string_view value) {
  CXmlNode* node = NewNode(kXmlAttribute, name);
  node->valueKind = XmlValue::kText;
  node->value = Keep(value);
  AddNode(element, node);
  return node;
}

CXmlNode* CXmlDocument::AddIntegerAttribute(CXmlNode* element, std::string_view name, int value) {
  CXmlNode* node = NewNode(kXmlAttribute, name);
  node->valueKind = XmlValue::kInteger;
  char digits[16];
  node->value = Keep(std::string_view(digits, static_cast<size_t>(std::snprintf(digits, sizeof digits, "%d", value))));
  AddNode(element, node);
  return node;
}

CXmlNode* CXmlDocument::FindElement(const CXmlNode* start, std::string_view path, bool matchCase) {
  if (!start) return nullptr;
  const CXmlNode* current = start;
  while (true) {
    size_t cut = path.find('\\');
    std::string_view step = path.substr(0, cut);
    const CXmlNode* found = nullptr;
    for (const CXmlNode* c = current->firstChild; c; c = c->next) {
      if (c->kind == kXmlElement && NamesEqual(c->name, step, matchCase)) {
        found = c;
        break;
      }
    }
    if (!found) return nullptr;
    if (cut == std::string_view::npos) return const_cast<CXmlNode*>(found);
    current = found;
    path.remove_prefix(cut + 1);
  }
}

CXmlNode* CXmlDocument::FindAttribute(const CXmlNode* element, std::string_view name, bool matchCase) {
  if (!element) return nullptr;
  for (CXmlNode* a = element->firstAttribute; a; a = a->next)
    if (NamesEqual(a->name, name, matchCase)) return a;
  return nullptr;
}

// ---- entities ------------------------------------------------------------------------

void CXmlDocument::AddEntity(std::string_view name, std::string_view text) {
  if (Predefined(name) >= 0) return;  // the first declaration binds
  auto& bucket = entities_[EntityHash(name) % kBuckets];
  for (const Entity& e : bucket)
    if (EqualsNoCase(e.name, name)) return;
  bucket.push_back({std::string(name), std::string(text)});
  ++entityCount_;
}

const std::string* CXmlDocument::FindEntity(std::string_view name) const {
  int predefined = Predefined(name);
  if (predefined >= 0) return &kPredefinedText[predefined];
  if (!entityCount_) return nullptr;
  const auto& bucket = entities_[EntityHash(name) % kBuckets];
  for (const Entity& e : bucket)
    if (EqualsNoCase(e.name, name)) return &e.text;
  return nullptr;
}

std::string CXmlDocument::DecodeEntities(std::string_view text) const {
  if (text.find('&') == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(i, amp - i));
    size_t semi = text.find(';', amp + 1);
    std::string_view name = semi == std::string_view::npos ? std::string_view() : text.substr(amp + 1, semi - amp - 1);
    bool done = false;
    if (!name.empty() && name.size() <= 32 && name[0] == '#') {
      bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
      std::string_view digits = name.substr(hex ? 2 : 1);
      unsigned long code = 0;
      bool ok = !digits.empty();
      for (char c : digits) {
        int d = c >= '0' && c <= '9' ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
        if (d < 0) ok = false;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d < 0 ? 0 : d);
        if (code > 0x10FFFF) ok = false;
        if (!ok) break;
      }
      if (ok && code > 0) {
        AppendCodePoint(out, static_cast<unsigned>(code));
        done = true;
      }
    } else if (!name.empty() && name.size() <= 64) {
      if (const std::string* e = FindEntity(name)) {
        out += *e;
        done = true;
      }
    }
    if (done) {
      i = semi + 1;
    } else {
      out += '&';
      i = amp + 1;
    }
  }
  out.append(text.substr(std::min(i, text.size())));
  return out;
}

// ---- errors --------------------------------------------------------------------------

const char* CXmlDocument::ErrorText(int code) {
  switch (code) {
    case kXmlNullBuffer: return "NULL buffer passed in";
    case kXmlEndOfBuffer: return "Unexpected end of buffer";
    case kXmlOutOfMemory: return "Out of memory";
    case kXmlNoToken: return "Unable to retrieve a token";
    case kXmlIllegalCharacter: return "Illegal characters encountered in token";
    case kXmlUnexpectedToken: return "Unexpected token type";
    case kXmlMissingEndTag: return "Missing end tag";
    case kXmlBadEntity: return "Bad entity string";
    case kXmlBadInteger: return "Bad integer value";
    case kXmlMissingEndBracket: return "Missing end bracket in tag";
    case kXmlUnexpectedEndTag: return "Unexpected end tag";
    default: return "Unknown Error";
  }
}

void CXmlDocument::Report(int code, const std::string& message, int line, int column) {
  ++errorCount_;
  if (callback_) callback_(code, message, line, column);
}

// ---- writing -------------------------------------------------------------------------

std::string CXmlDocument::Write() const {
  std::string out;
  const EscapeNames names = MakeEscapeNames();
  for (const CXmlNode* n = root_->firstChild; n; n = n->next) WriteNode(out, n, 0, names);
  return out;
}

bool CXmlDocument::SaveFile(const std::string& path) const {
  if (!root_->firstChild) return false;
  return static_cast<bool>(platform::SafeReplace(path, Write()));
}

namespace {

// In the tables of WriteText "#10" (a line break goes out as "&#10;") and a carriage
// return that is written as it is unless it ends a line.
const std::string kLineBreakName = "#10";
const std::string kBareReturn;

// Raw texts have no entities: only their line breaks change.
const CXmlDocument::EscapeNames& RawNames() {
  static const CXmlDocument::EscapeNames names = [] {
    CXmlDocument::EscapeNames t{};
    t['\n'] = &kLineBreakName;
    t['\r'] = &kBareReturn;
    return t;
  }();
  return names;
}

// The first byte from `from` on that the table names, or npos; eight bytes a test.
size_t FirstNamed(std::string_view text, size_t from, const CXmlDocument::EscapeNames& names) {
  const size_t n = text.size();
  size_t i = from;
  for (; i + 8 <= n; i += 8) {
    unsigned char b[8];  // copied out: fewer pointer steps for the sanitizers to check
    std::memcpy(b, text.data() + i, sizeof b);
    auto bits = [&](int k) { return reinterpret_cast<uintptr_t>(names[b[k]]); };
    if (bits(0) | bits(1) | bits(2) | bits(3) | bits(4) | bits(5) | bits(6) | bits(7)) break;
  }
  for (; i < n; ++i)
    if (names[static_cast<unsigned char>(text[i])]) return i;
  return std::string_view::npos;
}

}  // namespace

CXmlDocument::EscapeNames CXmlDocument::MakeEscapeNames() const {
  // Characters that are the text of an entity go out as that entity: the first declared
  // one, but the five predefined ones always win.
  EscapeNames names{};
  if (entityCount_) {
    for (const auto& bucket : entities_)
      for (const Entity& e : bucket)
        if (e.text.size() == 1 && !names[static_cast<unsigned char>(e.text[0])])
          names[static_cast<unsigned char>(e.text[0])] = &e.name;
  }
  for (int i = 0; i < 5; ++i) names[static_cast<unsigned char>(kPredefinedText[i][0])] = &kPredefinedName[i];
  if (!names['\r']) names['\r'] = &kBareReturn;
  names['\n'] = &kLineBreakName;
  return names;
}

void CXmlDocument::WriteNode(std::string& out, const CXmlNode* node, int level, const EscapeNames& names) const {
  // Trees deeper than the parser accepts can only be built by a program; their deeper
  // levels are left out rather than risking the stack.
  if (level > kXmlMaxDepth) return;
  const size_t indent = static_cast<size_t>(level) * kIndentWidth;
  auto framed = [&](const char* open, std::string_view text, const char* close) {
    out.append(indent, ' ');
    out += open;
    out += text;
    out += close;
  };
  switch (node->kind) {
    case kXmlElement: {
      out.append(indent, ' ');
      out += '<';
      out += node->name;
      for (const CXmlNode* a = node->firstAttribute; a; a = a->next) {
        out += ' ';
        out += a->name;
        if (a->valueKind == XmlValue::kText) {
          // Values are written as they are; only the quote is chosen so that the value
          // cannot end the attribute early (a value read from single quotes may hold '"').
          const std::string_view v = a->value;
          if (v.find('"') == std::string::npos) {
            out += "=\"";
            out += v;
            out += '"';
          } else if (v.find('\'') == std::string::npos) {
            out += "='";
            out += v;
            out += '\'';
          } else {
            out += "=\"";
            size_t from = 0;
            for (size_t q = v.find('"'); q != std::string::npos; q = v.find('"', from)) {
              out.append(v, from, q - from);
              out += "&quot;";
              from = q + 1;
            }
            out.append(v, from, std::string::npos);
            out += '"';
          }
        } else if (a->valueKind == XmlValue::kInteger) {
          // Quoted: an unquoted value is not well-formed XML.
          out += "=\"";
          out += a->value;
          out += '"';
        } else {
          out += "=\"\"";
        }
      }
      if (!node->firstChild) {
        out += "/>\r\n";
        break;
      }
      out += ">\r\n";
      for (const CXmlNode* c = node->firstChild; c; c = c->next) WriteNode(out, c, level + 1, names);
      out.append(indent, ' ');
      out += "</";
      out += node->name;
      out += ">\r\n";
      break;
    }
    case kXmlCData: framed("<![CDATA[", node->name, "]]>\r\n"); break;
    case kXmlComment: framed("<!--", node->name, "-->\r\n"); break;
    case kXmlMarkup: framed("<!", node->name, ">\r\n"); break;
    case kXmlInstruction: framed("<?", node->name, "?>\r\n"); break;
    case kXmlText: WriteText(out, node->name, &names, level); break;
    case kXmlRawText: WriteText(out, node->name, nullptr, level); break;
    default: break;
  }
}

void CXmlDocument::WriteText(std::string& out, std::string_view text, const EscapeNames* escape, int level) const {
  // The text with its line breaks and, when escaped, its entity characters replaced;
  // CR LF is one break. Most texts have none of them and go out as they are.
  const EscapeNames& names = escape ? *escape : RawNames();
  std::string body;
  std::string_view shown = text;
  size_t at = FirstNamed(text, 0, names);
  if (at != std::string_view::npos) {
    body.reserve(text.size() + 16);
    size_t from = 0;
    for (; at != std::string_view::npos; at = FirstNamed(text, from, names)) {
      body.append(text.substr(from, at - from));
      from = at + 1;
      const char c = text[at];
      const std::string* name = names[static_cast<unsigned char>(c)];
      if (c == '\r' && from < text.size() && text[from] == '\n') continue;  // the LF writes the break
      if (name == &kBareReturn) {
        body += c;
      } else {
        body += '&';
        body += *name;
        body += ';';
      }
    }
    body.append(text.substr(from));
    shown = body;
  }
  if (shown.empty()) return;
  // Lines shorter than the wrap width, broken after a blank; a word longer than a line
  // gets a line of its own. Only blanks break lines: a tab is part of the text.
  const size_t indentWidth = static_cast<size_t>(level) * kIndentWidth;
  const size_t room = indentWidth + 1 < kWrapWidth ? kWrapWidth - 1 - indentWidth : 1;
  size_t pos = 0;
  while (pos < shown.size()) {
    size_t len = shown.size() - pos;
    if (len > room) {
      size_t cut = shown.rfind(' ', pos + room - 1);
      if (cut == std::string_view::npos || cut < pos) {
        cut = shown.find(' ', pos + room);
        if (cut == std::string_view::npos) cut = shown.size() - 1;
      }
      len = cut + 1 - pos;
    }
    out.append(indentWidth, ' ');
    out.append(shown.substr(pos, len));
    out += "\r\n";
    pos += len;
  }
}

// ---- loading -------------------------------------------------------------------------

namespace {

std::string_view DeclaredEncoding(const std::string& bytes, size_t& valueAt) {
  if (bytes.compare(0, 5, "<?xml") != 0) return {};
  size_t end = bytes.find("?>");
  if (end == std::string::npos || end > 512) return {};
  std::string_view decl(bytes.data(), end);
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  at += 8;
  while (at < decl.size() && (decl[at] == ' ' || decl[at] == '=' || decl[at] == '\t')) ++at;
  if (at >= decl.size() || (decl[at] != '"' && decl[at] != '\'')) return {};
  char quote = decl[at++];
  size_t close = decl.find(quote, at);
  if (close == std::string_view::npos) return {};
  valueAt = at;
  return decl.substr(at, close - at);
}

unsigned CodePageOf(std::string_view name) {
  struct Known {
    const char* name;
    unsigned page;
  } static const kKnown[] = {
      {"utf-8", platform::kUtf8},          {"utf8", platform::kUtf8},          {"windows-1251", platform::kCp1251},
      {"cp1251", platform::kCp1251},       {"x-cp1251", platform::kCp1251},    {"us-ascii", platform::kCp1251},
      {"ascii", platform::kCp1251},        {"koi8-r", platform::kKoi8R},       {"ibm866", platform::kCp866},
      {"cp866", platform::kCp866},         {"iso-8859-5", platform::kIso8859_5},
  };
  for (const Known& k : kKnown)
    if (EqualsNoCase(name, k.name)) return k.page;
  return 0;
}

bool IsAscii(const std::string& bytes) {
  // Eight bytes a test.
  const char* p = bytes.data();
  size_t n = bytes.size(), i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  return true;
}

}  // namespace

std::string DocumentBytesToCp1251(std::string bytes) {
  // UTF-16 with a byte-order mark: decoded here, the platform knows no UTF-16 page.
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    bool little = bytes[0] == '\xFF';
    std::u16string wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      unsigned char a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
      wide += static_cast<char16_t>(little ? (b << 8 | a) : (a << 8 | b));
    }
    std::string out;
    platform::FromUtf16(platform::kCp1251, wide, out);
    bytes = std::move(out);
    size_t at = 0;
    std::string_view enc = DeclaredEncoding(bytes, at);
    if (!enc.empty()) bytes.replace(at, enc.size(), "windows-1251");
    return bytes;
  }
  bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (bom) bytes.erase(0, 3);
  size_t valueAt = 0;
  std::string_view declared = DeclaredEncoding(bytes, valueAt);
  unsigned page = bom ? platform::kUtf8 : declared.empty() ? 0 : CodePageOf(declared);
  if (page == platform::kCp1251 || (page == 0 && !declared.empty())) return bytes;  // as it is
  if (IsAscii(bytes)) return bytes;
  std::u16string wide;
  if (page == 0) {
    // Undeclared: XML's default is UTF-8, but a hand-made file in Windows-1251 is not
    // valid UTF-8 and stays as it is.
    if (!platform::ToUtf16(platform::kUtf8, bytes, wide, true)) return bytes;
    page = platform::kUtf8;
  } else if (!platform::ToUtf16(page, bytes, wide)) {
    return bytes;
  }
  std::string out;
  platform::FromUtf16(platform::kCp1251, wide, out);
  valueAt = 0;
  std::string_view enc = DeclaredEncoding(out, valueAt);
  if (!enc.empty()) out.replace(valueAt, enc.size(), "windows-1251");
  return out;
}

bool CXmlDocument::LoadFile(const std::string& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    Clear();
    return false;
  }
  Parse(DocumentBytesToCp1251(std::move(bytes)));
  return true;
}

}  // namespace vm::spreadsheet
