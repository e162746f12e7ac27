// Resource, command and control ids of the contacts and firms pages. Plain macros
// because velmoria.rc includes this file through the resource compiler's C
// preprocessor. The command numbers are the ones the pages' users and the main sheet
// rely on; the commands both pages share with the sheet (32935, 32993, 33107, 33064)
// are in shell/win/shell_resources.h.
#pragma once

#define IDD_CONTACTS 195
#define IDD_FIRMS 262
#define IDR_CONTACTS_TOOLBAR 425
#define IDR_FIRMS_TOOLBAR 423
#define IDR_CARDS_ACCEL 468
// The separate tool bar of the single hide button.
#define IDR_CARDS_HIDE_TOOLBAR 700

// Commands.
#define ID_CARD_ADD 1021
#define ID_CARD_DELETE 1022
#define ID_CARD_REPORT 1023
#define ID_CARD_DIAL_PHONE 32971
#define ID_CARD_DIAL_MOBILE 33016
#define ID_CARD_DIAL_FAX 32981
#define ID_CARD_MAIL 32965
#define ID_CARD_WEB 32972
#define ID_CARD_CLEAR 32920
// The report button's drop-down: cards to and from vCard files.
#define ID_CARD_EXPORT_VCARD 1031
#define ID_CARD_IMPORT_VCARD 1032

// Icons: the tool-bar buttons, the contact means and the boxes beside them (the
// buttons every book has are shell/win/shell_resources.h's IDI_BOOK_*).
#define IDI_CARD_PHONE 703
#define IDI_CARD_MOBILE 704
#define IDI_CARD_FAX 705
#define IDI_CARD_MAIL 706
#define IDI_CARD_WEB 707
#define IDI_CARD_CLEAR 709
#define IDI_CARD_PAGER 714
#define IDI_CARD_ICQ 715
#define IDI_CARD_ADDRESS 716
#define IDI_CARD_COMMENT 717
#define IDI_CARD_PHONES 718

// Controls.
#define IDC_CARD_SEARCH1 1201
#define IDC_CARD_SEARCH2 1202
#define IDC_CARD_SEARCH3 1203
#define IDC_CARD_SEARCH4 1204
#define IDC_CARD_LIST 1205
#define IDC_CARD_ADDRESS 1206
#define IDC_CARD_COMMENT 1207
#define IDC_CARD_MEANS 1208
#define IDC_CARD_PHONES 1209
#define IDC_CARD_ADDRESS_ICON 1210
#define IDC_CARD_COMMENT_ICON 1211
#define IDC_CARD_PHONES_ICON 1212
#define IDC_CARD_TOOLBAR 1213
#define IDC_CARD_HIDEBAR 1214
