#include "support/scratch.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace vm::testing {

namespace {

std::string BaseTemp() {
#ifdef _WIN32
  const char* t = std::getenv("TEMP");
  // The environment's narrow text is in the system code page, cp1251 here.
  std::string base = t ? std::string(t) : std::string("C:\\");
#else
  const char* t = std::getenv("TMPDIR");
  std::string base = platform::Utf8ToCp1251(t ? t : "/tmp");
  for (char& c : base)
    if (c == '/') c = '\\';
#endif
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base;
}

void RemoveTree(const std::string& folder) {
  for (const auto& e : platform::ListDir(folder)) {
    std::string p = folder + "\\" + e.name;
    if (e.isDir) {
      RemoveTree(p);
      platform::RemoveDir(p);
    } else {
      platform::RemoveFile(p);
    }
  }
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = BaseTemp() + "vmtest_" + std::to_string(stamp % 1000000007) + "_" +
                            std::to_string(counter++);
    if (platform::MakeDir(candidate)) {
      path_ = candidate + "\\";
      return;
    }
  }
  std::fprintf(stderr, "cannot make a scratch folder\n");
  std::abort();
}

ScratchFolder::~ScratchFolder() {
  std::string folder = path_.substr(0, path_.size() - 1);
  RemoveTree(folder);
  platform::RemoveDir(folder);
}

std::string Slurp(const std::string& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return "<missing>";
  return bytes;
}

void Spit(const std::string& path, const std::string& bytes) { platform::WriteFileBytes(path, bytes); }

}  // namespace vm::testing
