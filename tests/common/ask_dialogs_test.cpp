#include "common/ask_dialogs.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;

TEST(NewFileDialog, FolderOfPath) {
  struct Case {
    const char *path, *folder, *name;
  } cases[] = {
      {"C:\\Личное\\дела.dbw", "C:\\Личное", "дела.dbw"},
      {"C:\\дела.dbw", "C:\\", "дела.dbw"},
      {"дела.dbw", "", "дела.dbw"},
      {"", "", ""},
      {"\\\\server\\share\\x.dbn", "\\\\server\\share", "x.dbn"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOfPath(c.path), c.name) << c.path;
  }
}

TEST(NewFileDialog, InitialFolder) {
  ScratchFolder dir;
  platform::MakeDir(dir / "Books");
  const std::string personal = dir / "Personal";
  struct Case {
    std::string setting;
    std::string folder;
  } cases[] = {
      {dir / "Books\\work.dbw", dir / "Books"},
      {dir / "Gone\\work.dbw", personal},  // a folder that no longer exists
      {"", personal},
      {"work.dbw", personal},
      {"Q:\\work.dbw", "Q:\\"},  // a drive root is taken as it is
  };
  for (const Case& c : cases) EXPECT_EQ(NewFileInitialFolder(c.setting, dir.path()), c.folder) << c.setting;
  EXPECT_TRUE(platform::DirExists(personal));  // made on the way
}

TEST(NewFileDialog, PersonalThatCannotBeMadeLeavesTheFolderEmpty) {
  ScratchFolder dir;
  testing::Spit(dir / "Personal", "a file in the way");
  EXPECT_EQ(NewFileInitialFolder("", dir.path()), "");
  EXPECT_FALSE(NewFileAccepts("", "x"));
}

TEST(NewFileDialog, AcceptsAndComposes) {
  ScratchFolder dir;
  std::string folder = dir.path().substr(0, dir.path().size() - 1);
  struct Case {
    std::string folder;
    std::string name;
    bool accepted;
  } cases[] = {
      {folder, "Дела 2026", true},
      {folder, "", false},
      {folder + "\\missing", "x", false},
      {folder, "..\\x", false},
      {folder, "a:b", false},
      {folder, "a|b", false},
      {folder, "...", false},
      {folder, "  ", false},
      {folder, ".hidden", true},
  };
  for (const Case& c : cases) EXPECT_EQ(NewFileAccepts(c.folder, c.name), c.accepted) << c.folder << " " << c.name;

  EXPECT_EQ(NewFilePath("C:\\Личное", "дела"), "C:\\Личное\\дела");
  EXPECT_EQ(NewFilePath("C:\\", "дела"), "C:\\дела");  // no second "\" after a root
}

TEST(PasswordDialog, ModesAndLayouts) {
  PasswordLook enter = PasswordDialogLook(PasswordMode::kEnter);
  EXPECT_STREQ(enter.title, "Введите пароль");
  EXPECT_FALSE(enter.showBoxEnabled);
  EXPECT_TRUE(enter.removeBoxEnabled);
  PasswordLook set = PasswordDialogLook(PasswordMode::kSet);
  EXPECT_STREQ(set.title, "Установите пароль");
  EXPECT_TRUE(set.showBoxEnabled);
  EXPECT_FALSE(set.removeBoxEnabled);

  EXPECT_EQ(KeyboardLayoutName(kRussianLanguage), "00000419");
  EXPECT_EQ(KeyboardLayoutName(kEnglishLanguage), "00000409");
  struct Case {
    const char* name;
    bool ru, en;
  } cases[] = {{"00000419", true, false}, {"00000409", false, true}, {"00020409", false, true},
               {"00000407", false, false}, {"", false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsRussianLayoutName(c.name), c.ru) << c.name;
    EXPECT_EQ(IsEnglishLayoutName(c.name), c.en) << c.name;
  }
}

}  // namespace
}  // namespace vm
