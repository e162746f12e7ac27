// A flat tool bar built from a tool-bar resource (the commands of its buttons, in order,
// with separators), with an icon per command and tooltips the tool bar asks its parent
// for. The tool bar answers those requests itself from the texts it was given.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/handles.h"
#include "ui/window.h"

namespace vm::ui {

struct ToolCommand {
  int command;
  int iconId;       // icon resource of the button, with 16, 24 and 32 pixel pictures
  const char* tip;  // cp1251
};

class Toolbar {
 public:
  Toolbar() = default;
  ~Toolbar();
  Toolbar(const Toolbar&) = delete;
  Toolbar& operator=(const Toolbar&) = delete;

  // A tool-bar child of `parent` with the buttons of resource `toolbarId`; commands the
  // table does not know get no image. False when the resource is missing.
  bool Create(HWND parent, int controlId, int toolbarId, const std::vector<ToolCommand>& commands);
  HWND hwnd() const { return bar_; }

  // The commands of the buttons in order, 0 for a separator.
  const std::vector<int>& buttons() const { return buttons_; }
  bool Has(int command) const;
  void Enable(int command, bool enabled);
  bool IsEnabled(int command) const;
  // The text the tooltip shows for a command; empty when it has none.
  std::string TipOf(int command) const;
  void Move(int x, int y, int width, int height);
  // How wide the buttons are together, from the bar's left edge.
  int ButtonsWidth() const;
  // Gives a button a drop-down arrow. With `whole` the button is all arrow: a click
  // drops the list. Otherwise a click runs the command as before and only the arrow
  // drops. `dropped` gets the button's rectangle on the screen, to open a menu or a
  // calendar under it.
  using Dropped = std::function<void(int command, const RECT& screen)>;
  void SetDropDown(int command, bool whole, Dropped dropped);
  // The button's rectangle on the screen; empty when the bar has no such button.
  RECT ButtonScreenRect(int command) const;
  // What the arrow of a drop-down button does, as a click on it would.
  bool Drop(int command);
  // The buttons' pictures for the screen scale the bar is on now (after a move to a
  // monitor of another scale). A window can ask every tool bar under it with
  // RescaleMessage(), sent to each bar.
  void Rescale();
  static UINT RescaleMessage();

 private:
  LRESULT ParentMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Detach();
  void MakeImages(int size);

  HWND bar_ = nullptr;
  HWND parent_ = nullptr;
  std::vector<ToolCommand> commands_;
  std::vector<int> buttons_;
  std::map<int, Dropped> dropDowns_;
  std::wstring tipBuffer_;
  int iconSize_ = 0;
  std::map<int, int> imageOf_;  // icon resource -> image index
  UniqueImageList images_, disabledImages_;
  Subclass parentHook_, barHook_;
};

// The commands of a tool-bar resource in order, 0 for a separator; empty when missing.
std::vector<int> ToolbarResourceCommands(int toolbarId);

}  // namespace vm::ui
