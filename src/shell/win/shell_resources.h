// Resource, command and control ids of the main sheet, the tray menu and the About
// page. Plain macros because velmoria.rc includes this file through the resource
// compiler's C preprocessor; the numbers the program's users and other windows rely on
// (commands, menus, dialogs) are fixed.
#pragma once

#define IDI_VELMORIA 128
#define IDD_ABOUT 167
#define IDR_TRAY_MENU 384
#define IDD_WAIT 409
#define IDR_SHEET_ACCEL 482

// Tab icons, in tab order: data, contacts, firms, dates, notebook, tasks, spreadsheet, about.
#define IDI_TAB_DATA 429
#define IDI_TAB_CONTACTS 222
#define IDI_TAB_FIRMS 265
#define IDI_TAB_DATES 256
#define IDI_TAB_NOTEBOOK 220
#define IDI_TAB_TASKS 285
#define IDI_TAB_SPREADSHEET 486
#define IDI_TAB_ABOUT 219

// Tool-bar icons the book pages share.
#define IDI_BOOK_ADD 701
#define IDI_BOOK_DELETE 702
#define IDI_BOOK_REPORT 708
#define IDI_BOOK_SAVE 710
#define IDI_BOOK_LOAD_INFO 711
#define IDI_BOOK_HELP 712
#define IDI_BOOK_HIDE 713
#define IDI_BOOK_SEARCH 730

#define IDB_SPLASH 603
#define IDR_ABOUT_RTF 604

// Commands.
#define ID_TRAY_OPEN 32940
#define ID_APP_EXIT 57665
#define ID_HIDE_TO_TRAY 32935
#define ID_SAVE_ALL 32993
#define ID_LOAD_INFO 33107
#define ID_HELP_FILE 33064

// The About page.
#define IDC_ABOUT_MAIL 1101
#define IDC_ABOUT_HOME 1102
#define IDC_ABOUT_SETTINGS_LINK 1103
#define IDC_ABOUT_ABOUT_LINK 1104
#define IDC_ABOUT_TEXT 1105
#define IDC_ABOUT_GROUP 1106
#define IDC_ABOUT_AUTOSTART 1107
#define IDC_ABOUT_HIDE 1108
#define IDC_ABOUT_AUTOSAVE 1109
#define IDC_ABOUT_LAST 1110
#define IDC_ABOUT_BACKUP_LABEL 1111
#define IDC_ABOUT_BACKUP_DAYS 1112
#define IDC_ABOUT_ESC 1113
#define IDC_ABOUT_OLD_PROTECTION 1114

// The wait window.
#define IDC_WAIT_TEXT 1120

// The question about a book whose save failed.
#define IDD_UNSAVED 411
#define IDC_UNSAVED_TEXT 1130
#define IDC_UNSAVED_ICON 1131
#define IDC_UNSAVED_RETRY 1132
#define IDC_UNSAVED_SAVE_AS 1133
#define IDC_UNSAVED_LEAVE 1134

// The question about a book changed elsewhere since it was read.
#define IDD_CHANGED 412
#define IDC_CHANGED_TEXT 1140
#define IDC_CHANGED_ICON 1141
#define IDC_CHANGED_MERGE 1142
#define IDC_CHANGED_MINE 1143
#define IDC_CHANGED_DISK 1144

// The warning for a book open on another machine.
#define IDD_LOCKED 413
#define IDC_LOCKED_TEXT 1145
#define IDC_LOCKED_ICON 1146
#define IDC_LOCKED_OPEN 1147
#define IDC_LOCKED_READ_ONLY 1148

// "Найти везде": the window, its controls and the command that opens it (the sheet's
// keys and the tray menu).
#define IDD_FIND_EVERYWHERE 436
#define ID_FIND_EVERYWHERE 36500
#define IDC_FIND_EVERYWHERE_LABEL 36501
#define IDC_FIND_EVERYWHERE_TEXT 36502
#define IDC_FIND_EVERYWHERE_LIST 36503
#define IDC_FIND_EVERYWHERE_STATUS 36504
