// One search over a lifetime of books (100 000 cards, 10 000 tasks, 5 000 notes of about
// a kilobyte, a 100 000-row table, a 100 000-cell workbook): a keystroke's search, warm
// and as the first search after the books were handed in, next to a plain scan of the
// same bytes for the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cards/card_find.h"
#include "common/find_corpus.h"
#include "data/data_find.h"
#include "notebook/note_find.h"
#include "platform/platform.h"
#include "shell/find_books.h"
#include "spreadsheet/sheet_find.h"
#include "tasks/task_find.h"

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

// ---- the same lifetime through the books' own collectors ------------------------------
// The books as the program holds them (a contacts book, a task book, a notebook, a data
// table, a workbook), their texts taken by each book's collector and searched through
// shell::FindEverywhere as the "Найти везде" window does on a keystroke.
namespace {

struct RealBooks {
  vm::cards::CardBook contacts{vm::cards::ContactsBook()};
  vm::tasks::TaskBook tasks;
  std::unique_ptr<vm::notebook::XmlElement> notes = std::make_unique<vm::notebook::XmlElement>("Records");
  vm::data::DataTable table;
  vm::spreadsheet::CWorkbook workbook;
  uint64_t stamp = vm::find::NextStamp();
};

const RealBooks& Real() {
  static const RealBooks* books = [] {
    auto* b = new RealBooks;
    static const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Волков"};
    static const char* const kWords[] = {"позвонить", "купить", "встреча", "отчёт", "договор", "оплата", "ремонт"};
    std::vector<std::string> cards;
    for (int i = 0; i < 100000; ++i)
      cards.push_back(std::string(kNames[i % 6]) + " Иван " + std::to_string(i) + "|инженер|Завод " +
                      std::to_string(i % 300) + "|Москва|+7 495 123-45-67|+7 916 000-00-00|||mail" +
                      std::to_string(i) + "@example.ru|||ул. Ленина, д. 1|заметка");
    b->contacts.Append(cards);
    // The task book loads from a file, as the program loads it.
    const std::string path = "/tmp/velmoria_find_bench.dbw";
    std::string bytes;
    for (int i = 0; i < 10000; ++i)
      bytes += std::string(kWords[i % 7]) + " " + kNames[(i / 7) % 6] + "|до пятницы, " + std::to_string(i) +
               " руб." + std::string(52, '|') + "\r\n";
    if (!vm::platform::WriteFileBytes(path, bytes)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    vm::tasks::LoadTaskFile(b->tasks, path, vm::dates::Date{8, 12, 2026});
    std::remove(path.c_str());
    for (int i = 0; i < 5000; ++i) {
      std::string body = "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0 ";
      while (body.size() < 1000) body += std::string(kWords[(i + body.size()) % 7]) + " и снова\\par ";
      b->notes->AppendChild("Заметка " + std::to_string(i), body + "}");
    }
    b->table.def.names = {"Номер", "Что", "Кто"};
    b->table.def.lastColumn = 2;
    for (int i = 0; i < 100000; ++i)
      b->table.records.push_back({std::to_string(i * 37) + "|" + kWords[i % 7] + "|" + kNames[i % 6]});
    vm::spreadsheet::CSheet& sheet = b->workbook.Sheet(0);
    sheet.SetColumnCount(10);
    sheet.SetRowCount(10000);
    for (int i = 0; i < 100000; ++i) sheet.CellForEdit(i / 10, i % 10)->SetText(std::to_string(i * 3.25));
    return b;
  }();
  return *books;
}

// A page of each kind, as the sheet's pages answer the search.
class Page : public vm::shell::BookCalls {
 public:
  using Collect = std::vector<vm::find::Entry> (*)(const RealBooks&);
  Page(const char* name, Collect collect) : name_(name), collect_(collect) {}
  std::optional<vm::shell::FindableBook> Findable() const override {
    return vm::shell::FindableBook{name_, Real().stamp, {}, {}};
  }
  std::vector<vm::find::Entry> FindTexts() const override { return collect_(Real()); }

 private:
  const char* name_;
  Collect collect_;
};

std::vector<std::unique_ptr<Page>> Pages() {
  std::vector<std::unique_ptr<Page>> pages;
  pages.push_back(std::make_unique<Page>("Контакты", [](const RealBooks& b) { return vm::cards::CardFindTexts(b.contacts); }));
  pages.push_back(std::make_unique<Page>("Дела", [](const RealBooks& b) { return vm::tasks::TaskFindTexts(b.tasks); }));
  pages.push_back(std::make_unique<Page>("Блокнот", [](const RealBooks& b) { return vm::notebook::NoteFindTexts(*b.notes); }));
  pages.push_back(std::make_unique<Page>("Данные", [](const RealBooks& b) { return vm::data::DataFindTexts(b.table); }));
  pages.push_back(
      std::make_unique<Page>("а ля Excel", [](const RealBooks& b) { return vm::spreadsheet::SheetFindTexts(b.workbook); }));
  return pages;
}

std::vector<vm::shell::BookCalls*> Calls(const std::vector<std::unique_ptr<Page>>& pages) {
  std::vector<vm::shell::BookCalls*> calls;
  for (const auto& p : pages) calls.push_back(p.get());
  return calls;
}

// The bytes the search looks through, scanned plainly for a needle: the yardstick.
void BM_EverywherePlainScanBaseline(benchmark::State& state) {
  std::vector<std::vector<vm::find::Entry>> texts;
  for (const auto& p : Pages()) texts.push_back(p->FindTexts());
  size_t bytes = 0;
  for (const auto& book : texts)
    for (const auto& e : book) bytes += e.text.size();
  const std::string needle = "петров";
  for (auto _ : state) {
    size_t found = 0;
    for (const auto& book : texts)
      for (const auto& e : book) found += e.text.find(needle) != std::string::npos;
    benchmark::DoNotOptimize(found);
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_EverywherePlainScanBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void EverywhereKeystroke(benchmark::State& state, const char* typed) {
  auto pages = Pages();
  vm::shell::FindEverywhere everywhere(Calls(pages));
  everywhere.Search(typed);  // the texts are taken, folded and given skeletons once
  for (auto _ : state) benchmark::DoNotOptimize(everywhere.Search(typed));
}
void BM_EverywhereKeystrokeCyrillic(benchmark::State& state) { EverywhereKeystroke(state, "Петров"); }
void BM_EverywhereKeystrokeLayout(benchmark::State& state) { EverywhereKeystroke(state, "Gtnhjd"); }
void BM_EverywhereKeystrokeLatin(benchmark::State& state) { EverywhereKeystroke(state, "Petroff"); }
BENCHMARK(BM_EverywhereKeystrokeCyrillic)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EverywhereKeystrokeLayout)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EverywhereKeystrokeLatin)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window opened after the books were loaded: every collector, the folding, the
// skeletons and the search, all in the first keystroke.
void BM_EverywhereFirstSearchAfterLoad(benchmark::State& state) {
  Real();
  for (auto _ : state) {
    auto pages = Pages();
    vm::shell::FindEverywhere everywhere(Calls(pages));
    benchmark::DoNotOptimize(everywhere.Search("Petroff"));
  }
}
BENCHMARK(BM_EverywhereFirstSearchAfterLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
