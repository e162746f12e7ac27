// LibreOffice, headless, as a peer for the tests that check files against a real
// spreadsheet program. The Windows build never runs it: the native build does.
#pragma once

#include <string>

#include "support/scratch.h"

namespace vm::testing {

// Where soffice is; "" when it is not installed (and always on Windows).
std::string SofficePath();
// Why a test that needs it was skipped.
extern const char* const kNoSoffice;
// A core path (cp1251, "\" separators) as a POSIX path, without a trailing "/".
std::string NativePath(const std::string& corePath);
// Runs soffice in `dir` with a private profile there and the given arguments (already
// quoted for the shell); returns its exit status and output, for failure messages.
std::string RunSoffice(const std::string& soffice, const ScratchFolder& dir, const std::string& arguments);

}  // namespace vm::testing
