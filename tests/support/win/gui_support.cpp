#include "support/win/gui_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "common/app_util.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::testing {

std::string VelmoriaExePath() {
  std::string p = VELMORIA_EXE_PATH;
  if (!p.empty() && p[0] == '/') {
    for (char& c : p)
      if (c == '/') c = '\\';
    p = "Z:" + p;
  }
  return p;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Pump(int ms, const std::function<bool()>& done) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpPending();
    if (done && done()) return;
    if (static_cast<int>(GetTickCount() - start) >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

CapturedMessages::CapturedMessages() {
  platform::SetMessageSink(
      [this](const std::string& text, platform::MessageIcon) { texts_.push_back(text); });
}

CapturedMessages::~CapturedMessages() {
  platform::SetMessageSink([](const std::string& text, platform::MessageIcon) {
    std::fprintf(stderr, "[message] %s\n", platform::Cp1251ToUtf8(text).c_str());
  });
}

void LookPause(const char* what, const std::function<void(MSG&)>& process) {
  const char* ms = std::getenv("VM_LOOK_MS");
  if (!ms || !*ms) return;
  std::printf("LOOK %s\n", what);
  std::fflush(stdout);
  DWORD start = GetTickCount();
  while (static_cast<int>(GetTickCount() - start) < std::atoi(ms)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (process) {
        process(msg);
      } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::vector<HWND> ThreadWindows(const wchar_t* className) {
  struct Search {
    const wchar_t* cls;
    std::vector<HWND> found;
  } s{className, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (lstrcmpiW(cls, s->cls) == 0) s->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {
thread_local UnexpectedDialogs* tWatching = nullptr;
}

UnexpectedDialogs::UnexpectedDialogs() : known_(ThreadWindows(L"#32770")) {
  tWatching = this;
  timer_ = SetTimer(nullptr, 0, 100, &UnexpectedDialogs::Check);
}

UnexpectedDialogs::~UnexpectedDialogs() {
  KillTimer(nullptr, timer_);
  tWatching = nullptr;
}

void CALLBACK UnexpectedDialogs::Check(HWND, UINT, UINT_PTR, DWORD) {
  UnexpectedDialogs* self = tWatching;
  if (!self) return;
  for (HWND w : ThreadWindows(L"#32770")) {
    if (std::find(self->known_.begin(), self->known_.end(), w) != self->known_.end()) continue;
    self->known_.push_back(w);
    wchar_t title[256] = {};
    GetWindowTextW(w, title, 256);
    self->titles_.push_back(ui::Narrow(title));
    PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring ThreadDesktopName() {
  wchar_t name[128] = {};
  DWORD needed = 0;
  GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name, sizeof name, &needed);
  return name;
}

namespace {
// Under Wine on Xvfb there is no window manager, and Wine waits two seconds for one
// each time a top-level window is hidden or destroyed. Inside a Wine desktop window the
// windows are Wine's own to manage, so the tests run there.
void MoveToWineDesktop() {
  if (!RunningUnderWine()) return;
  const wchar_t* name = L"vmtests";
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    const wchar_t size[] = L"1280x800";
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof size);
    RegCloseKey(key);
  }
  HDESK desk = CreateDesktopW(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desk) SetThreadDesktop(desk);
}

// Every GUI test runs with the program's resources and the common controls ready.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    MoveToWineDesktop();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    ASSERT_TRUE(ui::UseResourcesOf(ui::Wide(VelmoriaExePath()))) << VelmoriaExePath();
  }
};
[[maybe_unused]] ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);
}  // namespace

ProgramProcess::ProgramProcess(const std::string& exe) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring desktop = ThreadDesktopName();
  si.lpDesktop = desktop.data();
  std::wstring cmd = L"\"" + ui::Wide(exe) + L"\"";
  ok_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
}

ProgramProcess::~ProgramProcess() {
  if (!ok_) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool ProgramProcess::WaitExit(DWORD ms) {
  return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD ProgramProcess::exitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

namespace {

HWND FindProcessWindow(const std::wstring& title, DWORD pid, bool mustBeVisible) {
  HWND w = nullptr;
  while ((w = FindWindowExW(nullptr, w, nullptr, title.c_str())) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == pid && (!mustBeVisible || IsWindowVisible(w))) return w;
  }
  return nullptr;
}

}  // namespace

HWND WaitForProcessWindow(const std::wstring& title, DWORD pid, int ms, bool mustBeVisible) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (HWND w = FindProcessWindow(title, pid, mustBeVisible)) return w;
    Sleep(50);
  }
  return nullptr;
}

HWND WaitForDayWindow(DWORD pid, int ms, bool mustBeVisible) {
  const std::wstring atStart = ui::Wide(CAppUtil().DateTitle());
  for (int waited = 0; waited < ms; waited += 50) {
    if (HWND w = FindProcessWindow(atStart, pid, mustBeVisible)) return w;
    const std::wstring now = ui::Wide(CAppUtil().DateTitle());
    if (now != atStart)
      if (HWND w = FindProcessWindow(now, pid, mustBeVisible)) return w;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace vm::testing
