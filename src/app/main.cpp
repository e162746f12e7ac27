#include <windows.h>

#include "app/pages.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return vm::app::RunVelmoria();
}
