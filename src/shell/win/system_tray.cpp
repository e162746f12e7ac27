#include "shell/win/system_tray.h"

#include "shell/sheet_rules.h"
#include "ui/handles.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::shell {

CSystemTray::CSystemTray() { data_.cbSize = sizeof data_; }

CSystemTray::~CSystemTray() { RemoveIcon(); }

bool CSystemTray::AddIcon(HWND owner, UINT callbackMessage, const std::string& tooltip, HICON icon, UINT id) {
  if (!IsWindow(owner)) return false;
  data_.hWnd = owner;
  data_.uID = id;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon;
  std::wstring tip = ui::Wide(tooltip);
  if (tip.size() > 63) tip.resize(63);
  wcsncpy(data_.szTip, tip.c_str(), 63);
  data_.szTip[63] = L'\0';
  Shell_NotifyIconW(NIM_ADD, &data_);
  // The icon counts as made even when the notification area is not there yet: it is
  // added again when the area appears.
  created_ = true;
  hidden_ = false;
  return true;
}

void CSystemTray::HideIcon() {
  if (!created_ || hidden_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  hidden_ = true;
}

void CSystemTray::ShowIcon() {
  if (!created_ || !hidden_) return;
  Shell_NotifyIconW(NIM_ADD, &data_);
  hidden_ = false;
}

void CSystemTray::RemoveIcon() {
  if (!created_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  created_ = false;
}

void CSystemTray::Restore() {
  if (created_ && !hidden_) Shell_NotifyIconW(NIM_ADD, &data_);
}

bool CSystemTray::OnTrayMessage(UINT id, UINT mouseMessage) {
  if (id != data_.uID) return false;
  HWND owner = data_.hWnd;
  switch (mouseMessage) {
    case kMouseLeftUp:
      SetForegroundWindow(owner);
      return true;
    case kMouseLeftDoubleClick: {
      ui::UniqueMenu menu(ui::LoadMenuResource(static_cast<int>(data_.uID)));
      HMENU sub = menu ? GetSubMenu(menu.get(), 0) : nullptr;
      if (!sub) return true;
      SetForegroundWindow(owner);
      SendMessageW(owner, WM_COMMAND, GetMenuItemID(sub, 0), 0);
      return true;
    }
    case kMouseRightUp: {
      ui::UniqueMenu menu(ui::LoadMenuResource(static_cast<int>(data_.uID)));
      HMENU sub = menu ? GetSubMenu(menu.get(), 0) : nullptr;
      if (!sub) return true;
      SetMenuDefaultItem(sub, 0, TRUE);
      SetForegroundWindow(owner);
      POINT pt;
      GetCursorPos(&pt);
      TrackPopupMenu(sub, TPM_LEFTBUTTON, pt.x, pt.y, 0, owner, nullptr);
      // Lets the menu close properly when the user clicks elsewhere.
      PostMessageW(owner, WM_NULL, 0, 0);
      return true;
    }
    default:
      return true;
  }
}

}  // namespace vm::shell
