// The reminder message window ("Сообщение") and what a firing does beyond the record:
// the display is woken, the sound played, and a window opened for it. Each firing gets
// its own modeless window with its own close button; earlier ones stay open. A window
// can put its reminder off ("Отложить на" and the drop-down of spans), and while more
// than one is open each offers "Закрыть все".
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tasks/reminders.h"
#include "tasks/snoozes.h"
#include "ui/dialog.h"
#include "ui/handles.h"

namespace vm::tasks {

class ReminderWindows;

class CReminderMessage : public ui::Dialog {
 public:
  // Texts in cp1251, as the firing gives them.
  CReminderMessage(ReminderWindows& owner, Firing firing);
  ~CReminderMessage() override;

  // The notes area is shown only when there are notes.
  bool hasNotes() const { return !firing_.notes.empty(); }
  const Firing& firing() const { return firing_; }
  void ShowCloseAll(bool show);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  void Layout();
  int TextHeight(HWND control, HFONT font, const std::wstring& text, int width) const;

  ReminderWindows& owner_;
  Firing firing_;
  int bandBottom_ = 0;
  ui::UniqueFont titleFont_;
  ui::UniqueIcon icon_, smallIcon_;
};

// The open message windows of the book. They are not owned by the main window, so they
// stay on screen while it is hidden in the notification area, and each has its own
// taskbar button. Esc, Enter and Tab work in them although the main loop is the sheet's.
class ReminderWindows {
 public:
  ReminderWindows() = default;
  ~ReminderWindows();
  ReminderWindows(const ReminderWindows&) = delete;
  ReminderWindows& operator=(const ReminderWindows&) = delete;

  // Opens a window for a firing, without taking the focus from what the user is typing
  // in; null when the window could not be made.
  HWND Open(const Firing& firing);
  // The windows still open, oldest first.
  std::vector<HWND> Windows();

  // What "Отложить на" does with the window's firing; without one the window offers no
  // snooze.
  using SnoozeHandler = std::function<void(const Firing& firing, SnoozeSpan span)>;
  void SetSnoozeHandler(SnoozeHandler handler) { snooze_ = std::move(handler); }
  bool canSnooze() const { return static_cast<bool>(snooze_); }
  // "Закрыть все".
  void CloseAll();

 private:
  friend class CReminderMessage;
  void Prune();
  void Snooze(const Firing& firing, SnoozeSpan span);
  // "Закрыть все" is shown in every window while more than one is open; `closing` is
  // the window on its way out.
  void UpdateCloseAll(const CReminderMessage* closing = nullptr);

  std::vector<std::unique_ptr<CReminderMessage>> windows_;
  HHOOK keys_ = nullptr;
  SnoozeHandler snooze_;
  bool leaving_ = false;  // the windows go with this object
};

// The effects of one firing that reach outside the program. The defaults are the
// system's; tests replace them so that nothing sounds and the display stays as it is.
class ReminderEffects {
 public:
  virtual ~ReminderEffects() = default;
  // The system command that switches the monitor on, sent to the main window.
  virtual void WakeDisplay(HWND mainWindow);
  virtual void Beep(int frequencyHz, int milliseconds);
  // Returns when the sound has ended.
  virtual void PlayWave(const std::string& path);
};

// The effects of a pass's firings, in their order: for each one the display is woken,
// its sound played, and its window opened.
void RunFirings(const std::vector<Firing>& firings, HWND mainWindow, ReminderEffects& effects,
                ReminderWindows& windows);

}  // namespace vm::tasks
