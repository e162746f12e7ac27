#include "tasks/win/task_dialogs.h"

#include "tasks/task_record.h"
#include "tasks/win/tasks_page.h"
#include "tasks/win/tasks_resources.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace vm::tasks {

namespace {

class HeadingsDialog : public ui::Dialog {
 public:
  explicit HeadingsDialog(std::string values) : ui::Dialog(IDD_TASK_HEADINGS), values_(std::move(values)) {}
  const std::string& values() const { return values_; }

 protected:
  bool OnInitDialog() override {
    std::string parts[6];
    int n = 0;
    for (char c : values_) {
      if (c == '|') {
        if (++n >= 6) break;
      } else {
        parts[n] += c;
      }
    }
    for (int i = 0; i < 3; ++i) {
      SetItemText(IDC_HEADING1 + i, parts[i]);
      SetChecked(IDC_HEADING1_ON + i, parts[3 + i] == "1");
    }
    return true;
  }
  void OnOk() override {
    values_ = ItemText(IDC_HEADING1) + "|" + ItemText(IDC_HEADING2) + "|" + ItemText(IDC_HEADING3);
    for (int i = 0; i < 3; ++i) values_ += IsChecked(IDC_HEADING1_ON + i) ? "|1" : "|0";
    End(IDOK);
  }

 private:
  std::string values_;
};

}  // namespace

std::optional<std::string> AskHeadings(HWND owner, const std::string& values) {
  HeadingsDialog dialog(values);
  if (dialog.DoModal(owner) != IDOK) return std::nullopt;
  return dialog.values();
}


}  // namespace vm::tasks
