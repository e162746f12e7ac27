// What the fuzz targets share: a scratch folder and a failure report that prints the
// input so that it can be added to the corpus.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vm::fuzz {

// A folder under /tmp with its trailing "\" (core path form), made once per process.
inline const std::string& FuzzFolder() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/vmfuzzXXXXXX";
    std::string d = mkdtemp(tmpl);
    for (char& c : d)
      if (c == '/') c = '\\';
    return d + "\\";
  }();
  return dir;
}

// Prints what broke and the failing input byte for byte, then aborts.
[[noreturn]] inline void Report(const std::string& input, const char* what) {
  std::fprintf(stderr, "%s; input:\n", what);
  for (unsigned char c : input) std::fprintf(stderr, c >= 32 && c < 127 && c != '\\' ? "%c" : "\\x%02X", c);
  std::fprintf(stderr, "\n");
  std::abort();
}

}  // namespace vm::fuzz
