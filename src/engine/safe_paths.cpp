#include "engine/safe_paths.h"

bool pathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// A link may lead anywhere: nothing is ever written or deleted through one.
// The entry's own attributes and reparse tag are read from its folder, so
// that a link whose target is missing (which a create would make) counts too.
// The record starts empty: a system that reports no tag (32-bit Wine leaves
// it as it was) leaves it 0, which counts as a link.
bool isLink(const char* path)
{
    WIN32_FIND_DATAA entry = {};
    HANDLE search = FindFirstFileA(path, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return isLinkEntry(entry.dwFileAttributes, entry.dwReserved0);
}

bool passesThroughLink(const char* path)
{
    bool linked = false;
    const bool judged = visitFolderLevels(path, [&linked](const char* level) {
        linked = isLink(level);
        return !linked && pathExists(level); // a missing level has no links below it
    });
    return linked || !judged;
}

// Only the read-only bit goes, so that a create or delete that still fails
// leaves the file's other attributes as they were.
void clearReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

// The fixed stamp is local time; files carry it as UTC.
FILETIME fileStampUtc()
{
    SYSTEMTIME stamp;
    static_assert(sizeof stamp == sizeof installConfig.fileStamp, "the stamp has the layout of SYSTEMTIME");
    std::memcpy(&stamp, &installConfig.fileStamp, sizeof stamp);
    FILETIME local = {};
    FILETIME utc = {};
    SystemTimeToFileTime(&stamp, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

// DLLs loaded at run time come from the system folder only: neither the
// program's own folder (a downloads folder anyone may write to) nor the
// current one. SetDefaultDllDirectories is looked up, as older systems lack it.
void restrictDllSearch()
{
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    SetDllDirectoryA("");
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}
