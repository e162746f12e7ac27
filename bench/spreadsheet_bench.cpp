// The spreadsheet core: parsing a 20 MB SpreadsheetML file with our document parser
// next to pugixml on the same bytes, reading and writing a workbook of 100 000 cells,
// keeping it for undo, and what the grid window computes to draw one screen.
//
// The ratios the grid must keep, each from one run:
//   BM_ScreenDrawList/65536/1 <= 2 x BM_ScreenDrawList/10/1: the same hundred cells cost
//   the same from either sheet (/0 compares a full screen of about a thousand cells with
//   the hundred a 10 x 10 sheet has, and grows with the cells shown, not the sheet);
//   BM_OpenAndFirstScreen100k <= 1.5 x BM_ReadWorkbook100k;
//   BM_UndoSnapshot100k <= BM_WriteWorkbook100k;
//   BM_JumpToLastRow/0 (the scroll to row 65 536) well under BM_ScreenDrawList/65536/0:
//   a jump costs the rows it shows, not the rows it passes; /1, the whole Ctrl+End
//   keystroke, under 10 x BM_ScreenDrawList/65536/0, most of it finding the last cell
//   with text among the sheet's stored rows.
//
// pugixml is linked only into this benchmark and only when the build says so with
// VELMORIA_BENCH_PUGIXML (Debian ships it as a library, not as header-only sources);
// without it its benchmark reports itself skipped.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/bench_support.h"
#include "platform/platform.h"
#include "spreadsheet/cell_text.h"
#include "spreadsheet/grid_layout.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/undo_history.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"

#ifdef VELMORIA_BENCH_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

using namespace vm::spreadsheet;

// A sheet of `rows` x 10 cells: texts with blanks and Cyrillic letters, numbers, a few
// styled cells, a merged area every 100 rows.
void Fill(CWorkbook& book, int rows) {
  CSheet& s = book.Sheet(0);
  s.name = "Данные";
  s.SetColumnCount(10);
  s.SetRowCount(rows);
  s.SetColumnWidth(0, 120);
  FontDesc bold;
  bold.weight = 700;
  const FontDesc* boldFont = book.Fonts().Intern(bold);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 10; ++c) {
      CSheetCell* cell = s.CellForEdit(r, c);
      if (c % 2 == 0) {
        cell->SetText("Строка " + std::to_string(r) + " столбец " + std::to_string(c));
      } else {
        cell->SetText(std::to_string(r * 10 + c) + ".25");
        ChangeKind(*cell, kKindNumber, book.locale);
      }
      if (c == 0 && r % 10 == 0) {
        cell->font = boldFont;
        cell->fillColor = Rgb(255, 255, 200);
        cell->mask |= kCellFont | kCellFillColor;
      }
    }
    if (r % 100 == 0 && r + 1 < rows) s.Merge({r, 8, r + 1, 9});
  }
}

// About 20 MB of SpreadsheetML as the program writes it.
const std::string& BigFile() {
  static const std::string text = [] {
    CWorkbook book;
    Fill(book, 16500);
    return WorkbookText(book);
  }();
  return text;
}

const std::string& HundredThousandCells() {
  static const std::string path = [] {
    CWorkbook book;
    Fill(book, 10000);
    std::string p = vm::bench::BenchFolder() + "cells.xml";
    WriteWorkbook(book, p);
    return p;
  }();
  return path;
}

void BM_ParseDocument(benchmark::State& state) {
  const std::string& text = BigFile();
  for (auto _ : state) {
    CXmlDocument doc;
    doc.Parse(text);
    benchmark::DoNotOptimize(doc.Root()->firstChild);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ParseDocument)->Unit(benchmark::kMillisecond);

void BM_ParsePugixml(benchmark::State& state) {
  const std::string& text = BigFile();
#ifdef VELMORIA_BENCH_PUGIXML
  for (auto _ : state) {
    pugi::xml_document doc;
    // The bytes are Windows-1251, which pugixml does not know; taken as UTF-8 they are
    // copied through unchanged, as our parser copies them.
    pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) state.SkipWithError(result.description());
    benchmark::DoNotOptimize(doc.first_child());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
#else
  for (auto _ : state) benchmark::DoNotOptimize(text.data());
  state.SkipWithError("pugixml is not linked into this benchmark (build with VELMORIA_BENCH_PUGIXML)");
#endif
}
BENCHMARK(BM_ParsePugixml)->Unit(benchmark::kMillisecond);

void BM_ReadWorkbook100k(benchmark::State& state) {
  const std::string& path = HundredThousandCells();
  for (auto _ : state) {
    CWorkbook book;
    ReadWorkbook(book, path);
    benchmark::DoNotOptimize(book.Sheet(0).Rows().data());
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_ReadWorkbook100k)->Unit(benchmark::kMillisecond);

void BM_WriteWorkbook100k(benchmark::State& state) {
  CWorkbook book;
  Fill(book, 10000);
  const std::string path = vm::bench::BenchFolder() + "written.xml";
  for (auto _ : state) {
    if (!WriteWorkbook(book, path)) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_WriteWorkbook100k)->Unit(benchmark::kMillisecond);

// The write without the file: building the document and its text.
void BM_WorkbookText100k(benchmark::State& state) {
  CWorkbook book;
  Fill(book, 10000);
  for (auto _ : state) benchmark::DoNotOptimize(WorkbookText(book).size());
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_WorkbookText100k)->Unit(benchmark::kMillisecond);

void BM_UndoSnapshot100k(benchmark::State& state) {
  CWorkbook book;
  Fill(book, 10000);
  UndoHistory history;
  for (auto _ : state) history.Take(book);
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_UndoSnapshot100k)->Unit(benchmark::kMillisecond);

// ---- one screen of the grid --------------------------------------------------------------

// What the grid window works out for one paint, short of the GDI calls: the selection
// with its merged areas, the current cell, the visible cells with their places and
// spilled texts, and each cell's format and shown text. Text widths are 7 pixels a byte.
size_t ScreenWork(const CSheet& sheet, const GridViewport& view, const GridSelection& selection,
                  const NumberLocale& locale) {
  CellRect selected = selection.Rect(sheet);
  CellRect current = CellSpan(sheet, selection.anchor.row, selection.anchor.column);
  auto width = [&](int r, int c) {
    const CSheetCell* cell = sheet.StoredCell(r, c);
    return cell ? static_cast<int>(cell->text.size()) * 7 : 0;
  };
  std::vector<CellDraw> cells = LayoutScreen(sheet, view, width);
  size_t shown = static_cast<size_t>(selected.right + current.bottom);
  for (const CellDraw& d : cells) shown += ShownText(EffectiveFormat(sheet, d.row, d.column), locale).size();
  return shown;
}

GridViewport FullScreen() {
  GridViewport view;
  view.width = 1260;
  view.height = 900;
  return view;
}

// A sheet of `rows` x `columns` with text in every cell (a few hundred merged areas on
// the big one), 16.7 million cells for the largest grid the format allows.
const CSheet& FullSheet(int rows, int columns) {
  static std::map<std::pair<int, int>, std::unique_ptr<CWorkbook>> made;
  auto& book = made[{rows, columns}];
  if (!book) {
    book = std::make_unique<CWorkbook>();
    CSheet& s = book->Sheet(0);
    s.SetRowCount(rows);
    s.SetColumnCount(columns);
    // Texts of one length on either sheet, a little wider than a cell.
    char text[32];
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < columns; ++c) {
        std::snprintf(text, sizeof text, "%05d:%03d", r, c);
        s.CellForEdit(r, c)->SetText(text);
      }
    for (int r = 0; r + 1 < rows && r < 65536; r += 256) s.Merge(CellRect{r, 1, r + 1, 2});
  }
  return book->Sheet(0);
}

// Args: the sheet's rows (65 536 rows of 256 columns, or 10 rows of 10), and the window:
// 0 a full screen (1260 x 900, about a thousand cells), 1 a window that just holds the
// 10 x 10 sheet, for the same number of cells from either sheet. The big sheet is drawn
// scrolled to its middle, where finding rows and cells costs the most.
void BM_ScreenDrawList(benchmark::State& state) {
  int rows = static_cast<int>(state.range(0));
  const CSheet& sheet = FullSheet(rows, rows > 10 ? 256 : 10);
  GridViewport view = FullScreen();
  if (state.range(1) == 1) {
    view.width = view.CellsLeft() + 10 * sheet.DefaultWidth();
    view.height = view.CellsTop() + 10 * sheet.DefaultHeight() + view.geometry.tabBarHeight;
  }
  view.topRow = rows / 2;
  view.leftColumn = sheet.ColumnCount() / 2;
  if (rows <= 10) view.topRow = view.leftColumn = 0;
  GridSelection selection;
  selection.Set({view.topRow + 3, view.leftColumn + 2});
  NumberLocale locale;
  for (auto _ : state) benchmark::DoNotOptimize(ScreenWork(sheet, view, selection, locale));
  state.counters["cells"] = static_cast<double>(LayoutScreen(sheet, view, [](int, int) { return 0; }).size());
}
BENCHMARK(BM_ScreenDrawList)
    ->Args({10, 0})
    ->Args({65536, 0})
    ->Args({10, 1})
    ->Args({65536, 1})
    ->Unit(benchmark::kMicrosecond);

// A sheet of 65 536 rows and 10 columns with text down column 0 and in row 65 535,
// rows of mixed heights (every 7th 30 pixels high, every 50th hidden) and a merged area
// every 1 000 rows.
const CSheet& TallSheet() {
  static const std::unique_ptr<CWorkbook> book = [] {
    auto b = std::make_unique<CWorkbook>();
    CSheet& s = b->Sheet(0);
    s.SetRowCount(65536);
    s.SetColumnCount(10);
    for (int r = 0; r < 65536; ++r) {
      s.CellForEdit(r, 0)->SetText("Строка " + std::to_string(r));
      if (r % 7 == 0) s.SetRowHeight(r, 30);
      if (r % 50 == 0) s.SetRowHeight(r, 0);
      if (r % 1000 == 0 && r + 2 < 65536) s.Merge(CellRect{r, 3, r + 2, 4});
    }
    s.CellForEdit(65535, 9)->SetText("конец");
    return b;
  }();
  return book->Sheet(0);
}

// Args: 0 scrolls a full screen from the top to show row 65 536 alone; 1 is a whole
// Ctrl+End keystroke: the new selection, the scroll and the screen it then shows.
void BM_JumpToLastRow(benchmark::State& state) {
  const CSheet& sheet = TallSheet();
  NumberLocale locale;
  for (auto _ : state) {
    GridViewport view = FullScreen();
    GridSelection selection;
    if (state.range(0) == 0) {
      ScrollToShow(sheet, view, CellPos{65535, 0});
      benchmark::DoNotOptimize(view.topRow);
    } else {
      MoveSelection(sheet, selection, GridKey::kEnd, KeyModifiers{false, true}, RowsPerPage(sheet, view));
      ScrollToShow(sheet, view, selection.anchor);
      benchmark::DoNotOptimize(ScreenWork(sheet, view, selection, locale));
    }
  }
}
BENCHMARK(BM_JumpToLastRow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Opening: reading the file, then the first screen's work.
void BM_OpenAndFirstScreen100k(benchmark::State& state) {
  const std::string& path = HundredThousandCells();
  for (auto _ : state) {
    CWorkbook book;
    ReadWorkbook(book, path);
    GridSelection selection;
    benchmark::DoNotOptimize(ScreenWork(book.CurrentSheet(), FullScreen(), selection, book.locale));
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_OpenAndFirstScreen100k)->Unit(benchmark::kMillisecond);

}  // namespace
