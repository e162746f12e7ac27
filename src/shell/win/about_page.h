// The About page ("О.."): the picture, the painted version line, the four links, and two
// panels — the about text, and the general options with the days of dated backups.
#pragma once

#include <functional>
#include <string>

#include "shell/about_rules.h"
#include "shell/win/book_page.h"
#include "ui/handles.h"
#include "ui/link_label.h"

namespace vm::shell {

// The autostart value in HKEY_CURRENT_USER's Run key.
class RegistryRunEntry : public RunEntry {
 public:
  bool Read(std::string& data) override;
  void Write(const std::string& data) override;
  void Delete() override;
};

class about : public BookPage {
 public:
  explicit about(const CAppUtil& app);

  bool settingsPanelShown() const { return settingsPanel_; }
  void ShowSettingsPanel(bool settings);
  const std::string& productName() const { return product_; }
  const std::string& versionText() const { return version_; }
  ui::LinkLabel& mailLink() { return mail_; }
  ui::LinkLabel& homeLink() { return home_; }
  ui::LinkLabel& settingsLink() { return settingsLink_; }
  ui::LinkLabel& aboutLink() { return aboutLink_; }

  // Links clicked inside the about text go through this (tests replace it).
  using TextLinkOpener = std::function<void(const std::wstring& link)>;
  static void SetTextLinkOpener(TextLinkOpener opener);

  static constexpr char kMailTarget[] = "mailto:mail@velmoria.example";
  static constexpr char kHomeTarget[] = "http://www.velmoria.example/";

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnSize(int width, int height) override;

 private:
  void Paint(HDC dc);
  void Layout(int width, int height);

  bool settingsPanel_ = false;
  bool filling_ = false;  // keeps the days box's own filling from writing the setting
  std::string product_, version_;
  ui::LinkLabel mail_, home_, settingsLink_, aboutLink_;
  ui::UniqueFont productFont_, versionFont_;
  ui::UniqueBitmap picture_;
};

}  // namespace vm::shell
