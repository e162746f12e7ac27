#include "common/text_util.h"

namespace vm {

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  size_t hit = s.find(from);
  if (hit == std::string::npos) return;
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  size_t pos = 0;
  for (; hit != std::string::npos; hit = s.find(from, pos)) {
    out.append(s, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s, pos, std::string::npos);
  s.swap(out);
}

}  // namespace vm
