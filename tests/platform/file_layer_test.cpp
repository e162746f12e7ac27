// The in-memory file layer must behave as the system's files do for everything the
// loaders and savers ask of them, so each case runs over both.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/record_file.h"
#include "platform/memory_files.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using namespace platform;

class FileLayerContract : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      memory_.MakeDirs("M:\\root");
      scope_ = std::make_unique<ScopedFileLayer>(memory_);
      root_ = "M:\\root\\";
    } else {
      scratch_ = std::make_unique<testing::ScratchFolder>();
      root_ = scratch_->path();
    }
  }
  void TearDown() override { SetSafeReplaceFaultHook(nullptr); }

  std::string Read(const std::string& name) {
    std::string bytes = "junk";
    return ReadFileBytes(root_ + name, bytes) ? bytes : "<missing>";
  }
  std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> out;
    for (const DirEntry& e : ListDir(root_ + folder)) out.push_back(e.name + (e.isDir ? "\\" : ""));
    std::sort(out.begin(), out.end());
    return out;
  }

  MemoryFiles memory_;
  std::unique_ptr<ScopedFileLayer> scope_;
  std::unique_ptr<testing::ScratchFolder> scratch_;
  std::string root_;
};

TEST_P(FileLayerContract, FilesAndFolders) {
  EXPECT_TRUE(WriteFileBytes(root_ + "a.txt", std::string("x\0y", 3)));
  EXPECT_EQ(Read("a.txt"), std::string("x\0y", 3));
  EXPECT_TRUE(FileExists(root_ + "a.txt"));
  EXPECT_FALSE(DirExists(root_ + "a.txt"));
  std::string bytes = "junk";
  EXPECT_FALSE(ReadFileBytes(root_ + "none.txt", bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(WriteFileBytes(root_ + "no\\a.txt", "x"));  // no such folder

  EXPECT_TRUE(MakeDir(root_ + "sub"));
  EXPECT_FALSE(MakeDir(root_ + "sub"));
  EXPECT_FALSE(MakeDir(root_ + "a.txt"));
  EXPECT_TRUE(DirExists(root_ + "sub"));
  EXPECT_EQ(Read("sub"), "<missing>");  // a folder is no file
  EXPECT_TRUE(WriteFileBytes(root_ + "sub\\b.txt", "b"));
  EXPECT_TRUE(MakeDir(root_ + "sub\\deeper"));
  EXPECT_EQ(Listing(""), (std::vector<std::string>{"a.txt", "sub\\"}));
  EXPECT_EQ(Listing("sub"), (std::vector<std::string>{"b.txt", "deeper\\"}));
  EXPECT_TRUE(Listing("none").empty());

  EXPECT_FALSE(RemoveDir(root_ + "sub"));  // not empty
  EXPECT_TRUE(RemoveDir(root_ + "sub\\deeper"));
  EXPECT_TRUE(RemoveFile(root_ + "sub\\b.txt"));
  EXPECT_FALSE(RemoveFile(root_ + "sub\\b.txt"));
  EXPECT_TRUE(RemoveDir(root_ + "sub"));
  EXPECT_FALSE(DirExists(root_ + "sub"));
}

TEST_P(FileLayerContract, MoveNeverReplaces) {
  ASSERT_TRUE(WriteFileBytes(root_ + "a", "A"));
  ASSERT_TRUE(WriteFileBytes(root_ + "b", "B"));
  EXPECT_FALSE(MoveFileNoReplace(root_ + "a", root_ + "b"));
  EXPECT_EQ(Read("a"), "A");
  EXPECT_EQ(Read("b"), "B");
  EXPECT_TRUE(MoveFileNoReplace(root_ + "a", root_ + "c"));
  EXPECT_EQ(Read("a"), "<missing>");
  EXPECT_EQ(Read("c"), "A");
  EXPECT_FALSE(MoveFileNoReplace(root_ + "none", root_ + "d"));
}

TEST_P(FileLayerContract, SafeReplaceKeepsTheOldFileOnEveryFailure) {
  ASSERT_TRUE(SafeReplace(root_ + "book.dbc", "old"));
  EXPECT_TRUE(SafeReplace(root_ + "book.dbc", "new"));
  EXPECT_EQ(Read("book.dbc"), "new");
  for (SaveError step : {SaveError::kOpen, SaveError::kWrite, SaveError::kFlush, SaveError::kRename}) {
    SetSafeReplaceFaultHook([step](SaveError at) { return at == step; });
    EXPECT_EQ(SafeReplace(root_ + "book.dbc", "lost").error, step);
    EXPECT_EQ(Read("book.dbc"), "new");
  }
  SetSafeReplaceFaultHook(nullptr);
  EXPECT_EQ(SafeReplace(root_ + "no\\book.dbc", "x").error, SaveError::kOpen);
  ASSERT_TRUE(MakeDir(root_ + "d"));
  EXPECT_EQ(SafeReplace(root_ + "d", "x").error, SaveError::kRename);
  EXPECT_EQ(Listing(""), (std::vector<std::string>{"book.dbc", "d\\"}));  // no temporary file left
}

INSTANTIATE_TEST_SUITE_P(Layers, FileLayerContract, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Memory" : "System"; });

TEST(MemoryFiles, LoadersRunOverItWithoutTheDisk) {
  MemoryFiles memory;
  memory.MakeDirs("M:\\data\\Support");
  ScopedFileLayer scope(memory);
  ASSERT_TRUE(WriteFileBytes("M:\\data\\Support\\cont.dbc", "a|b|c|d|e|f|g|h|i|j|k|l|m\r\nshort|line\r\n"));
  RecordBook book;
  book.path = "M:/data/Support/cont.dbc";  // either separator
  LoadOutcome loaded = LoadRecords(book, ContactsLayout());
  EXPECT_EQ(loaded.rejected, 1);
  ASSERT_EQ(book.records.size(), 1u);
  EXPECT_TRUE(FileExists("M:\\data\\Support\\cont.err"));  // the side file
  EXPECT_EQ(SaveRecords(book).status, SaveStatus::kSaved);
  std::string saved;
  ASSERT_TRUE(memory.ReadFileBytes("M:\\data\\Support\\cont.dbc", saved));
  EXPECT_EQ(saved, "a|b|c|d|e|f|g|h|i|j|k|l|m\r\n");
  EXPECT_EQ(memory.FileCount(), 2u);
  {
    ScopedFileLayer inner(SystemFiles());
    EXPECT_FALSE(FileExists("M:\\data\\Support\\cont.dbc"));
  }
  EXPECT_TRUE(FileExists("M:\\data\\Support\\cont.dbc"));  // the outer layer again
}

}  // namespace
}  // namespace vm
