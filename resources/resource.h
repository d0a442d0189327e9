/* The one list of resource numbers, shared by the resource script, the code and the tests. */
#ifndef ZV_RESOURCE_H
#define ZV_RESOURCE_H

/* Dialog templates */
#define IDD_INFO 101
#define IDD_DETAILS 103
#define IDD_PROGRESS 104

/* Bitmaps */
#define IDB_LOGO 102
#define IDB_PICTURE2 105
#define IDB_PICTURE3 106
#define IDB_PICTURE1 108

/* Controls */
#define IDC_STATIC -1
#define IDC_TITLE 1001
#define IDC_MESSAGE 1002
#define IDC_HEADER 1003
#define IDC_GAMEDIR 1004
#define IDC_SEARCH 1005
#define IDC_BROWSE 1006
#define IDC_PROGRESS_MESSAGE 1008
#define IDC_PROGRESS_BAR 1009
#define IDC_BAR_FRAME 1010
#define IDC_PERCENT 1011

/* Strings */
#define IDS_MODEL_LINE 1
#define IDS_INTRO 2
#define IDS_TERMS 3
#define IDS_PROGRESS_FORMAT 4
#define IDS_UNIT_BYTES 5
#define IDS_UNIT_KB 6
#define IDS_UNIT_MB 7
#define IDS_UNIT_GB 8
#define IDS_PACKAGE_NAME 9
#define IDS_DISPLAY_NAME 10
#define IDS_HEADER 50
#define IDS_UNINSTALLER_FILE 99
#define IDS_LICENCE_FILE 100
#define IDS_PACK_FILE 101
#define IDS_PACK_TARGET 150

#endif
