// The program's start: title text, closing a running copy, the working folders, then
// the main sheet until the user quits.
#pragma once

#include <windows.h>

#include <string>

#include "common/app_util.h"

namespace vm::shell {

struct StartupState {
  std::string title;         // the title text of the start's date
  bool splashEnabled = false;  // "GENERAL"/"HIDE" is not "1"
};

// Steps 1-5 of the start: returns what the main window needs.
StartupState RunStartupSteps(const CAppUtil& app);
// Posts the window-close message to a top-level window carrying `title`, without
// waiting; true when one was found.
bool CloseRunningCopy(const std::string& title);

}  // namespace vm::shell
