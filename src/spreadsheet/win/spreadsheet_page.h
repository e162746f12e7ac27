// The spreadsheet page ("а ля Excel"): a blank page until its controls are built.
#pragma once

#include "shell/win/book_page.h"

namespace vm::spreadsheet {

class CLikeExcelDlg : public shell::BlankBookPage {
 public:
  explicit CLikeExcelDlg(const CAppUtil& app) : shell::BlankBookPage(shell::kSpreadsheetTab, app) {}
};

}  // namespace vm::spreadsheet
