#include "spreadsheet/grid_view.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace vm::spreadsheet {

int ColumnX(const CSheet& sheet, const GridViewport& view, int column) {
  int x = view.CellsLeft();
  if (column >= view.leftColumn) {
    for (int c = view.leftColumn; c < column; ++c) x += sheet.ColumnWidth(c);
  } else {
    for (int c = column; c < view.leftColumn; ++c) x -= sheet.ColumnWidth(c);
  }
  return x;
}

int RowY(const CSheet& sheet, const GridViewport& view, int row) {
  int y = view.CellsTop();
  if (row >= view.topRow) {
    for (int r = view.topRow; r < row; ++r) y += sheet.RowHeight(r);
  } else {
    for (int r = row; r < view.topRow; ++r) y -= sheet.RowHeight(r);
  }
  return y;
}

namespace {

// A line's leading edge as ColumnX and RowY place it, held within [low, high]: the sum
// stops once it is past either bound, so an edge far off screen costs what lies between.
template <class Size>
int EdgeWithin(int from, int line, int origin, int low, int high, Size size) {
  int pos = origin;
  if (line >= from) {
    for (int k = from; k < line && pos < high; ++k) pos += size(k);
  } else {
    for (int k = from - 1; k >= line && pos > low; --k) pos -= size(k);
  }
  return std::clamp(pos, low, high);
}

}  // namespace

PixelRect SelectionFrame(const CSheet& sheet, const GridViewport& view, const CellRect& selected) {
  constexpr int kOut = 2;  // the frame's width: an edge this far out draws nothing
  auto width = [&](int c) { return sheet.ColumnWidth(c); };
  auto height = [&](int r) { return sheet.RowHeight(r); };
  int left = view.CellsLeft() - kOut, right = view.CellsRight() + kOut;
  int top = view.CellsTop() - kOut, bottom = view.CellsBottom() + kOut;
  return PixelRect{EdgeWithin(view.leftColumn, selected.left, view.CellsLeft(), left, right, width),
                   EdgeWithin(view.topRow, selected.top, view.CellsTop(), top, bottom, height),
                   EdgeWithin(view.leftColumn, selected.right + 1, view.CellsLeft(), left, right, width),
                   EdgeWithin(view.topRow, selected.bottom + 1, view.CellsTop(), top, bottom, height)};
}

CellRect VisibleCells(const CSheet& sheet, const GridViewport& view) {
  CellRect out;
  if (sheet.RowCount() == 0 || sheet.ColumnCount() == 0) return out;
  out.top = std::clamp(view.topRow, 0, sheet.RowCount() - 1);
  out.left = std::clamp(view.leftColumn, 0, sheet.ColumnCount() - 1);
  out.bottom = out.top;
  for (int y = view.CellsTop() + sheet.RowHeight(out.top);
       y < view.CellsBottom() && out.bottom + 1 < sheet.RowCount(); y += sheet.RowHeight(out.bottom))
    ++out.bottom;
  out.right = out.left;
  for (int x = view.CellsLeft() + sheet.ColumnWidth(out.left);
       x < view.CellsRight() && out.right + 1 < sheet.ColumnCount(); x += sheet.ColumnWidth(out.right))
    ++out.right;
  return out;
}

int RowsPerPage(const CSheet& sheet, const GridViewport& view) {
  int rows = 0;
  int y = view.CellsTop();
  for (int r = view.topRow; r < sheet.RowCount(); ++r) {
    y += sheet.RowHeight(r);
    if (y > view.CellsBottom()) break;
    ++rows;
  }
  return std::max(rows, 1);
}

CellRect CellSpan(const CSheet& sheet, int row, int column) {
  if (const MergeArea* area = sheet.MergeAt(row, column)) return area->Rect();
  return CellRect{row, column, row, column};
}

PixelRect CellBounds(const CSheet& sheet, const GridViewport& view, int row, int column) {
  CellRect span = CellSpan(sheet, row, column);
  PixelRect r;
  r.left = ColumnX(sheet, view, span.left);
  r.top = RowY(sheet, view, span.top);
  r.right = r.left;
  for (int c = span.left; c <= span.right; ++c) r.right += sheet.ColumnWidth(c);
  r.bottom = r.top;
  for (int k = span.top; k <= span.bottom; ++k) r.bottom += sheet.RowHeight(k);
  return r;
}

std::vector<PixelRect> TabStrip::Places(const GridViewport& view) const {
  std::vector<PixelRect> out(textWidths.size());
  int x = 2 * view.geometry.tabArrowWidth + 2;
  for (size_t i = static_cast<size_t>(std::max(firstShown, 0)); i < textWidths.size(); ++i) {
    int w = std::min(textWidths[i] + kMargin, kMaxWidth);
    out[i] = PixelRect{x, view.CellsBottom(), x + w, view.height};
    x += w;
  }
  return out;
}

bool TabStrip::Clipped(int tab, const GridViewport& view) const {
  if (tab < firstShown || tab >= static_cast<int>(textWidths.size())) return false;
  PixelRect place = Places(view)[static_cast<size_t>(tab)];
  return !place.Empty() && place.left < view.width &&
         (textWidths[static_cast<size_t>(tab)] + kMargin > kMaxWidth || place.right > view.width);
}

int TabStrip::FirstShownFor(int tab, const GridViewport& view) const {
  if (tab < 0 || tab >= static_cast<int>(textWidths.size())) return firstShown;
  if (tab < firstShown) return tab;
  TabStrip probe = *this;
  while (probe.firstShown < tab && probe.Places(view)[static_cast<size_t>(tab)].right > view.width)
    ++probe.firstShown;
  return probe.firstShown;
}

namespace {

// The column under x in the cells' area (or -1) and whether x is within `grip` of a
// column's right edge, which then is the column reported.
int ColumnAt(const CSheet& sheet, const GridViewport& view, int x, int grip, bool& onEdge) {
  onEdge = false;
  int left = view.CellsLeft();
  for (int c = view.leftColumn; c < sheet.ColumnCount() && left < view.CellsRight(); ++c) {
    int right = left + sheet.ColumnWidth(c);
    if (grip > 0 && std::abs(x - right) <= grip) {
      onEdge = true;
      return c;
    }
    if (x >= left && x < right) {
      if (grip > 0 && c > view.leftColumn && x - left <= grip) {
        onEdge = true;
        return c - 1;
      }
      return c;
    }
    left = right;
  }
  return -1;
}

int RowAt(const CSheet& sheet, const GridViewport& view, int y, int grip, bool& onEdge) {
  onEdge = false;
  int top = view.CellsTop();
  for (int r = view.topRow; r < sheet.RowCount() && top < view.CellsBottom(); ++r) {
    int bottom = top + sheet.RowHeight(r);
    if (grip > 0 && std::abs(y - bottom) <= grip) {
      onEdge = true;
      return r;
    }
    if (y >= top && y < bottom) {
      if (grip > 0 && r > view.topRow && y - top <= grip) {
        onEdge = true;
        return r - 1;
      }
      return r;
    }
    top = bottom;
  }
  return -1;
}

}  // namespace

GridHit HitTest(const CSheet& sheet, const GridViewport& view, const TabStrip& tabs, int x, int y) {
  GridHit hit;
  if (x < 0 || y < 0 || x >= view.width || y >= view.height) return hit;
  const GridGeometry& g = view.geometry;
  if (y >= view.CellsBottom()) {
    if (x < g.tabArrowWidth) {
      hit.part = GridPart::kTabArrowLeft;
    } else if (x < 2 * g.tabArrowWidth) {
      hit.part = GridPart::kTabArrowRight;
    } else {
      hit.part = GridPart::kTabBar;
      std::vector<PixelRect> places = tabs.Places(view);
      for (size_t i = 0; i < places.size(); ++i)
        if (!places[i].Empty() && x >= places[i].left && x < places[i].right) {
          hit.part = GridPart::kTab;
          hit.tab = static_cast<int>(i);
        }
    }
    return hit;
  }
  bool edge = false;
  if (y < view.CellsTop()) {
    if (x < view.CellsLeft()) {
      hit.part = GridPart::kCorner;
      return hit;
    }
    hit.column = ColumnAt(sheet, view, x, g.edgeGrip, edge);
    if (hit.column >= 0) hit.part = edge ? GridPart::kColumnEdge : GridPart::kColumnHeader;
    return hit;
  }
  if (x < view.CellsLeft()) {
    hit.row = RowAt(sheet, view, y, g.edgeGrip, edge);
    if (hit.row >= 0) hit.part = edge ? GridPart::kRowEdge : GridPart::kRowHeader;
    return hit;
  }
  int column = ColumnAt(sheet, view, x, 0, edge);
  int row = RowAt(sheet, view, y, 0, edge);
  if (column < 0 || row < 0) return hit;
  CellRect span = CellSpan(sheet, row, column);
  hit.part = GridPart::kCell;
  hit.row = span.top;
  hit.column = span.left;
  return hit;
}

// ---- selection -------------------------------------------------------------------------------

CellRect GridSelection::Rect(const CSheet& sheet) const {
  CellRect r{std::min(anchor.row, focus.row), std::min(anchor.column, focus.column),
             std::max(anchor.row, focus.row), std::max(anchor.column, focus.column)};
  // Grow until no merged area sticks out; each round can only add cells.
  for (bool grown = true; grown;) {
    grown = false;
    for (const MergeArea& m : sheet.Merges()) {
      CellRect area = m.Rect();
      if (!area.Intersects(r)) continue;
      CellRect u{std::min(r.top, area.top), std::min(r.left, area.left), std::max(r.bottom, area.bottom),
                 std::max(r.right, area.right)};
      if (!(u == r)) {
        r = u;
        grown = true;
      }
    }
  }
  return r;
}

namespace {

bool Filled(const CSheet& sheet, int r, int c) {
  const CSheetCell* cell = sheet.StoredCell(r, c);
  return cell && cell->HasText();
}

// Ctrl+arrow along one line: from `at`, step by `step` within [0, last].
int JumpAlong(int at, int step, int last, const std::function<bool(int)>& filled) {
  int next = at + step;
  if (next < 0 || next > last) return at;
  if (filled(at) && filled(next)) {
    while (next + step >= 0 && next + step <= last && filled(next + step)) next += step;
    return next;
  }
  while (next >= 0 && next <= last && !filled(next)) next += step;
  return std::clamp(next, 0, last);
}

}  // namespace

CellPos MoveFocus(const CSheet& sheet, CellPos focus, GridKey key, KeyModifiers mods, int pageRows) {
  int lastRow = sheet.RowCount() - 1, lastColumn = sheet.ColumnCount() - 1;
  if (lastRow < 0 || lastColumn < 0) return focus;
  CellRect span = CellSpan(sheet, focus.row, focus.column);
  CellPos to = focus;
  auto rowFilled = [&](int c) { return Filled(sheet, focus.row, c); };
  auto columnFilled = [&](int r) { return Filled(sheet, r, focus.column); };
  switch (key) {
    case GridKey::kTab: key = mods.shift ? GridKey::kLeft : GridKey::kRight; break;
    case GridKey::kEnter: key = mods.shift ? GridKey::kUp : GridKey::kDown; break;
    default: break;
  }
  bool jump = mods.ctrl;
  switch (key) {
    case GridKey::kLeft:
      to.column = jump ? JumpAlong(focus.column, -1, lastColumn, rowFilled) : span.left - 1;
      break;
    case GridKey::kRight:
      to.column = jump ? JumpAlong(focus.column, 1, lastColumn, rowFilled) : span.right + 1;
      break;
    case GridKey::kUp: to.row = jump ? JumpAlong(focus.row, -1, lastRow, columnFilled) : span.top - 1; break;
    case GridKey::kDown:
      to.row = jump ? JumpAlong(focus.row, 1, lastRow, columnFilled) : span.bottom + 1;
      break;
    case GridKey::kHome:
      to.column = 0;
      if (jump) to.row = 0;
      break;
    case GridKey::kEnd:
      if (!jump) {
        to.column = lastColumn;
        break;
      }
      // Each row's cells are kept by column: its last cell with text is the only one
      // that counts, found from the row's end.
      to = CellPos{0, 0};
      for (const CSheet::Row& row : sheet.Rows())
        for (auto e = row.cells.rbegin(); e != row.cells.rend(); ++e)
          if (e->cell.HasText()) {
            to.row = std::max(to.row, row.index);
            to.column = std::max(to.column, e->column);
            break;
          }
      break;
    case GridKey::kPageUp: to.row = focus.row - std::max(pageRows, 1); break;
    case GridKey::kPageDown: to.row = focus.row + std::max(pageRows, 1); break;
    default: break;
  }
  to.row = std::clamp(to.row, 0, lastRow);
  to.column = std::clamp(to.column, 0, lastColumn);
  return to;
}

void MoveSelection(const CSheet& sheet, GridSelection& selection, GridKey key, KeyModifiers mods,
                   int pageRows) {
  if (sheet.RowCount() == 0 || sheet.ColumnCount() == 0) return;
  bool backwards = key == GridKey::kTab || key == GridKey::kEnter;
  bool extend = mods.shift && !backwards;
  CellPos to = MoveFocus(sheet, extend ? selection.focus : selection.anchor, key, mods, pageRows);
  if (extend)
    selection.focus = to;
  else
    selection.Set(to);
}

namespace {

// The first line to scroll to so that lines up to `last` end inside `room` pixels: the
// line that `from` becomes after moving down as little as needed, never past `first`
// (a span larger than the screen shows its start). Walks back from `last`, so it costs
// the lines that fit, not the distance scrolled.
template <class Size>
int FirstToShow(int from, int first, int last, int room, Size size) {
  int line = last + 1;
  for (int used = 0; line > from && used + size(line - 1) <= room; --line) used += size(line - 1);
  return std::min(line, first);
}

}  // namespace

void ScrollToShow(const CSheet& sheet, GridViewport& view, CellPos cell) {
  if (!sheet.InGrid(cell.row, cell.column)) return;
  CellRect span = CellSpan(sheet, cell.row, cell.column);
  if (span.top < view.topRow)
    view.topRow = span.top;
  else
    view.topRow = FirstToShow(view.topRow, span.top, span.bottom, view.CellsBottom() - view.CellsTop(),
                              [&](int r) { return sheet.RowHeight(r); });
  if (span.left < view.leftColumn)
    view.leftColumn = span.left;
  else
    view.leftColumn = FirstToShow(view.leftColumn, span.left, span.right, view.CellsRight() - view.CellsLeft(),
                                  [&](int c) { return sheet.ColumnWidth(c); });
}

std::string ColumnName(int column) {
  std::string name;
  for (int n = column + 1; n > 0; n = (n - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (n - 1) % 26));
  return name;
}

EditorKeyAction EditorKeyRule(EditorKey key, EditStart start, KeyModifiers mods, bool alt) {
  switch (key) {
    case EditorKey::kEnter:
      if (alt) return EditorKeyAction::kNewLine;
      return mods.shift ? EditorKeyAction::kStoreMoveUp : EditorKeyAction::kStoreMoveDown;
    case EditorKey::kTab:
      return mods.shift ? EditorKeyAction::kStoreMoveLeft : EditorKeyAction::kStoreMoveRight;
    case EditorKey::kEscape: return EditorKeyAction::kCancel;
    case EditorKey::kLeft:
    case EditorKey::kRight:
    case EditorKey::kUp:
    case EditorKey::kDown:
      return start == EditStart::kTyping ? EditorKeyAction::kStoreMoveArrow : EditorKeyAction::kPass;
    case EditorKey::kOther: break;
  }
  return EditorKeyAction::kPass;
}

}  // namespace vm::spreadsheet
