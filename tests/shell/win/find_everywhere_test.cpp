// "Найти везде" in the real sheet: one text kept in every kind of book, found from the
// one window, and each hit followed to its page and its place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cards/win/card_page.h"
#include "data/win/data_page.h"
#include "dates/win/dates_page.h"
#include "notebook/win/notebook_page.h"
#include "shell/sheet_rules.h"
#include "shell/win/shell_resources.h"
#include "shell/win/velmoria_sheet.h"
#include "spreadsheet/win/spreadsheet_page.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/sheet_driver.h"
#include "tasks/win/tasks_page.h"
#include "ui/rich_edit.h"

namespace vm::shell {
namespace {

using vm::testing::PumpSheet;
using vm::testing::Spit;

class FindEverywhereTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp", "Personal"});
    const std::string p = dir_.path();
    Spit(p + "Velmoria.ini", "[GENERAL]\r\nLAST=1\r\n[DATA]\r\nFILENAME=" + p + "Personal\\Клиенты.dbp\r\n[NOTE]\r\nFILENAME=" +
                                 p + "Personal\\Дом.dbn\r\n[WORK]\r\nFILENAME=" + p + "Personal\\Дела.dbw\r\n[EXCEL]\r\nFILENAME=" +
                                 p + "Personal\\Бюджет.xml\r\n");
    Spit(p + "Personal\\Клиенты.dbp", "/1|Имя|Тел|120|80|0|0|1|-1|-1|0\r\nСидоров|456\r\nИван Петров|123\r\n");
    Spit(p + "Support\\cont.dbc",
         "Сидоров Олег|||||||||||ул. Ленина|\r\nПетров Пётр|инженер|Завод|Москва|||||||||\r\n");
    Spit(p + "Support\\firm.dbo", "Окна|ООО Рама|Москва||||||директор Петров\r\n");
    Spit(p + "Support\\Birthday.txt", "/2|формат\r\n;Петров в комментарии\r\n12/04/День рождения Петрова\r\n");
    Spit(p + "Support\\Holidays.txt", "/2|формат\r\n1/1/Новый год\r\n");
    Spit(p + "Personal\\Дом.dbn",
         "FILEFORMAT1\r\n<Дом>\r\n<Ремонт>\r\nпозвонить Петрову\r\n</Ремонт>\r\n</Дом>\r\n<Работа>\r\n</Работа>");
    Spit(p + "Personal\\Дела.dbw", "Купить хлеб" + std::string(53, '|') + "\r\nПозвонить Петрову|в пятницу" +
                                       std::string(52, '|') + "\r\n");
    Spit(p + "Personal\\Бюджет.xml",
         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
         "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
         "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
         "<Worksheet ss:Name=\"Лист1\"><Table><Row><Cell><Data ss:Type=\"String\">Итого</Data></Cell></Row></Table>"
         "</Worksheet><Worksheet ss:Name=\"Лист2\"><Table><Row ss:Index=\"7\"><Cell ss:Index=\"2\">"
         "<Data ss:Type=\"String\">Петров, аванс</Data></Cell></Row></Table></Worksheet></Workbook>");
  }
};

TEST_F(FindEverywhereTest, FindsOneTextInEveryBookAndGoesToEachHit) {
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  PumpSheet(sheet);
  // Opened on the contacts page, whose book and the others' are loaded first.
  sheet.ActivateTab(1);
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_FIND_EVERYWHERE, 0);
  PumpSheet(sheet);
  FindEverywhereWindow* window = sheet.findWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(IsWindowVisible(window->hwnd()));
  EXPECT_EQ(sheet.ActiveTab(), 1);
  // Typed on the US layout: the same hits as "Петров".
  window->Type("Gtnhjd");
  PumpSheet(sheet);
  const FoundAll& found = window->found();
  ASSERT_EQ(found.lines.size(), 7u) << window->status();
  for (size_t i = 0; i < found.lines.size(); ++i) EXPECT_EQ(found.lines[i].page, i) << i;  // one book a tab, in tab order
  EXPECT_EQ(window->status(), "Найдено: 7");
  EXPECT_EQ(window->list().RowCount(), 7);

  if (const char* wait = std::getenv("VM_FIND_SHOT")) {  // scripts take a picture meanwhile
    window->Type("Петров");
    PumpSheet(sheet, std::atoi(wait));
  }

  auto go = [&](int row) {
    EXPECT_TRUE(window->GoTo(row)) << row;
    PumpSheet(sheet);
    EXPECT_EQ(sheet.ActiveTab(), static_cast<int>(found.lines[static_cast<size_t>(row)].page)) << row;
  };
  go(0);
  auto& data = dynamic_cast<data::CPh&>(sheet.page(0));
  EXPECT_EQ(data.data().selected(), 1);
  go(1);
  auto& contacts = dynamic_cast<cards::CardPage&>(sheet.page(1));
  ASSERT_NE(contacts.cards().CurrentRecord(), nullptr);
  EXPECT_EQ(contacts.cards().CurrentRecord()->substr(0, 11), "Петров Пётр");
  EXPECT_EQ(contacts.list().Selected(), 1);
  go(2);
  auto& firms = dynamic_cast<cards::CardPage&>(sheet.page(2));
  ASSERT_NE(firms.cards().CurrentRecord(), nullptr);
  EXPECT_EQ(firms.cards().CurrentRecord()->substr(0, 4), "Окна");
  go(3);
  auto& dates = dynamic_cast<dates::CMes&>(sheet.page(3));
  ASSERT_EQ(dates.view().lines().size(), 2u);
  EXPECT_EQ(dates.view().lines()[1].text, "12/04/День рождения Петрова");
  EXPECT_EQ(dates.list().Selected(), 1);
  go(4);
  auto& notes = dynamic_cast<notebook::CNoteBook&>(sheet.page(4));
  ASSERT_NE(notes.current(), nullptr);
  EXPECT_EQ(notes.current()->name(), "Ремонт");
  long first = 0, last = 0;
  ui::GetSelection(notes.editor(), first, last);
  EXPECT_EQ(first, 10);  // "позвонить " before it
  EXPECT_EQ(last, 16);
  go(5);
  auto& tasks = dynamic_cast<tasks::CWork&>(sheet.page(5));
  const int row = tasks.list().Selected();
  ASSERT_GE(row, 0);
  EXPECT_EQ(tasks.shown().rows[static_cast<size_t>(row)].record, 1);
  go(6);
  auto& sheetPage = dynamic_cast<spreadsheet::CLikeExcelDlg&>(sheet.page(6));
  EXPECT_EQ(sheetPage.workbook().Current(), 1);
  EXPECT_EQ(sheetPage.grid().Current(), (spreadsheet::CellPos{6, 1}));

  // A change in a book is found at the next keystroke; Esc puts the window away.
  contacts.cards().EditField(0, 0, "Петровский Олег");
  window->Type("Петров");
  EXPECT_EQ(window->found().lines.size(), 8u);
  SendMessageW(window->hwnd(), WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(IsWindowVisible(window->hwnd()));
  sheet.Finish();
}

}  // namespace
}  // namespace vm::shell
