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

// The top-level windows of this thread whose class is `className`.
std::vector<HWND> ThreadWindows(const wchar_t* className);

}  // namespace vm::testing
