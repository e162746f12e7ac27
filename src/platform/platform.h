// The only core code that touches the operating system. Paths are Windows-1251
// strings with "\" separators, exactly as they are stored in the settings file; the
// POSIX implementation maps "\" to "/" and the bytes to UTF-8, the Windows one opens
// them as UTF-16.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::platform {

// ---- code pages -------------------------------------------------------------------
enum CodePage : unsigned {
  kCp1251 = 1251,
  kCp866 = 866,
  kKoi8R = 20866,
  kIso8859_5 = 28595,
  kUtf8 = 65001,
};

// The OEM code page of the running system (866 under a Russian locale; POSIX: 866).
unsigned OemCodePage();

// Decodes bytes of a code page to UTF-16. With strict set, invalid input (only
// possible for UTF-8) fails; otherwise invalid sequences become U+FFFD.
bool ToUtf16(unsigned codePage, std::string_view bytes, std::u16string& out, bool strict = false);

// Encodes UTF-16 to a code page. Characters the page lacks become `replacement`;
// *lossy (when given) tells whether that happened.
bool FromUtf16(unsigned codePage, std::u16string_view text, std::string& out,
               char replacement = '?', bool* lossy = nullptr);

// The two conversions the program needs everywhere: cp1251 <-> UTF-8.
std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

// ---- files ------------------------------------------------------------------------
// Reads a whole file as bytes. False when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Creates or truncates a file and writes the bytes; not atomic (use SafeReplace for
// user files). False on any failure.
bool WriteFileBytes(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);  // a regular file
bool DirExists(const std::string& path);
bool MakeDir(const std::string& path);     // one level
bool RemoveFile(const std::string& path);
bool RemoveDir(const std::string& path);  // an empty folder
// Renames a file; fails when `to` exists (the old name then stays).
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// What a folder listing tells of a file without reading it: its size and last write
// time. writeTime is the system's own count (100 ns since 1601 on Windows, ns since 1970
// on POSIX): compare it, do not compute with it; LocalTimeOfWrite turns it into a date.
struct FileStamp {
  uint64_t size = 0;
  int64_t writeTime = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// False when the file is not there or the layer cannot tell (then read the file).
bool StampOf(const std::string& path, FileStamp& stamp);

struct DirEntry {
  std::string name;  // cp1251, no path
  bool isDir = false;
};
// The entries of a folder, without "." and "..". Empty when it cannot be read.
std::vector<DirEntry> ListDir(const std::string& folder);

// ---- the safe replace -------------------------------------------------------------
// Writes a temporary file beside the target, flushes it to the disk, then renames it
// over the target (retrying a rename that meets a sharing violation). On any failure
// the target is left byte-identical and the temporary file is removed.
enum class SaveError { kNone, kOpen, kWrite, kFlush, kRename };

struct SaveResult {
  SaveError error = SaveError::kNone;
  explicit operator bool() const { return error == SaveError::kNone; }
};

SaveResult SafeReplace(const std::string& path, std::string_view bytes);

// A safe replace killed half-way (a crash, a power cut) leaves its temporary file beside
// the target. The next safe replace of that target takes it over, but a file that is only
// read never gets one: the loaders remove it. True when one was removed.
bool RemoveLeftoverTemporary(const std::string& path);

// Test hook: when set, SafeReplace asks it before each step and fails that step when
// it returns true. Never set by the program.
using FaultHook = std::function<bool(SaveError step)>;
void SetSafeReplaceFaultHook(FaultHook hook);

// ---- the file layer -----------------------------------------------------------------
// Every file call above goes through the current layer: the system's files, unless a
// test or a fuzz target has put another in their place (the in-memory one of
// platform/memory_files.h), so that loaders and savers run without touching the disk.
class FileLayer {
 public:
  virtual ~FileLayer() = default;
  virtual bool ReadFileBytes(const std::string& path, std::string& bytes) = 0;
  virtual bool WriteFileBytes(const std::string& path, std::string_view bytes) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirExists(const std::string& path) = 0;
  virtual bool MakeDir(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool RemoveDir(const std::string& path) = 0;
  virtual bool MoveFileNoReplace(const std::string& from, const std::string& to) = 0;
  virtual std::vector<DirEntry> ListDir(const std::string& folder) = 0;
  // A layer that keeps no write times answers false, and the callers read the file.
  virtual bool StampOf(const std::string& path, FileStamp& stamp) { return false; }
  // Goes through the same steps (and the fault hook) as the system's safe replace.
  virtual SaveResult SafeReplace(const std::string& path, std::string_view bytes) = 0;
};

// The system's files.
FileLayer& SystemFiles();
// Test hook: routes the file calls to `layer` (nullptr: back to the system's files). The
// layer must outlive its use. Never set by the program. While another layer is in
// place, FileUpdateLock locks nothing.
void SetFileLayer(FileLayer* layer);

// Serialises read-modify-write of a shared file (the settings file) between this
// program's processes: two copies run at once for a moment when a second start closes
// the first, and a write of one must not be lost to the other's. Best effort: gives up
// waiting after a few seconds rather than hang.
class FileUpdateLock {
 public:
  explicit FileUpdateLock(const std::string& path);
  ~FileUpdateLock();
  FileUpdateLock(const FileUpdateLock&) = delete;
  FileUpdateLock& operator=(const FileUpdateLock&) = delete;

 private:
  void* handle_ = nullptr;
  bool held_ = false;
};

// ---- program folder and clock -------------------------------------------------------
// The folder of the running program's file, with its trailing "\".
std::string ProgramFolder();
// The program file's base name without extension ("Velmoria" for Velmoria.exe).
std::string ProgramBaseName();
// Makes ProgramFolder/ProgramBaseName answer the given values (tests, the CLI).
void OverrideProgramFolder(const std::string& folderWithSlash, const std::string& baseName);

struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1-12
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
LocalTime Now();
// The local time of a FileStamp's writeTime.
LocalTime LocalTimeOfWrite(int64_t writeTime);

// ---- this machine and its processes (the lock beside an open book) ---------------------
std::string MachineName();  // cp1251; "" when unknown
std::string UserName();     // cp1251; "" when unknown
uint32_t ProcessId();
// False only when no process of that id runs on this machine now.
bool ProcessRunning(uint32_t pid);

// ---- messages -----------------------------------------------------------------------
enum class MessageIcon { kNone, kInformation, kExclamation, kStop };
// A message box titled "Velmoria" on Windows, a line on stderr elsewhere. Tests may
// capture messages with SetMessageSink.
void ShowMessage(const std::string& cp1251Text, MessageIcon icon = MessageIcon::kNone);
using MessageSink = std::function<void(const std::string& text, MessageIcon icon)>;
void SetMessageSink(MessageSink sink);

}  // namespace vm::platform
