#include "data/data_book.h"

#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/app_util.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

DataBook Book(std::vector<std::string> names, std::vector<int> shown, std::vector<std::string> lines) {
  DataBook b;
  for (size_t c = 0; c < names.size(); ++c) b.table().def.AddColumnEntry(names[c], 100, shown[c]);
  for (auto& l : lines) b.table().records.push_back({l});
  b.table().path = "C:\\t.dbp";
  b.Refilter();
  return b;
}

std::vector<std::string> Lines(const DataBook& b) {
  std::vector<std::string> out;
  for (const auto& r : b.table().records) out.push_back(r.line);
  return out;
}

TEST(DataView, FiltersFieldsZeroToTwoByPrefixOrStarWithoutCase) {
  // The third column is hidden: the filters still look at fields 0, 1 and 2.
  DataBook b = Book({"Имя", "Город", "Скрыто", "Телефон"}, {1, 1, 0, 1},
                    {"Иванов|Москва|аа|1", "ПЕТРОВ|Тверь|бб|2", "Сидорова|москва|ёж|3", "Ёлкин|Орёл|Ёж|4"});
  ASSERT_EQ(b.view().size(), 4u);
  b.SetFilter(0, "пет");
  EXPECT_EQ(b.view(), (std::vector<int>{1}));
  b.SetFilter(0, "ов");
  EXPECT_TRUE(b.view().empty());
  b.SetFilter(0, "*ОВ");
  EXPECT_EQ(b.view(), (std::vector<int>{0, 1, 2}));
  b.SetFilter(1, "МОС");
  EXPECT_EQ(b.view(), (std::vector<int>{0, 2}));
  b.SetFilter(1, "");
  b.SetFilter(0, "");
  b.SetFilter(2, "ЁЖ");  // a hidden field, folded Ё
  EXPECT_EQ(b.view(), (std::vector<int>{2, 3}));
  EXPECT_TRUE(b.Commands().clearInputs);
  b.SetFilter(2, "*");
  EXPECT_EQ(b.view().size(), 4u);
  b.ClearFilters();
  EXPECT_FALSE(b.Commands().clearInputs);
  EXPECT_EQ(b.view().size(), 4u);
}

TEST(DataView, ListColumnsMapToShownFieldsForShowingAndEditing) {
  DataBook b = Book({"A", "B", "C", "D"}, {1, 0, 1, 1}, {"a0|b0|c0|d0", "a1|b1|c1|d1"});
  EXPECT_EQ(ShownColumns(b.table().def), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(FieldOfListColumn(b.table().def, 1), 2);
  EXPECT_EQ(FieldOfListColumn(b.table().def, 3), -1);
  EXPECT_EQ(b.Cell(1, 1), "c1");
  b.table().def.modified = kTableUnchanged;
  EXPECT_FALSE(b.Edit(1, 1, "c1"));  // the same text changes nothing
  EXPECT_FALSE(b.modified());
  EXPECT_TRUE(b.Edit(1, 1, "new"));  // list column 1 is table column 2: B is hidden
  EXPECT_EQ(b.table().records[1].line, "a1|b1|new|d1");
  EXPECT_TRUE(b.modified());
  // Under a filter the row is the view's, not the records'.
  b.SetFilter(0, "a1");
  EXPECT_TRUE(b.Edit(0, 0, "A1"));
  EXPECT_EQ(b.table().records[1].line, "A1|b1|new|d1");
  EXPECT_FALSE(b.Edit(5, 0, "x"));

  auto tips = FilterTips(b.table().def);
  EXPECT_EQ(tips[0], "A");
  EXPECT_EQ(tips[1], "C");
  EXPECT_EQ(tips[2], "D");
  EXPECT_EQ(EnabledFilters(b.table().def), 3);
  b.table().def.shown = {0, 0, 1, 0};
  EXPECT_EQ(EnabledFilters(b.table().def), 1);
  EXPECT_EQ(FilterTips(b.table().def)[1], "");
}

TEST(DataView, AddedLinesHaveAFieldPerColumnAndAtLeastThree) {
  EXPECT_EQ(NewRecordLine({"a", "b", "c"}, 1), "a|b|c");
  EXPECT_EQ(NewRecordLine({"a", "b", "c"}, 3), "a|b|c");
  EXPECT_EQ(NewRecordLine({"a", "", ""}, 5), "a||||");
  // The inputs are fields like any other: a "|" or a last "#" typed there moved the
  // fields, and the line went to the rejected lines when the table was opened again.
  CTableRecord typed{NewRecordLine({"Кабель 2|3 м", "Язык C#", "PATTERN: 1"}, 4)};
  EXPECT_EQ(CountFieldSeparators(typed.line), 3);
  EXPECT_EQ(typed.Field(0), "Кабель 2|3 м");
  EXPECT_EQ(typed.Field(1), "Язык C");
  EXPECT_EQ(UndoLineEscapes(typed.line), typed.line);

  DataBook b = Book({"A", "B", "C", "D"}, {1, 1, 1, 1}, {"x|1|2|3"});
  b.SetFilter(0, "Ново");
  int row = b.Add();
  EXPECT_EQ(b.table().records.back().line, "Ново|||");
  EXPECT_EQ(row, 0);  // the filter keeps it: the only row shown
  EXPECT_EQ(b.selected(), 0);
  EXPECT_EQ(b.filter(0), "Ново");  // the inputs stay
}

TEST(DataView, DeleteRemovesTheRecordShownInTheSelectedRow) {
  DataBook b = Book({"A"}, {1}, {"a||", "b||", "ab||"});
  EXPECT_FALSE(b.RemoveSelected());
  b.SetFilter(0, "*b");
  b.Select(1);  // "ab"
  EXPECT_TRUE(b.Commands().remove);
  EXPECT_TRUE(b.RemoveSelected());
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"a||", "b||"}));
  EXPECT_EQ(b.view(), (std::vector<int>{1}));
  EXPECT_EQ(b.selected(), -1);
  EXPECT_TRUE(b.modified());
}

TEST(DataSort, ColumnKindsFollowEveryNonEmptyField) {
  struct Case {
    std::vector<std::string> fields;
    int kind;
  } cases[] = {
      {{"12", "3", ""}, kSortInteger},
      {{"1,5", "2.25"}, kSortDecimal},
      {{"1,5", "3"}, kSortDecimal | kSortInteger},  // a mix: sorted as text
      {{"01.02.2020", "5/6/1999"}, kSortDate},
      {{"32.01.2020"}, kSortText},  // no such day: and not a decimal either
      {{"3.5"}, kSortDecimal},
      {{"abc", "1"}, kSortText},
      {{""}, 0},
  };
  for (const Case& c : cases) {
    std::vector<CTableRecord> records;
    for (const auto& f : c.fields) records.push_back({"x|" + f});
    EXPECT_EQ(ColumnKind(records, 1), c.kind) << c.fields[0];
  }
}

TEST(DataSort, SortsByKindAndDirection) {
  struct Case {
    std::vector<std::string> in;
    bool ascending;
    std::vector<std::string> out;
  } cases[] = {
      {{"12", "3", ""}, true, {"", "3", "12"}},  // empty counts as 0
      {{"12", "3", ""}, false, {"12", "3", ""}},
      {{"99999999999999999999", "100000000000000000000", "7"},
       true,
       {"7", "99999999999999999999", "100000000000000000000"}},
      {{"1,5", "1,25", "0,9"}, true, {"0,9", "1,25", "1,5"}},
      {{"1,5", "3", "10"}, true, {"1,5", "10", "3"}},            // comma decimal with an integer: text
      {{"1.5", "1.25", "10.0"}, true, {"1.25", "1.5", "10.0"}},  // fractions as fractions
      {{"01.02.2020", "31.12.2019", "5/1/2020"}, true, {"31.12.2019", "5/1/2020", "01.02.2020"}},
      {{"б", "А", "а", "Я"}, true, {"А", "Я", "а", "б"}},  // byte order of cp1251
  };
  for (const Case& c : cases) {
    std::vector<CTableRecord> records;
    for (const auto& f : c.in) records.push_back({f + "|tail"});
    SortRecords(records, 0, c.ascending);
    std::vector<std::string> got;
    for (const auto& r : records) got.push_back(r.Field(0));
    EXPECT_EQ(got, c.out) << c.in[0];
  }
}

TEST(DataSort, SortThroughTheBookUsesTheShownColumnAndMarksChanged) {
  DataBook b = Book({"A", "B", "C"}, {0, 1, 1}, {"x|2|b", "y|10|a", "z|1|c"});
  b.table().def.modified = kTableUnchanged;
  b.Sort(0, true);  // list column 0 is table column 1
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"z|1|c", "x|2|b", "y|10|a"}));
  EXPECT_TRUE(b.modified());
  b.Sort(1, false);
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"z|1|c", "x|2|b", "y|10|a"}));
}

TEST(DataCommandsTest, EnablingFollowsSelectionLinksFileAndLock) {
  DataBook b = Book({"Имя", "Тел", "Почта", "Сайт"}, {1, 1, 1, 1}, {"a|123||www.x.ru", "b|||"});
  b.table().def.phoneColumn = 1;
  b.table().def.emailColumn = 2;
  b.table().def.webColumn = 3;
  DataCommands c = b.Commands();
  EXPECT_FALSE(c.remove || c.dial || c.mail || c.web || c.loadInfo);
  EXPECT_TRUE(c.add && c.save && c.settings);
  b.Select(0);
  c = b.Commands();
  EXPECT_TRUE(c.remove && c.dial && c.web);
  EXPECT_FALSE(c.mail);  // the field is empty
  // Under a filter the action takes the record shown in the selected row.
  b.SetFilter(0, "b");
  b.Select(0);
  EXPECT_FALSE(b.Commands().dial);
  EXPECT_EQ(b.PlanAction(CardAction::kWeb).kind, ShellRequest::kNothing);
  b.SetFilter(0, "a");
  b.Select(0);
  ShellRequest r = b.PlanAction(CardAction::kPhone);
  EXPECT_EQ(r.kind, ShellRequest::kDial);
  EXPECT_EQ(r.number, "123");
  EXPECT_EQ(b.PlanAction(CardAction::kWeb).target, "www.x.ru");

  // Setting a password keeps the list but stops add, save and settings until it is entered.
  EXPECT_TRUE(b.ApplyPassword("секрет", false));
  EXPECT_TRUE(b.Locked());
  EXPECT_FALSE(b.listHidden());
  c = b.Commands();
  EXPECT_FALSE(c.add || c.save || c.settings);
  EXPECT_FALSE(b.ApplyPassword("неверно", false));
  EXPECT_TRUE(b.Locked());
  EXPECT_TRUE(b.ApplyPassword("секрет", false));
  EXPECT_FALSE(b.Locked());
  EXPECT_EQ(b.table().password, "секрет");
  EXPECT_TRUE(b.Commands().save);

  b.table().path.clear();
  EXPECT_FALSE(b.Commands().add);
  b.table().loadMessage = "x";
  EXPECT_TRUE(b.Commands().loadInfo);
}

TEST(DataBookFiles, ProtectedFileOpensHiddenAndShowsAfterThePassword) {
  testing::ScratchFolder dir;
  DataBook b = Book({"Имя", "Телефон"}, {1, 1}, {"Анна|1", "Борис|2"});
  b.table().path = dir / "t.dbp";
  b.ApplyPassword("пароль", false, Protection::kLegacy);  // strong: data_protection_test
  ASSERT_EQ(b.Save().status, TableSaveStatus::kSaved);

  DataBook again;
  again.SetFilter(0, "Б");
  again.Open(dir / "t.dbp");
  EXPECT_TRUE(again.listHidden());
  EXPECT_TRUE(again.Locked());
  EXPECT_EQ(again.view(), (std::vector<int>{1}));  // the filter stays
  EXPECT_FALSE(again.ApplyPassword("Пароль", false));
  EXPECT_TRUE(again.listHidden());
  EXPECT_TRUE(again.ApplyPassword("пароль", true, Protection::kLegacy));  // "Снять пороль"
  EXPECT_FALSE(again.listHidden());
  EXPECT_TRUE(again.table().password.empty());
  EXPECT_TRUE(again.modified());

  again.Open(dir / "missing.dbp");
  EXPECT_TRUE(again.view().empty());
  again.Close();
  EXPECT_TRUE(again.path().empty());
}

TEST(DataBookFiles, StartPathFallsBackToPersonalAndNamesGetTheExtension) {
  testing::ScratchFolder dir;
  platform::MakeDir(dir / "Personal");
  testing::Spit(dir / "Personal\\t.dbp", "/4|A|100|1|-1|-1|-1|0");
  testing::Spit(dir / "here.dbp", "/4|A|100|1|-1|-1|-1|0");
  EXPECT_EQ(StartFilePath(true, dir / "here.dbp", dir.path()), dir / "here.dbp");
  EXPECT_EQ(StartFilePath(true, "Z:\\gone\\t.dbp", dir.path()), dir / "Personal\\t.dbp");
  EXPECT_EQ(StartFilePath(true, "Z:\\gone\\u.dbp", dir.path()), "");
  EXPECT_EQ(StartFilePath(false, dir / "here.dbp", dir.path()), "");
  EXPECT_EQ(WithTableExtension("C:\\a\\b"), "C:\\a\\b.dbp");
  EXPECT_EQ(WithTableExtension("C:\\a\\b.dbp"), "C:\\a\\b.dbp");
  EXPECT_EQ(ReplaceQuestion("C:\\b.dbp"), "C:\\b.dbp уже существует. \n Заменить?");
  EXPECT_EQ(RecordCountText(20), "Всего записей: 20");
}

}  // namespace
}  // namespace vm::data

namespace vm::data {
namespace {

TEST(DataBookFiles, CreateAndSaveAsKeepWhatIsShown) {
  testing::ScratchFolder dir;
  DataBook b;
  ASSERT_EQ(b.Create(dir / "n.dbp", NewTableHeader({"Имя", "Телефон"})).status, TableSaveStatus::kSaved);
  EXPECT_EQ(b.table().def.names, (std::vector<std::string>{"Имя", "Телефон"}));
  EXPECT_EQ(b.Add(), 0);
  // Without saving, the copy holds the file as it was on disk, and the table is still
  // changed and now belongs to the copy.
  ASSERT_NE(b.SaveAs(dir / "copy.dbp", false).status, TableSaveStatus::kFailed);
  EXPECT_EQ(b.path(), dir / "copy.dbp");
  EXPECT_EQ(testing::Slurp(dir / "copy.dbp"), testing::Slurp(dir / "n.dbp"));
  EXPECT_TRUE(b.modified());
  EXPECT_EQ(b.SaveAs(dir / "third.dbp", true).status, TableSaveStatus::kSaved);
  DataBook back;
  back.Open(dir / "third.dbp");
  EXPECT_EQ(back.table().records.size(), 1u);
  // A file that cannot be written leaves everything as it was.
  EXPECT_EQ(b.Create(dir / "no\\such\\folder.dbp", "/3|A|100|1|-1|-1|-1|0").status, TableSaveStatus::kFailed);
  EXPECT_EQ(b.path(), dir / "third.dbp");
  EXPECT_EQ(b.SaveAs(dir / "no\\such\\folder.dbp", true).status, TableSaveStatus::kFailed);
  EXPECT_EQ(b.path(), dir / "third.dbp");
}

// A table whose file could not be read shows nothing of it; columns the user then sets
// up must not replace the file by a save the program makes by itself. A confirmed save
// or a copy elsewhere writes the table shown, never the unread file's bytes.
TEST(DataBookFiles, AFileThatCouldNotBeReadIsNotBoundToTheTable) {
  testing::ScratchFolder dir;
  const std::string path = dir / "t.dbp";
  const std::string kept = "/3|Имя|100|1|-1|-1|-1|0\r\nАнна\r\n";
  testing::Spit(path, kept);
  DataBook b;
  TableLoad load;
  {
    testing::HeldFiles files;
    files.held.insert(path);
    load = b.Open(path);
  }
  EXPECT_FALSE(load.opened);
  EXPECT_NE(load.error.find(path), std::string::npos);
  EXPECT_TRUE(b.unread());
  EXPECT_EQ(b.path(), path) << "the page still names the file";
  EXPECT_EQ(b.Save().status, TableSaveStatus::kUnchanged);
  AddColumn(b.table(), "Телефон");
  ASSERT_TRUE(b.modified());
  TableSave refused = b.Save();
  EXPECT_EQ(refused.status, TableSaveStatus::kFailed);
  EXPECT_NE(refused.error.find("не был прочитан"), std::string::npos);
  EXPECT_EQ(testing::Slurp(path), kept);

  ASSERT_EQ(b.SaveAs(dir / "copy.dbp", false).status, TableSaveStatus::kSaved);
  EXPECT_FALSE(b.unread());
  EXPECT_NE(testing::Slurp(dir / "copy.dbp").find("Телефон"), std::string::npos) << "the table, not the old bytes";
  EXPECT_EQ(testing::Slurp(path), kept);

  b.Open(path);  // readable now: bound again
  EXPECT_FALSE(b.unread());
  ASSERT_EQ(b.table().records.size(), 1u);
  {
    testing::HeldFiles files;
    files.held.insert(path);
    b.Open(path);
  }
  AddColumn(b.table(), "Телефон");
  b.ConfirmReplace();
  EXPECT_EQ(b.Save().status, TableSaveStatus::kSaved);
  EXPECT_NE(testing::Slurp(path).find("Телефон"), std::string::npos);
}

}  // namespace
}  // namespace vm::data
