#include "common/book_guard.h"

#include <cstdio>
#include <map>

#include "common/ask_dialogs.h"
#include "common/book_lock.h"

namespace vm::guard {

namespace {

constexpr std::string_view kCopyMark = " (конфликт ";

struct Held {
  FileIdentity identity;  // of the version the book came from (read or written last)
  std::string base;       // its bytes
  platform::FileStamp stamp;
  bool stampKnown = false;
  FileIdentity noticed;      // the disk's version Poll reported last
  FileIdentity copiedMine;   // the version an automatic save kept as a conflict copy
  bool changed = false;      // the disk holds a version the book has not taken
  bool reloadDue = false;    // the book should load the disk's version (reported by Poll)
  bool locked = false;       // this run left a lock beside it
  bool readOnly = false;     // opened read only: never written
};

struct State {
  bool installed = false;
  bool automatic = false;
  Hooks hooks;
  std::map<std::string, Held> files;
};

State& S() {
  static State state;
  return state;
}

platform::LocalTime Now() { return S().hooks.now ? S().hooks.now() : platform::Now(); }

void Note(const std::string& path, std::string_view bytes) {
  Held& h = S().files[path];
  h.identity = IdentityOf(bytes);
  h.base.assign(bytes);
  h.stampKnown = platform::StampOf(path, h.stamp);
  h.noticed = h.identity;
  h.changed = false;
  h.reloadDue = false;
}

void Report(const std::string& message) {
  if (S().hooks.report) S().hooks.report(message);
}

std::pair<std::string_view, std::string_view> SplitExtension(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash) ||
      dot == (slash == std::string_view::npos ? 0 : slash + 1))
    return {path, {}};
  return {path.substr(0, dot), path.substr(dot)};
}

bool Digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Writes one side's bytes to a free conflict copy beside path; the copy's path, or none.
std::optional<std::string> KeepCopy(const std::string& path, std::string_view bytes) {
  std::string copy = FreeConflictCopyPath(path, Now());
  if (!platform::SafeReplace(copy, bytes)) {
    Report("Не удалось записать копию " + copy + ". Файл " + path + " не изменён.");
    return std::nullopt;
  }
  return copy;
}

platform::SaveResult Failed() { return platform::SaveResult{platform::SaveError::kOpen}; }

}  // namespace

// ---- conflict copies ------------------------------------------------------------------------

std::string ConflictCopyPath(std::string_view path, const platform::LocalTime& at) {
  auto [stem, ext] = SplitExtension(path);
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d-%02d-%02d", at.year, at.month, at.day, at.hour, at.minute,
                at.second);
  return std::string(stem) + std::string(kCopyMark) + stamp + ")" + std::string(ext);
}

bool IsConflictCopyName(std::string_view name) {
  auto [stem, ext] = SplitExtension(name);
  size_t mark = stem.rfind(kCopyMark);
  if (mark == std::string_view::npos || mark == 0 || stem.empty() || stem.back() != ')') return false;
  std::string_view inside = stem.substr(mark + kCopyMark.size());
  inside.remove_suffix(1);
  // "YYYY-MM-DD HH-MM-SS", then " N" when that name was taken.
  if (inside.size() < 19) return false;
  static constexpr std::string_view kShape = "0000-00-00 00-00-00";
  for (size_t i = 0; i < kShape.size(); ++i) {
    bool digit = inside[i] >= '0' && inside[i] <= '9';
    if (kShape[i] == '0' ? !digit : inside[i] != kShape[i]) return false;
  }
  std::string_view more = inside.substr(19);
  return more.empty() || (more[0] == ' ' && Digits(more.substr(1)));
}

std::string FreeConflictCopyPath(std::string_view path, const platform::LocalTime& at) {
  std::string copy = ConflictCopyPath(path, at);
  auto [stem, ext] = SplitExtension(copy);
  for (int n = 2; platform::FileExists(copy); ++n)
    copy = std::string(stem.substr(0, stem.size() - 1)) + " " + std::to_string(n) + ")" + std::string(ext);
  return copy;
}

// ---- the texts ------------------------------------------------------------------------------

std::string ConflictQuestion(const Conflict& c) {
  char when[64];
  const platform::LocalTime& t = c.changedAt;
  std::snprintf(when, sizeof when, "%02d.%02d.%04d в %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                t.second);
  std::string text = "Файл «" + FileNameOfPath(c.path) + "» изменён другой программой " + when +
                     ", после того как Velmoria его прочитала, а здесь есть несохранённые изменения.\n\n";
  if (c.canMerge) text += "«Объединить» — взять изменения обеих версий; запись, изменённая в обеих, сохранится дважды.\n";
  text +=
      "«Оставить мою версию» — записать вашу; версия с диска сохранится рядом как копия с пометкой «конфликт».\n"
      "«Загрузить с диска» — показать версию с диска; ваша сохранится рядом как копия с пометкой «конфликт».";
  return text;
}

std::string AutomaticCopyMessage(const std::string& path, const std::string& copyPath) {
  return "Файл " + path +
         " изменён другой программой, поэтому ваши изменения не записаны поверх него, а сохранены в файле " +
         copyPath + ". Загружена версия с диска.";
}

std::string ReloadedNote(const std::string& path) {
  return "Файл «" + FileNameOfPath(path) + "» изменён другой программой и загружен заново";
}

std::string MarkedNote(const std::string& path) {
  return "Файл «" + FileNameOfPath(path) + "» изменён другой программой; ваши изменения ещё не сохранены";
}

std::string LockedQuestion(const std::string& lockMessage) {
  return lockMessage +
         "\n\nЕсли открыть его и здесь, изменения с двух компьютеров придётся объединять. "
         "Открыть только для чтения — ваши изменения будут сохраняться рядом, в копиях с пометкой «конфликт».";
}

// ---- the state --------------------------------------------------------------------------------

void Install(Hooks hooks) {
  State& s = S();
  for (const auto& [path, held] : s.files)
    if (held.locked) lock::Release(path);
  s.installed = static_cast<bool>(hooks.ask);
  s.hooks = std::move(hooks);
  s.files.clear();
}

bool Installed() { return S().installed; }

AutomaticSaves::AutomaticSaves() : previous_(S().automatic) { S().automatic = true; }
AutomaticSaves::~AutomaticSaves() { S().automatic = previous_; }

void Read(const std::string& path, std::string_view bytes) {
  State& s = S();
  if (!s.installed) return;
  bool first = !s.files.count(path);
  Note(path, bytes);
  if (!first) return;
  std::optional<lock::LockInfo> found;
  lock::LockState state = lock::Take(path, &found);
  Held& held = s.files[path];
  held.locked = state == lock::LockState::kNone || state == lock::LockState::kMine;
  if (state == lock::LockState::kOtherMachine && found && s.hooks.openLocked) {
    if (s.hooks.openLocked(path, lock::LockedMessage(path, *found))) {
      platform::WriteFileBytes(lock::LockPath(path), lock::LockText(lock::Here()));
      held.locked = true;
    } else {
      held.readOnly = true;
    }
  }
}

void Reread(const std::string& path, std::string_view bytes) {
  if (S().installed) Note(path, bytes);
}

bool ReadOnly(const std::string& path) {
  auto it = S().files.find(path);
  return it != S().files.end() && it->second.readOnly;
}

void Forget(const std::string& path) {
  auto it = S().files.find(path);
  if (it == S().files.end()) return;
  if (it->second.locked) lock::Release(path);
  S().files.erase(it);
}

std::optional<FileIdentity> HeldIdentity(const std::string& path) {
  auto it = S().files.find(path);
  if (it == S().files.end()) return std::nullopt;
  return it->second.identity;
}

std::optional<std::string> Base(const std::string& path) {
  auto it = S().files.find(path);
  if (it == S().files.end()) return std::nullopt;
  return it->second.base;
}

bool ChangedOnDisk(const std::string& path) {
  auto it = S().files.find(path);
  return it != S().files.end() && it->second.changed;
}

// ---- the save ---------------------------------------------------------------------------------

platform::SaveResult Save(const std::string& path, std::string_view bytes, const Writer& write) {
  State& s = S();
  auto written = [&](std::string_view what) {
    platform::SaveResult r = write(path, what);
    if (r && s.installed) Note(path, what);
    return r;
  };
  if (!s.installed) {
    lock::LockState state = lock::StateOf(path);
    if (state == lock::LockState::kThisMachine || state == lock::LockState::kOtherMachine) return Failed();
    return write(path, bytes);
  }
  auto it = s.files.find(path);
  if (it == s.files.end()) return written(bytes);
  if (it->second.readOnly) {
    Held& held = it->second;
    FileIdentity mine = IdentityOf(bytes);
    if (mine == held.identity) return {};
    if (held.copiedMine != mine) {
      std::optional<std::string> copy = KeepCopy(path, bytes);
      if (!copy) return Failed();
      held.copiedMine = mine;
      Report("Файл " + path + " открыт только для чтения: ваши изменения сохранены в файле " + *copy + ".");
    }
    held.reloadDue = true;
    return {};
  }
  std::string disk;
  if (!platform::ReadFileBytes(path, disk)) return written(bytes);  // gone: writing it loses nothing
  FileIdentity theirs = IdentityOf(disk);
  Held& held = it->second;
  if (theirs == held.identity) return written(bytes);
  FileIdentity mine = IdentityOf(bytes);
  if (theirs == mine) {  // both sides came to the same bytes
    Note(path, bytes);
    return {};
  }
  held.changed = true;
  held.noticed = theirs;
  if (s.automatic) {
    if (held.copiedMine != mine) {
      std::optional<std::string> copy = KeepCopy(path, bytes);
      if (!copy) return Failed();
      held.copiedMine = mine;
      Report(AutomaticCopyMessage(path, *copy));
    }
    held.reloadDue = true;
    return {};
  }
  platform::FileStamp stamp;
  Conflict conflict{path, platform::StampOf(path, stamp) ? platform::LocalTimeOfWrite(stamp.writeTime) : Now(),
                    s.hooks.canMerge && s.hooks.canMerge(path, held.base)};
  Choice choice = s.hooks.ask(conflict);
  if (choice == Choice::kMerge && conflict.canMerge && s.hooks.merge) {
    std::optional<std::string> merged = s.hooks.merge(path, held.base, bytes, disk);
    if (merged) {
      platform::SaveResult r = written(*merged);
      if (r) {
        // The book still shows mine, and the file holds both: until the page loads it,
        // mine is what the book came from, so a save before that merges again rather
        // than write mine over the other side's records.
        Held& now = s.files[path];
        now.identity = mine;
        now.base.assign(bytes);
        now.reloadDue = true;
      }
      return r;
    }
    Report("Версии файла " + path + " не удалось объединить: ваша сохранена рядом как копия, загружена версия с диска.");
    choice = Choice::kLoadFromDisk;
  }
  switch (choice) {
    case Choice::kKeepMine:
      if (!KeepCopy(path, disk)) return Failed();
      return written(bytes);
    case Choice::kLoadFromDisk:
    case Choice::kMerge:
      if (!KeepCopy(path, bytes)) return Failed();
      s.files[path].reloadDue = true;
      return {};
    case Choice::kCancel: break;
  }
  return Failed();
}

// ---- while the program runs --------------------------------------------------------------------

std::vector<std::string> Poll() {
  std::vector<std::string> changed;
  for (auto& [path, held] : S().files) {
    if (held.reloadDue) {
      held.reloadDue = false;
      changed.push_back(path);
      continue;
    }
    platform::FileStamp stamp;
    bool known = platform::StampOf(path, stamp);
    if (known && held.stampKnown && stamp == held.stamp) continue;
    held.stamp = stamp;
    held.stampKnown = known;
    std::string disk;
    if (!platform::ReadFileBytes(path, disk)) continue;  // gone: the next save writes it again
    FileIdentity now = IdentityOf(disk);
    if (now == held.identity) {
      held.noticed = now;
      held.changed = false;
      continue;
    }
    if (now == held.noticed) continue;
    held.noticed = now;
    held.changed = true;
    changed.push_back(path);
  }
  return changed;
}

}  // namespace vm::guard
