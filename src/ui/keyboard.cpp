#include "ui/keyboard.h"

#include <windows.h>

#include "common/ask_dialogs.h"
#include "ui/text.h"

namespace vm::ui {

std::string ActiveLayoutName() {
  wchar_t name[KL_NAMELENGTH] = {};
  if (!GetKeyboardLayoutNameW(name)) return {};
  return Narrow(name);
}

bool ActivateLayout(unsigned languageId) {
  std::wstring name = Wide(KeyboardLayoutName(languageId));
  HKL layout = LoadKeyboardLayoutW(name.c_str(), KLF_ACTIVATE);
  if (!layout) return false;
  ActivateKeyboardLayout(layout, 0);
  return true;
}

}  // namespace vm::ui
