// What the notebook page does to its tree of notes, decided on the document itself: new
// notes with titles unique among their siblings, renaming, deleting, copying and pasting
// a branch, moving one by drag and drop, sorting, finding a title, and the path of titles
// that names a note. The page's tree control only mirrors the result.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "notebook/notebook_file.h"
#include "notebook/xml_tree.h"

namespace vm::notebook {

extern const char* const kNewNoteTitle;          // "Новый"
extern const char* const kNothingSelected;       // "Ничего не выбрано!"
extern const char* const kDeleteBranchQuestion;  // "Удалить ветвь?"
extern const char* const kTooDeepMessage;        // a paste or drop the file could not hold

// "Новый", with "+" appended while `parent` already has a child of that title.
std::string UniqueNewTitle(const XmlElement& parent);
// A new note under `parent` (the root for a top-level note), appended last and marked
// changed. None for a top-level note while no document is loaded (state 0).
XmlElement* AddNote(NotebookFile& notebook, XmlElement* parent);

// The typed title as it is stored: every space becomes "_".
std::string CleanTitle(std::string_view typed);
// Renames the note unless the cleaned title is empty or a sibling has it already;
// false when refused (the old title stays).
bool RenameNote(NotebookFile& notebook, XmlElement& note, std::string_view typed);

// Removes and destroys the note with its branch.
void DeleteNote(NotebookFile& notebook, XmlElement& note);

// How deep a note lies (a top-level note is 1) and how many levels a branch spans.
int LevelOf(const XmlElement& note);
int BranchHeight(const XmlElement& branch);
// True when `note` is `branch` or lies inside it.
bool IsInBranch(const XmlElement& note, const XmlElement& branch);
// A branch of `height` levels put under `target` still reads back (the reader refuses
// notes nested deeper than kMaxXmlDepth).
bool FitsUnder(const XmlElement& target, int height);

// The copied branch: a copy taken at "copy", pasted at most once.
class BranchClipboard {
 public:
  void Copy(const XmlElement& note);
  bool CanPaste() const { return held_ != nullptr; }
  const XmlElement* source() const { return source_; }
  void Forget(const XmlElement* note);  // the source (or a note above it) is being deleted
  enum class Paste { kDone, kRefused, kTooDeep };
  // Under `target` as its last child: refused onto the source itself, inside the
  // source's branch, or where a child has the same title; kTooDeep when the file could
  // not hold it. A done paste uses the copy up.
  Paste PasteUnder(NotebookFile& notebook, XmlElement& target, XmlElement** pasted = nullptr);

 private:
  std::unique_ptr<XmlElement> held_;
  const XmlElement* source_ = nullptr;
};

// Branches read from a file put under `target` as its last children, in order, each
// with "+" appended to its title while a child already has it. A branch the file could
// not hold that deep is left out. The notebook is marked changed when any was added.
struct BranchesAdded {
  std::vector<XmlElement*> added;
  bool tooDeep = false;  // some branch was left out
};
BranchesAdded AddImportedBranches(NotebookFile& notebook, XmlElement& target, XmlElement& notes);

enum class DropCheck { kAllowed, kRefused, kTooDeep };
// A drop of `dragged` onto `target`: never onto itself, into its own branch, nor where a
// child has the same title (that includes its own parent).
DropCheck CheckDrop(const XmlElement& dragged, const XmlElement& target);
// Moves the branch under the target as its last child when CheckDrop allows it.
DropCheck MoveNote(NotebookFile& notebook, XmlElement& dragged, XmlElement& target);

// Titles compared as the tree shows them sorted: without regard to case, "ё" beside "е".
bool TitleLess(std::string_view a, std::string_view b);
// Sorts the children of `parent` by title (stable) and marks the notebook rearranged.
void SortChildren(NotebookFile& notebook, XmlElement& parent);

// The next note after `from` in full tree order (parent before children), wrapping
// from the last to the first; `from` none starts at the first. With `down` false the
// previous one. None for an empty tree.
const XmlElement* NextInTree(const XmlElement& root, const XmlElement* from, bool down);
// The first note after `from` whose title contains `what` (cp1251 upper case on both
// sides unless matchCase), wrapping; none when the walk comes back to `from`.
const XmlElement* FindTitle(const XmlElement& root, const XmlElement* from, std::string_view what,
                            bool matchCase, bool down);

// Titles from the top-level note down to the note, each followed by "^^".
std::string NotePath(const XmlElement& note);
// A NotePath as a person reads it: the titles joined by " › " ("Дом › Ремонт › Кухня").
std::string ShownNotePath(std::string_view path);
// The note a path names: at each level the first child with that title; a title not
// found leaves the walk where it is. The root when nothing matched.
XmlElement* FindByPath(XmlElement& root, std::string_view path);

// cp1251 upper case, "ё" as "Е" when folding for search.
std::string UpperCp1251(std::string_view text);

}  // namespace vm::notebook
