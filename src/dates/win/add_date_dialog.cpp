#include "dates/win/add_date_dialog.h"

#include <commctrl.h>

#include "dates/win/dates_resources.h"
#include "platform/platform.h"

namespace vm::dates {

AddDateDialog::AddDateDialog(const Request& request) : ui::Dialog(IDD_DATES_ADD), request_(request) {}

bool AddDateDialog::OnInitDialog() {
  // Day and month only: the year, when there is one, has its own box.
  SendMessageW(Item(IDC_ADD_DATE_WHEN), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"d MMMM"));
  Date ref = request_.view->reference().date;
  SetDate(ref.day, ref.month);
  SendMessageW(Item(IDC_ADD_DATE_YEAR), EM_SETLIMITTEXT, 4, 0);
  SetChecked(IDC_ADD_DATE_BIRTHDAYS, true);
  SetFocus(Item(IDC_ADD_DATE_TEXT));
  return false;
}

void AddDateDialog::SetDate(int day, int month) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(request_.view->reference().date.year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  SendMessageW(Item(IDC_ADD_DATE_WHEN), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void AddDateDialog::OnOk() {
  SYSTEMTIME st{};
  SendMessageW(Item(IDC_ADD_DATE_WHEN), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  NewDate entry;
  entry.day = st.wDay;
  entry.month = st.wMonth;
  entry.year = ItemText(IDC_ADD_DATE_YEAR);
  entry.text = ItemText(IDC_ADD_DATE_TEXT);
  DateFileKind file = IsChecked(IDC_ADD_DATE_DATES) ? DateFileKind::kDates : DateFileKind::kBirthdays;
  NewDateLine made = MakeNewDateLine(entry, request_.currentYear);
  if (!made.error.empty()) {
    platform::ShowMessage(made.error, platform::MessageIcon::kExclamation);
    SetFocus(Item(made.error.rfind("Год", 0) == 0 ? IDC_ADD_DATE_YEAR : IDC_ADD_DATE_TEXT));
    return;
  }
  std::string failed = AppendDateLine(request_.view->FilePath(file), made.line);
  if (!failed.empty()) {
    platform::ShowMessage(failed, platform::MessageIcon::kExclamation);
    return;
  }
  entry_ = entry;
  file_ = file;
  End(IDOK);
}

}  // namespace vm::dates
