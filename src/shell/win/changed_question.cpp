#include "shell/win/changed_question.h"

#include "common/protected_file.h"
#include "shell/book_merge.h"
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

class LockedDialog : public ui::Dialog {
 public:
  explicit LockedDialog(std::string text) : ui::Dialog(IDD_LOCKED), text_(std::move(text)) {}

 protected:
  bool OnInitDialog() override {
    SetItemText(IDC_LOCKED_TEXT, text_);
    SendMessageW(Item(IDC_LOCKED_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    SetForegroundWindow(hwnd());
    // Enter keeps the other machine's book safe.
    SetFocus(Item(IDC_LOCKED_READ_ONLY));
    return false;
  }
  bool OnCommand(int id, int code, HWND control) override {
    if (id == IDC_LOCKED_OPEN || id == IDC_LOCKED_READ_ONLY) {
      End(id);
      return true;
    }
    return ui::Dialog::OnCommand(id, code, control);
  }

 private:
  std::string text_;
};

}  // namespace

bool AskOpenLocked(HWND owner, const std::string& lockMessage) {
  LockedDialog dialog(guard::LockedQuestion(lockMessage));
  return dialog.DoModal(owner) == IDC_LOCKED_OPEN;
}

guard::Choice AskChangedBook(HWND owner, const guard::Conflict& conflict) {
  ChangedDialog dialog(conflict);
  switch (dialog.DoModal(owner)) {
    case IDC_CHANGED_MERGE: return conflict.canMerge ? guard::Choice::kMerge : guard::Choice::kCancel;
    case IDC_CHANGED_MINE: return guard::Choice::kKeepMine;
    case IDC_CHANGED_DISK: return guard::Choice::kLoadFromDisk;
    default: return guard::Choice::kCancel;
  }
}

void InstallBookGuard(decltype(guard::Hooks::merge) merge) {
  guard::Hooks hooks;
  hooks.ask = [](const guard::Conflict& c) { return AskChangedBook(GetActiveWindow(), c); };
  hooks.canMerge = [](const std::string& path, std::string_view base) {
    std::optional<Book> book = BookOfPath(path);
    return book && CanMerge(*book) && !LooksSealed(base);
  };
  hooks.merge = [merge](const std::string& path, std::string_view base, std::string_view mine,
                        std::string_view theirs) -> std::optional<std::string> {
    if (!merge || LooksSealed(base) || LooksSealed(mine) || LooksSealed(theirs)) return std::nullopt;
    return merge(path, base, mine, theirs);
  };
  hooks.report = [](const std::string& message) { platform::ShowMessage(message, platform::MessageIcon::kExclamation); };
  hooks.now = [] { return platform::Now(); };
  hooks.openLocked = [](const std::string&, const std::string& message) {
    return AskOpenLocked(GetActiveWindow(), message);
  };
  guard::Install(std::move(hooks));
}

}  // namespace vm::shell
