// CAppUtil: the stateless utility object every page makes on the stack for a setting or
// a file operation. Every settings read goes to the file again; nothing is cached.
#pragma once

#include <string>

#include "platform/platform.h"

namespace vm {

class CAppUtil {
 public:
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

  // The whole file as bytes, cut at the first zero byte; "error" when it cannot be read.
  std::string ReadFileText(const std::string& path) const;
  // Creates or empties the file and writes the bytes. Failures are swallowed.
  void WriteFileText(const std::string& path, const std::string& text) const;
  void ShowMessage(const std::string& text) const;

  std::string DateTitle() const;  // of today's local date
  std::string Unscramble(const std::string& text) const;
  // Deletes every file matching folder + pattern, in sub-folders too; folders stay.
  void DeleteFiles(const std::string& folder, const std::string& pattern) const;
};

// The title text for a given date (DateTitle uses today's).
std::string TitleText(int day, int month, int year);
// Smallest whole number not below (day of year + weekday of 1 January) / 7.
int WeekNumber(int day, int month, int year);
// Windows-style file-name matching of "*" and "?", without regard to case.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// The scrambled bottom caption of the main window, and its plain text once unscrambled.
extern const char* const kStoredCaption;

}  // namespace vm
