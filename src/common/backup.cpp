#include "common/backup.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "common/ask_dialogs.h"
#include "common/book_guard.h"
#include "common/text_util.h"

namespace vm::backup {

namespace {

std::string_view FileNameOf(std::string_view path) {
  auto cut = path.find_last_of("\\/");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// The stem and the extension (with its dot); a leading dot is part of the stem.
std::pair<std::string_view, std::string_view> SplitName(std::string_view name) {
  auto dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return {name, {}};
  return {name.substr(0, dot), name.substr(dot)};
}

std::string DateText(Day d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

bool IsDateText(std::string_view t) {
  if (t.size() != 10 || t[4] != '-' || t[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

struct KeeperState {
  Keeper keeper;
  std::map<std::string, std::string> doneOn;  // book path -> date of its backup this run
  std::set<std::string> reported;
};
KeeperState& State() {
  static KeeperState state;
  return state;
}

}  // namespace

const char* const kIndexHeader = "Velmoria backups 1";

std::optional<std::vector<IndexEntry>> ParseIndex(std::string_view text) {
  // An editor may have saved it with a byte-order mark or blank lines: both are read.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<IndexEntry> out;
  bool header = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    if (!header) {
      if (line != kIndexHeader) return std::nullopt;
      header = true;
      continue;
    }
    size_t bar = line.find('|');
    if (bar == std::string_view::npos || bar == 0 || bar + 1 == line.size()) continue;
    std::string_view name = line.substr(0, bar);
    // A name is a bare file name: nothing that could reach out of the backup folder.
    if (name.find_first_of("\\/:") != std::string_view::npos || name == "." || name == "..") continue;
    out.push_back({std::string(name), std::string(line.substr(bar + 1))});
  }
  return out;  // an empty file holds no book yet
}

std::string IndexText(const std::vector<IndexEntry>& entries) {
  std::string out = std::string(kIndexHeader) + "\r\n";
  for (const IndexEntry& e : entries) out += e.name + "|" + e.path + "\r\n";
  return out;
}

std::string BackupFileNameFor(std::vector<IndexEntry>& index, const std::string& path, bool* added) {
  if (added) *added = false;
  const std::string folded = FoldCase1251(path);
  for (const IndexEntry& e : index)
    if (FoldCase1251(e.path) == folded) return e.name;
  const std::string_view fileName = FileNameOf(path);
  auto taken = [&](const std::string& name) {
    const std::string f = FoldCase1251(name);
    return std::any_of(index.begin(), index.end(),
                       [&](const IndexEntry& e) { return FoldCase1251(e.name) == f; });
  };
  std::string name(fileName);
  auto [stem, ext] = SplitName(fileName);
  for (int n = 2; taken(name); ++n) name = std::string(stem) + "~" + std::to_string(n) + std::string(ext);
  index.push_back({name, path});
  if (added) *added = true;
  return name;
}

std::string BackupName(std::string_view fileName, Day day) {
  auto [stem, ext] = SplitName(fileName);
  std::string out(stem);
  out += '.';
  out += DateText(day);
  out += ext;
  return out;
}

std::string BackupDateOf(std::string_view fileName, std::string_view candidate) {
  auto [stem, ext] = SplitName(fileName);
  if (candidate.size() != stem.size() + 11 + ext.size()) return {};
  if (FoldCase1251(candidate.substr(0, stem.size())) != FoldCase1251(stem)) return {};
  if (candidate[stem.size()] != '.') return {};
  if (FoldCase1251(candidate.substr(stem.size() + 11)) != FoldCase1251(ext)) return {};
  std::string_view date = candidate.substr(stem.size() + 1, 10);
  return IsDateText(date) ? std::string(date) : std::string();
}

int DaysFromSetting(const std::string& value) {
  if (value.empty()) return kDefaultDays;
  int n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return kDefaultDays;
    n = std::min(n * 10 + (c - '0'), 100000);
  }
  return n;
}

std::vector<std::string> Prune(const std::string& folder, std::string_view fileName, int keepDays) {
  std::vector<std::pair<std::string, std::string>> found;  // date, name
  for (const platform::DirEntry& e : platform::ListDir(folder)) {
    if (e.isDir) continue;
    // A backup write killed half-way left its temporary file; no write runs now.
    const std::string_view tmp = ".vmtmp";
    if (e.name.size() > tmp.size() && std::string_view(e.name).substr(e.name.size() - tmp.size()) == tmp &&
        !BackupDateOf(fileName, std::string_view(e.name).substr(0, e.name.size() - tmp.size())).empty()) {
      platform::RemoveFile(folder + e.name);
      continue;
    }
    std::string date = BackupDateOf(fileName, e.name);
    if (!date.empty()) found.emplace_back(date, e.name);
  }
  std::vector<std::string> removed;
  if (keepDays <= 0 || found.size() <= static_cast<size_t>(keepDays)) return removed;
  std::sort(found.begin(), found.end(), std::greater<>());
  for (size_t i = static_cast<size_t>(keepDays); i < found.size(); ++i)
    if (platform::RemoveFile(folder + found[i].second)) removed.push_back(found[i].second);
  return removed;
}

namespace {

// The name of path's backups in folder; with claim, a book new to the index is entered
// in it. None when the index exists but cannot be read or is not an index (another
// process holds it, an editor mangled it), or when a new entry could not be written: a
// name chosen on a guess could be another book's, and pruning would then delete that
// book's backups. Such an index is never written over; *unreadable tells it from an
// index that could not be written.
std::optional<std::string> NameIn(const std::string& folder, const std::string& path, bool claim,
                                  bool* unreadable = nullptr) {
  if (unreadable) *unreadable = true;
  const std::string indexPath = folder + kIndexName;
  std::vector<IndexEntry> index;
  if (platform::FileExists(indexPath)) {
    std::string text;
    if (!platform::ReadFileBytes(indexPath, text)) return std::nullopt;
    std::optional<std::vector<IndexEntry>> read = ParseIndex(text);
    if (!read) return std::nullopt;
    index = std::move(*read);
  }
  if (unreadable) *unreadable = false;
  bool added = false;
  std::string name = BackupFileNameFor(index, path, &added);
  if (added && claim && !platform::SafeReplace(indexPath, IndexText(index))) return std::nullopt;
  return name;
}

}  // namespace

Outcome BackUp(const std::string& path, const Policy& policy) {
  if (policy.keepDays <= 0 || policy.folder.empty()) return Outcome::kOff;
  if (!platform::FileExists(path)) return Outcome::kNoFile;
  std::string folder = policy.folder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  bool unreadable = false;
  const std::optional<std::string> found = NameIn(policy.folder, path, true, &unreadable);
  if (!found) return unreadable ? Outcome::kIndexFailed : Outcome::kFailed;
  const std::string& name = *found;
  const std::string target = policy.folder + BackupName(name, policy.today);
  if (platform::FileExists(target)) return Outcome::kAlreadyToday;
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes) || !platform::SafeReplace(target, bytes)) return Outcome::kFailed;
  Prune(policy.folder, name, policy.keepDays);
  return Outcome::kWritten;
}

void Install(Keeper keeper) {
  State() = KeeperState{};
  State().keeper = std::move(keeper);
}

void BeforeSave(const std::string& path) {
  KeeperState& s = State();
  if (s.keeper.folder.empty() || !s.keeper.today) return;
  // A conflict copy holds one side of a change made twice; it is no book of its own.
  if (guard::IsConflictCopyName(FileNameOfPath(path))) return;
  Policy policy{s.keeper.folder, kDefaultDays, s.keeper.today()};
  const std::string today = DateText(policy.today);
  // The settings file is written on many occasions a day: once its backup is made,
  // later saves that day cost one map look-up.
  auto done = s.doneOn.find(path);
  if (done != s.doneOn.end() && done->second == today) return;
  if (s.keeper.keepDays) policy.keepDays = s.keeper.keepDays();
  Outcome outcome = BackUp(path, policy);
  if (outcome == Outcome::kFailed) {
    if (s.reported.insert(path).second && s.keeper.report) s.keeper.report(FailureMessage(path));
    return;
  }
  if (outcome == Outcome::kIndexFailed) {
    // One index stands for every book: said once a run, and tried again at the next save.
    const std::string index = s.keeper.folder + kIndexName;
    if (s.reported.insert(index).second && s.keeper.report) s.keeper.report(IndexFailureMessage(index, path));
    return;
  }
  if (outcome != Outcome::kOff) s.doneOn[path] = today;
}

platform::SaveResult SaveBook(const std::string& path, std::string_view bytes) {
  return guard::Save(path, bytes, [](const std::string& target, std::string_view what) {
    BeforeSave(target);
    return platform::SafeReplace(target, what);
  });
}

void AfterRead(const std::string& path, std::string_view bytes) {
  DropLeftovers(path);
  guard::Read(path, bytes);
}

void DropLeftovers(const std::string& path) {
  platform::RemoveLeftoverTemporary(path);
  const std::string& folder = State().keeper.folder;
  if (!folder.empty() && platform::DirExists(folder.substr(0, folder.size() - 1))) {
    platform::RemoveLeftoverTemporary(folder + kIndexName);
    if (std::optional<std::string> name = NameIn(folder, path, false))
      Prune(folder, *name, 0);  // no day limit: the temporaries alone
  }
}

std::string IndexFailureMessage(const std::string& indexPath, const std::string& path) {
  return "Не удалось прочитать список резервных копий " + indexPath + ". Файл " + path +
         " сохранён, но копия за сегодня не сделана; прежние копии не тронуты.";
}

std::string FailureMessage(const std::string& path) {
  return "Не удалось сохранить резервную копию файла " + path +
         ". Файл сохранён, но копия за сегодня не сделана.";
}

}  // namespace vm::backup
