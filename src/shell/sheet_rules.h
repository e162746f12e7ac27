// The main sheet's decisions, kept apart from the window so they can be tested on any
// platform: the tabs, placement, sizes and layout, key handling, the hidden-at-start and
// tray-icon rules, the day watch of the timer and the exit order. The Win32 sheet only
// measures, asks these functions and applies the answers.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vm {
class CAppUtil;
}

namespace vm::shell {

// ---- the tabs ----------------------------------------------------------------------------
struct TabInfo {
  const char* caption;  // cp1251
  int iconId;           // icon resource of the tab (16, 24 and 32 pixels)
};

inline constexpr int kTabCount = 8;
enum TabIndex : int {
  kDataTab = 0,
  kContactsTab = 1,
  kFirmsTab = 2,
  kDatesTab = 3,
  kNotebookTab = 4,
  kTasksTab = 5,
  kSpreadsheetTab = 6,
  kAboutTab = 7,
};
extern const std::array<TabInfo, kTabCount> kTabs;

// ---- settings the sheet owns -------------------------------------------------------------
// Set-up step 2: "LAST" and "AUTOSAVE" in "GENERAL" become "1" when they are empty.
void EnsureGeneralDefaults(const CAppUtil& util);

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Placement {
  bool hasRect = false;  // all of "TOP", "LEFT", "BOTTOM", "RIGHT" are present
  Rect normal;           // the normal-state rectangle
  bool maximized = false;  // "MAX" is "1"
};
Placement ReadPlacement(const CAppUtil& util);
void WritePlacement(const CAppUtil& util, const Rect& normal, int activeTab, bool maximized);

// The tab the sheet opens on: the number in "PLACEMENT"/"TAB"; empty text, text that is
// not a number and an index outside the tabs all give the first tab.
int StartTab(const std::string& value, int tabCount = kTabCount);

// Set-up step 6: the window grows by one menu bar's height, its top-left corner kept.
Rect GrowByMenuBar(const Rect& window, int menuBarHeight);

// ---- layout on size ----------------------------------------------------------------------
struct ChildBox {
  Rect rect;  // in the sheet's client coordinates
  bool isButton = false;
};
// Buttons keep their size and move by (dx, dy); every other child (the tab control, the
// pages) keeps its place and grows by (dx, dy), once.
std::vector<Rect> LayoutChildren(const std::vector<ChildBox>& children, int dx, int dy);

// Remembers the client size between size messages. While the sheet is still setting
// itself up nothing is laid out; afterwards each new size yields the change since the
// last one.
class ClientTracker {
 public:
  struct Delta {
    int dx = 0, dy = 0;
  };
  void Start(int width, int height);  // ends the initialising state
  // False while initialising (nothing to lay out); otherwise the change, remembered.
  bool Resize(int width, int height, Delta& delta);

 private:
  bool initialising_ = true;
  int width_ = 0, height_ = 0;
};

// The bottom caption runs from the tab control's left edge to the (hidden) Help
// button's left edge, between that button's top and bottom.
Rect CaptionRect(const Rect& tabControl, const Rect& helpButton);
// The size grip in the bottom-right corner of the client area.
Rect GripRect(const Rect& client, int hScrollHeight, int vScrollWidth);

// ---- keys ----------------------------------------------------------------------------------
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkF12 = 0x7B;

enum class KeyVerdict {
  kStandard,  // the dialog's usual handling
  kHide,      // HideToTray; the key goes no further
  kToFocus,   // translate and dispatch to the window that has the key, nothing more
  kSwallow,   // dropped
  kAskClose,  // ask kCloseQuestion (No by default); Yes ends the program
};
// For a key-down message (after the accelerators had their chance). escHides is asked
// only for the Esc key: it reads "GENERAL"/"ESC". Without it Esc would be the sheet's
// Cancel and end the program on a stray key, reminders and all; it asks instead.
KeyVerdict DecideKey(int virtualKey, int activeTab, const std::function<bool()>& escHides);
// What Esc (or the sheet's Cancel reached any other way) asks before the program ends:
// "Закрыть Velmoria? Напоминания не будут работать."
extern const char* const kCloseQuestion;

// ---- showing, hiding and the tray icon -------------------------------------------------
// While nobody has opened the window and it is to stay hidden at start, every attempt
// to show it becomes a move without showing.
bool SuppressShow(bool openedByUser, int hideAtStart);
// On every show or hide: the tray icon is taken away unless the window is still hidden
// at start.
bool HideTrayIconOnShowHide(bool openedByUser, int hideAtStart);

// Mouse messages of the tray callback (the low word of its second parameter).
inline constexpr int kMouseLeftUp = 0x0202;
inline constexpr int kMouseLeftDoubleClick = 0x0203;
inline constexpr int kMouseRightUp = 0x0205;
// A left click or double click on the icon opens the window.
bool TrayMouseOpens(int mouseMessage);

// WM_USER + 1025 from the reminder window: the value in its second parameter.
inline constexpr int kStickerShowSection = 16;
inline constexpr int kStickerResend = 32;

// ---- the timer -----------------------------------------------------------------------------
// Watches the clock from tick to tick. The first tick reports a new day and a new minute.
class TickClock {
 public:
  struct Events {
    bool dayChanged = false;     // the date differs from the last one seen
    bool minuteChanged = false;  // the date, hour or minute differs from the last tick
  };
  Events Advance(const platform::LocalTime& now);

 private:
  long long date_ = -1;
  long long minuteStamp_ = -1;
};

// ---- exit ----------------------------------------------------------------------------------
// What the window does at each step; the order is decided here.
class ExitSteps {
 public:
  virtual ~ExitSteps() = default;
  virtual void SaveAll() = 0;
  virtual void DeleteCaptionFont() = 0;
  virtual void SavePlacement() = 0;
  virtual void StopTimer() = 0;
  virtual void RemoveTrayIcon() = 0;
};
// When the modal run ends, before the window goes: save, font, placement, then every
// file under "Temp" (sub-folders stay).
void RunExitSequence(ExitSteps& steps, const CAppUtil& util);
// As the window is destroyed: "FIRST" = "0", the timer, the tray icon.
void RunDestroySequence(ExitSteps& steps, const CAppUtil& util);
// Windows ends the logon: "FIRST" = "0", then save everything.
void RunEndSession(ExitSteps& steps, const CAppUtil& util);

}  // namespace vm::shell
