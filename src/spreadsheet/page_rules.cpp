#include "spreadsheet/page_rules.h"

#include <algorithm>
#include <cstdlib>

#include "common/recode.h"
#include "common/unread_file.h"
#include "platform/platform.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/workbook_xml.h"

namespace vm::spreadsheet {

DefaultFontSetting ReadDefaultFontSetting(const std::string& faceName, const std::string& height) {
  DefaultFontSetting s;
  s.faceName = faceName;
  if (s.faceName.empty()) {
    s.faceName = "Arial";
    s.rewriteName = true;
  }
  char* end = nullptr;
  long value = height.empty() ? 0 : std::strtol(height.c_str(), &end, 10);
  if (height.empty() || *end != '\0' || value < -72 || value > 72) {
    s.height = -12;
    s.rewriteHeight = true;
  } else {
    s.height = static_cast<int>(value);
  }
  return s;
}

FontDesc DefaultFontFrom(const DefaultFontSetting& setting) {
  FontDesc font;
  font.faceName = setting.faceName;
  font.height = setting.height;
  font.weight = 400;
  font.charSet = 204;
  return font;
}

void NewWorkbook(CWorkbook& workbook) {
  workbook.defaultWidth = 64;
  workbook.Clear();
  CSheet& sheet = workbook.Sheet(0);
  sheet.name = SheetNumberName(1);
  sheet.SetColumnCount(10);
  sheet.SetRowCount(100);
}

bool StoreTypedText(CSheet& sheet, CellPos at, const std::string& typed, const NumberLocale& locale) {
  if (!sheet.InGrid(at.row, at.column)) return false;
  const CSheetCell* stored = sheet.StoredCell(at.row, at.column);
  bool hasText = stored && stored->Has(kCellText);
  if (hasText ? typed == EditableText(sheet, at, locale) : typed.empty()) return false;
  std::string text = typed;
  std::optional<TypedNumber> number;
  if (!text.empty() && text[0] == '\'' && LooksLikeNumber(std::string_view(text).substr(1), locale))
    text.erase(0, 1);
  else
    number = ReadTypedNumber(text, locale);
  const CSheetCell* column = sheet.ColumnFormat(at.column);
  const CSheetCell* row = sheet.RowFormat(at.row);
  bool aligned = (stored && stored->Has(kCellAlign)) || (column && column->Has(kCellAlign)) ||
                 (!stored && row && row->Has(kCellAlign));
  CSheetCell* cell = sheet.CellForEdit(at.row, at.column);
  if (!cell) return false;
  cell->SetText(text);
  if (number) {
    cell->kind = kKindNumber;
    cell->value = number->value;
    cell->decimals = number->decimals;
    cell->numberFormat = DecimalsFormat(number->decimals, number->grouped);
    cell->mask |= kCellKind | kCellDecimals | kCellNumberFormat;
    cell->mask &= ~uint32_t{kCellRawNumbers};
    if (!aligned) {
      cell->align = kAlignRight | kAlignBottom;
      cell->mask |= kCellAlign;
    }
  }
  if (text.find_first_of("\r\n") != std::string::npos) {
    cell->SetWrap(true);
    // The row grows to show every line; a merged area keeps its rows as they are.
    if (!sheet.MergeAt(at.row, at.column)) {
      const FontDesc* font = EffectiveFormat(sheet, at.row, at.column).font;
      int lines = 1;
      for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) ++lines;
      int line = (std::abs(font ? font->height : FontDesc{}.height) * 6 + 4) / 5;
      int need = std::min(lines * line + 3, 409 * 4 / 3);  // a row holds at most 409 points
      if (sheet.RowHeight(at.row) < need) sheet.SetRowHeight(at.row, need);
    }
  }
  return true;
}

std::string EditableText(const CSheet& sheet, CellPos at, const NumberLocale& locale) {
  const CSheetCell* cell = sheet.StoredCell(at.row, at.column);
  if (!cell || !cell->Has(kCellText)) return std::string();
  if (cell->kind == kKindNumber || cell->kind == kKindCurrency) {
    CSheetCell shown = EffectiveFormat(sheet, at.row, at.column);
    std::string candidates[] = {cell->kind == kKindNumber ? ShownText(shown, locale) : std::string(),
                                LocalNumberText(cell->value, -1, false, locale)};
    for (const std::string& text : candidates) {
      std::optional<TypedNumber> again = ReadTypedNumber(text, locale);
      if (again && again->value == cell->value) return text;
    }
    return FileNumberText(cell->value);
  }
  if (cell->kind == kKindText && LooksLikeNumber(cell->text, locale)) return "'" + cell->text;
  return cell->text;
}

std::string BakCopyPath(const std::string& programFolder, const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return programFolder + "Temp\\" + name + ".bak";
}

bool MakeBakCopy(const std::string& programFolder, const std::string& path) {
  std::string copy = BakCopyPath(programFolder, path);
  if (platform::FileExists(copy)) return true;
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return false;
  std::string temp = programFolder + "Temp";
  if (!platform::DirExists(temp)) platform::MakeDir(temp);
  return platform::WriteFileBytes(copy, bytes);
}

OpenedWorkbook OpenWorkbookFile(CWorkbook& workbook, const std::string& programFolder, const std::string& path) {
  OpenedWorkbook opened;
  if (ReadWorkbook(workbook, path)) {
    opened.current = path;
    return opened;
  }
  opened.unread = path;
  std::string bytes;
  std::string why = platform::ReadFileBytes(path, bytes) ? "в нём нет книги в формате XML" : kFileNotReadable;
  if (MakeBakCopy(programFolder, path)) why += ";\nего копия: " + BakCopyPath(programFolder, path);
  opened.message = UnreadFileMessage(path, why);
  return opened;
}

namespace {

bool StyleOf(const FontDesc& font, FontStyle style) {
  switch (style) {
    case FontStyle::kBold: return font.weight != 400;
    case FontStyle::kItalic: return font.italic;
    case FontStyle::kUnderline: return font.underline;
  }
  return false;
}

}  // namespace

bool CellHasStyle(const CSheet& sheet, CellPos at, FontStyle style) {
  CSheetCell cell = EffectiveFormat(sheet, at.row, at.column);
  return cell.font && StyleOf(*cell.font, style);
}

bool ToggleFontStyle(CWorkbook& workbook, CSheet& sheet, const CellRect& selection, CellPos current,
                     FontStyle style) {
  bool on = !CellHasStyle(sheet, current, style);
  for (int r = selection.top; r <= selection.bottom; ++r) {
    for (int c = selection.left; c <= selection.right; ++c) {
      if (!sheet.InGrid(r, c)) continue;
      CSheetCell shown = EffectiveFormat(sheet, r, c);
      FontDesc font = shown.font ? *shown.font : FontDesc{};
      switch (style) {
        case FontStyle::kBold: font.weight = on ? 700 : 400; break;
        case FontStyle::kItalic: font.italic = on; break;
        case FontStyle::kUnderline: font.underline = on; break;
      }
      CSheetCell* cell = sheet.CellForEdit(r, c);
      cell->font = workbook.Fonts().Intern(font);
      cell->mask |= kCellFont;
    }
  }
  return on;
}

std::string RefreshPath(const std::string& programFolder, const std::string& currentFile) {
  return currentFile.empty() ? programFolder + "Temp\\Temp.xml" : currentFile;
}

AutoSaveOutcome SaveIfChanged(const CWorkbook& workbook, const std::string& path, bool changed) {
  if (!changed || path.empty()) return AutoSaveOutcome::kNotDue;
  return WriteWorkbook(workbook, path) ? AutoSaveOutcome::kWritten : AutoSaveOutcome::kFailed;
}

bool RefreshWorkbook(CWorkbook& workbook, const std::string& file, bool deleteAfter) {
  std::string bytes = WorkbookText(workbook);
  if (deleteAfter) {
    std::string folder = file.substr(0, file.find_last_of('\\'));
    if (!folder.empty() && !platform::DirExists(folder)) platform::MakeDir(folder);
  }
  if (!WriteWorkbook(workbook, file)) return false;
  int current = workbook.Current();
  bool ok = ReadWorkbook(workbook, file);
  if (!ok) ReadWorkbookBytes(workbook, bytes);
  workbook.SetCurrent(current);
  if (deleteAfter) platform::RemoveFile(file);
  return ok;
}

namespace {

std::optional<long> ReadCount(const std::string& text) {
  size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
  if (first == std::string::npos) return 0L;
  long value = 0;
  for (size_t i = first; i <= last; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = std::min<long>(value * 10 + (text[i] - '0'), kMaxRows);
  }
  return value;
}

}  // namespace

std::optional<AddCounts> ReadAddCounts(const CSheet& sheet, const std::string& columns, const std::string& rows) {
  std::optional<long> c = ReadCount(columns), r = ReadCount(rows);
  if (!c || !r) return std::nullopt;
  AddCounts counts;
  counts.columns = static_cast<int>(std::min<long>(*c, kMaxColumns - sheet.ColumnCount()));
  counts.rows = static_cast<int>(std::min<long>(*r, kMaxRows - sheet.RowCount()));
  return counts;
}

bool AddColumnsAndRows(CSheet& sheet, const AddCounts& counts) {
  bool any = false;
  for (int i = 0; i < counts.columns && sheet.AppendColumn(); ++i) any = true;
  if (counts.rows > 0 && sheet.RowCount() < kMaxRows) {
    sheet.SetRowCount(std::min(kMaxRows, sheet.RowCount() + counts.rows));
    any = true;
  }
  return any;
}

std::string SheetUtf8ToWindows(CSheet& sheet) {
  std::string message;
  auto convert = [&](std::string& text) {
    if (text.empty()) return;
    RecodeOutcome out = Utf8ToWindows(text);
    if (out.ok)
      text = out.text;
    else if (message.empty())
      message = out.message;
  };
  convert(sheet.name);
  for (int r = 0; r < sheet.RowCount(); ++r) {
    for (int c = 0; c < sheet.ColumnCount(); ++c) {
      const CSheetCell* stored = sheet.StoredCell(r, c);
      if (!stored || !stored->Has(kCellText) || stored->text.empty()) continue;
      convert(sheet.CellForEdit(r, c)->text);
    }
  }
  return message;
}

}  // namespace vm::spreadsheet
