#include "ui/fonts.h"

#include <commdlg.h>

namespace vm::ui {

LOGFONTW DialogFont(HWND window) {
  LOGFONTW lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  if (!font || !GetObjectW(font, sizeof lf, &lf))
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return lf;
}

bool AskFont(HWND owner, LOGFONTW& font, COLORREF& colour, int* tenthsOfPoint) {
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = owner;
  cf.lpLogFont = &font;
  cf.rgbColors = colour;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontW(&cf)) return false;
  colour = cf.rgbColors;
  if (tenthsOfPoint) *tenthsOfPoint = cf.iPointSize;
  return true;
}

}  // namespace vm::ui
