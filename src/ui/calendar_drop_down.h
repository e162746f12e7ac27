// The month calendar that drops down under a date field: a pick closes it and reports
// the date; Esc, or a click anywhere else, closes it without one.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/window.h"

namespace vm::ui {

class CalendarDropDown : private Window {
 public:
  using Chosen = std::function<void(int day, int month, int year)>;

  // Opens at a screen point showing the given date (a zero day: today).
  bool Show(HWND owner, POINT screen, int day, int month, int year, Chosen chosen);
  void Close();
  using Window::hwnd;
  HWND calendar() const { return calendar_; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void Pick(const SYSTEMTIME& st);

  HWND calendar_ = nullptr;
  Chosen chosen_;
  Subclass calendarHook_;
};

}  // namespace vm::ui
