#include "ui/dpi.h"

#include "ui/handles.h"
#include "ui/resources.h"

namespace vm::ui {

int DpiOf(HWND window) {
  // Looked up, not linked: Windows before 10 has no per-window scale.
  using ForWindow = UINT(WINAPI*)(HWND);
  static const auto forWindow = reinterpret_cast<ForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window && forWindow) {
    UINT dpi = forWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kBaseDpi;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

HIMAGELIST IconList(const int* ids, int count, int size) {
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 0);
  if (!list) return nullptr;
  for (int i = 0; i < count; ++i) {
    UniqueIcon icon(LoadIconResource(ids[i], size));
    if (icon) ImageList_AddIcon(list, icon.get());
  }
  return list;
}

}  // namespace vm::ui
