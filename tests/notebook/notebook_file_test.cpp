#include "notebook/notebook_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "common/record_file.h"

#include "common/header_codec.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::notebook {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

// The tree as text: every note with its depth, title and body, for comparisons.
std::string Dump(const XmlElement& e, int depth = 0) {
  std::string out;
  for (size_t i = 0; i < e.ChildCount(); ++i) {
    const XmlElement& c = *e.Child(i);
    out += std::to_string(depth) + "[" + c.name() + "]=[" + c.value() + "]\n" + Dump(c, depth + 1);
  }
  return out;
}

// Bodies and titles the plain line format cannot carry as they are, next to ordinary ones.
const std::vector<std::string>& AwkwardBodies() {
  static const std::vector<std::string> bodies = {
      "",
      "plain",
      "{\\rtf1\\ansi\\ansicpg1251\r\n{\\fonttbl{\\f0\\fnil\\fcharset204 Times;}}\r\n\\par Привет}\r\n",
      "a\r\n\r\nb",  // an empty line
      "\r\n",
      "{\\rtf1 a}\r\n\r\n",
      "a\r\n<b>bold</b>",  // a line that would read as a tag
      "</x>",
      "a\nb",  // a lone LF
      "a\r\r\nb\r",
      "\r",
      std::string("\x01\x0B\x0C zero, LF and CR once scrambled", 35),
      "=starts with the scrambled form of <",
      "\x1B"
      "41 starts with the escape mark",
      std::string("nul\0inside", 10),
  };
  return bodies;
}

const std::vector<std::string>& AwkwardTitles() {
  static const std::vector<std::string> titles = {"Новый",
                                                  "",
                                                  "/slash",
                                                  "a^b",
                                                  "a>b",
                                                  "\x1B"
                                                  "41",
                                                  "=x",
                                                  "<x"};
  return titles;
}

std::unique_ptr<XmlElement> AwkwardTree() {
  auto root = NewNotebookRoot();
  const auto& bodies = AwkwardBodies();
  const auto& titles = AwkwardTitles();
  XmlElement* parent = root.get();
  for (size_t i = 0; i < bodies.size(); ++i) {
    XmlElement* note = parent->AppendChild(titles[i % titles.size()], bodies[i]);
    if (i % 3 == 1) parent = note;  // some nesting
  }
  root->AppendChild("Последняя", "конец");
  return root;
}

// The reader's lines, taken as views, are the shared splitter's lines; and the escaped
// form, written and read a run at a time, is the byte-by-byte form.
TEST(NotebookFormat, LinesAndEscapesMatchTheirPlainForms) {
  std::mt19937 random(5);
  const char kBytes[] = {'\r', '\n', 'a', '<', '\x1B', '0', 'F', '\0', '^', '\xFF'};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(static_cast<size_t>(random() % 24), 'x');
    for (char& c : bytes) c = kBytes[random() % std::size(kBytes)];
    std::vector<std::string> lines;
    TextLines reader(bytes);
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
    ASSERT_EQ(lines, SplitTextLines(bytes)) << ::testing::PrintToString(bytes);

    const std::string unsafe = round % 2 ? std::string("\0\n\r^", 4) : std::string("a");
    std::string escaped(1, kEscapeMark), plain;
    for (char c : bytes) {
      if (c == kEscapeMark || unsafe.find(c) != std::string::npos) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        escaped += kEscapeMark + std::string(hex);
      } else {
        escaped += c;
      }
    }
    ASSERT_EQ(EscapeText(bytes, unsafe), escaped);
    ASSERT_EQ(UnescapeText(escaped), bytes);
    // Stray marks and digits read as they stand, one byte at a time.
    for (size_t i = 0; i < bytes.size(); ++i) {
      auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
      if (bytes[i] == kEscapeMark && i + 2 < bytes.size() && hex(bytes[i + 1]) && hex(bytes[i + 2])) {
        plain += static_cast<char>(std::stoi(bytes.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        plain += bytes[i];
      }
    }
    ASSERT_EQ(UnescapeText(kEscapeMark + bytes), plain) << ::testing::PrintToString(bytes);
  }
}

TEST(NotebookFormat, EveryTreeReadsBackExactlyAsWritten) {
  auto tree = AwkwardTree();
  for (std::string password : {"", "секрет", "a^b"}) {
    std::string bytes = NotebookBytes(*tree, "book.dbn", password);
    NotebookContent back = ParseNotebook(bytes);
    EXPECT_EQ(back.format, NotebookFormat::kCurrent);
    EXPECT_EQ(back.password, password);
    EXPECT_EQ(back.headerText, "book.dbn" + password);
    EXPECT_EQ(Dump(*back.root), Dump(*tree)) << "password " << password;
    // No zero bytes in the file, and every line is a single line.
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
  }
}

// A notebook without password is its header followed by each top-level note written
// as a branch, one after the other.
TEST(NotebookFormat, NotebookIsItsBranchesOneAfterTheOther) {
  auto tree = AwkwardTree();
  const std::string header = NotebookBytes(*NewNotebookRoot(), "b.dbn", "");
  std::string joined = header;
  for (size_t i = 0; i < tree->ChildCount(); ++i) joined += BranchBytes(*tree->Child(i), "b.dbn").substr(header.size());
  EXPECT_GT(tree->ChildCount(), 1u);
  EXPECT_EQ(NotebookBytes(*tree, "b.dbn", ""), joined);
}

// Tags hold a title as it stands exactly when the plain search of its unsafe bytes
// finds none, and the escaped form otherwise, with and without password.
TEST(NotebookFormat, TagsMatchThePlainRuleForTitles) {
  std::mt19937 random(9);
  const char kBytes[] = {'\0', '\n', '\r', '^', '/', '\x1B', 'a', '\xE9', ' '};
  const std::string_view unsafe("\0\n\r^", 4);
  for (int round = 0; round < 1500; ++round) {
    std::string title(static_cast<size_t>(random() % 20), 'x');
    for (char& c : title)
      if (random() % 3 == 0) c = kBytes[random() % std::size(kBytes)];
    auto root = NewNotebookRoot();
    root->AppendChild(title, "b");
    const std::string header = NotebookBytes(*NewNotebookRoot(), "t.dbn", "");
    bool plain = !IsEscaped(title) && (title.empty() || title[0] != '/') &&
                 title.find_first_of(unsafe.substr(0, 3)) == std::string::npos;
    EXPECT_EQ(NotebookBytes(*root, "t.dbn", ""),
              header + "\r\n<" + (plain ? title : EscapeText(title, unsafe)) + ">\r\nb\r\n</" +
                  (plain ? title : EscapeText(title, unsafe)) + ">");
    bool carried = !IsEscaped(title) && title.find_first_of(unsafe) == std::string::npos;
    const std::string tag = EncodeHeader(carried ? title : EscapeText(title, unsafe));
    EXPECT_NE(NotebookBytes(*root, "t.dbn", "pw").find("\r\n<" + tag + ">\r\n"), std::string::npos);
  }
}

TEST(NotebookFormat, OrdinaryNotesAreWrittenInTheSharedForm) {
  auto root = NewNotebookRoot();
  XmlElement* a = root->AppendChild("A", "body a\r\n\r\nline 2\r\n");
  a->AppendChild("B", "body b");
  root->AppendChild("C");
  EXPECT_EQ(NotebookBytes(*root, "n.dbn", ""),
            "/2|" + EncodeHeader("n.dbn") +
                "\r\n<A>\r\n<B>\r\nbody b\r\n</B>\r\nbody a\r\n\r\nline 2\r\n\r\n</A>"
                "\r\n<C>\r\n\r\n</C>");
  std::string protectedBytes = NotebookBytes(*root, "n.dbn", "pw");
  EXPECT_EQ(protectedBytes, "/2|" + EncodeHeader("n.dbnpw") + "\r\n<" + EncodeHeader("A") + ">\r\n<" +
                                EncodeHeader("B") + ">\r\n" + Scramble("body b") + "\r\n</" +
                                EncodeHeader("B") + ">\r\n" + Scramble("body a\r\n\r\nline 2\r\n") +
                                "\r\n</" + EncodeHeader("A") + ">\r\n<" + EncodeHeader("C") + ">\r\n\r\n</" +
                                EncodeHeader("C") + ">");
  EXPECT_EQ(protectedBytes.find("body"), std::string::npos);
}

TEST(NotebookFormat, ReadsTheOlderFormats) {
  struct Case {
    std::string name;
    std::string bytes;
    NotebookFormat format;
    std::string password;
    std::string dump;
  } cases[] = {
      {"empty", "", NotebookFormat::kNone, "", ""},
      {"blank lines", "\r\n\r\n", NotebookFormat::kNone, "", ""},
      {"fileformat1", "\r\nFILEFORMAT1\r\n<A>\r\n<B>\r\nb\r\n</B>\r\na1\r\n\r\na2\r\n</A>",
       NotebookFormat::kFileFormat1, "", "0[A]=[a1\r\n\r\na2]\n1[B]=[b]\n"},
      {"blank lines before a tag", "FILEFORMAT1\r\n\r\n<A>\r\n\r\n<B>\r\n\r\n</B>\r\n</A>",
       NotebookFormat::kFileFormat1, "", "0[A]=[]\n1[B]=[]\n"},
      {"no header", "text\r\n</x>\r\n<A>\r\nbody\r\n</A>", NotebookFormat::kNone, "", "0[A]=[body]\n"},
      {"v1 with name", "/1|" + EncodeHeader("old.dbn") + "\r\n<A>\r\nbody\r\n</A>", NotebookFormat::kV1, "",
       "0[A]=[body]\n"},
      {"v1 with password", "/1|" + EncodeHeader("pw") + "\r\n<A>\r\n" + Scramble("body") + "\r\n</A>",
       NotebookFormat::kV1, "pw", "0[A]=[body]\n"},
      {"current, hashes dropped from the header", "/2|#" + EncodeHeader("n.dbnpw"), NotebookFormat::kCurrent,
       "pw", ""},
      {"current, old text-mode body", "/2|" + EncodeHeader("n.dbn") + "\r\n<A>\r\nl1\r\r\nl2\r\n</A>",
       NotebookFormat::kCurrent, "", "0[A]=[l1\r\r\nl2]\n"},
      {"unbalanced closings", "/2|" + EncodeHeader("n.dbn") + "\r\n</A>\r\n</A>\r\n<B>",
       NotebookFormat::kCurrent, "", "0[B]=[]\n"},
      {"xml", "<Records>\r\n\t<A>a</A>\r\n\t<B>\r\n\t\t<C>c</C>\r\n\t</B>\r\n</Records>",
       NotebookFormat::kXml, "", "0[A]=[a]\n0[B]=[]\n1[C]=[c]\n"},
  };
  for (const Case& c : cases) {
    NotebookContent content = ParseNotebook(c.bytes);
    EXPECT_EQ(content.format, c.format) << c.name;
    EXPECT_EQ(content.password, c.password) << c.name;
    EXPECT_FALSE(content.xmlError) << c.name;
    EXPECT_EQ(Dump(*content.root), c.dump) << c.name;
  }
}

class NotebookFileTest : public ::testing::Test {
 protected:
  ScratchFolder dir;
  NotebookFile notebook;
  std::string path = dir / "book.dbn";
  void TearDown() override { platform::SetSafeReplaceFaultHook(nullptr); }
};

TEST_F(NotebookFileTest, EmptyFileOpensAsAnEmptyNotebook) {
  Spit(path, "");
  NotebookRead read = ReadNotebook(notebook, path);
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(notebook.root->name(), "Records");
  EXPECT_EQ(notebook.root->ChildCount(), 0u);
  EXPECT_EQ(notebook.state, kSaved);
  EXPECT_EQ(notebook.path, path);
}

TEST_F(NotebookFileTest, UnreadableFileKeepsTheOpenNotebook) {
  notebook.root->AppendChild("kept");
  notebook.path = path;
  NotebookRead read = ReadNotebook(notebook, dir / "missing.dbn");
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.message, "Файл не загружен, неверный формат файла");
  EXPECT_EQ(read.icon, platform::MessageIcon::kStop);
  EXPECT_EQ(notebook.root->ChildCount(), 1u);
  EXPECT_EQ(notebook.path, path);

  std::string deep = "FILEFORMAT1";
  for (int i = 0; i < 1000; ++i) deep += "\r\n<a>";
  Spit(path, deep);
  EXPECT_FALSE(ReadNotebook(notebook, path).ok);
  EXPECT_EQ(notebook.root->ChildCount(), 1u);
}

TEST_F(NotebookFileTest, DamagedXmlIsSetAsideAndNeverWritten) {
  std::string damaged = "<Records>\r\n<A>text</B>\r\n</Records>";
  Spit(path, damaged);
  NotebookRead read = ReadNotebook(notebook, path);
  EXPECT_FALSE(read.ok);
  EXPECT_TRUE(read.setAside);
  EXPECT_EQ(read.message, "'<A> ... </B>' is not wel-formed. в файле " + path +
                              ". \t\t\t\nФайл сохранен с расширением \"sav\"");
  EXPECT_EQ(Slurp(dir / "book.sav"), damaged);
  EXPECT_EQ(Slurp(path), "<missing>");
  EXPECT_EQ(notebook.state, kNoDocument);
  EXPECT_EQ(notebook.root->ChildCount(), 0u);
  MarkChanged(notebook);
  ApplyPassword(notebook, "pw", false);
  EXPECT_EQ(SaveNotebook(notebook).status, SaveStatus::kUnchanged);
  EXPECT_EQ(Slurp(path), "<missing>");

  // A ".sav" already there is not replaced, and the message does not claim otherwise.
  Spit(path, damaged);
  read = ReadNotebook(notebook, path);
  EXPECT_FALSE(read.setAside);
  EXPECT_EQ(read.message, "'<A> ... </B>' is not wel-formed. в файле " + path + ".");
  EXPECT_EQ(Slurp(path), damaged);
}

TEST_F(NotebookFileTest, SavesOnlyWhenChangedAndKeepsTheFileOnFailure) {
  notebook.path = path;
  notebook.root->AppendChild("A", "a");
  EXPECT_EQ(SaveNotebook(notebook).status, SaveStatus::kUnchanged);
  EXPECT_EQ(Slurp(path), "<missing>");

  MarkChanged(notebook);
  EXPECT_EQ(SaveNotebook(notebook).status, SaveStatus::kSaved);
  EXPECT_EQ(notebook.state, kSaved);
  std::string saved = Slurp(path);

  notebook.root->AppendChild("B", "b");
  MarkChanged(notebook);
  platform::SetSafeReplaceFaultHook([](platform::SaveError s) { return s == platform::SaveError::kRename; });
  NotebookSave failed = SaveNotebook(notebook);
  EXPECT_EQ(failed.status, SaveStatus::kFailed);
  EXPECT_FALSE(failed.error.empty());
  EXPECT_EQ(notebook.state, kChanged);
  EXPECT_EQ(Slurp(path), saved);
}

TEST_F(NotebookFileTest, ProtectedNotebookRoundTripAndPasswordCommands) {
  notebook.path = path;
  notebook.root->AppendChild("Тайна", "{\\rtf1 текст}");
  EXPECT_EQ(PasswordModeFor(notebook), PasswordMode::kSetting);
  EXPECT_STREQ(PasswordTitle(PasswordMode::kSetting), "Установите пароль");
  // The old scheme, kept by the user's option (strong protection: notebook_protection_test).
  EXPECT_FALSE(ApplyPassword(notebook, "Пароль", false, Protection::kLegacy));  // set: now protected
  EXPECT_EQ(notebook.state, kChanged);
  ASSERT_EQ(SaveNotebook(notebook).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(path).find("Тайна"), std::string::npos);

  NotebookFile again;
  ASSERT_TRUE(ReadNotebook(again, path).ok);
  EXPECT_TRUE(again.isProtected);
  EXPECT_EQ(PasswordModeFor(again), PasswordMode::kEntering);
  EXPECT_FALSE(ApplyPassword(again, "пароль", true));  // wrong case: nothing happens
  EXPECT_TRUE(again.isProtected);
  EXPECT_EQ(again.password, "Пароль");
  EXPECT_TRUE(ApplyPassword(again, "Пароль", false, Protection::kLegacy));
  EXPECT_EQ(again.state, kSaved);
  EXPECT_EQ(Dump(*again.root), "0[Тайна]=[{\\rtf1 текст}]\n");

  // "Снять пороль": unlocked and written without password next time.
  again.isProtected = true;
  EXPECT_TRUE(ApplyPassword(again, "Пароль", true, Protection::kLegacy));
  EXPECT_EQ(again.password, "");
  EXPECT_EQ(again.state, kChanged);
  ASSERT_EQ(SaveNotebook(again).status, SaveStatus::kSaved);
  EXPECT_NE(Slurp(path).find("Тайна"), std::string::npos);
}

// Copies and renames, with and without extensions: a plain notebook never reads as
// protected (its titles once came out empty), a protected one keeps its password.
TEST_F(NotebookFileTest, CopiesAndRenamesKeepTheirProtection) {
  auto root = NewNotebookRoot();
  root->AppendChild("Заметка", "текст");
  const char* savedAs[] = {"notes2", "notes.dbn", "n", "NOTES.DBN", "a.dbn.bak"};
  const char* copiedTo[] = {"notes", "notes2", "notes.dbn", "n.dbn", "NOTES", "a.dbn", "other"};
  for (const char* password : {"", "pw"}) {
    for (const char* from : savedAs) {
      Spit(dir / from, NotebookBytes(*root, from, password));
      for (const char* to : copiedTo) {
        SCOPED_TRACE(std::string(from) + " -> " + to + " password " + password);
        Spit(dir / to, Slurp(dir / from));
        NotebookFile back;
        ASSERT_TRUE(ReadNotebook(back, dir / to).ok);
        EXPECT_EQ(back.isProtected, *password != 0);
        EXPECT_EQ(back.password, password);
        EXPECT_EQ(Dump(*back.root), "0[Заметка]=[текст]\n");
      }
    }
  }
}

TEST_F(NotebookFileTest, RearrangedNotebookFollowsTheScreenAndStaysProtected) {
  notebook.path = path;
  notebook.root->AppendChild("B", "b");
  notebook.root->AppendChild("A", "a");
  notebook.password = "pw";
  notebook.scheme = Protection::kLegacy;
  notebook.state = kRearranged;
  auto onScreen = NewNotebookRoot();
  onScreen->AppendChild("A", "a");
  onScreen->AppendChild("B", "b");
  ASSERT_EQ(SaveNotebook(notebook, onScreen.get()).status, SaveStatus::kSaved);
  EXPECT_EQ(notebook.state, kRearranged);
  MarkChanged(notebook);
  EXPECT_EQ(notebook.state, kRearranged);

  NotebookFile again;
  ASSERT_TRUE(ReadNotebook(again, path).ok);
  EXPECT_TRUE(again.isProtected);
  EXPECT_EQ(again.password, "pw");
  EXPECT_EQ(Dump(*again.root), "0[A]=[a]\n0[B]=[b]\n");
}

TEST_F(NotebookFileTest, BranchExportAndImportRule) {
  auto root = AwkwardTree();
  const XmlElement& branch = *root->Child(1);
  ASSERT_GT(branch.ChildCount(), 0u);
  std::string exported = dir / "branch.dbn";
  ASSERT_EQ(ExportBranch(branch, exported).status, SaveStatus::kSaved);
  EXPECT_EQ(Slurp(exported).substr(0, 3 + EncodeHeader("branch.dbn").size()),
            "/2|" + EncodeHeader("branch.dbn"));

  BranchImport import = ImportBranch(exported);
  ASSERT_TRUE(import.ok);
  ASSERT_EQ(import.notes->ChildCount(), 1u);
  auto expected = NewNotebookRoot();
  expected->AppendChild(branch.DeepCopy());
  EXPECT_EQ(Dump(*import.notes), Dump(*expected));

  // Renamed since it was written, or protected: refused, with the information icon.
  std::string renamed = dir / "renamed.dbn";
  Spit(renamed, Slurp(exported));
  std::string locked = dir / "locked.dbn";
  Spit(locked, NotebookBytes(*root, "locked.dbn", "pw"));
  std::string xml = dir / "old.dbn";
  Spit(xml, "<Records><A/></Records>");
  for (const std::string& p : {renamed, locked, xml}) {
    BranchImport refused = ImportBranch(p);
    EXPECT_FALSE(refused.ok) << p;
    EXPECT_EQ(refused.message, "Файл не загружен, защищен паролем!");
    EXPECT_EQ(refused.icon, platform::MessageIcon::kInformation);
  }
  // A renamed file still opens.
  EXPECT_TRUE(ReadNotebook(notebook, renamed).ok);

  std::string old = dir / "anything.dbn";
  Spit(old, "FILEFORMAT1\r\n<A>\r\na\r\n</A>");
  EXPECT_TRUE(ImportBranch(old).ok);
}

}  // namespace
}  // namespace vm::notebook

namespace vm::notebook {
namespace {

TEST(NotebookPaths, ExtensionFoldersAndTheStartUpFile) {
  EXPECT_EQ(WithNotebookExtension("C:\\Личное\\книга"), "C:\\Личное\\книга.dbn");
  EXPECT_EQ(WithNotebookExtension("книга.DBN"), "книга.DBN");
  EXPECT_EQ(WithNotebookExtension("книга.dbn.txt"), "книга.dbn.txt.dbn");
  EXPECT_EQ(WithNotebookExtension("dbn"), "dbn.dbn");

  testing::ScratchFolder dir;
  const std::string program = dir.path(), personal = dir / "Personal";
  // No file yet, or its folder is gone: "Personal", made on the way.
  EXPECT_EQ(NotebookDialogFolder("", program), personal);
  EXPECT_TRUE(platform::DirExists(personal));
  EXPECT_EQ(NotebookDialogFolder(dir / "нет\\книга.dbn", program), personal);
  platform::MakeDir(dir / "Мои");
  EXPECT_EQ(NotebookDialogFolder(dir / "Мои\\книга.dbn", program), dir / "Мои");

  // The stored file, else the one of that name in "Personal", else none.
  EXPECT_EQ(StartupNotebookPath("", program), "");
  EXPECT_EQ(StartupNotebookPath(dir / "Мои\\книга.dbn", program), "");
  testing::Spit(personal + "\\книга.dbn", "");
  EXPECT_EQ(StartupNotebookPath("D:\\Старое\\книга.dbn", program), personal + "\\книга.dbn");
  testing::Spit(dir / "Мои\\книга.dbn", "");
  EXPECT_EQ(StartupNotebookPath(dir / "Мои\\книга.dbn", program), dir / "Мои\\книга.dbn");
}

}  // namespace
}  // namespace vm::notebook
