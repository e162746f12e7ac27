// Layouts, icons and columns at 100, 125, 150 and 200 %.
#include "common/dpi_scale.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(DpiScale, ScalesAndRoundsBothWays) {
  struct Case {
    int pixels, dpi, scaled;
  } cases[] = {{16, 96, 16}, {16, 144, 24}, {16, 192, 32}, {26, 120, 33} /* 32.5 */, {-22, 144, -33},
               {7, 144, 11} /* 10.5 */,  {-7, 144, -11}, {30, 0, 30} /* unknown dpi: 100 % */};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pixels << " at " << c.dpi);
    EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.scaled);
  }
  for (int dpi : {96, 120, 144, 168, 192, 240})
    for (int px : {0, 1, 15, 20, 26, 145, 645, 1280}) EXPECT_EQ(UnscaleFromDpi(ScaleToDpi(px, dpi), dpi), px);
}

TEST(DpiScale, BoxesThatTouchStillTouchAndIconsComeFromTheirOwnSize) {
  struct Box {
    int x, y, width, height;
  };
  // Two boxes side by side, the first of odd size: scaling sizes alone would leave a gap
  // or an overlap of a pixel at 150 %.
  Box a = ScaleBox(Box{5, 3, 7, 21}, 144), b = ScaleBox(Box{12, 3, 9, 21}, 144);
  EXPECT_EQ(a.x + a.width, b.x);
  EXPECT_EQ(a.x, 8);
  EXPECT_EQ(a.height, 31);

  EXPECT_EQ(IconSizeFor(96), 16);
  EXPECT_EQ(IconSizeFor(120), 16);  // 20: a 24 would be squeezed
  EXPECT_EQ(IconSizeFor(144), 24);
  EXPECT_EQ(IconSizeFor(192), 32);
  EXPECT_EQ(IconSizeFor(288), 32);
  EXPECT_EQ(IconSizeFor(60), 16);
  EXPECT_EQ(IconSizeFor(144, 32), 32);
}

TEST(DpiScale, ColumnsHoldTheirTextsAndTheChecksFindCutsAndOverlaps) {
  EXPECT_EQ(FittedColumnWidth(80, 144, 60, 30), 120);   // scaled is enough
  EXPECT_EQ(FittedColumnWidth(80, 144, 130, 30), 160);  // widened to the text
  EXPECT_TRUE(TextFits(90, 100, 10));
  EXPECT_FALSE(TextFits(91, 100, 10));

  std::vector<ControlBox> boxes = {
      {0, 0, 100, 26},    // a tool bar
      {100, 0, 126, 26},  // the button beside it: touching only
      {10, 30, 50, 50},   // a box under them
      {40, 45, 90, 60},   // overlapping the box above
      {60, 60, 60, 90},   // empty: never counted
      {0, 0, 300, 300},   // over everything else
  };
  std::vector<std::pair<size_t, size_t>> want = {{0, 5}, {1, 5}, {2, 3}, {2, 5}, {3, 5}};
  EXPECT_EQ(OverlappingBoxes(boxes), want);
}

}  // namespace
}  // namespace vm
