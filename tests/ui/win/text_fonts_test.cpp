// The faces the program's windows ask for must shape every Cyrillic text. Wine 8 dies
// inside its text shaping when an edit control's text begins with "д", "е", "ж" or "з"
// in Liberation Sans 2.1, the face it falls back to for Tahoma, Arial and the rest when
// they are missing; the test prefix's fonts keep that face out. Run in its own process,
// so a regression shows as this suite dying, not as a hang.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/handles.h"

namespace vm::ui {
namespace {

TEST(TextFonts, EditControlsTakeTextsStartingWithEveryCyrillicLetter) {
  // "MS Shell Dlg" is every dialog's face; the others are the faces pages create.
  for (const wchar_t* face : {L"MS Shell Dlg", L"Arial", L"Arial Cyr", L"Times New Roman Cyr", L"Courier New"}) {
    for (DWORD style : {DWORD(ES_AUTOHSCROLL), DWORD(ES_MULTILINE | ES_AUTOVSCROLL)}) {
      UniqueFont font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face));
      UniqueWindow edit(CreateWindowExW(0, L"EDIT", L"", WS_POPUP | style, 0, 0, 300, 80, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
      SendMessageW(edit.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
      std::wstring letters;
      for (wchar_t c = L'А'; c <= L'я'; ++c) letters += c;
      letters += L"Ёё";
      for (wchar_t c : letters) {
        std::wstring text = std::wstring(1, c) + L"аметки\r\nвторая строка";
        ASSERT_TRUE(SetWindowTextW(edit.get(), text.c_str()));
      }
      wchar_t back[64] = {};
      GetWindowTextW(edit.get(), back, 64);
      EXPECT_EQ(std::wstring(back).substr(0, 7), L"ёаметки") << face;
    }
  }
}

}  // namespace
}  // namespace vm::ui
