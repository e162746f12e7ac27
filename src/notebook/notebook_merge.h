// The three-way merge of a notebook changed both here and elsewhere, by note path: a
// note is its chain of titles (unique among siblings) and its body is one unit. Notes
// added on either side are kept; deleted on one side and untouched on the other they go;
// a body changed on one side takes that change; changed differently on both sides the
// note keeps this side's body and a sibling "<title> (конфликт)" gets the disk's.
#pragma once

#include <string_view>

#include "common/record_merge.h"

namespace vm::notebook {

// base, mine, theirs: notebook files in a readable plain or old-scheme form (a strongly
// protected side cannot be merged until it is opened). The result is written in the
// current format under `fileName` with this side's password.
MergeResult MergeNotebook(std::string_view base, std::string_view mine, std::string_view theirs,
                          std::string_view fileName);

}  // namespace vm::notebook
