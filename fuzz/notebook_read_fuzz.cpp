// The notebook reader over arbitrary file contents. Whatever it reads must be written
// in the current format, with and without a password, and read back note for note.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"

using namespace vm::notebook;

using vm::fuzz::Report;

namespace {

// The same notes: titles, bodies and children alike in order, at every depth; without
// recursion, as trees may be deep.
bool SameNotes(const XmlElement& a, const XmlElement& b) {
  std::vector<std::pair<const XmlElement*, const XmlElement*>> pending;
  pending.reserve(64);
  pending.emplace_back(&a, &b);
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->ChildCount() != y->ChildCount()) return false;
    for (size_t i = 0; i < x->ChildCount(); ++i) {
      const XmlElement& c = *x->Child(i);
      const XmlElement& d = *y->Child(i);
      if (c.name() != d.name() || c.value() != d.value()) return false;
      pending.emplace_back(&c, &d);
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);

  // The same bytes as a file (in memory): a damaged one is set aside under another name,
  // a sound one opens, saves and opens again note for note.
  vm::fuzz::Scratch scratch;
  const std::string path = scratch.Folder() + "book.dbn";
  vm::platform::WriteFileBytes(path, bytes);
  NotebookFile file;
  NotebookRead read = ReadNotebook(file, path);
  // A strongly protected file (fuzz/protected_file_fuzz.cpp reads its contents) opens
  // locked and empty, and a save writes its bytes back unchanged.
  if (!file.sealed.empty()) {
    std::string saved;
    MarkChanged(file);
    if (!read.ok || !file.isProtected || file.root->ChildCount() || SaveNotebook(file).status != SaveStatus::kSaved ||
        !vm::platform::ReadFileBytes(path, saved) || saved != bytes)
      Report(bytes, "a strongly protected notebook was not kept as it was");
    return 0;
  }
  // Opening the file parses these very bytes: on every other input (the input picks)
  // they are parsed directly as well, and the file must open as they read. On the
  // others the file tells what the bytes hold: a tree too deep leaves the notebook
  // without a path, a damaged one with its path and no document.
  const bool direct = size / 2 % 2 == 1;
  NotebookContent content;
  if (direct) {
    content = ParseNotebook(bytes);
  } else {
    content.tooDeep = !read.ok && file.path.empty();
    content.xmlError = !read.ok && !file.path.empty();
  }
  if (content.tooDeep) {
    if (read.ok) Report(bytes, "a notebook too deep opened");
    return 0;
  }
  if (content.xmlError) {
    if (read.ok || !read.setAside || vm::platform::FileExists(path)) Report(bytes, "a damaged notebook not set aside");
    return 0;
  }
  const XmlElement& expected = direct ? *content.root : *file.root;
  const std::string bookPassword = direct ? content.password : file.password;
  if (!read.ok || (direct && (!SameNotes(*file.root, expected) || file.password != bookPassword)))
    Report(bytes, "the file read differs from the bytes read");
  MarkChanged(file);
  if (SaveNotebook(file).status != SaveStatus::kSaved) Report(bytes, "an opened notebook does not save");
  NotebookFile again;
  NotebookRead reread = ReadNotebook(again, path);
  if (!reread.ok || reread.format != NotebookFormat::kCurrent || !SameNotes(*again.root, expected) ||
      again.password != bookPassword)
    Report(bytes, "a saved notebook does not open again");

  // Without password, with the one read (when there was one) and with one the header
  // encoding must escape.
  const std::string passwords[] = {std::string(), bookPassword, std::string("p^w")};
  for (size_t k = 0; k < std::size(passwords); ++k) {
    if (k == 1 && bookPassword.empty()) continue;  // the same as the first
    const std::string& password = passwords[k];
    // The file saved above was made by this very writer with this password and was read
    // back already: its bytes are compared with the writer's own on every other input
    // (the input picks), as parsing them again would run the same code over the same bytes.
    if (password == bookPassword && size / 4 % 2) continue;
    std::string written = NotebookBytes(expected, "book.dbn", password);
    bool same;
    if (password == bookPassword) {
      std::string saved;
      same = vm::platform::ReadFileBytes(path, saved) && saved == written;
    } else {
      NotebookContent back = ParseNotebook(written);
      same = back.format == NotebookFormat::kCurrent && back.password == password && !back.tooDeep &&
             SameNotes(*back.root, expected);
    }
    if (!same) {
      Report(bytes, password.empty() ? "notebook round trip differs without password"
                                     : "notebook round trip differs");
    }
  }
  // A branch is exported from every other input (the input picks): the export reads
  // the first note's whole subtree again, and one input in two reaches every path of it.
  if (!expected.ChildCount() || size % 2) return 0;
  std::string branch = BranchBytes(*expected.Child(0), "branch.dbn");
  NotebookContent back = ParseNotebook(branch);
  if (back.headerText != "branch.dbn" || back.root->ChildCount() != 1) Report(bytes, "branch export differs");
  return 0;
}
