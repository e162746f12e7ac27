// The report-view list the book pages share. It is virtual (LVS_OWNERDATA): the page keeps
// its rows and the list asks for the texts of the rows on screen, so a book of 100 000
// records costs nothing to show or to filter again. On top of the common control it
// edits any cell in place, sorts by a header click with the sort arrow in the header,
// and keeps the selected row marked while the list does not have the focus.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace vm::ui {

class ListView {
 public:
  struct Column {
    std::string caption;  // cp1251
    int width = 100;
    bool editable = false;
  };

  enum Options : unsigned {
    kGridLines = 1u << 0,
    kFullRowSelect = 1u << 1,
    // The selected row keeps a mark of its own (the active border's colour) while the
    // focus is elsewhere, so the current record stays visible.
    kKeepMarked = 1u << 2,
    // A single click on an editable cell edits it at once (a list that exists to be
    // filled in); otherwise a double click or F2 does.
    kEditOnClick = 1u << 3,
  };

  struct Callbacks {
    std::function<std::string(int row, int column)> text;  // what a cell shows, cp1251
    // The text an in-place edit starts from; the shown text when not given.
    std::function<std::string(int row, int column)> editText;
    std::function<int(int row)> image;  // small-image index, -1 for none
    // The user selected a row (-1: the selection went away).
    std::function<void(int row)> selected;
    // An in-place edit ended with the user's text (Enter or the focus leaving).
    std::function<void(int row, int column, const std::string& text)> edited;
    // A header click; without it the header does not sort.
    std::function<void(int column, bool ascending)> sort;
    // A key pressed in the list; true when the page used it.
    std::function<bool(int virtualKey)> keyDown;
    // A double click on a row (a list whose rows lead somewhere); without it a double
    // click edits the cell.
    std::function<void(int row)> activated;
  };

  ListView() = default;
  ~ListView();
  ListView(const ListView&) = delete;
  ListView& operator=(const ListView&) = delete;

  // Takes over a report-view list with LVS_OWNERDATA, usually from a dialog template.
  void Attach(HWND list, unsigned options, Callbacks callbacks);
  HWND hwnd() const { return list_; }

  // Column widths are given and read back at 96 dpi; the list shows them at its scale.
  void SetColumns(const std::vector<Column>& columns);
  std::vector<int> ColumnWidths() const;
  // Widens a column that is too narrow for the widest of `texts` (cp1251) in the list's
  // font; a wide enough column stays as it is.
  void WidenToFit(int column, const std::vector<std::string>& texts);
  // The list does not own the image list.
  void SetSmallImages(HIMAGELIST images);

  int RowCount() const;
  // A new number of rows: any edit ends, the selection goes, the list shows its top.
  void SetRowCount(int rows);
  // The row selected (-1 none). Select() neither reports to `selected` nor takes the focus.
  int Selected() const;
  void Select(int row);
  void EnsureVisible(int row);
  int TopRow() const;
  void ScrollToRow(int top);  // makes `top` the first visible row where the list allows
  int RowsPerPage() const;
  void RedrawRow(int row);
  void RedrawAll();

  // What the list shows in a cell, asked of the list itself (tests, checks).
  std::string CellText(int row, int column) const;

  // The header's sort arrow: column -1 for none.
  void SetSortArrow(int column, bool ascending);
  int sortColumn() const { return sortColumn_; }
  bool sortAscending() const { return sortAscending_; }
  // What a click on a header does: the same column reverses, another starts ascending.
  void ClickHeader(int column);

  // In-place editing. BeginEdit is refused for a cell that is not editable.
  bool BeginEdit(int row, int column);
  // Ends an edit: with commit the text goes to `edited`.
  void EndEdit(bool commit);
  HWND editor() const { return editor_; }
  int editRow() const { return editRow_; }
  int editColumn() const { return editColumn_; }

 private:
  LRESULT ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT ListMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT EditMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool OnNotify(NMHDR* header, LRESULT& result);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  void ReportSelection();
  bool Editable(int column) const;
  // The cell under a point of the list's client area; false when none.
  bool CellAt(POINT p, int& row, int& column) const;
  void Detach();

  HWND list_ = nullptr;
  HWND parent_ = nullptr;
  unsigned options_ = 0;
  Callbacks callbacks_;
  std::vector<Column> columns_;
  int reported_ = -1;  // the selection last told to `selected`
  int quiet_ = 0;      // programmatic changes under way: nothing is reported
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  HWND editor_ = nullptr;
  int editRow_ = -1, editColumn_ = -1;
  bool ending_ = false;
  Subclass parentHook_, listHook_, editHook_;
};

}  // namespace vm::ui
