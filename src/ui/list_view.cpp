#include "ui/list_view.h"

#include <algorithm>

#include "ui/dpi.h"
#include "ui/page_keys.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
constexpr int kEditorId = 0x7FF0;

// The colour of the kept mark: the active window border's, unless a colour scheme makes
// that the same as the window's own (Wine's default scheme has both white), where it
// would mark nothing; then a quarter of the selection colour on the window colour.
COLORREF MarkColour() {
  COLORREF mark = GetSysColor(COLOR_ACTIVEBORDER);
  COLORREF window = GetSysColor(COLOR_WINDOW);
  auto alike = [](int a, int b) { return a - b < 24 && b - a < 24; };
  if (!alike(GetRValue(mark), GetRValue(window)) || !alike(GetGValue(mark), GetGValue(window)) ||
      !alike(GetBValue(mark), GetBValue(window)))
    return mark;
  COLORREF hi = GetSysColor(COLOR_HIGHLIGHT);
  return RGB((GetRValue(hi) + 3 * GetRValue(window)) / 4, (GetGValue(hi) + 3 * GetGValue(window)) / 4,
             (GetBValue(hi) + 3 * GetBValue(window)) / 4);
}

std::wstring WindowTextOf(HWND w) {
  int n = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  if (n) GetWindowTextW(w, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}
}  // namespace

ListView::~ListView() {
  if (editor_ && IsWindow(editor_)) {
    editHook_.Detach();
    DestroyWindow(editor_);
  }
  editor_ = nullptr;
  if (list_ && IsWindow(list_)) Detach();
}

void ListView::Attach(HWND list, unsigned options, Callbacks callbacks) {
  list_ = list;
  parent_ = GetParent(list);
  options_ = options;
  callbacks_ = std::move(callbacks);
  DWORD ex = LVS_EX_DOUBLEBUFFER;
  if (options & kGridLines) ex |= LVS_EX_GRIDLINES;
  if (options & kFullRowSelect) ex |= LVS_EX_FULLROWSELECT;
  ListView_SetExtendedListViewStyleEx(list_, ex, ex);
  // Notifications go to the parent; the list answers its own from there.
  parentHook_.Attach(parent_,
                     [this](HWND h, UINT m, WPARAM w, LPARAM l) { return ParentMessage(h, m, w, l); });
  listHook_.Attach(list_, [this](HWND h, UINT m, WPARAM w, LPARAM l) { return ListMessage(h, m, w, l); });
}

void ListView::Detach() {
  listHook_.Detach();
  parentHook_.Detach();
  list_ = nullptr;
  parent_ = nullptr;
}

void ListView::SetColumns(const std::vector<Column>& columns) {
  columns_ = columns;
  HWND header = ListView_GetHeader(list_);
  int existing = header ? Header_GetItemCount(header) : 0;
  for (int i = existing - 1; i >= 0; --i) ListView_DeleteColumn(list_, i);
  for (size_t i = 0; i < columns.size(); ++i) {
    std::wstring caption = Wide(columns[i].caption);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    c.fmt = LVCFMT_LEFT;
    c.cx = Scaled(list_, columns[i].width);
    c.pszText = caption.data();
    c.iSubItem = static_cast<int>(i);
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&c));
  }
  if (sortColumn_ >= 0) SetSortArrow(sortColumn_, sortAscending_);
}

std::vector<int> ListView::ColumnWidths() const {
  std::vector<int> widths;
  for (size_t i = 0; i < columns_.size(); ++i)
    widths.push_back(UnscaleFromDpi(ListView_GetColumnWidth(list_, static_cast<int>(i)), DpiOf(list_)));
  return widths;
}

void ListView::WidenToFit(int column, const std::vector<std::string>& texts) {
  if (!list_ || column < 0 || column >= static_cast<int>(columns_.size())) return;
  HDC dc = GetDC(list_);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const std::string& t : texts) {
    std::wstring w = Wide(t);
    SIZE size{};
    if (GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size) && size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(list_, dc);
  // The list keeps a few pixels each side of a cell's text, and the first column also
  // its small image.
  int padding = Scaled(list_, 8);
  if (column == 0)
    if (HIMAGELIST images = ListView_GetImageList(list_, LVSIL_SMALL)) {
      int cx = 0, cy = 0;
      ImageList_GetIconSize(images, &cx, &cy);
      padding += cx + Scaled(list_, 4);
    }
  int want = FittedColumnWidth(columns_[column].width, DpiOf(list_), widest, padding);
  if (ListView_GetColumnWidth(list_, column) < want) ListView_SetColumnWidth(list_, column, want);
}

void ListView::SetSmallImages(HIMAGELIST images) {
  ListView_SetImageList(list_, images, LVSIL_SMALL);
}

int ListView::RowCount() const {
  return ListView_GetItemCount(list_);
}

void ListView::SetRowCount(int rows) {
  EndEdit(false);
  ++quiet_;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list_, rows, 0);
  ListView_SetSelectionMark(list_, -1);
  if (rows > 0) ListView_EnsureVisible(list_, 0, FALSE);
  InvalidateRect(list_, nullptr, TRUE);
  reported_ = -1;
  --quiet_;
}

int ListView::Selected() const {
  return ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

void ListView::Select(int row) {
  ++quiet_;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 0 && row < RowCount()) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list_, row);
    ListView_EnsureVisible(list_, row, FALSE);
  } else {
    row = -1;
    ListView_SetSelectionMark(list_, -1);
  }
  reported_ = row;
  --quiet_;
}

void ListView::EnsureVisible(int row) {
  if (row >= 0 && row < RowCount()) ListView_EnsureVisible(list_, row, FALSE);
}

int ListView::TopRow() const {
  return ListView_GetTopIndex(list_);
}

int ListView::RowsPerPage() const {
  return ListView_GetCountPerPage(list_);
}

void ListView::ScrollToRow(int top) {
  if (RowCount() == 0) return;
  RECT r{};
  r.left = LVIR_BOUNDS;
  if (!SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r))) return;
  int rowHeight = r.bottom - r.top;
  if (rowHeight <= 0) return;
  ListView_Scroll(list_, 0, (top - TopRow()) * rowHeight);
}

void ListView::RedrawRow(int row) {
  if (row >= 0 && row < RowCount()) ListView_RedrawItems(list_, row, row);
}

void ListView::RedrawAll() {
  InvalidateRect(list_, nullptr, FALSE);
}

std::string ListView::CellText(int row, int column) const {
  wchar_t buf[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = 1024;
  SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return Narrow(buf);
}

void ListView::SetSortArrow(int column, bool ascending) {
  HWND header = ListView_GetHeader(list_);
  if (!header) return;
  int n = Header_GetItemCount(header);
  for (int i = 0; i < n; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  sortColumn_ = column;
  sortAscending_ = ascending;
}

void ListView::ClickHeader(int column) {
  if (column < 0 || column >= static_cast<int>(columns_.size()) || !callbacks_.sort) return;
  EndEdit(true);
  bool ascending = column == sortColumn_ ? !sortAscending_ : true;
  SetSortArrow(column, ascending);
  callbacks_.sort(column, ascending);
}

bool ListView::Editable(int column) const {
  return column >= 0 && column < static_cast<int>(columns_.size()) && columns_[column].editable &&
         callbacks_.edited;
}

bool ListView::CellAt(POINT p, int& row, int& column) const {
  LVHITTESTINFO hit{};
  hit.pt = p;
  if (SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0)
    return false;
  row = hit.iItem;
  column = hit.iSubItem;
  return true;
}

bool ListView::BeginEdit(int row, int column) {
  if (!Editable(column) || row < 0 || row >= RowCount()) return false;
  EndEdit(true);
  ListView_EnsureVisible(list_, row, FALSE);
  RECT r{};
  if (!ListView_GetSubItemRect(list_, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &r)) return false;
  RECT client;
  GetClientRect(list_, &client);
  r.right = std::min(r.right, client.right);
  if (r.right - r.left < 20) r.right = std::min(r.left + 20, client.right);
  std::string start = callbacks_.editText ? callbacks_.editText(row, column) : callbacks_.text(row, column);
  editor_ = CreateWindowExW(
      0, L"EDIT", Wide(start).c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
      r.right - r.left, r.bottom - r.top + 1, list_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
      GetModuleHandleW(nullptr), nullptr);
  if (!editor_) return false;
  editRow_ = row;
  editColumn_ = column;
  SendMessageW(editor_, WM_SETFONT, SendMessageW(list_, WM_GETFONT, 0, 0), TRUE);
  editHook_.Attach(editor_, [this](HWND h, UINT m, WPARAM w, LPARAM l) { return EditMessage(h, m, w, l); });
  MarkWantsOwnKeys(editor_);
  SendMessageW(editor_, EM_SETSEL, 0, -1);
  SetFocus(editor_);
  return true;
}

void ListView::EndEdit(bool commit) {
  if (!editor_ || ending_) return;
  ending_ = true;
  HWND e = editor_;
  std::string text = Narrow(WindowTextOf(e));
  int row = editRow_, column = editColumn_;
  editor_ = nullptr;
  editRow_ = editColumn_ = -1;
  bool hadFocus = GetFocus() == e;
  editHook_.Detach();
  if (hadFocus) SetFocus(list_);
  DestroyWindow(e);
  ending_ = false;
  if (commit && callbacks_.edited) {
    callbacks_.edited(row, column, text);
    RedrawRow(row);
  }
}

void ListView::ReportSelection() {
  if (quiet_) return;
  int now = Selected();
  if (now == reported_) return;
  reported_ = now;
  if (callbacks_.selected) callbacks_.selected(now);
}

LRESULT ListView::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      int row = static_cast<int>(draw->nmcd.dwItemSpec);
      if (row == Selected() && GetFocus() != list_) {
        // Drawn as not selected, on a colour of its own, so the mark does not fade to
        // the grey of an inactive selection.
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        draw->clrTextBk = MarkColour();
        draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
      } else if (row != Selected()) {
        draw->clrTextBk = GetSysColor(COLOR_WINDOW);
        draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
      }
      return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
  }
}

bool ListView::OnNotify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* d = reinterpret_cast<NMLVDISPINFOW*>(header);
      LVITEMW& item = d->item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::wstring text =
            callbacks_.text ? Wide(callbacks_.text(item.iItem, item.iSubItem)) : std::wstring();
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
      }
      if (item.mask & LVIF_IMAGE)
        item.iImage = callbacks_.image && item.iSubItem == 0 ? callbacks_.image(item.iItem) : -1;
      result = 0;
      return true;
    }
    case LVN_ODFINDITEMW: result = -1; return true;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      ReportSelection();
      result = 0;
      return true;
    case LVN_COLUMNCLICK:
      ClickHeader(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      result = 0;
      return true;
    case NM_CLICK:
    case NM_DBLCLK: {
      bool wanted = (options_ & kEditOnClick) ? true : header->code == NM_DBLCLK;
      if (!wanted) return false;
      // Where the click was, in the list's client area; the cell is found again here
      // because a list does not always name the column it was in.
      POINT p = reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction;
      int row = -1, column = -1;
      if (CellAt(p, row, column)) {
        if (callbacks_.activated && header->code == NM_DBLCLK)
          callbacks_.activated(row);
        else
          BeginEdit(row, column);
      }
      result = 0;
      return true;
    }
    case LVN_KEYDOWN: {
      WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
      if (key == VK_F2) {
        int row = Selected();
        for (size_t c = 0; c < columns_.size() && row >= 0; ++c)
          if (BeginEdit(row, static_cast<int>(c))) break;
      } else if (callbacks_.keyDown) {
        callbacks_.keyDown(key);
      }
      result = 0;
      return true;
    }
    case NM_CUSTOMDRAW:
      if (!(options_ & kKeepMarked)) return false;
      result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
      return true;
    default: return false;
  }
}

LRESULT ListView::ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY && list_ && reinterpret_cast<NMHDR*>(lp)->hwndFrom == list_) {
    LRESULT result = 0;
    if (OnNotify(reinterpret_cast<NMHDR*>(lp), result)) return result;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT ListView::ListMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_SIZE:
      // The editor sits on a cell; when the cells move it commits rather than float.
      EndEdit(true);
      break;
    case WM_NOTIFY: {
      UINT code = reinterpret_cast<NMHDR*>(lp)->code;
      if (code == static_cast<UINT>(HDN_BEGINTRACKW) || code == static_cast<UINT>(HDN_BEGINTRACKA) ||
          code == static_cast<UINT>(HDN_DIVIDERDBLCLICKW))
        EndEdit(true);
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      if (options_ & kKeepMarked) RedrawRow(Selected());
      return r;
    }
    case WM_NCDESTROY: {
      editor_ = nullptr;
      Detach();
      return DefSubclassProc(hwnd, msg, wp, lp);
    }
    default: break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT ListView::EditMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DefSubclassProc(hwnd, msg, wp, lp);
    case WM_KEYDOWN:
      if (wp == VK_RETURN || wp == VK_TAB) {
        EndEdit(true);
        return 0;
      }
      if (wp == VK_ESCAPE) {
        EndEdit(false);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == L'\r' || wp == L'\t' || wp == 27) return 0;  // no beep for the keys that end the edit
      break;
    case WM_KILLFOCUS: {
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      EndEdit(true);
      return r;
    }
    default: break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vm::ui
