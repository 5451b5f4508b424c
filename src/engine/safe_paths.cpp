#include "engine/safe_paths.h"

#include <cstring>
#include <memory>

#include "rules/folder_security.h"

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

namespace {
// The account the setup runs as, with room for the longest SID; a SID length
// of 0 when it cannot be read. It is the administrator who installs: a folder
// it made without elevation, or where new objects belong to their creator,
// is its own.
struct RunningUser {
    union {
        TOKEN_USER token;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    };
    DWORD sidLength;
};

void readRunningUser(RunningUser& user)
{
    HANDLE token = nullptr;
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenUser, user.bytes, sizeof user.bytes, &size) &&
        IsValidSid(user.token.User.Sid)) {
        user.sidLength = GetLengthSid(user.token.User.Sid);
    }
    if (token != nullptr) {
        CloseHandle(token);
    }
}

// A FAT drive keeps no owners or access lists: anyone may change anything on
// it, and there is nothing to judge. A drive whose flags cannot be read is
// judged. Levels are of the form "X:\A", so their volume is "X:\".
bool keepsAccessLists(const char* level)
{
    const char root[] = {level[0], level[1], level[2], '\0'};
    DWORD flags = 0;
    return !GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) ||
           (flags & FILE_PERSISTENT_ACLS) != 0;
}

// The owner and access list of what the handle names as a self-relative
// descriptor of size bytes. Null when they cannot be read or the system asks
// for more than a descriptor can hold (the header, the longest SID and the
// largest access list).
std::unique_ptr<BYTE[]> readOwnerAndAccess(HANDLE handle, DWORD* size)
{
    constexpr SECURITY_INFORMATION wanted = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    constexpr DWORD largest = sizeof(SECURITY_DESCRIPTOR_RELATIVE) + SECURITY_MAX_SID_SIZE + MAXWORD;
    std::unique_ptr<BYTE[]> descriptor;
    DWORD needed = 0;
    GetKernelObjectSecurity(handle, wanted, nullptr, 0, &needed);
    if (needed > 0 && needed <= largest) {
        descriptor = std::make_unique<BYTE[]>(needed);
        *size = needed;
        if (!GetKernelObjectSecurity(handle, wanted, descriptor.get(), *size, &needed)) {
            descriptor.reset();
        }
    }
    return descriptor;
}

bool isHandleLeftToAdministrators(HANDLE handle, const char* level, const RunningUser& user)
{
    if (!keepsAccessLists(level)) {
        return true;
    }
    DWORD size = 0;
    const std::unique_ptr<BYTE[]> descriptor = readOwnerAndAccess(handle, &size);
    return descriptor != nullptr &&
           isLeftToAdministrators(descriptor.get(), size, static_cast<const uint8_t*>(user.token.User.Sid),
                                  user.sidLength);
}

// Each level is read through a handle that does not follow a link.
bool isLevelLeftToAdministrators(const char* level, const RunningUser& user)
{
    HANDLE handle = CreateFileA(level, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool left = isHandleLeftToAdministrators(handle, level, user);
    CloseHandle(handle);
    return left;
}
} // namespace

// A user who made a level of the install folder before the setup ran could
// change the folder's access list, and with it the programs installed there.
bool passesThroughOthersFolder(const char* path)
{
    RunningUser user = {};
    readRunningUser(user);
    bool others = false;
    const bool judged = visitFolderLevels(path, [&user, &others](const char* level) {
        if (!pathExists(level)) {
            return false; // a missing level has nothing to judge, nor any below it
        }
        others = !isLevelLeftToAdministrators(level, user);
        return !others;
    });
    return others || !judged;
}

namespace {
// The system has the last word on how it reads a path. A folder reached
// through a link could be anyone's, and so could one that a user made before
// the setup ran: the programs installed in it would be that user's to change.
LocationProblem judgeAsTheSystem(const char* folder)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(folder, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || std::strcmp(full, folder) != 0) {
        return LOCATION_BAD_NAME;
    }
    if (passesThroughLink(folder)) {
        return LOCATION_THROUGH_LINK;
    }
    return passesThroughOthersFolder(folder) ? LOCATION_OTHERS_FOLDER : LOCATION_ACCEPTED;
}
} // namespace

// The rules judge the text first; the system judges only what they accepted.
LocationProblem judgeInstallLocation(const char* typed, char (&folder)[PATH_BUFFER_SIZE])
{
    const LocationProblem problem = resolveInstallLocation(typed, installConfig.productName, folder);
    return problem == LOCATION_ACCEPTED ? judgeAsTheSystem(folder) : problem;
}

// The install folder may have been made by someone else after the location
// page judged it: it is judged again through the handle the setup holds.
bool isHeldFolderLeftToAdministrators(HANDLE folder, const char* path)
{
    RunningUser user = {};
    readRunningUser(user);
    return isHandleLeftToAdministrators(folder, path, user);
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
