#include "spreadsheet/workbook.h"

#include <algorithm>
#include <cstdio>

namespace vm::spreadsheet {

namespace {
constexpr int kNewSheetColumns = 10;
constexpr int kNewSheetRows = 100;
}  // namespace

std::string SheetNumberName(int number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Лист %i", number);
  return buf;
}

CWorkbook::CWorkbook() {
  defaultFormat_.mask = kCellFont | kCellPen;
  defaultFormat_.font = fonts_.Intern(FontDesc{});
  headerFormat_.mask = kCellFillColor | kCellSelFillColor;
  headerFormat_.fillColor = Rgb(239, 237, 222);
  headerFormat_.selFillColor = Rgb(162, 193, 248);
  Clear();
}

void CWorkbook::SetDefaultFont(const FontDesc& font) {
  defaultFormat_.font = fonts_.Intern(font);
  defaultFormat_.mask |= kCellFont;
}

void CWorkbook::SetCurrent(int i) { current_ = std::clamp(i, 0, SheetCount() - 1); }

void CWorkbook::ResetSheet(CSheet& sheet) const {
  sheet.Clear();
  sheet.DefaultFormat() = defaultFormat_;
  sheet.HeaderFormat() = headerFormat_;
  sheet.SetDefaultWidth(defaultWidth);
  sheet.SetDefaultHeight(defaultHeight);
}

CSheet& CWorkbook::AppendSheet() {
  sheets_.push_back(std::make_unique<CSheet>());
  ResetSheet(*sheets_.back());
  return *sheets_.back();
}

CSheet& CWorkbook::AddSheet() {
  int number = 1;
  auto taken = [&](int n) {
    std::string name = SheetNumberName(n);
    return std::any_of(sheets_.begin(), sheets_.end(), [&](const auto& s) { return s->name == name; });
  };
  while (taken(number)) ++number;
  CSheet& sheet = AppendSheet();
  sheet.name = SheetNumberName(number);
  sheet.SetColumnCount(kNewSheetColumns);
  sheet.SetRowCount(kNewSheetRows);
  current_ = SheetCount() - 1;
  return sheet;
}

bool CWorkbook::DeleteSheet(int i) {
  if (!CanDeleteSheet(i)) return false;
  if (SheetCount() == 1) {
    CSheet& only = Sheet(0);
    ResetSheet(only);
    only.SetColumnCount(kNewSheetColumns);
    only.SetRowCount(kNewSheetRows);
    return true;
  }
  sheets_.pop_back();
  if (current_ >= SheetCount()) current_ = SheetCount() - 1;
  return true;
}

void CWorkbook::Clear() {
  sheets_.clear();
  AppendSheet();
  current_ = 0;
}

}  // namespace vm::spreadsheet
