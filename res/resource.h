// Resource numbers shared by the code and the resource script.
#pragma once

// Dialogs
#define IDD_WELCOME      1001
#define IDD_LICENSE      1002
#define IDD_LOCATION     1003
#define IDD_INSTALLING   1004
#define IDD_GROUP        1005
#define IDD_SHORTCUTS    1006
#define IDD_UNINSTALLING 1007 // the uninstaller's window

// Icons and bitmaps
#define IDI_PRODUCT      100
#define IDI_GROUP        101
#define IDB_PAGE_PICTURE 200
#define IDB_STRIP_PICTURE 201
#define IDB_BANNER       202
#define IDB_BANNER_FILL  203
#define IDB_SEPARATOR    204

// Controls. Every page's introductory text is 700.
#define IDC_INTRO_TEXT     700
#define IDC_WELCOME_TITLE  100
#define IDC_LICENSE_TEXT   200
#define IDC_LOCATION_EDIT  300
#define IDC_FOLDER_LIST    301
#define IDC_RESET_FOLDER   302
#define IDC_EXTRACTING     400
#define IDC_TOTAL_SIZE     401
#define IDC_CURRENT_SIZE   402
#define IDC_TOTAL_FILES    403
#define IDC_CURRENT_FILE   404
#define IDC_PROGRESS_BAR   405
#define IDC_WEB_NOTE       406
#define IDC_GROUP_BOX      500
#define IDC_GROUP_CONTINUE 501
#define IDC_RESET_GROUP    502
#define IDC_SHORTCUT_NAME  600
#define IDC_SHORTCUT_BAR   601
#define IDC_REMOVING       800
#define IDC_REMOVAL_BAR    801

// Timers
#define IDT_BACKDROP_START  100
#define IDT_INSTALL_START   200
#define IDT_SHORTCUTS_START 300
#define IDT_REMOVAL_STEP    400
