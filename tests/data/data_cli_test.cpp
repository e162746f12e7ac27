// velmoria-cli as a black box: the data-table subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(DataCli, ListsAndSavesProtected) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "t.dbp", "/1|Имя|Тел|120|80|0|0|1|-1|-1|0\r\nИван|123\r\nПётр|456|лишнее\r\nкороткая");
  std::string head = U("columns\tИмя\tТел\nwidths\t120\t80\nshown\t1\t1\nspecial\t1\t-1\t-1\n");
  std::string rows = U("Иван\t123\nПётр\t456\tлишнее\n");
  auto r = RunCli("data " + PosixPath(dir / "t.dbp"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, head + "protected\tno\n" + rows + U("message\tСоздан файл ") + PosixPath(dir / "t.err") +
                       U(" с незагруженными строками\n"));

  r = RunCli("data-save " + PosixPath(dir / "t.dbp") + " " + PosixPath(dir / "s.dbp") + " --password pw");
  EXPECT_EQ(r.out, "saved\nrejected 1\n");
  EXPECT_EQ(testing::Slurp(dir / "s.dbp").find("Иван"), std::string::npos);
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "s.dbp")).out, head + "protected\tyes\n");
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "s.dbp") + " --password pw").out,
            head + "protected\tyes\n" + rows);
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "s.dbp") + " --password no").code, 1);
  EXPECT_EQ(RunCli("data-save " + PosixPath(dir / "s.dbp") + " " + PosixPath(dir / "x.dbp")).code, 1);
  EXPECT_EQ(
      RunCli("data-save " + PosixPath(dir / "s.dbp") + " " + PosixPath(dir / "p.dbp") + " --password pw")
          .code,
      0);
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "absent.dbp")).code, 1);
}

}  // namespace
}  // namespace vm::data
#endif
