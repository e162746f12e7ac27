// Strong protection of a book file: the bytes the book would write without a password,
// encrypted whole with AES-256-GCM under a key derived from the password with
// PBKDF2-HMAC-SHA256. The file is one text line that says what it is, then the
// ciphertext with its tag in base64:
//
//   VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256 <iterations> <salt> AES-256-GCM <nonce> CR LF
//   base64 of (ciphertext || 16-byte tag), 76 characters a line, every line ending CR LF
//
// The salt (16 bytes) and nonce (12 bytes) are lower-case hex, new random ones on every
// write; the first line without its CR LF is the additional authenticated data, so no
// byte of the file can change unnoticed. The password's Windows-1251 bytes are the
// PBKDF2 input. Nothing in the file depends on its name, and nothing in it is readable
// without the password. The older scheme (header-encoded password, scrambled lines)
// stays in header_codec.h and the books' own readers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/crypto.h"

namespace vm {

// How a book file is protected.
enum class Protection { kNone, kLegacy, kStrong };
// "none", "legacy", "strong".
const char* ProtectionName(Protection protection);
// "strong" or "legacy" typed on a command line; false for anything else.
bool ParseProtectionName(std::string_view name, Protection& protection);

// What every write uses; a file may hold a larger count (up to kMaxIterations).
inline constexpr uint32_t kStrongIterations = 600000;
// A file asking for more is refused rather than left to keep the program busy.
inline constexpr uint32_t kMaxIterations = 50000000;
inline constexpr size_t kSaltSize = 16;

extern const char* const kProtectedMagic;        // "VELMORIA-PROTECTED"
extern const char* const kWrongPasswordMessage;  // "Неверный пароль или файл повреждён"

// The first line of a strongly protected file, read strictly: anything but the
// canonical form is not a header.
struct SealHeader {
  uint32_t version = 0;
  uint32_t iterations = 0;
  uint8_t salt[kSaltSize] = {};
  uint8_t nonce[crypto::kNonceSize] = {};
  std::string_view line;  // without CR LF: the additional authenticated data
  size_t bodyStart = 0;   // after the CR LF
};
// Whether the bytes are a strongly protected file, perhaps damaged: they start with the
// magic word, or their first line names the KDF or the cipher as the header does. Such
// a file is never read as a plain or older-scheme book.
bool LooksSealed(std::string_view bytes);
bool ReadSealHeader(std::string_view bytes, SealHeader& header);

// The protected file for `plain`. False (and `out` empty) when the platform's crypto
// failed; nothing is then to be written.
bool Seal(std::string_view plain, std::string_view password, uint32_t iterations, std::string& out);

enum class UnsealStatus {
  kOpened,
  kRefused,  // a wrong password or a damaged file: the tag did not check out, or the
             // header or the base64 is not what a writer makes
  kFailed,   // the platform's crypto did not run
};
// The plaintext of a protected file (wiped and empty unless kOpened).
UnsealStatus Unseal(std::string_view bytes, std::string_view password, std::string& plain);

// What a password step did, for the page's messages.
enum class PasswordOutcome {
  kSet,       // a new password (or none) was taken
  kUnlocked,  // the book opened
  kUpgraded,  // an old-scheme book opened and is written strongly from now on: tell
              // the user once that older versions cannot open it any more
  kWrong,     // "Неверный пароль или файл повреждён": nothing changed
  kFailed,    // the platform's crypto did not run: nothing changed
};
// The scheme an opened old-scheme book is written with from now on.
inline Protection SchemeAfterUnlock(Protection read, Protection newScheme) {
  return read == Protection::kLegacy ? newScheme : read;
}
extern const char* const kUpgradeNotice;
// "GENERAL" key of the About page's option that keeps the old scheme: "1" keeps it.
inline constexpr char kOldProtectionKey[] = "OLDPROTECT";
// The scheme new passwords (and unlocked old-scheme files) are written with.
inline Protection NewPasswordScheme(bool keepOldScheme) {
  return keepOldScheme ? Protection::kLegacy : Protection::kStrong;
}

// ---- base64 as the file uses it -------------------------------------------------------
// Standard alphabet with "=" padding, 76 characters a line, each line ended by CR LF.
std::string Base64Lines(std::string_view bytes);
// The inverse; false unless `text` is exactly what Base64Lines makes of some bytes.
bool ReadBase64Lines(std::string_view text, std::string& bytes);

}  // namespace vm
