// The data page inside the real sheet: a table loaded at start, filtered by typing,
// edited in place with a hidden column, sorted, added to, deleted from, saved, locked
// with a password and opened again, and its columns changed through the dialog.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/csv.h"
#include "data/data_file.h"
#include "data/win/data_page.h"
#include "data/win/data_resources.h"
#include "data/win/table_dialogs.h"
#include "platform/platform.h"
#include "common/app_util.h"
#include "common/protected_file.h"
#include "shell/win/shell_resources.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/dialog.h"
#include "ui/question.h"
#include "ui/text.h"

namespace vm::data {
namespace {

using vm::testing::PressKey;
using vm::testing::PumpSheet;
using vm::testing::Slurp;
using vm::testing::Spit;
using vm::testing::Type;

// Four columns, the second hidden; phone column 2, web column 3.
const char kTable[] =
    "/4|Имя|Скрыто|Телефон|Сайт|120|100|100|100|1|0|1|1|2|-1|3|\r\n"
    "Иванов|x|12|www.a.ru\r\n"
    "Петрова|y|3|\r\n"
    "Сидоров|z||www.c.ru";

class DataPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Personal"});
    Spit(dir_ / "Personal\\t.dbp", kTable);
    app_.PutSetting("DATA", "FILENAME", dir_ / "Personal\\t.dbp");
    ui::SetQuestionHook([this](const std::string& q) {
      questions_.push_back(q);
      return true;
    });
  }
  void TearDown() override {
    ui::SetQuestionHook(nullptr);
    ui::Dialog::SetInitHook(nullptr);
  }

  CPh& Open(shell::CVelmoriaSheet& sheet) {
    CPh& page = static_cast<CPh&>(sheet.page(shell::kDataTab));
    DataPageShell s = SystemDataPageShell();
    s.perform = [this](const ShellRequest& r) { requests_.push_back(r); };
    s.askPassword = [this](HWND, PasswordMode mode) -> std::optional<DataPageShell::Password> {
      modes_.push_back(mode);
      return password_;
    };
    page.SetShell(s);
    page.SetHelp([] {});
    EXPECT_TRUE(sheet.Create());
    sheet.ActivateTab(shell::kDataTab);
    PumpSheet(sheet);
    return page;
  }

  void Command(shell::CVelmoriaSheet& sheet, CPh& page, int id) {
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(page.toolbar().hwnd()));
    PumpSheet(sheet);
  }

  static std::vector<std::string> Shown(CPh& page) {
    std::vector<std::string> rows;
    for (int r = 0; r < page.list().RowCount(); ++r)
      rows.push_back(page.list().CellText(r, 0) + "/" + page.list().CellText(r, 1) + "/" +
                     page.list().CellText(r, 2));
    return rows;
  }

  std::vector<std::string> questions_;
  std::vector<ShellRequest> requests_;
  std::vector<PasswordMode> modes_;
  std::optional<DataPageShell::Password> password_;
};

TEST_F(DataPageTest, StartFiltersEditsSortsAddsDeletesAndSaves) {
  // The stored path is gone: the file of that name in "Personal" is found and stored.
  app_.PutSetting("DATA", "FILENAME", "Q:\\gone\\t.dbp");
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  EXPECT_EQ(app_.GetSetting("DATA", "FILENAME"), dir_ / "Personal\\t.dbp");
  EXPECT_EQ(Shown(page), (std::vector<std::string>{"Иванов/12/www.a.ru", "Петрова/3/", "Сидоров//www.c.ru"}));
  EXPECT_EQ(page.tooltips().TextOf(CPh::FilterId(1)), "Телефон");
  EXPECT_EQ(page.toolbar().TipOf(ID_DATA_ADD), "Добавить запись  Ctrl+Enter");
  EXPECT_EQ(page.toolbar().buttons().front(), ID_DATA_NEW);
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_DATA_DELETE));

  // Typing a filter: "*ов" keeps the names holding "ов", in any case.
  HWND filter = GetDlgItem(page.hwnd(), CPh::FilterId(0));
  Type(sheet, filter, "*ОВ");
  EXPECT_EQ(Shown(page), (std::vector<std::string>{"Иванов/12/www.a.ru", "Петрова/3/", "Сидоров//www.c.ru"}));
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_DATA_CLEAR));
  Type(sheet, filter, "а");
  EXPECT_EQ(Shown(page), (std::vector<std::string>{"Петрова/3/"}));

  // Editing list column 1 writes field 2: the hidden column does not shift it.
  page.list().Select(0);
  page.data().Select(0);
  ASSERT_TRUE(page.list().BeginEdit(0, 1));
  SetWindowTextW(page.list().editor(), ui::Wide("+7 900").c_str());
  page.list().EndEdit(true);
  EXPECT_EQ(page.data().table().records[1].line, "Петрова|y|+7 900|");
  // Dial under a filter takes the record shown in the selected row.
  Command(sheet, page, ID_DATA_DIAL);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].number, "+7 900");

  // Ctrl+Delete empties the inputs; Ctrl+Enter adds a record of the inputs.
  PressKey(sheet, page.list().hwnd(), VK_DELETE, true);
  EXPECT_EQ(page.list().RowCount(), 3);
  Type(sheet, filter, "Яковлев");
  PressKey(sheet, filter, VK_RETURN, true);
  EXPECT_EQ(page.data().table().records.back().line, "Яковлев|||");
  EXPECT_EQ(page.list().Selected(), 0);

  // Sorting by the phone header: integers, the empty field as 0.
  PressKey(sheet, page.list().hwnd(), VK_DELETE, true);
  page.list().ClickHeader(1);
  PumpSheet(sheet);
  EXPECT_EQ(page.list().CellText(0, 0), "Сидоров");
  EXPECT_EQ(page.list().CellText(3, 0), "Иванов");

  // Delete asks, and the record goes.
  page.list().Select(0);
  page.data().Select(0);
  Command(sheet, page, ID_DATA_DELETE);
  ASSERT_FALSE(questions_.empty());
  EXPECT_EQ(questions_.back(), "Удалить?");
  EXPECT_EQ(page.list().RowCount(), 3);

  PressKey(sheet, page.list().hwnd(), 'S', true);
  DataTable back;
  back.path = dir_ / "Personal\\t.dbp";
  LoadTable(back);
  ASSERT_EQ(back.records.size(), 3u);
  EXPECT_EQ(back.def.shown, (std::vector<int>{1, 0, 1, 1}));
  EXPECT_EQ(back.records[2].line, "Иванов|x|12|www.a.ru");
}

TEST_F(DataPageTest, PasswordLocksTheFileUntilItIsEnteredAgain) {
  vm::testing::CapturedMessages messages;
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  page.data().table().kdfIterations = 1000;  // Wine's key derivation is slow
  password_ = DataPageShell::Password{"секрет^|#", false};
  Command(sheet, page, ID_DATA_PASSWORD);
  EXPECT_EQ(modes_.back(), PasswordMode::kSet);
  EXPECT_TRUE(IsWindowVisible(page.list().hwnd()));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_DATA_SAVE));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_DATA_ADD));
  page.Save();  // save all writes it protected

  // Strongly: nothing typed or shown is in the file, not even the column names.
  const std::string bytes = vm::testing::Slurp(dir_ / "Personal\\t.dbp");
  EXPECT_TRUE(LooksSealed(bytes));
  for (const char* text : {"секрет", "Иванов", "Петрова", "Сидоров", "Телефон", "www.a.ru"})
    EXPECT_EQ(bytes.find(text), std::string::npos) << text;

  page.OpenFile(dir_ / "Personal\\t.dbp");
  PumpSheet(sheet);
  EXPECT_FALSE(IsWindowVisible(page.list().hwnd()));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page.hwnd(), CPh::FilterId(0))));
  page.Save();  // the locked file is left as it is
  EXPECT_EQ(vm::testing::Slurp(dir_ / "Personal\\t.dbp"), bytes);
  password_ = DataPageShell::Password{"не то", false};
  Command(sheet, page, ID_DATA_PASSWORD);
  EXPECT_EQ(modes_.back(), PasswordMode::kEnter);
  EXPECT_FALSE(IsWindowVisible(page.list().hwnd()));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Неверный пароль или файл повреждён"});
  password_ = DataPageShell::Password{"секрет^|#", false};
  Command(sheet, page, ID_DATA_PASSWORD);
  EXPECT_TRUE(IsWindowVisible(page.list().hwnd()));
  EXPECT_EQ(page.list().RowCount(), 3);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(page.list().hwnd())), 3);
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_DATA_SAVE));
  EXPECT_EQ(messages.texts().size(), 1u);
}

TEST_F(DataPageTest, AnOldSchemeFileOpensAndIsWrittenStronglyAfterANotice) {
  DataTable old;
  old.path = dir_ / "Personal\\t.dbp";
  LoadTable(old);
  old.password = "старый";
  old.scheme = Protection::kLegacy;
  old.def.modified = kTableChanged;
  ASSERT_EQ(SaveTable(old).status, TableSaveStatus::kSaved);
  vm::testing::CapturedMessages messages;
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  page.data().table().kdfIterations = 1000;  // Wine's key derivation is slow
  EXPECT_FALSE(IsWindowVisible(page.list().hwnd()));
  password_ = DataPageShell::Password{"старый", false};
  Command(sheet, page, ID_DATA_PASSWORD);
  EXPECT_EQ(page.list().RowCount(), 3);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("Прежние версии программы не смогут его открыть"), std::string::npos);
  page.Save();
  EXPECT_TRUE(LooksSealed(vm::testing::Slurp(old.path)));

  // With the About page's option the old scheme stays.
  app_.PutSetting("GENERAL", kOldProtectionKey, "1");
  Spit(old.path, kTable);
  page.OpenFile(old.path);
  password_ = DataPageShell::Password{"новый", false};
  Command(sheet, page, ID_DATA_PASSWORD);
  page.Save();
  const std::string kept = vm::testing::Slurp(old.path);
  EXPECT_FALSE(LooksSealed(kept));
  EXPECT_EQ(kept.substr(0, 3), "/4|");
  EXPECT_EQ(kept.find("Иванов"), std::string::npos);
  EXPECT_EQ(messages.texts().size(), 1u);
}

// Enter in the new column's name, then OK from a timer inside the dialog's own loop.
struct EnterInName {
  static void CALLBACK AfterEnter(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    stillOpen = IsWindowVisible(dialog) != FALSE;
    SetDlgItemTextW(dialog, IDC_DSET_NAME, L"Область");
    SetFocus(GetDlgItem(dialog, IDOK));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  static inline bool stillOpen = false;
};

TEST_F(DataPageTest, ColumnDialogChangesTakeEffectAtOnce) {
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  // The dialog adds a column, shows the hidden one and closes with the cross.
  ui::Dialog::SetInitHook([](ui::Dialog& d) {
    if (d.templateId() != IDD_DATA_SETTINGS) return;
    auto shown = [&] { return (GetWindowLongW(d.Item(IDC_DSET_ADD), GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_FALSE(shown());
    d.SetItemText(IDC_DSET_NAME, "Город");
    EXPECT_TRUE(shown());
    SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DSET_ADD, BN_CLICKED), 0);
    ListView_SetCheckState(d.Item(IDC_DSET_LIST), 1, TRUE);
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_DATA_SETTINGS);
  const CTableDef& def = page.data().table().def;
  EXPECT_EQ(def.names.back(), "Город");
  EXPECT_EQ(def.shown, (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(page.data().table().records[0].line, "Иванов|x|12|www.a.ru|");
  EXPECT_EQ(page.list().ColumnWidths().size(), 5u);
  EXPECT_EQ(page.list().CellText(0, 1), "x");
  EXPECT_TRUE(page.data().modified());

  // Enter in "Наименование новой колонки" adds the column and the dialog stays; OK then
  // adds a name typed but not added yet.
  ui::Dialog::SetInitHook([](ui::Dialog& d) {
    if (d.templateId() != IDD_DATA_SETTINGS) return;
    HWND name = d.Item(IDC_DSET_NAME);
    SetFocus(name);
    d.SetItemText(IDC_DSET_NAME, "Район");
    PostMessageW(name, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(name, WM_KEYUP, VK_RETURN, 0xC0000001);
    SetTimer(d.hwnd(), 1, 100, &EnterInName::AfterEnter);
  });
  Command(sheet, page, ID_DATA_SETTINGS);
  EXPECT_TRUE(EnterInName::stillOpen) << "Enter closed the dialog";
  const auto& names = page.data().table().def.names;
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "Район");
  EXPECT_EQ(names.back(), "Область");

  // "Новый": two columns and a name give a ".dbp" file with the "/3" header.
  ui::Dialog::SetInitHook([this](ui::Dialog& d) {
    if (d.templateId() != IDD_DATA_NEW) return;
    EXPECT_FALSE(IsWindowEnabled(d.Item(IDOK)));
    d.SetItemText(IDC_DNEW_NAME, "новая");
    for (const char* name : {"Имя", "Телефон"}) {
      d.SetItemText(IDC_DNEW_COLUMN, name);
      SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_DNEW_ADD, BN_CLICKED), 0);
    }
    EXPECT_TRUE(IsWindowEnabled(d.Item(IDOK)));
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  Command(sheet, page, ID_DATA_NEW);
  std::string made = dir_ / "Personal\\новая.dbp";
  EXPECT_EQ(Slurp(made), "/3|Имя|Телефон|100|100|1|1|-1|-1|-1|0");
  EXPECT_EQ(app_.GetSetting("DATA", "FILENAME"), made);
  EXPECT_EQ(page.list().ColumnWidths().size(), 2u);
  // The table before was saved first (automatic saving is on by default).
  DataTable before;
  before.path = dir_ / "Personal\\t.dbp";
  LoadTable(before);
  EXPECT_EQ(before.def.names.size(), 7u);
}

// With no table open the save button stays up for its drop-down (the CSV import), and
// saving itself does nothing.
TEST_F(DataPageTest, WithoutATableTheSaveDropDownStillOffersTheImport) {
  app_.PutSetting("DATA", "FILENAME", "");
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  EXPECT_TRUE(page.list().RowCount() == 0);
  EXPECT_TRUE(page.toolbar().IsEnabled(ID_DATA_SAVE));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_DATA_ADD));
  Command(sheet, page, ID_DATA_SAVE);
  EXPECT_EQ(app_.GetSetting("DATA", "FILENAME"), "");
  std::string csv = dir_ / "first.csv";
  Spit(csv, "Name;Code\r\nTula;71\r\n");
  DataPageShell s = SystemDataPageShell();
  s.askCsvOpen = [&](HWND, const std::string&) { return std::optional<std::string>(csv); };
  s.askSaveAs = [&](HWND, const std::string& folder, const std::string&) {
    return std::optional<std::string>((folder.empty() ? dir_ / "Personal" : folder) + "\\first");
  };
  page.SetShell(s);
  Command(sheet, page, ID_DATA_IMPORT_CSV);
  EXPECT_EQ(page.list().RowCount(), 1);
  EXPECT_NE(app_.GetSetting("DATA", "FILENAME").find("first.dbp"), std::string::npos);
}

TEST_F(DataPageTest, CsvImportOpensTheNewTableAndExportWritesTheShownColumns) {
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  vm::testing::CapturedMessages messages;
  std::string csv = dir_ / "из таблицы.csv";
  Spit(csv, "Город;Код\r\nТула;7#1\r\n\"Омск; Сибирь\";55\r\n");
  std::vector<std::string> offered;
  DataPageShell s = SystemDataPageShell();
  s.perform = [](const ShellRequest&) {};
  s.askCsvOpen = [&](HWND, const std::string&) { return std::optional<std::string>(csv); };
  s.askSaveAs = [&](HWND, const std::string& folder, const std::string& name) {
    offered.push_back(name);
    return std::optional<std::string>(folder + "\\города");
  };
  s.askCsvSave = [&](HWND, const std::string& folder, const std::string& name) {
    offered.push_back(name);
    return std::optional<std::string>(folder + "\\вывод.csv");
  };
  page.SetShell(s);

  // The current table has an unsaved record: importing saves it first.
  HWND filter = GetDlgItem(page.hwnd(), CPh::FilterId(0));
  Type(sheet, filter, "Яковлев");
  PressKey(sheet, filter, VK_RETURN, true);
  Command(sheet, page, ID_DATA_IMPORT_CSV);
  EXPECT_NE(Slurp(dir_ / "Personal\\t.dbp").find("Яковлев"), std::string::npos);
  std::string made = dir_ / "Personal\\города.dbp";
  EXPECT_EQ(page.data().path(), made);
  EXPECT_EQ(app_.GetSetting("DATA", "FILENAME"), made);
  EXPECT_EQ(page.list().ColumnWidths().size(), 2u);
  EXPECT_EQ(Shown(page), (std::vector<std::string>{"Тула/71/", "Омск; Сибирь/55/"}));
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("\"#\""), std::string::npos) << messages.texts()[0];

  Command(sheet, page, ID_DATA_EXPORT_CSV);
  EXPECT_EQ(offered, (std::vector<std::string>{"из таблицы.dbp", "города.csv"}));
  EXPECT_EQ(Slurp(dir_ / "Personal\\вывод.csv"), CsvBytes(page.data().table()));

  // A file that is not CSV text is refused with the reason, and the page keeps its table.
  Spit(csv, std::string("PK\x03\x04\0", 5));
  Command(sheet, page, ID_DATA_IMPORT_CSV);
  ASSERT_EQ(messages.texts().size(), 2u);
  EXPECT_NE(messages.texts()[1].find("не похож на текст CSV"), std::string::npos);
  EXPECT_EQ(page.data().path(), made);
  EXPECT_EQ(offered.size(), 2u);
}

// A table held open by another program cannot be written: the exit does not quit with
// the edit lost. It asks; Esc keeps the program running with the edit; "Повторить"
// while the file is still held asks again; once it is free "Повторить" writes it and
// the program ends.
TEST_F(DataPageTest, ATableThatCannotBeWrittenStopsTheExitAndAsks) {
  const std::string path = dir_ / "Personal\\t.dbp";
  app_.PutSetting("GENERAL", "AUTOSAVE", "1");
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  ASSERT_TRUE(page.list().BeginEdit(0, 0));
  SetWindowTextW(page.list().editor(), ui::Wide("Иванова").c_str());
  page.list().EndEdit(true);
  ASSERT_TRUE(page.data().modified());

  HANDLE held = CreateFileW(ui::Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  vm::testing::CapturedMessages messages;
  vm::testing::UnsavedAnswers asked;
  asked.answer = [] { return IDCANCEL; };
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
  PumpSheet(sheet);
  ASSERT_EQ(asked.texts.size(), 1u);
  EXPECT_NE(asked.texts[0].find(path), std::string::npos) << asked.texts[0];
  EXPECT_TRUE(sheet.Continue()) << "Esc keeps the program running";
  EXPECT_TRUE(page.data().modified());
  EXPECT_EQ(page.data().table().records[0].line.rfind("Иванова|", 0), 0u);

  int answers = 0;
  asked.answer = [&] {
    if (++answers == 2) CloseHandle(held);  // the other program lets go
    return IDC_UNSAVED_RETRY;
  };
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
  PumpSheet(sheet);
  EXPECT_EQ(answers, 2) << "asked again while the file was still held";
  EXPECT_FALSE(sheet.Continue());
  EXPECT_NE(Slurp(path).find("Иванова|x|12"), std::string::npos);
  sheet.Finish();
  EXPECT_EQ(asked.texts.size(), 3u) << "the end of the run asks nothing more";
}

// A table that could not be read at start: the message says so at once, the page keeps
// naming the file, and neither hiding, another tab nor "Сохранить все" writes the
// columns the user then set up over it; the exit asks, and leaving keeps the file.
TEST_F(DataPageTest, ATableThatCouldNotBeReadIsNeverWrittenOver) {
  const std::string path = dir_ / "Personal\\t.dbp";
  app_.PutSetting("GENERAL", "AUTOSAVE", "1");
  vm::testing::CapturedMessages messages;
  vm::testing::HeldFiles files;
  files.held.insert(path);
  // What the file holds, read past the other program's hold.
  auto onDisk = [&] {
    files.held.clear();
    std::string bytes = Slurp(path);
    files.held.insert(path);
    return bytes;
  };
  vm::testing::ProgramSheet sheet(app_);
  CPh& page = Open(sheet);
  ASSERT_EQ(messages.texts().size(), 1u);
  EXPECT_NE(messages.texts()[0].find("Не удалось прочитать файл " + path), std::string::npos);
  EXPECT_EQ(page.data().path(), path);
  EXPECT_EQ(app_.GetSetting("DATA", "FILENAME"), path) << "the next start tries it again";

  AddColumn(page.data().table(), "Город");
  page.data().Add();
  sheet.ActivateTab(shell::kAboutTab);
  sheet.ActivateTab(shell::kDataTab);
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_SAVE_ALL, 0);
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_HIDE_TO_TRAY, 0);
  PumpSheet(sheet);
  EXPECT_EQ(onDisk(), kTable);
  // The user's own "Сохранить" asks before replacing it; "No" keeps the file.
  ui::SetQuestionHook([this](const std::string& q) {
    questions_.push_back(q);
    return false;
  });
  Command(sheet, page, ID_DATA_SAVE);
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_NE(questions_[0].find("Заменить его содержимое"), std::string::npos) << questions_[0];
  EXPECT_EQ(onDisk(), kTable);

  vm::testing::UnsavedAnswers asked;
  asked.answer = [] { return IDC_UNSAVED_LEAVE; };
  SendMessageW(sheet.hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
  PumpSheet(sheet);
  ASSERT_EQ(asked.texts.size(), 1u);
  EXPECT_NE(asked.texts[0].find("не был прочитан"), std::string::npos) << asked.texts[0];
  EXPECT_FALSE(sheet.Continue());
  sheet.Finish();
  EXPECT_EQ(onDisk(), kTable);
}

}  // namespace
}  // namespace vm::data
