// The common controls, taken from the system folder at run time. comctl32.dll
// is not one of the DLLs that Windows always loads from the system folder,
// so an import of it would be looked for beside the program first, before
// WinMain can restrict the search: the programs import only such DLLs and
// reach comctl32 through these calls, made after restrictDllSearch.
#pragma once
#include <windows.h>

#include <commctrl.h>

// InitCommonControlsEx for the given ICC_ classes; false when comctl32 cannot be loaded.
bool initCommonControls(DWORD classes);
// ImageList_Draw; draws nothing when comctl32 cannot be loaded.
void drawImageListIcon(HIMAGELIST list, int icon, HDC dc, int x, int y, UINT style);
