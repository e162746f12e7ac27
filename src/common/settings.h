// The settings file: INI format, cp1251 bytes, CR LF lines. Sections and keys compare
// without regard to case (Latin and Cyrillic letters alike); a value read back is at
// most 255 bytes. Every write rewrites the file through the safe replace, so a crash
// never leaves a half-written settings file.
#pragma once

#include <string>
#include <string_view>

#include "common/text_util.h"

namespace vm {

inline constexpr size_t kMaxSettingLength = 255;

// Pure text operations, for the store below and for tests.
std::string IniGet(std::string_view text, std::string_view section, std::string_view key);
std::string IniPut(std::string_view text, std::string_view section, std::string_view key,
                   std::string_view value);

// Reads one value; empty when the file, section or key is missing.
std::string ReadSetting(const std::string& iniPath, std::string_view section, std::string_view key);
// Writes one value at once; false when the file could not be written (the old file
// then stays as it was).
bool WriteSetting(const std::string& iniPath, std::string_view section, std::string_view key,
                  std::string_view value);

// Names compared without regard to case, by FoldCase1251.
bool EqualsNoCase1251(std::string_view a, std::string_view b);

}  // namespace vm
