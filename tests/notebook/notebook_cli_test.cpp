// velmoria-cli as a black box: the notebook and element-tree subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "common/header_codec.h"
#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm::notebook {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(NotebookCli, ListsConvertsAndProtects) {
  testing::ScratchFolder dir;
  testing::Spit(
      dir / "old.dbn",
      "FILEFORMAT1\r\n<Раздел>\r\n<Лист>\r\nтекст\r\n</Лист>\r\nab\r\n</Раздел>\r\n<Пусто>\r\n</Пусто>");
  std::string listing = U("Раздел\t2\n  Лист\t5\nПусто\t0\n");
  auto r = RunCli("notebook " + PosixPath(dir / "old.dbn"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "format fileformat1\nprotected no\n" + listing);

  r = RunCli("notebook-convert " + PosixPath(dir / "old.dbn") + " " + PosixPath(dir / "new.dbn") + " --password " +
             U("'пароль'") + " --protection legacy");
  EXPECT_EQ(r.out, "saved\n");
  EXPECT_EQ(testing::Slurp(dir / "new.dbn").substr(0, 3 + EncodeHeader("new.dbnпароль").size()),
            "/2|" + EncodeHeader("new.dbnпароль"));
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "new.dbn")).out, "format current\nprotected yes\n");
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "new.dbn") + " --password " + U("'пароль'")).out,
            "format current\nprotected yes\n" + listing);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "new.dbn") + " --password x").code, 1);
  EXPECT_EQ(RunCli("notebook-convert " + PosixPath(dir / "new.dbn") + " " + PosixPath(dir / "x.dbn")).code, 1);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "absent.dbn")).code, 1);
  EXPECT_EQ(RunCli("notebook").code, 1);
}

TEST(NotebookCli, ElementTree) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "good.xml", "<?xml version='1.0'?><a k=v><b>x &amp; y</b></a>");
  testing::Spit(dir / "bad.xml", "<a><b></c></a>");
  EXPECT_EQ(RunCli("xmltree " + PosixPath(dir / "good.xml")).out,
            "\r\n<a k=\"v\" >\r\n\t<b>x &amp; y</b>\r\n</a>");
  auto r = RunCli("xmltree " + PosixPath(dir / "bad.xml"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "error 3 '<b> ... </c>' is not wel-formed.\n");
}

}  // namespace
}  // namespace vm::notebook
#endif
