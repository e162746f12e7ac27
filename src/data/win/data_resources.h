// Resource, command and control ids of the data page and its two table dialogs. Plain
// macros because velmoria.rc includes this file through the resource compiler's C
// preprocessor. The commands the page shares with the sheet (32935, 32993, 33107,
// 33064) are in shell/win/shell_resources.h.
#pragma once

#define IDD_DATA 1900
#define IDD_DATA_NEW 1901
#define IDD_DATA_SETTINGS 1902
#define IDR_DATA_TOOLBAR 1903
#define IDR_DATA_HIDE_TOOLBAR 1904
#define IDR_DATA_ACCEL 1905

// Commands.
#define ID_DATA_NEW 19101
#define ID_DATA_OPEN 19102
#define ID_DATA_SAVE 19103
#define ID_DATA_SAVE_AS 19104
#define ID_DATA_ADD 19105
#define ID_DATA_DELETE 19106
#define ID_DATA_DIAL 19107
#define ID_DATA_MAIL 19108
#define ID_DATA_WEB 19109
#define ID_DATA_CLEAR 19110
#define ID_DATA_SETTINGS 19111
#define ID_DATA_PASSWORD 19112
// The save drop-down's CSV items.
#define ID_DATA_EXPORT_CSV 19113
#define ID_DATA_IMPORT_CSV 19114

// Icons of the tool-bar buttons.
#define IDI_DATA_NEW 19201
#define IDI_DATA_OPEN 19202
#define IDI_DATA_SAVE 19203
#define IDI_DATA_DIAL 19207
#define IDI_DATA_MAIL 19208
#define IDI_DATA_WEB 19209
#define IDI_DATA_CLEAR 19210
#define IDI_DATA_SETTINGS 19211
#define IDI_DATA_PASSWORD 19213

// Controls of the page.
#define IDC_DATA_FILTER1 19301
#define IDC_DATA_FILTER2 19302
#define IDC_DATA_FILTER3 19303
#define IDC_DATA_LIST 19304
#define IDC_DATA_TOOLBAR 19305
#define IDC_DATA_HIDEBAR 19306

// Controls of "Новый".
#define IDC_DNEW_FOLDER 19401
#define IDC_DNEW_BROWSE 19402
#define IDC_DNEW_NAME 19403
#define IDC_DNEW_COLUMN 19404
#define IDC_DNEW_ADD 19405
#define IDC_DNEW_LIST 19406
#define IDC_DNEW_DELETE 19407
#define IDC_DNEW_UP 19408
#define IDC_DNEW_DOWN 19409

// Controls of "Настройка таблицы".
#define IDC_DSET_NAME 19501
#define IDC_DSET_ADD 19502
#define IDC_DSET_LIST 19503
#define IDC_DSET_UP 19504
#define IDC_DSET_DOWN 19505
#define IDC_DSET_DELETE 19506
#define IDC_DSET_PHONE 19507
#define IDC_DSET_EMAIL 19508
#define IDC_DSET_WEB 19509
