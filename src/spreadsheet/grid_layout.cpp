#include "spreadsheet/grid_layout.h"

#include <algorithm>

#include "spreadsheet/grid_ops.h"

namespace vm::spreadsheet {

namespace {

// A neighbour a text may run into: inside the grid, without text, outside merged areas.
bool Vacant(const CSheet& sheet, int r, int c) {
  if (!sheet.InGrid(r, c) || sheet.MergeAt(r, c)) return false;
  const CSheetCell* cell = sheet.StoredCell(r, c);
  return !cell || !cell->HasText();
}

// How far the text of (r, c) runs beyond its box: the first and last columns it covers
// and the pixels it gains on each side. False when it stays inside its cell.
struct Spill {
  int firstColumn = 0, lastColumn = 0;
  int gainLeft = 0, gainRight = 0;
};

bool SpillOf(const CSheet& sheet, int r, int c, int boxWidth, const TextWidthFn& textWidth, Spill& out) {
  // Most texts fit, or have no room to run into: those cost no format and no measuring.
  const CSheetCell* stored = sheet.StoredCell(r, c);
  if (!stored || !stored->HasText()) return false;
  if (!Vacant(sheet, r, c + 1) && !Vacant(sheet, r, c - 1)) return false;
  if (sheet.MergeAt(r, c)) return false;
  int overflow = textWidth(r, c) - (boxWidth - kTextPadLeft - kTextPadRight);
  if (overflow <= 0) return false;
  CSheetCell f = EffectiveFormat(sheet, r, c);
  if (f.kind != kKindText || f.Wraps()) return false;
  uint32_t align = f.Has(kCellAlign) ? f.align & kAlignHorizontalMask : kAlignLeft;
  int needLeft = 0, needRight = 0;
  if (align & kAlignRight)
    needLeft = overflow;
  else if (align & kAlignCenter)
    needLeft = needRight = (overflow + 1) / 2;
  else
    needRight = overflow;
  out = Spill{c, c, 0, 0};
  while (out.gainRight < needRight && Vacant(sheet, r, out.lastColumn + 1))
    out.gainRight += sheet.ColumnWidth(++out.lastColumn);
  while (out.gainLeft < needLeft && Vacant(sheet, r, out.firstColumn - 1))
    out.gainLeft += sheet.ColumnWidth(--out.firstColumn);
  return out.firstColumn != out.lastColumn;
}

// The columns of a row's stored cells nearest to the range on either side that hold text.
std::pair<int, int> TextNeighbours(const CSheet& sheet, int r, const CellRect& range) {
  std::pair<int, int> out{-1, -1};
  const std::vector<CSheet::Row>& rows = sheet.Rows();
  auto it = std::lower_bound(rows.begin(), rows.end(), r, [](const CSheet::Row& row, int v) { return row.index < v; });
  if (it == rows.end() || it->index != r) return out;
  const auto& cells = it->cells;
  auto at = std::lower_bound(cells.begin(), cells.end(), range.left,
                             [](const CSheet::CellEntry& e, int v) { return e.column < v; });
  for (auto left = at; left != cells.begin();) {
    --left;
    if (left->cell.HasText()) {
      out.first = left->column;
      break;
    }
  }
  for (auto right = std::upper_bound(at, cells.end(), range.right,
                                     [](int v, const CSheet::CellEntry& e) { return v < e.column; });
       right != cells.end(); ++right)
    if (right->cell.HasText()) {
      out.second = right->column;
      break;
    }
  return out;
}

}  // namespace

std::vector<CellDraw> LayoutCells(const CSheet& sheet, const GridViewport& view, const CellRect& range,
                                  const TextWidthFn& textWidth) {
  std::vector<CellDraw> out;
  if (range.Empty() || !sheet.InGrid(range.top, range.left) || !sheet.InGrid(range.bottom, range.right)) return out;
  GridViewport v = view;
  v.topRow = range.top;
  v.leftColumn = range.left;
  const int columns = range.right - range.left + 1, rows = range.bottom - range.top + 1;
  std::vector<int> xs(static_cast<size_t>(columns) + 1, v.CellsLeft()), ys(static_cast<size_t>(rows) + 1, v.CellsTop());
  for (int i = 0; i < columns; ++i) xs[i + 1] = xs[i] + sheet.ColumnWidth(range.left + i);
  for (int i = 0; i < rows; ++i) ys[i + 1] = ys[i] + sheet.RowHeight(range.top + i);

  // Where each plain cell of the range went in `out`, to hide lines under spilled text.
  std::vector<int> place(static_cast<size_t>(columns) * static_cast<size_t>(rows), -1);
  auto placeOf = [&](int r, int c) -> int {
    if (!range.Contains(r, c)) return -1;
    return place[static_cast<size_t>(r - range.top) * static_cast<size_t>(columns) + static_cast<size_t>(c - range.left)];
  };
  out.reserve(place.size());
  bool mergesShown = !sheet.Merges().empty();
  for (int r = range.top; r <= range.bottom; ++r) {
    for (int c = range.left; c <= range.right; ++c) {
      CellDraw d;
      d.row = r;
      d.column = c;
      const MergeArea* area = mergesShown ? sheet.MergeAt(r, c) : nullptr;
      if (area) {
        // A merged area comes once, at the first of its cells in the range.
        if (r != std::max(area->row, range.top) || c != std::max(area->column, range.left)) continue;
        d.row = area->row;
        d.column = area->column;
        d.box = CellBounds(sheet, v, d.row, d.column);
      } else {
        d.box = PixelRect{xs[c - range.left], ys[r - range.top], xs[c - range.left + 1], ys[r - range.top + 1]};
        place[static_cast<size_t>(r - range.top) * static_cast<size_t>(columns) + static_cast<size_t>(c - range.left)] =
            static_cast<int>(out.size());
      }
      d.textBox = d.box;
      out.push_back(d);
    }
  }

  auto spread = [&](CellDraw& d) {
    Spill s;
    if (!SpillOf(sheet, d.row, d.column, d.box.right - d.box.left, textWidth, s)) return false;
    d.textBox.left -= s.gainLeft;
    d.textBox.right += s.gainRight;
    for (int c = s.firstColumn; c < s.lastColumn; ++c)
      if (int i = placeOf(d.row, c); i >= 0) out[static_cast<size_t>(i)].hideRightLine = true;
    return true;
  };
  const size_t inRange = out.size();
  for (size_t i = 0; i < inRange; ++i)
    if (placeOf(out[i].row, out[i].column) == static_cast<int>(i)) spread(out[i]);
  // Texts starting beside the range that may run into it.
  for (int r = range.top; r <= range.bottom; ++r) {
    auto [left, right] = TextNeighbours(sheet, r, range);
    for (int c : {left, right}) {
      if (c < 0) continue;
      CellDraw d;
      d.row = r;
      d.column = c;
      d.beyond = true;
      int x = ColumnX(sheet, v, c);
      d.box = PixelRect{x, ys[r - range.top], x + sheet.ColumnWidth(c), ys[r - range.top + 1]};
      d.textBox = d.box;
      if (spread(d) && d.textBox.right > xs.front() && d.textBox.left < xs.back()) out.push_back(d);
    }
  }
  return out;
}

std::vector<CellDraw> LayoutScreen(const CSheet& sheet, const GridViewport& view, const TextWidthFn& textWidth) {
  return LayoutCells(sheet, view, VisibleCells(sheet, view), textWidth);
}

// ---- printing --------------------------------------------------------------------------------

CellRect PrintedArea(const CSheet& sheet) {
  int bottom = -1, right = -1;
  for (const CSheet::Row& row : sheet.Rows())
    for (const CSheet::CellEntry& e : row.cells)
      if (e.cell.HasText() || e.cell.Has(kCellFillColor)) {
        bottom = std::max(bottom, row.index);
        right = std::max(right, e.column);
      }
  for (const MergeArea& m : sheet.Merges()) {
    bottom = std::max(bottom, m.row + m.down);
    right = std::max(right, m.column + m.across);
  }
  bottom = std::min(bottom, sheet.RowCount() - 1);
  right = std::min(right, sheet.ColumnCount() - 1);
  if (bottom < 0 || right < 0) return CellRect{};
  return CellRect{0, 0, bottom, right};
}

std::vector<std::pair<int, int>> SplitRuns(const std::function<int(int)>& size, int first, int last, int room,
                                           const std::vector<std::pair<int, int>>& spans) {
  std::vector<std::pair<int, int>> runs;
  if (room <= 0) return runs;
  for (int begin = first; begin <= last;) {
    int end = begin;
    for (int used = size(begin); end < last && used + size(end + 1) <= room;) used += size(++end);
    // Pulling the end back before a span may put it inside another span.
    for (bool moved = end < last; moved;) {
      moved = false;
      for (const auto& [from, to] : spans)
        if (from > begin && from <= end && to > end) {
          end = from - 1;
          moved = true;
        }
    }
    runs.emplace_back(begin, end);
    begin = end + 1;
  }
  return runs;
}

std::vector<CellRect> PrintPages(const CSheet& sheet, int width, int height) {
  std::vector<CellRect> pages;
  CellRect area = PrintedArea(sheet);
  if (area.Empty() || width <= 0 || height <= 0) return pages;
  std::vector<std::pair<int, int>> columnSpans, rowSpans;
  for (const MergeArea& m : sheet.Merges()) {
    columnSpans.emplace_back(m.column, m.column + m.across);
    rowSpans.emplace_back(m.row, m.row + m.down);
  }
  auto columns = SplitRuns([&](int c) { return sheet.ColumnWidth(c); }, area.left, area.right, width, columnSpans);
  auto rows = SplitRuns([&](int r) { return sheet.RowHeight(r); }, area.top, area.bottom, height, rowSpans);
  for (const auto& [left, right] : columns)
    for (const auto& [top, bottom] : rows) pages.push_back(CellRect{top, left, bottom, right});
  return pages;
}

}  // namespace vm::spreadsheet
