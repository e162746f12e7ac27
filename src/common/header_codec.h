// The text encoding that protects the header fields of notebook (".dbn") and data
// (".dbp") files, the XOR scrambling of protected note bodies and record lines, and the
// escaped form we fall back on for the few texts the plain line formats cannot carry.
// The data files use all of it through this header.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// ---- header encoding -----------------------------------------------------------------
// The 64 symbols of the encoding: our own fixed order of the Latin letters, the digits
// 1-9, "-" and "+" at indexes 0-62, and "=" at 63.
extern const char kHeaderAlphabet[65];

// E: "^^" or "^" is appended so that the bit count is a multiple of six, CR and LF are
// skipped, "^" stands for a zero byte, and every three bytes give four symbols. Bytes
// left over (only when CR or LF were skipped) give nothing.
std::string EncodeHeader(std::string_view text);
// The same appended to `out`.
void AppendEncodedHeader(std::string& out, std::string_view text);
// D: every symbol gives its six bits (a space or an unknown character gives 0), every
// four give three bytes, zero bytes included; symbols left over are dropped.
std::string DecodeHeaderBytes(std::string_view code);
// D cut at its first zero byte: what every reader of a header field uses.
std::string DecodeHeader(std::string_view code);

// ---- body and record scrambling ------------------------------------------------------
// Every byte XORed with each letter of "kvnr" in turn; the same call undoes it.
std::string Scramble(std::string_view text);
void ScrambleInPlace(std::string& text);
void ScrambleInPlace(char* text, size_t size);

// ---- the escaped form ----------------------------------------------------------------
// A text that its line format cannot hold as it is (a body with empty lines or a line
// starting with "<", a title starting with "/", a byte that scrambles to a line break,
// a "^" that the header encoding would turn into a terminator ...) is written as the
// ESC byte followed by the text in which ESC and every byte of a given set appear as
// ESC and two upper-case hex digits. No file written by earlier versions starts such a
// field with ESC, so everything they wrote reads as before.
constexpr char kEscapeMark = '\x1B';

inline bool IsEscaped(std::string_view text) {
  return !text.empty() && text[0] == kEscapeMark;
}
// The mark followed by the text with ESC and every byte of `unsafe` hex-escaped.
std::string EscapeText(std::string_view text, std::string_view unsafe);
// The same appended to `out`.
void AppendEscapedText(std::string& out, std::string_view text, std::string_view unsafe);
// The text after the mark with its escapes undone; an ESC that is not followed by two
// hex digits is kept as it is.
std::string UnescapeText(std::string_view escaped);
// UnescapeText for an escaped text; any other text unchanged.
std::string ReadMaybeEscaped(std::string_view text);

// ---- key text: a file's own name followed by its password ----------------------------
// The text that is header-encoded for a file named `fileName` (no folders) protected by
// `password` (empty for none); `extension` is ".dbn" or ".dbp". Readers take the
// password to be whatever follows the first extension, so the plain concatenation is
// used only when that rule finds the password again and the header encoding carries
// every byte; otherwise the escaped form is used, in which every "." of the name is
// escaped so that the first literal extension marks the end of the name.
std::string KeyText(std::string_view fileName, std::string_view password, std::string_view extension);
// The header-encoded key text.
std::string EncodeKey(std::string_view fileName, std::string_view password, std::string_view extension);

struct KeyParts {
  std::string name;
  std::string password;
  // name + password as the key was made: what the branch-import rule compares with a
  // file's own name.
  std::string Text() const { return name + password; }
};
// Splits a decoded key text (already cut at its first zero byte). In the plain form the
// password is what follows the first extension, and a key without the extension has no
// password: KeyText writes a password there only in the escaped form, and a plain file
// copied or renamed must never be taken for a protected one, whatever its name is now.
KeyParts SplitKeyText(std::string_view decoded, std::string_view extension);

// The name part of a path: what follows its last "\" (or "/").
std::string FileNameOf(std::string_view path);

}  // namespace vm
