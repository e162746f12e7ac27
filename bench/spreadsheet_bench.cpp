// The spreadsheet core: parsing a 20 MB SpreadsheetML file with our document parser
// next to pugixml on the same bytes, and reading and writing a workbook of 100 000 cells.
//
// pugixml is linked only into this benchmark and only when the build says so with
// VELMORIA_BENCH_PUGIXML (Debian ships it as a library, not as header-only sources);
// without it its benchmark reports itself skipped.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "platform/platform.h"
#include "spreadsheet/cell_text.h"
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

}  // namespace
