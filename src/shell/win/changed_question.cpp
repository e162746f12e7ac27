#include "shell/win/changed_question.h"

#include "shell/win/shell_resources.h"
#include "ui/dialog.h"

namespace vm::shell {

namespace {

class ChangedDialog : public ui::Dialog {
 public:
  explicit ChangedDialog(const guard::Conflict& conflict) : ui::Dialog(IDD_CHANGED), conflict_(conflict) {}

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_CHANGED_TEXT, guard::ConflictQuestion(conflict_));
    SendMessageW(Item(IDC_CHANGED_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    ShowItem(IDC_CHANGED_MERGE, conflict_.canMerge);
    SetForegroundWindow(hwnd());
    return true;
  }
  bool OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case IDC_CHANGED_MERGE:
      case IDC_CHANGED_MINE:
      case IDC_CHANGED_DISK: End(id); return true;
      default: return ui::Dialog::OnCommand(id, code, control);
    }
  }

 private:
  const guard::Conflict& conflict_;
};

}  // namespace

guard::Choice AskChangedBook(HWND owner, const guard::Conflict& conflict) {
  ChangedDialog dialog(conflict);
  switch (dialog.DoModal(owner)) {
    case IDC_CHANGED_MERGE: return conflict.canMerge ? guard::Choice::kMerge : guard::Choice::kCancel;
    case IDC_CHANGED_MINE: return guard::Choice::kKeepMine;
    case IDC_CHANGED_DISK: return guard::Choice::kLoadFromDisk;
    default: return guard::Choice::kCancel;
  }
}

}  // namespace vm::shell
