// merge: the three-way merge of a book changed in two places, as the program merges a
// book whose file changed on disk since it was read.
#include <string>

#include "cli/cli.h"
#include "data/data_file.h"
#include "notebook/notebook_merge.h"
#include "platform/platform.h"
#include "shell/book_merge.h"

namespace vm::cli {
namespace {

int Merge(const Args& args) {
  if (args.size() != 4) return Fail("usage: merge BASE MINE THEIRS OUT");
  std::string out = PathArg(args[3]);
  std::optional<shell::Book> book = shell::BookOfPath(out);
  if (!book || !shell::CanMerge(*book))
    return Fail("merge takes contacts (.dbc), firms (.dbo), tasks (.dbw), tables (.dbp) and notebooks (.dbn): " +
                args[3]);
  std::string sides[3];
  for (int i = 0; i < 3; ++i)
    if (!platform::ReadFileBytes(PathArg(args[i]), sides[i])) return Fail("cannot read " + args[i]);
  MergeResult merged;
  if (*book == shell::Book::kNotebook) {
    std::string name = out.substr(out.find_last_of("/\\") + 1);
    merged = notebook::MergeNotebook(sides[0], sides[1], sides[2], name);
  } else if (*book == shell::Book::kData) {
    merged = data::MergeTables(sides[0], sides[1], sides[2]);
  } else {
    merged = shell::MergeRecordBook(*book, sides[0], sides[1], sides[2]);
  }
  if (!merged.merged) return Fail(ToUtf8(merged.error));
  if (!platform::SafeReplace(out, merged.bytes)) return Fail("cannot write " + args[3]);
  const MergeCounts& c = merged.counts;
  PrintLine("mine " + std::to_string(c.fromMine) + ", theirs " + std::to_string(c.fromTheirs) + ", deleted " +
            std::to_string(c.deleted) + ", conflicts " + std::to_string(c.conflicts));
  return 0;
}

}  // namespace

VM_CLI_COMMAND("merge", "BASE MINE THEIRS OUT", Merge);

}  // namespace vm::cli
