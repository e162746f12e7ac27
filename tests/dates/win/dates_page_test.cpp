// The dates page inside the real sheet with known date files and a fixed day: the list it
// shows and draws, the calendar, the find dialog, editing, adding a date and the report.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dates/win/add_date_dialog.h"
#include "dates/win/dates_page.h"
#include "dates/win/dates_resources.h"
#include "platform/platform.h"
#include "shell/win/shell_resources.h"
#include "shell/win/velmoria_sheet.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/text.h"

namespace vm::dates {
namespace {

using vm::testing::CapturedMessages;
using vm::testing::PumpSheet;
using vm::testing::Slurp;
using vm::testing::Spit;
using Texts = std::vector<std::string>;

const char kBirthdays[] =
    "/2|формат\r\n;comment Иван\r\n05/03/1990/Иван Петров\r\n04/03/Ольга\r\n05/03/%/Василий\r\n"
    "13/06/1980/Мария\r\n";
const char kHolidays[] = "/2|формат\r\n08/03/Международный женский день\r\n01/03/Весна\r\n";

struct Recorded {
  std::vector<std::string> files, notepad, reports;
  int fileCode = 42;
  bool notepadWorks = true;
  Date today{5, 3, 2025};
  DatesShell Shell() {
    DatesShell s;
    s.openFile = [this](const std::string& p) {
      files.push_back(p);
      return fileCode;
    };
    s.openNotepad = [this](const std::string& p) {
      notepad.push_back(p);
      return notepadWorks;
    };
    s.openReport = [this](const std::string& p) {
      reports.push_back(p);
      return 33;
    };
    s.today = [this] { return today; };
    return s;
  }
};

class DatesPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support"});
    Spit(dir_ / "Support\\Birthday.txt", kBirthdays);
    Spit(dir_ / "Support\\Holidays.txt", kHolidays);
    CopyShippedSupportFile("MesPic.html");
  }
  void TearDown() override { ui::Dialog::SetInitHook(nullptr); }

  CMes& Open(shell::CVelmoriaSheet& sheet) {
    CMes& page = static_cast<CMes&>(sheet.page(shell::kDatesTab));
    page.SetShell(shell_.Shell());
    page.SetHelp([] {});
    EXPECT_TRUE(sheet.Create());
    sheet.ActivateTab(shell::kDatesTab);
    PumpSheet(sheet);
    return page;
  }
  void Command(shell::CVelmoriaSheet& sheet, CMes& page, int id) {
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PumpSheet(sheet);
  }
  void Look(shell::CVelmoriaSheet& sheet, const char* what) {
    vm::testing::LookPause(what, [&](MSG& m) {
      sheet.Process(m);
      sheet.Continue();
    });
  }
  Recorded shell_;
};

// The line the page put on top. The list box scrolls no further than its last page, so
// with few lines the today heading is as high as the list can bring it.
std::string TopLine(CMes& page) {
  HWND list = page.list().hwnd();
  RECT client;
  GetClientRect(list, &client);
  int rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  int lastTop = std::max(0, page.list().Count() - static_cast<int>(client.bottom / rowHeight));
  int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(top, std::min(static_cast<int>(page.view().topLine()), lastTop));
  return page.view().lines()[page.view().topLine()].text;
}

RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The colour drawn a little inside the left end of a list row.
COLORREF DrawnAt(HWND list, int row) {
  RECT r{};
  SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = GetDC(list);
  COLORREF c = GetPixel(dc, r.left + 1, r.top + 1);
  ReleaseDC(list, dc);
  return c;
}

TEST_F(DatesPageTest, ShowsTheColouredListWithTodayOnTopAndLaysOutTheBars) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  const std::vector<ListLine>& lines = page.view().lines();
  Texts texts;
  for (const ListLine& l : lines) texts.push_back(l.text);
  EXPECT_EQ(texts, (Texts{"Прошедшие", "Дни рождения", "04/03 Ольга", "Даты", "01/03 Весна",
                          "5 марта 2025  Ср", "Дни рождения", "Иван Петров   (35-я годовщина)", "Именинники",
                          "Василий", "Предстоящие", "Даты", "08/03 Международный женский день"}));
  EXPECT_EQ(page.list().Count(), static_cast<int>(lines.size()));
  EXPECT_EQ(GetDlgCtrlID(page.list().hwnd()), IDC_DATES_LIST);
  EXPECT_EQ(TopLine(page), "5 марта 2025  Ср");

  // What the rows show is what the lines say: heading red, entry white, sub-heading cream.
  HWND list = page.list().hwnd();
  EXPECT_EQ(DrawnAt(list, 5), RGB(255, 0, 0));
  EXPECT_EQ(DrawnAt(list, 7), RGB(255, 255, 255));
  EXPECT_EQ(DrawnAt(list, 6), RGB(255, 255, 220));
  EXPECT_EQ(DrawnAt(list, 10), RGB(0, 0, 128));

  EXPECT_EQ(page.toolbar().buttons(),
            (std::vector<int>{ID_DATES_EDIT, ID_DATES_SEARCH, ID_DATES_TODAY, 0, ID_DATES_REFRESH,
                              ID_DATES_REPORT, 0, ID_SAVE_ALL, ID_HELP_FILE}));
  EXPECT_EQ(page.toolbar().TipOf(ID_DATES_TODAY), "Текущая дата/Выбор даты");
  EXPECT_EQ(page.toolbar().TipOf(ID_DATES_REFRESH), "Обновить окно");
  EXPECT_EQ(page.toolbar().TipOf(ID_DATES_EDIT), "Редактировать файл");
  EXPECT_EQ(page.hideBar().buttons(), std::vector<int>{ID_DATES_HIDE});
  EXPECT_EQ(page.hideBar().TipOf(ID_DATES_HIDE), "Скрыть F12");
  EXPECT_EQ(page.DropDownTexts(ID_DATES_SEARCH),
            (Texts{"Поиск в файле дни рождения", "Поиск в файле даты", "", "Пасха православная 20/04/2025",
                   "Пасха католическая 20/04/2025", "Пасха еврейская 13/04/2025 Вс"}));
  EXPECT_EQ(page.DropDownTexts(ID_DATES_EDIT)[3], "Добавить дату…");

  SetWindowPos(sheet.hwnd(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
  PumpSheet(sheet);
  RECT client;
  GetClientRect(page.hwnd(), &client);
  RECT bar = RectIn(page.hwnd(), page.hideBar().hwnd());
  EXPECT_EQ(bar.left, client.right - 22);
  EXPECT_EQ(bar.top, 0);
  RECT l = RectIn(page.hwnd(), list);
  EXPECT_EQ(l.left, 10);
  EXPECT_EQ(l.top, 30);
  EXPECT_EQ(l.right - l.left, client.right - 20);
  EXPECT_EQ(l.bottom - l.top, client.bottom - 40);
  Look(sheet, "dates: 5 March 2025");

  // A long list is scrolled so that the today heading is the very top line.
  std::string many = kBirthdays;
  for (int i = 0; i < 40; ++i) many += i % 2 ? "03/03/Гость\r\n" : "07/03/Гость\r\n";
  Spit(dir_ / "Support\\Birthday.txt", many);
  Command(sheet, page, ID_DATES_REFRESH);
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), static_cast<LRESULT>(page.view().topLine()));
  EXPECT_EQ(TopLine(page), "5 марта 2025  Ср");
}

// "Помощь" goes where the page was told, and the page's hide button, whose id is its own,
// hides the whole sheet as the sheet's command does.
TEST_F(DatesPageTest, HelpAndTheHideButtonOfItsOwnReachTheSheet) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  int help = 0;
  page.SetHelp([&help] { ++help; });
  Command(sheet, page, ID_HELP_FILE);
  EXPECT_EQ(help, 1);
  ShowWindow(sheet.hwnd(), SW_SHOW);
  Command(sheet, page, ID_DATES_HIDE);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
}

TEST_F(DatesPageTest, PickedDateStaysThroughRefreshAndTheNewDay) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  ASSERT_TRUE(page.toolbar().Drop(ID_DATES_TODAY));
  HWND calendar = page.calendar().calendar();
  ASSERT_TRUE(calendar);
  SYSTEMTIME st{};
  st.wDay = 13;
  st.wMonth = 6;
  st.wYear = 2025;
  MonthCal_SetCurSel(calendar, &st);
  SendMessageW(calendar, WM_KEYDOWN, VK_RETURN, 0);
  PumpSheet(sheet);
  EXPECT_EQ(TopLine(page), "13 июня 2025  Пт");
  EXPECT_EQ(page.view().lines()[page.view().topLine() + 2].text, "Мария   (45-я годовщина)");
  Look(sheet, "dates: a Friday the 13th");

  Command(sheet, page, ID_DATES_REFRESH);
  EXPECT_EQ(TopLine(page), "13 июня 2025  Пт");
  shell_.today = {6, 3, 2025};
  page.DayChanged({});
  EXPECT_EQ(TopLine(page), "13 июня 2025  Пт");
  Command(sheet, page, ID_DATES_TODAY);
  EXPECT_EQ(TopLine(page), "6 марта 2025  Чт");
  shell_.today = {7, 3, 2025};
  page.DayChanged({});
  EXPECT_EQ(TopLine(page), "7 марта 2025  Пт");
}

TEST_F(DatesPageTest, SearchThroughTheFindDialogWithAndWithoutMatchCase) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  Command(sheet, page, ID_DATES_SEARCH_BIRTHDAYS);
  HWND find = page.finder().hwnd();
  ASSERT_TRUE(find);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(find, chx1)));  // no whole word
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(find, rad1)));  // no direction
  struct Case {
    const char* what;
    bool matchCase;
    Texts shown;
  } cases[] = {
      {"иван", false, {"Результат поиска:", "05/03/1990/Иван Петров"}},
      {"иван", true, {"Результат поиска:"}},
      {"Иван", true, {"Результат поиска:", "05/03/1990/Иван Петров"}},
  };
  for (const Case& c : cases) {
    SetDlgItemTextW(find, edt1, ui::Wide(c.what).c_str());
    SendDlgItemMessageW(find, chx2, BM_SETCHECK, c.matchCase ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(find, IDOK)));
    PumpSheet(sheet);
    Texts shown;
    for (const ListLine& l : page.view().lines()) shown.push_back(l.text);
    EXPECT_EQ(shown, c.shown) << c.what;
    EXPECT_EQ(page.list().Count(), static_cast<int>(c.shown.size()));
  }
  SetDlgItemTextW(find, edt1, L"весна");
  SendDlgItemMessageW(find, chx2, BM_SETCHECK, BST_UNCHECKED, 0);
  Command(sheet, page, ID_DATES_SEARCH_DATES);  // the open dialog now searches the dates
  EXPECT_EQ(page.finder().hwnd(), find);
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(find, IDOK)));
  PumpSheet(sheet);
  ASSERT_EQ(page.view().lines().size(), 2u);
  EXPECT_EQ(page.view().lines()[1].text, "01/03/Весна");
  EXPECT_EQ(DrawnAt(page.list().hwnd(), 0), RGB(0, 50, 100));
  Look(sheet, "dates: a search result");

  // A missing file leaves the list empty, and then there is nothing to report.
  platform::RemoveFile(dir_ / "Support\\Holidays.txt");
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(find, IDOK)));
  PumpSheet(sheet);
  EXPECT_EQ(page.list().Count(), 0);
  CapturedMessages messages;
  Command(sheet, page, ID_DATES_REPORT);
  EXPECT_EQ(messages.texts(), Texts{"Отсутствуют данные для вывода отчета!"});
  EXPECT_TRUE(shell_.reports.empty());
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PumpSheet(sheet);
  EXPECT_EQ(page.finder().hwnd(), nullptr);
}

TEST_F(DatesPageTest, ReportEditingAndMissingFiles) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  Command(sheet, page, ID_DATES_REPORT);
  ASSERT_EQ(shell_.reports, Texts{dir_ / "Temp\\MesRep.html"});
  std::string report = Slurp(shell_.reports[0]);
  EXPECT_NE(report.find("<h2 class=\"head\">5 марта 2025  Ср</h2>"), std::string::npos);
  EXPECT_NE(report.find("<div class=\"note\">Иван Петров   (35-я годовщина)</div>"), std::string::npos);

  CapturedMessages messages;
  Command(sheet, page, ID_DATES_EDIT_BIRTHDAYS);
  EXPECT_EQ(shell_.files, Texts{dir_ / "Support\\Birthday.txt"});
  EXPECT_TRUE(shell_.notepad.empty());
  shell_.fileCode = 31;
  Command(sheet, page, ID_DATES_EDIT_DATES);
  EXPECT_EQ(shell_.notepad, Texts{dir_ / "Support\\Holidays.txt"});
  EXPECT_TRUE(messages.texts().empty());
  shell_.notepadWorks = false;
  Command(sheet, page, ID_DATES_EDIT_DATES);
  EXPECT_EQ(messages.texts(), Texts{"Не найден текстовый редактор для открытия файлов txt!"});

  platform::RemoveFile(dir_ / "Support\\Birthday.txt");
  platform::RemoveFile(dir_ / "Support\\Holidays.txt");
  Command(sheet, page, ID_DATES_EDIT_BIRTHDAYS);
  EXPECT_EQ(messages.texts().back(), "Не найден файл " + dir_ / "Support\\Birthday.txt");
  Command(sheet, page, ID_DATES_REFRESH);
  Texts texts;
  for (const ListLine& l : page.view().lines()) texts.push_back(l.text);
  EXPECT_EQ(texts, (Texts{"Прошедшие", "5 марта 2025  Ср", "Предстоящие"}));
  Look(sheet, "dates: both files missing");
}

TEST_F(DatesPageTest, AddADateWritesTheLineAndShowsItAtOnce) {
  vm::testing::ProgramSheet sheet(app_);
  CMes& page = Open(sheet);
  // First the year is wrong: the dialog says so and stays open with the text; then the
  // year is cleared and the line goes in.
  Texts messages;
  HWND dialog = nullptr;
  platform::SetMessageSink([&](const std::string& text, platform::MessageIcon) {
    messages.push_back(text);
    SetDlgItemTextW(dialog, IDC_ADD_DATE_YEAR, L"1990");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ui::Dialog::SetInitHook([&](ui::Dialog& d) {
    ASSERT_EQ(d.templateId(), IDD_DATES_ADD);
    dialog = d.hwnd();
    auto& add = static_cast<AddDateDialog&>(d);
    add.SetDate(20, 9);
    add.SetItemText(IDC_ADD_DATE_YEAR, "2030");
    add.SetItemText(IDC_ADD_DATE_TEXT, "Сергей/Серж");
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_DATES_ADD_DATE);
  { CapturedMessages backToTheUsualSink; }
  EXPECT_EQ(messages, Texts{"Год должен быть числом от 1 до 2025."});
  EXPECT_EQ(Slurp(dir_ / "Support\\Birthday.txt"), std::string(kBirthdays) + "20/09/1990/Сергей#/Серж\r\n");
  EXPECT_EQ(Slurp(dir_ / "Support\\Holidays.txt"), kHolidays);
  EXPECT_EQ(TopLine(page), "20 сентября 2025  Сб");
  EXPECT_EQ(page.view().lines()[page.view().topLine() + 2].text, "Сергей/Серж   (35-я годовщина)");

  // Into the dates file, near the day shown: the list keeps its day and shows it.
  ui::Dialog::SetInitHook([&](ui::Dialog& d) {
    auto& add = static_cast<AddDateDialog&>(d);
    add.SetDate(21, 9);
    add.SetItemText(IDC_ADD_DATE_TEXT, "Праздник");
    add.SetChecked(IDC_ADD_DATE_BIRTHDAYS, false);
    add.SetChecked(IDC_ADD_DATE_DATES, true);
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_DATES_ADD_DATE);
  EXPECT_EQ(Slurp(dir_ / "Support\\Holidays.txt"), std::string(kHolidays) + "21/09/Праздник\r\n");
  EXPECT_EQ(TopLine(page), "20 сентября 2025  Сб");
  EXPECT_EQ(page.view().lines().back().text, "21/09 Праздник");
}

}  // namespace
}  // namespace vm::dates
