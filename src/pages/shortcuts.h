// The shortcuts dialog that the group page opens, and the shortcut files it
// creates in the chosen program group.
#pragma once
#include <windows.h>

#include "engine/held_folder.h"

// Runs the shortcuts dialog owned by the page: 1 when the shortcuts were
// made, 2 when they could not be, -1 when the dialog could not be created.
INT_PTR runShortcutsDialog(HWND page);

INT_PTR CALLBACK shortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the group folder, every missing level of it, and one shortcut per
// shortcut row, recording each. Returns 0 when the group folder cannot be
// made or COM cannot be initialised; a shortcut that cannot be made, or an
// entry of its name that is a link or cannot be opened, is passed over.
int createShortcuts(HWND dialog);

// Creates one shortcut file of that name in the held group, replacing a file
// of one name there, and gives its size and checksum for the record. False
// when the shortcut cannot be made or the name is a link or has other names.
bool createShellLink(const char* target, const char* workingFolder, const char* description, const HeldFolder& group,
                     const wchar_t* name, RecordItem* written);
