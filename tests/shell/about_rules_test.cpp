#include "shell/about_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"

namespace vm::shell {
namespace {

using testing::ScratchFolder;

TEST(AboutVersion, Text) {
  struct Case {
    const char* fileVersion;
    const char* text;
  } cases[] = {
      {"2013, 7, 6, 0", "2013.7.6"},
      {"2026, 12, 7, 0", "2026.12.7"},
      {"1.2.3.4", "1.2.3"},
      {"1, 0", "1"},
      {"5", "5"},  // nothing to cut
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionText(c.fileVersion), c.text) << c.fileVersion;
}

class FakeRunEntry : public RunEntry {
 public:
  bool present = false;
  std::string data;
  std::vector<std::string> calls;
  bool Read(std::string& out) override {
    if (!present) return false;
    out = data;
    return true;
  }
  void Write(const std::string& d) override {
    calls.push_back("write " + d);
    present = true;
    data = d;
  }
  void Delete() override {
    calls.push_back("delete");
    present = false;
  }
};

TEST(AboutAutostart, BoxFollowsTheEntry) {
  const std::string folder = "C:\\Программы\\Velmoria\\";
  struct Case {
    bool present;
    const char* data;
    bool checked;
  } cases[] = {
      {false, "", false},
      {true, "C:\\Программы\\Velmoria\\Velmoria.exe", true},
      {true, "C:\\Программы\\Velmoria\\Velmoria.exe  \r\n", true},  // trailing white space
      {true, "c:\\программы\\velmoria\\Velmoria.exe", false},     // case matters
      {true, "D:\\Velmoria\\Velmoria.exe", false},                 // another folder
      {true, "C:\\Программы\\Velmoria\\Organizer.exe", false},      // another name
      {true, "", false},
  };
  for (const Case& c : cases) {
    FakeRunEntry e;
    e.present = c.present;
    e.data = c.data;
    EXPECT_EQ(AutostartChecked(e, folder), c.checked) << c.data;
  }
}

TEST(AboutAutostart, ClickWritesStartThenTheEntry) {
  ScratchFolder dir;
  const CAppUtil util(dir.path(), "Organizer");  // the entry names Velmoria.exe whatever the module
  FakeRunEntry e;
  ApplyAutostartClick(true, util, e);
  EXPECT_EQ(util.GetSetting("GENERAL", "START"), "1");
  ASSERT_EQ(e.calls.size(), 1u);
  EXPECT_EQ(e.calls[0], "write " + dir.path() + "Velmoria.exe");
  EXPECT_TRUE(AutostartChecked(e, dir.path()));

  ApplyAutostartClick(false, util, e);
  EXPECT_EQ(util.GetSetting("GENERAL", "START"), "0");
  EXPECT_EQ(e.calls.back(), "delete");
  EXPECT_FALSE(AutostartChecked(e, dir.path()));
}

using AboutOptions = testing::ProgramFolderTest;

TEST_F(AboutOptions, BackupDaysShowTheDefaultAndTakeOnlyNumbers) {
  EXPECT_EQ(BackupDaysText(app_), "14");
  EXPECT_TRUE(WriteBackupDays(app_, "0"));
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "0");
  EXPECT_EQ(BackupDaysText(app_), "0");
  for (const char* typed : {"", "7д", "-1", "12345"}) EXPECT_FALSE(WriteBackupDays(app_, typed)) << typed;
  EXPECT_TRUE(WriteBackupDays(app_, "030"));
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "30");
  app_.PutSetting("GENERAL", "BACKUPDAYS", "много");
  EXPECT_EQ(BackupDaysText(app_), "14");
}

TEST_F(AboutOptions, BoxesReadAndWriteTheirKeys) {
  struct Case {
    AboutOption option;
    const char* key;
  } cases[] = {{AboutOption::kAutostart, "START"},
               {AboutOption::kHide, "HIDE"},
               {AboutOption::kAutosave, "AUTOSAVE"},
               {AboutOption::kLast, "LAST"},
               {AboutOption::kEsc, "ESC"},
               {AboutOption::kOldProtection, "OLDPROTECT"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_STREQ(OptionKey(c.option), c.key);
    EXPECT_FALSE(OptionChecked(app_, c.option));  // empty counts as 0
    WriteOption(app_, c.option, true);
    EXPECT_EQ(app_.GetSetting("GENERAL", c.key), "1");
    EXPECT_TRUE(OptionChecked(app_, c.option));
    WriteOption(app_, c.option, false);
    EXPECT_EQ(app_.GetSetting("GENERAL", c.key), "0");
    EXPECT_FALSE(OptionChecked(app_, c.option));
  }
  app_.PutSetting("GENERAL", "HIDE", "2");  // read as a number
  EXPECT_TRUE(OptionChecked(app_, AboutOption::kHide));
  // The sheet hides on Esc only for "1": the box shows no other value as on.
  app_.PutSetting("GENERAL", "ESC", "2");
  EXPECT_FALSE(OptionChecked(app_, AboutOption::kEsc));
}

using AboutPanels = testing::ProgramFolderTest;

TEST_F(AboutPanels, ChoiceAndVisibility) {
  struct Case {
    const char* about;
    bool settings;
  } cases[] = {{"1", true}, {"0", false}, {"", false}, {"01", false}, {"yes", false}, {" 1", false}};
  for (const Case& c : cases) EXPECT_EQ(ShowsSettingsPanel(c.about), c.settings) << c.about;

  PanelView s = ShowPanel(true, app_);
  EXPECT_EQ(app_.GetSetting("GENERAL", "ABOUT"), "1");
  EXPECT_TRUE(s.settingsGroup && s.aboutLink);
  EXPECT_FALSE(s.aboutText || s.settingsLink);
  PanelView a = ShowPanel(false, app_);
  EXPECT_EQ(app_.GetSetting("GENERAL", "ABOUT"), "0");
  EXPECT_TRUE(a.aboutText && a.settingsLink);
  EXPECT_FALSE(a.settingsGroup || a.aboutLink);
}

TEST(AboutLayout, FollowsThePageSize) {
  AboutLayout l = LayoutAbout(620, 330);
  EXPECT_EQ(l.textBox, (Rect{10, 100, 610, 320}));
  EXPECT_EQ(l.picture, (Rect{10, 10, 100, 100}));
  EXPECT_EQ(l.frame, (Rect{105, 10, 610, 100}));
  EXPECT_EQ(l.mailLink, (Rect{500, 32, 560, 52}));
  EXPECT_EQ(l.homeLink, (Rect{500, 52, 560, 72}));
  EXPECT_EQ(l.panelLink, (Rect{500, 72, 650, 92}));
  AboutLayout big = LayoutAbout(1000, 700);
  EXPECT_EQ(big.textBox.width(), 980);
  EXPECT_EQ(big.textBox.height(), 590);
  EXPECT_EQ(big.mailLink.left, 880);
  // The version line stays inside the frame, left of the links.
  EXPECT_GT(kProductNameAt.x, l.frame.left);
  EXPECT_LT(kVersionAt.y + kVersionFontHeight, l.frame.bottom);
}

}  // namespace
}  // namespace vm::shell
