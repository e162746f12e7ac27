// CAppUtil: the program's settings and folders. The program makes one at its start and
// hands it to the sheet, the pages and whatever else needs a setting or a folder; tests
// make one over a scratch folder. Every settings read goes to the file again; nothing
// is cached.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace vm {

class CAppUtil {
 public:
  // The running program's folder and settings file, as the platform reports them at
  // each use.
  CAppUtil() = default;
  // A program folder (trailing "\") whose settings file is baseName + ".ini".
  CAppUtil(std::string programFolder, std::string baseName);

  // Empty text when the file, section or key is missing; at most 255 bytes.
  std::string GetSetting(const std::string& section, const std::string& key) const;
  // Writes at once. A settings file that cannot be written loses the value silently.
  void PutSetting(const std::string& section, const std::string& key, const std::string& value) const;
  // A flag is on only when its text is exactly "1".
  bool GetFlag(const std::string& section, const std::string& key) const;
  // Empty text and anything that is not a number count as 0.
  int GetNumber(const std::string& section, const std::string& key) const;
  void PutNumber(const std::string& section, const std::string& key, int value) const;

  std::string ProgramFolder() const;  // with trailing "\"
  std::string SettingsPath() const;   // the program's base name + ".ini" in its folder

  // The whole file as bytes, cut at the first zero byte; none when it cannot be read.
  std::optional<std::string> ReadFileText(const std::string& path) const;
  // Writes the bytes through the safe replace; false when the file could not be written
  // (the old one then stays), which the caller must tell the user.
  [[nodiscard]] bool WriteFileText(const std::string& path, const std::string& text) const;
  void ShowMessage(const std::string& text) const;

  std::string DateTitle() const;  // of today's local date
  std::string Unscramble(const std::string& text) const;
  // Deletes every file matching folder + pattern, in sub-folders too; folders stay.
  void DeleteFiles(const std::string& folder, const std::string& pattern) const;

 private:
  bool fixed_ = false;
  std::string folder_, baseName_;
};

// The path a page opens at start: the stored one when it exists, else a file of the
// same name in "Personal" when that exists, else none. Empty when `reopen` is off.
std::string StartFilePath(bool reopen, const std::string& stored, const std::string& programFolder);
// Windows-style file-name matching of "*" and "?", without regard to case.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// The scrambled bottom caption of the main window, and its plain text once unscrambled.
extern const char* const kStoredCaption;

}  // namespace vm
