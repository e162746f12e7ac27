#include "notebook/xml_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace vm::notebook {
namespace {

TEST(XmlTree, ParsesAndWritesBack) {
  struct Case {
    const char* input;
    const char* written;
  } cases[] = {
      {"<a/>", "\r\n<a/>"},
      {"  <a></a>", "\r\n<a/>"},
      {"<a b=c>x</a>", "\r\n<a b=\"c\" >x</a>"},  // unquoted value
      {"<a b = 'q r' c=\"s\"/>", "\r\n<a b=\"q r\" c=\"s\" />"},
      {"<a><b>t</b><c/></a>", "\r\n<a>\r\n\t<b>t</b>\r\n\t<c/>\r\n</a>"},
      {"<a>v<b/>w</a>", "\r\n<a>\r\n\t<b/>\r\n\tv\r\n</a>"},  // the first text is the value
      {"<a><b/>w</a>", "\r\n<a>\r\n\t<b/>\r\n\tw\r\n</a>"},
      {"<a>&amp;&lt;x&quot;&unknown;</a>", "\r\n<a>&amp;&lt;x&quot;&amp;unknown;</a>"},
      {"<a>  pad  \r\n</a>", "\r\n<a>pad</a>"},
      {"<a>   </a>", "\r\n<a/>"},
      {"<?xml version='1.0'?>\r\n<a/>", "\r\n<a/>"},  // no document: skipped
      {"<!-- top --><a/>", "\r\n<a/>"},
      {"<a><!-- c --><b/></a>", "\r\n<a>\r\n\t<!--c-->\r\n\t<b/>\r\n</a>"},
      {"<a><![CDATA[ x<y ]]></a>", "\r\n<a>\r\n\t<![CDATA[x<y]]>\r\n</a>"},
      {"<a>x\\<y</a>", "\r\n<a>x&lt;y</a>"},         // escaped delimiter
      {"<a>c:\\\\d\\ir</a>", "\r\n<a>c:\\dir</a>"},  // doubled keeps one
      {"<a><b><c>1</c></b></a>", "\r\n<a>\r\n\t<b>\r\n\t\t<c>1</c>\r\n\t</b>\r\n</a>"},
  };
  for (const Case& c : cases) {
    XmlElement root;
    XmlParseOptions options;
    size_t end = root.Parse(c.input, options);
    EXPECT_FALSE(options.error) << c.input << ": " << options.errorText;
    EXPECT_NE(end, kXmlNone) << c.input;
    EXPECT_EQ(root.ToXml(), c.written) << c.input;
  }
}

TEST(XmlTree, RecordsTheFirstErrorWithItsText) {
  struct Case {
    std::string input;
    bool forced;
    int code;
    std::string text;
  } cases[] = {
      {"<a><b></c></a>", false, kXmlTagMismatch, "'<b> ... </c>' is not wel-formed."},
      {"<a><b></c></a>", true, kXmlNoError, ""},
      {"<a>text", false, kXmlClosingTagMissing, "a must be closed with </a>"},
      {"<a>", false, kXmlClosingTagMissing, "a must be closed with </a>"},
      {"<a><b/></a", false, kXmlClosingTagMissing, "it must be closed with </a>"},
      {"<a b", false, kXmlAttributeError, "<a> attribute has error "},
      {"<a b='x>", false, kXmlAttributeError, "<a> attribute has error "},
      {"<a /x>", false, kXmlNotClosed, "Element must be closed."},
      {"<a><!-- never", false, kXmlNotClosed, "Element must be closed."},
      {"<a>" + std::string(600, 'x') + "</" + std::string(600, 'y') + ">", false, kXmlTagMismatch,
       "'<a> ... </" + std::string(256, 'y') + ">' is not wel-formed."},
  };
  for (const Case& c : cases) {
    XmlElement root;
    XmlParseOptions options;
    options.forcedParse = c.forced;
    size_t end = root.Parse(c.input, options);
    EXPECT_EQ(options.errorCode, c.code) << c.input;
    EXPECT_EQ(options.error, c.code != kXmlNoError) << c.input;
    EXPECT_EQ(options.errorText, c.text) << c.input;
    EXPECT_EQ(end == kXmlNone, c.code != kXmlNoError) << c.input;
  }
  // The tree built before the error stays.
  XmlElement root;
  XmlParseOptions options;
  root.Parse("<a><b>1</b><c></d></a>", options);
  ASSERT_EQ(root.ChildCount(), 2u);
  EXPECT_EQ(root.Child(0)->value(), "1");
  EXPECT_EQ(root.Child(1)->name(), "c");
}

TEST(XmlTree, TextWithoutElementAndDeepNesting) {
  XmlElement root("old", "value");
  XmlParseOptions options;
  EXPECT_EQ(root.Parse("no element here", options), kXmlNone);
  EXPECT_FALSE(options.error);
  EXPECT_EQ(root.name(), "");

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  options.ClearError();
  EXPECT_EQ(root.Parse(deep, options), kXmlNone);
  EXPECT_EQ(options.errorCode, kXmlTooDeep);

  std::string fits;
  for (int i = 0; i <= kMaxXmlDepth; ++i) fits += "<a>";
  fits += "x";
  for (int i = 0; i <= kMaxXmlDepth; ++i) fits += "</a>";
  options.ClearError();
  EXPECT_NE(root.Parse(fits, options), kXmlNone) << options.errorText;
}

TEST(XmlTree, StopsAtAZeroByteAndUsesOtherOptions) {
  XmlElement root;
  XmlParseOptions options;
  root.Parse(std::string("<a>x</a>\0<b/>", 13), options);
  EXPECT_EQ(root.value(), "x");

  options.escape = 0;
  options.decodeReferences = false;
  root.Parse("<a>c:\\d &amp;</a>", options);
  EXPECT_EQ(root.value(), "c:\\d &amp;");
  XmlWriteOptions plain;
  plain.newLines = false;
  plain.encodeReferences = false;
  plain.quote = '\'';
  root.AddAttribute("k", "v");
  root.AppendChild("b", "<");
  EXPECT_EQ(root.ToXml(plain), "<a k='v' ><b><</b>c:\\d &amp;</a>");
}

TEST(XmlTree, ChildOperationsAndDeepCopy) {
  XmlElement root("r");
  XmlElement* first = root.AppendChild("same", "1");
  root.AppendChild("same", "2");
  XmlElement* last = root.AppendChild("z");
  EXPECT_EQ(root.FindChild("same"), first);
  EXPECT_EQ(root.FindChild("SAME"), nullptr);

  auto moved = root.DetachChild(last);
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->parent(), nullptr);
  EXPECT_EQ(root.ChildCount(), 2u);
  EXPECT_EQ(root.InsertAfter(first, std::move(moved))->parent(), &root);
  EXPECT_EQ(root.Child(1)->name(), "z");
  EXPECT_EQ(root.DetachChild(&root), nullptr);

  // Note bodies are rich text: the copy keeps backslashes and blanks exactly.
  XmlElement* note = root.Child(0);
  note->SetValue("  {\\rtf1\\ansi x\\\\y} \r\n");
  note->AddAttribute("k", " v ");
  note->AppendChild(" child ", "\\par ");
  auto copy = note->DeepCopy();
  EXPECT_EQ(copy->parent(), nullptr);
  EXPECT_EQ(copy->value(), note->value());
  ASSERT_EQ(copy->attributes().size(), 1u);
  EXPECT_EQ(copy->attributes()[0].value, " v ");
  ASSERT_EQ(copy->ChildCount(), 1u);
  EXPECT_EQ(copy->Child(0)->name(), " child ");
  EXPECT_EQ(copy->Child(0)->value(), "\\par ");
  EXPECT_EQ(copy->Child(0)->parent(), copy.get());

  // A tree far deeper than the parser accepts is still destroyed without recursion.
  auto deep = std::make_unique<XmlElement>("d");
  XmlElement* at = deep.get();
  for (int i = 0; i < 200000; ++i) at = at->AppendChild("d");
  deep.reset();
}

TEST(XmlTree, ReferencesRoundTripThroughWriteAndParse) {
  XmlElement root("a", "x & y < z > \"q\" 'p'");
  root.AddAttribute("t", "<&>");
  std::string text = root.ToXml();
  EXPECT_EQ(text, "\r\n<a t=\"&lt;&amp;&gt;\" >x &amp; y &lt; z &gt; &quot;q&quot; &apos;p&apos;</a>");
  XmlElement back;
  XmlParseOptions options;
  back.Parse(text, options);
  EXPECT_EQ(back.value(), root.value());
  EXPECT_EQ(back.attributes()[0].value, "<&>");
}

// The plain forms of what the parser and writer do to a text, one byte at a time.
std::string PlainDecode(const std::string& text, const XmlEntityTable& table) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const XmlEntity* hit = nullptr;
    for (const XmlEntity& e : table)
      if (text[i] == '&' && !e.reference.empty() && text.compare(i, e.reference.size(), e.reference) == 0) {
        hit = &e;
        break;
      }
    out += hit ? hit->character : text[i];
    i += hit ? hit->reference.size() : 1;
  }
  return out;
}

std::string PlainEncode(const std::string& text, const XmlEntityTable& table) {
  std::string out;
  for (char c : text) {
    const XmlEntity* hit = nullptr;
    for (const XmlEntity& e : table)
      if (!hit && e.character == c) hit = &e;
    out += hit ? hit->reference : std::string(1, c);
  }
  return out;
}

std::string PlainStored(const std::string& raw, char escape, const XmlEntityTable& table) {
  auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  size_t b = 0, e = raw.size();
  while (b < e && blank(raw[b])) ++b;
  while (e > b && blank(raw[e - 1])) --e;
  std::string kept;
  for (size_t i = b; i < e; ++i) {
    if (escape && raw[i] == escape && ++i == e) break;
    kept += raw[i];
  }
  return PlainDecode(kept, table);
}

// Texts of every length around the sixteen-byte blocks the scans take, made of blanks,
// escapes, references, delimiters and other bytes: stored, decoded and encoded as the
// plain forms above do it.
TEST(XmlTree, BlockWiseScansMatchThePlainForms) {
  const XmlEntityTable wide = {{'&', "&amp;"}, {'<', "&lt;"}, {'a', "&x;"}, {'b', "&y;"}, {'c', "&z;"},
                               {'d', "&w;"},   {'e', "&v;"},  {'f', "&u;"}, {'g', "&t;"}, {'\0', "&0;"},
                               {'a', "&never;"}, {'h', ""}};
  static const char* const kPieces[] = {" ",   "\t",  "\r\n", "\\",   "\\\\", "\\<", "&amp;", "&lt;", "&x;",
                                        "&q;", "&",   "x",    "\xE9", "?",    ">",    "'",     "\"",   "="};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int k = static_cast<int>(random() % 24); k > 0; --k) text += kPieces[random() % std::size(kPieces)];
    if (round % 3 == 0) text = std::string(random() % 40, ' ') + text + std::string(random() % 40, '\t');
    const XmlEntityTable& table = round % 2 ? wide : DefaultEntities();
    ASSERT_EQ(DecodeReferences(text, table), PlainDecode(text, table)) << text;
    ASSERT_EQ(EncodeReferences(text, table), PlainEncode(text, table)) << text;

    // As an element's text and a quoted attribute value, up to the delimiter.
    std::string inner;
    for (char c : text)
      if (c != '<' && c != '"' && c != '\'') inner += c;
    size_t escapes = inner.size() - 1 - inner.find_last_not_of('\\');
    if (inner.find_last_not_of('\\') == std::string::npos) escapes = inner.size();
    if (escapes % 2) inner += 'x';  // a last escape would take the delimiter
    XmlElement root;
    XmlParseOptions options;
    root.Parse("<e a=\"" + inner + "\" b=" + std::string(inner.size() % 5, ' ') + "v>" + inner + "<i/></e>", options);
    ASSERT_FALSE(options.error) << inner;
    const std::string stored = PlainStored(inner, '\\', DefaultEntities());
    EXPECT_EQ(root.value(), stored) << inner;
    ASSERT_EQ(root.attributes().size(), 2u);
    EXPECT_EQ(root.attributes()[0].value, stored) << inner;
    EXPECT_EQ(root.attributes()[1].value, "v");
  }
}

// Blank runs and texts of every length around the sixty-four-byte steps of the scans,
// between children, before the first text and after it, with and without an escape
// that is itself a blank.
TEST(XmlTree, LongBlankRunsAndTextsMatchThePlainForms) {
  std::mt19937 random(11);
  static const char kBlanks[] = " \t\r\n\v\f";
  char escape = 0;
  auto blanks = [&](size_t n) {  // an escape would make the next "<" literal
    std::string out;
    while (out.size() < n)
      if (char c = kBlanks[random() % 6]; c != escape) out += c;
    return out;
  };
  for (size_t n = 0; n < 200; ++n) {
    std::string text(n, 'x');
    for (size_t i = 0; i < n; i += 1 + random() % 9) text[i] = " \t&<\\"[random() % 5];
    for (char e : {'\\', '\t', '\0'}) {
      escape = e;
      std::string inner;
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') continue;
        inner += text[i];
        if (escape && text[i] == escape) inner += 'y';  // never escapes a delimiter
      }
      const std::string input = "<e>" + blanks(n) + "<c/>" + blanks(n % 70) + inner + blanks(n / 2) + "<d>" +
                                blanks(130 - n % 130) + "</d>" + blanks(n) + "</e>";
      XmlElement root;
      XmlParseOptions options;
      options.escape = escape;
      ASSERT_NE(root.Parse(input, options), kXmlNone) << options.errorText;
      EXPECT_EQ(root.value(), PlainStored(inner, escape, DefaultEntities())) << n;
      ASSERT_EQ(root.ChildCount(), 2u);
      EXPECT_EQ(root.Child(1)->value(), "");
    }
  }
  // A text that runs to the end is still an unclosed element, whatever blanks lead it.
  XmlElement root;
  XmlParseOptions options;
  EXPECT_EQ(root.Parse("<a><b/>" + std::string(100, ' ') + "x" + std::string(100, ' '), options), kXmlNone);
  EXPECT_EQ(options.errorCode, kXmlClosingTagMissing);
  EXPECT_EQ(options.errorPosition, 7u);
}

// Children appended, inserted and detached at random keep the order and parents a plain
// list of them keeps, below and above the number held in the element itself.
TEST(XmlTree, ChildListMatchesAPlainList) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    XmlElement root("r");
    std::vector<XmlElement*> plain;
    std::vector<std::unique_ptr<XmlElement>> detached;
    for (int step = 0; step < 40; ++step) {
      const unsigned op = random() % 4;
      if (op == 3 && !plain.empty()) {
        size_t i = random() % plain.size();
        detached.push_back(root.DetachChild(plain[i]));
        ASSERT_EQ(detached.back().get(), plain[i]);
        plain.erase(plain.begin() + static_cast<long>(i));
      } else if (op == 2 && !plain.empty()) {
        size_t i = random() % plain.size();
        auto child = std::make_unique<XmlElement>(std::to_string(step));
        plain.insert(plain.begin() + static_cast<long>(i) + 1, child.get());
        root.InsertAfter(plain[i], std::move(child));
      } else {
        plain.push_back(root.AppendChild(std::to_string(step)));
        plain.back()->AppendChild("grandchild");
      }
      ASSERT_EQ(root.ChildCount(), plain.size());
      for (size_t i = 0; i < plain.size(); ++i) {
        ASSERT_EQ(root.Child(i), plain[i]);
        ASSERT_EQ(plain[i]->parent(), &root);
      }
    }
    EXPECT_EQ(root.Child(plain.size()), nullptr);
    auto copy = root.DeepCopy();
    ASSERT_EQ(copy->ChildCount(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(copy->Child(i)->name(), plain[i]->name());
    root.Clear();
    EXPECT_EQ(root.ChildCount(), 0u);
  }
}

}  // namespace
}  // namespace vm::notebook
