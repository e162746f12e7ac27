#include "ui/status_bar.h"

#include <commctrl.h>

#include "ui/text.h"

namespace vm::ui {

bool StatusBar::Create(HWND parent, int controlId, const std::vector<int>& widths, bool sizeGrip) {
  bar_.reset(CreateWindowExW(
      0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | (sizeGrip ? SBARS_SIZEGRIP : 0), 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr), nullptr));
  if (!bar_) return false;
  std::vector<int> edges;
  int x = 0;
  for (int w : widths) edges.push_back(x += w);
  if (!edges.empty()) edges.back() = -1;
  if (edges.empty()) edges.push_back(-1);
  SendMessageW(hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  return true;
}

void StatusBar::SetText(int part, const std::string& cp1251) {
  SendMessageW(hwnd(), SB_SETTEXTW, part, reinterpret_cast<LPARAM>(Wide(cp1251).c_str()));
}

std::string StatusBar::Text(int part) const {
  int n = LOWORD(SendMessageW(hwnd(), SB_GETTEXTLENGTHW, part, 0));
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(hwnd(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n));
  return Narrow(text);
}

int StatusBar::PartCount() const {
  return static_cast<int>(SendMessageW(hwnd(), SB_GETPARTS, 0, 0));
}

void StatusBar::Resize() {
  SendMessageW(hwnd(), WM_SIZE, 0, 0);
}

}  // namespace vm::ui
