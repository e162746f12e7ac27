// The field rules over arbitrary lines: GetField/SetField must agree with each other.
// Every field index walks the same code, so the promise is checked on a few: the first,
// the last, one and two past the end, and two the input's own bytes pick.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "common/record_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  int last = vm::CountFieldSeparators(line);
  if (last > vm::CountSeparators(line)) std::abort();
  int span = last + 3;
  int picked[] = {0, last, last + 1, last + 2, size ? data[0] % span : 0, size ? data[size - 1] % span : 0};
  for (int n : picked) {
    std::string v;
    bool exists = vm::GetField(line, n, v);
    if (exists != (!line.empty() && n <= last)) std::abort();
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
