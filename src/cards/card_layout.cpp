#include "cards/card_layout.h"

#include <algorithm>

#include "common/dpi_scale.h"

namespace vm::cards {

namespace {

Box Make(int x, int y, int width, int height) {
  return Box{x, y, std::max(width, 0), std::max(height, 0)};
}

// What both pages share: the hide button, the main list, the address and comment boxes
// with their icons, and the count strip.
void Common(CardPageBoxes& b, int w, int h) {
  int half = w / 2;
  b.hideBar = Make(w - 22, 0, 26, 26);
  b.list = Make(10, 60, w - 20, h - 210);
  b.address = Make(50, h - 145, half - 60, 68);
  b.comment = Make(50, h - 75, half - 60, 68);
  b.addressIcon = Make(10, h - 130, 30, 30);
  b.commentIcon = Make(10, h - 60, 30, 30);
  b.count = Make(w - 160, 5, 160, 20);
}

}  // namespace

// With 160 pixels the means list would reach 15 pixels below the page (it starts 145
// above the bottom), its last rows cut off where no scroll bar can reach them; it ends
// at the page's bottom edge instead, and scrolls when the seven rows do not fit.
constexpr int kContactMeansHeight = 145;

CardPageBoxes ContactsPageBoxes(int w, int h) {
  CardPageBoxes b;
  Common(b, w, h);
  b.toolbar = Make(10, 0, 320, 26);
  int d = (w - 15) / 4;
  b.search = {Make(10, 30, d - 5, 20), Make(d + 5, 30, d, 20), Make((w - 15) / 2 + 5, 30, d, 20),
              Make((3 * w - 45) / 4 + 5, 30, d, 20)};
  int half = w / 2;
  b.means = Make(w - half, h - 145, half - 10, kContactMeansHeight);
  return b;
}

CardPageBoxes FirmsPageBoxes(int w, int h) {
  CardPageBoxes b;
  Common(b, w, h);
  b.toolbar = Make(10, 0, 290, 26);
  int d = (w - 15) / 3;
  b.search = {Make(10, 30, d - 5, 20), Make(d + 5, 30, d, 20), Make((2 * w - 30) / 3 + 5, 30, d, 20)};
  int half = w / 2;
  b.means = Make(w - half, h - 145, half - 10, 80);
  b.phonesIcon = Make(w - half, h - 60, 30, 30);
  b.phones = Make(w - half + 35, h - 60, half - 45, 55);
  return b;
}

CardPageBoxes PageBoxesAt(CardPageBoxes (*boxes)(int, int), int width, int height, int dpi) {
  CardPageBoxes b = boxes(UnscaleFromDpi(width, dpi), UnscaleFromDpi(height, dpi));
  for (Box* box : {&b.toolbar, &b.hideBar, &b.list, &b.address, &b.addressIcon, &b.comment, &b.commentIcon,
                   &b.means, &b.phones, &b.phonesIcon, &b.count})
    *box = ScaleBox(*box, dpi);
  for (Box& box : b.search) box = ScaleBox(box, dpi);
  return b;
}

}  // namespace vm::cards
