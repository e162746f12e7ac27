// velmoria-cli as a black box: strong and old-scheme protection of tables and
// notebooks, and "protect" telling them apart.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "common/protected_file.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(ProtectionCli, NotebooksAndTablesInBothSchemes) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "plain.dbn", "/2|\r\n<Раздел>\r\nтекст\r\n</Раздел>");
  testing::Spit(dir / "plain.dbp", "/4|Имя|100|1|-1|-1|-1|\r\nИван");
  const std::string pw = " --password " + U("'Пароль ^|#'");

  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "plain.dbn")).out, "scheme none\n");
  auto r = RunCli("notebook-convert " + PosixPath(dir / "plain.dbn") + " " + PosixPath(dir / "s.dbn") + pw);
  EXPECT_EQ(r.out, "saved\n");
  std::string sealed = testing::Slurp(dir / "s.dbn");
  EXPECT_TRUE(LooksSealed(sealed));
  EXPECT_EQ(sealed.find("Раздел"), std::string::npos);
  r = RunCli("protect " + PosixPath(dir / "s.dbn"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.substr(0, 69), "scheme strong\nformat 1\nkdf PBKDF2-HMAC-SHA256\niterations 600000\nsalt ");
  EXPECT_EQ(r.out.find("\ncipher AES-256-GCM\nnonce "), 69u + 32u);
  EXPECT_EQ(r.out.size(), 69u + 32u + 26u + 24u + 1u);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "s.dbn")).out, "format strong\nprotected yes\n");
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "s.dbn") + pw).out,
            "format strong\nprotected yes\n" + U("Раздел\t5\n"));
  r = RunCli("notebook " + PosixPath(dir / "s.dbn") + " --password x", true);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find(U("Неверный пароль или файл повреждён")), std::string::npos);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "s.dbn") + " --protection strong").code, 0);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "s.dbn") + " --protection legacy").code, 1);
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "s.dbn") + " --protection weak").code, 1);

  // Strong to old and back; the old scheme is said to be readable by anyone.
  r = RunCli("notebook-convert " + PosixPath(dir / "s.dbn") + " " + PosixPath(dir / "l.dbn") + pw +
             " --protection legacy");
  EXPECT_EQ(r.out, "saved\n");
  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "l.dbn")).out.substr(0, 14), "scheme legacy\n");
  EXPECT_EQ(RunCli("notebook " + PosixPath(dir / "l.dbn") + pw).out, "format current\nprotected yes\n" + U("Раздел\t5\n"));

  r = RunCli("data-save " + PosixPath(dir / "plain.dbp") + " " + PosixPath(dir / "s.dbp") + pw);
  EXPECT_EQ(r.out, "saved\n");
  EXPECT_TRUE(LooksSealed(testing::Slurp(dir / "s.dbp")));
  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "s.dbp")).out.substr(0, 14), "scheme strong\n");
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "s.dbp") + pw).out,
            U("columns\tИмя\nwidths\t100\nshown\t1\nspecial\t-1\t-1\t-1\nprotected\tyes\nИван\n"));
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "s.dbp") + " --password no").code, 1);
  r = RunCli("data-save " + PosixPath(dir / "s.dbp") + " " + PosixPath(dir / "l.dbp") + pw + " --protection legacy");
  EXPECT_EQ(r.out, "saved\n");
  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "l.dbp")).out.substr(0, 14), "scheme legacy\n");
  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "plain.dbp")).out, "scheme none\n");
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "l.dbp") + " --protection legacy").code, 0);

  // data-add on an old-scheme table writes it strongly, as the program does.
  EXPECT_EQ(RunCli("data-add " + PosixPath(dir / "l.dbp") + " a b c" + pw).out, "added\n");
  EXPECT_EQ(RunCli("protect " + PosixPath(dir / "l.dbp")).out.substr(0, 14), "scheme strong\n");

  testing::Spit(dir / "bad.dbn", "VELMORIA-PROTECTED 1 junk\r\n");
  r = RunCli("protect " + PosixPath(dir / "bad.dbn"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "scheme strong\n");
}

}  // namespace
}  // namespace vm
#endif
