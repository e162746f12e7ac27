// The SpreadsheetML reader, and the undo snapshot built on the reader and writer.
//
// Element and attribute names are matched by their namespace, not their prefix: other
// programs write "<ss:Worksheet>" with "ss" bound to the same namespace as the default.
// Files without namespace declarations are taken as if "ss" and the default were bound.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "common/backup.h"
#include "platform/platform.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"

namespace vm::spreadsheet {

namespace {

constexpr std::string_view kSpreadsheetNs = "urn:schemas-microsoft-com:office:spreadsheet";
constexpr std::string_view kExcelNs = "urn:schemas-microsoft-com:office:excel";
constexpr int kMaxStyleChain = 16;
constexpr int kMaxPixels = 32767;

struct QName {
  std::string_view prefix, local;
};

QName Split(std::string_view name) {
  size_t colon = name.find(':');
  if (colon == std::string_view::npos) return {{}, name};
  return {name.substr(0, colon), name.substr(colon + 1)};
}

// The namespace a prefix is bound to at an element; nullopt when it is bound nowhere.
std::optional<std::string_view> Namespace(const CXmlNode* element, std::string_view prefix) {
  for (const CXmlNode* e = element; e; e = e->parent) {
    if (!e->declaresNamespaces) continue;
    for (const CXmlNode* a = e->firstAttribute; a; a = a->next) {
      // The lengths first: they rule out most attributes without comparing any text.
      std::string_view n = a->name;
      if (prefix.empty() ? n.size() != 5 : n.size() != 6 + prefix.size() || n[5] != ':') continue;
      if (n.compare(0, 5, "xmlns") == 0 && n.substr(std::min<size_t>(6, n.size())) == prefix)
        return std::string_view(a->value);
    }
  }
  return std::nullopt;
}

// Namespace lookups of one document. A prefix resolves at an element as at the nearest
// element from there up that declares namespaces, so the answer is kept for the parent
// (or the element itself when it declares) and for that declaring element: the
// children of a row and their attributes ask the parent's question, the parts of every
// style the workbook's.
class Namespaces {
 public:
  std::optional<std::string_view> Of(const CXmlNode* element, std::string_view prefix) {
    const CXmlNode* from = element->declaresNamespaces ? element : element->parent;
    if (const Known* k = Find(from, prefix)) return k->bound;
    const CXmlNode* scope = from;
    while (scope && !scope->declaresNamespaces) scope = scope->parent;
    std::optional<std::string_view> bound;
    if (const Known* k = scope != from ? Find(scope, prefix) : nullptr) {
      bound = k->bound;
    } else {
      bound = scope ? Namespace(scope, prefix) : std::nullopt;
      if (scope != from) Remember(scope, prefix, bound);
    }
    Remember(from, prefix, bound);
    return bound;
  }

  bool In(const CXmlNode* element, std::string_view prefix, std::string_view ns, std::string_view usualPrefix) {
    auto bound = Of(element, prefix);
    if (bound) return *bound == ns;
    return prefix.empty() || prefix == usualPrefix;
  }

  // A spreadsheet element of that local name.
  bool Is(const CXmlNode* node, std::string_view local) {
    if (node->kind != kXmlElement) return false;
    QName q = Split(node->name);
    return q.local == local && In(node, q.prefix, kSpreadsheetNs, "ss");
  }

  // Attributes of the spreadsheet namespace (or without a prefix) of an element.
  template <typename F>
  void ForEachAttribute(const CXmlNode* element, F f) {
    // The attributes of an element mostly share one prefix: it is looked up once.
    std::string_view last;
    bool resolved = false, lastSs = false, lastExcel = false;
    for (const CXmlNode* a = element->firstAttribute; a; a = a->next) {
      QName q = Split(a->name);
      if (q.prefix == "xmlns" || q.local == "xmlns") continue;
      bool ss = true, excel = false;
      if (!q.prefix.empty()) {
        if (!resolved || q.prefix != last) {
          last = q.prefix;
          resolved = true;
          lastSs = In(element, q.prefix, kSpreadsheetNs, "ss");
          lastExcel = !lastSs && In(element, q.prefix, kExcelNs, "x");
        }
        ss = lastSs;
        excel = lastExcel;
      }
      if (ss || excel) f(q.local, a, excel);
    }
  }

 private:
  struct Known {
    const CXmlNode* from = nullptr;  // an unused entry answers for no element: bound nowhere
    std::string_view prefix;
    std::optional<std::string_view> bound;
  };

  const Known* Find(const CXmlNode* from, std::string_view prefix) const {
    for (const Known& k : known_)
      if (k.from == from && k.prefix == prefix) return &k;
    return nullptr;
  }
  void Remember(const CXmlNode* from, std::string_view prefix, std::optional<std::string_view> bound) {
    known_[next_++ % known_.size()] = {from, prefix, bound};
  }

  std::array<Known, 8> known_{};
  size_t next_ = 0;
};

bool Number(const CXmlNode* a, double& v) { return ReadFileNumber(AttributeText(a), v); }

bool Int(const CXmlNode* a, int& v) {
  double d = 0;
  if (AttributeInteger(a, v)) return true;
  if (!Number(a, d) || d < -2e9 || d > 2e9) return false;
  v = static_cast<int>(d);
  return true;
}

// Points to pixels, cut to an integer and kept sane.
int Pixels(double points) { return static_cast<int>(std::clamp(points * 4.0 / 3.0, 0.0, double{kMaxPixels})); }

bool ReadColor(std::string_view text, Color& color) {
  if (!text.empty() && text[0] == '#') text.remove_prefix(1);
  if (text.size() != 6) return false;
  unsigned v = 0;
  for (char c : text) {
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    v = v << 4 | static_cast<unsigned>(d);
  }
  color = Rgb(static_cast<int>(v >> 16), static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF));
  return true;
}

// What a style (with its parents) does to a format.
struct StyleEffect {
  std::optional<uint32_t> horizontal, vertical;
  std::optional<bool> wrap;
  bool font = false;
  std::optional<std::string> face;
  std::optional<double> size;
  std::optional<bool> bold, italic, underline;
  std::optional<int> charSet;
  std::optional<Color> textColor, fillColor;
  std::optional<std::string> numberFormat;
};

class Reader {
 public:
  Reader(CWorkbook& workbook, WorkbookReadReport& report) : wb_(workbook), report_(report) {}

  bool Run(std::string bytes) {
    doc_.SetUnterminatedReferences(true);
    doc_.SetNoBreakReferencesAsBlanks(true);
    doc_.SetErrorCallback([this](int code, const std::string& message, int line, int column) {
      if (report_.parseErrors++ == 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "error %d %d:%d ", code, line, column);
        report_.firstParseError = buf + message;
      }
    });
    doc_.Parse(DocumentBytesToCp1251(std::move(bytes)));
    wb_.Clear();
    const CXmlNode* book = nullptr;
    for (const CXmlNode* n = doc_.Root()->firstChild; n && !book; n = n->next)
      if (Is(n, "Workbook")) book = n;
    if (!book) return false;
    for (const CXmlNode* n = book->firstChild; n; n = n->next) {
      if (!Is(n, "Styles")) continue;
      for (const CXmlNode* s = n->firstChild; s; s = s->next) {
        if (!Is(s, "Style")) continue;
        ForEachAttribute(s, [&](std::string_view local, const CXmlNode* a, bool excel) {
          if (!excel && local == "ID") styles_.emplace(doc_.DecodeEntities(AttributeText(a)), s);
        });
      }
    }
    bool first = true;
    for (const CXmlNode* n = book->firstChild; n; n = n->next) {
      if (!Is(n, "Worksheet")) continue;
      CSheet& sheet = first ? wb_.Sheet(0) : wb_.AppendSheet();
      first = false;
      ForEachAttribute(n, [&](std::string_view local, const CXmlNode* a, bool excel) {
        if (!excel && local == "Name") sheet.name = doc_.DecodeEntities(AttributeText(a));
      });
      for (const CXmlNode* t = n->firstChild; t; t = t->next) {
        if (Is(t, "Table")) {
          ReadTable(sheet, t);
          break;
        }
      }
    }
    wb_.SetCurrent(0);
    return true;
  }

 private:
  void Problem(const char* what, int index) {
    if (report_.problems.size() >= 100) return;
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s %d lies beyond the grid of %d rows and %d columns; left out", what, index,
                  kMaxRows, kMaxColumns);
    report_.problems.push_back(buf);
  }

  static void Grow(CSheet& sheet, int rows, int columns) {
    if (rows > sheet.RowCount()) sheet.SetRowCount(rows);
    if (columns > sheet.ColumnCount()) sheet.SetColumnCount(columns);
  }

  void ReadTable(CSheet& sheet, const CXmlNode* table) {
    sheet.SetDefaultWidth(64);
    sheet.SetDefaultHeight(17);
    sheet.DefaultFormat().align = kAlignLeft | kAlignBottom;
    sheet.DefaultFormat().mask |= kCellAlign;
    int rows = 0, columns = 0;
    ForEachAttribute(table, [&](std::string_view local, const CXmlNode* a, bool excel) {
      int v = 0;
      if (excel || !Int(a, v)) return;
      if (local == "ExpandedColumnCount") columns = v;
      if (local == "ExpandedRowCount") rows = v;
    });
    if (rows > kMaxRows) Problem("row count", rows);
    if (columns > kMaxColumns) Problem("column count", columns);
    // Without the counts (other programs leave them out) the cells size the table.
    Grow(sheet, std::clamp(rows, 0, kMaxRows), std::clamp(columns, 0, kMaxColumns));

    int column = 0, row = 0;  // the last index read, from 1
    for (const CXmlNode* n = table->firstChild; n; n = n->next) {
      if (Is(n, "Column"))
        column = ReadColumn(sheet, n, column);
      else if (Is(n, "Row"))
        row = ReadRow(sheet, n, row);
    }
  }

  int ReadColumn(CSheet& sheet, const CXmlNode* e, int previous) {
    int index = 0, span = 0;
    std::optional<double> width;
    const CXmlNode* style = nullptr;
    ForEachAttribute(e, [&](std::string_view local, const CXmlNode* a, bool excel) {
      double d = 0;
      if (excel) return;
      if (local == "Index") Int(a, index);
      if (local == "Span") Int(a, span);
      if (local == "Width" && Number(a, d)) width = d;
      if (local == "StyleID") style = a;
    });
    if (index <= 0) index = previous + 1;
    if (index > kMaxColumns) {
      Problem("column", index);
      return index;
    }
    span = std::clamp(span, 0, kMaxColumns - index);
    Grow(sheet, 0, index + span);
    const StyleEffect* effect = style ? Effect(doc_.DecodeEntities(AttributeText(style))) : nullptr;
    for (int c = index - 1; c < index + span; ++c) {
      if (width) sheet.SetColumnWidth(c, Pixels(*width));
      if (effect) Apply(*effect, *sheet.ColumnFormatForEdit(c), sheet);
    }
    return index + span;
  }

  int ReadRow(CSheet& sheet, const CXmlNode* e, int previous) {
    int index = 0;
    std::optional<double> height;
    const CXmlNode* style = nullptr;
    ForEachAttribute(e, [&](std::string_view local, const CXmlNode* a, bool excel) {
      double d = 0;
      if (excel) return;
      if (local == "Index") Int(a, index);
      if (local == "Height" && Number(a, d)) height = d;
      if (local == "StyleID") style = a;
    });
    if (index <= 0) index = previous + 1;
    if (index > kMaxRows) {
      Problem("row", index);
      return index;
    }
    const int r = index - 1;
    Grow(sheet, index, 0);
    if (height) sheet.SetRowHeight(r, Pixels(*height));
    if (style) {
      // The row's style reaches every cell of the row: the ones already there, and
      // through the row's format every cell made later.
      if (const StyleEffect* effect = Effect(doc_.DecodeEntities(AttributeText(style)))) {
        Apply(*effect, *sheet.RowFormatForEdit(r), sheet);
        for (int c = 0; c < sheet.ColumnCount(); ++c)
          if (sheet.StoredCell(r, c)) Apply(*effect, *sheet.CellForEdit(r, c), sheet);
      }
    }
    int column = 0;  // the column after which the next cell without an index goes, from 1
    for (const CXmlNode* c = e->firstChild; c; c = c->next)
      if (Is(c, "Cell")) column = ReadCell(sheet, r, c, column);
    return index;
  }

  // Returns the last column the cell covers: a cell without an index follows a merged
  // area, not its first column.
  int ReadCell(CSheet& sheet, int r, const CXmlNode* e, int previous) {
    int index = 0, across = 0, down = 0;
    const CXmlNode* style = nullptr;
    ForEachAttribute(e, [&](std::string_view local, const CXmlNode* a, bool excel) {
      if (excel) return;
      if (local == "Index") Int(a, index);
      if (local == "MergeAcross") Int(a, across);
      if (local == "MergeDown") Int(a, down);
      if (local == "StyleID") style = a;
    });
    if (index <= 0) index = previous + 1;
    if (index > kMaxColumns) {
      Problem("column", index);
      return index;
    }
    const int c = index - 1;
    across = std::clamp(across, 0, kMaxColumns - index);
    down = std::clamp(down, 0, kMaxRows - 1 - r);
    Grow(sheet, r + 1 + down, index + across);
    if (across > 0 || down > 0) sheet.Merge({r, c, r + down, c + across});

    CSheetCell& cell = *sheet.CellForEdit(r, c);
    const CXmlNode* data = nullptr;
    for (const CXmlNode* d = e->firstChild; d && !data; d = d->next)
      if (Is(d, "Data")) data = d;
    if (data) ReadData(cell, data);
    if (style) {
      if (const StyleEffect* effect = Effect(doc_.DecodeEntities(AttributeText(style)))) Apply(*effect, cell, sheet);
    }
    return index + across;
  }

  static void Gather(const CXmlNode* node, std::string& out) {
    for (const CXmlNode* n = node->firstChild; n; n = n->next) {
      if (n->kind == kXmlText || n->kind == kXmlCData)
        out += n->name;
      else if (n->kind == kXmlElement)
        Gather(n, out);  // inline formatting: only its plain text is kept
    }
  }

  void ReadData(CSheetCell& cell, const CXmlNode* data) {
    std::string type = "String";
    ForEachAttribute(data, [&](std::string_view local, const CXmlNode* a, bool excel) {
      if (!excel && local == "Type") type = AttributeText(a);
    });
    std::string raw;
    Gather(data, raw);
    // "&#160" (with or without ";") came from a blank and the parser gave it back as
    // one; "&#10" came from a line break.
    // Most texts have no line break and are taken as they are.
    bool wrap = false;
    const bool breaks = raw.find('\n') != std::string::npos || raw.find('\r') != std::string::npos;
    std::string text = breaks ? std::string() : std::move(raw);
    if (breaks) text.reserve(raw.size());
    for (size_t i = 0; breaks && i < raw.size(); ++i) {
      char ch = raw[i];
      if (ch == '\r' || ch == '\n') {
        if (ch == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        text += "\r\n";
        wrap = true;
      } else {
        text += ch;
      }
    }
    cell.SetText(text);
    if (wrap) cell.SetWrap(true);
    double value = 0;
    if (type == "Number") {
      // A number that is no number keeps its text rather than showing 0.
      if (ReadFileNumber(text, value)) {
        cell.kind = kKindNumber;
        cell.value = value;
        cell.mask |= kCellKind;
        cell.align = kAlignRight | kAlignBottom;
        cell.mask |= kCellAlign;
      }
    } else if (type == "DateTime") {
      std::string shown = text;
      for (char& ch : shown) {
        if (ch == '-') ch = '/';
        if (ch == 'T') ch = ' ';
      }
      size_t blank = shown.find(' ');
      if (blank != std::string::npos) shown.resize(std::min(shown.size(), blank + 6));
      cell.SetText(shown);
      ChangeKind(cell, kKindDateTime, wb_.locale);
    } else if (type == "Boolean") {
      if (ReadFileNumber(text, value)) {
        cell.kind = kKindBoolean;
        cell.value = value != 0 ? 1 : 0;
        cell.mask |= kCellKind;
      }
    }
  }

  // The effect of a style and its parents, worked out once per ID; null for "Default"
  // and for IDs no style carries.
  const StyleEffect* Effect(const std::string& id) {
    if (id == "Default") return nullptr;
    auto cached = effects_.find(id);
    if (cached != effects_.end()) return cached->second ? &*cached->second : nullptr;
    std::optional<StyleEffect> effect;
    if (styles_.count(id)) {
      effect.emplace();
      Collect(id, *effect);
    }
    auto [it, inserted] = effects_.emplace(id, std::move(effect));
    return it->second ? &*it->second : nullptr;
  }

  // The parents' parts first, then the style's own: each part only sets what it names.
  void Collect(const std::string& id, StyleEffect& effect) {
    // A chain of parents is followed only so far: a style may name itself. A style met
    // again up the chain changes nothing: its nearer place sets the same things later,
    // and from there on the chain repeats.
    std::array<const CXmlNode*, kMaxStyleChain + 1> chain{};
    size_t length = 0;
    std::string at = id;
    for (int depth = 0; depth <= kMaxStyleChain; ++depth) {
      auto found = styles_.find(at);
      if (found == styles_.end() || at == "Default") break;
      const CXmlNode* style = found->second;
      if (std::find(chain.begin(), chain.begin() + length, style) != chain.begin() + length) break;
      chain[length++] = style;
      // One parent, the first named: following every repeated "Parent" of a style that
      // names itself took exponential time.
      const CXmlNode* parent = nullptr;
      ForEachAttribute(style, [&](std::string_view local, const CXmlNode* a, bool excel) {
        if (!excel && local == "Parent" && !parent) parent = a;
      });
      if (!parent) break;
      at = doc_.DecodeEntities(AttributeText(parent));
    }
    while (length) CollectParts(chain[--length], effect);
  }

  void CollectParts(const CXmlNode* style, StyleEffect& effect) {
    for (const CXmlNode* part = style->firstChild; part; part = part->next) {
      if (part->kind != kXmlElement) continue;
      if (Is(part, "Alignment")) {
        ForEachAttribute(part, [&](std::string_view local, const CXmlNode* a, bool excel) {
          if (excel) return;
          std::string v = AttributeText(a);
          if (local == "Horizontal") effect.horizontal = v == "Right" ? kAlignRight : v == "Center" ? kAlignCenter : kAlignLeft;
          if (local == "Vertical") effect.vertical = v == "Top" ? kAlignTop : v == "Center" ? kAlignMiddle : kAlignBottom;
          if (local == "WrapText") effect.wrap = v == "1";
        });
      } else if (Is(part, "Font")) {
        effect.font = true;
        ForEachAttribute(part, [&](std::string_view local, const CXmlNode* a, bool excel) {
          std::string v = AttributeText(a);
          double d = 0;
          int i = 0;
          if (excel) {
            if (local == "CharSet" && Int(a, i)) effect.charSet = i;
            return;  // x:Family is read but not applied
          }
          if (local == "FontName") effect.face = doc_.DecodeEntities(v);
          if (local == "Size" && Number(a, d) && d > 0 && d < 1000) effect.size = d;
          if (local == "Bold") effect.bold = v == "1";
          if (local == "Italic") effect.italic = v == "1";
          if (local == "Underline") effect.underline = v == "Single";
          if (local == "Color") {
            Color color = 0;
            if (ReadColor(v, color)) effect.textColor = color;
          }
        });
      } else if (Is(part, "Interior")) {
        ForEachAttribute(part, [&](std::string_view local, const CXmlNode* a, bool excel) {
          Color color = 0;
          if (!excel && local == "Color" && ReadColor(AttributeText(a), color)) effect.fillColor = color;
        });
      } else if (Is(part, "NumberFormat")) {
        ForEachAttribute(part, [&](std::string_view local, const CXmlNode* a, bool excel) {
          if (!excel && local == "Format") effect.numberFormat = doc_.DecodeEntities(AttributeText(a));
        });
      }
    }
  }

  // The number of decimals a number format shows.
  static std::optional<int> Decimals(const std::string& format) {
    if (format == "Fixed" || format == "Standard") return 2;
    // General formats show a number as it is: no decimals of their own.
    if (format == "General" || format == "General Number") return std::nullopt;
    size_t point = format.find('.');
    if (point == std::string::npos) return 0;
    int n = 0;
    for (size_t i = point + 1; i < format.size() && (format[i] == '0' || format[i] == '#'); ++i) ++n;
    return std::min(n, 30);
  }

  void Apply(const StyleEffect& e, CSheetCell& target, const CSheet& sheet) {
    if (e.horizontal || e.vertical) {
      uint32_t align = target.Has(kCellAlign) ? target.align : sheet.DefaultFormat().align;
      if (e.horizontal) align = (align & ~uint32_t{kAlignHorizontalMask}) | *e.horizontal;
      if (e.vertical) align = (align & ~uint32_t{kAlignVerticalMask}) | *e.vertical;
      target.align = align;
      target.mask |= kCellAlign;
    }
    if (e.wrap) target.SetWrap(*e.wrap || target.text.find('\n') != std::string::npos);
    if (e.font) {
      const FontDesc* base = target.Has(kCellFont) && target.font ? target.font : sheet.DefaultFormat().font;
      // Interned fonts never change or go: a style over the same font gives the same
      // font, which the columns of a span and the cells of a row take from the last time.
      if (base != fontBase_ || &e != fontEffect_) {
        FontDesc font = base ? *base : FontDesc{};
        if (e.face) font.faceName = *e.face;
        if (e.size) font.height = -static_cast<int>(*e.size * wb_.pixelsPerInch / 72.0);
        if (e.bold) font.weight = *e.bold ? 700 : 400;
        if (e.italic) font.italic = *e.italic;
        if (e.underline) font.underline = *e.underline;
        if (e.charSet) font.charSet = *e.charSet <= 0 ? 1 : *e.charSet;
        fontMade_ = wb_.Fonts().Intern(font);
        fontBase_ = base;
        fontEffect_ = &e;
      }
      target.font = fontMade_;
      target.mask |= kCellFont;
    }
    if (e.textColor) {
      target.textColor = *e.textColor;
      target.mask |= kCellTextColor;
    }
    if (e.fillColor) {
      target.fillColor = *e.fillColor;
      target.mask |= kCellFillColor;
    }
    if (e.numberFormat) {
      target.numberFormat = *e.numberFormat;
      target.mask |= kCellNumberFormat;
      if (target.kind == kKindNumber) {
        if (std::optional<int> decimals = Decimals(*e.numberFormat)) {
          target.decimals = *decimals;
          target.mask |= kCellDecimals;
        }
      }
    }
  }

  bool Is(const CXmlNode* node, std::string_view local) { return namespaces_.Is(node, local); }
  template <typename F>
  void ForEachAttribute(const CXmlNode* element, F f) {
    namespaces_.ForEachAttribute(element, std::move(f));
  }

  CWorkbook& wb_;
  WorkbookReadReport& report_;
  CXmlDocument doc_;
  Namespaces namespaces_;
  // The font Apply made last, and what it made it from.
  const FontDesc* fontBase_ = nullptr;
  const StyleEffect* fontEffect_ = nullptr;
  const FontDesc* fontMade_ = nullptr;
  std::unordered_map<std::string, const CXmlNode*> styles_;
  std::unordered_map<std::string, std::optional<StyleEffect>> effects_;
};

}  // namespace

bool ReadWorkbookBytes(CWorkbook& workbook, std::string bytes, WorkbookReadReport* report) {
  WorkbookReadReport local;
  Reader reader(workbook, report ? *report : local);
  return reader.Run(std::move(bytes));
}

bool ReadWorkbook(CWorkbook& workbook, const std::string& path, WorkbookReadReport* report) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) {
    workbook.Clear();
    return false;
  }
  backup::AfterRead(path, bytes);
  return ReadWorkbookBytes(workbook, std::move(bytes), report);
}

// ---- the undo snapshot -------------------------------------------------------------------

std::string SnapshotPath(const std::string& programFolder, const std::string& currentFile) {
  std::string name = currentFile.substr(currentFile.find_last_of('\\') + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  if (name.empty()) name = "Temp";
  return programFolder + "Temp\\" + name + ".tmp";
}

bool TakeSnapshot(const CWorkbook& workbook, const std::string& snapshotPath) {
  return WriteWorkbook(workbook, snapshotPath);
}

bool CanUndo(const std::string& snapshotPath) { return platform::FileExists(snapshotPath); }

bool Undo(CWorkbook& workbook, const std::string& snapshotPath) {
  if (!CanUndo(snapshotPath)) return false;
  int current = workbook.Current();
  bool ok = ReadWorkbook(workbook, snapshotPath);
  workbook.SetCurrent(current);
  return ok;
}

}  // namespace vm::spreadsheet
