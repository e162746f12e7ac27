// Where the controls of the contacts and firms pages go for a page client size, in
// pixels at 96 dpi (PageBoxesAt scales them). The pages only apply these boxes.
#pragma once

#include <vector>

namespace vm::cards {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

struct CardPageBoxes {
  Box toolbar;              // the page's commands
  Box hideBar;              // the single "Скрыть F12" button at the right edge
  std::vector<Box> search;  // one per search box, left to right
  Box list;                 // the main list
  Box address, addressIcon;
  Box comment, commentIcon;
  Box means;               // the contact-means list
  Box phones, phonesIcon;  // the firms page's telephones box; empty on the contacts page
  Box count;               // the strip the count text is painted in
};

// Page client width and height; sizes that would come out negative on a tiny page are 0.
CardPageBoxes ContactsPageBoxes(int width, int height);
CardPageBoxes FirmsPageBoxes(int width, int height);
// One of the two above for a page at `dpi`: the page's client size in its own pixels,
// the boxes scaled from the layout at 96 dpi.
CardPageBoxes PageBoxesAt(CardPageBoxes (*boxes)(int width, int height), int width, int height, int dpi);

}  // namespace vm::cards
