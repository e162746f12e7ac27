#include "common/backup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "common/settings.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::backup {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

// The files of a folder, the backup folder's index aside.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : platform::ListDir(folder))
    if (e.name != kIndexName) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

// A keeper over a scratch program folder with a clock the test moves.
struct KeeperFixture {
  ScratchFolder dir;
  Day today{2026, 12, 7};
  int days = kDefaultDays;
  std::vector<std::string> reports;
  std::string folder() const { return dir / "Backup\\"; }
  KeeperFixture() {
    Keeper k;
    k.folder = folder();
    k.keepDays = [this] { return days; };
    k.today = [this] { return today; };
    k.report = [this](const std::string& m) { reports.push_back(m); };
    Install(std::move(k));
  }
  ~KeeperFixture() { Install({}); }
};

TEST(BackupNames, DateGoesBeforeTheExtension) {
  EXPECT_EQ(BackupName("cont.dbc", {2026, 12, 7}), "cont.2026-12-07.dbc");
  EXPECT_EQ(BackupName("мои.заметки.dbn", {2027, 1, 31}), "мои.заметки.2027-01-31.dbn");
  EXPECT_EQ(BackupName("README", {2026, 3, 5}), "README.2026-03-05");
  EXPECT_EQ(BackupDateOf("Cont.DBC", "cont.2026-12-07.dbc"), "2026-12-07");
  for (const char* other : {"cont.dbc", "cont.2026-12-7.dbc", "cont.2026-12-07.dbo", "firm.2026-12-07.dbc",
                            "cont.x2026-12-07.dbc", "cont.2026-12-07.dbc.vmtmp"})
    EXPECT_EQ(BackupDateOf("cont.dbc", other), "") << other;
  EXPECT_EQ(DaysFromSetting(""), 14);
  EXPECT_EQ(DaysFromSetting("0"), 0);
  EXPECT_EQ(DaysFromSetting("3"), 3);
  EXPECT_EQ(DaysFromSetting("три"), 14);
}

TEST(Backups, ThreeSavesOverTwoDaysLeaveTwoBackupsOfWhatWasOnDisk) {
  KeeperFixture f;
  const std::string book = f.dir / "cont.dbc";
  Spit(book, "старое\r\n");
  auto save = [&](const std::string& text) {
    RecordBook b;
    b.path = book;
    b.records = {text};
    b.state = kStateChanged;
    EXPECT_EQ(SaveRecords(b).status, SaveStatus::kSaved);
  };
  save("первое");
  save("второе");  // the same day: today's backup stays the morning's file
  f.today = {2026, 12, 8};
  save("третье");
  EXPECT_EQ(Names(f.folder()), (std::vector<std::string>{"cont.2026-12-07.dbc", "cont.2026-12-08.dbc"}));
  EXPECT_EQ(Slurp(f.folder() + "cont.2026-12-07.dbc"), "старое\r\n");
  EXPECT_EQ(Slurp(f.folder() + "cont.2026-12-08.dbc"), "второе\r\n");
  EXPECT_EQ(Slurp(book), "третье\r\n");
  EXPECT_TRUE(f.reports.empty());
}

TEST(Backups, ProtectedNotebookAndSettingsAreCopiedByteForByte) {
  KeeperFixture f;
  notebook::NotebookFile nb;
  nb.path = f.dir / "личное.dbn";
  nb.root->AppendChild("Тайна", "{\\rtf1 текст}");
  nb.password = "Пароль";
  nb.state = notebook::kChanged;
  f.today = {2026, 12, 6};  // made yesterday
  ASSERT_EQ(notebook::SaveNotebook(nb).status, notebook::SaveStatus::kSaved);
  f.today = {2026, 12, 7};
  const std::string before = Slurp(nb.path);
  nb.root->AppendChild("Вторая", "{\\rtf1 ещё}");
  nb.state = notebook::kChanged;
  ASSERT_EQ(notebook::SaveNotebook(nb).status, notebook::SaveStatus::kSaved);
  EXPECT_EQ(Slurp(f.folder() + "личное.2026-12-07.dbn"), before);
  EXPECT_EQ(before.find("Тайна"), std::string::npos);

  // The settings file is written on many occasions: one backup a day.
  const std::string ini = f.dir / "Velmoria.ini";
  Spit(ini, "[GENERAL]\r\nK=old\r\n");
  for (int i = 0; i < 5; ++i) WriteSetting(ini, "GENERAL", "K", std::to_string(i));
  f.today = {2026, 12, 8};
  WriteSetting(ini, "GENERAL", "K", "last");
  EXPECT_EQ(Slurp(f.folder() + "Velmoria.2026-12-07.ini"), "[GENERAL]\r\nK=old\r\n");
  EXPECT_EQ(Slurp(f.folder() + "Velmoria.2026-12-08.ini"), "[GENERAL]\r\nK=4\r\n");
  EXPECT_EQ(Names(f.folder()).size(), 3u);
}

TEST(Backups, PruningKeepsTheNewestDaysOfThatBookOnly) {
  ScratchFolder dir;
  const std::string folder = dir / "Backup\\";
  ASSERT_TRUE(platform::MakeDir(dir / "Backup"));
  for (const char* name :
       {"cont.2026-11-30.dbc", "cont.2026-12-01.dbc", "cont.2025-12-31.dbc", "cont.2026-12-03.dbc",
        "firm.2020-01-01.dbo", "cont.dbc.txt", "cont.2026-12-05.dbc.vmtmp"})  // a backup write cut short
    Spit(folder + name, "x");
  Spit(dir / "cont.dbc", "сегодня");
  EXPECT_EQ(BackUp(dir / "cont.dbc", {folder, 3, {2026, 12, 7}}), Outcome::kWritten);
  EXPECT_EQ(Names(folder),
            (std::vector<std::string>{"cont.2026-12-01.dbc", "cont.2026-12-03.dbc", "cont.2026-12-07.dbc",
                                      "cont.dbc.txt", "firm.2020-01-01.dbo"}));
  EXPECT_EQ(BackUp(dir / "cont.dbc", {folder, 3, {2026, 12, 7}}), Outcome::kAlreadyToday);
  // Off: nothing written, nothing removed.
  EXPECT_EQ(BackUp(dir / "cont.dbc", {folder, 0, {2026, 12, 9}}), Outcome::kOff);
  EXPECT_EQ(Names(folder).size(), 5u);
  EXPECT_EQ(BackUp(dir / "нет.dbc", {folder, 3, {2026, 12, 9}}), Outcome::kNoFile);
}

TEST(Backups, AFailedBackupStillSavesTheBookAndIsReportedOnce) {
  KeeperFixture f;
  Spit(f.dir / "Backup", "a file where the folder should be");
  const std::string book = f.dir / "work.dbw";
  Spit(book, "old");
  EXPECT_TRUE(SaveBook(book, "new"));
  EXPECT_TRUE(SaveBook(book, "newer"));
  EXPECT_EQ(Slurp(book), "newer");
  ASSERT_EQ(f.reports.size(), 1u);
  EXPECT_EQ(f.reports[0], FailureMessage(book));
  EXPECT_NE(f.reports[0].find(book), std::string::npos);

  // Switched off: no folder is made at all.
  KeeperFixture off;
  off.days = 0;
  Spit(off.dir / "a.dbp", "old");
  EXPECT_TRUE(SaveBook(off.dir / "a.dbp", "new"));
  EXPECT_FALSE(platform::DirExists(off.dir / "Backup"));
}

// Two books of one name in different folders: the first keeps the plain backup name, the
// second gets its own, and each keeps its own days. The index says which is which.
TEST(Backups, SameNamedBooksInDifferentFoldersKeepTheirOwnBackups) {
  KeeperFixture f;
  f.days = 2;
  platform::MakeDir(f.dir / "Personal");
  platform::MakeDir(f.dir / "Stick");
  const std::string home = f.dir / "Personal\\work.dbw", stick = f.dir / "Stick\\work.dbw";
  Spit(home, "дом 0");
  Spit(stick, "флешка 0");
  for (int day = 7; day <= 9; ++day) {
    f.today = {2026, 12, day};
    for (const std::string& book : {home, stick}) {
      ASSERT_TRUE(SaveBook(book, Slurp(book).substr(0, Slurp(book).size() - 1) + std::to_string(day)));
    }
  }
  EXPECT_EQ(Names(f.folder()), (std::vector<std::string>{"work.2026-12-08.dbw", "work.2026-12-09.dbw",
                                                         "work~2.2026-12-08.dbw", "work~2.2026-12-09.dbw"}));
  EXPECT_EQ(Slurp(f.folder() + "work.2026-12-09.dbw"), "дом 8");
  EXPECT_EQ(Slurp(f.folder() + "work~2.2026-12-09.dbw"), "флешка 8");
  EXPECT_EQ(ParseIndex(Slurp(f.folder() + "books.txt")),
            (std::vector<IndexEntry>{{"work.dbw", home}, {"work~2.dbw", stick}}));

  // Another run (a new keeper): the index gives the same name.
  f.today = {2026, 12, 10};
  Install({f.folder(), [] { return 2; }, [&f] { return f.today; }, nullptr});
  ASSERT_TRUE(SaveBook(stick, "флешка 10"));
  EXPECT_EQ(Slurp(f.folder() + "work~2.2026-12-10.dbw"), "флешка 9");
  EXPECT_EQ(Slurp(f.folder() + "work.2026-12-08.dbw"), "дом 7") << "the other book's days are its own";
}

// An index that exists but cannot be read (another process holds it) or is no index
// was once taken for an empty one: the saving book took the plain name, the index was
// rewritten with it alone, and pruning deleted the other book's backups.
TEST(Backups, AnIndexThatCannotBeReadIsNeverWrittenOverAndNoBackupIsLost) {
  KeeperFixture f;
  f.days = 1;
  platform::MakeDir(f.dir / "Personal");
  platform::MakeDir(f.dir / "Stick");
  const std::string home = f.dir / "Personal\\work.dbw", stick = f.dir / "Stick\\work.dbw";
  Spit(home, "дом");
  Spit(stick, "флешка");
  for (const std::string& book : {home, stick}) ASSERT_TRUE(SaveBook(book, Slurp(book) + " 7"));
  const std::string index = f.folder() + "books.txt";
  const std::string indexText = Slurp(index);
  const std::vector<std::string> before = Names(f.folder());
  ASSERT_EQ(before.size(), 2u);

  testing::HeldFiles files;
  files.held.insert(index);
  f.today = {2026, 12, 8};
  for (const std::string& book : {stick, home}) ASSERT_TRUE(SaveBook(book, Slurp(book) + " 8"));
  files.held.clear();
  EXPECT_EQ(Slurp(stick), "флешка 7 8") << "the save itself goes on";
  EXPECT_EQ(Slurp(index), indexText);
  EXPECT_EQ(Names(f.folder()), before);
  ASSERT_EQ(f.reports.size(), 1u) << "one index, one report";
  EXPECT_EQ(f.reports[0], IndexFailureMessage(index, stick));

  // Read again, with a byte-order mark and blank lines an editor left: the names hold.
  Spit(index, "\xEF\xBB\xBF" + indexText + "\r\n");
  Install({f.folder(), [] { return 1; }, [&f] { return f.today; }, nullptr});
  ASSERT_TRUE(SaveBook(stick, "флешка 9"));
  EXPECT_EQ(Slurp(f.folder() + "work~2.2026-12-08.dbw"), "флешка 7 8");
  EXPECT_EQ(Slurp(f.folder() + "work.2026-12-07.dbw"), "дом") << "the other book's backup stays";

  // Not an index at all: left as it is, and no backup made or removed.
  Spit(index, "что-то другое\r\n");
  Install({f.folder(), [] { return 1; }, [&f] { return f.today; }, nullptr});
  ASSERT_TRUE(SaveBook(home, "дом 9"));
  EXPECT_EQ(Slurp(index), "что-то другое\r\n");
  EXPECT_EQ(Slurp(f.folder() + "work.2026-12-07.dbw"), "дом");
}

TEST(BackupNames, TheIndexGivesFreeNamesAndSkipsHostileLines) {
  std::vector<IndexEntry> index = *ParseIndex(std::string(kIndexHeader) +
                                             "\r\ncont.dbc|C:\\A\\cont.dbc\r\n"
                                             "no bar\n|C:\\empty name\n..\\evil.dbc|C:\\B\\cont.dbc\n"
                                             "cont~2.dbc|C:\\C\\cont.dbc");
  ASSERT_EQ(index.size(), 2u);
  bool added = false;
  EXPECT_EQ(BackupFileNameFor(index, "c:\\a\\CONT.dbc", &added), "cont.dbc");
  EXPECT_FALSE(added);
  EXPECT_EQ(BackupFileNameFor(index, "D:\\cont.dbc", &added), "cont~3.dbc");
  EXPECT_TRUE(added);
  EXPECT_EQ(BackupFileNameFor(index, "D:\\README", &added), "README");
  EXPECT_EQ(BackupFileNameFor(index, "E:\\README", &added), "README~2");
  EXPECT_EQ(ParseIndex(IndexText(index)), index);
  EXPECT_FALSE(ParseIndex("cont.dbc|C:\\A\\cont.dbc")) << "no header: no index";
  EXPECT_EQ(ParseIndex("\xEF\xBB\xBF\r\n" + std::string(kIndexHeader) + "\r\n\r\na.dbc|C:\\a.dbc\r\n  \r\n"),
            (std::vector<IndexEntry>{{"a.dbc", "C:\\a.dbc"}}))
      << "a byte-order mark and blank lines, as an editor saves it";
  EXPECT_EQ(ParseIndex(""), std::vector<IndexEntry>{});
}

}  // namespace
}  // namespace vm::backup
