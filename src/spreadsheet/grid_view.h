// What the grid window shows and where: the scroll position, the pixel positions of
// columns and rows, which cells one screen holds, what lies under a point (cells with
// their merged areas, headers and their edges, sheet tabs), the selection and how the
// keyboard moves it, and the in-place editor's key rules. The window only draws what
// this computes and forwards the user's input to it.
#pragma once

#include <string>
#include <vector>

#include "spreadsheet/sheet.h"

namespace vm::spreadsheet {

// The fixed parts of the grid, in pixels.
struct GridGeometry {
  int headerWidth = 40;    // the row headers at the left
  int headerHeight = 18;   // the column headers at the top
  int tabBarHeight = 20;   // the sheet tabs at the bottom
  int tabArrowWidth = 16;  // each of the two arrows that scroll the tabs
  int edgeGrip = 3;        // how near a header edge the mouse resizes
};

// One screen of the grid: the client size, the scroll position (the first row and
// column after the headers) and the geometry.
struct GridViewport {
  int width = 0, height = 0;
  int topRow = 0, leftColumn = 0;
  GridGeometry geometry;

  // The area of the cells, right of the row headers, below the column headers and
  // above the tabs.
  int CellsLeft() const { return geometry.headerWidth; }
  int CellsTop() const { return geometry.headerHeight; }
  int CellsRight() const { return width; }
  int CellsBottom() const { return height - geometry.tabBarHeight; }
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The x of a column's left edge and the y of a row's top edge in client pixels; columns
// and rows before the scroll position lie to the left or above the cells' area.
int ColumnX(const CSheet& sheet, const GridViewport& view, int column);
int RowY(const CSheet& sheet, const GridViewport& view, int row);

// The selection's frame in client pixels: the edges of the rows and columns it covers,
// but an edge more than the frame's two pixels outside the cells' area is put just that
// far out, so a selection reaching far off screen costs only what lies on screen.
PixelRect SelectionFrame(const CSheet& sheet, const GridViewport& view, const CellRect& selected);

// The cells one screen shows, at least partly: from the scroll position to the last
// column and row that start inside the cells' area. Empty for a sheet without cells.
CellRect VisibleCells(const CSheet& sheet, const GridViewport& view);
// How many whole rows fit below the scroll position (at least 1), for Page Up/Down.
int RowsPerPage(const CSheet& sheet, const GridViewport& view);

// The merged area holding the cell, or the cell itself.
CellRect CellSpan(const CSheet& sheet, int row, int column);
// The client rectangle of the cell, or of its merged area as a whole.
PixelRect CellBounds(const CSheet& sheet, const GridViewport& view, int row, int column);

enum class GridPart {
  kNothing,
  kCorner,        // the header corner at the top left
  kCell,          // row, column: the cell, or the top-left cell of its merged area
  kColumnHeader,  // column
  kRowHeader,     // row
  kColumnEdge,    // column: the right edge of its header, to resize it
  kRowEdge,       // row: the bottom edge of its header
  kTab,           // tab: the sheet's index
  kTabArrowLeft,  // the arrows that scroll the tabs
  kTabArrowRight,
  kTabBar,  // the tab bar beside the tabs
};

struct GridHit {
  GridPart part = GridPart::kNothing;
  int row = -1, column = -1, tab = -1;
};

// The sheet tabs' places: each tab as wide as its name's text plus a margin (up to a
// limit, where a long name is cut short), laid out from the first tab shown, right of
// the two arrows.
struct TabStrip {
  std::vector<int> textWidths;  // one per sheet, in pixels
  int firstShown = 0;
  static constexpr int kMargin = 16;
  static constexpr int kMaxWidth = 160;
  // Client rectangles of the tabs from firstShown on; tabs before it are empty.
  std::vector<PixelRect> Places(const GridViewport& view) const;
  // A tab shown without its whole name: cut to the limit or by the window's edge. Such a
  // tab tells the name in a tooltip.
  bool Clipped(int tab, const GridViewport& view) const;
  // The first shown tab that keeps `tab` in view.
  int FirstShownFor(int tab, const GridViewport& view) const;
};

GridHit HitTest(const CSheet& sheet, const GridViewport& view, const TabStrip& tabs, int x, int y);

// ---- selection -------------------------------------------------------------------------------
// The anchor is the current cell, where the selection started; the focus is the corner
// Shift and the mouse extend it to. The rectangle between them grows to hold every
// merged area it cuts.
struct GridSelection {
  CellPos anchor, focus;
  CellRect Rect(const CSheet& sheet) const;
  void Set(CellPos at) { anchor = focus = at; }
};

enum class GridKey { kLeft, kRight, kUp, kDown, kHome, kEnd, kPageUp, kPageDown, kTab, kEnter };
struct KeyModifiers {
  bool shift = false, ctrl = false;
};

// The new focus cell for a key: arrows move by one cell, passing over merged areas as
// one; Ctrl+arrow goes to the edge of the block of filled cells (or the next filled cell,
// or the sheet's edge); Home to the row's first column (Ctrl: the first cell); End to the
// row's last column (Ctrl: the last cell that holds text); Page Up/Down by a screen of
// rows; Tab right (Shift+Tab left); Enter down (Shift+Enter up). Clamped to the sheet.
CellPos MoveFocus(const CSheet& sheet, CellPos focus, GridKey key, KeyModifiers mods, int pageRows);
// Applies a key to the selection: Shift moves the focus corner (but for Tab and Enter,
// where Shift means backwards); anything else moves the current cell and collapses the
// selection onto it. Nothing happens on an empty sheet.
void MoveSelection(const CSheet& sheet, GridSelection& selection, GridKey key, KeyModifiers mods,
                   int pageRows);
// A new scroll position that shows the cell (or as much of its merged area as fits),
// moving no further than needed.
void ScrollToShow(const CSheet& sheet, GridViewport& view, CellPos cell);

// The column header's text: A..Z, AA..AZ, BA.. as spreadsheets name columns.
std::string ColumnName(int column);

// ---- the in-place editor ---------------------------------------------------------------------
// How it started decides what the arrows do: typing over a cell makes them store the
// text and move on, as Enter does; F2 (or a double click) leaves them to the caret.
enum class EditStart { kTyping, kF2 };
enum class EditorKeyAction {
  kPass,            // the edit control takes the key
  kStoreMoveDown,   // Enter
  kStoreMoveUp,     // Shift+Enter
  kStoreMoveRight,  // Tab
  kStoreMoveLeft,   // Shift+Tab
  kStoreMoveArrow,  // an arrow while typing: store, then move as the arrow does
  kCancel,          // Esc
  kNewLine,         // Alt+Enter: a line break inside the cell
};
enum class EditorKey { kEnter, kTab, kEscape, kLeft, kRight, kUp, kDown, kOther };
EditorKeyAction EditorKeyRule(EditorKey key, EditStart start, KeyModifiers mods, bool alt);

}  // namespace vm::spreadsheet
