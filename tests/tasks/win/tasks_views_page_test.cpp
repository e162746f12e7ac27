// The tasks page's views and commands inside the real main sheet, and the sticker window
// it feeds: driven by commands, keys, menus and mouse messages; checked in the book, the
// list, the caption, the settings and the sticker.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/record_file.h"
#include "platform/platform.h"
#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"
#include "support/task_record.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "tasks/sticker.h"
#include "tasks/win/sticker_window.h"
#include "tasks/win/tasks_page.h"
#include "tasks/win/tasks_resources.h"
#include "ui/question.h"
#include "ui/text.h"
#include "ui/window.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using R = vm::testing::TaskRecord;

class TasksViewsPageTest : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp", "Personal"});
    CopyShippedSupportFile("WorkPic.html");
    path_ = dir_ / "Personal\\work.dbw";
    platform::SetMessageSink([this](const std::string& text, platform::MessageIcon) { messages_.push_back(text); });
    ui::SetQuestionHook([this](const std::string& q) {
      questions_.push_back(q);
      return true;
    });
  }
  void TearDown() override {
    sheet_.reset();
    platform::SetMessageSink(nullptr);
    ui::SetQuestionHook(nullptr);
  }
  void Make(const std::vector<std::string>& records) {
    vm::testing::Spit(path_, RecordFileBytes(records));
    app_.PutSetting("WORK", "FILENAME", path_);
    sheet_ = std::make_unique<vm::testing::ProgramSheet>(app_);
    ASSERT_TRUE(sheet_->Create());
    sheet_->ActivateTab(shell::kTasksTab);
    TasksShell s = SystemTasksShell();
    s.openReport = [this](const std::string& p) {
      reports_.push_back(p);
      return 42;
    };
    s.chooseMenu = [this](HWND, POINT, const std::vector<ui::MenuItem>& items) {
      menus_.push_back(items);
      return nextChoice_;
    };
    page().SetShell(s);
    page().SetEditor([this](HWND, const std::string& caption, const std::string& line) {
      captions_.push_back(caption);
      TaskEditResult edited;
      edited.line = line;
      SetTaskField(edited.line, F::Headline, nextHeadline_);
      edited.stored = true;
      return edited;
    });
  }
  CWork& page() { return static_cast<CWork&>(sheet_->page(shell::kTasksTab)); }
  std::string Caption() {
    wchar_t buf[128] = {};
    GetDlgItemTextW(page().hwnd(), IDC_TASK_CAPTION, buf, 128);
    return ui::Narrow(buf);
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (const auto& r : page().shown().rows) out.push_back(r.text);
    return out;
  }
  void SelectText(const std::string& text) {
    const auto& rows = page().shown().rows;
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].text == text) page().list().Select(static_cast<int>(i));
  }
  void RightClick() {
    SendMessageW(page().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(page().list().hwnd()), MAKELPARAM(-1, -1));
  }

  std::string path_;
  std::unique_ptr<vm::testing::ProgramSheet> sheet_;
  std::vector<std::string> messages_, questions_, reports_, captions_;
  std::vector<std::vector<ui::MenuItem>> menus_;
  int nextChoice_ = 0;
  std::string nextHeadline_ = "Новая";
};

std::vector<std::string> Book30() {
  std::vector<std::string> r;
  for (int i = 1; i <= 5; ++i)
    r.push_back(R("Задача " + std::to_string(i),
                  {{F::TaskFlag, "1"}, {F::TaskGroup, std::to_string(1 + i % 3)}, {F::TaskOrder, std::to_string(i)}}));
  r.push_back(R("Сдать отчёт", {{F::DeadlineFlag, "1"}, {F::Date, "01/01/2020"}}));
  r.push_back(R("Оплатить счёт", {{F::DeadlineFlag, "1"}, {F::Date, "01/01/2099"}, {F::Status, "4"}}));
  r.push_back(R("Справка", {{F::InfoFlag, "1"}, {F::InfoOrder, "1"}}));
  r.push_back(R("Проект дачи", {{F::ProjectFlag, "1"}, {F::Status, "2"}}));
  r.push_back(R("Прочее", {{F::MiscFlag, "1"}, {F::Status, "1"}}));
  r.push_back(R("Напоминание", {{F::ReminderState, "1"}}));
  r.push_back(R("Пропущено", {{F::ReminderState, "-1"}}));
  return r;
}

TEST_F(TasksViewsPageTest, ViewsFromTheContextMenuWithCaptionsAndTheTooltip) {
  Make(Book30());
  EXPECT_EQ(page().tooltips().TextOf(IDC_TASK_LIST), "Двойной щелчок редактирование");
  page().Command(ID_VIEW_TASKS);
  EXPECT_EQ(page().list().Count(), static_cast<int>(page().shown().rows.size()));
  EXPECT_EQ(Caption(), "Задачи: 5");
  EXPECT_EQ(app_.GetSetting("WORK", "CHECK"), "1");
  nextChoice_ = ID_VIEW_INFO;
  RightClick();
  ASSERT_EQ(menus_.size(), 1u);
  EXPECT_EQ(page().currentView(), kViewInfo);
  EXPECT_EQ(Caption(), "Инормация: 1");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Справка"}));
  page().Command(ID_VIEW_ACTIVE_REMINDERS);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Напоминание"}));
  page().Command(ID_VIEW_DEADLINES);
  EXPECT_EQ(Rows()[0], "Прошедшие");
  page().Command(ID_TASK_NEXT_THEME);
  EXPECT_EQ(page().currentView(), kViewProjects);
  page().Command(ID_TASK_DIARY_DATE);
  EXPECT_EQ(page().currentView(), kViewDiary);
  EXPECT_EQ(page().book().state(), 1);
}

TEST_F(TasksViewsPageTest, AddMoveStatusAndDelete) {
  Make(Book30());
  page().Command(ID_VIEW_PROJECTS);
  page().Command(ID_TASK_ADD);
  ASSERT_EQ(captions_, (std::vector<std::string>{"Новая запись"}));
  EXPECT_EQ(page().book().size(), 13u);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Проект дачи", "Новая"}));
  EXPECT_TRUE(TaskFlagOn(page().book().record(12), F::ProjectFlag));
  EXPECT_EQ(page().book().state(), 2);
  SelectText("Новая");
  page().Command(ID_TASK_MOVE_UP);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Новая", "Проект дачи"}));
  EXPECT_EQ(page().list().Selected(), 0);
  // "Выполнено" from the context menu, with its check and id decided by the status.
  nextChoice_ = ID_TASK_SET_DONE;
  RightClick();
  EXPECT_EQ(menus_.back()[0].text, "Выполнено");
  EXPECT_FALSE(menus_.back()[0].checked);
  EXPECT_EQ(page().book().Field(12, F::Status), "1");
  nextChoice_ = 0;
  RightClick();
  EXPECT_TRUE(menus_.back()[0].checked);
  EXPECT_EQ(menus_.back()[0].id, ID_TASK_CLEAR_DONE);
  // Delete with the key, answering the question.
  vm::testing::PressKey(*sheet_, page().list().hwnd(), VK_DELETE);
  EXPECT_EQ(questions_, (std::vector<std::string>{"Удалить?"}));
  EXPECT_EQ(page().book().size(), 12u);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Проект дачи"}));
  // Ctrl+S writes the file.
  vm::testing::PressKey(*sheet_, page().list().hwnd(), 'S', true);
  EXPECT_EQ(page().book().state(), 1);
}

TEST_F(TasksViewsPageTest, MoveOverAGroupHeadingChangesTheGroup) {
  Make({R("a", {{F::TaskFlag, "1"}, {F::TaskGroup, "1"}}), R("b", {{F::TaskFlag, "1"}, {F::TaskGroup, "2"}})});
  page().Command(ID_VIEW_TASKS);
  SelectText("b");
  page().Command(ID_TASK_MOVE_UP);
  EXPECT_EQ(page().book().Field(1, F::TaskGroup), "1");
  EXPECT_EQ(page().shown().rows[page().list().Selected()].text, "b");
  EXPECT_EQ(page().shown().rows[page().list().Selected()].group, 1);
}

TEST_F(TasksViewsPageTest, SearchesAndReports) {
  Make(Book30());
  page().FindRequest("чёт", FindOptions{}, true);
  EXPECT_EQ(page().currentView(), kViewSearch);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Результат поиска", "Сдать отчёт", "Оплатить счёт"}));
  EXPECT_EQ(Caption(), "Поиск: 2");
  page().Command(ID_TASK_FIND_DONE);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Результат поиска", "Прочее"}));
  page().Command(ID_VIEW_ALL);
  page().list().Select(0);
  page().FindRequest("задача 3", FindOptions{}, false);
  EXPECT_EQ(page().shown().rows[page().list().Selected()].text, "Задача 3");
  page().Command(ID_TASK_REPORT_FULL);
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0], dir_ / "Temp\\WorkRep.html");
  EXPECT_NE(vm::testing::Slurp(reports_[0]).find("Задача"), std::string::npos);
}

TEST_F(TasksViewsPageTest, EmptyBookShowsNoRecordsAndNoReport) {
  Make({});
  for (int command : {ID_VIEW_TASKS, ID_VIEW_ALL, ID_VIEW_ACTIVE_REMINDERS}) {
    page().Command(command);
    EXPECT_EQ(page().shown().rows.back().kind, RowKind::kEmpty);
  }
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Действующих напоминаний нет"}));
  page().Command(ID_TASK_REPORT_HEADS);
  EXPECT_EQ(messages_, (std::vector<std::string>{"Отсутствуют данные для вывода отчета!"}));
  EXPECT_TRUE(reports_.empty());
}

TEST_F(TasksViewsPageTest, StickerShowsAndFollowsTheMarkedRecords) {
  app_.PutSetting("WORK", "ALARMLIST", "1");
  Make({R("Первая", {{F::Status, "4"}}), R("Вторая", {})});
  CAlarmWnd* sticker = page().sticker();
  ASSERT_NE(sticker, nullptr);
  HWND w = FindWindowW(nullptr, L"Alarm Velmoria");
  EXPECT_EQ(w, sticker->hwnd());
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(sticker->text(), "   1. Первая" + std::string(28, ' '));
  page().Command(ID_VIEW_ALL);
  SelectText("Вторая");
  page().Command(ID_TASK_SET_STICKER);
  EXPECT_EQ(sticker->text(), "   1. Первая\r\n   2. Вторая" + std::string(14, ' '));  // padded to 40
  RECT r;
  GetClientRect(w, &r);
  EXPECT_EQ(r.right, sticker->textSize().cx + 20);
  EXPECT_EQ(r.bottom, sticker->textSize().cy + 20);
  // Both marks cleared: the empty text hides it and switches it off.
  page().Command(ID_TASK_CLEAR_STICKER);
  SelectText("Первая");
  page().Command(ID_TASK_CLEAR_STICKER);
  EXPECT_EQ(sticker->text(), "");
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(app_.GetSetting("WORK", "ALARMLIST"), "0");
  // "Включение стикера" shows it again once there is a mark.
  page().Command(ID_TASK_SET_STICKER);
  page().Command(ID_TASK_STICKER_ON);
  EXPECT_TRUE(IsWindowVisible(w));
}

// Another copy of the program, still running while this one starts, has a sticker of
// the same title on top of every window: the text goes to this page's own sticker.
TEST_F(TasksViewsPageTest, StickerTextGoesToThePagesOwnWindowNotToOneOfTheSameTitle) {
  class OtherSticker : public ui::Window {
   public:
    int copies = 0;

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg == WM_COPYDATA) ++copies;
      return ui::Window::HandleMessage(msg, wp, lp);
    }
  } other;
  app_.PutSetting("WORK", "ALARMLIST", "1");
  Make({R("Первая", {{F::Status, "4"}}), R("Вторая", {})});
  ASSERT_TRUE(other.Create({L"VelmoriaTestOtherSticker"}, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE,
                           0, 0, 60, 40, nullptr));
  SetWindowTextW(other.hwnd(), ui::Wide(kStickerTitle).c_str());
  ASSERT_EQ(FindWindowW(nullptr, ui::Wide(kStickerTitle).c_str()), other.hwnd());
  page().Command(ID_VIEW_ALL);
  SelectText("Вторая");
  page().Command(ID_TASK_SET_STICKER);
  EXPECT_EQ(page().sticker()->text(), "   1. Первая\r\n   2. Вторая" + std::string(14, ' '));
  EXPECT_EQ(other.copies, 0);
}

TEST_F(TasksViewsPageTest, StickerDragMenuCommandsAndCopy) {
  app_.PutSetting("WORK", "ALARMLIST", "1");
  app_.PutSetting("ALARM", "TOP", "100");
  app_.PutSetting("ALARM", "LEFT", "120");
  Make({R("Стикер", {{F::Status, "5"}})});
  CAlarmWnd* sticker = page().sticker();
  ASSERT_NE(sticker, nullptr);
  HWND w = sticker->hwnd();
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 120);
  EXPECT_EQ(r.top, 100);
  SetCursorPos(r.left + 5, r.top + 5);
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SetCursorPos(r.left + 35, r.top + 25);
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(35, 25));
  SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(35, 25));
  // Where the drag left it is what "TOP"/"LEFT" hold.
  GetWindowRect(w, &r);
  EXPECT_EQ(app_.GetSetting("ALARM", "LEFT"), std::to_string(r.left));
  EXPECT_EQ(app_.GetSetting("ALARM", "TOP"), std::to_string(r.top));
  // The menu: every item, checks by the settings.
  auto items = sticker->MenuItems();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].text, "Настройки стикера");
  EXPECT_EQ(items[0].items.size(), 10u);
  EXPECT_EQ(items[4].id, ID_STICKER_CLOSE);
  sticker->Command(ID_STICKER_TOPMOST_ON);
  EXPECT_EQ(app_.GetSetting("ALARM", "TOPMOST"), "1");
  EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(sticker->MenuItems()[0].items[9].checked);
  sticker->Command(ID_STICKER_TOPMOST_OFF);
  EXPECT_FALSE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  sticker->SetColourChooser([](HWND, POINT, COLORREF, std::function<void(COLORREF)> done) { done(RGB(1, 2, 3)); });
  sticker->Command(ID_STICKER_BACK_COLOUR);
  EXPECT_EQ(app_.GetSetting("ALARM", "BKR"), "1");
  EXPECT_EQ(sticker->backColour(), RGB(1, 2, 3));
  sticker->Command(ID_STICKER_DEFAULT_COLOURS);
  EXPECT_EQ(app_.GetSetting("ALARM", "BKR"), "");
  sticker->Command(ID_STICKER_COPY);
  if (OpenClipboard(nullptr)) {
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    std::string copied = h ? ui::Narrow(static_cast<const wchar_t*>(GlobalLock(h))) : "";
    if (h) GlobalUnlock(h);
    CloseClipboard();
    EXPECT_EQ(copied, sticker->text());
  }
  // "Записи стикера" asks the main window for view 13.
  SetWindowTextW(sheet_->hwnd(), ui::Wide(app_.DateTitle()).c_str());
  sticker->Command(ID_STICKER_SHOW_RECORDS);
  EXPECT_EQ(page().currentView(), kViewSticker);
  sticker->Command(ID_STICKER_CLOSE);
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(app_.GetSetting("WORK", "ALARMLIST"), "0");
}

}  // namespace
}  // namespace vm::tasks
