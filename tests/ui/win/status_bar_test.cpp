// The status bar: parts and their texts.
#include "ui/status_bar.h"

#include <gtest/gtest.h>

#include "support/win/host_window.h"

namespace vm::ui {
namespace {

TEST(StatusBar, PartsHoldTheirTexts) {
  vm::testing::HostWindow host;
  StatusBar bar;
  ASSERT_TRUE(bar.Create(host.hwnd(), 400, {120, 80, 0}));
  EXPECT_EQ(bar.PartCount(), 3);
  bar.SetText(0, "Записей: 12");
  bar.SetText(2, "Изменено");
  EXPECT_EQ(bar.Text(0), "Записей: 12");
  EXPECT_EQ(bar.Text(1), "");
  EXPECT_EQ(bar.Text(2), "Изменено");
}

}  // namespace
}  // namespace vm::ui
