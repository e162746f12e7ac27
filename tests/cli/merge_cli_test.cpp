// velmoria-cli merge over files, as a script would call it.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::PosixPath;
using testing::RunCli;

TEST(MergeCli, MergesContactsAndNotebooksAndRefusesOtherBooks) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "base.dbc", "Иванов|1|\r\nПетров|2|\r\n");
  testing::Spit(dir / "mine.dbc", "Иванов|1|\r\nПетров|2|\r\nСидоров|3|\r\n");
  testing::Spit(dir / "theirs.dbc", "Иванов|11|\r\n");
  auto sides = [&](const char* ext) {
    std::string e = ext;
    return PosixPath(dir / ("base" + e)) + " " + PosixPath(dir / ("mine" + e)) + " " +
           PosixPath(dir / ("theirs" + e)) + " " + PosixPath(dir / ("out" + e));
  };
  auto r = RunCli("merge " + sides(".dbc"));
  EXPECT_EQ(r.out, "mine 1, theirs 1, deleted 1, conflicts 0\n");
  EXPECT_EQ(testing::Slurp(dir / "out.dbc"), "Иванов|11|\r\nСидоров|3|\r\n");

  testing::Spit(dir / "base.dbn", "/2|\r\n<А>\r\nодин\r\n</А>");
  testing::Spit(dir / "mine.dbn", "/2|\r\n<А>\r\nдва\r\n</А>");
  testing::Spit(dir / "theirs.dbn", "/2|\r\n<А>\r\nодин\r\n</А>\r\n<Б>\r\nтри\r\n</Б>");
  EXPECT_EQ(RunCli("merge " + sides(".dbn")).out, "mine 1, theirs 1, deleted 0, conflicts 0\n");
  std::string notebook = testing::Slurp(dir / "out.dbn");
  EXPECT_NE(notebook.find("<А>\r\nдва\r\n</А>"), std::string::npos) << notebook;
  EXPECT_NE(notebook.find("<Б>\r\nтри\r\n</Б>"), std::string::npos) << notebook;

  testing::Spit(dir / "base.xml", "x");
  testing::Spit(dir / "mine.xml", "x");
  testing::Spit(dir / "theirs.xml", "x");
  EXPECT_EQ(RunCli("merge " + sides(".xml"), true).code, 1);
}

}  // namespace
}  // namespace vm
#endif
