// The notebook page inside the real sheet: a notebook reopened at start, the tree and
// the note's text, new notes, typing, formats and undo, copy and paste, drag, deleting,
// a locked file, the password set and entered through its dialog, F3 and the search in
// every note, and the saved file read back.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <dlgs.h>
#include <richedit.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/protected_file.h"
#include "notebook/win/notebook_page.h"
#include "notebook/win/notebook_resources.h"
#include "platform/platform.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/dialog.h"
#include "ui/printing.h"
#include "ui/question.h"
#include "ui/rich_edit.h"
#include "ui/text.h"
#include "ui/ui_resources.h"

namespace vm::notebook {
namespace {

using vm::testing::PumpSheet;
using vm::testing::Spit;

const char kNotes[] =
    "FILEFORMAT1\r\n<Работа>\r\n<План>\r\n{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fnil\\fcharset204 "
    "Arial;}}"
    "\\f0\\fs20 План на год\\par}\r\n</План>\r\n{\\rtf1\\ansi Work\\par}\r\n</Работа>\r\n<Дом>\r\nпростой "
    "текст\r\n"
    "</Дом>\r\n";

// Titles of the tree items under `item` (null: the top level), nested in brackets.
std::string Shape(ui::TreeView& tree, HTREEITEM parent) {
  std::string out;
  for (HTREEITEM i = tree.FirstChild(parent); i; i = tree.Next(i)) {
    if (!out.empty()) out += '|';
    out += tree.Text(i);
    if (tree.FirstChild(i)) out += "(" + Shape(tree, i) + ")";
  }
  return out;
}

// Runs `steps` in the next modal dialog once it is up; a last Cancel makes sure no test
// leaves a dialog open.
class DriveDialog {
 public:
  explicit DriveDialog(std::function<void(ui::Dialog&)> steps) {
    ui::Dialog::SetInitHook([steps](ui::Dialog& d) {
      steps(d);
      PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    });
  }
  ~DriveDialog() { ui::Dialog::SetInitHook(nullptr); }
};

void TypePassword(ui::Dialog& d, const char* text) {
  SetDlgItemTextW(d.hwnd(), IDC_PASSWORD_EDIT, ui::Wide(text).c_str());
  PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::string Selected(HWND edit) {
  long first = 0, last = 0;
  ui::GetSelection(edit, first, last);
  return ui::Narrow(ui::TextRange(edit, first, last));
}

class NotebookPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Personal"});
    Spit(dir_ / "Personal\\Заметки.dbn", kNotes);
    app_.PutSetting("GENERAL", "LAST", "1");
    app_.PutSetting("NOTE", "FILENAME", "C:\\нет\\Заметки.dbn");  // found in "Personal"
    ui::SetQuestionHook([this](const std::string& q) {
      questions_.push_back(q);
      return true;
    });
  }
  void TearDown() override { ui::SetQuestionHook(nullptr); }

  CNoteBook& Open(shell::CVelmoriaSheet& sheet) {
    CNoteBook& page = static_cast<CNoteBook&>(sheet.page(shell::kNotebookTab));
    EXPECT_TRUE(sheet.Create());
    sheet.ActivateTab(shell::kNotebookTab);
    PumpSheet(sheet);
    return page;
  }
  void Command(shell::CVelmoriaSheet& sheet, CNoteBook& page, int id) {
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    PumpSheet(sheet);
  }
  void Select(shell::CVelmoriaSheet& sheet, CNoteBook& page, const char* path) {
    page.tree().Select(page.ItemOf(FindByPath(*page.notebook().root, path)));
    PumpSheet(sheet);
  }
  std::vector<std::string> questions_;
};

TEST_F(NotebookPageTest, ReopensTheFileShowsNotesAndSavesWhatIsTyped) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)|Дом");
  EXPECT_EQ(page.notebook().path, dir_ / "Personal\\Заметки.dbn");
  EXPECT_EQ(page.toolbar().TipOf(ID_NOTE_FIND_TITLE), "Поиск по дереву F2");
  EXPECT_EQ(app_.GetSetting("GENERAL", "FONTNAME"), "Times New Roman Cyr");

  Select(sheet, page, "Работа^^План^^");
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())), "План на год");
  Select(sheet, page, "Дом^^");  // a body without rich text loads as plain text
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())), "простой текст");

  Command(sheet, page, ID_NOTE_ADD_LEAF);
  Command(sheet, page, ID_NOTE_ADD_ROOT);
  Command(sheet, page, ID_NOTE_ADD_ROOT);
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)|Дом(Новый)|Новый|Новый+");
  // An empty note shows the default text in the note font.
  EXPECT_NE(ui::StreamOutRtf(page.editor()).find("Times New Roman Cyr"), std::string::npos);

  vm::testing::Type(sheet, page.editor(), "Привет мир");
  EXPECT_NE(page.current()->value().find("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2"), std::string::npos);
  EXPECT_EQ(page.notebook().state, kChanged);

  // The key's release takes the snapshot; bold on everything is undone back to it.
  vm::testing::PressKey(sheet, page.editor(), VK_END);
  ui::SetSelection(page.editor(), 0, -1);
  Command(sheet, page, ID_NOTE_BOLD);
  EXPECT_NE(page.current()->value().find("\\b"), std::string::npos);
  EXPECT_TRUE(page.formatBar().IsEnabled(ID_NOTE_UNDO));
  Command(sheet, page, ID_NOTE_UNDO);
  EXPECT_EQ(page.current()->value().find("\\b "), std::string::npos);
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())).substr(0, 10), "Привет мир");

  Command(sheet, page, ID_NOTE_SAVE_FILE);
  NotebookFile back;
  ASSERT_TRUE(ReadNotebook(back, dir_ / "Personal\\Заметки.dbn").ok);
  EXPECT_EQ(back.root->ChildCount(), 4u);
  EXPECT_EQ(back.root->Child(3)->name(), "Новый+");
  EXPECT_EQ(back.root->Child(3)->value(), page.current()->value());
  EXPECT_EQ(back.root->Child(0)->Child(0)->value(), page.notebook().root->Child(0)->Child(0)->value());
}

TEST_F(NotebookPageTest, CopyPasteDragAndDeleteKeepTreeAndDocumentInStep) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  Select(sheet, page, "Работа^^План^^");
  Command(sheet, page, ID_NOTE_COPY_BRANCH);
  Select(sheet, page, "Дом^^");
  Command(sheet, page, ID_NOTE_PASTE_BRANCH);
  Command(sheet, page, ID_NOTE_PASTE_BRANCH);  // once only
  Select(sheet, page, "Работа^^");
  Command(sheet, page, ID_NOTE_PASTE_BRANCH);
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)|Дом(План)");
  EXPECT_EQ(page.notebook().root->Child(1)->Child(0)->value(),
            page.notebook().root->Child(0)->Child(0)->value());

  // Drag "Дом" onto its own child: refused; then "План" of "Работа" onto "Дом": a clash.
  ui::TreeView& tree = page.tree();
  auto centre = [&](const char* path) {
    RECT r{};
    HTREEITEM item = page.ItemOf(FindByPath(*page.notebook().root, path));
    TreeView_GetItemRect(tree.hwnd(), item, &r, TRUE);
    return std::make_pair(item, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  tree.Expand(page.ItemOf(page.notebook().root->Child(1)), true);
  auto [home, homeAt] = centre("Дом^^");
  auto [homePlan, homePlanAt] = centre("Дом^^План^^");
  tree.BeginDrag(home, homeAt);
  tree.DragTo(homePlanAt);
  tree.EndDrag(true);
  PumpSheet(sheet);
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)|Дом(План)");
  // "Дом" onto "Работа^^План^^" moves the branch.
  auto [home2, home2At] = centre("Дом^^");
  auto [workPlan, workPlanAt] = centre("Работа^^План^^");
  tree.BeginDrag(home2, home2At);
  tree.DragTo(workPlanAt);
  tree.EndDrag(true);
  PumpSheet(sheet);
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План(Дом(План)))");
  EXPECT_EQ(NotePath(*page.current()), "Работа^^План^^Дом^^");

  Command(sheet, page, ID_NOTE_DELETE);
  EXPECT_EQ(questions_, std::vector<std::string>{"Удалить ветвь?"});
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)");
  EXPECT_EQ(page.notebook().root->Child(0)->Child(0)->ChildCount(), 0u);
}

// With no printer the print command says so in the program's words: the system's print
// dialog, which would stop on a message box of its own, is never shown.
TEST_F(NotebookPageTest, PrintWithoutAPrinterSaysSoAndShowsNoDialog) {
  if (ui::PrinterInstalled()) GTEST_SKIP() << "a printer is installed here";
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  Select(sheet, page, "Дом^^");
  vm::testing::CapturedMessages shown;
  vm::testing::UnexpectedDialogs dialogs;
  Command(sheet, page, ID_NOTE_PRINT);
  EXPECT_EQ(dialogs.titles(), std::vector<std::string>{});
  EXPECT_EQ(shown.texts(), std::vector<std::string>{"Не установлен ни один принтер: печатать не на чем."});
}

TEST_F(NotebookPageTest, LockedFileHidesTreeAndEditorUntilThePasswordIsEntered) {
  NotebookFile nb;
  nb.root->AppendChild("Тайна", "секрет");
  std::string path = dir_ / "Personal\\Тайна.dbn";
  Spit(path, NotebookBytes(*nb.root, "Тайна.dbn", "пароль"));
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  EXPECT_TRUE(page.OpenPath(path));
  PumpSheet(sheet);
  EXPECT_TRUE(page.notebook().isProtected);
  EXPECT_FALSE(IsWindowVisible(page.tree().hwnd()));
  EXPECT_FALSE(IsWindowVisible(page.editor()));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_NOTE_ADD_ROOT));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_NOTE_DELETE));
  Command(sheet, page, ID_NOTE_ADD_ROOT);  // nothing while locked
  EXPECT_EQ(page.notebook().root->ChildCount(), 1u);
  EXPECT_TRUE(ApplyPassword(page.notebook(), "пароль", false));
  EXPECT_EQ(app_.GetSetting("NOTE", "FILENAME"), path);
}

TEST_F(NotebookPageTest, APasswordSetThroughItsDialogLocksTheReopenedFileUntilItIsTyped) {
  vm::testing::CapturedMessages messages;
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  page.notebook().kdfIterations = 1000;  // Wine's key derivation is slow
  std::string path = page.notebook().path;
  {
    DriveDialog set([](ui::Dialog& d) { TypePassword(d, "Сезам ^|#"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  EXPECT_FALSE(page.notebook().isProtected);  // the notes stay on show until reopened
  EXPECT_TRUE(IsWindowVisible(page.tree().hwnd()));
  // A note typed: what is typed is written protected too.
  Select(sheet, page, "Дом^^");
  ui::SetSelection(page.editor(), 0, -1);
  ui::ReplaceSelection(page.editor(), L"Набранный текст", false);
  PumpSheet(sheet);
  Command(sheet, page, ID_NOTE_SAVE_FILE);
  std::string bytes;
  ASSERT_TRUE(platform::ReadFileBytes(path, bytes));
  EXPECT_TRUE(LooksSealed(bytes));
  for (const char* text : {"План на год", "Работа", "План", "Дом", "Набранный", "Сезам"})
    EXPECT_EQ(bytes.find(text), std::string::npos) << text;

  ASSERT_TRUE(page.OpenPath(path));
  PumpSheet(sheet);
  EXPECT_TRUE(page.notebook().isProtected);
  EXPECT_FALSE(IsWindowVisible(page.tree().hwnd()));
  EXPECT_FALSE(page.toolbar().IsEnabled(ID_NOTE_FIND_ALL));
  {
    DriveDialog wrong([](ui::Dialog& d) { TypePassword(d, "сезам ^|#"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  EXPECT_TRUE(page.notebook().isProtected);
  EXPECT_FALSE(IsWindowVisible(page.editor()));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"Неверный пароль или файл повреждён"});
  {
    DriveDialog right([](ui::Dialog& d) { TypePassword(d, "Сезам ^|#"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  EXPECT_EQ(messages.texts().size(), 1u);
  EXPECT_FALSE(page.notebook().isProtected);
  EXPECT_TRUE(IsWindowVisible(page.tree().hwnd()));
  EXPECT_TRUE(IsWindowVisible(page.editor()));
  EXPECT_EQ(Shape(page.tree(), nullptr), "Работа(План)|Дом");
  Select(sheet, page, "Работа^^План^^");
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())), "План на год");
}

// The outside editor's copy of a protected notebook's note is handed over to be
// removed once read; a plain notebook's copy stays for the user.
TEST_F(NotebookPageTest, TheOutsideEditorsCopyOfAProtectedNoteIsNotKept) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  std::vector<std::string> kept, removed;
  NotebookDialogs d = page.dialogs();
  d.openWithShell = [&](const std::string& p) { return kept.push_back(p), 42; };
  d.openAndRemoveOnceRead = [&](const std::string& p) { return removed.push_back(p), 42; };
  page.SetDialogs(d);
  Select(sheet, page, "Дом^^");
  Command(sheet, page, ID_NOTE_OUTSIDE);
  EXPECT_EQ(kept.size(), 1u);
  EXPECT_TRUE(removed.empty());
  {
    DriveDialog set([](ui::Dialog& dialog) { TypePassword(dialog, "пароль"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  Command(sheet, page, ID_NOTE_OUTSIDE);
  EXPECT_EQ(kept.size(), 1u);
  EXPECT_EQ(removed, std::vector<std::string>{app_.ProgramFolder() + "Temp\\Note.rtf"});
}

TEST_F(NotebookPageTest, F3FindsInTheNoteAndTheSearchInEveryNoteSelectsTheHit) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  Select(sheet, page, "Дом^^");
  ui::SetSelection(page.editor(), 0, -1);
  ui::ReplaceSelection(page.editor(), L"Ель у дома\rещё ЁЛКА и ель, ЕЛЬ", false);
  PumpSheet(sheet);

  // F3: the next hit after each, without regard to case, across the line break.
  Command(sheet, page, ID_NOTE_FIND_TEXT);
  HWND find = page.findWindow();
  ASSERT_TRUE(IsWindow(find));
  SetDlgItemTextW(find, edt1, L"ЁЛКА");
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PumpSheet(sheet);
  long first = 0, last = 0;
  ui::GetSelection(page.editor(), first, last);
  EXPECT_EQ(first, 15);
  EXPECT_EQ(Selected(page.editor()), "ЁЛКА");
  SendMessageW(find, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PumpSheet(sheet);

  // Ctrl+Shift+F is the command's key; its tool-bar button has the tip.
  EXPECT_EQ(page.toolbar().TipOf(ID_NOTE_FIND_ALL), "Поиск во всех заметках Ctrl+Shift+F");
  std::vector<std::wstring> rows;
  std::wstring count;
  {
    DriveDialog drive([&](ui::Dialog& d) {
      EXPECT_EQ(d.templateId(), IDD_NOTE_FIND_ALL);
      SetDlgItemTextW(d.hwnd(), IDC_NOTE_FIND_ALL_TEXT, L"ель");
      SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      HWND list = d.Item(IDC_NOTE_FIND_ALL_LIST);
      for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
        wchar_t row[512] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
        rows.push_back(row);
      }
      wchar_t text[64] = {};
      GetDlgItemTextW(d.hwnd(), IDC_NOTE_FIND_ALL_COUNT, text, 64);
      count = text;
      // The third hit: "ЕЛЬ" at the end of "Дом"; a double click takes it.
      SendMessageW(list, LB_SETCURSEL, 2, 0);
      SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_NOTE_FIND_ALL_LIST, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(list));
    });
    Select(sheet, page, "Работа^^");
    SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(ID_NOTE_FIND_ALL, 1), 0);  // as the accelerator sends it
    PumpSheet(sheet);
  }
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].substr(0, 4), L"Дом\t");  // the note's path as a person reads it
  EXPECT_NE(rows[1].find(L"ещё ЁЛКА и ель"), std::wstring::npos);
  EXPECT_EQ(count, L"Найдено: 3");
  EXPECT_EQ(NotePath(*page.current()), "Дом^^");
  ui::GetSelection(page.editor(), first, last);
  EXPECT_EQ(first, 27);
  EXPECT_EQ(Selected(page.editor()), "ЕЛЬ");

  // The text stays for the next search; a closed dialog changes nothing.
  std::wstring again;
  {
    DriveDialog drive([&](ui::Dialog& d) {
      wchar_t text[64] = {};
      GetDlgItemTextW(d.hwnd(), IDC_NOTE_FIND_ALL_TEXT, text, 64);
      again = text;
    });
    Command(sheet, page, ID_NOTE_FIND_ALL);
  }
  EXPECT_EQ(again, L"ель");
  EXPECT_EQ(NotePath(*page.current()), "Дом^^");

  // What was typed is saved and reads back.
  Command(sheet, page, ID_NOTE_SAVE_FILE);
  NotebookFile back;
  ASSERT_TRUE(ReadNotebook(back, page.notebook().path).ok);
  EXPECT_EQ(back.root->Child(1)->value(), page.current()->value());
  EXPECT_EQ(FindInAllNotes(*back.root, "ёлка").hits.size(), 1u);
}

// "Done when": a notebook made through the page alone (new file, notes added, renamed,
// filled and formatted, dragged and sorted, a password set) is saved, reopened locked,
// unlocked, and then holds exactly what the page held.
TEST_F(NotebookPageTest, ANotebookMadeThroughThePageReopensExactlyAsItWasLeft) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  NotebookDialogs dialogs = page.dialogs();
  std::string made = dir_ / "Personal\\Новая";
  dialogs.newFile = [&](HWND, const std::string&) { return std::optional<std::string>(made); };
  page.SetDialogs(dialogs);
  Command(sheet, page, ID_NOTE_NEW_FILE);
  EXPECT_EQ(page.notebook().path, made + ".dbn");
  EXPECT_TRUE(platform::FileExists(made + ".dbn"));  // made at once
  EXPECT_EQ(app_.GetSetting("NOTE", "FILENAME"), made + ".dbn");
  EXPECT_EQ(page.tree().Count(), 0);

  auto rename = [&](const char* typed) {
    Command(sheet, page, ID_NOTE_RENAME);
    HWND label = TreeView_GetEditControl(page.tree().hwnd());
    ASSERT_TRUE(label);
    SetWindowTextW(label, ui::Wide(typed).c_str());
    TreeView_EndEditLabelNow(page.tree().hwnd(), FALSE);
    PumpSheet(sheet);
  };
  Command(sheet, page, ID_NOTE_ADD_ROOT);
  rename("Яблоки и груши");
  Command(sheet, page, ID_NOTE_ADD_LEAF);
  rename("Сорта");
  vm::testing::Type(sheet, page.editor(), "Антоновка");
  ui::SetSelection(page.editor(), 0, 4);
  Command(sheet, page, ID_NOTE_BOLD);
  Command(sheet, page, ID_NOTE_ADD_LEAF);  // a third level
  vm::testing::Type(sheet, page.editor(), "Осень");
  Command(sheet, page, ID_NOTE_ADD_ROOT);
  rename("вишня");
  Command(sheet, page, ID_NOTE_ADD_ROOT);
  rename("Абрикосы");
  EXPECT_EQ(Shape(page.tree(), nullptr), "Яблоки_и_груши(Сорта(Новый))|вишня|Абрикосы");

  // "Абрикосы" dragged onto "вишня", then the top level sorted: writes follow the screen.
  auto centre = [&](const char* path) {
    RECT r{};
    HTREEITEM item = page.ItemOf(FindByPath(*page.notebook().root, path));
    TreeView_GetItemRect(page.tree().hwnd(), item, &r, TRUE);
    return std::make_pair(item, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  };
  auto [apricots, apricotsAt] = centre("Абрикосы^^");
  auto [cherry, cherryAt] = centre("вишня^^");
  page.tree().BeginDrag(apricots, apricotsAt);
  page.tree().DragTo(cherryAt);
  page.tree().EndDrag(true);
  PumpSheet(sheet);
  Command(sheet, page, ID_NOTE_SORT_TREE);
  EXPECT_EQ(Shape(page.tree(), nullptr), "вишня(Абрикосы)|Яблоки_и_груши(Сорта(Новый))");
  EXPECT_EQ(page.notebook().state, kRearranged);

  {
    DriveDialog set([](ui::Dialog& d) { TypePassword(d, "Сад"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  Command(sheet, page, ID_NOTE_SAVE_FILE);
  const std::string shown = page.notebook().root->ToXml();
  const std::string sorts = FindByPath(*page.notebook().root, "Яблоки_и_груши^^Сорта^^")->value();
  EXPECT_NE(sorts.find("\\b"), std::string::npos) << sorts;  // the format is in the note

  ASSERT_TRUE(page.OpenPath(made + ".dbn"));
  PumpSheet(sheet);
  EXPECT_TRUE(page.notebook().isProtected);
  EXPECT_FALSE(IsWindowVisible(page.tree().hwnd()));
  {
    DriveDialog right([](ui::Dialog& d) { TypePassword(d, "Сад"); });
    Command(sheet, page, ID_NOTE_PASSWORD);
  }
  EXPECT_FALSE(page.notebook().isProtected);
  EXPECT_EQ(page.notebook().root->ToXml(), shown);
  EXPECT_EQ(Shape(page.tree(), nullptr), "вишня(Абрикосы)|Яблоки_и_груши(Сорта(Новый))");
  Select(sheet, page, "Яблоки_и_груши^^Сорта^^");
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())).substr(0, 9), "Антоновка");
}

TEST_F(NotebookPageTest, FormatKeysAreTheToolbarsCommandsWithOneUndo) {
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  Select(sheet, page, "Работа^^План^^");
  HWND edit = page.editor();
  SetFocus(edit);
  ui::SetSelection(edit, 0, 4);
  auto effects = [&] {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE);
  };
  const DWORD bold = effects();  // the note's text comes bold
  ASSERT_EQ(bold, static_cast<DWORD>(CFE_BOLD));
  // Ctrl+I under some rich-edit versions types a tab instead.
  vm::testing::PressKey(sheet, edit, 'I', true);
  vm::testing::PressKey(sheet, edit, 'U', true);
  ui::SetSelection(edit, 0, 4);
  EXPECT_EQ(effects(), bold | CFE_ITALIC | CFE_UNDERLINE);
  EXPECT_EQ(ui::Narrow(ui::PlainText(edit)).substr(0, 11), "План на год") << "a key typed into the text";
  // Ctrl+Z is the toolbar's undo: one step back, the underline alone; letting Ctrl go
  // keeps the redo, and Ctrl+Y brings the underline back.
  vm::testing::PressKey(sheet, edit, 'Z', true);
  PostMessageW(edit, WM_KEYUP, VK_CONTROL, 0xC0000001);
  PumpSheet(sheet);
  ui::SetSelection(edit, 0, 4);
  EXPECT_EQ(effects(), bold | CFE_ITALIC);
  EXPECT_TRUE(page.formatBar().IsEnabled(ID_NOTE_REDO));
  vm::testing::PressKey(sheet, edit, 'Y', true);
  ui::SetSelection(edit, 0, 4);
  EXPECT_EQ(effects(), bold | CFE_ITALIC | CFE_UNDERLINE);
  // Ctrl+B is the toolbar's bold: it takes the bold away again.
  vm::testing::PressKey(sheet, edit, 'B', true);
  EXPECT_EQ(effects(), static_cast<DWORD>(CFE_ITALIC | CFE_UNDERLINE));
}

TEST_F(NotebookPageTest, BulletsSurviveASaveAndReopen) {
  auto bulleted = [](HWND edit, long at) {
    ui::SetSelection(edit, at, at);
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof pf;
    SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    return pf.wNumbering == PFN_BULLET;
  };
  std::string saved;
  {
    vm::testing::ProgramSheet sheet(app_);
    CNoteBook& page = Open(sheet);
    Select(sheet, page, "Работа^^План^^");
    HWND edit = page.editor();
    ui::SetSelection(edit, 0, 0);
    Command(sheet, page, ID_NOTE_BULLETS);
    EXPECT_TRUE(bulleted(edit, 0));
    Command(sheet, page, ID_NOTE_SAVE_FILE);
    saved = page.current()->value();
  }
  EXPECT_NE(saved.find("\\pnlvlblt"), std::string::npos) << saved;
  vm::testing::ProgramSheet sheet(app_);
  CNoteBook& page = Open(sheet);
  Select(sheet, page, "Работа^^План^^");
  EXPECT_TRUE(bulleted(page.editor(), 0)) << page.current()->value();
  EXPECT_EQ(ui::Narrow(ui::PlainText(page.editor())).substr(0, 11), "План на год");
}

}  // namespace
}  // namespace vm::notebook
