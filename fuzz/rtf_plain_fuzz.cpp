// The plain text of arbitrary rich text: never longer than its input, the same when
// asked again after other text, and searchable in a notebook that holds it.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "notebook/note_search.h"
#include "notebook/notebook_file.h"

using namespace vm::notebook;

using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string plain = RtfPlainText(bytes);
  if (plain.size() > bytes.size()) Report(bytes, "plain text longer than the rich text");
  std::string appended = "x";
  AppendRtfPlainText(bytes, appended);
  if (appended != "x" + plain) Report(bytes, "appending differs from a fresh conversion");

  auto root = NewNotebookRoot();
  root->AppendChild(std::string(bytes.substr(0, 8)), "{\\rtf1 " + bytes + "}");
  std::string what = plain.substr(plain.size() / 2, 3);
  AllNotesSearch found = FindInAllNotes(*root, what);
  for (const NoteHit& hit : found.hits) {
    if (hit.inTitle) continue;
    std::string text = NotePlainText(hit.note->value());
    if (hit.position + what.size() > text.size() ||
        SearchFold(text.substr(hit.position, what.size())) != SearchFold(what))
      Report(bytes, "a hit that is not there");
    if (OccurrencePosition(text, what, hit.occurrence) < 0)
      Report(bytes, "a hit's occurrence not found again");
  }
  return 0;
}
