// Velmoria.exe started for real in an empty program folder, then stopped the way a
// second copy stops it.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "shell/app_util.h"
#include "support/scratch.h"
#include "ui/text.h"

namespace vm {
namespace {

// The build passes the exe's Unix path; Wine shows the Unix root as drive Z:.
std::string ExePath() {
  std::string p = VELMORIA_EXE_PATH;
  if (!p.empty() && p[0] == '/') {
    for (char& c : p)
      if (c == '/') c = '\\';
    p = "Z:" + p;
  }
  return p;
}

class Program {
 public:
  explicit Program(const std::string& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring cmd = L"\"" + ui::Wide(exe) + L"\"";
    ok_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
  }
  ~Program() {
    if (!ok_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  bool started() const { return ok_; }
  bool WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  DWORD pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
  bool ok_ = false;
};

// The top-level window with the title that belongs to the process.
HWND WaitForWindow(const std::wstring& title, DWORD pid, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, nullptr, title.c_str())) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == pid) return w;
    }
    Sleep(50);
  }
  return nullptr;
}

TEST(StartupEndToEnd, MakesFoldersMovesOldFirmsAndYieldsToASecondCopy) {
  testing::ScratchFolder dir;
  std::string exe = dir / "Velmoria.exe";
  ASSERT_TRUE(CopyFileW(ui::Wide(ExePath()).c_str(), ui::Wide(exe).c_str(), FALSE)) << ExePath();
  platform::MakeDir(dir / "Support");
  testing::Spit(dir / "Support\\firm.dbf", "ООО Ромашка|||||||\r\n");

  std::wstring title = ui::Wide(CAppUtil().DateTitle());
  Program first(exe);
  ASSERT_TRUE(first.started());
  ASSERT_NE(WaitForWindow(title, first.pid(), 20000), nullptr) << "the first copy shows no titled window";

  EXPECT_TRUE(platform::DirExists(dir / "Temp"));
  EXPECT_EQ(testing::Slurp(dir / "Support\\cont.dbc"), "");
  EXPECT_EQ(testing::Slurp(dir / "Support\\firm.dbo"), "ООО Ромашка|||||||\r\n");
  EXPECT_FALSE(platform::FileExists(dir / "Support\\firm.dbf"));

  Program second(exe);
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(first.WaitExit(20000)) << "the first copy did not close for the second";
  HWND w = WaitForWindow(title, second.pid(), 20000);
  ASSERT_NE(w, nullptr);
  PostMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitExit(20000));
}

}  // namespace
}  // namespace vm
