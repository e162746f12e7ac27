#include "common/record_merge.h"

#include <algorithm>
#include <unordered_map>

#include "common/record_file.h"

namespace vm {

const char* const kConflictMark = " (конфликт)";

namespace {

struct Side {
  std::string header;  // the header lines, each with its CR LF
  std::vector<std::string_view> records;
};

Side Split(std::string_view bytes, const RecordMergeRules& rules) {
  Side side;
  TextLines lines(bytes);
  for (std::string_view line; lines.Next(line);) {
    if (line.empty()) continue;  // an empty line holds no record
    if (rules.isHeader && rules.isHeader(line))
      side.header.append(line).append("\r\n");
    else
      side.records.push_back(line);
  }
  return side;
}

// How many times each line stands on one side.
using Counts = std::unordered_map<std::string_view, int>;
Counts CountLines(const std::vector<std::string_view>& lines) {
  Counts counts;
  counts.reserve(lines.size());
  for (std::string_view line : lines) ++counts[line];
  return counts;
}
int CountOf(const Counts& counts, std::string_view line) {
  auto it = counts.find(line);
  return it == counts.end() ? 0 : it->second;
}

}  // namespace

std::string MarkRecordConflict(std::string_view line, int field) {
  std::string record = UndoLineEscapes(line);
  std::string key = GetField(record, field);
  return ApplyLineEscapes(SetFieldText(record, field, key + kConflictMark));
}

MergeResult MergeRecordFiles(std::string_view baseBytes, std::string_view mineBytes, std::string_view theirsBytes,
                             const RecordMergeRules& rules) {
  MergeResult result;
  // What tells a changed record from another: the name, organisation, headline or first column.
  auto KeyOf = [&rules](std::string_view line) { return GetField(line, rules.keyField); };
  Side base = Split(baseBytes, rules), mine = Split(mineBytes, rules), theirs = Split(theirsBytes, rules);

  std::string header;
  if (mine.header == theirs.header || theirs.header == base.header) {
    header = mine.header;
  } else if (mine.header == base.header) {
    header = theirs.header;
  } else {
    result.error = "Описание таблицы изменено и здесь, и в файле на диске: объединить их нельзя.";
    return result;
  }

  Counts b = CountLines(base.records), m = CountLines(mine.records), t = CountLines(theirs.records);
  // How many of each line the merge keeps: a side that left the base's count as it was
  // takes the other side's; both changed it: the larger count, so nothing is dropped.
  Counts keep;
  auto decide = [&](std::string_view line) {
    if (keep.count(line)) return;
    int nb = CountOf(b, line), nm = CountOf(m, line), nt = CountOf(t, line);
    int n = nm == nt ? nm : nm == nb ? nt : nt == nb ? nm : std::max(nm, nt);
    keep[line] = n;
  };
  for (std::string_view line : mine.records) decide(line);
  for (std::string_view line : theirs.records) decide(line);

  // Lines one side added or removed against the base, by key: a base record that both
  // sides replaced with different lines is a conflict; the disk's line gets the mark.
  std::unordered_map<std::string, int> removedByMine, removedByTheirs;
  for (const auto& [line, nb] : b) {
    int nm = CountOf(m, line), nt = CountOf(t, line);
    std::string key = KeyOf(line);
    if (key.empty()) continue;
    if (nm < nb) removedByMine[key] += nb - nm;
    if (nt < nb) removedByTheirs[key] += nb - nt;
  }
  std::unordered_map<std::string, int> addedByMineKeys;
  for (const auto& [line, nm] : m)
    if (nm > CountOf(b, line) && nm > CountOf(t, line)) ++addedByMineKeys[KeyOf(line)];
  std::unordered_map<std::string_view, bool> conflicted;  // the disk's lines to mark
  for (const auto& [line, nt] : t) {
    if (nt <= CountOf(b, line) || nt <= CountOf(m, line)) continue;
    std::string key = KeyOf(line);
    if (key.empty() || !addedByMineKeys.count(key)) continue;
    if (removedByMine[key] > 0 && removedByTheirs[key] > 0) conflicted[line] = true;
  }

  // Counts for the report: a record changed on one side (its old line removed, a new
  // line with the same key added) is one record from that side, not also a deletion.
  std::unordered_map<std::string, int> conflictKeys;
  for (const auto& [line, marked] : conflicted) ++conflictKeys[KeyOf(line)];
  result.counts.conflicts = static_cast<int>(conflicted.size());
  std::unordered_map<std::string, int> removed[2], added[2];  // [0] here, [1] on disk
  for (const Counts* all : {&b, &m, &t})
    for (const auto& [line, unused] : *all) {
      (void)unused;
      int nb = CountOf(b, line), nm = CountOf(m, line), nt = CountOf(t, line);
      std::string key = KeyOf(line);
      bool inConflict = conflictKeys.count(key) > 0 && !key.empty();
      if (all == &b) {
        if (nm < nb && nt == nb) removed[0][key] += nb - nm;
        if (nt < nb && nm == nb) removed[1][key] += nb - nt;
      } else if (all == &m && nm > nb && nt == nb && !inConflict) {
        added[0][key] += nm - nb;
      } else if (all == &t && nt > nb && nm == nb && !inConflict) {
        added[1][key] += nt - nb;
      }
    }
  for (int side = 0; side < 2; ++side) {
    int& from = side == 0 ? result.counts.fromMine : result.counts.fromTheirs;
    for (const auto& [key, n] : added[side]) from += n;
    for (const auto& [key, n] : removed[side]) {
      auto it = added[side].find(key);
      int changed = key.empty() || it == added[side].end() ? 0 : std::min(n, it->second);
      result.counts.deleted += n - changed;
    }
  }

  // This side's order, the disk's additions after the line they follow on disk.
  std::vector<std::string_view> out;
  out.reserve(mine.records.size() + theirs.records.size());
  for (std::string_view line : mine.records) {
    int& n = keep[line];
    if (n > 0) out.push_back(line), --n;
  }
  std::unordered_map<std::string_view, size_t> where;
  for (size_t i = out.size(); i-- > 0;) where[out[i]] = i;
  std::vector<std::vector<std::string_view>> after(out.size() + 1);  // [0]: before every line
  // The disk's copy of a conflict goes right after this side's version of the record.
  std::unordered_map<std::string, size_t> mineVersion;
  if (!conflicted.empty())
    for (size_t i = 0; i < out.size(); ++i)
      if (CountOf(m, out[i]) > CountOf(b, out[i])) mineVersion.emplace(KeyOf(out[i]), i + 1);
  size_t anchor = 0;
  for (std::string_view line : theirs.records) {
    int& n = keep[line];
    if (n > 0) {
      auto version = conflicted.count(line) ? mineVersion.find(KeyOf(line)) : mineVersion.end();
      after[version != mineVersion.end() ? version->second : anchor].push_back(line);
      --n;
    } else if (auto it = where.find(line); it != where.end()) {
      anchor = it->second + 1;
    }
  }

  std::string& bytes = result.bytes;
  bytes = header;
  auto emit = [&](std::string_view line, bool fromTheirs) {
    if (fromTheirs && conflicted.count(line))
      bytes += MarkRecordConflict(line, rules.keyField);
    else
      bytes.append(line);
    bytes += "\r\n";
  };
  for (size_t i = 0; i <= out.size(); ++i) {
    for (std::string_view line : after[i]) emit(line, true);
    if (i < out.size()) emit(out[i], false);
  }
  result.merged = true;
  return result;
}

}  // namespace vm
