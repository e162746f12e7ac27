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

class PlaceholderDialog : public ui::Dialog {
 public:
  PlaceholderDialog(std::string caption, std::string line)
      : ui::Dialog(IDD_TASK_PLACEHOLDER_EDITOR), caption_(std::move(caption)), line_(std::move(line)) {}
  const std::string& line() const { return line_; }

 protected:
  bool OnInitDialog() override {
    SetWindowTextW(hwnd(), ui::Wide(caption_).c_str());
    SetItemText(IDC_PLACEHOLDER_HEADLINE, GetTaskField(line_, TaskField::Headline));
    SetItemText(IDC_PLACEHOLDER_NOTES, GetTaskField(line_, TaskField::Notes));
    return true;
  }
  void OnOk() override {
    PadTaskRecord(line_);
    SetTaskField(line_, TaskField::Headline, ItemText(IDC_PLACEHOLDER_HEADLINE));
    SetTaskField(line_, TaskField::Notes, ItemText(IDC_PLACEHOLDER_NOTES));
    End(IDOK);
  }

 private:
  std::string caption_, line_;
};

}  // namespace

std::optional<std::string> AskHeadings(HWND owner, const std::string& values) {
  HeadingsDialog dialog(values);
  if (dialog.DoModal(owner) != IDOK) return std::nullopt;
  return dialog.values();
}

std::optional<std::string> PlaceholderEditor(HWND owner, const std::string& caption, const std::string& line) {
  PlaceholderDialog dialog(caption, line);
  if (dialog.DoModal(owner) != IDOK) return std::nullopt;
  return dialog.line();
}

}  // namespace vm::tasks
