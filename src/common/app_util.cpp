#include "common/app_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "common/calendar.h"
#include "common/settings.h"

namespace vm {

namespace {
// Two alphabets of 37 characters with no character in common, so the substitution is
// its own inverse.
const char kAlphabet1[] = "абвгдеёжзийклмнопрстуфхцчшщъыьэюяВДОП";
const char kAlphabet2[] = "0123456789BCEFGHJKLNQRSTUWXYZ!$%&*+=@";
#ifndef VELMORIA_UTF8_LITERALS  // clang's UTF-8 literals take two bytes a letter
static_assert(sizeof kAlphabet1 == 38 && sizeof kAlphabet2 == 38);
#endif
}  // namespace

const char* const kStoredCaption = "Velmoria - E9UGZB HK30G0B85K: 45E0, 40NZ, 80F5NC9";

CAppUtil::CAppUtil(std::string programFolder, std::string baseName)
    : fixed_(true), folder_(std::move(programFolder)), baseName_(std::move(baseName)) {}

std::string CAppUtil::GetSetting(const std::string& section, const std::string& key) const {
  return ReadSetting(SettingsPath(), section, key);
}

void CAppUtil::PutSetting(const std::string& section, const std::string& key, const std::string& value) const {
  WriteSetting(SettingsPath(), section, key, value);
}

bool CAppUtil::GetFlag(const std::string& section, const std::string& key) const {
  return GetSetting(section, key) == "1";
}

int CAppUtil::GetNumber(const std::string& section, const std::string& key) const {
  return std::atoi(GetSetting(section, key).c_str());
}

void CAppUtil::PutNumber(const std::string& section, const std::string& key, int value) const {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%i", value);
  PutSetting(section, key, buf);
}

std::string CAppUtil::ProgramFolder() const {
  return fixed_ ? folder_ : platform::ProgramFolder();
}

std::string CAppUtil::SettingsPath() const {
  return ProgramFolder() + (fixed_ ? baseName_ : platform::ProgramBaseName()) + ".ini";
}

std::optional<std::string> CAppUtil::ReadFileText(const std::string& path) const {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return std::nullopt;
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

bool CAppUtil::WriteFileText(const std::string& path, const std::string& text) const {
  return static_cast<bool>(platform::SafeReplace(path, text));
}

void CAppUtil::ShowMessage(const std::string& text) const { platform::ShowMessage(text); }

std::string CAppUtil::DateTitle() const {
  platform::LocalTime now = platform::Now();
  return TitleText(now.day, now.month, now.year);
}

std::string CAppUtil::Unscramble(const std::string& text) const {
  std::string out = text;
  for (char& c : out) {
    if (const char* p = std::strchr(kAlphabet2, c); p && c) {
      c = kAlphabet1[p - kAlphabet2];
    } else if (const char* q = std::strchr(kAlphabet1, c); q && c) {
      c = kAlphabet2[q - kAlphabet1];
    }
  }
  return out;
}

void CAppUtil::DeleteFiles(const std::string& folder, const std::string& pattern) const {
  std::string base = folder;
  std::string pat = pattern;
  // The pattern may carry its own leading "\" ("\*.*").
  size_t cut = pat.find_last_of('\\');
  if (cut != std::string::npos) {
    base += pat.substr(0, cut);
    pat = pat.substr(cut + 1);
  }
  while (!base.empty() && base.back() == '\\') base.pop_back();
  for (const auto& entry : platform::ListDir(base)) {
    std::string full = base + "\\" + entry.name;
    if (entry.isDir)
      DeleteFiles(full, "\\" + pat);
    else if (MatchesPattern(entry.name, pat))
      platform::RemoveFile(full);
  }
}

std::string StartFilePath(bool reopen, const std::string& stored, const std::string& programFolder) {
  if (!reopen || stored.empty()) return std::string();
  if (platform::FileExists(stored)) return stored;
  size_t slash = stored.find_last_of("\\/");
  std::string personal =
      programFolder + "Personal\\" + (slash == std::string::npos ? stored : stored.substr(slash + 1));
  if (platform::FileExists(personal)) return personal;
  return std::string();
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // "*.*" matches every name, with or without a dot, as on Windows.
  if (pattern == "*.*" || pattern == "*") return true;
  size_t n = 0, p = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || FoldCase1251(pattern[p]) == FoldCase1251(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace vm
