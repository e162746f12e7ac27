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

}  // namespace vm::ui
