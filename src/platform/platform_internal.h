// Shared between the platform implementations; not for the rest of the core.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vm::platform {

// The full path of the program file, cp1251 with "\" separators.
std::string NativeModulePath();
void NativeShowMessage(const std::string& cp1251Text, MessageIcon icon);
bool InjectedFault(SaveError step);
std::string TempNameFor(const std::string& path);

// The system's file calls, behind the public ones of platform.h.
bool SystemReadFileBytes(const std::string& path, std::string& bytes);
bool SystemWriteFileBytes(const std::string& path, std::string_view bytes);
bool SystemFileExists(const std::string& path);
bool SystemDirExists(const std::string& path);
bool SystemMakeDir(const std::string& path);
bool SystemRemoveFile(const std::string& path);
bool SystemRemoveDir(const std::string& path);
bool SystemMoveFileNoReplace(const std::string& from, const std::string& to);
std::vector<DirEntry> SystemListDir(const std::string& folder);
bool SystemStampOf(const std::string& path, FileStamp& stamp);
SaveResult SystemSafeReplace(const std::string& path, std::string_view bytes);
// The layer a test has put in place of the system's files, or nullptr.
FileLayer* InstalledFileLayer();
inline bool OtherFileLayer() { return InstalledFileLayer() != nullptr; }

// The steps of the safe replace, so that one sequence serves both systems.
struct SafeReplaceOps {
  std::function<void*(const std::string&)> open;  // create/truncate for writing
  std::function<bool(void*, std::string_view)> write;
  std::function<bool(void*)> flush;  // to the disk
  std::function<bool(void*)> close;
  std::function<bool(const std::string&, const std::string&)> rename;  // replacing
  std::function<void(const std::string&)> remove;
};
SaveResult SafeReplaceWith(const std::string& path, std::string_view bytes, const SafeReplaceOps& ops);

}  // namespace vm::platform
