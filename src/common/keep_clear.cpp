#include "common/keep_clear.h"

#include <algorithm>
#include <cstdlib>

namespace vm {

namespace {

constexpr int kGap = 8;

ScreenRect At(const ScreenRect& r, int left, int top) {
  return ScreenRect{left, top, left + r.width(), top + r.height()};
}

bool Inside(const ScreenRect& r, const ScreenRect& area) {
  return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

// `from` moved along one axis to lie within [low, high - size] when it fits.
int Slide(int from, int size, int low, int high) {
  return std::max(low, std::min(from, high - size));
}

}  // namespace

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

ScreenRect KeepClear(const ScreenRect& dialog, const ScreenRect& target, const ScreenRect& area) {
  if (!Overlap(dialog, target)) return dialog;
  const int x = Slide(dialog.left, dialog.width(), area.left, area.right);
  const int y = Slide(dialog.top, dialog.height(), area.top, area.bottom);
  const ScreenRect places[] = {
      At(dialog, x, target.top - kGap - dialog.height()),  // above
      At(dialog, x, target.bottom + kGap),                 // below
      At(dialog, target.left - kGap - dialog.width(), y),  // left
      At(dialog, target.right + kGap, y),                  // right
  };
  const ScreenRect* best = nullptr;
  long bestMove = 0;
  for (const ScreenRect& p : places) {
    if (!Inside(p, area) || Overlap(p, target)) continue;
    long move =
        std::labs(static_cast<long>(p.left) - dialog.left) + std::labs(static_cast<long>(p.top) - dialog.top);
    if (!best || move < bestMove) {
      best = &p;
      bestMove = move;
    }
  }
  return best ? *best : dialog;
}

}  // namespace vm
