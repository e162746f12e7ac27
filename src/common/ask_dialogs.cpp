#include "common/ask_dialogs.h"

#include <cstdio>

#include "platform/platform.h"

namespace vm {

namespace {
bool EndsWith(const std::string& s, const char* tail) {
  std::string t = tail;
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}
}  // namespace

bool IsDriveRoot(const std::string& folder) {
  if (folder.size() != 3 || folder[1] != ':' || folder[2] != '\\') return false;
  char d = folder[0];
  return (d >= 'A' && d <= 'Z') || (d >= 'a' && d <= 'z');
}

std::string FileNameOfPath(const std::string& path) {
  size_t cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOfPath(const std::string& path) {
  size_t cut = path.rfind('\\');
  if (cut == std::string::npos) return "";
  std::string folder = path.substr(0, cut);
  if (IsDriveRoot(folder + "\\")) folder += "\\";
  return folder;
}

std::string NewFileInitialFolder(const std::string& fileNameSetting, const std::string& programFolder) {
  std::string folder = FolderOfPath(fileNameSetting);
  if (!folder.empty() && (platform::DirExists(folder) || IsDriveRoot(folder))) return folder;
  std::string personal = programFolder + "Personal";
  if (!platform::DirExists(personal) && !platform::MakeDir(personal)) return "";
  return personal;
}

bool IsUsableFileName(const std::string& name) {
  bool onlyDotsAndSpaces = true;
  for (char c : name) {
    switch (c) {
      case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return false;
      default:
        break;
    }
    if (static_cast<unsigned char>(c) < 32) return false;
    if (c != '.' && c != ' ') onlyDotsAndSpaces = false;
  }
  return !name.empty() && !onlyDotsAndSpaces;
}

bool NewFileAccepts(const std::string& folder, const std::string& name) {
  return !folder.empty() && IsUsableFileName(name) && platform::DirExists(folder);
}

std::string NewFilePath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

PasswordLook PasswordDialogLook(PasswordMode mode) {
  if (mode == PasswordMode::kSet) return PasswordLook{"Установите пароль", true, false};
  return PasswordLook{"Введите пароль", false, true};
}

std::string KeyboardLayoutName(unsigned languageId) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "00000%x", languageId);
  return buf;
}

bool IsRussianLayoutName(const std::string& layoutName) { return EndsWith(layoutName, "419"); }
bool IsEnglishLayoutName(const std::string& layoutName) { return EndsWith(layoutName, "409"); }

}  // namespace vm
