#include "data/data_file.h"

#include <gtest/gtest.h>

#include "common/header_codec.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

std::vector<std::string> Lines(const DataTable& t) {
  std::vector<std::string> out;
  for (const auto& r : t.records) out.push_back(r.line);
  return out;
}

// Header fields split a run at a time agree with the byte-by-byte rule on every line.
TEST(DataFileHeader, FieldsFollowTheEscapeCharacter) {
  auto plain = [](std::string_view line, char escape) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '|' && (i == 0 || line[i - 1] != escape))
        fields.emplace_back();
      else if (line[i] != escape)
        fields.back() += line[i];
    }
    return fields;
  };
  const char* const pieces[] = {"|", "|", "\\", "#", "\\|", "#|", "a", "1"};
  uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (size_t len = next() % 20; line.size() < len;) line += pieces[next() % std::size(pieces)];
    for (char escape : {'\\', '#', '|'}) EXPECT_EQ(HeaderFields(line, escape), plain(line, escape)) << line;
  }
}

TEST(DataFileHeader, EveryVersionReads) {
  struct Case {
    std::string name;
    std::string bytes;
    std::vector<std::string> names;
    std::vector<unsigned> widths;
    std::vector<int> shown;
    int phone, email, web, protection;
    std::vector<std::string> records;
  } cases[] = {
      {"v4",
       "/4|Имя|Тел|120|90|1|0|1|-1|-1|" + EncodeHeader("t.dbp") + "\r\nа|1\r\nб|2",
       {"Имя", "Тел"},
       {120, 90},
       {1, 0},
       1,
       -1,
       -1,
       0,
       {"а|1", "б|2"}},
      {"v3 from the new-table dialog",
       "/3|A|B|100|100|1|1|-1|-1|-1|0",
       {"A", "B"},
       {100, 100},
       {1, 1},
       -1,
       -1,
       -1,
       0,
       {}},
      {"v1 shows every column",
       "/1|A|B|5|6|0|0|0|1|-1|x\r\n|",
       {"A", "B"},
       {5, 6},
       {1, 1},
       0,
       1,
       -1,
       0,
       {"|"}},
      {"v4 escapes", "/4|a\\|b|c\\\\d|1|2|1|1|-1|-1|-1|k", {"a|b", "cd"}, {1, 2}, {1, 1}, -1, -1, -1, 0, {}},
      {"link column beyond the last one", "/4|A|7|1|1|-5|0|k", {"A"}, {7}, {1}, -1, -1, 0, 0, {}},
      {"v2", "/2|A|B|0|30|1|-1|5|1\r\nx|y", {"A", "B"}, {100, 30}, {1, 1}, 1, -1, -1, 1, {"x|y"}},
      {"v2 protection above 2", "/2|A|0|-1|-1|-1|3", {"A"}, {100}, {1}, -1, -1, -1, 0, {}},
      {"v2 escapes with hash", "/2|a#|b|7|-1|-1|-1|0", {"a|b"}, {7}, {1}, -1, -1, -1, 0, {}},
      {"no header",
       "\r\nx#|y|z|\r\na|b|c",
       {"", "", ""},
       {100, 100, 100},
       {1, 1, 1},
       -1,
       -1,
       -1,
       0,
       {"x#|y|z|", "a|b|c"}},
      {"a later header is ignored",
       "/4|A|1|1|-1|-1|-1|k\r\n/4|B|C|1|1|1|1|-1|-1|-1|k\r\n/other\r\nv",
       {"A"},
       {1},
       {1},
       -1,
       -1,
       -1,
       0,
       {"v"}},
      {"short header", "/4|", {}, {}, {}, -1, -1, -1, 0, {}},
  };
  for (const Case& c : cases) {
    DataTable t;
    std::string rejected;
    TableLoad load = LoadTableBytes(t, c.bytes, rejected);
    EXPECT_EQ(load.rejected, 0) << c.name;
    EXPECT_EQ(t.def.names, c.names) << c.name;
    EXPECT_EQ(t.def.widths, c.widths) << c.name;
    EXPECT_EQ(t.def.shown, c.shown) << c.name;
    EXPECT_EQ(t.def.lastColumn, static_cast<int>(c.names.size()) - 1) << c.name;
    EXPECT_EQ(t.def.phoneColumn, c.phone) << c.name;
    EXPECT_EQ(t.def.emailColumn, c.email) << c.name;
    EXPECT_EQ(t.def.webColumn, c.web) << c.name;
    EXPECT_EQ(t.def.protection, c.protection) << c.name;
    EXPECT_EQ(Lines(t), c.records) << c.name;
    EXPECT_FALSE(t.locked) << c.name;
  }
}

class DataFileTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  DataTable table;
  void SetUp() override { table.path = dir / "table.dbp"; }
  void TearDown() override { platform::SetSafeReplaceFaultHook(nullptr); }

  DataTable Reload() {
    DataTable t;
    t.path = table.path;
    LoadTable(t);
    return t;
  }
};

TEST_F(DataFileTest, WritesVersionFourAndOnlyWhenChanged) {
  table.def.AddColumnEntry("Имя", 120, 1);
  table.def.AddColumnEntry("Телефон", 100, 1);
  table.def.phoneColumn = 1;
  table.records = {{"Иван|123"}};
  EXPECT_EQ(SaveTable(table).status, TableSaveStatus::kUnchanged);
  EXPECT_EQ(Slurp(table.path), "<missing>");

  table.def.modified = kTableChanged;
  ASSERT_EQ(SaveTable(table).status, TableSaveStatus::kSaved);
  EXPECT_EQ(table.def.modified, kTableUnchanged);
  EXPECT_EQ(Slurp(table.path),
            "/4|Имя|Телефон|120|100|1|1|1|-1|-1|" + EncodeHeader("table.dbp") + "\r\nИван|123");
  EXPECT_EQ(table.def.key, EncodeHeader("table.dbp"));

  DataTable none;
  EXPECT_EQ(SaveTable(none).status, TableSaveStatus::kUnchanged);  // no path
}

TEST_F(DataFileTest, RejectedLinesGoToTheReport) {
  Spit(table.path, "/4|A|B|C|1|1|1|1|1|1|-1|-1|-1|k\r\nok|1|2\r\nbad|1\r\nmore|1|2|3");
  TableLoad load = LoadTable(table);
  EXPECT_EQ(load.rejected, 1);
  EXPECT_EQ(Lines(table), (std::vector<std::string>{"ok|1|2", "more|1|2|3"}));
  std::string side = dir / "table.err";
  EXPECT_EQ(table.loadMessage, "Создан файл " + side + " с незагруженными строками");
  EXPECT_EQ(Slurp(side),
            "В строке должно быть 2 разделителей '|'.\n\nФормат файла:\nНезагруженная строка\n"
            "Количество разделителей\n\nbad|1\n1\n");
  EXPECT_EQ(table.def.modified, kTableChanged);
  ASSERT_EQ(SaveTable(table).status, TableSaveStatus::kSaved);
  EXPECT_EQ(Slurp(table.path).find("bad"), std::string::npos);
}

// Without the ".err" report a rejected line is carried: the next save writes it back
// (scrambled again in a protected table), and the load message tells the user.
TEST_F(DataFileTest, RejectedLinesWithoutReportStayInTheTableFile) {
  for (const char* password : {"", "pw"}) {
    SCOPED_TRACE(password);
    platform::RemoveFile(dir / "table.err");
    DataTable t;
    t.path = table.path;
    t.def.AddColumnEntry("A", 100, 1);
    t.def.AddColumnEntry("B", 100, 1);
    t.def.AddColumnEntry("C", 100, 1);
    t.records = {{"ok|1|2"}, {"bad|1"}};
    t.password = password;
    t.scheme = Protection::kLegacy;  // the old scheme's lines (strong: data_protection_test)
    t.def.modified = kTableChanged;
    ASSERT_EQ(SaveTable(t).status, TableSaveStatus::kSaved);

    platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kOpen; });
    LoadTable(table);
    platform::SetSafeReplaceFaultHook(nullptr);
    std::string side = dir / "table.err";
    EXPECT_EQ(Slurp(side), "<missing>");
    EXPECT_EQ(table.loadMessage,
              "Не удалось создать файл " + side +
                  " с незагруженными строками.\n Эти строки (1) не загружены и сохраняются "
                  "в файле без изменений.");
    EXPECT_EQ(Lines(table), (std::vector<std::string>{"ok|1|2"}));
    EXPECT_EQ(table.def.modified, kTableUnchanged);
    table.records[0].SetField(0, "better");
    table.def.modified = kTableChanged;
    ASSERT_EQ(SaveTable(table).status, TableSaveStatus::kSaved);

    DataTable back = Reload();
    EXPECT_EQ(Lines(back), (std::vector<std::string>{"better|1|2"}));
    EXPECT_EQ(back.password, password);
    EXPECT_NE(Slurp(side).find("\nbad|1\n1\n"), std::string::npos);  // now in the report
  }
}

TEST_F(DataFileTest, OlderLayoutStopsLoadingAndForgetsThePath) {
  std::string original = "/4|A|1|1|-1|-1|-1|k\r\nx\r\n<Records>\r\ny";
  Spit(table.path, original);
  std::string path = table.path;
  TableLoad load = LoadTable(table);
  EXPECT_TRUE(load.oldFormat);
  EXPECT_EQ(table.loadMessage,
            "Файл " + path +
                " старой версии, загрузка прекращена.\n Выполните конвертацию файла программой "
                "\"Fardelle.exe\"");
  EXPECT_TRUE(table.path.empty());
  EXPECT_TRUE(table.records.empty());
  EXPECT_EQ(table.def.lastColumn, -1);
  table.def.modified = kTableChanged;
  EXPECT_EQ(SaveTable(table).status, TableSaveStatus::kUnchanged);
  EXPECT_EQ(Slurp(path), original);
}

TEST_F(DataFileTest, UnreadableFileLeavesTheTableEmpty) {
  table.records = {{"old"}};
  TableLoad load = LoadTable(table);
  EXPECT_FALSE(load.opened);
  EXPECT_FALSE(load.error.empty());
  EXPECT_TRUE(table.records.empty());
}

TEST_F(DataFileTest, ProtectedTableRoundTrip) {
  table.def.AddColumnEntry("Имя", 120, 1);
  table.def.AddColumnEntry("Код^", 100, 0);
  table.def.webColumn = 0;
  table.records = {{"Иван|1"}, {"  leading blanks|2"}, {"|"}, {"ctl \x01\x0B\x0C|3"}, {"=Sdbnsre|4"}};
  table.password = "тайна";
  table.scheme = Protection::kLegacy;  // the old scheme (strong: data_protection_test)
  ASSERT_EQ(SaveTable(table).status, TableSaveStatus::kSaved);
  std::string bytes = Slurp(table.path);
  EXPECT_EQ(bytes.find("Имя"), std::string::npos);
  EXPECT_EQ(bytes.find("Иван"), std::string::npos);
  EXPECT_EQ(bytes.find("<Records"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n" + Scramble("\nИван|1") + "\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(0, 4 + EncodeHeader("Имя").size()), "/4|" + EncodeHeader("Имя") + "|");

  DataTable back = Reload();
  EXPECT_TRUE(back.locked);
  EXPECT_EQ(back.password, "тайна");
  EXPECT_EQ(back.def.protection, kTableProtected);
  EXPECT_EQ(back.def.names, table.def.names);
  EXPECT_EQ(back.def.shown, table.def.shown);
  EXPECT_EQ(back.def.webColumn, 0);
  EXPECT_EQ(Lines(back), Lines(table));  // leading blanks kept
  EXPECT_EQ(back.def.modified, kTableUnchanged);

  // Unchanged, it is still rewritten; removing the password writes it plain.
  Spit(table.path, "");
  EXPECT_EQ(SaveTable(back).status, TableSaveStatus::kSaved);
  EXPECT_EQ(Slurp(table.path), bytes);
  ApplyTablePassword(back, "тайна", true);
  ASSERT_EQ(SaveTable(back).status, TableSaveStatus::kSaved);
  DataTable plain = Reload();
  EXPECT_FALSE(plain.locked);
  EXPECT_EQ(plain.password, "");
  EXPECT_EQ(plain.def.names, table.def.names);
  EXPECT_EQ(Lines(plain), Lines(table));
}

TEST_F(DataFileTest, RecordsThePlainLinesCannotHoldRoundTrip) {
  table.def.AddColumnEntry("a\\b|c", 100, 1);
  table.records = {{""},
                   {"/starts like a header"},
                   {"/4|x|1|1|-1|-1|-1|"},
                   {"has <Records inside"},
                   {"\x1B"
                    "41"},
                   {"a\rb"},
                   {"a\nb"},
                   {std::string("nul\0", 4)},
                   {"normal#|x"}};
  table.def.modified = kTableChanged;
  ASSERT_EQ(SaveTable(table).status, TableSaveStatus::kSaved);
  DataTable back = Reload();
  EXPECT_EQ(back.loadMessage, "");
  EXPECT_EQ(back.def.names, table.def.names);
  EXPECT_EQ(Lines(back), Lines(table));
  EXPECT_NE(Slurp(table.path).find("\r\nnormal#|x"), std::string::npos);  // ordinary lines as they were

  // A column named like the older layout's mark would stop every load of the file.
  RenameColumn(back, 0, "<Records>");
  ASSERT_EQ(SaveTable(back).status, TableSaveStatus::kSaved);
  EXPECT_EQ(Reload().def.names, (std::vector<std::string>{"<Records>"}));
}

// A table is protected only when its key says so unambiguously: copies and renames of
// plain tables, with and without extensions, never read as protected (a plain table
// saved as "tab2" and copied to "tab" once did, and its records were lost), and
// protected ones open under any name with their password.
TEST_F(DataFileTest, CopiesAndRenamesKeepTheirProtection) {
  const char* savedAs[] = {"tab2", "tab.dbp", "t", "TAB.DBP", "a.dbp.bak", "x.dbpz"};
  const char* copiedTo[] = {"tab", "tab2", "tab.dbp", "t.dbp", "TAB", "a.dbp", "other", "x.dbp", "x"};
  for (const char* password : {"", "pw"}) {
    for (const char* from : savedAs) {
      DataTable t;
      t.def.AddColumnEntry("Имя", 100, 1);
      t.def.AddColumnEntry("Телефон", 100, 1);
      t.records = {{"Иван|123"}};
      t.password = password;
      t.scheme = Protection::kLegacy;
      t.def.modified = kTableChanged;
      t.path = dir / from;
      ASSERT_EQ(SaveTable(t).status, TableSaveStatus::kSaved);
      for (const char* to : copiedTo) {
        SCOPED_TRACE(std::string(from) + " -> " + to + " password " + password);
        Spit(dir / to, Slurp(dir / from));
        DataTable back;
        back.path = dir / to;
        LoadTable(back);
        EXPECT_EQ(back.def.protection, *password ? kTableProtected : kTablePlain);
        EXPECT_EQ(back.password, password);
        EXPECT_EQ(back.def.names, t.def.names);
        EXPECT_EQ(Lines(back), Lines(t));
        EXPECT_EQ(back.loadMessage, "");
      }
    }
  }
  // A key without ".dbp" never carries a password, whatever the file is called now.
  Spit(dir / "tab", "/4|A|1|1|-1|-1|-1|" + EncodeHeader("tabpw") + "\r\nrow");
  DataTable plain;
  plain.path = dir / "tab";
  LoadTable(plain);
  EXPECT_EQ(plain.def.protection, kTablePlain);
  EXPECT_EQ(Lines(plain), (std::vector<std::string>{"row"}));
}

TEST_F(DataFileTest, FailedSaveKeepsTheFileAndTheChangedState) {
  Spit(table.path, "old");
  table.def.AddColumnEntry("A", 100, 1);
  table.def.modified = kTableChanged;
  platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kWrite; });
  TableSave saved = SaveTable(table);
  EXPECT_EQ(saved.status, TableSaveStatus::kFailed);
  EXPECT_FALSE(saved.error.empty());
  EXPECT_EQ(table.def.modified, kTableChanged);
  EXPECT_EQ(Slurp(table.path), "old");
}

}  // namespace
}  // namespace vm::data
