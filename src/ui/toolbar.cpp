#include "ui/toolbar.h"

#include <cstring>

#include "ui/resources.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
constexpr UINT_PTR kBarSubclass = 1;
// The tool-bar resource type. Its usual layout is a version word (1), the button width
// and height, the count, then one command word per button (0 for a separator); GNU
// windres writes the width, height, count and commands as double words, without the
// version.
constexpr WORD kToolbarResourceType = 241;

template <typename T>
T ReadAt(const std::string& raw, size_t offset) {
  T v{};
  std::memcpy(&v, raw.data() + offset, sizeof v);
  return v;
}
}  // namespace

std::vector<int> ToolbarResourceCommands(int toolbarId) {
  std::string raw = RawResource(MAKEINTRESOURCEW(kToolbarResourceType), toolbarId);
  std::vector<int> out;
  if (raw.size() >= 8 && ReadAt<WORD>(raw, 0) == 1) {
    size_t count = ReadAt<WORD>(raw, 6);
    if (raw.size() >= 8 + 2 * count)
      for (size_t i = 0; i < count; ++i) out.push_back(ReadAt<WORD>(raw, 8 + 2 * i));
  } else if (raw.size() >= 12) {
    size_t count = ReadAt<DWORD>(raw, 8);
    if (raw.size() >= 12 + 4 * count)
      for (size_t i = 0; i < count; ++i) out.push_back(static_cast<int>(ReadAt<DWORD>(raw, 12 + 4 * i)));
  }
  return out;
}

Toolbar::~Toolbar() {
  if (bar_ && IsWindow(bar_)) {
    Detach();
    DestroyWindow(bar_);
  }
}

bool Toolbar::Create(HWND parent, int controlId, int toolbarId, const std::vector<ToolCommand>& commands) {
  buttons_ = ToolbarResourceCommands(toolbarId);
  if (buttons_.empty()) return false;
  commands_ = commands;
  parent_ = parent;
  bar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN |
                             CCS_NORESIZE | CCS_NODIVIDER,
                         0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                         GetModuleHandleW(nullptr), nullptr);
  if (!bar_) return false;
  SendMessageW(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  images_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(commands.size()), 0));
  std::vector<TBBUTTON> tb;
  for (int command : buttons_) {
    TBBUTTON b{};
    b.idCommand = command;
    if (command == 0) {
      b.fsStyle = BTNS_SEP;
      b.iBitmap = 6;  // the separator's width
    } else {
      b.fsStyle = BTNS_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = I_IMAGENONE;
      for (const ToolCommand& c : commands_) {
        if (c.command != command) continue;
        UniqueIcon icon(LoadIconResource(c.iconId, 16));
        if (icon) b.iBitmap = ImageList_AddIcon(images_.get(), icon.get());
      }
    }
    tb.push_back(b);
  }
  SendMessageW(bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
  SendMessageW(bar_, TB_ADDBUTTONSW, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
  SetWindowSubclass(parent_, &Toolbar::ParentProc, reinterpret_cast<UINT_PTR>(this),
                    reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(bar_, &Toolbar::BarProc, kBarSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void Toolbar::Detach() {
  if (bar_) RemoveWindowSubclass(bar_, &Toolbar::BarProc, kBarSubclass);
  if (parent_ && IsWindow(parent_))
    RemoveWindowSubclass(parent_, &Toolbar::ParentProc, reinterpret_cast<UINT_PTR>(this));
  parent_ = nullptr;
}

bool Toolbar::Has(int command) const {
  for (int b : buttons_)
    if (b == command && command != 0) return true;
  return false;
}

void Toolbar::Enable(int command, bool enabled) {
  if (!bar_ || !Has(command)) return;
  if (IsEnabled(command) != enabled)
    SendMessageW(bar_, TB_ENABLEBUTTON, command, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

bool Toolbar::IsEnabled(int command) const {
  return bar_ && Has(command) && SendMessageW(bar_, TB_ISBUTTONENABLED, command, 0) != 0;
}

std::string Toolbar::TipOf(int command) const {
  for (const ToolCommand& c : commands_)
    if (c.command == command) return c.tip;
  return std::string();
}

void Toolbar::Move(int x, int y, int width, int height) {
  SetWindowPos(bar_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Toolbar::ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<Toolbar*>(data);
  if (msg == WM_NOTIFY && self->bar_) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(self->bar_, TB_GETTOOLTIPS, 0, 0));
    if (header->code == TTN_GETDISPINFOW && header->hwndFrom == tips && tips &&
        self->Has(static_cast<int>(header->idFrom))) {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
      self->tipBuffer_ = Wide(self->TipOf(static_cast<int>(header->idFrom)));
      info->lpszText = self->tipBuffer_.data();
      info->hinst = nullptr;
      return 0;
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Toolbar::BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) {
    auto* self = reinterpret_cast<Toolbar*>(data);
    self->Detach();
    self->bar_ = nullptr;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vm::ui
