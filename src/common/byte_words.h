// Eight bytes of text at a time: a word loaded from text, and the bytes of a word that
// equal a given byte, for scans that would otherwise test every byte on its own.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vm {

// The high bit of each byte of `word` that equals `c`, and no other bit.
inline uint64_t BytesEqual(uint64_t word, unsigned char c) {
  constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
  const uint64_t x = word ^ (0x0101010101010101ull * c);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Up to eight bytes of text from `at`, the first in the lowest byte; zero past the end.
inline uint64_t LoadWord(const char* at, size_t available) {
  uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    if (available >= 8) {
      std::memcpy(&word, at, 8);
      return word;
    }
    std::memcpy(&word, at, available);
  } else {
    for (size_t k = available < 8 ? available : 8; k-- > 0;) word = (word << 8) | static_cast<unsigned char>(at[k]);
  }
  return word;
}

}  // namespace vm
