// Known answers for both crypto back ends: this file runs natively (OpenSSL) and under
// Wine (CNG). PBKDF2-HMAC-SHA256 vectors in the style of RFC 6070 (and RFC 7914's two),
// and the published AES-256 GCM test cases 13-16.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/crypto.h"

namespace vm::crypto {
namespace {

std::string Unhex(std::string_view hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return out;
}

std::string Hex(const uint8_t* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

std::string Hex(std::string_view bytes) { return Hex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }

struct Pbkdf2Case {
  std::string password, salt;
  uint32_t iterations;
  const char* key;
};

TEST(CryptoKnownAnswers, Pbkdf2HmacSha256) {
  const Pbkdf2Case cases[] = {
      {"password", "salt", 1, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
      {"password", "salt", 2, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
      {"password", "salt", 4096, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
      {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
       "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
      {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, "89b69d0516f829893c696226650a8687"},
      {"passwd", "salt", 1,
       "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
       "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
      {"Password", "NaCl", 80000,
       "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
       "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
  };
  for (const Pbkdf2Case& c : cases) {
    std::vector<uint8_t> key(std::string_view(c.key).size() / 2);
    ASSERT_TRUE(Pbkdf2Sha256(c.password, reinterpret_cast<const uint8_t*>(c.salt.data()), c.salt.size(),
                             c.iterations, key.data(), key.size()))
        << BackendName() << " " << c.password << " " << c.iterations;
    EXPECT_EQ(Hex(key.data(), key.size()), c.key) << BackendName() << " " << c.password << " " << c.iterations;
  }
}

TEST(CryptoKnownAnswers, Pbkdf2TakesCyrillicBytesAsTheyAre) {
  // The password's cp1251 bytes are the input: the same bytes, the same key on both
  // back ends (the value is what Python's hashlib gives for these bytes).
  const std::string password = "Пароль^|#";
  uint8_t key[kKeySize];
  ASSERT_TRUE(Pbkdf2Sha256(password, reinterpret_cast<const uint8_t*>("0123456789abcdef"), 16, 1000, key, sizeof key));
  EXPECT_EQ(Hex(key, sizeof key), "70348e91aed79f5ed9e39a9d97d7f7d9bd06f6b31eb62902e6c10ebaed935138");
}

struct GcmCase {
  const char *key, *nonce, *plain, *aad, *cipher, *tag;
};

// The published GCM test cases 13 to 16 (AES-256, 96-bit nonces).
const GcmCase kGcmCases[] = {
    {"0000000000000000000000000000000000000000000000000000000000000000", "000000000000000000000000", "", "", "",
     "530f8afbc74536b9a963b4f1c4cb738b"},
    {"0000000000000000000000000000000000000000000000000000000000000000", "000000000000000000000000",
     "00000000000000000000000000000000", "", "cea7403d4d606b6e074ec5d3baf39d18", "d0d1c8a799996bf0265b98b5d48ab919"},
    {"feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308", "cafebabefacedbaddecaf888",
     "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255",
     "",
     "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad",
     "b094dac5d93471bdec1a502270e3cc6c"},
    {"feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308", "cafebabefacedbaddecaf888",
     "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b39",
     "feedfacedeadbeeffeedfacedeadbeefabaddad2",
     "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662",
     "76fc6ece0f4e1768cddf8853bb2d551b"},
};

const uint8_t* U(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(CryptoKnownAnswers, AesGcmSpecificationCases) {
  int n = 13;
  for (const GcmCase& c : kGcmCases) {
    SCOPED_TRACE(std::string(BackendName()) + " test case " + std::to_string(n++));
    std::string key = Unhex(c.key), nonce = Unhex(c.nonce), plain = Unhex(c.plain), aad = Unhex(c.aad);
    std::string cipher;
    uint8_t tag[kTagSize];
    ASSERT_TRUE(AesGcmEncrypt(U(key), U(nonce), aad, plain, cipher, tag));
    EXPECT_EQ(Hex(cipher), c.cipher);
    EXPECT_EQ(Hex(tag, sizeof tag), c.tag);

    std::string back = "stale";
    ASSERT_TRUE(AesGcmDecrypt(U(key), U(nonce), aad, cipher, tag, back));
    EXPECT_EQ(back, plain);
  }
}

TEST(CryptoKnownAnswers, AesGcmRefusesAnyChange) {
  const GcmCase& c = kGcmCases[3];
  std::string key = Unhex(c.key), nonce = Unhex(c.nonce), aad = Unhex(c.aad), cipher = Unhex(c.cipher);
  std::string tag = Unhex(c.tag);
  std::string plain = "stale";
  // One bit changed in the ciphertext, the additional data, the tag, the nonce or the key.
  std::string badCipher = cipher, badAad = aad, badTag = tag, badNonce = nonce, badKey = key;
  badCipher[7] ^= 1;
  badAad[0] ^= 0x80;
  badTag[15] ^= 1;
  badNonce[11] ^= 1;
  badKey[31] ^= 1;
  EXPECT_FALSE(AesGcmDecrypt(U(key), U(nonce), aad, badCipher, U(tag), plain));
  EXPECT_TRUE(plain.empty());
  EXPECT_FALSE(AesGcmDecrypt(U(key), U(nonce), badAad, cipher, U(tag), plain));
  EXPECT_FALSE(AesGcmDecrypt(U(key), U(nonce), aad, cipher, U(badTag), plain));
  EXPECT_FALSE(AesGcmDecrypt(U(key), U(badNonce), aad, cipher, U(tag), plain));
  EXPECT_FALSE(AesGcmDecrypt(U(badKey), U(nonce), aad, cipher, U(tag), plain));
  EXPECT_FALSE(AesGcmDecrypt(U(key), U(nonce), aad, cipher.substr(1), U(tag), plain));
  EXPECT_TRUE(plain.empty());
}

TEST(CryptoKnownAnswers, RandomBytesAndWipe) {
  uint8_t a[16] = {}, b[16] = {};
  ASSERT_TRUE(RandomBytes(a, sizeof a));
  ASSERT_TRUE(RandomBytes(b, sizeof b));
  EXPECT_NE(Hex(a, sizeof a), Hex(b, sizeof b));

  std::string secret = "a password long enough to live on the heap";
  const char* where = secret.data();
  size_t room = secret.capacity();
  WipeString(secret);
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(std::string(where, room), std::string(room, '\0'));
}

}  // namespace
}  // namespace vm::crypto
