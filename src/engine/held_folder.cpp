#include "engine/held_folder.h"

#include <winternl.h>
// These two need windows.h first.
#include <ntstatus.h>
#include <sddl.h>

#include <cwchar>

#include "rules/crc32.h"
#include "rules/install_rules.h"

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PIO_APC_ROUTINE routine, PVOID context,
                                               PIO_STATUS_BLOCK status, PVOID buffer, ULONG length,
                                               FILE_INFORMATION_CLASS kind, BOOLEAN singleEntry, PUNICODE_STRING mask,
                                               BOOLEAN restart);
extern "C" BOOLEAN NTAPI RtlEqualUnicodeString(const UNICODE_STRING* a, const UNICODE_STRING* b, BOOLEAN ignoreCase);

namespace {
// The native calls are looked up in ntdll, which is mapped into every process
// before anything else, rather than imported: the import tables name only
// DLLs that Windows always takes from the system folder.
template <typename Function> Function nativeCall(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}
const auto ntCreateFile = nativeCall<decltype(&NtCreateFile)>("NtCreateFile");
const auto ntQueryInformationFile = nativeCall<decltype(&NtQueryInformationFile)>("NtQueryInformationFile");
const auto ntSetInformationFile = nativeCall<decltype(&NtSetInformationFile)>("NtSetInformationFile");
const auto ntQueryDirectoryFile = nativeCall<decltype(&NtQueryDirectoryFile)>("NtQueryDirectoryFile");
const auto rtlEqualUnicodeString = nativeCall<decltype(&RtlEqualUnicodeString)>("RtlEqualUnicodeString");

constexpr ULONG SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Without FILE_SHARE_DELETE nobody else may delete or rename what is open.
constexpr ULONG SHARE_HELD = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ACCESS_MASK PASS_ACCESS = FILE_TRAVERSE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
constexpr ACCESS_MASK HELD_ACCESS = PASS_ACCESS | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | READ_CONTROL;
constexpr size_t LISTING_BUFFER_SIZE = 4096;
static_assert(LISTING_BUFFER_SIZE >= sizeof(FILE_FULL_DIR_INFORMATION) + MAX_PATH * sizeof(wchar_t),
              "one entry with the longest name fits the listing buffer");

// The counted form of the first length characters of a text, as the native
// calls take names; every name here is shorter than a path.
UNICODE_STRING countedText(const wchar_t* text, size_t length)
{
    const USHORT bytes = static_cast<USHORT>(length * sizeof(wchar_t));
    return {bytes, bytes, const_cast<PWSTR>(text)};
}

struct RelativeOpen {
    ACCESS_MASK access;
    ULONG share;
    ULONG disposition;
    ULONG options;
    void* security;
};

// Every open names the entry itself, never what a link leads to, and is
// synchronous, so that ReadFile and WriteFile work on the handle.
NTSTATUS openRelative(HANDLE* out, HANDLE root, const wchar_t* name, size_t length, const RelativeOpen& how,
                      ULONG_PTR* information = nullptr)
{
    UNICODE_STRING objectName = countedText(name, length);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, root, how.security);
    IO_STATUS_BLOCK status = {};
    const NTSTATUS result =
        ntCreateFile(out, how.access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, how.share,
                     how.disposition, how.options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (!NT_SUCCESS(result)) {
        *out = nullptr;
    } else if (information != nullptr) {
        *information = status.Information;
    }
    return result;
}

bool isAbsent(NTSTATUS status)
{
    return status == STATUS_OBJECT_NAME_NOT_FOUND || status == STATUS_OBJECT_PATH_NOT_FOUND;
}

// What an open handle stands for, judged by the handle itself: an entry that
// cannot be judged counts as a link.
bool handleIsLink(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFORMATION tag = {};
    IO_STATUS_BLOCK status;
    return !NT_SUCCESS(ntQueryInformationFile(handle, &status, &tag, sizeof tag, FileAttributeTagInformation)) ||
           isLinkEntry(tag.FileAttributes, tag.ReparseTag);
}

// A fresh handle to list a held folder with, so that each listing starts anew.
HANDLE openListing(HANDLE folder)
{
    HANDLE listing;
    const RelativeOpen how = {FILE_LIST_DIRECTORY, SHARE_ALL, FILE_OPEN, FILE_DIRECTORY_FILE, nullptr};
    return NT_SUCCESS(openRelative(&listing, folder, L"", 0, how)) ? listing : nullptr;
}

// The entry as its folder lists it. Some systems (Wine) open what a symbolic
// link leads to even when asked for the link itself, but still list the
// entry as a reparse point. A name with wildcards could match another entry:
// it cannot be judged.
bool listedAsLink(HANDLE folder, const wchar_t* name, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (std::wcschr(L"*?<>\"", name[i]) != nullptr) {
            return true;
        }
    }
    HANDLE listing = openListing(folder);
    if (listing == nullptr) {
        return true;
    }
    alignas(8) BYTE buffer[LISTING_BUFFER_SIZE];
    UNICODE_STRING mask = countedText(name, length);
    IO_STATUS_BLOCK status;
    const NTSTATUS result = ntQueryDirectoryFile(listing, nullptr, nullptr, nullptr, &status, buffer, sizeof buffer,
                                                 FileFullDirectoryInformation, TRUE, &mask, TRUE);
    CloseHandle(listing);
    if (!NT_SUCCESS(result)) {
        return result != STATUS_NO_SUCH_FILE && result != STATUS_NO_MORE_FILES;
    }
    const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(buffer);
    return isLinkEntry(entry->FileAttributes, entry->EaSize);
}

bool isLinkIn(HANDLE folder, const wchar_t* name, size_t length, HANDLE opened)
{
    return listedAsLink(folder, name, length) || handleIsLink(opened);
}

// The drive root "X:\" that a folder path starts with; null when the path
// has no such start or nothing below it.
HANDLE openDriveRoot(const wchar_t* path, ACCESS_MASK access)
{
    if (path[0] == L'\0' || path[1] != L':' || path[2] != L'\\' || path[3] == L'\0') {
        return nullptr;
    }
    const wchar_t root[] = {path[0], L':', L'\\', L'\0'};
    HANDLE handle = CreateFileW(root, access, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

struct LevelWalk {
    FolderCreated onCreated;
    ACCESS_MASK lastAccess;
    void* security;
};

// Opens the levels of folder.path from position start on, each relative to
// the one before; parent is the level above start and is not closed here.
bool openLevels(HeldFolder& folder, HANDLE parent, size_t start, const LevelWalk& walk)
{
    wchar_t* path = folder.path;
    const size_t end = std::wcslen(path);
    HANDLE current = parent;
    size_t level = start;
    while (level < end) {
        size_t next = level;
        while (next < end && path[next] != L'\\') {
            ++next;
        }
        const bool last = next >= end || next + 1 >= end;
        const RelativeOpen how = {last ? walk.lastAccess : PASS_ACCESS | (walk.onCreated ? FILE_ADD_SUBDIRECTORY : 0),
                                  last ? SHARE_HELD : SHARE_ALL,
                                  walk.onCreated ? ULONG(FILE_OPEN_IF) : ULONG(FILE_OPEN), FILE_DIRECTORY_FILE,
                                  walk.security};
        HANDLE child;
        ULONG_PTR information = 0;
        const bool opened =
            next > level && NT_SUCCESS(openRelative(&child, current, path + level, next - level, how, &information));
        // A level made here is reported at once, whatever follows.
        if (opened && information == FILE_CREATED && walk.onCreated != nullptr) {
            const wchar_t kept = path[next];
            path[next] = L'\0';
            walk.onCreated(path);
            path[next] = kept;
        }
        const bool safe = opened && !isLinkIn(current, path + level, next - level, child);
        if (current != parent) {
            CloseHandle(current);
        }
        if (!safe) {
            if (opened) {
                CloseHandle(child);
            }
            return false;
        }
        current = child;
        level = next + 1;
    }
    folder.handle = current;
    return current != parent;
}

// Converts an access list in SDDL; null for none.
PSECURITY_DESCRIPTOR securityFrom(const char* access)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    if (access != nullptr &&
        !ConvertStringSecurityDescriptorToSecurityDescriptorA(access, SDDL_REVISION_1, &security, nullptr)) {
        security = nullptr;
    }
    return security;
}

// Levels are created with the access list given in SDDL, or with what the
// folder above passes on when it is null.
bool holdWithAccess(HeldFolder& folder, HANDLE parent, size_t start, FolderCreated onCreated, ACCESS_MASK access,
                    const char* createdAccess)
{
    PSECURITY_DESCRIPTOR security = securityFrom(onCreated != nullptr ? createdAccess : nullptr);
    const bool held = openLevels(folder, parent, start, {onCreated, access, security});
    if (security != nullptr) {
        LocalFree(security);
    }
    if (!held) {
        folder.path[0] = L'\0';
        folder.handle = nullptr;
    }
    return held;
}

bool holdPath(HeldFolder& folder, FolderCreated onCreated, ACCESS_MASK access)
{
    HANDLE root = openDriveRoot(folder.path, PASS_ACCESS | (onCreated ? FILE_ADD_SUBDIRECTORY : 0));
    if (root == nullptr) {
        folder.path[0] = L'\0';
        return false;
    }
    const bool held = holdWithAccess(folder, root, 3, onCreated, access, protectedFolderAccess);
    CloseHandle(root);
    return held;
}

bool equalSpan(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength)
{
    if (aLength != bLength || aLength >= MAX_PATH) {
        return false;
    }
    const UNICODE_STRING first = countedText(a, aLength);
    const UNICODE_STRING second = countedText(b, bLength);
    return rtlEqualUnicodeString(&first, &second, TRUE) != FALSE;
}

NTSTATUS setInformation(HANDLE handle, void* information, ULONG size, FILE_INFORMATION_CLASS kind)
{
    IO_STATUS_BLOCK status;
    return ntSetInformationFile(handle, &status, information, size, kind);
}

// The read-only bit alone goes, so that a write or delete may succeed.
void clearReadOnlyOf(HANDLE file)
{
    FILE_BASIC_INFORMATION basic = {};
    IO_STATUS_BLOCK status;
    if (NT_SUCCESS(ntQueryInformationFile(file, &status, &basic, sizeof basic, FileBasicInformation)) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        const ULONG remaining = basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
        FILE_BASIC_INFORMATION changed = {};
        changed.FileAttributes = remaining != 0 ? remaining : FILE_ATTRIBUTE_NORMAL;
        setInformation(file, &changed, sizeof changed, FileBasicInformation);
    }
}

bool markForDeletion(HANDLE handle)
{
    FILE_DISPOSITION_INFORMATION disposition = {TRUE};
    return NT_SUCCESS(setInformation(handle, &disposition, sizeof disposition, FileDispositionInformation));
}

bool measureHandle(HANDLE file, uint32_t* size, uint32_t* crc)
{
    static BYTE block[65536];
    *size = 0;
    *crc = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, block, sizeof block, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        *size += read;
        *crc = crc32(block, read, *crc);
    }
}

NTSTATUS openFileIn(HANDLE* file, const HeldFolder& folder, const wchar_t* name, ACCESS_MASK access, ULONG share,
                    ULONG disposition)
{
    const RelativeOpen how = {access, share, disposition, FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, nullptr};
    return openRelative(file, folder.handle, name, std::wcslen(name), how);
}

// Opens the levels of path below a held base, whose path it must start with,
// followed by a backslash unless the base is a drive root. Levels created
// here get what the base passes on.
bool holdLevelsBelow(HeldFolder& folder, const HeldFolder& base, const wchar_t* path, FolderCreated onCreated,
                     ACCESS_MASK access)
{
    folder.handle = nullptr;
    size_t start = std::wcslen(base.path);
    if (start > 0 && base.path[start - 1] != L'\\') {
        ++start;
    }
    const size_t length = std::wcslen(path);
    if (!isHeld(base) || length >= MAX_PATH || length <= start || !equalSpan(path, start - 1, base.path, start - 1) ||
        path[start - 1] != L'\\') {
        folder.path[0] = L'\0';
        return false;
    }
    std::wmemcpy(folder.path, path, length + 1);
    return holdWithAccess(folder, base.handle, start, onCreated, access, nullptr);
}
} // namespace

bool widenPath(const char* path, wchar_t (&out)[MAX_PATH])
{
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, out, MAX_PATH) == 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool holdFolder(HeldFolder& folder, const char* path, FolderCreated onCreated)
{
    folder.handle = nullptr;
    return widenPath(path, folder.path) && holdPath(folder, onCreated, HELD_ACCESS);
}

bool holdFolderBelow(HeldFolder& folder, const HeldFolder& base, const char* path, FolderCreated onCreated)
{
    wchar_t widePath[MAX_PATH];
    folder.handle = nullptr;
    folder.path[0] = L'\0';
    return widenPath(path, widePath) && holdLevelsBelow(folder, base, widePath, onCreated, HELD_ACCESS);
}

// The shell's folders may lie on a share or behind a link that the system
// or an administrator set up: what leads to them is followed, and the folder
// is held from there on.
bool holdShellFolder(HeldFolder& folder, const char* path)
{
    folder.handle = nullptr;
    if (!widenPath(path, folder.path)) {
        return false;
    }
    HANDLE handle = CreateFileW(folder.path, PASS_ACCESS | FILE_ADD_SUBDIRECTORY, SHARE_HELD, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information;
    if (handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        folder.handle = handle;
        return true;
    }
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    folder.path[0] = L'\0';
    return false;
}

bool removeFolderBelowIfEmpty(const HeldFolder& base, const wchar_t* path)
{
    HeldFolder deletable = {};
    const bool removed =
        holdLevelsBelow(deletable, base, path, nullptr, HELD_ACCESS | DELETE) && markForDeletion(deletable.handle);
    releaseFolder(deletable);
    return removed;
}

void releaseFolder(HeldFolder& folder)
{
    if (folder.handle != nullptr) {
        CloseHandle(folder.handle);
    }
    folder.handle = nullptr;
    folder.path[0] = L'\0';
}

bool isHeld(const HeldFolder& folder) { return folder.handle != nullptr; }

// The folder is opened from its drive root with the right to delete it,
// judged on the way, and deleted through that handle.
bool removeFolderIfEmpty(const wchar_t* path)
{
    HeldFolder deletable = {};
    if (std::wcslen(path) >= MAX_PATH) {
        return false;
    }
    std::wcscpy(deletable.path, path);
    const bool removed = holdPath(deletable, nullptr, HELD_ACCESS | DELETE) && markForDeletion(deletable.handle);
    releaseFolder(deletable);
    return removed;
}

bool samePath(const wchar_t* a, const wchar_t* b) { return equalSpan(a, std::wcslen(a), b, std::wcslen(b)); }

const wchar_t* nameInFolder(const wchar_t* path, const wchar_t* folder)
{
    const size_t length = std::wcslen(folder);
    if (length == 0 || std::wcslen(path) <= length + 1 || !equalSpan(path, length, folder, length) ||
        path[length] != L'\\') {
        return nullptr;
    }
    const wchar_t* name = path + length + 1;
    return std::wcschr(name, L'\\') == nullptr ? name : nullptr;
}

bool isFolderOrAbove(const wchar_t* path, const wchar_t* folder)
{
    const size_t length = std::wcslen(path);
    return length > 3 && length <= std::wcslen(folder) && equalSpan(path, length, folder, length) &&
           (folder[length] == L'\0' || folder[length] == L'\\');
}

bool pathInFolder(const HeldFolder& folder, const wchar_t* name, wchar_t (&out)[MAX_PATH])
{
    const size_t base = std::wcslen(folder.path);
    const size_t length = std::wcslen(name);
    if (base + 1 + length >= MAX_PATH) {
        out[0] = L'\0';
        return false;
    }
    std::wmemcpy(out, folder.path, base);
    out[base] = L'\\';
    std::wmemcpy(out + base + 1, name, length + 1);
    return true;
}

void listHeldFolder(const HeldFolder& folder, VisitEntry visit, void* context)
{
    HANDLE listing = openListing(folder.handle);
    if (listing == nullptr) {
        return;
    }
    alignas(8) BYTE buffer[LISTING_BUFFER_SIZE];
    IO_STATUS_BLOCK status;
    BOOLEAN restart = TRUE;
    while (NT_SUCCESS(ntQueryDirectoryFile(listing, nullptr, nullptr, nullptr, &status, buffer, sizeof buffer,
                                           FileFullDirectoryInformation, FALSE, nullptr, restart))) {
        restart = FALSE;
        for (const BYTE* at = buffer;;) {
            const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(at);
            const size_t length = entry->FileNameLength / sizeof(wchar_t);
            wchar_t name[MAX_PATH];
            if (length < MAX_PATH) {
                std::wmemcpy(name, entry->FileName, length);
                name[length] = L'\0';
                if (std::wcscmp(name, L".") != 0 && std::wcscmp(name, L"..") != 0) {
                    visit(context, folder, name, entry->FileAttributes, entry->EaSize);
                }
            }
            if (entry->NextEntryOffset == 0) {
                break;
            }
            at += entry->NextEntryOffset;
        }
    }
    CloseHandle(listing);
}

bool holdSubfolder(HeldFolder& subfolder, const HeldFolder& folder, const wchar_t* name)
{
    subfolder.handle = nullptr;
    if (!pathInFolder(folder, name, subfolder.path)) {
        return false;
    }
    return holdWithAccess(subfolder, folder.handle, std::wcslen(folder.path) + 1, nullptr, HELD_ACCESS, nullptr);
}

FileState readableFileState(const HeldFolder& folder, const wchar_t* name)
{
    HANDLE file;
    const NTSTATUS status = openFileIn(&file, folder, name, GENERIC_READ, FILE_SHARE_READ, FILE_OPEN);
    if (!NT_SUCCESS(status)) {
        return isAbsent(status) ? FILE_ABSENT : FILE_UNREADABLE;
    }
    const bool linked = isLinkIn(folder.handle, name, std::wcslen(name), file);
    CloseHandle(file);
    return linked ? FILE_IS_LINK : FILE_PRESENT;
}

namespace {
// How many names a file has: more than one means that another name shares
// its contents and attributes. An entry that cannot be asked counts as shared.
ULONG nameCountOf(HANDLE file)
{
    FILE_STANDARD_INFORMATION standard = {};
    IO_STATUS_BLOCK status;
    return NT_SUCCESS(ntQueryInformationFile(file, &status, &standard, sizeof standard, FileStandardInformation))
               ? standard.NumberOfLinks
               : 2;
}

// An existing entry that may be written: a file of one name. A read-only one
// of an earlier installation loses the bit so that it can be replaced; a file
// with other names could only lose it for all of them.
bool mayWriteEntry(const HeldFolder& folder, const wchar_t* name)
{
    if (listedAsLink(folder.handle, name, std::wcslen(name))) {
        return false;
    }
    HANDLE existing;
    const NTSTATUS status =
        openFileIn(&existing, folder, name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, SHARE_ALL, FILE_OPEN);
    if (!NT_SUCCESS(status)) {
        return isAbsent(status);
    }
    const bool writable = !handleIsLink(existing) && nameCountOf(existing) == 1;
    if (writable) {
        clearReadOnlyOf(existing);
    }
    CloseHandle(existing);
    return writable;
}

// The file is opened, or created with its access list, without emptying it,
// and judged through the handle that will write it.
HANDLE openForWriting(const HeldFolder& folder, const wchar_t* name, PSECURITY_DESCRIPTOR security)
{
    HANDLE file;
    const RelativeOpen how = {GENERIC_WRITE | WRITE_DAC | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, FILE_OPEN_IF,
                              FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, security};
    if (!NT_SUCCESS(openRelative(&file, folder.handle, name, std::wcslen(name), how))) {
        return nullptr;
    }
    if (handleIsLink(file) || nameCountOf(file) != 1) {
        CloseHandle(file);
        return nullptr;
    }
    return file;
}

} // namespace

HANDLE createFileIn(const HeldFolder& folder, const wchar_t* name, const char* fileAccess)
{
    if (!mayWriteEntry(folder, name)) {
        return nullptr;
    }
    PSECURITY_DESCRIPTOR security = securityFrom(fileAccess);
    HANDLE file = fileAccess == nullptr || security != nullptr ? openForWriting(folder, name, security) : nullptr;
    if (security != nullptr) {
        LocalFree(security);
    }
    return file;
}

// What an earlier file held beyond the new bytes goes only now, so that
// nothing is cut before the handle was judged; and a file that was there
// gets the access list a new one was created with.
bool endWrittenFile(HANDLE file, const char* fileAccess)
{
    PSECURITY_DESCRIPTOR security = securityFrom(fileAccess);
    // The descriptor's own control marks its list as protected from inheritance.
    const bool ended = SetEndOfFile(file) &&
                       (fileAccess == nullptr ||
                        (security != nullptr && SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, security)));
    if (security != nullptr) {
        LocalFree(security);
    }
    return ended;
}

// An open for writing that shares nothing fails while any other handle is
// open or the file runs as a program; nothing is written through it. A
// read-only file refuses writing to anyone, so it is opened for reading.
bool isFileInUse(const HeldFolder& folder, const wchar_t* name)
{
    HANDLE file;
    NTSTATUS status = openFileIn(&file, folder, name, FILE_WRITE_DATA, 0, FILE_OPEN);
    if (status == STATUS_ACCESS_DENIED) {
        status = openFileIn(&file, folder, name, FILE_READ_DATA, 0, FILE_OPEN);
    }
    if (NT_SUCCESS(status)) {
        CloseHandle(file);
    }
    return status == STATUS_SHARING_VIOLATION;
}

bool measureFileIn(const HeldFolder& folder, const wchar_t* name, uint32_t* size, uint32_t* crc)
{
    HANDLE file;
    if (!NT_SUCCESS(openFileIn(&file, folder, name, GENERIC_READ, FILE_SHARE_READ, FILE_OPEN))) {
        return false;
    }
    const bool measured = !isLinkIn(folder.handle, name, std::wcslen(name), file) && measureHandle(file, size, crc);
    CloseHandle(file);
    return measured;
}

DeleteResult deleteFileIn(const HeldFolder& folder, const wchar_t* name, const RecordItem* recorded)
{
    HANDLE file;
    const NTSTATUS status =
        openFileIn(&file, folder, name, DELETE | GENERIC_READ | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, FILE_OPEN);
    if (!NT_SUCCESS(status)) {
        return isAbsent(status) ? DELETE_ABSENT : DELETE_FAILED;
    }
    DeleteResult result = DELETE_DONE;
    uint32_t size = 0;
    uint32_t crc = 0;
    if (isLinkIn(folder.handle, name, std::wcslen(name), file) || nameCountOf(file) != 1) {
        result = DELETE_LINK;
    } else if (recorded != nullptr && !(measureHandle(file, &size, &crc) && isUnchangedFile(*recorded, size, crc))) {
        result = DELETE_KEPT;
    } else {
        clearReadOnlyOf(file);
        result = markForDeletion(file) ? DELETE_DONE : DELETE_FAILED;
    }
    CloseHandle(file);
    return result;
}
