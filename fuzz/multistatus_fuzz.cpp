// The WebDAV answers the sync reads, over arbitrary bytes: a multistatus gives resources
// with an href each, an error body is told or not, and neither crashes nor hangs; the
// records a resource's body gives have their book's field count.
#include <cstdint>
#include <string>

#include "common/record_file.h"
#include "fuzz_support.h"
#include "sync/dav_xml.h"
#include "sync/record_codec.h"

using namespace vm::sync;
using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Multistatus ms = ParseMultistatus(bytes);
  if (!ms.ok && !ms.resources.empty()) Report(bytes, "resources from what is no multistatus");
  for (const DavResource& r : ms.resources) {
    if (r.href.empty()) Report(bytes, "a resource without an href");
    if (r.data.empty()) continue;
    for (BookKind kind : {BookKind::kContacts, BookKind::kTasks}) {
      RecordCodec codec(kind, {{8, 12, 2026}, {2026, 12, 8, 10, 0}, 0});
      RecordCodec::Read read = codec.FromServer(r.data);
      if (read.ours && vm::CountFieldSeparators(read.record) != codec.fieldCount() - 1)
        Report(bytes, "a record with the wrong field count");
    }
  }
  ErrorNames(bytes, "valid-sync-token");
  return 0;
}
