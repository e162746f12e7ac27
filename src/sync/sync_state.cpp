#include "sync/sync_state.h"

#include "common/record_file.h"
#include "platform/platform.h"

namespace vm::sync {

namespace {

constexpr std::string_view kMagic = "VELMORIA-SYNC 1";

std::vector<std::string_view> SplitTabs(std::string_view line, size_t most) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < most) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    parts.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  parts.push_back(line);
  return parts;
}

// Hrefs, ETags, UIDs and tokens come from the server: one with a tab or a line break
// could not be written on a line, and is never kept.
bool Clean(std::string_view text) {
  for (char c : text)
    if (c == '\t' || c == '\r' || c == '\n') return false;
  return true;
}

}  // namespace

std::string SyncStatePath(const std::string& bookPath) {
  return bookPath + ".sync";
}

std::string SyncStateText(const SyncState& state) {
  std::string out = std::string(kMagic) + "\r\n";
  out += "collection\t" + state.collection + "\r\n";
  out += "token\t" + (Clean(state.token) ? state.token : std::string()) + "\r\n";
  for (const SyncEntry& e : state.entries) {
    if (!Clean(e.href) || !Clean(e.etag) || !Clean(e.uid)) continue;
    if (e.ignored)
      out += "i\t" + e.href + "\t" + e.etag + "\r\n";
    else
      out += "r\t" + e.href + "\t" + e.etag + "\t" + e.uid + "\t" + ApplyLineEscapes(e.base) + "\r\n";
  }
  return out;
}

bool ParseSyncState(std::string_view text, SyncState& state) {
  state = {};
  std::vector<std::string> lines = SplitTextLines(text);
  if (lines.empty() || lines[0] != kMagic) return false;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.empty()) continue;
    std::vector<std::string_view> p = SplitTabs(line, 5);
    if (p[0] == "collection" && p.size() == 2) {
      state.collection = p[1];
    } else if (p[0] == "token" && p.size() == 2) {
      state.token = p[1];
    } else if (p[0] == "r" && p.size() == 5 && !p[1].empty()) {
      state.entries.push_back({std::string(p[1]), std::string(p[2]), std::string(p[3]), UndoLineEscapes(p[4]), false});
    } else if (p[0] == "i" && p.size() == 3 && !p[1].empty()) {
      state.entries.push_back({std::string(p[1]), std::string(p[2]), {}, {}, true});
    } else {
      state = {};
      return false;
    }
  }
  return true;
}

bool LoadSyncState(const std::string& bookPath, SyncState& state) {
  state = {};
  const std::string path = SyncStatePath(bookPath);
  if (!platform::FileExists(path)) return true;
  std::string bytes;
  return platform::ReadFileBytes(path, bytes) && ParseSyncState(bytes, state);
}

bool SaveSyncState(const std::string& bookPath, const SyncState& state) {
  return static_cast<bool>(platform::SafeReplace(SyncStatePath(bookPath), SyncStateText(state)));
}

}  // namespace vm::sync
