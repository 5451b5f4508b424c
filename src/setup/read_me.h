// Offering the read-me file at the end of the installation.
#pragma once
#include <windows.h>

// Opens the read-me file in the viewer, as the user logged on at the desk,
// and returns once the viewer has been closed; the window stays minimised
// meanwhile. Nothing is reported.
void viewReadMe(HWND window);
