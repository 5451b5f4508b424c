// The system folders that the setup and the uninstaller work in.
#pragma once
#include <windows.h>

// Fills installPaths.windowsDir with the Windows folder, each word capitalised;
// a folder that the system cannot report is left as the empty text, which
// the callers refuse.
void fillWindowsDir();
// Fills installPaths.programsDir with the Start Menu's programs folder in the
// same form, or the empty text.
void fillProgramsDir();
