// Scratch folders for tests: each one is a fresh, empty program folder that is
// removed again when the test ends.
#pragma once

#include <string>

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

  // Makes this folder the program folder that CAppUtil and the core see.
  void MakeProgramFolder(const std::string& baseName = "Velmoria") const;

 private:
  std::string path_;
};

// Reads a whole file; "<missing>" when it cannot be read.
std::string Slurp(const std::string& path);
void Spit(const std::string& path, const std::string& bytes);

}  // namespace vm::testing
