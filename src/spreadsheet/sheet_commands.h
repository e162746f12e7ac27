// Command ids of the spreadsheet page, with their fixed numbers. Plain macros, with no
// includes, because the resource script uses them through the resource compiler's C
// preprocessor; the portable decisions (the menus, what a command may do) use them too.
#pragma once

// The tool bar.
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
#define ID_SHEET_CUT 20113
#define ID_SHEET_COPY 20114
#define ID_SHEET_PASTE 20115
#define ID_SHEET_UNDO 20116
#define ID_SHEET_REDO 20117
#define ID_SHEET_FONT 20118
#define ID_SHEET_FIND 20119
#define ID_SHEET_REFRESH 20120
#define ID_SHEET_PRINT 20121
#define ID_SHEET_CLEAR 20122
#define ID_SHEET_TABLE 20123

// Commands of the context menus and the table menu.
#define ID_SHEET_TAB_ADD 20131
#define ID_SHEET_TAB_DELETE 20132
#define ID_SHEET_TAB_RENAME 20133
#define ID_SHEET_DEFAULT_FONT 20134
#define ID_SHEET_COLUMN_ADD 20135
#define ID_SHEET_COLUMN_INSERT 20136
#define ID_SHEET_COLUMN_DELETE 20137
#define ID_SHEET_ROW_ADD 20138
#define ID_SHEET_ROW_INSERT 20139
#define ID_SHEET_ROW_DELETE 20140
#define ID_SHEET_MERGE 20141
#define ID_SHEET_UNMERGE 20142
#define ID_SHEET_REPLACE 20143
#define ID_SHEET_ALL_COLUMNS 20144
#define ID_SHEET_SORT_UP 20145
#define ID_SHEET_SORT_DOWN 20146
#define ID_SHEET_ALLOW_SORT 20147
#define ID_SHEET_UTF8 20148
