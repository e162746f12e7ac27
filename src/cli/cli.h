// velmoria-cli: each subsystem adds its subcommands in a file of its own
// (src/cli/cmd_<subsystem>.cpp) with VM_CLI_COMMAND; main() finds them by name.
// Arguments and output are UTF-8; files are read and written as the program does.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "tasks/reminders.h"

namespace vm::cli {

using Args = std::vector<std::string>;  // UTF-8, without the program and command names
using Handler = int (*)(const Args& args);

struct Registrar {
  Registrar(const char* name, const char* usage, Handler handler);
};

// Prints a UTF-8 message on stderr and returns 1 (a user error).
int Fail(const std::string& utf8Message);
// Prints a cp1251 text as UTF-8 on stdout, with a newline.
void PrintLine(const std::string& cp1251Text);
// Writes raw bytes to stdout.
void WriteOut(const std::string& bytes);
// Reads all of standard input as bytes.
std::string ReadStdin();

std::string ToCp1251(const std::string& utf8);
std::string ToUtf8(const std::string& cp1251);
// A path argument in the core's form (cp1251; the POSIX platform accepts "/" too).
std::string PathArg(const std::string& utf8);
// Line breaks (CR LF, CR or LF) shown as the two characters "\n", one record a line.
std::string ShowLineBreaks(const std::string& text);
// Parses a whole decimal number; false when the text is not one.
bool ParseInt(const std::string& text, int& value);
// Parses "DD/MM/YYYY"; false when malformed or not a real date.
bool ParseDate(const std::string& text, int& day, int& month, int& year);
// Parses "DD/MM/YYYY" for a command that computes with the day. Empty when `date` is a
// real day of a year the calendar computes; the calendar's message (UTF-8) when the year
// is beyond it, whether or not the day is real; otherwise `malformed`.
std::string DateArgError(const std::string& text, dates::Date& date, const std::string& malformed);
// The present moment in UTC and the local clock's distance from it, in minutes.
tasks::Moment UtcNow(int& offsetMinutes);
dates::Date LocalToday();
// True when args holds the flag; removes it.
bool TakeFlag(Args& args, const std::string& flag);
// Takes "--name VALUE"; false when absent; sets missingValue when the value is missing.
bool TakeOption(Args& args, const std::string& name, std::string& value, bool& missingValue);

}  // namespace vm::cli

#define VM_CLI_CONCAT2(a, b) a##b
#define VM_CLI_CONCAT(a, b) VM_CLI_CONCAT2(a, b)
#define VM_CLI_COMMAND(name, usage, handler) \
  static const ::vm::cli::Registrar VM_CLI_CONCAT(vm_cli_registrar_, __LINE__)(name, usage, handler)
