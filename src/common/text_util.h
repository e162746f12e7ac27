// Small text helpers the core shares.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// Replaces every occurrence of `from` (not empty) in s, left to right, in one pass.
void ReplaceAll(std::string& s, std::string_view from, std::string_view to);

}  // namespace vm
