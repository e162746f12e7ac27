// Subcommands of the dates book: the year's Easter dates, one date file evaluated for
// a reference date, and the whole dates list of a program folder.
#include <string>

#include "cli/cli.h"
#include "common/calendar.h"
#include "dates/date_file.h"
#include "dates/dates_list.h"
#include "platform/platform.h"

namespace vm::cli {

namespace {

int Easter(const Args& args) {
  int year = 0;
  if (args.size() != 1) return Fail("usage: easter YEAR");
  if (!ParseInt(args[0], year)) return Fail("not a year: " + args[0]);
  if (!dates::InCalendarRange(year)) return Fail(ToUtf8(dates::YearRangeMessage(year)));
  PrintLine("orthodox " + dates::EasterDateText(dates::OrthodoxEaster(year)));
  PrintLine("catholic " + dates::EasterDateText(dates::CatholicEaster(year)));
  PrintLine("jewish " + dates::JewishEasterDateText(dates::JewishEaster(year)));
  return 0;
}

int Dates(const Args& args) {
  dates::Date ref;
  if (args.size() != 2) return Fail("usage: dates FILE DD/MM/YYYY");
  if (std::string bad = DateArgError(args[1], ref, "not a date of the form DD/MM/YYYY: " + args[1]);
      !bad.empty())
    return Fail(bad);
  std::string path = PathArg(args[0]);
  if (!platform::FileExists(path)) return Fail("cannot read the date file " + args[0]);
  dates::DateLists lists = dates::EvaluateDateFile(path, ref);
  for (const std::string& item : lists.past) PrintLine("past\t" + item);
  for (const std::string& item : lists.today) PrintLine("today\t" + item);
  for (const std::string& item : lists.coming) PrintLine("coming\t" + item);
  return 0;
}

int DatesList(const Args& args) {
  dates::Date ref;
  if (args.size() != 2) return Fail("usage: dates-list DD/MM/YYYY FOLDER");
  if (std::string bad = DateArgError(args[0], ref, "not a date of the form DD/MM/YYYY: " + args[0]);
      !bad.empty())
    return Fail(bad);
  std::string folder = PathArg(args[1]);
  if (folder.empty()) return Fail("usage: dates-list DD/MM/YYYY FOLDER");
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  if (!platform::DirExists(folder.substr(0, folder.size() - 1))) return Fail("no such folder: " + args[1]);
  dates::DatesList list = dates::BuildDatesListForFolder(folder, ref);
  for (const dates::ListLine& line : list.lines) {
    const char* kind = line.kind == dates::LineKind::kHeading      ? "heading\t"
                       : line.kind == dates::LineKind::kSubheading ? "subheading\t"
                                                                   : "entry\t";
    PrintLine(kind + line.text);
  }
  return 0;
}

}  // namespace

VM_CLI_COMMAND("easter", "YEAR", Easter);
VM_CLI_COMMAND("dates", "FILE DD/MM/YYYY", Dates);
VM_CLI_COMMAND("dates-list", "DD/MM/YYYY FOLDER", DatesList);

}  // namespace vm::cli
