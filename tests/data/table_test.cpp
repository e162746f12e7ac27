#include "data/table.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

TEST(TableRecord, FieldOperationsFollowTheHashRule) {
  struct Case {
    const char* line;
    const char* op;
    int a, b;
    const char* value;
    const char* expected;
  } cases[] = {
      {"a|b|c", "set", 1, 0, "X", "a|X|c"},    {"a#|b|c", "set", 1, 0, "X", "a#|b|X"},
      {"a|b|c", "set", 0, 0, "C#", "C|b|c"},  // a trailing "#" would hide the separator
      {"a|b|c", "set", 5, 0, "X", "a|b|c"},    {"a|b", "append", 0, 0, "", "a|b|"},
      {"a|b|c", "remove", 0, 0, "", "b|c"},    {"a|b|c", "remove", 1, 0, "", "a|c"},
      {"a|b|c", "remove", 2, 0, "", "a|b"},    {"a|b|c", "remove", 3, 0, "", "a|b|c"},
      {"abc", "remove", 0, 0, "", ""},         {"x#|y|z", "remove", 0, 0, "", "z"},
      {"a|b|c", "swap", 0, 2, "", "c|b|a"},    {"a|b|c", "swap", 2, 1, "", "a|c|b"},
      {"a#|b|c#", "swap", 0, 1, "", "c|a#|b"}, {"a", "swap", 0, 2, "", "||a"},  // too short: padded first
      {"a#", "swap", 0, 1, "", "|a"},
  };
  for (const Case& c : cases) {
    CTableRecord r{c.line};
    std::string op = c.op;
    if (op == "set") r.SetField(c.a, c.value);
    if (op == "append") r.AppendField();
    if (op == "remove") r.RemoveField(c.a);
    if (op == "swap") r.SwapFields(c.a, c.b);
    EXPECT_EQ(r.line, c.expected) << c.line << " " << c.op << " " << c.a;
  }
  CTableRecord r{"x#|y|z"};
  EXPECT_EQ(r.Field(0), "x|y");
  EXPECT_EQ(r.Field(1), "z");
  EXPECT_EQ(r.Field(4), "");
  EXPECT_EQ(CountFieldSeparators("x#|y|z"), 1);
  EXPECT_EQ(CountFieldSeparators("|#|"), 1);
}

// Removing and exchanging fields as first written, over a list of every separator:
// the walking versions must agree with them on every line.
namespace plain {
std::vector<size_t> Separators(std::string_view l) {
  std::vector<size_t> out;
  for (size_t i = 0; i < l.size(); ++i)
    if (l[i] == '|' && (i == 0 || l[i - 1] != '#')) out.push_back(i);
  return out;
}
std::string Removed(std::string line, int k) {
  std::vector<size_t> seps = Separators(line);
  if (k < 0 || k > static_cast<int>(seps.size())) return line;
  if (seps.empty()) return "";
  if (k == 0) return line.erase(0, seps[0] + 1);
  size_t end = k < static_cast<int>(seps.size()) ? seps[k] : line.size();
  return line.erase(seps[k - 1], end - seps[k - 1]);
}
std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == '#') s.pop_back();
  return s;
}
std::string Swapped(std::string line, int j, int k) {
  if (j < 0 || k < 0 || j == k) return line;
  if (j > k) std::swap(j, k);
  while (static_cast<int>(Separators(line).size()) < k) line = Trimmed(line) + "|";
  std::vector<size_t> seps = Separators(line);
  auto begin = [&](int n) { return n == 0 ? 0 : seps[n - 1] + 1; };
  auto end = [&](int n) { return n < static_cast<int>(seps.size()) ? seps[n] : line.size(); };
  return line.substr(0, begin(j)) + Trimmed(line.substr(begin(k), end(k) - begin(k))) +
         line.substr(end(j), begin(k) - end(j)) + Trimmed(line.substr(begin(j), end(j) - begin(j))) +
         line.substr(end(k));
}
}  // namespace plain

TEST(TableRecord, RemoveAndSwapAgreeWithThePlainVersions) {
  const char* const pieces[] = {"|", "|", "#", "#|", "##", "a", "bc"};
  uint32_t seed = 777;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (size_t len = next() % 16; line.size() < len;) line += pieces[next() % std::size(pieces)];
    int fields = static_cast<int>(plain::Separators(line).size()) + 1;
    for (int j = -1; j <= fields + 1; ++j) {
      CTableRecord removed{line};
      removed.RemoveField(j);
      EXPECT_EQ(removed.line, plain::Removed(line, j)) << line << " remove " << j;
      int k = static_cast<int>(next() % (fields + 3)) - 1;
      CTableRecord swapped{line};
      swapped.SwapFields(j, k);
      EXPECT_EQ(swapped.line, plain::Swapped(line, j, k)) << line << " swap " << j << " " << k;
    }
  }
}

DataTable ThreeColumns() {
  DataTable t;
  t.def.AddColumnEntry("Имя", 120, 1);
  t.def.AddColumnEntry("Телефон", 90, 0);
  t.def.AddColumnEntry("Почта", 80, 1);
  t.def.phoneColumn = 1;
  t.def.emailColumn = 2;
  t.def.webColumn = -1;
  t.records = {{"Иван|123|i@x"}, {"Пётр|456|p@x|extra"}};
  return t;
}

std::vector<std::string> Lines(const DataTable& t) {
  std::vector<std::string> out;
  for (const auto& r : t.records) out.push_back(r.line);
  return out;
}

TEST(TableColumns, AddDeleteAndMoveKeepFieldsAndLinkColumnsInStep) {
  DataTable t = ThreeColumns();
  AddColumn(t, "Сайт");
  EXPECT_EQ(t.def.lastColumn, 3);
  EXPECT_EQ(t.def.widths.back(), 100u);
  EXPECT_EQ(t.def.shown.back(), 1);
  EXPECT_EQ(t.def.modified, kTableChanged);
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"Иван|123|i@x|", "Пётр|456|p@x|extra|"}));

  EXPECT_EQ(MoveColumnUp(t, 2), 1);  // Почта before Телефон
  EXPECT_EQ(t.def.names, (std::vector<std::string>{"Имя", "Почта", "Телефон", "Сайт"}));
  EXPECT_EQ(t.def.widths, (std::vector<unsigned>{120, 80, 90, 100}));
  EXPECT_EQ(t.def.shown, (std::vector<int>{1, 1, 0, 1}));
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"Иван|i@x|123|", "Пётр|p@x|456|extra|"}));
  EXPECT_EQ(t.def.phoneColumn, 2);
  EXPECT_EQ(t.def.emailColumn, 1);
  EXPECT_EQ(t.def.webColumn, -1);

  EXPECT_EQ(MoveColumnUp(t, 0), 0);
  EXPECT_EQ(MoveColumnDown(t, 3), 3);
  EXPECT_EQ(MoveColumnDown(t, 1), 2);
  EXPECT_EQ(t.def.emailColumn, 2);

  DeleteColumn(t, 2);  // Почта
  EXPECT_EQ(t.def.names, (std::vector<std::string>{"Имя", "Телефон", "Сайт"}));
  EXPECT_EQ(t.def.emailColumn, -1);
  EXPECT_EQ(t.def.phoneColumn, 1);
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"Иван|123|", "Пётр|456|extra|"}));

  // Found again by name: the last column of that name.
  RenameColumn(t, 2, "Телефон");
  EXPECT_EQ(t.def.phoneColumn, 1);
  AddColumn(t, "x");
  EXPECT_EQ(t.def.phoneColumn, 2);

  for (int i = 0; i < 4; ++i) DeleteColumn(t, 0);
  EXPECT_EQ(t.def.lastColumn, -1);
  EXPECT_TRUE(t.records.empty());
  EXPECT_EQ(t.def.phoneColumn, -1);
  DeleteColumn(t, 0);  // nothing left to delete
  EXPECT_EQ(t.def.lastColumn, -1);
}

TEST(TableColumns, FlagsLinkColumnsAndListWidths) {
  DataTable t = ThreeColumns();
  SetShownFlags(t, {false, true, true});
  EXPECT_EQ(t.def.shown, (std::vector<int>{0, 1, 1}));
  SetLinkColumn(t, LinkColumn::kWeb, 0);
  EXPECT_EQ(GetLinkColumn(t.def, LinkColumn::kWeb), 0);
  SetLinkColumn(t, LinkColumn::kPhone, -1);
  SetLinkColumn(t, LinkColumn::kEmail, 7);
  EXPECT_EQ(t.def.phoneColumn, -1);
  EXPECT_EQ(t.def.emailColumn, -1);
  TakeListWidths(t.def, {33, 44});
  EXPECT_EQ(t.def.widths, (std::vector<unsigned>{120, 33, 44}));

  // A last field ending in "#" must not swallow the separator of a new column.
  t.records = {{"a|b|c#"}};
  AddColumn(t, "d");
  EXPECT_EQ(CountFieldSeparators(t.records[0].line), 3);
}

TEST(TablePassword, SettingLocksAndEnteringUnlocks) {
  DataTable t;
  ApplyTablePassword(t, "pw", false);
  EXPECT_TRUE(t.locked);
  EXPECT_EQ(t.password, "pw");
  EXPECT_EQ(t.def.modified, kTableChanged);
  t.def.modified = kTableUnchanged;
  ApplyTablePassword(t, "PW", true);
  EXPECT_TRUE(t.locked);
  ApplyTablePassword(t, "pw", false);
  EXPECT_FALSE(t.locked);
  EXPECT_EQ(t.def.modified, kTableUnchanged);
  t.locked = true;
  ApplyTablePassword(t, "pw", true);
  EXPECT_FALSE(t.locked);
  EXPECT_EQ(t.password, "");
  EXPECT_EQ(t.def.modified, kTableChanged);
}

TEST(NewTable, DialogListAndHeaderText) {
  NewTableColumns cols;
  EXPECT_FALSE(cols.Add(""));
  EXPECT_FALSE(NewTableCanFinish(cols, "t"));
  cols.Add("Имя");
  cols.Add("Телефон");
  cols.Add("Имя");
  EXPECT_FALSE(NewTableCanFinish(cols, ""));
  EXPECT_TRUE(NewTableCanFinish(cols, "t"));
  cols.MoveSelectedUp();  // no selection
  cols.selected = 0;
  cols.MoveSelectedUp();
  EXPECT_EQ(cols.selected, 0);
  cols.MoveSelectedDown();
  EXPECT_EQ(cols.names, (std::vector<std::string>{"Телефон", "Имя", "Имя"}));
  EXPECT_EQ(cols.selected, 1);
  cols.selected = 2;
  cols.MoveSelectedDown();
  EXPECT_EQ(cols.selected, 2);
  cols.RemoveSelected();
  EXPECT_EQ(cols.names, (std::vector<std::string>{"Телефон", "Имя"}));

  EXPECT_EQ(NewTableHeader(cols.names), "/3|Телефон|Имя|100|100|1|1|-1|-1|-1|0");
  // A name the header cannot hold as it is gets the escaped form.
  EXPECT_EQ(NewTableHeader({"a|b"}),
            "/3|\x1B"
            "a\x1B"
            "7Cb|100|1|-1|-1|-1|0");
  EXPECT_EQ(NewTablePath("C:\\data", "t.dbp"), "C:\\data\\t.dbp");
  EXPECT_EQ(NewTablePath("C:\\", "t.dbp"), "C:\\t.dbp");
}

TEST(NewTable, InitialFolder) {
  testing::ScratchFolder dir;
  platform::MakeDir(dir / "Tables");
  EXPECT_EQ(NewTableInitialFolder(dir / "Tables\\t.dbp", dir.path()), dir / "Tables");
  EXPECT_EQ(NewTableInitialFolder("D:\\t.dbp", dir.path()), "D:\\");
  EXPECT_EQ(NewTableInitialFolder(dir / "Gone\\t.dbp", dir.path()), dir / "Personal");
  EXPECT_TRUE(platform::DirExists(dir / "Personal"));
  EXPECT_EQ(NewTableInitialFolder("", dir.path()), dir / "Personal");
}

}  // namespace
}  // namespace vm::data
