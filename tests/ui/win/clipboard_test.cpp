// Text through the clipboard: the cp1251 text comes back as it went, Cyrillic, line
// breaks and all, and nothing is read where there is no text.
#include "ui/clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ui/handles.h"

namespace vm::ui {
namespace {

TEST(Clipboard, TextComesBackAsItWent) {
  UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(owner);
  for (const std::string& text : {std::string("Привет, мир!\r\nвторая строка\tи «кавычки» №5"), std::string(),
                                  std::string(5000, '\xFF')}) {
    ASSERT_TRUE(PutClipboardText(owner.get(), text));
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(ClipboardText(owner.get()), text);
  }

  ASSERT_TRUE(OpenClipboard(owner.get()));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(ClipboardHasText());
  EXPECT_EQ(ClipboardText(owner.get()), std::nullopt);
}

}  // namespace
}  // namespace vm::ui
