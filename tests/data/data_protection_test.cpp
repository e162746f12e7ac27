// Strong protection of data tables: round trips of awkward tables under a random
// password, the refusal of every changed byte, the locked table written back
// untouched, and the old scheme read and upgraded.
#include <gtest/gtest.h>

#include <random>

#include "common/header_codec.h"
#include "data/data_book.h"
#include "data/data_file.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::data {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

constexpr uint32_t kFewRounds = 1000;

std::vector<std::string> Lines(const DataTable& t) {
  std::vector<std::string> out;
  for (const auto& r : t.records) out.push_back(r.line);
  return out;
}

// A password of Cyrillic and Latin letters, digits and the bytes the line formats treat
// specially.
std::string RandomPassword(std::mt19937& rng) {
  static const std::string pool = "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЯЁabcXYZ0129 ^|#\\<>=/";
  std::string out;
  for (size_t n = 1 + rng() % 24; out.size() < n;) out += pool[rng() % pool.size()];
  return out;
}

DataTable Shape(int which) {
  DataTable t;
  switch (which) {
    case 0: break;  // no columns, no records
    case 1:
      t.def.AddColumnEntry("Имя", 120, 1);
      break;
    case 2:
      t.def.AddColumnEntry("Имя", 120, 1);
      t.def.AddColumnEntry("Код^|#", 90, 0);
      t.def.AddColumnEntry("<Records>", 100, 1);
      t.def.webColumn = 2;
      t.records = {{"Иван|1|x"}, {"  leading|2|"}, {"||"}, {"ctl \x01\x0B\x0C|3|"}, {"a#|b|c|"}};
      break;
    default:
      t.def.AddColumnEntry("a\\b|c", 100, 1);
      t.records = {{""}, {"/4|x|1|1|-1|-1|-1|"}, {"has <Records inside"}, {"a\r\nb"}, {std::string("nul\0", 4)}};
      t.carried = {"carried line"};
      break;
  }
  t.def.lastColumn = static_cast<int>(t.def.names.size()) - 1;
  return t;
}

TEST(DataProtection, EveryShapeRoundTripsUnderARandomPassword) {
  ScratchFolder dir;
  std::mt19937 rng(20261208);
  for (int shape = 0; shape < 4; ++shape) {
    DataTable t = Shape(shape);
    t.path = dir / "Таблица.dbp";
    t.kdfIterations = kFewRounds;
    const std::string password = RandomPassword(rng);
    SCOPED_TRACE("shape " + std::to_string(shape) + " password " + password);
    EXPECT_EQ(ApplyTablePassword(t, password, false), PasswordOutcome::kSet);
    ASSERT_EQ(SaveTable(t).status, TableSaveStatus::kSaved);
    std::string bytes = Slurp(t.path);
    ASSERT_TRUE(LooksSealed(bytes));
    for (const std::string& name : t.def.names)
      if (name.size() > 2) EXPECT_EQ(bytes.find(name), std::string::npos);
    EXPECT_EQ(bytes.find("Иван"), std::string::npos);

    // Renamed, it opens all the same; locked, it holds nothing but its bytes.
    Spit(dir / "другое имя.dbp", bytes);
    DataTable back;
    back.path = dir / "другое имя.dbp";
    ASSERT_TRUE(LoadTable(back).opened);
    EXPECT_TRUE(back.locked);
    EXPECT_TRUE(back.records.empty());
    EXPECT_TRUE(back.def.names.empty());
    EXPECT_EQ(back.def.protection, kTableProtected);
    EXPECT_EQ(ApplyTablePassword(back, password + "x", false), PasswordOutcome::kWrong);
    EXPECT_TRUE(back.locked);
    EXPECT_EQ(ApplyTablePassword(back, password, false), PasswordOutcome::kUnlocked);
    EXPECT_FALSE(back.locked);
    EXPECT_EQ(back.password, password);
    EXPECT_EQ(back.path, dir / "другое имя.dbp");
    EXPECT_EQ(back.def.names, t.def.names);
    EXPECT_EQ(back.def.widths, t.def.widths);
    EXPECT_EQ(back.def.shown, t.def.shown);
    EXPECT_EQ(back.def.webColumn, t.def.webColumn);
    std::vector<std::string> expected = Lines(t);
    for (const std::string& c : t.carried) expected.push_back(c);
    std::vector<std::string> got = Lines(back);
    for (const std::string& c : back.carried) got.push_back(c);
    EXPECT_EQ(got, expected);
  }
}

TEST(DataProtection, EveryChangedByteIsRefusedAndNothingIsWritten) {
  ScratchFolder dir;
  DataTable t = Shape(1);
  t.records = {{"Анна"}};
  t.path = dir / "t.dbp";
  t.kdfIterations = 1;
  ApplyTablePassword(t, "пароль^", false);
  ASSERT_EQ(SaveTable(t).status, TableSaveStatus::kSaved);
  const std::string good = Slurp(t.path);
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ (i % 2 ? 0x01 : 0x40));
    Spit(t.path, bad);
    DataBook book;
    book.Open(t.path);
    ASSERT_TRUE(book.Locked()) << i;
    EXPECT_EQ(book.ApplyPasswordOutcome("пароль^", false), PasswordOutcome::kWrong) << "byte " << i;
    EXPECT_TRUE(book.Locked());
    EXPECT_TRUE(book.table().records.empty());
    // A save of the locked book writes nothing new: the file stays as it was found.
    book.Save();
    EXPECT_EQ(Slurp(t.path), bad);
  }
}

TEST(DataProtection, LockedStrongTableIsWrittenBackUntouchedAndSavesAsACopy) {
  ScratchFolder dir;
  DataBook b;
  b.table() = Shape(2);
  b.table().path = dir / "a.dbp";
  b.table().kdfIterations = kFewRounds;
  b.ApplyPassword("тайна", false);
  ASSERT_EQ(b.Save().status, TableSaveStatus::kSaved);
  const std::string bytes = Slurp(b.table().path);

  DataBook again;
  again.Open(dir / "a.dbp");
  EXPECT_TRUE(again.listHidden());
  EXPECT_TRUE(again.view().empty());
  EXPECT_FALSE(again.Commands().save);
  EXPECT_NE(again.Save().status, TableSaveStatus::kFailed);
  EXPECT_EQ(Slurp(dir / "a.dbp"), bytes);
  ASSERT_NE(again.SaveAs(dir / "b.dbp", true).status, TableSaveStatus::kFailed);
  EXPECT_EQ(Slurp(dir / "b.dbp"), bytes);

  EXPECT_TRUE(again.ApplyPassword("тайна", false));
  EXPECT_FALSE(again.listHidden());
  EXPECT_EQ(again.view().size(), 5u);
  // Each save is new salt, new nonce: never the same bytes twice.
  again.table().kdfIterations = kFewRounds;
  ASSERT_EQ(again.Save().status, TableSaveStatus::kSaved);
  EXPECT_NE(Slurp(dir / "b.dbp"), bytes);
  EXPECT_TRUE(LooksSealed(Slurp(dir / "b.dbp")));

  // "Снять пороль": written plain from then on.
  DataBook third;
  third.Open(dir / "b.dbp");
  EXPECT_TRUE(third.ApplyPassword("тайна", true));
  ASSERT_EQ(third.Save().status, TableSaveStatus::kSaved);
  EXPECT_FALSE(LooksSealed(Slurp(dir / "b.dbp")));
  EXPECT_NE(Slurp(dir / "b.dbp").find("Иван|1|x"), std::string::npos);
}

TEST(DataProtection, OldSchemeOpensAsBeforeAndIsUpgradedOnceUnlocked) {
  ScratchFolder dir;
  DataTable old = Shape(2);
  old.path = dir / "old.dbp";
  old.password = "тайна";
  old.scheme = Protection::kLegacy;
  old.def.modified = kTableChanged;
  ASSERT_EQ(SaveTable(old).status, TableSaveStatus::kSaved);
  const std::string legacy = Slurp(old.path);
  ASSERT_FALSE(LooksSealed(legacy));

  // Locked, the records are there as before and a save keeps the old scheme.
  DataBook b;
  b.Open(old.path);
  b.table().kdfIterations = kFewRounds;
  EXPECT_EQ(b.table().scheme, Protection::kLegacy);
  EXPECT_EQ(b.table().records.size(), 5u);
  b.Save();
  EXPECT_EQ(Slurp(old.path), legacy);
  // Kept by the user's option, unlocking changes nothing either.
  EXPECT_EQ(b.ApplyPasswordOutcome("тайна", false, Protection::kLegacy), PasswordOutcome::kUnlocked);
  b.Save();
  EXPECT_EQ(Slurp(old.path), legacy);

  DataBook c;
  c.Open(old.path);
  c.table().kdfIterations = kFewRounds;
  EXPECT_EQ(c.ApplyPasswordOutcome("не то", false), PasswordOutcome::kWrong);
  EXPECT_EQ(c.ApplyPasswordOutcome("тайна", false), PasswordOutcome::kUpgraded);
  ASSERT_EQ(c.Save().status, TableSaveStatus::kSaved);
  const std::string strong = Slurp(old.path);
  EXPECT_TRUE(LooksSealed(strong));
  DataBook d;
  d.Open(old.path);
  EXPECT_EQ(d.ApplyPasswordOutcome("тайна", false), PasswordOutcome::kUnlocked);  // no second notice
  EXPECT_EQ(Lines(d.table()), Lines(old));
}

TEST(DataProtection, OpensATableWrittenByStandardTools) {
  DataBook b;
  b.Open(std::string(VELMORIA_SOURCE_DIR) + "/tests/fixtures/python_strong.dbp");
  EXPECT_TRUE(b.Locked());
  EXPECT_TRUE(b.ApplyPassword("Пароль ^|# тайна", false));
  EXPECT_EQ(b.table().def.names, (std::vector<std::string>{"Имя", "Телефон"}));
  EXPECT_EQ(Lines(b.table()), (std::vector<std::string>{"Анна|123-45", "Борис|678"}));
  EXPECT_EQ(b.table().def.phoneColumn, 1);
}

}  // namespace
}  // namespace vm::data
