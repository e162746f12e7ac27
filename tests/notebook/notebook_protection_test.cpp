// Strong protection of notebooks: every awkward tree through it under a random
// password, the refusal of every changed byte, rearranged trees never written plain,
// locked files written back untouched, and the old scheme read and upgraded.
#include <gtest/gtest.h>

#include <random>

#include "notebook/notebook_file.h"
#include "notebook/note_tree.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::notebook {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

constexpr uint32_t kFewRounds = 1000;

std::string Dump(const XmlElement& e, int depth = 0) {
  std::string out;
  for (size_t i = 0; i < e.ChildCount(); ++i) {
    const XmlElement& c = *e.Child(i);
    out += std::to_string(depth) + "[" + c.name() + "]=[" + c.value() + "]\n" + Dump(c, depth + 1);
  }
  return out;
}

std::unique_ptr<XmlElement> RandomTree(std::mt19937& rng) {
  static const std::string pieces[] = {"Заметка", "^", "|", "#", "\r\n", "<b>", "</x>", "/", std::string("\0", 1),
                                       "\x1B" "41", "{\\rtf1 текст}", " ", "=", "\x0B"};
  auto text = [&] {
    std::string out;
    for (size_t n = rng() % 6; n; --n) out += pieces[rng() % std::size(pieces)];
    return out;
  };
  auto root = NewNotebookRoot();
  std::vector<XmlElement*> open{root.get()};
  for (size_t n = rng() % 12; n; --n) {
    XmlElement* note = open[rng() % open.size()]->AppendChild(text(), text());
    open.push_back(note);
  }
  return root;
}

std::string RandomPassword(std::mt19937& rng) {
  static const std::string pool = "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВЯЁabcXYZ0129 ^|#\\<>=/";
  std::string out;
  for (size_t n = 1 + rng() % 24; out.size() < n;) out += pool[rng() % pool.size()];
  return out;
}

class NotebookProtection : public ::testing::Test {
 protected:
  ScratchFolder dir;
  std::string path = dir / "Дневник.dbn";

  NotebookFile Protected(std::unique_ptr<XmlElement> root, const std::string& password) {
    NotebookFile nb;
    nb.root = std::move(root);
    nb.path = path;
    nb.kdfIterations = kFewRounds;
    ApplyPassword(nb, password, false);
    return nb;
  }
};

TEST_F(NotebookProtection, EveryTreeRoundTripsUnderARandomPassword) {
  std::mt19937 rng(33);
  for (int round = 0; round < 12; ++round) {
    std::unique_ptr<XmlElement> tree = RandomTree(rng);
    const std::string expected = Dump(*tree);
    const std::string password = RandomPassword(rng);
    SCOPED_TRACE(password);
    NotebookFile nb = Protected(std::move(tree), password);
    EXPECT_EQ(nb.scheme, Protection::kStrong);
    ASSERT_EQ(SaveNotebook(nb).status, SaveStatus::kSaved);
    const std::string bytes = Slurp(path);
    ASSERT_TRUE(LooksSealed(bytes));
    EXPECT_EQ(bytes.find("Заметка"), std::string::npos);
    EXPECT_EQ(ParseNotebook(bytes).format, NotebookFormat::kStrong);

    Spit(dir / "renamed", bytes);  // nothing depends on the name
    NotebookFile back;
    ASSERT_TRUE(ReadNotebook(back, dir / "renamed").ok);
    EXPECT_TRUE(back.isProtected);
    EXPECT_EQ(back.root->ChildCount(), 0u);
    EXPECT_TRUE(back.password.empty());
    EXPECT_EQ(PasswordModeFor(back), PasswordMode::kEntering);
    PasswordOutcome outcome;
    EXPECT_FALSE(ApplyPassword(back, password + "#", false, Protection::kStrong, &outcome));
    EXPECT_EQ(outcome, PasswordOutcome::kWrong);
    EXPECT_TRUE(ApplyPassword(back, password, false, Protection::kStrong, &outcome));
    EXPECT_EQ(outcome, PasswordOutcome::kUnlocked);
    EXPECT_EQ(back.password, password);
    EXPECT_EQ(back.state, kSaved);
    EXPECT_EQ(Dump(*back.root), expected);
  }
}

TEST_F(NotebookProtection, EveryChangedByteIsRefused) {
  auto root = NewNotebookRoot();
  root->AppendChild("Т", "x");
  NotebookFile nb = Protected(std::move(root), "п^");
  nb.kdfIterations = 1;
  ASSERT_EQ(SaveNotebook(nb).status, SaveStatus::kSaved);
  const std::string good = Slurp(path);
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ (i % 2 ? 0x80 : 0x02));
    Spit(path, bad);
    NotebookFile back;
    ASSERT_TRUE(ReadNotebook(back, path).ok) << i;
    ASSERT_TRUE(back.isProtected) << "byte " << i;
    PasswordOutcome outcome;
    EXPECT_FALSE(ApplyPassword(back, "п^", false, Protection::kStrong, &outcome)) << "byte " << i;
    EXPECT_EQ(outcome, PasswordOutcome::kWrong);
    EXPECT_EQ(back.root->ChildCount(), 0u);
    // Saving the locked notebook (as "Сохранить" would) leaves the file as found.
    back.state = kChanged;
    SaveNotebook(back);
    EXPECT_EQ(Slurp(path), bad);
  }
}

// Rearranging the tree once wrote a protected notebook plain until the next ordinary
// save; with either scheme it stays protected.
TEST_F(NotebookProtection, RearrangedTreeIsNeverWrittenPlain) {
  for (Protection scheme : {Protection::kStrong, Protection::kLegacy}) {
    auto root = NewNotebookRoot();
    root->AppendChild("Б", "секрет б");
    root->AppendChild("А", "секрет а");
    NotebookFile nb;
    nb.root = std::move(root);
    nb.path = path;
    nb.kdfIterations = kFewRounds;
    ApplyPassword(nb, "пароль", false, scheme);
    ASSERT_EQ(SaveNotebook(nb).status, SaveStatus::kSaved);
    SortChildren(nb, *nb.root);
    ASSERT_EQ(nb.state, kRearranged);
    ASSERT_EQ(SaveNotebook(nb, nb.root.get()).status, SaveStatus::kSaved);
    const std::string bytes = Slurp(path);
    EXPECT_EQ(bytes.find("секрет"), std::string::npos) << ProtectionName(scheme);
    EXPECT_EQ(LooksSealed(bytes), scheme == Protection::kStrong);
    NotebookFile back;
    ReadNotebook(back, path);
    EXPECT_TRUE(ApplyPassword(back, "пароль", false, scheme));
    EXPECT_EQ(Dump(*back.root), "0[А]=[секрет а]\n0[Б]=[секрет б]\n");
  }
}

TEST_F(NotebookProtection, LockedFileIsWrittenBackAsItWasAndRefusedAsABranch) {
  auto root = NewNotebookRoot();
  root->AppendChild("Заметка", "текст");
  NotebookFile nb = Protected(std::move(root), "пароль");
  ASSERT_EQ(SaveNotebook(nb).status, SaveStatus::kSaved);
  const std::string bytes = Slurp(path);
  NotebookFile locked;
  ReadNotebook(locked, path);
  locked.path = dir / "copy.dbn";  // "Сохранить как"
  locked.state = kChanged;
  ASSERT_EQ(SaveNotebook(locked).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(dir / "copy.dbn"), bytes);
  BranchImport import = ImportBranch(path);
  EXPECT_FALSE(import.ok);
  EXPECT_STREQ(import.message.c_str(), kBranchRefusedMessage);
}

TEST_F(NotebookProtection, OldSchemeOpensAsBeforeAndIsUpgradedOnceUnlocked) {
  auto root = NewNotebookRoot();
  root->AppendChild("Заметка", "текст");
  Spit(path, NotebookBytes(*root, "Дневник.dbn", "пароль"));
  NotebookFile old;
  ASSERT_TRUE(ReadNotebook(old, path).ok);
  EXPECT_EQ(old.scheme, Protection::kLegacy);
  PasswordOutcome outcome;
  // Kept by the user's option: unlocked, nothing to write.
  EXPECT_TRUE(ApplyPassword(old, "пароль", false, Protection::kLegacy, &outcome));
  EXPECT_EQ(outcome, PasswordOutcome::kUnlocked);
  EXPECT_EQ(old.state, kSaved);

  NotebookFile nb;
  ReadNotebook(nb, path);
  nb.kdfIterations = kFewRounds;
  EXPECT_TRUE(ApplyPassword(nb, "пароль", false, Protection::kStrong, &outcome));
  EXPECT_EQ(outcome, PasswordOutcome::kUpgraded);
  EXPECT_EQ(nb.state, kChanged);  // the old file is replaced at the next save
  ASSERT_EQ(SaveNotebook(nb).status, SaveStatus::kSaved);
  EXPECT_TRUE(LooksSealed(Slurp(path)));
  NotebookFile back;
  ReadNotebook(back, path);
  EXPECT_TRUE(ApplyPassword(back, "пароль", false, Protection::kStrong, &outcome));
  EXPECT_EQ(outcome, PasswordOutcome::kUnlocked);
  EXPECT_EQ(Dump(*back.root), "0[Заметка]=[текст]\n");
}

TEST_F(NotebookProtection, OpensANotebookWrittenByStandardTools) {
  NotebookFile nb;
  ASSERT_TRUE(ReadNotebook(nb, std::string(VELMORIA_SOURCE_DIR) + "/tests/fixtures/python_strong.dbn").ok);
  EXPECT_TRUE(ApplyPassword(nb, "Пароль ^|# тайна", false));
  EXPECT_EQ(Dump(*nb.root), "0[Дневник]=[Первая строка]\n1[Вложенная запись]=[Секретный текст]\n");
}

}  // namespace
}  // namespace vm::notebook
