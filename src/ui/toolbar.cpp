#include "ui/toolbar.h"

#include <cstring>
#include <vector>

#include "ui/dpi.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
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

namespace {

// The icons faded to grey for disabled buttons: not every comctl32 (Wine's) greys 32-bit
// icons by itself, and a disabled button must not look like one that works.
HIMAGELIST GreyedCopy(HIMAGELIST images) {
  HIMAGELIST grey = ImageList_Duplicate(images);
  IMAGEINFO info{};
  if (!grey || ImageList_GetImageCount(grey) == 0 || !ImageList_GetImageInfo(grey, 0, &info)) return grey;
  BITMAP bm{};
  if (!GetObjectW(info.hbmImage, sizeof bm, &bm) || bm.bmBitsPixel != 32) return grey;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> px(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight) * 4);
  HDC dc = GetDC(nullptr);
  if (GetDIBits(dc, info.hbmImage, 0, static_cast<UINT>(bm.bmHeight), px.data(), &bi, DIB_RGB_COLORS)) {
    for (size_t i = 0; i + 3 < px.size(); i += 4) {
      int light = (px[i] * 11 + px[i + 1] * 59 + px[i + 2] * 30) / 100;
      auto faded = static_cast<unsigned char>(light / 2 + 96);
      px[i] = px[i + 1] = px[i + 2] = faded;
      px[i + 3] = static_cast<unsigned char>(px[i + 3] / 2);
    }
    SetDIBits(dc, info.hbmImage, 0, static_cast<UINT>(bm.bmHeight), px.data(), &bi, DIB_RGB_COLORS);
  }
  ReleaseDC(nullptr, dc);
  return grey;
}

}  // namespace

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
  // A pixel less around each picture than the control's own 7 (at 100 %): the
  // spreadsheet's 25 buttons then fit beside the hide button on the smallest page.
  SendMessageW(bar_, TB_SETPADDING, 0, MAKELPARAM(Scaled(parent, 6), Scaled(parent, 6)));
  MakeImages(IconSize(parent));
  std::vector<TBBUTTON> tb;
  for (int command : buttons_) {
    TBBUTTON b{};
    b.idCommand = command;
    if (command == 0) {
      b.fsStyle = BTNS_SEP;
      b.iBitmap = Scaled(parent, 6);  // the separator's width
    } else {
      b.fsStyle = BTNS_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = I_IMAGENONE;
      for (const ToolCommand& c : commands_)
        if (c.command == command && imageOf_.count(c.iconId)) b.iBitmap = imageOf_[c.iconId];
    }
    tb.push_back(b);
  }
  SendMessageW(bar_, TB_ADDBUTTONSW, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
  parentHook_.Attach(parent_,
                     [this](HWND h, UINT m, WPARAM w, LPARAM l) { return ParentMessage(h, m, w, l); });
  barHook_.Attach(bar_, [this](HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCDESTROY) {
      Detach();
      bar_ = nullptr;
    } else if (m == RescaleMessage()) {
      Rescale();
      return LRESULT{0};
    }
    return Subclass::Default(h, m, w, l);
  });
  return true;
}

// The buttons' pictures at `size` pixels, each from the icon's own picture of that size;
// a command whose icon the resources lack has none.
void Toolbar::MakeImages(int size) {
  iconSize_ = size;
  imageOf_.clear();
  images_.reset(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(commands_.size()), 0));
  for (const ToolCommand& c : commands_) {
    if (imageOf_.count(c.iconId) || !Has(c.command)) continue;
    UniqueIcon icon(LoadIconResource(c.iconId, size));
    if (icon) imageOf_[c.iconId] = ImageList_AddIcon(images_.get(), icon.get());
  }
  if (bar_) {
    SendMessageW(bar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    SendMessageW(bar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    disabledImages_.reset(GreyedCopy(images_.get()));
    if (disabledImages_)
      SendMessageW(bar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages_.get()));
  }
}

UINT Toolbar::RescaleMessage() {
  static const UINT message = RegisterWindowMessageW(L"Velmoria.ToolbarRescale");
  return message;
}

void Toolbar::Rescale() {
  if (!bar_) return;
  int size = IconSize(bar_);
  if (size == iconSize_) return;
  MakeImages(size);
  SendMessageW(bar_, TB_AUTOSIZE, 0, 0);
  InvalidateRect(bar_, nullptr, TRUE);
}

void Toolbar::Detach() {
  barHook_.Detach();
  parentHook_.Detach();
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

int Toolbar::ButtonsWidth() const {
  int count = bar_ ? static_cast<int>(SendMessageW(bar_, TB_BUTTONCOUNT, 0, 0)) : 0;
  RECT last{};
  if (count <= 0 || !SendMessageW(bar_, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last))) return 0;
  return last.right;
}

void Toolbar::SetDropDown(int command, bool whole, Dropped dropped) {
  if (!bar_ || !Has(command)) return;
  SendMessageW(bar_, TB_SETEXTENDEDSTYLE, 0,
               SendMessageW(bar_, TB_GETEXTENDEDSTYLE, 0, 0) | TBSTYLE_EX_DRAWDDARROWS);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_STYLE;
  SendMessageW(bar_, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
  info.fsStyle = static_cast<BYTE>(info.fsStyle | (whole ? BTNS_WHOLEDROPDOWN : BTNS_DROPDOWN));
  SendMessageW(bar_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
  dropDowns_[command] = std::move(dropped);
}

RECT Toolbar::ButtonScreenRect(int command) const {
  RECT r{};
  if (!bar_ || !SendMessageW(bar_, TB_GETRECT, command, reinterpret_cast<LPARAM>(&r))) return RECT{};
  MapWindowPoints(bar_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Toolbar::Drop(int command) {
  auto it = dropDowns_.find(command);
  if (it == dropDowns_.end() || !it->second) return false;
  // The handler may run a menu loop that ends with this bar rebuilt: call a copy.
  Dropped dropped = it->second;
  dropped(command, ButtonScreenRect(command));
  return true;
}

LRESULT Toolbar::ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY && bar_) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header->code == TBN_DROPDOWN && header->hwndFrom == bar_) {
      int command = reinterpret_cast<NMTOOLBARW*>(lp)->iItem;
      return Drop(command) ? TBDDRET_DEFAULT : TBDDRET_NODEFAULT;
    }
    HWND tips = reinterpret_cast<HWND>(SendMessageW(bar_, TB_GETTOOLTIPS, 0, 0));
    if (header->code == TTN_GETDISPINFOW && header->hwndFrom == tips && tips &&
        Has(static_cast<int>(header->idFrom))) {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
      tipBuffer_ = Wide(TipOf(static_cast<int>(header->idFrom)));
      info->lpszText = tipBuffer_.data();
      info->hinst = nullptr;
      return 0;
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace vm::ui
