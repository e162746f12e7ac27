// The shell actions against the real system (under Wine here): the ".htm" fallback runs
// the registered browser command, and telephony is loaded once.
#include "common/win/shell_actions_win.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;

std::wstring Wide(const std::string& cp1251) {
  std::u16string w;
  platform::ToUtf16(platform::kCp1251, cp1251, w);
  return std::wstring(w.begin(), w.end());
}

bool SetClassesDefault(const std::wstring& key, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Registers a ".htm" browser whose command leaves a marker file, and takes it away again
// afterwards. A fresh Wine prefix has no ".htm" class; a system that has one (any real
// Windows) keeps it, and the test is skipped there rather than touch it.
class HtmFallback : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY existing;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".htm", 0, KEY_READ, &existing) == ERROR_SUCCESS) {
      RegCloseKey(existing);
      GTEST_SKIP() << "this system already has a .htm class";
    }
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    marker_ = dir_ / "browser ran.txt";
    std::wstring command = std::wstring(system) + L"\\cmd.exe /c echo>\"" + Wide(marker_) + L"\" \"%1\"";
    registered_ = true;
    if (!SetClassesDefault(L".htm", L"VelmoriaTestPage") ||
        !SetClassesDefault(L"VelmoriaTestPage\\shell\\open\\command", command))
      GTEST_SKIP() << "the file classes cannot be written here";
  }
  void TearDown() override {
    if (!registered_) return;
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".htm");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VelmoriaTestPage");
  }

  // The marker's text once the browser command has written it, or empty after a while.
  std::string WaitForMarker() {
    for (int i = 0; i < 100; ++i) {
      std::string text;
      if (platform::ReadFileBytes(marker_, text) && !text.empty()) return text;
      Sleep(100);
    }
    return {};
  }

  ScratchFolder dir_;
  std::string marker_;
  bool registered_ = false;
};

TEST_F(HtmFallback, ATargetTheShellRefusesGoesToTheRegisteredBrowser) {
  // The command is cut before "\"%1\"" and the target appended after a space, so the
  // echo writes the target into the marker.
  int code = OpenTarget("velmoria-no-such-scheme:page", kShowNormal);
  EXPECT_GT(code, 31);
  std::string text = WaitForMarker();
  EXPECT_NE(text.find("velmoria-no-such-scheme:page"), std::string::npos) << text;
}

TEST(Telephony, LoadsOnceAndIgnoresEmptyNumbers) {
  EXPECT_EQ(Dial("", std::string("a"), std::string("b")), 0);
  std::int32_t first = Dial("+7 900 000-00-00", std::string("Иванов"), std::string("инженер"));
  std::int32_t second = Dial("+7 900 000-00-00", std::nullopt, std::nullopt);
  if (first == kTelephonyMissing) {
    // No library: every later dial answers the same at once. A missing function gives up.
    EXPECT_TRUE(second == kTelephonyMissing || second == kTelephonyGaveUp) << second;
  } else {
    EXPECT_EQ(second, first);  // the service answered both the same way
  }
}

}  // namespace
}  // namespace vm
