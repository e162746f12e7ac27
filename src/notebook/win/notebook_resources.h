// Resource, command and control ids of the notebook page. Plain macros because
// velmoria.rc includes this file through the resource compiler's C preprocessor. The
// command numbers are the page's own (the same number means something else on another
// page); the commands shared with the sheet (32993, 33064, 32935) are in
// shell/win/shell_resources.h.
#pragma once

#define IDD_NOTEBOOK 1800
#define IDR_NOTE_TOOLBAR 1801
#define IDR_NOTE_HIDE_TOOLBAR 1802
#define IDR_NOTE_ACCEL 1803
#define IDR_NOTE_FORMAT_TOOLBAR 1804
#define IDR_NOTE_EDITOR_ACCEL 1805
#define IDD_NOTE_FIND_ALL 1805

// Files.
#define ID_NOTE_NEW_FILE 1056
#define ID_NOTE_OPEN_FILE 1055
#define ID_NOTE_SAVE_FILE 33100
#define ID_NOTE_SAVE_AS 1054

// The tree.
#define ID_NOTE_ADD_ROOT 32822
#define ID_NOTE_ADD_LEAF 32823
#define ID_NOTE_DELETE 1022
#define ID_NOTE_COPY_BRANCH 32825
#define ID_NOTE_PASTE_BRANCH 32826
#define ID_NOTE_FIND_TITLE 32873
#define ID_NOTE_RENAME 1810
#define ID_NOTE_EXPORT_BRANCH 1811
#define ID_NOTE_IMPORT_BRANCH 1812
#define ID_NOTE_SORT_BRANCH 1813
#define ID_NOTE_SORT_TREE 1814
#define ID_NOTE_FIND_TEXT 1048
#define ID_NOTE_FIND_ALL 1822

// Character and paragraph formats.
#define ID_NOTE_BOLD 1061
#define ID_NOTE_ITALIC 1062
#define ID_NOTE_UNDERLINE 1063
#define ID_NOTE_ALIGN_LEFT 1064
#define ID_NOTE_ALIGN_CENTRE 1065
#define ID_NOTE_ALIGN_RIGHT 1066
#define ID_NOTE_FONT 1053
#define ID_NOTE_COLOUR 1052
#define ID_NOTE_HIGHLIGHT 33110
#define ID_NOTE_BULLETS 33077
#define ID_NOTE_INDENT_MORE 1815
#define ID_NOTE_INDENT_LESS 1816
#define ID_NOTE_WORD_WRAP 1817
#define ID_NOTE_SELECT_ALL 1818
#define ID_NOTE_CLEAR 1819

// The editor's clipboard and history, print and password.
#define ID_NOTE_CUT 1057
#define ID_NOTE_COPY 1058
#define ID_NOTE_PASTE 1059
#define ID_NOTE_UNDO 33098
#define ID_NOTE_REDO 33099
#define ID_NOTE_PRINT 33072
#define ID_NOTE_PASSWORD 33182

// The export drop-down: text to and from a file, recoding, links, the outside editor.
#define ID_NOTE_EXPORT 1820
#define ID_NOTE_TEXT_TO_FILE 1067
#define ID_NOTE_TEXT_FROM_FILE 1068
#define ID_NOTE_WIN_DOS 138
#define ID_NOTE_WIN_KOI 139
#define ID_NOTE_KOI_WIN 142
#define ID_NOTE_WIN_ISO 155
#define ID_NOTE_DOS_WIN 156
#define ID_NOTE_ISO_WIN 157
#define ID_NOTE_LAT_RUS 159
#define ID_NOTE_RUS_LAT 160
#define ID_NOTE_CHARSET 33220
#define ID_NOTE_UTF8_WIN 33221
#define ID_NOTE_LINK_FILE 33222
#define ID_NOTE_LINK_FOLDER 33223
#define ID_NOTE_OUTSIDE 1821
#define ID_NOTE_HIDE 59392

// Icons of the tool-bar buttons.
#define IDI_NOTE_NEW 1830
#define IDI_NOTE_OPEN 1831
#define IDI_NOTE_SAVE_AS 1833
#define IDI_NOTE_ADD_ROOT 1835
#define IDI_NOTE_ADD_LEAF 1836
#define IDI_NOTE_COPY_BRANCH 1838
#define IDI_NOTE_PASTE_BRANCH 1839
#define IDI_NOTE_FIND_TEXT 1841
#define IDI_NOTE_BOLD 1842
#define IDI_NOTE_ITALIC 1843
#define IDI_NOTE_UNDERLINE 1844
#define IDI_NOTE_LEFT 1845
#define IDI_NOTE_CENTRE 1846
#define IDI_NOTE_RIGHT 1847
#define IDI_NOTE_FONT 1848
#define IDI_NOTE_COLOUR 1849
#define IDI_NOTE_HIGHLIGHT 1850
#define IDI_NOTE_BULLETS 1851
#define IDI_NOTE_CUT 1852
#define IDI_NOTE_COPY 1853
#define IDI_NOTE_PASTE 1854
#define IDI_NOTE_UNDO 1855
#define IDI_NOTE_REDO 1856
#define IDI_NOTE_PRINT 1857
#define IDI_NOTE_PASSWORD 1858
#define IDI_NOTE_EXPORT 1860

// Controls of the page.
#define IDC_NOTE_TREE 1870
#define IDC_NOTE_EDIT 1871
#define IDC_NOTE_TOOLBAR 1872
#define IDC_NOTE_HIDEBAR 1873
#define IDC_NOTE_FORMATBAR 1874

// The all-notes search dialog.
#define IDC_NOTE_FIND_ALL_TEXT 1875
#define IDC_NOTE_FIND_ALL_LIST 1876
#define IDC_NOTE_FIND_ALL_COUNT 1877
