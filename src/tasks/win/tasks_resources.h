// Resource and control ids of the tasks book's windows. Plain macros because
// velmoria.rc includes this file through the resource compiler's C preprocessor.
#pragma once

// The reminder message window ("Сообщение") and its icon.
#define IDD_REMINDER_MESSAGE 801
#define IDI_REMINDER 802

#define IDC_REMINDER_ICON 1301
#define IDC_REMINDER_TITLE 1302
#define IDC_REMINDER_HEADLINE 1303
#define IDC_REMINDER_RULE 1304
#define IDC_REMINDER_NOTES 1305
