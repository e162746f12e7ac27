#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "cli/cli.h"
#include "common/calendar.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace vm::cli {

namespace {
struct Entry {
  std::string usage;
  Handler handler;
};
std::map<std::string, Entry>& Commands() {
  static std::map<std::string, Entry> commands;
  return commands;
}
}  // namespace

Registrar::Registrar(const char* name, const char* usage, Handler handler) {
  Commands()[name] = {usage, handler};
}

int Fail(const std::string& utf8Message) {
  std::fprintf(stderr, "velmoria-cli: %s\n", utf8Message.c_str());
  return 1;
}

void WriteOut(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void PrintLine(const std::string& cp1251Text) { WriteOut(ToUtf8(cp1251Text) + "\n"); }

std::string ReadStdin() {
  std::string bytes;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) bytes.append(buf, n);
  return bytes;
}

std::string ToCp1251(const std::string& utf8) { return platform::Utf8ToCp1251(utf8); }
std::string ToUtf8(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

std::string PathArg(const std::string& utf8) { return ToCp1251(utf8); }

std::string ShowLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (text[i] == '\n') {
      out += "\\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

bool ParseInt(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  value = std::atoi(text.c_str());
  return true;
}

bool ParseDate(const std::string& text, int& day, int& month, int& year) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/') return false;
  if (!ParseInt(text.substr(0, 2), day) || !ParseInt(text.substr(3, 2), month) ||
      !ParseInt(text.substr(6, 4), year))
    return false;
  return month >= 1 && month <= 12 && day >= 1 && day <= dates::DaysInMonth(month, year) && year >= 1;
}

std::string DateArgError(const std::string& text, dates::Date& date, const std::string& malformed) {
  int year = 0;
  if (text.size() == 10 && text[2] == '/' && text[5] == '/' && ParseInt(text.substr(6, 4), year) &&
      !dates::InCalendarRange(year))
    return ToUtf8(dates::YearRangeMessage(year));
  return ParseDate(text, date.day, date.month, date.year) ? std::string() : malformed;
}

bool TakeFlag(Args& args, const std::string& flag) {
  for (auto it = args.begin(); it != args.end(); ++it) {
    if (*it == flag) {
      args.erase(it);
      return true;
    }
  }
  return false;
}

bool TakeOption(Args& args, const std::string& name, std::string& value, bool& missingValue) {
  missingValue = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) {
      missingValue = true;
      args.erase(args.begin() + static_cast<long>(i));
      return false;
    }
    value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

int Run(std::vector<std::string> argv) {
  if (argv.size() < 2 || argv[1] == "help" || argv[1] == "--help") {
    std::FILE* out = argv.size() < 2 ? stderr : stdout;
    std::fprintf(out, "usage: velmoria-cli COMMAND ARGS...\ncommands:\n");
    for (const auto& [name, entry] : Commands()) std::fprintf(out, "  %s %s\n", name.c_str(), entry.usage.c_str());
    return argv.size() < 2 ? 1 : 0;
  }
  auto it = Commands().find(argv[1]);
  if (it == Commands().end()) return Fail("unknown command '" + argv[1] + "' (try 'velmoria-cli help')");
  Args args(argv.begin() + 2, argv.end());
  try {
    return it->second.handler(args);
  } catch (const std::exception& e) {
    return Fail(std::string("internal error: ") + e.what());
  }
}

}  // namespace vm::cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    std::u16string w(reinterpret_cast<const char16_t*>(argv[i]));
    std::string utf8;
    vm::platform::FromUtf16(vm::platform::kUtf8, w, utf8);
    args.push_back(utf8);
  }
  return vm::cli::Run(args);
}
#else
int main(int argc, char** argv) { return vm::cli::Run(std::vector<std::string>(argv, argv + argc)); }
#endif
