#include "notebook/notebook_merge.h"

#include <unordered_map>

#include "notebook/notebook_file.h"
#include "notebook/note_tree.h"

namespace vm::notebook {

namespace {

bool SameBranch(const XmlElement& a, const XmlElement& b) {
  if (a.name() != b.name() || a.value() != b.value() || a.ChildCount() != b.ChildCount()) return false;
  if (a.attributes().size() != b.attributes().size()) return false;
  for (size_t i = 0; i < a.attributes().size(); ++i)
    if (a.attributes()[i].name != b.attributes()[i].name || a.attributes()[i].value != b.attributes()[i].value)
      return false;
  for (size_t i = 0; i < a.ChildCount(); ++i)
    if (!SameBranch(*a.Child(i), *b.Child(i))) return false;
  return true;
}

using ByTitle = std::unordered_map<std::string_view, const XmlElement*>;
ByTitle ChildrenByTitle(const XmlElement* parent) {
  ByTitle map;
  if (!parent) return map;
  for (size_t i = 0; i < parent->ChildCount(); ++i) map.emplace(parent->Child(i)->name(), parent->Child(i));
  return map;
}
const XmlElement* Find(const ByTitle& map, std::string_view title) {
  auto it = map.find(title);
  return it == map.end() ? nullptr : it->second;
}

// A title no child of `parent` has: "+" appended as the tree's own new notes do.
std::string FreeTitle(const XmlElement& parent, std::string title) {
  while (parent.FindChild(title)) title += "+";
  return title;
}

class Merger {
 public:
  explicit Merger(MergeCounts& counts) : counts_(counts) {}

  // The children of `mine` and `theirs` (and their common `base`) into `out`.
  void Children(const XmlElement* base, const XmlElement& mine, const XmlElement* theirs, XmlElement& out) {
    ByTitle b = ChildrenByTitle(base), t = ChildrenByTitle(theirs);
    ByTitle m = ChildrenByTitle(&mine);
    std::unordered_map<std::string_view, XmlElement*> made;  // title on disk -> its note in `out`
    for (size_t i = 0; i < mine.ChildCount(); ++i) {
      const XmlElement& note = *mine.Child(i);
      const XmlElement* inBase = Find(b, note.name());
      const XmlElement* onDisk = Find(t, note.name());
      if (onDisk) {
        made[note.name()] = Note(inBase, note, *onDisk, out);
      } else if (inBase && SameBranch(*inBase, note)) {
        ++counts_.deleted;  // deleted on disk, untouched here
      } else {
        out.AppendChild(note.DeepCopy());  // new here, or changed here and deleted on disk: kept
        ++counts_.fromMine;
      }
    }
    // The disk's notes this side does not have, after the note they follow on disk (at
    // the end when none comes before them there).
    XmlElement* after = nullptr;
    if (!theirs) return;
    for (size_t i = 0; i < theirs->ChildCount(); ++i) {
      const XmlElement& note = *theirs->Child(i);
      if (auto it = made.find(note.name()); it != made.end()) {
        after = it->second;
        continue;
      }
      if (Find(m, note.name())) continue;
      const XmlElement* inBase = Find(b, note.name());
      if (inBase && SameBranch(*inBase, note)) {
        ++counts_.deleted;  // deleted here, untouched on disk
        continue;
      }
      std::unique_ptr<XmlElement> copy = note.DeepCopy();
      copy->SetName(FreeTitle(out, copy->name()));
      after = out.InsertAfter(after, std::move(copy));
      ++counts_.fromTheirs;
    }
  }

 private:
  XmlElement* Note(const XmlElement* base, const XmlElement& mine, const XmlElement& theirs, XmlElement& out) {
    XmlElement* note = out.AppendChild(mine.name(), mine.value());
    for (const XmlAttribute& a : mine.attributes()) note->AddAttribute(a.name, a.value);
    const std::string* baseBody = base ? &base->value() : nullptr;
    bool conflict = false;
    if (mine.value() != theirs.value()) {
      if (baseBody && *baseBody == mine.value()) {
        note->SetValue(theirs.value());
        ++counts_.fromTheirs;
      } else if (baseBody && *baseBody == theirs.value()) {
        ++counts_.fromMine;
      } else {
        conflict = true;
      }
    }
    Children(base, mine, &theirs, *note);
    if (conflict) {
      ++counts_.conflicts;
      auto copy = std::make_unique<XmlElement>(FreeTitle(out, mine.name() + CleanTitle(kConflictMark)), theirs.value());
      return out.InsertAfter(note, std::move(copy));
    }
    return note;
  }

  MergeCounts& counts_;
};

bool Mergeable(const NotebookContent& c) {
  return c.format != NotebookFormat::kStrong && !c.xmlError && !c.tooDeep;
}

}  // namespace

MergeResult MergeNotebook(std::string_view base, std::string_view mine, std::string_view theirs,
                          std::string_view fileName) {
  MergeResult result;
  NotebookContent b = ParseNotebook(base), m = ParseNotebook(mine), t = ParseNotebook(theirs);
  if (!Mergeable(b) || !Mergeable(m) || !Mergeable(t)) {
    result.error = "Блокнот защищён паролем или повреждён: объединить версии нельзя.";
    return result;
  }
  auto root = NewNotebookRoot();
  Merger(result.counts).Children(b.root.get(), *m.root, t.root.get(), *root);
  result.bytes = NotebookBytes(*root, fileName, m.password);
  result.merged = true;
  return result;
}

}  // namespace vm::notebook
