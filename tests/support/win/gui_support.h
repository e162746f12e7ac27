// What the GUI tests share: the program's resources (taken from Velmoria.exe, since the
// test binary is another executable), message pumping, captured message boxes, and a
// pause for looking at the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vm::testing {

// Velmoria.exe as a Windows path (the build passes a Unix one).
std::string VelmoriaExePath();

// Dispatches this thread's messages for a while (or until `done` says so).
void Pump(int ms, const std::function<bool()>& done = nullptr);
// Dispatches what is queued now, then returns.
void PumpPending();

// Messages the program shows while the guard lives.
class CapturedMessages {
 public:
  CapturedMessages();
  ~CapturedMessages();
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

// With VM_LOOK_MS set, keeps the windows on screen that long so a screenshot can be
// taken (scripts/screenshot); prints `what` first. Does nothing otherwise.
void LookPause(const char* what, const std::function<void(MSG&)>& process = nullptr);

bool RunningUnderWine();
// The desktop the tests' windows live on; programs the tests start go there too.
std::wstring ThreadDesktopName();

// Velmoria.exe (or another program) started on the tests' desktop, so that its windows
// can be found from here; killed at the end if it is still running.
class ProgramProcess {
 public:
  explicit ProgramProcess(const std::string& exe);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  bool started() const { return ok_; }
  bool WaitExit(DWORD ms);
  DWORD exitCode() const;
  DWORD pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
  bool ok_ = false;
};

// The top-level window with the title that belongs to the process, waited for up to ms.
HWND WaitForProcessWindow(const std::wstring& title, DWORD pid, int ms, bool mustBeVisible = false);
// The same for the program's main window, titled with the day: the day's title when the
// wait begins or when it looks, so a run that crosses midnight still finds the window.
HWND WaitForDayWindow(DWORD pid, int ms, bool mustBeVisible = false);

// The top-level windows of this thread whose class is `className`.
std::vector<HWND> ThreadWindows(const wchar_t* className);

// Dialog boxes (class #32770) this thread shows while the guard lives, besides those
// open when it began: each is noted by its title and cancelled from a timer that runs
// inside its modal loop, so a test that meets one fails instead of waiting for a person.
class UnexpectedDialogs {
 public:
  UnexpectedDialogs();
  ~UnexpectedDialogs();
  UnexpectedDialogs(const UnexpectedDialogs&) = delete;
  UnexpectedDialogs& operator=(const UnexpectedDialogs&) = delete;
  const std::vector<std::string>& titles() const { return titles_; }

 private:
  static void CALLBACK Check(HWND, UINT, UINT_PTR, DWORD);
  UINT_PTR timer_ = 0;
  std::vector<HWND> known_;
  std::vector<std::string> titles_;
};

}  // namespace vm::testing
