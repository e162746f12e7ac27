// The shell, the text editor, the telephony service and the help file, reached from the
// pages. Texts and paths are cp1251 as everywhere in the core; the decisions live in
// common/shell_actions.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/shell_actions.h"

namespace vm {

// Opens a web address, a mail URL, a "file:" URL or a path with the verb "open". When the
// shell answers 32 or less, starts the browser registered for ".htm" with the target
// and answers what starting it answered (above 31 is success); when that command cannot
// be read from the registry the shell's code stands.
int OpenTarget(const std::string& target, int showMode = kShowNormal);

// Beeps and shows "Unable to open hyperlink:" with the text for the code.
void ReportOpenFailure(int code, HWND owner = nullptr);

// Opens a file the caller wrote to "Temp" in "notepad.exe"; when that fails shows the
// caller's message (title "Velmoria", exclamation icon). True when notepad started.
bool OpenInTextEditor(HWND owner, const std::string& path, const std::string& message);

// Hands a number to "tapiRequestMakeCallA", loaded from "TAPI32.DLL" on first use and
// kept for the life of the process. Callers may ignore the result.
std::int32_t Dial(const std::string& number, const std::optional<std::string>& party1,
                  const std::optional<std::string>& party2);

// Opens "Velmoria.chm" of the program folder.
void OpenHelp();

// Carries out what a page planned (PlanCardAction, PlanDataAction); nothing for kNothing.
void Perform(const ShellRequest& request);

}  // namespace vm
