// The sync's side file over arbitrary bytes: what it reads, written again, reads back the
// same; and a resource's body, whatever it holds, reads as a record of its book.
#include <cstdint>
#include <string>

#include "common/record_file.h"
#include "fuzz_support.h"
#include "sync/record_codec.h"
#include "sync/sync_state.h"

using namespace vm::sync;
using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  SyncState state, again;
  if (ParseSyncState(bytes, state)) {
    if (!ParseSyncState(SyncStateText(state), again)) Report(bytes, "a side file written that does not read");
    if (SyncStateText(again) != SyncStateText(state)) Report(bytes, "the side file changed on the way round");
  }
  for (BookKind kind : {BookKind::kContacts, BookKind::kFirms, BookKind::kTasks}) {
    RecordCodec codec(kind, {{8, 12, 2026}, {2026, 12, 8, 10, 0}, 0});
    RecordCodec::Read read = codec.FromServer(bytes);
    if (read.ours && vm::CountFieldSeparators(read.record) != codec.fieldCount() - 1)
      Report(bytes, "a record with the wrong field count");
  }
  return 0;
}
