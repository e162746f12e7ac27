// velmoria-cli as a black box: the foundation's subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
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

// Expected output is UTF-8; the literals here are cp1251.
std::string U(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

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
  Result r = RunCli(Posix(dir / "cont.dbc") + " 3 --save " + Posix(dir / "out.dbc"));
  EXPECT_EQ(r.code, 1);  // the file comes first: "records" is the command
  r = RunCli("records " + Posix(dir / "cont.dbc") + " 2 --save " + Posix(dir / "out.dbc"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, U("loaded 2\nrejected 1\nstate 2\nmessage\nСоздан файл ") + Posix(dir / "cont.err") +
                       U(" с незагруженными строками\nsaved\n"));
  EXPECT_EQ(testing::Slurp(dir / "out.dbc"), "Пётр|b|c\r\nfine|1|2|3\r\n");
  r = RunCli("records " + Posix(dir / "out.dbc") + " 2 --firms --save " + Posix(dir / "again.dbc"));
  EXPECT_EQ(r.out, "loaded 2\nrejected 0\nstate 1\nunchanged\n");
  EXPECT_EQ(RunCli("records " + Posix(dir / "absent.dbc") + " 2").code, 1);
}

}  // namespace
}  // namespace vm
#endif
