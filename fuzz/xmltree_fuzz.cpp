// The element-tree parser over arbitrary text, with the notebook's options and with
// forced parse and no escape character; whatever parses is written and parsed again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "notebook/xml_tree.h"

using vm::notebook::XmlElement;
using vm::notebook::XmlParseOptions;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  for (int variant = 0; variant < 2; ++variant) {
    XmlElement root;
    XmlParseOptions options;
    options.forcedParse = variant == 1;
    options.escape = variant == 1 ? 0 : '\\';
    size_t end = root.Parse(text, options);
    if (end != vm::notebook::kXmlNone && end > text.size()) std::abort();
    if (options.error != (options.errorCode != 0) || (options.error && options.errorText.empty()))
      std::abort();
    std::string written = root.ToXml();
    XmlElement again;
    XmlParseOptions second;
    again.Parse(written, second);
    auto copy = root.DeepCopy();
    if (copy->ToXml() != written) std::abort();
  }
  return 0;
}
