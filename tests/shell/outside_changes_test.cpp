// The record books' own save paths against another program writing the same file: in a
// seeded random order the program edits and saves (the user's saves answering the
// question at random, the automatic ones asking nothing), another writer adds records to
// the file, and the once-a-second look reloads a book without unsaved changes. Whatever
// the order, every record either side ever wrote is afterwards in the book, in a
// conflict copy beside it or in Backup\.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <set>

#include "common/backup.h"
#include "common/book_guard.h"
#include "common/record_file.h"
#include "data/data_file.h"
#include "shell/book_merge.h"
#include "support/scratch.h"
#include "tasks/task_file.h"

namespace vm {
namespace {

using testing::Slurp;
using testing::Spit;

// One book as the program holds it, through its core's load and save.
struct Held {
  virtual ~Held() = default;
  virtual void Load() = 0;
  virtual void Add(const std::string& token) = 0;
  virtual bool Save() = 0;  // false: the save kept the changes (refused or failed)
  virtual bool Dirty() const = 0;
};

struct RecordHeld : Held {
  RecordHeld(std::string path, RecordLayout layout) : layout(std::move(layout)) { book.path = std::move(path); }
  void Load() override { LoadRecords(book, layout); }
  void Add(const std::string& token) override {
    book.records.push_back(token + std::string(layout.separators, '|'));
    book.state = kStateChanged;
  }
  bool Save() override { return SaveRecords(book).status != SaveStatus::kFailed; }
  bool Dirty() const override { return book.state == kStateChanged; }
  RecordBook book;
  RecordLayout layout;
};

struct TaskHeld : Held {
  explicit TaskHeld(std::string path) : path(std::move(path)) {}
  void Load() override { tasks::LoadTaskFile(book, path, dates::Date{8, 12, 2026}); }
  void Add(const std::string& token) override {
    book.Append(token + std::string(53, '|'));
    book.MarkChanged();
  }
  bool Save() override { return tasks::WriteTaskFile(book).status != tasks::TaskSaveStatus::kFailed; }
  bool Dirty() const override { return book.state() == kStateChanged; }
  std::string path;
  tasks::TaskBook book;
};

struct TableHeld : Held {
  explicit TableHeld(std::string path) { table.path = std::move(path); }
  void Load() override { data::LoadTable(table); }
  void Add(const std::string& token) override {
    table.records.push_back({token + "|x"});
    table.def.modified = data::kTableChanged;
  }
  bool Save() override { return data::SaveTable(table).status != data::TableSaveStatus::kFailed; }
  bool Dirty() const override { return table.def.modified == data::kTableChanged; }
  data::DataTable table;
};

struct Kind {
  const char* name;
  const char* file;
  std::string first;  // the file both sides start from
  std::string line;   // what the other writer appends after its token
  std::function<std::unique_ptr<Held>(const std::string& path)> make;
};

void Interleave(const Kind& kind, unsigned seed) {
  testing::ScratchFolder dir;
  const std::string path = dir / kind.file;
  Spit(path, kind.first);
  platform::MakeDir(dir / "Backup");
  backup::Install({dir / "Backup\\", [] { return 14; }, [] { return backup::Day{2026, 12, 8}; }, nullptr});
  std::mt19937 random(seed);
  int second = 0;
  guard::Hooks hooks;
  hooks.ask = [&](const guard::Conflict&) { return static_cast<guard::Choice>(random() % 4); };
  hooks.canMerge = [](const std::string& p, std::string_view) { return shell::CanMerge(*shell::BookOfPath(p)); };
  hooks.merge = [](const std::string& p, std::string_view base, std::string_view mine, std::string_view theirs) {
    shell::Book book = *shell::BookOfPath(p);
    MergeResult merged = book == shell::Book::kData ? data::MergeTables(base, mine, theirs)
                                                    : shell::MergeRecordBook(book, base, mine, theirs);
    return merged.merged ? std::optional<std::string>(merged.bytes) : std::nullopt;
  };
  hooks.report = [](const std::string&) {};
  // Every conflict copy gets a name of its own second.
  hooks.now = [&] { return platform::LocalTime{2026, 12, 8, 10 + second / 3600, second / 60 % 60, second % 60, 0}; };
  guard::Install(std::move(hooks));

  std::unique_ptr<Held> program = kind.make(path);
  program->Load();
  std::set<std::string> written;
  for (int step = 0; step < 300; ++step) {
    ++second;
    std::string token = "t" + std::to_string(seed) + "s" + std::to_string(step) + "e";
    switch (random() % 6) {
      case 0:
      case 1:
        program->Add(token);
        written.insert(token);
        break;
      case 2: program->Save(); break;
      case 3: {
        guard::AutomaticSaves automatic;
        program->Save();
        break;
      }
      case 4: {
        std::string bytes = Slurp(path);
        ASSERT_NE(bytes, "<missing>");
        ASSERT_TRUE(platform::WriteFileBytes(path, bytes + token + kind.line + "\r\n"));
        written.insert(token);
        break;
      }
      case 5:
        for (const std::string& changed : guard::Poll())
          if (changed == path && !program->Dirty()) program->Load();
        break;
    }
  }
  {
    guard::AutomaticSaves exit;  // the program ends: what it still holds is saved
    ASSERT_TRUE(program->Save());
  }
  ASSERT_FALSE(program->Dirty());
  std::string everything = Slurp(path);
  for (const platform::DirEntry& e : platform::ListDir(dir.path())) {
    if (guard::IsConflictCopyName(e.name)) everything += Slurp(dir / e.name);
  }
  for (const platform::DirEntry& e : platform::ListDir(dir / "Backup")) everything += Slurp(dir / "Backup\\" + e.name);
  for (const std::string& token : written)
    EXPECT_NE(everything.find(token), std::string::npos) << kind.name << " seed " << seed << ": " << token << " lost";
  guard::Install({});
  backup::Install({});
}

TEST(OutsideChanges, NoRecordEitherSideWroteIsLost) {
  const Kind kinds[] = {
      {"contacts", "Контакты.dbc", "", std::string(ContactsLayout().separators, '|'),
       [](const std::string& p) { return std::make_unique<RecordHeld>(p, ContactsLayout()); }},
      {"firms", "Фирмы.dbo", "", std::string(FirmsLayout().separators, '|'),
       [](const std::string& p) { return std::make_unique<RecordHeld>(p, FirmsLayout()); }},
      {"tasks", "Дела.dbw", "", std::string(53, '|'), [](const std::string& p) { return std::make_unique<TaskHeld>(p); }},
      {"data table", "Таблица.dbp", "/1|Имя|Тел|120|80|0|0|1|-1|-1|0\r\n", "|x",
       [](const std::string& p) { return std::make_unique<TableHeld>(p); }},
  };
  for (const Kind& kind : kinds)
    for (unsigned seed : {1u, 2u, 3u}) Interleave(kind, seed);
}

}  // namespace
}  // namespace vm
