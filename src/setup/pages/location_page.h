// The program location page: the edit field with the proposed install folder
// and the small folder browser beside it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "rules/location_rules.h"

// What a row of the folder list stands for, kept as the row's item datum.
enum FolderRowKind { ROW_COMPUTER = 1, ROW_DRIVE = 2, ROW_FOLDER = 4 };

struct FolderListState {
    int32_t driveMode;  // 1 while the list shows the drives
    int16_t currentRow; // the current folder's row; in drive mode the row selected after filling
    int16_t rowIndent[FOLDER_LIST_ROWS];
    char computerName[MAX_PATH];
    int16_t computerIcon;
};

extern FolderListState folderListState;

// Proposes the folder of an earlier installation, or the default one, unless
// the install folder already is that one.
void applyDefaultFolder(HWND page);
// 1 when the typed path is accepted and stored as the install folder, -1
// after a warning.
int validateLocation(HWND page);
// Makes the path the install folder and refills the list in the given mode.
void showFolderList(HWND page, const char* path, int driveMode);
void fillDriveRows(HWND page);
void fillFolderRows(HWND page, const char* path);
void onFolderListDoubleClick(HWND page);
BOOL drawFolderRow(const DRAWITEMSTRUCT* item);
