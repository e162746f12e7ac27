#include "common/forgiving_find.h"

#include <array>

#include "common/text_util.h"

namespace vm::find {

namespace {

// Windows-1251 bytes, written as numbers so the tables do not depend on how the
// compiler stores narrow literals.
constexpr unsigned char kCyrA = 0xE0;   // "а"; "а".."я" run to 0xFF
constexpr unsigned char kCyrYo = 0xB8;  // "ё"
constexpr unsigned char kCyrIe = 0xE5;  // "е"

bool IsLatinLetter(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool IsCyrillicLetter(unsigned char c) { return c >= kCyrA; }  // folded: lower case only

// The US key and the Russian letter on it.
struct Key {
  char latin;
  unsigned char russian;
};
constexpr Key kKeys[] = {
    {'q', 0xE9}, {'w', 0xF6}, {'e', 0xF3}, {'r', 0xEA}, {'t', 0xE5}, {'y', 0xED}, {'u', 0xE3},
    {'i', 0xF8}, {'o', 0xF9}, {'p', 0xE7}, {'[', 0xF5}, {']', 0xFA}, {'a', 0xF4}, {'s', 0xFB},
    {'d', 0xE2}, {'f', 0xE0}, {'g', 0xEF}, {'h', 0xF0}, {'j', 0xEE}, {'k', 0xEB}, {'l', 0xE4},
    {';', 0xE6}, {'\'', 0xFD}, {'z', 0xFF}, {'x', 0xF7}, {'c', 0xF1}, {'v', 0xEC}, {'b', 0xE8},
    {'n', 0xF2}, {'m', 0xFC}, {',', 0xE1}, {'.', 0xFE}, {'`', kCyrIe},  // "ё" folds to "е"
};

struct KeyTables {
  std::array<unsigned char, 256> toRussian{}, toLatin{};
  KeyTables() {
    for (int i = 0; i < 256; ++i) toRussian[i] = toLatin[i] = static_cast<unsigned char>(i);
    for (const Key& k : kKeys) {
      toRussian[static_cast<unsigned char>(k.latin)] = k.russian;
      if (k.latin != '`') toLatin[k.russian] = static_cast<unsigned char>(k.latin);
    }
  }
};
const KeyTables& Keys() {
  static const KeyTables tables;
  return tables;
}

std::string MapBytes(std::string_view text, const std::array<unsigned char, 256>& table) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return out;
}

// "а".."я" in Latin letters; "ъ" and "ь" vanish.
constexpr const char* kLatinOf[32] = {"a", "b",  "v",  "g",  "d",  "e",    "zh", "z", "i", "i", "k",
                                      "l", "m",  "n",  "o",  "p",  "r",    "s",  "t", "u", "f", "kh",
                                      "ts", "ch", "sh", "shch", "", "y",   "",   "e", "yu", "ya"};

// A skeleton being built: each byte with the text's byte it stands for.
struct Marked {
  std::string text;
  std::vector<uint32_t> origin;
  void Add(std::string_view s, uint32_t from) {
    text += s;
    origin.insert(origin.end(), s.size(), from);
  }
};

struct Rule {
  std::string_view from, to;
};
// One left-to-right pass; at each place the first rule that matches wins (longer
// patterns stand first). The replacement stands for the first byte it replaces.
Marked Rewrite(const Marked& in, const Rule* rules, size_t count) {
  Marked out;
  out.text.reserve(in.text.size());
  out.origin.reserve(in.text.size());
  std::string_view s = in.text;
  for (size_t i = 0; i < s.size();) {
    bool done = false;
    for (size_t r = 0; r < count && !done; ++r) {
      if (s.compare(i, rules[r].from.size(), rules[r].from) == 0) {
        out.Add(rules[r].to, in.origin[i]);
        i += rules[r].from.size();
        done = true;
      }
    }
    if (!done) {
      out.Add(s.substr(i, 1), in.origin[i]);
      ++i;
    }
  }
  return out;
}

constexpr Rule kSounds[] = {
    {"shch", "q"}, {"sch", "q"}, {"zh", "Z"}, {"kh", "h"}, {"ch", "C"}, {"sh", "S"}, {"ts", "c"},
    {"tz", "c"},   {"x", "ks"},  {"ff", "v"}, {"w", "v"},  {"y", "i"},  {"j", "i"},
};
constexpr Rule kDoubleI[] = {{"ii", "i"}};
constexpr Rule kGlides[] = {{"iu", "U"}, {"ia", "A"}, {"io", "e"}, {"ie", "e"}};

}  // namespace

std::string Fold(std::string_view cp1251) {
  std::string out = FoldCase1251(cp1251);
  for (char& c : out)
    if (static_cast<unsigned char>(c) == kCyrYo) c = static_cast<char>(kCyrIe);
  return out;
}

std::string LatinKeysToRussian(std::string_view folded) { return MapBytes(folded, Keys().toRussian); }
std::string RussianKeysToLatin(std::string_view folded) { return MapBytes(folded, Keys().toLatin); }

Skeleton SpellingSkeleton(std::string_view folded) {
  Marked latin;
  latin.text.reserve(folded.size() + folded.size() / 4);
  latin.origin.reserve(latin.text.capacity());
  for (size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (IsCyrillicLetter(c))
      latin.Add(kLatinOf[c - kCyrA], static_cast<uint32_t>(i));
    else
      latin.Add(folded.substr(i, 1), static_cast<uint32_t>(i));
  }
  Marked sounds = Rewrite(latin, kSounds, std::size(kSounds));
  // "iii" from "ийи" and the like: as many passes as it takes.
  Marked single = Rewrite(sounds, kDoubleI, 1);
  while (single.text.size() != sounds.text.size()) {
    sounds = std::move(single);
    single = Rewrite(sounds, kDoubleI, 1);
  }
  Marked glides = Rewrite(single, kGlides, std::size(kGlides));
  glides.origin.push_back(static_cast<uint32_t>(folded.size()));
  return {std::move(glides.text), std::move(glides.origin)};
}

char FoldByte(char c) {
  static const std::array<char, 256> kTable = [] {
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i) {
      char folded = FoldCase1251(static_cast<char>(i));
      t[static_cast<size_t>(i)] = static_cast<unsigned char>(folded) == kCyrYo ? static_cast<char>(kCyrIe) : folded;
    }
    return t;
  }();
  return kTable[static_cast<unsigned char>(c)];
}

void AppendSkeletonText(std::string_view folded, std::string& out) {
  // Pass one: the Cyrillic letters in Latin.
  thread_local std::string latin;
  latin.clear();
  latin.reserve(folded.size() + folded.size() / 4);
  for (char ch : folded) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsCyrillicLetter(c))
      latin += kLatinOf[c - kCyrA];
    else
      latin += ch;
  }
  // Pass two: the sounds (kSounds), each result going straight through the run of "i"
  // (kDoubleI, to a fixed point) and the glides (kGlides) as the passes above apply them.
  out.reserve(out.size() + latin.size());
  bool pendingI = false;
  auto emit = [&](char c) {
    if (c == 'i') {
      pendingI = true;
      return;
    }
    if (pendingI) {
      pendingI = false;
      switch (c) {
        case 'u': out += 'U'; return;
        case 'a': out += 'A'; return;
        case 'o':
        case 'e': out += 'e'; return;
        default: out += 'i'; break;
      }
    }
    out += c;
  };
  const std::string_view s = latin;
  for (size_t i = 0; i < s.size();) {
    // The first rule whose pattern stands at i, longer patterns first, as kSounds.
    auto rule = [&](std::string_view from, char to) {
      if (s.compare(i, from.size(), from) != 0) return false;
      emit(to);
      i += from.size();
      return true;
    };
    switch (s[i]) {
      case 's':
        if (rule("shch", 'q') || rule("sch", 'q') || rule("sh", 'S')) continue;
        break;
      case 'z': if (rule("zh", 'Z')) continue; break;
      case 'k': if (rule("kh", 'h')) continue; break;
      case 'c': if (rule("ch", 'C')) continue; break;
      case 't': if (rule("ts", 'c') || rule("tz", 'c')) continue; break;
      case 'f': if (rule("ff", 'v')) continue; break;
      case 'x':
        emit('k');
        emit('s');
        ++i;
        continue;
      case 'w': rule("w", 'v'); continue;
      case 'y': rule("y", 'i'); continue;
      case 'j': rule("j", 'i'); continue;
      default: break;
    }
    emit(s[i]);
    ++i;
  }
  if (pendingI) out += 'i';
}

Query::Query(std::string_view typed) : folded_(Fold(typed)) {
  bool latin = false, russian = false;
  for (char ch : folded_) {
    const auto c = static_cast<unsigned char>(ch);
    latin = latin || IsLatinLetter(c);
    russian = russian || IsCyrillicLetter(c);
  }
  // A query of one layout only is read on the other; a mixed one was typed on purpose.
  if (latin != russian) {
    layout_ = latin ? LatinKeysToRussian(folded_) : RussianKeysToLatin(folded_);
    if (layout_ == folded_) layout_.clear();
  }
  if (latin || russian) skeleton_ = SpellingSkeleton(folded_).text;
}

std::optional<Hit> Query::FindIn(std::string_view folded, const Skeleton* skeleton) const {
  if (folded_.empty()) return std::nullopt;
  if (size_t at = folded.find(folded_); at != std::string_view::npos)
    return Hit{at, folded_.size(), MatchKind::kExact};
  if (!layout_.empty())
    if (size_t at = folded.find(layout_); at != std::string_view::npos)
      return Hit{at, layout_.size(), MatchKind::kLayout};
  if (skeleton && !skeleton_.empty() && skeleton->origin.size() == skeleton->text.size() + 1) {
    if (size_t at = skeleton->text.find(skeleton_); at != std::string::npos) {
      // The hit ends where the next text byte begins: a letter written with several
      // skeleton bytes ("щ" as "q", "х" as "ks") is taken whole.
      const auto& origin = skeleton->origin;
      const size_t begin = origin[at];
      size_t next = at + skeleton_.size();
      while (origin[next] <= origin[next - 1] && next + 1 < origin.size()) ++next;
      const size_t end = origin[next];
      if (end > begin && end <= folded.size()) return Hit{begin, end - begin, MatchKind::kSpelling};
    }
  }
  return std::nullopt;
}

}  // namespace vm::find
