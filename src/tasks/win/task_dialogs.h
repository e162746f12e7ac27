// The tasks page's small dialogs: the headings dialog ("Настройка представления
// информации") and the stand-in record editor used until the task editor exists.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vm::tasks {

// Six values joined by "|" (the three group headings, then their three menu flags "1"/"0")
// in; the edited six out, or nothing when cancelled.
std::optional<std::string> AskHeadings(HWND owner, const std::string& values);

}  // namespace vm::tasks
