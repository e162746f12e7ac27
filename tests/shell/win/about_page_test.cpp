// The About page inside the real sheet: panels, the four options, autostart, the version
// line, the links and the page layout.
#include "shell/win/about_page.h"

#include <richedit.h>
#include <gtest/gtest.h>

#include <string>

#include "common/app_util.h"
#include "shell/win/shell_resources.h"
#include "shell/win/velmoria_sheet.h"
#include "support/program_folder.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/rich_edit.h"
#include "ui/text.h"

namespace vm::shell {
namespace {

bool Shown(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }

RECT RectIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class AboutPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override { run_.Delete(); }
  void TearDown() override { run_.Delete(); }

  // The sheet opened on the About page.
  about& Open(CVelmoriaSheet& sheet) {
    EXPECT_TRUE(sheet.Create());
    sheet.ActivateTab(kAboutTab);
    return static_cast<about&>(sheet.page(kAboutTab));
  }

  RegistryRunEntry run_;
};

TEST_F(AboutPageTest, FirstShowWritesAboutAndShowsTheAboutText) {
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  HWND h = page.hwnd();
  EXPECT_EQ(app_.GetSetting("GENERAL", "ABOUT"), "0");
  EXPECT_FALSE(page.settingsPanelShown());
  EXPECT_TRUE(Shown(h, IDC_ABOUT_TEXT));
  EXPECT_TRUE(Shown(h, IDC_ABOUT_SETTINGS_LINK));
  EXPECT_FALSE(Shown(h, IDC_ABOUT_ABOUT_LINK));
  EXPECT_FALSE(Shown(h, IDC_ABOUT_GROUP));
  EXPECT_FALSE(Shown(h, IDC_ABOUT_HIDE));

  std::string text = ui::Narrow(ui::PlainText(GetDlgItem(h, IDC_ABOUT_TEXT)));
  EXPECT_NE(text.find("Velmoria — личный органайзер"), std::string::npos) << platform::Cp1251ToUtf8(text);
  EXPECT_NE(text.find("Контакты и Фирмы"), std::string::npos);
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(h, IDC_ABOUT_TEXT), GWL_STYLE) & ES_READONLY);
  vm::testing::LookPause("about panel", [&](MSG& m) {
    sheet.Process(m);
    sheet.Continue();
  });
}

TEST_F(AboutPageTest, PanelLinksSwitchPanelsAndWriteAbout) {
  app_.PutSetting("GENERAL", "ABOUT", "1");
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  HWND h = page.hwnd();
  EXPECT_TRUE(page.settingsPanelShown());
  EXPECT_TRUE(Shown(h, IDC_ABOUT_GROUP));
  EXPECT_TRUE(Shown(h, IDC_ABOUT_AUTOSTART));
  EXPECT_TRUE(Shown(h, IDC_ABOUT_ABOUT_LINK));
  EXPECT_FALSE(Shown(h, IDC_ABOUT_TEXT));
  EXPECT_FALSE(Shown(h, IDC_ABOUT_SETTINGS_LINK));
  vm::testing::LookPause("settings panel", [&](MSG& m) {
    sheet.Process(m);
    sheet.Continue();
  });

  // A real click: the mouse comes over the label, then the button goes up on it.
  HWND link = GetDlgItem(h, IDC_ABOUT_ABOUT_LINK);
  SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(page.aboutLink().hovering());
  SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(page.aboutLink().hovering());
  EXPECT_FALSE(page.settingsPanelShown());
  EXPECT_EQ(app_.GetSetting("GENERAL", "ABOUT"), "0");
  EXPECT_TRUE(Shown(h, IDC_ABOUT_TEXT));

  page.settingsLink().Click();
  EXPECT_TRUE(page.settingsPanelShown());
  EXPECT_EQ(app_.GetSetting("GENERAL", "ABOUT"), "1");
}

TEST_F(AboutPageTest, BoxesShowTheirKeysAndWriteAtOnce) {
  app_.PutSetting("GENERAL", "HIDE", "1");
  app_.PutSetting("GENERAL", "AUTOSAVE", "0");
  app_.PutSetting("GENERAL", "ABOUT", "1");
  app_.PutSetting("GENERAL", "ESC", "0");
  vm::testing::ProgramSheet sheet(app_);  // set-up writes "LAST" = "1", keeps "AUTOSAVE" = "0"
  about& page = Open(sheet);
  HWND h = page.hwnd();
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_ABOUT_HIDE), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_ABOUT_AUTOSAVE), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_ABOUT_LAST), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_ABOUT_AUTOSTART), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(h, IDC_ABOUT_ESC), BST_UNCHECKED);
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(h, IDC_ABOUT_ESC), GWL_STYLE) & WS_VISIBLE);  // the sheet is hidden

  struct Case {
    int id;
    const char* key;
  } cases[] = {{IDC_ABOUT_HIDE, "HIDE"},
               {IDC_ABOUT_AUTOSAVE, "AUTOSAVE"},
               {IDC_ABOUT_LAST, "LAST"},
               {IDC_ABOUT_ESC, "ESC"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    std::string before = app_.GetSetting("GENERAL", c.key);
    SendDlgItemMessageW(h, c.id, BM_CLICK, 0, 0);
    EXPECT_NE(app_.GetSetting("GENERAL", c.key), before);
    EXPECT_EQ(app_.GetSetting("GENERAL", c.key), IsDlgButtonChecked(h, c.id) == BST_CHECKED ? "1" : "0");
    SendDlgItemMessageW(h, c.id, BM_CLICK, 0, 0);
    EXPECT_EQ(app_.GetSetting("GENERAL", c.key), before);
  }
}

TEST_F(AboutPageTest, BackupDaysBoxShowsTheDefaultAndWritesTypedNumbers) {
  app_.PutSetting("GENERAL", "ABOUT", "1");
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  HWND h = page.hwnd();
  HWND box = GetDlgItem(h, IDC_ABOUT_BACKUP_DAYS);
  ASSERT_TRUE(box);
  EXPECT_TRUE(IsWindowVisible(box));
  wchar_t text[16] = {};
  GetWindowTextW(box, text, 16);
  EXPECT_STREQ(text, L"14");
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "");  // showing writes nothing
  SetWindowTextW(box, L"3");
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "3");
  SetWindowTextW(box, L"");  // half-typed: the last number stays
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "3");
  SetWindowTextW(box, L"0");
  EXPECT_EQ(app_.GetSetting("GENERAL", "BACKUPDAYS"), "0");
  page.aboutLink().Click();
  EXPECT_FALSE(IsWindowVisible(box));
}

TEST_F(AboutPageTest, AutostartWritesAndDeletesTheRunValue) {
  app_.PutSetting("GENERAL", "ABOUT", "1");
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  HWND h = page.hwnd();
  SendDlgItemMessageW(h, IDC_ABOUT_AUTOSTART, BM_CLICK, 0, 0);
  EXPECT_EQ(app_.GetSetting("GENERAL", "START"), "1");
  std::string data;
  ASSERT_TRUE(run_.Read(data));
  EXPECT_EQ(data, dir_.path() + "Velmoria.exe");
  EXPECT_TRUE(AutostartChecked(run_, dir_.path()));

  SendDlgItemMessageW(h, IDC_ABOUT_AUTOSTART, BM_CLICK, 0, 0);
  EXPECT_EQ(app_.GetSetting("GENERAL", "START"), "0");
  EXPECT_FALSE(run_.Read(data));
}

TEST_F(AboutPageTest, AutostartBoxFollowsTheRegistryNotTheSettings) {
  struct Case {
    const char* name;
    std::string entry;  // empty: no entry
    bool checked;
  } cases[] = {
      {"this folder", dir_.path() + "Velmoria.exe", true},
      {"trailing blanks", dir_.path() + "Velmoria.exe  ", true},
      {"another folder", "C:\\Elsewhere\\Velmoria.exe", false},
      {"no entry", "", false},
  };
  app_.PutSetting("GENERAL", "START", "1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    run_.Delete();
    if (!c.entry.empty()) run_.Write(c.entry);
    vm::testing::ProgramSheet sheet(app_);
    about& page = Open(sheet);
    EXPECT_EQ(IsDlgButtonChecked(page.hwnd(), IDC_ABOUT_AUTOSTART) == BST_CHECKED, c.checked);
  }
}

TEST_F(AboutPageTest, VersionLineLinksAndLinksInTheText) {
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  EXPECT_EQ(page.productName(), "Velmoria");
  EXPECT_EQ(page.versionText(), VELMORIA_VERSION);  // the VERSION file, through the version record
  EXPECT_EQ(page.mailLink().target(), about::kMailTarget);
  EXPECT_EQ(page.homeLink().target(), about::kHomeTarget);
  EXPECT_EQ(page.mailLink().TextColour(), ui::LinkLabel::kLinkColour);

  std::wstring opened;
  about::SetTextLinkOpener([&](const std::wstring& link) { opened = link; });
  HWND text = GetDlgItem(page.hwnd(), IDC_ABOUT_TEXT);
  std::wstring plain = ui::PlainText(text);
  std::wstring url = L"http://www.velmoria.example/";
  size_t at = plain.find(url);
  ASSERT_NE(at, std::wstring::npos);
  // What the control sends when the detected link is pressed.
  ENLINK link{};
  link.nmhdr.hwndFrom = text;
  link.nmhdr.idFrom = IDC_ABOUT_TEXT;
  link.nmhdr.code = EN_LINK;
  link.msg = WM_LBUTTONDOWN;
  link.chrg.cpMin = static_cast<LONG>(at);
  link.chrg.cpMax = static_cast<LONG>(at + url.size());
  SendMessageW(page.hwnd(), WM_NOTIFY, IDC_ABOUT_TEXT, reinterpret_cast<LPARAM>(&link));
  about::SetTextLinkOpener(nullptr);
  EXPECT_EQ(opened, url);
}

TEST_F(AboutPageTest, LayoutFollowsThePageSize) {
  vm::testing::ProgramSheet sheet(app_);
  about& page = Open(sheet);
  SetWindowPos(sheet.hwnd(), nullptr, 0, 0, sheet.initialSize().cx + 150, sheet.initialSize().cy + 90,
               SWP_NOMOVE | SWP_NOZORDER);
  HWND h = page.hwnd();
  RECT client;
  GetClientRect(h, &client);
  AboutLayout l = LayoutAbout(client.right, client.bottom);
  struct Case {
    int id;
    Rect want;
  } cases[] = {{IDC_ABOUT_TEXT, l.textBox},
               {IDC_ABOUT_GROUP, l.textBox},
               {IDC_ABOUT_MAIL, l.mailLink},
               {IDC_ABOUT_HOME, l.homeLink},
               {IDC_ABOUT_SETTINGS_LINK, l.panelLink},
               {IDC_ABOUT_ABOUT_LINK, l.panelLink}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    RECT r = RectIn(h, GetDlgItem(h, c.id));
    EXPECT_EQ((Rect{r.left, r.top, r.right, r.bottom}), c.want);
  }
}

}  // namespace
}  // namespace vm::shell
