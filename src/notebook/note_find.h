// The open notebook as "Найти везде" reads it: one entry per note in tree order (parent
// before children), its title and its body's plain text (as the all-notes search reads
// it) joined by find::kFieldBreak, so a hit's field is 0 in the title and 1 in the text.
// Named by the note's path "Дом › Ремонт › Кухня". Place::record is the note's number in
// tree order. NotebookFile::revision tells when they are old.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/find_corpus.h"
#include "notebook/xml_tree.h"

namespace vm::notebook {

std::vector<find::Entry> NoteFindTexts(const XmlElement& root);
// The note of that number in tree order; none beyond the last.
const XmlElement* NoteAtNumber(const XmlElement& root, uint32_t number);
// The titles from the top-level note down to the note, joined by " › ".
std::string NotePathShown(const XmlElement& note);

}  // namespace vm::notebook
