// A plain top-level window of our own for toolkit tests: the parent of the control under
// test, which receives the control's notifications.
#pragma once

#include "ui/window.h"

namespace vm::testing {

class HostWindow : public ui::Window {
 public:
  HostWindow(int width = 420, int height = 320) {
    Create({L"VelmoriaTestHost"}, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height, nullptr);
  }
};

}  // namespace vm::testing
