#ifndef _WIN32
#include "support/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>

#include "platform/platform.h"

namespace vm::testing {

CliResult RunCli(const std::string& args, bool withErrors) {
  std::string cmd = std::string(VELMORIA_CLI_PATH) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
  CliResult r{-1, {}};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string PosixPath(const std::string& corePath) {
  std::string p = platform::Cp1251ToUtf8(corePath);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string U(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

}  // namespace vm::testing
#endif
