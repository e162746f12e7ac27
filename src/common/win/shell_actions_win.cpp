#include "common/win/shell_actions_win.h"

#include <shellapi.h>

#include <string_view>

#include "platform/platform.h"

namespace vm {

namespace {

std::wstring Wide(const std::string& cp1251) {
  std::u16string w;
  platform::ToUtf16(platform::kCp1251, cp1251, w);
  return std::wstring(w.begin(), w.end());
}

// The ANSI bytes a "...A" function expects, from cp1251 text.
std::string Ansi(const std::string& cp1251) {
  std::wstring w = Wide(cp1251);
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

int ShellCode(HINSTANCE h) { return static_cast<int>(reinterpret_cast<INT_PTR>(h)); }

// The default value of a key under HKEY_CLASSES_ROOT, environment references expanded.
bool ReadClassesDefault(const std::wstring& subKey, std::wstring& value) {
  DWORD bytes = 0;
  // REG_SZ alone: an expandable value comes back expanded, as REG_SZ; asking for
  // REG_EXPAND_SZ as well would need RRF_NOEXPAND and leave it unexpanded.
  DWORD flags = RRF_RT_REG_SZ;
  if (RegGetValueW(HKEY_CLASSES_ROOT, subKey.c_str(), nullptr, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS ||
      bytes < sizeof(wchar_t) || bytes > 65536)
    return false;
  std::wstring buf(bytes / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CLASSES_ROOT, subKey.c_str(), nullptr, flags, nullptr, buf.data(), &bytes) != ERROR_SUCCESS)
    return false;
  buf.resize(wcsnlen(buf.c_str(), buf.size()));
  value.swap(buf);
  return !value.empty();
}

// Starts a command line as WinExec would and answers as WinExec does (above 31 on
// success), but takes the line as UTF-16 so a target outside the ANSI code page survives.
int RunCommandLine(std::wstring commandLine, int showMode) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND: return 2;
      case ERROR_PATH_NOT_FOUND: return 3;
      case ERROR_ACCESS_DENIED: return 5;
      case ERROR_BAD_EXE_FORMAT: return 11;
      default: return 0;
    }
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 33;
}

class Tapi32Link : public TelephonyLink {
 public:
  bool LoadService() override {
    module_ = LoadLibraryW(L"TAPI32.DLL");
    return module_ != nullptr;
  }
  bool FindCall() override {
    call_ = reinterpret_cast<MakeCall>(reinterpret_cast<void*>(GetProcAddress(module_, "tapiRequestMakeCallA")));
    return call_ != nullptr;
  }
  std::int32_t Call(const std::string& number, const std::optional<std::string>& party1,
                    const std::optional<std::string>& party2) override {
    std::string n = Ansi(number);
    std::string p1 = party1 ? Ansi(*party1) : std::string();
    std::string p2 = party2 ? Ansi(*party2) : std::string();
    return call_(n.c_str(), party1 ? p1.c_str() : nullptr, party2 ? p2.c_str() : nullptr, nullptr);
  }

 private:
  using MakeCall = LONG(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR);
  HMODULE module_ = nullptr;  // kept loaded for the life of the process
  MakeCall call_ = nullptr;
};

}  // namespace

int OpenTarget(const std::string& target, int showMode) {
  std::wstring wide = Wide(target);
  int code = ShellCode(ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, showMode));
  if (code > 32) return code;
  std::wstring docClass, command;
  if (!ReadClassesDefault(L".htm", docClass) || !ReadClassesDefault(docClass + L"\\shell\\open\\command", command))
    return code;
  return RunCommandLine(BrowserFallbackCommand<wchar_t>(command, wide), showMode);
}

void ReportOpenFailure(int code, HWND owner) {
  MessageBeep(MB_ICONEXCLAMATION);
  // Through the platform's message, so a test can capture it instead of blocking.
  platform::ShowMessage(OpenFailureMessage(code), platform::MessageIcon::kExclamation);
}

bool OpenInTextEditor(HWND owner, const std::string& path, const std::string& message) {
  std::wstring file = Wide(path);
  if (file.find(L' ') != std::wstring::npos) file = L"\"" + file + L"\"";
  int code = ShellCode(ShellExecuteW(owner, L"open", L"notepad.exe", file.c_str(), L".", SW_SHOWNORMAL));
  if (code > 32) return true;
  platform::ShowMessage(message, platform::MessageIcon::kExclamation);
  return false;
}

std::int32_t Dial(const std::string& number, const std::optional<std::string>& party1,
                  const std::optional<std::string>& party2) {
  static Tapi32Link link;
  static Dialer dialer;
  return dialer.Dial(link, number, party1, party2);
}

void OpenHelp() {
  std::wstring help = Wide(platform::ProgramFolder() + "Velmoria.chm");
  ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Perform(const ShellRequest& request) {
  switch (request.kind) {
    case ShellRequest::kDial: Dial(request.number, request.party1, request.party2); break;
    case ShellRequest::kOpen: OpenTarget(request.target, kShowNormal); break;
    case ShellRequest::kNothing: break;
  }
}

}  // namespace vm
