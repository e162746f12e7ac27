// The document parser against the one it replaced (xml_reference_parser.cpp): the same
// tree, byte for byte, and the same errors at the same places, over the fuzz corpora and
// generated documents, with and without the reader's two reference options.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/platform.h"
#include "spreadsheet/workbook.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"
#include "spreadsheet/xml_dump.h"
#include "spreadsheet/xml_reference_parser.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

std::string Dump(CXmlDocument& doc, std::string_view text, const reference::Options& options) {
  XmlErrors errors;
  doc.SetUnterminatedReferences(options.unterminatedReferences);
  doc.SetNoBreakReferencesAsBlanks(options.noBreakReferencesAsBlanks);
  doc.SetErrorCallback([&errors](int code, const std::string& message, int line, int column) {
    errors.push_back({code, line, column, message});
  });
  doc.Parse(text);
  if (doc.ErrorCount() != static_cast<int>(errors.size())) return "error count differs";
  return XmlDump(doc.Root(), errors);
}

// Each text under combinations of the options (every one, or neither and both), into a
// fresh document and into one that held the previous text (its storage is reused).
void ExpectSameAsReference(CXmlDocument& reused, const std::string& text, const std::string& label,
                           bool everyOption = true) {
  for (int o = 0; o < 4; o += everyOption ? 1 : 3) {
    const reference::Options options{(o & 1) != 0, (o & 2) != 0};
    const std::string expected = reference::ParseAndDump(text, options);
    CXmlDocument fresh;
    ASSERT_EQ(Dump(fresh, text, options), expected) << label << " options " << o;
    ASSERT_EQ(Dump(reused, text, options), expected) << label << " options " << o << " (reused)";
  }
}

TEST(XmlParserDiff, FuzzCorporaParseAsTheReferenceParses) {
  CXmlDocument reused;
  size_t files = 0;
  for (const char* corpus : {"xmldoc", "workbook_read"}) {
    const std::string folder = std::string(VELMORIA_SOURCE_DIR) + "/fuzz/corpus/" + corpus + "/";
    for (const platform::DirEntry& e : platform::ListDir(folder)) {
      if (e.isDir) continue;
      const std::string bytes = testing::Slurp(folder + e.name);
      ExpectSameAsReference(reused, bytes, e.name, false);
      const std::string converted = DocumentBytesToCp1251(bytes);
      if (converted != bytes) ExpectSameAsReference(reused, converted, e.name + " (converted)", false);
      ++files;
    }
  }
  EXPECT_GT(files, 1000u);
}

// Documents made of pieces that meet every branch of the parser, often cut short.
std::string Generated(std::mt19937& rng) {
  static const std::string_view kPieces[] = {
      "<a>", "</a>", "<b x='1' y=2>", "</b>", "<Cell ss:Index=\"3\" ss:StyleID=\"s21\">", "</Cell>", "<e/>",
      "<ss:Data ss:Type='String'>", "</ss:Data>", "<r xmlns:ss=\"urn:x\" xmlns='u'>", "</r>", "<n v=-2147483648 w=+07/>",
      "<n v=2147483648/>", "<n v=12x/>", "<n v=->", "<t a=\"'\" b='\"'>", "<!-- note -->", "<?pi data?>",
      "<![CDATA[ raw <x> & ]]>", "<!ELEMENT z>", "<!DOCTYPE d [<!ENTITY e \"Ex&#1055;\"><!ENTITY E 'other'>"
      "<!ENTITY % p 'x'><!ENTITY ext SYSTEM 'f'><!-- c --><!ATTLIST a x CDATA #IMPLIED>]>",
      "<!DOCTYPE q SYSTEM \"q.dtd\">", "&e;", "&E;", "&ext;", "&p;", "&#160;", "&#160", "&#32;", "&#x41;", "&#X4a;",
      "&#0;", "&#1114112;", "&#x10FFFF;", "&#8470;", "&#8364;", "&amp;", "&LT;", "&Quot;", "&apos", "&bogus;", "&",
      "&;", "&#;", "&#x;", "<", ">", "=", "\"", "'", "/", " ", "  ", "\r\n", "\n", "\r", "\t", "\r\n      ", "text",
      "word", "12.25", "\xCF\xF0\xE8", "\xA0", "\x98", "<a$b>", "<a\"b/>", "<\x01q>", "< a>", "</>", "</a ", "</a <",
      "x=", "<c k>", "<c k=?>", "<c k=\"v\" \"w\">", "<c k=\"v\"/", std::string_view("\0", 1), "</zz>", "<?", "<!",
      "<!--", "<![CDATA[", "<!DOCTYPE", "]]>", "-->", "?>"};
  std::string doc;
  const int pieces = static_cast<int>(rng() % 3 == 0 ? rng() % 400 : rng() % 40);
  for (int i = 0; i < pieces; ++i) {
    doc += kPieces[rng() % std::size(kPieces)];
  }
  if (rng() % 4 == 0 && !doc.empty()) doc.resize(rng() % doc.size());
  return doc;
}

TEST(XmlParserDiff, GeneratedDocumentsParseAsTheReferenceParses) {
  std::mt19937 rng(35);
  CXmlDocument reused;
  for (int round = 0; round < 3000; ++round) {
    const std::string text = Generated(rng);
    ExpectSameAsReference(reused, text, "round " + std::to_string(round) + ": " + text);
  }
}

// The limits: nesting past the depth bound, and declared entities whose replacements
// outgrow the budget (the references after it stay as written).
TEST(XmlParserDiff, LimitsAsTheReferenceSetsThem) {
  CXmlDocument reused;
  std::string deep;
  for (int i = 0; i < kXmlMaxDepth + 20; ++i) deep += "<d k='" + std::to_string(i) + "'>x&amp;";
  ExpectSameAsReference(reused, deep, "deep");
  std::string big = "<!DOCTYPE d [<!ENTITY big \"" + std::string(1 << 16, 'B') + "\">]><r>\r\n";
  for (int i = 0; i < 140; ++i) big += "a&big;b&#160;&lt;\r\n";
  ExpectSameAsReference(reused, big + "</r>", "budget");
}

// A workbook as the program writes it: the bulk of what the parser reads in use.
TEST(XmlParserDiff, AWrittenWorkbookParsesAsTheReferenceParses) {
  CWorkbook book;
  CSheet& s = book.Sheet(0);
  s.name = "Данные & <итоги>";
  s.SetColumnCount(6);
  s.SetRowCount(200);
  for (int r = 0; r < 200; ++r)
    for (int c = 0; c < 6; ++c)
      s.CellForEdit(r, c)->SetText(c % 2 ? std::to_string(r * 7 + c) + ".5" : "  Строка " + std::to_string(r) + " \"к\" & <т>\r\nдве");
  CXmlDocument reused;
  ExpectSameAsReference(reused, WorkbookText(book), "workbook");
}

}  // namespace
}  // namespace vm::spreadsheet
