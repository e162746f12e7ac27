// An owner-drawn list box in no-data mode: it keeps only a count of rows, and the page
// paints each row from its own model when the list asks. Suits long lists whose rows
// are drawn in colours of their own (the dates list, the task views).
#pragma once

#include <windows.h>

#include <functional>

#include "ui/handles.h"
#include "ui/window.h"

namespace vm::ui {

class OwnerList {
 public:
  struct Row {
    HDC dc;
    RECT rect;
    int index;
    bool selected, focused;
  };
  using Painter = std::function<void(const Row& row)>;

  OwnerList() = default;
  OwnerList(const OwnerList&) = delete;
  OwnerList& operator=(const OwnerList&) = delete;

  // A child list box of `parent`; rows are `rowHeight` pixels high.
  bool Create(HWND parent, int controlId, const RECT& rect, int rowHeight, Painter painter);
  HWND hwnd() const { return list_.get(); }
  void SetCount(int rows);
  int Count() const;
  int Selected() const;  // -1 when none
  void Select(int row);
  // The row's rectangle in the list's client pixels; empty for a row that is not there.
  RECT RowRect(int row) const;
  // The painter's default: the row's background and focus frame, by its state.
  static void PaintBackground(const Row& row);

 private:
  LRESULT ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  UniqueWindow list_;
  int rowHeight_ = 16;
  Painter painter_;
  Subclass parentHook_;
};

}  // namespace vm::ui
