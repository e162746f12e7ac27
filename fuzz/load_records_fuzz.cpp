// LoadRecords and SaveRecords over arbitrary file contents, as contacts and as firms.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"
#include "common/record_file.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = vm::fuzz::FuzzFolder();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = dir + "book.dbc";
  vm::platform::WriteFileBytes(path, bytes);
  for (int firms = 0; firms < 2; ++firms) {
    vm::RecordBook book;
    book.path = path;
    vm::LoadRecords(book, firms ? vm::FirmsLayout() : vm::ContactsLayout());
    book.path = dir + "out.dbc";
    book.state = vm::kStateChanged;
    vm::SaveRecords(book);
  }
  return 0;
}
