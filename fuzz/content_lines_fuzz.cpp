// The content-line reader of vCard and iCalendar files over arbitrary bytes: every value
// decodes to valid UTF-8, and a line written back (folded, parameters quoted) reads again
// as the same name, parameters and value.
#include <cstdint>
#include <string>

#include "common/ical_text.h"
#include "fuzz_support.h"

using namespace vm::ical;
using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const ContentLine& line : ParseContentLines(bytes)) {
    std::string text = DecodedValue(line);
    if (!IsValidUtf8(text)) Report(bytes, "a decoded value that is not UTF-8");
    int replaced = 0;
    std::string cp1251 = Utf8ToCp1251Text(text, replaced);
    if (replaced < 0) Report(bytes, "a negative count");
    SplitText(line.value, ';');
    if (line.value.find_first_of("\r\n") != std::string::npos) continue;  // no line holds a break
    std::string head = line.group.empty() ? line.name : line.group + "." + line.name;
    if (head.find_first_of(";:\"\r\n") != std::string::npos) continue;
    bool plain = true;
    for (const Param& p : line.params) {
      if (p.name.find_first_of(";:=\"\r\n,") != std::string::npos || p.name.empty()) plain = false;
      // A parameter value is written without carriage returns (a line break is "^n").
      for (const std::string& v : p.values)
        if (v.find('\r') != std::string::npos) plain = false;
      head += ";" + p.name + "=";
      for (size_t k = 0; k < p.values.size(); ++k) head += (k ? "," : "") + ParamValueText(p.values[k]);
    }
    if (!plain || line.name.find('.') != std::string::npos) continue;
    std::vector<ContentLine> again = ParseContentLines(FoldLine(head + ":" + line.value));
    if (again.size() != 1 || again[0].name != line.name || again[0].value != line.value ||
        again[0].params.size() != line.params.size())
      Report(bytes, "a written line reads back differently");
    for (size_t p = 0; p < line.params.size(); ++p)
      if (again[0].params[p].values != line.params[p].values) Report(bytes, "a parameter changed on the way round");
  }
  return 0;
}
