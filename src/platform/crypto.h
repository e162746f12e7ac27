// The few cryptographic primitives the protected books need, taken from the platform:
// Windows CNG (bcrypt) in the Windows build, OpenSSL's libcrypto in the native one.
// Nothing here is our own cryptography; this header only gives both back ends one
// shape. Every call reports failure instead of throwing, and a failed call leaves
// nothing secret behind in its outputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace vm::crypto {

inline constexpr size_t kKeySize = 32;    // AES-256
inline constexpr size_t kNonceSize = 12;  // the GCM nonce of 96 bits
inline constexpr size_t kTagSize = 16;    // the full GCM tag

// "openssl" or "cng": which back end this build uses.
const char* BackendName();

// Cryptographically strong random bytes from the system's generator.
bool RandomBytes(uint8_t* out, size_t size);

// PBKDF2 with HMAC-SHA256 over the password's bytes as they are (no recoding).
bool Pbkdf2Sha256(std::string_view password, const uint8_t* salt, size_t saltSize, uint32_t iterations,
                  uint8_t* key, size_t keySize);

// AES-256-GCM. Encrypt: ciphertext (as long as the plaintext) and the 16-byte tag over
// the ciphertext and `aad`. Decrypt: the plaintext only when the tag checks out; on a
// wrong tag `plain` is wiped and emptied and the result is false.
bool AesGcmEncrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view plain, std::string& cipher, uint8_t tag[kTagSize]);
bool AesGcmDecrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view cipher, const uint8_t tag[kTagSize], std::string& plain);

// Overwrites memory in a way the compiler may not drop (OPENSSL_cleanse /
// SecureZeroMemory).
void Wipe(void* data, size_t size);
// Wipes a string's bytes, its spare capacity included, then empties it.
inline void WipeString(std::string& text) {
  Wipe(text.data(), text.capacity());
  text.clear();
}

// A key that wipes itself when it goes.
struct Key {
  uint8_t bytes[kKeySize] = {};
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() { Wipe(bytes, sizeof bytes); }
};

// A string of secret bytes (a password, a decrypted file) wiped when it goes.
class SecretString {
 public:
  SecretString() = default;
  explicit SecretString(std::string text) : text_(std::move(text)) {}
  SecretString(const SecretString&) = delete;
  SecretString& operator=(const SecretString&) = delete;
  ~SecretString() { WipeString(text_); }
  std::string& get() { return text_; }
  const std::string& get() const { return text_; }

 private:
  std::string text_;
};

}  // namespace vm::crypto
