#include "shell/about_rules.h"

#include <cstdlib>
#include <string>

#include "common/backup.h"
#include "common/app_util.h"
#include "common/dpi_scale.h"
#include "common/protected_file.h"

namespace vm::shell {

namespace {
std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n' ||
                        s.back() == '\v' || s.back() == '\f'))
    s.pop_back();
  return s;
}
}  // namespace

std::string VersionText(const std::string& fileVersion) {
  std::string v = fileVersion;
  for (char& c : v)
    if (c == ',') c = '.';
  size_t lastDot = v.rfind('.');
  if (lastDot != std::string::npos) v.resize(lastDot);
  std::string out;
  for (char c : v)
    if (c != ' ') out += c;
  return out;
}

std::string AutostartValue(const std::string& programFolder) {
  return programFolder + "Velmoria.exe";
}

bool AutostartMatches(const std::string& entryData, const std::string& programFolder) {
  return TrimRight(entryData) == TrimRight(AutostartValue(programFolder));
}

bool AutostartChecked(RunEntry& entry, const std::string& programFolder) {
  std::string data;
  return entry.Read(data) && AutostartMatches(data, programFolder);
}

void ApplyAutostartClick(bool checked, const CAppUtil& util, RunEntry& entry) {
  util.PutNumber("GENERAL", "START", checked ? 1 : 0);
  if (checked)
    entry.Write(AutostartValue(util.ProgramFolder()));
  else
    entry.Delete();
}

const char* OptionKey(AboutOption option) {
  switch (option) {
    case AboutOption::kAutostart: return "START";
    case AboutOption::kHide: return "HIDE";
    case AboutOption::kAutosave: return "AUTOSAVE";
    case AboutOption::kLast: return "LAST";
    case AboutOption::kEsc: return "ESC";
    case AboutOption::kOldProtection: return kOldProtectionKey;
  }
  return "";
}

bool OptionChecked(const CAppUtil& util, AboutOption option) {
  if (option == AboutOption::kEsc) return util.GetFlag("GENERAL", OptionKey(option));
  return util.GetNumber("GENERAL", OptionKey(option)) != 0;
}

void WriteOption(const CAppUtil& util, AboutOption option, bool checked) {
  util.PutNumber("GENERAL", OptionKey(option), checked ? 1 : 0);
}

std::string BackupDaysText(const CAppUtil& util) {
  return std::to_string(backup::DaysFromSetting(util.GetSetting("GENERAL", "BACKUPDAYS")));
}

bool WriteBackupDays(const CAppUtil& util, const std::string& typed) {
  if (typed.empty() || typed.size() > 4) return false;
  for (char c : typed)
    if (c < '0' || c > '9') return false;
  util.PutNumber("GENERAL", "BACKUPDAYS", std::stoi(typed));
  return true;
}

bool ShowsSettingsPanel(const std::string& aboutValue) {
  return aboutValue == "1";
}

PanelView ShowPanel(bool settingsPanel, const CAppUtil& util) {
  PanelView v;
  v.aboutText = !settingsPanel;
  v.settingsLink = !settingsPanel;
  v.aboutLink = settingsPanel;
  v.settingsGroup = settingsPanel;
  util.PutSetting("GENERAL", "ABOUT", settingsPanel ? "1" : "0");
  return v;
}

AboutLayout LayoutAbout(int w, int h) {
  AboutLayout l;
  l.textBox = Rect{10, 100, 10 + (w - 20), 100 + (h - 110)};
  l.picture = Rect{10, 10, 100, 100};
  l.frame = Rect{105, 10, 105 + (w - 115), 100};
  l.mailLink = Rect{w - 120, 32, w - 60, 52};
  l.homeLink = Rect{w - 120, 52, w - 60, 72};
  l.panelLink = Rect{w - 120, 72, w + 30, 92};
  return l;
}

AboutLayout LayoutAboutAt(int width, int height, int dpi) {
  AboutLayout l = LayoutAbout(UnscaleFromDpi(width, dpi), UnscaleFromDpi(height, dpi));
  for (Rect* r : {&l.textBox, &l.picture, &l.frame, &l.mailLink, &l.homeLink, &l.panelLink})
    *r = Rect{ScaleToDpi(r->left, dpi), ScaleToDpi(r->top, dpi), ScaleToDpi(r->right, dpi), ScaleToDpi(r->bottom, dpi)};
  return l;
}

}  // namespace vm::shell
