#include "common/settings.h"

#include <vector>

#include "common/backup.h"
#include "common/book_guard.h"
#include "common/record_file.h"
#include "platform/platform.h"

namespace vm {

bool EqualsNoCase1251(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase1251(a[i]) != FoldCase1251(b[i])) return false;
  return true;
}

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

struct Line {
  std::string_view raw;  // without the line end
};

// "[NAME]" -> NAME; false when the line is not a section line.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return !key.empty();
}

std::string OneLine(std::string_view s) {
  // A line break would split the value and corrupt the file: keep the first line.
  size_t cut = s.find_first_of("\r\n");
  return std::string(cut == std::string_view::npos ? s : s.substr(0, cut));
}

}  // namespace

std::string IniGet(std::string_view text, std::string_view section, std::string_view key) {
  bool inSection = false;
  for (const std::string& raw : SplitTextLines(text)) {
    std::string_view line = raw;
    std::string_view name;
    if (SectionName(line, name)) {
      inSection = EqualsNoCase1251(name, section);
      continue;
    }
    std::string_view k, v;
    if (inSection && KeyValue(line, k, v) && EqualsNoCase1251(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return std::string(v.substr(0, kMaxSettingLength));
    }
  }
  return std::string();
}

std::string IniPut(std::string_view text, std::string_view section, std::string_view key,
                   std::string_view value) {
  const std::vector<std::string> lines = SplitTextLines(text);
  const std::string newLine = OneLine(key) + "=" + OneLine(value);
  int sectionLine = -1, lastInSection = -1, keyLine = -1;
  bool inSection = false;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string_view name;
    if (SectionName(lines[i], name)) {
      if (inSection) inSection = false;
      if (sectionLine < 0 && EqualsNoCase1251(name, section)) {
        inSection = true;
        sectionLine = lastInSection = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) lastInSection = i;
    std::string_view k, v;
    if (keyLine < 0 && KeyValue(lines[i], k, v) && EqualsNoCase1251(k, key)) keyLine = i;
  }
  std::string out;
  auto emit = [&out](std::string_view l) {
    out.append(l);
    out.append("\r\n");
  };
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (i == keyLine) {
      emit(newLine);
      continue;
    }
    emit(lines[i]);
    if (keyLine < 0 && i == lastInSection) emit(newLine);
  }
  if (sectionLine < 0) {
    if (!out.empty() && out.size() >= 4 && out.compare(out.size() - 4, 4, "\r\n\r\n") != 0) out += "\r\n";
    std::string head = "[";
    head += OneLine(section);
    head += ']';
    emit(head);
    emit(newLine);
  }
  return out;
}

std::string ReadSetting(const std::string& iniPath, std::string_view section, std::string_view key) {
  std::string text;
  if (!platform::ReadFileBytes(iniPath, text)) return std::string();
  return IniGet(text, section, key);
}

bool WriteSetting(const std::string& iniPath, std::string_view section, std::string_view key,
                  std::string_view value) {
  platform::FileUpdateLock lock(iniPath);
  std::string text;
  // A missing file starts empty; one that exists but cannot be read is left alone
  // rather than replaced by this one value.
  bool read = platform::ReadFileBytes(iniPath, text);
  if (!read && platform::FileExists(iniPath)) return false;
  // One key goes onto what the file holds now, under the lock: another copy's keys stay.
  if (read) guard::Reread(iniPath, text);
  return static_cast<bool>(backup::SaveBook(iniPath, IniPut(text, section, key, value)));
}

}  // namespace vm
