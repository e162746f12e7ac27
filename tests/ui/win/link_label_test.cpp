// The link label: a static control turned into a link.
#include "ui/link_label.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/win/gui_support.h"
#include "ui/handles.h"
#include "ui/text.h"

namespace vm::ui {
namespace {

// A plain window holding one static control to turn into a link.
class LinkLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_.reset(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 300, 120, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
  }
  HWND MakeLabel(const wchar_t* text) {
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, parent_.get(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring TextOf(HWND h) {
    wchar_t buf[128] = {};
    GetWindowTextW(h, buf, 128);
    return buf;
  }
  UniqueWindow parent_;
};

TEST_F(LinkLabelTest, TextAndTargetFillEachOtherAndTheLabelFitsItsText) {
  LinkLabel a, b;
  a.SetTarget("http://www.velmoria.example/");
  HWND ha = MakeLabel(L"");
  a.Attach(ha);
  EXPECT_EQ(TextOf(ha), L"http://www.velmoria.example/");
  HWND hb = MakeLabel(L"Home Page");
  b.Attach(hb);
  EXPECT_EQ(b.target(), "Home Page");
  EXPECT_TRUE(GetWindowLongW(hb, GWL_STYLE) & SS_NOTIFY);
  RECT r;
  GetClientRect(hb, &r);
  EXPECT_LT(r.right, 200) << "sized to its text";
  EXPECT_GT(r.right, 20);
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hb, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_TRUE(lf.lfUnderline);
}

TEST_F(LinkLabelTest, HoverVisitedAndFailure) {
  std::vector<std::string> opened;
  int answer = 42;
  LinkLabel::SetOpener([&](const std::string& target, int show) {
    opened.push_back(target);
    EXPECT_EQ(show, SW_SHOW);
    return answer;
  });
  LinkLabel link;
  link.SetTarget("mailto:mail@velmoria.example");
  HWND h = MakeLabel(L"E-Mail");
  link.Attach(h);
  EXPECT_EQ(link.TextColour(), LinkLabel::kLinkColour);
  wchar_t tip[64] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = parent_.get();
  ti.uId = reinterpret_cast<UINT_PTR>(h);
  ti.lpszText = tip;
  SendMessageW(link.tooltip(), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(tip, L"mailto:mail@velmoria.example");

  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(link.hovering());
  EXPECT_EQ(GetCapture(), h);
  EXPECT_EQ(link.TextColour(), LinkLabel::kHoverColour);
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(500, 2));  // left the label
  EXPECT_FALSE(link.hovering());
  EXPECT_NE(GetCapture(), h);
  EXPECT_EQ(link.TextColour(), LinkLabel::kLinkColour);

  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:mail@velmoria.example"}));
  EXPECT_TRUE(link.visited());
  EXPECT_FALSE(link.hovering());
  EXPECT_EQ(link.TextColour(), LinkLabel::kVisitedColour);

  LinkLabel broken;
  broken.SetTarget("file:///nowhere");
  broken.Attach(MakeLabel(L""));
  answer = 2;
  {
    vm::testing::CapturedMessages messages;
    broken.Click();
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "Unable to open hyperlink:\n\nThe specified file was not found.");
  }
  EXPECT_FALSE(broken.visited());
  LinkLabel::SetOpener(nullptr);
}

TEST_F(LinkLabelTest, ActionLabelsAndTheSystemHighlightForHover) {
  int runs = 0;
  LinkLabel panel;
  panel.SetAction([&] { ++runs; });
  panel.SetColours(RGB(1, 2, 3), RGB(4, 5, 6), LinkLabel::kSystemHighlight);
  HWND h = MakeLabel(L"Настройки");
  panel.Attach(h);
  EXPECT_EQ(panel.target(), "Настройки");
  EXPECT_EQ(panel.TextColour(), RGB(1, 2, 3));
  SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(panel.TextColour(), GetSysColor(COLOR_HIGHLIGHT));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(runs, 1);
  // Releasing the button outside the label is no click.
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(900, 2));
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace vm::ui
