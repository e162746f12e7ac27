// The colour picker: "Авто", the swatches and "Другия цвета.." by where the click falls.
#include "ui/colour_picker.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/win/gui_support.h"
#include "support/win/host_window.h"

namespace vm::ui {
namespace {

void ClickAt(HWND w, POINT p) {
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

TEST(ColourPicker, AutoSwatchesMoreAndAClickOutside) {
  vm::testing::HostWindow host;
  std::vector<COLORREF> chosen;
  auto record = [&](COLORREF c) { chosen.push_back(c); };
  const int c = ColourPicker::kCell, t = ColourPicker::kTextHeight;
  ColourPicker picker;
  picker.SetMoreColours([](HWND, COLORREF& colour) {
    colour = RGB(1, 2, 3);
    return true;
  });

  ASSERT_TRUE(picker.Show(host.hwnd(), POINT{100, 100}, RGB(255, 0, 0), record));
  ClickAt(picker.hwnd(), POINT{10, t / 2});  // "Авто"
  EXPECT_EQ(picker.hwnd(), nullptr);
  ASSERT_TRUE(picker.Show(host.hwnd(), POINT{100, 100}, CLR_INVALID, record));
  ClickAt(picker.hwnd(), POINT{c + c / 2, t + 2 * c + c / 2});  // row 2, column 1: swatch 9
  ASSERT_TRUE(picker.Show(host.hwnd(), POINT{100, 100}, CLR_INVALID, record));
  ClickAt(picker.hwnd(), POINT{10, t + 4 * c + t / 2});  // "Другия цвета.."
  ASSERT_TRUE(picker.Show(host.hwnd(), POINT{100, 100}, CLR_INVALID, record));
  ClickAt(picker.hwnd(), POINT{-20, -20});  // outside: closes, chooses nothing
  EXPECT_EQ(picker.hwnd(), nullptr);
  EXPECT_EQ(chosen, (std::vector<COLORREF>{CLR_INVALID, ColourPicker::Swatch(9), RGB(1, 2, 3)}));
  EXPECT_EQ(ColourPicker::Swatch(9), RGB(255, 0, 0));
}

}  // namespace
}  // namespace vm::ui
