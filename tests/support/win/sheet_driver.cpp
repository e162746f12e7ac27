#include "support/win/sheet_driver.h"

#include "app/pages.h"
#include "shell/win/shell_resources.h"
#include "support/win/gui_support.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace vm::testing {

ProgramSheet::ProgramSheet(CAppUtil app)
    : detail::AppHolder{std::move(app)}, shell::CVelmoriaSheet(heldApp, app::MakePages(heldApp)) {}

void PumpSheet(shell::CVelmoriaSheet& sheet, int ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) sheet.Process(msg);
    if (static_cast<int>(GetTickCount() - start) >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {
void SetCtrl(BYTE state) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_LCONTROL] = state;
  SetKeyboardState(keys);
}
}  // namespace

CtrlHeld::CtrlHeld() {
  SetCtrl(0x80);
}
CtrlHeld::~CtrlHeld() {
  SetCtrl(0);
}

void PressKey(shell::CVelmoriaSheet& sheet, HWND target, UINT vk, bool ctrl) {
  std::unique_ptr<CtrlHeld> held(ctrl ? new CtrlHeld : nullptr);
  UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
  PumpSheet(sheet);
}

void Type(shell::CVelmoriaSheet& sheet, HWND target, const std::string& cp1251) {
  SetFocus(target);
  for (wchar_t c : ui::Wide(cp1251)) PostMessageW(target, WM_CHAR, c, 1);
  PumpSheet(sheet);
}

UnsavedAnswers::UnsavedAnswers() {
  ui::Dialog::SetInitHook([this](ui::Dialog& d) {
    if (d.templateId() != IDD_UNSAVED) return;
    wchar_t text[1024] = {};
    GetDlgItemTextW(d.hwnd(), IDC_UNSAVED_TEXT, text, 1024);
    texts.push_back(ui::Narrow(text));
    LookPause("the question about an unsaved book");
    PostMessageW(d.hwnd(), WM_COMMAND, MAKEWPARAM(answer ? answer() : IDCANCEL, BN_CLICKED), 0);
  });
}

UnsavedAnswers::~UnsavedAnswers() { ui::Dialog::SetInitHook(nullptr); }

}  // namespace vm::testing
