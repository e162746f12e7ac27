// Windows-1251's byte for a character, from the platform's own conversions.
#pragma once

namespace vm {

// The byte 0x80-0xFF for a character the code page has; -1 for one it lacks (ASCII is
// the caller's). The platform converts without best fit, so the code page maps one to
// one: the bytes that read as a character and write back as the same byte are all
// there is. The table is built once.
int Cp1251ByteOf(char32_t c);

}  // namespace vm
