// The shortcuts dialog that the group page opens, and the shortcut files it
// creates in the chosen program group.
#pragma once
#include <windows.h>

// Runs the shortcuts dialog owned by the page: 1 when the shortcuts were
// made, 2 when they could not be, -1 when the dialog could not be created.
INT_PTR runShortcutsDialog(HWND page);

INT_PTR CALLBACK shortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the group folder and one shortcut per shortcut row. Returns 0 only
// when COM cannot be initialised; a folder or shortcut that cannot be made is
// passed over.
int createShortcuts(HWND dialog);

// Creates and saves one shortcut file, replacing any of the same name.
void createShellLink(const char* target, const char* workingFolder, const char* linkPath, const char* description);
