#include "common/file_identity.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/scratch.h"

namespace vm {
namespace {

using testing::Slurp;
using testing::Spit;

TEST(FileIdentity, SizeAndContentDecideNotTheWriteItself) {
  EXPECT_EQ(IdentityOf("abc"), IdentityOf(std::string("abc")));
  EXPECT_NE(IdentityOf("abc"), IdentityOf("abd"));
  EXPECT_NE(IdentityOf("abc"), IdentityOf("abc "));
  EXPECT_NE(IdentityOf(""), MissingFileIdentity()) << "an empty file is not a missing one";
  EXPECT_FALSE(FileIdentity{}.known);
}

// What the check finds after each thing another program may do to a book's file
// between the program's read and its save, and what the guarded save then does.
TEST(FileIdentity, ASaveNeverWritesOverAFileChangedElsewhere) {
  testing::ScratchFolder dir;
  const std::string path = dir / "cont.dbc";
  struct Case {
    const char* what;
    std::function<void()> outside;
    DiskCheck check;
    bool written;
  } cases[] = {
      {"nothing", [] {}, DiskCheck::kAsLastSeen, true},
      {"rewritten with the same bytes", [&] { Spit(path, "read|\r\n"); }, DiskCheck::kAsLastSeen, true},
      {"changed", [&] { Spit(path, "theirs|\r\n"); }, DiskCheck::kChangedElsewhere, false},
      {"grown by a byte", [&] { Spit(path, "read|\r\n\r"); }, DiskCheck::kChangedElsewhere, false},
      {"emptied", [&] { Spit(path, ""); }, DiskCheck::kChangedElsewhere, false},
      {"deleted", [&] { platform::RemoveFile(path); }, DiskCheck::kGone, true},
  };
  for (const Case& c : cases) {
    Spit(path, "read|\r\n");
    FileIdentity last = IdentityOnDisk(path);
    c.outside();
    std::string before = Slurp(path);
    EXPECT_EQ(CheckBeforeSave(last, path), c.check) << c.what;
    GuardedSave saved = SaveIfUnchangedOnDisk(last, path, "mine|\r\n");
    EXPECT_EQ(saved.status == GuardedSaveStatus::kWritten, c.written) << c.what;
    if (c.written) {
      EXPECT_EQ(Slurp(path), "mine|\r\n") << c.what;
      EXPECT_EQ(last, IdentityOf("mine|\r\n")) << c.what << ": what was written is what is known";
      EXPECT_EQ(CheckBeforeSave(last, path), DiskCheck::kAsLastSeen) << c.what;
    } else {
      EXPECT_EQ(Slurp(path), before) << c.what;
      EXPECT_NE(saved.error.find(path), std::string::npos) << c.what;
      EXPECT_EQ(last, IdentityOf("read|\r\n")) << c.what << ": still the version the book came from";
    }
  }
  // A file the program never read (a new book, a copy) is written as asked; one that
  // appeared where a missing file was is someone else's.
  platform::RemoveFile(path);
  FileIdentity never;
  EXPECT_EQ(CheckBeforeSave(never, path), DiskCheck::kNotKnown);
  FileIdentity missing = IdentityOnDisk(path);
  Spit(path, "theirs");
  EXPECT_EQ(CheckBeforeSave(missing, path), DiskCheck::kChangedElsewhere);
  EXPECT_EQ(SaveIfUnchangedOnDisk(never, path, "mine").status, GuardedSaveStatus::kWritten);
  EXPECT_EQ(SaveIfUnchangedOnDisk(never, dir / "no\\such\\folder.dbc", "x").status, GuardedSaveStatus::kFailed);
}

}  // namespace
}  // namespace vm
