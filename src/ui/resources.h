// Where the program's resources (dialogs, icons, menus, pictures, texts, the version
// record) come from: the program's own file, or — in the GUI tests, which are a
// different executable — Velmoria.exe loaded as a data file.
#pragma once

#include <windows.h>

#include <string>

namespace vm::ui {

HMODULE ResourceModule();
// The file of ResourceModule(), for the version record.
std::wstring ResourceModulePath();
// Loads another module's resources in place of the program's own; false when the file
// cannot be loaded.
bool UseResourcesOf(const std::wstring& path);

// A dialog template; null when missing. Stays valid while the module is loaded.
const DLGTEMPLATE* DialogTemplate(int id);
// Icons, bitmaps and menus the caller owns (destroy them).
HICON LoadIconResource(int id, int size);
HBITMAP LoadBitmapResource(int id);
HMENU LoadMenuResource(int id);
HACCEL LoadAccelResource(int id);
// The bytes of a custom resource; empty when missing.
std::string RawResource(const wchar_t* type, int id);
// A value of the version record's first string table ("FileVersion", "Productname").
std::wstring VersionValue(const wchar_t* name);

}  // namespace vm::ui
