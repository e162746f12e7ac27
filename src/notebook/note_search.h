// Finding text in every note of a notebook at once: the plain text of a note's rich
// text, and the search over the document's titles and plain texts without regard to
// case, "ё" counting as "е".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "notebook/xml_tree.h"

namespace vm::notebook {

// The text a rich-text body shows, appended to `out`: groups that only describe the
// text (font and colour tables, pictures, "\*" destinations ...) are left out, "\'hh"
// and "\uN" become their Windows-1251 characters ("?" where the code page has none),
// a paragraph or line break becomes one CR (as the editor counts it) and a tab a tab.
// Linear in the input and never longer than it; any bytes are accepted.
void AppendRtfPlainText(std::string_view rtf, std::string& out);
std::string RtfPlainText(std::string_view rtf);
// A note's body as plain text: rich text through the above, anything else as it is.
std::string NotePlainText(std::string_view body);

// The folding every search without regard to case uses here: FoldCase1251, then "ё"
// as "е".
char SearchFold(char c);
std::string SearchFold(std::string_view text);
// The plain text of a rich-text body already folded as above, appended to `out`: the
// same as SearchFold(RtfPlainText(rtf)) in one pass.
void AppendFoldedRtfPlainText(std::string_view rtf, std::string& out);
// A folded text to look for in folded texts, byte for byte. It looks first for its two
// rarest bytes, sixteen places at a time, and compares in full only where both stand.
class FoldedNeedle {
 public:
  explicit FoldedNeedle(std::string_view folded);  // kept by reference
  // The first place at or after `from`; npos when none or when the needle is empty.
  size_t FindIn(std::string_view text, size_t from) const;

 private:
  std::string_view text_;
  size_t rare_ = 0, other_ = 0;
};

// One place the text was found.
struct NoteHit {
  const XmlElement* note = nullptr;
  std::string path;  // NotePath of the note
  bool inTitle = false;
  // A hit in the text: where in the note's plain text, and which hit of that note it
  // is (0 first), so that the editor's own text can be searched to the same one.
  size_t position = 0;
  size_t occurrence = 0;
  std::string context;  // the text around the hit on one line
};

struct AllNotesSearch {
  std::vector<NoteHit> hits;
  bool truncated = false;  // more hits than the limit; the first ones are listed
};

constexpr size_t kMaxNoteHits = 1000;

// The folded plain text of each note's body, kept from one search to the next so that
// a body unchanged since then is not decoded again. An entry serves only while the body
// it was made from is byte for byte the note's body now, so an edit, a deleted note or a
// reused address can never give a stale answer.
class NoteSearchCache {
 public:
  const std::string& Folded(const XmlElement& note);
  // The folded text when an entry for the note's body as it is now is kept; null if not.
  const std::string* Cached(const XmlElement& note);
  // Entries of notes a complete search did not visit are dropped.
  void BeginSearch() { ++generation_; }
  void EndSearch();
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string body, folded;
    unsigned generation = 0;
  };
  std::unordered_map<const XmlElement*, Entry> entries_;
  unsigned generation_ = 0;
};

// Every note in tree order (parent before children): a hit for its title when the
// title holds `what`, then one for each occurrence in its plain text. Nothing for an
// empty `what`. With a cache, bodies unchanged since its last search are not read again.
AllNotesSearch FindInAllNotes(const XmlElement& root, std::string_view what, size_t limit = kMaxNoteHits,
                              NoteSearchCache* cache = nullptr);

// The editor's position of the `occurrence`-th hit of `what` in `plain` (the editor's
// own plain text, CR LF or CR as line breaks), or -1 when the text has fewer.
long OccurrencePosition(std::string_view plain, std::string_view what, size_t occurrence);

}  // namespace vm::notebook
