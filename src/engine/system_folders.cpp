#include "engine/system_folders.h"

#include <shlobj.h>

#include "engine/portable/paths.h"
#include "shell/config.h"

void fillWindowsDir()
{
    const UINT length = GetWindowsDirectoryA(installPaths.windowsDir, sizeof installPaths.windowsDir);
    if (length == 0 || length >= sizeof installPaths.windowsDir) {
        installPaths.windowsDir[0] = '\0';
    }
    normaliseFolderCase(installPaths.windowsDir);
}

// The shell writes up to MAX_PATH bytes: the path is taken only when it fits
// the shorter field.
void fillProgramsDir(HWND owner)
{
    installPaths.programsDir[0] = '\0';
    LPITEMIDLIST programs = nullptr;
    if (SHGetSpecialFolderLocation(owner, CSIDL_PROGRAMS, &programs) != S_OK) {
        return;
    }
    char path[MAX_PATH];
    if (SHGetPathFromIDListA(programs, path) && lstrlenA(path) < static_cast<int>(sizeof installPaths.programsDir)) {
        lstrcpyA(installPaths.programsDir, path);
        normaliseFolderCase(installPaths.programsDir);
    }
    CoTaskMemFree(programs);
}
