// What the benchmarks share: one scratch folder per run, in the core's path form.
#pragma once

#include <cstdlib>
#include <string>

namespace vm::bench {

// A fresh folder under /tmp with its trailing "\" (made once per process).
inline const std::string& BenchFolder() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/vmbenchXXXXXX";
    std::string d = mkdtemp(tmpl);
    for (char& c : d)
      if (c == '/') c = '\\';
    return d + "\\";
  }();
  return dir;
}

}  // namespace vm::bench
