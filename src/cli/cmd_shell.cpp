// Subcommands of the foundation: record lines, record files, the title text.
#include <cstdio>

#include "cli/cli.h"
#include "common/record_file.h"
#include "shell/app_util.h"

namespace vm::cli {

namespace {

int Field(const Args& args) {
  int n = 0;
  if (args.size() != 2 || !ParseInt(args[1], n)) return Fail("usage: field LINE N");
  std::string value;
  if (!GetField(ToCp1251(args[0]), n, value)) {
    PrintLine("missing");
    return 0;
  }
  PrintLine(value);
  return 0;
}

int Title(const Args& args) {
  int d, m, y;
  if (args.size() != 1 || !ParseDate(args[0], d, m, y)) return Fail("usage: title DD/MM/YYYY");
  PrintLine(TitleText(d, m, y));
  return 0;
}

int Records(const Args& argsIn) {
  Args args = argsIn;
  bool firms = TakeFlag(args, "--firms");
  std::string out;
  bool missing = false;
  bool save = TakeOption(args, "--save", out, missing);
  int n = 0;
  if (missing || args.size() != 2 || !ParseInt(args[1], n) || n < 0)
    return Fail("usage: records FILE N [--firms] [--save OUT]");
  RecordLayout layout = firms ? FirmsLayout() : ContactsLayout();
  layout.separators = n;
  layout.separatorMessage = SeparatorMessage(n);
  RecordBook book;
  book.path = PathArg(args[0]);
  LoadOutcome loaded = LoadRecords(book, layout);
  if (!loaded.opened) return Fail(ToUtf8(loaded.error));
  std::printf("loaded %zu\nrejected %d\nstate %d\n", book.records.size(), loaded.rejected, book.state);
  if (!book.loadMessage.empty()) {
    PrintLine("message");
    PrintLine(book.loadMessage);
  }
  if (save) {
    book.path = PathArg(out);
    SaveOutcome saved = SaveRecords(book);
    switch (saved.status) {
      case SaveStatus::kSaved: PrintLine("saved"); break;
      case SaveStatus::kUnchanged: PrintLine("unchanged"); break;
      default: return Fail(ToUtf8(saved.error));
    }
  }
  return 0;
}

}  // namespace

VM_CLI_COMMAND("field", "LINE N", Field);
VM_CLI_COMMAND("title", "DD/MM/YYYY", Title);
VM_CLI_COMMAND("records", "FILE N [--firms] [--save OUT]", Records);

}  // namespace vm::cli
