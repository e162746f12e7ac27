// Resource and control ids of the tasks book's windows. Plain macros because
// velmoria.rc includes this file through the resource compiler's C preprocessor. The
// command ids are in tasks/task_commands.h.
#pragma once

#include "tasks/task_commands.h"

// The reminder message window ("Сообщение") and its icon.
#define IDD_REMINDER_MESSAGE 801
#define IDI_REMINDER 802

#define IDC_REMINDER_ICON 1301
#define IDC_REMINDER_TITLE 1302
#define IDC_REMINDER_HEADLINE 1303
#define IDC_REMINDER_RULE 1304
#define IDC_REMINDER_NOTES 1305
#define IDC_REMINDER_SNOOZE 1306
#define IDC_REMINDER_SNOOZE_SPAN 1307
#define IDC_REMINDER_CLOSE_ALL 1308

// The tasks page.
#define IDR_TASKS_TOOLBAR 811
#define IDR_TASKS_ACCEL 812
#define IDD_TASK_HEADINGS 813
#define IDI_TASK_UP 821
#define IDI_TASK_DOWN 822
#define IDI_TASK_OPEN 823
#define IDI_TASK_NEW 824
#define IDI_TASK_FIND 825
#define IDI_TASK_FIND_ALL 826
#define IDI_TASK_NEXT 827
#define IDI_TASK_CALENDAR 828
#define IDI_TASK_HEADINGS 829

#define IDC_TASK_LIST 1044
#define IDC_TASK_TOOLBAR 1045
#define IDC_TASK_CAPTION 1046

// The headings dialog ("Настройка представления информации").
#define IDC_HEADING1 1311
#define IDC_HEADING2 1312
#define IDC_HEADING3 1313
#define IDC_HEADING1_ON 1314
#define IDC_HEADING2_ON 1315
#define IDC_HEADING3_ON 1316
#define IDC_HEADINGS_NOTE 1317

