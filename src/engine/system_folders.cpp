#include "engine/system_folders.h"

#include <shlobj.h>

#include "product/config.h"
#include "rules/paths.h"

void fillWindowsDir()
{
    const UINT length = GetWindowsDirectoryA(installPaths.windowsDir, sizeof installPaths.windowsDir);
    if (length == 0 || length >= sizeof installPaths.windowsDir) {
        installPaths.windowsDir[0] = '\0';
    }
    normaliseFolderCase(installPaths.windowsDir);
}

namespace {
// The shell writes up to MAX_PATH bytes: the path is taken only when it fits
// the shorter field.
bool takeProgramsPath(const char* path)
{
    if (lstrlenA(path) == 0 || lstrlenA(path) >= static_cast<int>(sizeof installPaths.programsDir)) {
        return false;
    }
    lstrcpyA(installPaths.programsDir, path);
    normaliseFolderCase(installPaths.programsDir);
    return true;
}

bool programsPathFromItemList(char (&path)[MAX_PATH])
{
    LPITEMIDLIST programs = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &programs) != S_OK) {
        return false;
    }
    const bool found = SHGetPathFromIDListA(programs, path) != FALSE;
    CoTaskMemFree(programs);
    return found;
}
} // namespace

// Some shells (Wine's) give no item list for a folder redirected to a share;
// the folder's path is then asked for directly.
void fillProgramsDir()
{
    installPaths.programsDir[0] = '\0';
    char path[MAX_PATH];
    if (!(programsPathFromItemList(path) && takeProgramsPath(path)) &&
        SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK) {
        takeProgramsPath(path);
    }
}
