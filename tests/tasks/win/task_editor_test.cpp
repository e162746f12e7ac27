// The task editor driven through its controls inside its own loop: the stored line,
// Cancel, an empty headline, a malformed date, the panel and its rules, the preview.
#include "tasks/win/task_editor.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/program_folder.h"
#include "support/win/gui_support.h"
#include "tasks/task_editor_model.h"
#include "tasks/win/task_editor_resources.h"
#include "ui/dialog.h"
#include "ui/question.h"
#include "ui/text.h"

namespace vm::tasks {
namespace {

using F = TaskField;
using ui::Dialog;

// Runs `steps` once the editor is up; a last Cancel makes sure no test leaves it open.
class DriveEditor {
 public:
  explicit DriveEditor(std::function<void(Dialog&)> steps) {
    Dialog::SetInitHook([steps](Dialog& d) {
      if (d.templateId() != IDD_TASK_EDITOR) return;
      ShowWindow(d.hwnd(), SW_SHOW);
      steps(d);
      PostMessageW(d.hwnd(), WM_COMMAND, IDCANCEL, 0);
    });
  }
  ~DriveEditor() { Dialog::SetInitHook(nullptr); }
};

int Id(F f) {
  return IDC_TE_FIELD_BASE + static_cast<int>(f);
}
void Click(Dialog& d, F f) {
  SendMessageW(d.Item(Id(f)), BM_CLICK, 0, 0);
}
void Type(Dialog& d, int id, const char* cp1251) {
  SetDlgItemTextW(d.hwnd(), id, ui::Wide(cp1251).c_str());
}
// Types into an editable list as a person would, so the window hears of it.
void TypeList(Dialog& d, F f, const char* text) {
  Type(d, Id(f), text);
  SendMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(Id(f), CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(d.Item(Id(f))));
}
void ClickPane(Dialog& d, int pane) {
  NMMOUSE click{};
  click.hdr.hwndFrom = d.Item(IDC_TE_STATUS);
  click.hdr.idFrom = IDC_TE_STATUS;
  click.hdr.code = NM_CLICK;
  click.dwItemSpec = pane;
  SendMessageW(d.hwnd(), WM_NOTIFY, IDC_TE_STATUS, reinterpret_cast<LPARAM>(&click));
}
std::string Pane(Dialog& d, int pane) {
  wchar_t text[128] = {};
  SendMessageW(d.Item(IDC_TE_STATUS), SB_GETTEXTW, pane, reinterpret_cast<LPARAM>(text));
  return ui::Narrow(text);
}
bool Enabled(Dialog& d, F f) {
  return IsWindowEnabled(d.Item(Id(f)));
}
// Keys typed into the edit part of a list, one character at a time.
void TypeKeys(Dialog& d, F f, const wchar_t* keys) {
  HWND edit = GetWindow(d.Item(Id(f)), GW_CHILD);
  SetWindowTextW(edit, L"");
  for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}
int Height(Dialog& d) {
  RECT r;
  GetWindowRect(d.hwnd(), &r);
  return r.bottom - r.top;
}

class TaskEditorDialog : public testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    SetTaskEditorClock([] { return Moment{2013, 3, 25, 14, 5}; });
  }
  void TearDown() override { SetTaskEditorClock(nullptr); }
};

TEST_F(TaskEditorDialog, NewPeriodicReminderThroughTheControls) {
  int closedHeight = 0, openHeight = 0, bottomAtOk = 0;
  std::string preview;
  DriveEditor drive([&](Dialog& d) {
    wchar_t title[64] = {};
    GetWindowTextW(d.hwnd(), title, 64);
    EXPECT_EQ(ui::Narrow(title), "Новая запись");
    EXPECT_EQ(Pane(d, 1), "Установки напоминания открыть");
    EXPECT_EQ(Pane(d, 5), "OK");
    EXPECT_EQ(Pane(d, 4), "RUS");
    EXPECT_FALSE(IsWindowVisible(d.Item(Id(F::Hour))));
    EXPECT_EQ(SendMessageW(d.Item(Id(F::Hour)), CB_GETCOUNT, 0, 0), 50);
    EXPECT_EQ(SendMessageW(d.Item(Id(F::Year)), CB_GETCOUNT, 0, 0), 52);
    EXPECT_TRUE(d.IsChecked(Id(F::TaskFlag)));
    Type(d, IDC_TE_HEADLINE, "Размяться | встать #1");
    Type(d, IDC_TE_NOTES, "каждые\r\n45 минут");
    closedHeight = Height(d);
    Click(d, F::ReminderState);  // ticked, it opens the panel
    openHeight = Height(d);
    EXPECT_EQ(Pane(d, 1), "Установки напоминания закрыть");
    ClickPane(d, 1);
    EXPECT_EQ(Height(d), closedHeight);
    ClickPane(d, 1);
    EXPECT_TRUE(IsWindowVisible(d.Item(Id(F::Hour))));
    EXPECT_EQ(d.ItemText(Id(F::Day)) + d.ItemText(Id(F::Month)) + d.ItemText(Id(F::Year)), "25032013");
    // Defaults: "По дате:" with "И время:", so "Каждые..." waits for the time to be off.
    EXPECT_TRUE(d.IsChecked(Id(F::ByDate)));
    EXPECT_FALSE(Enabled(d, F::ByCalendar));
    EXPECT_FALSE(Enabled(d, F::Periodic));
    Click(d, F::WithTime);
    EXPECT_FALSE(Enabled(d, F::Hour));
    EXPECT_TRUE(Enabled(d, F::Periodic));
    Click(d, F::Periodic);
    EXPECT_TRUE(Enabled(d, F::Hour) && Enabled(d, F::Minute) && Enabled(d, F::PcBeep));
    EXPECT_FALSE(Enabled(d, F::ByDate) || Enabled(d, F::Day) || Enabled(d, F::WithTime) ||
                 Enabled(d, F::Permanent));
    TypeList(d, F::Hour, "00");
    TypeList(d, F::Minute, "45");
    preview = d.ItemText(IDC_TE_PREVIEW);
    RECT r;
    GetWindowRect(d.hwnd(), &r);
    bottomAtOk = r.bottom;
    testing::LookPause("task editor with the reminder panel open");
    ClickPane(d, 5);
  });
  TaskEditResult result = EditTask(nullptr, app_, "Новая запись", NewRecord(kViewTasks, "25/03/2013"));
  EXPECT_EQ(openHeight - closedHeight, kPanelHeight);
  EXPECT_EQ(preview.substr(0, preview.find('\r')), "Пн 25/03/2013 14:50");
  ASSERT_TRUE(result.stored);
  EXPECT_FALSE(result.emptyHeadline);
  const std::string& line = result.line;
  EXPECT_EQ(GetTaskField(line, F::Headline), "Размяться | встать 1");
  EXPECT_EQ(GetTaskField(line, F::Notes), "каждые\r\n45 минут");
  EXPECT_EQ(GetTaskField(line, F::Date), "25/03/2013");
  EXPECT_EQ(GetTaskField(line, F::ReminderState), "1");
  EXPECT_EQ(GetTaskField(line, F::Periodic), "1");
  EXPECT_EQ(GetTaskField(line, F::WithTime), "0");
  EXPECT_EQ(GetTaskField(line, F::Hour), "00");
  EXPECT_EQ(GetTaskField(line, F::Minute), "45");
  EXPECT_EQ(GetTaskField(line, F::StartHour), "14");
  EXPECT_EQ(GetTaskField(line, F::StartMinute), "5");
  EXPECT_EQ(GetTaskField(line, F::TaskFlag), "1");
  EXPECT_EQ(GetTaskField(line, F::PcBeep), "1");
  EXPECT_TRUE(HasTaskField(line, F::ProjectOrder));
  // The stored height leaves the panel out, and the sound file is remembered.
  EXPECT_EQ(app_.GetNumber("EDITPLACEMENT", "BOTTOM"), bottomAtOk - kPanelHeight);
  EXPECT_EQ(app_.GetSetting("EDITPLACEMENT", "BOTTOM").empty(), false);
  // Reopened: closed, at the height it had without the panel.
  int reopened = 0;
  DriveEditor again([&](Dialog& d) { reopened = Height(d); });
  EditTask(nullptr, app_, "Редактирование", line);
  EXPECT_EQ(reopened, closedHeight);
}

TEST_F(TaskEditorDialog, CalendarRuleFromTimeAndTheWeekdayRow) {
  std::string rec = NewRecord(kViewInfo, "25/03/2013");
  SetTaskField(rec, F::Headline, "Отчёт");
  SetTaskField(rec, F::ReminderState, "-1");
  SetTaskField(rec, F::LastFired, "22/3/2013");
  SetTaskField(rec, F::SoundFile, "C:\\Звуки\\ding.wav");
  DriveEditor drive([&](Dialog& d) {
    EXPECT_FALSE(d.IsChecked(Id(F::ReminderState)));  // missed is not active
    EXPECT_EQ(d.ItemText(IDC_TE_SOUND), "C:\\Звуки\\ding.wav");
    Click(d, F::ReminderState);  // opens the panel
    Click(d, F::ByCalendar);
    EXPECT_TRUE(Enabled(d, F::Quarter2));
    EXPECT_FALSE(Enabled(d, F::ByDate));
    Click(d, F::Quarter2);
    Click(d, F::QuarterMonth1);
    Click(d, F::LastWeek);
    Click(d, F::AllWeekdays);
    EXPECT_TRUE(d.IsChecked(Id(F::Monday)) && d.IsChecked(Id(F::Sunday)));
    Click(d, F::Saturday);
    EXPECT_FALSE(d.IsChecked(Id(F::AllWeekdays)));
    EXPECT_FALSE(d.IsChecked(Id(F::Saturday)));
    Click(d, F::WithTime);
    EXPECT_TRUE(d.IsChecked(Id(F::WithTime)));
    TypeList(d, F::Hour, ">09");
    TypeList(d, F::Minute, "30");
    Click(d, F::Permanent);
    // The 24th is the first day of April's last week, and the first check after 9:30 fires.
    EXPECT_EQ(d.ItemText(IDC_TE_PREVIEW).substr(0, 19), "Ср 24/04/2013 09:31");
    SendMessageW(d.hwnd(), WM_COMMAND, IDOK, 0);  // Enter
  });
  TaskEditResult result = EditTask(nullptr, app_, "Редактирование", rec);
  ASSERT_TRUE(result.stored);
  const std::string& line = result.line;
  EXPECT_EQ(GetTaskField(line, F::ReminderState), "1");
  EXPECT_EQ(GetTaskField(line, F::ByCalendar), "1");
  EXPECT_EQ(GetTaskField(line, F::ByDate), "0");
  EXPECT_EQ(GetTaskField(line, F::Quarter2), "1");
  EXPECT_EQ(GetTaskField(line, F::QuarterMonth1), "1");
  EXPECT_EQ(GetTaskField(line, F::LastWeek), "1");
  EXPECT_EQ(GetTaskField(line, F::Friday), "1");
  EXPECT_EQ(GetTaskField(line, F::Saturday), "0");
  EXPECT_EQ(GetTaskField(line, F::AllWeekdays), "0");
  EXPECT_EQ(GetTaskField(line, F::Hour), ">09");
  EXPECT_EQ(GetTaskField(line, F::Minute), "30");
  EXPECT_EQ(GetTaskField(line, F::Permanent), "1");
  EXPECT_EQ(GetTaskField(line, F::LastFired), "");
  EXPECT_EQ(GetTaskField(line, F::InfoFlag), "1");
  EXPECT_EQ(GetTaskField(line, F::EditDate), "25/03/2013");
  EXPECT_EQ(app_.GetSetting("WORK", "WAV"), "C:\\Звуки\\ding.wav");
}

TEST_F(TaskEditorDialog, CancelEmptyHeadlineAndABadDateKeepTheRecord) {
  std::string rec = NewRecord(kViewTasks, "25/03/2013");
  SetTaskField(rec, F::Headline, "Было");
  {
    DriveEditor drive([&](Dialog& d) {
      testing::LookPause("task editor with the reminder panel closed");
      Type(d, IDC_TE_HEADLINE, "Стало");
    });
    TaskEditResult cancelled = EditTask(nullptr, app_, "Редактирование", rec);
    EXPECT_FALSE(cancelled.stored || cancelled.emptyHeadline);
    EXPECT_EQ(GetTaskField(cancelled.line, F::Headline), "Было");
    EXPECT_TRUE(app_.GetSetting("EDITPLACEMENT", "TOP").empty());  // only OK stores the place
  }
  {
    DriveEditor drive([&](Dialog& d) {
      Type(d, IDC_TE_HEADLINE, "");
      ClickPane(d, 5);
    });
    TaskEditResult empty = EditTask(nullptr, app_, "Редактирование", rec);
    EXPECT_TRUE(empty.emptyHeadline);
    EXPECT_FALSE(empty.stored);
  }
  {
    SetTaskField(rec, F::Date, "5/3/2013");
    testing::CapturedMessages messages;
    bool stillOpen = false;
    DriveEditor drive([&](Dialog& d) {
      Type(d, IDC_TE_NOTES, "не потерять");
      ClickPane(d, 5);
      stillOpen = IsWindow(d.hwnd()) && IsWindowVisible(d.hwnd());
    });
    TaskEditResult bad = EditTask(nullptr, app_, "Редактирование", rec);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(bad.stored);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "Проверте формат записи: DD/MM/YYYY или цифры в дате");
  }
}

TEST_F(TaskEditorDialog, TypedListsOkRefusesWhatTheyDoNotOfferAndAsksAboutARuleThatNeverFires) {
  std::string rec = NewRecord(kViewTasks, "25/03/2013");
  SetTaskField(rec, F::Headline, "Срок");
  std::vector<std::string> asked;
  bool answer = false;
  ui::SetQuestionHook([&](const std::string& q) {
    asked.push_back(q);
    return answer;
  });
  testing::CapturedMessages messages;
  std::string typedDay, typedMonth, typedYear;
  bool openAfterBadDay = false, openAfterNo = false;
  DriveEditor drive([&](Dialog& d) {
    Click(d, F::ReminderState);  // opens the panel
    TypeKeys(d, F::Day, L"ALL");
    TypeKeys(d, F::Month, L"ALL");
    TypeKeys(d, F::Year, L"20500");  // one more than any item
    typedDay = d.ItemText(Id(F::Day));
    typedMonth = d.ItemText(Id(F::Month));
    typedYear = d.ItemText(Id(F::Year));
    TypeList(d, F::Day, "32");
    ClickPane(d, 5);
    openAfterBadDay = IsWindowVisible(d.hwnd()) != FALSE;
    TypeList(d, F::Day, "27");
    TypeList(d, F::Month, "03");
    TypeList(d, F::Year, "2012");  // gone by: it would never fire
    ClickPane(d, 5);
    openAfterNo = IsWindowVisible(d.hwnd()) != FALSE;
    answer = true;
    ClickPane(d, 5);
  });
  TaskEditResult result = EditTask(nullptr, app_, "Редактирование", rec);
  ui::SetQuestionHook(nullptr);
  EXPECT_EQ(typedDay, "ALL");
  EXPECT_EQ(typedMonth, "ALL");
  EXPECT_EQ(typedYear, "2050");
  EXPECT_TRUE(openAfterBadDay);
  EXPECT_EQ(messages.texts(),
            std::vector<std::string>{"Поле \"День\" напоминания: допустимо 01–31 или ALL."});
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(asked, std::vector<std::string>(2, "Напоминание не сработает ни разу. Сохранить так?"));
  ASSERT_TRUE(result.stored);
  EXPECT_EQ(GetTaskField(result.line, F::Year), "2012");
}

TEST_F(TaskEditorDialog, PreviewSaysWhenARuleFiresOnceAndWhichBoxRepeatsIt) {
  std::string rec = NewRecord(kViewTasks, "25/03/2013");
  SetTaskField(rec, F::Headline, "Планёрка");
  std::string once, repeating;
  DriveEditor drive([&](Dialog& d) {
    Click(d, F::ReminderState);  // opens the panel
    Click(d, F::ByCalendar);
    for (F f : {F::Quarter1, F::Quarter2, F::Quarter3, F::Quarter4, F::QuarterMonth1, F::QuarterMonth2,
                F::QuarterMonth3, F::Week1, F::Week2, F::Week3, F::Week4, F::LastWeek})
      Click(d, f);
    Click(d, F::Wednesday);  // the Monday of today is set already; only Wednesday stays
    Click(d, F::Monday);
    TypeList(d, F::Hour, "09");
    TypeList(d, F::Minute, "00");
    once = d.ItemText(IDC_TE_PREVIEW);
    testing::LookPause("task editor: a weekly rule that fires once");
    Click(d, F::Permanent);
    repeating = d.ItemText(IDC_TE_PREVIEW);
  });
  EditTask(nullptr, app_, "Редактирование", rec);
  EXPECT_EQ(once,
            "Ср 27/03/2013 09:00\r\nСработает один раз и выключится. Чтобы повторялось, отметьте "
            "«Постоянное сообщение».");
  EXPECT_EQ(repeating.find("Сработает один раз"), std::string::npos) << repeating;
  EXPECT_EQ(repeating.substr(0, 19), "Ср 27/03/2013 09:00");
}

}  // namespace
}  // namespace vm::tasks
