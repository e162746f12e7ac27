// Strong protection's cost: one key derivation (PBKDF2-HMAC-SHA256, 600 000 rounds) next
// to the open of a 5 MB strongly protected notebook (read, derive, decrypt, parse) and
// the same open with the key's rounds cut to one, which leaves the file work alone. The
// derivation dominates by design: it is what a guess at the password costs.
#include <benchmark/benchmark.h>

#include <string>

#include "common/protected_file.h"
#include "notebook/notebook_file.h"
#include "platform/crypto.h"
#include "platform/platform.h"
#include "bench/bench_support.h"

namespace {

using namespace vm::notebook;

// About 5 MB: 2 500 notes of 2 KB rich text under 25 sections.
std::string NotebookPath(uint32_t rounds) {
  auto root = NewNotebookRoot();
  std::string body = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Times;}}\r\n";
  while (body.size() < 2000) body += "Заметка: встреча в среду, позвонить, купить бумагу и конверты.\\par\r\n";
  body += "}\r\n";
  for (int s = 0; s < 25; ++s) {
    XmlElement* section = root->AppendChild("Раздел_" + std::to_string(s), body);
    for (int i = 0; i < 99; ++i) section->AppendChild("Заметка_" + std::to_string(i), body);
  }
  std::string plain = NotebookBytes(*root, "big.dbn", {}), sealed;
  while (plain.size() < 5u * 1024 * 1024) plain += "\r\n<Ещё>\r\n" + body + "\r\n</Ещё>";
  vm::Seal(plain, "пароль", rounds, sealed);
  std::string path = vm::bench::BenchFolder() + "big" + std::to_string(rounds) + ".dbn";
  vm::platform::WriteFileBytes(path, sealed);
  return path;
}

void Open(benchmark::State& state, const std::string& path) {
  std::string bytes;
  vm::platform::ReadFileBytes(path, bytes);
  for (auto _ : state) {
    NotebookFile notebook;
    if (!ReadNotebook(notebook, path).ok || !ApplyPassword(notebook, "пароль", false))
      state.SkipWithError("the notebook did not open");
    benchmark::DoNotOptimize(notebook.root.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_KeyDerivation(benchmark::State& state) {
  const uint8_t salt[16] = {1, 2, 3};
  uint8_t key[32];
  for (auto _ : state) {
    vm::crypto::Pbkdf2Sha256("пароль", salt, sizeof salt, vm::kStrongIterations, key, sizeof key);
    benchmark::DoNotOptimize(key);
  }
}
BENCHMARK(BM_KeyDerivation)->Unit(benchmark::kMillisecond);

void BM_OpenStrongNotebook5MB(benchmark::State& state) {
  static const std::string path = NotebookPath(vm::kStrongIterations);
  Open(state, path);
}
BENCHMARK(BM_OpenStrongNotebook5MB)->Unit(benchmark::kMillisecond);

void BM_OpenStrongNotebook5MBWithoutDerivation(benchmark::State& state) {
  static const std::string path = NotebookPath(1);
  Open(state, path);
}
BENCHMARK(BM_OpenStrongNotebook5MBWithoutDerivation)->Unit(benchmark::kMillisecond);

}  // namespace
