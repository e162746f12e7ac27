// A find dialog keeps clear of what it found, within the work area.
#include "common/keep_clear.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(KeepClear, MovesTheLeastWayOffTheTargetAndStaysOnScreen) {
  const ScreenRect area{0, 0, 1000, 700};
  const ScreenRect dialog{300, 200, 700, 350};  // 400 x 150
  struct Case {
    const char* what;
    ScreenRect target;
    ScreenRect placed;
  } cases[] = {
      {"apart: stays", {0, 500, 100, 520}, dialog},
      {"near its bottom: goes above", {320, 330, 400, 348}, {300, 172, 700, 322}},
      {"near its top: goes below", {320, 205, 400, 223}, {300, 231, 700, 381}},
      {"a row at the top of the screen: below, not off the screen", {0, 0, 1000, 210}, {300, 218, 700, 368}},
      {"a tall column: beside it", {280, 0, 420, 700}, {428, 200, 828, 350}},
      {"the whole screen: nowhere better", {0, 0, 1000, 700}, dialog},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenRect placed = KeepClear(dialog, c.target, area);
    EXPECT_EQ(placed, c.placed);
    EXPECT_TRUE(placed == dialog || !Overlap(placed, c.target));
  }
  // A dialog partly off the work area is brought inside along the target's side.
  EXPECT_EQ(KeepClear({800, 100, 1200, 250}, {850, 200, 950, 220}, area), (ScreenRect{600, 42, 1000, 192}));
}

}  // namespace
}  // namespace vm
