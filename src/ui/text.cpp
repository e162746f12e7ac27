#include "ui/text.h"

#include "platform/platform.h"

namespace vm::ui {

std::wstring Wide(const std::string& cp1251) {
  std::u16string w;
  platform::ToUtf16(platform::kCp1251, cp1251, w);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& utf16) {
  std::string out;
  platform::FromUtf16(platform::kCp1251, std::u16string(utf16.begin(), utf16.end()), out);
  return out;
}

}  // namespace vm::ui
