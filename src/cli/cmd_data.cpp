// Subcommands of the data book: listing a table file, saving it as the program does,
// and moving tables to and from CSV.
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "common/protected_file.h"
#include "common/record_file.h"
#include "data/csv.h"
#include "data/data_book.h"
#include "data/data_file.h"

namespace vm::cli {

namespace {

using namespace vm::data;

bool TakeTablePassword(Args& args, bool& given, std::string& cp1251) {
  std::string value;
  bool missing = false;
  given = TakeOption(args, "--password", value, missing);
  cp1251 = ToCp1251(value);
  return !missing;
}

// "--protection strong|legacy": how a password is written (strong when not given).
bool TakeProtection(Args& args, bool& given, Protection& scheme) {
  std::string value;
  bool missing = false;
  scheme = Protection::kStrong;
  given = TakeOption(args, "--protection", value, missing);
  return !missing && (!given || ParseProtectionName(value, scheme));
}

// Unlocks a locked table; a message for the user when that fails, else empty.
std::string Unlock(DataTable& table, const std::string& password, Protection scheme) {
  PasswordOutcome outcome = ApplyTablePassword(table, password, false, scheme);
  if (outcome == PasswordOutcome::kFailed) return "the platform's crypto failed";
  if (table.locked) return ToUtf8(kWrongPasswordMessage);
  return {};
}

std::string Joined(const char* label, const CTableDef& def, int which) {
  std::string out = label;
  for (size_t c = 0; c < def.names.size(); ++c) {
    out += '\t';
    if (which == 0) {
      out += def.names[c];
    } else {
      char num[16];
      std::snprintf(num, sizeof num, "%i", which == 1 ? static_cast<int>(def.widths[c]) : def.shown[c]);
      out += num;
    }
  }
  return out;
}

int Data(const Args& argsIn) {
  Args args = argsIn;
  bool given = false, expect = false;
  std::string password;
  Protection expected;
  if (!TakeTablePassword(args, given, password) || !TakeProtection(args, expect, expected) || args.size() != 1)
    return Fail("usage: data FILE [--password P] [--protection strong|legacy]");
  DataTable table;
  table.path = PathArg(args[0]);
  TableLoad load = LoadTable(table);
  if (!load.opened) return Fail(ToUtf8(load.error));
  // With --protection the file must be protected in that scheme (a check for scripts).
  if (expect && table.scheme != expected)
    return Fail(std::string("the file's protection is ") + ProtectionName(table.scheme));
  // A strongly protected table holds even its columns only once it is open.
  if (table.locked && given) {
    if (std::string failed = Unlock(table, password, table.scheme); !failed.empty()) return Fail(failed);
  }
  const CTableDef& def = table.def;
  PrintLine(Joined("columns", def, 0));
  PrintLine(Joined("widths", def, 1));
  PrintLine(Joined("shown", def, 2));
  std::printf("special\t%d\t%d\t%d\n", def.phoneColumn, def.emailColumn, def.webColumn);
  std::printf("protected\t%s\n", def.protection == kTableProtected ? "yes" : "no");
  if (table.locked) return 0;
  for (const CTableRecord& r : table.records) {
    std::string line;
    int fields = CountFieldSeparators(r.line) + 1;
    for (int k = 0; k < fields; ++k) {
      if (k) line += '\t';
      line += r.Field(k);
    }
    PrintLine(line);
  }
  if (!table.loadMessage.empty()) PrintLine("message\t" + table.loadMessage);
  return 0;
}

// Loads a table for a command that needs its records: an old format, a damaged file or a
// protected one without the right password ends the command (its exit code), else 0.
int OpenUnlocked(DataTable& table, const std::string& path, bool given, const std::string& password,
                 TableLoad& load, Protection scheme = Protection::kStrong) {
  table.path = path;
  load = LoadTable(table);
  if (!load.opened) return Fail(ToUtf8(load.error));
  if (load.oldFormat) return Fail(ToUtf8(table.loadMessage));
  if (table.locked) {
    if (!given) return Fail("the file is protected by a password: give --password");
    if (std::string failed = Unlock(table, password, scheme); !failed.empty()) return Fail(failed);
  }
  return 0;
}

int DataSave(const Args& argsIn) {
  Args args = argsIn;
  bool given = false, chosen = false;
  std::string password;
  Protection scheme;
  if (!TakeTablePassword(args, given, password) || !TakeProtection(args, chosen, scheme) || args.size() != 2)
    return Fail("usage: data-save IN OUT [--password P] [--protection strong|legacy]");
  DataTable table;
  TableLoad load;
  if (int failed = OpenUnlocked(table, PathArg(args[0]), given, password, load, scheme)) return failed;
  table.path = PathArg(args[1]);
  // OUT has the password given, in the scheme asked for (strong unless said otherwise).
  if (given) {
    table.password = password;
    table.scheme = password.empty() ? Protection::kNone : scheme;
  }
  // The command exists to produce OUT, so the table is written even when unchanged.
  table.def.modified = kTableChanged;
  TableSave saved = SaveTable(table);
  if (saved.status != TableSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  std::printf("saved\n");
  if (load.rejected > 0) std::printf("rejected %d\n", load.rejected);
  return 0;
}

int DataCsv(const Args& argsIn) {
  Args args = argsIn;
  bool given = false;
  std::string password;
  if (!TakeTablePassword(args, given, password) || args.size() != 2)
    return Fail("usage: data-csv TABLE OUT.csv [--password P]");
  DataTable table;
  TableLoad load;
  if (int failed = OpenUnlocked(table, PathArg(args[0]), given, password, load)) return failed;
  CsvExport exported = ExportCsv(table, PathArg(args[1]));
  if (!exported.ok) return Fail(ToUtf8(exported.error));
  std::printf("exported %d\n", static_cast<int>(table.records.size()));
  return 0;
}

void PrintLoss(const char* label, const CsvLoss& loss) {
  if (loss.count == 0) return;
  std::string rows;
  for (int r : loss.rows) rows += (rows.empty() ? "" : ",") + std::to_string(r);
  std::printf("%s\t%d\t%s\n", label, loss.count, rows.c_str());
}

int CsvData(const Args& args) {
  if (args.size() != 2) return Fail("usage: csv-data IN.csv OUT.dbp");
  CsvImport in = ImportCsv(PathArg(args[0]));
  if (!in.ok) return Fail(ToUtf8(in.error));
  in.table.path = PathArg(args[1]);
  TableSave saved = SaveTable(in.table);
  if (saved.status != TableSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  std::printf("encoding %s\n", in.encoding == CsvEncoding::kUtf8 ? "utf-8" : "windows-1251");
  std::printf("separator %s\n", in.separator == '\t' ? "tab" : std::string(1, in.separator).c_str());
  std::printf("columns %d\nrecords %d\n", in.table.def.ColumnCount(), in.records);
  PrintLoss("not-utf8", in.notUtf8);
  PrintLoss("unconvertible", in.unconvertible);
  PrintLoss("dropped-hash", in.hashes);
  PrintLoss("long-rows", in.longRows);
  if (in.unclosedQuoteRow) std::printf("unclosed-quote\t%d\n", in.unclosedQuoteRow);
  return 0;
}

// Adds a record from three inputs, as the page's "Добавить" makes it, and saves the table.
int DataAdd(const Args& argsIn) {
  Args args = argsIn;
  bool given = false, chosen = false;
  std::string password;
  Protection scheme;
  if (!TakeTablePassword(args, given, password) || !TakeProtection(args, chosen, scheme) || args.size() != 4)
    return Fail("usage: data-add TABLE V1 V2 V3 [--password P] [--protection strong|legacy]");
  DataTable table;
  TableLoad load;
  // As in the program: an old-scheme table opened by its password is written strongly
  // from then on unless the old scheme is asked for.
  if (int failed = OpenUnlocked(table, PathArg(args[0]), given, password, load, scheme)) return failed;
  table.records.push_back(
      {NewRecordLine({ToCp1251(args[1]), ToCp1251(args[2]), ToCp1251(args[3])}, table.def.ColumnCount())});
  table.def.modified = kTableChanged;
  TableSave saved = SaveTable(table);
  if (saved.status != TableSaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  std::printf("added\n");
  return 0;
}

}  // namespace

VM_CLI_COMMAND("data", "FILE [--password P] [--protection strong|legacy]", Data);
VM_CLI_COMMAND("data-add", "TABLE V1 V2 V3 [--password P] [--protection strong|legacy]", DataAdd);
VM_CLI_COMMAND("data-save", "IN OUT [--password P] [--protection strong|legacy]", DataSave);
VM_CLI_COMMAND("data-csv", "TABLE OUT.csv [--password P]", DataCsv);
VM_CLI_COMMAND("csv-data", "IN.csv OUT.dbp", CsvData);

}  // namespace vm::cli
