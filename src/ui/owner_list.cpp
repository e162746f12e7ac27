#include "ui/owner_list.h"

namespace vm::ui {

bool OwnerList::Create(HWND parent, int controlId, const RECT& r, int rowHeight, Painter painter) {
  rowHeight_ = rowHeight;
  painter_ = std::move(painter);
  // The parent answers WM_MEASUREITEM while the list is being made.
  parentHook_.Attach(parent,
                     [this](HWND h, UINT m, WPARAM w, LPARAM l) { return ParentMessage(h, m, w, l); });
  list_.reset(CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED |
                                  LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                              r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                              GetModuleHandleW(nullptr), nullptr));
  if (!list_) {
    parentHook_.Detach();
    return false;
  }
  SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, rowHeight_);
  return true;
}

void OwnerList::SetCount(int rows) {
  SendMessageW(hwnd(), LB_SETCOUNT, rows, 0);
}

int OwnerList::Count() const {
  return static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0));
}

RECT OwnerList::RowRect(int row) const {
  RECT r{};
  if (SendMessageW(hwnd(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR) return RECT{};
  return r;
}

int OwnerList::Selected() const {
  LRESULT r = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  return r == LB_ERR ? -1 : static_cast<int>(r);
}

void OwnerList::Select(int row) {
  SendMessageW(hwnd(), LB_SETCURSEL, row, 0);
}

void OwnerList::PaintBackground(const Row& row) {
  FillRect(row.dc, &row.rect, GetSysColorBrush(row.selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(row.dc, GetSysColor(row.selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(row.dc, TRANSPARENT);
}

LRESULT OwnerList::ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MEASUREITEM) {
    auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    if (m->CtlType == ODT_LISTBOX && (!list_ || m->CtlID == static_cast<UINT>(GetDlgCtrlID(list_.get())))) {
      m->itemHeight = static_cast<UINT>(rowHeight_);
      return TRUE;
    }
  }
  if (msg == WM_DRAWITEM) {
    auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
    if (list_ && d->hwndItem == list_.get()) {
      if (d->itemID != static_cast<UINT>(-1) && painter_) {
        Row row{d->hDC, d->rcItem, static_cast<int>(d->itemID), (d->itemState & ODS_SELECTED) != 0,
                (d->itemState & ODS_FOCUS) != 0};
        painter_(row);
        if (row.focused) DrawFocusRect(d->hDC, &d->rcItem);
      }
      return TRUE;
    }
  }
  return Subclass::Default(hwnd, msg, wp, lp);
}

}  // namespace vm::ui
