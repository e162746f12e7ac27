#include "support/soffice.h"

#include <cstdlib>

#include "platform/platform.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vm::testing {

#ifdef _WIN32
const char* const kNoSoffice = "LibreOffice is run by the native build's tests only";
#else
const char* const kNoSoffice = "soffice (LibreOffice Calc) is not installed";
#endif

std::string SofficePath() {
#ifdef _WIN32
  return {};
#else
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "";
  for (size_t at = 0; at <= dirs.size();) {
    size_t end = dirs.find(':', at);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(at, end - at) + "/soffice";
    if (end > at && access(candidate.c_str(), X_OK) == 0) return candidate;
    at = end + 1;
  }
  return {};
#endif
}

std::string NativePath(const std::string& corePath) {
  std::string p = platform::Cp1251ToUtf8(corePath);
  for (char& c : p)
    if (c == '\\') c = '/';
  if (!p.empty() && p.back() == '/') p.pop_back();
  return p;
}

std::string RunSoffice(const std::string& soffice, const ScratchFolder& dir, const std::string& arguments) {
  std::string command = "cd '" + NativePath(dir.path()) + "' && '" + soffice + "' --headless --norestore " +
                        "'-env:UserInstallation=file://" + NativePath(dir.path()) + "/profile' " + arguments +
                        " > soffice.log 2>&1";
  int rc = std::system(command.c_str());
  return "soffice exit " + std::to_string(rc) + ":\n" + Slurp(dir / "soffice.log");
}

}  // namespace vm::testing
