// Keyboard layouts by the name the system gives them ("00000419").
#pragma once

#include <string>

namespace vm::ui {

std::string ActiveLayoutName();
// Loads and activates the layout of a language; false when the system refuses.
bool ActivateLayout(unsigned languageId);

}  // namespace vm::ui
