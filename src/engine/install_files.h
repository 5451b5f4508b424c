// Extracting the payload into the install and Windows folders.
#pragma once
#include <windows.h>

// Installs every payload row, showing its progress on the installing page.
// Returns 1 when done, -1 after showing the error box of a failure.
int installFiles(HWND page);
