// CSystemTray: the program's icon in the notification area, with its small menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace vm::shell {

class CSystemTray {
 public:
  CSystemTray();
  virtual ~CSystemTray();
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Fails, adding nothing, when `owner` is not a window. The tooltip keeps at most 63
  // characters (cp1251 text).
  bool AddIcon(HWND owner, UINT callbackMessage, const std::string& tooltip, HICON icon, UINT id);
  void HideIcon();
  void ShowIcon();
  void RemoveIcon();
  // The mouse message of the callback (the low word of its second parameter).
  virtual bool OnTrayMessage(UINT id, UINT mouseMessage);

  // Adds the icon again after the notification area was rebuilt ("TaskbarCreated").
  void Restore();

  bool created() const { return created_; }
  bool hidden() const { return hidden_; }
  // Whether the icon is meant to be in the notification area now.
  bool shown() const { return created_ && !hidden_; }
  std::wstring tooltip() const { return data_.szTip; }

 private:
  bool created_ = false;
  bool hidden_ = false;
  NOTIFYICONDATAW data_{};
};

}  // namespace vm::shell
