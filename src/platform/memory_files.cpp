#include "platform/memory_files.h"

#include <memory>

#include "platform/platform_internal.h"

namespace vm::platform {

namespace {

std::string ParentKey(const std::string& key) {
  size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

struct OpenFile {
  std::string key;
};

}  // namespace

std::string MemoryFiles::Key(std::string_view path) {
  std::string key(path);
  for (char& c : key)
    if (c == '/') c = '\\';
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

bool MemoryFiles::IsDir(const std::string& key) const {
  return key.find('\\') == std::string::npos || dirs_.count(key) != 0;
}

bool MemoryFiles::FolderOf(const std::string& key) const {
  return key.find('\\') != std::string::npos && IsDir(ParentKey(key));
}

bool MemoryFiles::ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  auto it = files_.find(Key(path));
  if (it == files_.end()) return false;
  bytes = it->second;
  return true;
}

bool MemoryFiles::WriteFileBytes(const std::string& path, std::string_view bytes) {
  std::string key = Key(path);
  if (IsDir(key) || !FolderOf(key)) return false;
  files_[key].assign(bytes);
  return true;
}

bool MemoryFiles::FileExists(const std::string& path) { return files_.count(Key(path)) != 0; }

bool MemoryFiles::DirExists(const std::string& path) { return IsDir(Key(path)); }

bool MemoryFiles::MakeDir(const std::string& path) {
  std::string key = Key(path);
  if (IsDir(key) || files_.count(key) || !FolderOf(key)) return false;
  dirs_.insert(key);
  return true;
}

void MemoryFiles::MakeDirs(const std::string& path) {
  std::string key = Key(path);
  if (IsDir(key)) return;
  MakeDirs(ParentKey(key));
  MakeDir(key);
}

bool MemoryFiles::RemoveFile(const std::string& path) { return files_.erase(Key(path)) != 0; }

bool MemoryFiles::RemoveDir(const std::string& path) {
  std::string key = Key(path);
  if (!dirs_.count(key)) return false;
  std::string inside = key + "\\";
  auto file = files_.lower_bound(inside);
  auto dir = dirs_.lower_bound(inside);
  if ((file != files_.end() && file->first.compare(0, inside.size(), inside) == 0) ||
      (dir != dirs_.end() && dir->compare(0, inside.size(), inside) == 0))
    return false;
  dirs_.erase(key);
  return true;
}

bool MemoryFiles::MoveFileNoReplace(const std::string& from, const std::string& to) {
  std::string src = Key(from), dst = Key(to);
  auto it = files_.find(src);
  if (it == files_.end() || files_.count(dst) || IsDir(dst) || !FolderOf(dst)) return false;
  std::string bytes = std::move(it->second);
  files_.erase(it);
  files_[dst] = std::move(bytes);
  return true;
}

std::vector<DirEntry> MemoryFiles::ListDir(const std::string& folder) {
  std::vector<DirEntry> out;
  std::string key = Key(folder);
  if (!IsDir(key)) return out;
  std::string inside = key + "\\";
  auto direct = [&](const std::string& k) {
    return k.size() > inside.size() && k.compare(0, inside.size(), inside) == 0 &&
           k.find('\\', inside.size()) == std::string::npos;
  };
  for (auto it = dirs_.lower_bound(inside); it != dirs_.end() && it->compare(0, inside.size(), inside) == 0; ++it)
    if (direct(*it)) out.push_back({it->substr(inside.size()), true});
  for (auto it = files_.lower_bound(inside);
       it != files_.end() && it->first.compare(0, inside.size(), inside) == 0; ++it)
    if (direct(it->first)) out.push_back({it->first.substr(inside.size()), false});
  return out;
}

SaveResult MemoryFiles::SafeReplace(const std::string& path, std::string_view bytes) {
  SafeReplaceOps ops;
  ops.open = [this](const std::string& p) -> void* {
    std::string key = Key(p);
    if (IsDir(key) || !FolderOf(key)) return nullptr;
    files_[key].clear();
    return new OpenFile{key};
  };
  ops.write = [this](void* h, std::string_view b) {
    files_[static_cast<OpenFile*>(h)->key].append(b);
    return true;
  };
  ops.flush = [](void*) { return true; };
  ops.close = [](void* h) {
    delete static_cast<OpenFile*>(h);
    return true;
  };
  ops.rename = [this](const std::string& from, const std::string& to) {
    std::string src = Key(from), dst = Key(to);
    auto it = files_.find(src);
    if (it == files_.end() || IsDir(dst) || !FolderOf(dst)) return false;
    std::string moved = std::move(it->second);
    files_.erase(it);
    files_[dst] = std::move(moved);
    return true;
  };
  ops.remove = [this](const std::string& p) { files_.erase(Key(p)); };
  return SafeReplaceWith(path, bytes, ops);
}

void MemoryFiles::Clear() {
  files_.clear();
  dirs_.clear();
}

ScopedFileLayer::ScopedFileLayer(FileLayer& layer) : previous_(InstalledFileLayer()) {
  SetFileLayer(&layer);
}

ScopedFileLayer::~ScopedFileLayer() { SetFileLayer(previous_); }

}  // namespace vm::platform
