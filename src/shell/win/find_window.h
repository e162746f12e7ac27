// "Найти везде": the modeless window over every book. A search box, the hits grouped by
// book (book, where, the text around the hit) renewed as the user types, and a line that
// says how many were found and which books were not searched. Enter or a double click
// goes to a hit: `go` brings the page to the front and the page selects the record,
// note or cell. The window is the sheet's: its keys come through the sheet's loop.
#pragma once

#include <functional>
#include <string>

#include "shell/find_books.h"
#include "ui/dialog.h"
#include "ui/list_view.h"

namespace vm::shell {

class FindEverywhereWindow : public ui::Dialog {
 public:
  using Go = std::function<void(const FoundLine& line)>;
  FindEverywhereWindow(FindEverywhere& everywhere, Go go);

  // Shows the window (made on first use) with the focus in the search box; the results
  // are searched again, as the books may have changed while it was away.
  void Open(HWND owner);
  // What the user typed; a search runs as after typing it.
  void Type(const std::string& cp1251);
  // Goes to the hit in `row`; false when there is none or its place is gone.
  bool GoTo(int row);
  // After a hit was shown: the window moves off the control that now shows it (the
  // focused one: its selected row, or the selection in a text) when it covers it.
  void KeepClearOfFocus();
  const FoundAll& found() const { return found_; }
  std::string status() const;
  ui::ListView& list() { return list_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnOk() override;
  void OnCancel() override;

 private:
  void Search();
  void Layout();

  FindEverywhere& everywhere_;
  Go go_;
  FoundAll found_;
  std::vector<FoundRow> rows_;
  ui::ListView list_;
  bool filling_ = false;
};

}  // namespace vm::shell
