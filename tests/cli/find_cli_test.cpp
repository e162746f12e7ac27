// velmoria-cli find: one text looked for in every kind of book a program folder names.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/cli_runner.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::PosixPath;
using testing::RunCli;
using testing::Spit;
using testing::U;

// Every book holds "Петров" once, in a different place.
void StageBooks(const testing::ScratchFolder& dir) {
  platform::MakeDir(dir / "Support");
  Spit(dir / "Velmoria.ini", "[DATA]\r\nFILENAME=" + (dir / "t.dbp") + "\r\n[NOTE]\r\nFILENAME=" + (dir / "n.dbn") +
                                 "\r\n[WORK]\r\nFILENAME=" + (dir / "t.dbw") + "\r\n[EXCEL]\r\nFILENAME=" +
                                 (dir / "b.xml") + "\r\n");
  Spit(dir / "t.dbp", "/1|Имя|Тел|120|80|0|0|1|-1|-1|0\r\nИван Петров|123\r\nСидоров|456\r\n");
  Spit(dir / "Support\\cont.dbc", "Петров Пётр|инженер|Завод|Москва|||||||||\r\nСидоров|||||||||||ул. Ленина|\r\n");
  Spit(dir / "Support\\firm.dbo", "Окна|ООО Рама|Москва||||||директор Петров\r\n");
  Spit(dir / "Support\\Birthday.txt", "/2|формат\r\n;Петров в комментарии\r\n12/04/День рождения Петрова\r\n");
  Spit(dir / "Support\\Holidays.txt", "/2|формат\r\n1/1/Новый год\r\n");
  Spit(dir / "n.dbn", "FILEFORMAT1\r\n<Дом>\r\n<Ремонт>\r\nпозвонить Петрову\r\n</Ремонт>\r\n</Дом>");
  Spit(dir / "t.dbw", "Позвонить Петрову|в пятницу" + std::string(52, '|') + "\r\n");
  Spit(dir / "b.xml",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
       "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
       "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
       "<Worksheet ss:Name=\"Лист1\"><Table><Row ss:Index=\"2\"><Cell ss:Index=\"2\"><Data ss:Type=\"String\">"
       "Петров</Data></Cell></Row></Table></Worksheet></Workbook>");
}

TEST(FindCli, FindsOneTextInEveryBookAsTypedOnEitherLayoutOrInLatin) {
  testing::ScratchFolder dir;
  StageBooks(dir);
  const std::string expected = U(
      "Данные (t.dbp)\tстрока 1, Имя\tИван Петров\n"
      "Контакты\tПетров Пётр, Ф.И.О.\tПетров Пётр\n"
      "Фирмы\tООО Рама, Комментарий\tдиректор Петров\n"
      "Даты\tBirthday.txt, строка 3\t12/04/День рождения Петрова\n"
      "Блокнот (n.dbn)\tДом \x9B Ремонт, текст\tпозвонить Петрову\n"
      "Дела (t.dbw)\tПозвонить Петрову, Заголовок\tПозвонить Петрову\n"
      "а ля Excel (b.xml)\tЛист1!B2\tПетров\n");
  auto r = RunCli(U("find Петров ") + PosixPath(dir.path()));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, expected);
  // The US layout's keys for "Петров", and the Latin spelling, land on the same places.
  EXPECT_EQ(RunCli("find Gtnhjd " + PosixPath(dir.path())).out, expected);
  EXPECT_EQ(RunCli("find Petroff " + PosixPath(dir.path())).out, expected);
  EXPECT_EQ(RunCli(U("find Ленина ") + PosixPath(dir.path())).out, U("Контакты\tСидоров, Адрес\tул. Ленина\n"));
}

TEST(FindCli, LockedBooksAreSaidNotSearchedAndBadFoldersRefused) {
  testing::ScratchFolder dir;
  StageBooks(dir);
  RunCli("notebook-convert " + PosixPath(dir / "n.dbn") + " " + PosixPath(dir / "n2.dbn") +
         " --password secret --protection legacy");
  Spit(dir / "n.dbn", testing::Slurp(dir / "n2.dbn"));
  auto r = RunCli(U("find Петров ") + PosixPath(dir.path()), true);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find(U("not searched: Блокнот (n.dbn): защищён паролем\n")), std::string::npos);
  EXPECT_EQ(r.out.find(U("Ремонт")), std::string::npos);
  EXPECT_EQ(RunCli("find x " + PosixPath(dir / "absent")).code, 1);
  EXPECT_EQ(RunCli("find").code, 1);
}

}  // namespace
}  // namespace vm
#endif
