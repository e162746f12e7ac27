#include "ui/folder_picker.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "ui/text.h"

namespace vm::ui {

namespace {
template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

std::optional<std::string> PickWithFileDialog(HWND owner, const std::string& initial, bool& available) {
  available = false;
  ComPtr<IFileOpenDialog> dlg;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dlg))))
    return std::nullopt;
  available = true;
  DWORD options = 0;
  dlg->GetOptions(&options);
  dlg->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  if (!initial.empty()) {
    ComPtr<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(Wide(initial).c_str(), nullptr, IID_PPV_ARGS(&start))))
      dlg->SetFolder(start.p);
  }
  if (FAILED(dlg->Show(owner))) return std::nullopt;
  ComPtr<IShellItem> chosen;
  if (FAILED(dlg->GetResult(&chosen))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  std::string out = Narrow(path);
  CoTaskMemFree(path);
  return out;
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}
}  // namespace

std::optional<std::string> PickFolder(HWND owner, const std::string& initialFolder) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  struct ComGuard {
    bool ok;
    ~ComGuard() {
      if (ok) CoUninitialize();
    }
  } guard{SUCCEEDED(com)};

  bool available = false;
  std::optional<std::string> result = PickWithFileDialog(owner, initialFolder, available);
  if (available) return result;

  // Systems without the file dialog's folder mode get the older folder browser.
  std::wstring initial = Wide(initialFolder);
  wchar_t display[MAX_PATH] = {};
  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.pszDisplayName = display;
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = &BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(initial.c_str());
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  bool ok = SHGetPathFromIDListW(pidl, path);
  CoTaskMemFree(pidl);
  if (!ok) return std::nullopt;
  return Narrow(path);
}

}  // namespace vm::ui
