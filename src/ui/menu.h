// Menus and context menus built from data: a page describes its items (ids as in its
// resources header, texts in cp1251, checks and greyed items as its state says) and
// gets a menu back, instead of writing the Win32 calls again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/handles.h"

namespace vm::ui {

struct MenuItem {
  int id = 0;  // 0 with an empty text: a separator
  std::string text;
  bool checked = false;
  bool enabled = true;
  bool radio = false;           // a check shown as a dot
  std::vector<MenuItem> items;  // not empty: a submenu
  bool isDefault = false;       // shown in bold
};
inline MenuItem MenuSeparator() {
  return MenuItem{};
}

UniqueMenu BuildPopupMenu(const std::vector<MenuItem>& items);
// Shows the items at a screen point and returns the chosen id; 0 when nothing was chosen.
int ShowContextMenu(HWND owner, POINT screen, const std::vector<MenuItem>& items);
// The position of a context menu for WM_CONTEXTMENU: the mouse point, or below the
// window's top-left corner when it came from the keyboard.
POINT ContextMenuPoint(HWND window, LPARAM lp);

}  // namespace vm::ui
