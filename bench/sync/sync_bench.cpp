// The sync of a contacts book with a real server (radicale on the loopback address): the
// first sync of 10 000 contacts into an empty address book, then an incremental sync of
// one changed contact, which must cost a small fraction of the first. Run by hand:
// build/bench/bench/velmoria_sync_bench (VELMORIA_SYNC_BENCH_CONTACTS=N for another size).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "sync/radicale/radicale_server.h"
#include "sync/sync_engine.h"

namespace {

using namespace vm::sync;

vm::testing::RadicaleServer* Server() {
  static vm::testing::RadicaleServer* server = [] {
    auto* s = new vm::testing::RadicaleServer;
    std::string error;
    bool missing = false;
    if (!s->Start(error, missing)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::exit(1);
    }
    return s;
  }();
  return server;
}

int Count() {
  const char* n = std::getenv("VELMORIA_SYNC_BENCH_CONTACTS");
  return n ? std::atoi(n) : 10000;
}

std::vector<std::string> Contacts(int count) {
  std::vector<std::string> out;
  for (int i = 0; i < count; ++i)
    out.push_back("Иванов " + std::to_string(i) + "|инженер|Завод " + std::to_string(i % 300) +
                  "|Москва|+7 495 123-45-67||||mail" + std::to_string(i) + "@example.ru|||ул. Ленина, д. 1|заметка");
  return out;
}

const CodecClock kClock{{8, 12, 2026}, {2026, 12, 8, 10, 0}, 180};

void BM_FirstSync(benchmark::State& state) {
  auto http = Server()->Client();
  RecordCodec codec(BookKind::kContacts, kClock);
  std::vector<std::string> records = Contacts(Count());
  int book = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SyncOptions options;
    options.collectionUrl = Server()->MakeAddressBook("first" + std::to_string(book++));
    state.ResumeTiming();
    SyncOutcome out = Synchronize(*http, codec, records, {}, options);
    if (!out.ok || out.counts.sent != Count()) state.SkipWithError("the first sync failed");
  }
  state.counters["contacts"] = Count();
}
BENCHMARK(BM_FirstSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_IncrementalSyncOfOneChange(benchmark::State& state) {
  auto http = Server()->Client();
  RecordCodec codec(BookKind::kContacts, kClock);
  std::vector<std::string> records = Contacts(Count());
  SyncOptions options;
  options.collectionUrl = Server()->MakeAddressBook("incremental");
  SyncOutcome out = Synchronize(*http, codec, records, {}, options);
  SyncState side = out.state;
  records = out.records;
  int change = 0;
  for (auto _ : state) {
    records[static_cast<size_t>(change % Count())] =
        vm::SetFieldText(records[static_cast<size_t>(change % Count())], 4, "+7 " + std::to_string(change));
    ++change;
    out = Synchronize(*http, codec, records, side, options);
    if (!out.ok || out.counts.sent != 1) state.SkipWithError("the incremental sync did not send one change");
    side = out.state;
    records = out.records;
  }
}
BENCHMARK(BM_IncrementalSyncOfOneChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

}  // namespace
