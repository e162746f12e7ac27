// "Добавить дату": a date from the month calendar, an optional year, the text and the
// file, appended as one correctly formed line. Bad input gets a message and the dialog
// stays open with everything typed.
#pragma once

#include <string>

#include "dates/dates_view.h"
#include "ui/dialog.h"

namespace vm::dates {

class AddDateDialog : public ui::Dialog {
 public:
  struct Request {
    const DatesView* view;  // the files and the reference date
    int currentYear;
  };
  explicit AddDateDialog(const Request& request);

  // After IDOK: what was added, and to which file.
  const NewDate& entry() const { return entry_; }
  DateFileKind file() const { return file_; }

  // The day and month the calendar field shows.
  void SetDate(int day, int month);

 protected:
  bool OnInitDialog() override;
  void OnOk() override;

 private:
  Request request_;
  NewDate entry_;
  DateFileKind file_ = DateFileKind::kBirthdays;
};

}  // namespace vm::dates
