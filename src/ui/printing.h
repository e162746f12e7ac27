// The print dialog for a page's print command. With no printer installed the dialog
// would stop on a message box of its own, so the user is told in ours instead and
// nothing is asked.
#pragma once

#include <windows.h>

namespace vm::ui {

// True when at least one printer (local or connected) is installed.
bool PrinterInstalled();
// The printer's device context from the print dialog (the caller deletes it), or null
// when cancelled or no printer is installed (then the user has been told so).
HDC AskPrinter(HWND owner);

}  // namespace vm::ui
