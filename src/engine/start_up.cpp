#include "engine/start_up.h"

#include <algorithm>

#include "engine/portable/paths.h"
#include "shell/config.h"

void useSystemCodePage()
{
    CPINFO info;
    static_assert(sizeof info.LeadByte == LEAD_BYTE_RANGES_SIZE, "the ranges as Windows lists them");
    if (GetCPInfo(CP_ACP, &info)) {
        setLeadByteRanges(info.LeadByte);
    }
}

// One name for all sessions, so that a setup in another user's session counts
// too. Anyone may create a mutex of this name first; that only makes every
// setup and uninstaller refuse while it exists, which changes nothing on the
// machine, so a lock that cannot be created or opened counts as held.
bool holdProductLock()
{
    constexpr char prefix[] = "Global\\";
    char name[sizeof prefix + sizeof installConfig.publisherName + sizeof installConfig.productName + 16];
    if (!concatenateTexts(name, sizeof name,
                          {prefix, installConfig.publisherName, " ", installConfig.productName, " Setup Mate"})) {
        return false;
    }
    // The namespace's own backslash is the only one a name may hold.
    std::replace(name + sizeof prefix - 1, name + lstrlenA(name), '\\', '/');
    const HANDLE lock = CreateMutexA(nullptr, FALSE, name);
    if (lock == nullptr) {
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        return false;
    }
    return true; // the handle stays open until the process ends
}
