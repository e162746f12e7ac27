#include "ui/rich_edit.h"

#include <richedit.h>

#include <cstring>

namespace vm::ui {

namespace {
struct StreamSource {
  const std::string* bytes;
  size_t pos;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
  auto* src = reinterpret_cast<StreamSource*>(cookie);
  size_t left = src->bytes->size() - src->pos;
  size_t n = left < static_cast<size_t>(want) ? left : static_cast<size_t>(want);
  std::memcpy(buffer, src->bytes->data() + src->pos, n);
  src->pos += n;
  *got = static_cast<LONG>(n);
  return 0;
}
DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                 static_cast<size_t>(size));
  *done = size;
  return 0;
}
}  // namespace

bool LoadRichEdit() {
  static HMODULE lib = LoadLibraryW(L"msftedit.dll");
  return lib != nullptr;
}

bool StreamInRtf(HWND edit, const std::string& rtf) {
  StreamSource src{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
  es.pfnCallback = &ReadChunk;
  SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return es.dwError == 0;
}

std::wstring TextRange(HWND edit, long first, long last) {
  if (last < first) return {};
  std::wstring buf(static_cast<size_t>(last - first) + 1, L'\0');
  TEXTRANGEW tr{};
  tr.chrg.cpMin = first;
  tr.chrg.cpMax = last;
  tr.lpstrText = buf.data();
  LRESULT n = SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
  buf.resize(static_cast<size_t>(n));
  return buf;
}

std::wstring PlainText(HWND edit) {
  GETTEXTLENGTHEX len{GTL_DEFAULT, 1200};
  LRESULT n = SendMessageW(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  if (n <= 0) return {};
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  LRESULT got = SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(got));
  return buf;
}

std::string StreamOutRtf(HWND edit, bool selectionOnly) {
  std::string out;
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
  es.pfnCallback = &WriteChunk;
  SendMessageW(edit, EM_STREAMOUT, SF_RTF | (selectionOnly ? SFF_SELECTION : 0),
               reinterpret_cast<LPARAM>(&es));
  // The control ends its RTF with a terminating NUL after the closing brace; kept, it
  // would travel into every note body and from there into the notebook file.
  while (!out.empty() && out.back() == '\0') out.pop_back();
  return out;
}

void SetSelectionStyle(HWND edit, const CharStyle& style) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR;
  if (style.bold) cf.dwEffects |= CFE_BOLD;
  if (style.italic) cf.dwEffects |= CFE_ITALIC;
  if (style.underline) cf.dwEffects |= CFE_UNDERLINE;
  if (style.strikeout) cf.dwEffects |= CFE_STRIKEOUT;
  if (style.colour == CLR_INVALID)
    cf.dwEffects |= CFE_AUTOCOLOR;
  else
    cf.crTextColor = style.colour;
  if (!style.face.empty() && style.face.size() < LF_FACESIZE) {
    cf.dwMask |= CFM_FACE;
    lstrcpynW(cf.szFaceName, style.face.c_str(), LF_FACESIZE);
  }
  if (style.heightTwips > 0) {
    cf.dwMask |= CFM_SIZE;
    cf.yHeight = style.heightTwips;
  }
  SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

CharStyle SelectionStyle(HWND edit) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  CharStyle s;
  s.bold = (cf.dwEffects & CFE_BOLD) != 0;
  s.italic = (cf.dwEffects & CFE_ITALIC) != 0;
  s.underline = (cf.dwEffects & CFE_UNDERLINE) != 0;
  s.strikeout = (cf.dwEffects & CFE_STRIKEOUT) != 0;
  s.colour = (cf.dwEffects & CFE_AUTOCOLOR) ? CLR_INVALID : cf.crTextColor;
  s.face = cf.szFaceName;
  s.heightTwips = cf.yHeight;
  return s;
}

void SetParagraphAlignment(HWND edit, Alignment alignment) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = alignment == Alignment::kCentre  ? PFA_CENTER
                  : alignment == Alignment::kRight ? PFA_RIGHT
                                                   : PFA_LEFT;
  SendMessageW(edit, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

Alignment ParagraphAlignment(HWND edit) {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  return pf.wAlignment == PFA_CENTER  ? Alignment::kCentre
         : pf.wAlignment == PFA_RIGHT ? Alignment::kRight
                                      : Alignment::kLeft;
}

void SetSelection(HWND edit, long first, long last) {
  CHARRANGE r{first, last};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void GetSelection(HWND edit, long& first, long& last) {
  CHARRANGE r{};
  SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  first = r.cpMin;
  last = r.cpMax;
}

void ReplaceSelection(HWND edit, const std::wstring& text, bool undoable) {
  SendMessageW(edit, EM_REPLACESEL, undoable ? TRUE : FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CanUndo(HWND edit) {
  return SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
}

void Undo(HWND edit) {
  SendMessageW(edit, EM_UNDO, 0, 0);
}

void DetectLinks(HWND edit, bool on) {
  SendMessageW(edit, EM_AUTOURLDETECT, on ? TRUE : FALSE, 0);
  LRESULT mask = SendMessageW(edit, EM_GETEVENTMASK, 0, 0);
  SendMessageW(edit, EM_SETEVENTMASK, 0, on ? (mask | ENM_LINK) : (mask & ~static_cast<LRESULT>(ENM_LINK)));
}

void SetTextLimit(HWND edit, long characters) {
  SendMessageW(edit, EM_EXLIMITTEXT, 0, characters > 0 ? characters : 0x7FFFFFFE);
}

}  // namespace vm::ui
