#include "shell/win/startup_win.h"

#include <commctrl.h>

#include "shell/app_util.h"
#include "shell/startup.h"
#include "shell/win/velmoria_sheet.h"
#include "ui/text.h"

namespace vm::shell {

bool CloseRunningCopy(const std::string& title) {
  HWND running = FindWindowW(nullptr, ui::Wide(title).c_str());
  if (!running) return false;
  PostMessageW(running, WM_CLOSE, 0, 0);
  return true;
}

StartupState RunStartupSteps() {
  CAppUtil util;
  StartupState state;
  state.title = util.DateTitle();
  CloseRunningCopy(state.title);
  // The command line carries nothing the program acts on.
  state.splashEnabled = util.GetSetting("GENERAL", "HIDE") != "1";
  PrepareWorkingFolders(util.ProgramFolder());
  return state;
}

int RunVelmoria(HINSTANCE, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);
  StartupState state = RunStartupSteps();
  CAppUtil util;
  CVelmoriaSheet sheet(nullptr);
  sheet.SetBottomCaption(util.Unscramble(kStoredCaption));
  sheet.EnableSplash(state.splashEnabled);
  // The sheet's modal run is the program: when it returns, the program ends.
  return sheet.DoModal();
}

}  // namespace vm::shell
