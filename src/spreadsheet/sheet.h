// The grid model: cells with their attribute masks, shared fonts, and one sheet's grid
// with its sizes, default formats and merged areas.
//
// A sheet stores only what has been set: rows and cells are kept sparsely, a row may
// carry a format that its cells start from (how a workbook row's style reaches every
// cell of the row without making 256 cells for it), and merged areas are rectangles
// rather than marks on every covered cell. So a grid of the workbook format's full
// 65 536 x 256 cells costs nothing until its cells are filled.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vm::spreadsheet {

constexpr int kMaxRows = 65536;
constexpr int kMaxColumns = 256;

// An RGB colour as the screen takes it: red in the low byte, blue in the high one.
using Color = uint32_t;
constexpr Color Rgb(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}

// The family in the high nibble of FontDesc::pitchAndFamily.
enum FontFamily : int {
  kFamilyDontCare = 0x00,
  kFamilyRoman = 0x10,
  kFamilySwiss = 0x20,
  kFamilyModern = 0x30,
  kFamilyScript = 0x40,
  kFamilyDecorative = 0x50,
};

struct FontDesc {
  std::string faceName = "Arial";
  int height = -12;  // pixels; negative: the character height
  int weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  int charSet = 204;  // Russian
  int pitchAndFamily = 0;
  friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

// The workbook's shared fonts: every distinct description once; cells point into it and
// the pointers stay valid as long as the table.
class FontTable {
 public:
  FontTable() = default;
  FontTable(const FontTable&) = delete;
  FontTable& operator=(const FontTable&) = delete;

  const FontDesc* Intern(const FontDesc& font);
  size_t Size() const { return fonts_.size(); }

 private:
  std::vector<std::unique_ptr<FontDesc>> fonts_;
  std::unordered_multimap<size_t, const FontDesc*> index_;
};

// Bits of CSheetCell::mask: which fields the cell sets itself.
enum CellAttribute : uint32_t {
  kCellText = 0x1,
  kCellNumberFormat = 0x4,
  kCellKind = 0x8,
  kCellTextColor = 0x80,
  kCellFillColor = 0x100,
  kCellSelTextColor = 0x200,
  kCellSelFillColor = 0x400,
  kCellPen = 0x1000,
  kCellFont = 0x2000,
  kCellAlign = 0x8000,
  kCellMerge = 0x20000,
  kCellEditKind = 0x1000000,
  kCellDecimals = 0x2000000,
  kCellRawNumbers = 0x4000000,  // numbers shown without the locale's grouping
  kCellWrap = 0x80000000,       // the text may hold line breaks and is drawn on several lines
};

enum CellKind : int {
  kKindText = 1,
  kKindNumber = 2,
  kKindBoolean = 3,
  kKindDateTime = 4,
  kKindCurrency = 5,
};

enum Alignment : uint32_t {
  kAlignLeft = 0x1,
  kAlignRight = 0x2,
  kAlignCenter = 0x4,
  kAlignTop = 0x8,
  kAlignBottom = 0x10,
  kAlignMiddle = 0x20,
  kAlignHorizontalMask = 0x7,
  kAlignVerticalMask = 0x38,
};

constexpr int kEditProtected = 1;

struct GridPen {
  int width = 1;
  Color color = Rgb(157, 161, 161);
  friend bool operator==(const GridPen&, const GridPen&) = default;
};

struct MergeState {
  bool merged = false;   // the cell belongs to a merged area
  bool topLeft = false;  // and is its top-left cell, which carries the content
  int across = 0;        // the area's extent beyond its first column
  int down = 0;          // and beyond its first row
  int firstRow = 0, firstColumn = 0;
};

// One cell, or a format (a sheet's default, a column's, a row's, the header cells').
struct CSheetCell {
  uint32_t mask = 0;
  std::string text;
  double value = 0;  // for numeric kinds; a date that could not be read is NaN
  std::string numberFormat;
  int kind = kKindText;
  Color textColor = 0, fillColor = 0, selTextColor = 0, selFillColor = 0;
  GridPen pen;
  const FontDesc* font = nullptr;
  uint32_t align = 0;
  MergeState merge;
  int editKind = 0;
  int decimals = 0;

  bool Has(uint32_t bits) const { return (mask & bits) != 0; }
  bool HasText() const { return Has(kCellText) && !text.empty(); }
  bool Protected() const { return Has(kCellEditKind) && editKind == kEditProtected; }
  bool Wraps() const { return Has(kCellWrap); }
  // Makes the cell a text cell with this text; an empty text clears the text flag.
  void SetText(std::string_view newText);
  void SetWrap(bool on) { mask = on ? mask | kCellWrap : mask & ~uint32_t{kCellWrap}; }
};

struct CellPos {
  int row = 0, column = 0;
  friend bool operator==(const CellPos&, const CellPos&) = default;
};

// Rows top..bottom and columns left..right, inclusive.
struct CellRect {
  int top = 0, left = 0, bottom = -1, right = -1;
  bool Empty() const { return bottom < top || right < left; }
  bool Contains(int r, int c) const { return r >= top && r <= bottom && c >= left && c <= right; }
  bool Intersects(const CellRect& o) const {
    return !Empty() && !o.Empty() && top <= o.bottom && o.top <= bottom && left <= o.right && o.left <= right;
  }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

struct MergeArea {
  int row = 0, column = 0;  // the top-left cell
  int across = 0, down = 0;
  CellRect Rect() const { return {row, column, row + down, column + across}; }
  friend bool operator==(const MergeArea&, const MergeArea&) = default;
};

class CSheet {
 public:
  struct CellEntry {
    int column;
    CSheetCell cell;
  };
  struct Row {
    int index = 0;
    int height = -1;  // -1: the sheet's default
    std::vector<CellEntry> cells;  // by column
    std::unique_ptr<CSheetCell> format;
  };

  std::string name;

  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  // Clamped to the format's grid; cells, sizes, formats and merges beyond are dropped.
  void SetRowCount(int rows);
  void SetColumnCount(int columns);
  bool InGrid(int r, int c) const { return r >= 0 && c >= 0 && r < rowCount_ && c < ColumnCount(); }

  int DefaultWidth() const { return defaultWidth_; }
  int DefaultHeight() const { return defaultHeight_; }
  void SetDefaultWidth(int width) { defaultWidth_ = width; }
  void SetDefaultHeight(int height) { defaultHeight_ = height; }
  int ColumnWidth(int c) const;
  int RowHeight(int r) const;
  void SetColumnWidth(int c, int width);
  void SetRowHeight(int r, int height);

  CSheetCell& DefaultFormat() { return defaultFormat_; }
  const CSheetCell& DefaultFormat() const { return defaultFormat_; }
  CSheetCell& HeaderFormat() { return headerFormat_; }
  const CSheetCell& HeaderFormat() const { return headerFormat_; }
  // A column's or row's own default format, or null.
  const CSheetCell* ColumnFormat(int c) const;
  CSheetCell* ColumnFormatForEdit(int c);  // made when missing; null outside the grid
  const CSheetCell* RowFormat(int r) const;
  CSheetCell* RowFormatForEdit(int r);

  // A copy of the cell with its merge state; a cell never set is its row's format.
  CSheetCell GetCell(int r, int c) const;
  const CSheetCell* StoredCell(int r, int c) const;
  // The stored cell, made from its row's format when missing; null outside the grid.
  CSheetCell* CellForEdit(int r, int c);
  // Writes a cell back (its merge state is not taken: merges have their own calls).
  bool SetCell(int r, int c, const CSheetCell& cell);

  // Makes the rectangle (clipped to the grid) one merged area, dissolving the areas it
  // overlaps; false when it is a single cell.
  bool Merge(const CellRect& area);
  bool Unmerge(int r, int c);
  const MergeArea* MergeAt(int r, int c) const;
  const std::vector<MergeArea>& Merges() const { return merges_; }

  bool AppendRow();
  bool AppendColumn();
  bool InsertRow(int r);
  bool InsertColumn(int c);
  bool DeleteRow(int r);
  bool DeleteColumn(int c);
  // Reorders whole rows: row order[i] becomes row i (order holds 0..n-1 once each).
  void ReorderRows(const std::vector<int>& order);

  // Drops every row, column, cell, size and merge; keeps the name and default formats.
  void Clear();

  const std::vector<Row>& Rows() const { return rows_; }

 private:
  Row* FindRow(int r);
  const Row* FindRow(int r) const;
  Row& RowForEdit(int r);
  void MergesChanged() { mergeIndexValid_ = false; }
  void BuildMergeIndex() const;
  void ClipMerges();

  struct Column {
    int width = -1;
    std::unique_ptr<CSheetCell> format;
  };

  int rowCount_ = 0;
  std::vector<Column> columns_;
  std::vector<Row> rows_;  // by index, only rows that hold something
  int defaultWidth_ = 64;
  int defaultHeight_ = 17;
  CSheetCell defaultFormat_;
  CSheetCell headerFormat_;
  std::vector<MergeArea> merges_;  // never overlapping
  mutable std::unordered_map<uint32_t, std::vector<int>> mergeIndex_;
  mutable bool mergeIndexValid_ = false;
};

}  // namespace vm::spreadsheet
