// velmoria-cli report, recode and translit, run as a user runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm {
namespace {

using testing::ScratchFolder;
using testing::Slurp;
using testing::Spit;

#ifndef _WIN32
std::string Native(const std::string& cp1251) {
  std::string p = platform::Cp1251ToUtf8(cp1251);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

struct CliRun {
  int status;
  std::string out;  // stdout and stderr
};

// Runs the CLI with the given bytes on its standard input.
CliRun Cli(const ScratchFolder& dir, const std::string& args, const std::string& input = "") {
  Spit(dir / "stdin", input);
  std::string command = std::string(VELMORIA_CLI_PATH) + " " + args + " <'" + Native(dir / "stdin") + "' 2>&1";
  CliRun r{-1, {}};
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return r;
}
#endif

class ReportsCli : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the CLI is run by the native tests";
#endif
  }
  ScratchFolder dir_;
};

#ifndef _WIN32
TEST_F(ReportsCli, RecodeAndTranslitWorkOnStandardStreams) {
  struct Case {
    const char* args;
    std::string input, output;
    int status;
  } cases[] = {
      {"recode 1251 20866", "\xC0\xE0\x88", "\xE1\xC1#", 0},
      {"recode oem 1251", "\x80", "\xC0", 0},
      {"recode 28595 utf8", "\xB0", "\xD0\x90", 0},
      {"recode utf8 1251", "\xD0\x90\xE2\x82\xAC", "\xC0\x88", 0},
      {"recode utf8 1251", "\xC0\xE0", "velmoria-cli: \xD0\x9D\xD0\xB5 \xD1\x83\xD0\xB4\xD0\xB0\xD0\xBB\xD0\xBE\xD1\x81\xD1\x8C "
                                       "\xD0\xBA\xD0\xBE\xD0\xBD\xD0\xB2\xD0\xB5\xD1\x80\xD1\x82\xD0\xB8\xD1\x80\xD0\xBE\xD0\xB2"
                                       "\xD0\xB0\xD1\x82\xD1\x8C \xD0\xB2 unicode!\n", 1},
      {"recode 1251 866", "x", "velmoria-cli: usage: recode FROM TO (each one of 1251, 20866, 28595, oem, utf8)\n", 1},
      {"translit lat2rus", "shchi E'to", "\xD1\x88\xD1\x87\xD0\xB8 \xD0\xAD\xD1\x82\xD0\xBE", 0},
      {"translit rus2lat", "\xD1\x89\xD0\xB8 \xD0\x81", "wi YO", 0},
      {"translit both", "", "velmoria-cli: usage: translit lat2rus|rus2lat\n", 1},
  };
  for (const Case& c : cases) {
    CliRun r = Cli(dir_, c.args, c.input);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(r.out, c.output) << c.args;
  }
}

TEST_F(ReportsCli, ReportBuildsThePageOrNamesWhatIsMissing) {
  Spit(dir_ / "Pic.html", "<p>#COUNT#</p>#D1#<i>#NAME1#</i>#1D#<p>.</p>");
  Spit(dir_ / "Dat.txt", "|1:NAME1:\xC0\r\n|1:NAME1:b\r\n|0:COUNT:2\r\n");
  std::string files = "'" + Native(dir_ / "Dat.txt") + "' '" + Native(dir_ / "Pic.html") + "' '" +
                      Native(dir_ / "Rep.html") + "'";
  CliRun ok = Cli(dir_, "report " + files);
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_EQ(Slurp(dir_ / "Rep.html"), "<p>2</p><i>\xC0</i><i>b</i><p>.</p>");

  CliRun missing = Cli(dir_, "report '" + Native(dir_ / "Dat.txt") + "' '" + Native(dir_ / "None.html") + "' x.html");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(platform::Utf8ToCp1251(missing.out),
            "velmoria-cli: Не могу открыть файл шаблона " + platform::Utf8ToCp1251(Native(dir_ / "None.html")) + "\n");
  EXPECT_EQ(Cli(dir_, "report only-two args").status, 1);
}
#endif

}  // namespace
}  // namespace vm
