// The About page's decisions: the version text, the autostart entry, the general
// options, which panel shows, and where everything goes when the page is sized.
#pragma once

#include <string>

#include "shell/sheet_rules.h"

namespace vm {
class CAppUtil;
}

namespace vm::shell {

// "2013, 7, 6, 0" -> "2013.7.6": commas become dots, the text is cut before its last
// dot, and every space goes. A version without any dot is kept whole.
std::string VersionText(const std::string& fileVersion);

// ---- autostart ------------------------------------------------------------------------------
inline constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Velmoria";
// The entry's data: the program folder and the fixed file name, not the module's name.
std::string AutostartValue(const std::string& programFolder);
// Trailing white space is ignored on both sides; everything else compares byte for byte.
bool AutostartMatches(const std::string& entryData, const std::string& programFolder);

// The autostart value under HKEY_CURRENT_USER; the Win32 side reads the registry.
class RunEntry {
 public:
  virtual ~RunEntry() = default;
  virtual bool Read(std::string& data) = 0;         // false when missing or unreadable
  virtual void Write(const std::string& data) = 0;  // failures are ignored
  virtual void Delete() = 0;                        // failures are ignored
};
// The box is checked when the entry names this program folder's "Velmoria.exe".
bool AutostartChecked(RunEntry& entry, const std::string& programFolder);
// A click on "Автозагрузка": "GENERAL"/"START" gets the new state, then the entry is
// written ("1") or deleted.
void ApplyAutostartClick(bool checked, const CAppUtil& util, RunEntry& entry);

// ---- the other boxes -------------------------------------------------------------------------
// kOldProtection: new passwords and unlocked old-scheme files keep the old protection,
// for files shared with older versions of the program (off by default).
enum class AboutOption { kAutostart, kHide, kAutosave, kLast, kEsc, kOldProtection };
// The "GENERAL" key each box writes ("START", "HIDE", "AUTOSAVE", "LAST", "ESC", "OLDPROTECT").
const char* OptionKey(AboutOption option);
// Shown state of a box from its key: the number in it, empty text counting as 0; "ESC"
// is on only as "1", as the sheet reads it.
bool OptionChecked(const CAppUtil& util, AboutOption option);
// Writes the box's new state with "%i" (autostart: use ApplyAutostartClick).
void WriteOption(const CAppUtil& util, AboutOption option, bool checked);

// ---- dated backups --------------------------------------------------------------------------
// The number shown in "Резервные копии, дней": "GENERAL"/"BACKUPDAYS", its default when
// empty or not a number.
std::string BackupDaysText(const CAppUtil& util);
// Writes what the user typed when it is a number of days (0 switches backups off);
// anything else is not written. True when written.
bool WriteBackupDays(const CAppUtil& util, const std::string& typed);

// ---- panels --------------------------------------------------------------------------------
// Only "1" in "GENERAL"/"ABOUT" opens the settings panel.
bool ShowsSettingsPanel(const std::string& aboutValue);
struct PanelView {
  bool aboutText = false;      // the rich-text box
  bool settingsLink = false;   // "Настройки"
  bool aboutLink = false;      // "О программе.."
  bool settingsGroup = false;  // the group box and its four check boxes
};
// Which controls show for a panel; showing a panel also writes "ABOUT".
PanelView ShowPanel(bool settingsPanel, const CAppUtil& util);

// ---- painting and layout (pixels within the page) --------------------------------------------
struct TextSpot {
  int x, y;
};
inline constexpr TextSpot kProductNameAt{200, 45};
inline constexpr TextSpot kFromWordAt{295, 49};
inline constexpr TextSpot kVersionAt{320, 49};
inline constexpr int kProductFontHeight = 18;
inline constexpr int kVersionFontHeight = 14;

struct AboutLayout {
  Rect textBox;  // also the settings group box
  Rect picture;
  Rect frame;      // the framed area beside the picture
  Rect mailLink;   // "E-Mail"
  Rect homeLink;   // "Home Page"
  Rect panelLink;  // "Настройки" and "О программе.." (one shows at a time)
};
// The check boxes keep their places: the group box never moves, it only grows.
AboutLayout LayoutAbout(int width, int height);
// The same for a page at `dpi`: its client size in its own pixels, the places scaled
// from the layout at 96 dpi.
AboutLayout LayoutAboutAt(int width, int height, int dpi);

}  // namespace vm::shell
