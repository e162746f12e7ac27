// The SpreadsheetML writer: the grid model turned into a CXmlDocument and written.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>

#include "common/backup.h"
#include "platform/platform.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"

namespace vm::spreadsheet {

namespace {

// Difference bits: which parts of a format differ from the sheet's default format.
enum : uint32_t {
  kDiffHorizontal = 0x1,
  kDiffVertical = 0x2,
  kDiffFaceName = 0x4,
  kDiffHeight = 0x8,
  kDiffWeight = 0x10,
  kDiffItalic = 0x20,
  kDiffUnderline = 0x40,
  kDiffTextColor = 0x80,
  kDiffFillColor = 0x100,
  kDiffDecimals = 0x400,
  kDiffWrap = 0x800,
  // A date cell: spreadsheet programs show a DateTime value as a bare day serial
  // (41395.43) unless its style gives it a date format.
  kDiffDate = 0x10000,
  kDiffFont = kDiffFaceName | kDiffHeight | kDiffWeight | kDiffItalic | kDiffUnderline,
};

constexpr double kMaxRowPoints = 2047;

uint32_t Difference(const CSheetCell& f, const CSheetCell& d) {
  uint32_t bits = 0;
  if (f.Has(kCellAlign)) {
    uint32_t da = d.Has(kCellAlign) ? d.align : 0;
    if ((f.align ^ da) & kAlignHorizontalMask) bits |= kDiffHorizontal;
    if ((f.align ^ da) & kAlignVerticalMask) bits |= kDiffVertical;
  }
  if (f.Wraps() != d.Wraps()) bits |= kDiffWrap;
  if (f.Has(kCellFont) && f.font) {
    const FontDesc* df = d.Has(kCellFont) ? d.font : nullptr;
    if (!df) {
      bits |= kDiffFont;
    } else {
      if (f.font->faceName != df->faceName) bits |= kDiffFaceName;
      if (f.font->height != df->height) bits |= kDiffHeight;
      if (f.font->weight != df->weight) bits |= kDiffWeight;
      if (f.font->italic != df->italic) bits |= kDiffItalic;
      if (f.font->underline != df->underline) bits |= kDiffUnderline;
    }
  }
  if (f.Has(kCellTextColor) && (!d.Has(kCellTextColor) || d.textColor != f.textColor)) bits |= kDiffTextColor;
  if (f.Has(kCellFillColor) && (!d.Has(kCellFillColor) || d.fillColor != f.fillColor)) bits |= kDiffFillColor;
  if (f.Has(kCellDecimals) && (!d.Has(kCellDecimals) || d.decimals != f.decimals)) bits |= kDiffDecimals;
  DateTimeParts parts;
  if (f.Has(kCellKind) && f.kind == kKindDateTime && f.HasText() && SplitDateTime(f.value, parts)) bits |= kDiffDate;
  return bits;
}

// "#RRGGBB": the colour's six low hexadecimal digits (blue, green, red) in reverse pairs.
std::string ColorText(Color color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
  return buf;
}

std::string Printf(const char* fmt, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

std::string Int(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", v);
  return buf;
}

// Attribute values go out as they are, so the writer escapes the texts it puts there.
std::string EscapeAttribute(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Appends a cell's text as it goes inside its Data element: blanks as &#32; so that line wrapping never
// breaks inside it (not "&#160;": some readers take that reference in a windows-1251
// file for the wrong bytes, and a blank is what the cell holds), line breaks as &#10;,
// and the characters XML reserves as entities (raw, a "<" or "&" in a cell would make
// the file unreadable).
void AppendCellText(std::string& out, std::string_view text) {
  static const std::array<const char*, 256> kEncoded = [] {
    std::array<const char*, 256> t{};
    t[' '] = "&#32;";
    t['\r'] = "&#10;";
    t['\n'] = "&#10;";
    t['&'] = "&amp;";
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    return t;
  }();
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t from = 0;
  // The plain bytes between the encoded ones go in as runs, eight bytes a test.
  auto eightPlain = [&](size_t i) {
    unsigned char b[8];
    std::memcpy(b, s + i, sizeof b);
    auto bits = [&](int k) { return reinterpret_cast<uintptr_t>(kEncoded[b[k]]); };
    return !(bits(0) | bits(1) | bits(2) | bits(3) | bits(4) | bits(5) | bits(6) | bits(7));
  };
  for (size_t i = 0; i < n; ++i) {
    while (i + 8 <= n && eightPlain(i)) i += 8;
    if (i >= n) break;
    const char* encoded = kEncoded[s[i]];
    if (!encoded) continue;
    out.append(text.substr(from, i - from));
    out += encoded;
    if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;  // CR LF is one break
    from = i + 1;
  }
  out.append(text.substr(std::min(from, n)));
}

const char* FamilyText(int pitchAndFamily) {
  switch (pitchAndFamily & 0xF0) {
    case kFamilySwiss: return "Swiss";
    case kFamilyRoman: return "Roman";
    case kFamilyScript: return "Script";
    default: return "Modern";
  }
}

class StyleWriter {
 public:
  StyleWriter(CXmlDocument& doc, CXmlNode* styles, int pixelsPerInch)
      : doc_(doc), styles_(styles), ppi_(pixelsPerInch > 0 ? pixelsPerInch : 96) {}

  // The ID of the style that carries the format's differences, "" when there are none.
  std::string StyleFor(const CSheetCell& f, const CSheetCell& d) {
    uint32_t bits = Difference(f, d);
    if (!bits) return {};
    // What the parts below are made of; equal inputs make equal parts and so the same
    // ID, which is then found without making them again (the cells of a row or a column
    // mostly share one format).
    Inputs in;
    in.bits = bits;
    if (bits & (kDiffHorizontal | kDiffVertical)) in.align = f.align;
    if (bits & kDiffWrap) in.wraps = f.Wraps();
    if (bits & (kDiffFont | kDiffTextColor))
      in.font = f.Has(kCellFont) && f.font ? f.font : d.Has(kCellFont) ? d.font : nullptr;
    if (bits & kDiffTextColor) in.textColor = f.textColor;
    if (bits & kDiffFillColor) in.fillColor = f.fillColor;
    if ((bits & kDiffDecimals) && !(bits & kDiffDate)) in.decimals = f.decimals;
    if (last_ && last_->first == in) return last_->second;
    auto seen = byInputs_.find(in);
    if (seen != byInputs_.end()) {
      last_ = &*seen;
      return seen->second;
    }
    std::string id = MakeStyle(f, d, bits);
    last_ = &*byInputs_.emplace(in, id).first;
    return id;
  }

 private:
  struct Inputs {
    uint32_t bits = 0, align = 0;
    bool wraps = false;
    const FontDesc* font = nullptr;
    Color textColor = 0, fillColor = 0;
    int decimals = 0;
    bool operator==(const Inputs&) const = default;
  };
  struct InputsHash {
    size_t operator()(const Inputs& in) const {
      uint64_t h = in.bits;
      for (uint64_t v : {uint64_t{in.align}, uint64_t{in.wraps}, reinterpret_cast<uint64_t>(in.font),
                         uint64_t{in.textColor}, uint64_t{in.fillColor}, uint64_t(static_cast<uint32_t>(in.decimals))})
        h = (h ^ v) * 0x100000001B3ULL;
      return static_cast<size_t>(h ^ (h >> 29));
    }
  };

  // The parts of the style for these differences, found by their text or added.
  std::string MakeStyle(const CSheetCell& f, const CSheetCell& d, uint32_t bits) {
    Parts parts;
    if (bits & (kDiffHorizontal | kDiffVertical | kDiffWrap)) {
      auto& a = parts.emplace_back("Alignment", Attrs{});
      if (bits & kDiffHorizontal)
        a.second.emplace_back("ss:Horizontal", f.align & kAlignRight ? "Right" : f.align & kAlignCenter ? "Center" : "Left");
      if (bits & kDiffVertical)
        a.second.emplace_back("ss:Vertical", f.align & kAlignTop ? "Top" : f.align & kAlignMiddle ? "Center" : "Bottom");
      if (bits & kDiffWrap) a.second.emplace_back("ss:WrapText", f.Wraps() ? "1" : "0");
    }
    if (bits & (kDiffFont | kDiffTextColor)) {
      // Every attribute is written. Parts the format does not change are its own font's,
      // which then equal the default's; the fixed fallbacks are only for no font at all.
      // (Fallbacks for unchanged parts would turn a bold 9-point cell into 10 points.)
      const FontDesc* font = f.Has(kCellFont) && f.font ? f.font : d.Has(kCellFont) ? d.font : nullptr;
      auto& a = parts.emplace_back("Font", Attrs{});
      bool plainName = font && !font->faceName.empty() && static_cast<unsigned char>(font->faceName[0]) < 0x80;
      a.second.emplace_back("ss:FontName", plainName ? EscapeAttribute(font->faceName) : "Arial");
      a.second.emplace_back("x:Family", font ? FamilyText(font->pitchAndFamily) : "Modern");
      a.second.emplace_back("x:CharSet", font && font->charSet > 1 ? Int(font->charSet) : "204");
      double points = font ? -font->height * 72.0 / ppi_ : 0;
      a.second.emplace_back("ss:Size", points >= 1 && points <= 99 ? Printf("%.0f", points) : "10");
      a.second.emplace_back("ss:Bold", font && font->weight > 400 ? "1" : "0");
      a.second.emplace_back("ss:Italic", font && font->italic ? "1" : "0");
      if (font && font->underline) a.second.emplace_back("ss:Underline", "Single");
      if (bits & kDiffTextColor) a.second.emplace_back("ss:Color", ColorText(f.textColor));
    }
    if (bits & kDiffFillColor) {
      auto& a = parts.emplace_back("Interior", Attrs{});
      a.second.emplace_back("ss:Color", ColorText(f.fillColor));
      a.second.emplace_back("ss:Pattern", "Solid");
    }
    if (bits & kDiffDate) {
      // The same text the grid shows for a date read from a file.
      parts.emplace_back("NumberFormat", Attrs{{"ss:Format", "yyyy/mm/dd\\ hh:mm"}});
    } else if (bits & kDiffDecimals) {
      parts.emplace_back("NumberFormat", Attrs{{"ss:Format", WrittenDecimalsFormat(f)}});
    }
    std::string key;
    for (const auto& [element, attrs] : parts) {
      key += element;
      for (const auto& [name, value] : attrs) key += '\x01' + name + '\x02' + value;
      key += '\x03';
    }
    auto known = ids_.find(key);
    if (known != ids_.end()) return known->second;
    std::string id = "s" + Int(50 + static_cast<int>(ids_.size()));
    CXmlNode* style = doc_.AddElement(styles_, "Style");
    doc_.AddAttribute(style, "ss:ID", id);
    for (const auto& [element, attrs] : parts) {
      CXmlNode* e = doc_.AddElement(style, element);
      for (const auto& [name, value] : attrs) doc_.AddAttribute(e, name, value);
    }
    ids_.emplace(std::move(key), id);
    return id;
  }

  using Attrs = std::vector<std::pair<std::string, std::string>>;
  using Parts = std::vector<std::pair<std::string, Attrs>>;
  CXmlDocument& doc_;
  CXmlNode* styles_;
  int ppi_;
  std::unordered_map<std::string, std::string> ids_;
  std::unordered_map<Inputs, std::string, InputsHash> byInputs_;
  const std::pair<const Inputs, std::string>* last_ = nullptr;
};

// The cell's Data element, appended to `out` (the text of the cell's raw node).
void AppendDataElement(std::string& out, const CSheetCell& cell) {
  const char* type = "String";
  char buf[64];
  std::string number;
  std::string_view value;
  bool text = false;
  switch (cell.kind) {
    case kKindBoolean:
      type = "Boolean";
      value = cell.value != 0 && !std::isnan(cell.value) ? "1" : "0";
      break;
    case kKindDateTime: {
      DateTimeParts p;
      if (SplitDateTime(cell.value, p)) {
        std::snprintf(buf, sizeof buf, "%02d-%02d-%02dT%02d:%02d:%02d.000", p.year, p.month, p.day, p.hour, p.minute,
                      p.second);
        type = "DateTime";
        value = buf;
      } else {
        text = true;  // a text that never was a date stays a text
      }
      break;
    }
    case kKindNumber:
    case kKindCurrency:
      type = "Number";
      number = FileNumberText(cell.value);
      value = number;
      break;
    default: text = true;
  }
  // Room for the frame and a text without encoded bytes: mostly one allocation.
  out.reserve(out.size() + 32 + (text ? cell.text.size() : value.size()));
  out += "<Data ss:Type='";
  out += type;
  out += "'>";
  if (text)
    AppendCellText(out, cell.text);
  else
    out += value;
  out += "</Data>";
}

void WriteTable(CXmlDocument& doc, CXmlNode* table, const CSheet& sheet, StyleWriter& styles) {
  const CSheetCell& def = sheet.DefaultFormat();
  const int rows = sheet.RowCount(), columns = sheet.ColumnCount();
  doc.AddAttribute(table, "ss:ExpandedColumnCount", Int(columns));
  doc.AddAttribute(table, "ss:ExpandedRowCount", Int(rows));

  // Every column is written with its width, a run of plain columns of the default width
  // as one element, and each names its index: other programs default to wider columns,
  // and LibreOffice counts the columns of earlier sheets for a column without an index.
  int runStart = -1;
  auto addColumn = [&](int c, const std::string& style, int span) {
    CXmlNode* column = doc.AddElement(table, "Column");
    doc.AddAttribute(column, "ss:Index", Int(c + 1));
    if (span > 0) doc.AddAttribute(column, "ss:Span", Int(span));
    if (!style.empty()) doc.AddAttribute(column, "ss:StyleID", style);
    doc.AddAttribute(column, "ss:AutoFitWidth", "0");
    doc.AddAttribute(column, "ss:Width", Printf("%.2f", sheet.ColumnWidth(c) * 0.75));
  };
  auto writeRun = [&](int last) {
    if (runStart >= 0) addColumn(runStart, std::string(), last - runStart);
    runStart = -1;
  };
  for (int c = 0; c < columns; ++c) {
    const CSheetCell* format = sheet.ColumnFormat(c);
    std::string style = format ? styles.StyleFor(*format, def) : std::string();
    if (style.empty() && sheet.ColumnWidth(c) == sheet.DefaultWidth()) {
      if (runStart < 0) runStart = c;
      continue;
    }
    writeRun(c - 1);
    addColumn(c, style, 0);
  }
  writeRun(columns - 1);

  // Rows to look at: those holding something, and those where a merged area starts.
  std::vector<MergeArea> merges = sheet.Merges();
  std::sort(merges.begin(), merges.end(),
            [](const MergeArea& a, const MergeArea& b) { return a.row != b.row ? a.row < b.row : a.column < b.column; });
  std::vector<int> candidates;
  for (const CSheet::Row& row : sheet.Rows()) candidates.push_back(row.index);
  for (const MergeArea& m : merges) candidates.push_back(m.row);
  std::sort(candidates.begin(), candidates.end());
  candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

  size_t mergeAt = 0;
  auto stored = sheet.Rows().begin();
  int previousRow = -1;
  std::vector<int> cells;
  for (int r : candidates) {
    if (r >= rows) break;
    const CSheetCell* rowFormat = sheet.RowFormat(r);
    cells.clear();
    if (rowFormat && Difference(*rowFormat, def)) {
      for (int c = 0; c < columns; ++c) cells.push_back(c);
    } else {
      while (stored != sheet.Rows().end() && stored->index < r) ++stored;
      if (stored != sheet.Rows().end() && stored->index == r)
        for (const auto& e : stored->cells)
          if (e.column < columns && (e.cell.HasText() || Difference(e.cell, def))) cells.push_back(e.column);
      while (mergeAt < merges.size() && merges[mergeAt].row < r) ++mergeAt;
      for (size_t m = mergeAt; m < merges.size() && merges[m].row == r; ++m) cells.push_back(merges[m].column);
      std::sort(cells.begin(), cells.end());
      cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    }
    int height = sheet.RowHeight(r);
    bool ownHeight = height != sheet.DefaultHeight();
    CXmlNode* rowElement = nullptr;
    int previousCell = -1;
    std::string dataText;
    for (int c : cells) {
      CSheetCell cell = sheet.GetCell(r, c);
      if (cell.merge.merged && !cell.merge.topLeft) continue;
      std::string style = styles.StyleFor(cell, def);
      if (!cell.HasText() && style.empty() && !cell.merge.topLeft) continue;
      if (!rowElement) {
        rowElement = doc.AddElement(table, "Row");
        if (r != previousRow + 1) doc.AddAttribute(rowElement, "ss:Index", Int(r + 1));
        if (ownHeight) {
          doc.AddAttribute(rowElement, "ss:AutoFitHeight", "0");
          doc.AddAttribute(rowElement, "ss:Height", Printf("%.2f", std::min(height * 0.75, kMaxRowPoints)));
        }
      }
      CXmlNode* cellElement = doc.AddElement(rowElement, "Cell");
      if (c != previousCell + 1) doc.AddAttribute(cellElement, "ss:Index", Int(c + 1));
      if (cell.merge.topLeft) {
        if (cell.merge.across > 0) doc.AddAttribute(cellElement, "ss:MergeAcross", Int(cell.merge.across));
        if (cell.merge.down > 0) doc.AddAttribute(cellElement, "ss:MergeDown", Int(cell.merge.down));
      }
      if (!style.empty()) doc.AddAttribute(cellElement, "ss:StyleID", style);
      if (cell.HasText()) {
        dataText.clear();
        AppendDataElement(dataText, cell);
        doc.AddNode(cellElement, doc.NewNode(kXmlRawText, dataText));
      }
      previousCell = c;
    }
    if (!rowElement && ownHeight) {
      rowElement = doc.AddElement(table, "Row");
      if (r != previousRow + 1) doc.AddAttribute(rowElement, "ss:Index", Int(r + 1));
      doc.AddAttribute(rowElement, "ss:AutoFitHeight", "0");
      doc.AddAttribute(rowElement, "ss:Height", Printf("%.2f", std::min(height * 0.75, kMaxRowPoints)));
    }
    if (rowElement) previousRow = r;
  }
}

}  // namespace

std::string WorkbookText(const CWorkbook& workbook) {
  CXmlDocument doc;
  doc.AddNode(doc.Root(), doc.NewNode(kXmlInstruction,
                                      "xml version=\"1.0\" encoding=\"windows-1251\"?> "
                                      "<?mso-application progid=\"Excel.Sheet\""));
  CXmlNode* book = doc.AddElement(doc.Root(), "Workbook");
  doc.AddAttribute(book, "xmlns", "urn:schemas-microsoft-com:office:spreadsheet");
  doc.AddAttribute(book, "xmlns:o", "urn:schemas-microsoft-com:office:office");
  doc.AddAttribute(book, "xmlns:x", "urn:schemas-microsoft-com:office:excel");
  doc.AddAttribute(book, "xmlns:ss", "urn:schemas-microsoft-com:office:spreadsheet");
  doc.AddAttribute(book, "xmlns:html", "http://www.w3.org/TR/REC-html40");
  CXmlNode* styles = doc.AddElement(book, "Styles");
  StyleWriter styleWriter(doc, styles, workbook.pixelsPerInch);
  for (int i = 0; i < workbook.SheetCount(); ++i) {
    const CSheet& sheet = workbook.Sheet(i);
    CXmlNode* worksheet = doc.AddElement(book, "Worksheet");
    doc.AddAttribute(worksheet, "ss:Name", EscapeAttribute(sheet.name.empty() ? SheetNumberName(i + 1) : sheet.name));
    if (sheet.RowCount() >= 1 && sheet.ColumnCount() >= 1)
      WriteTable(doc, doc.AddElement(worksheet, "Table"), sheet, styleWriter);
  }
  return doc.Write();
}

bool WriteWorkbook(const CWorkbook& workbook, const std::string& path) {
  return static_cast<bool>(backup::SaveBook(path, WorkbookText(workbook)));
}

}  // namespace vm::spreadsheet
