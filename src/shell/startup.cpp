#include "shell/startup.h"

#include "platform/platform.h"

namespace vm {

void PrepareWorkingFolders(const std::string& p) {
  using namespace platform;
  if (!DirExists(p + "Support")) {
    MakeDir(p + "Support");
    WriteFileBytes(p + "Support\\cont.dbc", "");
    WriteFileBytes(p + "Support\\firm.dbo", "");
  }
  if (!DirExists(p + "Temp")) MakeDir(p + "Temp");
  if (!FileExists(p + "Support\\cont.dbc")) WriteFileBytes(p + "Support\\cont.dbc", "");
  if (FileExists(p + "Support\\firm.dbf")) MoveFileNoReplace(p + "Support\\firm.dbf", p + "Support\\firm.dbo");
  if (!FileExists(p + "Support\\firm.dbo")) WriteFileBytes(p + "Support\\firm.dbo", "");
}

}  // namespace vm
