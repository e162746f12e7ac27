// One owner for every kind of Win32 handle: movable, not copyable, frees exactly once.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace vm::ui {

template <typename Traits>
class Owner {
 public:
  using Handle = typename Traits::Handle;

  Owner() = default;
  explicit Owner(Handle h) : h_(h) {}
  ~Owner() { reset(); }
  Owner(Owner&& other) noexcept : h_(other.release()) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  // Gives the handle up without freeing it.
  Handle release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    Handle old = std::exchange(h_, h);
    if (old != Traits::Invalid()) Traits::Free(old);
  }

 private:
  Handle h_ = Traits::Invalid();
};

struct WindowTraits {
  using Handle = HWND;
  static HWND Invalid() { return nullptr; }
  static void Free(HWND h) { DestroyWindow(h); }
};
template <typename H>
struct GdiTraits {
  using Handle = H;
  static H Invalid() { return nullptr; }
  static void Free(H h) { DeleteObject(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static HMENU Invalid() { return nullptr; }
  static void Free(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
  using Handle = HICON;
  static HICON Invalid() { return nullptr; }
  static void Free(HICON h) { DestroyIcon(h); }
};
struct CursorTraits {
  using Handle = HCURSOR;
  static HCURSOR Invalid() { return nullptr; }
  static void Free(HCURSOR h) { DestroyCursor(h); }
};
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static HIMAGELIST Invalid() { return nullptr; }
  static void Free(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct AccelTraits {
  using Handle = HACCEL;
  static HACCEL Invalid() { return nullptr; }
  static void Free(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static HMODULE Invalid() { return nullptr; }
  static void Free(HMODULE h) { FreeLibrary(h); }
};
struct DcTraits {
  using Handle = HDC;
  static HDC Invalid() { return nullptr; }
  static void Free(HDC h) { DeleteDC(h); }
};
struct KeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Free(HKEY h) { RegCloseKey(h); }
};

using UniqueWindow = Owner<WindowTraits>;
using UniqueFont = Owner<GdiTraits<HFONT>>;
using UniqueBitmap = Owner<GdiTraits<HBITMAP>>;
using UniqueBrush = Owner<GdiTraits<HBRUSH>>;
using UniqueMenu = Owner<MenuTraits>;
using UniqueIcon = Owner<IconTraits>;
using UniqueCursor = Owner<CursorTraits>;
using UniqueImageList = Owner<ImageListTraits>;
using UniqueAccel = Owner<AccelTraits>;
using UniqueModule = Owner<ModuleTraits>;
using UniqueKey = Owner<KeyTraits>;
using UniqueDc = Owner<DcTraits>;  // CreateCompatibleDC and the like

// Selects a GDI object into a device context for the guard's lifetime.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectGuard() { SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint for the guard's lifetime, EndPaint at its end: a WM_PAINT handler's DC.
class PaintGuard {
 public:
  explicit PaintGuard(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~PaintGuard() { EndPaint(window_, &ps_); }
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;
  HDC dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

}  // namespace vm::ui
