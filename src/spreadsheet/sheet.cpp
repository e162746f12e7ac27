#include "spreadsheet/sheet.h"

#include <algorithm>
#include <functional>

namespace vm::spreadsheet {

namespace {

size_t FontHash(const FontDesc& f) {
  size_t h = std::hash<std::string>()(f.faceName);
  for (int v : {f.height, f.weight, f.charSet, f.pitchAndFamily, f.italic ? 1 : 0, f.underline ? 1 : 0})
    h = h * 1000003u ^ static_cast<size_t>(static_cast<unsigned>(v));
  return h;
}

// Merge areas are indexed by blocks of 64 rows x 16 columns.
uint32_t BlockKey(int r, int c) { return static_cast<uint32_t>(r >> 6) << 4 | static_cast<uint32_t>(c >> 4); }

}  // namespace

const FontDesc* FontTable::Intern(const FontDesc& font) {
  size_t h = FontHash(font);
  auto range = index_.equal_range(h);
  for (auto it = range.first; it != range.second; ++it)
    if (*it->second == font) return it->second;
  fonts_.push_back(std::make_unique<FontDesc>(font));
  index_.emplace(h, fonts_.back().get());
  return fonts_.back().get();
}

void CSheetCell::SetText(std::string_view newText) {
  text.assign(newText.data(), newText.size());
  kind = kKindText;
  mask &= ~uint32_t{kCellKind};
  if (text.empty())
    mask &= ~uint32_t{kCellText};
  else
    mask |= kCellText;
}

// ---- rows and columns ------------------------------------------------------------------

CSheet::Row* CSheet::FindRow(int r) {
  // A sheet filled from its top holds row r at r: no search for it.
  if (r >= 0 && static_cast<size_t>(r) < rows_.size() && rows_[static_cast<size_t>(r)].index == r)
    return &rows_[static_cast<size_t>(r)];
  auto it = std::lower_bound(rows_.begin(), rows_.end(), r, [](const Row& row, int v) { return row.index < v; });
  return it != rows_.end() && it->index == r ? &*it : nullptr;
}

const CSheet::Row* CSheet::FindRow(int r) const { return const_cast<CSheet*>(this)->FindRow(r); }

CSheet::Row& CSheet::RowForEdit(int r) {
  if (rows_.empty() || rows_.back().index < r) {
    rows_.emplace_back();
    rows_.back().index = r;
    return rows_.back();
  }
  auto it = std::lower_bound(rows_.begin(), rows_.end(), r, [](const Row& row, int v) { return row.index < v; });
  if (it != rows_.end() && it->index == r) return *it;
  it = rows_.insert(it, Row{});
  it->index = r;
  return *it;
}

void CSheet::SetRowCount(int rows) {
  rows = std::clamp(rows, 0, kMaxRows);
  if (rows < rowCount_) {
    auto cut = std::lower_bound(rows_.begin(), rows_.end(), rows, [](const Row& row, int v) { return row.index < v; });
    rows_.erase(cut, rows_.end());
  }
  rowCount_ = rows;
  ClipMerges();
}

void CSheet::SetColumnCount(int columns) {
  columns = std::clamp(columns, 0, kMaxColumns);
  if (columns < ColumnCount()) {
    for (Row& row : rows_) {
      auto cut = std::lower_bound(row.cells.begin(), row.cells.end(), columns,
                                  [](const CellEntry& e, int v) { return e.column < v; });
      row.cells.erase(cut, row.cells.end());
    }
  }
  columns_.resize(static_cast<size_t>(columns));
  ClipMerges();
}

int CSheet::ColumnWidth(int c) const {
  if (c < 0 || c >= ColumnCount() || columns_[static_cast<size_t>(c)].width < 0) return defaultWidth_;
  return columns_[static_cast<size_t>(c)].width;
}

int CSheet::RowHeight(int r) const {
  const Row* row = FindRow(r);
  return row && row->height >= 0 ? row->height : defaultHeight_;
}

void CSheet::SetColumnWidth(int c, int width) {
  if (c >= 0 && c < ColumnCount()) columns_[static_cast<size_t>(c)].width = std::max(width, 0);
}

void CSheet::SetRowHeight(int r, int height) {
  if (r >= 0 && r < rowCount_) RowForEdit(r).height = std::max(height, 0);
}

const CSheetCell* CSheet::ColumnFormat(int c) const {
  return c >= 0 && c < ColumnCount() ? columns_[static_cast<size_t>(c)].format.get() : nullptr;
}

CSheetCell* CSheet::ColumnFormatForEdit(int c) {
  if (c < 0 || c >= ColumnCount()) return nullptr;
  auto& format = columns_[static_cast<size_t>(c)].format;
  if (!format) format = std::make_unique<CSheetCell>();
  return format.get();
}

const CSheetCell* CSheet::RowFormat(int r) const {
  const Row* row = FindRow(r);
  return row ? row->format.get() : nullptr;
}

CSheetCell* CSheet::RowFormatForEdit(int r) {
  if (r < 0 || r >= rowCount_) return nullptr;
  Row& row = RowForEdit(r);
  if (!row.format) row.format = std::make_unique<CSheetCell>();
  return row.format.get();
}

// ---- cells -------------------------------------------------------------------------------

const CSheetCell* CSheet::StoredCell(int r, int c) const {
  const Row* row = FindRow(r);
  if (!row) return nullptr;
  if (c >= 0 && static_cast<size_t>(c) < row->cells.size() && row->cells[static_cast<size_t>(c)].column == c)
    return &row->cells[static_cast<size_t>(c)].cell;
  auto it = std::lower_bound(row->cells.begin(), row->cells.end(), c,
                             [](const CellEntry& e, int v) { return e.column < v; });
  return it != row->cells.end() && it->column == c ? &it->cell : nullptr;
}

CSheetCell CSheet::GetCell(int r, int c) const {
  CSheetCell cell;
  if (const CSheetCell* stored = StoredCell(r, c))
    cell = *stored;
  else if (const CSheetCell* format = RowFormat(r))
    cell = *format;
  cell.merge = MergeState{};
  cell.mask &= ~uint32_t{kCellMerge};
  if (const MergeArea* area = MergeAt(r, c)) {
    cell.mask |= kCellMerge;
    cell.merge.merged = true;
    cell.merge.topLeft = area->row == r && area->column == c;
    cell.merge.across = area->across;
    cell.merge.down = area->down;
    cell.merge.firstRow = area->row;
    cell.merge.firstColumn = area->column;
  }
  return cell;
}

CSheetCell* CSheet::CellForEdit(int r, int c) {
  if (!InGrid(r, c)) return nullptr;
  Row& row = RowForEdit(r);
  auto& cells = row.cells;
  if (cells.empty() || cells.back().column < c) {
    cells.push_back({c, row.format ? *row.format : CSheetCell{}});
    return &cells.back().cell;
  }
  auto it = std::lower_bound(cells.begin(), cells.end(), c, [](const CellEntry& e, int v) { return e.column < v; });
  if (it != cells.end() && it->column == c) return &it->cell;
  it = cells.insert(it, {c, row.format ? *row.format : CSheetCell{}});
  return &it->cell;
}

bool CSheet::SetCell(int r, int c, const CSheetCell& cell) {
  CSheetCell* target = CellForEdit(r, c);
  if (!target) return false;
  *target = cell;
  target->merge = MergeState{};
  target->mask &= ~uint32_t{kCellMerge};
  return true;
}

// ---- merged areas ------------------------------------------------------------------------

void CSheet::BuildMergeIndex() const {
  mergeIndex_.clear();
  for (size_t i = 0; i < merges_.size(); ++i) {
    CellRect rect = merges_[i].Rect();
    for (int rb = rect.top >> 6; rb <= rect.bottom >> 6; ++rb)
      for (int cb = rect.left >> 4; cb <= rect.right >> 4; ++cb)
        mergeIndex_[BlockKey(rb << 6, cb << 4)].push_back(static_cast<int>(i));
  }
  mergeIndexValid_ = true;
}

const MergeArea* CSheet::MergeAt(int r, int c) const {
  if (merges_.empty() || r < 0 || c < 0) return nullptr;
  if (!mergeIndexValid_) BuildMergeIndex();
  auto it = mergeIndex_.find(BlockKey(r, c));
  if (it == mergeIndex_.end()) return nullptr;
  for (int i : it->second)
    if (merges_[static_cast<size_t>(i)].Rect().Contains(r, c)) return &merges_[static_cast<size_t>(i)];
  return nullptr;
}

bool CSheet::Merge(const CellRect& wanted) {
  CellRect area = wanted;
  area.top = std::max(area.top, 0);
  area.left = std::max(area.left, 0);
  area.bottom = std::min(area.bottom, rowCount_ - 1);
  area.right = std::min(area.right, ColumnCount() - 1);
  if (area.Empty() || (area.top == area.bottom && area.left == area.right)) return false;
  std::erase_if(merges_, [&](const MergeArea& m) { return m.Rect().Intersects(area); });
  merges_.push_back({area.top, area.left, area.right - area.left, area.bottom - area.top});
  MergesChanged();
  return true;
}

bool CSheet::Unmerge(int r, int c) {
  const MergeArea* area = MergeAt(r, c);
  if (!area) return false;
  merges_.erase(merges_.begin() + (area - merges_.data()));
  MergesChanged();
  return true;
}

void CSheet::ClipMerges() {
  bool changed = false;
  for (MergeArea& m : merges_) {
    int across = std::min(m.across, ColumnCount() - 1 - m.column);
    int down = std::min(m.down, rowCount_ - 1 - m.row);
    if (across != m.across || down != m.down) {
      m.across = across;
      m.down = down;
      changed = true;
    }
  }
  size_t before = merges_.size();
  std::erase_if(merges_, [](const MergeArea& m) { return m.across < 0 || m.down < 0 || (m.across == 0 && m.down == 0); });
  if (changed || before != merges_.size()) MergesChanged();
}

// ---- inserting and deleting ------------------------------------------------------------

bool CSheet::AppendRow() {
  if (rowCount_ >= kMaxRows) return false;
  ++rowCount_;
  return true;
}

bool CSheet::AppendColumn() {
  if (ColumnCount() >= kMaxColumns) return false;
  columns_.emplace_back();
  return true;
}

bool CSheet::InsertRow(int r) {
  if (r < 0 || r > rowCount_ || rowCount_ >= kMaxRows) return false;
  for (Row& row : rows_)
    if (row.index >= r) ++row.index;
  ++rowCount_;
  // An area grows when the new row falls inside it, and moves when it lies below.
  for (MergeArea& m : merges_) {
    if (m.row >= r)
      ++m.row;
    else if (m.row + m.down >= r)
      ++m.down;
  }
  MergesChanged();
  return true;
}

bool CSheet::InsertColumn(int c) {
  if (c < 0 || c > ColumnCount() || ColumnCount() >= kMaxColumns) return false;
  columns_.insert(columns_.begin() + c, Column{});
  for (Row& row : rows_)
    for (CellEntry& e : row.cells)
      if (e.column >= c) ++e.column;
  for (MergeArea& m : merges_) {
    if (m.column >= c)
      ++m.column;
    else if (m.column + m.across >= c)
      ++m.across;
  }
  MergesChanged();
  return true;
}

bool CSheet::DeleteRow(int r) {
  if (r < 0 || r >= rowCount_) return false;
  std::erase_if(rows_, [r](const Row& row) { return row.index == r; });
  for (Row& row : rows_)
    if (row.index > r) --row.index;
  --rowCount_;
  for (MergeArea& m : merges_) {
    if (m.row > r)
      --m.row;
    else if (m.row + m.down >= r)
      --m.down;  // the area loses the row (a deleted top row hands the area to the next)
  }
  ClipMerges();
  MergesChanged();
  return true;
}

bool CSheet::DeleteColumn(int c) {
  if (c < 0 || c >= ColumnCount()) return false;
  columns_.erase(columns_.begin() + c);
  for (Row& row : rows_) {
    std::erase_if(row.cells, [c](const CellEntry& e) { return e.column == c; });
    for (CellEntry& e : row.cells)
      if (e.column > c) --e.column;
  }
  for (MergeArea& m : merges_) {
    if (m.column > c)
      --m.column;
    else if (m.column + m.across >= c)
      --m.across;
  }
  ClipMerges();
  MergesChanged();
  return true;
}

void CSheet::ReorderRows(const std::vector<int>& order) {
  std::vector<int> destination(static_cast<size_t>(rowCount_), -1);
  for (size_t i = 0; i < order.size() && i < destination.size(); ++i)
    if (order[i] >= 0 && order[i] < rowCount_) destination[static_cast<size_t>(order[i])] = static_cast<int>(i);
  for (Row& row : rows_)
    if (destination[static_cast<size_t>(row.index)] >= 0) row.index = destination[static_cast<size_t>(row.index)];
  std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.index < b.index; });
  for (MergeArea& m : merges_)
    if (m.down == 0 && destination[static_cast<size_t>(m.row)] >= 0) m.row = destination[static_cast<size_t>(m.row)];
  MergesChanged();
}

void CSheet::Clear() {
  rowCount_ = 0;
  columns_.clear();
  rows_.clear();
  merges_.clear();
  MergesChanged();
}

}  // namespace vm::spreadsheet
