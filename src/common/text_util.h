// Small text helpers the core shares.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// Replaces every occurrence of `from` (not empty) in s, left to right, in one pass.
void ReplaceAll(std::string& s, std::string_view from, std::string_view to);

// Case folding of Windows-1251 text: every cased letter of the code page to its lower
// case (the Latin letters, А-Я and Ё, and the other Cyrillic ones: Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ
// Є Ї І Ѕ). Every comparison and search without regard to case goes through it.
char FoldCase1251(char c);
std::string FoldCase1251(std::string_view text);

}  // namespace vm
