// The crypto primitives over OpenSSL's libcrypto (the native build and its tools).
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "platform/crypto.h"

namespace vm::crypto {

namespace {

struct CipherFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using Cipher = std::unique_ptr<EVP_CIPHER_CTX, CipherFree>;

bool FitsInt(size_t size) { return size <= static_cast<size_t>(INT_MAX); }

unsigned char* Bytes(std::string& s) { return reinterpret_cast<unsigned char*>(s.data()); }
const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// Key, nonce and (for encryption) the additional data set on a new context.
Cipher Start(bool encrypt, const uint8_t* key, const uint8_t* nonce, std::string_view aad) {
  Cipher ctx(EVP_CIPHER_CTX_new());
  if (!ctx || !FitsInt(aad.size())) return nullptr;
  auto init = encrypt ? EVP_EncryptInit_ex : EVP_DecryptInit_ex;
  auto update = encrypt ? EVP_EncryptUpdate : EVP_DecryptUpdate;
  int len = 0;
  if (init(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(kNonceSize), nullptr) != 1 ||
      init(ctx.get(), nullptr, nullptr, key, nonce) != 1)
    return nullptr;
  if (!aad.empty() && update(ctx.get(), nullptr, &len, Bytes(aad), static_cast<int>(aad.size())) != 1)
    return nullptr;
  return ctx;
}

}  // namespace

const char* BackendName() { return "openssl"; }

bool RandomBytes(uint8_t* out, size_t size) {
  return FitsInt(size) && RAND_bytes(out, static_cast<int>(size)) == 1;
}

bool Pbkdf2Sha256(std::string_view password, const uint8_t* salt, size_t saltSize, uint32_t iterations,
                  uint8_t* key, size_t keySize) {
  if (iterations == 0 || iterations > static_cast<uint32_t>(INT_MAX) || !FitsInt(password.size()) ||
      !FitsInt(saltSize) || !FitsInt(keySize))
    return false;
  // An empty password is a valid input to PBKDF2; OpenSSL wants a pointer all the same.
  static const char kNone = 0;
  const char* pass = password.empty() ? &kNone : password.data();
  if (PKCS5_PBKDF2_HMAC(pass, static_cast<int>(password.size()), salt, static_cast<int>(saltSize),
                        static_cast<int>(iterations), EVP_sha256(), static_cast<int>(keySize), key) == 1)
    return true;
  Wipe(key, keySize);
  return false;
}

bool AesGcmEncrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view plain, std::string& cipher, uint8_t tag[kTagSize]) {
  cipher.clear();
  if (!FitsInt(plain.size())) return false;
  Cipher ctx = Start(true, key, nonce, aad);
  if (!ctx) return false;
  cipher.resize(plain.size());
  int len = 0, tail = 0;
  if ((!plain.empty() && EVP_EncryptUpdate(ctx.get(), Bytes(cipher), &len, Bytes(plain),
                                           static_cast<int>(plain.size())) != 1) ||
      EVP_EncryptFinal_ex(ctx.get(), Bytes(cipher) + len, &tail) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(kTagSize), tag) != 1) {
    cipher.clear();
    return false;
  }
  return true;
}

bool AesGcmDecrypt(const uint8_t key[kKeySize], const uint8_t nonce[kNonceSize], std::string_view aad,
                   std::string_view cipher, const uint8_t tag[kTagSize], std::string& plain) {
  WipeString(plain);
  if (!FitsInt(cipher.size())) return false;
  Cipher ctx = Start(false, key, nonce, aad);
  if (!ctx) return false;
  plain.resize(cipher.size());
  int len = 0, tail = 0;
  uint8_t expected[kTagSize];
  std::copy(tag, tag + kTagSize, expected);
  bool ok = (cipher.empty() || EVP_DecryptUpdate(ctx.get(), Bytes(plain), &len, Bytes(cipher),
                                                 static_cast<int>(cipher.size())) == 1) &&
            EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(kTagSize), expected) == 1 &&
            EVP_DecryptFinal_ex(ctx.get(), Bytes(plain) + len, &tail) == 1;
  if (!ok) WipeString(plain);
  return ok;
}

void Wipe(void* data, size_t size) {
  if (data && size) OPENSSL_cleanse(data, size);
}

}  // namespace vm::crypto
