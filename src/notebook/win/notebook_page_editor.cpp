// The notebook page's editor commands: formats and colours, recoding and
// transliteration, links to files, the note's text to and from a file, the outside
// editor, print, and the editor's and the export button's menus.
#include "notebook/win/notebook_page.h"
// After windows.h, which it needs.
#include <commdlg.h>

#include <optional>
#include <string>

#include "common/ask_dialogs.h"
#include "common/recode.h"
#include "common/header_codec.h"
#include "notebook/win/notebook_page_parts.h"
#include "notebook/win/notebook_resources.h"
#include "platform/platform.h"
#include "ui/file_dialogs.h"
#include "ui/folder_picker.h"
#include "ui/fonts.h"
#include "ui/question.h"
#include "ui/rich_edit.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace vm::notebook {

using namespace notepage;

namespace {

// The files a note's text goes to and comes from.
ui::FileDialogOptions NoteTextFiles() {
  return {
      .filters = {{"RTF-файлы (*.rtf)", "*.rtf"}, {"TXT-файлы (*.txt)", "*.txt"}, {"Все файлы (*.*)", "*.*"}},
      .defaultExtension = "rtf"};
}

}  // namespace

// ---- formats ----------------------------------------------------------------------------------

void CNoteBook::ToggleEffect(DWORD mask, DWORD effect) {
  CHARFORMAT2W cf = CharFormat(edit_);
  bool on = (cf.dwMask & mask) && (cf.dwEffects & effect);
  CHARFORMAT2W set{};
  set.cbSize = sizeof set;
  set.dwMask = mask;
  set.dwEffects = on ? 0 : effect;
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
  Snapshot(0, true);
}

void CNoteBook::Align(WORD alignment) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = alignment;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
  StoreText();
}

// A paragraph's format changes no text, and the control does not report it as a change:
// the note takes it at once, or bullets, indents and alignment alone would never reach
// the saved file.
void CNoteBook::Bullets() {
  PARAFORMAT2 now = ParaFormat(edit_);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_NUMBERING | PFM_OFFSET;
  bool on = now.wNumbering == PFN_BULLET;
  pf.wNumbering = on ? 0 : PFN_BULLET;
  pf.dxOffset = on ? 0 : 360;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
  StoreText();
}

void CNoteBook::Indent(int twips) {
  PARAFORMAT2 now = ParaFormat(edit_);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_STARTINDENT;
  pf.dxStartIndent = now.dxStartIndent + twips < 0 ? 0 : now.dxStartIndent + twips;
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  Snapshot(0, true);
  StoreText();
}

void CNoteBook::PickFont() {
  CHARFORMAT2W cf = CharFormat(edit_);
  LOGFONTW lf{};
  lstrcpynW(lf.lfFaceName, cf.szFaceName, LF_FACESIZE);
  HDC dc = GetDC(hwnd());
  lf.lfHeight = -MulDiv(cf.yHeight, GetDeviceCaps(dc, LOGPIXELSY), 1440);
  ReleaseDC(hwnd(), dc);
  lf.lfWeight = (cf.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (cf.dwEffects & CFE_ITALIC) != 0;
  lf.lfUnderline = (cf.dwEffects & CFE_UNDERLINE) != 0;
  lf.lfStrikeOut = (cf.dwEffects & CFE_STRIKEOUT) != 0;
  lf.lfCharSet = RUSSIAN_CHARSET;
  COLORREF colour = cf.crTextColor;
  int tenthsOfPoint = 0;
  if (!ui::AskFont(hwnd(), lf, colour, &tenthsOfPoint)) return;
  CHARFORMAT2W set{};
  set.cbSize = sizeof set;
  set.dwMask =
      CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR | CFM_CHARSET;
  lstrcpynW(set.szFaceName, lf.lfFaceName, LF_FACESIZE);
  set.yHeight = tenthsOfPoint * 2;  // tenths of a point to twips
  if (lf.lfWeight >= FW_BOLD) set.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) set.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) set.dwEffects |= CFE_UNDERLINE;
  if (lf.lfStrikeOut) set.dwEffects |= CFE_STRIKEOUT;
  set.crTextColor = colour;
  set.bCharSet = lf.lfCharSet;
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
  Snapshot(0, true);
}

void CNoteBook::ChooseColour(bool highlight) {
  if (!current_) return;
  RECT button = formatBar_.ButtonScreenRect(highlight ? ID_NOTE_HIGHLIGHT : ID_NOTE_COLOUR);
  CHARFORMAT2W now = CharFormat(edit_);
  COLORREF current = highlight ? ((now.dwEffects & CFE_AUTOBACKCOLOR) ? CLR_INVALID : now.crBackColor)
                               : ((now.dwEffects & CFE_AUTOCOLOR) ? CLR_INVALID : now.crTextColor);
  picker_.Show(hwnd(), POINT{button.left, button.bottom}, current, [this, highlight](COLORREF colour) {
    CHARFORMAT2W set{};
    set.cbSize = sizeof set;
    if (highlight) {
      set.dwMask = CFM_BACKCOLOR;
      if (colour == CLR_INVALID)
        set.dwEffects = CFE_AUTOBACKCOLOR;
      else
        set.crBackColor = colour;
    } else {
      set.dwMask = CFM_COLOR;
      if (colour == CLR_INVALID)
        set.dwEffects = CFE_AUTOCOLOR;
      else
        set.crTextColor = colour;
    }
    SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&set));
    Snapshot(0, true);
  });
}

// ---- recoding, links, files of one note -------------------------------------------------------

void CNoteBook::SetPlainText(const std::string& cp1251) {
  loading_ = true;
  ui::StreamInRtf(edit_, DefaultRtf());
  ui::SetSelection(edit_, 0, -1);
  ui::ReplaceSelection(edit_, ui::Wide(cp1251), false);
  loading_ = false;
  StoreText();
  Snapshot(0, true);
}

void CNoteBook::Recode(int command) {
  ui::WaitCursor wait;
  if (command == kCharsetRepairCommand) {
    loading_ = true;
    ui::StreamInRtf(edit_, RepairCharsetTag(ui::StreamOutRtf(edit_)));
    loading_ = false;
    StoreText();
    Snapshot(0, true);
    return;
  }
  std::string plain = ui::Narrow(ui::PlainText(edit_));
  if (const RecodeCommand* c = FindRecodeCommand(command)) {
    RecodeInPlace(plain, c->from, c->to);
  } else if (command == kUtf8ToWinCommand) {
    // The plain text holds the note's bytes as cp1251 characters; UTF-8 is read from them.
    RecodeOutcome out = Utf8ToWindows(plain);
    if (!out.ok) {
      if (!out.message.empty()) platform::ShowMessage(out.message, platform::MessageIcon::kExclamation);
      return;  // the text stays as it was
    }
    plain = out.text;
  } else if (command == kLatToRusCommand) {
    plain = LatinToRussian(plain);
  } else if (command == kRusToLatCommand) {
    plain = RussianToLatin(plain);
  }
  SetPlainText(plain);
}

void CNoteBook::InsertLink(bool folder) {
  std::optional<std::string> path;
  if (folder) {
    path = ui::PickFolder(hwnd(), FolderOfPath(nb_.path));
  } else {
    path = ui::AskOpenFile(hwnd(), {.filters = {{"все файлы (*.*)", "*"}}});
  }
  if (!path) return;
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  LRESULT top = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  ui::ReplaceSelection(edit_, ui::Wide(LinkText(*path)), true);
  LRESULT nowTop = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(edit_, EM_LINESCROLL, 0, top - nowTop);
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, TRUE);
  Snapshot(0, true);
}

void CNoteBook::TextToFile() {
  std::optional<std::string> path = ui::AskSaveFile(hwnd(), NoteTextFiles());
  if (!path) return;
  std::string bytes = IsPlainTextFileName(*path) ? PlainTextFileBytes(ui::Narrow(ui::PlainText(edit_)))
                                                 : ui::StreamOutRtf(edit_);
  if (!platform::WriteFileBytes(*path, bytes))
    platform::ShowMessage("Не удалось записать файл " + *path, platform::MessageIcon::kExclamation);
}

void CNoteBook::TextFromFile() {
  std::optional<std::string> path = ui::AskOpenFile(hwnd(), NoteTextFiles());
  if (!path) return;
  std::string bytes;
  if (!platform::ReadFileBytes(*path, bytes)) {
    platform::ShowMessage("Не удалось прочитать файл " + *path, platform::MessageIcon::kExclamation);
    return;
  }
  if (GetWindowTextLengthW(edit_) > 0 && !ui::AskYesNo(hwnd(), "Заменить текст?")) return;
  if (IsRtfBody(bytes)) {
    loading_ = true;
    ui::StreamInRtf(edit_, bytes);
    loading_ = false;
    StoreText();
    Snapshot(0, true);
  } else {
    SetPlainText(bytes.substr(0, kMaxNoteCharacters));
  }
}

void CNoteBook::OpenOutside() {
  std::string folder = app().ProgramFolder() + "Temp";
  if (!platform::DirExists(folder)) platform::MakeDir(folder);
  std::string path = folder + "\\Note.rtf";
  platform::WriteFileBytes(path, ui::StreamOutRtf(edit_));
  const bool keepCopy = nb_.password.empty();
  if ((keepCopy ? dialogs_.openWithShell(path) : dialogs_.openAndRemoveOnceRead(path)) <= 32)
    platform::ShowMessage(
        "Не найден текстовый редактор для открытия файлов rtf!, создан файл отчета \"Note.rtf\"",
        platform::MessageIcon::kExclamation);
}

void CNoteBook::Print() {
  if (!current_ || !dialogs_.askPrinter) return;
  HDC dc = dialogs_.askPrinter(hwnd());
  if (!dc) return;
  ui::WaitCursor wait;
  DOCINFOW doc{};
  doc.cbSize = sizeof doc;
  std::wstring title = ui::Wide(current_->name());
  doc.lpszDocName = title.c_str();
  int width = GetDeviceCaps(dc, PHYSICALWIDTH), height = GetDeviceCaps(dc, PHYSICALHEIGHT);
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = dc;
  fr.rcPage = RECT{0, 0, MulDiv(width, 1440, dpiX), MulDiv(height, 1440, dpiY)};
  fr.rc = RECT{1440, 1440, fr.rcPage.right - 1080, fr.rcPage.bottom - 1440};
  long length = GetWindowTextLengthW(edit_);
  if (StartDocW(dc, &doc) > 0) {
    fr.chrg.cpMin = 0;
    fr.chrg.cpMax = -1;
    while (fr.chrg.cpMin < length) {
      StartPage(dc);
      RECT area = fr.rc;
      long next = static_cast<long>(SendMessageW(edit_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr)));
      fr.rc = area;
      EndPage(dc);
      if (next <= fr.chrg.cpMin) break;
      fr.chrg.cpMin = next;
    }
    EndDoc(dc);
  }
  SendMessageW(edit_, EM_FORMATRANGE, FALSE, 0);
  DeleteDC(dc);
}

// ---- menus ----------------------------------------------------------------------------------

std::vector<ui::MenuItem> CNoteBook::EditorMenu() const {
  long first = 0, last = 0;
  ui::GetSelection(edit_, first, last);
  bool any = last > first;
  bool canPaste = SendMessageW(edit_, EM_CANPASTE, 0, 0) != 0;
  CHARFORMAT2W cf = CharFormat(edit_);
  PARAFORMAT2 pf = ParaFormat(edit_);
  return {MenuEntry(ID_NOTE_CUT, "Вырезать", any),
          MenuEntry(ID_NOTE_COPY, "Копировать", any),
          MenuEntry(ID_NOTE_PASTE, "Вставить", canPaste),
          MenuEntry(ID_NOTE_CLEAR, "Удалить", any),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_BOLD, "Полужирный", true, (cf.dwEffects & CFE_BOLD) != 0),
          MenuEntry(ID_NOTE_ITALIC, "Курсив", true, (cf.dwEffects & CFE_ITALIC) != 0),
          MenuEntry(ID_NOTE_UNDERLINE, "Подчеркнутый", true, (cf.dwEffects & CFE_UNDERLINE) != 0),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_BULLETS, "Маркеры", true, pf.wNumbering == PFN_BULLET),
          MenuEntry(ID_NOTE_ALIGN_LEFT, "Выравнивание слева", true, pf.wAlignment == PFA_LEFT),
          MenuEntry(ID_NOTE_ALIGN_CENTRE, "Выравнивание по центру", true, pf.wAlignment == PFA_CENTER),
          MenuEntry(ID_NOTE_ALIGN_RIGHT, "Выравнивание справа", true, pf.wAlignment == PFA_RIGHT),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_INDENT_MORE, "Увеличить отступ"),
          MenuEntry(ID_NOTE_INDENT_LESS, "Уменьшить отступ", pf.dxStartIndent > 0),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_WORD_WRAP, "Перенос слов", true, wordWrap_),
          ui::MenuSeparator(),
          MenuEntry(ID_NOTE_SELECT_ALL, "Выделить все")};
}

std::vector<ui::MenuItem> CNoteBook::ExportMenu() const {
  bool note = current_ != nullptr && !nb_.isProtected;
  auto item = [note](int id, const char* text) { return MenuEntry(id, text, note); };
  ui::MenuItem exportImport = item(0, "Экспорт/импорт");
  exportImport.items = {item(ID_NOTE_TEXT_TO_FILE, "текста в файл"),
                        item(ID_NOTE_TEXT_FROM_FILE, "текста из файла")};
  ui::MenuItem recode = item(0, "Перекодировка");
  for (const RecodeCommand& c : RecodeCommands()) recode.items.push_back(item(c.id, c.text));
  recode.items.push_back(item(kUtf8ToWinCommand, "UTF8->Win"));
  ui::MenuItem translit = item(0, "Транслит");
  translit.items = {item(kLatToRusCommand, "Lat->Rusi"), item(kRusToLatCommand, "Rus->Lat")};
  return {exportImport,
          recode,
          item(kCharsetRepairCommand, "Кирилица"),
          translit,
          ui::MenuSeparator(),
          item(ID_NOTE_OUTSIDE, "Открыть в программе просмотра"),
          item(ID_NOTE_LINK_FILE, "Прикрепить ссылку на файл"),
          item(ID_NOTE_LINK_FOLDER, "Прикрепить ссылку на файловую папку")};
}

}  // namespace vm::notebook
