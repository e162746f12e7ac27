#include "common/protected_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace vm {

const char* const kProtectedMagic = "VELMORIA-PROTECTED";
const char* const kWrongPasswordMessage = "Неверный пароль или файл повреждён";
const char* const kUpgradeNotice =
    "Файл будет сохранен с новой, надежной защитой паролем (AES-256). Прежние версии программы не смогут его открыть.";

namespace {

constexpr uint32_t kVersion = 1;
constexpr std::string_view kKdfName = "PBKDF2-HMAC-SHA256";
constexpr std::string_view kCipherName = "AES-256-GCM";
constexpr size_t kLineLength = 76;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void AppendHex(std::string& out, const uint8_t* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;  // upper case is not what a writer makes
}

bool ReadHex(std::string_view text, uint8_t* bytes, size_t size) {
  if (text.size() != 2 * size) return false;
  for (size_t i = 0; i < size; ++i) {
    int hi = HexDigit(text[2 * i]), lo = HexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return true;
}

// A decimal without sign or leading zero.
bool ReadCount(std::string_view text, uint32_t& value) {
  if (text.empty() || text.size() > 10 || text[0] == '0') return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::string HeaderLine(uint32_t iterations, const uint8_t* salt, const uint8_t* nonce) {
  std::string line = kProtectedMagic;
  line += ' ';
  line += std::to_string(kVersion);
  line += ' ';
  line += kKdfName;
  line += ' ';
  line += std::to_string(iterations);
  line += ' ';
  AppendHex(line, salt, kSaltSize);
  line += ' ';
  line += kCipherName;
  line += ' ';
  AppendHex(line, nonce, crypto::kNonceSize);
  return line;
}

}  // namespace

const char* ProtectionName(Protection protection) {
  switch (protection) {
    case Protection::kLegacy: return "legacy";
    case Protection::kStrong: return "strong";
    case Protection::kNone: break;
  }
  return "none";
}

bool ParseProtectionName(std::string_view name, Protection& protection) {
  if (name == "strong") {
    protection = Protection::kStrong;
  } else if (name == "legacy") {
    protection = Protection::kLegacy;
  } else {
    return false;
  }
  return true;
}

bool LooksSealed(std::string_view bytes) {
  std::string_view magic = kProtectedMagic;
  if (bytes.size() > magic.size() && bytes.substr(0, magic.size()) == magic && bytes[magic.size()] == ' ')
    return true;
  // A file whose magic word was damaged is still no book: any one changed byte leaves
  // one of the names of the first line whole, and no book's first line starts a header
  // ("/") or a note ("<") with them.
  std::string_view first = bytes.substr(0, std::min(bytes.find('\n'), size_t{256}));
  if (first.empty() || first[0] == '/' || first[0] == '<') return false;
  for (std::string_view name : {std::string_view(" PBKDF2-HMAC-SHA256 "), std::string_view(" AES-256-GCM ")})
    if (first.find(name) != std::string_view::npos) return true;
  return false;
}

bool ReadSealHeader(std::string_view bytes, SealHeader& header) {
  size_t end = bytes.find("\r\n");
  if (end == std::string_view::npos) return false;
  std::string_view line = bytes.substr(0, end);
  std::string_view parts[8];
  size_t n = 0, start = 0;
  for (;;) {
    size_t space = line.find(' ', start);
    if (n == 8) return false;
    parts[n++] = line.substr(start, space == std::string_view::npos ? std::string_view::npos : space - start);
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  if (n != 7 || parts[0] != kProtectedMagic || parts[1] != "1" || parts[2] != kKdfName || parts[5] != kCipherName) return false;
  header.version = kVersion;
  if (!ReadCount(parts[3], header.iterations) || header.iterations > kMaxIterations ||
      !ReadHex(parts[4], header.salt, kSaltSize) || !ReadHex(parts[6], header.nonce, crypto::kNonceSize))
    return false;
  header.line = line;
  header.bodyStart = end + 2;
  return true;
}

bool Seal(std::string_view plain, std::string_view password, uint32_t iterations, std::string& out) {
  out.clear();
  uint8_t salt[kSaltSize], nonce[crypto::kNonceSize];
  crypto::Key key;
  if (!crypto::RandomBytes(salt, sizeof salt) || !crypto::RandomBytes(nonce, sizeof nonce) ||
      !crypto::Pbkdf2Sha256(password, salt, sizeof salt, iterations, key.bytes, sizeof key.bytes))
    return false;
  std::string line = HeaderLine(iterations, salt, nonce);
  std::string cipher;
  uint8_t tag[crypto::kTagSize];
  if (!crypto::AesGcmEncrypt(key.bytes, nonce, line, plain, cipher, tag)) return false;
  cipher.append(reinterpret_cast<const char*>(tag), sizeof tag);
  out = std::move(line);
  out += "\r\n";
  out += Base64Lines(cipher);
  return true;
}

UnsealStatus Unseal(std::string_view bytes, std::string_view password, std::string& plain) {
  crypto::WipeString(plain);
  SealHeader header;
  std::string sealed;
  if (!ReadSealHeader(bytes, header) || !ReadBase64Lines(bytes.substr(header.bodyStart), sealed) ||
      sealed.size() < crypto::kTagSize)
    return UnsealStatus::kRefused;
  crypto::Key key;
  if (!crypto::Pbkdf2Sha256(password, header.salt, kSaltSize, header.iterations, key.bytes, sizeof key.bytes))
    return UnsealStatus::kFailed;
  const size_t size = sealed.size() - crypto::kTagSize;
  const uint8_t* tag = reinterpret_cast<const uint8_t*>(sealed.data()) + size;
  if (!crypto::AesGcmDecrypt(key.bytes, header.nonce, header.line, std::string_view(sealed).substr(0, size), tag,
                             plain))
    return UnsealStatus::kRefused;
  return UnsealStatus::kOpened;
}

std::string Base64Lines(std::string_view bytes) {
  std::string out;
  size_t chars = (bytes.size() + 2) / 3 * 4;
  out.reserve(chars + (chars / kLineLength + 1) * 2);
  size_t onLine = 0;
  auto put = [&](char c) {
    out += c;
    if (++onLine == kLineLength) {
      out += "\r\n";
      onLine = 0;
    }
  };
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = (uint32_t{p[i]} << 16) | (uint32_t{p[i + 1]} << 8) | p[i + 2];
    put(kAlphabet[v >> 18]);
    put(kAlphabet[(v >> 12) & 63]);
    put(kAlphabet[(v >> 6) & 63]);
    put(kAlphabet[v & 63]);
  }
  if (size_t rest = bytes.size() - i) {
    uint32_t v = uint32_t{p[i]} << 16;
    if (rest == 2) v |= uint32_t{p[i + 1]} << 8;
    put(kAlphabet[v >> 18]);
    put(kAlphabet[(v >> 12) & 63]);
    put(rest == 2 ? kAlphabet[(v >> 6) & 63] : '=');
    put('=');
  }
  if (onLine) out += "\r\n";
  return out;
}

bool ReadBase64Lines(std::string_view text, std::string& bytes) {
  bytes.clear();
  static const auto kValues = [] {
    std::array<int8_t, 256> values;
    values.fill(-1);
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return values;
  }();
  std::string chars;
  chars.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') chars += c;
  }
  if (chars.size() % 4) return false;
  bytes.reserve(chars.size() / 4 * 3);
  for (size_t i = 0; i < chars.size(); i += 4) {
    const bool last = i + 4 == chars.size();
    int v[4];
    int pad = 0;
    for (int k = 0; k < 4; ++k) {
      char c = chars[i + static_cast<size_t>(k)];
      if (c == '=' && last && k >= 2) {
        v[k] = 0;
        ++pad;
        continue;
      }
      if (pad) return false;  // a symbol after padding
      v[k] = kValues[static_cast<unsigned char>(c)];
      if (v[k] < 0) return false;
    }
    uint32_t w = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
    bytes += static_cast<char>(w >> 16);
    if (pad < 2) bytes += static_cast<char>((w >> 8) & 255);
    if (pad < 1) bytes += static_cast<char>(w & 255);
  }
  // Only the canonical text: unused bits set, lines of another length or a missing
  // line end would let a changed byte pass unnoticed.
  if (Base64Lines(bytes) != text) {
    bytes.clear();
    return false;
  }
  return true;
}

}  // namespace vm
