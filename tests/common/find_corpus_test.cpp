#include "common/find_corpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm::find {
namespace {

std::vector<Entry> Texts(std::vector<std::string> texts) {
  std::vector<Entry> out;
  for (uint32_t i = 0; i < texts.size(); ++i) out.push_back({{i, 0, 0}, "запись " + std::to_string(i), texts[i]});
  return out;
}

std::vector<std::string> Labels(const Corpus::Answer& a) {
  std::vector<std::string> out;
  for (const Result& r : a.results) out.push_back(std::to_string(r.book) + ":" + r.label);
  return out;
}

TEST(FindCorpusTest, GroupsByBookWithExactHitsFirstAndNeverAnswersFromOldTexts) {
  Corpus corpus;
  corpus.SetBook(3, "Контакты", 1, Texts({"Петров Иван", "Сидоров", "petrov@mail.example"}));
  corpus.SetBook(1, "Дела", 7, Texts({"Позвонить Петрову"}));
  Corpus::Answer a = corpus.Search(Query("petrov"));
  // Books in the order they were first handed in; within one, exact before spelling.
  EXPECT_EQ(Labels(a), (std::vector<std::string>{"3:запись 2", "3:запись 0", "1:запись 0"}));
  EXPECT_EQ(a.results[1].kind, MatchKind::kSpelling);
  EXPECT_EQ(a.results[1].context, "Петров Иван");
  EXPECT_EQ(a.results[1].pos, 0u);
  EXPECT_EQ(a.results[1].len, 6u);

  EXPECT_TRUE(corpus.Holds(1, 7));
  EXPECT_FALSE(corpus.Holds(1, 8));
  corpus.SetBook(1, "Дела", 8, Texts({"Купить хлеб"}));
  EXPECT_EQ(Labels(corpus.Search(Query("petrov"))), (std::vector<std::string>{"3:запись 2", "3:запись 0"}));
  EXPECT_EQ(corpus.Search(Query("хлеб")).results.size(), 1u);
}

TEST(FindCorpusTest, LockedBooksAreListedNotSearchedAndTheLimitKeepsTheBestHits) {
  Corpus corpus;
  corpus.SetBook(1, "Блокнот", 1, Texts({"Петров"}));
  corpus.SetUnsearchable(1, "Блокнот", "защищён паролем");
  corpus.SetBook(2, "Данные", 1, Texts({"Petrov", "Петров", "Петров", "PETROV"}));
  Corpus::Answer a = corpus.Search(Query("Petrov"), 2);
  EXPECT_EQ(a.notSearched, (std::vector<std::string>{"Блокнот: защищён паролем"}));
  EXPECT_TRUE(a.truncated);
  ASSERT_EQ(a.results.size(), 2u);
  EXPECT_EQ(a.results[0].kind, MatchKind::kExact);
  EXPECT_EQ(a.results[1].kind, MatchKind::kExact);
  EXPECT_EQ(a.results[1].label, "запись 3");
  EXPECT_TRUE(corpus.Search(Query("")).results.empty());
  corpus.RemoveBook(1);
  EXPECT_TRUE(corpus.Search(Query("x")).notSearched.empty());
}

TEST(FindCorpusTest, SpellingHitsFillOnlyTheRoomLeftAndNoHitSpansTwoTexts) {
  Corpus corpus;
  corpus.SetBook(1, "Контакты", 1, Texts({"Петров", "Петрова", "Petroff", "Петрову"}));
  corpus.SetBook(2, "Дела", 1, Texts({"Петров", "ab", "cd"}));
  Corpus::Answer a = corpus.Search(Query("Petroff"), 3);
  // The exact hit is never the one cut; spelling hits fill the room in book order.
  EXPECT_TRUE(a.truncated);
  EXPECT_EQ(Labels(a), (std::vector<std::string>{"1:запись 2", "1:запись 0", "1:запись 1"}));
  EXPECT_EQ(a.results[2].len, 6u);  // "Петров" in "Петрова": its place found again
  EXPECT_EQ(corpus.Search(Query("petroff"), 100).results.size(), 5u);
  EXPECT_TRUE(corpus.Search(Query("bc")).results.empty());  // "ab" then "cd"
}

TEST(FindCorpusTest, ContextIsOneLineAroundTheHit) {
  EXPECT_EQ(ContextAround("Купить\r\nхлеб\tи молоко", 8, 4), "Купить хлеб и молоко");
  const std::string longText = std::string(100, 'a') + " middle word here " + std::string(100, 'b');
  const std::string c = ContextAround(longText, 108, 4, 10);
  EXPECT_EQ(c.substr(0, 3), "...");
  EXPECT_EQ(c.substr(c.size() - 3), "...");
  EXPECT_NE(c.find("word"), std::string::npos);
  EXPECT_LE(c.size(), 4u + 2 * 10 + 6);
  EXPECT_EQ(ContextAround("abc", 10, 5), "abc");  // a place past the end is clamped
}

}  // namespace
}  // namespace vm::find
