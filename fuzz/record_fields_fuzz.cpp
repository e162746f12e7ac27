// The field rules over arbitrary lines: GetField/SetField must agree with each other.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "common/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  int seps = vm::CountSeparators(line);
  for (int n = 0; n <= seps + 1 && n < 64; ++n) {
    std::string v;
    bool exists = vm::GetField(line, n, v);
    std::string replaced = vm::SetField(line, n, "value");
    if (exists && vm::GetField(replaced, n) != "value") std::abort();
    // An empty line has no fields to read, but field 0 of it can be written.
    if (!exists && !line.empty() && replaced != line) std::abort();
  }
  std::string escaped = vm::ApplyLineEscapes(line);
  if (line.find("ERN:") == std::string::npos && line.find("EOR:") == std::string::npos &&
      line.find("ER") == std::string::npos && line.find("EO") == std::string::npos &&
      vm::UndoLineEscapes(escaped) != line)
    std::abort();
  return 0;
}
