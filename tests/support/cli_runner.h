// Runs velmoria-cli as a black box (POSIX builds: the CLI tests read its output through
// a pipe).
#pragma once

#ifndef _WIN32
#include <string>

namespace vm::testing {

struct CliResult {
  int code;
  std::string out;  // standard output; standard error is dropped unless asked for
};

// Runs the CLI with the arguments as a shell would split them; with `withErrors` the
// output holds standard error too.
CliResult RunCli(const std::string& args, bool withErrors = false);
// A core path (cp1251, "\" separators) as the CLI's UTF-8 argument.
std::string PosixPath(const std::string& corePath);
// Expected output is UTF-8; test literals are cp1251.
std::string U(const std::string& cp1251);

}  // namespace vm::testing
#endif
