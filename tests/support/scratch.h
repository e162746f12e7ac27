// Scratch folders for tests: each one is a fresh, empty folder that is removed again
// when the test ends. ProgramFolderTest (program_folder.h) makes one a program folder.
#pragma once

#include <set>
#include <string>

#include "platform/platform.h"

namespace vm::testing {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with its trailing "\" (core path form).
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Reads a whole file; "<missing>" when it cannot be read.
std::string Slurp(const std::string& path);
void Spit(const std::string& path, const std::string& bytes);

// The system's files, except that reading the files named in `held` fails, as when
// another process holds them open; in place while the object lives.
class HeldFiles final : public platform::FileLayer {
 public:
  HeldFiles() { platform::SetFileLayer(this); }
  ~HeldFiles() override { platform::SetFileLayer(nullptr); }
  std::set<std::string> held;

  bool ReadFileBytes(const std::string& path, std::string& bytes) override {
    return !held.count(path) && sys_.ReadFileBytes(path, bytes);
  }
  bool WriteFileBytes(const std::string& path, std::string_view bytes) override {
    return sys_.WriteFileBytes(path, bytes);
  }
  bool FileExists(const std::string& path) override { return sys_.FileExists(path); }
  bool DirExists(const std::string& path) override { return sys_.DirExists(path); }
  bool MakeDir(const std::string& path) override { return sys_.MakeDir(path); }
  bool RemoveFile(const std::string& path) override { return sys_.RemoveFile(path); }
  bool RemoveDir(const std::string& path) override { return sys_.RemoveDir(path); }
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override {
    return sys_.MoveFileNoReplace(from, to);
  }
  std::vector<platform::DirEntry> ListDir(const std::string& folder) override { return sys_.ListDir(folder); }
  platform::SaveResult SafeReplace(const std::string& path, std::string_view bytes) override {
    return sys_.SafeReplace(path, bytes);
  }

 private:
  platform::FileLayer& sys_ = platform::SystemFiles();
};

}  // namespace vm::testing
