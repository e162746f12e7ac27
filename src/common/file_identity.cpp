#include "common/file_identity.h"

#include "common/backup.h"

namespace vm {

FileIdentity IdentityOf(std::string_view bytes) {
  // FNV-1a, 64 bits: fast, no table, and plenty to tell two versions of a file apart.
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return FileIdentity{true, true, bytes.size(), h};
}

FileIdentity MissingFileIdentity() { return FileIdentity{true, false, 0, 0}; }

FileIdentity IdentityOnDisk(const std::string& path) {
  std::string bytes;
  if (!platform::ReadFileBytes(path, bytes)) return MissingFileIdentity();
  return IdentityOf(bytes);
}

DiskCheck CheckBeforeSave(const FileIdentity& last, const std::string& path) {
  if (!last.known) return DiskCheck::kNotKnown;
  FileIdentity now = IdentityOnDisk(path);
  if (now == last) return DiskCheck::kAsLastSeen;
  if (!now.existed) return DiskCheck::kGone;
  return DiskCheck::kChangedElsewhere;
}

std::string ChangedElsewhereMessage(const std::string& path) {
  return "Файл " + path +
         " изменён другой программой после того, как Velmoria его прочитала. Изменения не записаны, чтобы "
         "не потерять чужие.";
}

GuardedSave SaveIfUnchangedOnDisk(FileIdentity& last, const std::string& path, std::string_view bytes) {
  if (CheckBeforeSave(last, path) == DiskCheck::kChangedElsewhere)
    return {GuardedSaveStatus::kChangedElsewhere, ChangedElsewhereMessage(path)};
  if (!backup::SaveBook(path, bytes)) return {GuardedSaveStatus::kFailed, "Не удалось сохранить файл " + path + "."};
  last = IdentityOf(bytes);
  return {};
}

}  // namespace vm
