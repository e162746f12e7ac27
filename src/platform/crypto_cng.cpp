// The crypto primitives over Windows CNG (bcrypt): the program and its Windows tools.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <climits>

#include "platform/crypto.h"

namespace vm::crypto {

namespace {

bool Ok(NTSTATUS status) { return status >= 0; }
constexpr NTSTATUS kAuthTagMismatch = static_cast<NTSTATUS>(0xC000A002L);  // STATUS_AUTH_TAG_MISMATCH

bool FitsUlong(size_t size) { return size <= ULONG_MAX; }

PUCHAR Bytes(std::string_view s) { return reinterpret_cast<PUCHAR>(const_cast<char*>(s.data())); }

// An algorithm provider, closed when it goes.
class Provider {
 public:
  Provider(LPCWSTR algorithm, ULONG flags) {
    if (!Ok(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, flags))) handle_ = nullptr;
  }
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  ~Provider() {
    if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
  }
  BCRYPT_ALG_HANDLE get() const { return handle_; }

 private:
  BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// An AES key in GCM mode made from raw key bytes, destroyed when it goes.
class GcmKey {
 public:
  explicit GcmKey(const uint8_t* key) : aes_(BCRYPT_AES_ALGORITHM, 0) {
    if (!aes_.get()) return;
    if (!Ok(BCryptSetProperty(aes_.get(), BCRYPT_CHAINING_MODE,
                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                              sizeof(BCRYPT_CHAIN_MODE_GCM), 0)))
      return;
    if (!Ok(BCryptGenerateSymmetricKey(aes_.get(), &handle_, nullptr, 0, const_cast<PUCHAR>(key),
                                       static_cast<ULONG>(kKeySize), 0)))
      handle_ = nullptr;
  }
  GcmKey(const GcmKey&) = delete;
  GcmKey& operator=(const GcmKey&) = delete;
  ~GcmKey() {
    if (handle_) BCryptDestroyKey(handle_);
  }
  BCRYPT_KEY_HANDLE get() const { return handle_; }

 private:
  Provider aes_;
  BCRYPT_KEY_HANDLE handle_ = nullptr;
};

// The authenticated-cipher description CNG wants, over our buffers.
BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO ModeInfo(const uint8_t* nonce, std::string_view aad, uint8_t* tag) {
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = const_cast<PUCHAR>(nonce);
  info.cbNonce = static_cast<ULONG>(kNonceSize);
  info.pbAuthData = aad.empty() ? nullptr : Bytes(aad);
  info.cbAuthData = static_cast<ULONG>(aad.size());
  info.pbTag = tag;
  info.cbTag = static_cast<ULONG>(kTagSize);
  return info;
}

}  // namespace

const char* BackendName() { return "cng"; }

bool RandomBytes(uint8_t* out, size_t size) {
  return FitsUlong(size) &&
         Ok(BCryptGenRandom(nullptr, out, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

bool Pbkdf2Sha256(std::string_view password, const uint8_t* salt, size_t saltSize, uint32_t iterations,
                  uint8_t* key, size_t keySize) {
  if (iterations == 0 || !FitsUlong(password.size()) || !FitsUlong(saltSize) || !FitsUlong(keySize)) return false;
  Provider hmac(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
  if (!hmac.get()) return false;
  if (Ok(BCryptDeriveKeyPBKDF2(hmac.get(), password.empty() ? nullptr : Bytes(password),
                               static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt),
                               static_cast<ULONG>(saltSize), iterations, key, static_cast<ULONG>(keySize), 0)))
    return true;
  Wipe(key, keySize);
  return false;
}

bool AesGcmEncrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view plain, std::string& cipher, uint8_t tag[kTagSize]) {
  cipher.clear();
  if (!FitsUlong(plain.size()) || !FitsUlong(aad.size())) return false;
  GcmKey k(key);
  if (!k.get()) return false;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, tag);
  cipher.resize(plain.size());
  ULONG written = 0;
  if (!Ok(BCryptEncrypt(k.get(), plain.empty() ? nullptr : Bytes(plain), static_cast<ULONG>(plain.size()), &info,
                        nullptr, 0, plain.empty() ? nullptr : Bytes(cipher), static_cast<ULONG>(cipher.size()),
                        &written, 0)) ||
      written != cipher.size()) {
    cipher.clear();
    return false;
  }
  return true;
}

bool AesGcmDecrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view cipher, const uint8_t tag[kTagSize], std::string& plain) {
  WipeString(plain);
  if (!FitsUlong(cipher.size()) || !FitsUlong(aad.size())) return false;
  GcmKey k(key);
  if (!k.get()) return false;
  uint8_t expected[kTagSize];
  std::copy(tag, tag + kTagSize, expected);
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, expected);
  plain.resize(cipher.size());
  ULONG written = 0;
  NTSTATUS status = BCryptDecrypt(k.get(), cipher.empty() ? nullptr : Bytes(cipher),
                                  static_cast<ULONG>(cipher.size()), &info, nullptr, 0,
                                  cipher.empty() ? nullptr : Bytes(plain), static_cast<ULONG>(plain.size()),
                                  &written, 0);
  bool ok = Ok(status) && status != kAuthTagMismatch && written == cipher.size();
  if (!ok) WipeString(plain);
  return ok;
}

void Wipe(void* data, size_t size) {
  if (data && size) SecureZeroMemory(data, size);
}

}  // namespace vm::crypto
