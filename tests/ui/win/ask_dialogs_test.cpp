// The new-file and password dialogs, driven from inside their own modal loops.
#include "ui/ask_dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/platform.h"
#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/win/gui_support.h"
#include "ui/dialog.h"
#include "ui/keyboard.h"
#include "ui/text.h"
#include "ui/ui_resources.h"

namespace vm::ui {
namespace {

// Runs `steps` once the dialog is up; the dialog's modal loop then handles what they
// posted. A last Cancel makes sure no test can leave a dialog open.
class DriveDialog {
 public:
  explicit DriveDialog(std::function<void(Dialog&)> steps) {
    Dialog::SetInitHook([steps](Dialog& d) {
      steps(d);
      PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    });
  }
  ~DriveDialog() { Dialog::SetInitHook(nullptr); }
};

void Type(Dialog& d, int id, const char* cp1251) { SetDlgItemTextW(d.hwnd(), id, Wide(cp1251).c_str()); }
void PostOk(Dialog& d) { PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
std::string Title(Dialog& d) {
  wchar_t t[64] = {};
  GetWindowTextW(d.hwnd(), t, 64);
  return Narrow(t);
}

class NewFileTest : public vm::testing::ProgramFolderTest {
 protected:
  void TearDown() override { SetFolderPicker(nullptr); }
  // The folder the dialog starts in, as the book that asks works it out.
  std::string Initial(const char* section) const {
    return NewFileInitialFolder(app_.GetSetting(section, "FILENAME"), app_.ProgramFolder());
  }
};

TEST_F(NewFileTest, StartsInTheBooksFolderOrInPersonal) {
  platform::MakeDir(dir_ / "Books");
  struct Case {
    std::string setting;
    std::string folder;
  } cases[] = {
      {dir_ / "Books\\дела.dbw", dir_ / "Books"},
      {dir_ / "Gone\\дела.dbw", dir_ / "Personal"},
      {"", dir_ / "Personal"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    app_.PutSetting("WORK", "FILENAME", c.setting);
    std::string shown;
    DriveDialog drive([&](Dialog& d) {
      shown = d.ItemText(IDC_NEWFILE_FOLDER);
      EXPECT_EQ(Title(d), "Новый файл");
      EXPECT_TRUE(GetWindowLongW(d.Item(IDC_NEWFILE_FOLDER), GWL_STYLE) & ES_READONLY);
      Type(d, IDC_NEWFILE_NAME, "Мои дела");
      PostOk(d);
    });
    std::optional<std::string> path = AskNewFile(nullptr, Initial("WORK"));
    EXPECT_EQ(shown, c.folder);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, c.folder + "\\Мои дела");
  }
  EXPECT_TRUE(platform::DirExists(dir_ / "Personal"));
}

TEST_F(NewFileTest, OkStaysOpenWithoutANameOrFolder) {
  struct Case {
    const char* name;
    std::string folder;
  } cases[] = {
      {"", dir_ / "Personal"},
      {"   ", dir_ / "Personal"},
      {"x", dir_ / "Missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int oks = 0;
    DriveDialog drive([&](Dialog& d) {
      d.SetItemText(IDC_NEWFILE_FOLDER, c.folder);
      Type(d, IDC_NEWFILE_NAME, c.name);
      PostOk(d);
      ++oks;
    });
    // OK is refused, so the Cancel posted after it is what closes the dialog.
    EXPECT_FALSE(AskNewFile(nullptr, Initial("NOTE")).has_value());
    EXPECT_EQ(oks, 1);
  }
}

TEST_F(NewFileTest, BrowseReplacesTheFolderAndARootGetsNoSecondBackslash) {
  std::string pickerStart;
  SetFolderPicker([&](HWND, const std::string& initial) -> std::optional<std::string> {
    pickerStart = initial;
    return std::string("C:\\");
  });
  DriveDialog drive([&](Dialog& d) {
    SendMessageW(d.Item(IDC_NEWFILE_BROWSE), BM_CLICK, 0, 0);
    EXPECT_EQ(d.ItemText(IDC_NEWFILE_FOLDER), "C:\\");
    Type(d, IDC_NEWFILE_NAME, "заметки");
    PostOk(d);
  });
  std::optional<std::string> path = AskNewFile(nullptr, Initial("NOTE"));
  EXPECT_EQ(pickerStart, dir_ / "Personal");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(*path, "C:\\заметки");

  SetFolderPicker([](HWND, const std::string&) { return std::optional<std::string>(); });  // cancelled
  DriveDialog keep([&](Dialog& d) {
    SendMessageW(d.Item(IDC_NEWFILE_BROWSE), BM_CLICK, 0, 0);
    EXPECT_EQ(d.ItemText(IDC_NEWFILE_FOLDER), dir_ / "Personal");
  });
  EXPECT_FALSE(AskNewFile(nullptr, Initial("NOTE")).has_value());
}

TEST_F(NewFileTest, Tooltips) {
  std::vector<std::string> tips;
  DriveDialog drive([&](Dialog& d) {
    for (HWND tip : vm::testing::ThreadWindows(L"tooltips_class32")) {
      if (GetWindow(tip, GW_OWNER) != d.hwnd()) continue;
      for (int id : {IDC_NEWFILE_FOLDER, IDC_NEWFILE_BROWSE, IDC_NEWFILE_NAME}) {
        wchar_t buf[64] = {};
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = d.hwnd();
        ti.uId = reinterpret_cast<UINT_PTR>(d.Item(id));
        ti.lpszText = buf;
        SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
        tips.push_back(Narrow(buf));
      }
    }
    Type(d, IDC_NEWFILE_NAME, "Мои дела");
    ShowWindow(d.hwnd(), SW_SHOW);
    vm::testing::LookPause("new file dialog");
  });
  AskNewFile(nullptr, Initial("WORK"));
  EXPECT_EQ(tips, (std::vector<std::string>{"Имя директории", "Изменить директорию", "Имя файла"}));
}

TEST(PasswordDialog, ModesDecideTitleBoxesAndMasking) {
  struct Case {
    PasswordMode mode;
    const char* title;
    bool showEnabled, removeEnabled;
  } cases[] = {{PasswordMode::kEnter, "Введите пароль", false, true},
               {PasswordMode::kSet, "Установите пароль", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    DriveDialog drive([&](Dialog& d) {
      EXPECT_EQ(Title(d), c.title);
      EXPECT_EQ(IsWindowEnabled(d.Item(IDC_PASSWORD_SHOW)) != FALSE, c.showEnabled);
      EXPECT_EQ(IsWindowEnabled(d.Item(IDC_PASSWORD_REMOVE)) != FALSE, c.removeEnabled);
      EXPECT_FALSE(d.IsChecked(IDC_PASSWORD_REMOVE));
      HWND edit = d.Item(IDC_PASSWORD_EDIT);
      EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'*');
      if (c.showEnabled) {
        SendMessageW(d.Item(IDC_PASSWORD_SHOW), BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
        SendMessageW(d.Item(IDC_PASSWORD_SHOW), BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), L'*');
      }
    });
    EXPECT_FALSE(AskPassword(nullptr, c.mode).has_value()) << "cancelled";
  }
}

TEST(PasswordDialog, ReturnsTheTextAndTheRemoveBox) {
  DriveDialog drive([](Dialog& d) {
    Type(d, IDC_PASSWORD_EDIT, "Сезам-2026");
    SendMessageW(d.Item(IDC_PASSWORD_REMOVE), BM_CLICK, 0, 0);
    PostOk(d);
  });
  std::optional<PasswordAnswer> a = AskPassword(nullptr, PasswordMode::kEnter);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->text, "Сезам-2026");
  EXPECT_TRUE(a->removePassword);

  DriveDialog set([](Dialog& d) {
    Type(d, IDC_PASSWORD_EDIT, "abc");
    PostOk(d);
  });
  a = AskPassword(nullptr, PasswordMode::kSet);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->text, "abc");
  EXPECT_FALSE(a->removePassword);
}

TEST(PasswordDialog, TheLayoutButtonsShowTheActiveLayout) {
  std::string active;
  bool ru = false, en = false;
  DriveDialog drive([&](Dialog& d) {
    active = ActiveLayoutName();
    ru = d.IsChecked(IDC_PASSWORD_RU);
    en = d.IsChecked(IDC_PASSWORD_EN);
    Type(d, IDC_PASSWORD_EDIT, "secret");
    ShowWindow(d.hwnd(), SW_SHOW);
    vm::testing::LookPause("password dialog");
  });
  AskPassword(nullptr, PasswordMode::kSet);
  EXPECT_EQ(ru, IsRussianLayoutName(active));
  EXPECT_EQ(en, IsEnglishLayoutName(active));
}

// Needs a system with both layouts installed; Wine offers only the one layout it takes
// from the X server and the locale.
TEST(PasswordDialog, OpensInEnglishAndRuSwitchesBack) {
  ActivateLayout(kEnglishLanguage);
  bool english = IsEnglishLayoutName(ActiveLayoutName());
  ActivateLayout(kRussianLanguage);
  if (!english || !IsRussianLayoutName(ActiveLayoutName()))
    GTEST_SKIP() << "this system cannot switch between the Russian and English layouts";
  std::string atOpen, afterRu, afterEn;
  bool ruPressedAfterRu = false;
  DriveDialog drive([&](Dialog& d) {
    atOpen = ActiveLayoutName();
    SendMessageW(d.Item(IDC_PASSWORD_RU), BM_CLICK, 0, 0);
    afterRu = ActiveLayoutName();
    ruPressedAfterRu = d.IsChecked(IDC_PASSWORD_RU) && !d.IsChecked(IDC_PASSWORD_EN);
    SendMessageW(d.Item(IDC_PASSWORD_EN), BM_CLICK, 0, 0);
    afterEn = ActiveLayoutName();
  });
  AskPassword(nullptr, PasswordMode::kSet);
  EXPECT_TRUE(IsEnglishLayoutName(atOpen)) << atOpen;
  EXPECT_TRUE(IsRussianLayoutName(afterRu)) << afterRu;
  EXPECT_TRUE(ruPressedAfterRu);
  EXPECT_TRUE(IsEnglishLayoutName(afterEn)) << afterEn;
}

}  // namespace
}  // namespace vm::ui
