#include "ui/menu.h"

#include <windowsx.h>

#include "ui/text.h"

namespace vm::ui {

namespace {
void Append(HMENU menu, const MenuItem& item) {
  if (item.id == 0 && item.text.empty() && item.items.empty()) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  std::wstring text = Wide(item.text);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
  mi.fType = item.radio ? MFT_RADIOCHECK : MFT_STRING;
  mi.fState =
      (item.checked ? MFS_CHECKED : 0) | (item.enabled ? 0 : MFS_GRAYED) | (item.isDefault ? MFS_DEFAULT : 0);
  mi.wID = static_cast<UINT>(item.id);
  mi.dwTypeData = text.data();
  if (!item.items.empty()) {
    mi.fMask |= MIIM_SUBMENU;
    mi.hSubMenu = BuildPopupMenu(item.items).release();
  }
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
}
}  // namespace

UniqueMenu BuildPopupMenu(const std::vector<MenuItem>& items) {
  UniqueMenu menu(CreatePopupMenu());
  for (const MenuItem& item : items) Append(menu.get(), item);
  return menu;
}

int ShowContextMenu(HWND owner, POINT screen, const std::vector<MenuItem>& items) {
  UniqueMenu menu = BuildPopupMenu(items);
  // The owner must be in front, or the menu does not close when the user clicks away.
  SetForegroundWindow(owner);
  int chosen = static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                               screen.x, screen.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

POINT ContextMenuPoint(HWND window, LPARAM lp) {
  POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (p.x == -1 && p.y == -1) {
    RECT r;
    GetWindowRect(window, &r);
    p = POINT{r.left + 8, r.top + 8};
  }
  return p;
}

}  // namespace vm::ui
