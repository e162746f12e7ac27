// The notebook reader over arbitrary file contents. Whatever it reads must be written
// in the current format, with and without a password, and read back note for note.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "notebook/notebook_file.h"

using namespace vm::notebook;

using vm::fuzz::Report;

namespace {

void Dump(const XmlElement& e, int depth, std::string& out) {
  for (size_t i = 0; i < e.ChildCount(); ++i) {
    const XmlElement& c = *e.Child(i);
    out += std::to_string(depth) + "\x01" + c.name() + "\x02" + c.value() + "\x03";
    Dump(c, depth + 1, out);
  }
}

std::string Dump(const XmlElement& e) {
  std::string out;
  Dump(e, 0, out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  NotebookContent content = ParseNotebook(bytes);
  if (content.xmlError || content.tooDeep) return 0;
  std::string expected = Dump(*content.root);
  for (const std::string& password : {std::string(), content.password, std::string("p^w")}) {
    std::string written = NotebookBytes(*content.root, "book.dbn", password);
    NotebookContent back = ParseNotebook(written);
    if (back.format != NotebookFormat::kCurrent || back.password != password || back.tooDeep ||
        Dump(*back.root) != expected) {
      Report(bytes, password.empty() ? "notebook round trip differs without password"
                                     : "notebook round trip differs");
    }
  }
  if (!content.root->ChildCount()) return 0;
  std::string branch = BranchBytes(*content.root->Child(0), "branch.dbn");
  NotebookContent back = ParseNotebook(branch);
  if (back.headerText != "branch.dbn" || back.root->ChildCount() != 1) Report(bytes, "branch export differs");
  return 0;
}
