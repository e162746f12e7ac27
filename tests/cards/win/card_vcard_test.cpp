// The vCard commands of the contacts page inside the real sheet: the shown cards go out,
// the same file comes back as nothing new, and a phone's card comes in as a new row.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "cards/win/cards_resources.h"
#include "cards/win/contacts_page.h"
#include "common/app_util.h"
#include "platform/platform.h"
#include "shell/win/velmoria_sheet.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"

namespace vm::cards {
namespace {

using vm::testing::CapturedMessages;
using vm::testing::PumpSheet;
using vm::testing::Slurp;
using vm::testing::Spit;

class CardVcardTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override { MakeFolders({"Support", "Temp", "Personal"}); }
};

void Command(shell::CVelmoriaSheet& sheet, CardPage& page, int id) {
  SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page.toolbar().hwnd()));
  PumpSheet(sheet);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(CardVcardTest, ShownCardsOutTheSameFileBackAndANewCardIn) {
  Spit(dir_ / "Support\\cont.dbc",
       "Иванов Пётр|инженер|Завод|Москва|+7 495 1||||ivanov@mail.ru|||ул. ЛенинаERN:д. 1|друг\r\n"
       "Сивцев Олег|водитель|Такси|Омск||||||www.taxi.ru|||\r\n");
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = static_cast<CContDlg&>(sheet.page(shell::kContactsTab));
  const std::string vcf = dir_ / "Personal\\out.vcf";
  const std::string phone = dir_ / "Personal\\phone.vcf";
  std::string offeredFolder;
  std::string openPath = vcf;
  CardShell s;
  s.askVcardSave = [&](HWND, const std::string& folder) -> std::optional<std::string> {
    offeredFolder = folder;
    return vcf;
  };
  s.askVcardOpen = [&](HWND, const std::string&) -> std::optional<std::string> { return openPath; };
  page.SetShell(s);
  ASSERT_TRUE(sheet.Create());
  sheet.ActivateTab(shell::kContactsTab);
  PumpSheet(sheet);
  EXPECT_TRUE(page.toolbar().Has(ID_CARD_REPORT));

  Command(sheet, page, ID_CARD_EXPORT_VCARD);
  EXPECT_EQ(offeredFolder, dir_ / "Personal");
  std::string written = Slurp(vcf);
  EXPECT_EQ(Count(written, "BEGIN:VCARD\r\nVERSION:4.0\r\n"), 2u);
  EXPECT_NE(written.find(platform::Cp1251ToUtf8("FN:Иванов Пётр\r\nN:Иванов;Пётр;;;\r\n")), std::string::npos);

  {
    CapturedMessages messages;
    Command(sheet, page, ID_CARD_IMPORT_VCARD);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "Добавлено записей: 0, пропущено уже имеющихся: 2.");
  }
  EXPECT_EQ(page.cards().records().size(), 2u);

  Spit(phone,
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=windows-1251:Кузнецов;Иван\r\nTEL;CELL:+79000000000\r\n"
       "BDAY:1990-01-02\r\nEND:VCARD\r\n");
  openPath = phone;
  {
    CapturedMessages messages;
    Command(sheet, page, ID_CARD_IMPORT_VCARD);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0].rfind("Добавлено записей: 1, пропущено уже имеющихся: 0.\n\nСведений", 0), 0u)
        << messages.texts()[0];
  }
  ASSERT_EQ(page.list().RowCount(), 3);
  EXPECT_EQ(page.list().CellText(2, 0), "Кузнецов Иван");
  const std::string& added = page.cards().records().back();
  EXPECT_EQ(GetField(added, 5), "+79000000000");
  EXPECT_EQ(GetField(added, 12), "День рождения: 1990-01-02");
  EXPECT_EQ(page.cards().book().state, kStateChanged);
}

}  // namespace
}  // namespace vm::cards
