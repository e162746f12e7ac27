#include "common/header_codec.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vm {

const char kHeaderAlphabet[65] = "eAs8ZRorKnMxWd6Y2-XD4aQJUgwE3tF1GzN9iTC75cplqBSuIVvLOy+PmHfhjbk=";

namespace {

// Index of every byte in the decoder's table (the alphabet followed by one space, at
// 64); the table is searched from its end and the index masked to six bits, so a space
// and any character outside the table give 0.
const std::array<uint8_t, 256>& DecoderIndex() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kHeaderAlphabet[i])] = static_cast<uint8_t>(i);
    t[static_cast<unsigned char>(' ')] = 64 & 63;
    return t;
  }();
  return table;
}

// A byte as the encoder takes it: "^" stands for a zero byte. Worked out rather than
// looked up or tested, as it is done for every byte of every title of a protected
// notebook: b ^ '^' is 0 only for "^", and one less than that, shifted, is then all
// ones below bit 24 and otherwise 0.
inline uint32_t EncoderByte(char c) {
  const uint32_t b = static_cast<unsigned char>(c);
  const uint32_t caret = ((b ^ static_cast<uint32_t>('^')) - 1) >> 8;
  return b & ~caret;
}

bool HasLineBreak(std::string_view text) {
  return !text.empty() && (std::memchr(text.data(), '\r', text.size()) || std::memchr(text.data(), '\n', text.size()));
}

constexpr char kScrambleKey[] = "kvnr";

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The body of the escaped form (without the mark).
// Written through a pointer into room for the worst case (every byte escaped), so
// nothing is appended piece by piece.
void AppendEscaped(std::string& out, std::string_view text, std::string_view unsafe) {
  std::array<bool, 256> escaped{};
  escaped[static_cast<unsigned char>(kEscapeMark)] = true;
  for (char c : unsafe) escaped[static_cast<unsigned char>(c)] = true;
  const size_t base = out.size();
  out.resize(base + 3 * text.size());
  char* w = out.data() + base;
  auto put = [&](char c) {
    const auto b = static_cast<unsigned char>(c);
    if (escaped[b]) {
      w[0] = kEscapeMark;
      w[1] = kHexDigits[b >> 4];
      w[2] = kHexDigits[b & 15];
      w += 3;
    } else {
      *w++ = c;
    }
  };
  const char* p = text.data();
  const char* const end = p + text.size();
#if defined(__SSE2__)
  // A long text with few bytes to escape is searched sixteen bytes a step, and the runs
  // between them copied whole (places past the unsafe bytes repeat the mark).
  if (end - p >= 32 && unsafe.size() < 8) {
    auto lane = [&](size_t k) { return _mm_set1_epi8(k < unsafe.size() ? unsafe[k] : kEscapeMark); };
    const __m128i m0 = _mm_set1_epi8(kEscapeMark), m1 = lane(0), m2 = lane(1), m3 = lane(2), m4 = lane(3),
                  m5 = lane(4), m6 = lane(5), m7 = lane(6);
    while (end - p >= 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i any = _mm_or_si128(
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, m0), _mm_cmpeq_epi8(v, m1)),
                       _mm_or_si128(_mm_cmpeq_epi8(v, m2), _mm_cmpeq_epi8(v, m3))),
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, m4), _mm_cmpeq_epi8(v, m5)),
                       _mm_or_si128(_mm_cmpeq_epi8(v, m6), _mm_cmpeq_epi8(v, m7))));
      const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(any));
      const size_t run = hits ? static_cast<size_t>(__builtin_ctz(hits)) : 16;
      std::memcpy(w, p, run);
      w += run;
      p += run;
      if (hits) put(*p++);
    }
  }
#endif
  for (; p < end; ++p) put(*p);
  out.resize(static_cast<size_t>(w - out.data()));
}

// From one ESC to the next; what lies between is copied whole. Never longer than the body.
std::string UnescapeBody(std::string_view body) {
  std::string out(body.size(), '\0');
  char* w = out.data();
  const char* p = body.data();
  const char* const end = p + body.size();
  while (p < end) {
    const char* mark = static_cast<const char*>(std::memchr(p, kEscapeMark, static_cast<size_t>(end - p)));
    const char* stop = mark ? mark : end;
    std::memcpy(w, p, static_cast<size_t>(stop - p));
    w += stop - p;
    p = stop;
    if (p == end) break;
    if (end - p > 2 && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      *w++ = static_cast<char>(HexValue(p[1]) * 16 + HexValue(p[2]));
      p += 3;
    } else {
      *w++ = *p++;
    }
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

// Bytes the header encoding cannot carry: "^" becomes a terminator, CR and LF are
// skipped, and the reader cuts at the first zero byte.
constexpr std::string_view kHeaderUnsafe("^\r\n\0", 4);

bool HeaderCarries(std::string_view text) {
  return text.find_first_of(kHeaderUnsafe) == std::string_view::npos && !IsEscaped(text);
}

}  // namespace

std::string EncodeHeader(std::string_view text) {
  std::string out;
  AppendEncodedHeader(out, text);
  return out;
}

void AppendEncodedHeader(std::string& out, std::string_view text) {
  const size_t base = out.size();
  out.resize(base + (text.size() + 2) / 3 * 4);  // every group, padding included
  char* w = out.data() + base;
  auto put = [&](uint32_t v) {
    w[0] = kHeaderAlphabet[(v >> 18) & 63];
    w[1] = kHeaderAlphabet[(v >> 12) & 63];
    w[2] = kHeaderAlphabet[(v >> 6) & 63];
    w[3] = kHeaderAlphabet[v & 63];
    w += 4;
  };
  auto byte = [](char c) { return EncoderByte(c); };
  const char* p = text.data();
  const char* const end = p + text.size();
  // Without CR or LF every three bytes are a group as they stand.
  if (!HasLineBreak(text))
    for (; end - p >= 3; p += 3) put((byte(p[0]) << 16) | (byte(p[1]) << 8) | byte(p[2]));
  uint32_t v = 0;
  int filled = 0;
  auto take = [&](char c) {
    if (c == '\r' || c == '\n') return;
    v = (v << 8) | byte(c);
    if (++filled < 3) return;
    put(v & 0xFFFFFF);
    v = 0;
    filled = 0;
  };
  for (; p < end; ++p) take(*p);
  // (8n) mod 6 is 2 for n mod 3 = 1 and 4 for n mod 3 = 2.
  switch (text.size() % 3) {
    case 1:
      take('^');
      take('^');
      break;
    case 2: take('^'); break;
    default: break;
  }
  out.resize(static_cast<size_t>(w - out.data()));
}

std::string DecodeHeaderBytes(std::string_view code) {
  const auto& index = DecoderIndex();
  std::string out;
  out.resize(code.size() / 4 * 3);
  char* w = out.data();
  auto put = [&](uint32_t v) {
    w[0] = static_cast<char>((v >> 16) & 255);
    w[1] = static_cast<char>((v >> 8) & 255);
    w[2] = static_cast<char>(v & 255);
    w += 3;
  };
  auto bits = [&](char c) { return uint32_t{index[static_cast<unsigned char>(c)]}; };
  const char* p = code.data();
  const char* const end = p + code.size();
  // Without CR or LF every four symbols are a group as they stand.
  if (!HasLineBreak(code))
    for (; end - p >= 4; p += 4) put((bits(p[0]) << 18) | (bits(p[1]) << 12) | (bits(p[2]) << 6) | bits(p[3]));
  uint32_t v = 0;
  int filled = 0;
  for (; p < end; ++p) {
    if (*p == '\r' || *p == '\n') continue;
    v = (v << 6) | bits(*p);
    if (++filled < 4) continue;
    put(v);
    v = 0;
    filled = 0;
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

std::string DecodeHeader(std::string_view code) {
  std::string bytes = DecodeHeaderBytes(code);
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

void ScrambleInPlace(std::string& text) {
  ScrambleInPlace(text.data(), text.size());
}

void ScrambleInPlace(char* text, size_t size) {
  // XOR with each key letter in turn is one XOR with all of them combined; eight bytes
  // are taken at a time.
  constexpr unsigned char kMask = [] {
    unsigned char m = 0;
    for (const char* k = kScrambleKey; *k; ++k) m = static_cast<unsigned char>(m ^ *k);
    return m;
  }();
  constexpr uint64_t kWideMask = kMask * 0x0101010101010101ull;
  size_t i = 0;
  for (; size - i >= 8; i += 8) {
    uint64_t w;
    std::memcpy(&w, text + i, 8);
    w ^= kWideMask;
    std::memcpy(text + i, &w, 8);
  }
  for (; i < size; ++i) text[i] = static_cast<char>(text[i] ^ kMask);
}

std::string Scramble(std::string_view text) {
  std::string out(text);
  ScrambleInPlace(out);
  return out;
}

std::string EscapeText(std::string_view text, std::string_view unsafe) {
  std::string out;
  AppendEscapedText(out, text, unsafe);
  return out;
}

void AppendEscapedText(std::string& out, std::string_view text, std::string_view unsafe) {
  // Room for the worst case at once: AppendEscaped would otherwise grow the text again.
  out.reserve(out.size() + 1 + 3 * text.size());
  out += kEscapeMark;
  AppendEscaped(out, text, unsafe);
}

std::string UnescapeText(std::string_view escaped) {
  if (IsEscaped(escaped)) escaped.remove_prefix(1);
  return UnescapeBody(escaped);
}

std::string ReadMaybeEscaped(std::string_view text) {
  return IsEscaped(text) ? UnescapeText(text) : std::string(text);
}

std::string KeyText(std::string_view fileName, std::string_view password, std::string_view extension) {
  std::string plain(fileName);
  plain += password;
  size_t ext = fileName.find(extension);
  bool splits = ext == std::string_view::npos ? password.empty() : ext + extension.size() == fileName.size();
  if (splits && HeaderCarries(plain)) return plain;
  std::string out(1, kEscapeMark);
  std::string nameUnsafe(kHeaderUnsafe);
  nameUnsafe += '.';
  AppendEscaped(out, fileName, nameUnsafe);
  out += extension;
  AppendEscaped(out, password, kHeaderUnsafe);
  return out;
}

std::string EncodeKey(std::string_view fileName, std::string_view password, std::string_view extension) {
  return EncodeHeader(KeyText(fileName, password, extension));
}

KeyParts SplitKeyText(std::string_view decoded, std::string_view extension) {
  KeyParts parts;
  if (IsEscaped(decoded)) {
    std::string_view body = decoded.substr(1);
    size_t ext = body.find(extension);
    if (ext == std::string_view::npos) {
      parts.name = UnescapeBody(body);
    } else {
      parts.name = UnescapeBody(body.substr(0, ext));
      parts.password = UnescapeBody(body.substr(ext + extension.size()));
    }
    return parts;
  }
  size_t ext = decoded.find(extension);
  if (ext != std::string_view::npos) {
    parts.name = std::string(decoded.substr(0, ext + extension.size()));
    parts.password = std::string(decoded.substr(ext + extension.size()));
  } else {
    parts.name = std::string(decoded);
  }
  return parts;
}

std::string FileNameOf(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace vm
