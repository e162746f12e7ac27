// Pieces of the platform layer that are the same on every system.
#include <cstdio>
#include <mutex>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace vm::platform {

namespace {
MessageSink& Sink() {
  static MessageSink sink;
  return sink;
}
FaultHook& Hook() {
  static FaultHook hook;
  return hook;
}
struct FolderOverride {
  bool set = false;
  std::string folder, base;
};
FolderOverride& Override() {
  static FolderOverride o;
  return o;
}
}  // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::u16string wide;
  ToUtf16(kCp1251, cp1251, wide);
  std::string out;
  FromUtf16(kUtf8, wide, out);
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::u16string wide;
  ToUtf16(kUtf8, utf8, wide);
  std::string out;
  FromUtf16(kCp1251, wide, out);
  return out;
}

void SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }

void ShowMessage(const std::string& cp1251Text, MessageIcon icon) {
  if (Sink()) {
    Sink()(cp1251Text, icon);
    return;
  }
  NativeShowMessage(cp1251Text, icon);
}

void SetSafeReplaceFaultHook(FaultHook hook) { Hook() = std::move(hook); }

bool InjectedFault(SaveError step) { return Hook() && Hook()(step); }

void OverrideProgramFolder(const std::string& folderWithSlash, const std::string& baseName) {
  Override() = {true, folderWithSlash, baseName};
}

std::string ProgramFolder() {
  if (Override().set) return Override().folder;
  std::string path = NativeModulePath();
  auto cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ProgramBaseName() {
  if (Override().set) return Override().base;
  std::string path = NativeModulePath();
  auto cut = path.find_last_of('\\');
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  auto dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

namespace {

class SystemFileLayer final : public FileLayer {
 public:
  bool ReadFileBytes(const std::string& path, std::string& bytes) override {
    return SystemReadFileBytes(path, bytes);
  }
  bool WriteFileBytes(const std::string& path, std::string_view bytes) override {
    return SystemWriteFileBytes(path, bytes);
  }
  bool FileExists(const std::string& path) override { return SystemFileExists(path); }
  bool DirExists(const std::string& path) override { return SystemDirExists(path); }
  bool MakeDir(const std::string& path) override { return SystemMakeDir(path); }
  bool RemoveFile(const std::string& path) override { return SystemRemoveFile(path); }
  bool RemoveDir(const std::string& path) override { return SystemRemoveDir(path); }
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override {
    return SystemMoveFileNoReplace(from, to);
  }
  std::vector<DirEntry> ListDir(const std::string& folder) override { return SystemListDir(folder); }
  bool StampOf(const std::string& path, FileStamp& stamp) override { return SystemStampOf(path, stamp); }
  SaveResult SafeReplace(const std::string& path, std::string_view bytes) override {
    return SystemSafeReplace(path, bytes);
  }
};

FileLayer*& CurrentLayer() {
  static FileLayer* layer = nullptr;
  return layer;
}

}  // namespace

FileLayer& SystemFiles() {
  static FileLayer* layer = new SystemFileLayer;  // never destroyed: files may be written at exit
  return *layer;
}

void SetFileLayer(FileLayer* layer) { CurrentLayer() = layer == &SystemFiles() ? nullptr : layer; }
FileLayer* InstalledFileLayer() { return CurrentLayer(); }

// The program's calls go straight to the system's files; only a test's layer is asked.
#define VM_FILE_CALL(call) \
  (CurrentLayer() ? CurrentLayer()->call : System##call)

bool ReadFileBytes(const std::string& path, std::string& bytes) { return VM_FILE_CALL(ReadFileBytes(path, bytes)); }
bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  return VM_FILE_CALL(WriteFileBytes(path, bytes));
}
bool FileExists(const std::string& path) { return VM_FILE_CALL(FileExists(path)); }
bool DirExists(const std::string& path) { return VM_FILE_CALL(DirExists(path)); }
bool MakeDir(const std::string& path) { return VM_FILE_CALL(MakeDir(path)); }
bool RemoveFile(const std::string& path) { return VM_FILE_CALL(RemoveFile(path)); }
bool RemoveDir(const std::string& path) { return VM_FILE_CALL(RemoveDir(path)); }
bool MoveFileNoReplace(const std::string& from, const std::string& to) {
  return VM_FILE_CALL(MoveFileNoReplace(from, to));
}
std::vector<DirEntry> ListDir(const std::string& folder) { return VM_FILE_CALL(ListDir(folder)); }
bool StampOf(const std::string& path, FileStamp& stamp) { return VM_FILE_CALL(StampOf(path, stamp)); }
SaveResult SafeReplace(const std::string& path, std::string_view bytes) { return VM_FILE_CALL(SafeReplace(path, bytes)); }

#undef VM_FILE_CALL

std::string TempNameFor(const std::string& path) { return path + ".vmtmp"; }

bool RemoveLeftoverTemporary(const std::string& path) {
  const std::string tmp = TempNameFor(path);
  return FileExists(tmp) && RemoveFile(tmp);
}

SaveResult SafeReplaceWith(const std::string& path, std::string_view bytes, const SafeReplaceOps& ops) {
  const std::string tmp = TempNameFor(path);
  auto fail = [&](SaveError e) {
    ops.remove(tmp);
    return SaveResult{e};
  };
  if (InjectedFault(SaveError::kOpen)) return SaveResult{SaveError::kOpen};
  void* f = ops.open(tmp);
  if (!f) return SaveResult{SaveError::kOpen};
  bool wrote = !InjectedFault(SaveError::kWrite) && ops.write(f, bytes);
  if (!wrote) {
    ops.close(f);
    return fail(SaveError::kWrite);
  }
  bool flushed = !InjectedFault(SaveError::kFlush) && ops.flush(f);
  bool closed = ops.close(f);
  if (!flushed || !closed) return fail(SaveError::kFlush);
  if (InjectedFault(SaveError::kRename) || !ops.rename(tmp, path)) return fail(SaveError::kRename);
  return {};
}

}  // namespace vm::platform
