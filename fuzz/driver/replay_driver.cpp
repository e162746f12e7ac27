// Stands in for libFuzzer where it is not available (the g++ test build): runs every
// file of the given corpus folders once, then random mutations of them for
// -max_total_time seconds with a fixed seed, so a failure can be reproduced. A crash,
// a sanitizer report or a hang (the test's timeout) fails the test.
#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> ReadInputs(const std::string& path) {
  std::vector<std::string> out;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return out;
  if (S_ISDIR(st.st_mode)) {
    DIR* d = opendir(path.c_str());
    if (!d) return out;
    while (dirent* e = readdir(d)) {
      if (e->d_name[0] == '.') continue;
      auto more = ReadInputs(path + "/" + e->d_name);
      out.insert(out.end(), more.begin(), more.end());
    }
    closedir(d);
  } else {
    std::ifstream f(path, std::ios::binary);
    out.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  return out;
}

struct Rng {
  uint64_t s = 0x9E3779B97F4A7C15ull;
  uint64_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  size_t Below(size_t n) { return n ? static_cast<size_t>(Next() % n) : 0; }
};

std::string Mutate(Rng& rng, const std::vector<std::string>& corpus, std::string in) {
  static const char* const kTokens[] = {"|", "#", "#|", "ERN:", "EOR:", "\r\n", "\n", "\r", "/", "<",
                                        ">", "&", ";", "\"", "<Records", "%", "0", "\xFF", "\xC0", "RP+"};
  int steps = 1 + static_cast<int>(rng.Below(8));
  for (int i = 0; i < steps; ++i) {
    size_t pos = rng.Below(in.size() + 1);
    switch (rng.Below(6)) {
      case 0:
        if (!in.empty()) in[rng.Below(in.size())] = static_cast<char>(rng.Next());
        break;
      case 1: in.insert(pos, 1, static_cast<char>(rng.Next())); break;
      case 2:
        if (!in.empty()) in.erase(rng.Below(in.size()), 1 + rng.Below(16));
        break;
      case 3: in.insert(pos, kTokens[rng.Below(sizeof kTokens / sizeof *kTokens)]); break;
      case 4:
        if (!corpus.empty()) {
          const std::string& other = corpus[rng.Below(corpus.size())];
          size_t from = rng.Below(other.size() + 1);
          in.insert(pos, other.substr(from, rng.Below(64)));
        }
        break;
      case 5:
        if (!in.empty()) {
          size_t from = rng.Below(in.size());
          in.insert(pos, in.substr(from, rng.Below(32)));
        }
        break;
    }
  }
  if (in.size() > 1 << 16) in.resize(1 << 16);
  return in;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 3;
  std::vector<std::string> corpus;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "-max_total_time=", 16) == 0) {
      seconds = std::atof(argv[i] + 16);
    } else if (argv[i][0] != '-') {
      auto more = ReadInputs(argv[i]);
      corpus.insert(corpus.end(), more.begin(), more.end());
    }
  }
  if (corpus.empty()) corpus.emplace_back();
  for (const std::string& input : corpus)
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  Rng rng;
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  long runs = 0;
  std::vector<std::string> pool = corpus;
  while (std::chrono::steady_clock::now() < end) {
    std::string input = Mutate(rng, pool, pool[rng.Below(pool.size())]);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    if (pool.size() < 4096 && rng.Below(16) == 0) pool.push_back(std::move(input));
    ++runs;
  }
  std::printf("replayed %zu corpus inputs, %ld mutated runs\n", corpus.size(), runs);
  return 0;
}
