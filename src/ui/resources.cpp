#include "ui/resources.h"

#include <cstdio>
#include <vector>

namespace vm::ui {

namespace {
struct Source {
  HMODULE module = nullptr;
  std::wstring path;
};
Source& Current() {
  static Source s;
  return s;
}
}  // namespace

HMODULE ResourceModule() {
  Source& s = Current();
  return s.module ? s.module : GetModuleHandleW(nullptr);
}

std::wstring ResourceModulePath() {
  Source& s = Current();
  if (s.module) return s.path;
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n < buf.size()) return std::wstring(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

bool UseResourcesOf(const std::wstring& path) {
  HMODULE m = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!m) m = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!m) return false;
  Current() = Source{m, path};
  return true;
}

const DLGTEMPLATE* DialogTemplate(int id) {
  HMODULE m = ResourceModule();
  HRSRC r = FindResourceW(m, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (!r) return nullptr;
  HGLOBAL g = LoadResource(m, r);
  return g ? static_cast<const DLGTEMPLATE*>(LockResource(g)) : nullptr;
}

HICON LoadIconResource(int id, int size) {
  return static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

HBITMAP LoadBitmapResource(int id) {
  return static_cast<HBITMAP>(
      LoadImageW(ResourceModule(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HMENU LoadMenuResource(int id) { return LoadMenuW(ResourceModule(), MAKEINTRESOURCEW(id)); }

HACCEL LoadAccelResource(int id) { return LoadAcceleratorsW(ResourceModule(), MAKEINTRESOURCEW(id)); }

std::string RawResource(const wchar_t* type, int id) {
  HMODULE m = ResourceModule();
  HRSRC r = FindResourceW(m, MAKEINTRESOURCEW(id), type);
  if (!r) return {};
  HGLOBAL g = LoadResource(m, r);
  const char* p = g ? static_cast<const char*>(LockResource(g)) : nullptr;
  return p ? std::string(p, SizeofResource(m, r)) : std::string();
}

std::wstring VersionValue(const wchar_t* name) {
  std::wstring path = ResourceModulePath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (!size) return {};
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
  struct Translation {
    WORD language, codePage;
  };
  Translation* tr = nullptr;
  UINT trLen = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &trLen) ||
      trLen < sizeof(Translation))
    return {};
  wchar_t query[128];
  std::swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", tr->language, tr->codePage, name);
  wchar_t* value = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &len) || !value) return {};
  std::wstring out(value, len);
  while (!out.empty() && out.back() == L'\0') out.pop_back();
  return out;
}

}  // namespace vm::ui
