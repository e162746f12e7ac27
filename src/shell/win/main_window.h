// The top-level window that carries the title text until the main sheet takes over.
#pragma once

#include <windows.h>

#include <string>

namespace vm::shell {

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, std::string title, std::string bottomCaption);
  bool Create(int showCommand);
  int RunMessageLoop();
  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint();

  HINSTANCE instance_;
  std::string title_;
  std::string bottomCaption_;
  HWND hwnd_ = nullptr;
};

}  // namespace vm::shell
