// Command ids of the tasks page and of the sticker window, with their fixed numbers
// (the same number means different things in the two windows). Plain macros, with no
// includes, because the resource script uses them through the resource compiler's C
// preprocessor; the portable decisions (the context menu, the status table) use them too.
#pragma once

// ---- the tasks page ("Дела") -------------------------------------------------------
#define ID_TASK_ADD 1021
#define ID_TASK_DELETE 1022
#define ID_TASK_REPORT_HEADS 1023
#define ID_TASK_MOVE_UP 1024
#define ID_TASK_MOVE_DOWN 1027
#define ID_TASK_SAVE 1054
#define ID_TASK_OPEN 1055
#define ID_TASK_NEW 1056
#define ID_TASK_EDIT 32858
#define ID_TASK_NEXT_THEME 32868
#define ID_TASK_FIND 32878
#define ID_TASK_FIND_ALL 32934
#define ID_TASK_DIARY_DATE 32919
#define ID_TASK_DIARY_PICK 33233
#define ID_TASK_SAVE_AS 33221
#define ID_TASK_SAVE_CURRENT 164
// The save drop-down's iCalendar commands.
#define ID_TASK_EXPORT_ICS 1061
#define ID_TASK_IMPORT_ICS 1062
#define ID_TASK_REPORT_FULL 33264
#define ID_TASK_HEADINGS 33117
// "Найти выполненные" / "Найти невыполненные": the numbers 33222 / 33223 are
// already "set in progress" / "set sticker mark"; here they are searches with ids of
// their own, so the drop-down can never change a record's status.
#define ID_TASK_FIND_DONE 33270
#define ID_TASK_FIND_NOT_DONE 33271

// Status commands (context menu).
#define ID_TASK_SET_DONE 33218
#define ID_TASK_CLEAR_DONE 33220
#define ID_TASK_SET_WORKING 33222
#define ID_TASK_CLEAR_WORKING 33247
#define ID_TASK_SET_STICKER 33223
#define ID_TASK_CLEAR_STICKER 33224
#define ID_TASK_STICKER_ON 33246
#define ID_TASK_NO_STICKER_RECORDS 33245
#define ID_TASK_CHOOSE_GROUP1 33255
#define ID_TASK_CHOOSE_GROUP2 33256
#define ID_TASK_CHOOSE_GROUP3 33257

// View commands.
#define ID_VIEW_TASKS 1067
#define ID_VIEW_INFO 1068
#define ID_VIEW_DEADLINES 1069
#define ID_VIEW_DIARY 139
#define ID_VIEW_ALL 138
#define ID_VIEW_MISC 142
#define ID_VIEW_PREVIOUS_WEEK 156
#define ID_VIEW_WEEK 157
#define ID_VIEW_NEXT_WEEK 159
#define ID_VIEW_ACTIVE_REMINDERS 160
#define ID_VIEW_MISSED_REMINDERS 163
#define ID_VIEW_STICKER 33226
#define ID_VIEW_PROJECTS 33261

// The common toolbar commands share the sheet's ids (shell_resources.h).

// ---- the sticker window ("Alarm Velmoria") ---------------------------------------------
#define ID_STICKER_BACK_COLOUR 139
#define ID_STICKER_TEXT_COLOUR 138
#define ID_STICKER_DEFAULT_COLOURS 142
#define ID_STICKER_FONT 155
#define ID_STICKER_DATE_ON 163
#define ID_STICKER_DATE_OFF 164
#define ID_STICKER_TOPMOST_ON 157
#define ID_STICKER_TOPMOST_OFF 159
#define ID_STICKER_COPY 1068
#define ID_STICKER_EDITOR 160
#define ID_STICKER_SHOW_RECORDS 156
#define ID_STICKER_CLOSE 1067
