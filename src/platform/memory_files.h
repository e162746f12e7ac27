// A file layer held in memory, for tests and fuzz targets: the loaders and savers run
// over it exactly as over the disk (the same safe replace steps, side files, folder
// listings) at the speed of a map lookup. Paths are the core's: "\" and "/" separate
// alike, names compare byte for byte; a folder with no separator in its name ("C:")
// always exists, any other must be made first.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vm::platform {

class MemoryFiles final : public FileLayer {
 public:
  bool ReadFileBytes(const std::string& path, std::string& bytes) override;
  bool WriteFileBytes(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override;
  bool DirExists(const std::string& path) override;
  bool MakeDir(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveDir(const std::string& path) override;
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override;
  std::vector<DirEntry> ListDir(const std::string& folder) override;
  SaveResult SafeReplace(const std::string& path, std::string_view bytes) override;

  // Makes a folder and every missing one above it.
  void MakeDirs(const std::string& path);
  // Forgets every file and folder.
  void Clear();
  size_t FileCount() const { return files_.size(); }

 private:
  static std::string Key(std::string_view path);
  bool FolderOf(const std::string& key) const;  // the folder holding key exists
  bool IsDir(const std::string& key) const;

  std::map<std::string, std::string> files_;
  std::set<std::string> dirs_;
};

// Puts a layer in place for as long as it lives, then the one before it again.
class ScopedFileLayer {
 public:
  explicit ScopedFileLayer(FileLayer& layer);
  ~ScopedFileLayer();
  ScopedFileLayer(const ScopedFileLayer&) = delete;
  ScopedFileLayer& operator=(const ScopedFileLayer&) = delete;

 private:
  FileLayer* previous_;
};

}  // namespace vm::platform
