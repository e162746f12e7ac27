#include "ui/tooltips.h"

#include <commctrl.h>

#include "ui/text.h"

namespace vm::ui {

void Tooltips::Create(HWND dialog) {
  dialog_ = dialog;
  tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                             GetModuleHandleW(nullptr), nullptr));
}

void Tooltips::Add(int controlId, const std::string& text) {
  if (!tip_) return;
  std::wstring wide = Wide(text);
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = dialog_;
  ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog_, controlId));
  TOOLINFOW known = ti;
  known.lpszText = nullptr;
  bool has = SendMessageW(tip_.get(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&known)) != 0;
  ti.lpszText = wide.data();
  SendMessageW(tip_.get(), has ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string Tooltips::TextOf(int controlId) const {
  if (!tip_) return {};
  wchar_t buf[256] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = dialog_;
  ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog_, controlId));
  ti.lpszText = buf;
  SendMessageW(tip_.get(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
  return Narrow(buf);
}

}  // namespace vm::ui
