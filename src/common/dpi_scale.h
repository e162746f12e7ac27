// Sizes at other screen scales. The pages give their layouts in pixels of a screen at 96
// dots per inch (100 %); at 144 (150 %) or 192 (200 %) every box, icon, column and font
// grows by that ratio, and the program draws for the scale it is told, since it declares
// itself aware of the scale of each monitor. This file holds that arithmetic and the
// checks of a finished layout (does a text fit its control, do two controls overlap);
// the windows only ask it.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vm {

inline constexpr int kBaseDpi = 96;

// `pixels` at 96 dpi as pixels at `dpi`, rounded to the nearest (halves away from zero);
// a dpi of 0 or less counts as 96.
int ScaleToDpi(int pixels, int dpi);
// The inverse: pixels at `dpi` as pixels at 96 dpi.
int UnscaleFromDpi(int pixels, int dpi);

// Scales an x, y, width, height box of any layout struct.
template <typename Box>
Box ScaleBox(Box b, int dpi) {
  int right = ScaleToDpi(b.x + b.width, dpi), bottom = ScaleToDpi(b.y + b.height, dpi);
  b.x = ScaleToDpi(b.x, dpi);
  b.y = ScaleToDpi(b.y, dpi);
  // Edges are scaled, not sizes, so boxes that touched at 96 dpi still touch.
  b.width = right - b.x;
  b.height = bottom - b.y;
  return b;
}

// The icon sizes the program's icon resources carry for a 16-pixel picture.
inline constexpr int kIconSizes[] = {16, 24, 32};
// The size an icon drawn at `base` pixels at 96 dpi is shown at: the largest of
// kIconSizes no bigger than the scaled size (16 at 96 and 120 dpi, 24 at 144, 32 at 192
// and above), so an icon is drawn from its own picture, never stretched.
int IconSizeFor(int dpi, int base = 16);

// The width of a list column: `width` (at 96 dpi) scaled, widened to hold `widestText`
// (measured at the screen's scale) with `padding` pixels around it.
int FittedColumnWidth(int width, int dpi, int widestText, int padding);

// A control as the layout checks see it, in its parent's client pixels.
struct ControlBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const ControlBox&, const ControlBox&) = default;
};
// The index pairs (first < second) of boxes that share area; boxes that only touch,
// and empty boxes, do not overlap anything.
std::vector<std::pair<size_t, size_t>> OverlappingBoxes(const std::vector<ControlBox>& boxes);
// Whether a one-line text `textWidth` pixels wide shows whole in a control whose client
// area is `clientWidth` wide, of which the control keeps `margins` for itself.
bool TextFits(int textWidth, int clientWidth, int margins);

}  // namespace vm
