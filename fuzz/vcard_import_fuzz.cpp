// The vCard reader over arbitrary bytes, into both books: every record it makes has the
// book's field count, reads back field by field, and is not made twice; the cards written
// back out read in again as the same records.
#include <cstdint>
#include <string>

#include "cards/vcard.h"
#include "common/record_file.h"
#include "fuzz_support.h"

using namespace vm::cards;
using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const CardBookLayout* layout : {&ContactsBook(), &FirmsBook()}) {
    VcardImport in = ImportVcard(bytes, *layout, {});
    if (static_cast<int>(in.added.size()) + in.skipped != in.cards) Report(bytes, "cards neither added nor skipped");
    for (const std::string& r : in.added)
      if (vm::CountFieldSeparators(r) != layout->fieldCount - 1) Report(bytes, "a record with the wrong field count");
    VcardImportReport(in);
    VcardImport again = ImportVcard(CardsToVcard(*layout, in.added, VcardVersion::k40), *layout, {});
    if (again.added.size() != in.added.size() || again.skipped != 0) Report(bytes, "written cards read back otherwise");
    for (size_t i = 0; i < in.added.size() && i < again.added.size(); ++i)
      for (int k = 0; k < layout->fieldCount; ++k)
        if (vm::GetField(again.added[i], k) != vm::GetField(in.added[i], k))
          Report(bytes, "a field changed on the way round");
  }
  return 0;
}
