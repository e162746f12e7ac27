// Resource, command and control ids of the spreadsheet page. Plain macros because
// velmoria.rc includes this file through the resource compiler's C preprocessor. The
// commands the page shares with the sheet (32935, 32993, 33107, 33064) are in
// shell/win/shell_resources.h.
#pragma once

#define IDR_SHEET_TOOLBAR 2001
#define IDR_SHEET_HIDE_TOOLBAR 2002
#define IDR_SHEET_PAGE_ACCEL 2003

// Commands.
#define ID_SHEET_NEW 20101
#define ID_SHEET_OPEN 20102
#define ID_SHEET_SAVE 20103
#define ID_SHEET_SAVE_AS 20104
#define ID_SHEET_BOLD 20105
#define ID_SHEET_ITALIC 20106
#define ID_SHEET_UNDERLINE 20107
#define ID_SHEET_LEFT 20108
#define ID_SHEET_CENTRE 20109
#define ID_SHEET_RIGHT 20110
#define ID_SHEET_TEXT_COLOUR 20111
#define ID_SHEET_FILL_COLOUR 20112

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
#define IDI_SHEET_LOAD_INFO 20212
#define IDI_SHEET_HELP 20213
#define IDI_SHEET_HIDE 20214

// Controls of the page.
#define IDC_SHEET_GRID 20301
#define IDC_SHEET_TOOLBAR 20302
#define IDC_SHEET_HIDEBAR 20303
