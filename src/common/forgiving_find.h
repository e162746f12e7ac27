// Finding what a person typed in stored text, forgiving the ways people mistype it:
// case (every Windows-1251 letter) and "ё" for "е"; the keys of the other keyboard
// layout ("Gtnhjd" typed for "Петров" on the US layout, and the reverse); and the Latin
// spellings of Russian words ("Petrov", "Petroff", "Shchukin"/"Schukin",
// "Yuri"/"Iurii"/"Yuriy", "Fyodor"/"Fedor", "Alexey"/"Aleksei" all find their Cyrillic
// original, and a Cyrillic query finds the Latin spelling). An exact match ranks above a
// layout match, which ranks above a spelling match.
//
// The spelling rule: both sides become a Latin skeleton. Cyrillic letters go to Latin
// ("ж" zh, "х" kh, "ц" ts, "ч" ch, "ш" sh, "щ" shch, "ю" yu, "я" ya, "ы" y, "й" i; "ь" and
// "ъ" vanish); then shch/sch, zh, kh, ch, sh, ts/tz each count as one sound, "x" as
// "ks", "ff" and "w" as "v", "y" and "j" as "i", a doubled "i" as one, and
// "iu"/"ia"/"io"/"ie" as "yu", "ya", "ё" and "е". "h" alone stands for "х".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::find {

enum class MatchKind { kExact = 0, kLayout = 1, kSpelling = 2 };  // better first

// Case folded (FoldCase1251) with "ё" as "е". Byte for byte: a place in the folded
// text is the same place in the original.
std::string Fold(std::string_view cp1251);

// The same keys on the other layout, for folded text: US QWERTY letters (and the keys
// that carry Russian letters: [ ] ; ' , . `) to the Russian ЙЦУКЕН letters, and back.
// Everything else stays.
std::string LatinKeysToRussian(std::string_view folded);
std::string RussianKeysToLatin(std::string_view folded);

// A folded text's spelling skeleton. origin[i] is the byte of the text that skeleton
// byte i stands for; origin has one more entry, the text's length.
struct Skeleton {
  std::string text;
  std::vector<uint32_t> origin;
};
Skeleton SpellingSkeleton(std::string_view folded);
// The same skeleton text appended to `out`, without the places: two tight passes, for
// texts kept to be searched many times (their places are found again for a hit only).
void AppendSkeletonText(std::string_view folded, std::string& out);
// Fold() of one byte.
char FoldByte(char c);

struct Hit {
  size_t pos = 0;  // in the text (folded or not: the same places)
  size_t len = 0;
  MatchKind kind = MatchKind::kExact;
};

// What the user typed, prepared once for every text it is looked for in.
class Query {
 public:
  explicit Query(std::string_view typed);
  bool Empty() const { return folded_.empty(); }
  // True when a text's skeleton can give a match (the query has letters); callers that
  // keep texts between searches keep their skeletons too.
  bool UsesSkeleton() const { return !skeleton_.empty(); }
  // The best match in a text folded by Fold(); the spelling match needs the text's
  // skeleton. Exact before layout before spelling; the first place of the best kind.
  std::optional<Hit> FindIn(std::string_view folded, const Skeleton* skeleton = nullptr) const;
  // The three forms looked for: as typed (folded), on the other layout (empty when it
  // reads the same), and the spelling skeleton (empty without letters).
  const std::string& folded() const { return folded_; }
  const std::string& layout() const { return layout_; }
  const std::string& skeleton() const { return skeleton_; }

 private:
  std::string folded_;
  std::string layout_;    // the other layout's reading; empty when it is the same
  std::string skeleton_;  // the spelling skeleton; empty without letters
};

}  // namespace vm::find
