// The contacts book changed on disk by another program while the sheet shows it, and a
// book another machine holds open, through the program's own sheet, pages and dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/pages.h"
#include "cards/win/card_page.h"
#include "common/book_guard.h"
#include "common/book_lock.h"
#include "common/record_file.h"
#include "shell/win/changed_question.h"
#include "shell/win/shell_resources.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/sheet_driver.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace vm::cards {
namespace {

using vm::testing::PumpSheet;
using vm::testing::Slurp;
using vm::testing::Spit;

std::string Record(const std::string& name) {
  return name + std::string(ContactsLayout().separators, '|') + "\r\n";
}

// Answers the dialog of `templateId` with the button `answer()` from inside its loop and
// writes its text down.
class Answers {
 public:
  Answers(int templateId, int textId) {
    ui::Dialog::SetInitHook([=, this](ui::Dialog& d) {
      if (d.templateId() != templateId) return;
      wchar_t text[2048] = {};
      GetDlgItemTextW(d.hwnd(), textId, text, 2048);
      texts.push_back(ui::Narrow(text));
      PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    });
  }
  ~Answers() { ui::Dialog::SetInitHook(nullptr); }
  std::vector<std::string> texts;
  int answer = IDCANCEL;
};

class ChangedOnDiskTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp"});
    Spit(path_, kBase);
    shell::InstallBookGuard(app::MergeBooks);
  }
  void TearDown() override { guard::Install({}); }
  // The book and every conflict copy beside it.
  std::string Everything() const {
    std::string all = Slurp(path_);
    for (const platform::DirEntry& e : platform::ListDir(dir_ / "Support"))
      if (guard::IsConflictCopyName(e.name)) all += Slurp(dir_ / "Support\\" + e.name);
    return all;
  }
  static CardPage& Contacts(shell::CVelmoriaSheet& sheet) {
    return dynamic_cast<CardPage&>(sheet.page(shell::kContactsTab));
  }

  const std::string kBase = Record("Анна") + Record("Борис");
  const std::string path_ = dir_ / "Support\\cont.dbc";
};

TEST_F(ChangedOnDiskTest, ABookWithoutChangesLoadsAgainAndSaysSo) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  sheet.ActivateTab(shell::kContactsTab);
  PumpSheet(sheet);
  CardPage& page = Contacts(sheet);
  ASSERT_EQ(page.cards().records().size(), 2u);
  Spit(path_, kBase + Record("Вера"));
  sheet.PollDisk();
  EXPECT_EQ(page.cards().records().size(), 3u);
  EXPECT_EQ(page.list().RowCount(), 3);
  EXPECT_NE(sheet.diskNote().find("загружен заново"), std::string::npos) << sheet.diskNote();
  EXPECT_EQ(Slurp(path_), kBase + Record("Вера")) << "loading writes nothing";
}

TEST_F(ChangedOnDiskTest, AnEditedBookAsksWhenShownAndNoAnswerLosesAnything) {
  for (int answer : {IDC_CHANGED_MERGE, IDC_CHANGED_MINE, IDC_CHANGED_DISK, IDCANCEL}) {
    Spit(path_, kBase);
    shell::InstallBookGuard(app::MergeBooks);
    for (const platform::DirEntry& e : platform::ListDir(dir_ / "Support"))
      if (guard::IsConflictCopyName(e.name)) platform::RemoveFile(dir_ / "Support\\" + e.name);
    Answers answers(IDD_CHANGED, IDC_CHANGED_TEXT);
    answers.answer = answer;
    vm::testing::ProgramSheet sheet(app_);
    ASSERT_TRUE(sheet.Create());
    sheet.ActivateTab(shell::kContactsTab);
    PumpSheet(sheet);
    CardPage& page = Contacts(sheet);
    ASSERT_TRUE(page.cards().EditField(0, 0, "Анна моя"));
    Spit(path_, kBase + Record("Вера"));
    sheet.PollDisk();
    PumpSheet(sheet);
    sheet.PollDisk();  // an answer that has the page load the file
    ASSERT_EQ(answers.texts.size(), 1u) << answer;
    EXPECT_NE(answers.texts[0].find("cont.dbc"), std::string::npos) << answers.texts[0];
    // Cancel writes nothing: mine stays in the page, still to be saved.
    std::string all = Everything() + (answer == IDCANCEL ? page.cards().book().records[0] : std::string());
    EXPECT_NE(all.find("Анна моя|"), std::string::npos) << answer << ": mine";
    EXPECT_NE(all.find("Вера|"), std::string::npos) << answer << ": theirs";
    if (answer == IDC_CHANGED_MERGE) {
      EXPECT_EQ(Slurp(path_), Record("Анна моя") + Record("Борис") + Record("Вера"));
    } else if (answer == IDC_CHANGED_DISK) {
      EXPECT_EQ(page.cards().records().size(), 3u) << "the disk's version shown";
    } else if (answer == IDCANCEL) {
      EXPECT_EQ(page.cards().book().state, kStateChanged) << "still to be saved";
    }
    guard::Install({});
  }
}

TEST_F(ChangedOnDiskTest, ABookOpenOnAnotherMachineWarnsAndOpensReadOnly) {
  lock::LockInfo other{"НОУТБУК-ПЕТРА", "Пётр", 4242, platform::Now()};
  Spit(lock::LockPath(path_), lock::LockText(other));
  Answers answers(IDD_LOCKED, IDC_LOCKED_TEXT);
  answers.answer = IDC_LOCKED_READ_ONLY;
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  sheet.ActivateTab(shell::kContactsTab);
  PumpSheet(sheet);
  ASSERT_EQ(answers.texts.size(), 1u);
  EXPECT_NE(answers.texts[0].find("НОУТБУК-ПЕТРА"), std::string::npos) << answers.texts[0];
  EXPECT_TRUE(guard::ReadOnly(path_));
  CardPage& page = Contacts(sheet);
  ASSERT_TRUE(page.cards().EditField(0, 0, "Анна здесь"));
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
  EXPECT_EQ(Slurp(path_), kBase) << "a read-only book is never written";
  EXPECT_NE(Everything().find("Анна здесь|"), std::string::npos) << "the change is kept beside it";
  EXPECT_EQ(Slurp(lock::LockPath(path_)), lock::LockText(other)) << "the other machine's lock stays";
}

}  // namespace
}  // namespace vm::cards
