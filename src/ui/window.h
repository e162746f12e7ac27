// The one window base and the one subclass helper of the toolkit. Both keep `this` with
// the window (no global table), drop it when the window goes, and stop every exception
// at the window procedure: it is reported, never let into the system's dispatcher.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

namespace vm::ui {

// What a procedure does with an exception from a handler: report it once.
void ReportHandlerFailure(const char* what);

// Runs a handler behind the barrier; when it throws, the failure is reported and
// `fallback` gives the answer instead.
template <typename Body, typename Fallback>
auto Guarded(Body&& body, Fallback&& fallback) -> decltype(body()) {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportHandlerFailure(e.what());
  } catch (...) {
    ReportHandlerFailure(nullptr);
  }
  return fallback();
}

// A window of a class of our own. `this` is stored at WM_NCCREATE; after WM_NCDESTROY
// the object no longer has a window, and OnFinalMessage may clean up.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  struct ClassInfo {
    const wchar_t* name;
    UINT style = 0;
    HCURSOR cursor = nullptr;  // the arrow when null
    HBRUSH background = nullptr;
  };
  // Registers the class once per process and makes the window.
  HWND Create(const ClassInfo& cls, DWORD exStyle, DWORD style, int x, int y, int width, int height,
              HWND parent, HMENU menuOrId = nullptr);
  void Destroy();
  HWND hwnd() const { return hwnd_; }

 protected:
  // Messages not handled go to DefWindowProc here.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // After the window is gone; hwnd() is already null.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// A procedure put in front of an existing window's (a control, the property sheet).
// The handler passes what it does not take to Default. The subclass goes away with the
// window or with this object, whichever is first.
class Subclass {
 public:
  using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
  Subclass() = default;
  ~Subclass() { Detach(); }
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;

  bool Attach(HWND window, Handler handler);
  void Detach();
  HWND hwnd() const { return hwnd_; }
  static LRESULT Default(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  HWND hwnd_ = nullptr;
  Handler handler_;
};

}  // namespace vm::ui
