#include "engine/install_files.h"

#include <sddl.h>

#include <cstring>

#include "engine/decode_to_file.h"
#include "engine/payload_check.h"
#include "engine/portable/install_rules.h"
#include "engine/portable/paths.h"
#include "engine/safe_paths.h"
#include "pages/location_page.h"
#include "pages/progress.h"
#include "resource.h"
#include "shell/wizard.h"

namespace {
constexpr DWORD SEQUENTIAL_NORMAL = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
constexpr char createFailedText[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
constexpr char writeFailedText[] = "Unable to write destination file!\r\nInstallation will now be aborted.";

int abortInstallation(HWND page, const char* text)
{
    MessageBoxA(page, text, setupTitle, MB_ICONERROR);
    return -1;
}

// The folder of the installation that the publisher key records: only an
// administrator can have written it, so its files are the product's own.
bool isRecordedInstallation(const char* folder)
{
    char recorded[PATH_BUFFER_SIZE];
    return readPreviousFolder(recorded) && compareNoCase(recorded, folder) == 0;
}

// Writes one row's file; the text of the error to show, or null.
const char* writeRow(HWND page, const PayloadEntry& row, const char* target, const FILETIME& stamp)
{
    const uint8_t* packed = checkedPackedStream(row);
    if (packed == nullptr) {
        return damagedPayloadText;
    }
    if (isLink(target)) {
        return createFailedText;
    }
    // A read-only file of an earlier installation is replaced like any other:
    // creating over it would fail and end the setup at every attempt.
    clearReadOnly(target);
    HANDLE file =
        CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, SEQUENTIAL_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return createFailedText;
    }
    const DecodeResult result = decodeToFile(page, packed, row, file);
    if (result == DECODE_WRITTEN) {
        SetFileTime(file, &stamp, &stamp, &stamp);
    }
    CloseHandle(file);
    switch (result) {
    case DECODE_WRITTEN:
        return nullptr;
    case DECODE_WRITE_FAILED:
        return writeFailedText;
    default:
        return damagedPayloadText;
    }
}
} // namespace

int installFiles(HWND page) { return installRows(page, installConfig.files, installConfig.fileCount); }

int installRows(HWND page, const PayloadEntry* rows, int count)
{
    if (!prepareInstallFolder(installPaths.installDir)) {
        return abortInstallation(page, createFailedText);
    }
    const FILETIME stamp = fileStampUtc();
    for (int i = 0; i < count; ++i) {
        progressTotal += rows[i].unpackedSize;
    }
    setDlgItemNumber(page, IDC_TOTAL_SIZE, progressTotal);
    setDlgItemNumber(page, IDC_TOTAL_FILES, static_cast<uint32_t>(count));

    for (int i = 0; i < count; ++i) {
        const PayloadEntry& row = rows[i];
        const char* folder = (row.flags & FILE_IN_WINDOWS_DIR) ? installPaths.windowsDir : installPaths.installDir;
        char target[MAX_PATH];
        const bool fits = joinPath(target, sizeof target, folder, row.fileName, 0);
        SetDlgItemTextA(page, IDC_EXTRACTING, target);
        setDlgItemNumber(page, IDC_CURRENT_FILE, static_cast<uint32_t>(i + 1));
        pumpMessagesFor(page, 500);
        // A path too long for its buffer is a destination that cannot be created.
        if (!fits) {
            return abortInstallation(page, createFailedText);
        }
        if (!shouldWriteFile(target, row)) {
            addProgress(page, row.unpackedSize);
            continue;
        }
        if (const char* failure = writeRow(page, row, target, stamp)) {
            return abortInstallation(page, failure);
        }
    }
    return 1;
}

bool prepareInstallFolder(const char* folder)
{
    if (passesThroughLink(folder)) {
        return false;
    }
    if (!pathExists(folder)) {
        createFolderPath(folder);
    } else if (isRecordedInstallation(folder)) {
        clearOldInstall(folder);
    }
    return true;
}

void createFolderPath(const char* path)
{
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
    const bool isProtected = ConvertStringSecurityDescriptorToSecurityDescriptorA(
        protectedFolderAccess, SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr);
    visitFolderLevels(path, [&security, isProtected](const char* level) {
        CreateDirectoryA(level, isProtected ? &security : nullptr); // a level that exists already just fails
        return true;
    });
    if (isProtected) {
        LocalFree(security.lpSecurityDescriptor);
    }
}

void clearOldInstall(const char* folder)
{
    char pattern[MAX_PATH];
    if (!joinPath(pattern, sizeof pattern, folder, "*.*", 0)) {
        return;
    }
    // A folder may have become a link since it was listed: it is judged again
    // as it is entered.
    if (isLink(folder)) {
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link may lead out of the install folder: leave it and what it leads to.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || (isFolder && entry.cFileName[0] == '.')) {
            continue;
        }
        char path[MAX_PATH];
        if (!joinPath(path, sizeof path, folder, entry.cFileName, 0)) {
            continue;
        }
        if (isFolder) {
            clearOldInstall(path);
        } else if (shouldDeleteOnClear(entry.cFileName)) {
            clearReadOnly(path); // so that a read-only file can go
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

bool shouldDeleteOnClear(const char* name)
{
    return !hasPreservedExtension(name, preservedExtensions, PRESERVED_EXTENSION_COUNT);
}

bool shouldWriteFile(const char* target, const PayloadEntry& row)
{
    if (row.flags & FILE_OVERWRITE) {
        return true;
    }
    HANDLE existing =
        CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, SEQUENTIAL_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(existing);
    return false;
}
