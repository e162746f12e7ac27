#include <windows.h>

#include "app/pages.h"
#include "ui/window.h"

// What escapes start-up, the sheet's run or the exit steps is reported before the
// program ends, as the window procedures report theirs.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return vm::ui::Guarded([] { return vm::app::RunVelmoria(); }, [] { return 1; });
}
