// velmoria-cli as a black box: the foundation's subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(Cli, FieldAndTitle) {
  EXPECT_EQ(RunCli("field 'x#|y|z' 0").out, "x|y\n");
  EXPECT_EQ(RunCli("field 'x#|y|z' 1").out, "z\n");
  EXPECT_EQ(RunCli("field 'a|b' 5").out, "missing\n");
  EXPECT_EQ(RunCli("title 06/12/2026").out, U("Velmoria - 6 декабря 2026  Вс  49 нд.\n"));
  EXPECT_EQ(RunCli("title 31/02/2026").code, 1);
  EXPECT_EQ(RunCli("field onlyone").code, 1);
  EXPECT_EQ(RunCli("no-such-command").code, 1);
}

TEST(Cli, RecordsLoadsRejectsAndSaves) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "cont.dbc", "Пётр|b|c\r\nshort|x\r\nfine|1|2|3\r\n");
  auto r = RunCli(PosixPath(dir / "cont.dbc") + " 3 --save " + PosixPath(dir / "out.dbc"));
  EXPECT_EQ(r.code, 1);  // the file comes first: "records" is the command
  r = RunCli("records " + PosixPath(dir / "cont.dbc") + " 2 --save " + PosixPath(dir / "out.dbc"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, U("loaded 2\nrejected 1\nstate 2\nmessage\nСоздан файл ") + PosixPath(dir / "cont.err") +
                       U(" с незагруженными строками\nsaved\n"));
  EXPECT_EQ(testing::Slurp(dir / "out.dbc"), "Пётр|b|c\r\nfine|1|2|3\r\n");
  r = RunCli("records " + PosixPath(dir / "out.dbc") + " 2 --firms --save " + PosixPath(dir / "again.dbc"));
  EXPECT_EQ(r.out, "loaded 2\nrejected 0\nstate 1\nunchanged\n");
  EXPECT_EQ(RunCli("records " + PosixPath(dir / "absent.dbc") + " 2").code, 1);
}

}  // namespace
}  // namespace vm
#endif
