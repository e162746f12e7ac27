#include "ui/file_dialogs.h"

#include <commdlg.h>

#include "ui/text.h"

namespace vm::ui {

std::wstring FilterText(const std::vector<std::pair<std::string, std::string>>& filters) {
  std::wstring out;
  for (const auto& [text, patterns] : filters) {
    out += Wide(text);
    out += L'\0';
    out += Wide(patterns);
    out += L'\0';
  }
  out += L'\0';
  return out;
}

namespace {
std::optional<std::string> Ask(HWND owner, const FileDialogOptions& fileDialog, bool save) {
  std::wstring filter = FilterText(fileDialog.filters), title = Wide(fileDialog.title), folder = Wide(fileDialog.folder),
               extension = Wide(fileDialog.defaultExtension);
  std::wstring file = Wide(fileDialog.fileName);
  file.resize(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = fileDialog.filters.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return Narrow(file.c_str());
}
}  // namespace

std::optional<std::string> AskOpenFile(HWND owner, const FileDialogOptions& fileDialog) {
  return Ask(owner, fileDialog, false);
}
std::optional<std::string> AskSaveFile(HWND owner, const FileDialogOptions& fileDialog) {
  return Ask(owner, fileDialog, true);
}

}  // namespace vm::ui
