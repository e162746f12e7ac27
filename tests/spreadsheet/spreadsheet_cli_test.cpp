// velmoria-cli's spreadsheet commands as a black box.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "support/scratch.h"

namespace vm::spreadsheet {
namespace {

struct Result {
  int code;
  std::string out, err;
};

std::string Posix(const std::string& corePath) {
  std::string p = platform::Cp1251ToUtf8(corePath);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
}

Result RunCli(const testing::ScratchFolder& dir, const std::string& args) {
  std::string cmd = std::string(VELMORIA_CLI_PATH) + " " + args + " 2>" + Posix(dir / "stderr.txt");
  Result r{0, {}, {}};
  FILE* p = popen(cmd.c_str(), "r");
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = testing::Slurp(dir / "stderr.txt");
  return r;
}

std::string U(const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); }

TEST(SpreadsheetCli, WorkbookPrintsSheetsMergesAndShownTexts) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "book.xml",
                "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n"
                "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
                "<Styles><Style ss:ID=\"f\"><NumberFormat ss:Format=\"Fixed\"/></Style></Styles>"
                "<Worksheet ss:Name=\"Лист 1\"><Table ss:ExpandedColumnCount=\"4\" ss:ExpandedRowCount=\"3\">"
                "<Row><Cell ss:MergeAcross=\"1\"><Data ss:Type=\"String\">два&#160;слова</Data></Cell>"
                "<Cell ss:StyleID=\"f\"><Data ss:Type=\"Number\">1234.5</Data></Cell></Row>"
                "<Row ss:Index=\"3\"><Cell ss:Index=\"4\"><Data ss:Type=\"String\">a&#10;b</Data></Cell></Row>"
                "</Table></Worksheet><Worksheet ss:Name=\"Пусто\"/></Workbook>");
  Result r = RunCli(dir, "workbook " + Posix(dir / "book.xml"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, U("sheet\tЛист 1\t3\t4\n"
                     "merge R1C1:R1C2\n"
                     "R1C1\t1\tдва слова\n"
                     "R1C3\t2\t1,234.50\n"
                     "R3C4\t1\ta\\nb\n"
                     "sheet\tПусто\t0\t0\n"));
  const std::string first = r.out;
  r = RunCli(dir, "workbook " + Posix(dir / "book.xml") + " --decimal , --thousands ' '");
  EXPECT_NE(r.out.find("R1C3\t2\t1 234,50\n"), std::string::npos) << r.out;

  ASSERT_EQ(RunCli(dir, "workbook-copy " + Posix(dir / "book.xml") + " " + Posix(dir / "copy.xml")).code, 0);
  std::string copy = testing::Slurp(dir / "copy.xml");
  EXPECT_EQ(copy.compare(0, 45, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"), 0);
  EXPECT_NE(copy.find("два&#32;слова"), std::string::npos);
  EXPECT_EQ(RunCli(dir, "workbook " + Posix(dir / "copy.xml")).out, first);

  testing::Spit(dir / "notes.txt", "just text");
  r = RunCli(dir, "workbook " + Posix(dir / "notes.txt"));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("holds no workbook"), std::string::npos);
  EXPECT_EQ(RunCli(dir, "workbook " + Posix(dir / "absent.xml")).code, 1);
  EXPECT_EQ(RunCli(dir, "workbook-copy " + Posix(dir / "notes.txt") + " " + Posix(dir / "x.xml")).code, 1);
  EXPECT_FALSE(platform::FileExists(dir / "x.xml"));
  EXPECT_EQ(RunCli(dir, "workbook").code, 1);
}

TEST(SpreadsheetCli, XmlDocReportsErrorsAndWritesTheDocumentBack) {
  testing::ScratchFolder dir;
  testing::Spit(dir / "doc.xml", "<a x='1'>\n  <b>text &bogus; more</b>\n  <c></a>");
  Result r = RunCli(dir, "xmldoc " + Posix(dir / "doc.xml"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err,
            "error 108 2:11 Bad character entity '&bogus;' encountered.\n"
            "error 107 3:10 Expecting end tag 'c'. Found end tag 'a' instead.\n");
  EXPECT_EQ(r.out,
            "<a x=\"1\">\r\n"
            "   <b>\r\n"
            "      text &amp;bogus; more\r\n"
            "   </b>\r\n"
            "   <c/>\r\n"
            "</a>\r\n");
  EXPECT_EQ(RunCli(dir, "xmldoc " + Posix(dir / "absent.xml")).code, 1);
}

}  // namespace
}  // namespace vm::spreadsheet
#endif
