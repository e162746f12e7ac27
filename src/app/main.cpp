#include <windows.h>

#include "shell/win/startup_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  return vm::shell::RunVelmoria(instance, showCommand);
}
