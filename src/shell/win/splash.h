// The splash picture: a borderless window the size of the picture, centred, gone after
// 500 ms or at the first key or mouse press anywhere in the program.
#pragma once

#include <windows.h>

#include "ui/handles.h"
#include "ui/window.h"

namespace vm::shell {

class Splash : private ui::Window {
 public:
  Splash() = default;
  ~Splash() override;

  // Shows the picture above `owner`, the window repainted once the picture goes.
  bool Show(HWND owner);
  bool visible() const { return hwnd() != nullptr; }
  using ui::Window::hwnd;
  // Called for every message before it is dispatched: a key or mouse press while the
  // picture shows takes the picture away and goes no further (true).
  bool FilterMessage(const MSG& msg);
  void Close();
  // Puts the picture back on top after its owner has been shown.
  void Raise();

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  HWND repaint_ = nullptr;
  ui::UniqueBitmap picture_;
  SIZE size_{};
};

}  // namespace vm::shell
