// Resource, command and control ids of the dates page. Plain macros because velmoria.rc
// includes this file through the resource compiler's C preprocessor. The command numbers
// are the page's own (the same number means something else on another page); the
// commands shared with the sheet (32993, 33064) are in shell/win/shell_resources.h.
#pragma once

#define IDD_DATES 1700
#define IDD_DATES_ADD 1701
#define IDR_DATES_TOOLBAR 1702
#define IDR_DATES_HIDE_TOOLBAR 1703
#define IDR_DATES_ACCEL 1704

// Tool-bar commands.
#define ID_DATES_EDIT 32858
#define ID_DATES_SEARCH 1048
#define ID_DATES_TODAY 32919
#define ID_DATES_REFRESH 32933
#define ID_DATES_REPORT 1023
#define ID_DATES_HIDE 59392

// The edit drop-down.
#define ID_DATES_EDIT_BIRTHDAYS 1067
#define ID_DATES_EDIT_DATES 1068
#define ID_DATES_ADD_DATE 1710

// The search drop-down: two searches and the year's Easter dates.
#define ID_DATES_SEARCH_BIRTHDAYS 1069
#define ID_DATES_SEARCH_DATES 139
#define ID_DATES_EASTER_ORTHODOX 138
#define ID_DATES_EASTER_CATHOLIC 155
#define ID_DATES_EASTER_JEWISH 142
// The report button's drop-down.
#define ID_DATES_EXPORT_ICS 1711

// Icons of the tool-bar buttons.
#define IDI_DATES_EDIT 1720
#define IDI_DATES_TODAY 1722
#define IDI_DATES_REFRESH 1723

// Controls of the page.
#define IDC_DATES_LIST 1044
#define IDC_DATES_TOOLBAR 1730
#define IDC_DATES_HIDEBAR 1731

// Controls of the "Добавить дату" dialog.
#define IDC_ADD_DATE_WHEN 1740
#define IDC_ADD_DATE_YEAR 1741
#define IDC_ADD_DATE_TEXT 1742
#define IDC_ADD_DATE_BIRTHDAYS 1743
#define IDC_ADD_DATE_DATES 1744
