#include "ui/printing.h"

#include <commdlg.h>
#include <winspool.h>

#include "platform/platform.h"

namespace vm::ui {

bool PrinterInstalled() {
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  return needed > 0;
}

HDC AskPrinter(HWND owner) {
  if (!PrinterInstalled()) {
    platform::ShowMessage("Не установлен ни один принтер: печатать не на чем.", platform::MessageIcon::kExclamation);
    return nullptr;
  }
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
  BOOL chosen = PrintDlgW(&pd);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (!chosen) return nullptr;
  return pd.hDC;
}

}  // namespace vm::ui
