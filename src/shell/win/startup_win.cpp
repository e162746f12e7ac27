#include "shell/win/startup_win.h"

#include "shell/startup.h"
#include "ui/text.h"

namespace vm::shell {

bool CloseRunningCopy(const std::string& title) {
  HWND running = FindWindowW(nullptr, ui::Wide(title).c_str());
  if (!running) return false;
  PostMessageW(running, WM_CLOSE, 0, 0);
  return true;
}

StartupState RunStartupSteps(const CAppUtil& util) {
  StartupState state;
  state.title = util.DateTitle();
  CloseRunningCopy(state.title);
  // The command line carries nothing the program acts on.
  state.splashEnabled = util.GetSetting("GENERAL", "HIDE") != "1";
  PrepareWorkingFolders(util.ProgramFolder());
  return state;
}

}  // namespace vm::shell
