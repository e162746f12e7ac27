// What the notebook page's source files share: the settings section, the editor's
// limit, the file type of the dialogs and the editor's format at the selection.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <richedit.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/file_dialogs.h"
#include "ui/menu.h"

namespace vm::notebook::notepage {

inline constexpr int kMaxNoteCharacters = 65536;
inline constexpr char kSection[] = "NOTE";

// The open, save-as and branch dialogs: "Файлы dbn (*.dbn)" in `folder`, offering `name`.
ui::FileDialogOptions NotebookFiles(const std::string& folder, const std::string& name = {});
// The character and paragraph format at the editor's selection.
CHARFORMAT2W CharFormat(HWND edit);
PARAFORMAT2 ParaFormat(HWND edit);
// An item of the page's menus (id 0 with items: a submenu).
ui::MenuItem MenuEntry(int id, const char* text, bool enabled = true, bool checked = false);

}  // namespace vm::notebook::notepage
