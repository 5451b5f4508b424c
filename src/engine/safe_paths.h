// The checks that keep an elevated program from deleting or writing through
// a link or loading a DLL from an unsafe place, and the file stamp by which
// the product's own files are known: shared by the setup and the
// uninstaller, and free of the pages.
#pragma once
#include <windows.h>

#include <cstring>

#include "product/config.h"
#include "rules/install_rules.h"
#include "rules/location_rules.h"

bool pathExists(const char* path);
// True when the entry itself is a link (a junction, a symbolic link), whatever it leads to.
bool isLink(const char* path);
// True when an existing level of the absolute folder path below its drive
// root is a link, or when the path cannot be judged (not drive-rooted, too long).
bool passesThroughLink(const char* path);
// True when an existing level of the absolute folder path below its drive
// root is not left to the administrators and the account the setup runs as
// (isLeftToAdministrators), on a volume that keeps access lists, or when the
// path cannot be judged. The path must not pass through a link.
bool passesThroughOthersFolder(const char* path);
// The judgement of a typed install location: the location rules, then for
// a folder they accepted how the system reads the path (device names such as
// CON or NUL among others), passesThroughLink and passesThroughOthersFolder.
// The folder is filled as resolveInstallLocation fills it.
LocationProblem judgeInstallLocation(const char* typed, char (&folder)[PATH_BUFFER_SIZE]);
// The same judgement of the held folder at path, through its handle.
bool isHeldFolderLeftToAdministrators(HANDLE folder, const char* path);
// Clears the read-only bit alone, so that a delete or create may succeed.
void clearReadOnly(const char* path);
// The configured file stamp as the UTC time that every installed file carries.
FILETIME fileStampUtc();
// Restricts the DLL search path to the system folder, dropping the program's
// own folder and the current one.
void restrictDllSearch();

// Calls visit with each level of an absolute folder path "X:\A\B" from the
// top ("X:\A", then "X:\A\B") until it returns false. False when the path
// is not of that form or does not fit a path buffer.
template <typename Visit> bool visitFolderLevels(const char* path, Visit visit)
{
    char buffer[256];
    static_assert(sizeof buffer == sizeof installPaths.installDir, "a level is at most the install folder");
    if (std::strlen(path) >= sizeof buffer) {
        return false;
    }
    std::strcpy(buffer, path);
    const int levels = cutFolderLevels(buffer);
    for (int level = 0; level < levels; ++level) {
        if (level > 0) {
            buffer[std::strlen(buffer)] = '\\';
        }
        if (!visit(static_cast<const char*>(buffer))) {
            break;
        }
    }
    return levels > 0;
}
