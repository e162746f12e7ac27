// Subcommands of the foundation: record lines, record files, the title text.
#include <cstdio>

#include "cli/cli.h"
#include "common/record_file.h"
#include "common/calendar.h"

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
  // --set ROW,FIELD,VALUE: the value typed into a field, as the pages write it
  std::string set;
  bool setMissing = false;
  bool setting = TakeOption(args, "--set", set, setMissing);
  // --field K: field K of every record as loaded (line breaks shown as "\n")
  std::string shown;
  bool shownMissing = false;
  bool showing = TakeOption(args, "--field", shown, shownMissing);
  int n = 0, row = 0, field = 0, show = 0;
  size_t c1 = set.find(','), c2 = c1 == std::string::npos ? c1 : set.find(',', c1 + 1);
  if (missing || setMissing || shownMissing || (showing && !ParseInt(shown, show)) || args.size() != 2 || !ParseInt(args[1], n) || n < 0 ||
      (setting && (c2 == std::string::npos || !ParseInt(set.substr(0, c1), row) ||
                   !ParseInt(set.substr(c1 + 1, c2 - c1 - 1), field))))
    return Fail("usage: records FILE N [--firms] [--set ROW,FIELD,VALUE] [--field K] [--save OUT]");
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
  if (setting) {
    if (row < 0 || static_cast<size_t>(row) >= book.records.size() || field < 0 || field > n)
      return Fail("no such row or field");
    book.records[static_cast<size_t>(row)] =
        SetFieldText(book.records[static_cast<size_t>(row)], field, ToCp1251(set.substr(c2 + 1)));
    book.state = kStateChanged;
  }
  if (showing)
    for (const std::string& record : book.records) PrintLine(ShowLineBreaks(GetField(record, show)));
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
VM_CLI_COMMAND("records", "FILE N [--firms] [--set ROW,FIELD,VALUE] [--field K] [--save OUT]", Records);

}  // namespace vm::cli
