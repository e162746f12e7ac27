#include "common/book_guard.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/ask_dialogs.h"
#include "common/backup.h"
#include "common/book_lock.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::Slurp;
using testing::Spit;

constexpr platform::LocalTime kAt{2026, 12, 8, 14, 5, 33, 0};

TEST(ConflictCopy, NamedBesideTheBookWithItsExtension) {
  struct Case {
    const char* book;
    const char* copy;
  } cases[] = {
      {"C:\\Книги\\Контакты.dbc", "C:\\Книги\\Контакты (конфликт 2026-12-08 14-05-33).dbc"},
      {"C:\\a.b\\notes", "C:\\a.b\\notes (конфликт 2026-12-08 14-05-33)"},
      {"C:\\x\\.hidden", "C:\\x\\.hidden (конфликт 2026-12-08 14-05-33)"},
      {"work.tar.xml", "work.tar (конфликт 2026-12-08 14-05-33).xml"},
  };
  for (const Case& c : cases) {
    std::string copy = guard::ConflictCopyPath(c.book, kAt);
    EXPECT_EQ(copy, c.copy);
    EXPECT_TRUE(guard::IsConflictCopyName(FileNameOfPath(copy))) << copy;
  }
  // Only the shape the program makes is a copy; a book named by a person stays a book.
  for (const char* name : {"Контакты.dbc", "Контакты (конфликт).dbc", "Контакты (конфликт 2026-12-08).dbc",
                           "Контакты (конфликт 2026-12-08 14-05-3x).dbc", "Контакты (конфликт 2026-12-08 14-05-33 x).dbc",
                           " (конфликт 2026-12-08 14-05-33).dbc", "cont.2026-12-08.dbc"})
    EXPECT_FALSE(guard::IsConflictCopyName(name)) << name;
  EXPECT_TRUE(guard::IsConflictCopyName("Контакты (конфликт 2026-12-08 14-05-33 3).dbc"));

  // In a listing the copy comes right beside the book, before its neighbours.
  std::vector<std::string> names = {"Контакты.dbc", "Контакты2.dbc", "Контактыы.dbc", "Конт.dbc",
                                    "Контакты (конфликт 2026-12-08 14-05-33).dbc"};
  std::sort(names.begin(), names.end());
  auto book = std::find(names.begin(), names.end(), "Контакты.dbc");
  ASSERT_NE(book, names.begin());
  EXPECT_TRUE(guard::IsConflictCopyName(*(book - 1)));

  testing::ScratchFolder dir;
  const std::string path = dir / "cont.dbc";
  Spit(guard::ConflictCopyPath(path, kAt), "x");
  EXPECT_EQ(guard::FreeConflictCopyPath(path, kAt), dir / "cont (конфликт 2026-12-08 14-05-33 2).dbc");
}

// One book changed here and elsewhere: whatever the answer, both versions exist after.
class BookGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    guard::Hooks hooks;
    hooks.ask = [this](const guard::Conflict& c) {
      asked.push_back(c);
      return answer;
    };
    hooks.canMerge = [](const std::string&, std::string_view) { return true; };
    hooks.merge = [](const std::string&, std::string_view base, std::string_view mine, std::string_view theirs) {
      return std::optional<std::string>(std::string(base) + "+" + std::string(mine) + "+" + std::string(theirs));
    };
    hooks.report = [this](const std::string& m) { reports.push_back(m); };
    hooks.now = [] { return kAt; };
    guard::Install(std::move(hooks));
    Spit(path, "base");
    guard::Read(path, "base");
  }
  void TearDown() override { guard::Install({}); }
  std::string Copy(int n = 1) const {
    std::string p = guard::ConflictCopyPath(path, kAt);
    return n == 1 ? p : p.substr(0, p.size() - 5) + " " + std::to_string(n) + ").dbc";
  }

  testing::ScratchFolder dir;
  const std::string path = dir / "cont.dbc";
  guard::Choice answer = guard::Choice::kCancel;
  std::vector<guard::Conflict> asked;
  std::vector<std::string> reports;
};

TEST_F(BookGuardTest, EachAnswerKeepsBothVersions) {
  struct Case {
    guard::Choice answer;
    bool ok;
    const char* file;
    const char* copy;  // "<missing>": none made
    bool reload;       // the page is to load the file
  } cases[] = {
      {guard::Choice::kKeepMine, true, "mine", "theirs", false},
      {guard::Choice::kLoadFromDisk, true, "theirs", "mine", true},
      {guard::Choice::kMerge, true, "base+mine+theirs", "<missing>", true},
      {guard::Choice::kCancel, false, "theirs", "<missing>", false},
  };
  for (const Case& c : cases) {
    SetUp();
    Spit(path, "theirs");
    answer = c.answer;
    platform::SaveResult r = backup::SaveBook(path, "mine");
    EXPECT_EQ(static_cast<bool>(r), c.ok) << static_cast<int>(c.answer);
    EXPECT_EQ(Slurp(path), c.file);
    EXPECT_EQ(Slurp(Copy()), c.copy);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].path, path);
    EXPECT_EQ(guard::Poll().size(), c.reload ? 1u : 0u);
    platform::RemoveFile(Copy());
    asked.clear();
  }
}

TEST_F(BookGuardTest, AutomaticSavesNeverAskNorWriteOverAndReportOnce) {
  Spit(path, "theirs!");
  {
    guard::AutomaticSaves automatic;
    EXPECT_TRUE(backup::SaveBook(path, "mine"));
    EXPECT_TRUE(backup::SaveBook(path, "mine")) << "the same version again: no second copy";
    Spit(path, "theirs!!");
    EXPECT_TRUE(backup::SaveBook(path, "mine2"));
  }
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(Slurp(path), "theirs!!");
  EXPECT_EQ(Slurp(Copy()), "mine");
  EXPECT_EQ(Slurp(Copy(2)), "mine2");
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_EQ(guard::Poll(), std::vector<std::string>{path}) << "the page loads the disk's version";
  guard::Read(path, "theirs!!");
  EXPECT_TRUE(backup::SaveBook(path, "mine3")) << "after the load, saves write again";
  EXPECT_EQ(Slurp(path), "mine3");
}

TEST_F(BookGuardTest, NothingToAskWhenNothingWouldBeLost) {
  EXPECT_TRUE(backup::SaveBook(path, "one"));  // as read
  Spit(path, "two");
  EXPECT_TRUE(backup::SaveBook(path, "two")) << "both sides came to the same bytes";
  platform::RemoveFile(path);
  EXPECT_TRUE(backup::SaveBook(path, "three")) << "a deleted file is written again";
  const std::string fresh = dir / "new.dbc";
  EXPECT_TRUE(backup::SaveBook(fresh, "new")) << "a new book";
  Spit(fresh, "other");
  answer = guard::Choice::kCancel;
  EXPECT_FALSE(backup::SaveBook(fresh, "new2")) << "a written book is held from then on";
  EXPECT_EQ(Slurp(fresh), "other");
  EXPECT_EQ(asked.size(), 1u);
}

TEST_F(BookGuardTest, PollReportsEachOutsideChangeOnce) {
  EXPECT_TRUE(guard::Poll().empty());
  Spit(path, "base");
  EXPECT_TRUE(guard::Poll().empty()) << "rewritten with the same bytes: no change";
  Spit(path, "theirs");
  EXPECT_EQ(guard::Poll(), std::vector<std::string>{path});
  EXPECT_TRUE(guard::ChangedOnDisk(path));
  EXPECT_TRUE(guard::Poll().empty()) << "reported once";
  Spit(path, "theirs, again");
  EXPECT_EQ(guard::Poll(), std::vector<std::string>{path});
  guard::Read(path, "theirs, again");
  EXPECT_FALSE(guard::ChangedOnDisk(path));
  EXPECT_TRUE(guard::Poll().empty());
  platform::RemoveFile(path);
  EXPECT_TRUE(guard::Poll().empty()) << "a deleted book is written again at its save";
  guard::Forget(path);
  Spit(path, "x");
  EXPECT_TRUE(guard::Poll().empty());
}

// The command-line tool runs without the program's guard: a book the program holds open
// is still not written under it.
TEST(BookGuard, WithoutTheGuardALiveLockKeepsTheFile) {
  testing::ScratchFolder dir;
  const std::string path = dir / "cont.dbc";
  Spit(path, "theirs");
  // Another machine's fresh lock: live wherever the test runs (no process number here is
  // sure to be running on every system).
  Spit(lock::LockPath(path), lock::LockText({"ДРУГОЙ-ПК", "", 1, platform::Now()}));
  EXPECT_FALSE(backup::SaveBook(path, "cli"));
  EXPECT_EQ(Slurp(path), "theirs");
  platform::RemoveFile(lock::LockPath(path));
  EXPECT_TRUE(backup::SaveBook(path, "cli"));
  EXPECT_EQ(Slurp(path), "cli");
}

}  // namespace
}  // namespace vm
