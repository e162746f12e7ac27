#include "shell/win/about_page.h"

#include <richedit.h>
#include <shellapi.h>

#include "shell/win/shell_resources.h"
#include "ui/dpi.h"
#include "ui/resources.h"
#include "ui/rich_edit.h"
#include "ui/text.h"

namespace vm::shell {

namespace {
about::TextLinkOpener& TheTextLinkOpener() {
  static about::TextLinkOpener opener;
  return opener;
}

HFONT AboutFont(int height) {
  return CreateFontW(height, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

void Place(HWND control, const Rect& r) {
  SetWindowPos(control, nullptr, r.left, r.top, r.width(), r.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

const struct {
  int id;
  AboutOption option;
} kOptionBoxes[] = {
    {IDC_ABOUT_AUTOSTART, AboutOption::kAutostart},
    {IDC_ABOUT_HIDE, AboutOption::kHide},
    {IDC_ABOUT_AUTOSAVE, AboutOption::kAutosave},
    {IDC_ABOUT_LAST, AboutOption::kLast},
    {IDC_ABOUT_ESC, AboutOption::kEsc},
    {IDC_ABOUT_OLD_PROTECTION, AboutOption::kOldProtection},
};
}  // namespace

// ---- the Run key ---------------------------------------------------------------------------

bool RegistryRunEntry::Read(std::string& data) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ui::Wide(kRunKeyPath).c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return false;
  ui::UniqueKey key(raw);
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD type = 0, size = sizeof buf - sizeof(wchar_t);
  if (RegQueryValueExW(key.get(), ui::Wide(kRunValueName).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  data = ui::Narrow(std::wstring(buf, size / sizeof(wchar_t)).c_str());
  return true;
}

void RegistryRunEntry::Write(const std::string& data) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, ui::Wide(kRunKeyPath).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &raw, nullptr) != ERROR_SUCCESS)
    return;
  ui::UniqueKey key(raw);
  std::wstring value = ui::Wide(data);
  RegSetValueExW(key.get(), ui::Wide(kRunValueName).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistryRunEntry::Delete() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, ui::Wide(kRunKeyPath).c_str(), 0, KEY_WRITE, &raw) != ERROR_SUCCESS)
    return;
  ui::UniqueKey key(raw);
  RegDeleteValueW(key.get(), ui::Wide(kRunValueName).c_str());
}

// ---- the page ------------------------------------------------------------------------------

void about::SetTextLinkOpener(TextLinkOpener opener) {
  TheTextLinkOpener() = std::move(opener);
}

about::about(const CAppUtil& app) : BookPage(kAboutTab, IDD_ABOUT, app) {
  // The template names the "RichEdit50W" class, which exists once its library is loaded.
  ui::LoadRichEdit();
}

bool about::OnInitDialog() {
  const CAppUtil& util = app();
  productFont_.reset(AboutFont(ui::FontHeight(hwnd(), kProductFontHeight)));
  versionFont_.reset(AboutFont(ui::FontHeight(hwnd(), kVersionFontHeight)));
  picture_.reset(ui::LoadBitmapResource(IDB_SPLASH));
  product_ = ui::Narrow(ui::VersionValue(L"Productname"));
  version_ = VersionText(ui::Narrow(ui::VersionValue(L"FileVersion")));

  mail_.SetTarget(kMailTarget);
  mail_.Attach(Item(IDC_ABOUT_MAIL));
  home_.SetTarget(kHomeTarget);
  home_.Attach(Item(IDC_ABOUT_HOME));
  settingsLink_.SetAction([this] { ShowSettingsPanel(true); });
  settingsLink_.Attach(Item(IDC_ABOUT_SETTINGS_LINK));
  aboutLink_.SetAction([this] { ShowSettingsPanel(false); });
  aboutLink_.Attach(Item(IDC_ABOUT_ABOUT_LINK));

  HWND text = Item(IDC_ABOUT_TEXT);
  if (text) {
    SendMessageW(text, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageW(text, EM_SETEVENTMASK, 0, ENM_LINK);
    ui::StreamInRtf(text, ui::RawResource(L"RTF", IDR_ABOUT_RTF));
  }

  RegistryRunEntry run;
  SetChecked(IDC_ABOUT_AUTOSTART, AutostartChecked(run, util.ProgramFolder()));
  for (const auto& box : kOptionBoxes)
    if (box.option != AboutOption::kAutostart) SetChecked(box.id, OptionChecked(util, box.option));
  {
    filling_ = true;
    SendMessageW(Item(IDC_ABOUT_BACKUP_DAYS), EM_LIMITTEXT, 4, 0);
    SetItemText(IDC_ABOUT_BACKUP_DAYS, BackupDaysText(util));
    filling_ = false;
  }

  ShowSettingsPanel(ShowsSettingsPanel(util.GetSetting("GENERAL", "ABOUT")));
  RECT rc;
  GetClientRect(hwnd(), &rc);
  Layout(rc.right, rc.bottom);
  return true;
}

void about::ShowSettingsPanel(bool settings) {
  settingsPanel_ = settings;
  PanelView v = ShowPanel(settings, app());
  ShowItem(IDC_ABOUT_TEXT, v.aboutText);
  ShowItem(IDC_ABOUT_SETTINGS_LINK, v.settingsLink);
  ShowItem(IDC_ABOUT_ABOUT_LINK, v.aboutLink);
  ShowItem(IDC_ABOUT_GROUP, v.settingsGroup);
  for (const auto& box : kOptionBoxes) ShowItem(box.id, v.settingsGroup);
  ShowItem(IDC_ABOUT_BACKUP_LABEL, v.settingsGroup);
  ShowItem(IDC_ABOUT_BACKUP_DAYS, v.settingsGroup);
}

bool about::OnCommand(int id, int code, HWND) {
  const CAppUtil& util = app();
  if (id == IDC_ABOUT_BACKUP_DAYS) {
    if (code == EN_CHANGE && !filling_) WriteBackupDays(util, ItemText(IDC_ABOUT_BACKUP_DAYS));
    return code == EN_CHANGE;
  }
  if (code != BN_CLICKED) return false;
  for (const auto& box : kOptionBoxes) {
    if (box.id != id) continue;
    bool checked = IsChecked(id);
    if (box.option == AboutOption::kAutostart) {
      RegistryRunEntry run;
      ApplyAutostartClick(checked, util, run);
    } else {
      WriteOption(util, box.option, checked);
    }
    return true;
  }
  return false;
}

bool about::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->idFrom != IDC_ABOUT_TEXT || header->code != EN_LINK) return false;
  auto* link = reinterpret_cast<ENLINK*>(header);
  if (link->msg != WM_LBUTTONDOWN) return false;
  std::wstring target = ui::TextRange(header->hwndFrom, link->chrg.cpMin, link->chrg.cpMax);
  if (TheTextLinkOpener())
    TheTextLinkOpener()(target);
  else
    ShellExecuteW(nullptr, L"Open", target.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
  result = 0;
  return true;
}

bool about::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      Paint(ui::PaintGuard(hwnd()).dc());
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      result = 0;
      return true;
    default: return false;
  }
}

void about::OnSize(int width, int height) {
  if (Item(IDC_ABOUT_TEXT)) Layout(width, height);
}

void about::Layout(int width, int height) {
  AboutLayout l = LayoutAboutAt(width, height, ui::DpiOf(hwnd()));
  Place(Item(IDC_ABOUT_TEXT), l.textBox);
  Place(Item(IDC_ABOUT_GROUP), l.textBox);
  Place(Item(IDC_ABOUT_MAIL), l.mailLink);
  Place(Item(IDC_ABOUT_HOME), l.homeLink);
  Place(Item(IDC_ABOUT_SETTINGS_LINK), l.panelLink);
  Place(Item(IDC_ABOUT_ABOUT_LINK), l.panelLink);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void about::Paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd(), &client);
  AboutLayout l = LayoutAboutAt(client.right, client.bottom, ui::DpiOf(hwnd()));

  if (picture_) {
    BITMAP bm{};
    GetObjectW(picture_.get(), sizeof bm, &bm);
    ui::UniqueDc mem(CreateCompatibleDC(dc));
    ui::SelectGuard picture(mem.get(), picture_.get());
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, l.picture.left, l.picture.top, l.picture.width(), l.picture.height(), mem.get(), 0, 0,
               bm.bmWidth, bm.bmHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  }
  RECT frame{l.frame.left, l.frame.top, l.frame.right, l.frame.bottom};
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  std::wstring product = ui::Wide(product_);
  std::wstring from = ui::Wide("от");
  std::wstring version = ui::Wide(version_);
  auto s = [this](int px) { return ui::Scaled(hwnd(), px); };
  {
    ui::SelectGuard g(dc, productFont_.get());
    TextOutW(dc, s(kProductNameAt.x), s(kProductNameAt.y), product.c_str(), static_cast<int>(product.size()));
  }
  ui::SelectGuard g(dc, versionFont_.get());
  TextOutW(dc, s(kFromWordAt.x), s(kFromWordAt.y), from.c_str(), static_cast<int>(from.size()));
  TextOutW(dc, s(kVersionAt.x), s(kVersionAt.y), version.c_str(), static_cast<int>(version.size()));
}

}  // namespace vm::shell
