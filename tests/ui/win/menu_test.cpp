// Menus built from data: texts, checks, greyed items, separators and submenus.
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/text.h"

namespace vm::ui {
namespace {

std::string TextAt(HMENU menu, int pos) {
  wchar_t buf[64] = {};
  GetMenuStringW(menu, pos, buf, 64, MF_BYPOSITION);
  return Narrow(buf);
}

TEST(Menu, BuiltFromItems) {
  MenuItem view{0, "Вид"};
  view.items = {{11, "Дела", true, true, true}, {12, "Все", false, true, true}};
  UniqueMenu menu = BuildPopupMenu({{1, "Открыть"}, MenuSeparator(), {2, "Удалить", false, false}, view});
  ASSERT_TRUE(menu);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 4);
  EXPECT_EQ(TextAt(menu.get(), 0), "Открыть");
  EXPECT_EQ(GetMenuItemID(menu.get(), 0), 1u);
  EXPECT_TRUE(GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(menu.get(), 2, MF_BYPOSITION) & MF_GRAYED);
  HMENU sub = GetSubMenu(menu.get(), 3);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(TextAt(menu.get(), 3), "Вид");
  EXPECT_EQ(GetMenuItemCount(sub), 2);
  EXPECT_TRUE(GetMenuState(sub, 11, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(sub, 12, MF_BYCOMMAND) & MF_CHECKED);
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(sub, 11, FALSE, &mi);
  EXPECT_TRUE(mi.fType & MFT_RADIOCHECK);
}

}  // namespace
}  // namespace vm::ui
