// The colour picker that drops down from a tool-bar button: "Авто" on top, sixteen
// swatches, and "Другия цвета.." below, which opens the system's colour dialog.
//
// It neither captures the mouse nor takes the activation (either is taken back from a
// pop-up by the system at times of its own, under Wine a second after it opened): it
// stays open until a colour is chosen, Esc is pressed, a mouse button is pressed
// anywhere else in the program or another program becomes active. The thread's mouse
// and keyboard hooks, while it is open, see those presses. A swatch is chosen by a
// press and a release on it, so the release of the click that opened the picker (on
// the tool-bar button) chooses nothing and closes nothing.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/window.h"

namespace vm::ui {

class ColourPicker : private Window {
 public:
  // CLR_INVALID stands for "Авто", the automatic colour.
  using Chosen = std::function<void(COLORREF colour)>;
  // Asks for a colour beyond the sixteen; the system's dialog unless replaced (tests).
  using MoreColours = std::function<bool(HWND owner, COLORREF& colour)>;

  static constexpr int kCell = 18, kColumns = 4, kRows = 4, kTextHeight = 22;
  // What lies under a point of the picker's client area: -1 "Авто", 0-15 a swatch,
  // 16 "Другия цвета..", -2 nothing.
  static int ItemAt(POINT p);
  static COLORREF Swatch(int index);

  // Opens with its top-left corner at a screen point, moved as far as needed to lie
  // whole on that point's monitor.
  bool Show(HWND owner, POINT screen, COLORREF current, Chosen chosen);
  void Close();
  using Window::hwnd;
  void SetMoreColours(MoreColours more) { more_ = std::move(more); }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Paint(HDC dc);
  void Choose(int item);

  COLORREF current_ = CLR_INVALID;
  Chosen chosen_;
  MoreColours more_;
  HWND owner_ = nullptr;
  int pressed_ = -2;  // the item under the last press inside the picker
  HHOOK mouseHook_ = nullptr, keyHook_ = nullptr;
};

}  // namespace vm::ui
