#include "ui/tree_view.h"

#include <windowsx.h>

#include "ui/text.h"

namespace vm::ui {

bool TreeView::Create(HWND parent, int controlId, const RECT& r, Callbacks callbacks) {
  callbacks_ = std::move(callbacks);
  tree_.reset(CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                  TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                              r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                              GetModuleHandleW(nullptr), nullptr));
  if (!tree_) return false;
  parentHook_.Attach(parent,
                     [this](HWND h, UINT m, WPARAM w, LPARAM l) { return ParentMessage(h, m, w, l); });
  treeHook_.Attach(hwnd(), [this](HWND h, UINT m, WPARAM w, LPARAM l) { return TreeMessage(h, m, w, l); });
  return true;
}

HTREEITEM TreeView::Add(HTREEITEM parent, const std::string& cp1251, LPARAM data) {
  std::wstring text = Wide(cp1251);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = text.data();
  ins.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TreeView::Remove(HTREEITEM item) {
  TreeView_DeleteItem(hwnd(), item);
}

void TreeView::Clear() {
  TreeView_DeleteAllItems(hwnd());
}

std::string TreeView::Text(HTREEITEM item) const {
  wchar_t buf[1024] = {};
  TVITEMW it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = 1024;
  SendMessageW(hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return Narrow(buf);
}

void TreeView::SetText(HTREEITEM item, const std::string& cp1251) {
  std::wstring text = Wide(cp1251);
  TVITEMW it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.pszText = text.data();
  SendMessageW(hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

LPARAM TreeView::Data(HTREEITEM item) const {
  TVITEMW it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  SendMessageW(hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return it.lParam;
}

HTREEITEM TreeView::Selected() const {
  return TreeView_GetSelection(hwnd());
}
void TreeView::Select(HTREEITEM item) {
  TreeView_SelectItem(hwnd(), item);
}
HTREEITEM TreeView::Parent(HTREEITEM item) const {
  return TreeView_GetParent(hwnd(), item);
}
HTREEITEM TreeView::FirstChild(HTREEITEM item) const {
  return item ? TreeView_GetChild(hwnd(), item) : TreeView_GetRoot(hwnd());
}
HTREEITEM TreeView::Next(HTREEITEM item) const {
  return TreeView_GetNextSibling(hwnd(), item);
}
int TreeView::Count() const {
  return static_cast<int>(TreeView_GetCount(hwnd()));
}
void TreeView::Expand(HTREEITEM item, bool expand) {
  TreeView_Expand(hwnd(), item, expand ? TVE_EXPAND : TVE_COLLAPSE);
}

void TreeView::EditLabel(HTREEITEM item) {
  SetFocus(hwnd());
  SendMessageW(hwnd(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
}

void TreeView::BeginDrag(HTREEITEM item, POINT at) {
  EndDrag(false);
  dragged_ = item;
  dragImage_.reset(TreeView_CreateDragImage(hwnd(), item));
  if (dragImage_) {
    ImageList_BeginDrag(dragImage_.get(), 0, 0, 0);
    ImageList_DragEnter(hwnd(), at.x, at.y);
  }
  SetCapture(hwnd());
}

void TreeView::DragTo(POINT at) {
  if (!dragged_) return;
  if (dragImage_) ImageList_DragShowNolock(FALSE);
  TVHITTESTINFO hit{};
  hit.pt = at;
  HTREEITEM target = TreeView_HitTest(hwnd(), &hit);
  TreeView_SelectDropTarget(hwnd(), target);
  if (dragImage_) {
    ImageList_DragShowNolock(TRUE);
    ImageList_DragMove(at.x, at.y);
  }
}

void TreeView::EndDrag(bool drop) {
  if (!dragged_) return;
  HTREEITEM dragged = dragged_, target = DropTarget();
  dragged_ = nullptr;
  if (dragImage_) {
    ImageList_DragLeave(hwnd());
    ImageList_EndDrag();
    dragImage_.reset();
  }
  TreeView_SelectDropTarget(hwnd(), nullptr);
  if (GetCapture() == hwnd()) ReleaseCapture();
  if (drop && callbacks_.dropped) callbacks_.dropped(dragged, target);
}

HTREEITEM TreeView::DropTarget() const {
  return TreeView_GetDropHilight(hwnd());
}

LRESULT TreeView::ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY && tree_ && reinterpret_cast<NMHDR*>(lp)->hwndFrom == tree_.get()) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    switch (header->code) {
      case TVN_SELCHANGEDW:
        if (callbacks_.selected) callbacks_.selected(reinterpret_cast<NMTREEVIEWW*>(lp)->itemNew.hItem);
        return 0;
      case TVN_BEGINLABELEDITW:
        editing_ = reinterpret_cast<NMTVDISPINFOW*>(lp)->item.hItem;
        return FALSE;
      case TVN_ENDLABELEDITW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(lp);
        // Some tree views report the end of one edit twice (again as the editor goes):
        // the second report gets the first answer.
        if (info->item.hItem != editing_) return lastAnswer_ ? TRUE : FALSE;
        editing_ = nullptr;
        if (!info->item.pszText) return FALSE;  // the edit was cancelled
        lastAnswer_ = !callbacks_.renamed || callbacks_.renamed(info->item.hItem, Narrow(info->item.pszText));
        return lastAnswer_ ? TRUE : FALSE;
      }
      case TVN_BEGINDRAGW: {
        auto* tv = reinterpret_cast<NMTREEVIEWW*>(lp);
        BeginDrag(tv->itemNew.hItem, tv->ptDrag);
        return 0;
      }
      default: break;
    }
  }
  return Subclass::Default(hwnd, msg, wp, lp);
}

LRESULT TreeView::TreeMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (dragged_) {
    switch (msg) {
      case WM_MOUSEMOVE: DragTo(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}); return 0;
      case WM_LBUTTONUP: EndDrag(true); return 0;
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE: EndDrag(false); break;
      case WM_KEYDOWN:
        if (wp == VK_ESCAPE) {
          EndDrag(false);
          return 0;
        }
        break;
      default: break;
    }
  }
  return Subclass::Default(hwnd, msg, wp, lp);
}

}  // namespace vm::ui
