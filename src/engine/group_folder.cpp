#include "engine/group_folder.h"

#include <cwchar>

#include "pages/portable/location_rules.h"
#include "uninstall/portable/uninstall_rules.h"

// The programs folder is held first and the group's levels opened below it,
// so that a group can never reach out of it.
bool holdGroupFolder(HeldFolder& group, const char* programsDir, const char* groupName, FolderCreated onCreated)
{
    char programs[PATH_BUFFER_SIZE];
    char folder[PATH_BUFFER_SIZE];
    HeldFolder programsFolder = {};
    const bool held = canonicalFolderPath(programsDir, programs, sizeof programs) == LOCATION_ACCEPTED &&
                      composeGroupFolder(folder, programsDir, groupName) &&
                      holdFolder(programsFolder, programs, nullptr) &&
                      holdFolderBelow(group, programsFolder, folder, onCreated);
    releaseFolder(programsFolder);
    return held;
}

bool shortcutFileName(const char* caption, wchar_t (&name)[MAX_PATH])
{
    constexpr wchar_t extension[] = L".lnk";
    if (!widenPath(caption, name) || std::wcslen(name) + std::wcslen(extension) >= MAX_PATH) {
        return false;
    }
    std::wcscat(name, extension);
    return true;
}
