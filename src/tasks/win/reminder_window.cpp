#include "tasks/win/reminder_window.h"

#include <mmsystem.h>

#include <algorithm>

#include "platform/platform.h"
#include "tasks/win/tasks_resources.h"
#include "ui/fonts.h"
#include "ui/resources.h"
#include "ui/text.h"

namespace vm::tasks {

namespace {

// Marks a top-level window as a reminder message window for the keyboard route.
const wchar_t kMessageProp[] = L"Velmoria.ReminderMessage";

constexpr int kMaxHeadlineLines = 6;
constexpr int kMinNotesLines = 3;
constexpr int kMaxNotesLines = 12;
// New windows step down and right from the centre of the screen so that none hides
// another completely; after this many the steps start again.
constexpr int kCascadeSlots = 8;

// Edit controls break lines only at CR LF: a lone CR or LF from a record shows as one.
std::wstring EditText(const std::string& cp1251) {
  std::wstring in = ui::Wide(cp1251), out;
  out.reserve(in.size() + 8);
  for (size_t i = 0; i < in.size(); ++i) {
    wchar_t c = in[i];
    if (c == L'\r') {
      out += L"\r\n";
      if (i + 1 < in.size() && in[i + 1] == L'\n') ++i;
    } else if (c == L'\n') {
      out += L"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

int LineHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return tm.tmHeight > 0 ? tm.tmHeight : 13;
}

void Place(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetVerticalScrollBar(HWND edit, bool on) {
  LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
  LONG_PTR want = on ? style | WS_VSCROLL : style & ~static_cast<LONG_PTR>(WS_VSCROLL);
  if (want == style) return;
  SetWindowLongPtrW(edit, GWL_STYLE, want);
  SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The one thread hook of the program. A reminder window is not part of the sheet, and it
// opens while any loop may be running: the sheet's, but also a message box's or a modal
// dialog's, which are the system's and ask nothing of ours. Only a hook sees the keys
// taken by such a loop, so Esc, Enter and Tab work in the reminder windows whatever
// loop runs; the sheet's pages take their keys through the sheet's loop instead.
LRESULT CALLBACK RouteDialogKeys(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == PM_REMOVE) {
    auto* m = reinterpret_cast<MSG*>(lp);
    if (m->hwnd && m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST) {
      HWND root = GetAncestor(m->hwnd, GA_ROOT);
      if (root && GetPropW(root, kMessageProp) && IsDialogMessageW(root, m)) {
        m->message = WM_NULL;
        m->wParam = 0;
        m->lParam = 0;
      }
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// ---- the window ----------------------------------------------------------------------------

CReminderMessage::CReminderMessage(ReminderWindows& owner, Firing firing)
    : ui::Dialog(IDD_REMINDER_MESSAGE), owner_(owner), firing_(std::move(firing)) {}

// The window still open goes with the object (the base destroys it), its mark first.
CReminderMessage::~CReminderMessage() {
  if (hwnd()) RemovePropW(hwnd(), kMessageProp);
}

bool CReminderMessage::OnInitDialog() {
  SetPropW(hwnd(), kMessageProp, reinterpret_cast<HANDLE>(1));
  icon_.reset(ui::LoadIconResource(IDI_REMINDER, GetSystemMetrics(SM_CXICON)));
  smallIcon_.reset(ui::LoadIconResource(IDI_REMINDER, GetSystemMetrics(SM_CXSMICON)));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  SendDlgItemMessageW(hwnd(), IDC_REMINDER_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);

  LOGFONTW lf = ui::DialogFont(hwnd());
  lf.lfWeight = FW_BOLD;
  titleFont_.reset(CreateFontIndirectW(&lf));
  SendDlgItemMessageW(hwnd(), IDC_REMINDER_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
  SetItemText(IDC_REMINDER_TITLE, kMessageBandTitle);
  SetDlgItemTextW(hwnd(), IDC_REMINDER_HEADLINE, EditText(firing_.headline).c_str());
  SetDlgItemTextW(hwnd(), IDC_REMINDER_NOTES, EditText(firing_.notes).c_str());
  ShowItem(IDC_REMINDER_NOTES, hasNotes());
  SetItemText(IDC_REMINDER_SNOOZE, kSnoozeButtonText);
  SetItemText(IDC_REMINDER_CLOSE_ALL, kCloseAllText);
  HWND spans = Item(IDC_REMINDER_SNOOZE_SPAN);
  for (const std::string& text : SnoozeSpanTexts())
    SendMessageW(spans, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ui::Wide(text).c_str()));
  SendMessageW(spans, CB_SETCURSEL, 0, 0);
  ShowItem(IDC_REMINDER_SNOOZE, owner_.canSnooze());
  ShowItem(IDC_REMINDER_SNOOZE_SPAN, owner_.canSnooze());
  Layout();
  // No focus is set here: the window opens without taking the keyboard from the user,
  // and the close button, first in the tab order, gets it when the window is activated.
  return false;
}

int CReminderMessage::TextHeight(HWND control, HFONT font, const std::wstring& text, int width) const {
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, std::max(width, 1), 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return r.bottom - r.top;
}

void CReminderMessage::Layout() {
  HWND w = hwnd();
  auto dlu = [w](int x, int y) {
    RECT r{0, 0, x, y};
    MapDialogRect(w, &r);
    return POINT{r.right, r.bottom};
  };
  RECT client;
  GetClientRect(w, &client);
  const int width = client.right;
  const POINT margin = dlu(7, 7);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
  const int line = LineHeight(w, font);

  // An edit as tall as its text needs, between a least and a most number of lines; a
  // scroll bar only when the text needs more.
  auto fitEdit = [&](HWND edit, const std::wstring& text, int editWidth, int minLines, int maxLines) {
    Place(edit, 0, 0, editWidth, line * 2);
    for (bool scroll : {false, true}) {
      SetVerticalScrollBar(edit, scroll);
      RECT wr, cr;
      GetWindowRect(edit, &wr);
      GetClientRect(edit, &cr);
      DWORD margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
      int frameX = (wr.right - wr.left) - cr.right, frameY = (wr.bottom - wr.top) - cr.bottom;
      int textWidth = editWidth - frameX - LOWORD(margins) - HIWORD(margins);
      int lines = (TextHeight(edit, font, text, textWidth) + line - 1) / line;
      if (lines <= maxLines || scroll) return std::clamp(lines, minLines, maxLines) * line + frameY + 2;
    }
    return line;
  };

  // The band: the icon, the title and the headline on the window colour.
  const int icon = GetSystemMetrics(SM_CXICON);
  Place(Item(IDC_REMINDER_ICON), margin.x, margin.y, icon, icon);
  const int textLeft = margin.x * 2 + icon;
  const int textWidth = width - textLeft - margin.x;
  const int titleHeight = LineHeight(w, titleFont_ ? titleFont_.get() : font);
  Place(Item(IDC_REMINDER_TITLE), textLeft, margin.y, textWidth, titleHeight);
  HWND head = Item(IDC_REMINDER_HEADLINE);
  const int headTop = margin.y + titleHeight + margin.y / 2;
  const int headHeight = fitEdit(head, EditText(firing_.headline), textWidth, 1, kMaxHeadlineLines);
  Place(head, textLeft, headTop, textWidth, headHeight);
  bandBottom_ = std::max<int>(margin.y + icon, headTop + headHeight) + margin.y;
  Place(Item(IDC_REMINDER_RULE), 0, bandBottom_, width, 2);

  int y = bandBottom_ + 2 + margin.y;
  if (hasNotes()) {
    HWND notes = Item(IDC_REMINDER_NOTES);
    int notesWidth = width - 2 * margin.x;
    int notesHeight = fitEdit(notes, EditText(firing_.notes), notesWidth, kMinNotesLines, kMaxNotesLines);
    Place(notes, margin.x, y, notesWidth, notesHeight);
    y += notesHeight + margin.y;
  }
  // The button row: the snooze on the left, the closing on the right. "Закрыть все"
  // keeps its place while hidden, so the row never moves when it comes and goes.
  auto size = [](HWND c) {
    RECT r;
    GetWindowRect(c, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  const int gap = dlu(4, 0).x;
  HWND close = Item(IDCANCEL), closeAll = Item(IDC_REMINDER_CLOSE_ALL);
  HWND snooze = Item(IDC_REMINDER_SNOOZE), spans = Item(IDC_REMINDER_SNOOZE_SPAN);
  const SIZE cs = size(close), as = size(closeAll), ss = size(snooze);
  // A drop-down list's window is its closed field; its height is set with the list's.
  RECT field;
  GetWindowRect(spans, &field);
  const int fieldHeight = field.bottom - field.top;
  const int spansWidth = field.right - field.left;
  const int row = std::max<int>(cs.cy, fieldHeight);
  Place(close, width - margin.x - cs.cx, y + (row - cs.cy) / 2, cs.cx, cs.cy);
  Place(closeAll, width - margin.x - cs.cx - gap - as.cx, y + (row - as.cy) / 2, as.cx, as.cy);
  Place(snooze, margin.x, y + (row - ss.cy) / 2, ss.cx, ss.cy);
  Place(spans, margin.x + ss.cx + gap / 2, y + (row - fieldHeight) / 2, spansWidth,
        fieldHeight + line * (kSnoozeSpanCount + 1));
  y += row + margin.y;

  RECT want{0, 0, width, y};
  AdjustWindowRectEx(&want, static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE)));
  SetWindowPos(w, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CReminderMessage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      RECT r;
      GetClientRect(hwnd(), &r);
      FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
      r.bottom = bandBottom_;
      FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC: {
      // The band's texts and the read-only notes take the window colour.
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    }
    case WM_DESTROY:
      RemovePropW(hwnd(), kMessageProp);
      owner_.UpdateCloseAll(this);
      return false;
    default:
      return false;
  }
}

bool CReminderMessage::OnCommand(int id, int code, HWND control) {
  if (id == IDC_REMINDER_SNOOZE && code == BN_CLICKED) {
    LRESULT chosen = SendDlgItemMessageW(hwnd(), IDC_REMINDER_SNOOZE_SPAN, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || chosen >= kSnoozeSpanCount) chosen = 0;
    owner_.Snooze(firing_, static_cast<SnoozeSpan>(chosen));
    End(IDCANCEL);
    return true;
  }
  if (id == IDC_REMINDER_CLOSE_ALL && code == BN_CLICKED) {
    owner_.CloseAll();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CReminderMessage::ShowCloseAll(bool show) {
  if (hwnd()) ShowItem(IDC_REMINDER_CLOSE_ALL, show);
}

// ---- the open windows ----------------------------------------------------------------------

ReminderWindows::~ReminderWindows() {
  leaving_ = true;
  windows_.clear();
  if (keys_) UnhookWindowsHookEx(keys_);
}

void ReminderWindows::Prune() {
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const auto& w) { return !w->hwnd(); }),
                 windows_.end());
}

std::vector<HWND> ReminderWindows::Windows() {
  Prune();
  std::vector<HWND> out;
  for (const auto& w : windows_) out.push_back(w->hwnd());
  return out;
}

void ReminderWindows::UpdateCloseAll(const CReminderMessage* closing) {
  if (leaving_) return;
  auto open = [closing](const auto& w) { return w.get() != closing && w->hwnd() && IsWindow(w->hwnd()); };
  const bool several = std::count_if(windows_.begin(), windows_.end(), open) > 1;
  for (const auto& w : windows_)
    if (open(w)) w->ShowCloseAll(several);
}

void ReminderWindows::CloseAll() {
  // The objects stay until the next Prune: this runs inside one of their handlers.
  std::vector<CReminderMessage*> open;
  for (const auto& w : windows_)
    if (w->hwnd()) open.push_back(w.get());
  for (CReminderMessage* w : open)
    if (w->hwnd()) w->End(IDCANCEL);
}

void ReminderWindows::Snooze(const Firing& firing, SnoozeSpan span) {
  if (snooze_) snooze_(firing, span);
}

HWND ReminderWindows::Open(const Firing& firing) {
  Prune();
  auto dialog = std::make_unique<CReminderMessage>(*this, firing);
  HWND w = dialog->CreateModeless(nullptr);
  if (!w) return nullptr;
  if (!keys_) keys_ = SetWindowsHookExW(WH_GETMESSAGE, &RouteDialogKeys, nullptr, GetCurrentThreadId());

  // The first free step of the cascade, judged by where the open windows stand.
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT wr;
  GetWindowRect(w, &wr);
  const int width = wr.right - wr.left, height = wr.bottom - wr.top;
  const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  // Every window is as wide as the template; the top of the first step is fixed, so
  // windows of different heights still share the steps.
  const int left0 = area.left + (area.right - area.left - width) / 2;
  const int top0 = area.top + (area.bottom - area.top) / 6;
  int slot = static_cast<int>(windows_.size()) % kCascadeSlots;
  for (int s = 0; s < kCascadeSlots; ++s) {
    bool taken = std::any_of(windows_.begin(), windows_.end(), [&](const auto& other) {
      RECT o;
      GetWindowRect(other->hwnd(), &o);
      return o.left == left0 + s * step && o.top == top0 + s * step;
    });
    if (!taken) {
      slot = s;
      break;
    }
  }
  int x = std::clamp(left0 + slot * step, static_cast<int>(area.left), std::max<int>(area.left, area.right - width));
  int y = std::clamp(top0 + slot * step, static_cast<int>(area.top), std::max<int>(area.top, area.bottom - height));
  SetWindowPos(w, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  FLASHWINFO flash{sizeof flash, w, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
  windows_.push_back(std::move(dialog));
  UpdateCloseAll();
  return w;
}

// ---- the effects ---------------------------------------------------------------------------

void ReminderEffects::WakeDisplay(HWND mainWindow) {
  if (mainWindow) SendMessageW(mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
}

void ReminderEffects::Beep(int frequencyHz, int milliseconds) {
  ::Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(milliseconds));
}

void ReminderEffects::PlayWave(const std::string& path) {
  // A file that cannot be played gives the system's default sound: the reminder is
  // still heard when its sound file has been moved.
  PlaySoundW(ui::Wide(path).c_str(), nullptr, SND_FILENAME | SND_SYNC);
}

void RunFirings(const std::vector<Firing>& firings, HWND mainWindow, ReminderEffects& effects,
                ReminderWindows& windows) {
  for (const Firing& f : firings) {
    effects.WakeDisplay(mainWindow);
    switch (f.sound) {
      case ReminderSound::kBeep:
        effects.Beep(kBeepFrequency, kBeepMilliseconds);
        break;
      case ReminderSound::kWave:
        effects.PlayWave(f.soundFile);
        break;
      case ReminderSound::kNone:
        break;
    }
    if (!windows.Open(f)) {
      // The reminder is not lost for want of its window.
      std::string text = std::string(kMessageBandTitle) + "\n" + f.headline;
      if (!f.notes.empty()) text += "\n\n" + f.notes;
      platform::ShowMessage(text, platform::MessageIcon::kExclamation);
    }
  }
}

}  // namespace vm::tasks
