#include "notebook/xml_tree.h"

#include <cstdio>

namespace vm::notebook {

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

size_t SkipBlanks(std::string_view t, size_t p) {
  while (p < t.size() && IsBlank(t[p])) ++p;
  return p;
}

bool StartsAt(std::string_view t, size_t p, std::string_view token) {
  return p <= t.size() && t.substr(p, token.size()) == token;
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool BlankOnly(std::string_view s) {
  return Trim(s).empty();
}

// The first of `stops` at or after p; an escape character makes the next one literal.
size_t FindStop(std::string_view t, size_t p, std::string_view stops, char escape) {
  char set[8];
  size_t n = stops.copy(set, sizeof set - 1);
  if (escape) set[n++] = escape;
  std::string_view wanted(set, n);
  while (p < t.size()) {
    size_t q = t.find_first_of(wanted, p);
    if (q == npos || !escape || t[q] != escape) return q;
    p = q + 2;
  }
  return npos;
}

size_t FindToken(std::string_view t, size_t p, std::string_view token, char escape) {
  for (; p < t.size(); ++p) {
    if (escape && t[p] == escape) {
      ++p;
      continue;
    }
    if (StartsAt(t, p, token)) return p;
  }
  return npos;
}

std::string DropEscapes(std::string_view s, char escape) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == escape) {
      if (++i < s.size()) out += s[i];
    } else {
      out += s[i];
    }
  }
  return out;
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
  std::string text = o.escape ? DropEscapes(s, o.escape) : std::string(s);
  if (o.decodeReferences && o.entities) text = DecodeReferences(text, *o.entities);
  field = std::move(text);
}

size_t Fail(XmlParseOptions& o, size_t position, int code, const std::string& text) {
  if (!o.error) {
    o.error = true;
    o.errorPosition = position;
    o.errorCode = code;
    o.errorText = text;
  }
  return kXmlNone;
}

std::string Format(const char* format, const std::string& a) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, format, a.c_str());
  return buf;
}

std::string Format(const char* format, const std::string& a, const std::string& b) {
  char buf[1024];
  std::snprintf(buf, sizeof buf, format, a.c_str(), b.c_str());
  return buf;
}

std::string MustBeClosed(const std::string& name) {
  return Format("%.256s must be closed with </%.256s>", name, name);
}

void AppendTabs(std::string& out, int level) {
  out += "\r\n";
  if (level > 0) out.append(static_cast<size_t>(level), '\t');
}

void AppendText(std::string& out, const std::string& text, const XmlWriteOptions& w) {
  if (w.encodeReferences && w.entities)
    out += EncodeReferences(text, *w.entities);
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
  if (text.find('&') == npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const XmlEntity* hit = nullptr;
    if (text[i] == '&')
      for (const XmlEntity& e : table)
        if (!e.reference.empty() && StartsAt(text, i, e.reference)) {
          hit = &e;
          break;
        }
    if (hit) {
      out += hit->character;
      i += hit->reference.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string EncodeReferences(std::string_view text, const XmlEntityTable& table) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    const XmlEntity* hit = nullptr;
    for (const XmlEntity& e : table)
      if (e.character == c) {
        hit = &e;
        break;
      }
    if (hit)
      out += hit->reference;
    else
      out += c;
  }
  return out;
}

XmlElement::XmlElement(std::string name, std::string value, XmlKind kind)
    : name_(std::move(name)), value_(std::move(value)), kind_(kind) {}

XmlElement::~XmlElement() {
  Clear();
}

void XmlElement::Clear() {
  attributes_.clear();
  std::vector<std::unique_ptr<XmlElement>> pending = std::move(children_);
  children_.clear();
  while (!pending.empty()) {
    std::unique_ptr<XmlElement> e = std::move(pending.back());
    pending.pop_back();
    for (auto& c : e->children_) pending.push_back(std::move(c));
    e->children_.clear();
  }
}

XmlAttribute& XmlElement::AddAttribute(std::string name, std::string value) {
  attributes_.push_back({std::move(name), std::move(value), this});
  return attributes_.back();
}

XmlElement* XmlElement::FindChild(std::string_view name) const {
  for (const auto& c : children_)
    if (c->name_ == name) return c.get();
  return nullptr;
}

XmlElement* XmlElement::AppendChild(std::string name, std::string value) {
  return AppendChild(std::make_unique<XmlElement>(std::move(name), std::move(value)));
}

XmlElement* XmlElement::AppendChild(std::unique_ptr<XmlElement> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

XmlElement* XmlElement::InsertAfter(const XmlElement* after, std::unique_ptr<XmlElement> child) {
  child->parent_ = this;
  for (size_t i = 0; i < children_.size(); ++i)
    if (children_[i].get() == after)
      return children_.insert(children_.begin() + i + 1, std::move(child))->get();
  children_.push_back(std::move(child));
  return children_.back().get();
}

std::unique_ptr<XmlElement> XmlElement::DetachChild(const XmlElement* child) {
  for (size_t i = 0; i < children_.size(); ++i) {
    if (children_[i].get() != child) continue;
    std::unique_ptr<XmlElement> out = std::move(children_[i]);
    children_.erase(children_.begin() + i);
    out->parent_ = nullptr;
    return out;
  }
  return nullptr;
}

size_t XmlElement::Parse(std::string_view text, size_t position, XmlParseOptions& options) {
  size_t zero = text.find('\0');
  if (zero != npos) text = text.substr(0, zero);
  return ParseAt(text, position, options, 0);
}

size_t XmlElement::ParseAttributes(std::string_view t, size_t p, XmlParseOptions& o, bool stopAtEnd) {
  for (;;) {
    p = SkipBlanks(t, p);
    if (p < t.size() && (t[p] == '>' || t[p] == '/')) return p;
    if (p >= t.size() && stopAtEnd) return p;
    size_t q = t.find_first_of(" =\t\r\n", p);
    if (q == npos) return Fail(o, p, kXmlAttributeError, Format("<%.768s> attribute has error ", name_));
    size_t index = attributes_.size();
    AddAttribute({});
    StoreName(attributes_[index].name, t.substr(p, q - p));
    p = SkipBlanks(t, q);
    if (p >= t.size() || t[p] != '=') continue;
    p = SkipBlanks(t, p + 1);
    if (p < t.size() && (t[p] == '"' || t[p] == '\'')) {
      size_t end = FindStop(t, p + 1, t.substr(p, 1), o.escape);
      if (end == npos) return Fail(o, p, kXmlAttributeError, Format("<%.768s> attribute has error ", name_));
      StoreText(attributes_[index].value, t.substr(p + 1, end - p - 1), o);
      p = end + 1;
    } else {
      size_t end = FindStop(t, p, " \t\r\n>", o.escape);
      if (end == npos) end = t.size();
      StoreText(attributes_[index].value, t.substr(p, end - p), o);
      p = end;
    }
  }
}

size_t XmlElement::ParseAt(std::string_view t, size_t p, XmlParseOptions& o, int depth) {
  name_.clear();
  value_.clear();
  Clear();

  // Processing instructions, comments and CDATA sections before the element.
  for (;;) {
    p = t.find('<', p);
    if (p == npos) return kXmlNone;
    if (StartsAt(t, p, "<?")) {
      size_t end = FindToken(t, p + 2, "?>", o.escape);
      if (end == npos) return Fail(o, p, kXmlNotClosed, "Element must be closed.");
      if (document_) {
        std::string_view inside = t.substr(0, end);
        auto pi = std::make_unique<XmlElement>(std::string(), std::string(), XmlKind::kProcessingInstruction);
        pi->document_ = document_;
        size_t nameEnd = inside.find_first_of(" \t\r\n", p + 2);
        if (nameEnd == npos) nameEnd = inside.size();
        StoreName(pi->name_, inside.substr(p + 2, nameEnd - p - 2));
        if (pi->ParseAttributes(inside, nameEnd, o, true) == kXmlNone) return kXmlNone;
        document_->AppendChild(std::move(pi));
      }
      p = end + 2;
      continue;
    }
    bool comment = StartsAt(t, p, "<!--");
    if (comment || StartsAt(t, p, "<![CDATA[")) {
      std::string_view open = comment ? "<!--" : "<![CDATA[";
      std::string_view close = comment ? "-->" : "]]>";
      size_t end = t.find(close, p + open.size());
      if (end == npos) return Fail(o, p, kXmlNotClosed, "Element must be closed.");
      XmlElement* host = parent_ ? parent_ : document_;
      if (host) {
        auto node = std::make_unique<XmlElement>(comment ? "#COMMENT" : "#CDATA", std::string(),
                                                 comment ? XmlKind::kComment : XmlKind::kCData);
        node->document_ = document_;
        StoreName(node->value_, t.substr(p + open.size(), end - p - open.size()));
        host->AppendChild(std::move(node));
      }
      p = end + close.size();
      // Inside an element the node stands in this element's place: the parent drops
      // this nameless element and keeps the node.
      if (host && parent_ && parent_->kind_ != XmlKind::kDocument) return p;
      continue;
    }
    break;
  }

  size_t q = t.find_first_of(" /\t\r\n>", p + 1);
  if (q == npos) q = t.size();
  StoreName(name_, t.substr(p + 1, q - p - 1));
  p = ParseAttributes(t, q, o, false);
  if (p == kXmlNone) return kXmlNone;

  if (t[p] == '/') {
    if (p + 1 < t.size() && t[p + 1] == '>') return p + 2;
    return Fail(o, p, kXmlNotClosed, "Element must be closed.");
  }
  ++p;  // past ">"

  for (;;) {
    if (p >= t.size() || t[p] != '<') {
      size_t next = FindStop(t, p, "<", o.escape);
      if (next == npos) return Fail(o, p, kXmlClosingTagMissing, MustBeClosed(name_));
      if (BlankOnly(value_)) StoreText(value_, t.substr(p, next - p), o);
      p = next;
      continue;
    }
    if (StartsAt(t, p, "</")) {
      p = SkipBlanks(t, p + 2);
      size_t end = t.find_first_of(" >", p);
      size_t close = end == npos ? npos : t.find('>', end);
      if (close == npos)
        return Fail(o, p, kXmlClosingTagMissing, Format("it must be closed with </%.768s>", name_));
      std::string closing(t.substr(p, end - p));
      if (closing == name_ || o.forcedParse) return close + 1;
      return Fail(o, p, kXmlTagMismatch,
                  Format("'<%.256s> ... </%.256s>' is not wel-formed.", name_, closing));
    }
    if (depth >= kMaxXmlDepth)
      return Fail(o, p, kXmlTooDeep, Format("<%.256s> is nested too deeply.", name_));
    auto child = std::make_unique<XmlElement>();
    child->parent_ = this;
    child->document_ = document_;
    size_t next = child->ParseAt(t, p, o, depth + 1);
    if (!child->name_.empty()) AppendChild(std::move(child));
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
      for (const auto& c : children_) c->AppendXml(out, w, level);
      return;
    case XmlKind::kProcessingInstruction:
      out += "<?";
      out += name_;
      if (!attributes_.empty()) out += ' ';
      AppendAttributes(out, w);
      out += "?>";
      return;
    case XmlKind::kComment: out += "<!--" + value_ + "-->"; return;
    case XmlKind::kCData: out += "<![CDATA[" + value_ + "]]>"; return;
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
  for (const auto& c : children_) c->AppendXml(out, w, inner);
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
  for (const XmlAttribute& a : attributes_) copy->AddAttribute(a.name, a.value);
  for (const auto& c : children_) copy->AppendChild(c->DeepCopy());
  return copy;
}

}  // namespace vm::notebook
