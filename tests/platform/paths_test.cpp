// Cyrillic names must survive the trip through the platform layer on every system.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

TEST(Paths, CyrillicFolderAndFileNames) {
  testing::ScratchFolder dir;
  const std::string folder = dir / "Личное";
  ASSERT_TRUE(platform::MakeDir(folder));
  const std::string file = folder + "\\Дела на неделю.dbw";
  ASSERT_TRUE(platform::SafeReplace(file, "запись"));
  std::string back;
  ASSERT_TRUE(platform::ReadFileBytes(file, back));
  EXPECT_EQ(back, "запись");
  auto entries = platform::ListDir(folder);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Дела на неделю.dbw");
}

}  // namespace
}  // namespace vm
