// The three-way merge of a book changed both here and elsewhere (another program, a
// second copy of the organiser, a synced folder). Against the version this side last
// read or wrote, each side's changes are taken; a record changed differently on both
// sides is kept twice, the disk's copy marked so the user sees it. Nothing either side
// holds is dropped unless the other side deleted it and this side left it as it was.
//
// Record books are files of one record a line (line breaks inside a record are escaped),
// so a record is its line: an unchanged record is the same line on every side. A record
// whose line differs from the base is the base's line removed and a new line added; two
// such new lines that replaced the same base record (told by its first field, the name
// or headline) on both sides are a conflict.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

struct MergeCounts {
  int fromMine = 0;    // records (or notes) added or changed only here
  int fromTheirs = 0;  // ... only on disk
  int deleted = 0;     // deleted on one side, unchanged on the other
  int conflicts = 0;   // changed differently on both sides: both kept
  friend bool operator==(const MergeCounts&, const MergeCounts&) = default;
};

struct MergeResult {
  bool merged = false;  // false: `error` says why (a side cannot be merged: keep both)
  std::string bytes;    // the merged book, in its file format
  MergeCounts counts;
  std::string error;
};

// " (конфликт)": appended to the first field of the disk's copy of a record changed on
// both sides, and to the title of such a note.
extern const char* const kConflictMark;

struct RecordMergeRules {
  // Lines that are not records (the data table's header lines, "/1|" ... "/4|"): there
  // is one such header; changed on both sides differently, the books cannot be merged.
  std::function<bool(std::string_view line)> isHeader;
  // The field that tells a changed record from another and carries the conflict mark.
  int keyField = 0;
};
// A firm's record starts with its products; the organisation's name comes second.
inline constexpr int kFirmsKeyField = 1;

// base: the bytes last read or written by this side; mine: what this side would save;
// theirs: what is on disk now. Record files in their plain (unprotected) form; the
// result is written with CR LF after every line, headers first.
MergeResult MergeRecordFiles(std::string_view base, std::string_view mine, std::string_view theirs,
                             const RecordMergeRules& rules = {});

// A record line (as stored: line breaks escaped) with kConflictMark after its field `field`.
std::string MarkRecordConflict(std::string_view line, int field = 0);

}  // namespace vm
