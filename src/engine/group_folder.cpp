#include "engine/group_folder.h"

#include <cwchar>

#include "rules/location_rules.h"
#include "rules/uninstall_rules.h"

// The programs folder is held first, as the shell gives it, and the group's
// levels opened below it, so that a group can never reach out of it.
bool holdGroupFolder(HeldFolder& group, const char* programsDir, const char* groupName, FolderCreated onCreated)
{
    char folder[PATH_BUFFER_SIZE];
    HeldFolder programsFolder = {};
    const bool held = composeGroupFolder(folder, programsDir, groupName) &&
                      holdShellFolder(programsFolder, programsDir) &&
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
