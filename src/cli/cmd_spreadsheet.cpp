// Subcommands of the spreadsheet: the XML document parser and workbook files.
#include <cstdio>

#include "cli/cli.h"
#include "spreadsheet/workbook_xml.h"
#include "spreadsheet/xml_document.h"

namespace vm::cli {

namespace {

using spreadsheet::CWorkbook;
using spreadsheet::CXmlDocument;

// The separators of shown numbers: "." and "," unless --decimal/--thousands say otherwise.
bool TakeLocale(Args& args, spreadsheet::NumberLocale& locale) {
  std::string value;
  bool missing = false;
  if (TakeOption(args, "--decimal", value, missing)) locale.decimal = ToCp1251(value);
  if (missing) return false;
  if (TakeOption(args, "--thousands", value, missing)) locale.thousands = ToCp1251(value);
  return !missing;
}

int XmlDoc(const Args& args) {
  if (args.size() != 1) return Fail("usage: xmldoc FILE");
  CXmlDocument doc;
  doc.SetErrorCallback([](int code, const std::string& message, int line, int column) {
    std::fprintf(stderr, "error %d %d:%d %s\n", code, line, column, ToUtf8(message).c_str());
  });
  if (!doc.LoadFile(PathArg(args[0]))) return Fail("cannot read " + args[0]);
  WriteOut(doc.Write());  // the document as its file would hold it (Windows-1251, CR LF)
  return 0;
}

int Workbook(const Args& argsIn) {
  Args args = argsIn;
  CWorkbook book;
  if (!TakeLocale(args, book.locale) || args.size() != 1)
    return Fail("usage: workbook FILE [--decimal SEP] [--thousands SEP]");
  spreadsheet::WorkbookReadReport report;
  if (!spreadsheet::ReadWorkbook(book, PathArg(args[0]), &report))
    return Fail(args[0] + " holds no workbook" + (report.firstParseError.empty() ? "" : " (" + ToUtf8(report.firstParseError) + ")"));
  for (const std::string& problem : report.problems) std::fprintf(stderr, "warning: %s\n", problem.c_str());
  for (int i = 0; i < book.SheetCount(); ++i) {
    const spreadsheet::CSheet& sheet = book.Sheet(i);
    char counts[64];
    std::snprintf(counts, sizeof counts, "\t%d\t%d", sheet.RowCount(), sheet.ColumnCount());
    PrintLine("sheet\t" + sheet.name + counts);
    for (const spreadsheet::MergeArea& m : sheet.Merges()) {
      std::printf("merge R%dC%d:R%dC%d\n", m.row + 1, m.column + 1, m.row + m.down + 1, m.column + m.across + 1);
    }
    for (const auto& row : sheet.Rows()) {
      for (const auto& e : row.cells) {
        if (!e.cell.HasText()) continue;
        char head[64];
        std::snprintf(head, sizeof head, "R%dC%d\t%d\t", row.index + 1, e.column + 1, e.cell.kind);
        PrintLine(head + ShowLineBreaks(spreadsheet::ShownText(e.cell, book.locale)));
      }
    }
  }
  return 0;
}

int WorkbookCopy(const Args& args) {
  if (args.size() != 2) return Fail("usage: workbook-copy IN OUT");
  CWorkbook book;
  spreadsheet::WorkbookReadReport report;
  if (!spreadsheet::ReadWorkbook(book, PathArg(args[0]), &report)) return Fail(args[0] + " holds no workbook");
  for (const std::string& problem : report.problems) std::fprintf(stderr, "warning: %s\n", problem.c_str());
  if (!spreadsheet::WriteWorkbook(book, PathArg(args[1]))) return Fail("cannot write " + args[1]);
  return 0;
}

}  // namespace

VM_CLI_COMMAND("xmldoc", "FILE", XmlDoc);
VM_CLI_COMMAND("workbook", "FILE [--decimal SEP] [--thousands SEP]", Workbook);
VM_CLI_COMMAND("workbook-copy", "IN OUT", WorkbookCopy);

}  // namespace vm::cli
