// velmoria-cli's dates commands as a black box, on files in a scratch program folder.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm::dates {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::U;

TEST(DatesCli, EasterDatesListAndErrors) {
  EXPECT_EQ(RunCli("easter 2025").out, U("orthodox 20/04/2025\ncatholic 20/04/2025\njewish 13/04/2025 Вс\n"));
  EXPECT_EQ(RunCli("easter 1900").code, 1);
  EXPECT_EQ(RunCli("easter soon").code, 1);

  testing::ScratchFolder dir;
  platform::MakeDir(dir / "Support");
  testing::Spit(dir / "Support\\Holidays.txt",
                "01/01 Новый год\r\n30/12/1990 Событие\r\nВс1/01 Воскресенье\r\n");
  auto r = RunCli("dates " + PosixPath(dir / "Support\\Holidays.txt") + " 31/12/2025");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(
      r.out,
      U("past\t30/12|Событие   (35-я годовщина)\ncoming\t01/01|Новый год\ncoming\t04/01|Воскресенье\n"));
  EXPECT_EQ(testing::Slurp(dir / "Support\\Holidays.txt").substr(0, 10), "/2|формат\n");  // upgraded

  r = RunCli("dates-list 01/01/2026 " + PosixPath(dir.path()));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, U("heading\tПрошедшие\nsubheading\tДаты\nentry\t30/12 Событие   (35-я годовщина)\n"
                     "heading\t1 января 2026  Чт\nsubheading\tДаты\nentry\tНовый год\n"
                     "heading\tПредстоящие\nsubheading\tДаты\nentry\t04/01 Воскресенье\n"));
  EXPECT_EQ(RunCli("dates " + PosixPath(dir / "absent.txt") + " 01/01/2026").code, 1);
  EXPECT_EQ(RunCli("dates " + PosixPath(dir / "Support\\Holidays.txt") + " 30/02/2026").code, 1);
  EXPECT_EQ(RunCli("dates-list 01/01/2026 " + PosixPath(dir / "absent")).code, 1);

  // The calendar computes 1901-2099: a day beyond it, real or not, is refused by its year.
  const std::string refused =
      "velmoria-cli: " + U("Год 2100 вне календаря программы: даты считаются для 1901–2099 годов.\n");
  for (const char* day : {" 28/02/2100", " 29/02/2100"}) {
    r = RunCli("dates " + PosixPath(dir / "Support\\Holidays.txt") + day, true);
    EXPECT_EQ(r.code, 1) << day;
    EXPECT_EQ(r.out, refused) << day;
  }
  EXPECT_EQ(RunCli("dates " + PosixPath(dir / "Support\\Holidays.txt") + " 31/12/2099").code, 0);
}

}  // namespace
}  // namespace vm::dates
#endif
