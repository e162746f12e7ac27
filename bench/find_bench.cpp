// One search over a lifetime of books (100 000 cards, 10 000 tasks, 5 000 notes of about
// a kilobyte, a 100 000-row table, a 100 000-cell workbook): a keystroke's search, warm
// and as the first search after the books were handed in, next to a plain scan of the
// same bytes for the same bytes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/find_corpus.h"

namespace {

struct Books {
  std::vector<std::vector<vm::find::Entry>> books;
};

const Books& Lifetime() {
  static const Books all = [] {
    static const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Волков"};
    static const char* const kWords[] = {"позвонить", "купить", "встреча", "отчёт", "договор", "оплата", "ремонт"};
    Books b;
    auto add = [&](size_t book, uint32_t i, std::string label, std::string text) {
      if (b.books.size() <= book) b.books.resize(book + 1);
      b.books[book].push_back({{i, 0, 0}, std::move(label), std::move(text)});
    };
    for (uint32_t i = 0; i < 100000; ++i)
      add(0, i, kNames[i % 6], std::string(kNames[i % 6]) + " " + std::to_string(i) + "|инженер|Завод " +
                                   std::to_string(i % 300) + "|Москва|+7 495 123-45-67|mail" + std::to_string(i) +
                                   "@example.ru|ул. Ленина, д. 1|заметка");
    for (uint32_t i = 0; i < 10000; ++i)
      add(1, i, kWords[i % 7], std::string(kWords[i % 7]) + " " + kNames[(i / 7) % 6] + " до пятницы, " +
                                   std::to_string(i) + " руб.");
    for (uint32_t i = 0; i < 5000; ++i) {
      std::string body;
      while (body.size() < 1000) body += std::string(kWords[(i + body.size()) % 7]) + " и снова ";
      add(2, i, "Заметка " + std::to_string(i), body);
    }
    for (uint32_t i = 0; i < 100000; ++i)
      add(3, i, "строка " + std::to_string(i), std::to_string(i * 37) + "|" + kWords[i % 7] + "|" + kNames[i % 6]);
    for (uint32_t i = 0; i < 100000; ++i) add(4, i, "R" + std::to_string(i) + "C1", std::to_string(i * 3.25));
    return b;
  }();
  return all;
}

vm::find::Corpus Loaded() {
  vm::find::Corpus corpus;
  const Books& b = Lifetime();
  for (size_t i = 0; i < b.books.size(); ++i) corpus.SetBook(static_cast<int>(i), "книга", 1, b.books[i]);
  return corpus;
}

void BM_FindPlainScanBaseline(benchmark::State& state) {
  const Books& b = Lifetime();
  const std::string needle = "петров";
  for (auto _ : state) {
    size_t found = 0;
    for (const auto& book : b.books)
      for (const auto& e : book) found += e.text.find(needle) != std::string::npos;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_FindPlainScanBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void Keystroke(benchmark::State& state, const char* typed) {
  vm::find::Corpus corpus = Loaded();
  const vm::find::Query query(typed);
  corpus.Search(query);  // the skeletons are made by the first search
  for (auto _ : state) benchmark::DoNotOptimize(corpus.Search(query));
}
void BM_FindKeystrokeCyrillic(benchmark::State& state) { Keystroke(state, "Петров"); }
void BM_FindKeystrokeLatin(benchmark::State& state) { Keystroke(state, "Petroff"); }
BENCHMARK(BM_FindKeystrokeCyrillic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindKeystrokeLatin)->Unit(benchmark::kMillisecond)->UseRealTime();

// Handing every book in, then the first search (folding and skeletons included).
void BM_FindFirstSearchAfterLoad(benchmark::State& state) {
  const vm::find::Query query("Petroff");
  for (auto _ : state) {
    vm::find::Corpus corpus = Loaded();
    benchmark::DoNotOptimize(corpus.Search(query));
  }
}
BENCHMARK(BM_FindFirstSearchAfterLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
