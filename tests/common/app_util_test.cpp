#include "common/app_util.h"

#include <gtest/gtest.h>

#include "common/settings.h"
#include "common/calendar.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

TEST(Title, TextAndWeekNumbers) {
  EXPECT_EQ(TitleText(6, 12, 2026), "Velmoria - 6 декабря 2026  Вс  49 нд.");
  // 1 January 2023 was a Sunday: it alone is week 1.
  EXPECT_EQ(WeekNumber(1, 1, 2023), 1);
  EXPECT_EQ(WeekNumber(2, 1, 2023), 2);
  // 1 January 2024 was a Monday.
  EXPECT_EQ(WeekNumber(7, 1, 2024), 1);
  EXPECT_EQ(WeekNumber(8, 1, 2024), 2);
  EXPECT_EQ(WeekNumber(31, 12, 2024), 53);
  // Leap day shifts the rest of the year.
  EXPECT_EQ(TitleText(29, 2, 2024), "Velmoria - 29 февраля 2024  Чт  9 нд.");
}

TEST(Title, WeekdayAgreesWithDayCounting) {
  // Walk day by day from a known Monday and check the weekday formula never slips.
  dates::Date d{1, 1, 1901};  // a Tuesday
  int expected = 1;
  for (int i = 0; i < 200 * 366; ++i) {
    ASSERT_EQ(dates::Weekday(d.day, d.month, d.year), expected) << d.day << "." << d.month << "." << d.year;
    d = dates::AddDays(d, 1);
    expected = (expected + 1) % 7;
    if (d.year > 2099) break;
  }
}

TEST(Unscramble, IsItsOwnInverseAndGivesTheCaption) {
  CAppUtil util;
  std::string plain = util.Unscramble(kStoredCaption);
  EXPECT_EQ(plain, "Velmoria - личный органайзер: дела, даты, заметки");
  EXPECT_EQ(util.Unscramble(plain), kStoredCaption);
  EXPECT_EQ(util.Unscramble("Velmoria - xyz"), "Velmoria - xyz");  // outside both alphabets
}

TEST(Settings, ProfileSemantics) {
  std::string text;
  text = IniPut(text, "GENERAL", "LAST", "1");
  text = IniPut(text, "PLACEMENT", "MAX", "0");
  text = IniPut(text, "general", "autosave", "1");  // same section, other case
  text = IniPut(text, "General", "Last", "0");      // replaces, keeps the key's place
  EXPECT_EQ(text, "[GENERAL]\r\nLast=0\r\nautosave=1\r\n\r\n[PLACEMENT]\r\nMAX=0\r\n");
  EXPECT_EQ(IniGet(text, "GENERAL", "LAST"), "0");
  EXPECT_EQ(IniGet(text, "placement", "max"), "0");
  EXPECT_EQ(IniGet(text, "PLACEMENT", "LAST"), "");
  EXPECT_EQ(IniGet(text, "NONE", "LAST"), "");
  EXPECT_EQ(IniGet("[Раздел]\nКлюч = значение \n", "РАЗДЕЛ", "КЛЮЧ"), "значение");
  std::string longValue(400, 'x');
  EXPECT_EQ(IniGet(IniPut("", "S", "K", longValue), "S", "K").size(), kMaxSettingLength);
  // A line break in a value must not split it into a second key.
  std::string broken = IniPut("", "S", "K", "a\r\nEVIL=1");
  EXPECT_EQ(IniGet(broken, "S", "EVIL"), "");
}

TEST(Settings, FileStoreWritesAtOnceAndReadsEmptyWhenMissing) {
  ScratchFolder dir;
  CAppUtil util(dir.path(), "Velmoria");
  EXPECT_EQ(util.SettingsPath(), dir / "Velmoria.ini");
  EXPECT_EQ(util.GetSetting("GENERAL", "HIDE"), "");
  EXPECT_FALSE(util.GetFlag("GENERAL", "HIDE"));
  util.PutSetting("GENERAL", "HIDE", "1");
  util.PutNumber("PLACEMENT", "LEFT", -12);
  EXPECT_TRUE(util.GetFlag("general", "hide"));
  EXPECT_EQ(util.GetNumber("PLACEMENT", "LEFT"), -12);
  EXPECT_EQ(Slurp(dir / "Velmoria.ini"), "[GENERAL]\r\nHIDE=1\r\n\r\n[PLACEMENT]\r\nLEFT=-12\r\n");
  util.PutSetting("GENERAL", "HIDE", "yes");
  EXPECT_FALSE(util.GetFlag("GENERAL", "HIDE"));  // only "1" is on
}

// The program's own settings object asks the platform for its folder and file name.
TEST(Settings, TheProgramsOwnStoreIsBesideTheRunningProgram) {
  ScratchFolder dir;
  platform::OverrideProgramFolder(dir.path(), "Organizer");
  CAppUtil util;
  EXPECT_EQ(util.ProgramFolder(), dir.path());
  EXPECT_EQ(util.SettingsPath(), dir / "Organizer.ini");
  util.PutSetting("GENERAL", "HIDE", "1");
  EXPECT_EQ(Slurp(dir / "Organizer.ini"), "[GENERAL]\r\nHIDE=1\r\n");
}

// A failure is told as one, never turned into data: a missing file once read as the
// text "error", and a write that failed looked like one that worked.
TEST(FileText, ReadCutsAtZeroAndFailuresAreToldAsSuch) {
  ScratchFolder dir;
  CAppUtil util;
  EXPECT_EQ(util.ReadFileText(dir / "none.txt"), std::nullopt);
  Spit(dir / "a.txt", std::string("ab\0cd", 5));
  EXPECT_EQ(util.ReadFileText(dir / "a.txt"), "ab");
  EXPECT_TRUE(util.WriteFileText(dir / "a.txt", "x"));
  EXPECT_EQ(Slurp(dir / "a.txt"), "x");
  EXPECT_FALSE(util.WriteFileText(dir / "missing\\folder\\b.txt", "x"));
}

TEST(DeleteFiles, EmptiesEveryFolderButKeepsTheFolders) {
  ScratchFolder dir;
  platform::MakeDir(dir / "Temp");
  platform::MakeDir(dir / "Temp\\sub");
  platform::MakeDir(dir / "Temp\\sub\\deeper");
  for (const char* f : {"Temp\\a.html", "Temp\\noext", "Temp\\sub\\b.txt", "Temp\\sub\\deeper\\c.xml"})
    Spit(dir / f, "x");
  CAppUtil().DeleteFiles(dir / "Temp", "\\*.*");
  EXPECT_TRUE(platform::ListDir(dir / "Temp\\sub\\deeper").empty());
  EXPECT_TRUE(platform::DirExists(dir / "Temp\\sub\\deeper"));
  ASSERT_EQ(platform::ListDir(dir / "Temp").size(), 1u);
  EXPECT_TRUE(MatchesPattern("Report.HTML", "*.html"));
  EXPECT_FALSE(MatchesPattern("Report.htm", "*.html"));
  EXPECT_TRUE(MatchesPattern("a1.txt", "a?.*"));
}

TEST(WorkingFolders, FirstStartAndOldFirmsFile) {
  {
    ScratchFolder dir;
    PrepareWorkingFolders(dir.path());
    EXPECT_TRUE(platform::DirExists(dir / "Temp"));
    EXPECT_EQ(Slurp(dir / "Support\\cont.dbc"), "");
    EXPECT_EQ(Slurp(dir / "Support\\firm.dbo"), "");
    EXPECT_FALSE(platform::DirExists(dir / "Personal"));
  }
  {
    ScratchFolder dir;
    platform::MakeDir(dir / "Support");
    Spit(dir / "Support\\firm.dbf", "old firms");
    PrepareWorkingFolders(dir.path());
    EXPECT_EQ(Slurp(dir / "Support\\firm.dbo"), "old firms");
    EXPECT_EQ(Slurp(dir / "Support\\firm.dbf"), "<missing>");
    EXPECT_EQ(Slurp(dir / "Support\\cont.dbc"), "");  // only the missing file is made
  }
  {
    ScratchFolder dir;
    platform::MakeDir(dir / "Support");
    Spit(dir / "Support\\firm.dbf", "old");
    Spit(dir / "Support\\firm.dbo", "new");
    Spit(dir / "Support\\cont.dbc", "contacts");
    PrepareWorkingFolders(dir.path());
    EXPECT_EQ(Slurp(dir / "Support\\firm.dbo"), "new");  // the move fails, both stay
    EXPECT_EQ(Slurp(dir / "Support\\firm.dbf"), "old");
    EXPECT_EQ(Slurp(dir / "Support\\cont.dbc"), "contacts");
  }
}

}  // namespace
}  // namespace vm
