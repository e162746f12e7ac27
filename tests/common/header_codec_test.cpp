#include "common/header_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include <set>

namespace vm {
namespace {

TEST(HeaderCodec, AlphabetIsAPermutationWithEqualsLast) {
  std::string symbols(kHeaderAlphabet, 63);
  std::set<char> seen(symbols.begin(), symbols.end());
  EXPECT_EQ(seen.size(), 63u);
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz123456789-+"))
    EXPECT_TRUE(seen.count(c)) << c;
  EXPECT_EQ(kHeaderAlphabet[63], '=');
}

TEST(HeaderCodec, EncodingPadsWithZeroBytesAndRoundTrips) {
  struct Case {
    std::string text;
    size_t codeLength;
    std::string decodedBytes;  // before cutting at the first zero byte
  } cases[] = {
      {"", 0, ""},
      {"a", 4, std::string("a\0\0", 3)},  // "^^" appended
      {"ab", 4, std::string("ab\0", 3)},  // "^" appended
      {"abc", 4, "abc"},
      {"abcd", 8, std::string("abcd\0\0", 6)},
      {"a\r\nb", 4, std::string("ab\0", 3)},  // n = 4 pads two; CR LF skipped, one byte left over
      {"x^y", 4, std::string("x\0y", 3)},     // "^" stands for a zero byte
  };
  for (const Case& c : cases) {
    std::string code = EncodeHeader(c.text);
    EXPECT_EQ(code.size(), c.codeLength) << c.text;
    EXPECT_EQ(code.find_first_not_of(kHeaderAlphabet), std::string::npos) << c.text;
    EXPECT_EQ(DecodeHeaderBytes(code), c.decodedBytes) << c.text;
  }
  EXPECT_EQ(DecodeHeader(EncodeHeader("x^y")), "x");

  std::string every;
  for (int b = 1; b < 256; ++b)
    if (b != '^' && b != '\r' && b != '\n') every += static_cast<char>(b);
  for (size_t cut = 0; cut <= every.size(); cut += 7)
    EXPECT_EQ(DecodeHeader(EncodeHeader(every.substr(cut))), every.substr(cut)) << cut;
}

// The encoding and decoding, a group at a time, against the plain byte-by-byte forms:
// texts with and without CR, LF and "^", of every length around a group.
TEST(HeaderCodec, GroupWiseCodingMatchesThePlainForms) {
  auto plainEncode = [](const std::string& text) {
    std::string padded = text + std::string((3 - text.size() % 3) % 3, '^'), out, group;
    for (char c : padded) {
      if (c == '\r' || c == '\n') continue;
      group += c == '^' ? '\0' : c;
      if (group.size() < 3) continue;
      uint32_t v = (uint32_t{static_cast<unsigned char>(group[0])} << 16) |
                   (uint32_t{static_cast<unsigned char>(group[1])} << 8) | static_cast<unsigned char>(group[2]);
      for (int shift = 18; shift >= 0; shift -= 6) out += kHeaderAlphabet[(v >> shift) & 63];
      group.clear();
    }
    return out;
  };
  auto plainDecode = [](const std::string& code) {
    std::string out;
    uint32_t v = 0;
    int filled = 0;
    for (char c : code) {
      if (c == '\r' || c == '\n') continue;
      const char* at = std::strchr(kHeaderAlphabet, c);
      v = (v << 6) | (c != '\0' && at ? static_cast<uint32_t>(at - kHeaderAlphabet) : 0);
      if (++filled < 4) continue;
      out += {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
      v = 0;
      filled = 0;
    }
    return out;
  };
  std::mt19937 random(3);
  for (int round = 0; round < 3000; ++round) {
    std::string text(static_cast<size_t>(random() % 30), '\0');
    for (char& c : text) c = round % 3 ? "ab^\r\n=\xFF \0"[random() % 9] : static_cast<char>(random() % 256);
    ASSERT_EQ(EncodeHeader(text), plainEncode(text)) << ::testing::PrintToString(text);
    ASSERT_EQ(DecodeHeaderBytes(text), plainDecode(text)) << ::testing::PrintToString(text);
  }
}

TEST(HeaderCodec, DecodingMapsUnknownSymbolsToZeroAndDropsLeftovers) {
  EXPECT_EQ(DecodeHeaderBytes("===="), "\xFF\xFF\xFF");
  EXPECT_EQ(DecodeHeaderBytes("    "), std::string(3, '\0'));
  EXPECT_EQ(DecodeHeaderBytes("0000"), std::string(3, '\0'));  // "0" is not a symbol
  EXPECT_EQ(DecodeHeaderBytes("abc"), "");
  EXPECT_EQ(DecodeHeaderBytes(EncodeHeader("abc") + "\r\n" + "xy"), "abc");
  EXPECT_EQ(DecodeHeader("0"), "");  // the key "0" of a new data file is empty
}

TEST(HeaderCodec, ScramblingXorsWithEachKeyLetterAndUndoesItself) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string once = Scramble(all);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(static_cast<unsigned char>(once[b]), static_cast<unsigned char>(b ^ 'k' ^ 'v' ^ 'n' ^ 'r'));
  EXPECT_EQ(Scramble(once), all);
  // Pieces of every length around the eight-byte steps, at an odd start.
  for (size_t n = 0; n < 20; ++n) {
    std::string piece = all.substr(3, n);
    ScrambleInPlace(piece.data(), piece.size());
    EXPECT_EQ(piece, once.substr(3, n));
  }
}

TEST(HeaderCodec, EscapedFormCarriesEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string unsafe("\0\n\r|", 4);
  std::string escaped = EscapeText(all, unsafe);
  EXPECT_TRUE(IsEscaped(escaped));
  EXPECT_EQ(escaped.find_first_of(unsafe), std::string::npos);
  EXPECT_EQ(escaped.find(kEscapeMark, 1), escaped.find(std::string(1, kEscapeMark) + "00"));
  EXPECT_EQ(UnescapeText(escaped), all);
  std::string appended = "head";
  AppendEscapedText(appended, all, unsafe);
  EXPECT_EQ(appended, "head" + escaped);
  EXPECT_EQ(ReadMaybeEscaped("plain"), "plain");
  // A stray mark without two hex digits is kept.
  EXPECT_EQ(UnescapeText("\x1B"
                         "a\x1BZ1\x1B"
                         "4"),
            "a\x1BZ1\x1B"
            "4");
}

// Escaping that copies runs between the bytes it escapes against escaping byte by byte:
// texts of every length around a few blocks, sets of one to nine unsafe bytes.
TEST(HeaderCodec, RunWiseEscapingMatchesThePlainForm) {
  auto plainEscape = [](const std::string& text, const std::string& unsafe) {
    std::string out(1, kEscapeMark);
    for (char c : text) {
      if (c != kEscapeMark && unsafe.find(c) == std::string::npos) {
        out += c;
        continue;
      }
      const auto b = static_cast<unsigned char>(c);
      out += kEscapeMark;
      out += "0123456789ABCDEF"[b >> 4];
      out += "0123456789ABCDEF"[b & 15];
    }
    return out;
  };
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string unsafe;
    for (int k = 1 + round % 9; k > 0; --k) unsafe += static_cast<char>(random() % 16);
    std::string text(static_cast<size_t>(random() % 80), '\0');
    for (char& c : text) c = random() % 4 ? static_cast<char>('a' + random() % 26) : static_cast<char>(random() % 32);
    ASSERT_EQ(EscapeText(text, unsafe), plainEscape(text, unsafe))
        << ::testing::PrintToString(text) << " " << ::testing::PrintToString(unsafe);
  }
}

TEST(HeaderCodec, KeysGiveBackNameAndPassword) {
  struct Case {
    std::string name, password;
    bool plain;  // written as the bare concatenation, as earlier versions did
  } cases[] = {
      {"notes.dbn", "", true},
      {"notes.dbn", "секрет", true},
      {"Мои заметки.dbn", "p w", true},
      {"notes", "", true},
      {"notes", "pw", false},  // no extension: the password could not be found
      {"NOTES.DBN", "pw", false},
      {"a.dbn.bak", "", false},  // the first ".dbn" is not the end of the name
      {"a.dbn.dbn", "x", false},
      {"notes.dbn", "a^b", false},  // "^" would end the decoded text
      {"not^es.dbn", "", false},
      {"notes.dbn",
       "\x1B"
       "41",
       true},
      {"\x1B"
       "41.dbn",
       "", false},  // would read as the escaped form
      {"", "", true},
      {"", "pw", false},
  };
  for (const Case& c : cases) {
    std::string text = KeyText(c.name, c.password, ".dbn");
    EXPECT_EQ(text == c.name + c.password, c.plain) << c.name << "+" << c.password;
    KeyParts parts = SplitKeyText(DecodeHeader(EncodeHeader(text)), ".dbn");
    EXPECT_EQ(parts.name, c.name);
    EXPECT_EQ(parts.password, c.password) << c.name;
  }
}

TEST(HeaderCodec, KeysWithoutExtensionCarryNoPassword) {
  EXPECT_EQ(SplitKeyText("tab2", ".dbp").password, "");
  EXPECT_EQ(SplitKeyText("tab2", ".dbp").name, "tab2");
  EXPECT_EQ(SplitKeyText("TABLE.DBPpw", ".dbp").password, "");
  EXPECT_EQ(SplitKeyText("t.dbpa.dbpb", ".dbp").password, "a.dbpb");  // the first one counts
  EXPECT_EQ(FileNameOf("C:\\a\\b.dbn"), "b.dbn");
  EXPECT_EQ(FileNameOf("b.dbn"), "b.dbn");
}

}  // namespace
}  // namespace vm
