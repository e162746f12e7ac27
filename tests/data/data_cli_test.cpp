// velmoria-cli as a black box: the data-table subcommands on real files.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
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

TEST(DataCli, ListsAndSavesProtected) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "t.dbp", "/1|Имя|Тел|120|80|0|0|1|-1|-1|0\r\nИван|123\r\nПётр|456|лишнее\r\nкороткая");
  std::string head = U("columns\tИмя\tТел\nwidths\t120\t80\nshown\t1\t1\nspecial\t1\t-1\t-1\n");
  std::string rows = U("Иван\t123\nПётр\t456\tлишнее\n");
  Result r = RunCli("data " + Posix(dir / "t.dbp"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, head + "protected\tno\n" + rows + U("message\tСоздан файл ") + Posix(dir / "t.err") +
                       U(" с незагруженными строками\n"));

  r = RunCli("data-save " + Posix(dir / "t.dbp") + " " + Posix(dir / "s.dbp") + " --password pw");
  EXPECT_EQ(r.out, "saved\nrejected 1\n");
  EXPECT_EQ(testing::Slurp(dir / "s.dbp").find("Иван"), std::string::npos);
  EXPECT_EQ(RunCli("data " + Posix(dir / "s.dbp")).out, head + "protected\tyes\n");
  EXPECT_EQ(RunCli("data " + Posix(dir / "s.dbp") + " --password pw").out, head + "protected\tyes\n" + rows);
  EXPECT_EQ(RunCli("data " + Posix(dir / "s.dbp") + " --password no").code, 1);
  EXPECT_EQ(RunCli("data-save " + Posix(dir / "s.dbp") + " " + Posix(dir / "x.dbp")).code, 1);
  EXPECT_EQ(RunCli("data-save " + Posix(dir / "s.dbp") + " " + Posix(dir / "p.dbp") + " --password pw").code,
            0);
  EXPECT_EQ(RunCli("data " + Posix(dir / "absent.dbp")).code, 1);
}

}  // namespace
}  // namespace vm::data
#endif
