// The contacts and firms pages inside the real sheet, driven by their commands, keys,
// typing, clicks and in-place edits; each check looks at both the book and the lists.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cards/win/cards_resources.h"
#include "cards/win/contacts_page.h"
#include "cards/win/firms_page.h"
#include "platform/platform.h"
#include "common/app_util.h"
#include "shell/win/shell_resources.h"
#include "shell/win/velmoria_sheet.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/question.h"
#include "ui/text.h"

namespace vm::cards {
namespace {

using vm::testing::CapturedMessages;
using vm::testing::PressKey;
using vm::testing::PumpSheet;
using vm::testing::Slurp;
using vm::testing::Spit;
using vm::testing::Type;

// ---- driving the windows as the user would -------------------------------------------------

POINT CellCentre(HWND list, int row, int column) {
  RECT r{};
  ListView_GetSubItemRect(list, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(shell::CVelmoriaSheet& sheet, HWND w, POINT p, bool twice = false) {
  LPARAM at = MAKELPARAM(p.x, p.y);
  PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(w, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(w, WM_LBUTTONUP, 0, at);
  }
  PumpSheet(sheet);
}

void Command(shell::CVelmoriaSheet& sheet, CardPage& page, int id) {
  SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(page.toolbar().hwnd()));
  PumpSheet(sheet);
}

std::string Text(HWND w) {
  int n = GetWindowTextLengthW(w);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(w, s.data(), n + 1);
  s.resize(static_cast<size_t>(n));
  return ui::Narrow(s);
}

RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

::testing::AssertionResult Placed(HWND page, HWND child, const Box& b) {
  RECT r = RectIn(page, child);
  if (r.left == b.x && r.top == b.y && r.right - r.left == b.width && r.bottom - r.top == b.height)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top
         << ", wanted " << b.x << "," << b.y << " " << b.width << "x" << b.height;
}

// What the main list shows, a row a line, columns joined by "/".
std::vector<std::string> Shown(CardPage& page) {
  std::vector<std::string> rows;
  int columns = page.kind().layout.searchBoxes;
  for (int r = 0; r < page.list().RowCount(); ++r) {
    std::string line;
    for (int c = 0; c < columns; ++c) {
      if (c) line += '/';
      line += page.list().CellText(r, c);
    }
    rows.push_back(line);
  }
  return rows;
}

std::string Tip(CardPage& page, int command) {
  HWND tips = reinterpret_cast<HWND>(SendMessageW(page.toolbar().hwnd(), TB_GETTOOLTIPS, 0, 0));
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = tips;
  info.hdr.idFrom = static_cast<UINT_PTR>(command);
  info.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(page.hwnd(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
  return info.lpszText ? ui::Narrow(info.lpszText) : std::string();
}

// ---- the fixture ---------------------------------------------------------------------------

const char kFourPeople[] =
    "Иванов Пётр|инженер|Завод|Москва|+7 495 1||||ivanov@mail.ru|||ул. ЛенинаERN:д. 1|друг\r\n"
    "иванова Анна|врач|Больница|Тула||+7 900 2|||||||\r\n"
    "Сивцев Олег|водитель|Такси|Омск||||||www.taxi.ru|||\r\n"
    "Борисов Илья|директор|Вектор|Азов|||+7 495 3||||||\r\n";

const char kThreeFirms[] =
    "Хлеб|Пекарня|Тула|1-11ERN:1-12|2-22|bread@mail.ru|www.bread.ru|ул. Советская|свежий\r\n"
    "Ремонт|Автосервис|Москва|||||Шоссе, 12|\r\n"
    "Мебель|Фабрика|Казань||3-33||||\r\n";

struct Recorded {
  std::vector<ShellRequest> requests;
  std::vector<std::string> reports;
  int help = 0;
  CardShell Shell() {
    CardShell s;
    s.perform = [this](const ShellRequest& r) { requests.push_back(r); };
    s.openReport = [this](const std::string& path) {
      reports.push_back(path);
      return 33;
    };
    return s;
  }
};

class CardPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp"});
    CopyShippedSupportFile("VisitPic.html");
    CopyShippedSupportFile("FirmPic.html");
    ui::SetQuestionHook([this](const std::string& q) {
      questions_.push_back(q);
      return answer_;
    });
  }
  void TearDown() override { ui::SetQuestionHook(nullptr); }

  // The sheet opened on a card page, its shell actions recorded.
  template <typename Page>
  Page& Open(shell::CVelmoriaSheet& sheet, int tab) {
    Page& page = static_cast<Page&>(sheet.page(tab));
    page.SetShell(shell_.Shell());
    page.SetHelp([this] { ++shell_.help; });
    if (!sheet.hwnd()) {
      EXPECT_TRUE(sheet.Create());
    }
    sheet.ActivateTab(tab);
    PumpSheet(sheet);
    return page;
  }
  CContDlg& Contacts(shell::CVelmoriaSheet& sheet) { return Open<CContDlg>(sheet, shell::kContactsTab); }
  CFirm& Firms(shell::CVelmoriaSheet& sheet) { return Open<CFirm>(sheet, shell::kFirmsTab); }

  void Look(shell::CVelmoriaSheet& sheet, const char* what) {
    vm::testing::LookPause(what, [&](MSG& m) {
      sheet.Process(m);
      sheet.Continue();
    });
  }

  Recorded shell_;
  std::vector<std::string> questions_;
  bool answer_ = true;
};

HWND Box(CardPage& page, int id) {
  return GetDlgItem(page.hwnd(), id);
}

// ---- set-up and layout -------------------------------------------------------------------------

TEST_F(CardPageTest, SetUpLoadsBothBooksBuildsTheControlsAndLaysThemOut) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  Spit(dir_ / "Support\\firm.dbo", kThreeFirms);
  app_.PutSetting("FIRM", "WIDTH0", "90");
  app_.PutSetting("FIRM", "WIDTH1", "100");
  app_.PutSetting("FIRM", "WIDTH2", "110");
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& contacts = Contacts(sheet);
  CFirm& firms = Firms(sheet);

  struct Case {
    CardPage* page;
    size_t records;
    std::vector<int> buttons;
    std::vector<int> widths;
    std::vector<std::string> meanCaptions;
    std::vector<std::string> searchTips;
    std::string firstRow;
  } cases[] = {
      {&contacts,
       4,
       {ID_CARD_ADD, ID_CARD_DELETE, 0, ID_CARD_DIAL_PHONE, ID_CARD_DIAL_MOBILE, ID_CARD_DIAL_FAX,
        ID_CARD_MAIL, ID_CARD_WEB, 0, ID_CARD_REPORT, ID_CARD_CLEAR, 0, ID_SAVE_ALL, ID_LOAD_INFO,
        ID_HELP_FILE},
       {140, 140, 140, 140},
       {"Телефон", "Мобил", "Факс", "Пейджер", "E-Mail", "WEB", "ICQ"},
       {"Ф.И.О.", "Должность/занятие", "Организация", "Город"},
       "Иванов Пётр/инженер/Завод/Москва"},
      {&firms,
       3,
       {ID_CARD_ADD, ID_CARD_DELETE, 0, ID_CARD_DIAL_PHONE, ID_CARD_DIAL_FAX, ID_CARD_MAIL, ID_CARD_WEB, 0,
        ID_CARD_REPORT, ID_CARD_CLEAR, 0, ID_SAVE_ALL, ID_LOAD_INFO, ID_HELP_FILE},
       {90, 100, 110},
       {"Факс", "E-Mail", "WEB"},
       {"Продукция/услуги", "Организация", "Город"},
       "Хлеб/Пекарня/Тула"},
  };
  for (const Case& c : cases) {
    CardPage& page = *c.page;
    SCOPED_TRACE(page.caption());
    EXPECT_EQ(page.cards().book().state, kStateLoaded);
    EXPECT_EQ(page.cards().records().size(), c.records);
    ASSERT_EQ(page.list().RowCount(), static_cast<int>(c.records));
    EXPECT_EQ(Shown(page)[0], c.firstRow);
    EXPECT_EQ(page.list().ColumnWidths(), c.widths);
    EXPECT_EQ(page.toolbar().buttons(), c.buttons);
    EXPECT_EQ(page.hideBar().buttons(), std::vector<int>{ID_HIDE_TO_TRAY});
    EXPECT_EQ(Tip(page, ID_CARD_ADD), "Добавить запись Ctrl+Enter");
    EXPECT_EQ(Tip(page, ID_CARD_DELETE), "Удалить запись Ctrl+X");
    EXPECT_EQ(Tip(page, ID_LOAD_INFO), "Информация о неудачной загрузки файла");
    EXPECT_EQ(Tip(page, ID_CARD_CLEAR), "Очистить окна ввода Ctrl+Delete");
    for (size_t b = 0; b < c.searchTips.size(); ++b) {
      EXPECT_EQ(page.tooltips().TextOf(CardPage::SearchBoxId(static_cast<int>(b))), c.searchTips[b]);
      EXPECT_EQ(page.list().CellText(-1, 0), "");  // no row, no text
    }
    EXPECT_EQ(page.tooltips().TextOf(IDC_CARD_ADDRESS), "Адрес");
    EXPECT_EQ(page.tooltips().TextOf(IDC_CARD_COMMENT), "Дополнительные сведения");
    ASSERT_EQ(page.means().RowCount(), static_cast<int>(c.meanCaptions.size()));
    for (size_t r = 0; r < c.meanCaptions.size(); ++r) {
      EXPECT_EQ(page.means().CellText(static_cast<int>(r), 0), c.meanCaptions[r]);
      EXPECT_EQ(page.means().CellText(static_cast<int>(r), 1), "");
    }
    EXPECT_EQ(page.means().ColumnWidths(), (std::vector<int>{80, 170}));
    EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(page.means().hwnd(), LVSIL_SMALL)),
              static_cast<int>(c.meanCaptions.size()));
    // Nothing is selected: the boxes wait, and so do the commands that need a card.
    EXPECT_FALSE(IsWindowEnabled(Box(page, IDC_CARD_ADDRESS)));
    EXPECT_FALSE(IsWindowEnabled(page.means().hwnd()));
    EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_ADD));
    EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_REPORT));
    EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_DELETE));
    EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_CLEAR));
    EXPECT_FALSE(page.toolbar().IsEnabled(ID_LOAD_INFO));
    EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_MAIL));
  }
  EXPECT_EQ(firms.tooltips().TextOf(IDC_CARD_PHONES), "Телефоны");
  EXPECT_FALSE(firms.toolbar().Has(ID_CARD_DIAL_MOBILE));

  // Every control where the layout puts it, at the first size and after the window grew.
  for (int grow : {0, 157}) {
    SCOPED_TRACE(grow);
    if (grow) {
      RECT w;
      GetWindowRect(sheet.hwnd(), &w);
      SetWindowPos(sheet.hwnd(), nullptr, 0, 0, w.right - w.left + grow, w.bottom - w.top + grow / 2 + 1,
                   SWP_NOMOVE | SWP_NOZORDER);
      PumpSheet(sheet);
    }
    for (CardPage* page : {static_cast<CardPage*>(&contacts), static_cast<CardPage*>(&firms)}) {
      sheet.ActivateTab(page->kind().tab);
      PumpSheet(sheet);
      RECT client;
      GetClientRect(page->hwnd(), &client);
      CardPageBoxes b = page->kind().boxes(client.right, client.bottom);
      HWND h = page->hwnd();
      EXPECT_TRUE(Placed(h, page->toolbar().hwnd(), b.toolbar));
      EXPECT_TRUE(Placed(h, page->hideBar().hwnd(), b.hideBar));
      for (size_t i = 0; i < b.search.size(); ++i)
        EXPECT_TRUE(Placed(h, Box(*page, CardPage::SearchBoxId(static_cast<int>(i))), b.search[i])) << i;
      EXPECT_TRUE(Placed(h, page->list().hwnd(), b.list));
      EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_ADDRESS), b.address));
      EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_ADDRESS_ICON), b.addressIcon));
      EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_COMMENT), b.comment));
      EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_COMMENT_ICON), b.commentIcon));
      EXPECT_TRUE(Placed(h, page->means().hwnd(), b.means));
      if (page->kind().phonesBox) {
        EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_PHONES), b.phones));
        EXPECT_TRUE(Placed(h, Box(*page, IDC_CARD_PHONES_ICON), b.phonesIcon));
      }
      EXPECT_LE(b.means.y + b.means.height, client.bottom);
    }
  }
}

TEST_F(CardPageTest, EmptyAndMissingBooks) {
  Spit(dir_ / "Support\\cont.dbc", "");
  vm::testing::ProgramSheet sheet(app_);
  CapturedMessages messages;
  CContDlg& contacts = Contacts(sheet);
  CFirm& firms = Firms(sheet);  // no firm.dbo at all
  Look(sheet, "firms, empty");
  EXPECT_EQ(contacts.list().RowCount(), 0);
  EXPECT_FALSE(contacts.toolbar().IsEnabled(ID_CARD_REPORT));
  EXPECT_FALSE(contacts.toolbar().IsEnabled(ID_CARD_DELETE));
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("firm.dbo"), std::string::npos);
  // A book that could not be read still takes new cards and writes its file.
  Type(sheet, Box(firms, CardPage::SearchBoxId(0)), "Хлеб");
  PressKey(sheet, Box(firms, CardPage::SearchBoxId(0)), VK_RETURN, true);
  EXPECT_EQ(firms.cards().records().size(), 1u);
  Command(sheet, contacts, ID_SAVE_ALL);
  EXPECT_EQ(Slurp(dir_ / "Support\\firm.dbo"), "Хлеб||||||||\r\n");
  EXPECT_EQ(Slurp(dir_ / "Support\\cont.dbc"), "");
  sheet.ActivateTab(shell::kContactsTab);
  Look(sheet, "contacts, empty");
}

// ---- search, add, clear --------------------------------------------------------------------------

TEST_F(CardPageTest, TypingFiltersAndCtrlEnterAddsAndCtrlDeleteClears) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  HWND name = Box(page, CardPage::SearchBoxId(0));
  HWND city = Box(page, CardPage::SearchBoxId(3));

  struct Step {
    HWND box;
    const char* typed;  // replaces what the box held
    std::vector<std::string> rows;
  } steps[] = {
      {name, "ив", {"Иванов Пётр/инженер/Завод/Москва", "иванова Анна/врач/Больница/Тула"}},
      {name,
       "*ив",
       {"Иванов Пётр/инженер/Завод/Москва", "иванова Анна/врач/Больница/Тула",
        "Сивцев Олег/водитель/Такси/Омск"}},
      {city, "т", {"иванова Анна/врач/Больница/Тула"}},
      {name, "ИВАНОВА", {"иванова Анна/врач/Больница/Тула"}},
      {city, "*ск", {}},
      {name, "*", {"Иванов Пётр/инженер/Завод/Москва", "Сивцев Олег/водитель/Такси/Омск"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.typed);
    SetWindowTextW(s.box, L"");
    Type(sheet, s.box, s.typed);
    EXPECT_EQ(Text(s.box), s.typed);
    EXPECT_EQ(Shown(page), s.rows);
    EXPECT_EQ(page.cards().shown().size(), s.rows.size());
    EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_CLEAR));
    EXPECT_EQ(page.toolbar().IsEnabled(ID_CARD_REPORT), !s.rows.empty());
  }
  Look(sheet, "contacts, filtered");

  // Ctrl+Delete empties the boxes and shows everyone again.
  PressKey(sheet, name, VK_DELETE, true);
  EXPECT_EQ(Text(name), "");
  EXPECT_EQ(Text(city), "");
  EXPECT_EQ(page.list().RowCount(), 4);
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_CLEAR));

  // A name and a city typed, Ctrl+Enter: a new last card, selected and in view.
  Type(sheet, name, "Новиков Артём");
  Type(sheet, city, "Псков");
  EXPECT_EQ(page.list().RowCount(), 0);
  PressKey(sheet, city, VK_RETURN, true);
  EXPECT_EQ(page.cards().records().back(), "Новиков Артём|||Псков|||||||||");
  EXPECT_EQ(page.cards().book().state, kStateChanged);
  EXPECT_EQ(Text(name), "");
  EXPECT_EQ(Text(city), "");
  ASSERT_EQ(page.list().RowCount(), 5);
  EXPECT_EQ(page.list().Selected(), 4);
  EXPECT_EQ(page.list().CellText(4, 0), "Новиков Артём");
  EXPECT_TRUE(IsWindowEnabled(Box(page, IDC_CARD_ADDRESS)));
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_DELETE));
  // Enter alone adds nothing: it goes to the box.
  Type(sheet, name, "Х");
  PressKey(sheet, name, VK_RETURN);
  EXPECT_EQ(page.cards().records().size(), 5u);
  EXPECT_EQ(Text(name), "Х");
}

// ---- selecting and editing -----------------------------------------------------------------------

TEST_F(CardPageTest, SelectingFillsTheBoxesWhoseEditsWriteTheCard) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  HWND list = page.list().hwnd();
  Click(sheet, list, CellCentre(list, 0, 1));
  ASSERT_EQ(page.cards().current(), 0);
  EXPECT_EQ(page.list().Selected(), 0);
  HWND address = Box(page, IDC_CARD_ADDRESS);
  HWND comment = Box(page, IDC_CARD_COMMENT);
  EXPECT_EQ(Text(address), "ул. Ленина\r\nд. 1");
  EXPECT_EQ(Text(comment), "друг");
  EXPECT_TRUE(IsWindowEnabled(page.means().hwnd()));
  EXPECT_EQ(page.means().CellText(0, 1), "+7 495 1");
  EXPECT_EQ(page.means().CellText(4, 1), "ivanov@mail.ru");
  struct Enabled {
    int id;
    bool on;
  } enabled[] = {{ID_CARD_DELETE, true},    {ID_CARD_DIAL_PHONE, true}, {ID_CARD_DIAL_MOBILE, false},
                 {ID_CARD_DIAL_FAX, false}, {ID_CARD_MAIL, true},       {ID_CARD_WEB, false}};
  for (const Enabled& e : enabled) EXPECT_EQ(page.toolbar().IsEnabled(e.id), e.on) << e.id;
  Look(sheet, "contacts, a card selected");

  // Enter makes a new line in the comment box and never reaches the sheet.
  SetFocus(comment);
  SendMessageW(comment, EM_SETSEL, 4, 4);
  PressKey(sheet, comment, VK_RETURN);
  Type(sheet, comment, "детства");
  EXPECT_EQ(Text(comment), "друг\r\nдетства");
  EXPECT_EQ(GetField(page.cards().records()[0], 12), "друг\r\nдетства");
  EXPECT_TRUE(sheet.Continue());
  SendMessageW(address, EM_SETSEL, 0, -1);
  SendMessageW(address, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"Тверская, 1"));
  EXPECT_EQ(GetField(page.cards().records()[0], 11), "Тверская, 1");

  // Another card: the boxes follow it; the first keeps what was typed.
  Click(sheet, list, CellCentre(list, 2, 0));
  EXPECT_EQ(page.cards().current(), 2);
  EXPECT_EQ(Text(comment), "");
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_WEB));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_MAIL));
  Command(sheet, page, ID_SAVE_ALL);
  std::vector<std::string> lines = SplitTextLines(Slurp(dir_ / "Support\\cont.dbc"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "Иванов Пётр|инженер|Завод|Москва|+7 495 1||||ivanov@mail.ru|||Тверская, 1|другERN:детства");

  // A filter pass takes the card away: its boxes empty and wait.
  Type(sheet, Box(page, CardPage::SearchBoxId(2)), "В");
  EXPECT_EQ(page.cards().current(), -1);
  EXPECT_EQ(Text(comment), "");
  EXPECT_FALSE(IsWindowEnabled(comment));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_DELETE));
}

TEST_F(CardPageTest, CellsAndContactMeansAreEditedInPlace) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  HWND list = page.list().hwnd();

  // A double click on a cell opens an editor on it; Enter writes the field.
  Click(sheet, list, CellCentre(list, 1, 3), true);
  HWND editor = page.list().editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(page.list().editRow(), 1);
  EXPECT_EQ(page.list().editColumn(), 3);
  EXPECT_EQ(Text(editor), "Тула");
  Look(sheet, "contacts, a cell edited in place");
  SetWindowTextW(editor, L"Тула | Калуга");
  PressKey(sheet, editor, VK_RETURN);
  EXPECT_EQ(page.list().editor(), nullptr);
  EXPECT_EQ(page.cards().Field(1, 3), "Тула | Калуга");
  EXPECT_EQ(page.cards().Field(1, 5), "+7 900 2");  // the typed "|" did not shift the fields
  EXPECT_EQ(page.list().CellText(1, 3), "Тула | Калуга");
  EXPECT_EQ(page.cards().book().state, kStateChanged);

  // Esc leaves the cell as it was; so does the sheet: Esc does not close it.
  Click(sheet, list, CellCentre(list, 0, 0), true);
  ASSERT_NE(page.list().editor(), nullptr);
  SetWindowTextW(page.list().editor(), L"Забыть");
  PressKey(sheet, page.list().editor(), VK_ESCAPE);
  EXPECT_EQ(page.list().editor(), nullptr);
  EXPECT_EQ(page.cards().Field(0, 0), "Иванов Пётр");
  EXPECT_TRUE(sheet.Continue());

  // F2 edits the selected card's first column; leaving the editor keeps the text.
  page.list().Select(3);
  PumpSheet(sheet);
  SetFocus(list);
  PressKey(sheet, list, VK_F2);
  ASSERT_NE(page.list().editor(), nullptr);
  EXPECT_EQ(page.list().editColumn(), 0);
  SetWindowTextW(page.list().editor(), L"Борисов Илья Петрович");
  SetFocus(Box(page, CardPage::SearchBoxId(0)));
  PumpSheet(sheet);
  EXPECT_EQ(page.list().editor(), nullptr);
  EXPECT_EQ(page.cards().Field(3, 0), "Борисов Илья Петрович");

  // The contact means: one click on "Номер/Адрес" edits it; the list shows it trimmed.
  Click(sheet, list, CellCentre(list, 2, 0));
  ASSERT_EQ(page.cards().current(), 2);
  HWND means = page.means().hwnd();
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_MAIL));
  Click(sheet, means, CellCentre(means, 4, 1));
  ASSERT_NE(page.means().editor(), nullptr);
  EXPECT_EQ(page.means().editRow(), 4);
  SetWindowTextW(page.means().editor(), L"  oleg@taxi.ru ");
  PressKey(sheet, page.means().editor(), VK_RETURN);
  EXPECT_EQ(page.cards().Field(2, 8), "  oleg@taxi.ru ");
  EXPECT_EQ(page.means().CellText(4, 1), "oleg@taxi.ru");
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_CARD_MAIL));
  // The caption column is not edited.
  Click(sheet, means, CellCentre(means, 0, 0));
  EXPECT_EQ(page.means().editor(), nullptr);

  // An edit still open when the books are saved is saved with them.
  Click(sheet, means, CellCentre(means, 1, 1));
  ASSERT_NE(page.means().editor(), nullptr);
  SetWindowTextW(page.means().editor(), L"+7 999");
  Command(sheet, page, ID_SAVE_ALL);
  EXPECT_EQ(GetField(SplitTextLines(Slurp(dir_ / "Support\\cont.dbc"))[2], 5), "+7 999");
}

// ---- delete and sort ----------------------------------------------------------------------------

TEST_F(CardPageTest, DeleteAsksKeepsTheFirstVisibleRowAndCtrlXDeletesFromTheList) {
  std::string many;
  for (int i = 0; i < 60; ++i) many += "Человек " + std::to_string(100 + i) + "|||||||||||||\r\n";
  Spit(dir_ / "Support\\cont.dbc", many);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  ASSERT_EQ(page.list().RowCount(), 60);

  page.list().ScrollToRow(30);
  PumpSheet(sheet);
  int top = page.list().TopRow();
  ASSERT_GT(top, 0);
  Click(sheet, page.list().hwnd(), CellCentre(page.list().hwnd(), top + 1, 0));
  ASSERT_EQ(page.cards().current(), top + 1);

  answer_ = false;
  Command(sheet, page, ID_CARD_DELETE);
  EXPECT_EQ(questions_, std::vector<std::string>{"Удалить?"});
  EXPECT_EQ(page.cards().records().size(), 60u);
  EXPECT_EQ(page.cards().book().state, kStateLoaded);

  answer_ = true;
  Command(sheet, page, ID_CARD_DELETE);
  EXPECT_EQ(page.cards().records().size(), 59u);
  EXPECT_EQ(page.list().RowCount(), 59);
  EXPECT_EQ(page.list().TopRow(), top);
  EXPECT_EQ(page.list().CellText(top + 1, 0), "Человек " + std::to_string(100 + top + 2));
  EXPECT_EQ(page.cards().current(), -1);
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_DELETE));

  // Ctrl+X in the list deletes the selected card; in a box it stays with the box.
  Click(sheet, page.list().hwnd(), CellCentre(page.list().hwnd(), top, 0));
  PressKey(sheet, page.list().hwnd(), 'X', true);
  EXPECT_EQ(questions_.size(), 3u);
  EXPECT_EQ(page.cards().records().size(), 58u);
  Type(sheet, Box(page, CardPage::SearchBoxId(1)), "abc");
  PressKey(sheet, Box(page, CardPage::SearchBoxId(1)), 'X', true);
  EXPECT_EQ(questions_.size(), 3u);
  EXPECT_EQ(page.cards().records().size(), 58u);

  // The last card of the book: the list shrinks to nothing.
  Command(sheet, page, ID_CARD_CLEAR);
  for (int left = 58; left > 0; --left) {
    page.list().Select(0);
    page.cards().Select(0);
    Command(sheet, page, ID_CARD_DELETE);
  }
  EXPECT_EQ(page.cards().records().size(), 0u);
  EXPECT_EQ(page.list().RowCount(), 0);
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_CARD_REPORT));
}

TEST_F(CardPageTest, HeaderClicksSortWithArrowsAndSaveAllWritesTheNewOrder) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  Click(sheet, page.list().hwnd(), CellCentre(page.list().hwnd(), 0, 0));
  ASSERT_EQ(page.cards().current(), 0);
  HWND header = ListView_GetHeader(page.list().hwnd());
  auto clickHeader = [&](int column) {
    RECT r;
    Header_GetItemRect(header, column, &r);
    Click(sheet, header, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  auto arrow = [&](int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  struct Step {
    int column;
    std::vector<std::string> cities;
    int arrow;
  } steps[] = {
      {3, {"Азов", "Москва", "Омск", "Тула"}, HDF_SORTUP},
      {3, {"Тула", "Омск", "Москва", "Азов"}, HDF_SORTDOWN},
      // Byte order with case: capitals before small letters.
      {0, {"Азов", "Москва", "Омск", "Тула"}, HDF_SORTUP},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.column);
    clickHeader(s.column);
    std::vector<std::string> cities;
    for (int r = 0; r < page.list().RowCount(); ++r) cities.push_back(page.list().CellText(r, 3));
    EXPECT_EQ(cities, s.cities);
    EXPECT_EQ(arrow(s.column), s.arrow);
    EXPECT_EQ(arrow(s.column == 3 ? 0 : 3), 0);
    EXPECT_EQ(page.cards().current(), -1);
    EXPECT_FALSE(IsWindowEnabled(Box(page, IDC_CARD_ADDRESS)));
    EXPECT_EQ(Text(Box(page, IDC_CARD_COMMENT)), "");
  }
  EXPECT_EQ(page.list().CellText(3, 0), "иванова Анна");
  clickHeader(3);
  clickHeader(3);
  Look(sheet, "contacts, sorted by city, descending");
  ListView_SetColumnWidth(page.list().hwnd(), 1, 77);
  Command(sheet, page, ID_SAVE_ALL);
  std::vector<std::string> lines = SplitTextLines(Slurp(dir_ / "Support\\cont.dbc"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(GetField(lines[0], 3), "Тула");
  EXPECT_EQ(GetField(lines[3], 3), "Азов");
  EXPECT_EQ(app_.GetSetting("CONT", "WIDTH1"), "77");
  EXPECT_EQ(app_.GetSetting("CONT", "WIDTH3"), "140");
}

// ---- the shell, the report, the load message ----------------------------------------------------

TEST_F(CardPageTest, DialMailWebAndHelpGoToTheShell) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  Spit(dir_ / "Support\\firm.dbo", kThreeFirms);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& contacts = Contacts(sheet);
  CFirm& firms = Firms(sheet);
  contacts.list().Select(0);
  contacts.cards().Select(0);
  firms.list().Select(0);
  firms.cards().Select(0);
  struct Case {
    CardPage* page;
    int command;
    ShellRequest::Kind kind;
    std::string what;
    std::string party1;
  } cases[] = {
      {&contacts, ID_CARD_DIAL_PHONE, ShellRequest::kDial, "+7 495 1", "Иванов Пётр"},
      {&contacts, ID_CARD_MAIL, ShellRequest::kOpen, "mailto:ivanov@mail.ru", ""},
      {&firms, ID_CARD_DIAL_PHONE, ShellRequest::kDial, "1-11\r\n1-12", "Хлеб"},
      {&firms, ID_CARD_DIAL_FAX, ShellRequest::kDial, "2-22", "Хлеб"},
      {&firms, ID_CARD_MAIL, ShellRequest::kOpen, "mailto:bread@mail.ru", ""},
      {&firms, ID_CARD_WEB, ShellRequest::kOpen, "www.bread.ru", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    shell_.requests.clear();
    Command(sheet, *c.page, c.command);
    ASSERT_EQ(shell_.requests.size(), 1u);
    const ShellRequest& r = shell_.requests[0];
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.kind == ShellRequest::kDial ? r.number : r.target, c.what);
    if (r.kind == ShellRequest::kDial) {
      EXPECT_EQ(r.party1.value_or(""), c.party1);
    }
  }
  // An empty field hands nothing over.
  shell_.requests.clear();
  Command(sheet, contacts, ID_CARD_WEB);
  Command(sheet, contacts, ID_CARD_DIAL_MOBILE);
  EXPECT_TRUE(shell_.requests.empty());
  // F1 reaches the page on show through the sheet.
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_HELP_FILE, 0);
  Command(sheet, firms, ID_HELP_FILE);
  EXPECT_EQ(shell_.help, 2);
  // The hide button belongs to the whole sheet.
  Command(sheet, contacts, ID_HIDE_TO_TRAY);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
}

TEST_F(CardPageTest, ReportsOfTheShownCardsOpenInTheBrowser) {
  Spit(dir_ / "Support\\cont.dbc",
       "Анна||||||||||||двеERN:строки\r\nБорис||||||||||||\r\nВера||||||||||||\r\nЯрослав||||||||||||\r\n");
  Spit(dir_ / "Support\\firm.dbo", kThreeFirms);
  platform::RemoveDir(dir_ / "Temp");  // made on demand
  vm::testing::ProgramSheet sheet(app_);
  CapturedMessages messages;
  CContDlg& contacts = Contacts(sheet);
  CFirm& firms = Firms(sheet);

  Type(sheet, Box(contacts, CardPage::SearchBoxId(0)), "*а");  // Анна, Вера, Ярослав
  Command(sheet, contacts, ID_CARD_REPORT);
  ASSERT_EQ(shell_.reports, std::vector<std::string>{dir_ / "Temp\\VisitRep.html"});
  std::vector<std::string> data = SplitTextLines(Slurp(dir_ / "Temp\\VisitDat.txt"));
  ASSERT_EQ(data.size(), 3u);
  EXPECT_NE(data[0].find("|1:NAME2:Вера"), std::string::npos);
  EXPECT_EQ(data[1].find("NAME2"), std::string::npos);
  EXPECT_EQ(data[2], "|0:COUNT:3");
  std::string page = Slurp(dir_ / "Temp\\VisitRep.html");
  EXPECT_NE(page.find("две<br>строки"), std::string::npos);
  EXPECT_NE(page.find("Ярослав"), std::string::npos);
  EXPECT_EQ(page.find("Борис"), std::string::npos);

  Command(sheet, firms, ID_CARD_REPORT);
  ASSERT_EQ(shell_.reports.size(), 2u);
  EXPECT_EQ(SplitTextLines(Slurp(dir_ / "Temp\\FirmDat.txt")).size(), 3u);
  EXPECT_NE(Slurp(dir_ / "Temp\\FirmRep.html").find("1-11<br>1-12"), std::string::npos);

  // Nothing shown: a message, no files.
  Type(sheet, Box(firms, CardPage::SearchBoxId(0)), "нет таких");
  platform::RemoveFile(dir_ / "Temp\\FirmDat.txt");
  Command(sheet, firms, ID_CARD_REPORT);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Отсутствуют данные для вывода отчета!"});
  EXPECT_EQ(Slurp(dir_ / "Temp\\FirmDat.txt"), "<missing>");
  EXPECT_EQ(shell_.reports.size(), 2u);
}

TEST_F(CardPageTest, RejectedLinesAreReportedBy33107) {
  Spit(dir_ / "Support\\firm.dbo", "Хлеб|Пекарня|Тула|1ERN:2|||\r\nМебель|Фабрика|Казань||||||\r\n");
  vm::testing::ProgramSheet sheet(app_);
  CapturedMessages messages;
  CFirm& firms = Firms(sheet);
  EXPECT_EQ(firms.cards().records().size(), 1u);
  EXPECT_TRUE(firms.toolbar().IsEnabled(ID_LOAD_INFO));
  Command(sheet, firms, ID_LOAD_INFO);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_EQ(messages.texts()[0], "Создан файл " + dir_ / "Support\\firm.err" + " с незагруженными строками");
  EXPECT_NE(Slurp(dir_ / "Support\\firm.err").find("Хлеб|Пекарня|Тула|1\r\n2|||\n6\n"), std::string::npos);
}

// ---- the firms page's own box and saving all books ----------------------------------------------

TEST_F(CardPageTest, FirmsTelephonesBoxAndSaveAllWritesBothBooks) {
  Spit(dir_ / "Support\\cont.dbc", kFourPeople);
  Spit(dir_ / "Support\\firm.dbo", kThreeFirms);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& contacts = Contacts(sheet);
  CFirm& firms = Firms(sheet);
  HWND list = firms.list().hwnd();
  Click(sheet, list, CellCentre(list, 1, 0));
  ASSERT_EQ(firms.cards().current(), 1);
  HWND phones = Box(firms, IDC_CARD_PHONES);
  EXPECT_TRUE(IsWindowEnabled(phones));
  EXPECT_FALSE(firms.toolbar().IsEnabled(ID_CARD_DIAL_PHONE));
  Type(sheet, phones, "111");
  PressKey(sheet, phones, VK_RETURN);
  Type(sheet, phones, "222");
  EXPECT_EQ(firms.cards().Field(1, 3), "111\r\n222");
  EXPECT_TRUE(firms.toolbar().IsEnabled(ID_CARD_DIAL_PHONE));
  Click(sheet, firms.means().hwnd(), CellCentre(firms.means().hwnd(), 2, 1));
  ASSERT_NE(firms.means().editor(), nullptr);
  SetWindowTextW(firms.means().editor(), L"www.koleso.ru");
  PressKey(sheet, firms.means().editor(), VK_RETURN);
  EXPECT_EQ(firms.cards().Field(1, 6), "www.koleso.ru");
  Look(sheet, "firms, a firm selected");

  contacts.list().Select(0);
  contacts.cards().Select(0);
  contacts.cards().EditCurrent(7, "пейджер");
  // F12 hides the sheet, which saves every book: contacts, then firms.
  PressKey(sheet, firms.list().hwnd(), VK_F12);
  EXPECT_FALSE(IsWindowVisible(sheet.hwnd()));
  EXPECT_EQ(SplitTextLines(Slurp(dir_ / "Support\\firm.dbo"))[1],
            "Ремонт|Автосервис|Москва|111ERN:222|||www.koleso.ru|Шоссе, 12|");
  EXPECT_EQ(GetField(SplitTextLines(Slurp(dir_ / "Support\\cont.dbc"))[0], 7), "пейджер");
  EXPECT_EQ(app_.GetSetting("FIRM", "WIDTH2"), "180");
  EXPECT_EQ(contacts.cards().book().state, kStateSaved);
  EXPECT_EQ(firms.cards().book().state, kStateSaved);
}

TEST_F(CardPageTest, TwentyCardsAndAHundredThousand) {
  static const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Ёлкин"};
  std::string twenty;
  for (int i = 0; i < 20; ++i)
    twenty += std::string(kNames[i % 5]) + " " + std::to_string(i + 1) +
              "|инженер|Завод «Прогресс»|Москва|+7 495 " + std::to_string(100 + i) + "||||||||\r\n";
  Spit(dir_ / "Support\\cont.dbc", twenty);
  std::string firms;
  static const char* const kGoods[] = {"Хлеб", "Мебель", "Ремонт", "Окна", "Цветы"};
  for (int i = 0; i < 20; ++i)
    firms += std::string(kGoods[i % 5]) + "|Фирма " + std::to_string(i + 1) + "|Тула|+7 4872 " +
             std::to_string(100 + i) + "|||||\r\n";
  Spit(dir_ / "Support\\firm.dbo", firms);
  {
    vm::testing::ProgramSheet sheet(app_);
    CFirm& firmsPage = Firms(sheet);
    EXPECT_EQ(firmsPage.list().RowCount(), 20);
    Look(sheet, "firms, 20 firms");
    Type(sheet, Box(firmsPage, CardPage::SearchBoxId(0)), "ок");
    EXPECT_EQ(firmsPage.list().RowCount(), 4);
    Look(sheet, "firms, filtered");
    CContDlg& page = Contacts(sheet);
    EXPECT_EQ(page.list().RowCount(), 20);
    Look(sheet, "contacts, 20 cards");
    Click(sheet, page.list().hwnd(), CellCentre(page.list().hwnd(), 2, 0));
    SetFocus(Box(page, CardPage::SearchBoxId(0)));
    PumpSheet(sheet);
    Look(sheet, "contacts, selection kept marked without the focus");
  }
  std::string big;
  big.reserve(100000 * 60);
  for (int i = 0; i < 100000; ++i)
    big += std::string(kNames[i % 5]) + " " + std::to_string(i) + "|инженер|Завод|Москва|||||||||\r\n";
  Spit(dir_ / "Support\\cont.dbc", big);
  vm::testing::ProgramSheet sheet(app_);
  CContDlg& page = Contacts(sheet);
  EXPECT_EQ(page.list().RowCount(), 100000);
  EXPECT_EQ(page.list().CellText(99999, 0), "Ёлкин 99999");
  HWND name = Box(page, CardPage::SearchBoxId(0));
  Type(sheet, name, "ё");
  EXPECT_EQ(page.list().RowCount(), 20000);
  Type(sheet, name, "лкин 9999");
  EXPECT_EQ(Shown(page).size(), 3u);  // 9999, 99994 and 99999
  SetWindowTextW(name, L"*999");
  EXPECT_EQ(page.list().RowCount(), 280);
}

}  // namespace
}  // namespace vm::cards
