#include "notebook/note_find.h"

#include "notebook/note_search.h"
#include "notebook/note_tree.h"

namespace vm::notebook {

namespace {

// Every note in tree order, parent before children.
template <typename Each>
void ForEachNote(const XmlElement& root, Each each) {
  std::vector<const XmlElement*> stack;
  for (size_t i = root.ChildCount(); i-- > 0;) stack.push_back(root.Child(i));
  uint32_t number = 0;
  while (!stack.empty()) {
    const XmlElement* note = stack.back();
    stack.pop_back();
    for (size_t i = note->ChildCount(); i-- > 0;) stack.push_back(note->Child(i));
    if (!each(*note, number++)) return;
  }
}

}  // namespace

std::string NotePathShown(const XmlElement& note) {
  return ShownNotePath(NotePath(note));
}

std::vector<find::Entry> NoteFindTexts(const XmlElement& root) {
  std::vector<find::Entry> out;
  ForEachNote(root, [&](const XmlElement& note, uint32_t number) {
    find::Entry e;
    e.place.record = number;
    e.label = NotePathShown(note);
    e.text = note.name();
    e.text += find::kFieldBreak;
    e.text += NotePlainText(note.value());
    out.push_back(std::move(e));
    return true;
  });
  return out;
}

const XmlElement* NoteAtNumber(const XmlElement& root, uint32_t number) {
  const XmlElement* found = nullptr;
  ForEachNote(root, [&](const XmlElement& note, uint32_t n) {
    if (n == number) found = &note;
    return n < number;
  });
  return found;
}

}  // namespace vm::notebook
