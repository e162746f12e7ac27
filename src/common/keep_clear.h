// Where a floating dialog (find, replace) goes after a hit so that it does not hide what
// it found. Plain screen rectangles in, a rectangle out; the Win32 side only reads the
// windows' places and moves the dialog.
#pragma once

namespace vm {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

bool Overlap(const ScreenRect& a, const ScreenRect& b);

// The dialog as it is when it does not cover `target`. Otherwise the nearest place just
// above, below, left or right of the target (a few pixels away) that lies wholly in the
// work area, sliding along the target's side as little as needed to stay inside it. When
// no such place exists (a target as big as the screen) the dialog stays where it is.
ScreenRect KeepClear(const ScreenRect& dialog, const ScreenRect& target, const ScreenRect& workArea);

}  // namespace vm
