// The spreadsheet page inside the real sheet: a workbook reopened at start, typed into
// through the grid's in-place editor, navigated by keys and the mouse, made bold, saved
// and read back, a file that is no workbook opened, the grid's context menus, the
// clipboard and undo.
#include "spreadsheet/win/spreadsheet_page.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "common/app_util.h"
#include "common/backup.h"
#include "shell/win/shell_resources.h"
#include "spreadsheet/grid_ops.h"
#include "spreadsheet/win/spreadsheet_resources.h"
#include "spreadsheet/workbook_xml.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "ui/colour_picker.h"
#include "ui/text.h"
#include "support/win/sheet_driver.h"
#include "spreadsheet/win/sheet_printer.h"
#include "ui/printing.h"
#include "ui/dialog.h"

namespace vm::spreadsheet {
namespace {

using vm::testing::PressKey;
using vm::testing::PumpSheet;
using vm::testing::Spit;
using vm::testing::Type;

class SpreadsheetPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Personal"});
    CWorkbook book;
    CSheet& s = book.Sheet(0);
    s.name = "Бюджет";
    s.SetRowCount(20);
    s.SetColumnCount(6);
    s.CellForEdit(0, 0)->SetText("Заголовок");
    s.Merge(CellRect{0, 0, 0, 3});
    s.CellForEdit(1, 0)->SetText("Продукты");
    book.AppendSheet().name = "Дела";
    book.Sheet(1).SetRowCount(5);
    book.Sheet(1).SetColumnCount(5);
    ASSERT_TRUE(WriteWorkbook(book, dir_ / "Personal\\book.xml"));
    app_.PutSetting("EXCEL", "FILENAME", "Q:\\gone\\book.xml");
    app_.PutSetting("EXCEL", "FONTSIZE", "-100");
    app_.PutSetting("GENERAL", "AUTOSAVE", "0");
  }

  CLikeExcelDlg& Open(shell::CVelmoriaSheet& sheet) {
    CLikeExcelDlg& page = static_cast<CLikeExcelDlg&>(sheet.page(shell::kSpreadsheetTab));
    SpreadsheetPageShell s = SystemSpreadsheetPageShell();
    s.askOpen = [this](HWND, const std::string&) { return answer_; };
    s.askSaveAs = [this](HWND, const std::string&, const std::string&) { return answer_; };
    s.askSheetName = [this](HWND, const std::string&) { return answer_; };
    s.askFont = [](HWND, FontDesc&, COLORREF&) { return false; };
    page.SetShell(s);
    page.SetHelp([] {});
    EXPECT_TRUE(sheet.Create());
    sheet.ActivateTab(shell::kSpreadsheetTab);
    PumpSheet(sheet);
    return page;
  }

  void Command(shell::CVelmoriaSheet& sheet, CLikeExcelDlg& page, int id) {
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(page.toolbar().hwnd()));
    PumpSheet(sheet);
  }

  // Typing over the current cell: the first character opens the editor, the rest go
  // into it, and `end` (Enter, Tab or Esc) finishes.
  void TypeInto(shell::CVelmoriaSheet& sheet, CLikeExcelDlg& page, const std::string& text, UINT end) {
    Type(sheet, page.grid().hwnd(), text.substr(0, 1));
    ASSERT_TRUE(page.grid().Editing());
    Type(sheet, page.grid().editor(), text.substr(1));
    PressKey(sheet, page.grid().editor(), end);
  }

  std::optional<std::string> answer_;
};

TEST_F(SpreadsheetPageTest, ReopensTypesNavigatesFormatsAndSaves) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  // The stored path is gone: the file of that name in "Personal" is read and stored;
  // a font height outside -72..72 is written back as -12.
  EXPECT_EQ(page.path(), dir_ / "Personal\\book.xml");
  EXPECT_EQ(app_.GetSetting("EXCEL", "FILENAME"), dir_ / "Personal\\book.xml");
  EXPECT_EQ(app_.GetSetting("EXCEL", "FONTSIZE"), "-12");
  EXPECT_EQ(app_.GetSetting("EXCEL", "FONTNAMEDEF"), "Arial");
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_LOAD_INFO));
  ASSERT_EQ(page.workbook().SheetCount(), 2);
  EXPECT_EQ(page.toolbar().TipOf(ID_SHEET_SAVE), "Сохранить файл как... Ctrl+S");

  GridWindow& grid = page.grid();
  RECT place;
  GetWindowRect(grid.hwnd(), &place);
  MapWindowPoints(nullptr, page.hwnd(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 10);
  EXPECT_EQ(place.top, 30);

  // A click anywhere on the merged title selects its top-left cell and the whole area.
  PixelRect title = grid.Bounds({0, 2});
  SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(title.right - 5, title.top + 5));
  SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(title.right - 5, title.top + 5));
  EXPECT_EQ(grid.Current(), (CellPos{0, 0}));
  EXPECT_EQ(grid.SelectionRect(), (CellRect{0, 0, 0, 3}));

  // Typing starts the editor; Enter stores and moves down, Tab stores and moves right.
  grid.Select({2, 1}, {2, 1});
  TypeInto(sheet, page, "Новое", VK_RETURN);
  EXPECT_FALSE(grid.Editing());
  EXPECT_EQ(page.workbook().CurrentSheet().GetCell(2, 1).text, "Новое");
  EXPECT_EQ(grid.Current(), (CellPos{3, 1}));
  EXPECT_TRUE(page.modified());
  TypeInto(sheet, page, "12,5", VK_TAB);
  EXPECT_EQ(page.workbook().CurrentSheet().GetCell(3, 1).text, "12,5");
  EXPECT_EQ(grid.Current(), (CellPos{3, 2}));
  // Esc drops what was typed.
  TypeInto(sheet, page, "прочь", VK_ESCAPE);
  EXPECT_FALSE(page.workbook().CurrentSheet().GetCell(3, 2).HasText());
  // F2 edits the cell's own text.
  grid.Select({1, 0}, {1, 0});
  PressKey(sheet, grid.hwnd(), VK_F2);
  ASSERT_TRUE(grid.Editing());
  Type(sheet, grid.editor(), " и вода");
  PressKey(sheet, grid.editor(), VK_RETURN);
  EXPECT_EQ(page.workbook().CurrentSheet().GetCell(1, 0).text, "Продукты и вода");

  // Keys move the selection; Ctrl+Home goes home.
  PressKey(sheet, grid.hwnd(), VK_RIGHT);
  PressKey(sheet, grid.hwnd(), VK_DOWN);
  EXPECT_EQ(grid.Current(), (CellPos{3, 1}));
  PressKey(sheet, grid.hwnd(), VK_HOME, true);
  EXPECT_EQ(grid.Current(), (CellPos{0, 0}));

  // Bold by the current cell's state; alignment of the selection.
  grid.Select({2, 1}, {3, 1});
  Command(sheet, page, ID_SHEET_BOLD);
  EXPECT_EQ(EffectiveFormat(page.workbook().CurrentSheet(), 3, 1).font->weight, 700);
  EXPECT_TRUE(SendMessageW(page.toolbar().hwnd(), TB_ISBUTTONCHECKED, ID_SHEET_BOLD, 0));
  Command(sheet, page, ID_SHEET_RIGHT);
  EXPECT_EQ(EffectiveFormat(page.workbook().CurrentSheet(), 2, 1).align & kAlignHorizontalMask,
            uint32_t{kAlignRight});

  // Save writes the file; reading it back gives the typed texts and the bold font.
  Command(sheet, page, ID_SHEET_SAVE);
  EXPECT_FALSE(page.modified());
  CWorkbook back;
  ASSERT_TRUE(ReadWorkbook(back, dir_ / "Personal\\book.xml"));
  EXPECT_EQ(back.Sheet(0).GetCell(2, 1).text, "Новое");
  EXPECT_EQ(back.Sheet(0).GetCell(1, 0).text, "Продукты и вода");
  EXPECT_EQ(EffectiveFormat(back.Sheet(0), 2, 1).font->weight, 700);
  EXPECT_EQ(back.Sheet(0).Merges().size(), 1u);

  // A click on the second tab shows that sheet.
  GridHit hit;
  const GridViewport& view = grid.viewport();
  for (int x = 40; x < view.width && hit.part != GridPart::kTab; x += 4) {
    hit = grid.HitAt(x, view.height - 5);
    if (hit.part == GridPart::kTab && hit.tab == 1) {
      SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, view.height - 5));
      SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, view.height - 5));
    } else {
      hit = GridHit{};
    }
  }
  EXPECT_EQ(page.workbook().Current(), 1);
}

TEST_F(SpreadsheetPageTest, NewAndAFileThatIsNoWorkbook) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  Spit(dir_ / "Personal\\bad.xml", "just some text");
  answer_ = dir_ / "Personal\\bad.xml";
  Command(sheet, page, ID_SHEET_OPEN);
  EXPECT_EQ(page.path(), "") << "a file that could not be read is not the page's file";
  EXPECT_EQ(page.unreadPath(), dir_ / "Personal\\bad.xml");
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_LOAD_INFO));
  EXPECT_EQ(vm::testing::Slurp(dir_ / "Temp\\bad.bak"), "just some text");
  EXPECT_EQ(app_.GetSetting("EXCEL", "FILENAME"), dir_ / "Personal\\bad.xml");

  Command(sheet, page, ID_SHEET_NEW);
  EXPECT_EQ(page.path(), "");
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_LOAD_INFO));
  ASSERT_EQ(page.workbook().SheetCount(), 1);
  EXPECT_EQ(page.workbook().Sheet(0).name, "Лист 1");
  EXPECT_EQ(page.workbook().Sheet(0).RowCount(), 100);
  EXPECT_EQ(page.workbook().Sheet(0).ColumnCount(), 10);

  // Save without a file asks for one.
  page.grid().Select({0, 0}, {0, 0});
  TypeInto(sheet, page, "abc", VK_RETURN);
  answer_ = dir_ / "Personal\\new.xml";
  Command(sheet, page, ID_SHEET_SAVE);
  EXPECT_EQ(page.path(), dir_ / "Personal\\new.xml");
  CWorkbook back;
  ASSERT_TRUE(ReadWorkbook(back, dir_ / "Personal\\new.xml"));
  EXPECT_EQ(back.Sheet(0).GetCell(0, 0).text, "abc");

  // The table button with 3 and 5 adds three columns and five rows at the end.
  ui::Dialog::SetInitHook([](ui::Dialog& d) {
    if (d.templateId() != IDD_SHEET_ADD) return;
    d.SetItemText(IDC_SHEET_ADD_COLUMNS, "3");
    d.SetItemText(IDC_SHEET_ADD_ROWS, "5");
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_SHEET_TABLE);
  ui::Dialog::SetInitHook(nullptr);
  EXPECT_EQ(page.workbook().Sheet(0).ColumnCount(), 13);
  EXPECT_EQ(page.workbook().Sheet(0).RowCount(), 105);
  EXPECT_EQ(page.workbook().Sheet(0).GetCell(0, 0).text, "abc");
}

TEST_F(SpreadsheetPageTest, ContextMenusClipboardAndUndo) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  GridWindow& grid = page.grid();
  CWorkbook& book = page.workbook();
  auto cellHit = [&](int row, int column) {
    grid.Select({row, column}, {row, column});
    GridHit hit;
    hit.part = GridPart::kCell;
    hit.row = row;
    hit.column = column;
    return hit;
  };

  // Merging two cells joins their texts with a tab, then refreshes through the file.
  grid.Select({1, 1}, {1, 1});
  TypeInto(sheet, page, "Хлеб", VK_RETURN);
  GridHit hit = cellHit(1, 0);
  grid.Select({1, 0}, {1, 1});
  page.RunMenuCommand(hit, ID_SHEET_MERGE);
  EXPECT_EQ(book.CurrentSheet().GetCell(1, 0).text, "Продукты\tХлеб");
  EXPECT_EQ(book.CurrentSheet().Merges().size(), 2u);
  CWorkbook back;
  ASSERT_TRUE(ReadWorkbook(back, dir_ / "Personal\\book.xml"));
  EXPECT_EQ(back.Sheet(0).Merges().size(), 2u);

  // "Вставить строку" at the current row moves it down; "Удалить строку" takes it out.
  page.RunMenuCommand(cellHit(1, 0), ID_SHEET_ROW_INSERT);
  EXPECT_EQ(book.CurrentSheet().RowCount(), 21);
  EXPECT_EQ(book.CurrentSheet().GetCell(2, 0).text, "Продукты\tХлеб");
  page.RunMenuCommand(cellHit(2, 0), ID_SHEET_ROW_DELETE);
  EXPECT_EQ(book.CurrentSheet().RowCount(), 20);
  EXPECT_FALSE(book.CurrentSheet().GetCell(2, 0).HasText());
  page.RunMenuCommand(cellHit(0, 0), ID_SHEET_ROW_ADD);
  EXPECT_EQ(book.CurrentSheet().RowCount(), 21);
  // Undo steps back through the add and the delete; redo forward again.
  Command(sheet, page, ID_SHEET_UNDO);
  Command(sheet, page, ID_SHEET_UNDO);
  EXPECT_EQ(book.CurrentSheet().RowCount(), 21);
  EXPECT_EQ(book.CurrentSheet().GetCell(2, 0).text, "Продукты\tХлеб");
  Command(sheet, page, ID_SHEET_REDO);
  EXPECT_EQ(book.CurrentSheet().RowCount(), 20);

  // Column header: insert before the clicked column.
  GridHit header;
  header.part = GridPart::kColumnHeader;
  header.column = 2;
  int columns = book.CurrentSheet().ColumnCount();
  book.CurrentSheet().CellForEdit(5, 2)->SetText("сдвиг");
  page.RunMenuCommand(header, ID_SHEET_COLUMN_INSERT);
  EXPECT_EQ(book.CurrentSheet().ColumnCount(), columns + 1);
  EXPECT_EQ(book.CurrentSheet().GetCell(5, 3).text, "сдвиг");
  // Sorting waits for "Разрешить сортировку".
  EXPECT_FALSE(page.options().allowSorting);
  page.RunMenuCommand(header, ID_SHEET_ALLOW_SORT);
  EXPECT_TRUE(page.options().allowSorting);

  // Copy and paste as text; cut empties; Delete clears the selection; undo puts back.
  grid.Select({3, 0}, {3, 0});
  TypeInto(sheet, page, "x", VK_TAB);
  TypeInto(sheet, page, "y", VK_RETURN);
  grid.Select({3, 0}, {3, 1});
  Command(sheet, page, ID_SHEET_COPY);
  grid.Select({6, 2}, {6, 2});
  Command(sheet, page, ID_SHEET_PASTE);
  EXPECT_EQ(book.CurrentSheet().GetCell(6, 2).text, "x");
  EXPECT_EQ(book.CurrentSheet().GetCell(6, 3).text, "y");
  EXPECT_TRUE(page.MenuFor(cellHit(6, 2))[15].enabled);  // "Вставить": text on the clipboard
  grid.Select({3, 0}, {3, 1});
  Command(sheet, page, ID_SHEET_CUT);
  EXPECT_FALSE(book.CurrentSheet().GetCell(3, 0).HasText());
  EXPECT_FALSE(book.CurrentSheet().GetCell(3, 1).HasText());
  grid.Select({6, 2}, {6, 3});
  PressKey(sheet, grid.hwnd(), VK_DELETE);
  EXPECT_FALSE(book.CurrentSheet().GetCell(6, 2).HasText());
  EXPECT_FALSE(book.CurrentSheet().GetCell(6, 3).HasText());
  PressKey(sheet, grid.hwnd(), 'Z', true);
  EXPECT_EQ(book.CurrentSheet().GetCell(6, 3).text, "y");
  Command(sheet, page, ID_SHEET_UNDO);
  EXPECT_EQ(book.CurrentSheet().GetCell(3, 0).text, "x");

  // Tabs: only the last sheet can be deleted; add and rename.
  GridHit tab;
  tab.part = GridPart::kTab;
  tab.tab = 0;
  page.RunMenuCommand(tab, ID_SHEET_TAB_DELETE);
  EXPECT_EQ(book.SheetCount(), 2);
  page.RunMenuCommand(tab, ID_SHEET_TAB_ADD);
  ASSERT_EQ(book.SheetCount(), 3);
  EXPECT_EQ(book.Sheet(2).name, "Лист 1");
  answer_ = "Итоги";
  tab.tab = 2;
  page.RunMenuCommand(tab, ID_SHEET_TAB_RENAME);
  EXPECT_EQ(book.Sheet(2).name, "Итоги");
  page.RunMenuCommand(tab, ID_SHEET_TAB_DELETE);
  EXPECT_EQ(book.SheetCount(), 2);
}

TEST_F(SpreadsheetPageTest, ResizingIsUndoneLongTabsTellTheirNamesAndPrinting) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  GridWindow& grid = page.grid();
  CSheet& s = page.workbook().CurrentSheet();

  // Dragging column B's header edge 30 pixels right widens it, as one undo step; a
  // click on the edge that moves nothing leaves no step.
  int edge = grid.Bounds({1, 1}).right;
  auto drag = [&](int by) {
    SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, 5));
    if (by) SendMessageW(grid.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + by, 5));
    SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(edge + by, 5));
    PumpSheet(sheet);
  };
  size_t steps = page.history().UndoSteps();
  drag(0);
  EXPECT_EQ(page.history().UndoSteps(), steps);
  drag(30);
  EXPECT_EQ(s.ColumnWidth(1), 94);
  EXPECT_EQ(page.history().UndoSteps(), steps + 1);
  EXPECT_TRUE(page.modified());
  Command(sheet, page, ID_SHEET_UNDO);
  EXPECT_EQ(page.workbook().CurrentSheet().ColumnWidth(1), 64);
  Command(sheet, page, ID_SHEET_REDO);
  EXPECT_EQ(page.workbook().CurrentSheet().ColumnWidth(1), 94);

  // A tab too long for its name tells it in a tooltip; a short one has none.
  std::string longName = "Очень длинное название листа с расходами за весь прошлый год";
  page.workbook().Sheet(1).name = longName;
  grid.Reload();
  EXPECT_EQ(grid.TabTip(1), longName);
  EXPECT_EQ(grid.TabTip(0), "");

  vm::testing::CapturedMessages messages;
  // Nothing on the sheet: told so, no printer asked for.
  int asked = 0;
  SpreadsheetPageShell shell = SystemSpreadsheetPageShell();
  shell.askPrinter = [&](HWND) {
    ++asked;
    return CreateCompatibleDC(nullptr);  // no printer: the job is refused
  };
  page.SetShell(shell);
  page.workbook().SetCurrent(1);
  grid.Reload();
  Command(sheet, page, ID_SHEET_PRINT);
  EXPECT_EQ(asked, 0);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("нечего печатать"), std::string::npos);
  // A refused job is told, and the workbook is as it was.
  page.workbook().SetCurrent(0);
  grid.Reload();
  PressKey(sheet, grid.hwnd(), 'P', true);
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(messages.texts().size(), 2u);
  EXPECT_NE(messages.texts()[1].find("Не удалось напечатать"), std::string::npos);
  EXPECT_EQ(page.workbook().Sheet(0).GetCell(0, 0).text, "Заголовок");
  // Without a printer the print dialog is not shown (it would wait on a message box).
  if (!ui::PrinterInstalled()) {
    EXPECT_EQ(ui::AskPrinter(page.hwnd()), nullptr);
    EXPECT_EQ(messages.texts().size(), 3u);
  }

  // A printed page drawn on a bitmap: the merged title's text is there, an empty cell
  // stays white, and nothing lands beyond the page.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 600, -400, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 600, 400};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PrintGeometry geometry;
  geometry.width = 300;
  geometry.height = 200;
  CellPainter painter;
  DrawPrintedPage(dc, page.workbook().Sheet(0), CellRect{0, 0, 5, 3}, geometry, page.workbook().locale, painter, 1, 1);
  GdiFlush();
  auto inked = [&](int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if ((static_cast<const uint32_t*>(bits)[y * 600 + x] & 0xFFFFFF) != 0xFFFFFF) ++n;
    return n;
  };
  EXPECT_GT(inked(2, 2, 150, 15), 20);   // "Заголовок" in A1 of the merged A1:D1
  EXPECT_EQ(inked(70, 40, 120, 49), 0);  // inside B3, empty
  EXPECT_EQ(inked(305, 0, 600, 400), 0);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// A workbook made from nothing by the page alone: typed, merged, formatted, resized,
// given a second sheet, saved, and read back by opening it. With VM_SHEET_LOOK set to a
// folder the file is also copied there and the page waits to be looked at (VM_LOOK_MS):
// scripts/sheet-look puts that screen beside LibreOffice's picture of the same file.
TEST_F(SpreadsheetPageTest, BuildsAWorkbookThroughThePageAlone) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  GridWindow& grid = page.grid();
  Command(sheet, page, ID_SHEET_NEW);
  auto typeAt = [&](CellPos at, std::initializer_list<const char*> texts) {
    grid.Select(at, at);
    for (const char* t : texts) TypeInto(sheet, page, t, VK_TAB);
  };
  auto pick = [&](int command, int swatch) {
    ASSERT_TRUE(page.toolbar().Drop(command));
    const int c = ui::ColourPicker::kCell, t = ui::ColourPicker::kTextHeight;
    POINT p{(swatch % 4) * c + c / 2, t + (swatch / 4) * c + c / 2};
    SendMessageW(page.colourPicker().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(page.colourPicker().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PumpSheet(sheet);
  };
  auto drag = [&](int column, int by) {
    int edge = grid.Bounds({1, column}).right;
    SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, 5));
    SendMessageW(grid.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + by, 5));
    SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(edge + by, 5));
    PumpSheet(sheet);
  };
  GridHit cell;
  cell.part = GridPart::kCell;

  typeAt({0, 0}, {"Расходы за май"});
  grid.Select({0, 0}, {0, 3});
  page.RunMenuCommand(cell, ID_SHEET_MERGE);
  Command(sheet, page, ID_SHEET_CENTRE);
  Command(sheet, page, ID_SHEET_BOLD);
  pick(ID_SHEET_FILL_COLOUR, 14);  // cyan
  typeAt({1, 0}, {"Статья", "Сумма", "Примечание"});
  grid.Select({1, 0}, {1, 2});
  Command(sheet, page, ID_SHEET_ITALIC);
  pick(ID_SHEET_FILL_COLOUR, 11);  // yellow
  typeAt({2, 0}, {"Продукты", "12500", "на месяц вперёд, с запасом на праздники"});
  typeAt({3, 0}, {"Транспорт", "3200"});
  typeAt({4, 0}, {"Связь", "850"});
  grid.Select({2, 1}, {4, 1});
  Command(sheet, page, ID_SHEET_RIGHT);
  pick(ID_SHEET_TEXT_COLOUR, 9);  // red
  // A text with a line break, typed with Alt+Enter, wraps.
  grid.Select({3, 2}, {3, 2});
  Type(sheet, grid.hwnd(), "с");
  SendMessageW(grid.editor(), WM_SYSKEYDOWN, VK_RETURN, 0);
  Type(sheet, grid.editor(), "новой строки");
  PressKey(sheet, grid.editor(), VK_RETURN);
  drag(0, 40);
  drag(2, 36);
  // Restructured: a row inserted above "Связь", a second sheet named.
  grid.Select({4, 0}, {4, 0});
  page.RunMenuCommand(cell, ID_SHEET_ROW_INSERT);
  typeAt({4, 0}, {"Квартплата", "9000"});
  GridHit tab;
  tab.part = GridPart::kTab;
  tab.tab = 0;
  page.RunMenuCommand(tab, ID_SHEET_TAB_ADD);
  answer_ = "Итоги";
  tab.tab = 1;
  page.RunMenuCommand(tab, ID_SHEET_TAB_RENAME);

  const std::string path = dir_ / "Personal\\look.xml";
  answer_ = path;
  Command(sheet, page, ID_SHEET_SAVE);
  ASSERT_EQ(page.path(), path);
  const std::string saved = vm::testing::Slurp(path);
  Command(sheet, page, ID_SHEET_NEW);
  Command(sheet, page, ID_SHEET_OPEN);
  ASSERT_EQ(page.workbook().SheetCount(), 2);
  const CSheet& s = page.workbook().Sheet(0);
  EXPECT_EQ(page.workbook().Sheet(1).name, "Итоги");
  EXPECT_EQ(s.GetCell(0, 0).text, "Расходы за май");
  ASSERT_EQ(s.Merges().size(), 1u);
  EXPECT_EQ(s.Merges()[0].Rect(), (CellRect{0, 0, 0, 3}));
  CSheetCell title = EffectiveFormat(s, 0, 0);
  EXPECT_EQ(title.font->weight, 700);
  EXPECT_EQ(title.align & kAlignHorizontalMask, uint32_t{kAlignCenter});
  EXPECT_EQ(title.fillColor, ui::ColourPicker::Swatch(14));
  EXPECT_TRUE(EffectiveFormat(s, 1, 2).font->italic);
  EXPECT_EQ(EffectiveFormat(s, 1, 1).fillColor, ui::ColourPicker::Swatch(11));
  EXPECT_EQ(s.GetCell(2, 2).text, "на месяц вперёд, с запасом на праздники");
  EXPECT_EQ(s.GetCell(3, 2).text, "с\r\nновой строки");
  EXPECT_TRUE(EffectiveFormat(s, 3, 2).Wraps());
  EXPECT_EQ(s.GetCell(4, 0).text, "Квартплата");
  EXPECT_EQ(s.GetCell(5, 0).text, "Связь");
  EXPECT_EQ(EffectiveFormat(s, 5, 1).textColor, ui::ColourPicker::Swatch(9));
  EXPECT_EQ(EffectiveFormat(s, 5, 1).align & kAlignHorizontalMask, uint32_t{kAlignRight});
  EXPECT_EQ(s.ColumnWidth(0), 104);
  EXPECT_EQ(s.ColumnWidth(2), 100);
  // Saved again unchanged, the file is the same to the byte.
  answer_ = dir_ / "Personal\\again.xml";
  ASSERT_TRUE(page.SaveAs());
  EXPECT_EQ(vm::testing::Slurp(dir_ / "Personal\\again.xml"), saved);

  if (const char* look = std::getenv("VM_SHEET_LOOK"); look && *look) {
    std::string copy = std::string(look) + "\\look.xml";
    CopyFileW(ui::Wide(path).c_str(), ui::Wide(copy).c_str(), FALSE);
    grid.Select({6, 0}, {6, 0});
    ShowWindow(sheet.hwnd(), SW_SHOWNORMAL);
    SetWindowPos(sheet.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    vm::testing::LookPause("the workbook made through the page", [&](MSG& m) { sheet.Process(m); });
  }
}

// A workbook only looked at is left as it is on disk when the window hides to the tray
// and when another file is opened over it: same bytes, same time, no backup. Typed into,
// it is written at the next of them.
TEST_F(SpreadsheetPageTest, AnUnchangedWorkbookIsNotWrittenOnHideOrAnotherFile) {
  app_.PutSetting("GENERAL", "AUTOSAVE", "1");
  backup::Install({dir_ / "Backup\\", [] { return 14; }, [] { return backup::Day{2026, 12, 7}; }, nullptr});
  struct Uninstall {
    ~Uninstall() { backup::Install({}); }
  } uninstall;
  const std::string path = dir_ / "Personal\\book.xml";
  // A line end after the workbook, as other programs leave one: a rewrite would drop it.
  Spit(path, vm::testing::Slurp(path) + "\r\n");
  const std::string bytes = vm::testing::Slurp(path);
  auto writeTime = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExW(ui::Wide(path).c_str(), GetFileExInfoStandard, &data));
    const FILETIME& t = data.ftLastWriteTime;
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  const uint64_t written = writeTime();
  Spit(dir_ / "Personal\\other.xml", bytes);

  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  ASSERT_EQ(page.path(), path);
  page.grid().Select({1, 1}, {1, 1});
  PumpSheet(sheet);
  SendMessageW(sheet.hwnd(), WM_COMMAND, MAKEWPARAM(ID_HIDE_TO_TRAY, 0), 0);
  PumpSheet(sheet);
  answer_ = dir_ / "Personal\\other.xml";
  Command(sheet, page, ID_SHEET_OPEN);
  ASSERT_EQ(page.path(), dir_ / "Personal\\other.xml");
  EXPECT_EQ(vm::testing::Slurp(path), bytes);
  EXPECT_EQ(writeTime(), written);
  EXPECT_FALSE(platform::FileExists(dir_ / "Backup\\book.2026-12-07.xml"))
      << "no backup of a book only looked at";

  page.grid().Select({1, 1}, {1, 1});
  TypeInto(sheet, page, "abc", VK_RETURN);
  answer_ = path;
  Command(sheet, page, ID_SHEET_OPEN);
  CWorkbook back;
  ASSERT_TRUE(ReadWorkbook(back, dir_ / "Personal\\other.xml"));
  EXPECT_EQ(back.Sheet(0).GetCell(1, 1).text, "abc");
  EXPECT_EQ(vm::testing::Slurp(path), bytes);
}

// A workbook of damaged bytes at start: a message box says so, and the empty grid the
// user then types into is never written over the file by switching to another file,
// hiding, another tab or "Сохранить все"; the exit asks, and leaving keeps the bytes.
TEST_F(SpreadsheetPageTest, ADamagedWorkbookIsNeverWrittenOver) {
  const std::string damaged = dir_ / "Personal\\damaged.xml";
  std::string bytes = "<?xml version=\"1.0\"?>\r\n<Wor";
  for (int i = 0; bytes.size() < 3000; ++i) bytes += static_cast<char>(0x80 + i % 64);
  Spit(damaged, bytes);
  app_.PutSetting("EXCEL", "FILENAME", damaged);
  app_.PutSetting("GENERAL", "AUTOSAVE", "1");
  vm::testing::CapturedMessages messages;
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("Не удалось прочитать файл " + damaged), std::string::npos)
      << messages.texts()[0];
  EXPECT_EQ(page.path(), "");
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_LOAD_INFO));

  // The workbook left is empty: the user adds cells through the table button and types.
  ui::Dialog::SetInitHook([](ui::Dialog& d) {
    if (d.templateId() != IDD_SHEET_ADD) return;
    d.SetItemText(IDC_SHEET_ADD_COLUMNS, "3");
    d.SetItemText(IDC_SHEET_ADD_ROWS, "5");
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_SHEET_TABLE);
  ui::Dialog::SetInitHook(nullptr);
  page.grid().Select({0, 0}, {0, 0});
  TypeInto(sheet, page, "итог", VK_RETURN);
  ASSERT_TRUE(page.modified());
  sheet.ActivateTab(shell::kAboutTab);
  sheet.ActivateTab(shell::kSpreadsheetTab);
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_HIDE_TO_TRAY, 0);
  Command(sheet, page, ID_SHEET_REFRESH);
  PumpSheet(sheet);
  EXPECT_EQ(vm::testing::Slurp(damaged), bytes);

  {
    vm::testing::UnsavedAnswers asked;
    asked.answer = [] { return IDCANCEL; };
    SendMessageW(sheet.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
    PumpSheet(sheet);
    ASSERT_EQ(asked.texts.size(), 1u);
    EXPECT_NE(asked.texts[0].find(damaged), std::string::npos) << asked.texts[0];
    EXPECT_TRUE(sheet.Continue());
  }
  // Opening another file saves the current workbook first: there is none to write to.
  answer_ = dir_ / "Personal\\book.xml";
  Command(sheet, page, ID_SHEET_OPEN);
  EXPECT_EQ(vm::testing::Slurp(damaged), bytes);
  EXPECT_EQ(page.path(), dir_ / "Personal\\book.xml");
  EXPECT_EQ(page.unreadPath(), "");
}

// The reported loss: "abc" typed, made bold, Ctrl+Z: the bold goes and "abc" stays. Then
// every command of the tool bar and the menus that changes the workbook: one Ctrl+Z
// gives back exactly the workbook before it, one Ctrl+Y its result.
// The workbook as its file would hold it (a read one carries the reader's defaults).
std::string Filed(const CWorkbook& book) {
  CWorkbook read;
  EXPECT_TRUE(ReadWorkbookBytes(read, WorkbookText(book)));
  return WorkbookText(read);
}

TEST_F(SpreadsheetPageTest, EveryCommandThatChangesTheWorkbookIsOneUndoStep) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  SpreadsheetPageShell shell = SystemSpreadsheetPageShell();
  shell.askFont = [](HWND, FontDesc& font, COLORREF& colour) {
    font.faceName = "Times New Roman";
    font.height = -16;
    colour = RGB(0, 0, 128);
    return true;
  };
  shell.askSheetName = [](HWND, const std::string&) { return std::optional<std::string>("Итоги"); };
  page.SetShell(shell);
  GridWindow& grid = page.grid();
  CWorkbook& book = page.workbook();

  grid.Select({2, 1}, {2, 1});
  TypeInto(sheet, page, "abc", VK_RETURN);
  grid.Select({2, 1}, {2, 1});
  Command(sheet, page, ID_SHEET_BOLD);
  ASSERT_EQ(EffectiveFormat(book.CurrentSheet(), 2, 1).font->weight, 700);
  PressKey(sheet, grid.hwnd(), 'Z', true);
  EXPECT_EQ(book.CurrentSheet().GetCell(2, 1).text, "abc");
  EXPECT_EQ(EffectiveFormat(book.CurrentSheet(), 2, 1).font->weight, 400);
  PressKey(sheet, grid.hwnd(), 'Y', true);
  EXPECT_EQ(EffectiveFormat(book.CurrentSheet(), 2, 1).font->weight, 700);

  GridHit cell;
  cell.part = GridPart::kCell;
  GridHit header;
  header.part = GridPart::kColumnHeader;
  header.column = 1;
  GridHit tab;
  tab.part = GridPart::kTab;
  auto pick = [&](int command, int swatch) {
    ASSERT_TRUE(page.toolbar().Drop(command));
    const int c = ui::ColourPicker::kCell, t = ui::ColourPicker::kTextHeight;
    POINT p{(swatch % 4) * c + c / 2, t + (swatch / 4) * c + c / 2};
    SendMessageW(page.colourPicker().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(page.colourPicker().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PumpSheet(sheet);
  };
  struct Step {
    const char* what;
    std::function<void()> run;
  } steps[] = {
      {"bold", [&] { Command(sheet, page, ID_SHEET_BOLD); }},
      {"italic", [&] { Command(sheet, page, ID_SHEET_ITALIC); }},
      {"underline", [&] { Command(sheet, page, ID_SHEET_UNDERLINE); }},
      {"right", [&] { Command(sheet, page, ID_SHEET_RIGHT); }},
      {"centre", [&] { Command(sheet, page, ID_SHEET_CENTRE); }},
      {"left", [&] { Command(sheet, page, ID_SHEET_LEFT); }},
      {"text colour", [&] { pick(ID_SHEET_TEXT_COLOUR, 9); }},
      {"fill colour", [&] { pick(ID_SHEET_FILL_COLOUR, 11); }},
      {"font", [&] { Command(sheet, page, ID_SHEET_FONT); }},
      {"cut", [&] { Command(sheet, page, ID_SHEET_CUT); }},
      {"paste", [&] { Command(sheet, page, ID_SHEET_PASTE); }},
      {"delete", [&] { PressKey(sheet, grid.hwnd(), VK_DELETE); }},
      {"typing", [&] { TypeInto(sheet, page, "новое", VK_RETURN); }},
      {"sort", [&] { page.RunMenuCommand(header, ID_SHEET_SORT_DOWN); }},
      {"column add", [&] { page.RunMenuCommand(header, ID_SHEET_COLUMN_ADD); }},
      {"column insert", [&] { page.RunMenuCommand(header, ID_SHEET_COLUMN_INSERT); }},
      {"column delete", [&] { page.RunMenuCommand(header, ID_SHEET_COLUMN_DELETE); }},
      {"row add", [&] { page.RunMenuCommand(cell, ID_SHEET_ROW_ADD); }},
      {"row insert", [&] { page.RunMenuCommand(cell, ID_SHEET_ROW_INSERT); }},
      {"row delete", [&] { page.RunMenuCommand(cell, ID_SHEET_ROW_DELETE); }},
      {"merge", [&] { page.RunMenuCommand(cell, ID_SHEET_MERGE); }},
      {"unmerge", [&] { page.RunMenuCommand(cell, ID_SHEET_UNMERGE); }},
      {"resize",
       [&] {
         int edge = grid.Bounds({1, 3}).right;
         SendMessageW(grid.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, 5));
         SendMessageW(grid.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + 25, 5));
         SendMessageW(grid.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(edge + 25, 5));
         PumpSheet(sheet);
       }},
      {"tab add", [&] { page.RunMenuCommand(tab, ID_SHEET_TAB_ADD); }},
      {"tab rename", [&] { page.RunMenuCommand(tab, ID_SHEET_TAB_RENAME); }},
      {"tab delete", [&] { page.RunMenuCommand(tab, ID_SHEET_TAB_DELETE); }},
  };
  page.RunMenuCommand(header, ID_SHEET_ALLOW_SORT);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    book.SetCurrent(0);
    grid.Reload();
    grid.Select({2, 1}, {3, 2});
    tab.tab = book.SheetCount() - 1;
    const std::string before = Filed(book);
    size_t undo = page.history().UndoSteps();
    if (std::string(step.what) == "typing") grid.Select({4, 1}, {4, 1});
    step.run();
    const std::string after = Filed(book);
    ASSERT_NE(after, before);
    EXPECT_EQ(page.history().UndoSteps(), std::min(undo + 1, UndoHistory::kDefaultSteps));
    PressKey(sheet, grid.hwnd(), 'Z', true);
    EXPECT_EQ(Filed(book), before);
    PressKey(sheet, grid.hwnd(), 'Y', true);
    EXPECT_EQ(Filed(book), after);
  }
}

namespace {

// A click of the real mouse at a screen point, through the system's input queue.
void ClickScreen(shell::CVelmoriaSheet& sheet, POINT p) {
  SetCursorPos(p.x, p.y);
  POINT now{};
  for (int waited = 0; waited < 2000 && (!GetCursorPos(&now) || now.x != p.x || now.y != p.y); waited += 20)
    PumpSheet(sheet, 20);
  PumpSheet(sheet, 50);
  // Each event carries its own position, so a late pointer motion cannot move it.
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((p.x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = static_cast<LONG>((p.y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  PumpSheet(sheet, 150);
  in.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  PumpSheet(sheet, 150);
}

// Pumps until `done` or two seconds have gone.
template <class Done>
void PumpUntil(shell::CVelmoriaSheet& sheet, Done done) {
  for (int waited = 0; waited < 2000 && !done(); waited += 20) PumpSheet(sheet, 20);
}

POINT SwatchOnScreen(HWND picker, int swatch) {
  const int c = ui::ColourPicker::kCell, t = ui::ColourPicker::kTextHeight;
  POINT p{(swatch % 4) * c + c / 2, t + (swatch / 4) * c + c / 2};
  ClientToScreen(picker, &p);
  return p;
}

}  // namespace

// Both pickers with the real mouse: the tool bar's opens under its button and stays open
// past the click that opened it, drawn; a swatch clicked colours the selection as one
// undo step. The cell menu's opens at the mouse; a click elsewhere closes it, changing
// nothing.
TEST_F(SpreadsheetPageTest, ColourPickersStayOpenWhereAskedAndApplyTheColour) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  ShowWindow(sheet.hwnd(), SW_SHOWNORMAL);
  SetWindowPos(sheet.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
  SetForegroundWindow(sheet.hwnd());
  PumpSheet(sheet, 200);
  GridWindow& grid = page.grid();
  CWorkbook& book = page.workbook();
  grid.Select({1, 0}, {1, 1});
  PumpSheet(sheet);

  RECT button = page.toolbar().ButtonScreenRect(ID_SHEET_FILL_COLOUR);
  ClickScreen(sheet, POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  PumpSheet(sheet, 1500);
  HWND picker = page.colourPicker().hwnd();
  ASSERT_NE(picker, nullptr) << "the picker closed by itself";
  EXPECT_TRUE(IsWindowVisible(picker));
  RECT at;
  GetWindowRect(picker, &at);
  EXPECT_EQ(at.left, button.left);
  EXPECT_EQ(at.top, button.bottom);
  // Drawn: the red swatch is red on the screen.
  POINT red = SwatchOnScreen(picker, 9);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, red.x, red.y), RGB(255, 0, 0));
  ReleaseDC(nullptr, screen);

  size_t steps = page.history().UndoSteps();
  ClickScreen(sheet, SwatchOnScreen(picker, 11));  // yellow
  PumpUntil(sheet, [&] { return page.colourPicker().hwnd() == nullptr; });
  EXPECT_EQ(page.colourPicker().hwnd(), nullptr);
  EXPECT_EQ(EffectiveFormat(book.CurrentSheet(), 1, 1).fillColor, ui::ColourPicker::Swatch(11));
  EXPECT_EQ(page.history().UndoSteps(), steps + 1);
  PressKey(sheet, grid.hwnd(), 'Z', true);
  EXPECT_FALSE(book.CurrentSheet().GetCell(1, 1).Has(kCellFillColor));

  // The cell menu's picker opens where the mouse is; a click on the grid closes it.
  RECT gridRect;
  GetWindowRect(grid.hwnd(), &gridRect);
  POINT mouse{gridRect.left + 200, gridRect.top + 100};
  SetCursorPos(mouse.x, mouse.y);
  PumpUntil(sheet, [&] {
    POINT now{};
    return GetCursorPos(&now) && now.x == mouse.x && now.y == mouse.y;
  });
  GridHit hit;
  hit.part = GridPart::kCell;
  hit.row = 1;
  page.RunMenuCommand(hit, ID_SHEET_TEXT_COLOUR);
  PumpSheet(sheet, 500);
  picker = page.colourPicker().hwnd();
  ASSERT_NE(picker, nullptr);
  GetWindowRect(picker, &at);
  EXPECT_EQ(at.left, mouse.x);
  EXPECT_EQ(at.top, mouse.y);
  const std::string before = WorkbookText(book);
  ClickScreen(sheet, POINT{gridRect.left + 40, gridRect.bottom - 60});
  PumpUntil(sheet, [&] { return page.colourPicker().hwnd() == nullptr; });
  EXPECT_EQ(page.colourPicker().hwnd(), nullptr);
  EXPECT_EQ(WorkbookText(book), before);
}

// Numbers typed in the locale's writing are number cells that show as typed, in the grid
// and after the file; an apostrophe keeps one a text.
TEST_F(SpreadsheetPageTest, TypedNumbersAreStoredAsNumbers) {
  vm::testing::ProgramSheet sheet(app_);
  CLikeExcelDlg& page = Open(sheet);
  GridWindow& grid = page.grid();
  const NumberLocale& locale = page.workbook().locale;
  const std::string typed = "1234" + locale.decimal + "50";
  grid.Select({4, 0}, {4, 0});
  TypeInto(sheet, page, typed, VK_TAB);
  TypeInto(sheet, page, "'007", VK_TAB);
  TypeInto(sheet, page, "007", VK_RETURN);
  const CSheet& s = page.workbook().CurrentSheet();
  EXPECT_EQ(s.GetCell(4, 0).kind, kKindNumber);
  EXPECT_EQ(s.GetCell(4, 0).value, 1234.5);
  EXPECT_EQ(ShownText(EffectiveFormat(s, 4, 0), locale), typed);
  EXPECT_EQ(s.GetCell(4, 1).kind, kKindText);
  EXPECT_EQ(s.GetCell(4, 1).text, "007");
  EXPECT_EQ(s.GetCell(4, 2).text, "007");
  // F2 and Enter leave the number as it is.
  grid.Select({4, 0}, {4, 0});
  size_t steps = page.history().UndoSteps();
  PressKey(sheet, grid.hwnd(), VK_F2);
  wchar_t shown[64] = {};
  GetWindowTextW(grid.editor(), shown, 64);
  EXPECT_EQ(ui::Narrow(shown), typed);
  PressKey(sheet, grid.editor(), VK_RETURN);
  EXPECT_EQ(page.history().UndoSteps(), steps);

  Command(sheet, page, ID_SHEET_SAVE);
  answer_ = page.path();
  Command(sheet, page, ID_SHEET_OPEN);
  const CSheet& back = page.workbook().CurrentSheet();
  EXPECT_EQ(back.GetCell(4, 0).kind, kKindNumber);
  EXPECT_EQ(ShownText(EffectiveFormat(back, 4, 0), locale), typed);
  EXPECT_EQ(back.GetCell(4, 1).kind, kKindText);
  EXPECT_EQ(back.GetCell(4, 1).text, "007");
}

}  // namespace
}  // namespace vm::spreadsheet
