// A save killed half-way leaves the safe replace's temporary file beside the book (and
// one in Backup\ when its backup was being written). A book that is read but never saved
// again must not keep them: each book's load removes its own, and only its own.
#include <gtest/gtest.h>

#include <functional>

#include "common/backup.h"
#include "common/record_file.h"
#include "data/data_file.h"
#include "dates/date_file.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"
#include "spreadsheet/workbook_xml.h"
#include "support/scratch.h"
#include "tasks/task_file.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

struct Kind {
  const char* name;
  const char* file;
  const char* backupTemp;  // a cut-short backup write of this book
  std::function<void(const std::string&path)> make, load;
};

std::vector<Kind> Kinds() {
  return {
      {"contacts", "cont.dbc", "cont.2026-12-06.dbc.vmtmp",
       [](const std::string& p) { Spit(p, "Иванов|Иван\r\n"); },
       [](const std::string& p) {
         RecordBook book;
         book.path = p;
         LoadRecords(book, ContactsLayout());
       }},
      {"task file", "work.dbw", "work.2026-12-06.dbw.vmtmp",
       [](const std::string& p) { Spit(p, RecordFileBytes({tasks::EmptyTaskRecord()})); },
       [](const std::string& p) {
         tasks::TaskBook book;
         tasks::LoadTaskFile(book, p, {7, 12, 2026});
       }},
      {"data table", "table.dbp", "table.2026-12-06.dbp.vmtmp",
       [](const std::string& p) {
         data::DataTable t;
         t.path = p;
         t.def.AddColumnEntry("Имя", 120, 1);
         t.records.push_back({"Петров"});
         t.def.modified = data::kTableChanged;
         data::SaveTable(t);
       },
       [](const std::string& p) {
         data::DataTable t;
         t.path = p;
         data::LoadTable(t);
       }},
      {"notebook", "notes.dbn", "notes.2026-12-06.dbn.vmtmp",
       [](const std::string& p) {
         notebook::NotebookFile nb;
         nb.path = p;
         nb.root->AppendChild("Заметка", "{\\rtf1 текст}");
         nb.state = notebook::kChanged;
         notebook::SaveNotebook(nb);
       },
       [](const std::string& p) {
         notebook::NotebookFile nb;
         notebook::ReadNotebook(nb, p);
       }},
      {"workbook", "book.xml", "book.2026-12-06.xml.vmtmp",
       [](const std::string& p) { spreadsheet::WriteWorkbook(spreadsheet::CWorkbook(), p); },
       [](const std::string& p) {
         spreadsheet::CWorkbook wb;
         spreadsheet::ReadWorkbook(wb, p);
       }},
      {"date file", "Holidays.txt", "Holidays.2026-12-06.txt.vmtmp",
       [](const std::string& p) {  // already in the current format: the check only reads it
         Spit(p, "01/03    Праздник\n");
         dates::UpgradeDateFile(p);
       },
       [](const std::string& p) { dates::UpgradeDateFile(p); }},
  };
}

TEST(Leftovers, EachBookLoadRemovesItsOwnCutShortTemporariesAndNoOthers) {
  for (const Kind& kind : Kinds()) {
    SCOPED_TRACE(kind.name);
    ScratchFolder dir;
    platform::MakeDir(dir / "Backup");
    backup::Install({dir / "Backup\\", [] { return 14; }, [] { return backup::Day{2026, 12, 7}; }, nullptr});
    const std::string path = dir / kind.file;
    kind.make(path);
    const std::string book = Slurp(path);
    ASSERT_NE(book, "<missing>");
    Spit(path + ".vmtmp", "half a save");
    Spit(dir / "Backup\\" + kind.backupTemp, "half a backup");
    Spit(dir / "other.dbc.vmtmp", "another book's");
    Spit(dir / "Backup\\other.2026-12-06.dbc.vmtmp", "another book's");
    Spit(dir / "Backup\\" + std::string(kind.backupTemp).substr(0, std::string(kind.backupTemp).size() - 6),
         "a finished backup");

    kind.load(path);
    EXPECT_EQ(Slurp(path + ".vmtmp"), "<missing>");
    EXPECT_EQ(Slurp(dir / "Backup\\" + kind.backupTemp), "<missing>");
    EXPECT_EQ(Slurp(dir / "other.dbc.vmtmp"), "another book's");
    EXPECT_EQ(Slurp(dir / "Backup\\other.2026-12-06.dbc.vmtmp"), "another book's");
    EXPECT_EQ(Slurp(dir / "Backup\\" +
                    std::string(kind.backupTemp).substr(0, std::string(kind.backupTemp).size() - 6)),
              "a finished backup");
    EXPECT_EQ(Slurp(path), book) << "reading changes nothing else";
    backup::Install({});
  }
  // Without a keeper (the command-line tool) the temporary beside the book still goes.
  ScratchFolder dir;
  Spit(dir / "cont.dbc", "Иванов|Иван\r\n");
  Spit(dir / "cont.dbc.vmtmp", "half a save");
  Kinds()[0].load(dir / "cont.dbc");
  EXPECT_EQ(Slurp(dir / "cont.dbc.vmtmp"), "<missing>");
  EXPECT_FALSE(platform::RemoveLeftoverTemporary(dir / "cont.dbc")) << "none left";
}

}  // namespace
}  // namespace vm
