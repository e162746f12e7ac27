// A status bar along the bottom of a page or window, in parts of fixed widths.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/handles.h"

namespace vm::ui {

class StatusBar {
 public:
  // The widths of the parts from the left, in pixels; the last part takes the rest.
  bool Create(HWND parent, int controlId, const std::vector<int>& widths, bool sizeGrip = false);
  HWND hwnd() const { return bar_.get(); }
  void SetText(int part, const std::string& cp1251);
  std::string Text(int part) const;
  int PartCount() const;
  // Follows the parent's new size (call from the parent's WM_SIZE).
  void Resize();

 private:
  UniqueWindow bar_;
};

}  // namespace vm::ui
