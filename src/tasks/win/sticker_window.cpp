#include "tasks/win/sticker_window.h"

#include <windowsx.h>

#include "common/win/shell_actions_win.h"
#include "platform/platform.h"
#include "shell/win/velmoria_sheet.h"
#include "tasks/task_commands.h"
#include "ui/clipboard.h"
#include "ui/dpi.h"
#include "ui/fonts.h"
#include "ui/text.h"

namespace vm::tasks {

namespace {

const char* const kAlarmRepMessage = "Не найдена программа для открытия файлов txt!, создан файл отчета \"AlarmRep.txt\"";
constexpr DWORD kStyle = WS_POPUP;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;

std::vector<std::wstring> Lines(const std::string& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find("\r\n", start);
    lines.push_back(ui::Wide(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

}  // namespace

CAlarmWnd::CAlarmWnd(const CAppUtil& app) : app_(app), look_(ReadStickerLook(app)) {
  chooseColour_ = [this](HWND owner, POINT at, COLORREF current, std::function<void(COLORREF)> done) {
    picker_.Show(owner, at, current, std::move(done));
  };
}

CAlarmWnd::~CAlarmWnd() { Destroy(); }

COLORREF CAlarmWnd::backColour() const { return look_.customBack ? look_.back : GetSysColor(COLOR_INFOBK); }

bool CAlarmWnd::Create() {
  StickerPosition p = ReadStickerPosition(app_, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ClassInfo cls{L"VelmoriaAlarmWnd", CS_DBLCLKS, nullptr, nullptr};
  if (!ui::Window::Create(cls, kExStyle, kStyle, p.left, p.top, 40, 40, nullptr)) return false;
  SetWindowTextW(hwnd(), ui::Wide(kStickerTitle).c_str());
  if (StickerOptionOn(app_, "TOPMOST"))
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Redraw();
  return true;
}

// The settings keep the font's size at 96 dpi; the description is at the screen's scale.
LOGFONTW CAlarmWnd::FontDescription() const {
  LOGFONTW lf{};
  const int dpi = ui::DpiOf(hwnd());
  lf.lfHeight = ScaleToDpi(look_.height, dpi);
  lf.lfWidth = ScaleToDpi(look_.width, dpi);
  lf.lfWeight = look_.weight;
  lf.lfItalic = look_.italic;
  lf.lfUnderline = look_.underline;
  lf.lfStrikeOut = look_.strikeOut;
  lf.lfCharSet = RUSSIAN_CHARSET;
  std::wstring face = ui::Wide(look_.faceName);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return lf;
}

// ---- text and drawing ---------------------------------------------------------------------------

void CAlarmWnd::TakeText(const std::string& text, int code) {
  text_ = text;
  bool show = code == kStickerShowCode;
  WriteStickerSwitchedOn(app_, show);
  Redraw();
  ShowWindow(hwnd(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CAlarmWnd::Redraw() {
  if (!hwnd()) return;
  LOGFONTW lf = FontDescription();
  font_.reset(CreateFontIndirectW(&lf));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  std::vector<std::wstring> lines = Lines(text_);
  int width = 0, height = 0, lineHeight = 0;
  {
    ui::SelectGuard font(dc, font_.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    lineHeight = tm.tmHeight;
    for (const std::wstring& line : lines) {
      SIZE s{0, 0};
      GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &s);
      if (s.cx > width) width = s.cx;
      height += lineHeight;
    }
  }
  textSize_ = SIZE{width, height};
  const int margin = ui::Scaled(hwnd(), 10);
  int cw = width + 2 * margin, ch = height + 2 * margin;
  bitmap_.reset(CreateCompatibleBitmap(screen, cw, ch));
  {
    ui::SelectGuard bitmap(dc, bitmap_.get());
    ui::SelectGuard font(dc, font_.get());
    RECT all{0, 0, cw, ch};
    ui::UniqueBrush back(CreateSolidBrush(backColour()));
    FillRect(dc, &all, back.get());
    FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(dc, look_.text);
    SetBkMode(dc, TRANSPARENT);
    int y = margin;
    for (const std::wstring& line : lines) {
      TextOutW(dc, margin, y, line.c_str(), static_cast<int>(line.size()));
      y += lineHeight;
    }
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  // The client area is the drawing; the dialog frame lies around it.
  RECT r{0, 0, cw, ch};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  SetWindowPos(hwnd(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void CAlarmWnd::Paint() {
  ui::PaintGuard paint(hwnd());
  if (!bitmap_) return;
  ui::UniqueDc mem(CreateCompatibleDC(paint.dc()));
  ui::SelectGuard bitmap(mem.get(), bitmap_.get());
  const int margin = ui::Scaled(hwnd(), 10);
  BitBlt(paint.dc(), 0, 0, textSize_.cx + 2 * margin, textSize_.cy + 2 * margin, mem.get(), 0, 0, SRCCOPY);
}

// ---- messages -------------------------------------------------------------------------------------

void CAlarmWnd::AskMainWindow(const CAppUtil& app, int code) {
  if (HWND main = FindWindowW(nullptr, ui::Wide(app.DateTitle()).c_str()))
    SendMessageW(main, shell::kReminderWindowMessage, 0, code);
}

LRESULT CAlarmWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA: {
      auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (!data) return FALSE;
      const char* bytes = static_cast<const char*>(data->lpData);
      size_t size = bytes ? strnlen(bytes, data->cbData) : 0;
      TakeText(std::string(bytes ? bytes : "", size), static_cast<int>(data->dwData));
      return TRUE;
    }
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
      dragging_ = true;
      GetCursorPos(&last_);
      SetCapture(hwnd());
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        POINT now;
        GetCursorPos(&now);
        RECT r;
        GetWindowRect(hwnd(), &r);
        SetWindowPos(hwnd(), nullptr, r.left + now.x - last_.x, r.top + now.y - last_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        last_ = now;
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ReleaseCapture();
        RECT r;
        GetWindowRect(hwnd(), &r);
        WriteStickerPosition(app_, StickerPosition{r.top, r.left});
        InvalidateRect(hwnd(), nullptr, FALSE);
      }
      return 0;
    case WM_CAPTURECHANGED: dragging_ = false; return 0;
    case WM_LBUTTONDBLCLK: AskMainWindow(app_, kStickerAskShowMain); return 0;
    case WM_RBUTTONUP: {
      POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      ClientToScreen(hwnd(), &at);
      int chosen = ui::ShowContextMenu(hwnd(), at, MenuItems());
      if (chosen) Command(chosen);
      return 0;
    }
    case WM_CLOSE: Destroy(); return 0;
  }
  return ui::Window::HandleMessage(msg, wp, lp);
}

// ---- the context menu -----------------------------------------------------------------------------

std::vector<ui::MenuItem> CAlarmWnd::MenuItems() const {
  auto item = [](int id, const char* text, bool checked = false) {
    ui::MenuItem m;
    m.id = id;
    m.text = text;
    m.checked = checked;
    return m;
  };
  bool date = StickerOptionOn(app_, "DATE"), topmost = StickerOptionOn(app_, "TOPMOST");
  ui::MenuItem settings = item(0, "Настройки стикера");
  settings.items = {item(ID_STICKER_BACK_COLOUR, "Цвет фона"),
                    item(ID_STICKER_TEXT_COLOUR, "Цвет шрифта"),
                    ui::MenuSeparator(),
                    item(ID_STICKER_DEFAULT_COLOURS, "Цвета по умолчания"),
                    ui::MenuSeparator(),
                    item(ID_STICKER_FONT, "Шрифт"),
                    ui::MenuSeparator(),
                    item(date ? ID_STICKER_DATE_OFF : ID_STICKER_DATE_ON, "Напоминать сроки за три дня", date),
                    ui::MenuSeparator(),
                    item(topmost ? ID_STICKER_TOPMOST_OFF : ID_STICKER_TOPMOST_ON, "Поверх всех окон", topmost)};
  return {settings,
          item(ID_STICKER_COPY, "Копировать"),
          item(ID_STICKER_EDITOR, "Открыть в редакторе"),
          item(ID_STICKER_SHOW_RECORDS, "Записи стикера"),
          item(ID_STICKER_CLOSE, "Закрыть")};
}

void CAlarmWnd::Command(int id) {
  switch (id) {
    case ID_STICKER_BACK_COLOUR: PickColour(true); break;
    case ID_STICKER_TEXT_COLOUR: PickColour(false); break;
    case ID_STICKER_DEFAULT_COLOURS:
      ClearStickerColours(app_);
      look_ = ReadStickerLook(app_);
      Redraw();
      break;
    case ID_STICKER_FONT: PickFont(); break;
    case ID_STICKER_DATE_ON:
    case ID_STICKER_DATE_OFF:
      WriteStickerOption(app_, "DATE", id == ID_STICKER_DATE_ON);
      AskMainWindow(app_, kStickerAskRefresh);
      break;
    case ID_STICKER_TOPMOST_ON:
    case ID_STICKER_TOPMOST_OFF: {
      bool on = id == ID_STICKER_TOPMOST_ON;
      SetWindowPos(hwnd(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      WriteStickerOption(app_, "TOPMOST", on);
      break;
    }
    case ID_STICKER_COPY: Copy(); break;
    case ID_STICKER_EDITOR: OpenInEditor(); break;
    case ID_STICKER_SHOW_RECORDS: AskMainWindow(app_, kStickerAskShowRecords); break;
    case ID_STICKER_CLOSE:
      WriteStickerSwitchedOn(app_, false);
      ShowWindow(hwnd(), SW_HIDE);
      break;
    default: break;
  }
}

void CAlarmWnd::PickColour(bool background) {
  POINT at;
  GetCursorPos(&at);
  COLORREF current = background ? backColour() : look_.text;
  chooseColour_(hwnd(), at, current, [this, background](COLORREF colour) {
    if (colour == CLR_INVALID) {
      // "Авто": the default of that colour.
      const char* keys[3] = {background ? "BKR" : "TKR", background ? "BKG" : "TKG", background ? "BKB" : "TKB"};
      for (const char* key : keys) app_.PutSetting("ALARM", key, "");
    } else {
      WriteStickerColour(app_, background ? "BK" : "TK", colour);
    }
    look_ = ReadStickerLook(app_);
    Redraw();
  });
}

void CAlarmWnd::PickFont() {
  LOGFONTW lf = FontDescription();
  COLORREF colour = look_.text;
  if (!ui::AskFont(hwnd(), lf, colour)) return;
  const int dpi = ui::DpiOf(hwnd());
  look_.height = UnscaleFromDpi(lf.lfHeight, dpi);
  look_.width = UnscaleFromDpi(lf.lfWidth, dpi);
  look_.weight = lf.lfWeight;
  look_.italic = lf.lfItalic != 0;
  look_.underline = lf.lfUnderline != 0;
  look_.strikeOut = lf.lfStrikeOut != 0;
  look_.faceName = ui::Narrow(lf.lfFaceName);
  look_.text = colour;
  WriteStickerFont(app_, look_);
  look_ = ReadStickerLook(app_);
  Redraw();
}

void CAlarmWnd::Copy() {
  if (!ui::PutClipboardText(hwnd(), text_))
    platform::ShowMessage("Ошибка копирования в буфер обмена!", platform::MessageIcon::kStop);
}

void CAlarmWnd::OpenInEditor() {
  std::string path = app_.ProgramFolder() + "Temp\\AlarmRep.txt";
  if (!app_.WriteFileText(path, text_)) {
    platform::ShowMessage("Не удалось записать файл " + path, platform::MessageIcon::kExclamation);
    return;
  }
  OpenInTextEditor(hwnd(), path, kAlarmRepMessage);
}

}  // namespace vm::tasks
