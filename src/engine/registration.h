// Recording the installation in the registry, and opening the read-me file.
#pragma once
#include <windows.h>

// Writes the publisher value, the version value and the uninstall entry, and
// removes the previous version's autostart values. Each step runs whatever
// happened to the others; nothing is reported.
void registerInstallation();

// Opens the read-me file in the viewer and returns once the viewer has been
// closed; the window stays minimised meanwhile. Nothing is reported.
void viewReadMe(HWND window);
