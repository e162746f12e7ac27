#include "shell/sheet_rules.h"

#include <cstdlib>

#include "common/app_util.h"

namespace vm::shell {

const std::array<TabInfo, kTabCount> kTabs = {{
    {"Данные", 429},
    {"Контакты", 222},
    {"Фирмы", 265},
    {"Даты", 256},
    {"Блокнот", 220},
    {"Дела", 285},
    {"а ля Excel", 486},
    {"О..", 219},
}};

void EnsureGeneralDefaults(const CAppUtil& util) {
  if (util.GetSetting("GENERAL", "LAST").empty()) util.PutSetting("GENERAL", "LAST", "1");
  if (util.GetSetting("GENERAL", "AUTOSAVE").empty()) util.PutSetting("GENERAL", "AUTOSAVE", "1");
}

Placement ReadPlacement(const CAppUtil& util) {
  Placement p;
  std::string top = util.GetSetting("PLACEMENT", "TOP");
  std::string left = util.GetSetting("PLACEMENT", "LEFT");
  std::string bottom = util.GetSetting("PLACEMENT", "BOTTOM");
  std::string right = util.GetSetting("PLACEMENT", "RIGHT");
  p.maximized = util.GetSetting("PLACEMENT", "MAX") == "1";
  p.hasRect = !top.empty() && !left.empty() && !bottom.empty() && !right.empty();
  if (p.hasRect) {
    p.normal.top = std::atoi(top.c_str());
    p.normal.left = std::atoi(left.c_str());
    p.normal.bottom = std::atoi(bottom.c_str());
    p.normal.right = std::atoi(right.c_str());
  }
  return p;
}

void WritePlacement(const CAppUtil& util, const Rect& normal, int activeTab, bool maximized) {
  util.PutNumber("PLACEMENT", "TOP", normal.top);
  util.PutNumber("PLACEMENT", "LEFT", normal.left);
  util.PutNumber("PLACEMENT", "BOTTOM", normal.bottom);
  util.PutNumber("PLACEMENT", "RIGHT", normal.right);
  util.PutNumber("PLACEMENT", "TAB", activeTab);
  util.PutSetting("PLACEMENT", "MAX", maximized ? "1" : "0");
}

int StartTab(const std::string& value, int tabCount) {
  int tab = std::atoi(value.c_str());
  return tab >= 0 && tab < tabCount ? tab : 0;
}

Rect GrowByMenuBar(const Rect& window, int menuBarHeight) {
  Rect r = window;
  r.bottom += menuBarHeight;
  return r;
}

std::vector<Rect> LayoutChildren(const std::vector<ChildBox>& children, int dx, int dy) {
  std::vector<Rect> out;
  out.reserve(children.size());
  for (const ChildBox& c : children) {
    Rect r = c.rect;
    if (c.isButton) {
      r.left += dx;
      r.top += dy;
    }
    r.right += dx;
    r.bottom += dy;
    out.push_back(r);
  }
  return out;
}

void ClientTracker::Start(int width, int height) {
  initialising_ = false;
  width_ = width;
  height_ = height;
}

bool ClientTracker::Resize(int width, int height, Delta& delta) {
  if (initialising_) return false;
  delta.dx = width - width_;
  delta.dy = height - height_;
  width_ = width;
  height_ = height;
  return true;
}

Rect CaptionRect(const Rect& tabControl, const Rect& helpButton) {
  return Rect{tabControl.left, helpButton.top, helpButton.left, helpButton.bottom};
}

Rect GripRect(const Rect& client, int hScrollHeight, int vScrollWidth) {
  return Rect{client.right - hScrollHeight, client.bottom - vScrollWidth, client.right, client.bottom};
}

const char* const kCloseQuestion = "Закрыть Velmoria? Напоминания не будут работать.";

KeyVerdict DecideKey(int virtualKey, int activeTab, const std::function<bool()>& escHides) {
  if (virtualKey == kVkF12) return KeyVerdict::kHide;
  if (virtualKey == kVkEscape) return escHides && escHides() ? KeyVerdict::kHide : KeyVerdict::kAskClose;
  if (virtualKey == kVkReturn)
    return activeTab == kNotebookTab || activeTab == kTasksTab ? KeyVerdict::kToFocus : KeyVerdict::kSwallow;
  return KeyVerdict::kStandard;
}

bool SuppressShow(bool openedByUser, int hideAtStart) { return !openedByUser && hideAtStart == 1; }

bool HideTrayIconOnShowHide(bool openedByUser, int hideAtStart) { return openedByUser || hideAtStart == 0; }

bool TrayMouseOpens(int mouseMessage) {
  return mouseMessage == kMouseLeftUp || mouseMessage == kMouseLeftDoubleClick;
}

TickClock::Events TickClock::Advance(const platform::LocalTime& now) {
  Events e;
  // The whole date is compared, not just the day of the month: a machine woken from a
  // sleep of whole months would otherwise keep an old title.
  long long date = (now.year * 13LL + now.month) * 32 + now.day;
  if (date != date_) {
    date_ = date;
    e.dayChanged = true;
  }
  long long stamp = ((((now.year * 13LL + now.month) * 32 + now.day) * 24 + now.hour) * 60) + now.minute;
  if (stamp != minuteStamp_) {
    minuteStamp_ = stamp;
    e.minuteChanged = true;
  }
  return e;
}

void RunExitSequence(ExitSteps& steps, const CAppUtil& util) {
  steps.SaveAll();
  steps.DeleteCaptionFont();
  steps.SavePlacement();
  std::string temp = util.ProgramFolder() + "Temp";
  if (platform::DirExists(temp)) util.DeleteFiles(temp, "\\*.*");
}

void RunDestroySequence(ExitSteps& steps, const CAppUtil& util) {
  util.PutSetting("GENERAL", "FIRST", "0");
  steps.StopTimer();
  steps.RemoveTrayIcon();
}

void RunEndSession(ExitSteps& steps, const CAppUtil& util) {
  util.PutSetting("GENERAL", "FIRST", "0");
  steps.SaveAll();
}

}  // namespace vm::shell
