#include "shell/win/unsaved_question.h"

#include "shell/win/shell_resources.h"
#include "ui/dialog.h"

namespace vm::shell {

namespace {

class UnsavedDialog : public ui::Dialog {
 public:
  explicit UnsavedDialog(const UnsavedBook& book) : ui::Dialog(IDD_UNSAVED), book_(book) {}

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_UNSAVED_TEXT, UnsavedQuestionText(book_));
    SendMessageW(Item(IDC_UNSAVED_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    EnableItem(IDC_UNSAVED_SAVE_AS, book_.canSaveAs);
    SetForegroundWindow(hwnd());
    return true;
  }
  bool OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case IDC_UNSAVED_RETRY:
      case IDC_UNSAVED_SAVE_AS:
      case IDC_UNSAVED_LEAVE: End(id); return true;
      default: return ui::Dialog::OnCommand(id, code, control);
    }
  }

 private:
  const UnsavedBook& book_;
};

}  // namespace

UnsavedChoice AskUnsavedBook(HWND owner, const UnsavedBook& book) {
  UnsavedDialog dialog(book);
  switch (dialog.DoModal(owner)) {
    case IDC_UNSAVED_RETRY: return UnsavedChoice::kRetry;
    case IDC_UNSAVED_SAVE_AS: return UnsavedChoice::kSaveAs;
    case IDC_UNSAVED_LEAVE: return UnsavedChoice::kLeave;
    default: return UnsavedChoice::kStay;
  }
}

}  // namespace vm::shell
