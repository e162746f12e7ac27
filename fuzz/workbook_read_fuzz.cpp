// The workbook reader over arbitrary bytes, then the writer over what it read, then the
// reader again: every sheet must come back, with its name. Every sheet read must keep
// to the grid's bounds; the copy of a sheet's cells as text runs over one sheet that
// the input chooses (each sheet takes the same code).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/workbook_xml.h"

using namespace vm::spreadsheet;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  CWorkbook book;
  if (!ReadWorkbookBytes(book, std::move(bytes))) {
    if (book.SheetCount() != 1 || book.Sheet(0).RowCount() != 0) std::abort();
    return 0;
  }
  for (int i = 0; i < book.SheetCount(); ++i) {
    const CSheet& s = book.Sheet(i);
    if (s.RowCount() > kMaxRows || s.ColumnCount() > kMaxColumns) std::abort();
    for (const MergeArea& m : s.Merges())
      if (m.row + m.down >= s.RowCount() || m.column + m.across >= s.ColumnCount()) std::abort();
  }
  CopyText(book.Sheet(static_cast<int>(size % static_cast<size_t>(book.SheetCount()))), {0, 0, 64, 64});
  CWorkbook back;
  if (!ReadWorkbookBytes(back, WorkbookText(book))) std::abort();
  if (back.SheetCount() != book.SheetCount()) std::abort();
  for (int i = 0; i < book.SheetCount(); ++i) {
    if (!book.Sheet(i).name.empty() && back.Sheet(i).name != book.Sheet(i).name) std::abort();
    if (back.Sheet(i).Merges().size() != book.Sheet(i).Merges().size()) std::abort();
  }
  return 0;
}
