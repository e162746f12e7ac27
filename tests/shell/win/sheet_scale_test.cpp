// The whole sheet at 100, 150 and 200 %: on every page no control's text is cut and no two
// controls overlap. The screen's scale is read once, when a process starts (Wine takes it
// from HKCU\Control Panel\Desktop, value LogPixels), so each scale runs in a process of
// its own: SheetAtScale.NoTextCutNorOverlapAt100150And200 sets the value, runs
// SheetAtScale.PagesFitAtThisScale in a copy of the test program, and puts the value back.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cards/win/card_page.h"
#include "common/dpi_scale.h"
#include "shell/sheet_rules.h"
#include "support/program_folder.h"
#include "support/win/gui_support.h"
#include "support/win/sheet_driver.h"
#include "ui/dpi.h"
#include "ui/text.h"

namespace vm::shell {
namespace {

using vm::testing::PumpSheet;

constexpr const char* kScaleVariable = "VELMORIA_TEST_DPI";

std::string ClassOf(HWND w) {
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  return ui::Narrow(cls);
}

std::wstring TextOf(HWND w) {
  int n = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  if (n) GetWindowTextW(w, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

std::string Describe(HWND w) {
  return ClassOf(w) + " #" + std::to_string(GetDlgCtrlID(w)) + " \"" + ui::Narrow(TextOf(w)) + "\"";
}

// Width and height `text` needs in `w`'s font; `wrapWidth` > 0 wraps at words as a
// multi-line static or button does.
SIZE Needed(HWND w, const std::wstring& text, int wrapWidth = 0) {
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
  RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 32000, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// What of `w`'s text does not show, as a message; empty when all of it does.
std::string CutText(HWND w, int dpi) {
  std::wstring text = TextOf(w);
  std::string cls = ClassOf(w);
  RECT client;
  GetClientRect(w, &client);
  LONG style = GetWindowLongW(w, GWL_STYLE);
  auto cut = [&](SIZE need, int margins) {
    return TextFits(need.cx, client.right, margins) && need.cy <= client.bottom + 1
               ? std::string()
               : Describe(w) + " needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) + ", has " +
                     std::to_string(client.right) + "x" + std::to_string(client.bottom);
  };
  if (cls == "Static" && !text.empty()) {
    LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
      return {};
    if (style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS)) return {};  // shortened on purpose
    bool wraps = (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) && !(style & SS_CENTERIMAGE);
    return cut(Needed(w, text, wraps ? client.right : 0), 0);
  }
  if (cls == "Button" && !text.empty()) {
    LONG type = style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) return cut(Needed(w, text), ScaleToDpi(16, dpi));
    bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
               type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
    int margins = ScaleToDpi(box ? 17 : 8, dpi);
    if (style & BS_MULTILINE) return cut(Needed(w, text, client.right - margins), 0);
    return cut(Needed(w, text), margins);
  }
  if (cls == "ToolbarWindow32") {
    int count = static_cast<int>(SendMessageW(w, TB_BUTTONCOUNT, 0, 0));
    RECT last{};
    if (count > 0 && SendMessageW(w, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last)) &&
        last.right > client.right)
      return Describe(w) + " shows its buttons up to " + std::to_string(last.right) + " in " +
             std::to_string(client.right);
  }
  if (cls == "SysListView32" && (style & LVS_TYPEMASK) == LVS_REPORT) {
    HWND header = ListView_GetHeader(w);
    for (int c = 0; header && c < Header_GetItemCount(header); ++c) {
      wchar_t caption[128] = {};
      HDITEMW item{};
      item.mask = HDI_TEXT | HDI_WIDTH;
      item.pszText = caption;
      item.cchTextMax = 128;
      Header_GetItem(header, c, &item);
      SIZE need = Needed(header, caption);
      if (caption[0] && !TextFits(need.cx, item.cxy, ScaleToDpi(12, dpi)))
        return Describe(w) + " column " + std::to_string(c) + " \"" + ui::Narrow(caption) + "\" needs " +
               std::to_string(need.cx) + ", has " + std::to_string(item.cxy);
    }
  }
  return {};
}

std::vector<HWND> VisibleChildren(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c)) out.push_back(c);
  return out;
}

// The labels of a card page's contact-means list, each beside its icon in the first column.
void ExpectMeansLabelsFit(cards::CardPage& page, int dpi) {
  HWND list = page.means().hwnd();
  int width = ListView_GetColumnWidth(list, 0);
  int icon = 0, unused = 0;
  ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &icon, &unused);
  EXPECT_EQ(icon, IconSizeFor(dpi));
  for (int r = 0; r < page.means().RowCount(); ++r) {
    std::wstring label = ui::Wide(page.means().CellText(r, 0));
    SIZE need = Needed(list, label);
    EXPECT_TRUE(TextFits(need.cx + icon, width, ScaleToDpi(12, dpi)))
        << ui::Narrow(label) << " needs " << need.cx << " + icon " << icon << ", column has " << width;
  }
}

class SheetAtScale : public vm::testing::ProgramFolderTest {
 protected:
  void SetUp() override {
    MakeFolders({"Support", "Temp", "Personal"});
    vm::testing::Spit(dir_ / "Support\\cont.dbc", "");
    vm::testing::Spit(dir_ / "Support\\firm.dbo", "");
  }
};

// Runs in the copy the test below starts, at the scale it set.
TEST_F(SheetAtScale, PagesFitAtThisScale) {
  const char* wanted = std::getenv(kScaleVariable);
  if (!wanted || !*wanted) GTEST_SKIP() << "run by SheetAtScale.NoTextCutNorOverlapAt100150And200";
  vm::testing::ProgramSheet sheet(app_);
  ASSERT_TRUE(sheet.Create());
  PumpSheet(sheet);
  const int dpi = ui::DpiOf(sheet.hwnd());
  ASSERT_EQ(dpi, std::atoi(wanted)) << "the process runs at another scale than was set";
  HIMAGELIST tabs = TabCtrl_GetImageList(sheet.tabControl());
  int cx = 0, cy = 0;
  ImageList_GetIconSize(tabs, &cx, &cy);
  EXPECT_EQ(cx, IconSizeFor(dpi));
  for (int tab = 0; tab < sheet.pageCount(); ++tab) {
    sheet.ActivateTab(tab);
    PumpSheet(sheet, 50);
    HWND page = sheet.page(tab).hwnd();
    ASSERT_TRUE(page);
    SCOPED_TRACE(std::string("tab ") + kTabs[static_cast<size_t>(tab)].caption);
    std::vector<HWND> controls = VisibleChildren(page);
    std::vector<ControlBox> boxes;
    std::vector<HWND> boxed;
    for (HWND c : controls) {
      std::string cut = CutText(c, dpi);
      EXPECT_TRUE(cut.empty()) << cut;
      if (ClassOf(c) == "ToolbarWindow32") {
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(c, TB_GETIMAGELIST, 0, 0));
        int size = 0, height = 0;
        ImageList_GetIconSize(images, &size, &height);
        EXPECT_EQ(size, IconSizeFor(dpi)) << Describe(c);
      }
      // A group box frames other controls by design.
      if (ClassOf(c) == "Button" && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) continue;
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
      boxes.push_back(ControlBox{r.left, r.top, r.right, r.bottom});
      boxed.push_back(c);
    }
    for (auto [a, b] : OverlappingBoxes(boxes))
      ADD_FAILURE() << Describe(boxed[a]) << " overlaps " << Describe(boxed[b]);
    if (tab == kContactsTab || tab == kFirmsTab)
      ExpectMeansLabelsFit(static_cast<cards::CardPage&>(sheet.page(tab)), dpi);
    if (const char* shots = std::getenv("VELMORIA_TEST_SHOTS"); shots && *shots) {
      vm::testing::LookPause(kTabs[static_cast<size_t>(tab)].caption, [&](MSG& m) { sheet.Process(m); });
    }
  }
  sheet.Finish();
}

// The value that sets the scale for processes started after it, or none.
class ScaleSetting {
 public:
  ScaleSetting() {
    DWORD size = sizeof old_;
    had_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &old_, &size) == ERROR_SUCCESS;
  }
  ~ScaleSetting() {
    if (had_)
      RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &old_, sizeof old_);
    else
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  }
  ScaleSetting(const ScaleSetting&) = delete;
  ScaleSetting& operator=(const ScaleSetting&) = delete;
  bool Set(DWORD dpi) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi) == ERROR_SUCCESS;
  }

 private:
  static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
  static constexpr const wchar_t* kValue = L"LogPixels";
  DWORD old_ = 0;
  bool had_ = false;
};

// The exit code of this program run with `filter` and the scale variable set; -1 when it
// had to be stopped after two minutes.
int RunCopy(const std::string& filter, int dpi) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_color=no --gtest_filter=" + ui::Wide(filter);
  SetEnvironmentVariableW(ui::Wide(kScaleVariable).c_str(), std::to_wstring(dpi).c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  BOOL started = CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(ui::Wide(kScaleVariable).c_str(), nullptr);
  if (!started) return -2;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

TEST_F(SheetAtScale, NoTextCutNorOverlapAt100150And200) {
  if (std::getenv(kScaleVariable)) GTEST_SKIP() << "already a copy";
  ScaleSetting setting;
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    ASSERT_TRUE(setting.Set(static_cast<DWORD>(dpi)));
    EXPECT_EQ(RunCopy("SheetAtScale.PagesFitAtThisScale", dpi), 0) << "see the copy's output above";
  }
}

}  // namespace
}  // namespace vm::shell
