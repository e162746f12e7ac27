// The link label: a static control that shows a target (a web page, a mail address, a
// file) in link colours, lights up under the mouse, opens the target on a click and
// shows it in a tooltip. Labels that do something other than open a target (switching
// panels) give it an action instead.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/handles.h"
#include "ui/window.h"

namespace vm::ui {

class LinkLabel {
 public:
  static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
  static constexpr COLORREF kHoverColour = RGB(255, 92, 0);
  static constexpr COLORREF kSystemHighlight = static_cast<COLORREF>(-1);

  LinkLabel() = default;
  ~LinkLabel();
  LinkLabel(const LinkLabel&) = delete;
  LinkLabel& operator=(const LinkLabel&) = delete;

  // Set these before Attach; they shape what Attach builds.
  void SetTarget(const std::string& cp1251Target) { target_ = cp1251Target; }
  void SetColours(COLORREF link, COLORREF visited, COLORREF hover);
  void SetUnderline(bool on) { underline_ = on; }
  void SetAdjustSize(bool on) { adjustSize_ = on; }
  void SetLinkCursor(HCURSOR cursor) { cursor_ = cursor; }
  // A click runs the action instead of opening the target.
  void SetAction(std::function<void()> action) { action_ = std::move(action); }

  // Takes over a static control (usually from a dialog template).
  void Attach(HWND label);
  HWND hwnd() const { return hwnd_; }

  // What a click does: ends hovering, opens the target, marks the label visited on
  // success and otherwise beeps and shows "Unable to open hyperlink:" with the reason.
  void Click();
  void SetVisited(bool visited);

  const std::string& target() const { return target_; }
  bool visited() const { return visited_; }
  bool hovering() const { return hovering_; }
  COLORREF TextColour() const;
  HWND tooltip() const { return tooltip_.get(); }

  // How targets are opened: (cp1251 target, show command) -> code, above 32 on success.
  // The shell actions' OpenTarget (with its browser fallback) unless replaced (tests).
  using Opener = std::function<int(const std::string& target, int showCommand)>;
  static void SetOpener(Opener opener);

 private:
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);
  void StopHover();

  HWND hwnd_ = nullptr;
  std::string target_;
  COLORREF link_ = kLinkColour, visitedColour_ = kVisitedColour, hover_ = kHoverColour;
  bool visited_ = false, hovering_ = false, underline_ = true, adjustSize_ = true;
  HCURSOR cursor_ = nullptr;
  std::function<void()> action_;
  UniqueFont font_;
  UniqueWindow tooltip_;
  Subclass hook_;
};

// Paints the parent's background under a child, for controls drawn transparently.
void PaintParentBackground(HWND child, HDC dc);

}  // namespace vm::ui
