// A table taken through a real spreadsheet program and back: our CSV export, opened by
// LibreOffice (headless) and saved as .ods, then that saved again as CSV, imports to
// the same table. Every column is read as text, as a user importing a table would ask,
// so that "007" and "01.02.2003" stay what they are.
#include <gtest/gtest.h>

#include "data/csv.h"
#include "platform/platform.h"
#include "support/scratch.h"
#include "support/soffice.h"

namespace vm::data {
namespace {

TEST(CsvLibreOffice, RoundTripGivesTheSameTable) {
  const std::string soffice = testing::SofficePath();
  if (soffice.empty()) GTEST_SKIP() << testing::kNoSoffice;
  testing::ScratchFolder dir;
  DataTable table;
  for (const char* name : {"Имя", "Код, \"внутр.\"", "Дата", "Заметка"})
    table.def.AddColumnEntry(name, 100, 1);
  table.records = {{"Петров, П.|007|01.02.2003|две\r\nстроки"},
                   {"\"Ёлкина\"|1,5||=1+1"},
                   {"|||"},
                   {"a;b|-3|31/12/1999|«ёлки» — №5 € ?"}};
  ASSERT_TRUE(ExportCsv(table, dir / "t.csv").ok);

  std::string log = testing::RunSoffice(
      soffice, dir, "--infilter='CSV:44,34,76,1,1/2/2/2/3/2/4/2' --convert-to ods --outdir ods t.csv");
  ASSERT_TRUE(platform::FileExists(dir / "ods\\t.ods")) << log;
  log = testing::RunSoffice(soffice, dir,
                            "--convert-to 'csv:Text - txt - csv "
                            "(StarCalc):44,34,76,1,,0,false,true,false,false,false' --outdir back "
                            "ods/t.ods");
  ASSERT_TRUE(platform::FileExists(dir / "back\\t.csv")) << log;

  CsvImport back = ImportCsv(dir / "back\\t.csv");
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_EQ(back.table.def.names, table.def.names);
  ASSERT_EQ(back.table.records.size(), table.records.size());
  for (size_t i = 0; i < table.records.size(); ++i)
    EXPECT_EQ(back.table.records[i].line, table.records[i].line) << "record " << i;
  EXPECT_EQ(CsvImportReport(back), "");
}

}  // namespace
}  // namespace vm::data
