#include "spreadsheet/xml_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <random>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

struct Reported {
  int code, line, column;
  std::string message;
};

struct Parsed {
  CXmlDocument doc;
  std::vector<Reported> errors;
  explicit Parsed(std::string_view text, bool unterminated = false) {
    doc.SetUnterminatedReferences(unterminated);
    doc.SetErrorCallback([this](int code, const std::string& message, int line, int column) {
      errors.push_back({code, line, column, message});
    });
    doc.Parse(text);
  }
  const CXmlNode* First() const { return doc.Root()->FirstChildElement(); }
  std::string Codes() const {
    std::string s;
    for (const auto& e : errors) {
      if (!s.empty()) s += ' ';
      s += std::to_string(e.code);
    }
    return s;
  }
};

// The text of the first text node under the first element.
std::string TextOf(const CXmlNode* element) {
  for (const CXmlNode* c = element ? element->firstChild : nullptr; c; c = c->next)
    if (c->kind == kXmlText) return std::string(c->name);
  return "<none>";
}

TEST(XmlParser, EveryErrorHasItsCodeMessageAndPosition) {
  struct Case {
    const char* input;
    int code, line, column;
    const char* message;
  } cases[] = {
      {"", 101, 1, 1, "NULL buffer supplied."},
      {"<a>\n  <b></a>", 107, 2, 10, "Expecting end tag 'b'. Found end tag 'a' instead."},
      {"<a></b>", 107, 1, 8, "Expecting end tag 'a'. Found end tag 'b' instead."},
      {"</a>", 201, 1, 5, "Unexpected end tag 'a'."},
      {"<a>", 107, 1, 4, "Missing end tag 'a'."},
      {"<a x=\"1></a>", 102, 1, 13, "Unexpected end of buffer while parsing string."},
      {"<a x></a>", 106, 1, 5, "Unexpected token while parsing attribute (element a, name x)."},
      {"<a x=?></a>", 104, 1, 6, "Error while parsing attribute (element a, name x)."},
      {"<a x=99999999999/>", 109, 1, 17, "Bad integer value while parsing attribute (element a, name x)."},
      {"<a x=12", 102, 1, 8, "Unexpected end of buffer while parsing integer."},
      {"<a x=\"1\" \"y\">", 110, 1, 10, "Closing bracket for start tag 'a' not found."},
      {"<a\"b/>", 105, 1, 3, "Illegal character (\") encountered while parsing name."},
      {"< a/>", 106, 1, 2, "Expecting tag name - none found."},
      {"<", 102, 1, 2, "Unexpected end of buffer while searching for tag name."},
      {"<ab", 102, 1, 4, "Unexpected end of buffer while name."},
      {"<a$b/>", 105, 1, 3, "Illegal character ($) encountered while parsing name."},
      {"<a></>", 106, 1, 6, "Missing end tag name."},
      {"<a></a ", 104, 1, 8, "Unexpected end of buffer while parsing endtag."},
      {"<a></a <b/>", 104, 1, 8, "Missing end bracket while parsing end tag 'a'."},
      {"<!-- open", 102, 1, 10, "Unexpected end of buffer while parsing comment."},
      {"<?pi open", 102, 1, 10, "Unexpected end of buffer while parsing processing instruction."},
      {"<![CDATA[ open", 102, 1, 15, "Unexpected end of buffer while CDATA."},
      {"<!ELEMENT open", 102, 1, 15, "Unexpected end of buffer while parsing markup."},
      {"<!DOCTYPE x [ <!ENTITY a \"b\">", 102, 1, 30, "Unexpected end of buffer while parsing DOCTYPE entry."},
      {"<a>x &bogus; y</a>", 108, 1, 6, "Bad character entity '&bogus;' encountered."},
      {"<a>&#160x</a>", 108, 1, 4, "Missing ';' on character entity '&#160'."},
      {"<a>AT&T rocks</a>", 108, 1, 6, "Missing ';' on character entity '&T'."},
  };
  for (const Case& c : cases) {
    Parsed p(c.input);
    ASSERT_FALSE(p.errors.empty()) << c.input;
    const Reported& e = p.errors.front();
    EXPECT_EQ(e.code, c.code) << c.input << " -> " << e.message;
    EXPECT_EQ(e.message, c.message) << c.input;
    EXPECT_EQ(e.line, c.line) << c.input;
    EXPECT_EQ(e.column, c.column) << c.input;
  }
}

TEST(XmlParser, MessagesCutLongNamesAndEndAtANul) {
  const std::string longName(300, 'n');
  Parsed p("<" + longName + " " + longName + "></" + longName + "x>");
  ASSERT_EQ(p.errors.size(), 2u);
  EXPECT_EQ(p.errors[0].message, "Unexpected token while parsing attribute (element " + longName.substr(0, 200) +
                                     ", name " + longName.substr(0, 200) + ").");
  EXPECT_EQ(p.errors[1].message, "Expecting end tag '" + longName.substr(0, 200) + "'. Found end tag '" +
                                     longName.substr(0, 200) + "' instead.");
  Parsed nul(std::string("<a\0b/>", 6));
  ASSERT_FALSE(nul.errors.empty());
  EXPECT_EQ(nul.errors[0].message, "Illegal character (");
  Parsed control("<a\x01" "b/>");
  EXPECT_EQ(control.errors[0].message, "Illegal character (\x01) encountered while parsing name.");
}

TEST(XmlParser, ErrorsDoNotStopTheParse) {
  Parsed p("<a><b>one</c><d>two</d></b>&bad;<e/></a>");
  const CXmlNode* a = p.First();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name, "a");
  // </c> ends b, </b> then ends a; what follows lands at the top and nothing is lost.
  EXPECT_EQ(TextOf(CXmlDocument::FindElement(a, "b")), "one");
  EXPECT_EQ(TextOf(CXmlDocument::FindElement(a, "d")), "two");
  EXPECT_NE(CXmlDocument::FindElement(p.doc.Root(), "e"), nullptr);
  EXPECT_EQ(p.Codes(), "107 107 108 201");
  EXPECT_EQ(p.doc.ErrorCount(), 4);
}

TEST(XmlParser, EndTagOfAnEnclosingElementClosesTheOpenOnes) {
  Parsed p("<a><b><c>text</a><z/>");
  const CXmlNode* a = p.First();
  ASSERT_NE(a, nullptr);
  EXPECT_NE(CXmlDocument::FindElement(a, "b\\c"), nullptr);
  // <z/> comes after </a>: a top-level sibling, not a child of c.
  EXPECT_EQ(CXmlDocument::FindElement(a, "b\\c\\z"), nullptr);
  ASSERT_NE(a->NextElement(), nullptr);
  EXPECT_EQ(a->NextElement()->name, "z");
  EXPECT_EQ(p.Codes(), "107 107");
}

TEST(XmlParser, EntitiesAndCharacterReferences) {
  struct Case {
    const char* input;
    const char* text;
  } cases[] = {
      {"<a>&lt;&GT;&Amp;&apos;&quot;</a>", "<>&'\""},
      {"<a>x&#65;&#x42;&#X43;y</a>", "xABCy"},
      {"<a>&#1055;&#x451;&#160;&#8470;</a>", "\xCF\xB8\xA0\xB9"},  // П ё no-break space №
      {"<a>&#x1F600;</a>", "?"},                                    // no such letter in cp1251
      {"<a>&#0;&#xZZ;</a>", "&#0;&#xZZ;"},
      {"<!DOCTYPE d [<!ENTITY who \"Мир\"><!ENTITY nb \"&#160;\">]><a>&WHO;&nb;</a>", "Мир\xA0"},
      {"<a>&#160world</a>", "&#160world"},  // kept as written
      {"<a>a & b</a>", "a & b"},
      {"<a>  lead and trail  </a>", "  lead and trail  "},
      {"<a>\r\n   indented \r\n</a>", "indented"},
      {"<a> x&#10;\r\n</a>", " x\n"},
      {"<a>\"quoted\" = >x</a>", "\"quoted\" = >x"},
  };
  for (const Case& c : cases) {
    Parsed p(c.input);
    const CXmlNode* a = CXmlDocument::FindElement(p.doc.Root(), "a");
    ASSERT_NE(a, nullptr) << c.input;
    EXPECT_EQ(TextOf(a), c.text) << c.input;
  }
  Parsed legacy("<a>x&#160y&#10z&#160;w</a>", true);
  EXPECT_EQ(TextOf(legacy.First()), "x\xA0y\nz\xA0w");
  EXPECT_EQ(legacy.Codes(), "108 108");
}

TEST(XmlParser, NodesOfEveryKind) {
  Parsed p(
      "<?xml version=\"1.0\"?>\r\n<!DOCTYPE r>\r\n<!-- note -->\r\n"
      "<r a='1' b=-7 c=\"x &amp; y\"><![CDATA[<raw>&amp;]]><e/>tail</r>");
  EXPECT_TRUE(p.errors.empty()) << p.errors.front().message;
  std::vector<int> kinds;
  for (const CXmlNode* n = p.doc.Root()->firstChild; n; n = n->next) kinds.push_back(n->kind);
  EXPECT_EQ(kinds, (std::vector<int>{kXmlInstruction, kXmlMarkup, kXmlComment, kXmlElement}));
  EXPECT_EQ(p.doc.Root()->name, "[Root]");
  EXPECT_EQ(p.doc.Root()->firstChild->name, "xml version=\"1.0\"");
  const CXmlNode* r = p.First();
  EXPECT_EQ(AttributeText(CXmlDocument::FindAttribute(r, "a")), "1");
  const CXmlNode* b = CXmlDocument::FindAttribute(r, "B", false);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->valueKind, XmlValue::kInteger);
  EXPECT_EQ(AttributeText(b), "-7");
  EXPECT_EQ(CXmlDocument::FindAttribute(r, "B", true), nullptr);
  EXPECT_EQ(AttributeText(CXmlDocument::FindAttribute(r, "c")), "x &amp; y");  // attributes keep entities
  EXPECT_EQ(p.doc.DecodeEntities("x &amp; y &#1055; &nope; &"), "x & y \xCF &nope; &");
  int n = 0;
  EXPECT_TRUE(AttributeInteger(CXmlDocument::FindAttribute(r, "a"), n));
  EXPECT_EQ(n, 1);
  std::vector<int> children;
  for (const CXmlNode* c = r->firstChild; c; c = c->next) children.push_back(c->kind);
  EXPECT_EQ(children, (std::vector<int>{kXmlCData, kXmlElement, kXmlText}));
  EXPECT_EQ(r->firstChild->name, "<raw>&amp;");
}

// The five predefined entities in any letter case, against near misses, decoded as a
// plain case-blind lookup decodes them; a declared entity cannot take their names.
TEST(XmlParser, GeneratedPredefinedEntityNames) {
  const std::map<std::string, std::string> five = {{"gt", ">"}, {"lt", "<"}, {"amp", "&"}, {"apos", "'"}, {"quot", "\""}};
  std::mt19937 rng(13);
  const std::string letters = "gltampsoquGLTAMPSOQUx";
  Parsed declared("<!DOCTYPE d [<!ENTITY AMP \"no\"><!ENTITY Ampx \"yes\">]><a/>");
  for (int i = 0; i < 3000; ++i) {
    std::string name;
    for (int k = 0, n = 2 + rng() % 3; k < n; ++k) name += letters[rng() % letters.size()];
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string expected = five.count(lower) ? five.at(lower) : lower == "ampx" ? "yes" : "&" + name + ";";
    EXPECT_EQ(declared.doc.DecodeEntities("&" + name + ";"), expected) << name;
    Parsed text("<a>&" + name + ";</a>");
    EXPECT_EQ(TextOf(text.First()), five.count(lower) ? five.at(lower) : "&" + name + ";") << name;
  }
}

TEST(XmlParser, FindElementFollowsBackslashPaths) {
  Parsed p("<Workbook><Styles/><Worksheet n='1'><Table/></Worksheet><Worksheet n='2'/></Workbook>");
  const CXmlNode* root = p.doc.Root();
  const CXmlNode* table = CXmlDocument::FindElement(root, "Workbook\\Worksheet\\Table");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(AttributeText(CXmlDocument::FindAttribute(table->parent, "n")), "1");
  EXPECT_EQ(CXmlDocument::FindElement(root, "workbook\\worksheet"), nullptr);
  EXPECT_NE(CXmlDocument::FindElement(root, "workbook\\worksheet", false), nullptr);
  EXPECT_EQ(CXmlDocument::FindElement(root, "Workbook\\Missing"), nullptr);
}

TEST(XmlParser, NestingAndEntityExpansionAreBounded) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  Parsed p(deep);
  ASSERT_FALSE(p.errors.empty());
  EXPECT_EQ(p.errors.back().code, kXmlOutOfMemory);
  int depth = 0;
  for (const CXmlNode* n = p.First(); n; n = n->FirstChildElement()) ++depth;
  EXPECT_EQ(depth, kXmlMaxDepth);
  EXPECT_FALSE(p.doc.Write().empty());

  // 64 KiB entity referenced 4096 times would be 256 MiB.
  std::string doc = "<!DOCTYPE d [<!ENTITY big \"" + std::string(65536, 'x') + "\">]><a>";
  for (int i = 0; i < 4096; ++i) doc += "&big;";
  doc += "</a>";
  Parsed q(doc);
  std::string text = TextOf(q.First());
  EXPECT_LE(text.size(), kXmlEntityBudget + doc.size() + 65536);
  EXPECT_NE(text.find("&big;"), std::string::npos);
  EXPECT_EQ(q.errors.size(), 1u);
  EXPECT_EQ(q.errors.front().code, kXmlOutOfMemory);
}

// ---- writing ---------------------------------------------------------------------------------

TEST(XmlWriter, LayoutOfEveryKind) {
  CXmlDocument doc;
  CXmlNode* root = doc.Root();
  doc.AddNode(root, doc.NewNode(kXmlInstruction, "xml version=\"1.0\""));
  CXmlNode* a = doc.AddElement(root, "a");
  doc.AddAttribute(a, "x", "1");
  doc.AddIntegerAttribute(a, "n", -5);
  doc.AddAttribute(a, "q", "say \"hi\"");
  doc.AddNode(a, doc.NewNode(kXmlAttribute, "empty"));
  CXmlNode* b = doc.AddElement(a, "b");
  doc.AddNode(b, doc.NewNode(kXmlText, "1 < 2 & \"q\"\r\nnext\nlast"));
  doc.AddNode(b, doc.NewNode(kXmlRawText, "<raw & kept/>"));
  doc.AddNode(a, doc.NewNode(kXmlCData, "c<d"));
  doc.AddNode(a, doc.NewNode(kXmlComment, " note "));
  doc.AddNode(a, doc.NewNode(kXmlMarkup, "DOCTYPE x"));
  doc.AddElement(a, "leaf");
  EXPECT_EQ(doc.Write(),
            "<?xml version=\"1.0\"?>\r\n"
            "<a x=\"1\" n=\"-5\" q='say \"hi\"' empty=\"\">\r\n"
            "   <b>\r\n"
            "      1 &lt; 2 &amp; &quot;q&quot;&#10;next&#10;last\r\n"
            "      <raw & kept/>\r\n"
            "   </b>\r\n"
            "   <![CDATA[c<d]]>\r\n"
            "   <!-- note -->\r\n"
            "   <!DOCTYPE x>\r\n"
            "   <leaf/>\r\n"
            "</a>\r\n");
}

TEST(XmlWriter, LongTextsWrapAfterBlanksBelowEightyColumns) {
  CXmlDocument doc;
  CXmlNode* a = doc.AddElement(doc.Root(), "a");
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i % 10) + " ";
  text.pop_back();  // 200 characters
  doc.AddNode(a, doc.NewNode(kXmlText, text));
  doc.AddNode(a, doc.NewNode(kXmlText, std::string(120, 'y') + " tail"));
  std::string out = doc.Write();
  std::vector<std::string> lines;
  for (size_t at = 0; at < out.size();) {
    size_t end = out.find("\r\n", at);
    lines.push_back(out.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_GE(lines.size(), 7u);
  std::string joined;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    EXPECT_EQ(line.compare(0, 3, "   "), 0) << line;
    if (line.find('y') == std::string::npos) {
      EXPECT_LT(line.size(), 80u) << line;
    }
    if (line.find("word") != std::string::npos) joined += line.substr(3);
  }
  EXPECT_EQ(joined, text);  // broken only after blanks, nothing lost
  EXPECT_GE(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("word") != std::string::npos; }),
            3);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "   " + std::string(120, 'y') + " "), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "   tail"), lines.end());
}

TEST(XmlWriter, WrittenDocumentsParseBackTheSame) {
  const char* input =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"
      "<r k='v'><s>Привет &amp; &lt;мир&gt;</s><e a=\"1\"/><!--c--><![CDATA[x]]></r>";
  Parsed first(input);
  std::string once = first.doc.Write();
  Parsed second(once);
  EXPECT_TRUE(second.errors.empty());
  EXPECT_EQ(second.doc.Write(), once);
  EXPECT_EQ(TextOf(CXmlDocument::FindElement(second.doc.Root(), "r\\s")), "Привет & <мир>");
}

TEST(XmlDocumentFile, LoadConvertsDeclaredEncodingsAndSaveReplaces) {
  testing::ScratchFolder dir;
  struct Case {
    const char* name;
    std::string bytes;
    const char* declared;  // what the loaded declaration says, "" when none
  } cases[] = {
      {"utf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xD0\x9F\xD1\x80\xD0\xB8</a>", "windows-1251"},
      {"bom", "\xEF\xBB\xBF<a>\xD0\x9F\xD1\x80\xD0\xB8</a>", ""},
      {"undeclared", "<a>\xD0\x9F\xD1\x80\xD0\xB8</a>", ""},
      {"cp1251", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xCF\xF0\xE8</a>", "windows-1251"},
      {"undeclared1251", "<a>\xCF\xF0\xE8</a>", ""},  // not UTF-8: left as it is
      {"koi8", "<?xml version='1.0' encoding='KOI8-R'?><a>\xF0\xD2\xC9</a>", "windows-1251"},
      {"utf16", std::string("\xFF\xFE<\0a\0>\0\x1F\x04@\x04\x38\x04<\0/\0a\0>\0", 22), ""},
  };
  for (const Case& c : cases) {
    std::string path = dir / c.name;
    testing::Spit(path, c.bytes);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(path)) << c.name;
    EXPECT_EQ(TextOf(CXmlDocument::FindElement(doc.Root(), "a")), "\xCF\xF0\xE8") << c.name;
    const CXmlNode* first = doc.Root()->firstChild;
    if (*c.declared) {
      ASSERT_EQ(first->kind, kXmlInstruction) << c.name;
      EXPECT_NE(first->name.find(c.declared), std::string::npos) << first->name;
    }
  }
  CXmlDocument doc;
  EXPECT_FALSE(doc.LoadFile(dir / "missing.xml"));
  EXPECT_FALSE(doc.SaveFile(dir / "empty.xml"));  // nothing to write
  EXPECT_FALSE(platform::FileExists(dir / "empty.xml"));
  doc.AddElement(doc.Root(), "x");
  EXPECT_TRUE(doc.SaveFile(dir / "out.xml"));
  EXPECT_EQ(testing::Slurp(dir / "out.xml"), "<x/>\r\n");
}


TEST(XmlDocument, ADocumentParsedAgainIsAsAFreshOne) {
  // The second text reuses the nodes of the first (attributes, namespaces and values
  // included) and must leave nothing of it behind, whichever is longer.
  std::string big = "<w xmlns:ss='urn:x' a='long value of an attribute'>";
  for (int i = 0; i < 40; ++i) big += "<c ss:i='" + std::to_string(i) + "' n=" + std::to_string(i) + ">text</c>";
  big += "</w>";
  const std::string small = "<r><e/>tail</r>";
  for (const auto& [first, second] : {std::pair{big, small}, std::pair{small, big}, std::pair{big, big}}) {
    CXmlDocument reused;
    reused.Parse(first);
    reused.Parse(second);
    CXmlDocument fresh;
    fresh.Parse(second);
    EXPECT_EQ(reused.Write(), fresh.Write());
    for (const CXmlNode* e = reused.Root()->firstChild; e; e = e->NextElement())
      EXPECT_EQ(e->declaresNamespaces, CXmlDocument::FindAttribute(e, "xmlns:ss") != nullptr);
  }
}

// ---- generated documents against plain references --------------------------------------------

// The writer as a plain byte loop: indentation per level, every text built byte by byte.
struct PlainWriter {
  std::map<char, std::string> names;  // entity characters (one declared entity per character)
  void Text(std::string& out, const std::string& text, bool escape, int level) const {
    std::string body;
    for (size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      if (c == '\n')
        body += "&#10;";
      else if (escape && names.count(c))
        body += "&" + names.at(c) + ";";
      else
        body += c;
    }
    const size_t width = static_cast<size_t>(level) * 3, room = width + 1 < 80 ? 79 - width : 1;
    for (size_t pos = 0, len; pos < body.size(); pos += len) {
      len = body.size() - pos;
      if (len > room) {
        size_t cut = body.rfind(' ', pos + room - 1);
        if (cut == std::string::npos || cut < pos) cut = std::min(body.find(' ', pos + room), body.size() - 1);
        len = cut + 1 - pos;
      }
      out += std::string(width, ' ') + body.substr(pos, len) + "\r\n";
    }
  }
  void Node(std::string& out, const CXmlNode* n, int level) const {
    if (level > kXmlMaxDepth) return;
    std::string in(static_cast<size_t>(level) * 3, ' ');
    const char* frames[][2] = {{"", ""}, {"<![CDATA[", "]]>"}, {"<!--", "-->"}, {}, {"<!", ">"}, {}, {"<?", "?>"}};
    if (n->kind == kXmlText || n->kind == kXmlRawText) return Text(out, std::string(n->name), n->kind == kXmlText, level);
    if (n->kind != kXmlElement) {
      out += in + frames[n->kind][0] + std::string(n->name) + frames[n->kind][1] + "\r\n";
      return;
    }
    out += in + "<" + std::string(n->name);
    for (const CXmlNode* a = n->firstAttribute; a; a = a->next) {
      std::string v = a->valueKind == XmlValue::kNone ? "" : std::string(a->value);
      char q = a->valueKind != XmlValue::kText || v.find('"') == std::string::npos ? '"'
               : v.find('\'') == std::string::npos                                 ? '\''
                                                                                   : 0;
      for (size_t at; !q && (at = v.find('"')) != std::string::npos;) v.replace(at, 1, "&quot;");
      out += " " + std::string(a->name) + "=" + (q ? q : '"') + v + (q ? q : '"');
    }
    out += n->firstChild ? ">\r\n" : "/>\r\n";
    if (!n->firstChild) return;
    for (const CXmlNode* c = n->firstChild; c; c = c->next) Node(out, c, level + 1);
    out += in + "</" + std::string(n->name) + ">\r\n";
  }
};

std::string Pick(std::mt19937& rng, std::initializer_list<const char*> from) {
  return *(from.begin() + rng() % from.size());
}

TEST(XmlWriter, GeneratedTreesAreWrittenAsThePlainWriterDoes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 800; ++round) {
    // Some entities declared for single characters (the predefined ones stay first).
    std::string doctype = "<!DOCTYPE d [";
    PlainWriter plain;
    plain.names = {{'>', "gt"}, {'<', "lt"}, {'&', "amp"}, {'\'', "apos"}, {'"', "quot"}};
    for (char c : std::string("x\r\t;<")) {
      if (rng() % 3) continue;
      std::string name = "e" + std::to_string(static_cast<int>(c)) + (rng() % 2 ? "A" : "b");
      doctype += "<!ENTITY " + name + " \"" + (c == '\r' ? "&#13;" : c == '<' ? "&#60;" : std::string(1, c)) + "\">";
      plain.names.emplace(c, name);
    }
    CXmlDocument doc;
    doc.Parse(doctype + "]>");
    CXmlNode* open = doc.Root();
    for (int step = 0, n = rng() % 60; step < n; ++step) {
      std::string text;
      for (int i = 0, len = rng() % 3 == 0 ? rng() % 300 : rng() % 12; i < len; ++i)
        text += Pick(rng, {"a", "b", " ", " ", "x", "\r\n", "\n", "\r", "\t", ";", "<", "&", "\"", "'", "\xCF", "word"});
      switch (rng() % 8) {
        case 0: open = doc.AddElement(open, Pick(rng, {"a", "Row", "ss:Cell"})); break;
        case 1: open = open->parent ? open->parent : open; break;
        case 2: doc.AddAttribute(open == doc.Root() ? doc.AddElement(open, "t") : open, "k", text); break;
        case 3: doc.AddIntegerAttribute(open == doc.Root() ? doc.AddElement(open, "t") : open, "n", -7); break;
        case 4: doc.AddNode(open, doc.NewNode(kXmlRawText, text)); break;
        case 5: doc.AddNode(open, doc.NewNode(static_cast<int>(rng() % 7), text)); break;
        default: doc.AddNode(open, doc.NewNode(kXmlText, text)); break;
      }
    }
    std::string expected;
    for (const CXmlNode* n = doc.Root()->firstChild; n; n = n->next) plain.Node(expected, n, 0);
    ASSERT_EQ(doc.Write(), expected) << "round " << round;
  }
}

// Texts between tags: blanks at either end that hold a line break are layout and go;
// others stay. Error positions: line and column of the "&" of each unknown entity.
TEST(XmlParser, GeneratedLayoutAndPositionsMatchAPlainReading) {
  std::mt19937 rng(11);
  auto blanks = [&] {
    std::string s;
    for (int i = 0, n = rng() % 4 == 0 ? rng() % 40 : rng() % 3; i < n; ++i) s += Pick(rng, {" ", " ", "\t", "\r", "\n"});
    return s;
  };
  auto hasBreak = [](const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; };
  for (int round = 0; round < 800; ++round) {
    std::string doc = "<r>";
    std::vector<std::string> texts;
    std::vector<std::pair<int, int>> positions;
    for (int i = 0, n = rng() % 12; i < n; ++i) {
      std::string lead = blanks(), word = Pick(rng, {"a", "b c", "&amp;", "x&bogus;y", "\xCF", "\x8D\x0B", "\xA0\x89"}), trail = blanks();
      for (int k = 0, m = rng() % 3; k < m; ++k) word += blanks() + Pick(rng, {"d", "&lt;", "&zz;"});
      for (size_t amp = word.find('&'); amp != std::string::npos; amp = word.find('&', amp + 1)) {
        if (word.compare(amp, 4, "&amp") == 0 || word.compare(amp, 3, "&lt") == 0) continue;
        std::string before = doc + lead + word.substr(0, amp);
        size_t lineStart = before.find_last_of('\n');
        positions.emplace_back(1 + std::count(before.begin(), before.end(), '\n'),
                               static_cast<int>(before.size() - (lineStart == std::string::npos ? 0 : lineStart + 1)) + 1);
      }
      std::string text = (hasBreak(lead) ? "" : lead) + word + (hasBreak(trail) ? "" : trail);
      for (auto [from, to] : {std::pair<const char*, const char*>{"&amp;", "&"}, {"&lt;", "<"}})
        for (size_t k; (k = text.find(from)) != std::string::npos;) text.replace(k, std::strlen(from), to);
      texts.push_back(text);
      doc += lead + word + trail + (rng() % 2 ? "<e/>" : "<e a='1'\r\n   b=\"2\" />");
    }
    doc += blanks() + "</r>" + blanks();
    Parsed p(doc);
    std::vector<std::string> got;
    for (const CXmlNode* c = p.First()->firstChild; c; c = c->next)
      if (c->kind == kXmlText) got.emplace_back(c->name);
    ASSERT_EQ(got, texts) << doc;
    std::vector<std::pair<int, int>> reported;
    for (const Reported& e : p.errors) reported.emplace_back(e.line, e.column);
    ASSERT_EQ(reported, positions) << doc;
  }
}

// Every byte at every place of the first sixteen of a name, against the plain rule:
// letters, digits, "-:_." and bytes from 0x80 belong to a name; blanks, ">", "/" and "="
// end it; any other byte is reported and left out.
TEST(XmlParser, EveryByteInNamesOfEveryLengthAsThePlainRuleSays) {
  auto inName = [](unsigned char c) { return std::isalnum(c) || std::strchr("-:_.", c) || c >= 0x80; };
  for (int c = 1; c < 256; ++c) {
    for (size_t at = 0; at < 16; ++at) {
      const std::string head = std::string("abcdefghijklmnop").substr(0, at);
      const std::string tail = at % 2 ? "Z9" : "q";
      const char byte = static_cast<char>(c);
      Parsed p("<" + head + byte + tail + " k=\"1\"/>");
      const bool ends = std::strchr(" \t\r\n>/=", c) != nullptr;
      const CXmlNode* e = p.First();
      if (inName(static_cast<unsigned char>(c))) {
        ASSERT_TRUE(e && e->name == head + byte + tail && p.errors.empty()) << c << ' ' << at;
      } else if (!ends && (at > 0 || (c != '!' && c != '?'))) {
        ASSERT_TRUE(e && e->name == head + tail && p.Codes() == "105") << c << ' ' << at << ' ' << p.Codes();
      } else if (at > 0) {
        ASSERT_TRUE(e && e->name == head) << c << ' ' << at;
      }
    }
  }
}

}  // namespace
}  // namespace vm::spreadsheet
