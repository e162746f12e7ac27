#include "cards/card_book.h"

#include <gtest/gtest.h>

#include "common/app_util.h"
#include "support/program_folder.h"
#include "support/scratch.h"

namespace vm::cards {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

TEST(Search, PrefixOrStarSubstringWithoutCase) {
  struct Case {
    const char* field;
    const char* search;
    bool match;
  } cases[] = {
      {"Иванов", "ив", true},  {"иванова", "ив", true},  {"Сивцев", "ив", false}, {"Сивцев", "*ив", true},
      {"Иванов", "*ИВ", true}, {"anything", "*", true},  {"anything", "", true},  {"Ёлкин", "ё", true},
      {"ёлкин", "Ё", true},    {"Ив", "Ивa", false},     {"ABC", "abc", true},    {"", "a", false},
      {"Іван", "і", true},     {"ўладзімір", "Ў", true}, {"Єва", "є", true},      {"Ґанна", "*ҐАН", true},
      {"Їжак", "ї", true},     {"Јован", "ј", true},
  };
  for (const Case& c : cases) EXPECT_EQ(SearchMatches(c.field, c.search), c.match) << c.field << " / " << c.search;
}

class ContactsTest : public testing::ProgramFolderTest {
 protected:
  CardBook book{ContactsBook()};
  void LoadWith(const std::string& bytes) {
    MakeFolders({"Support"});
    Spit(dir_ / "Support\\cont.dbc", bytes);
    ASSERT_TRUE(book.Load(dir_.path()).opened);
  }
};

TEST_F(ContactsTest, FilterAddSelectAndEnable) {
  LoadWith(
      "Иванов Пётр|инженер|Завод|Москва|+7 495|||||||адрес|коммент\r\n"
      "иванова Анна|врач|Больница|Тула|||||a@b.ru||||\r\n"
      "Сивцев Олег|водитель|Такси|Омск||||||||| \r\n");
  EXPECT_EQ(book.shown().size(), 3u);
  EXPECT_FALSE(book.Commands().remove);
  EXPECT_TRUE(book.Commands().report);

  book.SetSearch(0, "ив");
  EXPECT_EQ(book.shown(), (std::vector<int>{0, 1}));
  book.SetSearch(0, "*ив");
  EXPECT_EQ(book.shown(), (std::vector<int>{0, 1, 2}));
  book.SetSearch(3, "т");
  EXPECT_EQ(book.shown(), (std::vector<int>{1}));
  EXPECT_TRUE(book.Commands().clearSearch);

  book.Select(0);
  CardCommands c = book.Commands();
  EXPECT_TRUE(c.remove);
  EXPECT_FALSE(c.dialPhone);
  EXPECT_TRUE(c.mail);

  book.ClearSearch();
  EXPECT_EQ(book.current(), -1);
  book.SetSearch(0, "Новиков");
  EXPECT_TRUE(book.shown().empty());
  EXPECT_FALSE(book.Commands().report);
  book.Add();
  EXPECT_EQ(book.records().back(), "Новиков||||||||||||");
  EXPECT_EQ(book.shown().size(), 4u);
  EXPECT_EQ(book.current(), 3);
  EXPECT_EQ(book.search(0), "");
  EXPECT_EQ(book.book().state, kStateChanged);
}

TEST_F(ContactsTest, EditRemoveAndSortThenSave) {
  LoadWith("Борис|||Тула|||||||||\r\nАнна|||Омск|||||||||\r\nВера|||Азов|||||||||\r\n");
  EXPECT_EQ(book.book().state, kStateLoaded);
  book.Select(0);
  EXPECT_FALSE(book.EditField(0, 0, "Борис"));  // unchanged text is no edit
  EXPECT_EQ(book.book().state, kStateLoaded);
  EXPECT_TRUE(book.EditField(0, 12, "две\r\nстроки"));
  book.Sort(3, true);
  EXPECT_EQ(book.current(), -1);
  ASSERT_EQ(book.Save().status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir_ / "Support\\cont.dbc"),
            "Вера|||Азов|||||||||\r\nАнна|||Омск|||||||||\r\nБорис|||Тула|||||||||двеERN:строки\r\n");
  book.Sort(0, false);
  EXPECT_EQ(GetField(book.records()[0], 0), "Вера");
  EXPECT_EQ(GetField(book.records()[2], 0), "Анна");
  // The edited search field must be found by the filter after the edit.
  book.SetSearch(0, "ю");
  EXPECT_TRUE(book.shown().empty());
  book.ClearSearch();
  EXPECT_TRUE(book.EditField(1, 0, "Юрий"));
  book.SetSearch(0, "ю");
  EXPECT_EQ(book.shown().size(), 1u);
  book.Select(0);
  EXPECT_TRUE(book.RemoveCurrent());
  EXPECT_EQ(book.records().size(), 2u);
  EXPECT_FALSE(book.RemoveCurrent());
}

TEST_F(ContactsTest, ColumnWidthsNeedEveryKey) {
  EXPECT_EQ(ColumnWidths(ContactsBook(), app_), (std::vector<int>{140, 140, 140, 140}));
  EXPECT_EQ(ColumnWidths(FirmsBook(), app_), (std::vector<int>{180, 180, 180}));
  app_.PutSetting("CONT", "WIDTH0", "90");
  EXPECT_EQ(ColumnWidths(ContactsBook(), app_), (std::vector<int>{140, 140, 140, 140}));
  SaveColumnWidths(ContactsBook(), {90, 100, 110, 120}, app_);
  EXPECT_EQ(ColumnWidths(ContactsBook(), app_), (std::vector<int>{90, 100, 110, 120}));
}

TEST(Firms, AddMakesNineFieldsAndCommandsFollowTheirFields) {
  ScratchFolder dir;
  platform::MakeDir(dir / "Support");
  Spit(dir / "Support\\firm.dbo", "Хлеб|Пекарня|Тула|1ERN:2||||адрес|\r\n");
  CardBook book(FirmsBook());
  book.Load(dir.path());
  ASSERT_EQ(book.records().size(), 1u);
  EXPECT_EQ(GetField(book.records()[0], 3), "1\r\n2");
  book.Select(0);
  CardCommands c = book.Commands();
  EXPECT_TRUE(c.dialPhone);
  EXPECT_FALSE(c.dialMobile);
  EXPECT_FALSE(c.mail);
  book.SetSearch(2, "омск");
  book.Add();
  EXPECT_EQ(book.records().back(), "||омск||||||");
}

}  // namespace
}  // namespace vm::cards

namespace vm::cards {
namespace {

TEST(CardReports, ContactsTwoPerLineWithCountFirmsOnePerLine) {
  ScratchFolder dir;
  platform::MakeDir(dir / "Support");
  Spit(dir / "Support\\cont.dbc",
       "Анна||||||||||||две ERN:строки\r\nБорис||||||||||||a<b\r\nВера||||||||||||\r\n");
  CardBook contacts(ContactsBook());
  contacts.Load(dir.path());
  CardBook::ReportData r = contacts.WriteReportData(dir / "VisitDat.txt");
  EXPECT_TRUE(r.build);
  EXPECT_TRUE(r.messages.empty());
  std::vector<std::string> lines = SplitTextLines(Slurp(dir / "VisitDat.txt"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find("|1:NAME1:Анна"), std::string::npos);
  EXPECT_NE(lines[0].find("|1:NAME2:Борис"), std::string::npos);
  EXPECT_NE(lines[0].find("|1:COMM2:a&lt;b"), std::string::npos);
  EXPECT_NE(lines[0].find("две |ERN:строки"), std::string::npos);
  EXPECT_NE(lines[1].find("|1:NAME1:Вера"), std::string::npos);
  EXPECT_EQ(lines[1].find("NAME2"), std::string::npos);
  EXPECT_EQ(lines[2], "|0:COUNT:3");

  contacts.SetSearch(0, "Я");
  r = contacts.WriteReportData(dir / "none.txt");
  EXPECT_FALSE(r.build);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_STREQ(r.messages[0], "Отсутствуют данные для вывода отчета!");
  EXPECT_EQ(Slurp(dir / "none.txt"), "<missing>");  // nothing touched

  Spit(dir / "Support\\firm.dbo", "Хлеб|Пекарня|Тула||||||\r\nМолоко|Ферма|Омск||||||\r\nСыр|Завод|Азов||||||\r\n");
  CardBook firms(FirmsBook());
  firms.Load(dir.path());
  ASSERT_TRUE(firms.WriteReportData(dir / "FirmDat.txt").build);
  lines = SplitTextLines(Slurp(dir / "FirmDat.txt"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].substr(0, 12), "|1:PROD:Сыр|");
  EXPECT_EQ(lines[2].find("COUNT"), std::string::npos);
}

}  // namespace
}  // namespace vm::cards
