// Loading a notebook of 5 000 notes with 2 KB rich-text bodies (plain, protected and in
// the older XML form), next to a baseline that only reads the same file and splits it
// into lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_support.h"
#include "common/record_file.h"
#include "notebook/note_search.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"

namespace {

using namespace vm::notebook;

// About 2 KB of rich text in lines of about 70 characters, as the editor writes it.
std::string Body(int n) {
  std::string body =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 Times New Roman "
      "Cyr;}}\r\n"
      "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
  while (body.size() < 2000)
    body +=
        "Заметка " + std::to_string(n) + ": встреча в среду, позвонить, купить бумагу и конверты.\\par\r\n";
  return body + "}\r\n";
}

// 50 sections of 99 notes each: 5 000 notes. The page puts "_" for blanks in titles,
// which the XML form could not hold.
const XmlElement& Tree() {
  static const std::unique_ptr<XmlElement> root = [] {
    auto r = NewNotebookRoot();
    for (int s = 0; s < 50; ++s) {
      XmlElement* section = r->AppendChild("Раздел_" + std::to_string(s), Body(s));
      for (int i = 0; i < 99; ++i) section->AppendChild("Заметка_" + std::to_string(i), Body(s * 100 + i));
    }
    return r;
  }();
  return *root;
}

const std::string& File(const std::string& name, const std::string& password) {
  static std::string paths[3];
  int slot = name == "plain.dbn" ? 0 : name == "locked.dbn" ? 1 : 2;
  if (paths[slot].empty()) {
    paths[slot] = vm::bench::BenchFolder() + name;
    std::string bytes = name == "old.dbn" ? Tree().ToXml() : NotebookBytes(Tree(), name, password);
    vm::platform::WriteFileBytes(paths[slot], bytes);
  }
  return paths[slot];
}

void ReadAndSplit(benchmark::State& state, const std::string& path) {
  size_t bytes = 0;
  for (auto _ : state) {
    std::string data;
    vm::platform::ReadFileBytes(path, data);
    auto lines = vm::SplitTextLines(data);
    benchmark::DoNotOptimize(lines.data());
    bytes += data.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void Load(benchmark::State& state, const std::string& path) {
  std::string data;
  vm::platform::ReadFileBytes(path, data);
  for (auto _ : state) {
    NotebookFile notebook;
    NotebookRead read = ReadNotebook(notebook, path);
    if (!read.ok) state.SkipWithError("the notebook did not load");
    benchmark::DoNotOptimize(notebook.root.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_NotebookReadAndSplitBaseline(benchmark::State& state) {
  ReadAndSplit(state, File("plain.dbn", ""));
}
BENCHMARK(BM_NotebookReadAndSplitBaseline)->Unit(benchmark::kMillisecond);

void BM_LoadNotebook(benchmark::State& state) {
  Load(state, File("plain.dbn", ""));
}
BENCHMARK(BM_LoadNotebook)->Unit(benchmark::kMillisecond);

void BM_LoadProtectedNotebook(benchmark::State& state) {
  Load(state, File("locked.dbn", "пароль"));
}
BENCHMARK(BM_LoadProtectedNotebook)->Unit(benchmark::kMillisecond);

void BM_LoadXmlNotebook(benchmark::State& state) {
  Load(state, File("old.dbn", ""));
}
BENCHMARK(BM_LoadXmlNotebook)->Unit(benchmark::kMillisecond);

void BM_SaveNotebook(benchmark::State& state) {
  NotebookFile notebook;
  ReadNotebook(notebook, File("plain.dbn", ""));
  notebook.path = vm::bench::BenchFolder() + "saved.dbn";
  std::string data;
  vm::platform::ReadFileBytes(File("plain.dbn", ""), data);
  for (auto _ : state) {
    notebook.state = kChanged;
    if (SaveNotebook(notebook).status != SaveStatus::kSaved)
      state.SkipWithError("the notebook was not saved");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_SaveNotebook)->Unit(benchmark::kMillisecond);

// The all-notes search over the 5 000 notes, next to a plain scan of the same bodies'
// bytes: each body searched as it is, byte for byte, for the text folded to lower case
// (so the baseline neither decodes the rich text nor folds it).

void BM_NotebookBodiesScanBaseline(benchmark::State& state) {
  const XmlElement& root = Tree();
  const std::string needle = "заметка 4950:";
  size_t bytes = 0;
  for (auto _ : state) {
    size_t hits = 0;
    std::vector<const XmlElement*> stack{&root};
    while (!stack.empty()) {
      const XmlElement* e = stack.back();
      stack.pop_back();
      for (size_t i = 0; i < e->ChildCount(); ++i) stack.push_back(e->Child(i));
      std::string_view body = e->value();
      for (size_t at = body.find(needle); at != std::string_view::npos;
           at = body.find(needle, at + needle.size()))
        ++hits;
      bytes += body.size();
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_NotebookBodiesScanBaseline)->Unit(benchmark::kMillisecond);

// A text one note holds 25 times, near the end: every note is read.
void BM_FindInAllNotes(benchmark::State& state) {
  const XmlElement& root = Tree();
  size_t hits = 0;
  for (auto _ : state) {
    AllNotesSearch found = FindInAllNotes(root, "ЗАМЕТКА 4950:");
    hits = found.hits.size();
    benchmark::DoNotOptimize(found.hits.data());
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindInAllNotes)->Unit(benchmark::kMillisecond);

// The same search again, the page's way: the folded bodies are kept between searches.
void BM_FindInAllNotesCached(benchmark::State& state) {
  const XmlElement& root = Tree();
  NoteSearchCache cache;
  FindInAllNotes(root, "ЗАМЕТКА 4950:", kMaxNoteHits, &cache);
  for (auto _ : state) {
    AllNotesSearch found = FindInAllNotes(root, "ЗАМЕТКА 4950:", kMaxNoteHits, &cache);
    benchmark::DoNotOptimize(found.hits.data());
  }
}
BENCHMARK(BM_FindInAllNotesCached)->Unit(benchmark::kMillisecond);

// A text on every line of every note ("конверты"), each of its 131 040 hits listed: the
// cost of the hits themselves, far beyond what the page lists.
void BM_FindInAllNotesEveryHit(benchmark::State& state) {
  const XmlElement& root = Tree();
  size_t hits = 0;
  for (auto _ : state) {
    AllNotesSearch found = FindInAllNotes(root, "КОНВЕРТЫ", static_cast<size_t>(-1));
    hits = found.hits.size();
    benchmark::DoNotOptimize(found.hits.data());
  }
  state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(BM_FindInAllNotesEveryHit)->Unit(benchmark::kMillisecond);

// A text no note holds: the cost of reading every note with nothing to list.
void BM_FindInAllNotesNoHit(benchmark::State& state) {
  const XmlElement& root = Tree();
  for (auto _ : state) {
    AllNotesSearch found = FindInAllNotes(root, "ЖИРАФ");
    benchmark::DoNotOptimize(found.hits.data());
  }
}
BENCHMARK(BM_FindInAllNotesNoHit)->Unit(benchmark::kMillisecond);

}  // namespace
