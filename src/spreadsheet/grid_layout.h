// Where each cell of a screen or a printed page goes before anything is drawn: the
// cells of a range once each (a merged area once, as a whole), and how far a long text
// runs over into the empty cells beside it. The printed pages come from the same list,
// after the sheet's used part is cut into pages that keep merged areas whole where they can.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "spreadsheet/grid_view.h"

namespace vm::spreadsheet {

struct CellDraw {
  int row = 0, column = 0;  // the cell, or the top-left cell of its merged area
  PixelRect box;            // its rectangle (a merged area's as a whole)
  PixelRect textBox;        // where its text goes: the box, or wider where it spills
  bool beyond = false;      // lies outside the range; only its spilled text is drawn
  bool hideRightLine = false;  // spilled text runs across the cell's right edge
};

// The pixels a cell's text takes on one line, as it would be drawn in its font; asked
// only of cells whose text might not fit.
using TextWidthFn = std::function<int(int row, int column)>;

// The padding the window keeps between a cell's edges and its text.
constexpr int kTextPadLeft = 2, kTextPadRight = 3;

// The cells of `range` placed in `view` (the range's top-left cell at the cells' area's
// top left), rows first; then the cells left and right of the range whose text spills
// into it. A text spills when it is plain text (not a number), not wrapped, not merged,
// wider than its cell, and the neighbours it runs into hold no text and no merge: a
// left-aligned text runs right, a right-aligned one left, a centred one both ways.
std::vector<CellDraw> LayoutCells(const CSheet& sheet, const GridViewport& view, const CellRect& range,
                                  const TextWidthFn& textWidth);
// The cells one screen of the grid window shows.
std::vector<CellDraw> LayoutScreen(const CSheet& sheet, const GridViewport& view, const TextWidthFn& textWidth);

// ---- printing --------------------------------------------------------------------------------

// The part of the sheet worth printing: from the first cell to the last that holds text,
// a fill or a merged area. Empty for a sheet with none.
CellRect PrintedArea(const CSheet& sheet);

// Cuts sizes [first, last] into runs that fit `room` pixels, as [begin, end] pairs. A
// size larger than the room gets a run of its own (printed cut off). A run never ends
// inside one of `spans` (inclusive index ranges) when it can end before the span
// starts instead.
std::vector<std::pair<int, int>> SplitRuns(const std::function<int(int)>& size, int first, int last, int room,
                                           const std::vector<std::pair<int, int>>& spans);

// The pages of the printed area for pages of `width` x `height` sheet pixels, down the
// sheet first and then across, as spreadsheets print. Merged areas stay whole on a page
// where they fit. Nothing for an empty sheet or a page without room.
std::vector<CellRect> PrintPages(const CSheet& sheet, int width, int height);

}  // namespace vm::spreadsheet
