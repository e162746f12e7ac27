// A tree view over a page's own model: items carry the model's number (LPARAM), labels
// are edited in place, and an item is dragged with the control's drag image while the
// item under the pointer shows the drop highlight. The control's notifications reach
// the callbacks from the parent, which need not forward them.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/handles.h"
#include "ui/window.h"

namespace vm::ui {

class TreeView {
 public:
  struct Callbacks {
    // An item became the selected one (null: none).
    std::function<void(HTREEITEM item)> selected;
    // An in-place edit ended with new text; false refuses it and the old label stays.
    std::function<bool(HTREEITEM item, const std::string& text)> renamed;
    // A drag ended over `target` (null: outside any item).
    std::function<void(HTREEITEM dragged, HTREEITEM target)> dropped;
  };

  TreeView() = default;
  TreeView(const TreeView&) = delete;
  TreeView& operator=(const TreeView&) = delete;

  bool Create(HWND parent, int controlId, const RECT& rect, Callbacks callbacks);
  HWND hwnd() const { return tree_.get(); }

  // Inserts after the last child of `parent` (null: at the root).
  HTREEITEM Add(HTREEITEM parent, const std::string& cp1251, LPARAM data);
  void Remove(HTREEITEM item);
  void Clear();
  std::string Text(HTREEITEM item) const;
  void SetText(HTREEITEM item, const std::string& cp1251);
  LPARAM Data(HTREEITEM item) const;
  HTREEITEM Selected() const;
  void Select(HTREEITEM item);
  HTREEITEM Parent(HTREEITEM item) const;
  HTREEITEM FirstChild(HTREEITEM item) const;  // null item: the first root
  HTREEITEM Next(HTREEITEM item) const;
  int Count() const;
  void Expand(HTREEITEM item, bool expand);

  // Starts editing an item's label in place.
  void EditLabel(HTREEITEM item);
  // Dragging: begun by the control's notification or by the caller, moved with the
  // pointer in the tree's client coordinates, ended with the drop.
  void BeginDrag(HTREEITEM item, POINT at);
  void DragTo(POINT at);
  void EndDrag(bool drop);
  bool dragging() const { return dragged_ != nullptr; }
  // The item under the drop highlight; null when none.
  HTREEITEM DropTarget() const;

 private:
  LRESULT ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT TreeMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  UniqueWindow tree_;
  Callbacks callbacks_;
  HTREEITEM dragged_ = nullptr;
  HTREEITEM editing_ = nullptr;  // the item whose label is being edited
  bool lastAnswer_ = true;
  UniqueImageList dragImage_;
  Subclass parentHook_, treeHook_;
};

}  // namespace vm::ui
