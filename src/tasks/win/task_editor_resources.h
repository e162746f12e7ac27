// Resource and control ids of the task editor (dialog 342). A control that carries a
// record field has the id IDC_TE_FIELD_BASE + the field's number, so the window finds
// the control of every field of the editor's table without a second list. Plain macros
// because the resource compiler's C preprocessor reads this file.
#pragma once

#define IDD_TASK_EDITOR 342
#define IDR_TASK_EDITOR_MENU 3420
#define IDR_TASK_EDITOR_ACCEL 3421

#define ID_TE_IMPORT 34201
#define ID_TE_SAVE_NOTES 34202
#define ID_TE_EXTERNAL 34203
#define ID_TE_LINK_FILE 34204
#define ID_TE_LINK_FOLDER 34205
#define ID_TE_UNDO 34211
#define ID_TE_CUT 34212
#define ID_TE_COPY 34213
#define ID_TE_PASTE 34214
#define ID_TE_DELETE 34215
#define ID_TE_FIND 34216
#define ID_TE_SELECT_ALL 34217
#define ID_TE_CALENDAR 34221

#define IDC_TE_FIELD_BASE 3500
#define IDC_TE_HEADLINE 3500
#define IDC_TE_NOTES 3501
#define IDC_TE_DATE 3503
#define IDC_TE_DEADLINE 3505
#define IDC_TE_MISC 3506
#define IDC_TE_TASK 3507
#define IDC_TE_INFO 3510
#define IDC_TE_REMIND 3513
#define IDC_TE_BYDATE 3514
#define IDC_TE_DAY 3515
#define IDC_TE_MONTH 3516
#define IDC_TE_YEAR 3517
#define IDC_TE_BYCALENDAR 3518
#define IDC_TE_QUARTER1 3519
#define IDC_TE_QUARTER2 3520
#define IDC_TE_QUARTER3 3521
#define IDC_TE_QUARTER4 3522
#define IDC_TE_QMONTH1 3523
#define IDC_TE_QMONTH2 3524
#define IDC_TE_QMONTH3 3525
#define IDC_TE_WEEK1 3526
#define IDC_TE_WEEK2 3527
#define IDC_TE_WEEK3 3528
#define IDC_TE_WEEK4 3529
#define IDC_TE_LASTWEEK 3530
#define IDC_TE_MONDAY 3531
#define IDC_TE_TUESDAY 3532
#define IDC_TE_WEDNESDAY 3533
#define IDC_TE_THURSDAY 3534
#define IDC_TE_FRIDAY 3535
#define IDC_TE_SATURDAY 3536
#define IDC_TE_SUNDAY 3537
#define IDC_TE_ALLWEEKDAYS 3538
#define IDC_TE_WITHTIME 3539
#define IDC_TE_PERIODIC 3540
#define IDC_TE_HOUR 3543
#define IDC_TE_MINUTE 3544
#define IDC_TE_WEEKAHEAD 3545
#define IDC_TE_SOUND 3546
#define IDC_TE_PERMANENT 3547
#define IDC_TE_PCBEEP 3549
#define IDC_TE_PROJECT 3552

#define IDC_TE_HEADLINE_GROUP 3601
#define IDC_TE_DATE_GROUP 3602
#define IDC_TE_NOTES_GROUP 3603
#define IDC_TE_PANEL 3604
#define IDC_TE_BROWSE 3605
#define IDC_TE_PREVIEW 3606
#define IDC_TE_STATUS 3607
#define IDC_TE_LABEL_DATE 3611
#define IDC_TE_LABEL_TIME 3612
#define IDC_TE_LABEL_QUARTER 3613
#define IDC_TE_LABEL_QMONTH 3614
#define IDC_TE_LABEL_WEEK 3615
#define IDC_TE_LABEL_WEEKDAY 3616
#define IDC_TE_LABEL_SOUND 3617
#define IDC_TE_LABEL_PREVIEW 3618
