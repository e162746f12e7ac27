// A small in-memory XML tree with its own parser and writer. The notebook keeps its
// whole document in one such tree (one element per note) and reads its older XML files
// with it. Texts are Windows-1251 bytes; the parser stops at the first zero byte.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm::notebook {

enum class XmlKind { kElement = 0, kProcessingInstruction = 1, kComment = 2, kCData = 3, kDocument = 4 };

struct XmlEntity {
  char character;
  std::string reference;  // "&amp;" ...
};
using XmlEntityTable = std::vector<XmlEntity>;
// "&" "&amp;", '"' "&quot;", "'" "&apos;", "<" "&lt;", ">" "&gt;", in this order.
const XmlEntityTable& DefaultEntities();

enum XmlError {
  kXmlNoError = 0,
  kXmlNotClosed = 1,          // "Element must be closed."
  kXmlClosingTagMissing = 2,  // "... must be closed with </...>"
  kXmlTagMismatch = 3,        // "'<a> ... </b>' is not wel-formed."
  kXmlAttributeError = 4,     // "<a> attribute has error "
  kXmlTooDeep = 5,            // nesting beyond kMaxXmlDepth; keeps the stack bounded
};

// Elements nested deeper than this below the element a parse starts in are refused.
constexpr int kMaxXmlDepth = 512;

struct XmlParseOptions {
  bool decodeReferences = true;
  const XmlEntityTable* entities = &DefaultEntities();
  // Makes the next character literal while scanning for a delimiter; a single one is
  // dropped from the stored text, a doubled one leaves one. 0 for none.
  char escape = '\\';
  // Accept a closing tag whose name differs from the open element's.
  bool forcedParse = false;

  // The first error of a parse; later errors only end it.
  bool error = false;
  size_t errorPosition = 0;
  int errorCode = kXmlNoError;
  std::string errorText;
  void ClearError();
};

struct XmlWriteOptions {
  bool newLines = true;
  bool encodeReferences = true;
  char quote = '"';
  const XmlEntityTable* entities = &DefaultEntities();
  int indent = 0;
};

// References from the table replaced by their characters, and the reverse.
std::string DecodeReferences(std::string_view text, const XmlEntityTable& table);
std::string EncodeReferences(std::string_view text, const XmlEntityTable& table);

class XmlElement;

struct XmlAttribute {
  std::string name;
  std::string value;
  XmlElement* owner = nullptr;
};

// Returned by Parse when it fails or finds no "<".
constexpr size_t kXmlNone = static_cast<size_t>(-1);

class XmlElement {
 public:
  explicit XmlElement(std::string name = {}, std::string value = {}, XmlKind kind = XmlKind::kElement);
  // Children are torn down without recursion, so no tree is too deep to destroy.
  ~XmlElement();
  XmlElement(const XmlElement&) = delete;
  XmlElement& operator=(const XmlElement&) = delete;

  const std::string& name() const { return name_; }
  const std::string& value() const { return value_; }
  void SetName(std::string name) { name_ = std::move(name); }
  void SetValue(std::string value) { value_ = std::move(value); }
  XmlKind kind() const { return kind_; }
  XmlElement* parent() const { return parent_; }
  // The owning document element, or none (the notebook's trees have none, so their
  // processing instructions are skipped).
  XmlElement* document() const { return document_; }
  void SetDocument(XmlElement* document) { document_ = document; }

  const std::vector<XmlAttribute>& attributes() const { return attributes_; }
  XmlAttribute& AddAttribute(std::string name, std::string value = {});

  size_t ChildCount() const { return children_.size(); }
  XmlElement* Child(size_t index) const { return index < children_.size() ? children_[index] : nullptr; }
  // The first child with exactly this name, or none.
  XmlElement* FindChild(std::string_view name) const;
  XmlElement* AppendChild(std::string name, std::string value = {});
  XmlElement* AppendChild(std::unique_ptr<XmlElement> child);
  // Inserts after `after` (one of the children), or at the end when it is not one.
  XmlElement* InsertAfter(const XmlElement* after, std::unique_ptr<XmlElement> child);
  // Takes a child out of the tree and hands it over; none when it is not a child.
  std::unique_ptr<XmlElement> DetachChild(const XmlElement* child);
  // Removes and destroys all children and attributes.
  void Clear();

  // Parses the first element at or after `position` into this element, which is
  // emptied first. Returns the position after the element, or kXmlNone on an error
  // (recorded in the options; the tree built so far stays) or when the text holds no
  // "<" (not an error). The text ends at its first zero byte.
  size_t Parse(std::string_view text, size_t position, XmlParseOptions& options);
  size_t Parse(std::string_view text, XmlParseOptions& options) { return Parse(text, 0, options); }

  // The element as text; with new lines on it starts with a line break.
  std::string ToXml(const XmlWriteOptions& options = {}) const;
  void AppendXml(std::string& out, const XmlWriteOptions& options, int level) const;

  // A new element with the same name, value, attributes and children, recursively.
  // Copied directly, so backslashes and blanks at the ends of values stay as they are.
  std::unique_ptr<XmlElement> DeepCopy() const;

 private:
  size_t ParseAt(std::string_view text, size_t position, XmlParseOptions& options, int depth);
  size_t ParseAttributes(std::string_view text, size_t position, XmlParseOptions& options, bool stopAtEnd);
  // A processing instruction at `position` ("<?"), or a comment or CDATA section ("<!").
  size_t ParseInstruction(std::string_view text, size_t position, XmlParseOptions& options);
  // The node goes to `host`, if any.
  size_t ParseMarked(std::string_view text, size_t position, bool comment, XmlParseOptions& options,
                     XmlElement* host);
  // A new empty element below this one, not yet in the list of children.
  XmlElement* NewChild();
  void AppendAttributes(std::string& out, const XmlWriteOptions& options) const;

  std::string name_;
  std::string value_;
  XmlElement* parent_ = nullptr;
  // The children, owned: the element deletes them. The first few are kept in the
  // element itself, so most elements need no list of their own.
  class ChildList {
   public:
    ChildList() : data_(inline_) {}
    ~ChildList() {
      if (data_ != inline_) delete[] data_;
    }
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    XmlElement* operator[](size_t i) const { return data_[i]; }
    XmlElement* const* begin() const { return data_; }
    XmlElement* const* end() const { return data_ + size_; }
    void reserve(size_t n) {
      if (n > capacity_) Grow(n);
    }
    void push_back(XmlElement* e) {
      if (size_ == capacity_) Grow(capacity_ * 2);
      data_[size_++] = e;
    }
    XmlElement* pop_back() { return data_[--size_]; }
    void insert(size_t i, XmlElement* e);
    XmlElement* erase(size_t i);

   private:
    void Grow(size_t capacity);
    static constexpr size_t kInline = 3;
    XmlElement** data_;
    size_t size_ = 0;
    size_t capacity_ = kInline;
    XmlElement* inline_[kInline];
  };
  ChildList children_;
  std::vector<XmlAttribute> attributes_;
  XmlKind kind_ = XmlKind::kElement;
  XmlElement* document_ = nullptr;
};

}  // namespace vm::notebook
