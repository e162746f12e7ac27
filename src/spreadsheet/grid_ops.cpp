#include "spreadsheet/grid_ops.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/text_util.h"

namespace vm::spreadsheet {

const char* const kNothingFoundText = "Ничего не найдено";
const char* const kFindTitle = "Поиск";

namespace {

// The selection clipped to the sheet; empty when nothing of it lies inside.
CellRect Clip(const CSheet& sheet, const CellRect& r) {
  CellRect c{std::max(r.top, 0), std::max(r.left, 0), std::min(r.bottom, sheet.RowCount() - 1),
             std::min(r.right, sheet.ColumnCount() - 1)};
  return c;
}

template <typename F>
void ForEachCell(CSheet& sheet, const CellRect& selection, F f) {
  CellRect r = Clip(sheet, selection);
  if (r.Empty()) return;
  for (int row = r.top; row <= r.bottom; ++row)
    for (int col = r.left; col <= r.right; ++col) f(*sheet.CellForEdit(row, col));
}

void TakeMissing(CSheetCell& cell, const CSheetCell& from) {
  uint32_t missing = from.mask & ~cell.mask & ~uint32_t{kCellText | kCellMerge};
  if (!missing) return;
  if (missing & kCellNumberFormat) cell.numberFormat = from.numberFormat;
  if (missing & kCellKind) cell.kind = from.kind;
  if (missing & kCellTextColor) cell.textColor = from.textColor;
  if (missing & kCellFillColor) cell.fillColor = from.fillColor;
  if (missing & kCellSelTextColor) cell.selTextColor = from.selTextColor;
  if (missing & kCellSelFillColor) cell.selFillColor = from.selFillColor;
  if (missing & kCellPen) cell.pen = from.pen;
  if (missing & kCellFont) cell.font = from.font;
  if (missing & kCellAlign) cell.align = from.align;
  if (missing & kCellEditKind) cell.editKind = from.editKind;
  if (missing & kCellDecimals) cell.decimals = from.decimals;
  cell.mask |= missing;
}

std::string Flattened(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF: one blank
    out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
  }
  return out;
}

bool IsNumeric(int kind) { return kind == kKindNumber || kind == kKindBoolean || kind == kKindCurrency; }

size_t FindIn(std::string_view hay, std::string_view needle, size_t from, bool matchCase) {
  if (matchCase) return hay.find(needle, from);
  return FoldCase1251(hay).find(FoldCase1251(needle), from);
}

}  // namespace

CSheetCell EffectiveFormat(const CSheet& sheet, int r, int c) {
  CSheetCell cell = sheet.GetCell(r, c);
  if (const CSheetCell* column = sheet.ColumnFormat(c)) TakeMissing(cell, *column);
  TakeMissing(cell, sheet.DefaultFormat());
  return cell;
}

// ---- formats -------------------------------------------------------------------------------

void SetHorizontalAlignment(CSheet& sheet, const CellRect& selection, uint32_t horizontal) {
  CellRect r = Clip(sheet, selection);
  if (r.Empty()) return;
  for (int row = r.top; row <= r.bottom; ++row) {
    for (int col = r.left; col <= r.right; ++col) {
      uint32_t vertical = EffectiveFormat(sheet, row, col).align & kAlignVerticalMask;
      CSheetCell& cell = *sheet.CellForEdit(row, col);
      cell.align = (horizontal & kAlignHorizontalMask) | vertical;
      cell.mask |= kCellAlign;
    }
  }
}

void SetFont(CSheet& sheet, const CellRect& selection, const FontDesc* font) {
  ForEachCell(sheet, selection, [&](CSheetCell& cell) {
    cell.font = font;
    cell.mask |= kCellFont;
  });
}

void SetTextColor(CSheet& sheet, const CellRect& selection, Color color) {
  ForEachCell(sheet, selection, [&](CSheetCell& cell) {
    cell.textColor = color;
    cell.mask |= kCellTextColor;
  });
}

void SetFillColor(CSheet& sheet, const CellRect& selection, Color color) {
  ForEachCell(sheet, selection, [&](CSheetCell& cell) {
    cell.fillColor = color;
    cell.mask |= kCellFillColor;
  });
}

void DeleteSelectedRows(CSheet& sheet, const CellRect& selection) {
  CellRect r = Clip(sheet, selection);
  if (r.Empty()) return;
  for (int row = r.bottom; row >= r.top; --row) sheet.DeleteRow(row);
}

void DeleteSelectedColumns(CSheet& sheet, const CellRect& selection) {
  CellRect r = Clip(sheet, selection);
  if (r.Empty()) return;
  for (int col = r.right; col >= r.left; --col) sheet.DeleteColumn(col);
}

namespace {

// The joined texts without the separators empty cells leave at the end of each row and
// empty rows at the end: a title merged with the empty cells beside it stays the title.
std::string WithoutTrailingSeparators(const std::string& text) {
  std::string out;
  size_t kept = 0;  // out's length up to its last line that holds anything
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    line.erase(line.find_last_not_of('\t') + 1);
    if (at > 0) out += "\r\n";
    out += line;
    if (!line.empty()) kept = out.size();
    at = end + 2;
  }
  out.resize(kept);
  return out;
}

}  // namespace

bool MergeCells(CSheet& sheet, const CellRect& selection, bool joinTexts) {
  CellRect r = Clip(sheet, selection);
  std::string joined = joinTexts ? WithoutTrailingSeparators(CopyText(sheet, r)) : std::string();
  if (!sheet.Merge(r)) return false;
  if (joinTexts) sheet.CellForEdit(r.top, r.left)->SetText(joined);
  return true;
}

// ---- sorting -------------------------------------------------------------------------------

bool SortRows(CSheet& sheet, int column, SortOrder order, const NumberLocale& locale) {
  if (column < 0 || column >= sheet.ColumnCount() || sheet.RowCount() < 2) return false;
  for (const MergeArea& m : sheet.Merges())
    if (m.down > 0) return false;
  struct Key {
    int group;  // 0 numeric, 1 text, 2 no text
    double value;
    std::string text;
  };
  std::vector<Key> keys(static_cast<size_t>(sheet.RowCount()), Key{2, 0, {}});
  for (const CSheet::Row& row : sheet.Rows()) {
    const CSheetCell* cell = sheet.StoredCell(row.index, column);
    if (!cell) cell = row.format.get();
    if (!cell || !cell->HasText()) continue;
    Key& k = keys[static_cast<size_t>(row.index)];
    if (IsNumeric(cell->kind)) {
      k.group = 0;
      k.value = std::isnan(cell->value) ? 0 : cell->value;
    } else {
      k.group = 1;
      k.text = ShownText(*cell, locale);
    }
  }
  // Numbers before texts keeps the order total when a column mixes the two.
  auto less = [](const Key& a, const Key& b) {
    if (a.group != b.group) return a.group < b.group;
    if (a.group == 0) return a.value < b.value;
    if (a.group == 1) return a.text < b.text;  // std::string compares bytes unsigned
    return false;
  };
  std::vector<int> rows(keys.size());
  std::iota(rows.begin(), rows.end(), 0);
  std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
    const Key& ka = keys[static_cast<size_t>(a)];
    const Key& kb = keys[static_cast<size_t>(b)];
    // Rows without text stay below the others in both orders: swapping them too would
    // move a short list to the bottom of a sheet of empty rows.
    if ((ka.group == 2) != (kb.group == 2)) return kb.group == 2;
    return order == kSortDescending ? less(kb, ka) : less(ka, kb);
  });
  sheet.ReorderRows(rows);
  return true;
}

// ---- clipboard -----------------------------------------------------------------------------

std::string CopyText(const CSheet& sheet, const CellRect& selection) {
  CellRect r = Clip(sheet, selection);
  std::string out;
  if (r.Empty()) return out;
  // The stored rows and cells of the rectangle in their order, the separators of the
  // cells between them in runs: no search for each cell.
  const auto& rows = sheet.Rows();
  auto stored = std::lower_bound(rows.begin(), rows.end(), r.top,
                                 [](const CSheet::Row& row, int v) { return row.index < v; });
  for (int row = r.top; row <= r.bottom; ++row) {
    if (row > r.top) out += "\r\n";
    int col = r.left;
    if (stored != rows.end() && stored->index == row) {
      const auto& cells = stored->cells;
      auto e = std::lower_bound(cells.begin(), cells.end(), r.left,
                                [](const CSheet::CellEntry& entry, int v) { return entry.column < v; });
      for (; e != cells.end() && e->column <= r.right; ++e) {
        out.append(static_cast<size_t>(e->column - col), '\t');
        col = e->column;
        if (e->cell.HasText()) out += Flattened(e->cell.text);
      }
      ++stored;
    }
    out.append(static_cast<size_t>(r.right - col), '\t');
  }
  return out;
}

std::string CutCells(CSheet& sheet, const CellRect& selection) {
  std::string text = CopyText(sheet, selection);
  CellRect r = Clip(sheet, selection);
  if (r.Empty()) return text;
  for (int row = r.top; row <= r.bottom; ++row) {
    for (int col = r.left; col <= r.right; ++col) {
      const CSheetCell* stored = sheet.StoredCell(row, col);
      if (stored && stored->HasText() && !stored->Protected()) sheet.CellForEdit(row, col)->SetText({});
    }
  }
  return text;
}

void PasteText(CSheet& sheet, CellPos at, std::string_view text) {
  if (text.empty()) return;
  int row = at.row, col = at.column;
  size_t i = 0;
  while (i <= text.size()) {
    size_t end = text.find_first_of("\t\r\n", i);
    std::string_view piece = text.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i);
    bool lastPiece = end == std::string_view::npos;
    // The empty remainder after a closing line break is no piece.
    bool trailing = lastPiece && piece.empty() && i > 0 && (text[i - 1] == '\n' || text[i - 1] == '\r');
    if (!trailing && sheet.InGrid(row, col)) {
      const CSheetCell* stored = sheet.StoredCell(row, col);
      const CSheetCell* rowFormat = stored ? nullptr : sheet.RowFormat(row);
      bool isProtected = stored ? stored->Protected() : rowFormat && rowFormat->Protected();
      if (!isProtected && (!piece.empty() || (stored && stored->HasText()))) sheet.CellForEdit(row, col)->SetText(piece);
    }
    if (lastPiece) break;
    if (text[end] == '\t') {
      ++col;
      i = end + 1;
    } else {
      ++row;
      col = at.column;
      i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    if (row >= sheet.RowCount()) break;
  }
}

// ---- find and replace ----------------------------------------------------------------------

bool CellMatches(const CSheet& sheet, int r, int c, const FindOptions& options, const NumberLocale& locale) {
  if (options.what.empty()) return false;
  const CSheetCell* cell = sheet.StoredCell(r, c);
  if (!cell || !cell->HasText()) return false;
  std::string shown = ShownText(*cell, locale);
  if (options.wholeCell)
    return options.matchCase ? shown == options.what : FoldCase1251(shown) == FoldCase1251(options.what);
  return FindIn(shown, options.what, 0, options.matchCase) != std::string::npos;
}

bool FindCell(const CSheet& sheet, const FindOptions& options, const NumberLocale& locale, CellPos from,
              bool includeFrom, CellPos& found) {
  if (options.what.empty()) return false;
  // Only stored cells can hold text: walk them in order from the start position.
  auto visible = [&](int r, int c) {
    const MergeArea* m = sheet.MergeAt(r, c);
    return !m || (m->row == r && m->column == c);
  };
  auto after = [&](int r, int c) {
    if (r != from.row) return options.up ? r < from.row : r > from.row;
    if (!options.allColumns) return includeFrom && c == from.column;
    if (c == from.column) return includeFrom;
    return options.up ? c < from.column : c > from.column;
  };
  auto accept = [&](int r, int c) {
    if (!options.allColumns && c != from.column) return false;
    return after(r, c) && sheet.InGrid(r, c) && visible(r, c) && CellMatches(sheet, r, c, options, locale);
  };
  const auto& rows = sheet.Rows();
  if (!options.up) {
    auto it = std::lower_bound(rows.begin(), rows.end(), from.row,
                               [](const CSheet::Row& row, int v) { return row.index < v; });
    for (; it != rows.end(); ++it)
      for (const auto& e : it->cells)
        if (accept(it->index, e.column)) return found = {it->index, e.column}, true;
  } else {
    auto it = std::upper_bound(rows.begin(), rows.end(), from.row,
                               [](int v, const CSheet::Row& row) { return v < row.index; });
    while (it != rows.begin()) {
      --it;
      for (auto e = it->cells.rbegin(); e != it->cells.rend(); ++e)
        if (accept(it->index, e->column)) return found = {it->index, e->column}, true;
    }
  }
  return false;
}

bool ReplaceRefused(const FindOptions& options, std::string_view replacement) {
  if (options.what.empty()) return true;
  std::string what = options.matchCase ? options.what : FoldCase1251(options.what);
  std::string with = options.matchCase ? std::string(replacement) : FoldCase1251(replacement);
  if (what == with) return true;
  return !options.wholeCell && with.find(what) != std::string::npos;
}

bool ReplaceInCell(CSheet& sheet, CellPos at, const FindOptions& options, std::string_view replacement,
                   const NumberLocale& locale) {
  if (ReplaceRefused(options, replacement) || !CellMatches(sheet, at.row, at.column, options, locale)) return false;
  CSheetCell* cell = sheet.CellForEdit(at.row, at.column);
  if (cell->Protected()) return false;
  if (options.wholeCell) {
    cell->SetText(replacement);
    return true;
  }
  std::string shown = ShownText(*cell, locale);
  std::string result;
  size_t pos = 0;
  while (true) {
    size_t hit = FindIn(shown, options.what, pos, options.matchCase);
    if (hit == std::string::npos) break;
    result.append(shown, pos, hit - pos);
    result += replacement;
    pos = hit + options.what.size();
  }
  result.append(shown, pos, std::string::npos);
  cell->SetText(result);
  return true;
}

int ReplaceAll(CSheet& sheet, CellPos from, const FindOptions& options, std::string_view replacement,
               const NumberLocale& locale) {
  if (ReplaceRefused(options, replacement)) return 0;
  int count = 0;
  CellPos at = from;
  bool include = true;
  CellPos hit;
  while (FindCell(sheet, options, locale, at, include, hit)) {
    if (ReplaceInCell(sheet, hit, options, replacement, locale)) ++count;
    at = hit;
    include = false;
  }
  return count;
}

}  // namespace vm::spreadsheet
