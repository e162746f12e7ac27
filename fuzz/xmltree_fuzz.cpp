// The element-tree parser over arbitrary text, with the notebook's options and with
// forced parse and no escape character; the tree of one variant is written and its text
// parsed again, and the deep copy of one of the two trees (the input picks both) holds
// the same names, values, attributes and children throughout.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "notebook/xml_tree.h"

using vm::notebook::XmlElement;
using vm::notebook::XmlParseOptions;

namespace {

// The same kind, name, value and attributes, and children alike in order; without
// recursion, as trees may be deep.
bool SameTree(const XmlElement& a, const XmlElement& b) {
  std::vector<std::pair<const XmlElement*, const XmlElement*>> pending;
  pending.reserve(64);
  pending.emplace_back(&a, &b);
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->kind() != y->kind() || x->name() != y->name() || x->value() != y->value() ||
        x->ChildCount() != y->ChildCount() || x->attributes().size() != y->attributes().size())
      return false;
    for (size_t i = 0; i < x->attributes().size(); ++i)
      if (x->attributes()[i].name != y->attributes()[i].name || x->attributes()[i].value != y->attributes()[i].value)
        return false;
    for (size_t i = 0; i < x->ChildCount(); ++i) pending.emplace_back(x->Child(i), y->Child(i));
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int variant = 0; variant < 2; ++variant) {
    XmlElement root;
    XmlParseOptions options;
    options.forcedParse = variant == 1;
    options.escape = variant == 1 ? 0 : '\\';
    size_t end = root.Parse(text, options);
    if (end != vm::notebook::kXmlNone && end > text.size()) std::abort();
    if (options.error != (options.errorCode != 0) || (options.error && options.errorText.empty()))
      std::abort();
    // What is written parses again (with the notebook's options, the same for both
    // variants); which variant's tree is written and read back the input picks, as both
    // are written and read through the same code.
    if (variant == static_cast<int>(size / 2 % 2)) {
      const std::string written = root.ToXml();
      XmlElement again;
      XmlParseOptions second;
      again.Parse(written, second);
    }
    // Copying does not depend on the options: one tree, chosen by the input, is copied.
    if (variant == static_cast<int>(size % 2)) {
      auto copy = root.DeepCopy();
      if (!SameTree(root, *copy)) std::abort();
    }
  }
  return 0;
}
