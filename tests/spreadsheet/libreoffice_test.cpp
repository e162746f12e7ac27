// Workbooks checked against a real spreadsheet program: LibreOffice Calc, headless.
// One start of soffice per direction converts several files at once:
//   our files -> LibreOffice -> its flat ODF (.fods), which the document parser reads;
//   flat ODF sources -> LibreOffice's "MS Excel 2003 XML" filter -> our reader.
// Compared: sheet names, cell texts, numbers, merged areas and column widths (not
// styles: LibreOffice's reader lets a style inherit what it leaves unset from the style
// before it, and loses row heights).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/platform.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"
#include "support/scratch.h"
#include "support/soffice.h"

namespace vm::spreadsheet {
namespace {

using testing::kNoSoffice;
using testing::ScratchFolder;
using testing::SofficePath;

// Runs one conversion of several files; the log is returned for failure messages.
std::string Convert(const std::string& soffice, const ScratchFolder& dir, const std::string& filter,
                    const std::vector<std::string>& files, const std::string& outDir) {
  std::string arguments = "--convert-to '" + filter + "' --outdir '" + outDir + "'";
  for (const std::string& f : files) arguments += " '" + f + "'";
  return testing::RunSoffice(soffice, dir, arguments);
}

// ---- what LibreOffice's flat ODF says --------------------------------------------------------

struct PeerCell {
  std::string text;
  std::string type;  // office:value-type
  double value = 0;
};

struct PeerSheet {
  std::string name;
  std::map<std::pair<int, int>, PeerCell> cells;
  std::vector<MergeArea> merges;
  std::vector<double> widthPoints;
};

const CXmlNode* Attr(const CXmlNode* e, const char* name) { return CXmlDocument::FindAttribute(e, name); }

double Points(const std::string& length) {
  double v = std::atof(length.c_str());
  if (length.find("in") != std::string::npos) return v * 72;
  if (length.find("cm") != std::string::npos) return v * 72 / 2.54;
  if (length.find("mm") != std::string::npos) return v * 72 / 25.4;
  return v;
}

void ParagraphText(const CXmlDocument& doc, const CXmlNode* node, std::string& out) {
  for (const CXmlNode* n = node->firstChild; n; n = n->next) {
    if (n->kind == kXmlText) {
      out += n->name;
    } else if (n->kind == kXmlElement) {
      if (n->name == "text:s") {
        int count = 1;
        AttributeInteger(Attr(n, "text:c"), count);
        out += std::string(static_cast<size_t>(std::clamp(count, 1, 1000)), ' ');
      } else if (n->name == "text:tab") {
        out += '\t';
      } else if (n->name == "text:line-break") {
        out += "\r\n";
      } else {
        ParagraphText(doc, n, out);
      }
    }
  }
}

std::vector<PeerSheet> ReadFods(const std::string& path) {
  CXmlDocument doc;
  std::vector<PeerSheet> sheets;
  if (!doc.LoadFile(path)) return sheets;
  std::map<std::string, double> columnWidths;
  if (const CXmlNode* styles = CXmlDocument::FindElement(doc.Root(), "office:document\\office:automatic-styles")) {
    for (const CXmlNode* s = styles->FirstChildElement(); s; s = s->NextElement()) {
      const CXmlNode* props = CXmlDocument::FindElement(s, "style:table-column-properties");
      const CXmlNode* width = props ? Attr(props, "style:column-width") : nullptr;
      if (width) columnWidths[AttributeText(Attr(s, "style:name"))] = Points(AttributeText(width));
    }
  }
  const CXmlNode* body = CXmlDocument::FindElement(doc.Root(), "office:document\\office:body\\office:spreadsheet");
  if (!body) return sheets;
  for (const CXmlNode* t = body->FirstChildElement(); t; t = t->NextElement()) {
    if (t->name != "table:table") continue;
    PeerSheet& sheet = sheets.emplace_back();
    sheet.name = doc.DecodeEntities(AttributeText(Attr(t, "table:name")));
    int row = 0;
    for (const CXmlNode* e = t->FirstChildElement(); e; e = e->NextElement()) {
      int repeat = 1;
      if (e->name == "table:table-column") {
        AttributeInteger(Attr(e, "table:number-columns-repeated"), repeat);
        double w = columnWidths[AttributeText(Attr(e, "table:style-name"))];
        for (int i = 0; i < std::min(repeat, 300); ++i) sheet.widthPoints.push_back(w);
        continue;
      }
      if (e->name != "table:table-row") continue;
      AttributeInteger(Attr(e, "table:number-rows-repeated"), repeat);
      int column = 0;
      for (const CXmlNode* c = e->FirstChildElement(); c; c = c->NextElement()) {
        int span = 1;
        AttributeInteger(Attr(c, "table:number-columns-repeated"), span);
        const CXmlNode* type = Attr(c, "office:value-type");
        if (c->name == "table:table-cell" && type) {
          PeerCell cell;
          cell.type = AttributeText(type);
          if (const CXmlNode* v = Attr(c, "office:value")) cell.value = std::atof(AttributeText(v).c_str());
          if (const CXmlNode* v = Attr(c, "office:date-value")) cell.text = AttributeText(v);
          if (const CXmlNode* v = Attr(c, "office:boolean-value")) cell.text = AttributeText(v);
          if (cell.type == "string") {
            bool first = true;
            for (const CXmlNode* p = c->FirstChildElement(); p; p = p->NextElement()) {
              if (p->name != "text:p") continue;
              if (!first) cell.text += "\r\n";
              first = false;
              ParagraphText(doc, p, cell.text);
            }
          }
          for (int i = 0; i < std::min(span, 300); ++i) sheet.cells[{row, column + i}] = cell;
          int across = 1, down = 1;
          AttributeInteger(Attr(c, "table:number-columns-spanned"), across);
          AttributeInteger(Attr(c, "table:number-rows-spanned"), down);
          if (across > 1 || down > 1) sheet.merges.push_back({row, column, across - 1, down - 1});
        } else {
          int across = 1, down = 1;
          AttributeInteger(Attr(c, "table:number-columns-spanned"), across);
          AttributeInteger(Attr(c, "table:number-rows-spanned"), down);
          if (c->name == "table:table-cell" && (across > 1 || down > 1))
            sheet.merges.push_back({row, column, across - 1, down - 1});
        }
        column += span;
      }
      row += repeat;
    }
  }
  return sheets;
}

bool MergeLess(const MergeArea& a, const MergeArea& b) {
  return a.row != b.row ? a.row < b.row : a.column < b.column;
}

// ---- our workbooks -----------------------------------------------------------------------

void Put(CSheet& s, int r, int c, const std::string& text) { s.CellForEdit(r, c)->SetText(text); }

void PutKind(CWorkbook& book, CSheet& s, int r, int c, const std::string& text, int kind) {
  Put(s, r, c, text);
  ChangeKind(*s.CellForEdit(r, c), kind, book.locale);
}

void BuildFirst(CWorkbook& book) {
  CSheet& s = book.Sheet(0);
  s.name = "Отчёт за май";
  s.SetRowCount(6);
  s.SetColumnCount(4);
  FontDesc bold;
  bold.weight = 700;
  FontDesc italic;
  italic.italic = true;
  italic.faceName = "Times New Roman";
  Put(s, 0, 0, "Привет мир");
  SetFont(s, {0, 0, 0, 0}, book.Fonts().Intern(bold));
  Put(s, 0, 1, "Итого:");
  SetFont(s, {0, 1, 0, 1}, book.Fonts().Intern(italic));
  PutKind(book, s, 0, 2, "1234.5", kKindNumber);
  CSheetCell* money = s.CellForEdit(0, 2);
  money->decimals = 2;
  money->mask |= kCellDecimals;
  Put(s, 1, 0, "первая строка\r\nвторая строка");
  s.CellForEdit(1, 0)->SetWrap(true);
  PutKind(book, s, 1, 1, "-0.25", kKindNumber);
  Put(s, 1, 2, "A & B <c> \"d\" 'e'");
  SetTextColor(s, {1, 2, 1, 2}, Rgb(200, 0, 0));
  Put(s, 2, 0, "Заголовок: объединённые ячейки");
  Put(s, 2, 3,
      "1\xA0"
      "234 руб.");  // a no-break space stays one
  s.Merge({2, 0, 2, 2});
  Put(s, 3, 0, "фон");
  SetFillColor(s, {3, 0, 3, 0}, Rgb(255, 255, 0));
  PutKind(book, s, 3, 1, "0.0000001", kKindNumber);
  PutKind(book, s, 3, 3, "98765432109", kKindNumber);
  Put(s, 5, 3, "  с пробелами  ");
  s.SetColumnWidth(0, 150);
  s.SetColumnWidth(2, 90);
  s.SetRowHeight(1, 40);

  CSheet& second = book.AddSheet();
  second.name = "Second";
  second.SetRowCount(8);
  second.SetColumnCount(6);
  Put(second, 4, 1, "вертикально");
  second.Merge({4, 1, 6, 2});
  Put(second, 5, 4, "после");  // a cell right of a vertically merged area
  Put(second, 6, 0, "слева");
  PutKind(book, second, 0, 0, "2013/05/01 10:20", kKindDateTime);
  PutKind(book, second, 0, 1, "1", kKindBoolean);
  second.SetColumnWidth(5, 200);

  book.AddSheet().name = "Пустой";
}

void BuildSecond(CWorkbook& book) {
  CSheet& s = book.Sheet(0);
  s.name = "Только один";
  s.SetRowCount(3);
  s.SetColumnCount(3);
  Put(s, 0, 0, "ёлка ЁЖ №5 «кавычки» — тире");
  PutKind(book, s, 2, 2, "3.14159", kKindNumber);
}

TEST(LibreOffice, OpensTheWorkbooksWeWriteTheSame) {
  const std::string soffice = SofficePath();
  if (soffice.empty()) GTEST_SKIP() << kNoSoffice;
  ScratchFolder dir;
  CWorkbook first, second;
  BuildFirst(first);
  BuildSecond(second);
  ASSERT_TRUE(WriteWorkbook(first, dir / "first.xml"));
  ASSERT_TRUE(WriteWorkbook(second, dir / "second.xml"));
  std::string log = Convert(soffice, dir, "fods", {"first.xml", "second.xml"}, "out");

  for (const CWorkbook* book : {&first, &second}) {
    std::string name = book == &first ? "first" : "second";
    SCOPED_TRACE(name);
    // soffice reports success even when a conversion failed: the output decides.
    std::vector<PeerSheet> peer = ReadFods(dir / ("out\\" + name + ".fods"));
    ASSERT_EQ(static_cast<int>(peer.size()), book->SheetCount()) << log;
    for (int i = 0; i < book->SheetCount(); ++i) {
      const CSheet& ours = book->Sheet(i);
      const PeerSheet& theirs = peer[static_cast<size_t>(i)];
      SCOPED_TRACE(platform::Cp1251ToUtf8(ours.name));
      EXPECT_EQ(theirs.name, ours.name);
      size_t textCells = 0;
      for (const auto& row : ours.Rows()) {
        for (const auto& e : row.cells) {
          // LibreOffice 7.4 drops Boolean cells when it reads the format.
          if (!e.cell.HasText() || e.cell.kind == kKindBoolean) continue;
          ++textCells;
          auto it = theirs.cells.find({row.index, e.column});
          ASSERT_NE(it, theirs.cells.end()) << "R" << row.index + 1 << "C" << e.column + 1;
          const PeerCell& p = it->second;
          switch (e.cell.kind) {
            case kKindNumber:
              EXPECT_EQ(p.type, "float");
              EXPECT_NEAR(p.value, e.cell.value, std::fabs(e.cell.value) * 1e-12);
              break;
            case kKindDateTime:
              EXPECT_EQ(p.type, "date");
              EXPECT_EQ(p.text, "2013-05-01T10:20:00");
              break;
            default:
              EXPECT_EQ(p.type, "string");
              // Exactly: blanks written as "&#160;" once arrived as "В" and a no-break space.
              EXPECT_EQ(platform::Cp1251ToUtf8(p.text), platform::Cp1251ToUtf8(e.cell.text));
          }
        }
      }
      EXPECT_EQ(theirs.cells.size(), textCells);  // nothing shifted or added
      std::vector<MergeArea> a = ours.Merges(), b = theirs.merges;
      std::sort(a.begin(), a.end(), MergeLess);
      std::sort(b.begin(), b.end(), MergeLess);
      EXPECT_EQ(a, b);
      for (int c = 0; c < ours.ColumnCount() && c < static_cast<int>(theirs.widthPoints.size()); ++c) {
        EXPECT_NEAR(theirs.widthPoints[static_cast<size_t>(c)] * 4 / 3, ours.ColumnWidth(c), 1.0) << "column " << c;
      }
    }
  }
}

// ---- LibreOffice's workbooks -----------------------------------------------------------------

struct SourceCell {
  int row, column;
  const char* text;   // UTF-8
  double number;      // used when text is null
  int across;         // merged columns beyond the first
};

struct SourceSheet {
  const char* name;  // UTF-8
  std::vector<double> widthInches;
  std::vector<SourceCell> cells;
};

std::string Fods(const std::vector<SourceSheet>& sheets) {
  std::string styles, body;
  int styleNo = 0;
  for (const SourceSheet& s : sheets) {
    body += "<table:table table:name=\"" + std::string(s.name) + "\">";
    for (double w : s.widthInches) {
      std::string style = "co" + std::to_string(++styleNo);
      styles += "<style:style style:name=\"" + style +
                "\" style:family=\"table-column\"><style:table-column-properties style:column-width=\"" +
                std::to_string(w) + "in\"/></style:style>";
      body += "<table:table-column table:style-name=\"" + style + "\"/>";
    }
    int row = -1, column = 0;
    for (const SourceCell& c : s.cells) {
      if (c.row != row) {
        if (row >= 0) body += "</table:table-row>";
        for (++row; row < c.row; ++row) body += "<table:table-row><table:table-cell/></table:table-row>";
        body += "<table:table-row>";
        column = 0;
      }
      for (; column < c.column; ++column) body += "<table:table-cell/>";
      std::string span = c.across ? " table:number-columns-spanned=\"" + std::to_string(c.across + 1) + "\"" : "";
      if (c.text) {
        body += "<table:table-cell office:value-type=\"string\"" + span + "><text:p>" + c.text + "</text:p></table:table-cell>";
      } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", c.number);
        body += "<table:table-cell office:value-type=\"float\" office:value=\"" + std::string(buf) + "\"" + span +
                "><text:p>" + buf + "</text:p></table:table-cell>";
      }
      ++column;
      for (int i = 0; i < c.across; ++i, ++column) body += "<table:covered-table-cell/>";
    }
    if (row >= 0) body += "</table:table-row>";
    body += "</table:table>";
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
         "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
         "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
         "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
         "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.2\" "
         "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
         "<office:automatic-styles>" +
         styles + "</office:automatic-styles><office:body><office:spreadsheet>" + body +
         "</office:spreadsheet></office:body></office:document>\n";
}

TEST(LibreOffice, WorkbooksItWritesReadTheSame) {
  const std::string soffice = SofficePath();
  if (soffice.empty()) GTEST_SKIP() << kNoSoffice;
  // Source texts are UTF-8 bytes here (u8 literals are not cp1251).
  const std::vector<std::vector<SourceSheet>> books = {
      {{reinterpret_cast<const char*>(u8"Лист А"),
        {1.5, 0.75},
        {{0, 0, reinterpret_cast<const char*>(u8"Привет  мир &amp; &lt;x&gt; \"q\""), 0, 0},
         {0, 1, nullptr, 1234.5, 0},
         {0, 2, reinterpret_cast<const char*>(u8"слитно"), 0, 2},
         {0, 5, reinterpret_cast<const char*>(u8"после слияния"), 0, 0},
         {1, 1, reinterpret_cast<const char*>(u8" ведущий пробел"), 0, 0},
         {3, 0, nullptr, -0.000123, 0},
         {3, 3, nullptr, 1e20, 0}}},
       {reinterpret_cast<const char*>(u8"Второй лист"), {}, {{0, 0, nullptr, 42, 1}, {0, 2, "x", 0, 0}}}},
      {{"Plain",
        {2.0},
        {{0, 0, reinterpret_cast<const char*>(u8"ёлка «ёж» №1"), 0, 0}, {2, 1, nullptr, 0.1, 0}}}},
  };
  ScratchFolder dir;
  std::vector<std::string> files;
  for (size_t i = 0; i < books.size(); ++i) {
    files.push_back("source" + std::to_string(i) + ".fods");
    testing::Spit(dir / files.back(), Fods(books[i]));
  }
  std::string log = Convert(soffice, dir, "xml:MS Excel 2003 XML", files, "out");

  for (size_t i = 0; i < books.size(); ++i) {
    SCOPED_TRACE(files[i]);
    CWorkbook book;
    WorkbookReadReport report;
    ASSERT_TRUE(ReadWorkbook(book, dir / ("out\\source" + std::to_string(i) + ".xml"), &report)) << log;
    EXPECT_EQ(report.parseErrors, 0) << report.firstParseError;
    ASSERT_EQ(book.SheetCount(), static_cast<int>(books[i].size()));
    for (size_t k = 0; k < books[i].size(); ++k) {
      const SourceSheet& src = books[i][k];
      const CSheet& s = book.Sheet(static_cast<int>(k));
      EXPECT_EQ(platform::Cp1251ToUtf8(s.name), src.name);
      std::vector<MergeArea> merges;
      size_t texts = 0;
      for (const SourceCell& c : src.cells) {
        CSheetCell cell = s.GetCell(c.row, c.column);
        SCOPED_TRACE("R" + std::to_string(c.row + 1) + "C" + std::to_string(c.column + 1));
        if (c.text) {
          CXmlDocument decoder;
          EXPECT_EQ(platform::Cp1251ToUtf8(cell.text), platform::Cp1251ToUtf8(decoder.DecodeEntities(platform::Utf8ToCp1251(c.text))));
          EXPECT_EQ(cell.kind, kKindText);
        } else {
          EXPECT_EQ(cell.kind, kKindNumber);
          EXPECT_DOUBLE_EQ(cell.value, c.number);
        }
        if (c.across) merges.push_back({c.row, c.column, c.across, 0});
        ++texts;
      }
      size_t found = 0;
      for (const auto& row : s.Rows())
        for (const auto& e : row.cells) found += e.cell.HasText();
      EXPECT_EQ(found, texts);
      std::vector<MergeArea> theirs = s.Merges();
      std::sort(theirs.begin(), theirs.end(), MergeLess);
      EXPECT_EQ(theirs, merges);
      for (size_t c = 0; c < src.widthInches.size(); ++c)
        EXPECT_NEAR(s.ColumnWidth(static_cast<int>(c)), src.widthInches[c] * 96, 1.0) << "column " << c;
    }
  }
}

}  // namespace
}  // namespace vm::spreadsheet
