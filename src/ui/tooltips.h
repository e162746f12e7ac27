// Tooltips for a dialog's controls.
#pragma once

#include <windows.h>

#include <string>

#include "ui/handles.h"

namespace vm::ui {

class Tooltips {
 public:
  // Creates the tooltip window for a dialog; call once the dialog exists.
  void Create(HWND dialog);
  // Adds a control's tooltip (cp1251 text), or changes it when the control has one.
  void Add(int controlId, const std::string& text);
  // The tooltip text registered for a control, for checks.
  std::string TextOf(int controlId) const;
  HWND hwnd() const { return tip_.get(); }

 private:
  HWND dialog_ = nullptr;
  UniqueWindow tip_;
};

}  // namespace vm::ui
