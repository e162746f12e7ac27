// The tests' main: no message box may ever block a test run, so messages go to stderr
// unless a test captures them itself.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  vm::platform::SetMessageSink([](const std::string& text, vm::platform::MessageIcon) {
    std::fprintf(stderr, "[message] %s\n", vm::platform::Cp1251ToUtf8(text).c_str());
  });
  return RUN_ALL_TESTS();
}
