#include "support/program_folder.h"

#include "platform/platform.h"

namespace vm::testing {

void ProgramFolderTest::MakeFolders(std::initializer_list<const char*> names) const {
  for (const char* name : names) ASSERT_TRUE(platform::MakeDir(dir_ / name)) << name;
}

void ProgramFolderTest::CopyShippedSupportFile(const std::string& name) const {
  std::string bytes = Slurp(std::string(VELMORIA_SOURCE_DIR) + "/support/" + name);
  ASSERT_NE(bytes, "<missing>") << name;
  Spit(dir_ / ("Support\\" + name), bytes);
}

}  // namespace vm::testing
