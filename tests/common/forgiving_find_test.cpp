#include "common/forgiving_find.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vm::find {
namespace {

// The hit of `typed` in `text`, as the text it covers and its kind; "" when none.
std::string Found(const std::string& typed, const std::string& text, MatchKind* kind = nullptr) {
  const Query query(typed);
  const std::string folded = Fold(text);
  const Skeleton skeleton = SpellingSkeleton(folded);
  auto hit = query.FindIn(folded, &skeleton);
  if (!hit) return "";
  if (kind) *kind = hit->kind;
  return text.substr(hit->pos, hit->len);
}

struct Case {
  const char* typed;
  const char* text;
  const char* covers;  // "" when nothing may be found
  MatchKind kind;
};

TEST(ForgivingFindTest, FindsAcrossCaseLayoutAndSpelling) {
  const Case cases[] = {
      // Case of every Windows-1251 letter, and "ё" as "е".
      {"ПЕТРОВ", "Иван петров", "петров", MatchKind::kExact},
      {"Пётр", "ПЕТР I", "ПЕТР", MatchKind::kExact},
      {"ёлка", "Ёлка в парке", "Ёлка", MatchKind::kExact},
      {"PETROV", "petrov@mail.example", "petrov", MatchKind::kExact},
      {"їжак", "ЇЖАК і ґанок", "ЇЖАК", MatchKind::kExact},
      {"ђорђе", "ЂОРЂЕ", "ЂОРЂЕ", MatchKind::kExact},
      // The other layout, both ways, with the keys that carry letters.
      {"Gtnhjd", "Сидоров и Петров", "Петров", MatchKind::kLayout},
      {"[jkjl", "Холод", "Холод", MatchKind::kLayout},
      {",fhc", "Барс", "Барс", MatchKind::kLayout},
      {"зуекщм", "petrov@mail.example", "petrov", MatchKind::kLayout},
      // Latin spellings of Russian names.
      {"Petrov", "Иван Петров, инженер", "Петров", MatchKind::kSpelling},
      {"Petroff", "Петров", "Петров", MatchKind::kSpelling},
      {"Shchukin", "Щукин", "Щукин", MatchKind::kSpelling},
      {"Schukin", "Щукин", "Щукин", MatchKind::kSpelling},
      {"Yuri", "Юрий", "Юрий", MatchKind::kSpelling},
      {"Iurii", "Юрий Гагарин", "Юрий", MatchKind::kSpelling},
      {"Yuriy", "Юрий", "Юрий", MatchKind::kSpelling},
      {"Fyodor", "Фёдор", "Фёдор", MatchKind::kSpelling},
      {"Fedor", "Фёдор", "Фёдор", MatchKind::kSpelling},
      {"Alexey", "Алексей", "Алексей", MatchKind::kSpelling},
      {"Tsoi", "Цой", "Цой", MatchKind::kSpelling},
      {"Chehov", "Чехов", "Чехов", MatchKind::kSpelling},
      {"Chekhov", "А. П. Чехов", "Чехов", MatchKind::kSpelling},
      {"Zhukov", "Жуков", "Жуков", MatchKind::kSpelling},
      {"Olga", "Ольга", "Ольга", MatchKind::kSpelling},
      {"Krylov", "Крылов", "Крылов", MatchKind::kSpelling},
      {"Maria", "Мария", "Мария", MatchKind::kSpelling},
      {"Yevgeny", "Евгений", "Евгений", MatchKind::kSpelling},
      {"Evgeniy", "Евгений", "Евгений", MatchKind::kSpelling},
      {"Petrov", "Петрова", "Петров", MatchKind::kSpelling},
      // A Cyrillic query finds the Latin spelling; a part of a letter takes it whole.
      {"Щукин", "mail to Shchukin", "Shchukin", MatchKind::kSpelling},
      {"Mash", "Машенька", "Маш", MatchKind::kSpelling},
      // Nothing is made up.
      {"Petrov", "Петренко", "", MatchKind::kExact},
      {"Ivanov", "Иванова", "Иванов", MatchKind::kSpelling},
      {"Smirnov", "Семёнов", "", MatchKind::kExact},
      {"", "Петров", "", MatchKind::kExact},
      {"   ", "Петров", "", MatchKind::kExact},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " in " + c.text);
    MatchKind kind{};
    EXPECT_EQ(Found(c.typed, c.text, &kind), c.covers);
    if (*c.covers) {
      EXPECT_EQ(kind, c.kind);
    }
  }
}

TEST(ForgivingFindTest, ExactRanksAboveLayoutAboveSpelling) {
  MatchKind kind{};
  EXPECT_EQ(Found("petrov", "Петров, он же petrov", &kind), "petrov");
  EXPECT_EQ(kind, MatchKind::kExact);
  // "ghbdtn" is "привет" on the other layout; the spelling skeleton would not find it.
  EXPECT_EQ(Found("ghbdtn", "privet и привет", &kind), "привет");
  EXPECT_EQ(kind, MatchKind::kLayout);
  // Without a skeleton only exact and layout matches are possible.
  const Query query("Petrov");
  EXPECT_FALSE(query.FindIn(Fold("Петров")).has_value());
  EXPECT_TRUE(query.UsesSkeleton());
  EXPECT_FALSE(Query("2026").UsesSkeleton());
}

TEST(ForgivingFindTest, SkeletonMarksWhereEachByteCameFrom) {
  const Skeleton s = SpellingSkeleton(Fold("Щука и Ёж"));
  ASSERT_EQ(s.origin.size(), s.text.size() + 1);
  EXPECT_EQ(s.text, "quka i eZ");
  EXPECT_EQ(s.origin.front(), 0u);
  EXPECT_EQ(s.origin.back(), 9u);
  for (size_t i = 1; i < s.origin.size(); ++i) EXPECT_LE(s.origin[i - 1], s.origin[i]);
  // Layout tables are each other's inverse on the letters.
  EXPECT_EQ(RussianKeysToLatin(LatinKeysToRussian("qwertyuiopasdfghjklzxcvbnm")), "qwertyuiopasdfghjklzxcvbnm");
}

// The skeletons the search keeps are made by the fast pass; the places of a hit by the
// plain one: both must give the same text for any input.
TEST(ForgivingFindTest, FastSkeletonTextIsThePlainOnesOverSeededTexts) {
  const std::string alphabet = Fold("shczktfxwyjiueoa щшчжхцюяыйьъиеёоапр-1\x1F");
  std::mt19937 random(36);
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    const size_t length = random() % 14;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    std::string fast = "x";  // appended to what is there
    AppendSkeletonText(text, fast);
    ASSERT_EQ(fast, "x" + SpellingSkeleton(text).text) << text;
  }
  for (int c = 0; c < 256; ++c) EXPECT_EQ(FoldByte(static_cast<char>(c)), Fold(std::string(1, static_cast<char>(c)))[0]);
}

}  // namespace
}  // namespace vm::find
