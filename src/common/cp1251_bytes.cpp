#include "common/cp1251_bytes.h"

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace vm {

namespace {

class Cp1251Bytes {
 public:
  Cp1251Bytes() {
    for (int b = 0x80; b <= 0xFF; ++b) {
      const char byte = static_cast<char>(b);
      std::u16string unit;
      std::string back;
      bool lossy = false;
      if (!platform::ToUtf16(platform::kCp1251, std::string_view(&byte, 1), unit) || unit.size() != 1) continue;
      if (!platform::FromUtf16(platform::kCp1251, unit, back, '?', &lossy) || lossy || back != std::string(1, byte))
        continue;
      byte_[unit[0]] = static_cast<unsigned char>(b);
    }
  }
  int Of(char32_t u) const { return u < 0x10000 && byte_[u] ? byte_[u] : -1; }

 private:
  unsigned char byte_[0x10000] = {};
};

}  // namespace

int Cp1251ByteOf(char32_t c) {
  static const Cp1251Bytes table;
  return table.Of(c);
}

}  // namespace vm
