// Dialog and property-page bases. The dialog procedure keeps `this` in the window and
// forwards to virtual members; no exception ever crosses into the system's dispatcher.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace vm::ui {

class DialogBase {
 public:
  virtual ~DialogBase() = default;
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string ItemText(int id) const;  // cp1251
  void SetItemText(int id, const std::string& cp1251);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  void ShowItem(int id, bool show);
  void EnableItem(int id, bool enable);

 protected:
  DialogBase() = default;

  // Return false when the focus was set here.
  virtual bool OnInitDialog() { return true; }
  // True when handled.
  virtual bool OnCommand(int id, int code, HWND control) { return false; }
  // True when handled; result goes back to the sender.
  virtual bool OnNotify(NMHDR* header, LRESULT& result) { return false; }
  // Any other message; true when handled.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return false; }

  // The common dispatch; the two procedures only find `this`.
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  virtual void Detach() { hwnd_ = nullptr; }

 private:
  INT_PTR DispatchUnguarded(UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// A dialog from a template in the resources, run modally or modelessly.
class Dialog : public DialogBase {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  ~Dialog() override;

  // IDOK, IDCANCEL or what End() was given; -1 when the dialog could not be made.
  INT_PTR DoModal(HWND owner);
  HWND CreateModeless(HWND owner);
  // Ends a modal run with the result, or destroys a modeless dialog.
  void End(INT_PTR result);

  // Tests drive modal dialogs through this: it runs for every dialog right after its
  // initialisation, inside the dialog's own modal loop.
  using InitHook = std::function<void(Dialog&)>;
  static void SetInitHook(InitHook hook);
  int templateId() const { return templateId_; }

 protected:
  // OK and Cancel end the dialog unless a subclass decides otherwise.
  virtual void OnOk() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  bool OnCommand(int id, int code, HWND control) override;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  int templateId_;
  bool modal_ = false;
};

// A property page from a dialog template, or a blank page of a given size in dialog
// units when no template exists yet. The tab shows `caption`.
class PropertyPage : public DialogBase {
 public:
  PropertyPage(int templateId, std::string caption);
  // A blank page.
  PropertyPage(std::string caption, int widthDlu, int heightDlu);

  PROPSHEETPAGEW Describe();
  const std::string& caption() const { return caption_; }

  // A message taken from the sheet's loop while this page is on show, before the sheet's
  // own keys: true when the page used it and it must go no further.
  virtual bool PreTranslate(MSG& msg) { return false; }

 protected:
  // The notifications of the sheet, mapped once here.
  virtual void OnSetActive() {}
  virtual void OnKillActive() {}
  virtual void OnSize(int width, int height) {}

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  int templateId_ = 0;
  std::string caption_;
  std::wstring wideCaption_;
  std::vector<WORD> blank_;  // the in-memory template of a blank page
};

}  // namespace vm::ui
