#include "spreadsheet/win/cell_painter.h"

#include <cstdio>
#include <map>

#include "spreadsheet/grid_ops.h"
#include "ui/text.h"

namespace vm::spreadsheet {

namespace {

constexpr COLORREF kSelectionTint = RGB(162, 193, 248);
constexpr COLORREF kGridLines = RGB(157, 161, 161);

COLORREF Blend(COLORREF a, COLORREF b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
             (GetBValue(a) + GetBValue(b)) / 2);
}

RECT ToRect(const PixelRect& p) { return RECT{p.left, p.top, p.right, p.bottom}; }

}  // namespace

HFONT CellPainter::FontFor(const FontDesc* font) {
  FontDesc f = font ? *font : FontDesc{};
  char key[64];
  std::snprintf(key, sizeof key, "|%i|%i|%i|%i|%i|%i", f.height, f.weight, f.italic ? 1 : 0,
                f.underline ? 1 : 0, f.charSet, f.pitchAndFamily);
  std::string name = f.faceName + key;
  auto it = fonts_.find(name);
  if (it != fonts_.end()) return it->second.get();
  HFONT made =
      CreateFontW(f.height, 0, 0, 0, f.weight, f.italic, f.underline, 0, static_cast<BYTE>(f.charSet), 0, 0,
                  0, static_cast<BYTE>(f.pitchAndFamily), ui::Wide(f.faceName).c_str());
  return fonts_.emplace(name, ui::UniqueFont(made)).first->second.get();
}

int CellPainter::TextWidth(HDC dc, const CSheet& sheet, int row, int column, const NumberLocale& locale) {
  CSheetCell f = EffectiveFormat(sheet, row, column);
  std::wstring wide = ui::Wide(ShownText(f, locale));
  if (wide.empty()) return 0;
  ui::SelectGuard font(dc, FontFor(f.font));
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

void CellPainter::Paint(HDC dc, const CSheet& sheet, const std::vector<CellDraw>& cells, const NumberLocale& locale,
                        const Marks& marks) {
  ui::SelectGuard pen(dc, GetStockObject(DC_PEN));
  SetBkMode(dc, TRANSPARENT);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  std::vector<CSheetCell> formats;
  formats.reserve(cells.size());
  // The lines go out at the end, one call per colour: a screen holds a thousand cells.
  std::map<COLORREF, std::vector<POINT>> lines;
  for (const CellDraw& d : cells) {
    formats.push_back(EffectiveFormat(sheet, d.row, d.column));
    if (d.beyond) continue;
    const CSheetCell& f = formats.back();
    COLORREF fill = f.Has(kCellFillColor) ? f.fillColor : window;
    bool current = marks.current.row == d.row && marks.current.column == d.column;
    if (marks.selected.Contains(d.row, d.column) && !current) fill = Blend(fill, kSelectionTint);
    if (fill != window || !marks.onWindow) {
      SetDCBrushColor(dc, fill);
      RECT box = ToRect(d.box);
      FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    std::vector<POINT>& segments = lines[f.Has(kCellPen) ? f.pen.color : kGridLines];
    if (!d.hideRightLine) {
      segments.push_back(POINT{d.box.right - 1, d.box.top});
      segments.push_back(POINT{d.box.right - 1, d.box.bottom});
    }
    segments.push_back(POINT{d.box.left, d.box.bottom - 1});
    segments.push_back(POINT{d.box.right, d.box.bottom - 1});
  }
  for (const auto& [colour, points] : lines) {
    SetDCPenColor(dc, colour);
    std::vector<DWORD> counts(points.size() / 2, 2);
    PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
  }
  HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
  HFONT selectedFont = nullptr;
  COLORREF textColour = CLR_INVALID;
  for (size_t i = 0; i < cells.size(); ++i) {
    const CellDraw& d = cells[i];
    const CSheetCell& f = formats[i];
    std::string text = ShownText(f, locale);
    if (text.empty()) continue;
    if (HFONT font = FontFor(f.font); font != selectedFont) SelectObject(dc, selectedFont = font);
    if (COLORREF colour = f.Has(kCellTextColor) ? f.textColor : GetSysColor(COLOR_WINDOWTEXT); colour != textColour)
      SetTextColor(dc, textColour = colour);
    uint32_t align = f.Has(kCellAlign) ? f.align : (kAlignLeft | kAlignBottom);
    UINT format = DT_NOPREFIX | DT_EXPANDTABS;  // merged texts hold tabs
    if (align & kAlignRight)
      format |= DT_RIGHT;
    else if (align & kAlignCenter)
      format |= DT_CENTER;
    RECT inner{d.textBox.left + kTextPadLeft, d.box.top + 1, d.textBox.right - kTextPadRight, d.box.bottom - 2};
    std::wstring wide = ui::Wide(text);
    if (f.Wraps()) {
      RECT measure = inner;
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &measure, format | DT_WORDBREAK | DT_CALCRECT);
      int spare = (inner.bottom - inner.top) - (measure.bottom - measure.top);
      if (spare > 0 && !(align & kAlignTop)) inner.top += (align & kAlignMiddle) ? spare / 2 : spare;
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner, format | DT_WORDBREAK);
    } else {
      format |= DT_SINGLELINE;
      format |= (align & kAlignTop) ? DT_TOP : (align & kAlignMiddle) ? DT_VCENTER : DT_BOTTOM;
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &inner, format);
    }
  }
  SelectObject(dc, originalFont);
}

}  // namespace vm::spreadsheet
