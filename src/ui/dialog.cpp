#include "ui/dialog.h"

#include <cstring>

#include "platform/platform.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::ui {

namespace {
Dialog::InitHook& TheInitHook() {
  static Dialog::InitHook hook;
  return hook;
}

// Messages whose answer is the procedure's own return value, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}
}  // namespace

std::string DialogBase::ItemText(int id) const {
  HWND item = Item(id);
  int n = item ? GetWindowTextLengthW(item) : 0;
  std::wstring text(n + 1, L'\0');
  if (n) GetWindowTextW(item, text.data(), n + 1);
  text.resize(n);
  return Narrow(text);
}

void DialogBase::SetItemText(int id, const std::string& cp1251) { SetDlgItemTextW(hwnd_, id, Wide(cp1251).c_str()); }

bool DialogBase::IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void DialogBase::SetChecked(int id, bool checked) { CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED); }

void DialogBase::ShowItem(int id, bool show) { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }

void DialogBase::EnableItem(int id, bool enable) { EnableWindow(Item(id), enable); }

INT_PTR DialogBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&]() -> INT_PTR { return DispatchUnguarded(msg, wp, lp); }, [] { return INT_PTR{FALSE}; });
}

INT_PTR DialogBase::DispatchUnguarded(UINT msg, WPARAM wp, LPARAM lp) {
  {
    LRESULT result = 0;
    bool handled = false;
    switch (msg) {
      case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
      case WM_COMMAND:
        handled = OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        break;
      case WM_NOTIFY:
        handled = OnNotify(reinterpret_cast<NMHDR*>(lp), result);
        break;
      default:
        handled = OnMessage(msg, wp, lp, result);
        break;
    }
    if (!handled) return FALSE;
    if (AnswersDirectly(msg)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
  }
}

// ---- Dialog -----------------------------------------------------------------------------

Dialog::~Dialog() {
  if (hwnd() && !modal_) {
    HWND h = hwnd();
    Detach();
    SetWindowLongPtrW(h, DWLP_USER, 0);
    DestroyWindow(h);
  }
}

void Dialog::SetInitHook(InitHook hook) { TheInitHook() = std::move(hook); }

INT_PTR Dialog::DoModal(HWND owner) {
  const DLGTEMPLATE* t = DialogTemplate(templateId_);
  if (!t) return -1;
  modal_ = true;
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t, owner, &Dialog::Proc,
                                 reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner) {
  const DLGTEMPLATE* t = DialogTemplate(templateId_);
  if (!t) return nullptr;
  modal_ = false;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t, owner, &Dialog::Proc,
                                    reinterpret_cast<LPARAM>(this));
}

void Dialog::End(INT_PTR result) {
  if (!hwnd()) return;
  if (modal_)
    EndDialog(hwnd(), result);
  else
    DestroyWindow(hwnd());
}

bool Dialog::OnCommand(int id, int code, HWND control) {
  if (id == IDOK && code == BN_CLICKED) {
    OnOk();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Dialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
    self->Attach(hwnd);
    INT_PTR r = self->Dispatch(msg, wp, lp);
    if (TheInitHook()) Guarded([&] { TheInitHook()(*self); }, [] {});
    return r;
  }
  self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  INT_PTR r = self->Dispatch(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->Detach();
  }
  return r;
}

// ---- PropertyPage -----------------------------------------------------------------------

PropertyPage::PropertyPage(int templateId, std::string caption)
    : templateId_(templateId), caption_(std::move(caption)), wideCaption_(Wide(caption_)) {}

PropertyPage::PropertyPage(std::string caption, int widthDlu, int heightDlu)
    : caption_(std::move(caption)), wideCaption_(Wide(caption_)) {
  // DLGTEMPLATE, then menu, class, title, and the font (DS_SETFONT); no items.
  DLGTEMPLATE t{};
  t.style = DS_SETFONT | DS_FIXEDSYS | DS_CONTROL | WS_CHILD | WS_DISABLED | WS_CAPTION;
  t.cx = static_cast<short>(widthDlu);
  t.cy = static_cast<short>(heightDlu);
  blank_.resize(sizeof t / sizeof(WORD));
  std::memcpy(blank_.data(), &t, sizeof t);
  blank_.push_back(0);  // no menu
  blank_.push_back(0);  // the standard dialog class
  for (wchar_t c : wideCaption_) blank_.push_back(static_cast<WORD>(c));
  blank_.push_back(0);
  blank_.push_back(8);  // point size
  for (wchar_t c : std::wstring(L"MS Shell Dlg")) blank_.push_back(static_cast<WORD>(c));
  blank_.push_back(0);
}

PROPSHEETPAGEW PropertyPage::Describe() {
  PROPSHEETPAGEW p{};
  p.dwSize = sizeof p;
  p.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
  p.hInstance = GetModuleHandleW(nullptr);
  p.pResource = blank_.empty() ? DialogTemplate(templateId_) : reinterpret_cast<const DLGTEMPLATE*>(blank_.data());
  p.pszTitle = wideCaption_.c_str();
  p.pfnDlgProc = &PropertyPage::Proc;
  p.lParam = reinterpret_cast<LPARAM>(this);
  return p;
}

INT_PTR CALLBACK PropertyPage::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  PropertyPage* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lp)->lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->Attach(hwnd);
    return self->Dispatch(msg, wp, lp);
  }
  self = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  if (msg == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lp);
    if (header->code == static_cast<UINT>(PSN_SETACTIVE) || header->code == static_cast<UINT>(PSN_KILLACTIVE)) {
      Guarded(
          [&] {
            if (header->code == static_cast<UINT>(PSN_SETACTIVE))
              self->OnSetActive();
            else
              self->OnKillActive();
          },
          [] {});
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);  // accept the change of page
      return TRUE;
    }
  }
  if (msg == WM_SIZE) {
    Guarded([&] { self->OnSize(LOWORD(lp), HIWORD(lp)); }, [] {});
  }
  INT_PTR r = self->Dispatch(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->Detach();
  }
  return r;
}

}  // namespace vm::ui
