// Subcommands of the shared services: filling a report template, recoding and
// transliterating text as the notebook does.
#include "cli/cli.h"
#include "common/recode.h"
#include "common/report.h"
#include "platform/platform.h"

namespace vm::cli {

namespace {

int Report(const Args& args) {
  if (args.size() != 3) return Fail("usage: report DATA TEMPLATE RESULT");
  ReportOutcome r = BuildReport(PathArg(args[0]), PathArg(args[1]), PathArg(args[2]));
  if (r.code != 0) return Fail(ToUtf8(r.message));
  return 0;
}

bool PageArg(const std::string& name, unsigned& page) {
  if (name == "1251") page = platform::kCp1251;
  else if (name == "20866") page = platform::kKoi8R;
  else if (name == "28595") page = platform::kIso8859_5;
  else if (name == "oem") page = kOemPage;
  else if (name == "utf8") page = platform::kUtf8;
  else return false;
  return true;
}

int Recode(const Args& args) {
  unsigned from = 0, to = 0;
  if (args.size() != 2 || !PageArg(args[0], from) || !PageArg(args[1], to))
    return Fail("usage: recode FROM TO (each one of 1251, 20866, 28595, oem, utf8)");
  RecodeOutcome r = RecodeText(ReadStdin(), from, to);
  if (!r.ok) return Fail(r.message.empty() ? "cannot recode from " + args[0] + " to " + args[1] : ToUtf8(r.message));
  WriteOut(r.text);
  return 0;
}

int Translit(const Args& args) {
  if (args.size() != 1 || (args[0] != "lat2rus" && args[0] != "rus2lat"))
    return Fail("usage: translit lat2rus|rus2lat");
  // Through cp1251, as the note holds its text.
  std::string text = ToCp1251(ReadStdin());
  WriteOut(ToUtf8(args[0] == "lat2rus" ? LatinToRussian(text) : RussianToLatin(text)));
  return 0;
}

}  // namespace

VM_CLI_COMMAND("report", "DATA TEMPLATE RESULT", Report);
VM_CLI_COMMAND("recode", "FROM TO   (1251, 20866, 28595, oem, utf8; stdin to stdout)", Recode);
VM_CLI_COMMAND("translit", "lat2rus|rus2lat   (UTF-8 stdin to stdout)", Translit);

}  // namespace vm::cli
