#include "app/pages.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "cards/win/contacts_page.h"
#include "cards/win/firms_page.h"
#include "common/ask_dialogs.h"
#include "common/backup.h"
#include "common/book_guard.h"
#include "data/data_file.h"
#include "data/win/data_page.h"
#include "dates/win/dates_page.h"
#include "notebook/notebook_merge.h"
#include "notebook/win/notebook_page.h"
#include "shell/book_merge.h"
#include "shell/win/about_page.h"
#include "shell/win/changed_question.h"
#include "shell/win/startup_win.h"
#include "shell/win/velmoria_sheet.h"
#include "spreadsheet/win/spreadsheet_page.h"
#include "tasks/win/tasks_page.h"

namespace vm::app {

std::vector<std::unique_ptr<shell::BookPage>> MakePages(const CAppUtil& app) {
  std::vector<std::unique_ptr<shell::BookPage>> pages;
  pages.push_back(std::make_unique<data::CPh>(app));
  pages.push_back(std::make_unique<cards::CContDlg>(app));
  pages.push_back(std::make_unique<cards::CFirm>(app));
  pages.push_back(std::make_unique<dates::CMes>(app));
  pages.push_back(std::make_unique<notebook::CNoteBook>(app));
  pages.push_back(std::make_unique<tasks::CWork>(app));
  pages.push_back(std::make_unique<spreadsheet::CLikeExcelDlg>(app));
  pages.push_back(std::make_unique<shell::about>(app));
  return pages;
}

std::optional<std::string> MergeBooks(const std::string& path, std::string_view base, std::string_view mine,
                                      std::string_view theirs) {
  std::optional<shell::Book> book = shell::BookOfPath(path);
  if (!book || !shell::CanMerge(*book)) return std::nullopt;
  MergeResult merged = *book == shell::Book::kNotebook ? notebook::MergeNotebook(base, mine, theirs, FileNameOfPath(path))
                       : *book == shell::Book::kData   ? data::MergeTables(base, mine, theirs)
                                                       : shell::MergeRecordBook(*book, base, mine, theirs);
  if (!merged.merged) return std::nullopt;
  return std::move(merged.bytes);
}

void InstallBackups(const CAppUtil& app) {
  backup::Keeper keeper;
  keeper.folder = app.ProgramFolder() + backup::kFolderName + "\\";
  keeper.keepDays = [app] { return backup::DaysFromSetting(app.GetSetting("GENERAL", "BACKUPDAYS")); };
  keeper.today = [] {
    platform::LocalTime now = platform::Now();
    return backup::Day{now.year, now.month, now.day};
  };
  keeper.report = [](const std::string& message) {
    platform::ShowMessage(message, platform::MessageIcon::kExclamation);
  };
  backup::Install(std::move(keeper));
  // The settings file is read all the time but written only when a setting changes.
  backup::DropLeftovers(app.SettingsPath());
}

int RunVelmoria() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);
  const CAppUtil app;
  InstallBackups(app);
  shell::InstallBookGuard(MergeBooks);
  shell::StartupState state = shell::RunStartupSteps(app);
  shell::CVelmoriaSheet sheet(app, MakePages(app));
  sheet.SetBottomCaption(app.Unscramble(kStoredCaption));
  sheet.EnableSplash(state.splashEnabled);
  // The sheet's modal run is the program: when it returns, the program ends.
  int code = sheet.DoModal();
  guard::Install({});  // the books' locks go with the program
  return code;
}

}  // namespace vm::app
