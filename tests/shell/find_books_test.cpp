#include "shell/find_books.h"

#include <gtest/gtest.h>

namespace vm::shell {
namespace {

// A page's book as the search sees it: texts, a stamp, a lock, and where it was sent.
class FakeBook : public BookCalls {
 public:
  FakeBook(std::string name, std::vector<std::string> texts) : name_(std::move(name)) { Set(std::move(texts)); }
  void Set(std::vector<std::string> texts) {
    texts_ = std::move(texts);
    stamp_ = find::NextStamp();
  }
  std::optional<FindableBook> Findable() const override {
    return FindableBook{name_, stamp_, locked_ ? "защищён паролем" : "", {"имя", "телефон"}};
  }
  std::vector<find::Entry> FindTexts() const override {
    ++collected;
    std::vector<find::Entry> out;
    for (uint32_t i = 0; i < texts_.size(); ++i) out.push_back({{i, 0, 0}, "запись " + std::to_string(i), texts_[i]});
    return out;
  }
  bool JumpTo(const find::Result& hit) override {
    shown.push_back(hit.place.record);
    return hit.place.record < texts_.size();
  }
  bool locked_ = false;
  mutable int collected = 0;
  std::vector<uint32_t> shown;

 private:
  std::string name_;
  std::vector<std::string> texts_;
  uint64_t stamp_ = 0;
};

std::vector<std::string> Lines(const FoundAll& found) {
  std::vector<std::string> out;
  for (const FoundLine& l : found.lines) out.push_back(l.book + "|" + l.where + "|" + l.text);
  return out;
}

TEST(FindEverywhereTest, KeepsTextsBetweenKeystrokesAndTakesThemAgainOnlyAfterAChange) {
  const std::string card = std::string("Петров Пётр") + find::kFieldBreak + "+7 495 Петрову звонить";
  FakeBook cards("Контакты", {card, "Сидоров"});
  FakeBook notes("Блокнот", {"купить хлеб"});
  BookCalls none;  // a page without a book (About)
  FindEverywhere all({&cards, &none, &notes});

  // A hit names its field, and its context is that field alone; a record is one hit.
  EXPECT_EQ(Lines(all.Search("петров")), std::vector<std::string>{"Контакты|запись 0, имя|Петров Пётр"});
  EXPECT_EQ(all.Search("ПЕТРОВУ").lines.at(0).hit.pos, 7u);
  EXPECT_EQ(cards.collected, 1);  // every keystroke since searched the kept texts

  notes.Set({"позвонить Петрову"});
  FoundAll found = all.Search("петров");
  EXPECT_EQ(cards.collected, 1);
  EXPECT_EQ(notes.collected, 2);
  ASSERT_EQ(found.lines.size(), 2u);
  EXPECT_EQ(found.lines[1].book, "Блокнот");
  EXPECT_EQ(found.lines[1].page, 2u);
  EXPECT_TRUE(all.Show(found.lines[1]));
  EXPECT_EQ(notes.shown, std::vector<uint32_t>{0});
  notes.Set({});
  EXPECT_FALSE(all.Show(found.lines[1]));  // the note went meanwhile
  EXPECT_TRUE(all.Search("хлеб").lines.empty());
}

TEST(FindEverywhereTest, ALockedBookIsNotSearchedAndSaysSoUntilItIsOpened) {
  FakeBook notes("Блокнот", {"Петров"});
  FindEverywhere all({&notes});
  EXPECT_EQ(all.Search("Петров").lines.size(), 1u);
  notes.locked_ = true;
  FoundAll found = all.Search("Петров");
  EXPECT_TRUE(found.lines.empty());
  EXPECT_EQ(found.notSearched, std::vector<std::string>{"Блокнот: защищён паролем"});
  notes.locked_ = false;  // the same stamp: the texts must still be taken again
  EXPECT_EQ(all.Search("Петров").lines.size(), 1u);
  EXPECT_TRUE(all.Search("Петров").notSearched.empty());
}

TEST(FindEverywhereTest, TheWindowNamesEachBookOnceAndSaysWhatWasLeftOut) {
  FakeBook cards("Контакты", {"Петров", "Петрова"});
  FakeBook notes("Блокнот", {"Петров"});
  FindEverywhere all({&cards, &notes});
  FoundAll found = all.Search("петров");
  std::vector<FoundRow> rows = FoundRows(found);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].book, "Контакты");
  EXPECT_EQ(rows[1].book, "");
  EXPECT_EQ(rows[2].book, "Блокнот");
  EXPECT_EQ(FoundStatus(found, true), "Найдено: 3");
  notes.locked_ = true;
  EXPECT_EQ(FoundStatus(all.Search("сидоров"), true), "Ничего не найдено. Не просмотрено: Блокнот: защищён паролем");
  EXPECT_EQ(FoundStatus(all.Search(""), false).rfind("Введите текст", 0), 0u);
  found.truncated = true;
  EXPECT_EQ(FoundStatus(found, true), "Найдено: 3 (показаны лучшие)");
}

TEST(FindEverywhereTest, BookNamesAndWhere) {
  EXPECT_EQ(FindBookName(Book::kContacts), "Контакты");
  EXPECT_EQ(FindBookName(Book::kNotebook, "C:\\Мои\\Дом.dbn"), "Блокнот (Дом.dbn)");
  EXPECT_EQ(FindBookName(Book::kSpreadsheet, "/home/a/b.xml"), "а ля Excel (b.xml)");
  EXPECT_EQ(WhereText("Лист1!B7", {}, 0), "Лист1!B7");
  EXPECT_EQ(WhereText("", {"имя"}, 0), "имя");
  EXPECT_EQ(WhereText("Иванов", {"имя"}, 3), "Иванов");
}

}  // namespace
}  // namespace vm::shell
