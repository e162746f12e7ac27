// LoadRecords and SaveRecords over arbitrary file contents, as contacts or as firms,
// with the files in memory. Rejected lines must land in the side file, and what is
// saved must load back record for record.
#include <cstdint>
#include <string>

#include "common/record_file.h"
#include "fuzz_support.h"
#include "platform/platform.h"

using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vm::fuzz::Scratch scratch;
  const std::string dir = scratch.Folder();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = dir + "book.dbc";
  vm::platform::WriteFileBytes(path, bytes);
  // One layout an input, chosen by its length: both read through the same code, and the
  // fuzzer reaches either by growing or shrinking an input by a byte.
  const vm::RecordLayout layout = size % 2 ? vm::FirmsLayout() : vm::ContactsLayout();
  vm::RecordBook book;
  book.path = path;
  vm::LoadOutcome loaded = vm::LoadRecords(book, layout);
  if (loaded.rejected > 0 && !vm::platform::FileExists(vm::SideFilePath(path)))
    Report(bytes, "rejected lines without a side file");
  book.path = dir + "out.dbc";
  book.state = vm::kStateChanged;
  if (vm::SaveRecords(book).status != vm::SaveStatus::kSaved) {
    if (!book.oldFormat) Report(bytes, "a book that loaded does not save");
    return 0;
  }
  vm::RecordBook back;
  back.path = book.path;
  vm::LoadOutcome again = vm::LoadRecords(back, layout);
  if (back.oldFormat || again.rejected != 0 || back.records != book.records)
    Report(bytes, "saved records do not load back");
  return 0;
}
