// The one pair of conversions between the core's cp1251 text and the W API's UTF-16.
#pragma once

#include <string>

namespace vm::ui {

std::wstring Wide(const std::string& cp1251);
std::string Narrow(const std::wstring& utf16);

}  // namespace vm::ui
