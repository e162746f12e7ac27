// The sticker ("стикер"): a small borderless tool window titled "Alarm
// Velmoria" that shows the text the tasks page sends it with the data-copy message,
// remembers its look and place in "ALARM", and offers its context menu. It talks to the
// main window only through WM_USER + 1025, finding it by its title.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/app_util.h"
#include "tasks/sticker.h"
#include "ui/colour_picker.h"
#include "ui/handles.h"
#include "ui/menu.h"
#include "ui/window.h"

namespace vm::tasks {

class CAlarmWnd : public ui::Window {
 public:
  explicit CAlarmWnd(const CAppUtil& app);
  ~CAlarmWnd() override;

  // Made hidden, at the stored place, on top when "TOPMOST" is "1".
  bool Create();
  const std::string& text() const { return text_; }
  const StickerLook& look() const { return look_; }
  COLORREF backColour() const;
  SIZE textSize() const { return textSize_; }
  // The menu items as the right click shows them.
  std::vector<ui::MenuItem> MenuItems() const;
  // Runs a command of the context menu.
  void Command(int id);

  // Tests replace the colour chooser, whose pop-up would wait for a click.
  using ColourChooser = std::function<void(HWND owner, POINT at, COLORREF current, std::function<void(COLORREF)> done)>;
  void SetColourChooser(ColourChooser f) { chooseColour_ = std::move(f); }
  // What the sticker sends the main window (code in the second parameter).
  static void AskMainWindow(const CAppUtil& app, int code);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void TakeText(const std::string& text, int code);
  void Redraw();
  void Paint();
  void PickColour(bool background);
  void PickFont();
  void Copy();
  void OpenInEditor();
  LOGFONTW FontDescription() const;

  const CAppUtil& app_;
  std::string text_;
  StickerLook look_;
  ui::UniqueFont font_;
  ui::UniqueBitmap bitmap_;
  SIZE textSize_{0, 0};
  bool dragging_ = false;
  POINT last_{0, 0};
  ui::ColourPicker picker_;
  ColourChooser chooseColour_;
};

}  // namespace vm::tasks
