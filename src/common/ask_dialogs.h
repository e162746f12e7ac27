// The rules of the two small dialogs the file books share: the new-file dialog ("Новый
// файл") and the password dialog. The Win32 dialogs only show what these decide.
#pragma once

#include <string>

namespace vm {

// ---- new-file dialog ----------------------------------------------------------------------
// A drive root such as "C:\" (three characters).
bool IsDriveRoot(const std::string& folder);
// The folder part of a path: the text before its last "\", with a bare drive ("C:")
// given back as its root ("C:\"). Empty when the path has no "\".
std::string FolderOfPath(const std::string& path);
// The file name of a path: the text after its last "\", or the whole path without one.
std::string FileNameOfPath(const std::string& path);
// Where the dialog starts: the folder of the file named in the caller's section when
// that folder exists or is a drive root; otherwise "Personal" in the program folder,
// made when missing. Empty when "Personal" cannot be made.
std::string NewFileInitialFolder(const std::string& fileNameSetting, const std::string& programFolder);
// A name the dialog accepts: not empty, no path or device characters (\ / : * ? " < > |),
// and not made of dots and spaces alone.
bool IsUsableFileName(const std::string& name);
// OK closes the dialog only for an existing folder and a usable name.
bool NewFileAccepts(const std::string& folder, const std::string& name);
// folder + "\" + name, or folder + name when the folder already ends in "\" (a root).
std::string NewFilePath(const std::string& folder, const std::string& name);

// ---- password dialog ----------------------------------------------------------------------
enum class PasswordMode {
  kEnter,  // the book is locked; "Снять пороль" may be ticked
  kSet,    // a new password; "Показать пороль" may be ticked
};
struct PasswordLook {
  const char* title;        // cp1251
  bool showBoxEnabled;      // "Показать пороль"
  bool removeBoxEnabled;    // "Снять пороль"
};
PasswordLook PasswordDialogLook(PasswordMode mode);

// Keyboard layouts by name: "00000%x" of the language id.
inline constexpr unsigned kRussianLanguage = 0x419;
inline constexpr unsigned kEnglishLanguage = 0x409;
std::string KeyboardLayoutName(unsigned languageId);
bool IsRussianLayoutName(const std::string& layoutName);  // ends in "419"
bool IsEnglishLayoutName(const std::string& layoutName);  // ends in "409"

}  // namespace vm
