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

  r = RunCli("data-save " + PosixPath(dir / "t.dbp") + " " + PosixPath(dir / "s.dbp") +
             " --password pw --protection legacy");
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

TEST(DataCli, CsvOutAndBackIn) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "t.dbp",
                "/4|Имя|Скрыто|Заметка|100|100|100|1|0|1|-1|-1|-1|0\r\nИван|x|да, нет\r\nПётр|y|");
  auto r = RunCli("data-csv " + PosixPath(dir / "t.dbp") + " " + PosixPath(dir / "t.csv"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "exported 2\n");
  EXPECT_EQ(testing::Slurp(dir / "t.csv"),
            "\xEF\xBB\xBF" + U("Имя,Заметка\r\nИван,\"да, нет\"\r\nПётр,\r\n"));

  r = RunCli("csv-data " + PosixPath(dir / "t.csv") + " " + PosixPath(dir / "back.dbp"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "encoding utf-8\nseparator ,\ncolumns 2\nrecords 2\n");
  EXPECT_EQ(RunCli("data " + PosixPath(dir / "back.dbp")).out,
            U("columns\tИмя\tЗаметка\nwidths\t100\t100\nshown\t1\t1\nspecial\t-1\t-1\t-1\nprotected\tno\n"
              "Иван\tда, нет\nПётр\t\n"));

  // Windows-1251 with ";", a "#" and a long row; then UTF-8 with characters Windows-1251 lacks.
  testing::Spit(dir / "w.csv", "a;b\r\n\xC0#;\"\xB9\"\r\n1;2;3\r\n");
  r = RunCli("csv-data " + PosixPath(dir / "w.csv") + " " + PosixPath(dir / "w.dbp"));
  EXPECT_EQ(
      r.out,
      "encoding windows-1251\nseparator ;\ncolumns 3\nrecords 2\ndropped-hash\t1\t2\nlong-rows\t1\t3\n");
  testing::Spit(dir / "u.csv", "a\n\xE2\x82\xAC\xE2\x84\xA2\xC3\xBC\n\xC3\xBC\n");
  r = RunCli("csv-data " + PosixPath(dir / "u.csv") + " " + PosixPath(dir / "u.dbp"));
  EXPECT_EQ(r.out, "encoding utf-8\nseparator ,\ncolumns 1\nrecords 2\nunconvertible\t2\t2,3\n");
  // An inch mark in the header; a UTF-8 file with a line saved in Windows-1251.
  testing::Spit(dir / "i.csv", U("Диагональ 15\";Цена, руб;Кол-во\r\n15,6;1 200,50;3\r\n"));
  r = RunCli("csv-data " + PosixPath(dir / "i.csv") + " " + PosixPath(dir / "i.dbp"));
  EXPECT_EQ(r.out, "encoding utf-8\nseparator ;\ncolumns 3\nrecords 1\n");
  testing::Spit(dir / "m.csv", U("Имя;Город\r\nАнна;Москва\r\n") + "Пётр;Тверь\r\n" + U("Лев;Уфа\r\n"));
  r = RunCli("csv-data " + PosixPath(dir / "m.csv") + " " + PosixPath(dir / "m.dbp"));
  EXPECT_EQ(r.out, "encoding utf-8\nseparator ;\ncolumns 2\nrecords 3\nnot-utf8\t1\t3\n");

  // Refused: a protected table without its password, a file that is not text, no file.
  RunCli("data-save " + PosixPath(dir / "t.dbp") + " " + PosixPath(dir / "p.dbp") + " --password pw");
  EXPECT_EQ(RunCli("data-csv " + PosixPath(dir / "p.dbp") + " " + PosixPath(dir / "p.csv")).code, 1);
  EXPECT_EQ(
      RunCli("data-csv " + PosixPath(dir / "p.dbp") + " " + PosixPath(dir / "p.csv") + " --password pw").code,
      0);
  testing::Spit(dir / "bin.csv", std::string("PK\x03\x04\0\0", 6));
  EXPECT_EQ(RunCli("csv-data " + PosixPath(dir / "bin.csv") + " " + PosixPath(dir / "bin.dbp")).code, 1);
  EXPECT_EQ(testing::Slurp(dir / "bin.dbp"), "<missing>");
  EXPECT_EQ(RunCli("csv-data " + PosixPath(dir / "none.csv") + " " + PosixPath(dir / "x.dbp")).code, 1);
}

}  // namespace
}  // namespace vm::data
#endif
