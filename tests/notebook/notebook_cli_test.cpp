// velmoria-cli as a black box: the notebook and element-tree subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "notebook/header_codec.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::notebook {
namespace {

struct Result {
  int code;
  std::string out;
};

Result RunCli(const std::string& args) {
  std::string cmd = std::string(VELMORIA_CLI_PATH) + " " + args + " 2>/dev/null";
  Result r{0, {}};
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string Posix(const std::string& corePath) {
  std::string p = platform::Cp1251ToUtf8(corePath);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

std::string U(const std::string& cp1251) {
  return platform::Cp1251ToUtf8(cp1251);
}

TEST(NotebookCli, ListsConvertsAndProtects) {
  testing::ScratchFolder dir;
  testing::Spit(
      dir / "old.dbn",
      "FILEFORMAT1\r\n<Раздел>\r\n<Лист>\r\nтекст\r\n</Лист>\r\nab\r\n</Раздел>\r\n<Пусто>\r\n</Пусто>");
  std::string listing = U("Раздел\t2\n  Лист\t5\nПусто\t0\n");
  Result r = RunCli("notebook " + Posix(dir / "old.dbn"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "format fileformat1\nprotected no\n" + listing);

  r = RunCli("notebook-convert " + Posix(dir / "old.dbn") + " " + Posix(dir / "new.dbn") + " --password " +
             U("'пароль'"));
  EXPECT_EQ(r.out, "saved\n");
  EXPECT_EQ(testing::Slurp(dir / "new.dbn").substr(0, 3 + EncodeHeader("new.dbnпароль").size()),
            "/2|" + EncodeHeader("new.dbnпароль"));
  EXPECT_EQ(RunCli("notebook " + Posix(dir / "new.dbn")).out, "format current\nprotected yes\n");
  EXPECT_EQ(RunCli("notebook " + Posix(dir / "new.dbn") + " --password " + U("'пароль'")).out,
            "format current\nprotected yes\n" + listing);
  EXPECT_EQ(RunCli("notebook " + Posix(dir / "new.dbn") + " --password x").code, 1);
  EXPECT_EQ(RunCli("notebook-convert " + Posix(dir / "new.dbn") + " " + Posix(dir / "x.dbn")).code, 1);
  EXPECT_EQ(RunCli("notebook " + Posix(dir / "absent.dbn")).code, 1);
  EXPECT_EQ(RunCli("notebook").code, 1);
}

TEST(NotebookCli, ElementTree) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "good.xml", "<?xml version='1.0'?><a k=v><b>x &amp; y</b></a>");
  testing::Spit(dir / "bad.xml", "<a><b></c></a>");
  EXPECT_EQ(RunCli("xmltree " + Posix(dir / "good.xml")).out,
            "\r\n<a k=\"v\" >\r\n\t<b>x &amp; y</b>\r\n</a>");
  Result r = RunCli("xmltree " + Posix(dir / "bad.xml"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "error 3 '<b> ... </c>' is not wel-formed.\n");
}

}  // namespace
}  // namespace vm::notebook
#endif
