// CVelmoriaSheet: the main window, a property sheet with one tab per book, run as the
// program's main loop. It keeps its place between runs, lives in the notification area
// while hidden, runs the one timer, saves every book and empties "Temp" at exit.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/app_util.h"
#include "shell/books.h"
#include "shell/find_books.h"
#include "shell/sheet_rules.h"
#include "shell/win/book_page.h"
#include "shell/win/find_window.h"
#include "shell/win/splash.h"
#include "shell/win/system_tray.h"
#include "ui/dialog.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace vm::shell {

inline constexpr UINT kTrayCallbackMessage = WM_USER + 100;
inline constexpr UINT kReminderWindowMessage = WM_USER + 1025;
inline constexpr UINT_PTR kSheetTimerId = 1;
inline constexpr UINT kSheetTimerMs = 10;

class CVelmoriaSheet {
 public:
  // Caption = the title text of today; the pages in tab order, as the program's start
  // made them; the window icon; "HIDE". `app` outlives the sheet.
  CVelmoriaSheet(const CAppUtil& app, std::vector<std::unique_ptr<BookPage>> pages, HWND parent = nullptr);
  ~CVelmoriaSheet();
  CVelmoriaSheet(const CVelmoriaSheet&) = delete;
  CVelmoriaSheet& operator=(const CVelmoriaSheet&) = delete;

  // From start-up: the (unscrambled) bottom caption and whether the splash shows.
  void SetBottomCaption(std::string cp1251) { bottomCaption_ = std::move(cp1251); }
  void EnableSplash(bool on) { splashEnabled_ = on; }
  // The timer's clock; the local time unless replaced (tests).
  void SetClock(std::function<platform::LocalTime()> clock) { clock_ = std::move(clock); }

  // The whole modal run: Create, the loop, Finish. Returns the exit code.
  int DoModal();
  // The window and its set-up; it shows as "PLACEMENT" says (or stays hidden at start).
  bool Create();
  // One message through the sheet's pre-translation and dispatch.
  void Process(MSG& msg);
  // The modal loop's check: hides the sheet's own buttons again; false once the run
  // has ended (close box, "Закрыть", a newer copy, Esc as a dialog's Cancel).
  bool Continue();
  // The exit sequence, then the window goes.
  void Finish();

  // Saves every book. An automatic save (hiding, exit) never asks about a book changed
  // elsewhere; "Сохранить все" is the user's and does.
  void SaveAll(bool automatic = true);
  // Looks for books changed on disk now (the timer does it once a second): a page whose
  // book had no unsaved changes loads the file again, one with changes is marked and
  // asked about when it is on show.
  void PollDisk();
  // What the bottom line says of the last change on disk; empty when nothing changed.
  const std::string& diskNote() const { return diskNote_; }
  // "Закрыть" in the tray menu, the close box, a newer copy: every book is saved, and
  // each whose save failed is asked about (AskUnsavedBook) before the run ends. False
  // when the user chose to stay: the program goes on running.
  bool RequestExit();
  void HideToTray();
  // Esc or the sheet's Cancel: asks kCloseQuestion, No by default; Yes ends the run.
  void AskClose();
  void SavePlacement();
  void RestorePlacement();

  const BookSet& books() const { return books_; }
  const CAppUtil& app() const { return app_; }
  CSystemTray& tray() { return tray_; }
  HWND hwnd() const { return hwnd_; }
  HWND tabControl() const;
  int ActiveTab() const;
  void ActivateTab(int index);
  BookPage& page(int index) { return *pages_[index]; }
  int pageCount() const { return static_cast<int>(pages_.size()); }
  bool openedByUser() const { return openedByUser_; }
  int hideAtStart() const { return hideAtStart_; }
  SIZE initialSize() const { return initialSize_; }
  const std::string& caption() const { return caption_; }
  const Splash& splash() const { return splash_; }
  // Times the wait window has been shown (SaveAll).
  int waitWindowsShown() const { return waitShown_; }

  // ---- "Найти везде"
  // Opens the window over every book (made on first use); every page is made first, so
  // each book is loaded and searched.
  void OpenFindEverywhere();
  // The window, or null before it was first opened.
  FindEverywhereWindow* findWindow() { return findWindow_.get(); }
  // Brings the sheet and the hit's page to the front, and the page to the hit.
  bool GoToFound(const FoundLine& line);

 private:
  class Steps;
  static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  bool OnCommand(int id);
  void SetUpBeforePages();
  void RunSetup();
  bool PreTranslate(MSG& msg);
  bool OwnedDialogKeys(MSG& msg);
  void HideOwnButtons();
  void CenterInWorkArea();
  void LayoutOnSize(int width, int height);
  void FitActivePage();
  void Paint(HDC dc);
  void MakeTabImages();
  void MakeCaptionFont();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void Tick();
  void AskMarkedOnShow();
  void OnReminderWindow(int code);
  // SaveAll, then the question about each book whose save failed; false when the user
  // chose to stay.
  bool SaveAllSettled();

  const CAppUtil& app_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  ui::Subclass hook_;
  std::string caption_;
  std::string bottomCaption_;
  std::string diskNote_;  // shown in the bottom caption's place while set
  int pollSecond_ = -1;
  bool askingChanged_ = false;
  std::vector<BookCalls*> marked_;  // pages whose books changed on disk while edited
  bool splashEnabled_ = false;
  std::function<platform::LocalTime()> clock_;

  std::vector<std::unique_ptr<BookPage>> pages_;
  BookSet books_;
  CSystemTray tray_;
  Splash splash_;
  ui::UniqueIcon bigIcon_, smallIcon_, trayIcon_;
  ui::UniqueImageList tabImages_;
  int dpi_ = 0;  // the scale the window is drawn at
  ui::UniqueFont captionFont_;
  ui::UniqueAccel accel_;

  bool openedByUser_ = false;
  int hideAtStart_ = 0;
  bool ending_ = false;
  bool exitSettled_ = false;  // the books were saved and the unsaved ones settled for the exit
  bool finished_ = false;
  SIZE initialSize_{0, 0};
  ClientTracker client_;
  TickClock tickClock_;
  int waitShown_ = 0;
  UINT taskbarCreated_ = 0;

  FindEverywhere everywhere_;
  std::unique_ptr<FindEverywhereWindow> findWindow_;
};

}  // namespace vm::shell
