// The rich-edit wrapper as the notebook and the task editor use it: RTF in and out,
// character and paragraph formats, selection, undo, the limit.
#include "ui/rich_edit.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

#include "support/win/host_window.h"

namespace vm::ui {
namespace {

TEST(RichEdit, RtfRoundTripFormatsSelectionUndoAndLimit) {
  ASSERT_TRUE(LoadRichEdit());
  vm::testing::HostWindow host;
  HWND edit = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 5, 5, 380, 200,
                              host.hwnd(), nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(
      StreamInRtf(edit,
                  "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 "
                  "{\\b world}\\par}"));
  EXPECT_EQ(PlainText(edit).substr(0, 12), L"Привет world");

  SetSelection(edit, 0, 6);
  long first = -1, last = -1;
  GetSelection(edit, first, last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 6);
  CharStyle bold;
  bold.bold = true;
  bold.colour = RGB(200, 0, 0);
  SetSelectionStyle(edit, bold);
  CharStyle now = SelectionStyle(edit);
  EXPECT_TRUE(now.bold);
  EXPECT_EQ(now.colour, RGB(200, 0, 0));
  SetParagraphAlignment(edit, Alignment::kCentre);
  EXPECT_EQ(ParagraphAlignment(edit), Alignment::kCentre);

  std::string rtf = StreamOutRtf(edit);
  EXPECT_EQ(rtf.compare(0, 6, "{\\rtf1"), 0);
  EXPECT_NE(rtf.find("\\b"), std::string::npos);
  EXPECT_NE(rtf.find("\\qc"), std::string::npos);
  EXPECT_EQ(rtf.find('\0'), std::string::npos) << "no terminating NUL in the text";
  std::string part = StreamOutRtf(edit, true);
  EXPECT_EQ(part.find("world"), std::string::npos) << "only the selection";

  SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
  SetSelection(edit, -1, -1);
  ReplaceSelection(edit, L"!");
  EXPECT_TRUE(CanUndo(edit));
  Undo(edit);
  EXPECT_EQ(PlainText(edit).find(L"!"), std::wstring::npos);

  SetWindowTextW(edit, L"");
  SetTextLimit(edit, 5);
  for (wchar_t c : std::wstring(L"1234567")) SendMessageW(edit, WM_CHAR, c, 1);  // typed
  EXPECT_EQ(PlainText(edit), L"12345");
  DetectLinks(edit, true);
  EXPECT_TRUE(SendMessageW(edit, EM_GETEVENTMASK, 0, 0) & ENM_LINK);
}

}  // namespace
}  // namespace vm::ui
