// The plain text of arbitrary rich text: never longer than its input, the same when
// asked again after other text, and searchable in a notebook that holds it: the first,
// the last and one input-chosen hit of a search stand where it says, and the chosen one
// is found again as the same occurrence.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "notebook/note_search.h"
#include "notebook/notebook_file.h"

using namespace vm::notebook;

using vm::fuzz::Report;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string appended = "x";
  AppendRtfPlainText(bytes, appended);
  const std::string_view plain = std::string_view(appended).substr(1);
  if (plain.size() > bytes.size()) Report(bytes, "plain text longer than the rich text");
  // A fresh conversion runs the same decoder from an empty text: compared on every other
  // input (the input picks).
  if (size % 2 && RtfPlainText(bytes) != plain) Report(bytes, "appending differs from a fresh conversion");

  auto root = NewNotebookRoot();
  std::string body;
  body.reserve(size + 8);
  body.append("{\\rtf1 ").append(bytes).append("}");
  root->AppendChild(bytes.substr(0, 8), std::move(body));
  const std::string what(plain.substr(plain.size() / 2, 3));
  AllNotesSearch found = FindInAllNotes(*root, what);
  // Every hit in the text is in the one note: its text is made once, and the first hit,
  // the last and one the input picks are each looked up there.
  std::vector<const NoteHit*> inText;
  for (const NoteHit& hit : found.hits)
    if (!hit.inTitle) inText.push_back(&hit);
  if (inText.empty()) return 0;
  const std::string text = NotePlainText(inText.front()->note->value());
  const size_t picked = size > 0 ? data[0] % inText.size() : 0;
  for (const NoteHit* hit : {inText.front(), inText.back(), inText[picked]}) {
    if (hit->position + what.size() > text.size() ||
        SearchFold(text.substr(hit->position, what.size())) != SearchFold(what))
      Report(bytes, "a hit that is not there");
  }
  // Finding an occurrence again folds the whole text and walks the hits before it: done
  // for the hit the input picks, which may be the first or the last.
  if (OccurrencePosition(text, what, inText[picked]->occurrence) < 0)
    Report(bytes, "a hit's occurrence not found again");
  return 0;
}
