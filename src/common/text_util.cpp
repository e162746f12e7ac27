#include "common/text_util.h"

namespace vm {

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  size_t hit = s.find(from);
  if (hit == std::string::npos) return;
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  size_t pos = 0;
  for (; hit != std::string::npos; hit = s.find(from, pos)) {
    out.append(s, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s, pos, std::string::npos);
  s.swap(out);
}

namespace {

// The upper-case letters outside A-Z and А-Я with their lower-case partners.
constexpr unsigned char kOtherCasePairs[][2] = {
    {0xA8, 0xB8},  // Ё ё
    {0x80, 0x90},  // Ђ ђ
    {0x81, 0x83},  // Ѓ ѓ
    {0x8A, 0x9A},  // Љ љ
    {0x8C, 0x9C},  // Њ њ
    {0x8D, 0x9D},  // Ќ ќ
    {0x8E, 0x9E},  // Ћ ћ
    {0x8F, 0x9F},  // Џ џ
    {0xA1, 0xA2},  // Ў ў
    {0xA3, 0xBC},  // Ј ј
    {0xA5, 0xB4},  // Ґ ґ
    {0xAA, 0xBA},  // Є є
    {0xAF, 0xBF},  // Ї ї
    {0xB2, 0xB3},  // І і
    {0xBD, 0xBE},  // Ѕ ѕ
};

struct FoldTable {
  char lower[256];
  FoldTable() {
    for (int c = 0; c < 256; ++c) lower[c] = static_cast<char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) lower[c] = static_cast<char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c) lower[c] = static_cast<char>(c + 32);
    for (const auto& pair : kOtherCasePairs) lower[pair[0]] = static_cast<char>(pair[1]);
  }
};

const FoldTable& Folds() {
  static const FoldTable table;
  return table;
}

}  // namespace

char FoldCase1251(char c) {
  return Folds().lower[static_cast<unsigned char>(c)];
}

std::string FoldCase1251(std::string_view text) {
  const FoldTable& folds = Folds();
  std::string out(text);
  for (char& c : out) c = folds.lower[static_cast<unsigned char>(c)];
  return out;
}

}  // namespace vm
