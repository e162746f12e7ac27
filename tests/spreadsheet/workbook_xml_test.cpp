#include "spreadsheet/workbook_xml.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>

#include "platform/platform.h"
#include "spreadsheet/grid_ops.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

CSheet& Grid(CWorkbook& book, int rows, int columns, const std::string& name = "Лист 1") {
  CSheet& s = book.Sheet(0);
  s.name = name;
  s.SetRowCount(rows);
  s.SetColumnCount(columns);
  return s;
}

void Put(CSheet& s, int r, int c, const std::string& text) { s.CellForEdit(r, c)->SetText(text); }

bool Has(const std::string& hay, const std::string& needle) { return hay.find(needle) != std::string::npos; }

int Count(const std::string& hay, const std::string& needle) {
  int n = 0;
  for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) ++n;
  return n;
}

// Reads workbook text (a file's bytes) into a fresh workbook.
bool Read(CWorkbook& book, const std::string& bytes, WorkbookReadReport* report = nullptr) {
  return ReadWorkbookBytes(book, bytes, report);
}

const std::string kHead =
    "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
    "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\" xmlns:x=\"urn:schemas-microsoft-com:office:excel\">";

TEST(WorkbookWriter, HeaderStylesAndSheets) {
  CWorkbook book;
  Grid(book, 1, 1, "");
  book.AddSheet().name = "Итоги";
  std::string out = WorkbookText(book);
  EXPECT_EQ(out.substr(0, out.find("<Workbook")),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?> <?mso-application progid=\"Excel.Sheet\"?>\r\n");
  EXPECT_TRUE(Has(out,
                  "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                  "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                  "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
                  "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                  "xmlns:html=\"http://www.w3.org/TR/REC-html40\">\r\n   <Styles/>\r\n"));
  EXPECT_TRUE(Has(out, "<Worksheet ss:Name=\"Лист 1\">"));  // an unnamed sheet gets its number
  EXPECT_TRUE(Has(out,
                  "<Worksheet ss:Name=\"Итоги\">\r\n      <Table ss:ExpandedColumnCount=\"10\" ss:ExpandedRowCount=\"100\">\r\n"
                  "         <Column ss:Index=\"1\" ss:Span=\"9\" ss:AutoFitWidth=\"0\" ss:Width=\"48.00\"/>\r\n      </Table>"));
  EXPECT_EQ(out.find('\n'), out.find("\r\n") + 1);
  for (size_t at = out.find('\n'); at != std::string::npos; at = out.find('\n', at + 1)) ASSERT_EQ(out[at - 1], '\r');
  CWorkbook empty;
  EXPECT_TRUE(Has(WorkbookText(empty), "<Worksheet ss:Name=\"Лист 1\"/>"));  // no rows: no table
}

TEST(WorkbookWriter, CellsColumnsRowsAndMerges) {
  CWorkbook book;
  CSheet& s = Grid(book, 6, 6);
  Put(s, 0, 0, "два слова");
  Put(s, 0, 1, "b");
  Put(s, 0, 4, "e");
  s.Merge({2, 1, 4, 2});
  Put(s, 2, 1, "merged");
  Put(s, 3, 2, "hidden");  // covered by the area: never written
  s.SetRowHeight(5, 3000);
  std::string out = WorkbookText(book);
  // Columns of the default width are one run, for readers with another default.
  EXPECT_EQ(Count(out, "<Column"), 1);
  EXPECT_TRUE(Has(out, "<Column ss:Index=\"1\" ss:Span=\"5\" ss:AutoFitWidth=\"0\" ss:Width=\"48.00\"/>"));
  EXPECT_TRUE(Has(out, "<Data ss:Type='String'>два&#32;слова</Data>"));
  EXPECT_TRUE(Has(out,
                  "         <Row>\r\n"
                  "            <Cell>\r\n"
                  "               <Data ss:Type='String'>два&#32;слова</Data>\r\n"
                  "            </Cell>\r\n"
                  "            <Cell>\r\n"
                  "               <Data ss:Type='String'>b</Data>\r\n"
                  "            </Cell>\r\n"
                  "            <Cell ss:Index=\"5\">\r\n"));
  EXPECT_TRUE(Has(out, "<Row ss:Index=\"3\">\r\n            <Cell ss:Index=\"2\" ss:MergeAcross=\"1\" ss:MergeDown=\"2\">"));
  EXPECT_FALSE(Has(out, "hidden"));
  EXPECT_EQ(Count(out, "<Cell"), 4);
  EXPECT_TRUE(Has(out, "<Row ss:Index=\"6\" ss:AutoFitHeight=\"0\" ss:Height=\"2047.00\"/>"));

  s.SetColumnWidth(1, 100);
  s.SetColumnWidth(2, 101);
  s.SetColumnWidth(5, 30);
  out = WorkbookText(book);
  EXPECT_TRUE(Has(out,
                  "<Column ss:Index=\"1\" ss:AutoFitWidth=\"0\" ss:Width=\"48.00\"/>\r\n"
                  "         <Column ss:Index=\"2\" ss:AutoFitWidth=\"0\" ss:Width=\"75.00\"/>\r\n"
                  "         <Column ss:Index=\"3\" ss:AutoFitWidth=\"0\" ss:Width=\"75.75\"/>\r\n"
                  "         <Column ss:Index=\"4\" ss:Span=\"1\" ss:AutoFitWidth=\"0\" ss:Width=\"48.00\"/>\r\n"
                  "         <Column ss:Index=\"6\" ss:AutoFitWidth=\"0\" ss:Width=\"22.50\"/>"));
}

TEST(WorkbookWriter, StylesAreSharedAndDescribeTheDifferences) {
  CWorkbook book;
  CSheet& s = Grid(book, 3, 3);
  FontDesc bold;
  bold.weight = 700;
  FontDesc italic;
  italic.italic = true;
  FontDesc cyrillic;
  cyrillic.faceName = "Таймс";
  cyrillic.height = -16;
  cyrillic.pitchAndFamily = kFamilyRoman;
  for (int c : {0, 1}) {
    CSheetCell* cell = s.CellForEdit(0, c);
    cell->font = book.Fonts().Intern(bold);
    cell->textColor = Rgb(255, 0, 0);
    cell->mask |= kCellFont | kCellTextColor;
  }
  SetFont(s, {1, 0, 1, 0}, book.Fonts().Intern(italic));
  SetFont(s, {2, 0, 2, 0}, book.Fonts().Intern(cyrillic));
  SetFillColor(s, {2, 1, 2, 1}, Rgb(0x12, 0x34, 0x56));
  SetHorizontalAlignment(s, {2, 2, 2, 2}, kAlignCenter);
  std::string out = WorkbookText(book);
  EXPECT_TRUE(Has(out,
                  "      <Style ss:ID=\"s50\">\r\n"
                  "         <Font ss:FontName=\"Arial\" x:Family=\"Modern\" x:CharSet=\"204\" ss:Size=\"9\" "
                  "ss:Bold=\"1\" ss:Italic=\"0\" ss:Color=\"#ff0000\"/>\r\n"
                  "      </Style>\r\n"
                  "      <Style ss:ID=\"s51\">\r\n"
                  "         <Font ss:FontName=\"Arial\" x:Family=\"Modern\" x:CharSet=\"204\" ss:Size=\"9\" "
                  "ss:Bold=\"0\" ss:Italic=\"1\"/>\r\n"));
  EXPECT_EQ(Count(out, "ss:StyleID=\"s50\""), 2);
  EXPECT_TRUE(Has(out, "<Font ss:FontName=\"Arial\" x:Family=\"Roman\" x:CharSet=\"204\" ss:Size=\"12\""));
  EXPECT_TRUE(Has(out, "<Interior ss:Color=\"#123456\" ss:Pattern=\"Solid\"/>"));
  EXPECT_TRUE(Has(out, "<Alignment ss:Horizontal=\"Center\"/>"));
  EXPECT_FALSE(Has(out, "s55"));
  // A second write starts the numbering again.
  EXPECT_EQ(WorkbookText(book), out);
}

TEST(WorkbookWriter, GeneratedFormatsGetTheStyleTheyGetAlone) {
  // Formats repeat in any order across rows and columns; each cell must carry the style
  // a workbook of that one cell writes, and equal styles are written once.
  std::mt19937 rng(11);
  CWorkbook book;
  CSheet& s = Grid(book, 40, 8);
  FontDesc plain, bold;
  bold.weight = 700;
  bold.height = -16;
  const FontDesc* fonts[] = {nullptr, book.Fonts().Intern(plain), book.Fonts().Intern(bold)};
  // The parts of every style a text writes, after its ID.
  auto styles = [](const std::string& text) {
    std::vector<std::string> bodies;
    for (size_t at = text.find("<Style ss:ID="); at != std::string::npos; at = text.find("<Style ss:ID=", at + 1)) {
      size_t from = text.find('>', at) + 1;
      bodies.push_back(text.substr(from, text.find("</Style>", from) - from));
    }
    return bodies;
  };
  for (int i = 0; i < 120; ++i) {
    int r = static_cast<int>(rng() % 40), c = static_cast<int>(rng() % 8);
    CSheetCell* cell = rng() % 8 ? s.CellForEdit(r, c) : rng() % 2 ? s.RowFormatForEdit(r) : s.ColumnFormatForEdit(c);
    unsigned pick = rng();
    if (pick & 1) Put(s, r, c, "1.5"), ChangeKind(*s.CellForEdit(r, c), kKindNumber, book.locale);
    if (const FontDesc* f = fonts[pick / 2 % 3]) cell->font = f, cell->mask |= kCellFont;
    if (pick & 8) cell->textColor = Rgb(pick / 16 % 2 * 255, 0, 0), cell->mask |= kCellTextColor;
    if (pick & 32) cell->fillColor = Rgb(0, pick / 64 % 2 * 255, 0), cell->mask |= kCellFillColor;
    if (pick & 128) cell->align = pick & 256 ? kAlignRight | kAlignTop : kAlignCenter, cell->mask |= kCellAlign;
    if (pick & 512) cell->SetWrap(pick & 1024);
    if (pick & 2048) cell->decimals = pick / 4096 % 4, cell->mask |= kCellDecimals;
  }
  const std::string out = WorkbookText(book);
  const std::vector<std::string> written = styles(out);
  const std::set<std::string> bodies(written.begin(), written.end());
  EXPECT_EQ(bodies.size(), written.size());  // equal styles are written once
  CWorkbook back;
  ASSERT_TRUE(Read(back, out));
  for (int r = 0; r < 40; ++r) {
    for (int c = 0; c < 8; ++c) {
      CWorkbook alone;
      *Grid(alone, 1, 1).CellForEdit(0, 0) = s.GetCell(r, c);
      std::vector<std::string> own = styles(WorkbookText(alone));
      if (own.empty()) continue;
      EXPECT_TRUE(bodies.count(own[0])) << r << "," << c;
      // Read back, the cell has the format of the style its element names.
      CSheetCell got = back.Sheet(0).GetCell(r, c), want = s.GetCell(r, c);
      EXPECT_EQ(got.textColor, want.Has(kCellTextColor) ? want.textColor : 0) << r << "," << c;
      EXPECT_EQ(got.fillColor, want.Has(kCellFillColor) ? want.fillColor : 0) << r << "," << c;
      EXPECT_EQ(got.Wraps(), want.Wraps()) << r << "," << c;
      EXPECT_EQ(got.font && got.font->weight == 700, want.font && want.font->weight == 700) << r << "," << c;
    }
  }
}

TEST(WorkbookWriter, TextsThatXmlReservesStayReadable) {
  CWorkbook book;
  CSheet& s = Grid(book, 2, 1, "A & B <\"c\">");
  Put(s, 0, 0, "x < y && \"z\" > 0\r\nnext");
  Put(s, 1, 0, "&#160; literal");
  std::string out = WorkbookText(book);
  EXPECT_TRUE(Has(out, "ss:Name=\"A &amp; B &lt;&quot;c&quot;>\""));
  EXPECT_TRUE(Has(out, "x&#32;&lt;&#32;y&#32;&amp;&amp;&#32;\"z\"&#32;&gt;&#32;0&#10;next"));
  CWorkbook back;
  ASSERT_TRUE(Read(back, out));
  EXPECT_EQ(back.Sheet(0).name, "A & B <\"c\">");
  EXPECT_EQ(back.Sheet(0).GetCell(0, 0).text, "x < y && \"z\" > 0\r\nnext");
  EXPECT_EQ(back.Sheet(0).GetCell(1, 0).text, "&#160; literal");
}

// Cell texts of every awkward byte: written as a plain loop encodes them, and read back
// with each line break as CR LF.
TEST(WorkbookRoundTrip, GeneratedCellTextsEncodeAsAPlainLoopAndReadBack) {
  std::mt19937 rng(5);
  const char* pieces[] = {"a", " ", "  ", "\r\n", "\r", "\n", "&", "<", ">", "\"", "'", "\xCF\xF0", "long words", "\t", ";"};
  CWorkbook book;
  CSheet& s = Grid(book, 300, 2);
  std::vector<std::string> texts;
  for (int r = 0; r < 300; ++r) {
    std::string t = "x";
    for (int i = 0, n = rng() % (r % 10 == 0 ? 150 : 8); i < n; ++i) t += pieces[rng() % std::size(pieces)];
    Put(s, r, 1, texts.emplace_back(t));
  }
  std::string out = WorkbookText(book);
  CWorkbook back;
  ASSERT_TRUE(Read(back, out));
  std::map<char, std::string> named = {{' ', "&#32;"}, {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}};
  for (int r = 0; r < 300; ++r) {
    std::string encoded, read;
    const std::string& t = texts[r];
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\r' || t[i] == '\n') {
        i += t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n';
        encoded += "&#10;";
        read += "\r\n";
        continue;
      }
      encoded += named.count(t[i]) ? named[t[i]] : std::string(1, t[i]);
      read += t[i];
    }
    EXPECT_TRUE(Has(out, "ss:Type='String'>" + encoded + "</Data>")) << r;
    EXPECT_EQ(back.Sheet(0).GetCell(r, 1).text, read) << r;
  }
}

TEST(WorkbookRoundTrip, EveryAttributeTheFormatCarries) {
  ScratchFolder dir;
  CWorkbook book;
  CSheet& s = Grid(book, 8, 5, "Данные");
  s.SetColumnWidth(0, 120);
  s.SetRowHeight(1, 40);
  Put(s, 0, 0, "  ведущие и замыкающие  ");
  Put(s, 0, 1, "строка 1\r\nстрока 2");
  s.CellForEdit(0, 1)->SetWrap(true);
  Put(s, 1, 0, "1234.5");
  ChangeKind(*s.CellForEdit(1, 0), kKindNumber, book.locale);
  Put(s, 1, 1, "0.1");
  ChangeKind(*s.CellForEdit(1, 1), kKindNumber, book.locale);
  CSheetCell* dec = s.CellForEdit(1, 1);
  dec->decimals = 3;
  dec->mask |= kCellDecimals;
  Put(s, 1, 2, "-1E-7");
  ChangeKind(*s.CellForEdit(1, 2), kKindNumber, book.locale);
  Put(s, 2, 0, "2013/05/01 10:20");
  ChangeKind(*s.CellForEdit(2, 0), kKindDateTime, book.locale);
  Put(s, 2, 1, "1");
  ChangeKind(*s.CellForEdit(2, 1), kKindBoolean, book.locale);
  FontDesc font;
  font.faceName = "Courier New";
  font.height = -16;
  font.weight = 700;
  font.italic = true;
  font.underline = true;
  font.charSet = 204;
  const FontDesc* fancy = book.Fonts().Intern(font);
  SetFont(s, {3, 0, 3, 0}, fancy);
  Put(s, 3, 0, "fancy");
  SetTextColor(s, {3, 0, 3, 0}, Rgb(0x11, 0x22, 0x33));
  SetFillColor(s, {3, 1, 3, 1}, Rgb(0xAB, 0xCD, 0xEF));
  SetHorizontalAlignment(s, {4, 0, 4, 0}, kAlignRight);
  CSheetCell* top = s.CellForEdit(4, 1);
  top->align = kAlignCenter | kAlignTop;
  top->mask |= kCellAlign;
  s.Merge({5, 0, 6, 1});
  Put(s, 5, 0, "area");
  CSheetCell* column = s.ColumnFormatForEdit(4);
  column->fillColor = Rgb(1, 2, 3);
  column->mask |= kCellFillColor;
  book.AddSheet().name = "Второй";
  book.SetCurrent(0);

  const std::string path = dir / "book.xml";
  ASSERT_TRUE(WriteWorkbook(book, path));
  EXPECT_EQ(book.Current(), 0);
  CWorkbook back;
  WorkbookReadReport report;
  ASSERT_TRUE(ReadWorkbook(back, path, &report));
  EXPECT_EQ(report.parseErrors, 0) << report.firstParseError;
  ASSERT_EQ(back.SheetCount(), 2);
  EXPECT_EQ(back.Sheet(1).name, "Второй");
  EXPECT_EQ(back.Sheet(1).RowCount(), 100);
  const CSheet& r = back.Sheet(0);
  EXPECT_EQ(r.name, "Данные");
  EXPECT_EQ(r.RowCount(), 8);
  EXPECT_EQ(r.ColumnCount(), 5);
  EXPECT_EQ(r.ColumnWidth(0), 120);
  EXPECT_EQ(r.ColumnWidth(1), 64);
  EXPECT_EQ(r.RowHeight(1), 40);
  EXPECT_EQ(r.RowHeight(0), 17);
  EXPECT_EQ(r.GetCell(0, 0).text, "  ведущие и замыкающие  ");
  CSheetCell lines = r.GetCell(0, 1);
  EXPECT_EQ(lines.text, "строка 1\r\nстрока 2");
  EXPECT_TRUE(lines.Wraps());
  CSheetCell n = r.GetCell(1, 0);
  EXPECT_EQ(n.kind, kKindNumber);
  EXPECT_DOUBLE_EQ(n.value, 1234.5);
  EXPECT_EQ(n.align, kAlignRight | kAlignBottom);
  EXPECT_EQ(r.GetCell(1, 1).decimals, 3);
  EXPECT_EQ(ShownText(r.GetCell(1, 1), back.locale), "0.100");
  EXPECT_DOUBLE_EQ(r.GetCell(1, 2).value, -1e-7);
  CSheetCell date = r.GetCell(2, 0);
  EXPECT_EQ(date.kind, kKindDateTime);
  EXPECT_EQ(date.text, "2013/05/01 10:20");
  EXPECT_NEAR(date.value, 41395 + 620 / 1440.0, 1e-9);
  EXPECT_EQ(r.GetCell(2, 1).kind, kKindBoolean);
  EXPECT_EQ(r.GetCell(2, 1).value, 1);
  CSheetCell styled = r.GetCell(3, 0);
  ASSERT_NE(styled.font, nullptr);
  EXPECT_EQ(*styled.font, font);
  EXPECT_EQ(styled.textColor, Rgb(0x11, 0x22, 0x33));
  EXPECT_EQ(r.GetCell(3, 1).fillColor, Rgb(0xAB, 0xCD, 0xEF));
  EXPECT_EQ(r.GetCell(4, 0).align, kAlignRight | kAlignBottom);
  EXPECT_EQ(r.GetCell(4, 1).align, kAlignCenter | kAlignTop);
  ASSERT_EQ(r.Merges().size(), 1u);
  EXPECT_EQ(r.Merges()[0], (MergeArea{5, 0, 1, 1}));
  EXPECT_EQ(r.GetCell(5, 0).text, "area");
  ASSERT_NE(r.ColumnFormat(4), nullptr);
  EXPECT_EQ(r.ColumnFormat(4)->fillColor, Rgb(1, 2, 3));
  EXPECT_FALSE(r.GetCell(3, 1).Has(kCellFont));  // a fill alone makes no font
  // From the first read on, writing and reading change nothing.
  const std::string again = dir / "again.xml", third = dir / "third.xml";
  ASSERT_TRUE(WriteWorkbook(back, again));
  CWorkbook back2;
  ASSERT_TRUE(ReadWorkbook(back2, again));
  ASSERT_TRUE(WriteWorkbook(back2, third));
  EXPECT_EQ(Slurp(third), Slurp(again));
}

TEST(WorkbookReader, AStyleNamingItselfAsParentManyTimesReadsAtOnce) {
  // Every repeated "Parent" used to be followed down the chain: 8 of them, 8^16 steps.
  std::string parents;
  for (int i = 0; i < 8; ++i) parents += " ss:Parent=\"x\"";
  CWorkbook book;
  ASSERT_TRUE(Read(book, kHead + "<Styles><Style ss:ID=\"x\"" + parents +
                             "><Font ss:Italic=\"1\"/></Style></Styles><Worksheet ss:Name=\"S\"><Table><Row>"
                             "<Cell ss:StyleID=\"x\"><Data ss:Type=\"String\">a</Data></Cell></Row></Table>"
                             "</Worksheet></Workbook>"));
  ASSERT_NE(book.Sheet(0).GetCell(0, 0).font, nullptr);
  EXPECT_TRUE(book.Sheet(0).GetCell(0, 0).font->italic);
}

TEST(WorkbookReader, OneStyleOverDifferentFontsKeepsEachFont) {
  // The row's bold style reaches cells of two faces already read (the row comes again),
  // alternately, and then a span of columns.
  CWorkbook book;
  std::string file = kHead +
                     "<Styles><Style ss:ID=\"a\"><Font ss:FontName=\"Arial\"/></Style>"
                     "<Style ss:ID=\"t\"><Font ss:FontName=\"Tahoma\"/></Style>"
                     "<Style ss:ID=\"b\"><Font ss:Bold=\"1\"/></Style></Styles>"
                     "<Worksheet><Table><Column ss:Span=\"2\" ss:StyleID=\"b\"/><Row>"
                     "<Cell ss:StyleID=\"a\"/><Cell ss:StyleID=\"t\"/><Cell ss:StyleID=\"a\"/><Cell ss:StyleID=\"t\"/>"
                     "</Row><Row ss:Index=\"1\" ss:StyleID=\"b\"/></Table></Worksheet></Workbook>";
  ASSERT_TRUE(Read(book, file));
  const CSheet& s = book.Sheet(0);
  for (int c = 0; c < 4; ++c) {
    const FontDesc* f = s.GetCell(0, c).font;
    ASSERT_NE(f, nullptr) << c;
    EXPECT_EQ(f->faceName, c % 2 ? "Tahoma" : "Arial") << c;
    EXPECT_EQ(f->weight, 700) << c;
  }
  for (int c = 0; c < 3; ++c) {
    ASSERT_NE(s.ColumnFormat(c), nullptr);
    EXPECT_EQ(s.ColumnFormat(c)->font, s.ColumnFormat(0)->font);
    EXPECT_EQ(s.ColumnFormat(c)->font->weight, 700);
  }
}

TEST(WorkbookReader, GeneratedParentChainsReadAsThePlainRecursion) {
  // Styles naming parents at random (themselves, each other in cycles, "Default",
  // missing ones): each cell of a style must read as the cell of a style without parents
  // whose parts the plain rule gives, parents' parts first and at most 17 styles deep.
  std::mt19937 rng(3);
  const char* names[] = {"s0", "s1", "s2", "s3", "s4", "Default", "none"};
  const char* parts[][3] = {{"Font", "ss:Bold", "1"},         {"Font", "ss:Italic", "1"},    {"Font", "ss:Size", "14"},
                            {"Font", "ss:Bold", "0"},         {"Interior", "ss:Color", "#102030"},
                            {"Interior", "ss:Color", "#405060"}, {"Alignment", "ss:Horizontal", "Right"},
                            {"Alignment", "ss:Horizontal", "Center"}, {"Font", "", ""}};
  for (int round = 0; round < 60; ++round) {
    std::map<std::string, std::string> parent;                          // style -> parent named
    std::map<std::string, std::vector<int>> own;                        // style -> its parts
    std::string styles;
    for (int i = 0; i < 5; ++i) {
      std::string id = names[i];
      if (rng() % 4) parent[id] = names[rng() % std::size(names)];
      for (int k = 0, n = rng() % 3; k < n; ++k) own[id].push_back(static_cast<int>(rng() % std::size(parts)));
      styles += "<Style ss:ID=\"" + id + "\"" + (parent.count(id) ? " ss:Parent=\"" + parent[id] + "\"" : "") + ">";
      for (int k : own[id])
        styles += std::string("<") + parts[k][0] + (*parts[k][1] ? std::string(" ") + parts[k][1] + "=\"" + parts[k][2] + "\"" : "") + "/>";
      styles += "</Style>";
    }
    // The plain rule, flattened: one style "f<i>" per generated one.
    for (int i = 0; i < 5; ++i) {
      std::vector<int> applied;
      std::function<void(const std::string&, int)> collect = [&](const std::string& id, int depth) {
        if (id.size() != 2 || id[0] != 's' || depth > 16) return;  // s0-s4 are the styles there are
        if (parent.count(id)) collect(parent[id], depth + 1);
        for (int k : own[id]) applied.push_back(k);
      };
      collect(names[i], 0);
      styles += "<Style ss:ID=\"f" + std::to_string(i) + "\">";
      for (int k : applied)
        styles += std::string("<") + parts[k][0] + (*parts[k][1] ? std::string(" ") + parts[k][1] + "=\"" + parts[k][2] + "\"" : "") + "/>";
      styles += "</Style>";
    }
    std::string cells, flat;
    for (int i = 0; i < 5; ++i) {
      cells += "<Cell ss:StyleID=\"s" + std::to_string(i) + "\"><Data ss:Type=\"String\">x</Data></Cell>";
      flat += "<Cell ss:StyleID=\"f" + std::to_string(i) + "\"><Data ss:Type=\"String\">x</Data></Cell>";
    }
    CWorkbook book;
    ASSERT_TRUE(Read(book, kHead + "<Styles>" + styles + "</Styles><Worksheet><Table><Row>" + cells + "</Row><Row>" + flat +
                               "</Row></Table></Worksheet></Workbook>"));
    const CSheet& s = book.Sheet(0);
    for (int c = 0; c < 5; ++c) {
      CSheetCell got = s.GetCell(0, c), want = s.GetCell(1, c);
      EXPECT_EQ(got.font, want.font) << round << " " << c << styles;
      EXPECT_EQ(got.Has(kCellFont), want.Has(kCellFont)) << round << " " << c;
      EXPECT_EQ(got.fillColor, want.fillColor) << round << " " << c;
      EXPECT_EQ(got.align, want.align) << round << " " << c;
    }
  }
  // A chain of twenty: a style reaches the sixteen above it, no further.
  std::string chain, cells;
  for (int i = 0; i < 20; ++i) {
    chain += "<Style ss:ID=\"c" + std::to_string(i) + "\" ss:Parent=\"c" + std::to_string(i + 1) + "\">" +
             (i == 19 ? "<Interior ss:Color=\"#0000FF\"/>" : "") + "</Style>";
    cells += "<Cell ss:StyleID=\"c" + std::to_string(i) + "\"/>";
  }
  CWorkbook book;
  ASSERT_TRUE(Read(book, kHead + "<Styles>" + chain + "</Styles><Worksheet><Table><Row>" + cells +
                             "</Row></Table></Worksheet></Workbook>"));
  for (int c = 0; c < 20; ++c) EXPECT_EQ(book.Sheet(0).GetCell(0, c).Has(kCellFillColor), c >= 3) << c;
}

TEST(WorkbookReader, PartsOfTheFormat) {
  CWorkbook book;
  WorkbookReadReport report;
  std::string file = kHead +
                     "<Styles>"
                     "<Style ss:ID=\"Default\"><Font ss:Bold=\"1\"/></Style>"
                     "<Style ss:ID=\"base\"><Font ss:FontName=\"Times New Roman\" ss:Size=\"14\" x:CharSet=\"0\"/>"
                     "<Interior ss:Color=\"#00FF00\"/></Style>"
                     "<Style ss:ID=\"kid\" ss:Parent=\"base\"><Font ss:Italic=\"1\"/><NumberFormat ss:Format=\"#,##0.000\"/></Style>"
                     "<Style ss:ID=\"loop\" ss:Parent=\"loop\"><Alignment ss:Horizontal=\"Center\" ss:Vertical=\"Top\"/></Style>"
                     "<Style ss:ID=\"fixed\"><NumberFormat ss:Format=\"Fixed\"/></Style>"
                     "<Style ss:ID=\"general\"><NumberFormat ss:Format=\"General\"/></Style>"
                     "</Styles>"
                     "<Worksheet ss:Name=\"A&amp;B\"><Table>"
                     "<Column ss:Width=\"30\" ss:Span=\"2\"/><Column ss:Index=\"5\" ss:StyleID=\"base\"/>"
                     "<Row ss:Height=\"30\"><Cell ss:StyleID=\"Default\"><Data ss:Type=\"String\">d</Data></Cell>"
                     "<Cell ss:MergeAcross=\"1\"><Data ss:Type=\"Number\">2.5</Data></Cell>"
                     "<Cell ss:StyleID=\"kid\"><Data ss:Type=\"Number\">3.14159</Data></Cell></Row>"
                     "<Row ss:Index=\"4\" ss:StyleID=\"loop\"><Cell ss:Index=\"2\" ss:StyleID=\"fixed\"><Data ss:Type=\"Number\">7</Data></Cell>"
                     "<Cell ss:StyleID=\"general\"><Data ss:Type=\"Number\">7.25</Data></Cell>"
                     "<Cell ss:StyleID=\"nowhere\"><Data ss:Type=\"DateTime\">2013-05-01T10:20:30.000</Data></Cell>"
                     "<Cell><ss:Data ss:Type=\"String\" xmlns=\"http://www.w3.org/TR/REC-html40\"><B>bold</B><I> and</I> plain</ss:Data></Cell>"
                     "<Cell><Data ss:Type=\"Number\">not a number</Data></Cell></Row>"
                     "</Table></Worksheet><Worksheet ss:Name=\"Empty\"/></Workbook>";
  ASSERT_TRUE(Read(book, file, &report));
  EXPECT_EQ(report.parseErrors, 0) << report.firstParseError;
  ASSERT_EQ(book.SheetCount(), 2);
  const CSheet& s = book.Sheet(0);
  EXPECT_EQ(s.name, "A&B");
  EXPECT_EQ(s.RowCount(), 4);     // sized from the cells without the counts
  EXPECT_EQ(s.ColumnCount(), 6);
  EXPECT_EQ(s.ColumnWidth(0), 40);
  EXPECT_EQ(s.ColumnWidth(2), 40);
  EXPECT_EQ(s.ColumnWidth(3), 64);
  EXPECT_EQ(s.RowHeight(0), 40);
  EXPECT_EQ(s.DefaultFormat().align, kAlignLeft | kAlignBottom);
  EXPECT_FALSE(s.GetCell(0, 0).Has(kCellFont));  // "Default" applies nothing
  EXPECT_EQ(s.GetCell(0, 1).value, 2.5);
  EXPECT_EQ(s.GetCell(0, 3).text, "3.14159");  // after the merged area, not inside it
  CSheetCell kid = s.GetCell(0, 3);
  ASSERT_NE(kid.font, nullptr);
  EXPECT_EQ(kid.font->faceName, "Times New Roman");
  EXPECT_EQ(kid.font->height, -18);
  EXPECT_EQ(kid.font->charSet, 1);
  EXPECT_TRUE(kid.font->italic);
  EXPECT_EQ(kid.fillColor, Rgb(0, 255, 0));
  EXPECT_EQ(kid.numberFormat, "#,##0.000");
  EXPECT_EQ(kid.decimals, 3);
  EXPECT_EQ(ShownText(kid, book.locale), "3.142");
  ASSERT_NE(s.ColumnFormat(4), nullptr);
  EXPECT_EQ(s.ColumnFormat(4)->fillColor, Rgb(0, 255, 0));
  CSheetCell fixed = s.GetCell(3, 1);
  EXPECT_EQ(fixed.decimals, 2);
  EXPECT_EQ(fixed.align, kAlignRight | kAlignBottom);  // the row's style, then the number's own
  EXPECT_FALSE(s.GetCell(3, 2).Has(kCellDecimals));
  EXPECT_EQ(ShownText(s.GetCell(3, 2), book.locale), "7.25");
  EXPECT_EQ(s.GetCell(3, 3).text, "2013/05/01 10:20");
  EXPECT_EQ(s.GetCell(3, 4).text, "bold and plain");
  EXPECT_EQ(s.GetCell(3, 5).kind, kKindText);
  EXPECT_EQ(s.GetCell(3, 5).text, "not a number");
  EXPECT_EQ(s.GetCell(3, 0).align, kAlignCenter | kAlignTop);  // every cell of the styled row
  EXPECT_EQ(book.Sheet(1).RowCount(), 0);
}

TEST(WorkbookReader, NamespacePrefixesEncodingsAndOlderFiles) {
  // Another program's style: one line, UTF-8, "ss:" elements, no counts.
  std::string utf8 =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Excel.Sheet\"?>"
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
      "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><ss:Worksheet ss:Name=\"\xD0\x9B\xD0\xB8\xD1\x81\xD1\x82\">"
      "<Table><Row><Cell><Data ss:Type=\"String\">\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC</Data></Cell>"
      "<Cell ss:Index=\"3\"><Data ss:Type=\"String\">a&#10;b</Data></Cell></Row></Table></ss:Worksheet></Workbook>";
  CWorkbook book;
  ASSERT_TRUE(Read(book, utf8));
  EXPECT_EQ(book.Sheet(0).name, "Лист");
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "Привет \x88");  // the euro sign exists in cp1251
  EXPECT_EQ(book.Sheet(0).GetCell(0, 2).text, "a\r\nb");
  EXPECT_EQ(book.Sheet(0).ColumnCount(), 3);
  EXPECT_EQ(book.Sheet(0).RowCount(), 1);

  // A prefix bound elsewhere is not the spreadsheet namespace.
  std::string foreign =
      "<w:Workbook xmlns:w=\"urn:other\"><w:Worksheet w:Name=\"x\"/></w:Workbook>";
  EXPECT_FALSE(Read(book, foreign));
  // Files without any declaration still read.
  EXPECT_TRUE(Read(book, "<Workbook><Worksheet ss:Name=\"plain\"/></Workbook>"));
  EXPECT_EQ(book.Sheet(0).name, "plain");

  // Older files wrote the references without ";".
  WorkbookReadReport report;
  ASSERT_TRUE(Read(book,
                   "<?xml version=\"1.0\" encoding=\"windows-1251\"?><Workbook><Worksheet ss:Name=\"s\"><Table>"
                   "<Row><Cell><Data ss:Type='String'>два&#160слова&#10второй</Data></Cell></Row></Table></Worksheet></Workbook>",
                   &report));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "два слова\r\nвторой");
  EXPECT_TRUE(book.Sheet(0).GetCell(0, 0).Wraps());
  EXPECT_EQ(report.parseErrors, 2);

  // Only the references our older files wrote for blanks become blanks: a no-break
  // space another program wrote as a byte stays one.
  ASSERT_TRUE(Read(book, kHead + "<Worksheet ss:Name=\"s\"><Table><Row>"
                                 "<Cell><Data ss:Type='String'>a&#160;b&#32;c</Data></Cell>"
                                 "<Cell><Data ss:Type='String'>1\xA0"
                                 "234</Data></Cell>"
                                 "</Row></Table></Worksheet></Workbook>"));
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "a b c");
  EXPECT_EQ(book.Sheet(0).GetCell(0, 1).text,
            "1\xA0"
            "234");
}

// Prefixes bound at any level, the cell's own included: an attribute counts when its
// prefix is bound to the spreadsheet namespace where it stands, or bound nowhere and "ss".
TEST(WorkbookReader, GeneratedNamespaceBindingsResolveAsAPlainLookup) {
  std::mt19937 rng(3);
  const char* urns[] = {"urn:schemas-microsoft-com:office:spreadsheet", "urn:schemas-microsoft-com:office:excel",
                        "urn:other"};
  const char* elements[] = {"Workbook", "Worksheet", "Table", "Row", "Cell"};
  const char* prefixes[] = {"ss", "x", "q"};
  for (int round = 0; round < 300; ++round) {
    std::vector<std::map<std::string, int>> bound(5);  // prefix -> urn, per level
    std::string doc;
    for (int level = 0; level < 5; ++level) {
      doc += std::string("<") + elements[level];
      for (const char* prefix : {"", "ss", "x", "q"}) {
        if (rng() % 4) continue;
        int urn = *prefix ? static_cast<int>(rng() % 3) : 0;  // the elements stay in the namespace
        bound[level][prefix] = urn;
        doc += std::string(" xmlns") + (*prefix ? ":" : "") + prefix + "=\"" + urns[urn] + "\"";
      }
      if (level < 4) doc += ">";
    }
    auto spreadsheet = [&](const std::string& prefix) {
      for (int level = 4; level >= 0; --level)
        if (bound[level].count(prefix)) return bound[level][prefix] == 0;
      return prefix == "ss";
    };
    std::string index = prefixes[rng() % 3], merge = prefixes[rng() % 3];
    doc += " " + index + ":Index=\"5\" " + merge + ":MergeAcross=\"1\"><Data>v</Data></Cell></Row></Table></Worksheet></Workbook>";
    CWorkbook book;
    ASSERT_TRUE(Read(book, doc)) << doc;
    const int column = spreadsheet(index) ? 4 : 0;
    EXPECT_EQ(book.Sheet(0).GetCell(0, column).text, "v") << doc;
    EXPECT_EQ(book.Sheet(0).Merges().size(), spreadsheet(merge) ? 1u : 0u) << doc;
  }
}

TEST(WorkbookReader, RefusesIndexesBeyondTheGrid) {
  CWorkbook book;
  WorkbookReadReport report;
  std::string file = kHead +
                     "<Worksheet ss:Name=\"big\"><Table ss:ExpandedRowCount=\"99999999\" ss:ExpandedColumnCount=\"100000\">"
                     "<Column ss:Index=\"257\" ss:Width=\"10\"/><Column ss:Index=\"250\" ss:Span=\"1000000\" ss:Width=\"30\"/>"
                     "<Row ss:Index=\"70000\"><Cell><Data ss:Type=\"String\">far</Data></Cell></Row>"
                     "<Row ss:Index=\"65536\" ss:Height=\"1e300\"><Cell ss:Index=\"300\"><Data ss:Type=\"String\">wide</Data></Cell>"
                     "<Cell ss:Index=\"256\" ss:MergeAcross=\"5\" ss:MergeDown=\"5\"><Data ss:Type=\"String\">corner</Data></Cell>"
                     "</Row></Table></Worksheet></Workbook>";
  ASSERT_TRUE(Read(book, file, &report));
  const CSheet& s = book.Sheet(0);
  EXPECT_EQ(s.RowCount(), kMaxRows);
  EXPECT_EQ(s.ColumnCount(), kMaxColumns);
  EXPECT_EQ(s.ColumnWidth(255), 40);
  EXPECT_EQ(s.GetCell(65535, 255).text, "corner");
  EXPECT_TRUE(s.Merges().empty());  // clipped to one cell: no area
  EXPECT_EQ(s.Rows().size(), 1u);
  EXPECT_EQ(s.RowHeight(65535), 32767);
  EXPECT_GE(report.problems.size(), 4u);
}

TEST(WorkbookReader, NotAWorkbookLeavesAnEmptyOne) {
  CWorkbook book;
  book.AddSheet();
  EXPECT_FALSE(Read(book, "just some text, not XML"));
  EXPECT_EQ(book.SheetCount(), 1);
  EXPECT_EQ(book.Sheet(0).RowCount(), 0);
  EXPECT_FALSE(Read(book, "<Book><Worksheet/></Book>"));
  EXPECT_FALSE(ReadWorkbook(book, "no\\such\\file.xml"));
  EXPECT_EQ(book.SheetCount(), 1);
}

TEST(UndoSnapshot, SavedToTempAndRestored) {
  EXPECT_EQ(SnapshotPath("C:\\Prog\\", "D:\\Books\\book.xml"), "C:\\Prog\\Temp\\book.tmp");
  EXPECT_EQ(SnapshotPath("C:\\Prog\\", "D:\\a.b\\noext"), "C:\\Prog\\Temp\\noext.tmp");
  EXPECT_EQ(SnapshotPath("C:\\Prog\\", ""), "C:\\Prog\\Temp\\Temp.tmp");
  ScratchFolder dir;
  ASSERT_TRUE(platform::MakeDir(dir / "Temp"));
  const std::string snap = SnapshotPath(dir.path(), "D:\\book.xml");
  CWorkbook book;
  CSheet& s = Grid(book, 3, 3);
  Put(s, 0, 0, "before");
  book.AddSheet();
  EXPECT_FALSE(CanUndo(snap));
  EXPECT_FALSE(Undo(book, snap));
  ASSERT_TRUE(TakeSnapshot(book, snap));
  ASSERT_TRUE(CanUndo(snap));
  CutCells(book.Sheet(0), {0, 0, 2, 2});
  book.DeleteSheet(1);
  ASSERT_TRUE(Undo(book, snap));
  EXPECT_EQ(book.SheetCount(), 2);
  EXPECT_EQ(book.Current(), 0);
  EXPECT_EQ(book.Sheet(0).GetCell(0, 0).text, "before");
}

TEST(WorkbookFile, AFailedWriteLeavesTheOldFile) {
  ScratchFolder dir;
  const std::string path = dir / "book.xml";
  Spit(path, "old contents");
  CWorkbook book;
  Grid(book, 1, 1);
  platform::SetSafeReplaceFaultHook([](platform::SaveError step) { return step == platform::SaveError::kFlush; });
  EXPECT_FALSE(WriteWorkbook(book, path));
  platform::SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(Slurp(path), "old contents");
  EXPECT_TRUE(WriteWorkbook(book, path));
  EXPECT_NE(Slurp(path), "old contents");
}

}  // namespace
}  // namespace vm::spreadsheet
