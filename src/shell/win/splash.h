// The splash picture: a borderless window the size of the picture, centred, gone after
// 500 ms or at the first key or mouse press anywhere in the program.
#pragma once

#include <windows.h>

#include "ui/handles.h"

namespace vm::shell {

class Splash {
 public:
  Splash() = default;
  ~Splash();
  Splash(const Splash&) = delete;
  Splash& operator=(const Splash&) = delete;

  // Shows the picture above `owner`, the window repainted once the picture goes.
  bool Show(HWND owner);
  bool visible() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }
  // Called for every message before it is dispatched: a key or mouse press while the
  // picture shows takes the picture away and goes no further (true).
  bool FilterMessage(const MSG& msg);
  void Close();
  // Puts the picture back on top after its owner has been shown.
  void Raise();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  HWND repaint_ = nullptr;
  ui::UniqueBitmap picture_;
  SIZE size_{};
};

}  // namespace vm::shell
