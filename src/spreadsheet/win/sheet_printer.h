// Printing a sheet: its used part cut into pages (grid_layout decides where), each
// drawn as the grid draws its cells, scaled from screen pixels to the printer's.
#pragma once

#include <windows.h>

#include <string>

#include "spreadsheet/cell_text.h"
#include "spreadsheet/sheet.h"
#include "spreadsheet/win/cell_painter.h"

namespace vm::spreadsheet {

// The printable part of a device in sheet pixels (96 to the inch) inside margins of
// `marginMm`, and where it starts in device pixels.
struct PrintGeometry {
  int width = 0, height = 0;  // sheet pixels
  int originX = 0, originY = 0;  // device pixels
  int dpiX = 96, dpiY = 96;
};
PrintGeometry GeometryOf(HDC dc, int marginMm = 15);

// Draws one page of cells on `dc`, its top-left cell at the geometry's origin, with the
// page's number under it ("2 / 5"); beside StartPage/EndPage, it is what a page is.
void DrawPrintedPage(HDC dc, const CSheet& sheet, const CellRect& page, const PrintGeometry& geometry,
                     const NumberLocale& locale, CellPainter& painter, int number, int count);

// Prints the sheet as one document named `title`. The pages printed, 0 when the sheet
// has nothing to print, -1 when the printer refused (nothing, or not all, printed).
int PrintSheet(HDC printer, const CSheet& sheet, const NumberLocale& locale, const std::string& title);

}  // namespace vm::spreadsheet
