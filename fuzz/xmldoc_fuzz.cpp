// The XML document parser over arbitrary bytes: parse (after the encoding step LoadFile
// takes), look things up, write, and parse what was written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "spreadsheet/xml_document.h"

using vm::spreadsheet::CXmlDocument;
using vm::spreadsheet::CXmlNode;

namespace {

void Walk(const CXmlNode* node, int depth) {
  if (depth > vm::spreadsheet::kXmlMaxDepth + 1) std::abort();  // the depth bound failed
  for (const CXmlNode* c = node->firstChild; c; c = c->next) {
    if (c->parent != node) std::abort();
    vm::spreadsheet::AttributeText(CXmlDocument::FindAttribute(c, "a"));
    Walk(c, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  CXmlDocument doc;
  doc.SetUnterminatedReferences(size % 2 == 0);
  doc.SetErrorCallback([](int code, const std::string& message, int line, int column) {
    if (message.size() > 511 || line < 1 || column < 1 || code < 101) std::abort();
  });
  doc.Parse(vm::spreadsheet::DocumentBytesToCp1251(bytes));
  Walk(doc.Root(), 0);
  CXmlDocument::FindElement(doc.Root(), "Workbook\\Worksheet\\Table", size % 3 == 0);
  doc.DecodeEntities(bytes.substr(0, 256));
  std::string written = doc.Write();
  CXmlDocument again;
  again.Parse(written);
  Walk(again.Root(), 0);
  return 0;
}
