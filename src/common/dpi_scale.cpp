#include "common/dpi_scale.h"

#include <algorithm>
#include <cstdint>

namespace vm {

namespace {
int Ratio(int pixels, int num, int den) {
  if (den <= 0) den = kBaseDpi;
  if (num <= 0) num = kBaseDpi;
  std::int64_t p = static_cast<std::int64_t>(pixels) * num;
  std::int64_t q = p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
  return static_cast<int>(q);
}
}  // namespace

int ScaleToDpi(int pixels, int dpi) { return Ratio(pixels, dpi, kBaseDpi); }

int UnscaleFromDpi(int pixels, int dpi) { return Ratio(pixels, kBaseDpi, dpi); }

int IconSizeFor(int dpi, int base) {
  int want = ScaleToDpi(base, dpi);
  int size = kIconSizes[0];
  for (int s : kIconSizes)
    if (s <= want) size = s;
  return size;
}

int FittedColumnWidth(int width, int dpi, int widestText, int padding) {
  return std::max(ScaleToDpi(width, dpi), widestText + padding);
}

std::vector<std::pair<size_t, size_t>> OverlappingBoxes(const std::vector<ControlBox>& boxes) {
  std::vector<std::pair<size_t, size_t>> out;
  auto empty = [](const ControlBox& b) { return b.right <= b.left || b.bottom <= b.top; };
  for (size_t i = 0; i < boxes.size(); ++i) {
    if (empty(boxes[i])) continue;
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const ControlBox &a = boxes[i], &b = boxes[j];
      if (empty(b)) continue;
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) out.emplace_back(i, j);
    }
  }
  return out;
}

bool TextFits(int textWidth, int clientWidth, int margins) { return textWidth + margins <= clientWidth; }

}  // namespace vm
