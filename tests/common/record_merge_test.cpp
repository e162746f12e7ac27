#include "common/record_merge.h"

#include <gtest/gtest.h>

#include "data/data_file.h"
#include "shell/book_merge.h"

namespace vm {
namespace {

std::string File(std::initializer_list<const char*> lines) {
  std::string bytes;
  for (const char* line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

struct Case {
  const char* what;
  std::string base, mine, theirs, merged;
  MergeCounts counts;
};

TEST(RecordMerge, TakesEachSidesChangesAndKeepsBothOnAConflict) {
  const std::string conflict = MarkRecordConflict("Петров|дом 2|");
  const Case cases[] = {
      {"nothing changed", File({"a|1|", "b|2|"}), File({"a|1|", "b|2|"}), File({"a|1|", "b|2|"}),
       File({"a|1|", "b|2|"}), {}},
      {"added on each side; the disk's after the line it follows there", File({"a|1|", "c|3|"}),
       File({"a|1|", "c|3|", "d|4|"}), File({"a|1|", "b|2|", "c|3|"}), File({"a|1|", "b|2|", "c|3|", "d|4|"}),
       {1, 1, 0, 0}},
      {"deleted on one side, unchanged on the other", File({"a|1|", "b|2|", "c|3|"}), File({"a|1|", "c|3|"}),
       File({"a|1|", "b|2|"}), File({"a|1|"}), {0, 0, 2, 0}},
      {"changed on one side", File({"a|1|", "b|2|"}), File({"a|1|", "b|22|"}), File({"a|11|", "b|2|"}),
       File({"a|11|", "b|22|"}), {1, 1, 0, 0}},
      {"the same change on both sides is one record", File({"a|1|"}), File({"a|2|"}), File({"a|2|"}),
       File({"a|2|"}), {}},
      {"deleted here, changed on disk: the change is kept", File({"a|1|", "b|2|"}), File({"a|1|"}),
       File({"a|1|", "b|3|"}), File({"a|1|", "b|3|"}), {0, 1, 0, 0}},
      {"changed differently on both sides: both kept, the disk's marked",
       File({"Петров|дом 1|", "x|"}), File({"Петров|дом 3|", "x|"}), File({"Петров|дом 2|", "x|"}),
       File({"Петров|дом 3|", conflict.c_str(), "x|"}), {0, 0, 0, 1}},
      {"a duplicated line added on disk stays duplicated", File({"a|"}), File({"a|"}), File({"a|", "a|"}),
       File({"a|", "a|"}), {0, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    MergeResult r = MergeRecordFiles(c.base, c.mine, c.theirs);
    ASSERT_TRUE(r.merged) << c.what;
    EXPECT_EQ(r.bytes, c.merged) << c.what;
    EXPECT_EQ(r.counts, c.counts) << c.what << ": " << r.counts.fromMine << " " << r.counts.fromTheirs << " "
                                  << r.counts.deleted << " " << r.counts.conflicts;
  }
}

TEST(RecordMerge, MarksTheFirstFieldAndKeepsEscapedLineBreaks) {
  EXPECT_EQ(MarkRecordConflict("Иванов ERN:мл.|заметка ERN:вторая|"),
            "Иванов ERN:мл. (конфликт)|заметка ERN:вторая|");
  EXPECT_EQ(MarkRecordConflict("a#|b|c|"), "a#|b (конфликт)|c|");
  // A firm is told by its organisation, the second field.
  MergeResult firms = shell::MergeRecordBook(shell::Book::kFirms, File({"окна|Рассвет|1|", "окна|Заря|1|"}),
                                             File({"окна|Рассвет|2|", "окна|Заря|1|"}),
                                             File({"окна|Рассвет|3|", "окна|Заря|1|"}));
  EXPECT_EQ(firms.bytes, File({"окна|Рассвет|2|", "окна|Рассвет (конфликт)|3|", "окна|Заря|1|"}));
}

TEST(RecordMerge, TableHeadersMergeOrRefuse) {
  using shell::Book;
  std::string base = File({"/4|old|", "a|"}), mine = File({"/4|old|", "a|", "b|"});
  MergeResult r = data::MergeTables(base, mine, File({"/4|new|", "a|"}));
  ASSERT_TRUE(r.merged);
  EXPECT_EQ(r.bytes, File({"/4|new|", "a|", "b|"}));
  r = data::MergeTables(base, File({"/4|mine|", "a|"}), File({"/4|theirs|", "a|"}));
  EXPECT_FALSE(r.merged);
  EXPECT_FALSE(r.error.empty());
  EXPECT_FALSE(shell::MergeRecordBook(Book::kSpreadsheet, base, base, base).merged);
  // A protected table's lines are scrambled: no merge, both versions are kept.
  data::DataTable t;
  t.def.AddColumnEntry("Имя", 100, 1);
  t.records = {{"a"}};
  t.password = "тайна";
  t.scheme = Protection::kLegacy;
  EXPECT_FALSE(data::MergeTables(base, mine, data::TableBytes(t)).merged);
  EXPECT_EQ(shell::BookOfPath("C:\\Мои\\Контакты.DBC"), Book::kContacts);
  EXPECT_EQ(shell::BookOfPath("x.dbn"), Book::kNotebook);
  EXPECT_EQ(shell::BookOfPath("x.dbc.lock"), std::nullopt);
}

}  // namespace
}  // namespace vm
