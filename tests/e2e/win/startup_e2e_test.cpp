// Velmoria.exe started for real in an empty program folder, then stopped the way a
// second copy stops it: the first copy saves, stores its placement and empties "Temp".
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/platform.h"
#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "ui/text.h"

namespace vm {
namespace {

// The copies run from the scratch folder, so the settings they write are read from there.
using StartupEndToEnd = testing::ProgramFolderTest;

TEST_F(StartupEndToEnd, MakesFoldersMovesOldFirmsAndYieldsToASecondCopy) {
  std::string exe = dir_ / "Velmoria.exe";
  ASSERT_TRUE(CopyFileW(ui::Wide(testing::VelmoriaExePath()).c_str(), ui::Wide(exe).c_str(), FALSE))
      << testing::VelmoriaExePath();
  MakeFolders({"Support"});
  testing::Spit(dir_ / "Support\\firm.dbf", "ООО Ромашка|||||||\r\n");

  testing::ProgramProcess first(exe);
  ASSERT_TRUE(first.started());
  ASSERT_NE(testing::WaitForDayWindow(first.pid(), 20000), nullptr)
      << "the first copy shows no titled window";

  ASSERT_TRUE(platform::DirExists(dir_ / "Temp"));
  EXPECT_EQ(testing::Slurp(dir_ / "Support\\cont.dbc"), "");
  EXPECT_EQ(testing::Slurp(dir_ / "Support\\firm.dbo"), "ООО Ромашка|||||||\r\n");
  EXPECT_FALSE(platform::FileExists(dir_ / "Support\\firm.dbf"));

  // Scratch files of a report and a note, one in a sub-folder of "Temp".
  platform::MakeDir(dir_ / "Temp\\notes");
  testing::Spit(dir_ / "Temp\\VisitRep.html", "<html></html>");
  testing::Spit(dir_ / "Temp\\notes\\Note.rtf", "{\\rtf1 }");

  testing::ProgramProcess second(exe);
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(first.WaitExit(20000)) << "the first copy did not close for the second";
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\VisitRep.html"));
  EXPECT_FALSE(platform::FileExists(dir_ / "Temp\\notes\\Note.rtf"));
  EXPECT_TRUE(platform::DirExists(dir_ / "Temp\\notes"));
  EXPECT_EQ(app_.GetSetting("GENERAL", "FIRST"), "0");
  EXPECT_EQ(app_.GetSetting("GENERAL", "LAST"), "1");
  EXPECT_EQ(app_.GetSetting("GENERAL", "AUTOSAVE"), "1");
  for (const char* key : {"TOP", "LEFT", "BOTTOM", "RIGHT"})
    EXPECT_FALSE(app_.GetSetting("PLACEMENT", key).empty()) << key;
  EXPECT_EQ(app_.GetSetting("PLACEMENT", "TAB"), "0");
  EXPECT_EQ(app_.GetSetting("PLACEMENT", "MAX"), "0");
  HWND w = testing::WaitForDayWindow(second.pid(), 20000);
  ASSERT_NE(w, nullptr);
  PostMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitExit(20000));
}

}  // namespace
}  // namespace vm
