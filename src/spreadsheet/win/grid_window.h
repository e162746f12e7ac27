// The grid window: draws the current sheet of a workbook (only the cells on screen, off
// screen first), its headers and sheet tabs, keeps the selection, and edits a cell in
// place. Where things are and how keys move is decided by grid_view; the page hears of
// selections, edits, header and tab clicks and context-menu requests through callbacks.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "spreadsheet/grid_view.h"
#include "spreadsheet/win/cell_painter.h"
#include "spreadsheet/workbook.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace vm::spreadsheet {

class GridWindow : private ui::Window {
 public:
  struct Callbacks {
    std::function<void()> selectionChanged;
    // The in-place editor's text for a cell; the page stores it. True when stored.
    std::function<bool(CellPos cell, const std::string& text)> edited;
    // The sheet tab clicked became current.
    std::function<void(int sheet)> sheetChanged;
    // A right click: on a cell, a column header or a tab (hit.part says which).
    std::function<void(const GridHit& hit, POINT screen)> contextMenu;
    // A column (or row) was resized by dragging its header edge; it was `before` wide
    // (or high) when the drag started.
    std::function<void(bool column, int index, int before)> resized;
  };

  GridWindow();
  ~GridWindow() override;

  bool Create(HWND parent, int id, const RECT& place, CWorkbook& workbook, Callbacks callbacks);
  using ui::Window::hwnd;
  void Move(int x, int y, int width, int height);

  // After the workbook changed under the grid (opened, refreshed, restructured): the
  // selection and scroll are kept inside the sheet and everything is drawn again.
  void Reload();
  void Redraw();
  void SetLocale(const NumberLocale& locale) { locale_ = locale; }

  const GridSelection& selection() const { return selection_; }
  CellRect SelectionRect() const;
  // The cell the commands act on: the top-left cell of the focus's merged area.
  CellPos Current() const;
  void Select(CellPos anchor, CellPos focus);
  // Brings a sheet to the front, scrolled to its start with the first cell selected.
  void ShowSheet(int sheet);
  const GridViewport& viewport() const { return view_; }
  // In the grid's own pixels: those of a 96 dpi screen, which the window draws scaled.
  GridHit HitAt(int x, int y) const;
  PixelRect Bounds(CellPos cell) const;
  // A rectangle of the grid's pixels in the window's client pixels.
  RECT ToScreenScale(const PixelRect& p) const;

  // The in-place editor.
  bool Editing() const { return editor_ != nullptr; }
  void BeginEdit(EditStart start, const std::wstring& initial);
  // Stores (or with store false, drops) the editor's text; true when it was open.
  bool EndEdit(bool store);
  HWND editor() const { return editor_; }

  // The tooltip of a sheet tab shown without its whole name (the name), or "".
  std::string TabTip(int tab) const;

  // Draws the whole window into `dc` (a screen or memory device context).
  void Draw(HDC dc);

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  LRESULT EditorMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  CSheet& Sheet() const { return workbook_->CurrentSheet(); }

  void Paint();
  void DrawCells(HDC dc, const CellRect& selected);
  void DrawHeaders(HDC dc, const CellRect& visible, const CellRect& selected);
  void DrawTabs(HDC dc);
  void MeasureTabs();

  void OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void OnMouseDown(int x, int y, bool shift);
  void OnMouseMove(int x, int y, WPARAM buttons);
  void OnRightClick(int x, int y);
  // A drag ends: by the button let go or the capture lost. A resize is reported once.
  void EndDrag();
  void OnScroll(int bar, int code);
  void OnWheel(int delta);
  void MoveBy(GridKey key, KeyModifiers mods);
  void SelectionMoved();
  void UpdateScrollBars();
  void UpdateTabTips();

  CWorkbook* workbook_ = nullptr;
  Callbacks callbacks_;
  NumberLocale locale_;
  GridViewport view_;
  GridSelection selection_;
  TabStrip tabs_;

  // The editor and how it started.
  HWND editor_ = nullptr;
  EditStart editStart_ = EditStart::kTyping;
  CellPos editCell_;
  ui::UniqueFont editorFont_;
  bool ending_ = false;

  // Dragging: selecting cells, or resizing a column or row from its header edge.
  enum class Drag { kNone, kSelect, kColumn, kRow } drag_ = Drag::kNone;
  int dragIndex_ = -1, dragOrigin_ = 0, dragStartSize_ = 0;

  CellPainter painter_;
  ui::UniqueFont headerFont_;
  // The screen's scale; every size and point of the grid is in pixels at 96 dpi.
  int dpi_ = 96;
  POINT FromScreenScale(LPARAM lp) const;
  ui::Subclass editorHook_;
  ui::UniqueWindow tip_;
  int tipTools_ = 0;
};

}  // namespace vm::spreadsheet
