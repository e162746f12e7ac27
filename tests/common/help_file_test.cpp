// The help file compiles from the sources in help/, and every page reaches it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "common/record_file.h"
#include "common/report_samples.h"
#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::SourcePath;

std::set<std::string> ProjectFiles() {
  std::set<std::string> files;
  std::string project = Slurp(SourcePath("help/Velmoria.hhp"));
  size_t at = project.find("[FILES]");
  for (std::string line : SplitTextLines(project.substr(at == std::string::npos ? project.size() : at + 7)))
    if (!line.empty()) files.insert(line);
  return files;
}

TEST(HelpFile, EveryPageIsInTheProjectAndTheContents) {
  std::set<std::string> files = ProjectFiles();
  std::string contents = Slurp(SourcePath("help/toc.hhc"));
  const char* pages[] = {"index.html",    "data.html",        "contacts.html", "firms.html", "dates.html",
                         "notebook.html", "tasks.html",       "spreadsheet.html", "settings.html",
                         "reports.html",  "backups.html",     "find.html"};
  for (const char* page : pages) {
    EXPECT_TRUE(files.count(page)) << page;
    EXPECT_NE(contents.find(std::string("value=\"") + page + "\""), std::string::npos) << page;
    std::string html = Slurp(SourcePath(std::string("help/") + page));
    EXPECT_NE(html.find("charset=windows-1251"), std::string::npos) << page;
    // Written in UTF-8, shipped in cp1251: every character must have a cp1251 byte.
    std::string shipped = platform::Utf8ToCp1251(html);
    EXPECT_EQ(std::count(shipped.begin(), shipped.end(), '?'), std::count(html.begin(), html.end(), '?')) << page;
  }
}

TEST(HelpFile, CompilesWithChmcmd) {
#ifdef _WIN32
  GTEST_SKIP() << "the help file is compiled by the native build";
#else
  if (std::system("command -v chmcmd >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "chmcmd is not installed (scripts/deps/reports.txt lists fp-utils)";
  ScratchFolder dir;
  std::string out = platform::Cp1251ToUtf8(dir / "Velmoria.chm");
  for (char& c : out)
    if (c == '\\') c = '/';
  std::string command = "sh '" VELMORIA_SOURCE_DIR "/help/build-chm.sh' '" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string chm = Slurp(dir / "Velmoria.chm");
  ASSERT_GT(chm.size(), 4u);
  EXPECT_EQ(chm.substr(0, 4), "ITSF");
  for (const std::string& file : ProjectFiles()) EXPECT_NE(chm.find("/" + file), std::string::npos) << file;
#endif
}

}  // namespace
}  // namespace vm
