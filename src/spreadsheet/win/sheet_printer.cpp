#include "spreadsheet/win/sheet_printer.h"

#include <algorithm>

#include "spreadsheet/grid_layout.h"
#include "ui/text.h"

namespace vm::spreadsheet {

namespace {

constexpr int kScreenDpi = 96;
constexpr int kFooterHeight = 20;  // sheet pixels under the cells for the page number

}  // namespace

PrintGeometry GeometryOf(HDC dc, int marginMm) {
  PrintGeometry g;
  g.dpiX = std::max(GetDeviceCaps(dc, LOGPIXELSX), 1);
  g.dpiY = std::max(GetDeviceCaps(dc, LOGPIXELSY), 1);
  // The device's printable area starts at its own offset from the paper's edge.
  int offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  int marginX = std::max(MulDiv(marginMm, g.dpiX * 10, 254) - offsetX, 0);
  int marginY = std::max(MulDiv(marginMm, g.dpiY * 10, 254) - offsetY, 0);
  g.originX = marginX;
  g.originY = marginY;
  g.width = MulDiv(GetDeviceCaps(dc, HORZRES) - 2 * marginX, kScreenDpi, g.dpiX);
  g.height = MulDiv(GetDeviceCaps(dc, VERTRES) - 2 * marginY, kScreenDpi, g.dpiY) - kFooterHeight;
  return g;
}

void DrawPrintedPage(HDC dc, const CSheet& sheet, const CellRect& page, const PrintGeometry& geometry,
                     const NumberLocale& locale, CellPainter& painter, int number, int count) {
  int saved = SaveDC(dc);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kScreenDpi, kScreenDpi, nullptr);
  SetViewportExtEx(dc, geometry.dpiX, geometry.dpiY, nullptr);
  SetViewportOrgEx(dc, geometry.originX, geometry.originY, nullptr);
  GridViewport view;
  view.geometry = GridGeometry{0, 0, 0, 0, 0};
  view.width = geometry.width;
  view.height = geometry.height;
  int cellsSaved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, geometry.width, geometry.height);
  std::vector<CellDraw> cells =
      LayoutCells(sheet, view, page, [&](int r, int c) { return painter.TextWidth(dc, sheet, r, c, locale); });
  painter.Paint(dc, sheet, cells, locale, CellPainter::Marks{});
  RestoreDC(dc, cellsSaved);
  // The cells' top and left edges, which the grid leaves to its headers.
  int right = 0, bottom = 0;
  for (int c = page.left; c <= page.right; ++c) right += sheet.ColumnWidth(c);
  for (int r = page.top; r <= page.bottom; ++r) bottom += sheet.RowHeight(r);
  right = std::min(right, geometry.width);
  bottom = std::min(bottom, geometry.height);
  SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, RGB(157, 161, 161));
  MoveToEx(dc, 0, bottom, nullptr);
  LineTo(dc, 0, 0);
  LineTo(dc, right, 0);
  if (count > 1) {
    std::wstring footer = std::to_wstring(number) + L" / " + std::to_wstring(count);
    RECT place{0, geometry.height, geometry.width, geometry.height + kFooterHeight};
    SelectObject(dc, painter.FontFor(nullptr));
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, footer.c_str(), static_cast<int>(footer.size()), &place,
              DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
  }
  RestoreDC(dc, saved);
}

int PrintSheet(HDC printer, const CSheet& sheet, const NumberLocale& locale, const std::string& title) {
  PrintGeometry geometry = GeometryOf(printer);
  std::vector<CellRect> pages = PrintPages(sheet, geometry.width, geometry.height);
  if (pages.empty()) return 0;
  std::wstring name = ui::Wide(title);
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = name.c_str();
  if (StartDocW(printer, &doc) <= 0) return -1;
  CellPainter painter;
  int count = static_cast<int>(pages.size());
  for (int i = 0; i < count; ++i) {
    if (StartPage(printer) <= 0) {
      AbortDoc(printer);
      return -1;
    }
    DrawPrintedPage(printer, sheet, pages[static_cast<size_t>(i)], geometry, locale, painter, i + 1, count);
    if (EndPage(printer) <= 0) {
      AbortDoc(printer);
      return -1;
    }
  }
  return EndDoc(printer) > 0 ? count : -1;
}

}  // namespace vm::spreadsheet
