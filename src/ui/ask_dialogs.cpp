#include "ui/ask_dialogs.h"

#include "ui/dialog.h"
#include "ui/folder_picker.h"
#include "ui/keyboard.h"
#include "ui/text.h"
#include "ui/tooltips.h"
#include "ui/ui_resources.h"

namespace vm::ui {

namespace {

FolderPicker& ThePicker() {
  static FolderPicker picker;
  return picker;
}

class NewFileDialog : public Dialog {
 public:
  explicit NewFileDialog(std::string initialFolder)
      : Dialog(IDD_ASK_NEW_FILE), initialFolder_(std::move(initialFolder)) {}
  std::optional<std::string> result;

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_NEWFILE_FOLDER, initialFolder_);
    tips_.Create(hwnd());
    tips_.Add(IDC_NEWFILE_FOLDER, "Имя директории");
    tips_.Add(IDC_NEWFILE_BROWSE, "Изменить директорию");
    tips_.Add(IDC_NEWFILE_NAME, "Имя файла");
    SetFocus(Item(IDC_NEWFILE_NAME));
    return false;
  }

  bool OnCommand(int id, int code, HWND control) override {
    if (id == IDC_NEWFILE_BROWSE && code == BN_CLICKED) {
      std::string current = ItemText(IDC_NEWFILE_FOLDER);
      std::optional<std::string> chosen = ThePicker() ? ThePicker()(hwnd(), current) : PickFolder(hwnd(), current);
      if (chosen) SetItemText(IDC_NEWFILE_FOLDER, *chosen);
      return true;
    }
    return Dialog::OnCommand(id, code, control);
  }

  void OnOk() override {
    std::string folder = ItemText(IDC_NEWFILE_FOLDER);
    std::string name = ItemText(IDC_NEWFILE_NAME);
    if (!NewFileAccepts(folder, name)) {
      SetFocus(Item(IDC_NEWFILE_NAME));  // stays open, without a message
      return;
    }
    result = NewFilePath(folder, name);
    End(IDOK);
  }

 private:
  std::string initialFolder_;
  Tooltips tips_;
};

class PasswordDialog : public Dialog {
 public:
  explicit PasswordDialog(PasswordMode mode) : Dialog(IDD_ASK_PASSWORD), mode_(mode) {}
  std::optional<PasswordAnswer> result;

 protected:
  bool OnInitDialog() override {
    PasswordLook look = PasswordDialogLook(mode_);
    SetWindowTextW(hwnd(), Wide(look.title).c_str());
    EnableItem(IDC_PASSWORD_SHOW, look.showBoxEnabled);
    EnableItem(IDC_PASSWORD_REMOVE, look.removeBoxEnabled);
    SetChecked(IDC_PASSWORD_SHOW, false);
    SetChecked(IDC_PASSWORD_REMOVE, false);
    Mask(true);
    // Passwords are mostly typed in Latin letters.
    if (IsRussianLayoutName(ActiveLayoutName())) ActivateLayout(kEnglishLanguage);
    ShowLayout();
    SetFocus(Item(IDC_PASSWORD_EDIT));
    return false;
  }

  bool OnCommand(int id, int code, HWND control) override {
    if (code == BN_CLICKED) {
      switch (id) {
        case IDC_PASSWORD_SHOW:
          Mask(!IsChecked(IDC_PASSWORD_SHOW));
          return true;
        case IDC_PASSWORD_RU:
        case IDC_PASSWORD_EN:
          ActivateLayout(id == IDC_PASSWORD_RU ? kRussianLanguage : kEnglishLanguage);
          ShowLayout();
          SetFocus(Item(IDC_PASSWORD_EDIT));
          return true;
        default:
          break;
      }
    }
    return Dialog::OnCommand(id, code, control);
  }

  bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == WM_INPUTLANGCHANGE) ShowLayout();
    return false;
  }

  void OnOk() override {
    result = PasswordAnswer{ItemText(IDC_PASSWORD_EDIT), IsChecked(IDC_PASSWORD_REMOVE)};
    End(IDOK);
  }

 private:
  void Mask(bool on) {
    HWND edit = Item(IDC_PASSWORD_EDIT);
    SendMessageW(edit, EM_SETPASSWORDCHAR, on ? L'*' : 0, 0);
    InvalidateRect(edit, nullptr, TRUE);
  }
  // The pressed button is the active layout.
  void ShowLayout() {
    std::string name = ActiveLayoutName();
    SetChecked(IDC_PASSWORD_RU, IsRussianLayoutName(name));
    SetChecked(IDC_PASSWORD_EN, IsEnglishLayoutName(name));
  }

  PasswordMode mode_;
};

}  // namespace

void SetFolderPicker(FolderPicker picker) { ThePicker() = std::move(picker); }

std::optional<std::string> AskNewFile(HWND owner, const std::string& initialFolder) {
  NewFileDialog dlg(initialFolder);
  if (dlg.DoModal(owner) != IDOK) return std::nullopt;
  return dlg.result;
}

std::optional<PasswordAnswer> AskPassword(HWND owner, PasswordMode mode) {
  PasswordDialog dlg(mode);
  if (dlg.DoModal(owner) != IDOK) return std::nullopt;
  return dlg.result;
}

}  // namespace vm::ui
