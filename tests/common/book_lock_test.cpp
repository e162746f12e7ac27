#include "common/book_lock.h"

#include <gtest/gtest.h>

#include "support/scratch.h"

namespace vm::lock {
namespace {

const platform::LocalTime kNow{2026, 12, 8, 14, 5, 33, 0};

TEST(BookLock, WhoHoldsABook) {
  const LockInfo here{"КОМП-1", "Ольга", 100, kNow};
  auto running = [](uint32_t pid) { return pid == 100 || pid == 200; };
  struct Case {
    const char* what;
    std::optional<LockInfo> lock;
    LockState state;
  } cases[] = {
      {"none", std::nullopt, LockState::kNone},
      {"this process", LockInfo{"комп-1", "Ольга", 100, kNow}, LockState::kMine},
      {"a second copy here", LockInfo{"КОМП-1", "Ольга", 200, kNow}, LockState::kThisMachine},
      {"a process gone here", LockInfo{"КОМП-1", "Ольга", 300, kNow}, LockState::kNone},
      {"another machine, an hour ago", LockInfo{"НОУТБУК", "Пётр", 100, {2026, 12, 8, 13, 5, 33}},
       LockState::kOtherMachine},
      {"another machine, 23 h 59 min ago", LockInfo{"НОУТБУК", "", 7, {2026, 12, 7, 14, 6, 0}},
       LockState::kOtherMachine},
      {"another machine, over a day ago", LockInfo{"НОУТБУК", "", 7, {2026, 12, 7, 14, 5, 0}}, LockState::kNone},
      {"another machine, a day ahead", LockInfo{"НОУТБУК", "", 7, {2026, 12, 9, 15, 0, 0}}, LockState::kNone},
      {"another machine, last year", LockInfo{"НОУТБУК", "", 7, {2025, 12, 8, 14, 5, 33}}, LockState::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Judge(c.lock, here, kNow, running), c.state) << c.what;
    if (c.lock) {
      EXPECT_EQ(Judge(ParseLock(LockText(*c.lock)), here, kNow, running), c.state) << c.what << " (read back)";
    }
  }
  // A damaged or foreign file is no lock.
  for (const char* text : {"", "Velmoria lock 1\r\n", "Velmoria lock 2\r\nmachine=A\r\nprocess=1\r\ntime=2026-12-08 14:05:33\r\n",
                           "Velmoria lock 1\r\nmachine=A\r\nprocess=x\r\ntime=2026-12-08 14:05:33\r\n",
                           "Velmoria lock 1\r\nmachine=A\r\nprocess=1\r\ntime=вчера\r\n"})
    EXPECT_FALSE(ParseLock(text)) << text;
  EXPECT_TRUE(IsLockName("Контакты.dbc.LOCK"));
  EXPECT_FALSE(IsLockName("Контакты.dbc"));
  EXPECT_FALSE(IsLockName(".lock"));
}

TEST(BookLock, TakenBesideTheBookAndLeftToItsOwner) {
  testing::ScratchFolder dir;
  const std::string book = dir / "cont.dbc";
  EXPECT_EQ(Take(book), LockState::kNone);
  EXPECT_EQ(StateOf(book), LockState::kMine);
  Release(book);
  EXPECT_FALSE(platform::FileExists(LockPath(book)));

  LockInfo other{"ДРУГОЙ-КОМПЬЮТЕР", "Пётр", 1, platform::Now()};
  testing::Spit(LockPath(book), LockText(other));
  std::optional<LockInfo> found;
  EXPECT_EQ(Take(book, &found), LockState::kOtherMachine);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->user, "Пётр");
  Release(book);
  EXPECT_EQ(testing::Slurp(LockPath(book)), LockText(other)) << "another's lock stays";
  EXPECT_NE(LockedMessage(book, other).find("ДРУГОЙ-КОМПЬЮТЕР"), std::string::npos);
}

}  // namespace
}  // namespace vm::lock
