// The dialog font pages make their own fonts from.
#include "ui/fonts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/handles.h"

namespace vm::ui {
namespace {

TEST(DialogFont, IsTheWindowsFontOrTheGuiFontWhenItHasNone) {
  UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window);
  // No font of its own: a description that makes a real font, not a zeroed one.
  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  LOGFONTW none = DialogFont(window.get());
  EXPECT_EQ(std::wstring(none.lfFaceName), std::wstring(gui.lfFaceName));
  EXPECT_NE(std::wstring(none.lfFaceName), L"");
  EXPECT_EQ(none.lfHeight, gui.lfHeight);

  UniqueFont font(CreateFontW(-15, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Courier New"));
  SendMessageW(window.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  LOGFONTW own = DialogFont(window.get());
  EXPECT_EQ(std::wstring(own.lfFaceName), L"Courier New");
  EXPECT_EQ(own.lfHeight, -15);
  EXPECT_EQ(own.lfWeight, FW_BOLD);
  EXPECT_TRUE(own.lfItalic);
  EXPECT_EQ(own.lfCharSet, RUSSIAN_CHARSET);
}

}  // namespace
}  // namespace vm::ui
