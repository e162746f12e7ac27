#include "shell/sheet_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/settings.h"
#include "platform/platform.h"
#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"

namespace vm::shell {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

TEST(SheetSettings, DefaultsAreWrittenOnlyWhenEmpty) {
  ScratchFolder dir;
  const CAppUtil util(dir.path(), "Velmoria");
  EnsureGeneralDefaults(util);
  EXPECT_EQ(util.GetSetting("GENERAL", "LAST"), "1");
  EXPECT_EQ(util.GetSetting("GENERAL", "AUTOSAVE"), "1");

  util.PutSetting("GENERAL", "LAST", "0");
  util.PutSetting("GENERAL", "AUTOSAVE", "0");
  EnsureGeneralDefaults(util);
  EXPECT_EQ(util.GetSetting("GENERAL", "LAST"), "0");
  EXPECT_EQ(util.GetSetting("GENERAL", "AUTOSAVE"), "0");
}

TEST(SheetSettings, PlacementRoundTripAndMissingKeys) {
  ScratchFolder dir;
  const CAppUtil util(dir.path(), "Velmoria");
  Placement none = ReadPlacement(util);
  EXPECT_FALSE(none.hasRect);
  EXPECT_FALSE(none.maximized);

  WritePlacement(util, Rect{-8, 20, 700, 540}, 5, true);
  EXPECT_EQ(util.GetSetting("PLACEMENT", "LEFT"), "-8");
  EXPECT_EQ(util.GetSetting("PLACEMENT", "TOP"), "20");
  EXPECT_EQ(util.GetSetting("PLACEMENT", "RIGHT"), "700");
  EXPECT_EQ(util.GetSetting("PLACEMENT", "BOTTOM"), "540");
  EXPECT_EQ(util.GetSetting("PLACEMENT", "TAB"), "5");
  EXPECT_EQ(util.GetSetting("PLACEMENT", "MAX"), "1");
  Placement back = ReadPlacement(util);
  EXPECT_TRUE(back.hasRect);
  EXPECT_TRUE(back.maximized);
  EXPECT_EQ(back.normal, (Rect{-8, 20, 700, 540}));

  // One edge missing: the rectangle is not used at all.
  util.PutSetting("PLACEMENT", "BOTTOM", "");
  EXPECT_FALSE(ReadPlacement(util).hasRect);
  WritePlacement(util, Rect{1, 2, 3, 4}, 0, false);
  EXPECT_EQ(util.GetSetting("PLACEMENT", "MAX"), "0");
}

TEST(SheetSettings, StartTab) {
  struct Case {
    const char* value;
    int tab;
  } cases[] = {{"", 0}, {"0", 0}, {"3", 3}, {"7", 7}, {"8", 0}, {"-1", 0}, {"abc", 0}, {"6x", 6}};
  for (const Case& c : cases) EXPECT_EQ(StartTab(c.value), c.tab) << c.value;
}

TEST(SheetLayout, ButtonsMoveOtherChildrenGrowOnce) {
  std::vector<ChildBox> kids = {
      {Rect{7, 7, 600, 380}, false},   // tab control
      {Rect{11, 30, 596, 376}, false},  // a page
      {Rect{400, 390, 475, 413}, true},  // OK
      {Rect{520, 390, 595, 413}, true},  // Help
  };
  std::vector<Rect> out = LayoutChildren(kids, 40, -10);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], (Rect{7, 7, 640, 370}));
  EXPECT_EQ(out[1], (Rect{11, 30, 636, 366}));
  EXPECT_EQ(out[2], (Rect{440, 380, 515, 403}));
  EXPECT_EQ(out[3], (Rect{560, 380, 635, 403}));
}

TEST(SheetLayout, TrackerIgnoresSizesWhileInitialising) {
  ClientTracker t;
  ClientTracker::Delta d;
  EXPECT_FALSE(t.Resize(500, 300, d));
  t.Start(600, 400);
  ASSERT_TRUE(t.Resize(650, 380, d));
  EXPECT_EQ(d.dx, 50);
  EXPECT_EQ(d.dy, -20);
  ASSERT_TRUE(t.Resize(650, 380, d));  // the change is measured from the last size
  EXPECT_EQ(d.dx, 0);
  EXPECT_EQ(d.dy, 0);
}

TEST(SheetLayout, CaptionGripAndMenuBar) {
  EXPECT_EQ(CaptionRect(Rect{7, 7, 600, 380}, Rect{520, 390, 595, 413}), (Rect{7, 390, 520, 413}));
  EXPECT_EQ(GripRect(Rect{0, 0, 640, 440}, 17, 19), (Rect{623, 421, 640, 440}));
  EXPECT_EQ(GrowByMenuBar(Rect{100, 50, 700, 500}, 19), (Rect{100, 50, 700, 519}));
}

TEST(SheetKeys, Verdicts) {
  int escReads = 0;
  auto escOn = [&] { ++escReads; return true; };
  auto escOff = [&] { ++escReads; return false; };
  struct Case {
    int key;
    int tab;
    bool esc;
    KeyVerdict verdict;
  } cases[] = {
      {kVkF12, kDataTab, false, KeyVerdict::kHide},
      {kVkF12, kTasksTab, true, KeyVerdict::kHide},
      {kVkEscape, kDataTab, true, KeyVerdict::kHide},
      // Esc never ends the program by itself: it asks first.
      {kVkEscape, kDataTab, false, KeyVerdict::kAskClose},
      {kVkEscape, kAboutTab, false, KeyVerdict::kAskClose},
      {kVkReturn, kContactsTab, false, KeyVerdict::kSwallow},
      {kVkReturn, kAboutTab, false, KeyVerdict::kSwallow},
      {kVkReturn, kNotebookTab, false, KeyVerdict::kToFocus},
      {kVkReturn, kTasksTab, false, KeyVerdict::kToFocus},
      {'A', kTasksTab, true, KeyVerdict::kStandard},
      {0x09 /* Tab */, kDataTab, true, KeyVerdict::kStandard},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(DecideKey(c.key, c.tab, c.esc ? std::function<bool()>(escOn) : escOff), c.verdict);
  }
  // The settings file is read for Esc alone.
  EXPECT_EQ(escReads, 3);
}

TEST(SheetShowRules, HiddenAtStartAndTrayIcon) {
  struct Case {
    bool opened;
    int hide;
    bool suppress;
    bool hideIcon;
  } cases[] = {
      {false, 0, false, true},
      {false, 1, true, false},
      {true, 1, false, true},
      {true, 0, false, true},
      {false, 2, false, false},  // a "HIDE" of 2 neither hides the window nor drops the icon
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.opened << "/" << c.hide);
    EXPECT_EQ(SuppressShow(c.opened, c.hide), c.suppress);
    EXPECT_EQ(HideTrayIconOnShowHide(c.opened, c.hide), c.hideIcon);
  }
  EXPECT_TRUE(TrayMouseOpens(kMouseLeftUp));
  EXPECT_TRUE(TrayMouseOpens(kMouseLeftDoubleClick));
  EXPECT_FALSE(TrayMouseOpens(kMouseRightUp));
  EXPECT_FALSE(TrayMouseOpens(0x0200));  // a mouse move
}

TEST(SheetTimer, DayAndMinuteChanges) {
  TickClock clock;
  auto at = [](int d, int m, int y, int h, int min, int s) {
    platform::LocalTime t;
    t.day = d, t.month = m, t.year = y, t.hour = h, t.minute = min, t.second = s;
    return t;
  };
  struct Step {
    platform::LocalTime now;
    bool day;
    bool minute;
  } steps[] = {
      {at(31, 12, 2026, 23, 59, 0), true, true},   // the first tick always renews
      {at(31, 12, 2026, 23, 59, 30), false, false},
      {at(31, 12, 2026, 23, 59, 59), false, false},
      {at(1, 1, 2027, 0, 0, 0), true, true},       // past midnight into a new year
      {at(1, 1, 2027, 0, 1, 0), false, true},
      {at(1, 2, 2027, 0, 1, 0), true, true},       // same minute a month later
      {at(1, 2, 2028, 0, 1, 0), true, true},       // the same day and month a year later
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << s.now.day << "." << s.now.month << " " << s.now.minute);
    TickClock::Events e = clock.Advance(s.now);
    EXPECT_EQ(e.dayChanged, s.day);
    EXPECT_EQ(e.minuteChanged, s.minute);
  }
}

struct RecordingSteps : ExitSteps {
  std::vector<std::string> log;
  std::string temp;
  void SaveAll() override { log.push_back("save" + State()); }
  void DeleteCaptionFont() override { log.push_back("font"); }
  void SavePlacement() override { log.push_back("placement" + State()); }
  void StopTimer() override { log.push_back("timer"); }
  void RemoveTrayIcon() override { log.push_back("tray"); }
  // Whether "Temp" still held its file when the step ran.
  std::string State() const { return platform::FileExists(temp) ? "+" : "-"; }
};

using SheetExit = testing::ProgramFolderTest;

TEST_F(SheetExit, OrderAndTempEmptiedWithFoldersKept) {
  MakeFolders({"Temp", "Temp\\sub", "Temp\\sub\\deeper"});
  Spit(dir_ / "Temp\\VisitRep.html", "x");
  Spit(dir_ / "Temp\\noext", "x");
  Spit(dir_ / "Temp\\sub\\Note.rtf", "x");
  Spit(dir_ / "Temp\\sub\\deeper\\a.txt", "x");
  Spit(dir_ / "keep.txt", "x");

  RecordingSteps steps;
  steps.temp = dir_ / "Temp\\VisitRep.html";
  RunExitSequence(steps, app_);
  EXPECT_EQ(steps.log, (std::vector<std::string>{"save+", "font", "placement+"}));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\VisitRep.html"));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\noext"));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\sub\\Note.rtf"));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\sub\\deeper\\a.txt"));
  EXPECT_TRUE(platform::DirExists(dir_ / "Temp\\sub\\deeper"));
  EXPECT_TRUE(platform::FileExists(dir_ / "keep.txt"));
  EXPECT_EQ(app_.GetSetting("GENERAL", "FIRST"), "");  // written as the window goes

  steps.log.clear();
  RunDestroySequence(steps, app_);
  EXPECT_EQ(app_.GetSetting("GENERAL", "FIRST"), "0");
  EXPECT_EQ(steps.log, (std::vector<std::string>{"timer", "tray"}));
}

TEST_F(SheetExit, MissingTempIsLeftAlone) {
  RecordingSteps steps;
  RunExitSequence(steps, app_);
  EXPECT_FALSE(platform::DirExists(dir_ / "Temp"));
  EXPECT_EQ(steps.log.size(), 3u);
}

TEST_F(SheetExit, EndOfLogonWritesFirstThenSaves) {
  struct Steps : RecordingSteps {
    const CAppUtil* util = nullptr;
    void SaveAll() override { log.push_back("save FIRST=" + util->GetSetting("GENERAL", "FIRST")); }
  } steps;
  steps.util = &app_;
  RunEndSession(steps, app_);
  EXPECT_EQ(steps.log, (std::vector<std::string>{"save FIRST=0"}));
}

}  // namespace
}  // namespace vm::shell
