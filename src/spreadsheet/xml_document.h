// A small, forgiving XML library for the workbook files: it parses a whole text into a
// tree of nodes, reports every error with its code and position and goes on with what it
// has, and writes a tree back with indentation and line wrapping. Texts are Windows-1251
// bytes; LoadFile converts files declared in another encoding (UTF-8 above all) first.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vm::spreadsheet {

enum XmlNodeKind : int {
  kXmlAttribute = 0,
  kXmlCData = 1,
  kXmlComment = 2,
  kXmlElement = 3,
  kXmlMarkup = 4,       // the text between "<!" and ">", such as a DOCTYPE
  kXmlText = 5,         // entities already replaced
  kXmlInstruction = 6,  // the text between "<?" and "?>"
  kXmlRawText = 7,      // written out unchanged, never escaped
};

enum XmlError : int {
  kXmlNullBuffer = 101,
  kXmlEndOfBuffer = 102,
  kXmlOutOfMemory = 103,
  kXmlNoToken = 104,
  kXmlIllegalCharacter = 105,
  kXmlUnexpectedToken = 106,
  kXmlMissingEndTag = 107,
  kXmlBadEntity = 108,
  kXmlBadInteger = 109,
  kXmlMissingEndBracket = 110,
  kXmlUnexpectedEndTag = 201,
};

// Deeper nesting is refused (the parse stops there) so that no input can exhaust the
// stack of a recursive reader or writer.
constexpr int kXmlMaxDepth = 256;
// Entity replacements may add at most this many bytes beyond the input's own length;
// past it references stay as written, so declared entities cannot blow up memory.
constexpr size_t kXmlEntityBudget = size_t{8} << 20;

enum class XmlValue : unsigned char { kNone, kText, kInteger };

class CXmlNode {
 public:
  int kind = kXmlText;
  // Set on an element when an attribute named "xmlns" or "xmlns:..." joins it, and
  // never cleared: readers that resolve namespace prefixes look at such elements only.
  bool declaresNamespaces = false;
  XmlValue valueKind = XmlValue::kNone;
  CXmlNode* parent = nullptr;
  // Element and attribute name; the text of every other kind. Names and values are
  // bytes the document keeps (its copy of the parsed text, or its own store for what a
  // program adds): valid while the document holds them, until the next Parse or Clear.
  std::string_view name;

  // Attributes: a text value (as written, no entities replaced) or an unquoted integer,
  // which `value` holds as its decimal digits.
  std::string_view value;

  // Elements own their attributes and children; nodes link to their next sibling.
  // (A node is kept small: a workbook of 100 000 cells has some 400 000 of them.)
  CXmlNode* firstAttribute = nullptr;
  CXmlNode* lastAttribute = nullptr;
  CXmlNode* firstChild = nullptr;
  CXmlNode* lastChild = nullptr;
  CXmlNode* next = nullptr;

  // The first child element, or the next sibling element.
  CXmlNode* FirstChildElement() const;
  CXmlNode* NextElement() const;
};

// The attribute's value as text: the text, the integer printed with "%d", or "".
std::string AttributeText(const CXmlNode* attribute);
// The attribute's value as a whole number (an integer value, or a text that is one).
bool AttributeInteger(const CXmlNode* attribute, int& value);

class CXmlDocument {
 public:
  using ErrorCallback = std::function<void(int code, const std::string& message, int line, int column)>;
  // For the writer: the entity each byte is written as (null: the byte itself).
  using EscapeNames = std::array<const std::string*, 256>;

  CXmlDocument();
  ~CXmlDocument();
  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;

  // Reads the whole file and parses it; false (and an empty document) when the file
  // cannot be read. Files declared in UTF-8 (or undeclared and valid UTF-8), KOI8-R,
  // CP866 or ISO-8859-5 are converted to Windows-1251 first and their declaration says so.
  bool LoadFile(const std::string& path);
  // Empties the document and parses Windows-1251 text into the root element.
  void Parse(std::string_view text);
  // Writes every top-level node through the safe replace; false when the document is
  // empty or the file cannot be written.
  bool SaveFile(const std::string& path) const;
  // The bytes SaveFile writes.
  std::string Write() const;

  void Clear();
  // The "[Root]" element whose children are the top-level nodes.
  CXmlNode* Root() { return root_; }
  const CXmlNode* Root() const { return root_; }

  // Every error goes here; parsing goes on afterwards. The default does nothing.
  void SetErrorCallback(ErrorCallback callback) { callback_ = std::move(callback); }
  int ErrorCount() const { return errorCount_; }
  // Older workbook files end character references without the ";" ("&#160"). With this
  // set such a reference still reports error 108 but gives its character; by default it
  // stays in the text as written.
  void SetUnterminatedReferences(bool decode) { unterminatedReferences_ = decode; }
  // Older workbook files wrote every blank of a text as "&#160" or "&#160;". With this
  // set such a reference in text content gives a blank; a literal no-break space stays.
  void SetNoBreakReferencesAsBlanks(bool on) { noBreakReferencesAsBlanks_ = on; }
  static const char* ErrorText(int code);

  // "\"-separated path of element names, each step the first child element so named.
  static CXmlNode* FindElement(const CXmlNode* start, std::string_view path, bool matchCase = true);
  static CXmlNode* FindAttribute(const CXmlNode* element, std::string_view name, bool matchCase = true);

  CXmlNode* NewNode(int kind, std::string_view nameOrText);
  CXmlNode* AddElement(CXmlNode* parent, std::string_view name);
  CXmlNode* AddAttribute(CXmlNode* element, std::string_view name, std::string_view value);
  CXmlNode* AddIntegerAttribute(CXmlNode* element, std::string_view name, int value);
  // Appends a prepared node (of this document) as the last child, or as the last
  // attribute when it is one.
  void AddNode(CXmlNode* parent, CXmlNode* node);

  // The entity table: names compared without regard to letter case.
  void AddEntity(std::string_view name, std::string_view text);
  const std::string* FindEntity(std::string_view name) const;
  // Replaces entity and character references in a text (attribute values are kept as
  // written by the parser; callers that want their meaning decode them with this).
  std::string DecodeEntities(std::string_view text) const;

 private:
  friend class XmlParser;
  struct Entity {
    std::string name, text;
  };
  static constexpr int kBuckets = 67;

  void Report(int code, const std::string& message, int line, int column);
  EscapeNames MakeEscapeNames() const;
  void WriteNode(std::string& out, const CXmlNode* node, int level, const EscapeNames& names) const;
  void WriteText(std::string& out, std::string_view text, const EscapeNames* names, int level) const;

  // Nodes live in blocks of raw room, each node made when it is handed out; nodes own
  // nothing, so a block is freed without walking it.
  static constexpr size_t kTextBlock = size_t{64} << 10;
  // A copy of `text` in the document's store, for names and texts a program adds.
  std::string_view Keep(std::string_view text);
  CXmlNode* MakeNode(int kind, std::string_view kept);
  // Whether the bytes lie in this document's copy or store.
  bool Holds(std::string_view text) const;

  std::vector<CXmlNode*> blocks_;
  size_t used_ = 0, capacity_ = 0;
  // The parsed text's copy, which parsed names and texts view (references decoded and
  // integers written in place); the store of added texts, in blocks that never move.
  std::unique_ptr<char[]> source_;
  size_t sourceCapacity_ = 0;
  struct TextBlock {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
  };
  std::vector<TextBlock> textBlocks_;
  char* textAt_ = nullptr;
  size_t textLeft_ = 0;
  CXmlNode* root_ = nullptr;
  // Entities the document declared; the five predefined ones live outside the table.
  std::array<std::vector<Entity>, kBuckets> entities_;
  size_t entityCount_ = 0;
  ErrorCallback callback_;
  int errorCount_ = 0;
  bool unterminatedReferences_ = false;
  bool noBreakReferencesAsBlanks_ = false;
};

// Appends the Windows-1251 form of a Unicode code point ('?' when the page lacks it).
void AppendCodePoint(std::string& out, unsigned codePoint);
// Converts a file's bytes to Windows-1251 as LoadFile does.
std::string DocumentBytesToCp1251(std::string bytes);

}  // namespace vm::spreadsheet
