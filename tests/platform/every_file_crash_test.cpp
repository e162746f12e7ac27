// Every kind of file the program rewrites, saved by its own core code in a child that is
// killed at a random moment: afterwards the file is byte-identical to the old or the new
// version, and the next save leaves no temporary file behind. VELMORIA_CRASH_KILLS sets
// the kills per kind (scripts/crash-test runs the long campaign).
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>

#include "common/backup.h"
#include "common/settings.h"
#include "data/data_file.h"
#include "dates/date_file.h"
#include "notebook/notebook_file.h"
#include "platform/platform.h"
#include "spreadsheet/workbook_xml.h"
#include "support/scratch.h"
#include "tasks/task_file.h"
#include "tasks/task_record.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

int KillsPerKind() {
  const char* env = std::getenv("VELMORIA_CRASH_KILLS");
  int n = env ? std::atoi(env) : 0;
  return n > 0 ? n : 100;
}

std::string Line(char tag, int i) {
  return std::string(1, tag) + std::to_string(i) + " запись номер " + std::to_string(i);
}

// How one kind of file is written: Save(folder, v) writes version v (0 or 1) of the
// file at folder + name through the program's own save, as the program does.
struct Kind {
  const char* name;
  const char* file;
  std::function<void(const std::string& folder, int v)> save;
  // Set for a one-way rewrite (the date file upgrade): the old version is put back
  // before each kill and the child saves once.
  std::function<void(const std::string& folder)> reset;
};

void SaveTasks(const std::string& folder, int v) {
  const std::string path = folder + "work.dbw";
  if (!platform::FileExists(path)) ASSERT_TRUE(platform::SafeReplace(path, ""));
  tasks::TaskBook book;
  tasks::LoadTaskFile(book, path, dates::Date{7, 12, 2026});
  while (book.size() < 300) book.Append(tasks::EmptyTaskRecord());
  for (size_t i = 0; i < 300; ++i)
    book.SetField(i, tasks::TaskField::Headline, Line(v ? 'B' : 'A', static_cast<int>(i)));
  tasks::WriteTaskFile(book);
}

void SaveNotebookKind(const std::string& folder, int v, const char* password) {
  notebook::NotebookFile nb;
  nb.path = folder + "notes.dbn";
  nb.password = password;
  // The old scheme writes the same bytes for the same notes, so a killed save can be told
  // from a finished one by its bytes; the strong scheme's fresh salt and nonce make every
  // save's bytes new, and its writes go through the same safe replace.
  if (*password) nb.scheme = Protection::kLegacy;
  for (int i = 0; i < 200; ++i)
    nb.root->AppendChild(Line(v ? 'B' : 'A', i), "{\\rtf1 текст заметки " + std::to_string(i) + "}");
  nb.state = notebook::kChanged;
  notebook::SaveNotebook(nb);
}

void SaveTableKind(const std::string& folder, int v, const char* password) {
  data::DataTable t;
  t.path = folder + "table.dbp";
  t.password = password;
  if (*password) t.scheme = Protection::kLegacy;  // as for the notebook above
  t.def.AddColumnEntry("Имя", 120, 1);
  t.def.AddColumnEntry("Телефон", 100, 1);
  for (int i = 0; i < 400; ++i)
    t.records.push_back({Line(v ? 'B' : 'A', i) + "|" + std::to_string(1000 + i)});
  t.def.modified = data::kTableChanged;
  data::SaveTable(t);
}

void SaveWorkbookKind(const std::string& folder, int v) {
  spreadsheet::CWorkbook book;
  spreadsheet::CSheet& s = book.Sheet(0);
  s.SetRowCount(80);
  s.SetColumnCount(3);
  for (int r = 0; r < 80; ++r)
    for (int c = 0; c < 3; ++c) s.CellForEdit(r, c)->SetText(Line(v ? 'B' : 'A', r * 3 + c));
  spreadsheet::WriteWorkbook(book, folder + "book.xml");
}

std::string OldDates() {
  std::string text;
  for (int i = 1; i <= 28; ++i)
    text += (i < 10 ? "0" : "") + std::to_string(i) + "/03    Праздник " + std::to_string(i) + "\n";
  return text;
}

void SaveSettings(const std::string& folder, int v) {
  const std::string ini = folder + "Velmoria.ini";
  if (!platform::FileExists(ini)) {
    std::string text = "[PLACEMENT]\r\n";
    for (int i = 0; i < 300; ++i) text += "KEY" + std::to_string(i) + "=" + Line('S', i) + "\r\n";
    ASSERT_TRUE(platform::SafeReplace(ini, text));
  }
  // One write is one save of the settings file.
  WriteSetting(ini, "GENERAL", "LAST", v ? "бэ" : "а");
}

// Backups: each save is on a day of its own (in the parent and in every child), so
// every save writes a backup first.
void SaveWithBackup(const std::string& folder, int v) {
  static int count = 0;
  const int n = static_cast<int>(getpid() % 30000) * 1000 + ++count % 1000;
  backup::Keeper k;
  k.folder = folder + "Backup\\";
  k.keepDays = [] { return 5; };
  k.today = [n] { return backup::Day{1000 + n / 336 % 9000, 1 + n / 28 % 12, 1 + n % 28}; };
  backup::Install(std::move(k));
  std::string text;
  for (int i = 0; i < 600; ++i) text += Line(v ? 'B' : 'A', i) + "\r\n";
  backup::SaveBook(folder + "cont.dbc", text);
}

std::vector<Kind> Kinds() {
  return {
      {"tasks", "work.dbw", SaveTasks, nullptr},
      {"notebook", "notes.dbn", [](const std::string& f, int v) { SaveNotebookKind(f, v, ""); }, nullptr},
      {"notebook protected", "notes.dbn",
       [](const std::string& f, int v) { SaveNotebookKind(f, v, "пароль"); }, nullptr},
      {"data table", "table.dbp", [](const std::string& f, int v) { SaveTableKind(f, v, ""); }, nullptr},
      {"data table protected", "table.dbp",
       [](const std::string& f, int v) { SaveTableKind(f, v, "пароль"); }, nullptr},
      {"workbook", "book.xml", SaveWorkbookKind, nullptr},
      {"date file upgrade", "Holidays.txt",
       [](const std::string& f, int) { dates::UpgradeDateFile(f + "Holidays.txt"); },
       [](const std::string& f) { ASSERT_TRUE(platform::SafeReplace(f + "Holidays.txt", OldDates())); }},
      {"settings", "Velmoria.ini", SaveSettings, nullptr},
      {"backup being written", "cont.dbc", SaveWithBackup, nullptr},
  };
}

// Every temporary file of the safe replace, here and in Backup\.
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& f : {folder, folder + "Backup\\"})
    for (const auto& e : platform::ListDir(f))
      if (e.name.size() > 6 && e.name.compare(e.name.size() - 6, 6, ".vmtmp") == 0)
        found.push_back(f + e.name);
  return found;
}

class EveryFileCrash : public ::testing::TestWithParam<size_t> {};

TEST_P(EveryFileCrash, KilledSavesLeaveTheOldOrTheNewFile) {
  const Kind kind = Kinds()[GetParam()];
  ScratchFolder dir;
  const std::string path = dir / kind.file;
  std::string old, fresh;
  if (kind.reset) {
    kind.reset(dir.path());
    old = Slurp(path);
    kind.save(dir.path(), 1);
    fresh = Slurp(path);
  } else {
    kind.save(dir.path(), 1);
    fresh = Slurp(path);
    kind.save(dir.path(), 0);
    old = Slurp(path);
  }
  ASSERT_NE(old, fresh) << kind.name;
  ASSERT_NE(old, "<missing>");
  // The kills spread over about three saves, however long one takes on this machine.
  auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 4; ++i) kind.save(dir.path(), i % 2);
  auto oneSave =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started) / 4;
  int window = static_cast<int>(std::clamp<long long>(3 * oneSave.count(), 2000, 200000));
  std::mt19937 rng(2026 + static_cast<unsigned>(GetParam()));
  const int kills = KillsPerKind();
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < kills; ++round) {
    if (kind.reset)
      kind.reset(dir.path());
    else
      kind.save(dir.path(), 0);
    ASSERT_EQ(Slurp(path), old);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
#ifdef __linux__
      prctl(PR_SET_PDEATHSIG, SIGKILL);  // a stopped test leaves no saver running on
#endif
      if (kind.reset) {
        kind.save(dir.path(), 1);
        pause();
      }
      for (int i = 1;; ++i) kind.save(dir.path(), i % 2);
    }
    // On a busy machine the child's start can take longer than the window: when half the
    // kills found no save finished, the window grows until one does.
    if (round >= kills / 2 && sawNew == 0) window = std::min(window * 2, 5000000);
    usleep(std::uniform_int_distribution<int>(0, window)(rng));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = Slurp(path);
    ASSERT_TRUE(now == old || now == fresh)
        << kind.name << ", kill " << round << ": " << now.size() << " bytes";
    (now == old ? sawOld : sawNew)++;
    for (const auto& e : platform::ListDir(dir / "Backup")) {
      std::string copy = Slurp(dir / "Backup\\" + e.name);
      if (e.name == backup::kIndexName) {
        ASSERT_FALSE(backup::ParseIndex(copy).value_or(std::vector<backup::IndexEntry>{}).empty())
            << kind.name << ", kill " << round << ": the index";
        continue;
      }
      if (e.name.find(".vmtmp") == std::string::npos)
        ASSERT_TRUE(copy == old || copy == fresh) << kind.name << ", kill " << round << ": backup " << e.name;
    }
    // A kill during a write leaves its temporary file; the next save takes it over.
    if (kind.reset)
      kind.reset(dir.path());
    else
      kind.save(dir.path(), 0);
    ASSERT_EQ(Temporaries(dir.path()), std::vector<std::string>{}) << kind.name << ", kill " << round;
  }
  std::printf("[ crash    ] %s: %d kills, %d left the old file, %d the new one, 0 torn\n", kind.name, kills,
              sawOld, sawNew);
  EXPECT_GT(sawOld + sawNew, 0);
  EXPECT_GT(sawNew, 0) << kind.name << ": no kill landed after a save";
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryFileCrash, ::testing::Range<size_t>(0, 9),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string n = Kinds()[info.param].name;
                           for (char& c : n)
                             if (c == ' ') c = '_';
                           return n;
                         });

}  // namespace
}  // namespace vm
#endif
