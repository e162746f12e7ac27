// The strongly protected file: its layout, its strictness, the byte-for-byte refusal of
// any change, and files written by the other back end or by standard tools.
#include <gtest/gtest.h>

#include <string>

#include "common/protected_file.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

const std::string kPassword = "Пароль ^|# тайна";

std::string Sealed(std::string_view plain, std::string_view password = kPassword, uint32_t iterations = 1000) {
  std::string out;
  EXPECT_TRUE(Seal(plain, password, iterations, out));
  return out;
}

TEST(ProtectedFile, LayoutSaysWhatItIsAndNothingElse) {
  const std::string plain = "/2|\r\n<Заметка>\r\nтекст\r\n</Заметка>";
  // (The program's own count, 600 000, is checked through the command line: a key that
  // slow costs seconds a derivation under Wine.)
  std::string file = Sealed(plain, kPassword, 4321);
  SealHeader h;
  ASSERT_TRUE(ReadSealHeader(file, h));
  EXPECT_EQ(h.iterations, 4321u);
  EXPECT_EQ(h.line.substr(0, 45), "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256 4321 ");
  EXPECT_EQ(h.line.substr(77, 13), " AES-256-GCM ");
  EXPECT_EQ(h.line.size(), 90u + 24u);
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
  // Printable ASCII lines of at most 76 characters after the first; no trace of the
  // plaintext or the password.
  size_t lineStart = h.bodyStart;
  for (size_t lf = file.find('\n', lineStart); lf != std::string::npos; lf = file.find('\n', lineStart)) {
    EXPECT_LE(lf - 1 - lineStart, 76u);
    lineStart = lf + 1;
  }
  for (unsigned char c : file) EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F));
  EXPECT_EQ(file.find("Заметка"), std::string::npos);
  EXPECT_EQ(file.find("Пароль"), std::string::npos);

  // A new salt and nonce on every write.
  std::string again = Sealed(plain);
  SealHeader h2;
  ASSERT_TRUE(ReadSealHeader(again, h2));
  EXPECT_NE(std::string(h.salt, h.salt + kSaltSize), std::string(h2.salt, h2.salt + kSaltSize));
  EXPECT_NE(std::string(h.nonce, h.nonce + 12), std::string(h2.nonce, h2.nonce + 12));
  EXPECT_NE(file.substr(h.bodyStart), again.substr(h2.bodyStart));

  std::string back;
  EXPECT_EQ(Unseal(file, kPassword, back), UnsealStatus::kOpened);
  EXPECT_EQ(back, plain);
  EXPECT_EQ(Unseal(file, "Пароль ^|# тайнa", back), UnsealStatus::kRefused);  // Latin "a"
  EXPECT_TRUE(back.empty());
}

TEST(ProtectedFile, EveryChangedByteIsRefused) {
  // A small file under a one-round key, so that every one of its bytes can be tried.
  const std::string plain = "/4|Имя|100|1|-1|-1|-1|\r\nАнна";
  const std::string file = Sealed(plain, kPassword, 1);
  std::string back;
  ASSERT_EQ(Unseal(file, kPassword, back), UnsealStatus::kOpened);
  for (size_t i = 0; i < file.size(); ++i) {
    for (int bit : {0x01, 0x20, 0x80}) {
      std::string bad = file;
      bad[i] = static_cast<char>(bad[i] ^ bit);
      EXPECT_EQ(Unseal(bad, kPassword, back), UnsealStatus::kRefused) << "byte " << i << " bit " << bit;
      EXPECT_TRUE(back.empty());
    }
  }
  // Cut short, lengthened, a line break moved or a line end dropped.
  for (size_t n = 0; n < file.size(); n += 7)
    EXPECT_EQ(Unseal(file.substr(0, n), kPassword, back), UnsealStatus::kRefused) << n;
  EXPECT_EQ(Unseal(file + "\r\n", kPassword, back), UnsealStatus::kRefused);
  EXPECT_EQ(Unseal(file + "AAAA\r\n", kPassword, back), UnsealStatus::kRefused);
  std::string noEnd = file.substr(0, file.size() - 2);
  EXPECT_EQ(Unseal(noEnd, kPassword, back), UnsealStatus::kRefused);
}

TEST(ProtectedFile, HeaderIsReadStrictly) {
  const std::string salt(32, 'a'), nonce(24, 'b');
  auto head = [&](std::string count, std::string s = "", std::string n = "") {
    return "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256 " + count + " " + (s.empty() ? salt : s) + " AES-256-GCM " +
           (n.empty() ? nonce : n) + "\r\n";
  };
  SealHeader h;
  EXPECT_TRUE(ReadSealHeader(head("600000"), h));
  EXPECT_EQ(h.salt[0], 0xAA);
  EXPECT_EQ(h.nonce[11], 0xBB);
  EXPECT_TRUE(ReadSealHeader(head("50000000"), h));
  const std::string refused[] = {
      head("0"), head("0600000"), head("+600000"), head("50000001"), head("99999999999"), head(""),
      head("600000", std::string(31, 'a')), head("600000", std::string(32, 'A')), head("600000", "", std::string(26, 'b')),
      "VELMORIA-PROTECTED 2 PBKDF2-HMAC-SHA256 1000 " + salt + " AES-256-GCM " + nonce + "\r\n",
      "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256  1000 " + salt + " AES-256-GCM " + nonce + "\r\n",
      "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256 1000 " + salt + " AES-256-GCM " + nonce + " \r\n",
      "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA256 1000 " + salt + " AES-256-GCM " + nonce + "\n",
      "VELMORIA-PROTECTED 1 PBKDF2-HMAC-SHA1 1000 " + salt + " AES-256-GCM " + nonce + "\r\n",
  };
  for (const std::string& line : refused) EXPECT_FALSE(ReadSealHeader(line, h)) << line;
  EXPECT_FALSE(LooksSealed("VELMORIA-PROTECTED"));
  EXPECT_FALSE(LooksSealed("/2|VELMORIA-PROTECTED 1"));
  EXPECT_TRUE(LooksSealed("VELMORIA-PROTECTED junk"));
  // A damaged magic word still marks the file as protected, but not as readable.
  const std::string damaged = "VELMORIB-PROTECTED 1 PBKDF2-HMAC-SHA256 1000 " + salt + " AES-256-GCM " + nonce + "\r\n";
  EXPECT_TRUE(LooksSealed(damaged));
  EXPECT_FALSE(ReadSealHeader(damaged, h));
  EXPECT_TRUE(LooksSealed("xx AES-256-GCM yy"));
  EXPECT_FALSE(LooksSealed("/4|AES-256-GCM |1|1|-1|-1|-1|"));
}

TEST(ProtectedFile, Base64LinesAreCanonical) {
  for (size_t n : {0u, 1u, 2u, 3u, 56u, 57u, 58u, 200u}) {
    std::string bytes;
    for (size_t i = 0; i < n; ++i) bytes += static_cast<char>(i * 37 + 11);
    std::string text = Base64Lines(bytes);
    std::string back;
    ASSERT_TRUE(ReadBase64Lines(text, back)) << n;
    EXPECT_EQ(back, bytes);
  }
  EXPECT_EQ(Base64Lines("Man"), "TWFu\r\n");
  EXPECT_EQ(Base64Lines("Ma"), "TWE=\r\n");
  std::string back;
  EXPECT_FALSE(ReadBase64Lines("TWF=\r\n", back));  // unused bits set
  EXPECT_FALSE(ReadBase64Lines("TWE=", back));      // no line end
  EXPECT_FALSE(ReadBase64Lines("TW=E\r\n", back));
  EXPECT_FALSE(ReadBase64Lines("TWFu\n", back));
}

// A file made by Python's hashlib and "cryptography" (tests/fixtures/make_protected.py),
// the README's recipe in reverse: each back end must open it.
TEST(ProtectedFile, OpensWhatStandardToolsWrite) {
  std::string file = testing::Slurp(std::string(VELMORIA_SOURCE_DIR) + "/tests/fixtures/python_strong.dbn");
  std::string plain;
  ASSERT_EQ(Unseal(file, kPassword, plain), UnsealStatus::kOpened) << crypto::BackendName();
  EXPECT_NE(plain.find("Секретный текст"), std::string::npos);
  EXPECT_EQ(Unseal(file, "пароль ^|# тайна", plain), UnsealStatus::kRefused);
}

// Each back end leaves a file under build/ and opens the ones the other left: the
// native run and the run under Wine read each other's files (whichever ran first).
TEST(ProtectedFile, BackEndsReadEachOthersFiles) {
  const std::string folder = std::string(VELMORIA_SOURCE_DIR) + "/build/crypto-exchange";
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  const std::string mine = std::string(crypto::BackendName()), other = mine == "cng" ? "openssl" : "cng";
  const std::string plain = "/2|\r\n<" + mine + ">\r\nзаписано\r\n</" + mine + ">";
  ASSERT_TRUE(platform::WriteFileBytes(folder + "/" + mine + ".dbn", Sealed(plain)));
  std::string theirs;
  if (!platform::ReadFileBytes(folder + "/" + other + ".dbn", theirs))
    GTEST_SKIP() << "no file from the " << other << " back end yet";
  std::string back;
  ASSERT_EQ(Unseal(theirs, kPassword, back), UnsealStatus::kOpened) << mine << " reading " << other;
  EXPECT_EQ(back, "/2|\r\n<" + other + ">\r\nзаписано\r\n</" + other + ">");
}

}  // namespace
}  // namespace vm
