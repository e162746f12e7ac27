// Subcommands of the contacts and firms books: moving cards to and from vCard files.
#include <cstdio>
#include <string>

#include "cards/card_book.h"
#include "cards/vcard.h"
#include "cli/cli.h"
#include "common/record_file.h"
#include "platform/platform.h"

namespace vm::cli {

namespace {

using namespace vm::cards;

// Loads a book file of the layout; a missing file is an empty book (an import may
// start one). Ends the command (its exit code) when the file cannot be used, else 0.
int OpenBook(RecordBook& book, const std::string& path, const CardBookLayout& layout, bool mayBeMissing) {
  book.path = path;
  if (mayBeMissing && !platform::FileExists(path)) {
    book.state = kStateLoaded;
    return 0;
  }
  LoadOutcome load = LoadRecords(book, layout.records);
  if (!load.opened) return Fail(ToUtf8(load.error));
  if (book.oldFormat) return Fail(ToUtf8(book.loadMessage));
  return 0;
}

int CardsVcard(const Args& argsIn) {
  Args args = argsIn;
  bool firms = TakeFlag(args, "--firms");
  std::string version = "4.0";
  bool missing = false;
  TakeOption(args, "--version", version, missing);
  if (missing || args.size() != 2 || (version != "3.0" && version != "4.0"))
    return Fail("usage: cards-vcard BOOK OUT.vcf [--firms] [--version 3.0|4.0]");
  const CardBookLayout& layout = firms ? FirmsBook() : ContactsBook();
  RecordBook book;
  if (int failed = OpenBook(book, PathArg(args[0]), layout, false)) return failed;
  std::string vcf = CardsToVcard(layout, book.records, version == "3.0" ? VcardVersion::k30 : VcardVersion::k40);
  if (!platform::SafeReplace(PathArg(args[1]), vcf)) return Fail("cannot write " + args[1]);
  std::printf("exported %d\n", static_cast<int>(book.records.size()));
  return 0;
}

int VcardCards(const Args& argsIn) {
  Args args = argsIn;
  bool firms = TakeFlag(args, "--firms");
  if (args.size() != 2) return Fail("usage: vcard-cards IN.vcf BOOK [--firms]");
  const CardBookLayout& layout = firms ? FirmsBook() : ContactsBook();
  std::string bytes;
  if (!platform::ReadFileBytes(PathArg(args[0]), bytes)) return Fail("cannot read " + args[0]);
  RecordBook book;
  if (int failed = OpenBook(book, PathArg(args[1]), layout, true)) return failed;
  VcardImport in = ImportVcard(bytes, layout, book.records);
  if (in.cards == 0) return Fail("no vCard in " + args[0]);
  if (!in.added.empty()) {
    book.records.insert(book.records.end(), in.added.begin(), in.added.end());
    book.state = kStateChanged;
    SaveOutcome saved = SaveRecords(book);
    if (saved.status != SaveStatus::kSaved) return Fail(ToUtf8(saved.error));
  }
  std::printf("added %d\nskipped %d\n", static_cast<int>(in.added.size()), in.skipped);
  if (in.intoComment) std::printf("into-comment %d\n", in.intoComment);
  if (in.binarySkipped) std::printf("binary-skipped %d\n", in.binarySkipped);
  if (in.unconvertible) {
    std::string cards;
    for (int c : in.unconvertibleCards) cards += (cards.empty() ? "" : ",") + std::to_string(c);
    std::printf("unconvertible\t%d\t%s\n", in.unconvertible, cards.c_str());
  }
  if (in.hashesDropped) std::printf("dropped-hash %d\n", in.hashesDropped);
  return 0;
}

}  // namespace

VM_CLI_COMMAND("cards-vcard", "BOOK OUT.vcf [--firms] [--version 3.0|4.0]", CardsVcard);
VM_CLI_COMMAND("vcard-cards", "IN.vcf BOOK [--firms]", VcardCards);

}  // namespace vm::cli
