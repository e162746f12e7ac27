// Resource, command and control ids of the spreadsheet page. Plain macros because
// velmoria.rc includes this file through the resource compiler's C preprocessor. The
// commands the page shares with the sheet (32935, 32993, 33107, 33064) are in
// shell/win/shell_resources.h.
#pragma once

#include "spreadsheet/sheet_commands.h"

#define IDR_SHEET_TOOLBAR 2001
#define IDR_SHEET_HIDE_TOOLBAR 2002
#define IDR_SHEET_PAGE_ACCEL 2003

// Icons of the tool-bar buttons.
#define IDI_SHEET_NEW 20201
#define IDI_SHEET_OPEN 20202
#define IDI_SHEET_SAVE 20203
#define IDI_SHEET_BOLD 20204
#define IDI_SHEET_ITALIC 20205
#define IDI_SHEET_UNDERLINE 20206
#define IDI_SHEET_LEFT 20207
#define IDI_SHEET_CENTRE 20208
#define IDI_SHEET_RIGHT 20209
#define IDI_SHEET_TEXT_COLOUR 20210
#define IDI_SHEET_FILL_COLOUR 20211
#define IDI_SHEET_CUT 20215
#define IDI_SHEET_COPY 20216
#define IDI_SHEET_PASTE 20217
#define IDI_SHEET_UNDO 20218
#define IDI_SHEET_REDO 20219
#define IDI_SHEET_FONT 20220
#define IDI_SHEET_FIND 20221
#define IDI_SHEET_REFRESH 20222
#define IDI_SHEET_TABLE 20223
#define IDI_SHEET_PRINT 20224

// Controls of the page.
#define IDC_SHEET_GRID 20301
#define IDC_SHEET_TOOLBAR 20302
#define IDC_SHEET_HIDEBAR 20303
#define IDD_SHEET_RENAME 20304
#define IDC_SHEET_NAME 20305
#define IDD_SHEET_ADD 20306
#define IDC_SHEET_ADD_COLUMNS 20307
#define IDC_SHEET_ADD_ROWS 20308
