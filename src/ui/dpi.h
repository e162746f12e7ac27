// The screen scale a window is drawn at, and what the toolkit makes for it: the program
// declares itself aware of each monitor's scale, so the system does not stretch its
// windows; every pixel size the pages use is given at 96 dpi and scaled here
// (common/dpi_scale does the arithmetic).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "common/dpi_scale.h"

namespace vm::ui {

// The dots per inch `window` is shown at (the system's when the window is null or the
// system cannot say per window).
int DpiOf(HWND window);
// `pixels` at 96 dpi as pixels on `window`'s screen.
inline int Scaled(HWND window, int pixels) { return ScaleToDpi(pixels, DpiOf(window)); }
// The size of a 16-pixel icon on `window`'s screen: 16, 24 or 32.
inline int IconSize(HWND window) { return IconSizeFor(DpiOf(window)); }
// An image list of `size` square icons, filled from icon resources in order (each drawn
// from the picture of that size the resource carries).
HIMAGELIST IconList(const int* ids, int count, int size);
// A font height given at 96 dpi (as CreateFontW takes it) at `window`'s scale.
inline int FontHeight(HWND window, int height96) { return ScaleToDpi(height96, DpiOf(window)); }

}  // namespace vm::ui
