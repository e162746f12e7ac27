// Windows implementation: the W functions only, so the result never depends on the
// process's ANSI code page.
#include <windows.h>

#include <cwchar>
#include <cwctype>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace vm::platform {

namespace {

std::wstring Wide(const std::string& cp1251) {
  std::u16string w;
  ToUtf16(kCp1251, cp1251, w);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* w) {
  std::u16string u(reinterpret_cast<const char16_t*>(w));
  std::string out;
  FromUtf16(kCp1251, u, out);
  return out;
}

HANDLE HandleOf(void* h) { return static_cast<HANDLE>(h); }

}  // namespace

unsigned OemCodePage() { return GetOEMCP(); }

bool ToUtf16(unsigned codePage, std::string_view bytes, std::u16string& out, bool strict) {
  out.clear();
  if (bytes.empty()) return true;
  DWORD flags = strict && codePage == kUtf8 ? MB_ERR_INVALID_CHARS : 0;
  int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return true;
}

bool FromUtf16(unsigned codePage, std::u16string_view text, std::string& out, char replacement,
               bool* lossy) {
  out.clear();
  if (lossy) *lossy = false;
  if (text.empty()) return true;
  const wchar_t* src = reinterpret_cast<const wchar_t*>(text.data());
  int len = static_cast<int>(text.size());
  if (codePage == kUtf8) {
    int n = WideCharToMultiByte(CP_UTF8, 0, src, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return false;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, src, len, out.data(), n, nullptr, nullptr);
    return true;
  }
  char def[2] = {replacement, 0};
  BOOL used = FALSE;
  int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, src, len, nullptr, 0, def, &used);
  if (n <= 0) return false;
  out.resize(static_cast<size_t>(n));
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, src, len, out.data(), n, def, &used);
  if (lossy) *lossy = used != FALSE;
  return true;
}

bool SystemReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  for (;;) {
    if (!::ReadFile(h, buf, sizeof buf, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(buf, got);
  }
  CloseHandle(h);
  return ok;
}

static bool WriteAll(HANDLE h, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD put = 0;
    if (!::WriteFile(h, p, chunk, &put, nullptr) || put == 0) return false;
    p += put;
    left -= put;
  }
  return true;
}

bool SystemWriteFileBytes(const std::string& path, std::string_view bytes) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(h, bytes);
  return CloseHandle(h) && ok;
}

bool SystemFileExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemStampOf(const std::string& path, FileStamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &d) ||
      (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  stamp.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  stamp.writeTime =
      static_cast<int64_t>((static_cast<uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) | d.ftLastWriteTime.dwLowDateTime);
  return true;
}

bool SystemDirExists(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemMakeDir(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0; }

bool SystemRemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

bool SystemRemoveDir(const std::string& path) { return RemoveDirectoryW(Wide(path).c_str()) != 0; }

bool SystemMoveFileNoReplace(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0) != 0;
}

std::vector<DirEntry> SystemListDir(const std::string& folder) {
  std::vector<DirEntry> out;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += "*";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    out.push_back({Narrow(fd.cFileName), (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return out;
}

SaveResult SystemSafeReplace(const std::string& path, std::string_view bytes) {
  SafeReplaceOps ops;
  ops.open = [](const std::string& p) -> void* {
    HANDLE h = CreateFileW(Wide(p).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
  };
  ops.write = [](void* h, std::string_view b) { return WriteAll(HandleOf(h), b); };
  ops.flush = [](void* h) { return FlushFileBuffers(HandleOf(h)) != 0; };
  ops.close = [](void* h) { return CloseHandle(HandleOf(h)) != 0; };
  ops.rename = [](const std::string& from, const std::string& to) {
    std::wstring f = Wide(from), t = Wide(to);
    // An antivirus or a sync client may hold the target for a moment.
    DWORD delay = 10;
    for (int attempt = 0;; ++attempt) {
      if (MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
      DWORD err = GetLastError();
      bool transient = err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED || err == ERROR_LOCK_VIOLATION;
      if (!transient || attempt >= 6) return false;
      Sleep(delay);
      delay *= 2;
    }
  };
  ops.remove = [](const std::string& p) { DeleteFileW(Wide(p).c_str()); };
  return SafeReplaceWith(path, bytes, ops);
}

FileUpdateLock::FileUpdateLock(const std::string& path) {
  // A named mutex per file: its name may not hold "\", so the path is folded into a
  // hash.
  std::wstring wide = Wide(path);
  unsigned long long h = 1469598103934665603ull;
  for (wchar_t c : wide) {
    h ^= static_cast<unsigned long long>(towlower(c));
    h *= 1099511628211ull;
  }
  wchar_t name[64];
  swprintf(name, 64, L"Local\\Velmoria.%016llx", h);
  HANDLE m = CreateMutexW(nullptr, FALSE, name);
  if (!m) return;
  handle_ = m;
  DWORD r = WaitForSingleObject(m, 5000);
  held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

FileUpdateLock::~FileUpdateLock() {
  if (!handle_) return;
  if (held_) ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}

std::string NativeModulePath() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  buf.resize(n);
  return Narrow(buf.c_str());
}

void NativeShowMessage(const std::string& cp1251Text, MessageIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case MessageIcon::kInformation: flags |= MB_ICONINFORMATION; break;
    case MessageIcon::kExclamation: flags |= MB_ICONEXCLAMATION; break;
    case MessageIcon::kStop: flags |= MB_ICONSTOP; break;
    case MessageIcon::kNone: break;
  }
  MessageBoxW(GetActiveWindow(), Wide(cp1251Text).c_str(), L"Velmoria", flags);
}

LocalTime LocalTimeOfWrite(int64_t writeTime) {
  FILETIME utc{static_cast<DWORD>(writeTime), static_cast<DWORD>(static_cast<uint64_t>(writeTime) >> 32)};
  FILETIME local;
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return LocalTime{};
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

std::string MachineName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &n) ? Narrow(name) : std::string();
}

std::string UserName() {
  wchar_t name[257] = {};
  DWORD n = GetEnvironmentVariableW(L"USERNAME", name, 257);
  return n > 0 && n < 257 ? Narrow(name) : std::string();
}

uint32_t ProcessId() { return GetCurrentProcessId(); }

bool ProcessRunning(uint32_t pid) {
  if (pid == 0) return false;
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  bool running = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return running;
}

LocalTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime lt;
  lt.year = st.wYear;
  lt.month = st.wMonth;
  lt.day = st.wDay;
  lt.hour = st.wHour;
  lt.minute = st.wMinute;
  lt.second = st.wSecond;
  lt.millisecond = st.wMilliseconds;
  return lt;
}

}  // namespace vm::platform
