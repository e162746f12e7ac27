#include "spreadsheet/win/grid_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "spreadsheet/grid_ops.h"
#include "spreadsheet/page_rules.h"
#include "ui/dpi.h"
#include "ui/page_keys.h"
#include "ui/text.h"

namespace vm::spreadsheet {

namespace {

constexpr UINT kEndEditMessage = WM_APP + 20;
void Fill(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

RECT ToRect(const PixelRect& p) { return RECT{p.left, p.top, p.right, p.bottom}; }

bool KeyDown(int vk) {
  return GetKeyState(vk) < 0;
}

// The grid works in pixels of a 96 dpi screen, as the sheet's widths and heights and the
// cells' fonts are given; a DC set so draws them at `dpi`, fonts and all.
void DrawAtDpi(HDC dc, int dpi) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, kBaseDpi, kBaseDpi, nullptr);
  SetViewportExtEx(dc, dpi, dpi, nullptr);
}

}  // namespace

GridWindow::GridWindow() = default;

GridWindow::~GridWindow() {
  editorHook_.Detach();
  Destroy();
}

bool GridWindow::Create(HWND parent, int id, const RECT& place, CWorkbook& workbook, Callbacks callbacks) {
  workbook_ = &workbook;
  callbacks_ = std::move(callbacks);
  headerFont_.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, L"Tahoma"));
  ClassInfo cls{L"VelmoriaGrid", CS_DBLCLKS, nullptr, nullptr};
  HWND w = ui::Window::Create(cls, WS_EX_CLIENTEDGE,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN,
                              place.left, place.top, place.right - place.left, place.bottom - place.top,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
  if (!w) return false;
  dpi_ = ui::DpiOf(w);
  ui::MarkWantsOwnKeys(w);
  tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w, nullptr,
                             GetModuleHandleW(nullptr), nullptr));
  Reload();
  return true;
}

void GridWindow::Move(int x, int y, int width, int height) {
  if (hwnd()) MoveWindow(hwnd(), x, y, width, height, TRUE);
}

void GridWindow::Reload() {
  EndEdit(false);
  const CSheet& sheet = Sheet();
  int lastRow = std::max(sheet.RowCount() - 1, 0), lastColumn = std::max(sheet.ColumnCount() - 1, 0);
  auto clampPos = [&](CellPos& p) {
    p.row = std::clamp(p.row, 0, lastRow);
    p.column = std::clamp(p.column, 0, lastColumn);
  };
  clampPos(selection_.anchor);
  clampPos(selection_.focus);
  view_.topRow = std::clamp(view_.topRow, 0, lastRow);
  view_.leftColumn = std::clamp(view_.leftColumn, 0, lastColumn);
  MeasureTabs();
  tabs_.firstShown = std::clamp(tabs_.firstShown, 0, std::max(workbook_->SheetCount() - 1, 0));
  UpdateScrollBars();
  UpdateTabTips();
  Redraw();
}

void GridWindow::UpdateTabTips() {
  if (!tip_) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = hwnd();
  for (; tipTools_ > 0; --tipTools_) {
    ti.uId = static_cast<UINT_PTR>(tipTools_);
    SendMessageW(tip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  std::vector<PixelRect> places = tabs_.Places(view_);
  for (int i = 0; i < static_cast<int>(places.size()); ++i) {
    tipTools_ = i + 1;  // tools 1..i+1 may exist; deleting absent ones does no harm
    if (!tabs_.Clipped(i, view_)) continue;
    std::wstring name = ui::Wide(workbook_->Sheet(i).name);
    ti.uFlags = TTF_SUBCLASS;
    ti.uId = static_cast<UINT_PTR>(i + 1);
    ti.rect = ToScreenScale(places[static_cast<size_t>(i)]);
    ti.lpszText = name.data();
    SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

std::string GridWindow::TabTip(int tab) const {
  if (!tip_ || tab < 0) return {};
  wchar_t buf[512] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = hwnd();
  ti.uId = static_cast<UINT_PTR>(tab + 1);
  if (!SendMessageW(tip_.get(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return {};
  ti.lpszText = buf;
  SendMessageW(tip_.get(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&ti));
  return ui::Narrow(buf);
}

void GridWindow::Redraw() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

CellRect GridWindow::SelectionRect() const {
  return selection_.Rect(Sheet());
}

CellPos GridWindow::Current() const {
  CellRect span = CellSpan(Sheet(), selection_.anchor.row, selection_.anchor.column);
  return CellPos{span.top, span.left};
}

void GridWindow::Select(CellPos anchor, CellPos focus) {
  EndEdit(true);
  selection_.anchor = anchor;
  selection_.focus = focus;
  ScrollToShow(Sheet(), view_, focus);
  SelectionMoved();
}

RECT GridWindow::ToScreenScale(const PixelRect& p) const {
  return RECT{ScaleToDpi(p.left, dpi_), ScaleToDpi(p.top, dpi_), ScaleToDpi(p.right, dpi_), ScaleToDpi(p.bottom, dpi_)};
}

POINT GridWindow::FromScreenScale(LPARAM lp) const {
  return POINT{UnscaleFromDpi(GET_X_LPARAM(lp), dpi_), UnscaleFromDpi(GET_Y_LPARAM(lp), dpi_)};
}

GridHit GridWindow::HitAt(int x, int y) const {
  return HitTest(Sheet(), view_, tabs_, x, y);
}

PixelRect GridWindow::Bounds(CellPos cell) const {
  return CellBounds(Sheet(), view_, cell.row, cell.column);
}

// ---- drawing ---------------------------------------------------------------------------------

void GridWindow::MeasureTabs() {
  if (!hwnd()) return;
  HDC dc = GetDC(hwnd());
  DrawAtDpi(dc, dpi_);
  {
    ui::SelectGuard font(dc, headerFont_.get());
    tabs_.textWidths.clear();
    for (int i = 0; i < workbook_->SheetCount(); ++i) {
      std::wstring name = ui::Wide(workbook_->Sheet(i).name);
      SIZE size{};
      GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
      tabs_.textWidths.push_back(size.cx);
    }
  }
  ReleaseDC(hwnd(), dc);
}

void GridWindow::Paint() {
  ui::PaintGuard paint(hwnd());
  RECT client;
  GetClientRect(hwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  ui::UniqueDc memory(CreateCompatibleDC(paint.dc()));
  ui::UniqueBitmap surface(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
  ui::SelectGuard picture(memory.get(), surface.get());
  // What the scaled drawing leaves of the last pixel column and row is the window's colour.
  Fill(memory.get(), client, GetSysColor(COLOR_WINDOW));
  DrawAtDpi(memory.get(), dpi_);
  Draw(memory.get());
  SetMapMode(memory.get(), MM_TEXT);
  BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void GridWindow::Draw(HDC dc) {
  RECT client{0, 0, view_.width, view_.height};
  Fill(dc, client, GetSysColor(COLOR_WINDOW));
  ui::SelectGuard pen(dc, GetStockObject(DC_PEN));
  ui::SelectGuard brush(dc, GetStockObject(DC_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  const CSheet& sheet = Sheet();
  CellRect visible = VisibleCells(sheet, view_);
  CellRect selected = SelectionRect();
  if (!visible.Empty()) {
    DrawCells(dc, selected);
    DrawHeaders(dc, visible, selected);
  }
  DrawTabs(dc);
}

void GridWindow::DrawCells(HDC dc, const CellRect& selected) {
  const CSheet& sheet = Sheet();
  int saved = SaveDC(dc);
  IntersectClipRect(dc, view_.CellsLeft(), view_.CellsTop(), view_.CellsRight(), view_.CellsBottom());
  std::vector<CellDraw> cells =
      LayoutScreen(sheet, view_, [&](int r, int c) { return painter_.TextWidth(dc, sheet, r, c, locale_); });
  painter_.Paint(dc, sheet, cells, locale_, CellPainter::Marks{selected, Current(), true});
  // The selection's frame, two pixels wide, inside its cells.
  if (!selected.Empty() && GetFocus() != nullptr) {
    PixelRect frame = SelectionFrame(sheet, view_, selected);
    SetDCPenColor(dc, RGB(0, 0, 0));
    for (int k = 0; k < 2; ++k) {
      HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, frame.left + k - 1, frame.top + k - 1, frame.right - k, frame.bottom - k);
      SelectObject(dc, old);
    }
  }
  RestoreDC(dc, saved);
}

void GridWindow::DrawHeaders(HDC dc, const CellRect& visible, const CellRect& selected) {
  const CSheet& sheet = Sheet();
  const CSheetCell& header = sheet.HeaderFormat();
  COLORREF normal = header.Has(kCellFillColor) ? header.fillColor : RGB(239, 237, 222);
  COLORREF marked = header.Has(kCellSelFillColor) ? header.selFillColor : RGB(162, 193, 248);
  COLORREF lines = RGB(157, 161, 161);
  ui::SelectGuard font(dc, headerFont_.get());
  SetTextColor(dc, RGB(0, 0, 0));
  auto cellOf = [&](RECT r, const std::string& text, bool on) {
    Fill(dc, r, on ? marked : normal);
    SetDCPenColor(dc, lines);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
    std::wstring wide = ui::Wide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, view_.CellsLeft(), 0, view_.CellsRight(), view_.CellsTop());
    for (int c = visible.left; c <= visible.right; ++c) {
      int x = ColumnX(sheet, view_, c);
      cellOf(RECT{x, 0, x + sheet.ColumnWidth(c), view_.CellsTop()}, ColumnName(c),
             c >= selected.left && c <= selected.right);
    }
    RestoreDC(dc, saved);
  }
  {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, view_.CellsTop(), view_.CellsLeft(), view_.CellsBottom());
    for (int r = visible.top; r <= visible.bottom; ++r) {
      int y = RowY(sheet, view_, r);
      cellOf(RECT{0, y, view_.CellsLeft(), y + sheet.RowHeight(r)}, std::to_string(r + 1),
             r >= selected.top && r <= selected.bottom);
    }
    RestoreDC(dc, saved);
  }
  cellOf(RECT{0, 0, view_.CellsLeft(), view_.CellsTop()}, std::string(), false);
}

void GridWindow::DrawTabs(HDC dc) {
  RECT bar{0, view_.CellsBottom(), view_.width, view_.height};
  if (bar.bottom <= bar.top) return;
  Fill(dc, bar, GetSysColor(COLOR_BTNFACE));
  SetDCPenColor(dc, RGB(128, 128, 128));
  Line(dc, 0, bar.top, view_.width, bar.top);
  // The two arrows that scroll the tabs.
  int w = view_.geometry.tabArrowWidth, mid = (bar.top + bar.bottom) / 2;
  SetDCBrushColor(dc, RGB(64, 64, 64));
  SetDCPenColor(dc, RGB(64, 64, 64));
  POINT left[3] = {{w / 2 - 3, mid}, {w / 2 + 2, mid - 5}, {w / 2 + 2, mid + 5}};
  POINT right[3] = {{w + w / 2 + 3, mid}, {w + w / 2 - 2, mid - 5}, {w + w / 2 - 2, mid + 5}};
  Polygon(dc, left, 3);
  Polygon(dc, right, 3);

  ui::SelectGuard font(dc, headerFont_.get());
  std::vector<PixelRect> places = tabs_.Places(view_);
  for (size_t i = 0; i < places.size(); ++i) {
    if (places[i].Empty()) continue;
    RECT r = ToRect(places[i]);
    bool current = static_cast<int>(i) == workbook_->Current();
    Fill(dc, RECT{r.left, r.top, r.right, r.bottom - 1}, current ? RGB(255, 255, 255) : RGB(239, 237, 222));
    SetDCPenColor(dc, RGB(128, 128, 128));
    Line(dc, r.left, r.top, r.left, r.bottom - 1);
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1);
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom);
    SetTextColor(dc, RGB(0, 0, 0));
    std::wstring name = ui::Wide(workbook_->Sheet(static_cast<int>(i)).name);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
}

// ---- scrolling -------------------------------------------------------------------------------

void GridWindow::UpdateScrollBars() {
  if (!hwnd()) return;
  const CSheet& sheet = Sheet();
  CellRect visible = VisibleCells(sheet, view_);
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
  si.nMax = std::max(sheet.RowCount() - 1, 0);
  si.nPage = static_cast<UINT>(RowsPerPage(sheet, view_));
  si.nPos = view_.topRow;
  SetScrollInfo(hwnd(), SB_VERT, &si, TRUE);
  si.nMax = std::max(sheet.ColumnCount() - 1, 0);
  si.nPage = static_cast<UINT>(visible.Empty() ? 1 : std::max(visible.right - visible.left, 1));
  si.nPos = view_.leftColumn;
  SetScrollInfo(hwnd(), SB_HORZ, &si, TRUE);
}

void GridWindow::OnScroll(int bar, int code) {
  EndEdit(true);
  const CSheet& sheet = Sheet();
  bool vertical = bar == SB_VERT;
  int& pos = vertical ? view_.topRow : view_.leftColumn;
  int last = std::max((vertical ? sheet.RowCount() : sheet.ColumnCount()) - 1, 0);
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(hwnd(), bar, &si);
  int page = std::max(static_cast<int>(si.nPage), 1);
  switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = last; break;
    default: return;
  }
  pos = std::clamp(pos, 0, last);
  UpdateScrollBars();
  Redraw();
}

void GridWindow::OnWheel(int delta) {
  EndEdit(true);
  view_.topRow = std::clamp(view_.topRow - delta / WHEEL_DELTA * 3, 0, std::max(Sheet().RowCount() - 1, 0));
  UpdateScrollBars();
  Redraw();
}

// ---- selection -------------------------------------------------------------------------------

void GridWindow::SelectionMoved() {
  UpdateScrollBars();
  Redraw();
  if (callbacks_.selectionChanged) callbacks_.selectionChanged();
}

void GridWindow::MoveBy(GridKey key, KeyModifiers mods) {
  MoveSelection(Sheet(), selection_, key, mods, RowsPerPage(Sheet(), view_));
  ScrollToShow(
      Sheet(), view_,
      mods.shift && key != GridKey::kTab && key != GridKey::kEnter ? selection_.focus : selection_.anchor);
  SelectionMoved();
}

void GridWindow::ShowSheet(int sheet) {
  EndEdit(true);
  workbook_->SetCurrent(sheet);
  view_.topRow = view_.leftColumn = 0;
  selection_.Set({0, 0});
  tabs_.firstShown = tabs_.FirstShownFor(workbook_->Current(), view_);
  UpdateTabTips();
  SelectionMoved();
  if (callbacks_.sheetChanged) callbacks_.sheetChanged(workbook_->Current());
}

void GridWindow::OnKeyDown(WPARAM key) {
  KeyModifiers mods{KeyDown(VK_SHIFT), KeyDown(VK_CONTROL)};
  GridKey move;
  switch (key) {
    case VK_LEFT: move = GridKey::kLeft; break;
    case VK_RIGHT: move = GridKey::kRight; break;
    case VK_UP: move = GridKey::kUp; break;
    case VK_DOWN: move = GridKey::kDown; break;
    case VK_HOME: move = GridKey::kHome; break;
    case VK_END: move = GridKey::kEnd; break;
    case VK_PRIOR: move = GridKey::kPageUp; break;
    case VK_NEXT: move = GridKey::kPageDown; break;
    case VK_TAB: move = GridKey::kTab; break;
    case VK_RETURN: move = GridKey::kEnter; break;
    case VK_F2: BeginEdit(EditStart::kF2, ui::Wide(EditableText(Sheet(), Current(), locale_))); return;
    case VK_DELETE:
      if (callbacks_.edited && callbacks_.edited(Current(), std::string())) Redraw();
      return;
    default: return;
  }
  MoveBy(move, mods);
}

void GridWindow::OnChar(wchar_t ch) {
  if (ch < L' ' || KeyDown(VK_CONTROL)) return;
  BeginEdit(EditStart::kTyping, std::wstring(1, ch));
}

void GridWindow::OnMouseDown(int x, int y, bool shift) {
  EndEdit(true);
  SetFocus(hwnd());
  GridHit hit = HitAt(x, y);
  const CSheet& sheet = Sheet();
  int lastRow = sheet.RowCount() - 1, lastColumn = sheet.ColumnCount() - 1;
  switch (hit.part) {
    case GridPart::kCell:
      if (shift)
        selection_.focus = {hit.row, hit.column};
      else
        selection_.Set({hit.row, hit.column});
      drag_ = Drag::kSelect;
      SetCapture(hwnd());
      SelectionMoved();
      break;
    case GridPart::kColumnHeader:
      if (!shift) selection_.anchor = {view_.topRow, hit.column};
      selection_.anchor.row = 0;
      selection_.focus = {lastRow, hit.column};
      SelectionMoved();
      break;
    case GridPart::kRowHeader:
      if (!shift) selection_.anchor = {hit.row, 0};
      selection_.anchor.column = 0;
      selection_.focus = {hit.row, lastColumn};
      SelectionMoved();
      break;
    case GridPart::kCorner:
      selection_.anchor = {0, 0};
      selection_.focus = {lastRow, lastColumn};
      SelectionMoved();
      break;
    case GridPart::kColumnEdge:
    case GridPart::kRowEdge:
      drag_ = hit.part == GridPart::kColumnEdge ? Drag::kColumn : Drag::kRow;
      dragIndex_ = drag_ == Drag::kColumn ? hit.column : hit.row;
      dragOrigin_ = drag_ == Drag::kColumn ? x : y;
      dragStartSize_ = drag_ == Drag::kColumn ? sheet.ColumnWidth(dragIndex_) : sheet.RowHeight(dragIndex_);
      SetCapture(hwnd());
      break;
    case GridPart::kTab: ShowSheet(hit.tab); break;
    case GridPart::kTabArrowLeft:
    case GridPart::kTabArrowRight: {
      int step = hit.part == GridPart::kTabArrowLeft ? -1 : 1;
      tabs_.firstShown = std::clamp(tabs_.firstShown + step, 0, std::max(workbook_->SheetCount() - 1, 0));
      UpdateTabTips();
      Redraw();
      break;
    }
    default: break;
  }
}

void GridWindow::OnMouseMove(int x, int y, WPARAM buttons) {
  if (!(buttons & MK_LBUTTON) || drag_ == Drag::kNone) return;
  if (drag_ == Drag::kSelect) {
    int cx = std::clamp(x, view_.CellsLeft(), view_.CellsRight() - 1);
    int cy = std::clamp(y, view_.CellsTop(), view_.CellsBottom() - 1);
    GridHit hit = HitAt(cx, cy);
    if (hit.part == GridPart::kCell && !(selection_.focus == CellPos{hit.row, hit.column})) {
      selection_.focus = {hit.row, hit.column};
      SelectionMoved();
    }
    return;
  }
  int size = std::max(dragStartSize_ + (drag_ == Drag::kColumn ? x : y) - dragOrigin_, 0);
  if (drag_ == Drag::kColumn)
    Sheet().SetColumnWidth(dragIndex_, size);
  else
    Sheet().SetRowHeight(dragIndex_, size);
  UpdateScrollBars();
  Redraw();
}

void GridWindow::EndDrag() {
  Drag was = drag_;
  drag_ = Drag::kNone;
  if ((was == Drag::kColumn || was == Drag::kRow) && callbacks_.resized)
    callbacks_.resized(was == Drag::kColumn, dragIndex_, dragStartSize_);
}

void GridWindow::OnRightClick(int x, int y) {
  EndEdit(true);
  SetFocus(hwnd());
  GridHit hit = HitAt(x, y);
  if (hit.part == GridPart::kCell && !SelectionRect().Contains(hit.row, hit.column)) {
    selection_.Set({hit.row, hit.column});
    SelectionMoved();
  }
  if (hit.part == GridPart::kTab && hit.tab != workbook_->Current()) ShowSheet(hit.tab);
  POINT screen{ScaleToDpi(x, dpi_), ScaleToDpi(y, dpi_)};
  ClientToScreen(hwnd(), &screen);
  if (callbacks_.contextMenu && hit.part != GridPart::kNothing) callbacks_.contextMenu(hit, screen);
}

// ---- the in-place editor ---------------------------------------------------------------------

void GridWindow::BeginEdit(EditStart start, const std::wstring& initial) {
  if (editor_ || Sheet().RowCount() == 0 || Sheet().ColumnCount() == 0) return;
  editCell_ = Current();
  editStart_ = start;
  ScrollToShow(Sheet(), view_, editCell_);
  UpdateScrollBars();
  Redraw();
  PixelRect box = Bounds(editCell_);
  box.left = std::max(box.left, view_.CellsLeft());
  box.top = std::max(box.top, view_.CellsTop());
  box.right = std::max(box.right, box.left + 20);
  box.bottom = std::max(box.bottom, box.top + 18);
  RECT place = ToScreenScale(box);
  editor_ = CreateWindowExW(
      0, L"EDIT", initial.c_str(),
      WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL, place.left, place.top,
      place.right - place.left, place.bottom - place.top, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!editor_) return;
  // The editor is a window of its own, drawn without the grid's scaling: its font is
  // the cell's at the screen's scale.
  CSheetCell f = EffectiveFormat(Sheet(), editCell_.row, editCell_.column);
  FontDesc font = f.font ? *f.font : FontDesc{};
  font.height = ScaleToDpi(font.height, dpi_);
  SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(&font)), FALSE);
  ui::MarkWantsOwnKeys(editor_);
  editorHook_.Attach(
      editor_, [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) { return EditorMessage(w, msg, wp, lp); });
  SetFocus(editor_);
  int end = GetWindowTextLengthW(editor_);
  SendMessageW(editor_, EM_SETSEL, end, end);
}

bool GridWindow::EndEdit(bool store) {
  if (!editor_ || ending_) return false;
  ending_ = true;
  int length = GetWindowTextLengthW(editor_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(editor_, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  HWND gone = editor_;
  bool hadFocus = GetFocus() == gone;
  editor_ = nullptr;
  if (hadFocus) SetFocus(hwnd());
  editorHook_.Detach();
  DestroyWindow(gone);
  ending_ = false;
  if (store && callbacks_.edited) callbacks_.edited(editCell_, ui::Narrow(text));
  Redraw();
  return true;
}

LRESULT GridWindow::EditorMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | ui::Subclass::Default(w, msg, wp, lp);
    case WM_KEYDOWN: {
      EditorKey key = EditorKey::kOther;
      switch (wp) {
        case VK_RETURN: key = EditorKey::kEnter; break;
        case VK_TAB: key = EditorKey::kTab; break;
        case VK_ESCAPE: key = EditorKey::kEscape; break;
        case VK_LEFT: key = EditorKey::kLeft; break;
        case VK_RIGHT: key = EditorKey::kRight; break;
        case VK_UP: key = EditorKey::kUp; break;
        case VK_DOWN: key = EditorKey::kDown; break;
        default: break;
      }
      KeyModifiers mods{KeyDown(VK_SHIFT), KeyDown(VK_CONTROL)};
      EditorKeyAction action = EditorKeyRule(key, editStart_, mods, false);
      GridKey move = GridKey::kEnter;
      KeyModifiers moveMods;
      switch (action) {
        case EditorKeyAction::kPass:
        case EditorKeyAction::kNewLine: return ui::Subclass::Default(w, msg, wp, lp);
        case EditorKeyAction::kCancel: EndEdit(false); return 0;
        case EditorKeyAction::kStoreMoveDown: move = GridKey::kEnter; break;
        case EditorKeyAction::kStoreMoveUp:
          move = GridKey::kEnter;
          moveMods.shift = true;
          break;
        case EditorKeyAction::kStoreMoveRight: move = GridKey::kTab; break;
        case EditorKeyAction::kStoreMoveLeft:
          move = GridKey::kTab;
          moveMods.shift = true;
          break;
        case EditorKeyAction::kStoreMoveArrow:
          move = wp == VK_LEFT    ? GridKey::kLeft
                 : wp == VK_RIGHT ? GridKey::kRight
                 : wp == VK_UP    ? GridKey::kUp
                                  : GridKey::kDown;
          break;
      }
      EndEdit(true);
      MoveBy(move, moveMods);
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (wp == VK_RETURN &&
          EditorKeyRule(EditorKey::kEnter, editStart_, {}, true) == EditorKeyAction::kNewLine) {
        SendMessageW(w, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
        return 0;
      }
      break;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (wp == L'\r' || wp == L'\n' || wp == L'\t' || wp == 27) return 0;
      break;
    case WM_KILLFOCUS:
      if (!ending_) PostMessageW(hwnd(), kEndEditMessage, 0, 0);
      break;
    default: break;
  }
  return ui::Subclass::Default(w, msg, wp, lp);
}

// ---- messages --------------------------------------------------------------------------------

LRESULT GridWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
      // A size may come with a new scale (a move to another monitor).
      if (int dpi = ui::DpiOf(hwnd()); dpi != dpi_) {
        dpi_ = dpi;
        MeasureTabs();
      }
      view_.width = UnscaleFromDpi(LOWORD(lp), dpi_);
      view_.height = UnscaleFromDpi(HIWORD(lp), dpi_);
      UpdateScrollBars();
      UpdateTabTips();
      Redraw();
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KEYDOWN: OnKeyDown(wp); return 0;
    case WM_CHAR: OnChar(static_cast<wchar_t>(wp)); return 0;
    case WM_LBUTTONDOWN: {
      POINT p = FromScreenScale(lp);
      OnMouseDown(p.x, p.y, (wp & MK_SHIFT) != 0);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      POINT p = FromScreenScale(lp);
      GridHit hit = HitAt(p.x, p.y);
      if (hit.part == GridPart::kCell) BeginEdit(EditStart::kF2, ui::Wide(EditableText(Sheet(), Current(), locale_)));
      return 0;
    }
    case WM_MOUSEMOVE: {
      POINT p = FromScreenScale(lp);
      OnMouseMove(p.x, p.y, wp);
      return 0;
    }
    case WM_LBUTTONUP:
      EndDrag();
      if (GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED: EndDrag(); return 0;
    case WM_RBUTTONDOWN: {
      POINT p = FromScreenScale(lp);
      OnRightClick(p.x, p.y);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp)); return 0;
    case WM_MOUSEWHEEL: OnWheel(GET_WHEEL_DELTA_WPARAM(wp)); return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd(), &p);
        GridPart part = HitAt(UnscaleFromDpi(p.x, dpi_), UnscaleFromDpi(p.y, dpi_)).part;
        LPCWSTR cursor = part == GridPart::kColumnEdge ? IDC_SIZEWE
                         : part == GridPart::kRowEdge  ? IDC_SIZENS
                                                       : IDC_ARROW;
        SetCursor(LoadCursorW(nullptr, cursor));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Redraw(); return 0;
    case kEndEditMessage: {
      HWND focus = GetFocus();
      if (editor_ && focus != editor_) EndEdit(true);
      return 0;
    }
    default: break;
  }
  return ui::Window::HandleMessage(msg, wp, lp);
}

}  // namespace vm::spreadsheet
