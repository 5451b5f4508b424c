// The shortcuts dialog that the group page opens while the shortcuts are made.
#pragma once
#include <windows.h>

// Runs the shortcuts dialog owned by the page: 1 when the shortcuts were
// made, 2 when they could not be, -1 when the dialog could not be created.
INT_PTR runShortcutsDialog(HWND page);

INT_PTR CALLBACK shortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
