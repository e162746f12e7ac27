#include "notebook/note_tree.h"

#include <algorithm>
#include <vector>

namespace vm::notebook {

const char* const kNewNoteTitle = "Новый";
const char* const kNothingSelected = "Ничего не выбрано!";
const char* const kDeleteBranchQuestion = "Удалить ветвь?";
const char* const kTooDeepMessage =
    "Ветвь не перемещена: заметки были бы вложены глубже 512 уровней, и файл нельзя было бы прочитать.";

std::string UniqueNewTitle(const XmlElement& parent) {
  std::string title = kNewNoteTitle;
  while (parent.FindChild(title)) title += '+';
  return title;
}

XmlElement* AddNote(NotebookFile& notebook, XmlElement* parent) {
  if (!parent) {
    if (notebook.state == kNoDocument) return nullptr;
    parent = notebook.root.get();
  }
  if (!FitsUnder(*parent, 1)) return nullptr;
  XmlElement* note = parent->AppendChild(UniqueNewTitle(*parent));
  MarkChanged(notebook);
  return note;
}

std::string CleanTitle(std::string_view typed) {
  std::string title(typed);
  std::replace(title.begin(), title.end(), ' ', '_');
  return title;
}

bool RenameNote(NotebookFile& notebook, XmlElement& note, std::string_view typed) {
  std::string title = CleanTitle(typed);
  if (title.empty()) return false;
  if (title == note.name()) return true;
  if (note.parent() && note.parent()->FindChild(title)) return false;
  note.SetName(std::move(title));
  MarkChanged(notebook);
  return true;
}

void DeleteNote(NotebookFile& notebook, XmlElement& note) {
  if (XmlElement* parent = note.parent()) {
    parent->DetachChild(&note);  // destroyed here
    MarkChanged(notebook);
  }
}

int LevelOf(const XmlElement& note) {
  int level = 0;
  for (const XmlElement* e = &note; e->parent(); e = e->parent()) ++level;
  return level;
}

int BranchHeight(const XmlElement& branch) {
  // Iterative: a branch as deep as the reader allows must not cost the stack.
  int height = 0;
  std::vector<std::pair<const XmlElement*, int>> stack{{&branch, 1}};
  while (!stack.empty()) {
    auto [e, level] = stack.back();
    stack.pop_back();
    height = std::max(height, level);
    for (size_t i = 0; i < e->ChildCount(); ++i) stack.push_back({e->Child(i), level + 1});
  }
  return height;
}

bool IsInBranch(const XmlElement& note, const XmlElement& branch) {
  for (const XmlElement* e = &note; e; e = e->parent())
    if (e == &branch) return true;
  return false;
}

bool FitsUnder(const XmlElement& target, int height) {
  return LevelOf(target) + height <= kMaxXmlDepth;
}

// ---- copy and paste ---------------------------------------------------------------------------

void BranchClipboard::Copy(const XmlElement& note) {
  held_ = note.DeepCopy();
  source_ = &note;
}

void BranchClipboard::Forget(const XmlElement* note) {
  if (note && source_ && IsInBranch(*source_, *note)) source_ = nullptr;
}

BranchClipboard::Paste BranchClipboard::PasteUnder(NotebookFile& notebook, XmlElement& target,
                                                   XmlElement** pasted) {
  if (!held_) return Paste::kRefused;
  if (source_ && IsInBranch(target, *source_)) return Paste::kRefused;
  if (target.FindChild(held_->name())) return Paste::kRefused;
  if (!FitsUnder(target, BranchHeight(*held_))) return Paste::kTooDeep;
  XmlElement* added = target.AppendChild(std::move(held_));
  source_ = nullptr;
  MarkChanged(notebook);
  if (pasted) *pasted = added;
  return Paste::kDone;
}

// ---- drag and drop ----------------------------------------------------------------------------

BranchesAdded AddImportedBranches(NotebookFile& notebook, XmlElement& target, XmlElement& notes) {
  BranchesAdded result;
  while (notes.ChildCount()) {
    std::unique_ptr<XmlElement> branch = notes.DetachChild(notes.Child(0));
    if (!FitsUnder(target, BranchHeight(*branch))) {
      result.tooDeep = true;
      continue;
    }
    while (target.FindChild(branch->name())) branch->SetName(branch->name() + "+");
    result.added.push_back(target.AppendChild(std::move(branch)));
  }
  if (!result.added.empty()) MarkChanged(notebook);
  return result;
}

DropCheck CheckDrop(const XmlElement& dragged, const XmlElement& target) {
  if (IsInBranch(target, dragged)) return DropCheck::kRefused;
  if (target.FindChild(dragged.name())) return DropCheck::kRefused;
  if (!FitsUnder(target, BranchHeight(dragged))) return DropCheck::kTooDeep;
  return DropCheck::kAllowed;
}

DropCheck MoveNote(NotebookFile& notebook, XmlElement& dragged, XmlElement& target) {
  DropCheck check = CheckDrop(dragged, target);
  if (check != DropCheck::kAllowed || !dragged.parent()) return check;
  target.AppendChild(dragged.parent()->DetachChild(&dragged));
  MarkChanged(notebook);
  return check;
}

// ---- sorting ----------------------------------------------------------------------------------

namespace {

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0) return static_cast<unsigned char>(c - 32);  // а..я
  if (c == 0xB8) return 0xA8;                                // ё
  switch (c) {                                               // the other Cyrillic letters of the page
    case 0x90: return 0x80;
    case 0x83: return 0x81;
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9D: return 0x8D;
    case 0x9E: return 0x8E;
    case 0x9F: return 0x8F;
    case 0xA2: return 0xA1;
    case 0xB3: return 0xB2;
    case 0xB4: return 0xA5;
    case 0xBA: return 0xAA;
    case 0xBC: return 0xA3;
    case 0xBE: return 0xBD;
    case 0xBF: return 0xAF;
    default: break;
  }
  return c;
}

// The place of a byte in the sorted order: upper case, and "Ё" just after "Е".
int SortKey(unsigned char c) {
  c = UpperByte(c);
  if (c == 0xA8) return 0xC5 * 2 + 1;
  return c * 2;
}

}  // namespace

std::string UpperCp1251(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    unsigned char u = UpperByte(static_cast<unsigned char>(c));
    if (u == 0xA8) u = 0xC5;  // "ё" finds "е" and the other way round
    c = static_cast<char>(u);
  }
  return out;
}

bool TitleLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return SortKey(static_cast<unsigned char>(x)) < SortKey(static_cast<unsigned char>(y));
  });
}

void SortChildren(NotebookFile& notebook, XmlElement& parent) {
  std::vector<std::unique_ptr<XmlElement>> children;
  while (parent.ChildCount()) children.push_back(parent.DetachChild(parent.Child(0)));
  std::stable_sort(children.begin(), children.end(),
                   [](const auto& a, const auto& b) { return TitleLess(a->name(), b->name()); });
  for (auto& child : children) parent.AppendChild(std::move(child));
  if (notebook.state != kNoDocument) notebook.state = kRearranged;
  notebook.revision = find::NextStamp();
}

// ---- walking and finding ----------------------------------------------------------------------

namespace {

const XmlElement* NextSibling(const XmlElement& e) {
  const XmlElement* parent = e.parent();
  if (!parent) return nullptr;
  for (size_t i = 0; i + 1 < parent->ChildCount(); ++i)
    if (parent->Child(i) == &e) return parent->Child(i + 1);
  return nullptr;
}

const XmlElement* PreviousSibling(const XmlElement& e) {
  const XmlElement* parent = e.parent();
  if (!parent) return nullptr;
  for (size_t i = 1; i < parent->ChildCount(); ++i)
    if (parent->Child(i) == &e) return parent->Child(i - 1);
  return nullptr;
}

const XmlElement* LastDescendant(const XmlElement* e) {
  while (e->ChildCount()) e = e->Child(e->ChildCount() - 1);
  return e;
}

}  // namespace

const XmlElement* NextInTree(const XmlElement& root, const XmlElement* from, bool down) {
  if (!root.ChildCount()) return nullptr;
  if (down) {
    if (!from || from == &root) return root.Child(0);
    if (from->ChildCount()) return from->Child(0);
    for (const XmlElement* e = from; e && e != &root; e = e->parent())
      if (const XmlElement* next = NextSibling(*e)) return next;
    return root.Child(0);
  }
  if (!from || from == &root) return LastDescendant(&root);
  if (const XmlElement* previous = PreviousSibling(*from)) return LastDescendant(previous);
  if (from->parent() && from->parent() != &root) return from->parent();
  return LastDescendant(&root);
}

const XmlElement* FindTitle(const XmlElement& root, const XmlElement* from, std::string_view what,
                            bool matchCase, bool down) {
  if (what.empty()) return nullptr;
  std::string needle = matchCase ? std::string(what) : UpperCp1251(what);
  const XmlElement* e = from;
  // Without a selection the first note is looked at too.
  bool first = from == nullptr;
  if (first) {
    e = NextInTree(root, nullptr, down);
    if (!e) return nullptr;
    from = e;
  }
  while (true) {
    if (!first) {
      e = NextInTree(root, e, down);
      if (!e || e == from) return nullptr;
    }
    first = false;
    std::string title = matchCase ? e->name() : UpperCp1251(e->name());
    if (title.find(needle) != std::string::npos) return e;
  }
}

std::string NotePath(const XmlElement& note) {
  std::vector<const XmlElement*> chain;
  for (const XmlElement* e = &note; e->parent(); e = e->parent()) chain.push_back(e);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += (*it)->name() + "^^";
  return path;
}

std::string ShownNotePath(std::string_view path) {
  std::string shown;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find("^^", pos);
    if (end == std::string_view::npos) end = path.size();
    if (pos > 0) shown += " › ";
    shown += path.substr(pos, end - pos);
    pos = end + 2;
  }
  return shown;
}

XmlElement* FindByPath(XmlElement& root, std::string_view path) {
  XmlElement* at = &root;
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find("^^", pos);
    if (end == std::string_view::npos) end = path.size();
    if (XmlElement* child = at->FindChild(path.substr(pos, end - pos))) at = child;
    pos = end + 2;
  }
  return at;
}

}  // namespace vm::notebook
