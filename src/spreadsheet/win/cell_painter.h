// Draws laid-out cells of a sheet into a device context, the same for the grid window's
// screen and for a printed page: the fills and lines of every cell first, then the texts
// over them, so that a text running into its neighbours stays readable.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "spreadsheet/cell_text.h"
#include "spreadsheet/grid_layout.h"
#include "ui/handles.h"

namespace vm::spreadsheet {

class CellPainter {
 public:
  // The selected cells are tinted, but for the current one. On a window already filled
  // with the window colour, cells of that colour are not filled again.
  struct Marks {
    CellRect selected;
    CellPos current{-1, -1};
    bool onWindow = false;
  };

  HFONT FontFor(const FontDesc* font);
  // The pixels of the cell's shown text on one line in its font.
  int TextWidth(HDC dc, const CSheet& sheet, int row, int column, const NumberLocale& locale);
  void Paint(HDC dc, const CSheet& sheet, const std::vector<CellDraw>& cells, const NumberLocale& locale,
             const Marks& marks);

 private:
  std::map<std::string, ui::UniqueFont> fonts_;  // by the font description's text
};

}  // namespace vm::spreadsheet
