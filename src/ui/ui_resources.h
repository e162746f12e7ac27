// Resource and control ids of the shared dialogs. Plain macros because velmoria.rc
// includes this file through the resource compiler's C preprocessor.
#pragma once

#define IDD_ASK_NEW_FILE 601
#define IDD_ASK_PASSWORD 602

#define IDC_NEWFILE_FOLDER_LABEL 1001
#define IDC_NEWFILE_FOLDER 1002
#define IDC_NEWFILE_BROWSE 1003
#define IDC_NEWFILE_NAME_LABEL 1004
#define IDC_NEWFILE_NAME 1005

#define IDC_PASSWORD_EDIT 1011
#define IDC_PASSWORD_SHOW 1012
#define IDC_PASSWORD_REMOVE 1013
#define IDC_PASSWORD_RU 1014
#define IDC_PASSWORD_EN 1015
