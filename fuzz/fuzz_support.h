// What the fuzz targets share: files in memory in place of the disk, and a failure
// report that prints the input so that it can be added to the corpus.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/memory_files.h"

namespace vm::fuzz {

// Every file call of a fuzz target goes to memory: a target loads and saves at the speed
// of its code, not of the file system, and leaves nothing behind. Put in place before
// the first input, for the whole process.
inline platform::MemoryFiles& Files() {
  static platform::MemoryFiles* files = [] {
    auto* f = new platform::MemoryFiles;
    platform::SetFileLayer(f);
    return f;
  }();
  return *files;
}
inline const bool kFilesInMemory = (Files(), true);

// An empty folder in memory for one input, with its trailing "\" (core path form).
// Whatever the input wrote is freed again when it ends, so each run frees what it
// allocates: libFuzzer reruns an input that seems to leak, and a folder left over to
// the next input made every run look like a leak.
class Scratch {
 public:
  Scratch() {
    Files().Clear();
    Files().MakeDirs(kFolder);
  }
  ~Scratch() { Files().Clear(); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  static std::string Folder() { return kFolder; }

 private:
  static constexpr const char* kFolder = "M:\\fuzz\\";
};

// Prints what broke and the failing input byte for byte, then aborts.
[[noreturn]] inline void Report(const std::string& input, const char* what) {
  std::fprintf(stderr, "%s; input:\n", what);
  for (unsigned char c : input) std::fprintf(stderr, c >= 32 && c < 127 && c != '\\' ? "%c" : "\\x%02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace vm::fuzz
