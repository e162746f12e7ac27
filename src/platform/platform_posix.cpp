// POSIX implementation: iconv for code pages, stdio/POSIX calls for files.
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace vm::platform {

namespace {

const char* IconvName(unsigned cp) {
  switch (cp) {
    case kCp1251: return "CP1251";
    case kCp866: return "CP866";
    case kKoi8R: return "KOI8-R";
    case kIso8859_5: return "ISO-8859-5";
    case kUtf8: return "UTF-8";
    default: return nullptr;
  }
}

// Runs iconv over the whole input; on an invalid or unmappable unit calls onBad,
// which appends its replacement and returns how many input bytes to skip (0 = fail).
template <typename OnBad>
bool RunIconv(const char* to, const char* from, const char* in, size_t inLeft, std::string& out,
              OnBad onBad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char buf[4096];
  char* src = const_cast<char*>(in);
  bool ok = true;
  while (inLeft > 0) {
    char* dst = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd, &src, &inLeft, &dst, &outLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      size_t skip = onBad(src, inLeft, out);
      if (skip == 0 || skip > inLeft) {
        ok = false;
        break;
      }
      src += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return ok;
}

std::string NativePath(const std::string& cp1251Path) {
  std::string p = Cp1251ToUtf8(cp1251Path);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

}  // namespace

unsigned OemCodePage() { return kCp866; }

bool ToUtf16(unsigned codePage, std::string_view bytes, std::u16string& out, bool strict) {
  const char* name = IconvName(codePage);
  out.clear();
  if (!name) return false;
  std::string raw;
  bool ok = RunIconv("UTF-16LE", name, bytes.data(), bytes.size(), raw,
                     [&](const char*, size_t, std::string& o) -> size_t {
                       if (strict) return 0;
                       o.append("\xFD\xFF", 2);  // U+FFFD little-endian
                       return 1;
                     });
  out.resize(raw.size() / 2);
  if constexpr (std::endian::native == std::endian::little) {
    // UTF-16LE bytes are the units themselves: one copy rather than a step per unit.
    if (!out.empty()) std::memcpy(out.data(), raw.data(), out.size() * 2);
  } else {
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) |
                                     static_cast<unsigned char>(raw[2 * i + 1]) << 8);
  }
  return ok;
}

bool FromUtf16(unsigned codePage, std::u16string_view text, std::string& out, char replacement,
               bool* lossy) {
  const char* name = IconvName(codePage);
  out.clear();
  if (lossy) *lossy = false;
  if (!name) return false;
  std::string raw(text.size() * 2, '\0');
  if constexpr (std::endian::native == std::endian::little) {
    if (!text.empty()) std::memcpy(raw.data(), text.data(), raw.size());
  } else {
    for (size_t i = 0; i < text.size(); ++i) {
      raw[2 * i] = static_cast<char>(text[i] & 0xFF);
      raw[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
  }
  return RunIconv(name, "UTF-16LE", raw.data(), raw.size(), out,
                  [&](const char* at, size_t left, std::string& o) -> size_t {
                    if (lossy) *lossy = true;
                    o.push_back(replacement);
                    if (left < 2) return left;
                    unsigned unit = static_cast<unsigned char>(at[0]) |
                                    static_cast<unsigned char>(at[1]) << 8;
                    bool pair = unit >= 0xD800 && unit < 0xDC00 && left >= 4;
                    return pair ? 4 : 2;
                  });
}

bool SystemReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  struct stat st;
  if (ok && stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  return ok;
}

bool SystemWriteFileBytes(const std::string& path, std::string_view bytes) {
  FILE* f = std::fopen(NativePath(path).c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool SystemFileExists(const std::string& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SystemStampOf(const std::string& path, FileStamp& stamp) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp.size = static_cast<uint64_t>(st.st_size);
  stamp.writeTime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

bool SystemDirExists(const std::string& path) {
  struct stat st;
  return stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SystemMakeDir(const std::string& path) { return mkdir(NativePath(path).c_str(), 0777) == 0; }

bool SystemRemoveFile(const std::string& path) { return unlink(NativePath(path).c_str()) == 0; }

bool SystemRemoveDir(const std::string& path) { return rmdir(NativePath(path).c_str()) == 0; }

bool SystemMoveFileNoReplace(const std::string& from, const std::string& to) {
  // link + unlink refuses an existing target without a window for a race.
  std::string f = NativePath(from), t = NativePath(to);
  if (link(f.c_str(), t.c_str()) != 0) return false;
  return unlink(f.c_str()) == 0;
}

std::vector<DirEntry> SystemListDir(const std::string& folder) {
  std::vector<DirEntry> out;
  std::string native = NativePath(folder);
  DIR* d = opendir(native.c_str());
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    std::string full = native + "/" + name;
    if (lstat(full.c_str(), &st) != 0) continue;
    out.push_back({Utf8ToCp1251(name), S_ISDIR(st.st_mode)});
  }
  closedir(d);
  return out;
}

SaveResult SystemSafeReplace(const std::string& path, std::string_view bytes) {
  SafeReplaceOps ops;
  ops.open = [](const std::string& p) -> void* {
    int fd = ::open(NativePath(p).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? nullptr : reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
  };
  auto fdOf = [](void* h) { return static_cast<int>(reinterpret_cast<intptr_t>(h) - 1); };
  ops.write = [fdOf](void* h, std::string_view b) {
    const char* p = b.data();
    size_t left = b.size();
    while (left > 0) {
      ssize_t n = ::write(fdOf(h), p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n;
      left -= static_cast<size_t>(n);
    }
    return true;
  };
  ops.flush = [fdOf](void* h) { return ::fsync(fdOf(h)) == 0; };
  ops.close = [fdOf](void* h) { return ::close(fdOf(h)) == 0; };
  ops.rename = [](const std::string& from, const std::string& to) {
    if (::rename(NativePath(from).c_str(), NativePath(to).c_str()) != 0) return false;
    // Make the new directory entry durable too.
    std::string dir = NativePath(to);
    auto cut = dir.find_last_of('/');
    dir = cut == std::string::npos ? "." : dir.substr(0, cut + 1);
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
    return true;
  };
  ops.remove = [](const std::string& p) { ::unlink(NativePath(p).c_str()); };
  return SafeReplaceWith(path, bytes, ops);
}

FileUpdateLock::FileUpdateLock(const std::string& path) {
  if (OtherFileLayer()) return;  // its folder need not exist on the disk
  // The file itself is replaced by rename, so the lock is taken on its folder.
  std::string dir = NativePath(path);
  auto cut = dir.find_last_of('/');
  dir = cut == std::string::npos ? "." : dir.substr(0, cut + 1);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
  for (int waited = 0; waited < 5000; waited += 10) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    usleep(10000);
  }
}

FileUpdateLock::~FileUpdateLock() {
  if (!handle_) return;
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(handle_) - 1);
  if (held_) flock(fd, LOCK_UN);
  ::close(fd);
}

std::string NativeModulePath() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  std::string p = Utf8ToCp1251(std::string(buf, static_cast<size_t>(n)));
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void NativeShowMessage(const std::string& cp1251Text, MessageIcon) {
  std::fprintf(stderr, "Velmoria: %s\n", Cp1251ToUtf8(cp1251Text).c_str());
}

LocalTime LocalTimeOfWrite(int64_t writeTime) {
  std::time_t t = static_cast<std::time_t>(writeTime / 1000000000);
  std::tm tm{};
  localtime_r(&t, &tm);
  return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                   static_cast<int>(writeTime % 1000000000 / 1000000)};
}

std::string MachineName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return Utf8ToCp1251(name);
}

std::string UserName() {
  const char* user = std::getenv("USER");
  if (!user || !*user) user = std::getenv("LOGNAME");
  return user ? Utf8ToCp1251(user) : std::string();
}

uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

bool ProcessRunning(uint32_t pid) {
  if (pid == 0) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

LocalTime Now() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  LocalTime lt;
  lt.year = tm.tm_year + 1900;
  lt.month = tm.tm_mon + 1;
  lt.day = tm.tm_mday;
  lt.hour = tm.tm_hour;
  lt.minute = tm.tm_min;
  lt.second = tm.tm_sec;
  lt.millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return lt;
}

}  // namespace vm::platform
