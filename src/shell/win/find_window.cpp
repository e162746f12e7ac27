#include "shell/win/find_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "common/keep_clear.h"
#include "shell/win/shell_resources.h"
#include "ui/wait_cursor.h"

namespace vm::shell {

FindEverywhereWindow::FindEverywhereWindow(FindEverywhere& everywhere, Go go)
    : ui::Dialog(IDD_FIND_EVERYWHERE), everywhere_(everywhere), go_(std::move(go)) {}

void FindEverywhereWindow::Open(HWND owner) {
  if (!hwnd()) CreateModeless(owner);
  if (!hwnd()) return;
  Search();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  HWND box = Item(IDC_FIND_EVERYWHERE_TEXT);
  SetFocus(box);
  SendMessageW(box, EM_SETSEL, 0, -1);
}

bool FindEverywhereWindow::OnInitDialog() {
  ui::ListView::Callbacks cb;
  cb.text = [this](int row, int column) -> std::string {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    const FoundRow& r = rows_[static_cast<size_t>(row)];
    return column == 0 ? r.book : column == 1 ? r.where : r.text;
  };
  cb.activated = [this](int row) { GoTo(row); };
  list_.Attach(Item(IDC_FIND_EVERYWHERE_LIST), ui::ListView::kFullRowSelect | ui::ListView::kKeepMarked, cb);
  list_.SetColumns({{"Книга", 150}, {"Где", 190}, {"Текст", 250}});
  Layout();
  return true;
}

void FindEverywhereWindow::Type(const std::string& cp1251) {
  SetItemText(IDC_FIND_EVERYWHERE_TEXT, cp1251);  // EN_CHANGE searches
}

void FindEverywhereWindow::Search() {
  if (!hwnd()) return;
  const std::string typed = ItemText(IDC_FIND_EVERYWHERE_TEXT);
  {
    ui::WaitCursor wait;
    found_ = everywhere_.Search(typed);
  }
  rows_ = FoundRows(found_);
  list_.SetRowCount(static_cast<int>(rows_.size()));
  if (!rows_.empty()) list_.Select(0);
  list_.RedrawAll();
  SetItemText(IDC_FIND_EVERYWHERE_STATUS, FoundStatus(found_, !typed.empty()));
}

std::string FindEverywhereWindow::status() const { return ItemText(IDC_FIND_EVERYWHERE_STATUS); }

bool FindEverywhereWindow::GoTo(int row) {
  if (row < 0 || row >= static_cast<int>(found_.lines.size())) return false;
  const FoundLine line = found_.lines[static_cast<size_t>(row)];
  if (go_) go_(line);
  return true;
}

void FindEverywhereWindow::KeepClearOfFocus() {
  HWND focus = GetFocus();
  if (!hwnd() || !focus || !IsWindowVisible(hwnd())) return;
  RECT target{};
  GetClientRect(focus, &target);
  wchar_t cls[32] = {};
  GetClassNameW(focus, cls, 32);
  if (lstrcmpiW(cls, WC_LISTVIEWW) == 0) {
    const int row = ListView_GetNextItem(focus, -1, LVNI_SELECTED);
    if (row >= 0) ListView_GetItemRect(focus, row, &target, LVIR_BOUNDS);
  } else if (lstrcmpiW(cls, L"ListBox") == 0) {
    const LRESULT row = SendMessageW(focus, LB_GETCURSEL, 0, 0);
    if (row != LB_ERR) SendMessageW(focus, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&target));
  } else if (lstrcmpiW(cls, L"RichEdit50W") == 0) {
    CHARRANGE sel{};
    SendMessageW(focus, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    POINTL at{};
    SendMessageW(focus, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), sel.cpMin);
    target = RECT{at.x, at.y, at.x + 80, at.y + 20};
  } else {
    target.bottom = std::min<LONG>(target.bottom, target.top + 40);  // the top of a grid or tree
  }
  MapWindowPoints(focus, nullptr, reinterpret_cast<POINT*>(&target), 2);
  RECT now;
  GetWindowRect(hwnd(), &now);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &mi)) return;
  auto screen = [](const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; };
  const ScreenRect placed = KeepClear(screen(now), screen(target), screen(mi.rcWork));
  if (placed == screen(now)) return;
  SetWindowPos(hwnd(), nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindEverywhereWindow::OnOk() {
  const int row = list_.Selected();
  GoTo(row >= 0 ? row : 0);
}

// Esc puts the window away; what was typed and found stays for the next time.
void FindEverywhereWindow::OnCancel() { ShowWindow(hwnd(), SW_HIDE); }

bool FindEverywhereWindow::OnCommand(int id, int code, HWND control) {
  if (id == IDC_FIND_EVERYWHERE_TEXT && code == EN_CHANGE) {
    Search();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool FindEverywhereWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      return false;
    case WM_ACTIVATE:
      // Back from a page where the books may have changed: the hits are renewed.
      if (LOWORD(wp) != WA_INACTIVE && IsWindowVisible(hwnd())) Search();
      return false;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = POINT{360, 200};
      result = 0;
      return true;
    }
    case WM_CLOSE:
      OnCancel();
      result = 0;
      return true;
    default: return false;
  }
}

void FindEverywhereWindow::Layout() {
  RECT client;
  GetClientRect(hwnd(), &client);
  RECT unit{4, 8, 0, 0};
  MapDialogRect(hwnd(), &unit);
  const int margin = unit.left * 2, line = unit.top, w = client.right - 2 * margin;
  HWND label = Item(IDC_FIND_EVERYWHERE_LABEL), box = Item(IDC_FIND_EVERYWHERE_TEXT);
  HWND list = Item(IDC_FIND_EVERYWHERE_LIST), status = Item(IDC_FIND_EVERYWHERE_STATUS);
  if (!label || !box || !list || !status) return;
  const int labelWidth = unit.left * 12;
  const int boxHeight = line * 14 / 8, statusHeight = line * 10 / 8;
  MoveWindow(label, margin, margin + 2, labelWidth, line, TRUE);
  MoveWindow(box, margin + labelWidth, margin, w - labelWidth, boxHeight, TRUE);
  const int top = margin * 2 + boxHeight;
  const int listHeight = client.bottom - top - statusHeight - margin * 2;
  MoveWindow(list, margin, top, w, listHeight > 0 ? listHeight : 0, TRUE);
  MoveWindow(status, margin, client.bottom - margin - statusHeight, w, statusHeight, TRUE);
  // The text column takes the width the other two leave.
  RECT inside;
  GetClientRect(list, &inside);
  const int rest = inside.right - ListView_GetColumnWidth(list, 0) - ListView_GetColumnWidth(list, 1);
  if (rest > 60) ListView_SetColumnWidth(list, 2, rest);
}

}  // namespace vm::shell
